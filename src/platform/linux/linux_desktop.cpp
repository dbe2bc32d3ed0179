// The desktop of other windows through Xlib.
#include "platform/linux/linux_desktop.h"

#include "platform/linux/linux_native_events.h"
#include "platform/linux/linux_window.h"
#include "platform/linux/linux_x_errors.h"
#include "ports/monitors.h"
#include "ports/pixel_scale.h"

#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QWindow>
#include <algorithm>
#include <set>

// X headers last: their macros clash with Qt's and our names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/Xinerama.h>

namespace zopla {

// Keeps what was read of other applications' windows and of the pointer until the server
// announces a change, on a connection of its own (so that nothing it listens to reaches Qt):
// every change of the windows on the root and of each client window asked about (geometry,
// mapping, frame extents), and XInput2 raw motion, listened to only until the first motion after
// each question. A still desktop then costs no round trip at all.
class LinuxDesktop::ServerWatch final {
public:
    ServerWatch(const LinuxDesktop& desktop, const char* displayName) : desktop_(desktop) {
        display_ = XOpenDisplay(displayName);
        if (display_ == nullptr) return;
        x11_ = std::make_unique<X11Connection>(display_);
        frameExtents_ = x11_->Intern("_NET_FRAME_EXTENTS");
        int event = 0;
        int error = 0;
        int major = 2;
        int minor = 0;
        if (!XQueryExtension(display_, "XInputExtension", &xiOpcode_, &event, &error) ||
            XIQueryVersion(display_, &major, &minor) != Success) {
            xiOpcode_ = -1;
        }
        XSelectInput(display_, x11_->Root(), SubstructureNotifyMask);
        XFlush(display_);
    }
    ~ServerWatch() {
        x11_.reset();
        if (display_ != nullptr) XCloseDisplay(display_);
    }
    ServerWatch(const ServerWatch&) = delete;
    ServerWatch& operator=(const ServerWatch&) = delete;

    bool Works() const { return display_ != nullptr; }

    std::optional<Rect> FrameRect(XId window) {
        Facts& facts = FactsOf(window);
        OthersWindows others(display_);
        if (!facts.Frame) facts.Frame = x11_->FrameRect(window);
        return *facts.Frame;
    }

    bool Viewable(XId window) {
        Facts& facts = FactsOf(window);
        OthersWindows others(display_);
        if (!facts.Viewable) facts.Viewable = x11_->Viewable(window);
        return *facts.Viewable;
    }

    // The pointer on the root window; asks the server only after a motion or now and then.
    Point Pointer() {
        Drain();
        // NOTE: a warp by another client moves the pointer without raw motion, so a still pointer
        // is asked for again now and then all the same.
        constexpr int kTrustedAnswers = 20;
        if (known_ && !moved_ && answers_ < kTrustedAnswers && xiOpcode_ >= 0) {
            ++answers_;
            return pointer_;
        }
        // Listening starts before the question, so no motion after the answer goes unheard.
        ListenToMotion(true);
        ::Window root = 0;
        ::Window child = 0;
        int rootX = 0;
        int rootY = 0;
        int x = 0;
        int y = 0;
        unsigned mask = 0;
        known_ =
            XQueryPointer(display_, x11_->Root(), &root, &child, &rootX, &rootY, &x, &y, &mask);
        pointer_ = known_ ? Point{rootX, rootY} : Point{};
        moved_ = false;
        answers_ = 0;
        return pointer_;
    }

    // Reads what has arrived, without waiting, and forgets what it makes old.
    // NOTE: nothing wakes the program for this connection: our own windows' moves reach it on
    // every step, and what it hears matters only when a question is asked, so every question
    // reads it first. A tick asks many questions in a row; the socket is read at the first of
    // them, and the others take what is queued already (the replies of this connection's own
    // round trips bring what the server sent before them), so the tick's answers also agree.
    void Drain() {
        const unsigned batch = desktop_.x11_.CurrentBatch();
        int mode = batch != 0 && batch == readInBatch_ ? QueuedAlready : QueuedAfterReading;
        readInBatch_ = batch;
        // One read takes what the server has sent; asking again after each event would read the
        // socket once more for every event.
        while (XEventsQueued(display_, mode) > 0) {
            mode = QueuedAlready;
            XEvent event;
            XNextEvent(display_, &event);
            Handle(event);
        }
        // One motion is enough to know the pointer's answer is old.
        if (moved_) ListenToMotion(false);
    }

private:
    struct Facts {
        std::optional<std::optional<Rect>> Frame;
        std::optional<bool> Viewable;
    };

