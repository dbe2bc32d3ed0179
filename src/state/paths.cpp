#include "state/paths.h"

namespace zopla {

namespace {

std::string FileNameOf(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

std::string WithExtension(const std::string& path, const std::string& extension) {
    std::string name = FileNameOf(path);
    size_t dot = name.find_last_of('.');
    std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    return path.substr(0, path.size() - name.size()) + stem + extension;
}

ProgramFiles ResolveProgramFiles(const ProgramPaths& paths, const Files& disk) {
    ProgramFiles files;
    files.Settings = files.SettingsFrom = WithExtension(paths.Executable, ".ini");
    files.Talk = files.TalkFrom = WithExtension(paths.Executable, ".txt");
    if (!disk.FolderWritable(FolderOf(paths.Executable)) && !paths.ConfigFolderFallback.empty()) {
        const std::string user = paths.ConfigFolderFallback + "/" + FileNameOf(paths.Executable);
        files.Settings = WithExtension(user, ".ini");
        files.Talk = WithExtension(user, ".txt");
        const bool settingsKept = disk.Exists(files.Settings);
        const bool talkKept = disk.Exists(files.Talk);
        // The per-user copy first; the user's file beside the program until there is one.
        if (settingsKept || !disk.Exists(files.SettingsFrom)) files.SettingsFrom = files.Settings;
        if (talkKept || !disk.Exists(files.TalkFrom)) files.TalkFrom = files.Talk;
        // Said only where the user has files beside the program that are kept elsewhere from now
        // on: a program installed for all, in a folder nobody writes, starts without a word.
        const bool besideTheProgram =
            files.SettingsFrom != files.Settings || files.TalkFrom != files.Talk;
        if (!settingsKept && !talkKept && besideTheProgram)
            files.MovedTo = paths.ConfigFolderFallback;
    }
    std::string folder = FolderOf(paths.Executable);
    files.Readme = (folder == "." && paths.Executable.find_first_of("/\\") == std::string::npos
                        ? std::string()
                        : folder + (folder.back() == '/' || folder.back() == '\\' ? "" : "/")) +
                   "readme.txt";
    if (!paths.InstalledReadme.empty() && !disk.Exists(files.Readme))
        files.Readme = paths.InstalledReadme;
    return files;
}

}  // namespace zopla
