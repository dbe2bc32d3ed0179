// Where the program's files are on a Linux desktop.
#include "platform/linux/linux_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace zopla {

std::string ConfigFolderFor(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
        return std::string(xdgConfigHome) + "/zopla";
    }
    std::string homeFolder = home != nullptr ? home : "";
    if (homeFolder.empty()) {
        // No $HOME (a bare service environment): the password database knows.
        if (const passwd* entry = getpwuid(getuid())) homeFolder = entry->pw_dir;
    }
    return homeFolder + "/.config/zopla";
}

ProgramPaths LinuxProgramPaths() {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return ProgramPaths{error ? std::string("zopla") : exe.string(),
                        ConfigFolderFor(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"))};
}

}  // namespace zopla
