// The cipher tables and key schedules against the published AES-256 examples. The block rounds used
// here exist only in this test: they prove that the tables and round keys fit together.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "liborvaniot_os/liborvaniot_os_aes_func.h"
#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os/liborvaniot_os_mem.h"

namespace {

using Block = std::array<uint8_t, 16>;

std::array<uint8_t, 32> Bytes32(const char* hex) {
    std::array<uint8_t, 32> out{};
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<uint8_t>(std::stoul(std::string(hex + 2 * i, 2), nullptr, 16));
    return out;
}

Block Bytes16(const char* hex) {
    Block out{};
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<uint8_t>(std::stoul(std::string(hex + 2 * i, 2), nullptr, 16));
    return out;
}

// Round-key words are stored with the first key byte lowest; the standard writes them big-endian.
uint32_t AsPublished(uint32_t word) {
    return __builtin_bswap32(word);
}

// Shift-and-add multiplication in GF(2^8), independent of the library's logarithm tables.
uint8_t GfMul(uint8_t a, uint8_t b) {
    uint8_t product = 0;
    while (b != 0) {
        if ((b & 1) != 0) product ^= a;
        a = static_cast<uint8_t>((a << 1) ^ ((a & 0x80) != 0 ? 0x1B : 0));
        b >>= 1;
    }
    return product;
}

// InvMixColumns of one published (big-endian) column word, straight from the matrix.
uint32_t InvMixColumn(uint32_t column) {
    const uint8_t a[4] = {static_cast<uint8_t>(column >> 24), static_cast<uint8_t>(column >> 16),
                          static_cast<uint8_t>(column >> 8), static_cast<uint8_t>(column)};
    static constexpr uint8_t kMatrix[4][4] = {
        {14, 11, 13, 9}, {9, 14, 11, 13}, {13, 9, 14, 11}, {11, 13, 9, 14}};
    uint32_t out = 0;
    for (int row = 0; row < 4; ++row) {
        uint8_t value = 0;
        for (int k = 0; k < 4; ++k) value ^= GfMul(kMatrix[row][k], a[k]);
        out = (out << 8) | value;
    }
    return out;
}

uint32_t Load(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
void Store(uint32_t w, uint8_t* p) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(w >> (8 * i));
}
uint8_t Byte(uint32_t w, int n) {
    return static_cast<uint8_t>(w >> (8 * n));
}

// Table-driven rounds: shift selects, for output column c and row r, the input column (c + shift*r).
Block RunRounds(const liborvaniot_os_aes_context& ctx, const Block& in, int shift) {
    const uint32_t* rk = ctx.round_keys;
    uint32_t x[4];
    for (int c = 0; c < 4; ++c) x[c] = Load(&in[4 * c]) ^ rk[c];
    for (int round = 1; round < ctx.rounds; ++round) {
        uint32_t y[4];
        for (int c = 0; c < 4; ++c) {
            y[c] = ctx.table0[Byte(x[c], 0)] ^ ctx.table1[Byte(x[(c + shift + 4) % 4], 1)] ^
                   ctx.table2[Byte(x[(c + 2 * shift + 8) % 4], 2)] ^
                   ctx.table3[Byte(x[(c + 3 * shift + 12) % 4], 3)] ^ rk[4 * round + c];
        }
        std::memcpy(x, y, sizeof x);
    }
    Block out{};
    for (int c = 0; c < 4; ++c) {
        const uint32_t w = ctx.sbox[Byte(x[c], 0)] | ctx.sbox[Byte(x[(c + shift + 4) % 4], 1)] << 8 |
                           ctx.sbox[Byte(x[(c + 2 * shift + 8) % 4], 2)] << 16 |
                           static_cast<uint32_t>(ctx.sbox[Byte(x[(c + 3 * shift + 12) % 4], 3)]) << 24;
        Store(w ^ rk[4 * ctx.rounds + c], &out[4 * c]);
    }
    return out;
}

struct Contexts {
    liborvaniot_os_aes_context enc{};
    liborvaniot_os_aes_context dec{};

    explicit Contexts(const std::array<uint8_t, 32>& key) {
        liborvaniot_os_aes_gen_enc_tables(&enc);
        liborvaniot_os_aes_gen_dec_tables(&dec);
        EXPECT_EQ(liborvaniot_os_aes_setkey_enc(&enc, key.data()), 0);
        EXPECT_EQ(liborvaniot_os_aes_setkey_dec(&enc, &dec), 0);
    }
};

constexpr char kAppendixKey[] = "603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4";

TEST(AesTables, SBoxesHoldTheStandardValuesAndInvertEachOther) {
    liborvaniot_os_aes_context enc{};
    liborvaniot_os_aes_context dec{};
    liborvaniot_os_aes_gen_enc_tables(&enc);
    liborvaniot_os_aes_gen_dec_tables(&dec);
    const struct {
        uint8_t in, out;
    } forward[] = {{0x00, 0x63}, {0x01, 0x7C}, {0x02, 0x77}, {0x10, 0xCA},
                   {0x53, 0xED}, {0x80, 0xCD}, {0xFF, 0x16}};
    for (const auto& row : forward) {
        SCOPED_TRACE(testing::Message() << "S-box of 0x" << std::hex << int{row.in});
        EXPECT_EQ(enc.sbox[row.in], row.out);
        EXPECT_EQ(dec.sbox[row.out], row.in);
    }
    EXPECT_EQ(dec.sbox[0x00], 0x52);
    for (int x = 0; x < 256; ++x) ASSERT_EQ(dec.sbox[enc.sbox[x]], x) << "x=" << x;
    const uint32_t rcon[10] = {1, 2, 4, 8, 16, 32, 64, 128, 27, 54};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(enc.rcon[i], rcon[i]);
        EXPECT_EQ(dec.rcon[i], rcon[i]);
    }
}

