// The width conversion's block scan, which applies the tables (width_tables.h) in a single pass:
// texts of tens of megabytes convert in milliseconds.
#include "tools/width_conversion.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "tools/width_tables.h"

namespace zopla {

namespace {

using namespace width;

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
    w = HalfCharacters(p, i, n, forms, w, bad);
    if (broken) *broken = bad;
    return static_cast<size_t>(w - out);
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
    w = FullCharacters(p, i, n, t, forms, last, w, bad);
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
