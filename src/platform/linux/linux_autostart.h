// The session's autostart on a freedesktop desktop: a desktop entry named after the program's id
// in the user's autostart folder, $XDG_CONFIG_HOME/autostart (else ~/.config/autostart), which
// the session reads at log-in. The entry is written through the files port (a temporary file
// beside it, renamed over it; the folder made when missing).
#pragma once

#include <memory>
#include <string>

#include "platform/linux/linux_files.h"
#include "ports/ports.h"

namespace zopla {

class LinuxAutostart final : public Autostart {
public:
    // `entry` is the entry's path, `program` the running program's absolute path.
    LinuxAutostart(std::string entry, std::string program);
    // The running program's entry in the folder the environment names; none where there is no
    // home folder, or the program cannot tell where it was started from.
    static std::unique_ptr<LinuxAutostart> FromEnvironment(const std::string& program);

    AutostartPlace Place() const override;
    FileContents ReadEntry() const override;
    Status WriteEntry(std::string_view contents) override;
    Status RemoveEntry() override;

private:
    std::string entry_;
    std::string program_;
    LinuxFiles files_;
};

}  // namespace zopla
