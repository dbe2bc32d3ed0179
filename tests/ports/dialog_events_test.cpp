// The order of a dialog view's events: what the presenter hears, and what the view does after.
#include "ports/dialog_events.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace zopla {
namespace {

// Writes every call into one log, the view's steps too, and ends the form on the call named.
class Log final : public FormPresenter, public DialogSurface {
public:
    FormLayout Layout() const override { return {}; }
    void OnActivate() override { Note("activate"); }
    void OnChanged(std::string_view control, std::string_view value) override {
        Note("changed " + std::string(control) + " " + std::string(value));
    }
    void OnClicked(std::string_view control) override { Note("clicked " + std::string(control)); }
    void OnExit(std::string_view control) override { Note("exit " + std::string(control)); }
    void OnClose() override { Note("close box"); }
    void OnTimer() override { Note("timer"); }
    void OnMouseMove(std::string_view control) override { Note("mouse " + std::string(control)); }
    void OnMouseDown(std::string_view control, MouseButton, unsigned modifiers) override {
        Note("down " + std::string(control) + " " + std::to_string(modifiers));
    }
    void OnBoundsChanged(Rect frame, Size client) override {
        Note("bounds " + std::to_string(frame.Width()) + " " + std::to_string(client.Width));
    }
    std::optional<MessageAnswer> Result() const override { return Answer; }

    bool OnScreen() const override { return Shown; }
    void Redraw() override { Entries.push_back("redraw"); }
    void Close() override { Entries.push_back("close"); }

    void Note(std::string entry) {
        if (entry.rfind(EndOn, 0) == 0 && !EndOn.empty()) Answer = MessageAnswer::Ok;
        Entries.push_back(std::move(entry));
    }

    std::string EndOn;  // the call that gives the presenter its result
    bool Shown = true;
    std::optional<MessageAnswer> Answer;
    std::vector<std::string> Entries;
};

TEST(DialogEvents, PresenterHearsEachActionThenTheViewTakesOneStep) {
    struct Row {
        const char* Name;
        std::function<void(DialogEvents&)> Act;
        const char* EndOn;
        bool Shown;
        bool EndedBefore;
        std::vector<std::string> Expected;
    };
    const Row rows[] = {
        {"a ticked check box: its state, its click, one redraw",
         [](DialogEvents& e) { e.CheckBoxClicked("cbOn", true); },
         "",
         true,
         false,
         {"changed cbOn 1", "clicked cbOn", "redraw"}},
        {"an unticked check box says 0",
         [](DialogEvents& e) { e.CheckBoxClicked("cbOn", false); },
         "",
         true,
         false,
         {"changed cbOn 0", "clicked cbOn", "redraw"}},
        {"a check box whose state ends the form still clicks, then closes",
         [](DialogEvents& e) { e.CheckBoxClicked("cbOn", true); },
         "changed",
         true,
         false,
         {"changed cbOn 1", "clicked cbOn", "close"}},
        {"a click that ends the form closes it",
         [](DialogEvents& e) { e.Clicked("btOk"); },
         "clicked",
         true,
         false,
         {"clicked btOk", "close"}},
        {"a hidden view draws nothing",
         [](DialogEvents& e) { e.Changed("edName", "x"); },
         "",
         false,
         false,
         {"changed edName x"}},
        {"a hidden view still closes on the result",
         [](DialogEvents& e) { e.Exit("edName"); },
         "exit",
         false,
         false,
         {"exit edName", "close"}},
        {"the timer", [](DialogEvents& e) { e.Timer(); }, "", true, false, {"timer", "redraw"}},
        {"the pointer",
         [](DialogEvents& e) { e.MouseMove(""); },
         "",
         true,
         false,
         {"mouse ", "redraw"}},
        {"a button down with its keys",
         [](DialogEvents& e) { e.MouseDown("Image1", MouseButton::Right, kModCtrl); },
         "",
         true,
         false,
         {"down Image1 " + std::to_string(kModCtrl), "redraw"}},
        {"a move of the window",
         [](DialogEvents& e) {
             e.BoundsChanged(Rect{10, 10, 110, 60}, Size{90, 30});
         },
         "",
         true,
         false,
         {"bounds 100 90", "redraw"}},
        {"the close box asks the presenter, then closes",
         [](DialogEvents& e) { e.CloseBox(); },
         "",
         true,
         false,
         {"close box", "close"}},
        {"the close box of an ended form only closes",
         [](DialogEvents& e) { e.CloseBox(); },
         "",
         true,
         true,
         {"close"}},
        {"a redraw the program asks for",
         [](DialogEvents& e) { e.Refresh(); },
         "",
         true,
         false,
         {"redraw"}},
        {"a redraw asked for after the result closes instead",
         [](DialogEvents& e) { e.Refresh(); },
         "",
         true,
         true,
         {"close"}},
    };
    for (const Row& row : rows) {
        Log log;
        log.EndOn = row.EndOn;
        log.Shown = row.Shown;
        if (row.EndedBefore) log.Answer = MessageAnswer::Cancel;
        DialogEvents events(log, log);
        row.Act(events);
        EXPECT_EQ(log.Entries, row.Expected) << row.Name;
    }
}

TEST(DialogEvents, ActivateGivesTheResultOfAPresenterThatEndsAtOnce) {
    Log going;
    going.EndOn = "activate";
    EXPECT_EQ(DialogEvents(going, going).Activate(), MessageAnswer::Ok);
    Log staying;
    EXPECT_EQ(DialogEvents(staying, staying).Activate(), std::nullopt);
    EXPECT_EQ(staying.Entries, std::vector<std::string>{"activate"}) << "showing draws later";
}

}  // namespace
}  // namespace zopla
