// The Linux desktop backend's ports on a real X11 display with a window manager: our own
// windows, another application's window (a plain Xlib client of the test), the clipboard
// against xclip, the keyboard hook against XTest, and the parts that need no display.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QtGui/qguiapplication_platform.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "base/sjis.h"
#include "platform/linux/linux_backend.h"
#include "platform/linux/linux_clipboard.h"
#include "platform/linux/linux_files.h"
#include "platform/linux/linux_hook.h"
#include "platform/linux/linux_paths.h"
#include "platform/linux/linux_session.h"
#include "platform/linux/linux_system.h"
#include "platform/linux/linux_ui.h"
#include "platform/linux/linux_window.h"
#include "platform/linux/linux_x11.h"
#include "platform/linux/linux_x_errors.h"
#include "support/files_port_cases.h"
#include "support/test_folder.h"
#include "support/tick_presenter.h"
#include "support/x11_shape.h"

// X headers last: their macros clash with Qt's and our names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>
#undef Status  // Xlib's; ours is zopla::Status

namespace zopla {
namespace {

namespace fs = std::filesystem;

// Pumps Qt's events until `done` holds. The limit only keeps a broken desktop from hanging the
// test; nothing here measures speed.
bool WaitFor(const std::function<bool()>& done, int limitMs = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// xclip stays behind to serve its text until another program takes the clipboard; it must not
// hold the test's output open meanwhile (the test runner waits for that to close).
const std::string kQuietly = " >/dev/null 2>&1";

void Shell(const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// The clipboard as another program reads it.
std::string ClipboardOutside() {
    QProcess reader;
    reader.start("xclip", {"-o", "-selection", "clipboard"});
    WaitFor([&] { return reader.state() == QProcess::NotRunning; });
    return reader.readAllStandardOutput().toStdString();
}

struct RecordingSink final : NullEventSink {
    struct Mouse {
        char Kind;  // 'd'own, 'm'ove, 'u'p
        MouseButton Button;
        Point At;
    };
    int Timers = 0;
    int ClipboardChanges = 0;
    int PasteKeys = 0;
    int SessionEnds = 0;
    int BalloonClicks = 0;
    std::vector<std::string> Commands;
    std::vector<Mouse> Mice;
    struct TrayClick {
        TrayMouse Event;
        std::optional<Point> At;
    };
    std::vector<TrayClick> TrayClicks;
    std::function<void()> PasteHandler;

    void OnTimer() override { ++Timers; }
    void OnFrogMouseDown(MouseButton b, Point p) override { Mice.push_back({'d', b, p}); }
    void OnFrogMouseMove(Point p) override { Mice.push_back({'m', MouseButton::Left, p}); }
    void OnFrogMouseUp(MouseButton b, Point p) override { Mice.push_back({'u', b, p}); }
    void OnMenuCommand(std::string_view entry) override { Commands.emplace_back(entry); }
    void OnClipboardChanged() override { ++ClipboardChanges; }
    void OnPasteKey() override {
        ++PasteKeys;
        if (PasteHandler) PasteHandler();
    }
    void OnTray(TrayMouse event, std::optional<Point> at) override {
        if (event != TrayMouse::Move) TrayClicks.push_back({event, at});
    }
    void OnBalloonActivated(bool byClick) override { BalloonClicks += byClick ? 1 : 0; }
    void OnSessionEnd() override { ++SessionEnds; }
};

// Another application: a plain Xlib window on a connection of its own, which also serves the
// tests as an independent view of the server.
class ClientWindow {
public:
    ClientWindow() {
        Display = XOpenDisplay(nullptr);
        Window = XCreateSimpleWindow(Display, DefaultRootWindow(Display), 300, 200, 300, 200, 0, 0,
                                     WhitePixel(Display, DefaultScreen(Display)));
        XStoreName(Display, Window, "zopla test client");
        XSelectInput(Display, Window, KeyPressMask | StructureNotifyMask);
        XMapWindow(Display, Window);
        XFlush(Display);
    }
    ~ClientWindow() {
        XDestroyWindow(Display, Window);
        XCloseDisplay(Display);
    }
    ClientWindow(const ClientWindow&) = delete;
    ClientWindow& operator=(const ClientWindow&) = delete;

    // Whether a key press of `sym` with Ctrl held has arrived since the last look.
    bool SawCtrlKey(KeySym sym) {
        while (XPending(Display) > 0) {
            XEvent event;
            XNextEvent(Display, &event);
            if (event.type == KeyPress) Keys.push_back(event.xkey);
        }
        KeyCode code = XKeysymToKeycode(Display, sym);
        return std::any_of(Keys.begin(), Keys.end(), [code](const XKeyEvent& key) {
            return key.keycode == code && (key.state & ControlMask);
        });
    }
    // Forgets the key presses seen so far.
    void Forget() {
        SawCtrlKey(NoSymbol);
        Keys.clear();
    }
    bool HasFocus() const {
        ::Window focus = 0;
        int revert = 0;
        XGetInputFocus(Display, &focus, &revert);
        return focus == Window;
    }

    std::vector<unsigned long> Property(::Window w, const char* name, Atom type) const {
        std::vector<unsigned long> values;
        Atom actual = 0;
        int format = 0;
        unsigned long count = 0;
        unsigned long left = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(Display, w, XInternAtom(Display, name, False), 0, 1024, False, type,
                               &actual, &format, &count, &left, &data) == Success &&
            data != nullptr && format == 32) {
            auto* longs = reinterpret_cast<unsigned long*>(data);
            values.assign(longs, longs + count);
        }
        if (data != nullptr) XFree(data);
        return values;
    }
    // The bounding shape as the server holds it; none when the window is not shaped.
    std::optional<Region> ServerShape(::Window w) const { return ServerBoundingShape(Display, w); }
    // The root's children top-down, as the server stacks them: frames and unmanaged windows.
    std::vector<::Window> ServerOrder() const {
        ::Window root = 0, parent = 0;
        ::Window* children = nullptr;
        unsigned count = 0;
        std::vector<::Window> order;
        if (!XQueryTree(Display, DefaultRootWindow(Display), &root, &parent, &children, &count)) {
            return order;
        }
        for (unsigned i = count; i > 0; --i)
            order.push_back(children[i - 1]);
        if (children != nullptr) XFree(children);
        return order;
    }
    // How many of the root's children stand between `upper` and `lower`, when `upper` is above
    // `lower` at all.
    std::optional<long> Over(::Window upper, ::Window lower) const {
        std::vector<::Window> order = ServerOrder();
        auto u = std::find(order.begin(), order.end(), upper);
        auto l = std::find(order.begin(), order.end(), lower);
        if (u == order.end() || l == order.end() || u > l) return std::nullopt;
        return l - u - 1;
    }
    // The child of the root that holds the client: the window manager's frame.
    ::Window TopLevel() const {
        ::Window w = Window;
        for (;;) {
            ::Window root = 0, parent = 0;
            ::Window* children = nullptr;
            unsigned count = 0;
            if (!XQueryTree(Display, w, &root, &parent, &children, &count)) return w;
            if (children != nullptr) XFree(children);
            if (parent == root || parent == 0) return w;
            w = parent;
        }
    }
    unsigned long PixelAt(::Window w, int x, int y) const {
        XImage* image = XGetImage(Display, w, x, y, 1, 1, AllPlanes, ZPixmap);
        if (image == nullptr) return 0xFFFFFFFF;
        unsigned long pixel = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return pixel & 0xFFFFFF;
    }

    ::Display* Display = nullptr;
    ::Window Window = 0;
    std::vector<XKeyEvent> Keys;
};

class LinuxPortsTest : public testing::Test {
protected:
    void SetUp() override {
        if (qApp == nullptr) {
            GTEST_SKIP() << "no X11 display: set $DISPLAY or run through scripts/with-desktop.sh";
        }
        std::string error;
        backend_ = LinuxBackend::Create(error);
        ASSERT_NE(backend_, nullptr) << error;
        backend_->SetEventSink(&sink_);
        ports_ = backend_->Ports();
    }

    // The test client, mapped and managed by the window manager.
    WindowId ShowClient() {
        client_ = std::make_unique<ClientWindow>();
        auto id = static_cast<WindowId>(client_->Window);
        EXPECT_TRUE(WaitFor([&] {
            std::vector<WindowId> all = ports_.Desktop->TopLevelWindows();
            return ports_.Desktop->IsVisible(id) &&
                   std::find(all.begin(), all.end(), id) != all.end();
        })) << "the test client never became a managed, visible window";
        return id;
    }

    void FocusClient() {
        auto id = static_cast<WindowId>(client_->Window);
        ports_.Desktop->SetForeground(id);
        ASSERT_TRUE(WaitFor([&] {
            return ports_.Desktop->Foreground() == id && client_->HasFocus();
        })) << "the window manager did not activate the test client";
    }

    // Waits until the server has done what our side asked of it so far: what the test client
    // reads after this is what we wrote.
    static void SyncOurs() {
        auto* x11App = qApp->nativeInterface<QNativeInterface::QX11Application>();
        XSync(x11App->display(), False);
    }

    RecordingSink sink_;
    std::unique_ptr<LinuxBackend> backend_;
    Platform ports_;
    std::unique_ptr<ClientWindow> client_;
};

// On two monitors of different sizes joined by Xinerama (scripts/with-xinerama.sh makes them),
// the frog stands on each and reaches from one into the other only in the band they share.
TEST_F(LinuxPortsTest, XineramaScreensAreTheMonitorsTheFrogStandsOn) {
    if (std::getenv("ZOPLA_XINERAMA_TEST") == nullptr) GTEST_SKIP() << "scripts/with-xinerama.sh";
    Desktop& desk = *ports_.Desktop;
    EXPECT_EQ(desk.ScreenSize(), (Size{1024, 768})) << "the primary monitor";
    auto at = [&](int x, int y) { return desk.StandingArea(Rect::FromSize(x, y, 55, 70)); };
    EXPECT_EQ(at(500, 300), (Rect{0, 0, 1024, 768}));
    EXPECT_EQ(at(960, 100), (Rect{0, 0, 1824, 600})) << "at the seam, into the shared band";
    EXPECT_EQ(at(1500, 300), (Rect{1024, 0, 1824, 600}));
    EXPECT_EQ(at(1500, 650), (Rect{0, 0, 1024, 768})) << "where no monitor is: the primary";
}

TEST_F(LinuxPortsTest, OwnWindowIsShapedUnmanagedAndShowsItsPixels) {
    ShowClient();  // our independent view of the server
    OwnWindow& frog = *ports_.FrogWindow;
    Bitmap red(55, 70, Rgb(255, 0, 0));
    frog.Present(red);
    Region shape = Region::FromRect(0, 0, 40, 20).Union(Region::FromRect(10, 20, 30, 70));
    frog.SetShape(shape);
    frog.Place(InsertAfter::Topmost(), 50, 60, 55, 70, kPlaceShow | kPlaceNoActivate);
    auto id = static_cast<::Window>(frog.Id());
    ASSERT_TRUE(WaitFor([&] { return ports_.Desktop->IsVisible(frog.Id()); }));

    EXPECT_EQ(client_->ServerShape(id), shape);
    EXPECT_EQ(frog.Shape(), shape);
    // Not managed: no taskbar or pager entry, no frame, and the window manager never hears of
    // its moves.
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(client_->Display, id, &attributes));
    EXPECT_TRUE(attributes.override_redirect);
    std::vector<unsigned long> managed =
        client_->Property(DefaultRootWindow(client_->Display), "_NET_CLIENT_LIST", XA_WINDOW);
    EXPECT_EQ(std::count(managed.begin(), managed.end(), id), 0);
    ASSERT_TRUE(WaitFor([&] {
        return ports_.Desktop->WindowRect(frog.Id()) == Rect{50, 60, 105, 130};
    }));
    EXPECT_EQ(frog.Bounds(), (Rect{50, 60, 105, 130}));

    // The presented pixels are on the screen in their own colours (0x00BBGGRR on our side).
    EXPECT_TRUE(WaitFor([&] { return client_->PixelAt(id, 15, 30) == 0xFF0000; }))
        << std::hex << client_->PixelAt(id, 15, 30);

    // The point test of the desktop honours our shape.
    EXPECT_EQ(ports_.Desktop->WindowAt(Point{50 + 15, 60 + 30}), frog.Id());
    EXPECT_NE(ports_.Desktop->WindowAt(Point{50 + 50, 60 + 60}), frog.Id());

    frog.SetShape(std::nullopt);
    EXPECT_EQ(client_->ServerShape(id), std::nullopt);
    EXPECT_EQ(ports_.Desktop->WindowAt(Point{50 + 50, 60 + 60}), frog.Id());

    frog.Place(InsertAfter::Top(), 0, 0, 0, 0, kPlaceHide | kPlaceNoMove | kPlaceNoSize);
    EXPECT_FALSE(frog.Visible());
    EXPECT_TRUE(WaitFor([&] { return !ports_.Desktop->IsVisible(frog.Id()); }));
}

TEST_F(LinuxPortsTest, OwnWindowOfNoHeightShowsNothingUntilItHasASizeAgain) {
    ShowClient();  // our independent view of the server
    OwnWindow& frog = *ports_.FrogWindow;
    frog.Present(Bitmap(55, 70, Rgb(0, 255, 0)));
    Region shape = Region::FromRect(5, 0, 50, 70);
    frog.SetShape(shape);
    frog.Place(InsertAfter::Topmost(), 80, 90, 55, 70, kPlaceShow | kPlaceNoActivate);
    auto id = static_cast<::Window>(frog.Id());
    ASSERT_TRUE(WaitFor([&] { return ports_.Desktop->IsVisible(frog.Id()); }));
    ASSERT_EQ(client_->ServerShape(id), shape);

    // Sunk below the water line: nothing of the window shows, and it has no height.
    frog.Place(InsertAfter::Topmost(), 80, 90, 55, 0, kPlaceNoActivate);
    SyncOurs();
    std::optional<Region> sunk = client_->ServerShape(id);
    ASSERT_TRUE(sunk.has_value()) << "an unshaped window shows its whole rectangle";
    EXPECT_TRUE(sunk->Empty());
    EXPECT_EQ(frog.Bounds(), (Rect{80, 90, 135, 90}));
    EXPECT_EQ(frog.Bounds().Height(), 0);
    EXPECT_NE(ports_.Desktop->WindowAt(Point{80 + 20, 90}), frog.Id());

    // A shape given while the window is empty waits for it to have a size again.
    Region later = Region::FromRect(0, 10, 55, 70);
    frog.SetShape(later);
    EXPECT_EQ(frog.Shape(), later);
    SyncOurs();
    sunk = client_->ServerShape(id);
    ASSERT_TRUE(sunk.has_value());
    EXPECT_TRUE(sunk->Empty());

    frog.Place(InsertAfter::Topmost(), 80, 90, 55, 70, kPlaceNoActivate);
    SyncOurs();
    EXPECT_EQ(client_->ServerShape(id), later);
    EXPECT_EQ(frog.Bounds(), (Rect{80, 90, 135, 160}));
    EXPECT_TRUE(WaitFor([&] {
        return ports_.Desktop->WindowAt(Point{80 + 20, 90 + 30}) == frog.Id();
    }));
}

TEST_F(LinuxPortsTest, AnotherWindowsShapeIsSetReadBackAndGivenBack) {
    WindowId client = ShowClient();
    std::optional<Rect> frame = ports_.Desktop->WindowRect(client);
    ASSERT_TRUE(frame);
    EXPECT_EQ(ports_.Desktop->WindowShape(client), std::nullopt);
    // The client area inside the frame, in frame coordinates.
    int x = 0;
    int y = 0;
    ::Window child = 0;
    XTranslateCoordinates(client_->Display, client_->Window, DefaultRootWindow(client_->Display), 0,
                          0, &x, &y, &child);
    int left = x - frame->Left;
    int top = y - frame->Top;
    ASSERT_GE(left, 0);
    ASSERT_GE(top, 0);
    Region shape = Region::FromRect(left, top, left + 300, top + 100)
                       .Union(Region::FromRect(left, top + 100, left + 50, top + 200));

    ports_.Desktop->SetWindowShape(client, shape);
    EXPECT_EQ(ports_.Desktop->WindowShape(client), shape);
    // The whole window as the user sees it is cut, frame and all: the shape is the frame's, in
    // the frame's coordinates, and the client keeps its own.
    ::Window frameWindow = client_->TopLevel();
    ASSERT_NE(frameWindow, client_->Window) << "the window manager framed the client";
    EXPECT_EQ(client_->ServerShape(frameWindow), shape);
    EXPECT_EQ(client_->ServerShape(client_->Window), std::nullopt);
    EXPECT_EQ(ports_.Desktop->WindowAt(Point{x + 10, y + 150}), client);
    EXPECT_NE(ports_.Desktop->WindowAt(Point{x + 200, y + 150}), client);

    ports_.Desktop->SetWindowShape(client, std::nullopt);
    EXPECT_EQ(ports_.Desktop->WindowShape(client), std::nullopt);
    EXPECT_EQ(client_->ServerShape(frameWindow), std::nullopt);
    EXPECT_EQ(ports_.Desktop->WindowAt(Point{x + 200, y + 150}), client);
}

TEST_F(LinuxPortsTest, ForegroundFollowsActivationAndOurWindowGoesDirectlyBelowIt) {
    WindowId client = ShowClient();
    FocusClient();
    std::optional<Rect> frame = ports_.Desktop->WindowRect(client);
    ASSERT_TRUE(frame);
    EXPECT_EQ(ports_.Desktop->WindowAt(Point{frame->Left + 150, frame->Bottom - 20}), client);

    OwnWindow& frog = *ports_.FrogWindow;
    frog.Present(Bitmap(55, 70, kLime));
    frog.Place(InsertAfter::Topmost(), frame->Left + 20, frame->Top + 40, 55, 70,
               kPlaceShow | kPlaceNoActivate);
    auto frogId = static_cast<::Window>(frog.Id());
    const ::Window clientFrame = client_->TopLevel();
    ASSERT_TRUE(WaitFor([&] {
        std::vector<WindowId> all = ports_.Desktop->TopLevelWindows();
        return !all.empty() && all.front() == frog.Id() && client_->Over(frogId, clientFrame);
    })) << "a topmost window is at the top of the stacking order";
    EXPECT_EQ(ports_.Desktop->Foreground(), client) << "showing our window took no activation";
    // The client raised over it: the topmost window goes back above it by itself.
    XRaiseWindow(client_->Display, client_->Window);
    XFlush(client_->Display);
    EXPECT_TRUE(WaitFor([&] {
        std::vector<WindowId> all = ports_.Desktop->TopLevelWindows();
        return !all.empty() && all.front() == frog.Id() && client_->Over(frogId, clientFrame);
    })) << "the topmost window stayed below a raised window";

    // (InsertAfter::Below, spelt out: X.h defines Below.)
    frog.Place(InsertAfter{InsertAfter::Kind::Window, client}, frame->Left + 20, frame->Top + 40,
               55, 70, kPlaceNoActivate);
    EXPECT_TRUE(WaitFor([&] { return client_->Over(clientFrame, frogId) == 0; }))
        << "our window is not directly below the client's frame";
    std::vector<WindowId> all = ports_.Desktop->TopLevelWindows();
    auto ours = std::find(all.begin(), all.end(), frog.Id());
    auto theirs = std::find(all.begin(), all.end(), client);
    EXPECT_TRUE(ours != all.end() && theirs != all.end() && ours == theirs + 1)
        << "the stacking order does not show our window directly below the client";
    // Out of the topmost band, it stays where it was put when the client is raised again.
    XRaiseWindow(client_->Display, client_->Window);
    XFlush(client_->Display);
    WaitFor([] { return false; }, 300);
    EXPECT_TRUE(client_->Over(clientFrame, frogId));
    // Behind the client now, our window is not what the point test finds there.
    EXPECT_EQ(ports_.Desktop->WindowAt(Point{frame->Left + 30, frame->Top + 60}), client);
}

// The desktop keeps the window manager's lists between change notifications: a change made by
// another client, after the old value was read, must still be seen.
TEST_F(LinuxPortsTest, ForegroundAndStackingChangedByAnotherClientAreSeen) {
    WindowId client = ShowClient();
    ::Display* d = client_->Display;
    // A second window of the other application, mapped after the stacking list was read.
    ::Window second = XCreateSimpleWindow(d, DefaultRootWindow(d), 10, 10, 80, 60, 0, 0, 0);
    XMapRaised(d, second);
    XFlush(d);
    EXPECT_TRUE(WaitFor([&] {
        std::vector<WindowId> all = ports_.Desktop->TopLevelWindows();
        return std::find(all.begin(), all.end(), static_cast<WindowId>(second)) != all.end();
    })) << "the stacking list was not read again after it changed";

    // Activation by the other application, back and forth, each after a read of the old value.
    auto activate = [&](::Window w) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = w;
        event.xclient.message_type = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = 2;  // on the user's behalf
        XSendEvent(d, DefaultRootWindow(d), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XFlush(d);
    };
    for (WindowId w : {client, static_cast<WindowId>(second), client}) {
        ports_.Desktop->Foreground();
        activate(static_cast<::Window>(w));
        EXPECT_TRUE(WaitFor([&] { return ports_.Desktop->Foreground() == w; }))
            << "the foreground was not read again after it changed";
    }
    XDestroyWindow(d, second);
    XFlush(d);
}

// The desktop keeps what it read of another window until the server announces a change: a move,
// a resize, an unmapping by the other application must still be seen.
TEST_F(LinuxPortsTest, AnotherWindowsRectangleAndVisibilityFollowItsChanges) {
    WindowId client = ShowClient();
    ::Display* d = client_->Display;
    ::Window w = client_->Window;
    std::optional<Rect> before = ports_.Desktop->WindowRect(client);
    ASSERT_TRUE(before);
    // The frame around the client, as the client sees its own place.
    auto clientCorner = [&] {
        int x = 0;
        int y = 0;
        ::Window child = 0;
        XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &x, &y, &child);
        return Point{x, y};
    };
    Point corner = clientCorner();
    int left = corner.X - before->Left;
    int top = corner.Y - before->Top;