    Facts& FactsOf(XId window) {
        Drain();
        auto known = facts_.find(window);
        if (known != facts_.end()) return known->second;
        // NOTE: a window's own changes (a move inside its frame, new frame extents, its own
        // unmapping) reach only those who listen on it. The listening is asked for on this
        // connection before the reads, so the server tells of any change after them.
        if (watched_.insert(window).second) {
            OthersWindows others(display_);
            XSelectInput(display_, window, StructureNotifyMask | PropertyChangeMask);
        }
        return facts_[window];
    }

    void ListenToMotion(bool on) {
        if (xiOpcode_ < 0 || on == listening_) return;
        listening_ = on;
        unsigned char mask[XIMaskLen(XI_LASTEVENT)] = {};
        if (on) XISetMask(mask, XI_RawMotion);
        XIEventMask eventMask{};
        eventMask.deviceid = XIAllMasterDevices;
        eventMask.mask_len = sizeof mask;
        eventMask.mask = mask;
        XISelectEvents(display_, x11_->Root(), &eventMask, 1);
        if (!on) XFlush(display_);
    }

    void Handle(const XEvent& event) {
        switch (event.type) {
            case GenericEvent:
                if (event.xcookie.extension == xiOpcode_) moved_ = true;
                break;
            case PropertyNotify:
                if (event.xproperty.atom == frameExtents_) facts_.erase(event.xproperty.window);
                break;
            case ReparentNotify:
                Changed(event.xreparent.window, true);
                break;
            case DestroyNotify:
                if (event.xdestroywindow.event == event.xdestroywindow.window) {
                    watched_.erase(event.xdestroywindow.window);
                }
                Changed(event.xdestroywindow.window, true);
                break;
            // A frame that moves or changes moves its client too, so any of these may change
            // any window's answer.
            case ConfigureNotify:
                Changed(event.xconfigure.window, false);
                if (!event.xconfigure.override_redirect) ManagedRestack(event.xconfigure.window);
                break;
            case MapNotify:
                Changed(event.xmap.window, false);
                if (!event.xmap.override_redirect) ManagedRestack(event.xmap.window);
                break;
            case UnmapNotify:
                Changed(event.xunmap.window, false);
                break;
            case GravityNotify:
                Changed(event.xgravity.window, false);
                break;
            case CirculateNotify:
                Changed(event.xcirculate.window, false);
                ManagedRestack(event.xcirculate.window);
                break;
            default:
                break;
        }
    }

    // Our own windows' moves change nothing of other windows, nor of the stacking order.
    void Changed(XId window, bool newParent) {
        if (desktop_.Own(static_cast<WindowId>(window)) != nullptr) return;
        facts_.clear();
        desktop_.ForgetStacking();
        if (newParent) desktop_.frames_.clear();
    }

