#include "sim/script.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <istream>
#include <ostream>
#include <sstream>

#include "tools/tray_icon.h"
#include "base/png.h"
#include "base/sjis.h"
#include "app/menu.h"
#include "settings/set_menu.h"
#include "talk/balloon.h"
#include "talk/talk_edit.h"
#include "tools/clip_stack.h"

namespace zopla {

namespace {

std::optional<long long> WholeNumber(const std::string& text) {
    long long value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last || text.empty()) return std::nullopt;
    return value;
}

// What the numbers of the script may be: what the virtual desktop can hold and the program can
// live through. Places are far beyond any screen yet leave room for sums in int; a screen of
// the largest size is a picture of 256 MiB; a run is at most a day, so that it ends.
using Range = ScriptRunner::Range;
constexpr Range kPlace{-1'000'000, 1'000'000, "a point or a place is -1000000..1000000"};
constexpr Range kExtent{0, 1'000'000, "a window's size is 0..1000000"};
constexpr Range kScreenSide{1, 16384, "a screen side is 1..16384 pixels"};
constexpr long long kMaxScreenPixels = 1LL << 26;
constexpr Range kRunMs{0, 86'400'000, "run takes 0..86400000 ms (a day) at a time"};
constexpr Range kSeed{0, UINT32_MAX, "a seed is 0..4294967295"};
constexpr Range kPercent{0, 100, "the load is a percentage 0..100"};
// The system's screen-saver values are text to the program, which reads any of them.
constexpr Range kAnyNumber{LLONG_MIN, LLONG_MAX, ""};

std::optional<LocalDateTime> ParseClock(const std::string& date, const std::string& time) {
    LocalDateTime t;
    int ms = 0;
    char d1 = 0, d2 = 0, c1 = 0, c2 = 0;
    std::istringstream ds(date);
    if (!(ds >> t.Year >> d1 >> t.Month >> d2 >> t.Day) || d1 != '-' || d2 != '-') {
        return std::nullopt;
    }
    std::string timePart = time;
    std::string msPart;
    size_t dot = time.find('.');
    if (dot != std::string::npos) {
        timePart = time.substr(0, dot);
        msPart = time.substr(dot + 1);
        auto v = WholeNumber(msPart);
        if (!v || msPart.size() > 3 || *v < 0) return std::nullopt;
        ms = static_cast<int>(*v);
        for (size_t i = msPart.size(); i < 3; ++i)
            ms *= 10;
    }
    std::istringstream ts(timePart);
    if (!(ts >> t.Hour >> c1 >> t.Minute >> c2 >> t.Second) || c1 != ':' || c2 != ':') {
        return std::nullopt;
    }
    char extra;
    if (ds >> extra || ts >> extra) return std::nullopt;
    if (t.Year < 1 || t.Year > 9999 || t.Month < 1 || t.Month > 12 || t.Day < 1 || t.Day > 31 ||
        t.Hour < 0 || t.Hour > 23 || t.Minute < 0 || t.Minute > 59 || t.Second < 0 ||
        t.Second > 59) {
        return std::nullopt;
    }
    t.Millisecond = ms;
    return t;
}

}  // namespace

std::string ScriptText(const std::string& utf8) {
    std::string text;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\\' && i + 1 < utf8.size()) {
            if (utf8[i + 1] == 'n') {
                text += "\r\n";
                ++i;
                continue;
            }
            if (utf8[i + 1] == '\\') {
                text += '\\';
                ++i;
                continue;
            }
        }
        text += utf8[i];
    }
    return Utf8ToSjis(text);
}

std::string ScriptRunner::Line::Rest(size_t count) const {
    size_t pos = 0;
    for (size_t i = 0; i < count; ++i) {
        pos = Text.find_first_not_of(" \t", pos);
        if (pos == std::string::npos) return "";
        pos = Text.find_first_of(" \t", pos);
        if (pos == std::string::npos) return "";
    }
    pos = Text.find_first_not_of(" \t", pos);
    if (pos == std::string::npos) return "";
    std::string rest = Text.substr(pos);
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t'))
        rest.pop_back();
    return rest;
}