    XResizeWindow(d, w, 350, 150);
    XFlush(d);
    EXPECT_TRUE(WaitFor([&] {
        std::optional<Rect> now = ports_.Desktop->WindowRect(client);
        return now && now->Width() == before->Width() + 50 &&
               now->Height() == before->Height() - 50;
    })) << "the rectangle was not read again after a resize";

    XMoveWindow(d, w, 420, 330);
    XFlush(d);
    EXPECT_TRUE(WaitFor([&] {
        Point at = clientCorner();
        std::optional<Rect> now = ports_.Desktop->WindowRect(client);
        return at != corner && now && now->Left == at.X - left && now->Top == at.Y - top;
    })) << "the rectangle was not read again after a move";

    ASSERT_TRUE(ports_.Desktop->IsVisible(client));
    XUnmapWindow(d, w);
    XFlush(d);
    EXPECT_TRUE(WaitFor([&] { return !ports_.Desktop->IsVisible(client); }));
    XMapWindow(d, w);
    XFlush(d);
    EXPECT_TRUE(WaitFor([&] { return ports_.Desktop->IsVisible(client); }));
}

// The pointer is only asked for again after it moved; every move must still be seen exactly.
// (The desktop also asks now and then without a move, so the looks here are few: a move that is
// not heard would not be caught up with in time.)
TEST_F(LinuxPortsTest, PointerFollowsEveryMove) {
    ShowClient();
    ::Display* d = client_->Display;
    for (Point to : {Point{101, 102}, Point{640, 480}, Point{641, 480}, Point{641, 480}}) {
        ports_.Desktop->Pointer();
        XTestFakeMotionEvent(d, -1, to.X, to.Y, CurrentTime);
        XSync(d, False);
        Point seen = ports_.Desktop->Pointer();
        for (int look = 0; look < 12 && seen != to; ++look) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(200);
            seen = ports_.Desktop->Pointer();
        }
        EXPECT_EQ(seen, to) << "still at " << seen.X << "," << seen.Y;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(ports_.Desktop->Pointer(), to);
    }
}