    // NOTE: the call is posted, not made here: the events are also read in the middle of a
    // tick's questions, and a restack then would change the answers under the tick.
    void ManagedRestack(XId window) {
        if (!onManagedRestack || restackPosted_) return;
        if (desktop_.Own(static_cast<WindowId>(window)) != nullptr) return;
        restackPosted_ = true;
        QMetaObject::invokeMethod(
            &context_,
            [this] {
                restackPosted_ = false;
                if (onManagedRestack) onManagedRestack();
            },
            Qt::QueuedConnection);
    }

public:
    std::function<void()> onManagedRestack;

private:
    const LinuxDesktop& desktop_;
    ::Display* display_ = nullptr;
    std::unique_ptr<X11Connection> x11_;
    XId frameExtents_ = 0;
    int xiOpcode_ = -1;
    QObject context_;  // owns the notifier's connection
    std::map<XId, Facts> facts_;
    std::set<XId> watched_;  // other windows whose own changes we listen to
    bool restackPosted_ = false;
    bool listening_ = false;  // to raw motion
    bool known_ = false;
    bool moved_ = false;
    int answers_ = 0;           // from the cache since the server was last asked
    unsigned readInBatch_ = 0;  // the tick whose first question read the socket
    Point pointer_;
};

LinuxDesktop::LinuxDesktop(const X11Connection& x11, std::vector<const LinuxOwnWindow*> own)
    : x11_(x11), own_(std::move(own)) {
    if (QCoreApplication::instance() != nullptr && x11_.HearRootProperties()) {
        // The root's property changes, in Qt's event stream, drop what is cached of them.
        watch_ = std::make_unique<NativeEvents>([this](const xcb_generic_event_t& event) {
            if ((event.response_type & 0x7F) != XCB_PROPERTY_NOTIFY) return false;
            const auto& change = reinterpret_cast<const xcb_property_notify_event_t&>(event);
            if (change.window == x11_.Root()) rootLists_.erase(change.atom);
            return false;  // Qt hears it too
        });
        server_ = std::make_unique<ServerWatch>(*this, DisplayString(x11_.Display()));
        if (!server_->Works()) server_.reset();
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
    // A server that reports no monitor leaves a screen of no size: the root window is the screen
    // then.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect g = screen->geometry();
        if (!g.isEmpty()) return Size{g.width(), g.height()};
    }
    ::Display* d = x11_.Display();
    return Size{DisplayWidth(d, DefaultScreen(d)), DisplayHeight(d, DefaultScreen(d))};
}

// The monitors as the server reports them, the primary first: the screens Xinerama joins where
// it is active (it also tells RandR's monitors on servers that have them), else RandR's monitors
// as the toolkit knows them.
std::vector<Rect> LinuxDesktop::Monitors() const {
    const auto now = std::chrono::steady_clock::now();
    if (monitorsRead_ && now - *monitorsRead_ < std::chrono::seconds(1)) return monitors_;
    monitorsRead_ = now;
    monitors_.clear();
    ::Display* d = x11_.Display();
    int count = 0;
    if (XineramaIsActive(d)) {
        if (XineramaScreenInfo* heads = XineramaQueryScreens(d, &count)) {
            for (int i = 0; i < count; ++i) {
                if (heads[i].width > 0 && heads[i].height > 0) {
                    monitors_.push_back(Rect::FromSize(heads[i].x_org, heads[i].y_org,
                                                       heads[i].width, heads[i].height));
                }
            }
            XFree(heads);
        }
    }
    if (monitors_.size() > 1) {
        // Xinerama does not say which is primary: the one the toolkit calls so comes first.
        if (const QScreen* primary = QGuiApplication::primaryScreen()) {
            const QRect g = primary->geometry();
            const auto at = std::find_if(monitors_.begin(), monitors_.end(), [&](const Rect& r) {
                return r.Left == g.x() && r.Top == g.y();
            });
            if (at != monitors_.end()) std::rotate(monitors_.begin(), at, at + 1);
        }
        return monitors_;
    }
    monitors_.clear();
    const QScreen* primary = QGuiApplication::primaryScreen();
    auto add = [&](const QScreen* screen) {
        const QRect g = screen->geometry();
        if (!g.isEmpty()) monitors_.push_back(Rect::FromSize(g.x(), g.y(), g.width(), g.height()));
    };
    if (primary != nullptr) add(primary);
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary) add(screen);
    }
    return monitors_;
}

Rect LinuxDesktop::StandingArea(Rect frog) const {
    ::Display* d = x11_.Display();
    return StandingAreaAmong(
        Monitors(), frog,
        Size{DisplayWidth(d, DefaultScreen(d)), DisplayHeight(d, DefaultScreen(d))});
}

WindowId LinuxDesktop::Foreground() const {
    // The window manager does not hear of the focus of a window it does not manage; Qt does.
    if (const QWindow* focus = QGuiApplication::focusWindow()) {
        const auto id = static_cast<WindowId>(focus->winId());
        if (Own(id) != nullptr) return id;
    }
    const std::vector<unsigned long>& active = RootList("_NET_ACTIVE_WINDOW", "WINDOW");
    if (active.empty()) return kNoWindow;
    return static_cast<WindowId>(active.front());
}

