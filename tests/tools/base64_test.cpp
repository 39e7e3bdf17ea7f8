// Base64 codec (bytes) and the tools page's Base64 field (text through a
// character set).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/system/code_page.h"
#include "support/test_files.h"
#include "tools/base64.h"
#include "tools/base64_text.h"

using testing_support::PatternBytes;

namespace {

constexpr const char* kCoreutilsBase64 = "/usr/bin/base64";

std::string DecodeToString(std::string_view text) {
    std::vector<uint8_t> bytes = Base64Decode(text);
    return std::string(bytes.begin(), bytes.end());
}

std::string DecodeToString(std::u16string_view text) {
    std::vector<uint8_t> bytes = Base64Decode(text);
    return std::string(bytes.begin(), bytes.end());
}

std::u16string Ascii(std::string_view text) {
    return std::u16string(text.begin(), text.end());
}

}  // namespace

TEST(Base64, Rfc4648Vectors) {
    const std::pair<std::string, std::string> vectors[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [plain, encoded] : vectors) {
        EXPECT_EQ(Base64Encode(plain), encoded);
        EXPECT_EQ(DecodeToString(encoded), plain);
    }
}

TEST(Base64, BinaryRoundTripKeepsZeroBytesAtEverySize) {
    for (std::size_t size : {1u, 2u, 3u, 4u, 5u, 255u, 256u, 257u, 65537u}) {
        std::vector<uint8_t> data = PatternBytes(size, static_cast<uint32_t>(size));
        data[0] = 0;
        data[size / 2] = 0;
        EXPECT_EQ(Base64Decode(Base64Encode(data)), data) << size;
    }
    EXPECT_EQ(Base64Decode(std::string_view("AAAA")), std::vector<uint8_t>(3, 0));
}

TEST(Base64, StreamingInAnyPiecesEqualsOneShot) {
    const std::vector<uint8_t> data = PatternBytes(10007, 7);
    const std::string whole = Base64Encode(data);
    for (std::size_t piece : {1u, 2u, 5u, 4096u}) {
        Base64Encoder encoder;
        std::string encoded;
        for (std::size_t pos = 0; pos < data.size(); pos += piece) {
            encoder.Update(std::span(data).subspan(pos, std::min(piece, data.size() - pos)),
                           encoded);
        }
        encoder.Finish(encoded);
        EXPECT_EQ(encoded, whole) << piece;

        Base64Decoder decoder;
        std::vector<uint8_t> decoded;
        for (std::size_t pos = 0; pos < whole.size(); pos += piece) {
            decoder.Update(std::string_view(whole).substr(pos, piece), decoded);
        }
        decoder.Finish(decoded);
        EXPECT_EQ(decoded, data) << piece;
    }
}

TEST(Base64, DecoderIsLenient) {
    // A character outside the alphabet takes its place with the value 0.
    EXPECT_EQ(DecodeToString("TW!u"), "M`.");
    // White space is skipped wherever it stands.
    EXPECT_EQ(DecodeToString(" T W\tF\r\nu\n"), "Man");
    // A lone character beyond the last group carries no whole byte.
    EXPECT_EQ(DecodeToString("TWFuT"), "Man");
    // Padding drops the bytes it stands for, in every group.
    EXPECT_EQ(DecodeToString("TQ==TWE=TWFu"), "MMaMan");
    EXPECT_EQ(DecodeToString("TQ=\n="), "M");
    // UTF-16 units are looked up by their low 8 bits.
    EXPECT_EQ(DecodeToString(u"\u4E54WFu"), "Man");
    EXPECT_EQ(DecodeToString(u"\u3000TWFu"), DecodeToString("!TWFu"));
}

namespace {

struct DecodeCase {
    std::string_view text;
    Base64Decoder::Mode mode;
    std::string_view bytes;  // what decodes (before the first invalid character)
    bool invalid;
};

class Base64Decoding : public testing::TestWithParam<DecodeCase> {};

}  // namespace

// Unpadded text keeps its last bytes in every mode; the strict modes stop at
// the first character that breaks the rules and keep what came before, as
// `base64 -d` does. In pieces of any size the result is the same.
TEST_P(Base64Decoding, KeepsEveryWholeByteAndStopsWhereStrictRulesBreak) {
    const DecodeCase& c = GetParam();
    for (std::size_t split = 0; split <= c.text.size(); ++split) {
        Base64Decoder decoder(c.mode);
        std::vector<uint8_t> out;
        decoder.Update(c.text.substr(0, split), out);
        decoder.Update(c.text.substr(split), out);
        decoder.Finish(out);
        EXPECT_EQ(std::string(out.begin(), out.end()), c.bytes) << "split " << split;
        EXPECT_EQ(decoder.invalid(), c.invalid) << "split " << split;
    }
}

constexpr auto kLenient = Base64Decoder::Mode::kLenient;
constexpr auto kStrict = Base64Decoder::Mode::kStrict;
constexpr auto kSkip = Base64Decoder::Mode::kSkipGarbage;

INSTANTIATE_TEST_SUITE_P(UnpaddedAndPaddedRuns, Base64Decoding,
                         testing::Values(DecodeCase{"aQ", kLenient, "i", false},
                                         DecodeCase{"Zzw", kLenient, "g<", false},
                                         DecodeCase{"MTIzNA==MTIzNA", kLenient, "12341234", false},
                                         DecodeCase{"QWI=\nQQ", kLenient, "AbA", false},
                                         DecodeCase{"TWF", kLenient, "Ma", false},
                                         DecodeCase{"MTIzNA==MTIzNA==", kStrict, "12341234", false},
                                         DecodeCase{"QR==", kStrict, "A", false},
                                         DecodeCase{"TW\r\nFu \t", kStrict, "Man", false}));

