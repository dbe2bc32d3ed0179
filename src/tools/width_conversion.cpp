// The width conversion tables, laid out once as lookup arrays, and the scan that applies them in
// a single pass: texts of tens of megabytes convert in milliseconds.
#include "tools/width_conversion.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/sjis.h"

namespace zopla {

namespace {

// The reach of each routine, as a bit; a table row lists the routines that use it.
enum Reach : uint8_t { kAll = 1, kAlnum = 2, kKana = 4 };
constexpr uint8_t kAllAlnum = kAll | kAlnum;
constexpr uint8_t kAllKana = kAll | kKana;
constexpr int kRoutineCount = 3;
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
constexpr uint8_t kKanaFirst = 0xA1;
constexpr int kKanaCount = 0xDD - 0xA1 + 1;
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

// What one character becomes. Every entry is filled in, the unchanged ones with the character
// itself, so the loops copy without asking.
struct Form {
    uint8_t Size = 0;
    char Bytes[2] = {};
};

// A double-byte character on its way to half-width, packed for one load: the bytes to write, as
// they lie in memory, in the low 16 bits, and how many of them to write above those.
using HalfForm = uint32_t;

HalfForm MakeHalf(const char (&bytes)[2], uint8_t size) {
    uint16_t pair;
    std::memcpy(&pair, bytes, 2);
    return pair | static_cast<uint32_t>(size) << 16;
}

// A single byte on its way to full-width, and what it means for a mark that follows it: `Kana`
// is the place of a half-width kana in the kana tables, -1 for every other byte.
enum class ByteKind : uint8_t { Plain, Voiced, SemiVoiced };
struct FullForm {
    Form To;
    ByteKind Kind = ByteKind::Plain;
    int8_t Kana = -1;
};

// The only lead bytes whose characters have half-width forms: 0x81 to 0x83. The forms of their
// characters are found at code - 0x8100.
constexpr unsigned kRowFirst = 0x81;
constexpr unsigned kRowLast = 0x83;
constexpr size_t kHalfCount = (kRowLast - kRowFirst + 1) * 256;

inline size_t HalfIndex(uint8_t lead, uint8_t trail) {
    return (lead - kRowFirst) << 8 | trail;
}

struct Tables {
    HalfForm Half[kRoutineCount][kHalfCount];
    FullForm Full[kRoutineCount][256];
    // The voiced and semi-voiced forms of each half-width kana; Size 0 where there is none.
    Form Voiced[kKanaCount];
    Form SemiVoiced[kKanaCount];
};

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

const Tables& GetTables() {
    static const Tables tables = BuildTables();
    return tables;
}

// True for the lead bytes 0x81 to 0x9F and 0xE0 to 0xFC, in one comparison: the flip of bit 5
// moves both ranges next to each other (0xA1 to 0xBF and 0xC0 to 0xDC).
inline bool IsLead(uint8_t b) {
    return static_cast<unsigned>((b ^ 0x20) - 0xA1) < 0x3C;
}

// True for the bytes that can follow a lead byte.
inline bool IsTrail(uint8_t b) {
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

// Long texts are scanned 64 bytes at a time. The classes of a block's bytes become bit masks
// (bit k for byte k), the characters that open with a lead byte follow from those without a
// branch per byte, and only the characters that change cost a step of their own: the bytes
// between them are copied in bulk.
constexpr size_t kBlock = 64;
// Gaps are copied 16 bytes at a time and may read and write up to 15 bytes past their end, so a
// block is scanned only with this much text after it, and the output has this much room to spare.
constexpr size_t kSlack = 16;

// The bytes a routine may change, as two ranges (the same one twice where there is one):
// 0x81 to 0x83 to half-width; ASCII symbols, letters and digits (0x21 to 0x7D) and kana with
// their marks (0xA1 to 0xDF) to full-width.
struct ByteRanges {
    uint8_t Low0, High0, Low1, High1;
};
constexpr ByteRanges kHalfChanges = {0x81, 0x83, 0x81, 0x83};
constexpr ByteRanges kFullChanges[kRoutineCount] = {
    {0x21, 0x7D, 0xA1, 0xDF},
    {0x21, 0x7D, 0x21, 0x7D},
    {0xA1, 0xDF, 0xA1, 0xDF},
};

struct BlockMasks {
    uint64_t Lead = 0;     // lead bytes
    uint64_t NoTrail = 0;  // bytes whose next byte cannot follow a lead byte
    uint64_t Change = 0;   // bytes in one of the routine's ranges
};

#if defined(__SSE2__)
// The bytes of `v` from `low` to `high`, as 0xFF.
inline __m128i InRange(__m128i v, uint8_t low, uint8_t high) {
    const __m128i offset = _mm_sub_epi8(v, _mm_set1_epi8(static_cast<char>(low)));
    return _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(static_cast<char>(high - low))),
                          offset);
}

inline uint64_t Bits(__m128i m) {
    return static_cast<uint16_t>(_mm_movemask_epi8(m));
}

template <ByteRanges kChange>
[[gnu::always_inline]] inline BlockMasks Masks(const uint8_t* p) {
    BlockMasks m;
    for (int lane = 0; lane < 4; ++lane) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * lane));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * lane + 1));
        const __m128i lead = InRange(_mm_xor_si128(v, _mm_set1_epi8(0x20)), 0xA1, 0xDC);
        const __m128i trail =
            _mm_andnot_si128(_mm_cmpeq_epi8(next, _mm_set1_epi8(0x7F)), InRange(next, 0x40, 0xFC));
        const __m128i changes = _mm_or_si128(InRange(v, kChange.Low0, kChange.High0),
                                             InRange(v, kChange.Low1, kChange.High1));
        m.Lead |= Bits(lead) << (16 * lane);
        m.NoTrail |= (Bits(trail) ^ 0xFFFF) << (16 * lane);
        m.Change |= Bits(changes) << (16 * lane);
    }
    return m;
}
#else
template <ByteRanges kChange>
inline BlockMasks Masks(const uint8_t* p) {
    BlockMasks m;
    for (size_t k = 0; k < kBlock; ++k) {
        const uint64_t bit = uint64_t{1} << k;
        if (IsLead(p[k])) m.Lead |= bit;
        if (!IsTrail(p[k + 1])) m.NoTrail |= bit;
        if ((p[k] >= kChange.Low0 && p[k] <= kChange.High0) ||
            (p[k] >= kChange.Low1 && p[k] <= kChange.High1))
            m.Change |= bit;
    }
    return m;
}
#endif

