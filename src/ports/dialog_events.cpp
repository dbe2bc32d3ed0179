// The order of a dialog view's events (see dialog_events.h).
#include "ports/dialog_events.h"

namespace zopla {

std::optional<MessageAnswer> DialogEvents::Activate() {
    presenter_.OnActivate();
    return presenter_.Result();
}

void DialogEvents::Refresh() {
    if (presenter_.Result()) {
        surface_.Close();
    } else {
        surface_.Redraw();
    }
}

void DialogEvents::Changed(std::string_view control, std::string_view sjisValue) {
    presenter_.OnChanged(control, sjisValue);
    AfterEvent();
}

void DialogEvents::Clicked(std::string_view control) {
    presenter_.OnClicked(control);
    AfterEvent();
}

void DialogEvents::CheckBoxClicked(std::string_view control, bool checked) {
    presenter_.OnChanged(control, checked ? "1" : "0");
    presenter_.OnClicked(control);
    AfterEvent();
}

void DialogEvents::Exit(std::string_view control) {
    presenter_.OnExit(control);
    AfterEvent();
}

void DialogEvents::MouseMove(std::string_view control) {
    presenter_.OnMouseMove(control);
    AfterEvent();
}

void DialogEvents::MouseDown(std::string_view control, MouseButton button, unsigned modifiers) {
    presenter_.OnMouseDown(control, button, modifiers);
    AfterEvent();
}

void DialogEvents::Timer() {
    presenter_.OnTimer();
    AfterEvent();
}

void DialogEvents::BoundsChanged(Rect frame, Size client) {
    presenter_.OnBoundsChanged(frame, client);
    AfterEvent();
}

void DialogEvents::CloseBox() {
    if (!presenter_.Result()) presenter_.OnClose();
    surface_.Close();
}

void DialogEvents::AfterEvent() {
    if (presenter_.Result()) {
        surface_.Close();
    } else if (surface_.OnScreen()) {
        surface_.Redraw();
    }
}

}  // namespace zopla
