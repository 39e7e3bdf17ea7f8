// Password generator: request checks, the length field, and which characters
// the generator may produce.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "tools/password.h"

namespace {

constexpr PasswordClasses kUpperOnly{true, false, false, false};
constexpr PasswordClasses kLowerOnly{false, true, false, false};
constexpr PasswordClasses kDigitsOnly{false, false, true, false};
constexpr PasswordClasses kSymbolsOnly{false, false, false, true};
constexpr PasswordClasses kAllClasses{true, true, true, true};

std::string Generate(int length, PasswordClasses classes) {
    std::string password;
    EXPECT_TRUE(GeneratePassword(length, classes, password));
    return password;
}

std::set<char> CharactersOf(const std::string& text) {
    return {text.begin(), text.end()};
}

std::set<char> Range(char first, char last) {
    std::set<char> set;
    for (char c = first; c <= last; ++c) set.insert(c);
    return set;
}

}  // namespace

TEST(PasswordLengthField, AcceptsOnlyOneToNineThousandNineHundredNinetyNine) {
    EXPECT_EQ(ParsePasswordLength(u"1"), 1);
    EXPECT_EQ(ParsePasswordLength(u"20"), 20);
    EXPECT_EQ(ParsePasswordLength(u"9999"), 9999);
    EXPECT_EQ(ParsePasswordLength(u"  12"), 12);     // leading white space skipped
    EXPECT_EQ(ParsePasswordLength(u"12ab"), 12);     // digits up to the first non-digit
    EXPECT_EQ(ParsePasswordLength(u"0000012"), 12);  // seven characters are read
    for (std::u16string_view refused :
         {u"", u"0", u"0000", u"-5", u"-0", u"abc", u" ", u"10000", u"00000001", u"+"}) {
        EXPECT_EQ(ParsePasswordLength(refused), std::nullopt)
            << std::string(refused.begin(), refused.end());
    }
}

TEST(PasswordRequest, ClassesAreCheckedBeforeTheLength) {
    EXPECT_EQ(CheckPasswordRequest(0, PasswordClasses{}), PasswordCheck::kNoClass);
    EXPECT_EQ(CheckPasswordRequest(20, PasswordClasses{}), PasswordCheck::kNoClass);
    EXPECT_EQ(CheckPasswordRequest(0, kDigitsOnly), PasswordCheck::kBadLength);
    EXPECT_EQ(CheckPasswordRequest(-1, kDigitsOnly), PasswordCheck::kBadLength);
    EXPECT_EQ(CheckPasswordRequest(10000, kDigitsOnly), PasswordCheck::kBadLength);
    EXPECT_EQ(CheckPasswordRequest(1, kDigitsOnly), PasswordCheck::kOk);
    EXPECT_EQ(CheckPasswordRequest(9999, kDigitsOnly), PasswordCheck::kOk);

    std::string password = "kept";
    EXPECT_FALSE(GeneratePassword(0, kDigitsOnly, password));
    EXPECT_TRUE(password.empty());
}

TEST(PasswordGenerateButton, RefusedRequestsLeaveTheOutputAlone) {
    std::string output = "previous password";
    EXPECT_EQ(GenerateFromFields(u"20", PasswordClasses{}, output), GenerateOutcome::kNoClass);
    EXPECT_EQ(output, "previous password");
    for (std::u16string_view length : {u"", u"0", u"-3", u"x"}) {
        EXPECT_EQ(GenerateFromFields(length, kDefaultPasswordClasses, output),
                  GenerateOutcome::kBadLength);
        EXPECT_EQ(output, "previous password");
    }
    ASSERT_EQ(GenerateFromFields(u"16", kDefaultPasswordClasses, output),
              GenerateOutcome::kGenerated);
    EXPECT_EQ(output.size(), 16u);
}

TEST(PasswordGenerator, ProducesExactlyTheRequestedLength) {
    const std::string one = Generate(1, kDigitsOnly);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_TRUE(one[0] >= '0' && one[0] <= '9');
    EXPECT_EQ(Generate(9999, kDefaultPasswordClasses).size(), 9999u);
}

TEST(PasswordGenerator, EachClassAloneGivesAllOfItsCharactersAndNothingElse) {
    const std::string symbols(kPasswordSymbols);
    const struct {
        PasswordClasses classes;
        std::set<char> expected;
    } cases[] = {
        {kUpperOnly, Range('A', 'Z')},
        {kLowerOnly, Range('a', 'z')},
        {kDigitsOnly, Range('0', '9')},
        {kSymbolsOnly, std::set<char>(symbols.begin(), symbols.end())},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CharactersOf(Generate(5000, c.classes)), c.expected);
    }
    EXPECT_EQ(kPasswordSymbols, "!\"#$%&?");
}

TEST(PasswordGenerator, AllClassesTogetherEachAppearAndNothingElse) {
    const std::string password = Generate(9999, kAllClasses);
    std::set<char> allowed = Range('A', 'Z');
    for (const std::set<char>& more : {Range('a', 'z'), Range('0', '9')}) {
        allowed.insert(more.begin(), more.end());
    }
    allowed.insert(kPasswordSymbols.begin(), kPasswordSymbols.end());
    const std::set<char> seen = CharactersOf(password);
    EXPECT_TRUE(std::includes(allowed.begin(), allowed.end(), seen.begin(), seen.end()));
    // 69 characters over 9999 draws: every one is all but certain to appear.
    EXPECT_EQ(seen, allowed);
}

TEST(PasswordGenerator, EveryAllowedCharacterIsEquallyLikely) {
    // Upper-case letters and digits: 36 characters, whatever the class sizes.
    std::map<char, int> counts;
    int total = 0;
    for (int i = 0; i < 20; ++i) {
        for (char c : Generate(9999, PasswordClasses{true, false, true, false})) ++counts[c];
        total += 9999;
    }
    ASSERT_EQ(counts.size(), 36u);
    const double expected = static_cast<double>(total) / 36;  // about 5555, sigma about 73
    for (const auto& [c, count] : counts) {
        EXPECT_NEAR(count, expected, expected * 0.1) << "character " << c;
    }
}

TEST(PasswordGenerator, ConsecutivePasswordsDiffer) {
    // Drawn from the system source, two presses in the same instant still differ.
    std::set<std::string> seen;
    for (int i = 0; i < 50; ++i) {
        EXPECT_TRUE(seen.insert(Generate(12, kDefaultPasswordClasses)).second);
    }
}
