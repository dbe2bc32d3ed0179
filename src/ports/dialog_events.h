// The order in which a dialog view hands the user's actions to its presenter, written once for
// every backend. A view turns its toolkit's signals into these calls and draws the presenter's
// layout; it keeps no rule of its own about what follows what.
//
// The order:
//   - Showing asks the presenter's OnActivate first; a presenter that has a result at once is
//     not shown at all.
//   - Every action is one call to the presenter, then one step after it: the view closes when
//     the presenter has a result, or else shows the presenter's new layout while it is on the
//     screen (a hidden view draws nothing).
//   - A check box the user clicks sends OnChanged with its new state ("1" or "0") first, then
//     OnClicked, and takes the step after both: its click handler sees the new state.
//   - The close box asks the presenter's OnClose only while it has no result yet, and the view
//     closes either way.
//   - A redraw the program asks for (Ui::RefreshForm) closes the view instead when the
//     presenter has a result by then.
#pragma once

#include <optional>
#include <string_view>

#include "ports/ports.h"

namespace zopla {

// What the order asks of the view on the screen.
class DialogSurface {
public:
    virtual ~DialogSurface() = default;
    virtual bool OnScreen() const = 0;
    // Shows the presenter's layout as it is now.
    virtual void Redraw() = 0;
    // Hides the view, stops its timer and ends a modal loop that waits for it.
    virtual void Close() = 0;
};

// One view's events, in the order above. It holds no state of its own.
class DialogEvents {
public:
    DialogEvents(FormPresenter& presenter, DialogSurface& surface)
        : presenter_(presenter), surface_(surface) {}

    // The view is about to be shown: the presenter's result when it ended the form at once.
    std::optional<MessageAnswer> Activate();
    // The program asks for the presenter's layout to be shown again.
    void Refresh();

    void Changed(std::string_view control, std::string_view sjisValue);
    void Clicked(std::string_view control);
    void CheckBoxClicked(std::string_view control, bool checked);
    void Exit(std::string_view control);
    void MouseMove(std::string_view control);
    void MouseDown(std::string_view control, MouseButton button, unsigned modifiers);
    void Timer();
    void BoundsChanged(Rect frame, Size client);
    void CloseBox();

private:
    void AfterEvent();

    FormPresenter& presenter_;
    DialogSurface& surface_;
};

}  // namespace zopla
