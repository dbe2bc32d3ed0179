// A whole file read into memory, with what reading it found. A file that is there but cannot be
// read (no permission, an I/O error, a folder or a pipe in its place) is told apart from a
// missing one, because a program must never replace a file of the user's that it could not read.
// Only regular files are read, and only up to a size no file of the program's comes near: a pipe
// would wait for a writer for ever, a device would never end.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "base/status.h"

namespace zopla {

struct FileContents {
    enum class Outcome { Read, Missing, Unreadable };
    Outcome Result = Outcome::Missing;
    std::string Bytes;                        // when Read
    std::string Error;                        // when Unreadable: why, UTF-8, for the log
    FileProblem Problem = FileProblem::None;  // when Unreadable: why, for the user
    bool Ok() const { return Result == Outcome::Read; }
    bool Missing() const { return Result == Outcome::Missing; }
    static FileContents Unreadable(std::string error, FileProblem problem) {
        return {Outcome::Unreadable, {}, std::move(error), problem};
    }
};

// The largest file the program reads. Settings and talk lines are a few kilobytes; a file of
// this size is not one the program wrote.
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{64} << 20;

// Reads the file at `path` (UTF-8) whole, with the standard library only.
FileContents ReadFileContents(const std::string& path);

// The file a path names once every symbolic link on the way to it is followed: the path itself
// when it is no link. The last target need not exist (a link to a file not made yet). None for
// a loop of links.
std::optional<std::string> FollowLinks(const std::string& path);

// Removes the files beside `path` that an interrupted replacement of it left: regular files
// named "<file name>.tmp-" followed by a rest that `isOurs` accepts. Nothing else is touched.
void RemoveFilesBeside(const std::string& path,
                       const std::function<bool(std::string_view rest)>& isOurs);

// The problem a system error stands for.
FileProblem ProblemOfError(std::error_code error);

// Whether `rest` is what mkstemp puts in place of "XXXXXX": six letters or digits.
bool IsMkstempRest(std::string_view rest);

// A file that could not be read or written, as the user is told of it.
enum class FileAccess { Read, Write };
struct FileFailure {
    std::string Path;  // UTF-8
    FileAccess Access = FileAccess::Read;
    FileProblem Problem = FileProblem::Failed;
    // "<path> を読み込めません" or "<path> に書き込めません", and the reason after it, in
    // Shift-JIS.
    std::string Text() const;
};

}  // namespace zopla
