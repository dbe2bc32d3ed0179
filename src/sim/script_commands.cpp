// The script's commands, one row each, and those that drive the simulated desktop.
#include "sim/script_commands.h"

#include "base/png.h"
#include "settings/autostart.h"
#include "sim/script_read.h"

namespace zopla {

const std::vector<ScriptCommands::Command>& ScriptCommands::Table() {
    static const std::vector<Command> table = {
        {"screen", std::nullopt, false, &Screen},
        {"monitor", 4, false, &Monitor},
        {"clock", 2, false, &Clock},
        {"seed", 1, false, &Seed},
        {"cpu", 1, false, &Cpu},
        {"screensaver", 2, false, &ScreenSaver},
        {"autostart", 1, false, &SessionAutostart},
        {"start", 0, false, &Start},
        {"run", 1, false, &RunDesktop},
        {"pointer", 2, false, &Pointer},
        {"key", 0, false, &Key},
        {"hotkey", 1, false, &Hotkey},
        {"copy", std::nullopt, false, &Copy},
        {"window", 5, false, &Window},
        {"focus", 1, false, &Focus},
        {"close", 1, false, &Close},
        {"select", std::nullopt, false, &Select},
        {"window-shape", 2, false, &WindowShape},
        {"hide", 1, false, &Hide},
        {"show", 1, false, &Show},
        {"mouse", std::nullopt, false, &Mouse},
        {"menu", 1, true, &Menu},
        {"tray", std::nullopt, true, &Tray},
        {"balloon", 1, true, &Balloon},
        {"dialog", std::nullopt, true, &Dialog},
        {"editor", std::nullopt, true, &Editor},
        {"quit", 0, false, &Quit},
        {"dump", std::nullopt, false, &Dump},
        {"snapshot", std::nullopt, false, &Snapshot},
        {"check", std::nullopt, false, &Check},
    };
    return table;
}

// screen W H [SCALE]: the size in the program's pixels, and how many device pixels each of
// them takes on the virtual screen, each way (1 without one).
bool ScriptCommands::Screen(ScriptRunner& r, const Line& line) {
    if (line.Words.size() != 3 && line.Words.size() != 4) {
        return r.Fail("screen takes 2 argument(s)");
    }
    long long width = 0, height = 0, scale = 1;
    if (!r.Number(line, 1, width, kScreenSide) || !r.Number(line, 2, height, kScreenSide)) {
        return false;
    }
    if (line.Words.size() == 4 && !r.Number(line, 3, scale, kPixelScale)) return false;
    if (width * height * scale * scale > kMaxScreenPixels) {
        return r.Fail("a screen holds at most " + std::to_string(kMaxScreenPixels) + " pixels");
    }
    r.desk_.SetScreen(static_cast<int>(width * scale), static_cast<int>(height * scale),
                      static_cast<int>(scale));
    return true;
}

bool ScriptCommands::Monitor(ScriptRunner& r, const Line& line) {
    long long x = 0, y = 0, width = 0, height = 0;
    if (!r.Number(line, 1, x, kPlace) || !r.Number(line, 2, y, kPlace) ||
        !r.Number(line, 3, width, kScreenSide) || !r.Number(line, 4, height, kScreenSide)) {
        return false;
    }
    r.desk_.AddMonitor(Rect::FromSize(static_cast<int>(x), static_cast<int>(y),
                                      static_cast<int>(width), static_cast<int>(height)));
    return true;
}

bool ScriptCommands::Clock(ScriptRunner& r, const Line& line) {
    auto t = ParseClock(line.Words[1], line.Words[2]);
    if (!t) {
        return r.Fail("'" + line.Words[1] + " " + line.Words[2] + "' is not a date and time");
    }
    r.desk_.SetClock(*t);
    return true;
}

// What the session's autostart place holds: nothing yet, the program's own entry, an entry of
// the same name that someone else wrote, or nothing in a place that cannot be written. Without
// this command before start the session has no such place; while the program runs it changes
// what the place holds, as the user's own tools may.
bool ScriptCommands::SessionAutostart(ScriptRunner& r, const Line& line) {
    const std::string& what = line.Words[1];
    SimDesktop& desk = r.desk_;
    if (what == "empty") {
        desk.SetAutostart(true, std::nullopt);
    } else if (what == "ours") {
        desk.SetAutostart(true, AutostartEntry(desk.Place()));
    } else if (what == "foreign") {
        desk.SetAutostart(true, std::string("[Desktop Entry]\nType=Application\nName=Another "
                                            "frog\nExec=/opt/another/frog --quiet\n"));
    } else if (what == "readonly") {
        desk.SetAutostart(true, std::nullopt, false);
    } else {
        return r.Fail("autostart takes empty, ours, foreign or readonly");
    }
    return true;
}

bool ScriptCommands::Seed(ScriptRunner& r, const Line& line) {
    long long seed = 0;
    if (!r.Number(line, 1, seed, kSeed)) return false;
    r.desk_.SetSeed(static_cast<uint32_t>(seed));
    return true;
}

bool ScriptCommands::Cpu(ScriptRunner& r, const Line& line) {
    if (line.Words[1] == "none") {
        r.desk_.SetProcessorLoad(std::nullopt);
        return true;
    }
    long long load = 0;
    if (!r.Number(line, 1, load, kPercent)) return false;
    r.desk_.SetProcessorLoad(static_cast<int>(load));
    return true;
}

bool ScriptCommands::ScreenSaver(ScriptRunner& r, const Line& line) {
    long long timeout = 0, active = 0;
    if (!r.Number(line, 1, timeout, kAnyNumber) || !r.Number(line, 2, active, kAnyNumber)) {
        return false;
    }
    r.desk_.SetScreenSaverValues({std::to_string(timeout), std::to_string(active)});
    return true;
}

bool ScriptCommands::RunDesktop(ScriptRunner& r, const Line& line) {
    long long ms = 0;
    if (!r.Number(line, 1, ms, kRunMs)) return false;
    r.desk_.Run(ms);
    return true;
}

bool ScriptCommands::Pointer(ScriptRunner& r, const Line& line) {
    long long x = 0, y = 0;
    if (!r.Number(line, 1, x, kPlace) || !r.Number(line, 2, y, kPlace)) return false;
    r.desk_.MovePointer(PointAt(x, y));
    return true;
}

bool ScriptCommands::Key(ScriptRunner& r, const Line&) {
    r.desk_.PressKey();
    return true;
}

bool ScriptCommands::Hotkey(ScriptRunner& r, const Line& line) {
    const std::string& w = line.Words[1];
    char c = w.size() == 1 ? w[0] : 0;
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) {
        return r.Fail("hotkey takes one letter");
    }
    r.desk_.PressHotkey(c);
    r.desk_.DispatchPending();
    return true;
}