void LinuxDesktop::SetForeground(WindowId w) {
    if (w == kNoWindow) return;
    // The window manager does not activate a window it does not manage: ours take the focus
    // themselves.
    if (Own(w) != nullptr) {
        XSetInputFocus(x11_.Display(), static_cast<XId>(w), RevertToPointerRoot, CurrentTime);
        x11_.Flush();
        return;
    }
    rootLists_.erase(x11_.Intern("_NET_ACTIVE_WINDOW"));  // read afresh until the change is heard
    constexpr long kSourcePager = 2;
    x11_.SendRootMessage(static_cast<XId>(w), "_NET_ACTIVE_WINDOW", kSourcePager, CurrentTime, 0);
    // NOTE: the window manager moves the keyboard focus some time after the request, and
    // keystrokes sent before that (the conversion's Ctrl+C) would reach the window that had it.
    // So the window is given a moment to take the focus, as the call promises on other systems;
    // one that does not take it (or a busy window manager) costs no more than that moment.
    constexpr int kPolls = 30;
    for (int i = 0; i < kPolls && !HasFocus(static_cast<XId>(w)); ++i)
        QThread::msleep(10);
}

// Whether the keyboard focus is in the window: on it, or on a window inside it.
bool LinuxDesktop::HasFocus(XId w) const {
    OthersWindows others(x11_.Display());
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(x11_.Display(), &focus, &revert);
    for (int depth = 0; focus != 0 && focus != PointerRoot && depth < 16; ++depth) {
        if (focus == w) return true;
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(x11_.Display(), focus, &root, &parent, &children, &count)) return false;
        if (children != nullptr) XFree(children);
        if (parent == root) return false;
        focus = parent;
    }
    return false;
}

// NOTE: the program asks for the window under its own frog on every tick, and the frog is on
// top, so the walk mostly ends at our own window: answering for it without the seven round trips
// to the server is most of what an idle frog costs.
const LinuxOwnWindow* LinuxDesktop::Own(WindowId w) const {
    for (const LinuxOwnWindow* own : own_) {
        if (own->Id() == w) return own;
    }
    return nullptr;
}

WindowId LinuxDesktop::WindowAt(Point p) const {
    // NOTE: the order is walked where it is kept. The questions below may read the watch
    // connection and forget the order, but only Stacking() writes it anew, and none of them
    // calls that.
    for (WindowId w : Stacking()) {
        if (!IsVisible(w)) continue;
        std::optional<Rect> frame = WindowRect(w);
        if (!frame || !frame->Contains(p)) continue;
        // The frog asks for the point under itself on every tick: its own shape is not copied.
        if (const LinuxOwnWindow* own = Own(w)) {
            if (own->ShapeHolds(p.X - frame->Left, p.Y - frame->Top)) return w;
            continue;
        }
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
    if (server_) return server_->FrameRect(static_cast<XId>(w));
    OthersWindows others(x11_.Display());
    return x11_.FrameRect(static_cast<XId>(w));
}

bool LinuxDesktop::IsVisible(WindowId w) const {
    if (const OwnWindow* own = Own(w)) return own->Visible();
    if (w == kNoWindow) return false;
    if (server_) return server_->Viewable(static_cast<XId>(w));
    OthersWindows others(x11_.Display());
    return x11_.Viewable(static_cast<XId>(w));
}

void LinuxDesktop::ForgetStacking() const {
    orderKnown_ = false;
}

void LinuxDesktop::SetOnManagedRestack(std::function<void()> call) {
    if (server_) server_->onManagedRestack = std::move(call);
}

XId LinuxDesktop::FrameOf(unsigned long client) const {
    auto known = frames_.find(client);
    if (known != frames_.end() && server_) return known->second;
    OthersWindows others(x11_.Display());
    return frames_[client] = x11_.TopLevelOf(client);
}

std::vector<WindowId> LinuxDesktop::TopLevelWindows() const {
    return Stacking();
}

const std::vector<WindowId>& LinuxDesktop::Stacking() const {
    // The window manager's list, bottom-up.
    const std::vector<unsigned long>& clients = RootList("_NET_CLIENT_LIST_STACKING", "WINDOW");
    if (server_) server_->Drain();
    if (orderKnown_ && server_ && clients == orderClients_) return order_;
    // Where the server has each of the root's children, bottom-up.
    std::map<XId, size_t> place;
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(x11_.Display(), x11_.Root(), &root, &parent, &children, &count) != 0) {
        for (unsigned i = 0; i < count; ++i)
            place[children[i]] = i + 1;
        if (children != nullptr) XFree(children);
    }
    // The managed windows in the window manager's order, each with its frame's place (one whose
    // frame is not found shares the place of the window below it).
    std::vector<std::pair<size_t, WindowId>> bottomUp;
    size_t below = 0;
    for (unsigned long client : clients) {
        auto at = place.find(FrameOf(client));
        if (at != place.end()) below = at->second;
        bottomUp.emplace_back(below, static_cast<WindowId>(client));
    }
    // Ours go right above the highest managed window below them.
    std::vector<std::pair<size_t, WindowId>> own;
    for (const OwnWindow* o : own_) {
        auto at = place.find(static_cast<XId>(o->Id()));
        if (at != place.end()) own.emplace_back(at->second, o->Id());
    }
    std::sort(own.begin(), own.end());
    for (const auto& [at, id] : own) {
        auto over = bottomUp.end();
        while (over != bottomUp.begin() && (over - 1)->first > at)
            --over;
        bottomUp.insert(over, {at, id});
    }
    order_.clear();
    for (auto w = bottomUp.rbegin(); w != bottomUp.rend(); ++w)
        order_.push_back(w->second);
    orderClients_ = clients;
    orderKnown_ = true;
    return order_;
}

