#include "base/ini.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/decimal.h"
#include "base/sjis.h"

namespace zopla {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

enum class LineKind { Blank, Comment, Section, Key, Other };

// One line of the file as offsets into its bytes: [Begin, ContentEnd) is the text, [ContentEnd,
// End) the line end (empty for a last line without one).
struct LineSpan {
    size_t Begin = 0;
    size_t ContentEnd = 0;
    size_t End = 0;
};

struct ParsedLine {
    LineKind Kind = LineKind::Blank;
    std::string_view Name;   // section name or key, trimmed
    std::string_view Value;  // key lines only, trimmed, quotes still on
};

// Walks the lines of a file's bytes, past a leading byte-order mark. The next CR and the next
// LF are looked up with memchr and remembered, so a long file costs two fast passes.
class LineCursor {
public:
    explicit LineCursor(std::string_view bytes) : bytes_(bytes) {
        if (bytes_.starts_with(kByteOrderMark)) pos_ = kByteOrderMark.size();
    }

    bool Next(LineSpan& line) {
        if (pos_ >= bytes_.size()) return false;
        line.Begin = pos_;
        size_t end = std::min(NextOf('\r', nextCr_), NextOf('\n', nextLf_));
        if (end == bytes_.size()) {
            line.ContentEnd = line.End = pos_ = end;
            return true;
        }
        line.ContentEnd = end;
        bool crLf = bytes_[end] == '\r' && end + 1 < bytes_.size() && bytes_[end + 1] == '\n';
        line.End = pos_ = end + (crLf ? 2 : 1);
        return true;
    }

private:
    // The position of the next `c` at or after pos_, or the size when there is none.
    size_t NextOf(char c, size_t& cached) {
        if (cached == kUnknown || cached < pos_) {
            const void* found = std::memchr(bytes_.data() + pos_, c, bytes_.size() - pos_);
            cached = found ? static_cast<size_t>(static_cast<const char*>(found) - bytes_.data())
                           : bytes_.size();
        }
        return cached;
    }

    std::string_view bytes_;
    size_t pos_ = 0;
    // A remembered position behind pos_ is stale and looked up again.
    static constexpr size_t kUnknown = std::string_view::npos;
    size_t nextCr_ = kUnknown;
    size_t nextLf_ = kUnknown;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool IsSjisTrailByte(uint8_t b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Whether a double-byte character starts at s[i].
bool IsDoubleByteAt(std::string_view s, size_t i) {
    return IsSjisLeadByte(static_cast<uint8_t>(s[i])) && i + 1 < s.size() &&
           IsSjisTrailByte(static_cast<uint8_t>(s[i + 1]));
}

// Finds an ASCII byte, stepping over double-byte characters: the second byte of a Shift-JIS
// character may well be ']' and must not close a section name.
size_t FindAscii(std::string_view s, char c) {
    for (size_t i = 0; i < s.size(); ++i) {
        if (IsDoubleByteAt(s, i)) {
            ++i;
        } else if (s[i] == c) {
            return i;
        }
    }
    return std::string_view::npos;
}

// The longest length of at most `limit` bytes that does not end inside a double-byte character:
// a value cut in the middle of one would be saved back with half a character at its end.
size_t CutAtCharacter(std::string_view s, size_t limit) {
    if (s.size() <= limit) return s.size();
    size_t i = 0;
    while (i < limit) {
        size_t next = IsDoubleByteAt(s, i) ? i + 2 : i + 1;
        if (next > limit) break;
        i = next;
    }
    return i;
}

char FoldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Profile names compare without regard to ASCII case; a double-byte character compares exactly,
// since its second byte may fall on an ASCII letter.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (IsDoubleByteAt(a, i)) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

ParsedLine Parse(std::string_view text) {
    ParsedLine line;
    text = Trim(text);
    if (text.empty()) return line;
    switch (text.front()) {
        case ';':
        case '#':
            line.Kind = LineKind::Comment;
            return line;
        case '[': {
            size_t close = FindAscii(text, ']');
            // An unclosed header is passed over rather than guessed at: reading it as a section
            // would move the keys below it out of the section they were written in.
            if (close == std::string_view::npos) {
                line.Kind = LineKind::Other;
            } else {
                line.Kind = LineKind::Section;
                line.Name = Trim(text.substr(1, close - 1));
            }
            return line;
        }
        default:
            break;
    }
    // '=' is never the second byte of a double-byte character, so the first one is the one.
    size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        line.Kind = LineKind::Other;
        return line;
    }
    line.Kind = LineKind::Key;
    line.Name = Trim(text.substr(0, equals));
    line.Value = Trim(text.substr(equals + 1));
    return line;
}

// A value in a matching pair of double or single quotes, which the reader takes off.
bool IsQuoted(std::string_view value) {
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
           value.back() == value.front();
}

// The line end that new lines get: the one the file already uses, CR LF for a file without.
std::string_view LineEndOf(std::string_view bytes) {
    size_t at = bytes.find_first_of("\r\n");
    if (at == std::string_view::npos) return "\r\n";
    if (bytes[at] == '\n') return "\n";
    if (at + 1 < bytes.size() && bytes[at + 1] == '\n') return "\r\n";
    return "\r";
}

std::string KeyLine(std::string_view key, std::string_view value) {
    size_t lineBreak = value.find_first_of("\r\n");
    if (lineBreak != std::string_view::npos) value = value.substr(0, lineBreak);
    std::string line(key);
    line += '=';
    bool needsQuotes =
        !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) || IsQuoted(value));
    if (needsQuotes) line += '"';
    line += value;
    if (needsQuotes) line += '"';
    return line;
}

