// The password-to-key rule and the UTF-8 conversion the command line uses, so
// that the window and the command line open each other's containers.
#include <gtest/gtest.h>

#include <string>

#include "encrypt/key_bytes.h"
#include "support/test_files.h"

using testing_support::ToHex;

namespace {
std::string KeyHex(std::u16string_view password) {
    uint8_t key[32];
    std::fill(key, key + 32, 0xCC);
    KeyBytesFromPassword(password, key);
    return ToHex(key, 32);
}
}  // namespace

TEST(KeyBytes, LowByteOfEachUnitThenZeros) {
    EXPECT_EQ(KeyHex(u"Ab1"), "416231" + std::string(58, '0'));
    EXPECT_EQ(KeyHex(u""), std::string(64, '0'));
    // U+5BC6 U+7801: only the low bytes C6 and 01 remain.
    EXPECT_EQ(KeyHex(u"\u5bc6\u7801"), "c601" + std::string(60, '0'));
    std::u16string full(32, u'z');
    std::string all_z;
    for (int i = 0; i < 32; ++i) all_z += "7a";
    EXPECT_EQ(KeyHex(full), all_z);
    EXPECT_EQ(KeyHex(full + u"extra"), KeyHex(full));
}

TEST(KeyBytes, DifferentPasswordsThatShareAKey) {
    // Characters that differ only above their low byte.
    EXPECT_EQ(KeyHex(u"A"), KeyHex(u"\u0141"));
    // Trailing units whose low byte is zero.
    EXPECT_EQ(KeyHex(u"pw"), KeyHex(u"pw\u0100\u0200"));
    EXPECT_NE(KeyHex(u"pw"), KeyHex(u"pw!"));
}

TEST(KeyBytes, PasswordsWithoutANonZeroLowByteGiveTheEmptyKey) {
    uint8_t key[32];
    for (std::u16string_view password :
         {std::u16string_view(), std::u16string_view(u"\0", 1), std::u16string_view(u"\u4e00"),
          std::u16string_view(u"\u0100\u0200")}) {
        KeyBytesFromPassword(password, key);
        EXPECT_TRUE(KeyBytesAreEmpty(key));
    }
    KeyBytesFromPassword(u"\u0100\u0200a", key);
    EXPECT_FALSE(KeyBytesAreEmpty(key));
    uint8_t last_only[32] = {};
    last_only[31] = 1;
    EXPECT_FALSE(KeyBytesAreEmpty(last_only));
}

TEST(Utf8ToUtf16, ConvertsEveryLengthOfCharacter) {
    std::u16string out;
    ASSERT_TRUE(Utf8ToUtf16("a\xc3\xa9\xe5\xaf\x86\xf0\x9f\x94\x91", out));
    EXPECT_EQ(out, u"a\u00e9\u5bc6\U0001F511");
    EXPECT_EQ(out.size(), 5u);  // the key emoji is a surrogate pair
    ASSERT_TRUE(Utf8ToUtf16("", out));
    EXPECT_TRUE(out.empty());
}

TEST(Utf8ToUtf16, RefusesMalformedText) {
    const char* bad[] = {
        "\x80",              // stray continuation byte
        "\xc3",              // cut-off sequence
        "\xc0\xaf",          // overlong '/'
        "\xe0\x80\xaf",      // overlong, three bytes
        "\xed\xa0\x80",      // a surrogate written as UTF-8
        "\xf4\x90\x80\x80",  // above U+10FFFF
        "ok\xff",            // never valid in UTF-8
        "\xe5\xaf",          // cut-off after a good start
    };
    for (const char* text : bad) {
        std::u16string out = u"stale";
        EXPECT_FALSE(Utf8ToUtf16(text, out))
            << ToHex(reinterpret_cast<const uint8_t*>(text), std::char_traits<char>::length(text));
        EXPECT_TRUE(out.empty());
    }
}