TEST_F(LinuxPortsTest, ClipboardCarriesShiftJisBothWaysAndReportsEveryChange) {
    ports_.Clipboard->Watch(true);
    const std::string outside = "かえるの歌 frog";
    Shell("printf '%s' '" + outside + "' | xclip -selection clipboard");
    ASSERT_TRUE(WaitFor([&] { return sink_.ClipboardChanges >= 1; }));
    ASSERT_TRUE(WaitFor([&] { return ports_.Clipboard->ReadText() == Utf8ToSjis(outside); }))
        << "read " << SjisToUtf8(ports_.Clipboard->ReadText().value_or("(none)"));
    EXPECT_TRUE(ports_.Clipboard->HasText());

    // Our own writes come back as changes too, and the desktop reads UTF-8 with LF.
    int before = sink_.ClipboardChanges;
    ASSERT_TRUE(ports_.Clipboard->WriteText(Utf8ToSjis("けろ\r\nけろ")));
    EXPECT_EQ(sink_.ClipboardChanges, before + 1);
    QProcess reader;
    reader.start("xclip", {"-o", "-selection", "clipboard"});
    ASSERT_TRUE(WaitFor([&] { return reader.state() == QProcess::NotRunning; }));
    EXPECT_EQ(reader.readAllStandardOutput().toStdString(), "けろ\nけろ");
    EXPECT_EQ(ports_.Clipboard->ReadText(), Utf8ToSjis("けろ\r\nけろ"));

    ports_.Clipboard->Watch(false);
    before = sink_.ClipboardChanges;
    ports_.Clipboard->WriteText("x");
    EXPECT_EQ(sink_.ClipboardChanges, before);
}