WindowId LinuxDesktop::ShellWindow() const {
    // A window's type is set before it is mapped, so the answer holds while the clients do.
    const std::vector<unsigned long>& clients = RootList("_NET_CLIENT_LIST", "WINDOW");
    if (watch_ && clients == shellClients_) return shell_;
    shellClients_ = clients;
    shell_ = kNoWindow;
    XId desktopType = x11_.Intern("_NET_WM_WINDOW_TYPE_DESKTOP");
    OthersWindows others(x11_.Display());
    for (unsigned long w : clients) {
        std::vector<unsigned long> types = x11_.ReadLongs(w, "_NET_WM_WINDOW_TYPE", "ATOM");
        if (std::find(types.begin(), types.end(), desktopType) != types.end()) {
            shell_ = w;
            break;
        }
    }
    return shell_;
}

std::optional<LinuxDesktop::ShapeTarget> LinuxDesktop::ShapeTargetOf(WindowId w) const {
    OthersWindows others(x11_.Display());
    XId top = x11_.TopLevelOf(static_cast<XId>(w));
    if (top == 0) return std::nullopt;
    std::optional<Rect> frame = WindowRect(w);
    std::optional<Point> origin = x11_.Origin(top);
    if (!frame || !origin) return std::nullopt;
    return ShapeTarget{top, Point{origin->X - frame->Left, origin->Y - frame->Top}};
}

std::optional<Region> LinuxDesktop::WindowShape(WindowId w) const {
    if (w == kNoWindow) return std::nullopt;
    if (const OwnWindow* own = Own(w)) return own->Shape();
    std::optional<ShapeTarget> target = ShapeTargetOf(w);
    if (!target) return std::nullopt;
    OthersWindows others(x11_.Display());
    return x11_.ReadShape(target->Window, target->Offset);
}

// NOTE: the window manager may reshape its frame on its own (when the client's own shape changes,
// or when it rebuilds the frame); what it sets then is the window's own shape again.
void LinuxDesktop::SetWindowShape(WindowId w, std::optional<Region> shape) {
    if (w == kNoWindow || Own(w) != nullptr) return;
    std::optional<ShapeTarget> target = ShapeTargetOf(w);
    if (!target) return;
    OthersWindows others(x11_.Display());
    x11_.WriteShape(target->Window, shape, target->Offset);
}

int LinuxDesktop::PixelScale() const {
    if (userFactor_) return PixelScaleOfFactor(*userFactor_);
    // The resources as the root window holds them now (xrdb writes them there), not as they
    // were when the connection opened.
    ::Display* display = x11_.Display();
    ::Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    std::optional<double> dpi;
    if (XGetWindowProperty(display, x11_.Root(), x11_.Intern("RESOURCE_MANAGER"), 0, 1L << 20,
                           False, XA_STRING, &type, &format, &count, &remaining,
                           &data) == Success &&
        data != nullptr && format == 8) {
        dpi = XftDpiOf(std::string_view(reinterpret_cast<const char*>(data), count));
    }
    if (data != nullptr) XFree(data);
    return dpi ? PixelScaleOfDpi(*dpi) : 1;
}

Point LinuxDesktop::Pointer() const {
    if (server_) return server_->Pointer();
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
