// AES-256 cipher contexts: tables computed from GF(2^8) arithmetic, the encryption and the
// equivalent-inverse-cipher key schedules, and the program's two contexts prepared at core start.
#pragma once

#include <cstdint>

struct liborvaniot_os_aes_context {
    uint8_t sbox[256];     // forward S-box (encryption) or inverse S-box (decryption)
    uint32_t table0[256];  // SubBytes+MixColumns, or InvSubBytes+InvMixColumns, as little-endian columns
    uint32_t table1[256];  // table0 rotated left by 8 bits
    uint32_t table2[256];  // ... by 16 bits
    uint32_t table3[256];  // ... by 24 bits
    uint32_t rcon[10];
    int32_t rounds;
    uint32_t* round_keys;  // points at buffer
    uint32_t buffer[68];   // 60 round-key words in use; the expansion writes 64
    uint32_t marker;       // LIBORVANIOT_OS_AES_MARKER once a schedule is set and intact
};

inline constexpr uint32_t LIBORVANIOT_OS_AES_MARKER = 0x55AAAA55;
inline constexpr int32_t LIBORVANIOT_OS_AES_ERR_MARKER = -24;
inline constexpr int32_t LIBORVANIOT_OS_AES_KEY_TEXT_LENGTH = 32;
inline constexpr int32_t LIBORVANIOT_OS_AES_IV_TEXT_LENGTH = 16;

void liborvaniot_os_aes_gen_enc_tables(liborvaniot_os_aes_context* ctx);
void liborvaniot_os_aes_gen_dec_tables(liborvaniot_os_aes_context* ctx);

// Expands the 32-byte key into ctx (S-box from liborvaniot_os_aes_gen_enc_tables): 0, or
// LIBORVANIOT_OS_AES_ERR_MARKER when the schedule overran its buffer.
int32_t liborvaniot_os_aes_setkey_enc(liborvaniot_os_aes_context* ctx, const unsigned char* key);
// Derives the decryption schedule from an expanded encryption context: 0, 1 when a context is
// missing, LIBORVANIOT_OS_AES_ERR_MARKER when the schedule overran its buffer.
int32_t liborvaniot_os_aes_setkey_dec(const liborvaniot_os_aes_context* enc, liborvaniot_os_aes_context* dec);

// The program's contexts. Prepare obtains both (tables filled), then checks the key text (exactly 32
// characters) and the IV text (exactly 16) and sets both schedules; it stops at the first failure and
// returns 1, 0 when everything succeeded. Release frees both; the accessors give null afterwards.
int32_t liborvaniot_os_aes_prepare(const char* key_text, const char* iv_text);
void liborvaniot_os_aes_release();
const liborvaniot_os_aes_context* liborvaniot_os_aes_enc_context();
const liborvaniot_os_aes_context* liborvaniot_os_aes_dec_context();