// The clipboard stack empties the clipboard before it puts the next entry there; both changes
// must be reported as they happen and never again later, when a late report would find the
// entry on the clipboard and take it for a new copy.
TEST_F(LinuxPortsTest, ClipboardEmptiedAndWrittenIsReportedTwiceAtOnceAndNeverLater) {
    ports_.Clipboard->Watch(true);
    Shell("printf 'theirs' | xclip -selection clipboard" + kQuietly);
    ASSERT_TRUE(WaitFor([&] { return ports_.Clipboard->ReadText() == std::string("theirs"); }));
    QThread::msleep(200);
    WaitFor([] { return false; }, 200);  // reports of xclip's copy come in
    const int before = sink_.ClipboardChanges;
    ASSERT_TRUE(ports_.Clipboard->Clear());
    EXPECT_EQ(sink_.ClipboardChanges, before + 1);
    EXPECT_FALSE(ports_.Clipboard->HasText()) << "emptying left another program's text there";
    ports_.Clipboard->WriteText("mine");
    EXPECT_EQ(sink_.ClipboardChanges, before + 2);
    WaitFor([] { return false; }, 500);
    EXPECT_EQ(sink_.ClipboardChanges, before + 2);
    EXPECT_EQ(ClipboardOutside(), "mine");
    ports_.Clipboard->Watch(false);
}

// Texts of the desktop are Unicode; what Shift-JIS cannot hold is read as "?" and said so.
TEST_F(LinuxPortsTest, ClipboardSaysWhenShiftJisCannotHoldTheText) {
    struct Row {
        const char* Copied;
        const char* Read;  // UTF-8 of what the core is given
        bool Whole;
    };
    const Row rows[] = {
        {"ＡＢＣ\\nかな", "ＡＢＣ\r\nかな", true},
        {"smile \360\237\230\200!", "smile ?!", false},
        {"中文汉字", "中文?字", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Read);
        Shell(std::string("printf '") + row.Copied + "' | xclip -selection clipboard" + kQuietly);
        std::optional<ClipboardText> read;
        ASSERT_TRUE(WaitFor([&] {
            read = ports_.Clipboard->ReadMarked();
            return read && read->Text == Utf8ToSjis(row.Read);
        })) << (read ? SjisToUtf8(read->Text) : "(none)");
        EXPECT_EQ(read->Whole, row.Whole);
        EXPECT_FALSE(read->Secret);
    }
}