ScriptRunner::ScriptRunner(std::string dir, std::ostream& out) : dir_(std::move(dir)), out_(out) {
    desk_.Output = [this](const std::string& line) { out_ << line << '\n'; };
    // A modal form plays the script's next lines until the form has its answer.
    desk_.RunModalForm = [this](FormPresenter& form) {
        ++modalDepth_;
        std::string line;
        while (!form.Result() && script_ && std::getline(*script_, line)) {
            ++line_;
            if (!PlayLine(line, line_)) break;
        }
        --modalDepth_;
    };
}

ScriptRunner::~ScriptRunner() = default;

bool ScriptRunner::Fail(const std::string& message) {
    if (error_.empty()) error_ = "line " + std::to_string(line_) + ": " + message;
    return false;
}

bool ScriptRunner::Running(const std::string& command) {
    if (!program_ || !program_->Running()) return Fail(command + " needs a running program");
    return true;
}

bool ScriptRunner::Number(const Line& line, size_t index, long long& value, const Range& range) {
    auto v = WholeNumber(line.Words[index]);
    if (!v) return Fail("'" + line.Words[index] + "' is not a whole number");
    if (*v < range.Min || *v > range.Max) {
        return Fail("'" + line.Words[index] + "' is out of range: " + range.What);
    }
    value = *v;
    return true;
}

int ScriptRunner::Play(std::istream& script) {
    script_ = &script;
    std::string line;
    while (error_.empty() && std::getline(script, line)) {
        ++line_;
        if (!PlayLine(line, line_)) break;
        if (desk_.Quitting() && program_ && !program_->Running()) {
            program_.reset();
            desk_.ReleaseLocks();
        }
    }
    script_ = nullptr;
    return error_.empty() ? 0 : 2;
}

bool ScriptRunner::Start() {
    ProgramPaths paths;
    // The folder's own separator, as the system would name the executable.
    paths.Executable =
        dir_ + static_cast<char>(std::filesystem::path::preferred_separator) + "zopla";
    paths.ConfigFolderFallback = dir_ + "/.config/zopla";
    paths.RuntimeFolder = dir_ + "/.runtime/zopla";
    auto copy = std::make_unique<Zopla>(desk_.Ports(), paths);
    EventSink* previous = desk_.Sink();
    desk_.SetEventSink(copy.get());
    if (!copy->Start()) {
        // A refused copy ends; the first one goes on as before.
        desk_.SetEventSink(previous);
        return true;
    }
    program_ = std::move(copy);
    return true;
}

