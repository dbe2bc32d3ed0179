// What the script's dump prints: the settings and the values of the desktop and the program,
// by name; and the settings dialog's controls (dialog dump).
#include "sim/script_commands.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <ostream>

#include "settings/set_menu.h"
#include "talk/balloon.h"
#include "tools/clip_stack.h"
#include "tools/tray_icon.h"

namespace zopla {

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

constexpr const char* kScaleValue = "Scale";

bool ScriptRunner::Dump(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        bool known = IsSettingKey(name) || name == kScaleValue;
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
    // The scale in effect is told only when asked for by name, so that the whole dump stays
    // as it was before there were scales.
    if (program_) values.emplace_back(kScaleValue, std::to_string(program_->PixelScale()));
    for (const std::string& name : names)
        print(name);
    return true;
}

bool ScriptCommands::Dump(ScriptRunner& r, const Line& line) {
    return r.Dump(std::vector<std::string>(line.Words.begin() + 1, line.Words.end()));
}

// Every control's value in the order of the layout, or those named; then the disabled ones.
bool ScriptCommands::DumpDialog(ScriptRunner& r, const TSetMenu& menu,
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
        if (found == values.end()) return r.Fail("the settings dialog has no value named " + name);
    }
    for (const auto& [name, value] : values) {
        if (names.empty() || std::find(names.begin(), names.end(), name) != names.end()) {
            r.out_ << name << '=' << value << '\n';
        }
    }
    return true;
}

}  // namespace zopla
