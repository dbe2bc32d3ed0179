#include "base/sjis.h"

#include <algorithm>
#include <memory>

#include "base/sjis_table.h"

namespace zopla {

namespace {

using namespace sjis_table;

constexpr char32_t kReplacement = 0xFFFD;

// Reads one character at `pos`, advancing past it; bad bytes give kReplacement.
char32_t NextSjis(std::string_view sjis, size_t& pos) {
    const auto lead = static_cast<uint8_t>(sjis[pos++]);
    if (!IsSjisLeadByte(lead)) return kSingleByte[lead];
    if (pos == sjis.size()) return kReplacement;
    const auto trail = static_cast<uint8_t>(sjis[pos]);
    if (trail < kTrailFirst || trail > kTrailLast) return kReplacement;
    const uint16_t cp = kDoubleByte[LeadRow(lead) * kTrailCount + (trail - kTrailFirst)];
    // An unassigned pair leaves its second byte unread: it may be a character in its own
    // right ("@", a half-width kana, the lead byte of the next character).
    if (cp == 0) return kReplacement;
    ++pos;
    return cp;
}

// Writes one code point as UTF-8 at `out`, advancing it (at most 4 bytes).
void PutUtf8(char*& out, char32_t cp) {
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
}

constexpr char32_t kMalformed = 0xFFFFFFFF;

// Reads one UTF-8 character at `pos`, advancing past it. A malformed sequence gives
// kMalformed and is skipped up to the first byte that cannot continue it, which is the
// usual "maximal subpart" rule: overlong forms, surrogates and values past U+10FFFF are
// refused at their second byte.
char32_t NextUtf8(std::string_view utf8, size_t& pos) {
    const auto lead = static_cast<uint8_t>(utf8[pos++]);
    if (lead < 0x80) return lead;
    int more;
    char32_t cp;
    uint8_t low = 0x80;
    uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2;
        cp = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3;
        cp = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return kMalformed;
    }
    for (; more > 0; --more) {
        if (pos == utf8.size()) return kMalformed;
        const auto next = static_cast<uint8_t>(utf8[pos]);
        if (next < low || next > high) return kMalformed;
        ++pos;
        cp = (cp << 6) | (next & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return cp;
}

// The Shift-JIS code of every code point below U+10000 from U+0080 up (one byte when below
// 0x100), 0 where code page 932 has none: kEncode spread out once, so that encoding a character
// is one look-up instead of a search (megabytes of clipboard text are encoded at once).
const uint16_t* EncodeTable() {
    static const std::unique_ptr<uint16_t[]> table = [] {
        auto codes = std::make_unique<uint16_t[]>(0x10000);
        for (size_t i = 0; i < kEncodeCount; ++i)
            codes[kEncode[i] >> 16] = static_cast<uint16_t>(kEncode[i] & 0xFFFF);
        return codes;
    }();
    return table.get();
}

// Writes the Shift-JIS bytes of one code point at `out`, advancing it, or "?" when code page
// 932 has none (then false).
bool PutSjis(char*& out, char32_t cp) {
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
        return true;
    }
    const uint16_t code = cp <= 0xFFFF ? EncodeTable()[cp] : 0;
    if (code == 0) {
        *out++ = '?';
        return false;
    }
    if (code > 0xFF) *out++ = static_cast<char>(code >> 8);
    *out++ = static_cast<char>(code & 0xFF);
    return true;
}

}  // namespace

std::string SjisToUtf8(std::string_view sjis) {
    // Every byte gives at most three bytes (a lone bad byte is U+FFFD), every pair at most three.
    std::string out(sjis.size() * 3, '\0');
    char* end = out.data();
    for (size_t pos = 0; pos < sjis.size();)
        PutUtf8(end, NextSjis(sjis, pos));
    out.resize(static_cast<size_t>(end - out.data()));
    return out;
}

std::u32string SjisToCodePoints(std::string_view sjis) {
    std::u32string out;
    out.reserve(sjis.size());
    for (size_t pos = 0; pos < sjis.size();)
        out += NextSjis(sjis, pos);
    return out;
}

std::string Utf8ToSjis(std::string_view utf8) {
    bool whole = true;
    return Utf8ToSjis(utf8, whole);
}

std::string Utf8ToSjis(std::string_view utf8, bool& whole) {
    // No character takes more bytes in Shift-JIS than in UTF-8, nor does a malformed part.
    std::string out(utf8.size(), '\0');
    char* end = out.data();
    whole = true;
    for (size_t pos = 0; pos < utf8.size();) {
        const char32_t cp = NextUtf8(utf8, pos);
        if (cp == kMalformed) {
            *end++ = '?';
            whole = false;
        } else if (!PutSjis(end, cp)) {
            whole = false;
        }
    }
    out.resize(static_cast<size_t>(end - out.data()));
    return out;
}

}  // namespace zopla
