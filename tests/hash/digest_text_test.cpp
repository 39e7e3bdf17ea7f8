// Digest texts: hex in both cases and parsing back.
#include <gtest/gtest.h>

#include "hash/digest_text.h"

TEST(DigestText, HexInBothCasesAndBack) {
    const std::vector<uint8_t> bytes = {0x00, 0x0f, 0xa5, 0xff};
    EXPECT_EQ(DigestHex(bytes), "000FA5FF");
    EXPECT_EQ(DigestHex(bytes, HexCase::kLower), "000fa5ff");
    std::vector<uint8_t> parsed;
    EXPECT_TRUE(ParseDigestHex("000fA5Ff", parsed));
    EXPECT_EQ(parsed, bytes);
}

TEST(DigestText, ParseRejectsAnythingButPairsOfHexDigits) {
    std::vector<uint8_t> parsed = {1};
    for (const char* bad : {"abc", "0g", "00 11", "+1", "0x00"}) {
        EXPECT_FALSE(ParseDigestHex(bad, parsed)) << bad;
        EXPECT_TRUE(parsed.empty());
    }
    EXPECT_TRUE(ParseDigestHex("", parsed));
    EXPECT_TRUE(parsed.empty());
}
