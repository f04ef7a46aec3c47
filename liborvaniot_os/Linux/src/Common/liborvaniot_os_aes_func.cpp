// AES-256 tables and key schedules. The tables are computed at run time from GF(2^8) arithmetic
// (reduction polynomial 0x11B, generator 3) instead of being stored.
#include "liborvaniot_os/liborvaniot_os_aes_func.h"

#include <cstring>

#include "liborvaniot_os/liborvaniot_os_mem.h"
#include "liborvaniot_os/liborvaniot_os_report_labels.h"

namespace {

constexpr const char* kSourcePath = liborvaniot_os_report_labels::kAes;

liborvaniot_os_aes_context* enc_context = nullptr;
liborvaniot_os_aes_context* dec_context = nullptr;
char key_buffer[LIBORVANIOT_OS_AES_KEY_TEXT_LENGTH + 1];
char iv_buffer[LIBORVANIOT_OS_AES_IV_TEXT_LENGTH + 1];

uint8_t xtime(uint8_t x) {
    return static_cast<uint8_t>((x << 1) ^ ((x & 0x80) != 0 ? 0x1B : 0x00));
}
uint8_t rotl8(uint8_t x, int n) {
    return static_cast<uint8_t>((x << n) | (x >> (8 - n)));
}
uint32_t rotl32(uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

// Powers and logarithms of the generator 3.
struct gf256 {
    uint8_t power[256];
    uint8_t log[256];

    gf256() : power{}, log{} {
        uint8_t x = 1;
        for (int i = 0; i < 255; ++i) {
            power[i] = x;
            log[x] = static_cast<uint8_t>(i);
            x = static_cast<uint8_t>(x ^ xtime(x));
        }
        power[255] = power[0];
    }
    uint8_t mul(uint8_t a, uint8_t b) const {
        return (a == 0 || b == 0) ? 0 : power[(log[a] + log[b]) % 255];
    }
    uint8_t inverse(uint8_t x) const { return x == 0 ? 0 : power[255 - log[x]]; }
};

void forward_sbox(const gf256& gf, uint8_t* sbox) {
    for (int x = 0; x < 256; ++x) {
        const uint8_t b = gf.inverse(static_cast<uint8_t>(x));
        sbox[x] = static_cast<uint8_t>(b ^ rotl8(b, 1) ^ rotl8(b, 2) ^ rotl8(b, 3) ^ rotl8(b, 4) ^ 0x63);
    }
}

uint32_t pack(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
    return static_cast<uint32_t>(b0) | (static_cast<uint32_t>(b1) << 8) | (static_cast<uint32_t>(b2) << 16) |
           (static_cast<uint32_t>(b3) << 24);
}

void fill_rotations_and_rcon(liborvaniot_os_aes_context* ctx) {
    for (int x = 0; x < 256; ++x) {
        ctx->table1[x] = rotl32(ctx->table0[x], 8);
        ctx->table2[x] = rotl32(ctx->table0[x], 16);
        ctx->table3[x] = rotl32(ctx->table0[x], 24);
    }
    uint8_t r = 1;
    for (auto& value : ctx->rcon) {
        value = r;
        r = xtime(r);
    }
}

// SubWord of a little-endian word, optionally after RotWord.
uint32_t sub_word(const uint8_t* sbox, uint32_t w) {
    return pack(sbox[w & 0xFF], sbox[(w >> 8) & 0xFF], sbox[(w >> 16) & 0xFF], sbox[w >> 24]);
}
uint32_t sub_rot_word(const uint8_t* sbox, uint32_t w) {
    return sub_word(sbox, rotl32(w, 24));
}

void free_context(liborvaniot_os_aes_context** ctx, int32_t line) {
    if (*ctx == nullptr) return;
    liborvaniot_os_mem_dbg_free(*ctx, kSourcePath, line);
    *ctx = nullptr;
}

// Copies a text of exactly the wanted length, terminating zero included, without reading past it.
bool copy_text(const char* text, char* out, size_t wanted) {
    if (text == nullptr || ::strnlen(text, wanted + 1) != wanted) return false;
    std::memcpy(out, text, wanted + 1);
    return true;
}

}  // namespace

void liborvaniot_os_aes_gen_enc_tables(liborvaniot_os_aes_context* ctx) {
    const gf256 gf;
    forward_sbox(gf, ctx->sbox);
    for (int x = 0; x < 256; ++x) {
        const uint8_t s = ctx->sbox[x];
        const uint8_t s2 = xtime(s);
        ctx->table0[x] = pack(s2, s, s, static_cast<uint8_t>(s2 ^ s));
    }
    fill_rotations_and_rcon(ctx);
}

void liborvaniot_os_aes_gen_dec_tables(liborvaniot_os_aes_context* ctx) {
    const gf256 gf;
    uint8_t forward[256];
    forward_sbox(gf, forward);
    for (int x = 0; x < 256; ++x) ctx->sbox[forward[x]] = static_cast<uint8_t>(x);
    for (int x = 0; x < 256; ++x) {
        const uint8_t s = ctx->sbox[x];
        ctx->table0[x] = pack(gf.mul(14, s), gf.mul(9, s), gf.mul(13, s), gf.mul(11, s));
    }
    fill_rotations_and_rcon(ctx);
}

int32_t liborvaniot_os_aes_setkey_enc(liborvaniot_os_aes_context* ctx, const unsigned char* key) {
    ctx->rounds = 14;
    ctx->round_keys = ctx->buffer;
    ctx->marker = LIBORVANIOT_OS_AES_MARKER;
    uint32_t* rk = ctx->round_keys;
    for (int i = 0; i < 8; ++i) rk[i] = pack(key[4 * i], key[4 * i + 1], key[4 * i + 2], key[4 * i + 3]);
    for (int i = 0; i < 7; ++i, rk += 8) {
        rk[8] = rk[0] ^ ctx->rcon[i] ^ sub_rot_word(ctx->sbox, rk[7]);
        rk[9] = rk[1] ^ rk[8];
        rk[10] = rk[2] ^ rk[9];
        rk[11] = rk[3] ^ rk[10];
        rk[12] = rk[4] ^ sub_word(ctx->sbox, rk[11]);
        rk[13] = rk[5] ^ rk[12];
        rk[14] = rk[6] ^ rk[13];
        rk[15] = rk[7] ^ rk[14];
    }
    return ctx->marker == LIBORVANIOT_OS_AES_MARKER ? 0 : LIBORVANIOT_OS_AES_ERR_MARKER;
}

int32_t liborvaniot_os_aes_setkey_dec(const liborvaniot_os_aes_context* enc,
                                      liborvaniot_os_aes_context* dec) {
    if (enc == nullptr || dec == nullptr || enc->round_keys == nullptr) return 1;
    dec->rounds = enc->rounds;
    dec->round_keys = dec->buffer;
    dec->marker = LIBORVANIOT_OS_AES_MARKER;
    uint32_t* rk = dec->round_keys;
    const uint32_t* sk = enc->round_keys + 4 * enc->rounds;
    for (int j = 0; j < 4; ++j) *rk++ = sk[j];
    // InvMixColumns of each middle round key: the inverse tables undo the S-box, so they are indexed
    // by the forward S-box of every key byte.
    for (int round = enc->rounds - 1; round > 0; --round) {
        sk = enc->round_keys + 4 * round;
        for (int j = 0; j < 4; ++j) {
            const uint32_t w = sk[j];
            *rk++ = dec->table0[enc->sbox[w & 0xFF]] ^ dec->table1[enc->sbox[(w >> 8) & 0xFF]] ^
                    dec->table2[enc->sbox[(w >> 16) & 0xFF]] ^ dec->table3[enc->sbox[w >> 24]];
        }
    }
    for (int j = 0; j < 4; ++j) *rk++ = enc->round_keys[j];
    return dec->marker == LIBORVANIOT_OS_AES_MARKER ? 0 : LIBORVANIOT_OS_AES_ERR_MARKER;
}

int32_t liborvaniot_os_aes_prepare(const char* key_text, const char* iv_text) {
    liborvaniot_os_aes_release();
    enc_context = static_cast<liborvaniot_os_aes_context*>(
        liborvaniot_os_mem_calloc(1, sizeof(liborvaniot_os_aes_context), kSourcePath, __LINE__));
    if (enc_context != nullptr) liborvaniot_os_aes_gen_enc_tables(enc_context);
    dec_context = static_cast<liborvaniot_os_aes_context*>(
        liborvaniot_os_mem_calloc(1, sizeof(liborvaniot_os_aes_context), kSourcePath, __LINE__));
    if (dec_context != nullptr) liborvaniot_os_aes_gen_dec_tables(dec_context);
    if (enc_context == nullptr || dec_context == nullptr) return 1;
    if (!copy_text(key_text, key_buffer, LIBORVANIOT_OS_AES_KEY_TEXT_LENGTH)) return 1;
    if (!copy_text(iv_text, iv_buffer, LIBORVANIOT_OS_AES_IV_TEXT_LENGTH)) return 1;
    if (liborvaniot_os_aes_setkey_enc(enc_context, reinterpret_cast<const unsigned char*>(key_buffer)) != 0)
        return 1;
    if (liborvaniot_os_aes_setkey_dec(enc_context, dec_context) != 0) return 1;
    return 0;
}

void liborvaniot_os_aes_release() {
    free_context(&enc_context, __LINE__);
    free_context(&dec_context, __LINE__);
}

const liborvaniot_os_aes_context* liborvaniot_os_aes_enc_context() {
    return enc_context;
}
const liborvaniot_os_aes_context* liborvaniot_os_aes_dec_context() {
    return dec_context;
}
