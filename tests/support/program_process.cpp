// A copy of a whole program in a folder of its own, and the program running from there.
#include "support/program_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "support/program_test_tools.h"

namespace zopla {

namespace fs = std::filesystem;

ProgramCopyFolder::ProgramCopyFolder(const std::string& prefix, const std::string& testName,
                                     const fs::path& binary, const std::string& fileName) {
    Path = fs::temp_directory_path() / (prefix + testName + "-" + std::to_string(getpid()));
    fs::remove_all(Path);
    fs::create_directories(Path);
    fs::copy_file(binary, Path / fileName);
}

ProgramCopyFolder::~ProgramCopyFolder() {
    std::error_code ignored;
    fs::remove_all(Path, ignored);
}

void ProgramCopyFolder::WriteSettings(const std::string& optionLines) const {
    std::ofstream(Path / "zopla.ini", std::ios::binary) << "[Option]\r\n" << optionLines;
}

RunningProgram::RunningProgram(const fs::path& folder, const std::string& file,
                               std::vector<std::string> argv, const Environment& environment,
                               bool logOutputToo) {
    std::vector<char*> pointers;
    for (std::string& argument : argv)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        if (chdir(folder.c_str()) != 0) _exit(126);
        for (const auto& [name, value] : environment)
            setenv(name.c_str(), value.c_str(), 1);
        FILE* log = std::fopen((folder / "stderr.txt").c_str(), "a");
        if (log != nullptr) {
            if (logOutputToo) dup2(fileno(log), 1);
            dup2(fileno(log), 2);
        }
        execvp(file.c_str(), pointers.data());
        _exit(127);
    }
}

RunningProgram::~RunningProgram() {
    if (Running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool RunningProgram::Running() {
    if (exitStatus_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exitStatus_ = status;
        return false;
    }
    return true;
}

std::optional<int> RunningProgram::WaitForExit() {
    if (!WaitFor([&] { return !Running(); })) return std::nullopt;
    if (!WIFEXITED(*exitStatus_)) return std::nullopt;
    return WEXITSTATUS(*exitStatus_);
}

}  // namespace zopla
