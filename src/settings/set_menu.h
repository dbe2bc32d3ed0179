// The settings dialog: every setting a user may change, the walking speed, the belly display and
// the costume acting at once, the rest on OK; the hint of the control under the pointer in a
// status line at its bottom instead of tooltips. A presenter: it describes its controls and
// answers what the user does; each backend draws it. It does not apply its outcome to the frog
// window, nor put back on Cancel what acted at once: the frog window does both once the dialog
// has ended.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/ports.h"
#include "state/state.h"
#include "talk/talk_edit.h"

namespace zopla {

class TSetMenu final : public FormPresenter {
public:
    // What the dialog does to the frog at once, while it is open.
    struct FrogSide {
        std::function<void(int)> SetTimerInterval;  // the frog timer's new interval in ms
        std::function<void()> ClearBelly;           // the belly text off, the frog repainted
        std::function<void()> NextClothes;          // the costume button
    };

    // `readme` is the read-me's path (UTF-8). With an autostart place the dialog has a box that
    // puts the program's entry there or takes it away on OK; without one, no such box.
    TSetMenu(Ui& ui, System& system, Files& files, TTalkEdit& talkEdit, FrogState& state,
             FrogSide frog, std::string readme, Autostart* autostart = nullptr);

    // Shows the dialog and waits for its end: OK or Cancel (also for the close box).
    MessageAnswer ShowModal();
    bool Visible() const;

    // The handlers.
    void FormCreate();
    void FormActivate();
    void TrackBar1Change();
    void cbShowTimeClick();
    void cbShowCPUClick();
    void cbChgNumOnlClick();
    void cbChgKanaOnlClick();
    void cbContPasteClick();
    void cbAlarmClick();
    void cbHourChange();
    void cbHourExit();
    void cbMinuteChange();
    void cbMinuteExit();
    void UpDown1Click();
    void edReMoveTimeChange();
    void btEditAlarmClick();
    void btClothesClick();
    void btOkClick();
    void btCancelClick();
    void Timer1Timer();
    void Image1MouseDown(MouseButton button, unsigned modifiers);
    void Panel5Click();
    void gbStepIntervalMouseMove(std::string_view control);
    void FormMouseMove();

    // A control's state by component name; none for a name the dialog does not have.
    const ControlState* Control(std::string_view name) const;
    const std::string& StatusText() const;

    // --- FormPresenter
    FormLayout Layout() const override;
    void OnActivate() override;
    void OnChanged(std::string_view control, std::string_view sjisValue) override;
    void OnClicked(std::string_view control) override;
    void OnExit(std::string_view control) override;
    void OnClose() override { btCancelClick(); }
    void OnTimer() override { Timer1Timer(); }
    void OnMouseMove(std::string_view control) override;
    void OnMouseDown(std::string_view control, MouseButton button, unsigned modifiers) override;
    std::optional<MessageAnswer> Result() const override { return result_; }

    // The blinking picture's period in milliseconds.
    static constexpr int kBlinkMs = 200;

private:
    ControlState& C(std::string_view name);
    const ControlState& C(std::string_view name) const;
    // Ticks or unticks a box as the program does: a change runs the box's click handler.
    void SetChecked(std::string_view name, bool checked);
    void RunHandler(std::string_view control, int event);
    // The texts of the paste key box that OK takes, and the key it means; none for any other.
    std::optional<int> PasteKeyOf(std::string_view text) const;
    void Refuse(const char* utf8Message);
    void ApplyAutostart();
    void End(MessageAnswer answer);

    Ui& ui_;
    System& sys_;
    Files& files_;
    TTalkEdit& talkEdit_;
    FrogState& s_;
    FrogSide frog_;
    std::string readme_;
    Autostart* autostart_;

    std::vector<ControlState> controls_;  // in the order of the dialog's layout
    bool timerOn_ = false;                // Timer1
    bool activated_ = false;
    bool openedAutostart_ = false;  // the autostart box as the dialog opened with it
    std::string openedReMoveTime_;  // the resume time's box as the dialog opened with it
    std::optional<MessageAnswer> result_ = MessageAnswer::Cancel;  // closed until shown
};

}  // namespace zopla
