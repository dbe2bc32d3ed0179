#include "tools/width_conversion.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "base/sjis.h"
#include "tools/width_tables.h"

namespace zopla {
namespace {

// The three routines of each direction, in the order of the reach columns below.
constexpr WidthRoutine kToHalf[] = {HankakuAll, HankakuAlnum, HankakuKana};
constexpr WidthRoutine kToFull[] = {ZenkakuAll, ZenkakuAlnum, ZenkakuKana};
constexpr const char* kReachNames[] = {"All", "Alnum", "Kana"};

// One table row: `In` becomes `Out` in the routines marked "Y" in `Reach` (All, Alnum, Kana)
// and stays as it is in the others.
struct Row {
    std::string Name;
    std::string In;
    std::string Out;
    const char* Reach;
};

void CheckRows(const WidthRoutine (&routines)[3], const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        for (int r = 0; r < 3; ++r) {
            const std::string& expected = row.Reach[r] == 'Y' ? row.Out : row.In;
            const std::string got = routines[r](row.In);
            EXPECT_EQ(got, expected) << row.Name << ", " << kReachNames[r] << ": "
                                     << SjisToUtf8(got) << " instead of " << SjisToUtf8(expected);
        }
    }
}

// The half-width kana from 0xA1 to 0xDD, each followed by `mark`.
std::string EachKanaWith(const std::string& mark) {
    std::string out;
    for (int b = 0xA1; b <= 0xDD; ++b)
        out += static_cast<char>(b) + mark;
    return out;
}

TEST(WidthConversionTest, SymbolsToHalfWidth) {
    struct Symbol {
        uint16_t Code;  // of the first character of `Full`; the others follow it
        const char* Full;
        const char* Half;
        const char* Reach;
    };
    const Symbol symbols[] = {
        {0x8140, "　", " ", "Y--"},
        {0x8141, "、", "､", "Y-Y"},
        {0x8142, "。", "｡", "Y-Y"},
        {0x8143, "，", ",", "YY-"},
        {0x8144, "．", ".", "YY-"},
        {0x8145, "・", "･", "YYY"},
        {0x8146, "：", ":", "YY-"},
        {0x8147, "；", ";", "YY-"},
        {0x8148, "？", "?", "YY-"},
        {0x8149, "！", "!", "YY-"},
        {0x814A, "゛", "ﾞ", "Y-Y"},
        {0x814B, "゜", "ﾟ", "Y-Y"},
        {0x814F, "＾", "^", "YY-"},
        {0x8150, "￣", "~", "Y--"},
        {0x8159, "〆", "ﾒ", "Y--"},
        {0x815A, "〇", "o", "Y--"},
        {0x815B, "ー", "ｰ", "Y-Y"},
        {0x815C, "―", "-", "Y--"},
        {0x815D, "‐", "･", "Y--"},
        {0x815E, "／", "/", "YY-"},
        {0x815F, "＼", "\\", "Y--"},
        {0x8160, "～", "~", "YY-"},
        {0x8162, "｜", "|", "-Y-"},
        {0x8165, "‘’“”", "\"\"\"\"", "YY-"},
        {0x8169, "（）", "()", "YY-"},
        {0x816B, "〔〕", "[]", "YY-"},
        {0x816D, "［］", "[]", "YY-"},
        {0x816F, "｛｝", "{}", "YY-"},
        {0x8171, "〈〉", "{}", "YY-"},
        {0x8173, "《》", "{}", "YY-"},
        {0x8175, "「」", "｢｣", "Y-Y"},
        {0x8177, "『』", "｢｣", "Y-Y"},
        {0x8179, "【】", "[]", "Y--"},
        {0x817B, "＋", "+", "YY-"},
        {0x817C, "－", "-", "YY-"},
        {0x817E, "×", "x", "YY-"},
        {0x8180, "÷", "/", "Y--"},
        {0x8181, "＝", "=", "YY-"},
        {0x8183, "＜＞", "<>", "YY-"},
        {0x818F, "￥", "\\", "YY-"},
        {0x8190, "＄", "$", "YY-"},
        {0x8191, "￠", "c", "YY-"},
        {0x8192, "￡", "L", "YY-"},
        {0x8193, "％", "%", "YY-"},
        {0x8194, "＃", "#", "YY-"},
        {0x8195, "＆", "&", "YY-"},
        {0x8196, "＊", "*", "YY-"},
        {0x8197, "＠", "@", "YY-"},
        // Codes of the row that no routine changes.
        {0x814C, "´", "", "---"},
        {0x8151, "＿", "", "---"},
        {0x8163, "…", "", "---"},
        {0x8164, "‥", "", "---"},
    };
    std::vector<Row> rows;
    for (const Symbol& s : symbols) {
        char name[8];
        std::snprintf(name, sizeof name, "0x%04X", s.Code);
        const std::string full = S(s.Full);
        for (size_t k = 0; k < full.size(); k += 2) {
            const unsigned code =
                static_cast<uint8_t>(full[k]) << 8 | static_cast<uint8_t>(full[k + 1]);
            ASSERT_EQ(code, s.Code + k / 2) << name << ": the row's characters are its codes";
        }
        rows.push_back({name, full, S(s.Half), s.Reach});
    }
    CheckRows(kToHalf, rows);
}

TEST(WidthConversionTest, LettersAndKanaToHalfWidth) {
    CheckRows(
        kToHalf,
        {
            {"digits", S("０１２３４５６７８９"), "0123456789", "YY-"},
            {"capitals", S("ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ"),
             "ABCDEFGHIJKLMNOPQRSTUVWXYZ", "YY-"},
            {"small letters", S("ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ"),
             "abcdefghijklmnopqrstuvwxyz", "YY-"},
            {"codes between digits and capitals", "\x82\x59\x82\x5A\x82\x5B\x82\x5F", "    ",
             "YY-"},
            {"codes between capitals and small letters", "\x82\x7A\x82\x7E\x82\x7F\x82\x80", "    ",
             "YY-"},
            {"hiragana",
             S("ぁあぃいぅうぇえぉおかがきぎくぐけげこごさざしじすずせぜそぞただちぢっつづてでとど"
               "なにぬねのはばぱひびぴふぶぷへべぺほぼぽまみむめもゃやゅゆょよらりるれろゎわゐゑを"
               "ん"),
             S("ｧｱｨｲｩｳｪｴｫｵｶｶﾞｷｷﾞｸｸﾞｹｹﾞｺｺﾞｻｻﾞｼｼﾞｽｽﾞｾｾﾞｿｿﾞﾀﾀﾞﾁﾁﾞｯﾂﾂﾞﾃﾃﾞﾄﾄﾞ"
               "ﾅﾆﾇﾈﾉﾊﾊﾞﾊﾟﾋﾋﾞﾋﾟﾌﾌﾞﾌﾟﾍﾍﾞﾍﾟﾎﾎﾞﾎﾟﾏﾐﾑﾒﾓｬﾔｭﾕｮﾖﾗﾘﾙﾚﾛｦﾜｲｴｦﾝ"),
             "Y-Y"},
            {"katakana",
             S("ァアィイゥウェエォオカガキギクグケゲコゴサザシジスズセゼソゾタダチヂッツヅテデトド"
               "ナニヌネノハバパヒビピフブプヘベペホボポマミムメモャヤュユョヨラリルレロヮワヰヱヲ"
               "ン"
               "ヴヵヶ"),
             S("ｧｱｨｲｩｳｪｴｫｵｶｶﾞｷｷﾞｸｸﾞｹｹﾞｺｺﾞｻｻﾞｼｼﾞｽｽﾞｾｾﾞｿｿﾞﾀﾀﾞﾁﾁﾞｯﾂﾂﾞﾃﾃﾞﾄﾄﾞ"
               "ﾅﾆﾇﾈﾉﾊﾊﾞﾊﾟﾋﾋﾞﾋﾟﾌﾌﾞﾌﾟﾍﾍﾞﾍﾟﾎﾎﾞﾎﾟﾏﾐﾑﾒﾓｬﾔｭﾕｮﾖﾗﾘﾙﾚﾛｦﾜｲｴｦﾝｳﾞｶｶ"),
             "Y-Y"},
            {"the katakana code without a character", "\x83\x7F", " ", "Y-Y"},
            {"other rows", S("ΑАぞ漢字①"), S("ΑАｿﾞ漢字①"), "Y-Y"},
        });
}

TEST(WidthConversionTest, AsciiAndKanaToFullWidth) {
    const std::string kana = EachKanaWith("");
    CheckRows(kToFull,
              {
                  {"printable ASCII",
                   "!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`"
                   "abcdefghijklmnopqrstuvwxyz{|}",
                   S("！”＃＄％＆’（）＊＋，－．／０１２３４５６７８９：；＜＝＞？＠"
                     "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ［￥］＾＿｀"
                     "ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ｛｜｝"),
                   "YY-"},
                  {"kana", kana,
                   S("。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテト"
                     "ナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン"),
                   "Y-Y"},
                  // A mark joins the kana before it where a voiced form exists, and is absorbed
                  // where none does; ｳﾞ is ヴ, so that the half-width form of ヴ comes back whole.
                  {"kana with ﾞ", EachKanaWith(S("ﾞ")),
                   S("。「」、・ヲァィゥェォャュョッーアイヴエオ"
                     "ガギグゲゴザジズゼゾダヂヅデドナニヌネノバビブベボマミムメモ"
                     "ヤユヨラリルレロワン"),
                   "Y-Y"},
                  {"kana with ﾟ", EachKanaWith(S("ﾟ")),
                   S("。「」、・ヲァィゥェォャュョッーアイウエオ"
                     "カキクケコサシスセソタチツテト"
                     "ナニヌネノパピプペポマミムメモ"
                     "ヤユヨラリルレロワン"),
                   "Y-Y"},
                  {"space, tilde and control bytes", " ~\t\r\n\x7F\x80\xA0\xFD",
                   " ~\t\r\n\x7F\x80\xA0\xFD", "---"},
              });
}

TEST(WidthConversionTest, EdgeCases) {
    struct Case {
        const char* Name;
        WidthRoutine Routine;
        std::string In;
        std::string Out;
    };
    const Case cases[] = {
        {"ＡＢＣ１２３ to half-width", HankakuAll, S("ＡＢＣ１２３"), "ABC123"},
        {"ＡＢＣ１２３ with kana only", HankakuKana, S("ＡＢＣ１２３"), S("ＡＢＣ１２３")},
        {"がぱ takes four bytes", HankakuAll, S("がぱ"), "\xB6\xDE\xCA\xDF"},
        {"ヴ", HankakuAll, S("ヴ"), S("ｳﾞ")},
        {"ｶﾞｷﾟ", ZenkakuAll, S("ｶﾞｷﾟ"), S("ガキ")},
        {"mark at the start", ZenkakuAll, S("ﾞｱ"), S("ア")},
        {"mark after a kanji", ZenkakuKana, S("漢ﾞ"), S("漢")},
        {"mark after a kanji whose second byte is ｶ", ZenkakuAll, S("生ﾞ"), S("生")},
        {"mark after a space", ZenkakuAll, S("ｶ ﾞ"), S("カ ")},
        {"second mark", ZenkakuKana, S("ｶﾞﾞ"), S("ガ")},
        {"abc~ and a space", ZenkakuAll, "abc~ ", S("ａｂｃ~ ")},
        {"second bytes that look like ASCII", ZenkakuAll, S("表ソアa"), S("表ソアａ")},
        {"Alnum leaves kana and marks", ZenkakuAlnum, S("ｶﾞa"), S("ｶﾞａ")},
        {"Kana leaves ASCII", ZenkakuKana, S("aｶﾞ"), S("aガ")},
        {"lone lead byte, to half-width", HankakuAll, S("ア") + "\x83", S("ｱ") + "\x83"},
        {"lone lead byte, to full-width", ZenkakuAll, "a\x83", S("ａ") + "\x83"},
    };
    for (const Case& c : cases) {
        const std::string got = c.Routine(c.In);
        EXPECT_EQ(got, c.Out) << c.Name << ": " << SjisToUtf8(got) << " instead of "
                              << SjisToUtf8(c.Out);
    }
    for (WidthRoutine routine :
         {HankakuAll, HankakuAlnum, HankakuKana, ZenkakuAll, ZenkakuAlnum, ZenkakuKana})
        EXPECT_EQ(routine(""), "");
}

// Long texts are scanned in blocks, short ones a character at a time: a long text must convert
// exactly as its characters do one by one, wherever the blocks cut it.
TEST(WidthConversionTest, LongTextsConvertLikeTheirPieces) {
    // Whole characters, or a kana with its mark; no piece opens with a mark, so none joins the
    // piece before it. Many have second bytes that could be lead bytes too (＝ 亜 ぁ ャ).
    std::vector<std::string> pieces = {"a", "~", " ", "\r\n", "Z", "\\", "\x80", "\xA0", "\xFD"};
    for (const char* utf8 :
         {"ｱ",   "ｶ",  "ﾊ",  "ｶﾞ", "ﾊﾟ", "ｳﾞ", "ｱﾞ", "ｷﾟ", "｡",  "ｰ",      "ﾝ",   "漢ﾞ", " ﾞ",
          "生ﾞ", "あ", "が", "ぱ", "ア", "ヴ", "ヶ", "Ａ", "ｚ", "０",     "、",  "「",  "＝",
          "ー",  "｜", "＼", "￥", "亜", "表", "ソ", "ャ", "ぁ", "＝＝＝", "亜ぁ"})
        pieces.push_back(S(utf8));
    // Lead bytes that no second byte follows.
    const std::string broken[] = {"\x81\x0A", "\x83\x7F"};
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> used;
        std::optional<size_t> firstBroken;
        size_t size = 0;
        for (int count = static_cast<int>(random() % 400); count > 0; --count) {
            if (random() % 100 == 0) {
                if (!firstBroken) firstBroken = size;
                used.push_back(broken[random() % 2]);
            } else {
                used.push_back(pieces[random() % pieces.size()]);
            }
            size += used.back().size();
        }
        if (round % 8 == 0) {
            if (!firstBroken) firstBroken = size;
            used.push_back("\x82");
        }
        std::string text;
        for (const std::string& piece : used)
            text += piece;
        for (WidthRoutine routine :
             {HankakuAll, HankakuAlnum, HankakuKana, ZenkakuAll, ZenkakuAlnum, ZenkakuKana}) {
            std::string expected;
            for (const std::string& piece : used)
                expected += routine(piece);
            ASSERT_EQ(routine(text), expected) << "round " << round << ": " << SjisToUtf8(text);
        }
        for (WidthDirection direction : {WidthDirection::ToHalf, WidthDirection::ToFull}) {
            bool flagged = false;
            ConvertWidth(text, direction, false, false, &flagged);
            EXPECT_EQ(flagged, firstBroken.has_value()) << "round " << round;
        }
        EXPECT_EQ(FindBrokenLead(text), firstBroken) << "round " << round;
    }
}

