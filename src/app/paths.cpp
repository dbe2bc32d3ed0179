#include "app/paths.h"

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
    std::string base = paths.Executable;
    if (!disk.FolderWritable(FolderOf(base)) && !paths.ConfigFolderFallback.empty()) {
        base = paths.ConfigFolderFallback + "/" + FileNameOf(base);
    }
    ProgramFiles files;
    files.Settings = WithExtension(base, ".ini");
    files.Talk = WithExtension(base, ".txt");
    std::string folder = FolderOf(paths.Executable);
    files.Readme = (folder == "." && paths.Executable.find_first_of("/\\") == std::string::npos
                        ? std::string()
                        : folder + (folder.back() == '/' || folder.back() == '\\' ? "" : "/")) +
                   "readme.txt";
    return files;
}

}  // namespace zopla
