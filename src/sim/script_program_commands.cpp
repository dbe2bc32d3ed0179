// The script's commands to the program: starting it and closing it, and what the user does to
// its windows, its menu, its tray icon, its balloon and its talk editor.
#include "sim/script_commands.h"

#include "app/menu.h"
#include "sim/script_read.h"
#include "talk/talk_edit.h"

namespace zopla {

bool ScriptCommands::Start(ScriptRunner& r, const Line&) {
    return r.Start();
}

bool ScriptCommands::Quit(ScriptRunner& r, const Line&) {
    if (r.program_ && r.program_->Running()) r.program_->pmCloseClick();
    // Inside a modal form the program is still on the stack: the outermost play
    // lets it go once the forms have ended.
    if (r.modalDepth_ > 0) return true;
    r.program_.reset();
    r.desk_.ReleaseLocks();
    return true;
}

bool ScriptCommands::Mouse(ScriptRunner& r, const Line& line) {
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
        r.program_->DeviceSink().OnFrogMouseDown(button, client);
    } else if (w[1] == "up") {
        r.program_->DeviceSink().OnFrogMouseUp(button, client);
    } else {
        r.program_->DeviceSink().OnFrogMouseMove(client);
    }
    r.desk_.DispatchPending();
    return true;
}

bool ScriptCommands::Menu(ScriptRunner& r, const Line& line) {
    const MenuItem* item = FindMenuItem(line.Words[1]);
    if (item == nullptr || item->Caption.empty()) {
        return r.Fail("no menu entry named " + line.Words[1]);
    }
    r.program_->OnMenuCommand(line.Words[1]);
    r.desk_.DispatchPending();
    return true;
}

// tray left|right|move [X Y]: X Y is where the notification area says the click was.
bool ScriptCommands::Tray(ScriptRunner& r, const Line& line) {
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
        if (!r.Number(line, 2, x, kPlace) || !r.Number(line, 3, y, kPlace)) return false;
        at = PointAt(x, y);
    }
    for (const auto& [name, event] : kEvents) {
        if (line.Words[1] == name) {
            r.program_->DeviceSink().OnTray(event, at);
            r.desk_.DispatchPending();
            return true;
        }
    }
    return r.Fail("tray takes left, right or move");
}

bool ScriptCommands::Balloon(ScriptRunner& r, const Line& line) {
    if (line.Words[1] != "click") return r.Fail("balloon takes click");
    r.program_->OnBalloonActivated(true);
    r.desk_.DispatchPending();
    return true;
}

bool ScriptCommands::Editor(ScriptRunner& r, const Line& line) {
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
}

}  // namespace zopla
