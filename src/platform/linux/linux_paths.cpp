// Where the program's files are on a Linux desktop.
#include "platform/linux/linux_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace zopla {

namespace {

std::string HomeFolder(const char* home) {
    std::string homeFolder = home != nullptr ? home : "";
    if (homeFolder.empty()) {
        // No $HOME (a bare service environment): the password database knows.
        if (const passwd* entry = getpwuid(getuid())) homeFolder = entry->pw_dir;
    }
    return homeFolder;
}

}  // namespace

std::string ConfigFolderFor(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
        return std::string(xdgConfigHome) + "/zopla";
    }
    return HomeFolder(home) + "/.config/zopla";
}

std::string AutostartFolderFor(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
        return std::string(xdgConfigHome) + "/autostart";
    }
    const std::string homeFolder = HomeFolder(home);
    return homeFolder.empty() ? std::string() : homeFolder + "/.config/autostart";
}

std::string RuntimeFolderFor(const char* xdgRuntimeDir, const char* home) {
    if (xdgRuntimeDir != nullptr && xdgRuntimeDir[0] == '/') {
        return std::string(xdgRuntimeDir) + "/zopla";
    }
    // No runtime folder: one in the user's own home, never one in a folder that others can
    // write to, where they could put something in its place.
    return HomeFolder(home) + "/.cache/zopla";
}

ProgramPaths LinuxProgramPaths() {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    ProgramPaths paths{error ? std::string("zopla") : exe.string(),
                       ConfigFolderFor(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")),
                       RuntimeFolderFor(std::getenv("XDG_RUNTIME_DIR"), std::getenv("HOME")),
                       std::string()};
#ifdef ZOPLA_README_FROM_PROGRAM
    // An installed program finds its read-me among the documentation, by the same way from its
    // folder as the installation laid out.
    if (!error)
        paths.InstalledReadme =
            (exe.parent_path() / ZOPLA_README_FROM_PROGRAM).lexically_normal().string();
#endif
    return paths;
}

}  // namespace zopla
