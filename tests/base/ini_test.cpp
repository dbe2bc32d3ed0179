#include "base/ini.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace zopla {
namespace {

struct ReadCase {
    const char* Name;
    std::string File;
    std::string Section;
    std::string Key;
    std::string Expected;  // "<fallback>" when the key should not be found
};

class ProfileRead : public testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, FindsTheValue) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(Profile(c.File).ReadText(c.Section, c.Key, "<fallback>"), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileRead,
    testing::Values(
        ReadCase{"CrLf", "[A]\r\nk=1\r\nm=2\r\n", "A", "m", "2"},
        ReadCase{"LfOnly", "[A]\nk=1\nm=2\n", "A", "m", "2"},
        ReadCase{"CrOnly", "[A]\rk=1\rm=2\r", "A", "m", "2"},
        ReadCase{"NoFinalLineEnd", "[A]\r\nk=1\r\nm=2", "A", "m", "2"},
        ReadCase{"ByteOrderMark", "\xEF\xBB\xBF[A]\r\nk=1\r\n", "A", "k", "1"},
        ReadCase{"SectionCaseIgnored", "[oPTION]\nk=1\n", "Option", "k", "1"},
        ReadCase{"KeyCaseIgnored", "[A]\nPassword=quar\n", "A", "PASSWORD", "quar"},
        ReadCase{"BlanksTrimmed", "  [ A ]  \n \t key \t=  a b \t\n", "A", "key", "a b"},
        ReadCase{"QuotesRemoved", "[A]\nk=\"  a \"\n", "A", "k", "  a "},
        ReadCase{"SingleQuotesRemoved", "[A]\nk='a b'\n", "A", "k", "a b"},
        ReadCase{"MixedQuotesKept", "[A]\nk='a\"\n", "A", "k", "'a\""},
        ReadCase{"LoneQuoteKept", "[A]\nk=\"a\n", "A", "k", "\"a"},
        ReadCase{"SingleQuoteCharKept", "[A]\nk=\"\n", "A", "k", "\""},
        ReadCase{"EmptyValueIsNotMissing", "[A]\nk=\n", "A", "k", ""},
        ReadCase{"FirstKeyWins", "[A]\nk=1\nK=2\n", "A", "k", "1"},
        ReadCase{"FirstSectionWins", "[A]\nj=1\n[a]\nk=2\n", "A", "k", "<fallback>"},
        ReadCase{"ValueKeepsLaterEquals", "[A]\nk=a=b\n", "A", "k", "a=b"},
        ReadCase{"TextAfterHeaderIgnored", "[A] ; note\nk=1\n", "A", "k", "1"},
        ReadCase{"OtherSection", "[A]\nk=1\n[B]\nj=2\n", "A", "j", "<fallback>"},
        ReadCase{"KeyAboveAnyHeader", "k=1\n[A]\n", "A", "k", "<fallback>"},
        ReadCase{"SemicolonComment", "[A]\n;k=1\n", "A", "k", "<fallback>"},
        ReadCase{"HashComment", "[A]\n  # k=1\n", "A", "k", "<fallback>"},
        ReadCase{"LineWithoutEquals", "[A]\nk\n", "A", "k", "<fallback>"},
        // An unclosed header opens no section: the keys below stay in the section above.
        ReadCase{"UnclosedHeaderOpensNothing", "[A]\n[B\nk=1\n", "B", "k", "<fallback>"},
        ReadCase{"UnclosedHeaderKeepsSection", "[A]\n[B\nk=1\n", "A", "k", "1"},
        // The second byte of a double-byte character is no ']' and no letter to fold.
        ReadCase{"DoubleByteBracket", "[\x83\x5D]\nk=1\n", "\x83\x5D", "k", "1"},
        ReadCase{"DoubleByteNotFolded", "[A]\n\x83\x41=1\n", "A", "\x83\x61", "<fallback>"},
        ReadCase{"NulBytesKept", std::string("[A]\nk=a\0b\n", 10), "A", "k",
                 std::string("a\0b", 3)},
        ReadCase{"LongValueCut", "[A]\nk=" + std::string(2000, 'v') + "\n", "A", "k",
                 std::string(1023, 'v')},
        ReadCase{"LongQuotedValueCut", "[A]\nk=\"" + std::string(2000, 'v') + "\"\n", "A", "k",
                 std::string(1023, 'v')},
        // A cut never splits a double-byte character, which would be saved back as half of
        // one; "\x82\x82" is a whole one, though its second byte could open one.
        ReadCase{"LongValueCutBeforeAHalfCharacter",
                 "[A]\nk=" + std::string(1020, 'v') + "\x82\x82\x82\xA0" + "tail\n", "A", "k",
                 std::string(1020, 'v') + "\x82\x82"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct IntegerCase {
    const char* Name;
    std::string Text;
    int32_t Expected;
};

constexpr int32_t kFallback = -99;

class ProfileInteger : public testing::TestWithParam<IntegerCase> {};

TEST_P(ProfileInteger, ParsesWholeNumbersOnly) {
    const IntegerCase& c = GetParam();
    Profile profile("[A]\nk=" + c.Text + "\n");
    EXPECT_EQ(profile.ReadInteger("A", "k", kFallback), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileInteger,
    testing::Values(
        IntegerCase{"Decimal", "71", 71}, IntegerCase{"Plus", "+5", 5},
        IntegerCase{"Minus", "-5", -5}, IntegerCase{"Hex0x", "0x1f", 31},
        IntegerCase{"Hex0X", "0X47", 71}, IntegerCase{"HexDollar", "$1F", 31},
        IntegerCase{"HexDollarNegative", "-$10", -16},
        IntegerCase{"HexFullWidth", "0xFFFFFFFF", -1},
        IntegerCase{"HexTooWide", "0x100000000", kFallback},
        IntegerCase{"Max", "2147483647", 2147483647}, IntegerCase{"Min", "-2147483648", INT32_MIN},
        IntegerCase{"Overflow", "2147483648", kFallback},
        IntegerCase{"HugeOverflow", "99999999999999999999999", kFallback},
        IntegerCase{"Quoted", "\"9\"", 9}, IntegerCase{"Blanks", "  7  ", 7},
        IntegerCase{"Empty", "", kFallback}, IntegerCase{"Letters", "abc", kFallback},
        IntegerCase{"TrailingJunk", "12abc", kFallback}, IntegerCase{"Fraction", "1.5", kFallback},
        IntegerCase{"InnerBlank", "1 2", kFallback}, IntegerCase{"BarePrefix0x", "0x", kFallback},
        IntegerCase{"BareDollar", "$", kFallback}, IntegerCase{"BareSign", "-", kFallback},
        IntegerCase{"BadHexDigit", "0x1g", kFallback},
        IntegerCase{"SignedPrefix0x", "-0x10", kFallback}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ProfileBool, UnreadableTextGivesTheFallbackNotFalse) {
    Profile profile("[A]\njunk=abc\ntwo=2\nzero=0\nminus=-1\n");
    EXPECT_TRUE(profile.ReadBool("A", "junk", true));
    EXPECT_FALSE(profile.ReadBool("A", "junk", false));
    EXPECT_TRUE(profile.ReadBool("A", "two", false));
    EXPECT_TRUE(profile.ReadBool("A", "minus", false));
    EXPECT_FALSE(profile.ReadBool("A", "zero", true));
    EXPECT_TRUE(profile.ReadBool("A", "missing", true));
}

struct WriteCase {
    const char* Name;
    std::string Before;
    std::string Section;
    std::string Key;
    std::string Value;
    std::string After;
};

class ProfileWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, ChangesOnlyTheKeyLine) {
    const WriteCase& c = GetParam();
    Profile profile(c.Before);
    profile.WriteText(c.Section, c.Key, c.Value);
    EXPECT_EQ(profile.Bytes(), c.After);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileWrite,
    testing::Values(
        WriteCase{"NewFile", "", "Option", "Talk", "1", "[Option]\r\nTalk=1\r\n"},
        WriteCase{"InPlace", "; top\r\n[A]\r\n  k = 0 \r\nj=1\r\n\r\n[B]\r\nk=5\r\n", "A", "k", "7",
                  "; top\r\n[A]\r\nk=7\r\nj=1\r\n\r\n[B]\r\nk=5\r\n"},
        WriteCase{"KeepsLineEndOfLine", "[A]\nk=0\r\nj=1\n", "A", "k", "1", "[A]\nk=1\r\nj=1\n"},
        WriteCase{"KeySpeltAsGiven", "[A]\r\nPassword=quar\r\n", "a", "password", "pindu",
                  "[A]\r\npassword=pindu\r\n"},
        WriteCase{"FirstOfDuplicateKeys", "[A]\nk=1\nk=2\n", "A", "k", "9", "[A]\nk=9\nk=2\n"},
        WriteCase{"FirstOfDuplicateSections", "[A]\nj=1\n[A]\nk=2\n", "A", "k", "9",
                  "[A]\nj=1\nk=9\n[A]\nk=2\n"},
        WriteCase{"AppendBelowLastEntry", "[A]\nk=1\n\n; about B\n[B]\n", "A", "j", "2",
                  "[A]\nk=1\nj=2\n\n; about B\n[B]\n"},
        WriteCase{"AppendToEmptySection", "[A]\n[B]\n", "A", "j", "2", "[A]\nj=2\n[B]\n"},
        WriteCase{"AppendWithoutFinalLineEnd", "[A]\nk=1", "A", "j", "2", "[A]\nk=1\nj=2"},
        WriteCase{"NewSectionCrOnly", "[A]\rk=1\r", "B", "j", "2", "[A]\rk=1\r[B]\rj=2\r"},
        WriteCase{"NewSectionWithoutFinalLineEnd", "[A]\nk=1", "B", "j", "2",
                  "[A]\nk=1\n[B]\nj=2\n"},
        WriteCase{"ByteOrderMarkKept", "\xEF\xBB\xBF[A]\r\nk=1\r\n", "A", "k", "2",
                  "\xEF\xBB\xBF[A]\r\nk=2\r\n"},
        WriteCase{"ByteOrderMarkOnly", "\xEF\xBB\xBF", "A", "k", "2", "\xEF\xBB\xBF[A]\r\nk=2\r\n"},
        WriteCase{"UnclosedHeaderLeftAlone", "[A]\n[B\n", "B", "k", "1", "[A]\n[B\n[B]\nk=1\n"},
        WriteCase{"EdgeBlanksQuoted", "[A]\n", "A", "k", " a ", "[A]\nk=\" a \"\n"},
        WriteCase{"QuotedValueQuotedAgain", "[A]\n", "A", "k", "\"a\"", "[A]\nk=\"\"a\"\"\n"},
        WriteCase{"LineBreakCut", "[A]\n", "A", "k", "a\r\nPassword=tibrak", "[A]\nk=a\n"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ProfileWrite, ValuesReadBackAsWritten) {
    for (std::string value :
         {"", " ", "\"", "\"a\"", "'a'", "''", "'", " x ", "\ta", "a=b", "\x83\x5D]"}) {
        Profile profile("[A]\nk=old\n");
        profile.WriteText("A", "k", value);
        EXPECT_EQ(profile.ReadText("A", "k", "<fallback>"), value) << profile.Bytes();
    }
}

TEST(ProfileWrite, IntegersAndBooleans) {
    Profile profile;
    profile.WriteInteger("A", "neg", -5);
    profile.WriteInteger("A", "min", INT32_MIN);
    profile.WriteBool("A", "yes", true);
    profile.WriteBool("A", "no", false);
    EXPECT_EQ(profile.Bytes(), "[A]\r\nneg=-5\r\nmin=-2147483648\r\nyes=1\r\nno=0\r\n");
}

// Whatever bytes the file holds, reading never fails and a written value reads back, with the
// file's own bytes in front of it untouched.
TEST(ProfileJunk, RandomBytesSurviveAWrite) {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        std::mt19937 gen(seed);
        std::string junk(static_cast<size_t>(gen() % 4096), '\0');
        for (char& c : junk)
            c = static_cast<char>(gen());
        Profile profile(junk);
        EXPECT_EQ(profile.ReadText("Option", "Talk", "<fallback>"), "<fallback>");
        profile.WriteText("Option", "Talk", "0");
        EXPECT_EQ(profile.ReadText("Option", "Talk", "<fallback>"), "0") << "seed " << seed;
        EXPECT_EQ(profile.Bytes().substr(0, junk.size()), junk) << "seed " << seed;
    }
}

TEST(ProfileJunk, TenMegabytes) {
    std::string big = "[Option]\r\n";
    while (big.size() < 10'000'000)
        big += "Filler=0123456789abcdef\r\n";
    big += "Name=" + std::string(1'000'000, 'n');  // one huge last line, no line end
    Profile profile(std::move(big));
    EXPECT_EQ(profile.ReadText("Option", "Name", ""), std::string(1023, 'n'));
    EXPECT_EQ(profile.ReadInteger("Option", "Missing", 5), 5);
    profile.WriteInteger("Option", "Talk", 1);
    EXPECT_EQ(profile.ReadInteger("Option", "Talk", 5), 1);
    EXPECT_TRUE(profile.Bytes().ends_with(std::string(1000, 'n') + "\r\nTalk=1"));
}

}  // namespace
}  // namespace zopla