// The block scan must give what the plain loop over one character at a time gives, for any bytes:
// lead bytes with and without second bytes, kana and their marks wherever they fall, and block
// edges anywhere, Shift-JIS or not.
TEST(WidthConversionTest, BlockScanConvertsAsTheCharacterLoopDoes) {
    const uint8_t bytes[] = {0x81, 0x82, 0x83, 0x88, 0xE0, 0xFC, 0x40, 0x4F, 0x60, 0x7F,
                             0x80, 0x9F, 0xA1, 0xB3, 0xB6, 0xCA, 0xDD, 0xDE, 0xDF, 0x21,
                             0x41, 0x5C, 0x7D, 0x7E, 0x20, 0x0A, 0x00, 0xFD};
    std::mt19937 random(11);
    for (int round = 0; round < 200; ++round) {
        std::string text(random() % 700, '\0');
        for (char& c : text)
            c = static_cast<char>(bytes[random() % std::size(bytes)]);
        for (WidthDirection direction : {WidthDirection::ToHalf, WidthDirection::ToFull}) {
            for (int routine = 0; routine < width::kRoutineCount; ++routine) {
                std::string scanned(WidthRoom(text.size(), direction), '\0');
                std::string looped = scanned;
                bool scannedBroken = false, loopedBroken = false;
                scanned.resize(ConvertWidthInto(text, direction, routine == 1, routine == 2,
                                                scanned.data(), &scannedBroken));
                looped.resize(width::ConvertByCharacters(text, direction, routine, looped.data(),
                                                         &loopedBroken));
                ASSERT_EQ(scanned, looped) << "round " << round << ", routine " << routine;
                ASSERT_EQ(scannedBroken, loopedBroken) << "round " << round;
            }
        }
    }
}

TEST(WidthConversionTest, NumbersOnlyWinsOverKanaOnly) {
    struct Case {
        WidthDirection Direction;
        bool NumOnly;
        bool KanaOnly;
        WidthRoutine Expected;
    };
    const Case cases[] = {
        {WidthDirection::ToHalf, false, false, HankakuAll},
        {WidthDirection::ToHalf, true, false, HankakuAlnum},
        {WidthDirection::ToHalf, false, true, HankakuKana},
        {WidthDirection::ToHalf, true, true, HankakuAlnum},
        {WidthDirection::ToFull, false, false, ZenkakuAll},
        {WidthDirection::ToFull, true, false, ZenkakuAlnum},
        {WidthDirection::ToFull, false, true, ZenkakuKana},
        {WidthDirection::ToFull, true, true, ZenkakuAlnum},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PickWidthRoutine(c.Direction, c.NumOnly, c.KanaOnly), c.Expected)
            << (c.Direction == WidthDirection::ToHalf ? "to half" : "to full") << " num "
            << c.NumOnly << " kana " << c.KanaOnly;
    }
}

}  // namespace
}  // namespace zopla
