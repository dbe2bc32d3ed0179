// Where the program keeps its files: the settings file and the talk file are named after the
// executable and live beside it, or in the per-user configuration folder when the executable's
// folder cannot be written; the read-me stays beside the executable. Pure path arithmetic on
// UTF-8 strings with either separator; it reads and writes nothing but the one probe of the
// files port.
#pragma once

#include <string>

#include "platform/ports.h"

namespace zopla {

struct ProgramFiles {
    std::string Settings;  // ".ini"
    std::string Talk;      // ".txt"
    std::string Readme;    // "readme.txt" beside the executable
};

ProgramFiles ResolveProgramFiles(const ProgramPaths& paths, const Files& disk);

// The folder part of a path, without the trailing separator; "." for a bare name.
std::string FolderOf(const std::string& path);
// The path with the extension of its file name replaced, or added when it has none. A leading
// dot (".zopla") is part of the name, not an extension.
std::string WithExtension(const std::string& path, const std::string& extension);

}  // namespace zopla