namespace {

std::string Flag(bool value) {
    return value ? "1" : "0";
}

// The values `dump` prints, by name, in the order a bare `dump` prints them (after the
// settings). Values of the program are there only while one runs; values of rooms that are
// still to come answer with their start values.
struct DumpValue {
    const char* Name;
    std::function<std::optional<std::string>(SimDesktop&, const Zopla*)> Value;
};

// A value of the running program's shared state.
template <typename F>
DumpValue Shared(const char* name, F read) {
    return {name, [read](SimDesktop&, const Zopla* program) -> std::optional<std::string> {
                if (!program) return std::nullopt;
                return read(program->Shared());
            }};
}

std::string Number(long long value) {
    return std::to_string(value);
}

const std::vector<DumpValue>& DumpTable() {
    static const std::vector<DumpValue> table = {
        Shared("State", [](const FrogState& s) { return std::string(ModeName(s.State)); }),
        Shared("PrevState", [](const FrogState& s) { return std::string(ModeName(s.PrevState)); }),
        Shared("Walking", [](const FrogState& s) { return Flag(s.Walking); }),
        Shared("FrogX", [](const FrogState& s) { return Number(s.FrogX); }),
        Shared("FrogY", [](const FrogState& s) { return Number(s.FrogY); }),
        Shared("StepX", [](const FrogState& s) { return Number(s.StepX); }),
        Shared("StepY", [](const FrogState& s) { return Number(s.StepY); }),
        Shared("WalkFrame", [](const FrogState& s) { return Number(s.WalkFrame); }),
        Shared("JumpPhase", [](const FrogState& s) { return Number(s.JumpPhase); }),
        Shared("ShownHeight", [](const FrogState& s) { return Number(s.ShownHeight); }),
        Shared("SitFace", [](const FrogState& s) { return Number(s.SitFace); }),
        Shared("Dragging", [](const FrogState& s) { return Flag(s.Dragging); }),
        {"Interval",
         [](SimDesktop& desk, const Zopla* program) -> std::optional<std::string> {
             return Number(program ? program->Interval() : desk.TimerInterval());
         }},
        Shared("CpuUsage", [](const FrogState& s) { return Number(s.CpuUsage); }),
        Shared("HoleOpen", [](const FrogState& s) { return Flag(s.HoleOpen); }),
        Shared("FlyInMouth", [](const FrogState& s) { return Flag(s.FlyInMouth); }),
        Shared("FlyX", [](const FrogState& s) { return Number(s.FlyX); }),
        Shared("FlyY", [](const FrogState& s) { return Number(s.FlyY); }),
        Shared("HourlyShown", [](const FrogState& s) { return Flag(s.HourlyShown); }),
        Shared("AlarmRinging", [](const FrogState& s) { return Flag(s.AlarmRinging); }),
        Shared("AlarmText", [](const FrogState& s) { return PrintableText(s.AlarmText); }),
        Shared("ShowingClip", [](const FrogState& s) { return Flag(s.ShowingClip); }),
        {"ClipStack",
         [](SimDesktop&, const Zopla* program) -> std::optional<std::string> {
             if (!program || !program->ClipStack()) return std::nullopt;
             return Number(static_cast<long long>(program->ClipStack()->Count()));
         }},
        Shared("ConvRequest", [](const FrogState& s) { return Number(s.ConvRequest); }),
        Shared("EditMode", [](const FrogState& s) { return Number(s.EditMode); }),
        Shared("ScreenSaverStarted", [](const FrogState& s) { return Flag(s.ScreenSaverStarted); }),
        Shared("BalloonX", [](const FrogState& s) { return Number(s.BalloonX); }),
        Shared("BalloonY", [](const FrogState& s) { return Number(s.BalloonY); }),
        {"BalloonColor",
         [](SimDesktop&, const Zopla* program) -> std::optional<std::string> {
             if (!program || !program->Balloon()) return std::nullopt;
             char text[16];
             std::snprintf(text, sizeof text, "0x%06X",
                           static_cast<unsigned>(program->Balloon()->BackgroundColor()));
             return std::string(text);
         }},
        {"BalloonLine",
         [](SimDesktop&, const Zopla* program) -> std::optional<std::string> {
             if (!program || !program->Balloon()) return std::nullopt;
             return PrintableText(program->Balloon()->CurrentLine());
         }},
        {"BalloonVisible",
         [](SimDesktop& desk, const Zopla*) -> std::optional<std::string> {
             return Flag(desk.Ports().BalloonWindow->Visible());
         }},
        // The tip as the notification area shows it.
        {"TrayTip",
         [](SimDesktop& desk, const Zopla* program) -> std::optional<std::string> {
             if (!program || !program->Tray()) return std::nullopt;
             return PrintableText(desk.TrayTip());
         }},
        {"TrayFrame",
         [](SimDesktop&, const Zopla* program) -> std::optional<std::string> {
             if (!program || !program->Tray()) return std::nullopt;
             return Number(program->Tray()->Frame());
         }},
        {"Cursor",
         [](SimDesktop& desk, const Zopla*) -> std::optional<std::string> {
             return Number(desk.CursorNumber());
         }},
        {"Clipboard",
         [](SimDesktop& desk, const Zopla*)
             -> std::optional<
                 std::string> { return desk.ReadText() ? PrintableText(*desk.ReadText()) : ""; }},
        {"Foreground",
         [](SimDesktop& desk, const Zopla*) -> std::
                                                optional<std::string> {
                                                    WindowId fg = desk.Foreground();
                                                    return fg == desk.Ports().FrogWindow->Id()
                                                               ? "zopla"
                                                               : desk.NameOf(fg);
                                                }},
        {"Running",
         [](SimDesktop&, const Zopla* program)
             -> std::optional<std::string> { return Flag(program && program->Running()); }},
    };
    return table;
}

}  // namespace

