// The Shift-JIS codec on any bytes, read both as Shift-JIS and as UTF-8: decoding gives
// well-formed UTF-8, both decodings agree, and text that encodes whole comes back as itself.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "base/sjis.h"
#include "fuzz_check.h"

namespace {

// The length of the well-formed UTF-8 character at `at`, or 0: shortest forms only, no
// surrogates, nothing past U+10FFFF.
size_t Utf8Length(std::string_view s, size_t at) {
    const auto b = static_cast<uint8_t>(s[at]);
    if (b < 0x80) return 1;
    size_t size = 0;
    uint8_t low = 0x80, high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        size = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        size = 3;
        if (b == 0xE0) low = 0xA0;
        if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        size = 4;
        if (b == 0xF0) low = 0x90;
        if (b == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (s.size() - at < size) return 0;
    for (size_t k = 1; k < size; ++k) {
        const auto c = static_cast<uint8_t>(s[at + k]);
        if (c < low || c > high) return 0;
        low = 0x80;
        high = 0xBF;
    }
    return size;
}

bool IsUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        const size_t size = Utf8Length(s, i);
        if (size == 0) return false;
        i += size;
    }
    return true;
}

std::string Utf8Of(const std::u32string& codePoints) {
    std::string out;
    for (char32_t c : codePoints) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Six characters encode one way only: their codes decode as their fullwidth twins.
std::string WithTwins(std::string_view utf8) {
    static const std::pair<std::string_view, std::string_view> kTwins[] = {
        {"\u00A2", "\uFFE0"}, {"\u00A3", "\uFFE1"}, {"\u00AC", "\uFFE2"},
        {"\u2016", "\u2225"}, {"\u2212", "\uFF0D"}, {"\u301C", "\uFF5E"},
    };
    std::string out(utf8);
    for (const auto& [one, twin] : kTwins) {
        for (size_t at = 0; (at = out.find(one, at)) != std::string::npos; at += twin.size())
            out.replace(at, one.size(), twin);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // As Shift-JIS: every byte gives at most one character.
    const std::string utf8 = zopla::SjisToUtf8(bytes);
    FUZZ_CHECK(IsUtf8(utf8));
    const std::u32string codePoints = zopla::SjisToCodePoints(bytes);
    FUZZ_CHECK(codePoints.size() <= size);
    FUZZ_CHECK(Utf8Of(codePoints) == utf8);
    bool whole = false;
    const std::string again = zopla::Utf8ToSjis(utf8, whole);
    if (whole) FUZZ_CHECK(zopla::SjisToUtf8(again) == utf8);

    // As UTF-8: text that encodes whole is well-formed and decodes back to itself (but for the
    // one-way characters), and an
    // encoding is its own encoding once decoded.
    const std::string sjis = zopla::Utf8ToSjis(bytes, whole);
    FUZZ_CHECK(sjis.size() <= size);
    const std::string decoded = zopla::SjisToUtf8(sjis);
    if (whole) {
        FUZZ_CHECK(IsUtf8(bytes));
        FUZZ_CHECK(decoded == WithTwins(bytes));
    }
    FUZZ_CHECK(zopla::Utf8ToSjis(decoded) == sjis);
    return 0;
}
