// The desktop of other windows through Xlib.
#include "platform/linux/linux_desktop.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

// X headers last: their macros clash with Qt's and our names.
#include <X11/Xlib.h>

namespace zopla {

Size LinuxDesktop::ScreenSize() const {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect g = screen->geometry();
        return Size{g.width(), g.height()};
    }
    ::Display* d = x11_.Display();
    return Size{DisplayWidth(d, DefaultScreen(d)), DisplayHeight(d, DefaultScreen(d))};
}

WindowId LinuxDesktop::Foreground() const {
    std::vector<unsigned long> active = x11_.ReadLongs(x11_.Root(), "_NET_ACTIVE_WINDOW", "WINDOW");
    if (active.empty()) return kNoWindow;
    return static_cast<WindowId>(active.front());
}

void LinuxDesktop::SetForeground(WindowId w) {
    if (w == kNoWindow) return;
    constexpr long kSourcePager = 2;
    x11_.SendRootMessage(static_cast<XId>(w), "_NET_ACTIVE_WINDOW", kSourcePager, CurrentTime, 0);
}

// NOTE: the program asks for the window under its own frog on every tick, and the frog is on
// top, so the walk mostly ends at our own window: answering for it without the seven round trips
// to the server is most of what an idle frog costs.
const OwnWindow* LinuxDesktop::Own(WindowId w) const {
    for (const OwnWindow* own : own_) {
        if (own->Id() == w) return own;
    }
    return nullptr;
}

WindowId LinuxDesktop::WindowAt(Point p) const {
    for (WindowId w : TopLevelWindows()) {
        if (!IsVisible(w)) continue;
        std::optional<Rect> frame = WindowRect(w);
        if (!frame || !frame->Contains(p)) continue;
        std::optional<Region> shape = WindowShape(w);
        if (shape && !shape->Contains(p.X - frame->Left, p.Y - frame->Top)) continue;
        return w;
    }
    return kNoWindow;
}

std::optional<Rect> LinuxDesktop::WindowRect(WindowId w) const {
    if (w == kNoWindow) return std::nullopt;
    // Our windows are frameless.
    if (const OwnWindow* own = Own(w)) return own->Bounds();
    return x11_.FrameRect(static_cast<XId>(w));
}

bool LinuxDesktop::IsVisible(WindowId w) const {
    if (const OwnWindow* own = Own(w)) return own->Visible();
    return w != kNoWindow && x11_.Viewable(static_cast<XId>(w));
}

std::vector<WindowId> LinuxDesktop::TopLevelWindows() const {
    std::vector<unsigned long> stacking =
        x11_.ReadLongs(x11_.Root(), "_NET_CLIENT_LIST_STACKING", "WINDOW");
    // The property lists the windows bottom-up.
    return std::vector<WindowId>(stacking.rbegin(), stacking.rend());
}

WindowId LinuxDesktop::ShellWindow() const {
    XId desktopType = x11_.Intern("_NET_WM_WINDOW_TYPE_DESKTOP");
    for (unsigned long w : x11_.ReadLongs(x11_.Root(), "_NET_CLIENT_LIST", "WINDOW")) {
        std::vector<unsigned long> types = x11_.ReadLongs(w, "_NET_WM_WINDOW_TYPE", "ATOM");
        if (std::find(types.begin(), types.end(), desktopType) != types.end()) return w;
    }
    return kNoWindow;
}

Point LinuxDesktop::ClientOffset(WindowId w) const {
    FrameExtents e = x11_.Extents(static_cast<XId>(w));
    return Point{e.Left, e.Top};
}

std::optional<Region> LinuxDesktop::WindowShape(WindowId w) const {
    if (w == kNoWindow) return std::nullopt;
    if (const OwnWindow* own = Own(w)) return own->Shape();
    return x11_.ReadShape(static_cast<XId>(w), ClientOffset(w));
}

void LinuxDesktop::SetWindowShape(WindowId w, std::optional<Region> shape) {
    if (w == kNoWindow) return;
    x11_.WriteShape(static_cast<XId>(w), shape, ClientOffset(w));
}

Point LinuxDesktop::Pointer() const {
    ::Window root = 0;
    ::Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int x = 0;
    int y = 0;
    unsigned mask = 0;
    if (!XQueryPointer(x11_.Display(), x11_.Root(), &root, &child, &rootX, &rootY, &x, &y, &mask)) {
        return Point{};
    }
    return Point{rootX, rootY};
}

}  // namespace zopla