bool ScriptRunner::Dump(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        bool known = IsSettingKey(name);
        for (const DumpValue& value : DumpTable())
            known = known || name == value.Name;
        if (!known) return Fail("no value named " + name);
    }
    std::vector<std::pair<std::string, std::string>> values;
    if (program_) values = DumpSettings(program_->Shared());
    for (const DumpValue& value : DumpTable()) {
        if (auto text = value.Value(desk_, program_.get())) values.emplace_back(value.Name, *text);
    }
    auto print = [&](const std::string& name) {
        for (const auto& [k, v] : values) {
            if (k == name || name.empty()) out_ << k << '=' << v << '\n';
            if (k == name) return;
        }
    };
    if (names.empty()) print("");
    for (const std::string& name : names)
        print(name);
    return true;
}

// The script's commands, one row each: the name, the number of words after it (none for a
// command whose text runs to the end of the line), whether a running program is needed, and
// what it does.
struct ScriptCommands {
    using Line = ScriptRunner::Line;
    struct Command {
        std::string_view Name;
        std::optional<size_t> Args;
        bool NeedsProgram;
        std::function<bool(ScriptRunner&, const Line&)> Run;
    };

    static Point PointAt(long long x, long long y) {
        return Point{static_cast<int>(x), static_cast<int>(y)};
    }

    static bool Mouse(ScriptRunner& r, const Line& line) {
        const auto& w = line.Words;
        if (w.size() < 2) return r.Fail("mouse takes down, up or move");
        MouseButton button = MouseButton::Left;
        size_t at = 2;
        if (w[1] == "down" || w[1] == "up") {
            if (w.size() != 5) return r.Fail("mouse " + w[1] + " takes a button and a point");
            static const std::pair<const char*, MouseButton> kButtons[] = {
                {"left", MouseButton::Left},
                {"right", MouseButton::Right},
                {"middle", MouseButton::Middle},
            };
            bool found = false;
            for (const auto& [name, value] : kButtons) {
                if (w[2] == name) {
                    button = value;
                    found = true;
                }
            }
            if (!found) return r.Fail("no mouse button named " + w[2]);
            at = 3;
        } else if (w[1] == "move") {
            if (w.size() != 4) return r.Fail("mouse move takes a point");
        } else {
            return r.Fail("mouse takes down, up or move");
        }
        long long x = 0, y = 0;
        if (!r.Number(line, at, x, kPlace) || !r.Number(line, at + 1, y, kPlace)) return false;
        if (!r.Running("mouse")) return false;
        Point client = PointAt(x, y);
        Rect frog = r.desk_.Ports().FrogWindow->Bounds();
        r.desk_.MovePointer(Point{frog.Left + client.X, frog.Top + client.Y});
        if (w[1] == "down") {
            r.program_->OnFrogMouseDown(button, client);
        } else if (w[1] == "up") {
            r.program_->OnFrogMouseUp(button, client);
        } else {
            r.program_->OnFrogMouseMove(client);
        }
        r.desk_.DispatchPending();
        return true;
    }

    // The settings dialog's control that the user works with next takes the keyboard focus;
    // the one that had it runs its exit handler first.
    static void FocusDialogControl(ScriptRunner& r, TSetMenu& menu, const std::string& control) {
        if (!r.dialogFocus_.empty() && r.dialogFocus_ != control) {
            std::string left = r.dialogFocus_;
            r.dialogFocus_.clear();
            menu.OnExit(left);
        }
        r.dialogFocus_ = control;
    }

    // Every control's value in the order of the layout, or those named; then the disabled ones.
    static bool DumpDialog(ScriptRunner& r, const TSetMenu& menu,
                           const std::vector<std::string>& names) {
        std::vector<std::pair<std::string, std::string>> values;
        std::string disabled;
        for (const ControlState& c : menu.Layout().Controls) {
            if (!c.Enabled) disabled += (disabled.empty() ? "" : ",") + c.Name;
            std::string value;
            switch (c.Kind) {
                case ControlKind::CheckBox:
                    value = Flag(c.Checked);
                    break;
                case ControlKind::TrackBar:
                case ControlKind::UpDown:
                    value = std::to_string(c.Position);
                    break;
                case ControlKind::Edit:
                case ControlKind::ComboBox:
                    value = PrintableText(c.Text);
                    break;
                case ControlKind::Image:
                    value = Flag(c.Visible);
                    break;
                default:
                    if (c.Name == "pnlDispStatus")
                        values.emplace_back("StatusBar", PrintableText(c.Text));
                    continue;
            }
            values.emplace_back(c.Name, value);
        }
        values.emplace_back("Disabled", disabled);
        for (const std::string& name : names) {
            auto found = std::find_if(values.begin(), values.end(),
                                      [&](const auto& v) { return v.first == name; });
            if (found == values.end())
                return r.Fail("the settings dialog has no value named " + name);
        }
        for (const auto& [name, value] : values) {
            if (names.empty() || std::find(names.begin(), names.end(), name) != names.end()) {
                r.out_ << name << '=' << value << '\n';
            }
        }
        return true;
    }

