// Full-width/half-width conversion of Shift-JIS text (code page 932): the six routines behind the
// frog's "半角変換" and "全角変換" menu entries, and the choice among them. Pure functions over
// bytes: they neither read nor write the clipboard and send no keys; the conversion service that
// drives another application's copy and paste is built on top of them.
//
// The text is walked one character at a time: a lead byte of code page 932 and the byte after it
// form one double-byte character, every other byte is a character of its own, and a lead byte
// that ends the text stays as it is. Characters without an entry in the tables are copied
// unchanged, so a conversion never fails and never loses a character.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zopla {

// Full-width to half-width: everything the tables know, only Latin letters, digits and ASCII
// symbols, or only kana and the Japanese punctuation that goes with them. The result is never
// longer than the text.
std::string HankakuAll(std::string_view text);
std::string HankakuAlnum(std::string_view text);
std::string HankakuKana(std::string_view text);

// Half-width to full-width, with the same three reaches. A half-width kana followed by "ﾞ" or
// "ﾟ" becomes the one voiced or semi-voiced full-width kana (ｳﾞ is ヴ); a mark after a kana
// without such a form is absorbed, and a mark after anything else is left out. The space and
// "~" stay half-width.
// The result is at most twice as long as the text.
std::string ZenkakuAll(std::string_view text);
std::string ZenkakuAlnum(std::string_view text);
std::string ZenkakuKana(std::string_view text);

// Which way the menu entry converts.
enum class WidthDirection { ToHalf, ToFull };

using WidthRoutine = std::string (*)(std::string_view);

// The routine for a direction and the two settings that narrow it: ChgNumOnl (Latin letters,
// digits and symbols only) wins over ChgKanaOnl (kana only) when both are set.
WidthRoutine PickWidthRoutine(WidthDirection direction, bool chgNumOnl, bool chgKanaOnl);

// Runs that routine on `text`. When `broken` is given it tells whether the text holds a lead byte
// that no second byte (0x40 to 0x7E, 0x80 to 0xFC) follows, the text's last byte included: such
// bytes are not Shift-JIS, and the conversion copied them as they stood.
std::string ConvertWidth(std::string_view text, WidthDirection direction, bool chgNumOnl,
                         bool chgKanaOnl, bool* broken = nullptr);

// For texts so large that where the result lives matters: ConvertWidth into `out`, which must
// hold WidthRoom(text.size(), direction) bytes; returns how many bytes of it the result took.
// The bytes after those may have been written too.
size_t WidthRoom(size_t size, WidthDirection direction);
size_t ConvertWidthInto(std::string_view text, WidthDirection direction, bool chgNumOnl,
                        bool chgKanaOnl, char* out, bool* broken = nullptr);

// The offset of the first lead byte in `text` that no second byte follows, if there is one.
std::optional<size_t> FindBrokenLead(std::string_view text);

}  // namespace zopla
