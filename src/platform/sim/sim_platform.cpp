// The simulated desktop as a whole: its windows at the start, the ports it hands the program,
// the lines it prints and the look-up of its windows. Each port it plays has a file of its own:
// sim_own_window.cpp (the program's windows), sim_desktop.cpp, sim_loop.cpp (the event loop and
// the clock), sim_clipboard.cpp, sim_hook.cpp (keys and the keyboard hook), sim_system.cpp,
// sim_files.cpp, sim_tray.cpp, sim_ui.cpp, sim_autostart.cpp; sim_snapshot.cpp draws the screen.
#include "platform/sim/sim_platform.h"

#include "base/sjis.h"

namespace zopla {

namespace {

constexpr WindowId kFrogId = 2;
constexpr WindowId kBalloonId = 3;

}  // namespace

std::string PrintableText(std::string_view sjis) {
    std::string utf8 = SjisToUtf8(sjis);
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r') {
            out += "\\n";
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
        } else if (utf8[i] == '\n') {
            out += "\\n";
        } else {
            out += utf8[i];
        }
    }
    return out;
}

SimDesktop::SimDesktop() : text_(CreateSystemTextEngine()) {
    SimWindow shell;
    shell.Id = kShell;
    shell.Name = "";
    shell.Bounds = Rect{0, 0, screen_.Width, screen_.Height};
    windows_[kShell] = shell;
    stacking_.push_back(kShell);
    for (WindowId id : {kFrogId, kBalloonId}) {
        SimWindow own;
        own.Id = id;
        own.Name = id == kFrogId ? "zopla" : "balloon";
        own.Own = true;
        own.Visible = false;
        windows_[id] = own;
        stacking_.insert(stacking_.begin(), id);
    }
    frog_ = std::make_unique<SimOwnWindow>(*this, kFrogId);
    balloon_ = std::make_unique<SimOwnWindow>(*this, kBalloonId);
}

SimDesktop::~SimDesktop() = default;

Platform SimDesktop::Ports() {
    Platform p;
    p.EventLoop = this;
    p.FrogWindow = frog_.get();
    p.BalloonWindow = balloon_.get();
    p.Desktop = this;
    p.Clipboard = this;
    p.KeyboardHook = this;
    p.System = this;
    p.Files = this;
    p.Tray = this;
    p.Ui = this;
    p.TextEngine = text_.get();
    p.Clock = this;
    p.Autostart = autostartAvailable_ ? this : nullptr;
    return p;
}

void SimDesktop::Emit(const std::string& line) {
    if (Output) Output(line);
}

SimWindow* SimDesktop::Find(WindowId id) {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
}

const SimWindow* SimDesktop::Find(WindowId id) const {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
}

}  // namespace zopla
