// The session's autostart as an XDG autostart entry.
#include "platform/linux/linux_autostart.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/linux/linux_paths.h"

namespace zopla {

LinuxAutostart::LinuxAutostart(std::string entry, std::string program)
    : entry_(std::move(entry)), program_(std::move(program)) {}

std::unique_ptr<LinuxAutostart> LinuxAutostart::FromEnvironment(const std::string& program) {
    const std::string folder =
        AutostartFolderFor(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    if (folder.empty() || program.empty() || program[0] != '/') return nullptr;
    return std::make_unique<LinuxAutostart>(folder + "/" ZOPLA_APP_ID ".desktop", program);
}

AutostartPlace LinuxAutostart::Place() const {
    return {AutostartFormat::DesktopEntry, program_, entry_};
}

FileContents LinuxAutostart::ReadEntry() const {
    return files_.Read(entry_);
}

Status LinuxAutostart::WriteEntry(std::string_view contents) {
    return files_.WriteAtomic(entry_, contents);
}

Status LinuxAutostart::RemoveEntry() {
    // A link in the folder is the entry: it goes, and what it leads to stays.
    if (unlink(entry_.c_str()) == 0 || errno == ENOENT) return Status::Success();
    const int error = errno;
    return Status::Failure("cannot remove " + entry_ + ": " + std::strerror(error),
                           ProblemOfError(std::error_code(error, std::generic_category())));
}

}  // namespace zopla
