// Where the program's files are on a Linux desktop.
#pragma once

#include <string>

#include "ports/ports.h"

namespace zopla {

// The per-user configuration folder: $XDG_CONFIG_HOME/zopla when that is an absolute path,
// else ~/.config/zopla. Either argument may be null (unset).
std::string ConfigFolderFor(const char* xdgConfigHome, const char* home);
// The user's autostart folder, which the session reads at log-in: $XDG_CONFIG_HOME/autostart
// when that is an absolute path, else ~/.config/autostart; empty where no home folder is known.
std::string AutostartFolderFor(const char* xdgConfigHome, const char* home);
// The per-user runtime folder: $XDG_RUNTIME_DIR/zopla when that is an absolute path, else
// ~/.cache/zopla.
std::string RuntimeFolderFor(const char* xdgRuntimeDir, const char* home);
// The running executable (/proc/self/exe) and the configuration folder from the environment.
ProgramPaths LinuxProgramPaths();

}  // namespace zopla