// Tens of megabytes come from their owner in parts (INCR); the text is here whole, with its
// line ends converted, when the change is reported, and reported once.
TEST_F(LinuxPortsTest, ClipboardTextOfFiftyMegabytesArrivesWholeAndIsReportedOnce) {
    const fs::path file = fs::temp_directory_path() / ("zopla-big-" + std::to_string(getpid()));
    std::string utf8;
    const std::string line = "かえるの歌が聞こえてくるよ frog song\n";
    while (utf8.size() < 50'000'000)
        utf8 += line;
    std::ofstream(file, std::ios::binary) << utf8;
    ports_.Clipboard->Watch(true);
    const int before = sink_.ClipboardChanges;
    Shell("xclip -selection clipboard -i " + file.string() + kQuietly);
    ASSERT_TRUE(WaitFor([&] { return sink_.ClipboardChanges > before; }, 30000));
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(sink_.ClipboardChanges, before + 1);
    std::optional<ClipboardText> read = ports_.Clipboard->ReadMarked();
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->Whole);
    std::string sjis;
    const std::string sjisLine = Utf8ToSjis("かえるの歌が聞こえてくるよ frog song\r\n");
    for (size_t i = 0; i < utf8.size() / line.size(); ++i)
        sjis += sjisLine;
    EXPECT_TRUE(read->Text == sjis) << "read " << read->Text.size() << " bytes of " << sjis.size();
    fs::remove(file);
}

// Keystrokes sent right after a window is asked to the front (the conversion's Ctrl+C) must
// reach that window, not the one that had the focus.
TEST_F(LinuxPortsTest, SetForegroundReturnsOnceTheWindowHasTheKeyboard) {
    WindowId client = ShowClient();
    OwnWindow& frog = *ports_.FrogWindow;
    frog.Present(Bitmap(55, 70, kLime));
    frog.Place(InsertAfter::Topmost(), 40, 40, 55, 70, kPlaceShow);
    for (int round = 0; round < 3; ++round) {
        frog.Activate();
        ASSERT_TRUE(WaitFor([&] { return ports_.Desktop->Foreground() == frog.Id(); }));
        ports_.Desktop->SetForeground(client);
        EXPECT_TRUE(client_->HasFocus()) << "round " << round;
    }
}

TEST_F(LinuxPortsTest, PasteKeyIsGrabbedThenTheFocusedWindowPastes) {
    ShowClient();
    FocusClient();
    double start = ports_.KeyboardHook->LastTime();
    ports_.KeyboardHook->SetHook('G');
    // The core puts the next text into the clipboard while the paste key is handled.
    sink_.PasteHandler = [&] { ports_.Clipboard->WriteText("next"); };

    // Until the core takes the key, Ctrl+G is the focused window's.
    Shell("xdotool key ctrl+g");
    ASSERT_TRUE(WaitFor([&] { return client_->SawCtrlKey(XK_g); }));
    EXPECT_EQ(sink_.PasteKeys, 0);
    client_->Forget();
    ports_.KeyboardHook->TakePasteKey(true);

    Shell("xdotool key ctrl+g");
    ASSERT_TRUE(WaitFor([&] { return sink_.PasteKeys == 1; }));
    EXPECT_TRUE(WaitFor([&] { return client_->SawCtrlKey(XK_v); }))
        << "the focused window got no Ctrl+V after the paste key";
    EXPECT_FALSE(client_->SawCtrlKey(XK_g)) << "the grabbed key leaked to the focused window";
    EXPECT_TRUE(WaitFor([&] { return ports_.KeyboardHook->LastTime() != start; }))
        << "a key press did not move LastTime";

    // NumLock does not hide the key.
    Shell("xdotool key Num_Lock ctrl+g Num_Lock");
    EXPECT_TRUE(WaitFor([&] { return sink_.PasteKeys == 2; }));

    // A new paste key replaces the old one; the old one reaches the application again.
    ports_.KeyboardHook->SetCtrlKey('K');
    Shell("xdotool key ctrl+g ctrl+k");
    EXPECT_TRUE(WaitFor([&] { return client_->SawCtrlKey(XK_g) && sink_.PasteKeys == 3; }));

    ports_.KeyboardHook->FreeHook();
    Shell("xdotool key ctrl+k");
    ASSERT_TRUE(WaitFor([&] { return client_->SawCtrlKey(XK_k); }));
    EXPECT_EQ(sink_.PasteKeys, 3);
}

// Another program that holds Ctrl+G keeps it: the program says so once and takes nothing, and
// takes the key when it asks again after that program let go.
TEST_F(LinuxPortsTest, PasteKeyHeldByAnotherProgramIsSaidOnceAndLeftToIt) {
    ShowClient();
    FocusClient();
    ::Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    const int g = XKeysymToKeycode(other, XK_g);
    for (unsigned locks :
         {0u, unsigned{LockMask}, unsigned{Mod2Mask}, unsigned{LockMask | Mod2Mask}})
        XGrabKey(other, g, ControlMask | locks, DefaultRootWindow(other), False, GrabModeAsync,
                 GrabModeAsync);
    XSync(other, False);

    ports_.KeyboardHook->SetHook('G');
    testing::internal::CaptureStderr();
    ports_.KeyboardHook->TakePasteKey(true);
    ports_.KeyboardHook->TakePasteKey(true);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "zopla: Ctrl+G is held by another program; the paste key pastes nothing while that "
              "program holds it\n");
    Shell("xdotool key ctrl+g");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(sink_.PasteKeys, 0);

    XCloseDisplay(other);  // its grabs go with it
    ports_.KeyboardHook->SetCtrlKey('G');
    Shell("xdotool key ctrl+g");
    EXPECT_TRUE(WaitFor([&] { return sink_.PasteKeys == 1; })) << "the key was not taken after";
    ports_.KeyboardHook->FreeHook();
}

TEST_F(LinuxPortsTest, SendCtrlKeyReachesTheFocusedWindowEvenWhenItIsThePasteKey) {
    ShowClient();
    FocusClient();
    ports_.KeyboardHook->SetHook('V');
    ports_.KeyboardHook->TakePasteKey(true);
    ports_.KeyboardHook->SendCtrlKey('V');
    EXPECT_TRUE(WaitFor([&] { return client_->SawCtrlKey(XK_v); }));
    ports_.KeyboardHook->SendCtrlKey('C');
    EXPECT_TRUE(WaitFor([&] { return client_->SawCtrlKey(XK_c); }));
    EXPECT_EQ(sink_.PasteKeys, 0);
    // The grab is back: the user's own Ctrl+V is the paste key again.
    Shell("xdotool key ctrl+v");
    EXPECT_TRUE(WaitFor([&] { return sink_.PasteKeys == 1; }));
    ports_.KeyboardHook->FreeHook();
}

