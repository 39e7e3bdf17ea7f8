// Conversion between UTF-16 text and the bytes of a character set.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "platform/system/code_page.h"

TEST(CodePage, ChineseTextRoundTripsThroughGbkAndUtf8) {
    const std::u16string text = u"中文密码测试";
    EXPECT_EQ(Utf16ToCodePage(text, "GBK"), "\xD6\xD0\xCE\xC4\xC3\xDC\xC2\xEB\xB2\xE2\xCA\xD4");
    EXPECT_EQ(Utf16ToCodePage(text, "UTF-8"),
              "\xE4\xB8\xAD\xE6\x96\x87\xE5\xAF\x86\xE7\xA0\x81\xE6\xB5\x8B\xE8\xAF\x95");
    for (const char* charset : {"GBK", "UTF-8"}) {
        EXPECT_EQ(CodePageToUtf16(Utf16ToCodePage(text, charset), charset), text) << charset;
    }
}

TEST(CodePage, LongTextConvertsWhole) {
    std::u16string text;
    for (int i = 0; i < 50000; ++i) text += static_cast<char16_t>(u'\u4E00' + i % 5000);
    text += u"end";
    for (const char* charset : {"GBK", "UTF-8"}) {
        EXPECT_EQ(CodePageToUtf16(Utf16ToCodePage(text, charset), charset), text) << charset;
    }
}

TEST(CodePage, CharacterTheSetCannotHoldBecomesQuestionMark) {
    EXPECT_EQ(Utf16ToCodePage(u"A中B", "ISO-8859-1"), "A?B");
    // A surrogate pair is one character and one "?".
    EXPECT_EQ(Utf16ToCodePage(u"x\U0001F600y", "GBK"), "x?y");
    // An unpaired surrogate cannot be converted anywhere.
    const char16_t lone[] = {u'a', 0xD800, u'b', 0xDC00};
    EXPECT_EQ(Utf16ToCodePage(std::u16string_view(lone, 4), "UTF-8"), "a?b?");
}

TEST(CodePage, InvalidBytesBecomeReplacementCharacters) {
    EXPECT_EQ(CodePageToUtf16("A\xFF\xFE"
                              "B",
                              "UTF-8"),
              u"A\uFFFD\uFFFDB");
    // An incomplete sequence at the end: one replacement per byte.
    EXPECT_EQ(CodePageToUtf16("A\xE4\xB8", "UTF-8"), u"A\uFFFD\uFFFD");
    EXPECT_EQ(CodePageToUtf16("\xD6\xD0\x81", "GBK"), u"中\uFFFD");
}

TEST(CodePage, UnknownCharsetIsTreatedAsUtf8) {
    EXPECT_EQ(Utf16ToCodePage(u"中", "NO-SUCH-CHARSET"), "\xE4\xB8\xAD");
    EXPECT_EQ(CodePageToUtf16("\xE4\xB8\xAD", "NO-SUCH-CHARSET"), u"中");
}

TEST(CodePage, DefaultIsTheLocalesCharset) {
#if defined(_WIN32)
    GTEST_SKIP() << "Linux only: the locale's LC_CTYPE (Windows uses its ANSI code page)";
#endif
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    EXPECT_EQ(LocaleCharset(), "UTF-8");
    EXPECT_EQ(Utf16ToCodePage(u"中"), "\xE4\xB8\xAD");
    ASSERT_NE(std::setlocale(LC_CTYPE, "C"), nullptr);
    EXPECT_EQ(Utf16ToCodePage(u"A中"), "A?");
    EXPECT_EQ(CodePageToUtf16("A"), u"A");
}