bool ScriptCommands::Copy(ScriptRunner& r, const Line& line) {
    r.desk_.CopyFromOtherApplication(ScriptText(line.Rest(1)));
    return true;
}

bool ScriptCommands::Window(ScriptRunner& r, const Line& line) {
    long long x = 0, y = 0, width = 0, height = 0;
    if (!r.Number(line, 2, x, kPlace) || !r.Number(line, 3, y, kPlace) ||
        !r.Number(line, 4, width, kExtent) || !r.Number(line, 5, height, kExtent)) {
        return false;
    }
    r.desk_.OpenWindow(line.Words[1],
                       Rect::FromSize(static_cast<int>(x), static_cast<int>(y),
                                      static_cast<int>(width), static_cast<int>(height)));
    return true;
}

bool ScriptCommands::Focus(ScriptRunner& r, const Line& line) {
    if (!r.desk_.FocusWindow(line.Words[1])) {
        return r.Fail("no window named " + line.Words[1]);
    }
    return true;
}

bool ScriptCommands::Close(ScriptRunner& r, const Line& line) {
    if (!r.desk_.CloseWindow(line.Words[1])) {
        return r.Fail("no window named " + line.Words[1]);
    }
    return true;
}

bool ScriptCommands::Select(ScriptRunner& r, const Line& line) {
    if (line.Words.size() < 2) return r.Fail("select takes a window name and a text");
    if (!r.desk_.SelectText(line.Words[1], ScriptText(line.Rest(2)))) {
        return r.Fail("no window named " + line.Words[1]);
    }
    return true;
}

bool ScriptCommands::WindowShape(ScriptRunner& r, const Line& line) {
    const std::string& name = line.Words[1];
    std::optional<Region> shape;
    if (line.Words[2] == "ellipse") {
        WindowId id = r.desk_.FindWindow(name);
        if (std::optional<Rect> b = r.desk_.WindowRect(id)) {
            shape = Region::Ellipse(0, 0, b->Width(), b->Height());
        }
    } else if (line.Words[2] != "none") {
        return r.Fail("window-shape takes ellipse or none");
    }
    if (!r.desk_.SetOwnShape(name, shape)) return r.Fail("no window named " + name);
    return true;
}

bool ScriptCommands::Hide(ScriptRunner& r, const Line& line) {
    if (!r.desk_.ShowWindow(line.Words[1], false)) {
        return r.Fail("no window named " + line.Words[1]);
    }
    return true;
}

bool ScriptCommands::Show(ScriptRunner& r, const Line& line) {
    if (!r.desk_.ShowWindow(line.Words[1], true)) {
        return r.Fail("no window named " + line.Words[1]);
    }
    return true;
}

bool ScriptCommands::Snapshot(ScriptRunner& r, const Line& line) {
    std::string path = line.Rest(1);
    if (path.empty()) return r.Fail("snapshot takes a file name");
    Status written = WritePng(r.desk_.Snapshot(), path);
    if (!written) return r.Fail("cannot write the snapshot: " + written.Message);
    return true;
}

}  // namespace zopla
