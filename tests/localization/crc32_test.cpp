#include "localization/crc32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "localization/catalog.h"

namespace {

// Bit by bit, without a table: the definition the fast path must agree with.
uint32_t BitwiseCrc(uint32_t state, const unsigned char* p, std::size_t count) {
    while (count--) {
        state ^= *p++;
        for (int bit = 0; bit < 8; ++bit) state = (state & 1) ? (state >> 1) ^ 0xEDB88320u : state >> 1;
    }
    return state;
}

std::vector<unsigned char> RandomBytes(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<unsigned char> bytes(count);
    for (auto& b : bytes) b = static_cast<unsigned char>(random());
    return bytes;
}

TEST(Crc32, StandardCheckValue) {
    EXPECT_EQ(0xCBF43926u, ~Crc32(0xFFFFFFFFu, "123456789", 9));
    EXPECT_EQ(0u, ~Crc32(0xFFFFFFFFu, "", 0));
}

// Every length up to 64 at every offset from an 8-byte boundary crosses the
// byte-wise head, the 8-byte steps and the byte-wise tail in all proportions.
TEST(Crc32, MatchesBytewiseUpdateAtEveryAlignment) {
    alignas(8) unsigned char buffer[8 + 64];
    std::vector<unsigned char> bytes = RandomBytes(sizeof(buffer), 1);
    std::memcpy(buffer, bytes.data(), sizeof(buffer));
    for (std::size_t alignment = 0; alignment < 8; ++alignment) {
        for (std::size_t length = 0; length <= 64; ++length) {
            SCOPED_TRACE(testing::Message() << "alignment " << alignment << ", length " << length);
            for (uint32_t state : {0xFFFFFFFFu, 0u, 0x12345678u}) {
                EXPECT_EQ(BitwiseCrc(state, buffer + alignment, length), Crc32(state, buffer + alignment, length));
            }
        }
    }
}

TEST(Crc32, LargeBuffersAndChainedPieces) {
    std::vector<unsigned char> bytes = RandomBytes((1 << 20) + 13, 2);
    for (std::size_t start : {0, 1, 5}) {
        uint32_t expected = BitwiseCrc(0xFFFFFFFFu, bytes.data() + start, bytes.size() - start);
        EXPECT_EQ(expected, Crc32(0xFFFFFFFFu, bytes.data() + start, bytes.size() - start));
        std::size_t split = 777777;
        uint32_t chained = Crc32(0xFFFFFFFFu, bytes.data() + start, split);
        chained = Crc32(chained, bytes.data() + start + split, bytes.size() - start - split);
        EXPECT_EQ(expected, chained);
    }
}

TEST(CatalogKey, KindPrefixAndContext) {
    const struct {
        int kind;
        const char* context;
        const char* text;
        const char* bytes;  // what the key is the CRC-32 of
        const char* key;    // when known independently
    } cases[] = {
        {kMessageText, nullptr, "abc", "sabc", "92ab48be"},
        {kDialogText, "LTR", "LTR", "$LTRLTR", "50a17ae8"},
        {kMessageText, "", "abc", "sabc", "92ab48be"},
        {kDialogText, "SETUPDLG", "", "$SETUPDLG", nullptr},
        {2, "x", "y", "@xy", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        char key[kCatalogKeySize + 1];
        std::memset(key, 0xbd, sizeof(key));
        MakeCatalogKey(c.kind, c.context, c.text, key);
        char expected[16];
        std::snprintf(expected, sizeof(expected), "%08x",
                      ~BitwiseCrc(0xFFFFFFFFu, reinterpret_cast<const unsigned char*>(c.bytes), std::strlen(c.bytes)));
        EXPECT_STREQ(expected, key);
        if (c.key) {
            EXPECT_STREQ(c.key, key);
        }
    }
    // Any other kind puts a zero byte in front.
    char key[kCatalogKeySize + 1];
    MakeCatalogKey(7, nullptr, "abc", key);
    const unsigned char zeroAbc[] = {0, 'a', 'b', 'c'};
    char expected[16];
    std::snprintf(expected, sizeof(expected), "%08x", ~BitwiseCrc(0xFFFFFFFFu, zeroAbc, sizeof(zeroAbc)));
    EXPECT_STREQ(expected, key);
}

}  // namespace