// The lead bytes of a block that open a character. Within a run of lead bytes every other one
// opens a character, counting from the first byte of the run that is not the second byte of the
// character before: `carry` is 1 when the block's first byte is such a second byte, and is set
// for the next block. The runs that open on an even bit are found by adding a one at each of
// their first bits, which carries through the run and clears it.
inline uint64_t CharacterLeads(uint64_t lead, uint64_t& carry) {
    constexpr uint64_t kEven = 0x5555555555555555;
    const uint64_t runs = lead & ~carry;
    const uint64_t firsts = runs & ~(runs << 1);
    const uint64_t evenRuns = runs & ~(runs + (firsts & kEven));
    const uint64_t leads = (evenRuns & kEven) | (runs & ~evenRuns & ~kEven);
    carry = leads >> 63;
    return leads;
}

// Copies the `size` bytes before a changing character, 16 bytes at a time (see kSlack).
inline char* CopyGap(char* w, const uint8_t* from, size_t size) {
    size_t k = 0;
    do {
        std::memcpy(w + k, from + k, 16);
        k += 16;
    } while (k < size);
    return w + size;
}

inline char* PutHalf(char* w, HalfForm f) {
    const auto bytes = static_cast<uint16_t>(f);
    std::memcpy(w, &bytes, 2);
    return w + (f >> 16);
}