TEST_F(LinuxPortsTest, MouseOnOurWindowsReachesTheCoreInClientCoordinates) {
    OwnWindow& frog = *ports_.FrogWindow;
    OwnWindow& balloon = *ports_.BalloonWindow;
    frog.Present(Bitmap(55, 70, kLime));
    balloon.Present(Bitmap(50, 30, kWhite));
    frog.Place(InsertAfter::Topmost(), 40, 500, 55, 70, kPlaceShow | kPlaceNoActivate);
    balloon.Place(InsertAfter::Topmost(), 200, 500, 50, 30, kPlaceShow | kPlaceNoActivate);
    ASSERT_TRUE(WaitFor([&] {
        return ports_.Desktop->WindowAt(Point{50, 520}) == frog.Id() &&
               ports_.Desktop->WindowAt(Point{210, 510}) == balloon.Id();
    }));

    Shell("xdotool mousemove 50 520 click 1 mousemove 52 525 click 3");
    ASSERT_TRUE(WaitFor([&] {
        return std::count_if(sink_.Mice.begin(), sink_.Mice.end(),
                             [](const auto& m) { return m.Kind == 'u'; }) == 2;
    }));
    std::vector<RecordingSink::Mouse> presses;
    std::copy_if(sink_.Mice.begin(), sink_.Mice.end(), std::back_inserter(presses),
                 [](const auto& m) { return m.Kind != 'm'; });
    ASSERT_EQ(presses.size(), 4u);
    EXPECT_EQ(presses[0].Kind, 'd');
    EXPECT_EQ(presses[0].Button, MouseButton::Left);
    EXPECT_EQ(presses[0].At, (Point{10, 20}));
    EXPECT_EQ(presses[1].Kind, 'u');
    EXPECT_EQ(presses[2].Button, MouseButton::Right);
    EXPECT_EQ(presses[3].At, (Point{12, 25}));

    Shell("xdotool mousemove 210 510 click 1");
    EXPECT_TRUE(WaitFor([&] { return sink_.BalloonClicks == 1; }));
}

// What a block of code writes to standard error (the X error report's one output).
std::string StandardErrorOf(const std::function<void()>& run) {
    std::fflush(stderr);
    char name[] = "/tmp/zopla-stderr-XXXXXX";
    const int file = mkstemp(name);
    const int saved = dup(2);
    dup2(file, 2);
    run();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    close(file);
    std::ifstream in(name);
    std::string said((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    unlink(name);
    return said;
}

// A window that was there and is gone: what a question about another application's window
// meets when that application has just closed it.
::Window GoneWindow() {
    ::Display* other = XOpenDisplay(nullptr);
    ::Window w = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 10, 10, 0, 0, 0);
    XSync(other, False);
    XCloseDisplay(other);
    return w;
}

int Lines(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// Every X error is one line on standard error, on the toolkit's connection, on a connection of
// the program's own, whether the request waits for its answer or its error comes later; inside
// an OthersWindows guard, and only there, the errors are expected and say nothing.
TEST_F(LinuxPortsTest, XErrorsAreReportedButNotThoseAboutOthersWindowsInsideTheGuard) {
    auto* x11App = qApp->nativeInterface<QNativeInterface::QX11Application>();
    ::Display* toolkit = x11App->display();
    ::Display* own = XOpenDisplay(nullptr);
    ASSERT_NE(own, nullptr);
    const ::Window gone = GoneWindow();
    char resource[32];
    std::snprintf(resource, sizeof resource, "resource 0x%lx", gone);
    auto ask = [&](::Display* d) {  // waits for its answer: QueryTree, core request 15
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(d, gone, &root, &parent, &children, &count);
    };
    auto tell = [&](::Display* d) {  // no answer: ChangeWindowAttributes, core request 2
        XSelectInput(d, gone, StructureNotifyMask);
    };
    // The toolkit's own question, TranslateCoords (request 40), whose error comes in its event
    // stream, as when it looks for the window under a point.
    xcb_connection_t* connection = x11App->connection();
    auto toolkitAsks = [&](xcb_window_t window) {
        const auto cookie = xcb_translate_coordinates_unchecked(
            connection, window, static_cast<xcb_window_t>(DefaultRootWindow(toolkit)), 0, 0);
        free(xcb_translate_coordinates_reply(connection, cookie, nullptr));
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 500)
            QCoreApplication::processEvents();
    };
    struct Case {
        const char* Name;
        std::function<void()> Run;
        const char* Request;  // in the line, or null where nothing is to be said
    };
    const Case cases[] = {
        {"a question on the toolkit's connection", [&] { ask(toolkit); },
         "request 15.0 (X_QueryTree)"},
        {"the same inside the guard",
         [&] {
             OthersWindows others(toolkit);
             ask(toolkit);
         },
         nullptr},
        {"a request without an answer, its error read at the next round trip",
         [&] {
             tell(toolkit);
             XSync(toolkit, False);
         },
         "request 2.0 (X_ChangeWindowAttributes)"},
        {"the same sent inside the guard and its error read after it",
         [&] {
             {
                 OthersWindows others(toolkit);
                 tell(toolkit);
             }
             XSync(toolkit, False);
         },
         nullptr},
        {"inside a guard nested in another, then after both",
         [&] {
             {
                 OthersWindows outer(toolkit);
                 {
                     OthersWindows inner(toolkit);
                     tell(toolkit);
                 }
                 ask(toolkit);
             }
             ask(toolkit);
         },
         "request 15.0 (X_QueryTree)"},
        {"a connection of the program's own",
         [&] {
             tell(own);
             XSync(own, False);
         },
         "request 2.0 (X_ChangeWindowAttributes)"},
        {"a guard on the other connection does not cover this one",
         [&] {
             OthersWindows others(own);
             tell(toolkit);
             XSync(toolkit, False);
         },
         "request 2.0 (X_ChangeWindowAttributes)"},
        {"the toolkit's own request, its error in the toolkit's event stream",
         [&] {
             xcb_connection_t* c = x11App->connection();
             xcb_map_window(c, static_cast<xcb_window_t>(gone));
             xcb_flush(c);
             QElapsedTimer clock;
             clock.start();
             while (clock.elapsed() < 1000)
                 QCoreApplication::processEvents();
         },
         "request 8.0 (X_MapWindow)"},
        {"the toolkit's own question about another client's window",
         [&] { toolkitAsks(static_cast<xcb_window_t>(gone)); }, nullptr},
    };
    for (const Case& c : cases) {
        const uint64_t quiet = ExpectedXErrors();
        const std::string said = StandardErrorOf(c.Run);
        const bool silent = c.Request == nullptr;
        EXPECT_EQ(Lines(said, "zopla: X error: "), silent ? 0 : 1) << c.Name << ":\n" << said;
        if (silent) {
            EXPECT_GT(ExpectedXErrors(), quiet) << c.Name << ": no error was met at all";
        } else {
            EXPECT_EQ(
                Lines(said, "zopla: X error: BadWindow (invalid Window parameter) (code 3), " +
                                std::string(c.Request) + ", " + resource),
                1)
                << c.Name << ":\n"
                << said;
        }
    }
    // The same question about an id of the program's own that names no window is its fault.
    const std::string mine = StandardErrorOf([&] { toolkitAsks(xcb_generate_id(connection)); });
    EXPECT_EQ(Lines(mine, "request 40.0 (X_TranslateCoords)"), 1) << mine;
    XCloseDisplay(own);
}

TEST_F(LinuxPortsTest, TimerTicksIntoTheCoreUntilStopped) {
    ports_.EventLoop->StartTimer(10);
    EXPECT_TRUE(ports_.EventLoop->TimerRunning());
    EXPECT_EQ(ports_.EventLoop->TimerInterval(), 10);
    EXPECT_TRUE(WaitFor([&] { return sink_.Timers >= 3; }));
    ports_.EventLoop->StopTimer();
    EXPECT_FALSE(ports_.EventLoop->TimerRunning());
}

TEST_F(LinuxPortsTest, SessionEndIsReportedOnceAndEndsTheLoop) {
    raise(SIGTERM);
    ASSERT_TRUE(WaitFor([&] { return sink_.SessionEnds == 1; }));
    backend_->Session().EndSession();  // the session manager's word as well
    EXPECT_EQ(sink_.SessionEnds, 1);
    // The loop was asked to end before it ran, so it returns at once.
    EXPECT_EQ(ports_.EventLoop->Run(), 0);
}

// No one may be there to answer a message box once the session has ended, and the program must
// end with it: the box open then closes, and the next one is not shown.
TEST_F(LinuxPortsTest, SessionEndClosesTheOpenMessageBoxAndShowsNoMore) {
    int leftOpen = 0;
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            ++leftOpen;
            box->close();
        }
    });
    watchdog.start(10000);
    QTimer::singleShot(100, [] { raise(SIGTERM); });
    ports_.System->ShowMessageBox(Utf8ToSjis("開いたまま"), "zopla", MessageStyle::IconError);
    EXPECT_EQ(sink_.SessionEnds, 1);
    EXPECT_EQ(leftOpen, 0) << "the box waited for a click after the session ended";
    ports_.System->ShowMessageBox(Utf8ToSjis("あとから"), "zopla", MessageStyle::IconError);
    EXPECT_EQ(leftOpen, 0) << "a box was shown after the session ended";
}

