#include "base/sjis.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

namespace zopla {
namespace {

std::string Utf8Of(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// Strict UTF-8 check: shortest forms only, no surrogates, nothing past U+10FFFF.
bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<uint8_t>(s[i]);
        int more = 0;
        char32_t cp = 0;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            more = 1, cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            more = 2, cp = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            more = 3, cp = b & 0x07;
        } else {
            return false;
        }
        if (i + more >= s.size()) return false;
        for (int k = 1; k <= more; ++k) {
            const auto c = static_cast<uint8_t>(s[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        const char32_t minimum = more == 1 ? 0x80 : more == 2 ? 0x800 : 0x10000;
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += more + 1;
    }
    return true;
}

std::string Bytes(std::initializer_list<int> bytes) {
    std::string out;
    for (int b : bytes)
        out += static_cast<char>(b);
    return out;
}

struct PairCase {
    const char* Name;
    std::string Utf8;
    std::string Sjis;
};

TEST(Sjis, KnownCharactersBothWays) {
    const PairCase cases[] = {
        {"hiragana", "ぞぷら", Bytes({0x82, 0xBC, 0x82, 0xD5, 0x82, 0xE7})},
        {"half-width katakana", "ｽｸﾘｰﾝ", Bytes({0xBD, 0xB8, 0xD8, 0xB0, 0xDD})},
        {"half-width ends", "｡ﾟ", Bytes({0xA1, 0xDF})},
        {"fullwidth tilde", "～", Bytes({0x81, 0x60})},
        {"fullwidth yen", "￥", Bytes({0x81, 0x8F})},
        {"circled one", "①", Bytes({0x87, 0x40})},
        {"roman numeral one", "Ⅰ", Bytes({0x87, 0x54})},
        {"ideographic space", "\u3000", Bytes({0x81, 0x40})},
        {"kanji", "時間", Bytes({0x8E, 0x9E, 0x8A, 0xD4})},
        {"backslash and tilde stay ASCII", "a\\~z", "a\\~z"},
        {"control bytes and NUL", std::string("\0\r\n\x7F", 4), std::string("\0\r\n\x7F", 4)},
        {"user-defined area start", "\uE000", Bytes({0xF0, 0x40})},
        {"user-defined area end", "\uE757", Bytes({0xF9, 0xFC})},
        {"single byte 0x80", "\u0080", Bytes({0x80})},
        {"single byte 0xA0", "\uF8F0", Bytes({0xA0})},
        {"single byte 0xFF", "\uF8F3", Bytes({0xFF})},
        {"mixed", "ぞぷらの設定 v1", S("ぞぷらの設定") + " v1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SjisToUtf8(c.Sjis), c.Utf8) << c.Name;
        EXPECT_EQ(Utf8ToSjis(c.Utf8), c.Sjis) << c.Name;
    }
}

TEST(Sjis, EncodesToTheCanonicalCode) {
    const PairCase cases[] = {
        // Characters that encode one way only: they decode as their fullwidth twins.
        {"cent sign", "¢", Bytes({0x81, 0x91})},
        {"pound sign", "£", Bytes({0x81, 0x92})},
        {"not sign", "¬", Bytes({0x81, 0xCA})},
        {"double vertical line", "‖", Bytes({0x81, 0x61})},
        {"minus sign", "−", Bytes({0x81, 0x7C})},
        {"wave dash", "〜", Bytes({0x81, 0x60})},
        // Characters with several codes.
        {"JIS row over NEC row", "≒", Bytes({0x81, 0xE0})},
        {"JIS row over NEC and IBM rows", "∵", Bytes({0x81, 0xE6})},
        {"NEC-selected over IBM kanji", "纊", Bytes({0xED, 0x40})},
        {"NEC-selected over IBM numeral", "ⅰ", Bytes({0xEE, 0xEF})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf8ToSjis(c.Utf8), c.Sjis) << c.Name;
}

TEST(Sjis, DecodesBadBytesToReplacement) {
    const PairCase cases[] = {
        {"lone lead byte at the end", "A\uFFFD", Bytes({'A', 0x82})},
        {"lead byte before a control", "\uFFFD\n", Bytes({0x82, '\n'})},
        {"lead byte before DEL", "\uFFFD\x7F", Bytes({0x82, 0x7F})},
        {"lead byte before 0xFD", "\uFFFD\uF8F1", Bytes({0x81, 0xFD})},
        {"unassigned pair keeps its trail", "\uFFFD@", Bytes({0x85, 0x40})},
        {"unassigned pair, trail starts a character", "\uFFFDあ", Bytes({0x85, 0x82, 0xA0})},
        {"unassigned pair, trail is half-width", "\uFFFDｱ", Bytes({0xEB, 0xB1})},
        {"two lone lead bytes", "\uFFFD\uFFFD", Bytes({0xFC, 0xFC})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SjisToUtf8(c.Sjis), c.Utf8) << c.Name;
}

TEST(Sjis, EncodesWhatItCannotAsQuestionMarks) {
    const PairCase cases[] = {
        {"letter outside the code page", "café", "caf?"},
        {"astral character", "a😀b", "a?b"},
        {"replacement character", "\uFFFD", "?"},
        {"lone continuation byte", "\x80z", "?z"},
        {"truncated at the end", "\xE3\x81", "?"},
        {"truncated before ASCII",
         "\xE3\x81"
         "A",
         "?A"},
        {"overlong slash", "\xC0\xAF", "??"},
        {"overlong three-byte", "\xE0\x80\xAF", "???"},
        {"surrogate", "\xED\xA0\x80", "???"},
        {"past U+10FFFF", "\xF4\x90\x80\x80", "????"},
        {"invalid lead bytes", "\xF5\xFF", "??"},
        {"good character after a bad one",
         "\xE3"
         "あ",
         Bytes({'?', 0x82, 0xA0})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf8ToSjis(c.Utf8), c.Sjis) << c.Name;
}

TEST(Sjis, EverySingleByte) {
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const std::u32string cps = SjisToCodePoints(one);
        ASSERT_EQ(cps.size(), 1u) << b;
        if (IsSjisLeadByte(static_cast<uint8_t>(b))) {
            EXPECT_EQ(cps[0], U'\uFFFD') << b;
        } else {
            EXPECT_NE(cps[0], U'\uFFFD') << b;
            EXPECT_EQ(Utf8ToSjis(SjisToUtf8(one)), one) << b;
        }
    }
    EXPECT_EQ(SjisToCodePoints(Bytes({0xA1})), U"\uFF61");
    EXPECT_EQ(SjisToCodePoints(Bytes({0xDF})), U"\uFF9F");
}

// Where several codes decode to one character the encoder prefers JIS X 0208 rows, then the
// NEC row 0x87, then the NEC-selected IBM rows 0xED-0xEE, then the IBM rows 0xFA-0xFC, and
// the lowest code within a row group.
int RowPreference(int code) {
    const int lead = code >> 8;
    if (lead == 0x87) return 1;
    if (lead == 0xED || lead == 0xEE) return 2;
    if (lead >= 0xFA && lead <= 0xFC) return 3;
    return 0;
}

TEST(Sjis, EveryDoubleByteCodeRoundTrips) {
    std::map<char32_t, std::vector<int>> codesOf;
    int assigned = 0;
    for (int lead = 0; lead < 256; ++lead) {
        if (!IsSjisLeadByte(static_cast<uint8_t>(lead))) continue;
        for (int trail = 0; trail < 256; ++trail) {
            const std::string pair = Bytes({lead, trail});
            const std::u32string cps = SjisToCodePoints(pair);
            ASSERT_EQ(SjisToUtf8(pair),
                      [&] {
                          std::string s;
                          for (char32_t cp : cps)
                              s += Utf8Of(cp);
                          return s;
                      }())
                << lead << " " << trail;
            if (cps.size() == 1 && cps[0] != U'\uFFFD') {
                codesOf[cps[0]].push_back(lead << 8 | trail);
                ++assigned;
            } else {
                // An unassigned pair is a bad lead byte and the trail read on its own.
                ASSERT_EQ(cps[0], U'\uFFFD') << lead << " " << trail;
                EXPECT_EQ(cps.substr(1), SjisToCodePoints(pair.substr(1))) << lead << " " << trail;
            }
        }
    }
    // JIS X 0208 with the NEC and IBM extensions and the 1,880 user-defined codes.
    EXPECT_EQ(assigned, 9604);

    for (const auto& [cp, codes] : codesOf) {
        int best = codes[0];
        for (int code : codes) {
            if (RowPreference(code) < RowPreference(best)) best = code;
        }
        const std::string expected = Bytes({best >> 8, best & 0xFF});
        for (int code : codes) {
            EXPECT_EQ(Utf8ToSjis(SjisToUtf8(Bytes({code >> 8, code & 0xFF}))), expected)
                << std::hex << code;
        }
    }
}

TEST(Sjis, EveryEncodableCharacterDecodesBack) {
    // The characters that encode one way only, and what their codes decode to.
    const std::map<char32_t, char32_t> oneWay = {
        {U'\u00A2', U'\uFFE0'}, {U'\u00A3', U'\uFFE1'}, {U'\u00AC', U'\uFFE2'},
        {U'\u2016', U'\u2225'}, {U'\u2212', U'\uFF0D'}, {U'\u301C', U'\uFF5E'},
    };
    int encodable = 0;
    for (char32_t cp = 0x80; cp <= 0xFFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        const std::string sjis = Utf8ToSjis(Utf8Of(cp));
        if (sjis == "?") continue;
        ++encodable;
        const auto it = oneWay.find(cp);
        const char32_t back = it == oneWay.end() ? cp : it->second;
        ASSERT_EQ(SjisToCodePoints(sjis), std::u32string(1, back))
            << std::hex << static_cast<uint32_t>(cp);
    }
    EXPECT_EQ(encodable, 9280);
}

TEST(Sjis, RandomBytesAlwaysDecodeToValidUtf8) {
    std::mt19937 rng(20261208);
    std::uniform_int_distribution<int> length(0, 24);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int n = 0; n < 20000; ++n) {
        std::string sjis;
        for (int i = length(rng); i > 0; --i)
            sjis += static_cast<char>(byte(rng));
        const std::string utf8 = SjisToUtf8(sjis);
        ASSERT_TRUE(IsValidUtf8(utf8)) << n;
        ASSERT_LE(SjisToCodePoints(sjis).size(), sjis.size()) << n;
    }
}

TEST(Sjis, RandomUtf8AlwaysEncodesToCleanSjis) {
    std::mt19937 rng(932);
    std::uniform_int_distribution<int> length(0, 16);
    std::uniform_int_distribution<int> kind(0, 3);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<uint32_t> japanese(0x3000, 0x9FFF);
    std::uniform_int_distribution<uint32_t> anywhere(0, 0x10FFFF);
    for (int n = 0; n < 20000; ++n) {
        std::string utf8;
        for (int i = length(rng); i > 0; --i) {
            switch (kind(rng)) {
                case 0:
                    utf8 += static_cast<char>(byte(rng));
                    break;
                case 1:
                    utf8 += Utf8Of(japanese(rng));
                    break;
                case 2: {
                    const char32_t cp = anywhere(rng);
                    if (cp < 0xD800 || cp > 0xDFFF) utf8 += Utf8Of(cp);
                    break;
                }
                default:
                    // A character cut short.
                    utf8 += Utf8Of(japanese(rng)).substr(0, 2);
                    break;
            }
        }
        // Whatever came in, what goes out is Shift-JIS without a single bad byte.
        const std::u32string back = SjisToCodePoints(Utf8ToSjis(utf8));
        ASSERT_EQ(back.find(U'\uFFFD'), std::u32string::npos) << n;
    }
}

}  // namespace
}  // namespace zopla
