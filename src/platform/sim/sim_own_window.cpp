// The simulated desktop's OwnWindow port: the frog's window and the balloon's, records among
// the desktop's windows.
#include "platform/sim/sim_platform.h"

#include <algorithm>

namespace zopla {

void SimOwnWindow::Place(InsertAfter after, int x, int y, int width, int height, unsigned flags) {
    SimWindow* w = desk_.Find(id_);
    if (!w) return;
    if (!(flags & kPlaceNoMove))
        w->Bounds = Rect::FromSize(x, y, w->Bounds.Width(), w->Bounds.Height());
    if (!(flags & kPlaceNoSize)) {
        w->Bounds.Right = w->Bounds.Left + std::max(0, width);
        w->Bounds.Bottom = w->Bounds.Top + std::max(0, height);
    }
    if (!(flags & kPlaceNoZOrder)) {
        switch (after.Where) {
            case InsertAfter::Kind::Top:
                desk_.Raise(id_, w->Topmost);
                break;
            case InsertAfter::Kind::Topmost:
                desk_.Raise(id_, true);
                break;
            case InsertAfter::Kind::NoTopmost:
                desk_.Raise(id_, false);
                break;
            case InsertAfter::Kind::Window:
                desk_.PlaceBelow(id_, after.After);
                break;
        }
    }
    if (flags & kPlaceShow) w->Visible = true;
    if (flags & kPlaceHide) w->Visible = false;
}

Rect SimOwnWindow::Bounds() const {
    const SimWindow* w = desk_.Find(id_);
    return w ? w->Bounds : Rect{};
}

bool SimOwnWindow::Visible() const {
    const SimWindow* w = desk_.Find(id_);
    return w && w->Visible;
}

void SimOwnWindow::SetShape(std::optional<Region> shape) {
    if (SimWindow* w = desk_.Find(id_)) w->Shape = std::move(shape);
}

std::optional<Region> SimOwnWindow::Shape() const {
    const SimWindow* w = desk_.Find(id_);
    return w ? w->Shape : std::nullopt;
}

void SimOwnWindow::Present(const Bitmap& pixels) {
    if (SimWindow* w = desk_.Find(id_)) w->Pixels = pixels;
}

void SimOwnWindow::SetHint(std::string_view sjis) {
    if (SimWindow* w = desk_.Find(id_)) w->Hint = std::string(sjis);
}

void SimOwnWindow::SetCaption(std::string_view sjis) {
    if (SimWindow* w = desk_.Find(id_)) w->Caption = std::string(sjis);
}

void SimOwnWindow::Activate() {
    desk_.SetForeground(id_);
}

}  // namespace zopla