INSTANTIATE_TEST_SUITE_P(
    StrictStops, Base64Decoding,
    testing::Values(
        DecodeCase{"aQ", kStrict, "i", true}, DecodeCase{"Zzw", kStrict, "g<", true},
        DecodeCase{"MTIzNA==MTIzNA", kStrict, "12341234", true}, DecodeCase{"a", kStrict, "", true},
        DecodeCase{"Zz=", kStrict, "g", true}, DecodeCase{"Z===", kStrict, "", true},
        DecodeCase{"MTIzNA=", kStrict, "1234", true}, DecodeCase{"@@@@", kStrict, "", true},
        DecodeCase{"MTIz@NA==", kStrict, "123", true}, DecodeCase{"QQ=A", kStrict, "A", true},
        DecodeCase{"QWJD=", kStrict, "AbC", true}, DecodeCase{"QQ===", kStrict, "A", true},
        DecodeCase{"@@@@", kSkip, "", false}, DecodeCase{"Q@Q=!=", kSkip, "A", false},
        DecodeCase{"=QQ==", kSkip, "", true}, DecodeCase{"aQ", kSkip, "i", true}));

TEST(Base64, MatchesCoreutils) {
#if defined(_WIN32)
    GTEST_SKIP() << "Linux only: runs coreutils base64";
#endif
    if (!std::filesystem::exists(kCoreutilsBase64)) GTEST_SKIP() << "no coreutils base64";
    testing_support::TempDir dir;
    for (std::size_t size : {0u, 1u, 2u, 3u, 1000u, 100001u}) {
        const std::vector<uint8_t> data = PatternBytes(size, 99);
        const auto path = dir / "data.bin";
        testing_support::WriteFile(path, data);

        auto one_line = testing_support::RunProgram({kCoreutilsBase64, "-w0", path.string()});
        ASSERT_EQ(one_line.exit_code, 0);
        EXPECT_EQ(Base64Encode(data), one_line.out) << size;

        // coreutils wraps at 76 columns by default; the decoder skips the breaks.
        auto wrapped = testing_support::RunProgram({kCoreutilsBase64, path.string()});
        ASSERT_EQ(wrapped.exit_code, 0);
        EXPECT_EQ(Base64Decode(wrapped.out), data) << size;
    }
}

TEST(Base64Field, EmptyFieldIsLeftUnchanged) {
    EXPECT_EQ(EncodeFieldText(u"", "UTF-8"), std::nullopt);
    EXPECT_EQ(DecodeFieldText(u"", "UTF-8"), std::nullopt);
}

TEST(Base64Field, AsciiLengthDecidesThePadding) {
    const struct {
        std::size_t length;
        std::size_t encoded_length;
        std::u16string_view ending;
    } cases[] = {{3, 4, u""}, {300, 400, u""}, {301, 404, u"=="}, {302, 404, u"="}};
    for (const auto& c : cases) {
        const std::u16string text(c.length, u'k');
        const auto encoded = EncodeFieldText(text, "UTF-8");
        ASSERT_TRUE(encoded);
        EXPECT_EQ(encoded->size(), c.encoded_length);
        const std::size_t padding = encoded->size() - encoded->find_last_not_of(u'=') - 1;
        EXPECT_EQ(padding, c.ending.size()) << c.length;
        EXPECT_EQ(DecodeFieldText(*encoded, "UTF-8"), text);
    }
}

TEST(Base64Field, ChineseTextTravelsAsTheCharacterSetsBytes) {
    const std::u16string text = u"中文密码测试，安全工具。";
    for (const char* charset : {"GBK", "UTF-8"}) {
        const auto encoded = EncodeFieldText(text, charset);
        ASSERT_TRUE(encoded);
        const std::string bytes = Utf16ToCodePage(text, charset);
        EXPECT_EQ(*encoded, Ascii(Base64Encode(bytes))) << charset;
        EXPECT_EQ(DecodeFieldText(*encoded, charset), text) << charset;
    }
    // Two bytes per character in the double-byte set.
    EXPECT_EQ(*EncodeFieldText(u"中文", "GBK"), Ascii(Base64Encode("\xD6\xD0\xCE\xC4")));
}

TEST(Base64Field, CharacterTheSetCannotHoldIsEncodedAsQuestionMark) {
    EXPECT_EQ(*EncodeFieldText(u"a\U0001F600b", "GBK"), Ascii(Base64Encode("a?b")));
}

TEST(Base64Field, DecodingFollowsTheLenientRules) {
    // Wrapped over several lines, as other programs write it.
    EXPECT_EQ(DecodeFieldText(u"5Lit5paH\r\n5a+G56CB\n", "UTF-8"), u"中文密码");
    // Unpadded text keeps its last bytes, and padding may end a run of groups.
    EXPECT_EQ(DecodeFieldText(u"TWFuTWF", "UTF-8"), u"ManMa");
    EXPECT_EQ(DecodeFieldText(u"QWI=\nQQ", "UTF-8"), u"AbA");
    // A zero byte cannot stand in the field: it alone is left out.
    EXPECT_EQ(DecodeFieldText(u"AEFC", "UTF-8"), u"AB");
    // Bytes that are not text in the set become replacement characters.
    EXPECT_EQ(DecodeFieldText(u"/w==", "UTF-8"), u"\uFFFD");
}