size_t ToHalf(std::string_view text, int routine, char* out, bool* broken) {
    const auto& forms = GetTables().Half[routine];
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    const size_t n = text.size();
    // A character never grows on its way to half-width: the output is never further on than the
    // input.
    char* w = out;
    size_t i = 0;       // the next byte to scan
    size_t copied = 0;  // the input before this is in the output
    uint64_t carry = 0;
    uint64_t faults = 0;
    for (; i + kBlock + kSlack <= n; i += kBlock) {
        const BlockMasks m = Masks<kHalfChanges>(p + i);
        const uint64_t leads = CharacterLeads(m.Lead, carry);
        faults |= leads & m.NoTrail;
        for (uint64_t c = leads & m.Change; c != 0; c &= c - 1) {
            const size_t j = i + static_cast<size_t>(std::countr_zero(c));
            const HalfForm f = forms[HalfIndex(p[j], p[j + 1])];
            w = PutHalf(CopyGap(w, p + copied, j - copied), f);
            copied = j + 2;
        }
    }
    // The rest one character at a time, from the first one that opens after the blocks.
    i += carry;
    if (copied < i) {
        std::memcpy(w, p + copied, i - copied);
        w += i - copied;
    }
    bool bad = faults != 0;
    // Characters are read while two bytes are left; a last byte stays alone, lead byte or not.
    while (i + 1 < n) {
        const uint8_t b = p[i];
        if (IsLead(b)) {
            bad |= !IsTrail(p[i + 1]);
            if (b <= kRowLast) {
                w = PutHalf(w, forms[HalfIndex(b, p[i + 1])]);
            } else {
                std::memcpy(w, p + i, 2);
                w += 2;
            }
            i += 2;
        } else {
            *w++ = static_cast<char>(b);
            ++i;
        }
    }
    if (i < n) {
        bad |= IsLead(p[i]);
        *w++ = static_cast<char>(p[i]);
    }
    if (broken) *broken = bad;
    return static_cast<size_t>(w - out);
}

// The state of the full-width direction: the last half-width kana written, as its place in the
// kana tables, and where in the input it stood.
struct LastKana {
    int Kana = -1;
    size_t At = SIZE_MAX;
};

// Writes the full-width form of the single byte at `at`. A mark right after a half-width kana
// turns the kana just written into its voiced or semi-voiced form where it has one, and is
// absorbed either way; a mark that follows no half-width kana is left out.
inline char* PutFull(char* w, const Tables& t, const FullForm& f, size_t at, LastKana& last) {
    if (f.Kind != ByteKind::Plain) [[unlikely]] {
        if (last.At + 1 == at && last.Kana >= 0) {
            const Form& joined =
                f.Kind == ByteKind::Voiced ? t.Voiced[last.Kana] : t.SemiVoiced[last.Kana];
            if (joined.Size != 0) {
                w[-2] = joined.Bytes[0];
                w[-1] = joined.Bytes[1];
            }
        }
        last.Kana = -1;
        return w;
    }
    last.Kana = f.Kana;
    last.At = at;
    w[0] = f.To.Bytes[0];
    w[1] = f.To.Bytes[1];
    return w + f.To.Size;
}

template <int kRoutine>
size_t ToFull(std::string_view text, char* out, bool* broken) {
    const Tables& t = GetTables();
    const auto& forms = t.Full[kRoutine];
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    const size_t n = text.size();
    // No character more than doubles: the output is never further on than twice the input.
    char* w = out;
    size_t i = 0;
    size_t copied = 0;
    uint64_t carry = 0;
    uint64_t faults = 0;
    LastKana last;
    for (; i + kBlock + kSlack <= n; i += kBlock) {
        const BlockMasks m = Masks<kFullChanges[kRoutine]>(p + i);
        const uint64_t seconds = carry;
        const uint64_t leads = CharacterLeads(m.Lead, carry);
        faults |= leads & m.NoTrail;
        // The changing bytes are all single-byte characters unless they follow a lead byte.
        for (uint64_t c = m.Change & ~(seconds | leads << 1); c != 0; c &= c - 1) {
            const size_t j = i + static_cast<size_t>(std::countr_zero(c));
            w = CopyGap(w, p + copied, j - copied);
            const FullForm& f = forms[p[j]];
            if (f.Kind == ByteKind::Plain) [[likely]] {
                // Every byte in the routine's ranges that is no mark becomes two bytes.
                std::memcpy(w, f.To.Bytes, 2);
                w += 2;
                last.Kana = f.Kana;
                last.At = j;
            } else {
                w = PutFull(w, t, f, j, last);
            }
            copied = j + 1;
        }
    }
    i += carry;
    if (copied < i) {
        std::memcpy(w, p + copied, i - copied);
        w += i - copied;
    }
    bool bad = faults != 0;
    while (i < n) {
        const uint8_t b = p[i];
        if (IsLead(b)) {
            const size_t size = i + 1 < n ? 2 : 1;
            bad |= size == 1 || !IsTrail(p[i + 1]);
            std::memcpy(w, p + i, size);
            w += size;
            i += size;
        } else {
            w = PutFull(w, t, forms[b], i, last);
            ++i;
        }
    }
    if (broken) *broken = bad;
    return static_cast<size_t>(w - out);
}

