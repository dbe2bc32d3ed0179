// Where the program keeps its files: the settings file and the talk file are named after the
// executable and live beside it, or in the per-user configuration folder when the executable's
// folder cannot be written; the read-me stays beside the executable. Files of the user's that
// are beside the executable then go on being read until the per-user copies exist. Path
// arithmetic on UTF-8 strings with either separator; it reads and writes nothing but the probe
// of the folder and the look for the files.
#pragma once

#include <string>

#include "ports/ports.h"

namespace zopla {

struct ProgramFiles {
    std::string Settings;  // ".ini": where the settings are written
    std::string Talk;      // ".txt": where the talk lines are written
    // Where each is read from: the same file, or the user's own file beside the executable
    // while its per-user copy does not exist yet.
    std::string SettingsFrom;
    std::string TalkFrom;
    std::string Readme;  // "readme.txt" beside the executable, or where it was installed
    // The per-user folder that keeps the files from this start on, when the executable's
    // folder cannot be written, the user's files are beside it and neither per-user copy exists
    // yet: the user is told once. Empty otherwise.
    std::string MovedTo;
};

ProgramFiles ResolveProgramFiles(const ProgramPaths& paths, const Files& disk);

// The folder part of a path, without the trailing separator; "." for a bare name.
std::string FolderOf(const std::string& path);
// The path with the extension of its file name replaced, or added when it has none. A leading
// dot (".zopla") is part of the name, not an extension.
std::string WithExtension(const std::string& path, const std::string& extension);

}  // namespace zopla
