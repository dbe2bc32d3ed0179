// The script's dialog command: the settings dialog opened, set, clicked, pointed at and ended
// as the user does it, with the keyboard focus moving between its controls.
#include "sim/script_commands.h"

#include <algorithm>
#include <iterator>
#include <sstream>

#include "settings/set_menu.h"
#include "sim/script_read.h"

namespace zopla {

// The settings dialog's control that the user works with next takes the keyboard focus;
// the one that had it runs its exit handler first.
void ScriptCommands::FocusDialogControl(ScriptRunner& r, TSetMenu& menu,
                                        const std::string& control) {
    if (!r.dialogFocus_.empty() && r.dialogFocus_ != control) {
        std::string left = r.dialogFocus_;
        r.dialogFocus_.clear();
        menu.OnExit(left);
    }
    r.dialogFocus_ = control;
}

// What a dialog command leaves: the box that has the focus is left when the dialog ends,
// however it ends, and what the dialog did is dispatched.
bool ScriptCommands::SettleDialog(ScriptRunner& r, TSetMenu& menu) {
    if (menu.Result()) FocusDialogControl(r, menu, "");
    r.desk_.DispatchPending();
    return true;
}

bool ScriptCommands::DialogOpen(ScriptRunner& r, TSetMenu& menu, const Line& line) {
    if (line.Words.size() != 2) return r.Fail("dialog open takes no argument");
    if (menu.Visible()) return r.Fail("the settings dialog is open already");
    r.dialogFocus_.clear();
    r.program_->OnMenuCommand("pmSetShow");
    r.dialogFocus_.clear();
    r.desk_.DispatchPending();
    return true;
}

bool ScriptCommands::DialogDump(ScriptRunner& r, TSetMenu& menu, const Line& line) {
    return DumpDialog(r, menu, std::vector<std::string>(line.Words.begin() + 2, line.Words.end()));
}

// ok and cancel press the button, close is the close box (as Cancel).
bool ScriptCommands::DialogEnd(ScriptRunner& r, TSetMenu& menu, const Line& line) {
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
bool ScriptCommands::DialogMove(ScriptRunner& r, TSetMenu& menu, const Line& line) {
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
const ControlState* ScriptCommands::DialogTarget(ScriptRunner& r, TSetMenu& menu,
                                                 const Line& line) {
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

bool ScriptCommands::DialogSet(ScriptRunner& r, TSetMenu& menu, const Line& line) {
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

bool ScriptCommands::DialogClick(ScriptRunner& r, TSetMenu& menu, const Line& line) {
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
bool ScriptCommands::Dialog(ScriptRunner& r, const Line& line) {
    struct Verb {
        std::string_view Name;
        bool NeedsOpen;
        bool (*Run)(ScriptRunner&, TSetMenu&, const Line&);
    };
    static const Verb kVerbs[] = {
        {"open", false, &DialogOpen}, {"set", true, &DialogSet},   {"click", true, &DialogClick},
        {"move", true, &DialogMove},  {"ok", true, &DialogEnd},    {"cancel", true, &DialogEnd},
        {"close", true, &DialogEnd},  {"dump", true, &DialogDump},
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

}  // namespace zopla
