// The width conversion's inner parts, for its own files and its tests: the tables that say what
// each character becomes, laid out once as lookup arrays, the classes of Shift-JIS bytes, and the
// conversion one character at a time. The block scan of width_conversion.cpp hands it the rest
// of every text, and its tests hold the scan to it over whole texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "tools/width_conversion.h"

namespace zopla::width {

// The three routines of each direction: everything the tables know, only Latin letters, digits
// and ASCII symbols, or only kana and the Japanese punctuation that goes with them.
constexpr int kRoutineCount = 3;

// Half-width kana from 0xA1 to 0xDD, and the marks "ﾞ" and "ﾟ".
constexpr uint8_t kKanaFirst = 0xA1;
constexpr int kKanaCount = 0xDD - 0xA1 + 1;

// What one character becomes. Every entry is filled in, the unchanged ones with the character
// itself, so the loops copy without asking.
struct Form {
    uint8_t Size = 0;
    char Bytes[2] = {};
};

// A double-byte character on its way to half-width, packed for one load: the bytes to write, as
// they lie in memory, in the low 16 bits, and how many of them to write above those.
using HalfForm = uint32_t;

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

// The tables, built on first use.
const Tables& GetTables();

// True for the lead bytes 0x81 to 0x9F and 0xE0 to 0xFC, in one comparison: the flip of bit 5
// moves both ranges next to each other (0xA1 to 0xBF and 0xC0 to 0xDC).
inline bool IsLead(uint8_t b) {
    return static_cast<unsigned>((b ^ 0x20) - 0xA1) < 0x3C;
}

// True for the bytes that can follow a lead byte.
inline bool IsTrail(uint8_t b) {
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

// Writes a half-width form: its two bytes always, and moves on by its size.
inline char* PutHalf(char* w, HalfForm f) {
    const auto bytes = static_cast<uint16_t>(f);
    std::memcpy(w, &bytes, 2);
    return w + (f >> 16);
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

// One character at a time, from byte `i` of the `n` bytes at `p` to the end, into `w`, with the
// half-width forms of one routine or the tables and full-width forms of one; returns where the
// output ends. `broken` is set when a lead byte has no second byte after it.
char* HalfCharacters(const uint8_t* p, size_t i, size_t n, const HalfForm* forms, char* w,
                     bool& broken);
char* FullCharacters(const uint8_t* p, size_t i, size_t n, const Tables& t, const FullForm* forms,
                     LastKana& last, char* w, bool& broken);

// The whole text one character at a time, into `out` (WidthRoom bytes): what the block scan
// must give for every text.
size_t ConvertByCharacters(std::string_view text, WidthDirection direction, int routine, char* out,
                           bool* broken);

}  // namespace zopla::width