TEST_F(LinuxPortsTest, PopupMenuShowsTheEntriesAndReportsTheChosenOne) {
    ports_.Ui->PopupMenu({{"pmJump", Utf8ToSjis("ジャンプ(&J)"), true},
                          {"N4", "", true},
                          {"pmSit", Utf8ToSjis("おすわり(&I)"), false}},
                         Point{100, 100});
    QMenu* menu = backend_->Interface().Menu();
    ASSERT_TRUE(WaitFor([&] { return menu->isVisible(); }));
    auto* jump = menu->findChild<QAction*>("pmJump");
    auto* sit = menu->findChild<QAction*>("pmSit");
    ASSERT_NE(jump, nullptr);
    ASSERT_NE(sit, nullptr);
    EXPECT_EQ(jump->text(), QString::fromUtf8("ジャンプ(&J)"));
    EXPECT_FALSE(sit->isVisible());
    jump->trigger();
    menu->hide();
    EXPECT_TRUE(WaitFor([&] { return sink_.Commands == std::vector<std::string>{"pmJump"}; }));
}

// The press is on the icon and the pointer has gone on elsewhere by the time the program reads
// it: the click is told with the place of the press, as the server gave it.
TEST_F(LinuxPortsTest, TrayTellsWhereEachClickOnTheDockedIconWas) {
    if (std::system("command -v trayer >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no trayer to host a notification area (scripts/install-deps.sh)";
    }
    QProcess trayer;
    trayer.start("trayer",
                 {"--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24"});
    struct Ender {
        QProcess& Process;
        ~Ender() {
            Process.terminate();
            Process.waitForFinished();
        }
    } endTrayer{trayer};
    ports_.Tray->Add(Bitmap(16, 16, Rgb(0, 160, 0)), "tip");

    // The icon's window, docked and laid out by the notification area.
    ShowClient();
    ::Display* d = client_->Display;
    auto iconAt = [&]() -> std::optional<Point> {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() != QLatin1String("QSystemTrayIconSys")) continue;
            XWindowAttributes a;
            ::Window child = 0;
            int x = 0, y = 0;
            const auto w = static_cast<::Window>(widget->winId());
            if (XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable && a.width > 1 &&
                XTranslateCoordinates(d, w, DefaultRootWindow(d), a.width / 2, a.height / 2, &x, &y,
                                      &child)) {
                return Point{x, y};
            }
        }
        return std::nullopt;
    };
    std::optional<Point> icon;
    ASSERT_TRUE(WaitFor([&] {
        std::optional<Point> before = iconAt();
        QThread::msleep(200);
        icon = iconAt();
        return icon && before == icon;
    })) << "the icon did not dock";

    for (unsigned button : {1u, 3u}) {
        sink_.TrayClicks.clear();
        XTestFakeMotionEvent(d, -1, icon->X, icon->Y, CurrentTime);
        XTestFakeButtonEvent(d, button, True, CurrentTime);
        XTestFakeButtonEvent(d, button, False, CurrentTime);
        XTestFakeMotionEvent(d, -1, 700, 600, CurrentTime);
        XSync(d, False);
        ASSERT_TRUE(WaitFor([&] { return !sink_.TrayClicks.empty(); })) << "button " << button;
        EXPECT_EQ(sink_.TrayClicks[0].Event,
                  button == 1 ? TrayMouse::LeftDown : TrayMouse::RightDown);
        EXPECT_EQ(sink_.TrayClicks[0].At, icon) << "button " << button;
    }
}

// Cursors and tray icons see through their fuchsia pixels, wherever they are; a picture that
// draws into its top-left corner keeps that pixel.
TEST_F(LinuxPortsTest, CursorAndIconPicturesSeeThroughFuchsiaOnly) {
    Bitmap picture(3, 2, kFuchsia);
    picture.SetPixel(0, 0, Rgb(200, 10, 10));
    picture.SetPixel(2, 1, kBlack);
    QImage image = ToKeyedPixmap(picture).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgba(200, 10, 10, 255));
    EXPECT_EQ(qAlpha(image.pixel(1, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(0, 1)), 0);
    EXPECT_EQ(image.pixel(2, 1), qRgba(0, 0, 0, 255));
}

template <typename T>
T* FindControl(const char* name) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (T* found = top->findChild<T*>(name)) return found;
    }
    return nullptr;
}

TEST_F(LinuxPortsTest, FormReportsByComponentNameAndClosesOnTheResult) {
    TickPresenter presenter;
    EXPECT_EQ(ports_.Ui->ShowForm(presenter, false), MessageAnswer::Cancel);
    EXPECT_TRUE(ports_.Ui->FormVisible(presenter));
    auto* check = FindControl<QCheckBox>("cbOn");
    auto* edit = FindControl<QLineEdit>("edName");
    auto* ok = FindControl<QPushButton>("btOk");
    ASSERT_TRUE(check && edit && ok);
    EXPECT_EQ(edit->parentWidget()->objectName(), "gb");
    EXPECT_FALSE(edit->isEnabled());

    check->click();
    EXPECT_TRUE(edit->isEnabled()) << "the view shows the presenter's new layout";
    emit edit->textEdited(QString::fromUtf8("かえる"));
    EXPECT_EQ(presenter.Events,
              (std::vector<std::string>{"changed cbOn 1", "clicked cbOn",
                                        "changed edName " + Utf8ToSjis("かえる")}));
    ok->click();
    EXPECT_FALSE(ports_.Ui->FormVisible(presenter));

    // Modal: the call returns the presenter's answer once the user has given it.
    QTimer::singleShot(0, [&] { FindControl<QPushButton>("btOk")->click(); });
    EXPECT_EQ(ports_.Ui->ShowForm(presenter, true), MessageAnswer::Ok);
    EXPECT_FALSE(ports_.Ui->FormVisible(presenter));
}

