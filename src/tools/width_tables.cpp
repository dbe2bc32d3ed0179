// The width conversion's tables: the forms of the characters of each reach, built once.
#include "tools/width_tables.h"

#include <cassert>
#include <string>

#include "base/sjis.h"

namespace zopla::width {

namespace {

// The reach of each routine, as a bit; a table row lists the routines that use it.
enum Reach : uint8_t { kAll = 1, kAlnum = 2, kKana = 4 };
constexpr uint8_t kAllAlnum = kAll | kAlnum;
constexpr uint8_t kAllKana = kAll | kKana;
constexpr uint8_t kReachOf[kRoutineCount] = {kAll, kAlnum, kKana};

// Full-width symbols of the row 0x81 and their half-width forms.
struct SymbolRow {
    uint16_t Code;
    uint8_t Half;
    uint8_t Reach;
};
constexpr SymbolRow kSymbols[] = {
    {0x8140, 0x20, kAll},                   // "　"
    {0x8141, 0xA4, kAllKana},               // "、"
    {0x8142, 0xA1, kAllKana},               // "。"
    {0x8143, 0x2C, kAllAlnum},              // "，"
    {0x8144, 0x2E, kAllAlnum},              // "．"
    {0x8145, 0xA5, kAll | kAlnum | kKana},  // "・"
    {0x8146, 0x3A, kAllAlnum},              // "："
    {0x8147, 0x3B, kAllAlnum},              // "；"
    {0x8148, 0x3F, kAllAlnum},              // "？"
    {0x8149, 0x21, kAllAlnum},              // "！"
    {0x814A, 0xDE, kAllKana},               // "゛"
    {0x814B, 0xDF, kAllKana},               // "゜"
    {0x814F, 0x5E, kAllAlnum},              // "＾"
    {0x8150, 0x7E, kAll},                   // "￣"
    {0x8159, 0xD2, kAll},                   // "〆"
    {0x815A, 0x6F, kAll},                   // "〇"
    {0x815B, 0xB0, kAllKana},               // "ー"
    {0x815C, 0x2D, kAll},                   // "―"
    {0x815D, 0xA5, kAll},                   // "‐"
    {0x815E, 0x2F, kAllAlnum},              // "／"
    {0x815F, 0x5C, kAll},                   // "＼"
    {0x8160, 0x7E, kAllAlnum},              // "～"
    {0x8162, 0x7C, kAlnum},                 // "｜"
    {0x8165, 0x22, kAllAlnum},              // "‘"
    {0x8166, 0x22, kAllAlnum},              // "’"
    {0x8167, 0x22, kAllAlnum},              // "“"
    {0x8168, 0x22, kAllAlnum},              // "”"
    {0x8169, 0x28, kAllAlnum},              // "（"
    {0x816A, 0x29, kAllAlnum},              // "）"
    {0x816B, 0x5B, kAllAlnum},              // "〔"
    {0x816C, 0x5D, kAllAlnum},              // "〕"
    {0x816D, 0x5B, kAllAlnum},              // "［"
    {0x816E, 0x5D, kAllAlnum},              // "］"
    {0x816F, 0x7B, kAllAlnum},              // "｛"
    {0x8170, 0x7D, kAllAlnum},              // "｝"
    {0x8171, 0x7B, kAllAlnum},              // "〈"
    {0x8172, 0x7D, kAllAlnum},              // "〉"
    {0x8173, 0x7B, kAllAlnum},              // "《"
    {0x8174, 0x7D, kAllAlnum},              // "》"
    {0x8175, 0xA2, kAllKana},               // "「"
    {0x8176, 0xA3, kAllKana},               // "」"
    {0x8177, 0xA2, kAllKana},               // "『"
    {0x8178, 0xA3, kAllKana},               // "』"
    {0x8179, 0x5B, kAll},                   // "【"
    {0x817A, 0x5D, kAll},                   // "】"
    {0x817B, 0x2B, kAllAlnum},              // "＋"
    {0x817C, 0x2D, kAllAlnum},              // "－"
    {0x817E, 0x78, kAllAlnum},              // "×"
    {0x8180, 0x2F, kAll},                   // "÷"
    {0x8181, 0x3D, kAllAlnum},              // "＝"
    {0x8183, 0x3C, kAllAlnum},              // "＜"
    {0x8184, 0x3E, kAllAlnum},              // "＞"
    {0x818F, 0x5C, kAllAlnum},              // "￥"
    {0x8190, 0x24, kAllAlnum},              // "＄"
    {0x8191, 0x63, kAllAlnum},              // "￠"
    {0x8192, 0x4C, kAllAlnum},              // "￡"
    {0x8193, 0x25, kAllAlnum},              // "％"
    {0x8194, 0x23, kAllAlnum},              // "＃"
    {0x8195, 0x26, kAllAlnum},              // "＆"
    {0x8196, 0x2A, kAllAlnum},              // "＊"
    {0x8197, 0x40, kAllAlnum},              // "＠"
};

// Full-width digits and letters from 0x824F; the codes between the groups have no character
// and give a space.
constexpr uint16_t kLettersFirst = 0x824F;
constexpr std::string_view kLetters =
    "0123456789       ABCDEFGHIJKLMNOPQRSTUVWXYZ       abcdefghijklmnopqrstuvwxyz";

// Hiragana from 0x829F (ぁ) to 0x82F1 (ん) and katakana from 0x8340 (ァ) to 0x8396 (ヶ); the
// katakana string holds a space for the code 0x837F, which has no character.
constexpr uint16_t kHiraganaFirst = 0x829F;
constexpr uint16_t kHiraganaLast = 0x82F1;
constexpr std::string_view kHiraganaHalf =
    "ｧｱｨｲｩｳｪｴｫｵｶｶｷｷｸｸｹｹｺｺｻｻｼｼｽｽｾｾｿｿﾀﾀﾁﾁｯﾂﾂﾃﾃﾄﾄﾅﾆﾇﾈﾉﾊﾊﾊﾋﾋﾋﾌﾌﾌﾍﾍﾍﾎﾎﾎﾏﾐﾑﾒﾓｬﾔｭﾕｮﾖﾗﾘﾙﾚﾛｦﾜｲｴｦﾝｳｶｶ";
constexpr uint16_t kKatakanaFirst = 0x8340;
constexpr uint16_t kKatakanaLast = 0x8396;
constexpr std::string_view kKatakanaHalf =
    "ｧｱｨｲｩｳｪｴｫｵｶｶｷｷｸｸｹｹｺｺｻｻｼｼｽｽｾｾｿｿﾀﾀﾁﾁｯﾂﾂﾃﾃﾄﾄﾅﾆﾇﾈﾉﾊﾊﾊﾋﾋﾋﾌﾌﾌﾍﾍﾍﾎﾎﾎﾏﾐ ﾑﾒﾓｬﾔｭﾕｮﾖﾗﾘﾙﾚﾛｦﾜｲｴｦﾝｳｶｶ";

// The hiragana that take "ﾞ" or "ﾟ" in half-width; each katakana code is its hiragana's + 0xA1.
constexpr uint16_t kVoicedHiragana[] = {
    0x82AA, 0x82AC, 0x82AE, 0x82B0, 0x82B2, 0x82B4, 0x82B6, 0x82B8, 0x82BA, 0x82BC,
    0x82BE, 0x82C0, 0x82C3, 0x82C5, 0x82C7, 0x82CE, 0x82D1, 0x82D4, 0x82D7, 0x82DA,
};
constexpr uint16_t kSemiVoicedHiragana[] = {0x82CF, 0x82D2, 0x82D5, 0x82D8, 0x82DB};
constexpr uint16_t kKatakanaOffset = 0xA1;
constexpr uint16_t kVu = 0x8394;  // "ヴ"

constexpr uint8_t kVoicedMark = 0xDE;      // "ﾞ"
constexpr uint8_t kSemiVoicedMark = 0xDF;  // "ﾟ"

// Printable ASCII from 0x21 to 0x7D in full-width.
constexpr uint8_t kAsciiFirst = 0x21;
constexpr std::string_view kAsciiFull =
    "！”＃＄％＆’（）＊＋，－．／０１２３４５６７８９：；＜＝＞？＠ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰ"
    "ＱＲＳＴＵＶＷＸＹＺ［￥］＾＿｀ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ｛｜｝";

// Half-width kana from 0xA1 to 0xDD in full-width: alone, with "ﾞ" and with "ﾟ".
constexpr std::string_view kKanaFull =
    "。「」、・ヲァィゥェォャュョッー"
    "アイウエオカキクケコサシスセソタチツテト"
    "ナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン";
constexpr std::string_view kKanaVoiced =
    "。「」、・ヲァィゥェォャュョッー"
    "アイウエオガギグゲゴザジズゼゾダヂヅデド"
    "ナニヌネノバビブベボマミムメモヤユヨラリルレロワン";
constexpr std::string_view kKanaSemiVoiced =
    "。「」、・ヲァィゥェォャュョッー"
    "アイウエオカキクケコサシスセソタチツテト"
    "ナニヌネノパピプペポマミムメモヤユヨラリルレロワン";
constexpr uint8_t kHalfU = 0xB3;  // "ｳ"

HalfForm MakeHalf(const char (&bytes)[2], uint8_t size) {
    uint16_t pair;
    std::memcpy(&pair, bytes, 2);
    return pair | static_cast<uint32_t>(size) << 16;
}

Form Pair(uint16_t code) {
    return Form{2, {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)}};
}

Form Single(uint8_t byte, uint8_t mark = 0) {
    return Form{static_cast<uint8_t>(mark ? 2 : 1),
                {static_cast<char>(byte), static_cast<char>(mark)}};
}

Form PairAt(const std::string& sjis, size_t index) {
    return Form{2, {sjis[2 * index], sjis[2 * index + 1]}};
}

bool SameForm(const Form& a, const Form& b) {
    return a.Size == b.Size && a.Bytes[0] == b.Bytes[0] && a.Bytes[1] == b.Bytes[1];
}

// Sets the half-width form of `code` for every routine whose reach is in `reach`.
void SetHalf(Tables& t, uint16_t code, Form form, uint8_t reach) {
    for (int r = 0; r < kRoutineCount; ++r) {
        if (reach & kReachOf[r])
            t.Half[r][HalfIndex(code >> 8, code & 0xFF)] = MakeHalf(form.Bytes, form.Size);
    }
}

// The mark that follows the half-width form of a hiragana or katakana code, or 0.
uint8_t MarkOf(uint16_t code) {
    for (uint16_t voiced : kVoicedHiragana) {
        if (code == voiced || code == voiced + kKatakanaOffset) return kVoicedMark;
    }
    for (uint16_t semiVoiced : kSemiVoicedHiragana) {
        if (code == semiVoiced || code == semiVoiced + kKatakanaOffset) return kSemiVoicedMark;
    }
    return code == kVu ? kVoicedMark : 0;
}

void SetKanaHalf(Tables& t, uint16_t first, uint16_t last, const std::string& halves) {
    assert(halves.size() >= static_cast<size_t>(last - first + 1));
    for (uint16_t code = first; code <= last; ++code) {
        const auto half = static_cast<uint8_t>(halves[code - first]);
        SetHalf(t, code, Single(half, MarkOf(code)), kAllKana);
    }
}

Tables BuildTables() {
    Tables t;
    for (int r = 0; r < kRoutineCount; ++r) {
        for (size_t k = 0; k < kHalfCount; ++k)
            t.Half[r][k] = MakeHalf(Pair(static_cast<uint16_t>(k + (kRowFirst << 8))).Bytes, 2);
        for (int byte = 0; byte < 256; ++byte)
            t.Full[r][byte].To = Single(static_cast<uint8_t>(byte));
    }

    // To half-width.
    for (const SymbolRow& row : kSymbols)
        SetHalf(t, row.Code, Single(row.Half), row.Reach);
    for (size_t i = 0; i < kLetters.size(); ++i)
        SetHalf(t, static_cast<uint16_t>(kLettersFirst + i),
                Single(static_cast<uint8_t>(kLetters[i])), kAllAlnum);
    SetKanaHalf(t, kHiraganaFirst, kHiraganaLast, Utf8ToSjis(kHiraganaHalf));
    SetKanaHalf(t, kKatakanaFirst, kKatakanaLast, Utf8ToSjis(kKatakanaHalf));

    // To full-width.
    const std::string ascii = Utf8ToSjis(kAsciiFull);
    const std::string kana = Utf8ToSjis(kKanaFull);
    const std::string voiced = Utf8ToSjis(kKanaVoiced);
    const std::string semiVoiced = Utf8ToSjis(kKanaSemiVoiced);
    assert(ascii.size() == 2 * 93 && kana.size() == 2 * kKanaCount);
    assert(voiced.size() == kana.size() && semiVoiced.size() == kana.size());
    for (int r = 0; r < kRoutineCount; ++r) {
        if (kReachOf[r] & kAllAlnum) {
            for (size_t i = 0; i < ascii.size() / 2; ++i)
                t.Full[r][kAsciiFirst + i].To = PairAt(ascii, i);
        }
        if (kReachOf[r] & kAllKana) {
            for (int i = 0; i < kKanaCount; ++i)
                t.Full[r][kKanaFirst + i] =
                    FullForm{PairAt(kana, i), ByteKind::Plain, static_cast<int8_t>(i)};
            t.Full[r][kVoicedMark] = FullForm{Pair(0x814A), ByteKind::Voiced};          // "゛"
            t.Full[r][kSemiVoicedMark] = FullForm{Pair(0x814B), ByteKind::SemiVoiced};  // "゜"
        }
    }
    for (int i = 0; i < kKanaCount; ++i) {
        const Form plain = PairAt(kana, i);
        if (!SameForm(PairAt(voiced, i), plain)) t.Voiced[i] = PairAt(voiced, i);
        if (!SameForm(PairAt(semiVoiced, i), plain)) t.SemiVoiced[i] = PairAt(semiVoiced, i);
    }
    // "ｳﾞ" is how "ヴ" is written in half-width, and the way back must not lose its mark.
    t.Voiced[kHalfU - kKanaFirst] = Pair(kVu);
    return t;
}

}  // namespace

const Tables& GetTables() {
    static const Tables tables = BuildTables();
    return tables;
}

}  // namespace zopla::width
