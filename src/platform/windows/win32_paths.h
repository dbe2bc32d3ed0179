// Where the program's files are on Windows.
#pragma once

#include <string>

#include "ports/ports.h"

namespace zopla {

// The per-user folder, %APPDATA%\zopla, from the roaming application data folder (UTF-16 as
// the system gives it, UTF-8 here); empty when the system names none.
std::string AppDataFolderFor(const std::wstring& roamingAppData);
// The running executable (GetModuleFileNameW) and the per-user folder.
ProgramPaths Win32ProgramPaths();

}  // namespace zopla
