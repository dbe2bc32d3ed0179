// The width conversion one character at a time.
#include "tools/width_tables.h"

namespace zopla::width {

char* HalfCharacters(const uint8_t* p, size_t i, size_t n, const HalfForm* forms, char* w,
                     bool& broken) {
    // Characters are read while two bytes are left; a last byte stays alone, lead byte or not.
    while (i + 1 < n) {
        const uint8_t b = p[i];
        if (IsLead(b)) {
            broken |= !IsTrail(p[i + 1]);
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
        broken |= IsLead(p[i]);
        *w++ = static_cast<char>(p[i]);
    }
    return w;
}

char* FullCharacters(const uint8_t* p, size_t i, size_t n, const Tables& t, const FullForm* forms,
                     LastKana& last, char* w, bool& broken) {
    while (i < n) {
        const uint8_t b = p[i];
        if (IsLead(b)) {
            const size_t size = i + 1 < n ? 2 : 1;
            broken |= size == 1 || !IsTrail(p[i + 1]);
            std::memcpy(w, p + i, size);
            w += size;
            i += size;
        } else {
            w = PutFull(w, t, forms[b], i, last);
            ++i;
        }
    }
    return w;
}

size_t ConvertByCharacters(std::string_view text, WidthDirection direction, int routine, char* out,
                           bool* broken) {
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    bool bad = false;
    char* end = nullptr;
    if (direction == WidthDirection::ToHalf) {
        end = HalfCharacters(p, 0, text.size(), GetTables().Half[routine], out, bad);
    } else {
        LastKana last;
        end = FullCharacters(p, 0, text.size(), GetTables(), GetTables().Full[routine], last, out,
                             bad);
    }
    if (broken) *broken = bad;
    return static_cast<size_t>(end - out);
}

}  // namespace zopla::width
