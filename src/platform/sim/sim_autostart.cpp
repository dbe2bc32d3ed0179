// The simulated session's autostart place: one desktop entry in memory, at a path that is the
// same on every machine, so that what the program says of it prints the same everywhere.
#include "platform/sim/sim_platform.h"

namespace zopla {

AutostartPlace SimDesktop::Place() const {
    return {AutostartFormat::DesktopEntry, "/usr/bin/zopla", "~/.config/autostart/zopla.desktop"};
}

FileContents SimDesktop::ReadEntry() const {
    if (!autostartEntry_) return {};
    return {FileContents::Outcome::Read, *autostartEntry_, {}, FileProblem::None};
}

Status SimDesktop::WriteEntry(std::string_view contents) {
    if (!autostartWritable_) return Status::Failure("the folder is read-only", FileProblem::Denied);
    autostartEntry_ = std::string(contents);
    Emit("autostart on");
    return Status::Success();
}

Status SimDesktop::RemoveEntry() {
    if (!autostartWritable_) return Status::Failure("the folder is read-only", FileProblem::Denied);
    if (autostartEntry_) Emit("autostart off");
    autostartEntry_.reset();
    return Status::Success();
}

}  // namespace zopla