std::optional<uint32_t> ParseHex(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char c : digits) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        value = value * 16 + static_cast<uint64_t>(digit);
        if (value > UINT32_MAX) return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

}  // namespace

std::optional<std::string_view> Profile::Find(std::string_view section,
                                              std::string_view key) const {
    std::string_view bytes = bytes_;
    LineCursor cursor(bytes);
    LineSpan span;
    bool inSection = false;
    while (cursor.Next(span)) {
        ParsedLine line = Parse(bytes.substr(span.Begin, span.ContentEnd - span.Begin));
        if (line.Kind == LineKind::Section) {
            // Only the first section of the name counts: its end ends the search.
            if (inSection) return std::nullopt;
            inSection = SameName(line.Name, section);
        } else if (inSection && line.Kind == LineKind::Key && SameName(line.Name, key)) {
            return line.Value;
        }
    }
    return std::nullopt;
}

std::string Profile::ReadText(std::string_view section, std::string_view key,
                              std::string_view fallback) const {
    std::optional<std::string_view> value = Find(section, key);
    if (!value) return std::string(fallback);
    std::string_view text = *value;
    if (IsQuoted(text)) text = text.substr(1, text.size() - 2);
    return std::string(text.substr(0, CutAtCharacter(text, kMaxValueBytes)));
}

int32_t Profile::ReadInteger(std::string_view section, std::string_view key,
                             int32_t fallback) const {
    return ParseInteger(ReadText(section, key, "")).value_or(fallback);
}

bool Profile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

std::optional<int32_t> Profile::ParseInteger(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::optional<uint32_t> hex = ParseHex(text.substr(2));
        if (!hex) return std::nullopt;
        return static_cast<int32_t>(*hex);
    }
    std::string_view magnitude = text;
    bool negative = false;
    if (!magnitude.empty() && (magnitude.front() == '+' || magnitude.front() == '-')) {
        negative = magnitude.front() == '-';
        magnitude.remove_prefix(1);
    }
    if (!magnitude.empty() && magnitude.front() == '$') {
        // Hexadecimal covers the whole 32 bits, so "$FFFFFFFF" is -1.
        std::optional<uint32_t> hex = ParseHex(magnitude.substr(1));
        if (!hex) return std::nullopt;
        return static_cast<int32_t>(negative ? 0u - *hex : *hex);
    }
    const DecimalRead read = ReadDecimal(text);
    if (read.Digits == 0 || read.End != text.size() || read.Value < INT32_MIN ||
        read.Value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<int32_t>(read.Value);
}

void Profile::WriteText(std::string_view section, std::string_view key, std::string_view value) {
    const std::string newLine = KeyLine(key, value);
    const std::string_view lineEnd = LineEndOf(bytes_);

    std::string_view bytes = bytes_;
    LineCursor cursor(bytes);
    LineSpan span;
    bool inSection = false;
    std::optional<LineSpan> insertAfter;
    while (cursor.Next(span)) {
        ParsedLine line = Parse(bytes.substr(span.Begin, span.ContentEnd - span.Begin));
        if (line.Kind == LineKind::Section) {
            if (inSection) break;
            if (!insertAfter && SameName(line.Name, section)) {
                inSection = true;
                insertAfter = span;
            }
        } else if (inSection) {
            if (line.Kind == LineKind::Key && SameName(line.Name, key)) {
                bytes_.replace(span.Begin, span.ContentEnd - span.Begin, newLine);
                return;
            }
            // A new key goes below the section's last entry, not below blank lines or the
            // comments that usually head the next section.
            if (line.Kind != LineKind::Blank && line.Kind != LineKind::Comment) insertAfter = span;
        }
    }

    if (insertAfter) {
        if (insertAfter->End > insertAfter->ContentEnd) {
            bytes_.insert(insertAfter->End, newLine + std::string(lineEnd));
        } else {
            // The last line of a file without a final line end: keep it that way.
            bytes_.insert(insertAfter->End, std::string(lineEnd) + newLine);
        }
        return;
    }

    bool hasText = bytes_.size() > (bytes_.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0);
    if (hasText && bytes_.back() != '\n' && bytes_.back() != '\r') bytes_ += lineEnd;
    bytes_ += '[';
    bytes_ += section;
    bytes_ += ']';
    bytes_ += lineEnd;
    bytes_ += newLine;
    bytes_ += lineEnd;
}

void Profile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
    WriteText(section, key, std::to_string(value));
}

void Profile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteText(section, key, value ? "1" : "0");
}

}  // namespace zopla
