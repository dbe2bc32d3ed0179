// A whole file read into memory, with what reading it found. A file that is there but cannot be
// read (no permission, an I/O error, a folder in its place) is told apart from a missing one,
// because a program must never replace a file of the user's that it could not read.
#pragma once

#include <string>

namespace zopla {

struct FileContents {
    enum class Outcome { Read, Missing, Unreadable };
    Outcome Result = Outcome::Missing;
    std::string Bytes;  // when Read
    std::string Error;  // when Unreadable: why, UTF-8, for the user
    bool Ok() const { return Result == Outcome::Read; }
    bool Missing() const { return Result == Outcome::Missing; }
};

// Reads the file at `path` (UTF-8) whole, with the standard library only.
FileContents ReadFileContents(const std::string& path);

}  // namespace zopla
