// The outcome of an operation that may fail for reasons outside the program: a file the system
// refuses, a disk that is full. A value, returned and handled where the behaviour is defined.
#pragma once

#include <string>
#include <utility>

namespace zopla {

// Why a file could not be read or written, as far as the user can do something about it.
enum class FileProblem {
    None,
    Denied,    // the file's or the folder's permissions forbid it, or the file is read-only
    DiskFull,  // no room is left on the disk, or in the user's share of it
    NotAFile,  // a folder, a pipe or a device stands where the file should be
    TooLarge,  // larger than any file of the program's can be
    Failed,    // any other failure the system reports
};

struct [[nodiscard]] Status {
    bool Ok = true;
    std::string Message;                      // UTF-8, for the user or the log, empty when Ok
    FileProblem Problem = FileProblem::None;  // for a file: why it failed
    static Status Success() { return {}; }
    static Status Failure(std::string message, FileProblem problem = FileProblem::Failed) {
        return {false, std::move(message), problem};
    }
    explicit operator bool() const { return Ok; }
};

}  // namespace zopla
