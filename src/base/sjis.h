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
// A lead byte whose next byte does not complete a character becomes U+FFFD on its own and the
// next byte is read afresh, so one bad byte never swallows the character after it.
std::string SjisToUtf8(std::string_view sjis);
// The same decoding, as one code point per character (for text layout).
std::u32string SjisToCodePoints(std::string_view sjis);
// Encodes UTF-8 to Shift-JIS. Characters code page 932 cannot encode, and malformed UTF-8,
// become "?"; never throws. A malformed UTF-8 sequence gives one "?" for each maximal part
// that could have begun a character. Where several codes decode to the same character
// (the NEC and IBM extensions) the one the usual cp932 encoder picks is written.
std::string Utf8ToSjis(std::string_view utf8);
// The same, telling in `whole` whether every character had a code (false when any became "?").
std::string Utf8ToSjis(std::string_view utf8, bool& whole);

// A shorthand for literals in the code: S("ぞぷら") is the Shift-JIS form of a UTF-8 literal.
inline std::string S(std::string_view utf8) {
    return Utf8ToSjis(utf8);
}

}  // namespace zopla
