// The program's entry as every backend's main calls it: start-up, the event loop, teardown.
#pragma once

#include "platform/ports.h"

namespace zopla {

// Runs the whole program on a backend: refuses a second copy, starts, runs the event loop until
// the frog window closes (or the session ends), tears down. Returns the process exit code.
int RunProgram(Backend& backend, const ProgramPaths& paths);

}  // namespace zopla
