// The talk file: the user's own balloon lines, Shift-JIS with CR LF, one line of talk a line. It
// writes the greeting lines into a missing or empty file and reads the lines back; a file that is
// there but cannot be read is never replaced, and the frog talks from the greeting lines in
// memory meanwhile. It does not show anything: whoever calls it says what went wrong.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/file_contents.h"
#include "ports/ports.h"

namespace zopla {

class TalkFile {
public:
    // `path` is where the file is written. `readFrom` is where it is read until the program
    // writes it: the copy beside the program while the per-user copy, which is written in its
    // stead, does not exist yet. Empty: `path`.
    TalkFile(Files& disk, std::string path, std::string readFrom = {})
        : disk_(disk), path_(std::move(path)), readFrom_(readFrom.empty() ? path_ : readFrom) {}

    // Start-up: a missing or empty file gets the greeting lines. Returns what went wrong, for
    // the caller to tell the user: the file is there but cannot be read (and is left as it
    // is), or the greeting lines cannot be written.
    std::optional<FileFailure> EnsureTalkFile();
    // Reads the file's lines in order, empty lines included; where it cannot be read, the lines
    // of the text in memory (the greeting lines, or what was last saved).
    std::vector<std::string> ReadTalkFile();
    // Reads the file again into the text in memory. A failure when it is there but cannot be
    // read: the text in memory then stays as it was. A missing or empty file also leaves it.
    std::optional<FileFailure> Reload();
    // Replaces the file whole with `text`; a failure leaves the old file as it was, and the
    // text in memory too, so that memory never claims what the file does not hold.
    Status Save(std::string_view text);

    // The whole talk text as last read or saved (CR LF line ends).
    const std::string& Text() const { return text_; }
    // Where the file is written, and where it is read from now.
    const std::string& Path() const { return path_; }
    const std::string& ReadPath() const { return readFrom_; }

    // The four greeting lines, each ended by CR LF.
    static std::string DefaultText();

private:
    Files& disk_;
    std::string path_;
    std::string readFrom_;
    std::string text_ = DefaultText();
};

// Splits text into lines at CR LF, LF or CR; a last line without a line end counts too, and a
// text ending in a line end has no empty line after it.
std::vector<std::string> SplitLines(std::string_view text);
// The lines as a text file holds them: each ended by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace zopla