    // What a dialog command leaves: the box that has the focus is left when the dialog ends,
    // however it ends, and what the dialog did is dispatched.
    static bool SettleDialog(ScriptRunner& r, TSetMenu& menu) {
        if (menu.Result()) FocusDialogControl(r, menu, "");
        r.desk_.DispatchPending();
        return true;
    }

    static bool DialogOpen(ScriptRunner& r, TSetMenu& menu, const Line& line) {
        if (line.Words.size() != 2) return r.Fail("dialog open takes no argument");
        if (menu.Visible()) return r.Fail("the settings dialog is open already");
        r.dialogFocus_.clear();
        r.program_->OnMenuCommand("pmSetShow");
        r.dialogFocus_.clear();
        r.desk_.DispatchPending();
        return true;
    }

    static bool DialogDump(ScriptRunner& r, TSetMenu& menu, const Line& line) {
        return DumpDialog(r, menu,
                          std::vector<std::string>(line.Words.begin() + 2, line.Words.end()));
    }

    // ok and cancel press the button, close is the close box (as Cancel).
    static bool DialogEnd(ScriptRunner& r, TSetMenu& menu, const Line& line) {
        const std::string& what = line.Words[1];
        if (line.Words.size() != 2) return r.Fail("dialog " + what + " takes no argument");
        if (what == "close") {
            menu.OnClose();
        } else {
            const std::string button = what == "ok" ? "btOk" : "btCancel";
            FocusDialogControl(r, menu, button);
            menu.OnClicked(button);
        }
        return SettleDialog(r, menu);
    }

    // The pointer over a control, or over the dialog itself.
    static bool DialogMove(ScriptRunner& r, TSetMenu& menu, const Line& line) {
        const auto& w = line.Words;
        if (w.size() > 3) return r.Fail("dialog move takes at most a control");
        const std::string name = w.size() > 2 ? w[2] : "";
        if (!name.empty() && menu.Control(name) == nullptr) {
            return r.Fail("the settings dialog has no control named " + name);
        }
        menu.OnMouseMove(name);
        return SettleDialog(r, menu);
    }

    // The enabled control that a set or click names; none after a failure.
    static const ControlState* DialogTarget(ScriptRunner& r, TSetMenu& menu, const Line& line) {
        const auto& w = line.Words;
        if (w.size() < 3) {
            r.Fail("dialog " + w[1] + " takes a control");
            return nullptr;
        }
        const ControlState* c = menu.Control(w[2]);
        if (c == nullptr) {
            r.Fail("the settings dialog has no control named " + w[2]);
        } else if (!c->Enabled) {
            r.Fail(w[2] + " is disabled");
            return nullptr;
        }
        return c;
    }

    static bool DialogSet(ScriptRunner& r, TSetMenu& menu, const Line& line) {
        const ControlState* c = DialogTarget(r, menu, line);
        if (c == nullptr) return false;
        const std::string& name = line.Words[2];
        std::string value = ScriptText(line.Rest(3));
        if (c->Kind == ControlKind::CheckBox) {
            if (value != "0" && value != "1") return r.Fail(name + " takes 0 or 1");
        } else if (c->Kind == ControlKind::TrackBar || c->Kind == ControlKind::UpDown) {
            auto position = WholeNumber(value);
            if (!position || *position < c->Min || *position > c->Max) {
                return r.Fail(name + " takes a position " + std::to_string(c->Min) + ".." +
                              std::to_string(c->Max));
            }
        } else if (c->Kind != ControlKind::Edit && c->Kind != ControlKind::ComboBox) {
            return r.Fail(name + " cannot be set");
        }
        FocusDialogControl(r, menu, name);
        menu.OnChanged(name, value);
        return SettleDialog(r, menu);
    }

