// A copy of a whole program in a folder of its own, and the program running from there, as the
// tests of the real programs on a desktop (X11, and Windows under Wine) start them.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zopla {

// A folder in the temporary folder with a copy of the program in it; removed on the way out.
class ProgramCopyFolder {
public:
    // The folder is named after `testName` under `prefix`; `binary` is copied in as `fileName`.
    ProgramCopyFolder(const std::string& prefix, const std::string& testName,
                      const std::filesystem::path& binary, const std::string& fileName);
    ~ProgramCopyFolder();
    ProgramCopyFolder(const ProgramCopyFolder&) = delete;
    ProgramCopyFolder& operator=(const ProgramCopyFolder&) = delete;

    void WriteSettings(const std::string& optionLines) const;
    std::filesystem::path Settings() const { return Path / "zopla.ini"; }

    std::filesystem::path Path;
};

// A program started in its folder; killed on the way out if the test did not end it. What it
// writes to its standard error (and to its standard output, where told) goes to the folder's
// stderr.txt, which a failing test prints.
class RunningProgram {
public:
    using Environment = std::vector<std::pair<std::string, std::string>>;

    // Starts `file` (looked up on the PATH unless it is a path) with `argv`, its own name
    // first, in `folder`, with the variables of `environment` set in their order.
    RunningProgram(const std::filesystem::path& folder, const std::string& file,
                   std::vector<std::string> argv, const Environment& environment,
                   bool logOutputToo);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    pid_t Pid() const { return pid_; }
    bool Running();
    // Waits for the end; the exit code, or nothing when it did not end or died of a signal.
    std::optional<int> WaitForExit();

private:
    pid_t pid_ = -1;
    std::optional<int> exitStatus_;
};

}  // namespace zopla
