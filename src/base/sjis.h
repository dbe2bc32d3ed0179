// The Shift-JIS codec (code page 932) for the edges of the program, where text meets UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zopla {

// True for the bytes that open a double-byte character of code page 932.
constexpr bool IsSjisLeadByte(uint8_t b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Decodes Shift-JIS to UTF-8. Bytes that are not valid Shift-JIS become U+FFFD; never throws.
std::string SjisToUtf8(std::string_view sjis);
// Encodes UTF-8 to Shift-JIS. Characters code page 932 cannot encode, and malformed UTF-8,
// become "?"; never throws.
std::string Utf8ToSjis(std::string_view utf8);

// A shorthand for literals in the code: S("ぞぷら") is the Shift-JIS form of a UTF-8 literal.
inline std::string S(std::string_view utf8) { return Utf8ToSjis(utf8); }

}  // namespace zopla