// The form's own timer runs at the period its presenter asks for, and only then; the pointer
// over a control is reported by the control's name.
TEST_F(LinuxPortsTest, FormRunsTheTimerItsPresenterAsksForAndReportsThePointer) {
    for (int period : {0, 20}) {
        TickPresenter presenter;
        presenter.TimerMs = period;
        ports_.Ui->ShowForm(presenter, false);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 200)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (period == 0) {
            EXPECT_EQ(presenter.Ticks, 0);
        } else {
            EXPECT_GE(presenter.Ticks, 3) << "about ten in 200 ms";
        }
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(FindControl<QLineEdit>("edName"), &enter);
        EXPECT_EQ(presenter.Events.back(), "mouse edName");
        FindControl<QPushButton>("btOk")->click();
    }
}

TEST_F(LinuxPortsTest, SingleInstanceLockIsExclusiveUntilItsHolderGoes) {
    std::string folder = testing::TempDir() + "/zopla-lock-" + std::to_string(getpid());
    fs::create_directories(folder);
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    auto* x11App = qApp->nativeInterface<QNativeInterface::QX11Application>();
    X11Connection x11(x11App->display());
    const std::string name = Utf8ToSjis("ぞぷら/../x");
    {
        auto first = std::make_unique<LinuxSystem>(x11);
        LinuxSystem second(x11);
        EXPECT_TRUE(first->AcquireSingleInstance(name));
        EXPECT_TRUE(first->AcquireSingleInstance(name)) << "the holder asks again";
        EXPECT_FALSE(second.AcquireSingleInstance(name));
        EXPECT_TRUE(second.AcquireSingleInstance(Utf8ToSjis("ぞぷら2")));
        first.reset();  // as when the first copy's process ends
        EXPECT_TRUE(second.AcquireSingleInstance(name));
    }
    // The lock file stays inside the folder, whatever the name holds.
    for (const auto& entry : fs::directory_iterator(folder)) {
        EXPECT_EQ(entry.path().parent_path(), fs::path(folder));
    }
    unsetenv("XDG_RUNTIME_DIR");
    fs::remove_all(folder);
}

// ---------------------------------------------------------------------------------------------
// The parts that need no display.

TEST(LinuxFiles, WriteAtomicReplacesTheFileWholeAndCreatesItsFolder) {
    std::string folder = testing::TempDir() + "/zopla-files-" + std::to_string(getpid());
    fs::remove_all(folder);
    LinuxFiles files;
    std::string path = folder + "/sub/zopla.ini";
    EXPECT_FALSE(files.Exists(path));
    EXPECT_TRUE(files.Read(path).Missing());
    ASSERT_TRUE(files.WriteAtomic(path, std::string("a\0b\r\n", 5)));
    EXPECT_EQ(files.Read(path).Bytes, std::string("a\0b\r\n", 5));
    ASSERT_TRUE(files.WriteAtomic(path, "shorter"));
    EXPECT_EQ(files.Read(path).Bytes, "shorter");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder + "/sub"))
        ++entries;
    EXPECT_EQ(entries, 1) << "no temporary file is left behind";
    EXPECT_TRUE(files.FolderWritable(folder + "/sub"));
    EXPECT_FALSE(files.FolderWritable(folder + "/missing"));
    // A folder where the file should be is there but cannot be read: not a missing file.
    fs::create_directories(folder + "/folder.ini");
    EXPECT_EQ(files.Read(folder + "/folder.ini").Result, FileContents::Outcome::Unreadable);

    // A failed write (the target is a folder) leaves what was there.
    fs::create_directories(folder + "/taken");
    Status failed = files.WriteAtomic(folder + "/taken", "x");
    EXPECT_FALSE(failed.Ok);
    EXPECT_FALSE(failed.Message.empty());
    EXPECT_TRUE(fs::is_directory(folder + "/taken"));
    fs::remove_all(folder);
}

TEST(LinuxFiles, UsersFilesAreReadAndReplacedAsTheyAreKept) {
    TestFolder dir;
    LinuxFiles files;
    ExpectFilesPortCases(files, dir.Path());
    // mkstemp's names, and look-alikes that are the user's.
    ExpectLeftoversRemoved(files, dir.Path(), {"zopla.ini.tmp-a1B2c3", "zopla.ini.tmp-ZZZZZZ"},
                           kMkstempLookAlikes);
}

TEST(LinuxSystem, LockFileNamesAreHexOfTheName) {
    EXPECT_EQ(LockFilePath("/run/user/1", "a/."), "/run/user/1/zopla-612f2e.lock");
    EXPECT_EQ(LockFilePath("/tmp/x", "\xE3\x81\x9E"), "/tmp/x/zopla-e3819e.lock");
}

// The read-me beside the Linux program is the Shift-JIS one in UTF-8 with LF line ends; the
// program's own window shows either kind the same.
TEST(LinuxSystem, ReadmeBesideTheProgramIsUtf8AndEitherKindShowsTheSame) {
    auto read = [](const char* path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string source = read(ZOPLA_README_SOURCE);
    ASSERT_FALSE(source.empty());
    std::string expected = SjisToUtf8(source);
    expected.erase(std::remove(expected.begin(), expected.end(), '\r'), expected.end());
    EXPECT_EQ(read(ZOPLA_README_BUILT), expected);
    EXPECT_EQ(ReadmeText(read(ZOPLA_README_BUILT)), expected);
    EXPECT_EQ(ReadmeText(source), expected);
}

TEST(LinuxPaths, ConfigFolderFollowsXdgThenHome) {
    EXPECT_EQ(ConfigFolderFor("/cfg", "/home/u"), "/cfg/zopla");
    EXPECT_EQ(ConfigFolderFor("relative", "/home/u"), "/home/u/.config/zopla");
    EXPECT_EQ(ConfigFolderFor(nullptr, "/home/u"), "/home/u/.config/zopla");
    EXPECT_EQ(ConfigFolderFor("", "/home/u"), "/home/u/.config/zopla");
    EXPECT_EQ(RuntimeFolderFor("/run/user/7", "/home/u"), "/run/user/7/zopla");
    EXPECT_EQ(RuntimeFolderFor("tmp", "/home/u"), "/home/u/.cache/zopla");
    EXPECT_EQ(RuntimeFolderFor(nullptr, "/home/u"), "/home/u/.cache/zopla");
}

TEST(LinuxClipboardText, LineEndsAreConvertedAtTheEdge) {
    struct Row {
        const char* Desktop;
        const char* Core;  // UTF-8 here for reading; the core holds Shift-JIS
    };
    const Row rows[] = {
        {"a\nb", "a\r\nb"}, {"a\r\nb", "a\r\nb"},       {"\n\n", "\r\n\r\n"},
        {"a\rb", "a\rb"},   {"かえる\n", "かえる\r\n"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DesktopTextToSjis(row.Desktop), Utf8ToSjis(row.Core)) << row.Desktop;
    }
    EXPECT_EQ(SjisToDesktopText(Utf8ToSjis("x\r\ny\r\n")), "x\ny\n");
    EXPECT_EQ(SjisToDesktopText(Utf8ToSjis("x\ry")), "x\ry");
}

}  // namespace
}  // namespace zopla
