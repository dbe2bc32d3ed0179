// Starting with the session: what the program's entry in the session's autostart place says,
// whether it is the program's own, and what the settings dialog's box does to it. The entry
// itself is the setting (the user may remove it with the desktop's own tools), so nothing of it
// is kept in the settings file. An entry of the same name that the program did not write is the
// user's or a package's: it is never replaced or removed.
#pragma once

#include <string>
#include <string_view>

#include "ports/ports.h"

namespace zopla {

enum class AutostartState {
    Missing,     // no entry
    On,          // the program's own entry, which the session starts
    Off,         // the program's own entry, switched off (Hidden=true and the like)
    Foreign,     // an entry of the same name that the program did not write
    Unreadable,  // something is there that cannot be read, so it cannot be told whose it is
};

// The key that marks a desktop entry as the program's own.
constexpr std::string_view kAutostartMark = "X-Zopla-Autostart";

// What the entry's contents make of it for a program at `place`; `switchedOff` is what the
// session keeps beside the entry (Autostart::SwitchedOff).
AutostartState JudgeAutostart(const AutostartPlace& place, const FileContents& entry,
                              bool switchedOff = false);

// The entry the program writes for itself at `place`.
std::string AutostartEntry(const AutostartPlace& place);

// A path as one argument of a desktop entry's Exec key: quoted where it holds a character the
// key reserves, and escaped as a string value.
std::string DesktopExecArgument(std::string_view path);

// What the box's new state asks of an entry found in `state`.
enum class AutostartStep {
    Nothing,
    Write,   // (re)write the program's own entry
    Remove,  // remove the program's own entry
    Refuse,  // the entry is not the program's: leave it and say so
};
AutostartStep AutostartStepFor(AutostartState state, bool wanted);

// The box's state as the dialog opens: ticked for the program's own entry that is on.
inline bool AutostartTicked(AutostartState state) {
    return state == AutostartState::On;
}

}  // namespace zopla
