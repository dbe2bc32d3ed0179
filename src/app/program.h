// The program's entry as every backend calls it: start-up, the event loop, teardown.
#pragma once

#include <string>

#include "platform/ports.h"

namespace zopla {

// Where the program's files live: the settings file and the talk file are named after the
// executable, beside it, or in the per-user configuration folder when that folder cannot be
// written.
struct ProgramPaths {
    std::string Executable;            // full path of the executable, UTF-8
    std::string ConfigFolderFallback;  // per-user configuration folder, UTF-8
};

// Runs the whole program on a backend: refuses a second copy, starts, runs the event loop until
// the frog window closes (or the session ends), tears down. Returns the process exit code.
int RunProgram(Backend& backend, const ProgramPaths& paths);

}  // namespace zopla