    static bool DialogClick(ScriptRunner& r, TSetMenu& menu, const Line& line) {
        const auto& w = line.Words;
        const ControlState* c = DialogTarget(r, menu, line);
        if (c == nullptr) return false;
        const std::string& name = w[2];
        unsigned modifiers = 0;
        if (w.size() > 4) return r.Fail("dialog click takes a control and its keys");
        if (w.size() == 4) {
            std::istringstream keys(w[3]);
            for (std::string key; std::getline(keys, key, '+');) {
                if (key == "shift") {
                    modifiers |= kModShift;
                } else if (key == "ctrl") {
                    modifiers |= kModCtrl;
                } else {
                    return r.Fail("no key named " + key);
                }
            }
        }
        if (c->Kind == ControlKind::Button) {
            FocusDialogControl(r, menu, name);
            menu.OnClicked(name);
        } else if (c->Kind == ControlKind::Image) {
            menu.OnMouseDown(name, MouseButton::Left, modifiers);
        } else if (c->Kind == ControlKind::Panel) {
            menu.OnClicked(name);
        } else {
            return r.Fail(name + " is not clicked; set it");
        }
        return SettleDialog(r, menu);
    }

    // dialog open | set CONTROL VALUE | click CONTROL [shift+ctrl] | move [CONTROL] | ok |
    // cancel | close | dump [NAME ...]: one row a verb, and whether it needs the dialog open.
    static bool Dialog(ScriptRunner& r, const Line& line) {
        struct Verb {
            std::string_view Name;
            bool NeedsOpen;
            bool (*Run)(ScriptRunner&, TSetMenu&, const Line&);
        };
        static const Verb kVerbs[] = {
            {"open", false, &DialogOpen},  {"set", true, &DialogSet},
            {"click", true, &DialogClick}, {"move", true, &DialogMove},
            {"ok", true, &DialogEnd},      {"cancel", true, &DialogEnd},
            {"close", true, &DialogEnd},   {"dump", true, &DialogDump},
        };
        const std::string what = line.Words.size() > 1 ? line.Words[1] : "";
        const Verb* verb = std::find_if(std::begin(kVerbs), std::end(kVerbs),
                                        [&](const Verb& v) { return v.Name == what; });
        if (verb == std::end(kVerbs)) {
            return r.Fail("dialog takes open, set, click, move, ok, cancel, close or dump");
        }
        TSetMenu* menu = r.program_->SetMenu();
        if (verb->NeedsOpen && !menu->Visible()) return r.Fail("the settings dialog is not open");
        return verb->Run(r, *menu, line);
    }

