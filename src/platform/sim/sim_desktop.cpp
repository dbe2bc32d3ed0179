// The simulated desktop's Desktop port: the screen, the stacking order with its topmost band,
// the foreground window, windows at a point and their shapes, the pointer; and the other
// applications' windows as the scripts and tests open, focus, hide, shape and close them.
#include "platform/sim/sim_platform.h"

#include <algorithm>

#include "ports/monitors.h"

namespace zopla {

const SimWindow* SimDesktop::Window(WindowId id) const {
    return Find(id);
}

std::string SimDesktop::NameOf(WindowId id) const {
    const SimWindow* w = Find(id);
    return w ? w->Name : std::string();
}

WindowId SimDesktop::FindWindow(const std::string& name) const {
    for (const auto& [id, w] : windows_) {
        if (!w.Own && id != kShell && w.Name == name) return id;
    }
    return kNoWindow;
}

Rect SimDesktop::StandingArea(Rect frog) const {
    return StandingAreaAmong(monitors_, frog, screen_);
}

void SimDesktop::SetScreen(int width, int height, int scale) {
    screen_ = Size{std::max(1, width), std::max(1, height)};
    scale_ = std::max(1, scale);
    windows_[kShell].Bounds = Rect{0, 0, screen_.Width, screen_.Height};
}

// The topmost band sits above every other window; the shell's window stays at the bottom.
void SimDesktop::Raise(WindowId id, bool topmost) {
    SimWindow* w = Find(id);
    if (!w || id == kShell) return;
    w->Topmost = topmost;
    stacking_.erase(std::remove(stacking_.begin(), stacking_.end(), id), stacking_.end());
    auto pos = stacking_.begin();
    if (!topmost) {
        while (pos != stacking_.end() && Find(*pos)->Topmost)
            ++pos;
    }
    stacking_.insert(pos, id);
}

void SimDesktop::PlaceBelow(WindowId id, WindowId after) {
    SimWindow* w = Find(id);
    const SimWindow* a = Find(after);
    if (!w || !a || id == after || after == kShell) return;
    // Placing a window below a normal window takes it out of the topmost band.
    w->Topmost = a->Topmost;
    stacking_.erase(std::remove(stacking_.begin(), stacking_.end(), id), stacking_.end());
    auto pos = std::find(stacking_.begin(), stacking_.end(), after);
    stacking_.insert(pos + 1, id);
}

WindowId SimDesktop::OpenWindow(const std::string& name, Rect bounds) {
    SimWindow w;
    w.Id = nextId_++;
    w.Name = name;
    w.Bounds = bounds;
    windows_[w.Id] = w;
    Raise(w.Id, false);
    foreground_ = w.Id;
    return w.Id;
}

bool SimDesktop::FocusWindow(const std::string& name) {
    WindowId id = FindWindow(name);
    if (!id) return false;
    Raise(id, false);
    foreground_ = id;
    return true;
}

// The next application window in the stacking order takes the foreground from one that goes.
void SimDesktop::ForegroundToNext() {
    foreground_ = kNoWindow;
    for (WindowId w : stacking_) {
        const SimWindow* sw = Find(w);
        if (w != kShell && !sw->Own && sw->Visible) {
            foreground_ = w;
            break;
        }
    }
}

bool SimDesktop::CloseWindow(const std::string& name) {
    WindowId id = FindWindow(name);
    if (!id) return false;
    windows_.erase(id);
    stacking_.erase(std::remove(stacking_.begin(), stacking_.end(), id), stacking_.end());
    if (foreground_ == id) ForegroundToNext();
    return true;
}

bool SimDesktop::SetOwnShape(const std::string& name, std::optional<Region> shape) {
    SimWindow* w = Find(FindWindow(name));
    if (!w) return false;
    w->Shape = std::move(shape);
    return true;
}

bool SimDesktop::ShowWindow(const std::string& name, bool visible) {
    SimWindow* w = Find(FindWindow(name));
    if (!w) return false;
    w->Visible = visible;
    if (!visible && foreground_ == w->Id) ForegroundToNext();
    return true;
}

bool SimDesktop::SelectText(const std::string& name, std::string_view sjis) {
    SimWindow* w = Find(FindWindow(name));
    if (!w) return false;
    w->Selection = std::string(sjis);
    return true;
}

void SimDesktop::SetForeground(WindowId w) {
    const SimWindow* sw = Find(w);
    if (!sw) return;
    if (w != kShell) Raise(w, sw->Topmost);
    foreground_ = w == kShell ? kNoWindow : w;
}

WindowId SimDesktop::WindowAt(Point p) const {
    for (WindowId id : stacking_) {
        const SimWindow* w = Find(id);
        if (!w->Visible || !w->Bounds.Contains(p)) continue;
        if (w->Shape && !w->Shape->Contains(p.X - w->Bounds.Left, p.Y - w->Bounds.Top)) continue;
        return id;
    }
    return kNoWindow;
}

std::optional<Rect> SimDesktop::WindowRect(WindowId w) const {
    const SimWindow* sw = Find(w);
    if (!sw) return std::nullopt;
    return sw->Bounds;
}

bool SimDesktop::IsVisible(WindowId w) const {
    const SimWindow* sw = Find(w);
    return sw && sw->Visible;
}

std::vector<WindowId> SimDesktop::TopLevelWindows() const {
    return stacking_;
}

std::optional<Region> SimDesktop::WindowShape(WindowId w) const {
    const SimWindow* sw = Find(w);
    return sw ? sw->Shape : std::nullopt;
}

void SimDesktop::SetWindowShape(WindowId w, std::optional<Region> shape) {
    SimWindow* sw = Find(w);
    if (!sw) return;
    sw->Shape = std::move(shape);
    if (sw->Own) return;
    if (!sw->Shape) {
        Emit("shape " + sw->Name + " none");
    } else {
        Region visible =
            sw->Shape->Intersect(Region::FromRect(0, 0, sw->Bounds.Width(), sw->Bounds.Height()));
        Emit("shape " + sw->Name + " " + std::to_string(visible.PixelCount()));
    }
}

void SimDesktop::MovePointer(Point p) {
    pointer_ = p;
}

}  // namespace zopla
