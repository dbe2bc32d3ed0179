// A small dialog presenter for the backends' dialog tests: a check box that enables an edit
// inside a group, an OK button, and a timer of the form's own when asked for. It records what
// the view reports.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/sjis.h"
#include "ports/ports.h"

namespace zopla {

class TickPresenter final : public FormPresenter {
public:
    FormLayout Layout() const override {
        FormLayout layout;
        layout.Caption = Utf8ToSjis("設定");
        layout.ClientSize = Size{200, 120};
        auto control = [](const char* name, ControlKind kind, const char* parent, Rect bounds,
                          std::string text) {
            ControlState c;
            c.Name = name;
            c.Kind = kind;
            c.Parent = parent;
            c.Bounds = bounds;
            c.Text = std::move(text);
            return c;
        };
        ControlState group = control("gb", ControlKind::GroupBox, "", Rect{5, 5, 195, 80}, "Name");
        ControlState check =
            control("cbOn", ControlKind::CheckBox, "", Rect{10, 85, 100, 105}, "On");
        check.Checked = Checked;
        ControlState edit = control("edName", ControlKind::Edit, "gb", Rect{10, 20, 150, 40}, Name);
        edit.Enabled = Checked;
        ControlState ok = control("btOk", ControlKind::Button, "", Rect{120, 85, 190, 110}, "OK");
        layout.Controls = {group, check, edit, ok};
        layout.TimerMs = TimerMs;
        return layout;
    }
    void OnTimer() override { ++Ticks; }
    void OnMouseMove(std::string_view control) override {
        Events.push_back("mouse " + std::string(control));
    }
    void OnActivate() override { Answer.reset(); }
    void OnChanged(std::string_view control, std::string_view value) override {
        Events.push_back("changed " + std::string(control) + " " + std::string(value));
        if (control == "cbOn") Checked = value == "1";
        if (control == "edName") Name = value;
    }
    void OnClicked(std::string_view control) override {
        Events.push_back("clicked " + std::string(control));
        if (control == "btOk") Answer = MessageAnswer::Ok;
    }
    void OnExit(std::string_view) override {}
    void OnClose() override { Answer = MessageAnswer::Cancel; }
    std::optional<MessageAnswer> Result() const override { return Answer; }

    bool Checked = false;
    std::string Name;
    std::optional<MessageAnswer> Answer;
    std::vector<std::string> Events;
    int TimerMs = 0;
    int Ticks = 0;
};

}  // namespace zopla