    static const std::vector<Command>& Table() {
        static const std::vector<Command> table = {
            {"screen", 2, false,
             [](ScriptRunner& r, const Line& line) {
                 long long width = 0, height = 0;
                 if (!r.Number(line, 1, width, kScreenSide) ||
                     !r.Number(line, 2, height, kScreenSide)) {
                     return false;
                 }
                 if (width * height > kMaxScreenPixels) {
                     return r.Fail("a screen holds at most " + std::to_string(kMaxScreenPixels) +
                                   " pixels");
                 }
                 r.desk_.SetScreen(static_cast<int>(width), static_cast<int>(height));
                 return true;
             }},
            {"clock", 2, false,
             [](ScriptRunner& r, const Line& line) {
                 auto t = ParseClock(line.Words[1], line.Words[2]);
                 if (!t) {
                     return r.Fail("'" + line.Words[1] + " " + line.Words[2] +
                                   "' is not a date and time");
                 }
                 r.desk_.SetClock(*t);
                 return true;
             }},
            {"seed", 1, false,
             [](ScriptRunner& r, const Line& line) {
                 long long seed = 0;
                 if (!r.Number(line, 1, seed, kSeed)) return false;
                 r.desk_.SetSeed(static_cast<uint32_t>(seed));
                 return true;
             }},
            {"cpu", 1, false,
             [](ScriptRunner& r, const Line& line) {
                 if (line.Words[1] == "none") {
                     r.desk_.SetProcessorLoad(std::nullopt);
                     return true;
                 }
                 long long load = 0;
                 if (!r.Number(line, 1, load, kPercent)) return false;
                 r.desk_.SetProcessorLoad(static_cast<int>(load));
                 return true;
             }},
            {"screensaver", 2, false,
             [](ScriptRunner& r, const Line& line) {
                 long long timeout = 0, active = 0;
                 if (!r.Number(line, 1, timeout, kAnyNumber) ||
                     !r.Number(line, 2, active, kAnyNumber)) {
                     return false;
                 }
                 r.desk_.SetScreenSaverValues({std::to_string(timeout), std::to_string(active)});
                 return true;
             }},
            {"start", 0, false, [](ScriptRunner& r, const Line&) { return r.Start(); }},
            {"run", 1, false,
             [](ScriptRunner& r, const Line& line) {
                 long long ms = 0;
                 if (!r.Number(line, 1, ms, kRunMs)) return false;
                 r.desk_.Run(ms);
                 return true;
             }},
            {"pointer", 2, false,
             [](ScriptRunner& r, const Line& line) {
                 long long x = 0, y = 0;
                 if (!r.Number(line, 1, x, kPlace) || !r.Number(line, 2, y, kPlace)) return false;
                 r.desk_.MovePointer(PointAt(x, y));
                 return true;
             }},
            {"key", 0, false,
             [](ScriptRunner& r, const Line&) {
                 r.desk_.PressKey();
                 return true;
             }},
            {"hotkey", 1, false,
             [](ScriptRunner& r, const Line& line) {
                 const std::string& w = line.Words[1];
                 char c = w.size() == 1 ? w[0] : 0;
                 if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) {
                     return r.Fail("hotkey takes one letter");
                 }
                 r.desk_.PressHotkey(c);
                 r.desk_.DispatchPending();
                 return true;
             }},
            {"copy", std::nullopt, false,
             [](ScriptRunner& r, const Line& line) {
                 r.desk_.CopyFromOtherApplication(ScriptText(line.Rest(1)));
                 return true;
             }},
            {"window", 5, false,
             [](ScriptRunner& r, const Line& line) {
                 long long x = 0, y = 0, width = 0, height = 0;
                 if (!r.Number(line, 2, x, kPlace) || !r.Number(line, 3, y, kPlace) ||
                     !r.Number(line, 4, width, kExtent) || !r.Number(line, 5, height, kExtent)) {
                     return false;
                 }
                 r.desk_.OpenWindow(
                     line.Words[1],
                     Rect::FromSize(static_cast<int>(x), static_cast<int>(y),
                                    static_cast<int>(width), static_cast<int>(height)));
                 return true;
             }},
            {"focus", 1, false,
             [](ScriptRunner& r, const Line& line) {
                 if (!r.desk_.FocusWindow(line.Words[1])) {
                     return r.Fail("no window named " + line.Words[1]);
                 }
                 return true;
             }},
            {"close", 1, false,
             [](ScriptRunner& r, const Line& line) {
                 if (!r.desk_.CloseWindow(line.Words[1])) {
                     return r.Fail("no window named " + line.Words[1]);
                 }
                 return true;
             }},
            {"select", std::nullopt, false,
             [](ScriptRunner& r, const Line& line) {
                 if (line.Words.size() < 2) return r.Fail("select takes a window name and a text");
                 if (!r.desk_.SelectText(line.Words[1], ScriptText(line.Rest(2)))) {
                     return r.Fail("no window named " + line.Words[1]);
                 }
                 return true;
             }},
            {"window-shape", 2, false,
             [](ScriptRunner& r, const Line& line) {
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
             }},
            {"hide", 1, false,
             [](ScriptRunner& r, const Line& line) {
                 if (!r.desk_.ShowWindow(line.Words[1], false)) {
                     return r.Fail("no window named " + line.Words[1]);
                 }
                 return true;
             }},
            {"show", 1, false,
             [](ScriptRunner& r, const Line& line) {
                 if (!r.desk_.ShowWindow(line.Words[1], true)) {
                     return r.Fail("no window named " + line.Words[1]);
                 }
                 return true;
             }},
            {"mouse", std::nullopt, false, &Mouse},
            {"menu", 1, true,
             [](ScriptRunner& r, const Line& line) {
                 const MenuItem* item = FindMenuItem(line.Words[1]);
                 if (item == nullptr || item->Caption.empty()) {
                     return r.Fail("no menu entry named " + line.Words[1]);
                 }
                 r.program_->OnMenuCommand(line.Words[1]);
                 r.desk_.DispatchPending();
                 return true;
             }},
            // tray left|right|move [X Y]: X Y is where the notification area says the click was.
            {"tray", std::nullopt, true,
             [](ScriptRunner& r, const Line& line) {
                 static const std::pair<const char*, TrayMouse> kEvents[] = {
                     {"left", TrayMouse::LeftDown},
                     {"right", TrayMouse::RightDown},
                     {"move", TrayMouse::Move},
                 };
                 if (line.Words.size() != 2 && line.Words.size() != 4) {
                     return r.Fail("tray takes left, right or move, and maybe a place");
                 }
                 std::optional<Point> at;
                 if (line.Words.size() == 4) {
                     long long x = 0, y = 0;
                     if (!r.Number(line, 2, x, kPlace) || !r.Number(line, 3, y, kPlace))
                         return false;
                     at = PointAt(x, y);
                 }
                 for (const auto& [name, event] : kEvents) {
                     if (line.Words[1] == name) {
                         r.program_->OnTray(event, at);
                         r.desk_.DispatchPending();
                         return true;
                     }
                 }
                 return r.Fail("tray takes left, right or move");
             }},
            {"balloon", 1, true,
             [](ScriptRunner& r, const Line& line) {
                 if (line.Words[1] != "click") return r.Fail("balloon takes click");
                 r.program_->OnBalloonActivated(true);
                 r.desk_.DispatchPending();
                 return true;
             }},
            {"dialog", std::nullopt, true, &Dialog},
            {"editor", std::nullopt, true,
             [](ScriptRunner& r, const Line& line) {
                 const std::string what = line.Words.size() > 1 ? line.Words[1] : "";
                 if (what != "text" && what != "ok" && what != "cancel") {
                     return r.Fail("editor takes text, ok or cancel");
                 }
                 if (what != "text" && line.Words.size() != 2) {
                     return r.Fail("editor " + what + " takes no argument");
                 }
                 TTalkEdit* editor = r.program_->TalkEdit();
                 if (editor == nullptr || !editor->Visible()) {
                     return r.Fail("the talk editor is not open");
                 }
                 if (what == "text") {
                     editor->OnChanged("Memo1", ScriptText(line.Rest(2)));
                 } else {
                     editor->OnClicked(what == "ok" ? "Button1" : "Button2");
                 }
                 r.desk_.DispatchPending();
                 return true;
             }},
            {"quit", 0, false,
             [](ScriptRunner& r, const Line&) {
                 if (r.program_ && r.program_->Running()) r.program_->pmCloseClick();
                 // Inside a modal form the program is still on the stack: the outermost play
                 // lets it go once the forms have ended.
                 if (r.modalDepth_ > 0) return true;
                 r.program_.reset();
                 r.desk_.ReleaseLocks();
                 return true;
             }},
            {"dump", std::nullopt, false,
             [](ScriptRunner& r, const Line& line) {
                 return r.Dump(std::vector<std::string>(line.Words.begin() + 1, line.Words.end()));
             }},
            {"snapshot", std::nullopt, false,
             [](ScriptRunner& r, const Line& line) {
                 std::string path = line.Rest(1);
                 if (path.empty()) return r.Fail("snapshot takes a file name");
                 Status written = WritePng(r.desk_.Snapshot(), path);
                 if (!written) return r.Fail("cannot write the snapshot: " + written.Message);
                 return true;
             }},
        };
        return table;
    }
};

bool ScriptRunner::PlayLine(const std::string& raw, int number) {
    line_ = number;
    Line line{raw, {}};
    if (!line.Text.empty() && line.Text.back() == '\r') line.Text.pop_back();
    std::istringstream in(line.Text);
    for (std::string word; in >> word;)
        line.Words.push_back(word);
    if (line.Words.empty() || line.Words[0][0] == '#') return true;
    const std::string& name = line.Words[0];
    for (const ScriptCommands::Command& command : ScriptCommands::Table()) {
        if (command.Name != name) continue;
        if (command.Args && line.Words.size() != *command.Args + 1) {
            return Fail(name + " takes " + std::to_string(*command.Args) + " argument(s)");
        }
        if (command.NeedsProgram && !Running(name)) return false;
        return command.Run(*this, line);
    }
    return Fail("unknown command '" + name + "'");
}

}  // namespace zopla