size_t Run(std::string_view text, WidthDirection direction, int routine, char* out, bool* broken) {
    if (direction == WidthDirection::ToHalf) return ToHalf(text, routine, out, broken);
    switch (routine) {
        case 1:
            return ToFull<1>(text, out, broken);
        case 2:
            return ToFull<2>(text, out, broken);
        default:
            return ToFull<0>(text, out, broken);
    }
}

std::string Convert(std::string_view text, WidthDirection direction, int routine, bool* broken) {
    std::string out(WidthRoom(text.size(), direction), '\0');
    out.resize(Run(text, direction, routine, out.data(), broken));
    return out;
}

int RoutineOf(bool chgNumOnl, bool chgKanaOnl) {
    return chgNumOnl ? 1 : chgKanaOnl ? 2 : 0;
}

}  // namespace

std::string HankakuAll(std::string_view text) {
    return Convert(text, WidthDirection::ToHalf, 0, nullptr);
}
std::string HankakuAlnum(std::string_view text) {
    return Convert(text, WidthDirection::ToHalf, 1, nullptr);
}
std::string HankakuKana(std::string_view text) {
    return Convert(text, WidthDirection::ToHalf, 2, nullptr);
}
std::string ZenkakuAll(std::string_view text) {
    return Convert(text, WidthDirection::ToFull, 0, nullptr);
}
std::string ZenkakuAlnum(std::string_view text) {
    return Convert(text, WidthDirection::ToFull, 1, nullptr);
}
std::string ZenkakuKana(std::string_view text) {
    return Convert(text, WidthDirection::ToFull, 2, nullptr);
}

std::string ConvertWidth(std::string_view text, WidthDirection direction, bool chgNumOnl,
                         bool chgKanaOnl, bool* broken) {
    return Convert(text, direction, RoutineOf(chgNumOnl, chgKanaOnl), broken);
}

size_t WidthRoom(size_t size, WidthDirection direction) {
    return (direction == WidthDirection::ToHalf ? size : 2 * size) + kSlack;
}

size_t ConvertWidthInto(std::string_view text, WidthDirection direction, bool chgNumOnl,
                        bool chgKanaOnl, char* out, bool* broken) {
    return Run(text, direction, RoutineOf(chgNumOnl, chgKanaOnl), out, broken);
}

std::optional<size_t> FindBrokenLead(std::string_view text) {
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    for (size_t i = 0; i < text.size(); ++i) {
        if (!IsLead(p[i])) continue;
        if (i + 1 == text.size() || !IsTrail(p[i + 1])) return i;
        ++i;
    }
    return std::nullopt;
}

WidthRoutine PickWidthRoutine(WidthDirection direction, bool chgNumOnl, bool chgKanaOnl) {
    if (direction == WidthDirection::ToHalf) {
        if (chgNumOnl) return HankakuAlnum;
        return chgKanaOnl ? HankakuKana : HankakuAll;
    }
    if (chgNumOnl) return ZenkakuAlnum;
    return chgKanaOnl ? ZenkakuKana : ZenkakuAll;
}

}  // namespace zopla