TEST(AesKeySchedule, EncryptionKeysEqualThePublishedExpansion) {
    const Contexts ctx(Bytes32(kAppendixKey));
    const struct {
        int index;
        uint32_t word;
    } published[] = {{0, 0x603deb10},  {7, 0x0914dff4},  {8, 0x9ba35411},  {9, 0x8e6925af},  {10, 0xa51a8b5f},
                     {11, 0x2067fcde}, {12, 0xa8b09c1a}, {13, 0x93d194cd}, {14, 0xbe49846e}, {15, 0xb75d5b9a},
                     {56, 0xfe4890d1}, {57, 0xe6188d0b}, {58, 0x046df344}, {59, 0x706c631e}};
    EXPECT_EQ(ctx.enc.rounds, 14);
    EXPECT_EQ(ctx.enc.round_keys, ctx.enc.buffer);
    EXPECT_EQ(ctx.enc.marker, LIBORVANIOT_OS_AES_MARKER);
    for (const auto& row : published) {
        SCOPED_TRACE(testing::Message() << "w[" << row.index << "]");
        EXPECT_EQ(AsPublished(ctx.enc.round_keys[row.index]), row.word);
    }
}

TEST(AesKeySchedule, DecryptionKeysAreTheEquivalentInverseCipherKeys) {
    const Contexts ctx(Bytes32(kAppendixKey));
    const uint32_t* w = ctx.enc.round_keys;
    const uint32_t* dw = ctx.dec.round_keys;
    ASSERT_EQ(dw, ctx.dec.buffer);
    EXPECT_EQ(ctx.dec.marker, LIBORVANIOT_OS_AES_MARKER);
    for (int round = 0; round <= 14; ++round) {
        for (int c = 0; c < 4; ++c) {
            SCOPED_TRACE(testing::Message() << "decryption round " << round << ", column " << c);
            const uint32_t source = AsPublished(w[4 * (14 - round) + c]);
            const uint32_t expected = (round == 0 || round == 14) ? source : InvMixColumn(source);
            EXPECT_EQ(AsPublished(dw[4 * round + c]), expected);
        }
    }
}

// Every table entry and every round key takes part in these two runs.
TEST(AesKeySchedule, TablesAndSchedulesEncryptAndDecryptThePublishedExample) {
    const Contexts ctx(Bytes32("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f"));
    const Block plain = Bytes16("00112233445566778899aabbccddeeff");
    const Block cipher = Bytes16("8ea2b7ca516745bfeafc49904b496089");
    EXPECT_EQ(RunRounds(ctx.enc, plain, 1), cipher);
    EXPECT_EQ(RunRounds(ctx.dec, cipher, -1), plain);
}

TEST(AesKeySchedule, DecryptionScheduleNeedsAnExpandedEncryptionContext) {
    liborvaniot_os_aes_context enc{};
    liborvaniot_os_aes_context dec{};
    EXPECT_EQ(liborvaniot_os_aes_setkey_dec(nullptr, &dec), 1);
    EXPECT_EQ(liborvaniot_os_aes_setkey_dec(&enc, nullptr), 1);
    EXPECT_EQ(liborvaniot_os_aes_setkey_dec(&enc, &dec), 1) << "tables only, no key schedule yet";
}

class AesPrepare : public testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(liborvaniot_os_debug_initialize(), 0); }
    void TearDown() override {
        liborvaniot_os_aes_release();
        EXPECT_EQ(liborvaniot_os_mem_outstanding_count(), 0);
        liborvaniot_os_debug_finalize();
    }
};

TEST_F(AesPrepare, KeyAndIvTextsOfTheWrongLengthLeaveTablesWithoutSchedules) {
    const std::string key(32, 'k');
    const std::string iv(16, 'v');
    const struct {
        const char* what;
        std::string key;
        std::string iv;
        int32_t result;
    } cases[] = {
        {"both right", key, iv, 0},      {"key of 31", key.substr(1), iv, 1},
        {"key of 33", key + "k", iv, 1}, {"IV of 15", key, iv.substr(1), 1},
        {"IV of 17", key, iv + "v", 1},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(liborvaniot_os_aes_prepare(row.key.c_str(), row.iv.c_str()), row.result);
        const liborvaniot_os_aes_context* enc = liborvaniot_os_aes_enc_context();
        const liborvaniot_os_aes_context* dec = liborvaniot_os_aes_dec_context();
        ASSERT_NE(enc, nullptr);
        ASSERT_NE(dec, nullptr);
        EXPECT_EQ(enc->sbox[0x00], 0x63);
        EXPECT_EQ(dec->sbox[0x63], 0x00);
        const bool scheduled = row.result == 0;
        EXPECT_EQ(enc->round_keys != nullptr, scheduled);
        EXPECT_EQ(dec->round_keys != nullptr, scheduled);
        EXPECT_EQ(liborvaniot_os_mem_outstanding_count(), 2) << "a new preparation replaces the old contexts";
    }
    liborvaniot_os_aes_release();
    EXPECT_EQ(liborvaniot_os_aes_enc_context(), nullptr);
    EXPECT_EQ(liborvaniot_os_aes_dec_context(), nullptr);
}

}  // namespace
