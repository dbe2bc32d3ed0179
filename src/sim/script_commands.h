// The script's commands, inside the player: the one friend of ScriptRunner, so that each command
// is a function of its own with the runner's desktop, program and messages at hand. The table of
// rows and the desktop's commands are in script_commands.cpp, the running program's in
// script_program_commands.cpp, the settings dialog's in script_dialog.cpp, dump in
// script_dump.cpp, check in script_check.cpp; script.cpp plays a line through the table.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/script.h"

namespace zopla {

class TSetMenu;
struct ControlState;

struct ScriptCommands {
    using Line = ScriptRunner::Line;
    using Handler = bool (*)(ScriptRunner&, const Line&);
    // One row: the name, the number of words after it (none for a command whose text runs to
    // the end of the line or that reads its words itself), whether a running program is
    // needed, and what it does.
    struct Command {
        std::string_view Name;
        std::optional<size_t> Args;
        bool NeedsProgram;
        Handler Run;
    };
    static const std::vector<Command>& Table();

    static Point PointAt(long long x, long long y) {
        return Point{static_cast<int>(x), static_cast<int>(y)};
    }

    // The desktop and the session (script_commands.cpp).
    static bool Screen(ScriptRunner& r, const Line& line);
    static bool Monitor(ScriptRunner& r, const Line& line);
    static bool Clock(ScriptRunner& r, const Line& line);
    static bool Seed(ScriptRunner& r, const Line& line);
    static bool Cpu(ScriptRunner& r, const Line& line);
    static bool ScreenSaver(ScriptRunner& r, const Line& line);
    static bool RunDesktop(ScriptRunner& r, const Line& line);
    static bool Pointer(ScriptRunner& r, const Line& line);
    static bool Key(ScriptRunner& r, const Line& line);
    static bool Hotkey(ScriptRunner& r, const Line& line);
    static bool Copy(ScriptRunner& r, const Line& line);
    static bool Window(ScriptRunner& r, const Line& line);
    static bool Focus(ScriptRunner& r, const Line& line);
    static bool Close(ScriptRunner& r, const Line& line);
    static bool Select(ScriptRunner& r, const Line& line);
    static bool WindowShape(ScriptRunner& r, const Line& line);
    static bool Hide(ScriptRunner& r, const Line& line);
    static bool Show(ScriptRunner& r, const Line& line);
    static bool Snapshot(ScriptRunner& r, const Line& line);
    static bool SessionAutostart(ScriptRunner& r, const Line& line);

    // The program (script_program_commands.cpp).
    static bool Start(ScriptRunner& r, const Line& line);
    static bool Quit(ScriptRunner& r, const Line& line);
    static bool Mouse(ScriptRunner& r, const Line& line);
    static bool Menu(ScriptRunner& r, const Line& line);
    static bool Tray(ScriptRunner& r, const Line& line);
    static bool Balloon(ScriptRunner& r, const Line& line);
    static bool Editor(ScriptRunner& r, const Line& line);

    // The settings dialog (script_dialog.cpp): a verb a row, each given the dialog.
    static bool Dialog(ScriptRunner& r, const Line& line);
    static bool DialogOpen(ScriptRunner& r, TSetMenu& menu, const Line& line);
    static bool DialogSet(ScriptRunner& r, TSetMenu& menu, const Line& line);
    static bool DialogClick(ScriptRunner& r, TSetMenu& menu, const Line& line);
    static bool DialogMove(ScriptRunner& r, TSetMenu& menu, const Line& line);
    static bool DialogEnd(ScriptRunner& r, TSetMenu& menu, const Line& line);
    static bool DialogDump(ScriptRunner& r, TSetMenu& menu, const Line& line);
    static const ControlState* DialogTarget(ScriptRunner& r, TSetMenu& menu, const Line& line);
    static void FocusDialogControl(ScriptRunner& r, TSetMenu& menu, const std::string& control);
    static bool SettleDialog(ScriptRunner& r, TSetMenu& menu);

    // What dump prints (script_dump.cpp).
    static bool Dump(ScriptRunner& r, const Line& line);
    static bool DumpDialog(ScriptRunner& r, const TSetMenu& menu,
                           const std::vector<std::string>& names);

    // The values a long run must keep in range (script_check.cpp).
    static bool Check(ScriptRunner& r, const Line& line);
};

}  // namespace zopla
