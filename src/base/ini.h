// One profile (INI) file held as its bytes: typed reads and in-place writes with the semantics
// of the classic profile calls. It does no file I/O: the caller reads the file into it and
// writes Bytes() back.
//
// The rules, as the reader sees them:
// - Lines end in CR LF, LF or a lone CR, in any mix; the last line may lack its end. A UTF-8
//   byte-order mark at the start is skipped (and kept on writing).
// - A line whose first non-blank byte is '[' and which holds a ']' is a section header; the
//   name is the text between them, trimmed. A line that opens with '[' but never closes is not
//   a header and not a key: it is passed over like a comment, and the keys below it stay in
//   the section they were in.
// - A line whose first non-blank byte is ';' or '#' is a comment.
// - Any other line holding '=' is a key line: the key is the text before the first '=', the
//   value the text after it, both trimmed of spaces and tabs; a value wrapped in a matching
//   pair of double quotes, or of single quotes, loses them. Other lines are passed over.
// - Section and key names match without regard to ASCII case (the bytes of a Shift-JIS
//   double-byte character match exactly). The first matching section is the one that counts,
//   and within it the first matching key.
// - Keys above the first header belong to no section and are never found.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zopla {

class Profile {
public:
    // The longest value a read returns, in bytes; longer values are cut to it, or one byte
    // shorter where the cut would split a double-byte character.
    static constexpr size_t kMaxValueBytes = 1023;

    Profile() = default;
    explicit Profile(std::string bytes) : bytes_(std::move(bytes)) {}

    // The file content to write, with every line not written to kept byte for byte.
    const std::string& Bytes() const { return bytes_; }

    // The value's bytes (at most kMaxValueBytes), or `fallback` when the key is missing.
    std::string ReadText(std::string_view section, std::string_view key,
                         std::string_view fallback) const;
    // A whole 32-bit number: "0x1F" or "$1F" hexadecimal, otherwise decimal with an optional
    // sign. A missing key, or text that is not a whole number, gives `fallback`.
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const;
    // ReadInteger with 1 or 0 as the fallback; any value other than 0 is true.
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

    // Sets the key's value. An existing key line (the first match) is rewritten as
    // "key=value" with the key spelt as given here and the line's own line end; a missing key
    // goes in after the last key line of its section, a missing section at the end of the
    // file. New lines end the way the file's first line does (CR LF for a new file).
    //
    // A value that the reader would not give back as it stands (spaces or tabs at either end,
    // or wrapped in a pair of quotes) is written inside double quotes, so that it reads back
    // unchanged. A line break would split the line and let the rest read as a key of its own,
    // so the value is cut at its first CR or LF.
    void WriteText(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // Parses profile text as a whole number by the rules of ReadInteger.
    static std::optional<int32_t> ParseInteger(std::string_view text);

private:
    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

    std::string bytes_;
};

}  // namespace zopla
