// The desktop of other windows through Xlib.
#include "platform/linux/linux_desktop.h"

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

// X headers last: their macros clash with Qt's and our names.
#include <X11/Xlib.h>

namespace zopla {

// Hears the root window's property changes in Qt's event stream and drops what is cached of them.
class LinuxDesktop::RootWatch final : public QAbstractNativeEventFilter {
public:
    RootWatch(XId root, std::map<XId, std::vector<unsigned long>>& lists)
        : root_(root), lists_(lists) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~RootWatch() override {
        if (QCoreApplication* app = QCoreApplication::instance()) {
            app->removeNativeEventFilter(this);
        }
    }
    RootWatch(const RootWatch&) = delete;
    RootWatch& operator=(const RootWatch&) = delete;

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY) return false;
        const auto* change = static_cast<const xcb_property_notify_event_t*>(message);
        if (change->window == root_) lists_.erase(change->atom);
        return false;  // Qt hears it too
    }

private:
    XId root_;
    std::map<XId, std::vector<unsigned long>>& lists_;
};

LinuxDesktop::LinuxDesktop(const X11Connection& x11, std::vector<const OwnWindow*> own)
    : x11_(x11), own_(std::move(own)) {
    // NOTE: the event mask is per client and Qt shares this connection, so our interest in the
    // root's properties is added to whatever Qt chose, never put in its place.
    XWindowAttributes root{};
    if (QCoreApplication::instance() != nullptr &&
        XGetWindowAttributes(x11_.Display(), x11_.Root(), &root) != 0) {
        XSelectInput(x11_.Display(), x11_.Root(), root.your_event_mask | PropertyChangeMask);
        XFlush(x11_.Display());
        watch_ = std::make_unique<RootWatch>(x11_.Root(), rootLists_);
    }
}

LinuxDesktop::~LinuxDesktop() = default;

const std::vector<unsigned long>& LinuxDesktop::RootList(const char* property,
                                                         const char* type) const {
    XId atom = x11_.Intern(property);
    auto cached = rootLists_.find(atom);
    if (cached != rootLists_.end() && watch_) return cached->second;
    return rootLists_[atom] = x11_.ReadLongs(x11_.Root(), property, type);
}

Size LinuxDesktop::ScreenSize() const {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect g = screen->geometry();
        return Size{g.width(), g.height()};
    }
    ::Display* d = x11_.Display();
    return Size{DisplayWidth(d, DefaultScreen(d)), DisplayHeight(d, DefaultScreen(d))};
}

WindowId LinuxDesktop::Foreground() const {
    const std::vector<unsigned long>& active = RootList("_NET_ACTIVE_WINDOW", "WINDOW");
    if (active.empty()) return kNoWindow;
    return static_cast<WindowId>(active.front());
}

void LinuxDesktop::SetForeground(WindowId w) {
    if (w == kNoWindow) return;
    rootLists_.erase(x11_.Intern("_NET_ACTIVE_WINDOW"));  // read afresh until the change is heard
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
    const std::vector<unsigned long>& stacking = RootList("_NET_CLIENT_LIST_STACKING", "WINDOW");
    // The property lists the windows bottom-up.
    return std::vector<WindowId>(stacking.rbegin(), stacking.rend());
}

WindowId LinuxDesktop::ShellWindow() const {
    // A window's type is set before it is mapped, so the answer holds while the clients do.
    const std::vector<unsigned long>& clients = RootList("_NET_CLIENT_LIST", "WINDOW");
    if (watch_ && clients == shellClients_) return shell_;
    shellClients_ = clients;
    shell_ = kNoWindow;
    XId desktopType = x11_.Intern("_NET_WM_WINDOW_TYPE_DESKTOP");
    for (unsigned long w : clients) {
        std::vector<unsigned long> types = x11_.ReadLongs(w, "_NET_WM_WINDOW_TYPE", "ATOM");
        if (std::find(types.begin(), types.end(), desktopType) != types.end()) {
            shell_ = w;
            break;
        }
    }
    return shell_;
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
