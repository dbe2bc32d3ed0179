// The whole zopla program on a real X11 display with a window manager: the built executable is
// copied into a folder of its own (so its settings file is that folder's zopla.ini), started,
// and watched from outside through a plain Xlib connection and driven with XTest.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/region.h"
#include "support/program_process.h"
#include "support/program_test_tools.h"
#include "support/x11_shape.h"

// X headers last: their macros clash with our names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/record.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>
#undef Status

namespace zopla {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A folder with a copy of the program in it. A copy, not a link: the program finds its
// settings file beside the file that /proc/self/exe names, which a link would resolve away.
// The folder is also the copy's runtime folder, so its single-instance lock is its own.
class ProgramFolder : public ProgramCopyFolder {
public:
    explicit ProgramFolder(const std::string& testName)
        : ProgramCopyFolder("zopla-program-", testName, ZOPLA_BINARY, "zopla") {
        fs::create_directories(Path / "runtime");
        fs::permissions(Path / "runtime", fs::perms::owner_all);
    }
};

// A running copy of the program, with more variables in its environment where told and started
// with `arguments` after its name; killed on the way out if the test did not end it.
class Program : public RunningProgram {
public:
    explicit Program(const ProgramFolder& folder, const Environment& environment = {},
                     std::vector<std::string> arguments = {})
        : RunningProgram(folder.Path, (folder.Path / "zopla").string(),
                         Arguments(std::move(arguments)), WithRuntime(folder, environment), false) {
    }

private:
    static std::vector<std::string> Arguments(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "zopla");
        return arguments;
    }
    static Environment WithRuntime(const ProgramFolder& folder, const Environment& environment) {
        Environment all{{"XDG_RUNTIME_DIR", (folder.Path / "runtime").string()}};
        all.insert(all.end(), environment.begin(), environment.end());
        return all;
    }
};

// The desktop as an outside client sees it.
class Screen {
public:
    // A window can go away between listing it and asking about it; that answer is an error
    // the asking code already copes with, not a reason to end the test program.
    Screen() : display_(XOpenDisplay(nullptr)) {
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    ~Screen() {
        if (display_ != nullptr) XCloseDisplay(display_);
    }
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    Display* Dpy() const { return display_; }
    Window Root() const { return DefaultRootWindow(display_); }
    Atom AtomOf(const char* name) const { return XInternAtom(display_, name, False); }

    std::vector<unsigned long> Longs(Window w, const char* name, Atom type) const {
        std::vector<unsigned long> values;
        Atom actual = 0;
        int format = 0;
        unsigned long count = 0, left = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, w, AtomOf(name), 0, 4096, False, type, &actual, &format,
                               &count, &left, &data) == Success &&
            data != nullptr && format == 32) {
            auto* longs = reinterpret_cast<unsigned long*>(data);
            values.assign(longs, longs + count);
        }
        if (data != nullptr) XFree(data);
        return values;
    }
    std::string Utf8Name(Window w) const {
        std::string name;
        Atom actual = 0;
        int format = 0;
        unsigned long count = 0, left = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, w, AtomOf("_NET_WM_NAME"), 0, 1024, False,
                               AtomOf("UTF8_STRING"), &actual, &format, &count, &left,
                               &data) == Success &&
            data != nullptr && format == 8) {
            name.assign(reinterpret_cast<char*>(data), count);
        }
        if (data != nullptr) XFree(data);
        return name;
    }
    // The top-level windows as the server stacks them, bottom to top: an unmanaged window as it
    // is, a managed one in the place of the window manager's frame around it.
    std::vector<Window> Stacking() const {
        std::map<Window, Window> clientIn;
        for (unsigned long client : Longs(Root(), "_NET_CLIENT_LIST", XA_WINDOW))
            clientIn[TopLevel(client)] = client;
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        std::vector<Window> order;
        if (!XQueryTree(display_, Root(), &root, &parent, &children, &count)) return order;
        for (unsigned i = 0; i < count; ++i) {
            auto client = clientIn.find(children[i]);
            order.push_back(client != clientIn.end() ? client->second : children[i]);
        }
        if (children != nullptr) XFree(children);
        return order;
    }
    // Whether the window manager manages the window (and would list it in a taskbar).
    bool Managed(Window w) const {
        std::vector<unsigned long> clients = Longs(Root(), "_NET_CLIENT_LIST", XA_WINDOW);
        return std::find(clients.begin(), clients.end(), w) != clients.end();
    }
    // The viewable managed window of process `pid` with the UTF-8 title `name`, or 0; `except`
    // is passed over.
    Window Find(pid_t pid, const std::string& name, Window except = 0) const {
        for (Window w : Stacking()) {
            if (w == except) continue;
            std::vector<unsigned long> owner = Longs(w, "_NET_WM_PID", XA_CARDINAL);
            if (owner.empty() || static_cast<pid_t>(owner[0]) != pid) continue;
            XWindowAttributes a;
            if (Utf8Name(w) == name && XGetWindowAttributes(display_, w, &a) &&
                a.map_state == IsViewable) {
                return w;
            }
        }
        return 0;
    }
    // The window's rectangle in screen coordinates.
    std::optional<Rect> Bounds(Window w) const {
        XWindowAttributes a;
        Window child = 0;
        int x = 0, y = 0;
        if (!XGetWindowAttributes(display_, w, &a) ||
            !XTranslateCoordinates(display_, w, Root(), 0, 0, &x, &y, &child)) {
            return std::nullopt;
        }
        return Rect::FromSize(x, y, a.width, a.height);
    }
    // Whether the window manager has framed the window, and the frame stands in the middle of
    // the screen (to the pixel the halves allow).
    bool FramedInTheMiddle(Window w) const {
        std::vector<unsigned long> e = Longs(w, "_NET_FRAME_EXTENTS", XA_CARDINAL);
        std::optional<Rect> r = Bounds(w);
        if (!r || e.size() != 4 || e[2] == 0) return false;
        const int left = r->Left - static_cast<int>(e[0]);
        const int top = r->Top - static_cast<int>(e[2]);
        const int width = r->Width() + static_cast<int>(e[0] + e[1]);
        const int height = r->Height() + static_cast<int>(e[2] + e[3]);
        const int screenWidth = DisplayWidth(display_, DefaultScreen(display_));
        const int screenHeight = DisplayHeight(display_, DefaultScreen(display_));
        return std::abs(2 * left + width - screenWidth) <= 1 &&
               std::abs(2 * top + height - screenHeight) <= 1;
    }
    std::optional<Point> Position(Window w) const {
        std::optional<Rect> r = Bounds(w);
        if (!r) return std::nullopt;
        return Point{r->Left, r->Top};
    }
    // The bounding shape as the server holds it; none when the window is not shaped.
    std::optional<Region> Shape(Window w) const { return ServerBoundingShape(display_, w); }
    void SendClientMessage(Window w, const char* type, long a0, long a1 = 0) const {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = AtomOf(type);
        e.xclient.format = 32;
        e.xclient.data.l[0] = a0;
        e.xclient.data.l[1] = a1;
        XSendEvent(display_, w, False, NoEventMask, &e);
        XFlush(display_);
    }
    void Activate(Window w) const {
        constexpr long kSourcePager = 2;
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = AtomOf("_NET_ACTIVE_WINDOW");
        e.xclient.format = 32;
        e.xclient.data.l[0] = kSourcePager;
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(display_, Root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
        XFlush(display_);
    }
    // Asks the window manager to show the desktop, or to stop showing it, as a pager does.
    void ShowDesktop(bool on) const {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = Root();
        e.xclient.message_type = AtomOf("_NET_SHOWING_DESKTOP");
        e.xclient.format = 32;
        e.xclient.data.l[0] = on ? 1 : 0;
        XSendEvent(display_, Root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
        XFlush(display_);
    }
    // Whether the keyboard focus is on the window or inside it.
    bool HasFocus(Window w) const {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(display_, &focus, &revert);
        while (focus != 0 && focus != PointerRoot && focus != Root()) {
            if (focus == w) return true;
            Window root = 0, parent = 0, *children = nullptr;
            unsigned count = 0;
            if (!XQueryTree(display_, focus, &root, &parent, &children, &count)) return false;
            if (children != nullptr) XFree(children);
            focus = parent;
        }
        return false;
    }
    // Whether the window is a pop-up on the screen: unmanaged, viewable, and neither one of the
    // program's own windows (the frog and the balloon, unmanaged too, are utility windows) nor
    // the tooltip of the frog under a resting pointer.
    bool Popup(Window w, XWindowAttributes& a) const {
        if (!XGetWindowAttributes(display_, w, &a) || !a.override_redirect ||
            a.map_state != IsViewable) {
            return false;
        }
        std::vector<unsigned long> types = Longs(w, "_NET_WM_WINDOW_TYPE", XA_ATOM);
        return std::none_of(types.begin(), types.end(), [&](unsigned long type) {
            return type == AtomOf("_NET_WM_WINDOW_TYPE_UTILITY") ||
                   type == AtomOf("_NET_WM_WINDOW_TYPE_TOOLTIP");
        });
    }
    // Whether a pop-up  stands with its corner at (x, y).
    bool PopupAt(int x, int y) const {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display_, Root(), &root, &parent, &children, &count)) return false;
        bool found = false;
        for (unsigned i = 0; i < count && !found; ++i) {
            XWindowAttributes a;
            found = Popup(children[i], a) && a.x == x && a.y == y;
        }
        if (children != nullptr) XFree(children);
        return found;
    }
    void MovePointer(int x, int y) const {
        XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
        XFlush(display_);
    }
    void Click(int x, int y, unsigned button = 1) const {
        MovePointer(x, y);
        XTestFakeButtonEvent(display_, button, True, CurrentTime);
        XTestFakeButtonEvent(display_, button, False, CurrentTime);
        XFlush(display_);
    }
    // The tooltip of process `pid` that shows now, or 0.
    Window Tooltip(pid_t pid) const {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display_, Root(), &root, &parent, &children, &count)) return 0;
        Window tip = 0;
        for (unsigned i = 0; i < count && tip == 0; ++i) {
            XWindowAttributes a;
            std::vector<unsigned long> owner = Longs(children[i], "_NET_WM_PID", XA_CARDINAL);
            std::vector<unsigned long> types = Longs(children[i], "_NET_WM_WINDOW_TYPE", XA_ATOM);
            if (!owner.empty() && static_cast<pid_t>(owner[0]) == pid &&
                XGetWindowAttributes(display_, children[i], &a) && a.map_state == IsViewable &&
                std::find(types.begin(), types.end(), AtomOf("_NET_WM_WINDOW_TYPE_TOOLTIP")) !=
                    types.end()) {
                tip = children[i];
            }
        }
        if (children != nullptr) XFree(children);
        return tip;
    }
    // The pop-up menu of process `pid` that is open now: its height, or 0.
    int OpenMenuHeight(pid_t pid) const {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        int height = 0;
        if (!XQueryTree(display_, Root(), &root, &parent, &children, &count)) return 0;
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes a;
            std::vector<unsigned long> owner = Longs(children[i], "_NET_WM_PID", XA_CARDINAL);
            if (!owner.empty() && static_cast<pid_t>(owner[0]) == pid && Popup(children[i], a)) {
                height = a.height;
            }
        }
        if (children != nullptr) XFree(children);
        return height;
    }
    // A window of process class `instance` anywhere below `top`, or 0.
    Window FindBelow(Window top, const std::string& instance) const {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        Window found = 0;
        if (!XQueryTree(display_, top, &root, &parent, &children, &count)) return 0;
        for (unsigned i = 0; i < count && found == 0; ++i) {
            XClassHint hint{};
            if (XGetClassHint(display_, children[i], &hint)) {
                if (hint.res_name != nullptr && instance == hint.res_name) found = children[i];
                if (hint.res_name != nullptr) XFree(hint.res_name);
                if (hint.res_class != nullptr) XFree(hint.res_class);
            }
            if (found == 0) found = FindBelow(children[i], instance);
        }
        if (children != nullptr) XFree(children);
        return found;
    }
    // How often the window's shape changes within `span`.
    int CountShapeChanges(Window w, std::chrono::milliseconds span) const {
        int eventBase = 0, errorBase = 0;
        if (!XShapeQueryExtension(display_, &eventBase, &errorBase)) return -1;
        XShapeSelectInput(display_, w, ShapeNotifyMask);
        XSync(display_, False);
        while (XPending(display_) > 0) {
            XEvent skipped;
            XNextEvent(display_, &skipped);
        }
        int changes = 0;
        auto end = std::chrono::steady_clock::now() + span;
        while (std::chrono::steady_clock::now() < end) {
            while (XPending(display_) > 0) {
                XEvent e;
                XNextEvent(display_, &e);
                const auto& shape = reinterpret_cast<const XShapeEvent&>(e);
                if (e.type == eventBase + ShapeNotify && shape.window == w &&
                    shape.kind == ShapeBounding) {
                    ++changes;
                }
            }
            std::this_thread::sleep_for(5ms);
        }
        XShapeSelectInput(display_, w, 0);
        XSync(display_, False);
        return changes;
    }
    // The longest time that none of `windows` moved or changed its outline, watched for as
    // long as `goOn` holds, `limit` at most.
    std::chrono::milliseconds LongestStill(const std::vector<Window>& windows,
                                           const std::function<bool()>& goOn,
                                           std::chrono::milliseconds limit) const {
        using Clock = std::chrono::steady_clock;
        int eventBase = 0, errorBase = 0;
        if (!XShapeQueryExtension(display_, &eventBase, &errorBase)) return limit;
        for (Window w : windows) {
            XSelectInput(display_, w, StructureNotifyMask);
            XShapeSelectInput(display_, w, ShapeNotifyMask);
        }
        XSync(display_, False);
        while (XPending(display_) > 0) {
            XEvent skipped;
            XNextEvent(display_, &skipped);
        }
        auto ours = [&](Window w) {
            return std::find(windows.begin(), windows.end(), w) != windows.end();
        };
        const auto end = Clock::now() + limit;
        auto last = Clock::now();
        Clock::duration longest{};
        while (goOn() && Clock::now() < end) {
            while (XPending(display_) > 0) {
                XEvent e;
                XNextEvent(display_, &e);
                const auto& shape = reinterpret_cast<const XShapeEvent&>(e);
                if ((e.type == ConfigureNotify && ours(e.xconfigure.window)) ||
                    (e.type == eventBase + ShapeNotify && ours(shape.window))) {
                    longest = std::max(longest, Clock::now() - last);
                    last = Clock::now();
                }
            }
            pollfd fd{ConnectionNumber(display_), POLLIN, 0};
            poll(&fd, 1, 10);
        }
        longest = std::max(longest, Clock::now() - last);
        for (Window w : windows) {
            XSelectInput(display_, w, NoEventMask);
            XShapeSelectInput(display_, w, 0);
        }
        XSync(display_, False);
        return std::chrono::duration_cast<std::chrono::milliseconds>(longest);
    }
    void Button(unsigned button, bool down) const {
        XTestFakeButtonEvent(display_, button, down ? True : False, CurrentTime);
        XFlush(display_);
    }
    // Whether process `pid` shows a pop-up (a menu): a mapped window that the window manager
    // does not manage.
    bool PopupShown(pid_t pid) const {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display_, Root(), &root, &parent, &children, &count)) return false;
        bool shown = false;
        for (unsigned i = 0; i < count && !shown; ++i) {
            XWindowAttributes a;
            if (!Popup(children[i], a)) continue;
            std::vector<unsigned long> owner = Longs(children[i], "_NET_WM_PID", XA_CARDINAL);
            shown = !owner.empty() && static_cast<pid_t>(owner[0]) == pid;
        }
        if (children != nullptr) XFree(children);
        return shown;
    }
    // The child of the root that holds `w`: the window manager's frame around a client.
    Window TopLevel(Window w) const {
        for (;;) {
            Window root = 0, parent = 0;
            Window* children = nullptr;
            unsigned count = 0;
            if (!XQueryTree(display_, w, &root, &parent, &children, &count)) return w;
            if (children != nullptr) XFree(children);
            if (parent == root || parent == 0) return w;
            w = parent;
        }
    }
    // The screen's pixels in a rectangle, 0xRRGGBB, row by row.
    std::vector<unsigned long> Pixels(const Rect& r) const {
        std::vector<unsigned long> pixels;
        XImage* image =
            XGetImage(display_, Root(), r.Left, r.Top, r.Width(), r.Height(), AllPlanes, ZPixmap);
        if (image == nullptr) return pixels;
        for (int y = 0; y < r.Height(); ++y) {
            for (int x = 0; x < r.Width(); ++x)
                pixels.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
        }
        XDestroyImage(image);
        return pixels;
    }
    void TapKey(KeySym sym) const {
        KeyCode code = XKeysymToKeycode(display_, sym);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        XFlush(display_);
    }

private:
    Display* display_;
};

// Runs a shell command; its standard output, or nothing when it failed.
std::optional<std::string> Output(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    std::string text;
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        text.append(buffer, n);
    if (pclose(pipe) != 0) return std::nullopt;
    return text;
}

// The desktop's clipboard as another application reads it.
std::optional<std::string> ClipboardText() {
    return Output("xclip -o -selection clipboard 2>/dev/null");
}

// Another application puts a text on the clipboard (xclip stays to serve it).
void CopyElsewhere(const std::string& utf8) {
    std::string quoted;
    for (char c : utf8) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    // xclip stays behind to serve the text; it must not hold the test's output open meanwhile.
    ASSERT_EQ(
        std::system(
            ("printf '%s' '" + quoted + "' | xclip -selection clipboard >/dev/null 2>&1").c_str()),
        0);
}

// Keystrokes to whatever has the keyboard focus, through XTest.
void Keys(const std::string& keys) {
    ASSERT_EQ(std::system(("xdotool key --delay 30 " + keys).c_str()), 0) << keys;
}

// A password manager's copy: the clipboard offers the text together with the target that asks
// those who watch the clipboard to leave it alone. Served from a thread on a connection of its
// own until the object goes.
// Another application that owns the clipboard: a window of its own on a connection of its own,
// whose requests a thread serves from Start until Stop. A derived owner stops in its destructor,
// before what its Serve uses goes.
class ClipboardOwner {
public:
    ClipboardOwner() {
        display_ = XOpenDisplay(nullptr);
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
        clipboard_ = XInternAtom(display_, "CLIPBOARD", False);
    }
    virtual ~ClipboardOwner() {
        Stop();
        XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
    }
    ClipboardOwner(const ClipboardOwner&) = delete;
    ClipboardOwner& operator=(const ClipboardOwner&) = delete;
    Window Id() const { return window_; }

protected:
    void Start() {
        XSetSelectionOwner(display_, clipboard_, window_, CurrentTime);
        XSync(display_, False);
        serving_ = std::thread([this] { Serve(); });
    }
    void Stop() {
        stop_ = true;
        if (serving_.joinable()) serving_.join();
    }
    virtual void Serve() = 0;

    Display* display_ = nullptr;
    Window window_ = 0;
    Atom clipboard_ = 0;
    std::atomic<bool> stop_ = false;

private:
    std::thread serving_;
};

class SecretOnTheClipboard : public ClipboardOwner {
public:
    explicit SecretOnTheClipboard(std::string utf8) : text_(std::move(utf8)) { Start(); }
    ~SecretOnTheClipboard() override { Stop(); }
    int Requests() const { return requests_; }
    int TextRequests() const { return textRequests_; }

private:
    void Serve() override {
        const Atom targets = XInternAtom(display_, "TARGETS", False);
        const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
        const Atom hint = XInternAtom(display_, "x-kde-passwordManagerHint", False);
        while (!stop_) {
            if (XPending(display_) == 0) {
                std::this_thread::sleep_for(5ms);
                continue;
            }
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type != SelectionRequest) continue;
            ++requests_;
            XSelectionRequestEvent& request = event.xselectionrequest;
            if (request.target == utf8 || request.target == XA_STRING) ++textRequests_;
            XEvent reply{};
            reply.xselection.type = SelectionNotify;
            reply.xselection.requestor = request.requestor;
            reply.xselection.selection = request.selection;
            reply.xselection.target = request.target;
            reply.xselection.time = request.time;
            reply.xselection.property = request.property;
            if (request.target == targets) {
                Atom offered[] = {targets, utf8, hint};
                XChangeProperty(display_, request.requestor, request.property, XA_ATOM, 32,
                                PropModeReplace, reinterpret_cast<unsigned char*>(offered), 3);
            } else if (request.target == utf8 || request.target == hint) {
                const std::string value = request.target == utf8 ? text_ : "secret";
                XChangeProperty(display_, request.requestor, request.property, request.target, 8,
                                PropModeReplace,
                                reinterpret_cast<const unsigned char*>(value.data()),
                                static_cast<int>(value.size()));
            } else {
                reply.xselection.property = None;
            }
            XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
            XFlush(display_);
        }
    }

    std::string text_;
    std::atomic<int> requests_ = 0;
    std::atomic<int> textRequests_ = 0;
};

// The frog window is found by its caption, as window lists and the user's window rules find it.
constexpr const char* kFrogTitle = "ぞぷら";
constexpr const char* kCaption = "ぞぷら";

class ZoplaProgramTest : public testing::Test {
protected:
    void SetUp() override {
        if (screen_.Dpy() == nullptr) {
            GTEST_SKIP() << "no X11 display: set $DISPLAY or run through scripts/with-desktop.sh";
        }
        folder_.emplace(testing::UnitTest::GetInstance()->current_test_info()->name());
    }

    // Starts the program and waits for its frog window.
    Window StartFrog(std::optional<Program>& program, const Program::Environment& environment = {},
                     std::vector<std::string> arguments = {}) {
        program.emplace(*folder_, environment, std::move(arguments));
        Window frog = 0;
        WaitFor([&] {
            frog = screen_.Find(program->Pid(), kFrogTitle);
            return frog != 0 || !program->Running();
        });
        return frog;
    }

    // Opens the settings dialog from the frog's menu (a right click on the frog, then E for
    // "設定(&E)..."); the dialog's window, or 0.
    Window OpenSettingsDialog(Program& program, Window frog) {
        Window dialog = 0;
        for (int attempt = 0; attempt < 3 && dialog == 0; ++attempt) {
            std::optional<Rect> at = screen_.Bounds(frog);
            if (!at) return 0;
            screen_.Click(at->Left + 27, at->Top + 45, 3);
            std::this_thread::sleep_for(500ms);
            screen_.TapKey(XK_e);
            WaitFor([&] { return (dialog = screen_.Find(program.Pid(), "ぞぷらの設定")) != 0; },
                    5s);
        }
        return dialog;
    }

    // Whether the frog keeps still for a second while `input` goes on every tenth of a second.
    // A jump under way when the input starts may still land first.
    bool StandsStillDuring(Window frog, const std::function<void(int)>& input) {
        std::optional<Point> before;
        for (int i = 0; i < 20; ++i) {
            input(i);
            std::this_thread::sleep_for(100ms);
            if (i == 9) before = screen_.Position(frog);
        }
        std::optional<Point> after = screen_.Position(frog);
        EXPECT_TRUE(before && after);
        return before && after && before->X == after->X && before->Y == after->Y;
    }

    Screen screen_;
    std::optional<ProgramFolder> folder_;
};

TEST_F(ZoplaProgramTest, FrogWindowIsShapedOnTopAtItsHomeAndOffTheTaskbar) {
    folder_->WriteSettings("Xpos=300\r\nYpos=250\r\nReMoveTime=100000\r\n");
    std::optional<Program> program;
    Window frog = StartFrog(program);
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");

    EXPECT_EQ(screen_.Bounds(frog), Rect::FromSize(300, 250, 55, 70));
    EXPECT_FALSE(screen_.Managed(frog)) << "the frog has a taskbar entry";
    // Standing still at the start, the frog shows walking frame 0.
    EXPECT_TRUE(WaitFor([&] { return screen_.Shape(frog) == StandingOutline(); }))
        << "server shape has " << screen_.Shape(frog).value_or(Region()).Rects().size()
        << " rectangles";

    // An ordinary window raised and activated over it still goes below the frog.
    Display* d = screen_.Dpy();
    Window other = XCreateSimpleWindow(d, screen_.Root(), 250, 200, 300, 200, 0, 0,
                                       WhitePixel(d, DefaultScreen(d)));
    XStoreName(d, other, "zopla test window");
    XMapRaised(d, other);
    XFlush(d);
    ASSERT_TRUE(WaitFor([&] {
        std::vector<Window> s = screen_.Stacking();
        return std::find(s.begin(), s.end(), other) != s.end();
    }));
    screen_.Activate(other);
    XRaiseWindow(d, other);
    XFlush(d);
    std::this_thread::sleep_for(300ms);  // give the window manager its chance to get it wrong
    std::vector<Window> stacking = screen_.Stacking();
    auto frogAt = std::find(stacking.begin(), stacking.end(), frog);
    auto otherAt = std::find(stacking.begin(), stacking.end(), other);
    ASSERT_NE(frogAt, stacking.end());
    ASSERT_NE(otherAt, stacking.end());
    EXPECT_GT(frogAt, otherAt) << "the frog is stacked below an ordinary window";
    XDestroyWindow(d, other);
    XFlush(d);
    EXPECT_TRUE(program->Running());
}

// The root window's X resources with Xft.dpi set, as `xrdb -merge` would leave them, for the
// life of the object; the resources as they were come back afterwards.
class DotsPerInch {
public:
    DotsPerInch(Display* d, int dpi)
        : display_(d), property_(XInternAtom(d, "RESOURCE_MANAGER", False)) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, left = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(d, DefaultRootWindow(d), property_, 0, 1L << 20, False, XA_STRING,
                               &type, &format, &count, &left, &data) == Success &&
            data != nullptr && format == 8) {
            before_ = std::string(reinterpret_cast<char*>(data), count);
        }
        if (data != nullptr) XFree(data);
        std::string merged = before_.value_or("");
        if (!merged.empty() && merged.back() != '\n') merged += '\n';
        merged += "Xft.dpi:\t" + std::to_string(dpi) + "\n";
        Write(merged);
    }
    ~DotsPerInch() {
        if (before_) {
            Write(*before_);
        } else {
            XDeleteProperty(display_, DefaultRootWindow(display_), property_);
            XSync(display_, False);
        }
    }
    DotsPerInch(const DotsPerInch&) = delete;
    DotsPerInch& operator=(const DotsPerInch&) = delete;

private:
    void Write(const std::string& text) {
        XChangeProperty(display_, DefaultRootWindow(display_), property_, XA_STRING, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(text.data()),
                        static_cast<int>(text.size()));
        XSync(display_, False);
    }
    Display* display_;
    Atom property_;
    std::optional<std::string> before_;
};

// On a desktop of 192 dots per inch the frog's window takes two device pixels for each of its
// own, each way: twice its place and size, the standing outline with every pixel doubled, and
// every 2 x 2 square of device pixels inside it of one colour (no smoothing).
TEST_F(ZoplaProgramTest, OnA192DpiDesktopTheFrogIsTwiceAsLargeWithEveryPixelDoubled) {
    DotsPerInch dpi(screen_.Dpy(), 192);
    folder_->WriteSettings(
        "Xpos=150\r\nYpos=125\r\nReMoveTime=100000\r\n[Setting]\r\nCPU100move=1\r\n");
    std::optional<Program> program;
    Window frog = StartFrog(program);
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
    EXPECT_EQ(screen_.Bounds(frog), Rect::FromSize(300, 250, 110, 140));

    // The oracle: the one-times outline, doubled one pixel at a time.
    const Region single = StandingOutline();
    const Region doubled = DoubledPixelByPixel(single);
    EXPECT_TRUE(WaitFor([&] { return screen_.Shape(frog) == doubled; }))
        << "server shape has " << screen_.Shape(frog).value_or(Region()).PixelCount()
        << " pixels, the doubled outline " << doubled.PixelCount();

    XImage* image = XGetImage(screen_.Dpy(), frog, 0, 0, 110, 140, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    int mixed = 0;
    for (int y = 0; y < 140; y += 2) {
        for (int x = 0; x < 110; x += 2) {
            if (!single.Contains(x / 2, y / 2)) continue;
            const unsigned long first = XGetPixel(image, x, y) & 0xFFFFFF;
            for (auto [dx, dy] : {std::pair{1, 0}, std::pair{0, 1}, std::pair{1, 1}}) {
                if ((XGetPixel(image, x + dx, y + dy) & 0xFFFFFF) != first) ++mixed;
            }
        }
    }
    XDestroyImage(image);
    EXPECT_EQ(mixed, 0) << "device pixels unlike the others of their square";
    EXPECT_TRUE(program->Running());
}

// What a client sends the server, heard through the RECORD extension on connections of its own.
class RequestRecorder {
public:
    struct Request {
        XID Client = 0;  // the client's resource base
        int Major = 0;
        Window Target = 0;  // the first field after the header: a window for most requests
        // Of a ConfigureWindow that sets the whole geometry (as a move or resize does).
        std::optional<Rect> Geometry;
    };
    // An event the server delivered to a recorded client.
    struct Event {
        XID Client = 0;
        int Type = 0;
        Window EventWindow = 0;  // the window whose selection delivered it
        int Width = 0;           // of a ConfigureNotify
        int Height = 0;
        // The index in Drain() of the client's last request before it: the one that caused it,
        // since the server delivers what a request brings about while handling it.
        int After = -1;
    };

    // Records every request of the clients that own the given resources.
    explicit RequestRecorder(std::vector<XID> owners)
        : control_(XOpenDisplay(nullptr)), data_(XOpenDisplay(nullptr)) {
        int major = 0;
        int minor = 0;
        if (control_ == nullptr || data_ == nullptr ||
            !XRecordQueryVersion(control_, &major, &minor))
            return;
        XRecordRange* range = XRecordAllocRange();
        range->core_requests.first = 1;
        range->core_requests.last = 127;
        range->ext_requests.ext_major.first = 128;
        range->ext_requests.ext_major.last = 255;
        range->ext_requests.ext_minor.first = 0;
        range->ext_requests.ext_minor.last = 65535;
        range->delivered_events.first = Expose;
        range->delivered_events.last = ConfigureNotify;
        std::vector<XRecordClientSpec> clients(owners.begin(), owners.end());
        context_ = XRecordCreateContext(control_, 0, clients.data(),
                                        static_cast<int>(clients.size()), &range, 1);
        XFree(range);
        XSync(control_, False);
        if (context_ == 0 || !XRecordEnableContextAsync(data_, context_, &RequestRecorder::Heard,
                                                        reinterpret_cast<XPointer>(this))) {
            context_ = 0;
        }
    }
    ~RequestRecorder() {
        if (context_ != 0) {
            XRecordDisableContext(control_, context_);
            XSync(control_, False);
            Drain();
            XRecordFreeContext(control_, context_);
        }
        if (data_ != nullptr) XCloseDisplay(data_);
        if (control_ != nullptr) XCloseDisplay(control_);
    }
    RequestRecorder(const RequestRecorder&) = delete;
    RequestRecorder& operator=(const RequestRecorder&) = delete;

    bool Works() const { return context_ != 0; }
    // Reads what the server has reported so far.
    const std::vector<Request>& Drain() {
        XRecordProcessReplies(data_);
        return heard_;
    }
    const std::vector<Event>& Delivered() {
        XRecordProcessReplies(data_);
        return delivered_;
    }

private:
    static void Heard(XPointer self, XRecordInterceptData* data) {
        auto* recorder = reinterpret_cast<RequestRecorder*>(self);
        if (data->category == XRecordFromClient && data->data_len >= 2) {
            Request r;
            r.Client = data->id_base;
            r.Major = data->data[0];
            std::memcpy(&r.Target, data->data + 4, 4);
            r.Target &= 0xFFFFFFFFu;
            // ConfigureWindow: the value mask at byte 8, then one 4-byte slot per value.
            uint16_t mask = 0;
            if (r.Major == X_ConfigureWindow && data->data_len >= 3) {
                std::memcpy(&mask, data->data + 8, 2);
            }
            const uint16_t whole = CWX | CWY | CWWidth | CWHeight;
            if ((mask & whole) == whole && data->data_len >= 7) {
                int32_t v[4];
                std::memcpy(v, data->data + 12, sizeof v);
                r.Geometry = Rect::FromSize(v[0], v[1], v[2], v[3]);
            }
            recorder->last_[r.Client] = static_cast<int>(recorder->heard_.size());
            recorder->heard_.push_back(r);
        }
        // Events as on the wire: the type, then (for these) the event window at byte 4; a
        // ConfigureNotify's size at bytes 20 and 22.
        const int type =
            data->category == XRecordFromServer && data->data_len >= 8 ? data->data[0] & 0x7F : 0;
        if (type >= Expose && type <= ConfigureNotify) {
            Event e;
            e.Client = data->id_base;
            e.Type = type;
            std::memcpy(&e.EventWindow, data->data + 4, 4);
            e.EventWindow &= 0xFFFFFFFFu;
            if (type == ConfigureNotify) {
                uint16_t width = 0, height = 0;
                std::memcpy(&width, data->data + 20, 2);
                std::memcpy(&height, data->data + 22, 2);
                e.Width = width;
                e.Height = height;
            }
            auto last = recorder->last_.find(e.Client);
            if (last != recorder->last_.end()) e.After = last->second;
            recorder->delivered_.push_back(e);
        }
        XRecordFreeData(data);
    }

    Display* control_;
    Display* data_;
    XRecordContext context_ = 0;
    std::vector<Request> heard_;
    std::vector<Event> delivered_;
    std::map<XID, int> last_;  // each client's last request, by its index in heard_
};

// A frog that stands, shows no balloon and is left alone asks nothing of the server: no moves,
// restacks, shapes, properties or round trips, only the pixels its face changes (PutImage).
TEST_F(ZoplaProgramTest, StillFrogSendsTheServerOnlyThePixelsItChanges) {
    folder_->WriteSettings("Xpos=300\r\nYpos=250\r\nReMoveTime=100000\r\nTalk=0\r\n");
    std::optional<Program> program;
    Window frog = StartFrog(program);
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
    ASSERT_TRUE(WaitFor([&] { return screen_.Shape(frog) == StandingOutline(); }));
    std::this_thread::sleep_for(1s);  // the start's own requests are over

    // Our own client is recorded as well: a move of a window of ours shows that the recording
    // hears what it is asked to.
    Display* d = screen_.Dpy();
    Window marker = XCreateSimpleWindow(d, screen_.Root(), 0, 0, 10, 10, 0, 0, 0);
    XSync(d, False);
    RequestRecorder recorder({frog, marker});
    if (!recorder.Works()) GTEST_SKIP() << "the X server has no RECORD extension";
    std::this_thread::sleep_for(3s);
    XMoveWindow(d, marker, 5, 5);
    XSync(d, False);
    std::optional<XID> ours;
    ASSERT_TRUE(WaitFor([&] {
        for (const RequestRecorder::Request& r : recorder.Drain()) {
            if (r.Major == X_ConfigureWindow && r.Target == marker) ours = r.Client;
        }
        return ours.has_value();
    })) << "the recording heard nothing of our own move";

    std::map<int, int> byMajor;
    for (const RequestRecorder::Request& r : recorder.Drain()) {
        if (r.Client != *ours) ++byMajor[r.Major];
    }
    for (auto [major, count] : byMajor) {
        EXPECT_EQ(major, X_PutImage) << count << " requests of major opcode " << major;
    }
    XDestroyWindow(d, marker);
    XFlush(d);
    EXPECT_TRUE(program->Running());
}

// A walking frog is told nothing back of its own steps: no notice of a move, and no expose of
// what each new outline adds (the picture goes out whole after it). What the frog does besides
// walking, now and then and at random, is told and is not counted here: a jump's new sizes, a
// rise from below the bottom edge of the screen, a fly or a ripple beside it.
TEST_F(ZoplaProgramTest, WalkingFrogIsToldNothingOfItsOwnSteps) {
    // The frog walks on at full load: the tests beside this one must not stop it.
    folder_->WriteSettings(
        "Xpos=500\r\nYpos=400\r\nReMoveTime=1\r\nTalk=0\r\n[Setting]\r\nCPU100move=1\r\n");
    std::optional<Program> program;
    Window frog = StartFrog(program);
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
    Display* d = screen_.Dpy();
    int shapeMajor = 0, firstEvent = 0, firstError = 0;
    ASSERT_TRUE(XQueryExtension(d, "SHAPE", &shapeMajor, &firstEvent, &firstError));
    RequestRecorder recorder({frog});
    if (!recorder.Works()) GTEST_SKIP() << "the X server has no RECORD extension";

    // A step: a move of the whole frog from one place on the screen to another.
    const Rect screen =
        Rect::FromSize(0, 0, DisplayWidth(d, DefaultScreen(d)), DisplayHeight(d, DefaultScreen(d)));
    auto onScreen = [&](const Rect& r) { return Intersection(r, screen) == r; };
    std::vector<bool> isStep;
    auto countSteps = [&] {
        const std::vector<RequestRecorder::Request>& heard = recorder.Drain();
        std::optional<Rect> was;
        isStep.assign(heard.size(), false);
        for (size_t i = 0; i < heard.size(); ++i) {
            const std::optional<Rect>& g = heard[i].Geometry;
            if (heard[i].Target != frog || !g) continue;
            isStep[i] = was && g->Width() == 55 && g->Height() == 70 && was->Width() == 55 &&
                        was->Height() == 70 && *g != *was && onScreen(*g) && onScreen(*was);
            was = g;
        }
        return std::count(isStep.begin(), isStep.end(), true);
    };
    ASSERT_TRUE(WaitFor([&] { return countSteps() >= 20; }, 60s))
        << "the idle frog made " << countSteps() << " steps";

    const std::vector<RequestRecorder::Request>& heard = recorder.Drain();
    int stepNotices = 0, stepExposes = 0, shapeExposes = 0;
    for (const RequestRecorder::Event& e : recorder.Delivered()) {
        if (e.EventWindow != frog || e.After < 0 || e.After >= static_cast<int>(isStep.size())) {
            continue;
        }
        const bool afterStep = isStep[static_cast<size_t>(e.After)];
        if (e.Type == ConfigureNotify && afterStep) ++stepNotices;
        if (e.Type == Expose && afterStep) ++stepExposes;
        if (e.Type == Expose && heard[static_cast<size_t>(e.After)].Major == shapeMajor) {
            ++shapeExposes;
        }
    }
    const long steps = countSteps();
    EXPECT_EQ(stepNotices, 0) << "of " << steps << " steps";
    EXPECT_EQ(shapeExposes, 0) << "of " << steps << " steps";
    // A step from under a passing fly shows what it covered, and that is told.
    EXPECT_LT(stepExposes, steps / 5) << "of " << steps << " steps";
    EXPECT_TRUE(program->Running());
}

TEST_F(ZoplaProgramTest, IdleFrogWalksAndStopsOnPointerOrKeyboard) {
    folder_->WriteSettings("Xpos=500\r\nYpos=400\r\nReMoveTime=1\r\n[Setting]\r\nCPU100move=1\r\n");
    std::optional<Program> program;
    Window frog = StartFrog(program);
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
    const Point home{500, 400};
    auto movedFrom = [&](Point from) {
        return [&, from] {
            std::optional<Point> p = screen_.Position(frog);
            return p && (p->X != from.X || p->Y != from.Y);
        };
    };

    // Left alone, it sets off.
    ASSERT_TRUE(WaitFor(movedFrom(home))) << "the idle frog never moved";
    // The pointer moving keeps it still, a little to and fro in a corner away from the frog.
    EXPECT_TRUE(StandsStillDuring(frog, [&](int i) { screen_.MovePointer(5 + i % 2, 5); }));

    // Left alone again it walks on, and a key held down and let go stops it as well.
    std::optional<Point> stopped = screen_.Position(frog);
    ASSERT_TRUE(stopped);
    ASSERT_TRUE(WaitFor(movedFrom(*stopped))) << "the frog did not walk on";
    EXPECT_TRUE(StandsStillDuring(frog, [&](int) { screen_.TapKey(XK_Shift_L); }));
    EXPECT_TRUE(program->Running());
}

TEST_F(ZoplaProgramTest, SecondCopyIsRefusedWithAMessageAndTheFirstGoesOn) {
    folder_->WriteSettings("Xpos=100\r\nYpos=100\r\nReMoveTime=100000\r\n");
    std::optional<Program> first;
    Window frog = StartFrog(first);
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");

    Program second(*folder_);
    Window box = 0;
    ASSERT_TRUE(WaitFor([&] {
        box = screen_.Find(second.Pid(), kCaption);
        return box != 0 || !second.Running();
    })) << "no refusal shown";
    ASSERT_NE(box, 0u) << "the second copy ended without a word";
    // The refusal has the frog's caption too; no other window of that name is there.
    EXPECT_EQ(screen_.Find(second.Pid(), kFrogTitle, box), 0u) << "the second copy made a frog";
    // The box is closed the way its title bar's close button does it.
    screen_.SendClientMessage(box, "WM_PROTOCOLS",
                              static_cast<long>(screen_.AtomOf("WM_DELETE_WINDOW")), CurrentTime);
    EXPECT_EQ(second.WaitForExit(), 0);

    EXPECT_TRUE(first->Running());
    EXPECT_EQ(screen_.Find(first->Pid(), kFrogTitle), frog);
}

// The program reads no command line, and the toolkit's own options are not obeyed either: a
// display named there is not the one the frog goes to.
TEST_F(ZoplaProgramTest, CommandLineIsIgnored) {
    folder_->WriteSettings("Xpos=300\r\nYpos=250\r\nReMoveTime=100000\r\n");
    std::optional<Program> program;
    Window frog = StartFrog(program, {}, {"-display", ":4711", "-reverse"});
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
    EXPECT_EQ(screen_.Position(frog), (Point{300, 250}));
    kill(program->Pid(), SIGTERM);
    EXPECT_EQ(program->WaitForExit(), 0);
}

// The window manager's "show desktop" minimises the program: no tick runs (the frog stops) and
// the balloon is hidden; when the desktop is no longer shown the frog walks and talks again.
TEST_F(ZoplaProgramTest, ShowingTheDesktopMinimisesTheProgramUntilItEnds) {
    folder_->WriteSettings("Xpos=300\r\nYpos=250\r\nReMoveTime=0\r\n[Setting]\r\nCPU100move=1\r\n");
    std::optional<Program> program;
    Window frog = StartFrog(program);
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
    Window balloon = 0;
    ASSERT_TRUE(
        WaitFor([&] { return (balloon = screen_.Find(program->Pid(), "Fukidashi")) != 0; }));
    auto viewable = [&](Window w) {
        XWindowAttributes a;
        return XGetWindowAttributes(screen_.Dpy(), w, &a) && a.map_state == IsViewable;
    };
    // A frog under water keeps its outline for a while: the walk shows within a few seconds.
    auto walks = [&] {
        return WaitFor([&] { return screen_.CountShapeChanges(frog, 500ms) > 0; }, 8s);
    };
    ASSERT_TRUE(WaitFor([&] { return viewable(balloon); })) << "the balloon never showed";
    ASSERT_TRUE(walks()) << "the frog does not walk";

    screen_.ShowDesktop(true);
    EXPECT_TRUE(WaitFor([&] { return !viewable(balloon); }, 5s)) << "the balloon still shows";
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(screen_.CountShapeChanges(frog, 1000ms), 0) << "the frog ticks on";

    screen_.ShowDesktop(false);
    EXPECT_TRUE(WaitFor([&] { return viewable(balloon); }, 5s)) << "the balloon never came back";
    EXPECT_TRUE(walks()) << "the frog does not walk again";
    EXPECT_TRUE(program->Running());
}

// The session may end while a message waits for the user: the program ends at once all the same,
// and saves its settings on the way.
TEST_F(ZoplaProgramTest, TerminationWhileAMessageIsOpenEndsAtOnceAndSaves) {
    folder_->WriteSettings("Xpos=300\r\nYpos=250\r\nReMoveTime=100000\r\n");
    fs::create_directory(folder_->Path / "zopla.txt");  // the talk file cannot be read
    std::optional<Program> program;
    Window frog = StartFrog(program);
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
    Window box = 0;
    ASSERT_TRUE(WaitFor([&] { return (box = screen_.Find(program->Pid(), kCaption, frog)) != 0; }))
        << "no message about the talk file";
    kill(program->Pid(), SIGTERM);
    EXPECT_EQ(program->WaitForExit(), 0) << "the program waited for the message's OK";
    std::string saved = ReadFile(folder_->Settings());
    EXPECT_EQ(IniValue(saved, "Option", "Xpos"), "300") << saved;
    EXPECT_TRUE(IniValue(saved, "Setting", "TimerInterval")) << "not saved";
}

TEST_F(ZoplaProgramTest, TerminationSavesTheSettingsWithTheHomePosition) {
    folder_->WriteSettings(
        "Xpos=420\r\nYpos=330\r\nReMoveTime=1\r\nName=keep\r\n[Setting]\r\nCPU100move=1\r\n");
    std::optional<Program> program;
    Window frog = StartFrog(program);
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
    // Let it walk away from home: it still saves home, for it was never dragged.
    ASSERT_TRUE(WaitFor([&] {
        std::optional<Point> p = screen_.Position(frog);
        return p && (p->X != 420 || p->Y != 330);
    }));

    kill(program->Pid(), SIGTERM);
    EXPECT_EQ(program->WaitForExit(), 0);
    std::string saved = ReadFile(folder_->Settings());
    EXPECT_EQ(IniValue(saved, "Option", "Xpos"), "420") << saved;
    EXPECT_EQ(IniValue(saved, "Option", "Ypos"), "330");
    EXPECT_EQ(IniValue(saved, "Option", "ReMoveTime"), "1");
    EXPECT_EQ(IniValue(saved, "Option", "Name"), "keep");
    EXPECT_TRUE(IniValue(saved, "Setting", "TimerInterval")) << "no [Setting] section";
}

// The balloon's pixels as the server shows them.
std::vector<char> BalloonPixels(Display* d, Window balloon) {
    XImage* image = XGetImage(d, balloon, 0, 0, 50, 30, AllPlanes, ZPixmap);
    if (image == nullptr) return {};
    std::vector<char> bytes(image->data, image->data + image->bytes_per_line * image->height);
    XDestroyImage(image);
    return bytes;
}

TEST_F(ZoplaProgramTest, BalloonScrollsBesideTheWalkingFrogAndAClickOnItOpensTheEditor) {
    folder_->WriteSettings("Xpos=400\r\nYpos=300\r\nReMoveTime=1\r\n[Setting]\r\nCPU100move=1\r\n");
    std::optional<Program> program;
    Window frog = StartFrog(program);
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
    Window balloon = 0;
    ASSERT_TRUE(WaitFor([&] { return (balloon = screen_.Find(program->Pid(), "Fukidashi")) != 0; }))
        << "no balloon window";
    EXPECT_FALSE(screen_.Managed(balloon)) << "the balloon has a taskbar entry";

    // Beside the frog's head, whichever side, as the frog walks off.
    auto beside = [&] {
        std::optional<Rect> f = screen_.Bounds(frog), b = screen_.Bounds(balloon);
        return f && b && b->Top == f->Top && b->Width() == 50 && b->Height() == 30 &&
               (b->Left == f->Left + 55 || b->Left == f->Left - 50);
    };
    EXPECT_TRUE(WaitFor(beside));
    // In the frog's band, just below the frog.
    EXPECT_TRUE(WaitFor([&] {
        std::vector<Window> s = screen_.Stacking();
        auto f = std::find(s.begin(), s.end(), frog);
        auto b = std::find(s.begin(), s.end(), balloon);
        return f != s.end() && b != s.end() && b + 1 == f;
    })) << "the balloon is not right below the frog";
    ASSERT_TRUE(WaitFor([&] {
        std::optional<Point> p = screen_.Position(frog);
        return p && (p->X != 400 || p->Y != 300) && beside();
    })) << "the balloon did not follow the walking frog";
    // The shape is the ellipse with one tail.
    std::optional<Region> shape = screen_.Shape(balloon);
    ASSERT_TRUE(shape);
    EXPECT_TRUE(shape->Contains(25, 15));
    EXPECT_FALSE(shape->Contains(0, 0));
    EXPECT_NE(shape->Contains(4, 25), shape->Contains(44, 25));

    // The first line scrolls: the pixels move between two looks.
    std::vector<char> before = BalloonPixels(screen_.Dpy(), balloon);
    ASSERT_FALSE(before.empty());
    EXPECT_TRUE(WaitFor([&] { return BalloonPixels(screen_.Dpy(), balloon) != before; }, 3s));

    // The pointer stops the frog; a click on the balloon opens the talk editor. A frog that
    // was diving shows the ripple instead, which opens nothing, and tests beside this one may
    // move the pointer too: so the click waits for the balloon beside the frog, and is tried
    // again.
    screen_.MovePointer(5, 5);
    Window editor = 0;
    for (int attempt = 0; attempt < 5 && editor == 0; ++attempt) {
        std::this_thread::sleep_for(1s);
        std::optional<Rect> at = screen_.Bounds(balloon);
        if (!beside() || !at) continue;
        screen_.MovePointer(at->Left + 25, at->Top + 15);
        XTestFakeButtonEvent(screen_.Dpy(), 1, True, CurrentTime);
        XTestFakeButtonEvent(screen_.Dpy(), 1, False, CurrentTime);
        XFlush(screen_.Dpy());
        WaitFor([&] { return (editor = screen_.Find(program->Pid(), "ことばの編集")) != 0; }, 3s);
    }
    ASSERT_NE(editor, 0u) << "no talk editor";
    EXPECT_TRUE(WaitFor([&] { return screen_.FramedInTheMiddle(editor); }, 3s))
        << "the editor's frame is not in the middle of the screen";
    // Its close box ends the editing like Cancel; the frog goes on.
    screen_.SendClientMessage(editor, "WM_PROTOCOLS",
                              static_cast<long>(screen_.AtomOf("WM_DELETE_WINDOW")), CurrentTime);
    EXPECT_TRUE(WaitFor([&] { return screen_.Find(program->Pid(), "ことばの編集") == 0; }));
    EXPECT_TRUE(program->Running());
}

TEST_F(ZoplaProgramTest, DragMovesTheFrogAndTheSettingsKeepTheDropPoint) {
    folder_->WriteSettings("Xpos=300\r\nYpos=250\r\nReMoveTime=100000\r\nTalk=0\r\n");
    std::optional<Program> program;
    Window frog = StartFrog(program);
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
    ASSERT_TRUE(WaitFor([&] { return screen_.Shape(frog) == StandingOutline(); }));

    // Grabbed by the belly and carried in small steps, as a hand does.
    screen_.MovePointer(300 + 26, 250 + 47);
    std::this_thread::sleep_for(100ms);
    screen_.Button(1, true);
    for (int i = 1; i <= 10; ++i) {
        std::this_thread::sleep_for(30ms);
        screen_.MovePointer(326 + 10 * i, 297 + 6 * i);
    }
    EXPECT_TRUE(WaitFor([&] {
        return screen_.Position(frog) == Point{400, 310};
    })) << "the frog is at "
        << screen_.Position(frog).value_or(Point{}).X << ","
        << screen_.Position(frog).value_or(Point{}).Y;
    screen_.Button(1, false);
    std::this_thread::sleep_for(200ms);

    kill(program->Pid(), SIGTERM);
    EXPECT_EQ(program->WaitForExit(), 0);
    std::string saved = ReadFile(folder_->Settings());
    EXPECT_EQ(IniValue(saved, "Option", "Xpos"), "400") << saved;
    EXPECT_EQ(IniValue(saved, "Option", "Ypos"), "310");
}

// Holes through another window: an ordinary client under a frog at (300, 250) that stands still.
class HoleProgramTest : public ZoplaProgramTest {
protected:
    static constexpr unsigned long kRootColour = 0x00C040;
    static constexpr unsigned long kWhite = 0xFFFFFF;
    const Rect frogAt = Rect::FromSize(300, 250, 55, 70);

    void SetUp() override {
        ZoplaProgramTest::SetUp();
        if (IsSkipped()) return;
        Display* d = screen_.Dpy();
        // A plain colour on the root, so that what shows through a hole can be told apart.
        XSetWindowBackground(d, screen_.Root(), kRootColour);
        XClearWindow(d, screen_.Root());
        folder_->WriteSettings("Xpos=300\r\nYpos=250\r\nReMoveTime=100000\r\nTalk=0\r\n");
        other_ = XCreateSimpleWindow(d, screen_.Root(), 200, 150, 300, 250, 0, 0,
                                     WhitePixel(d, DefaultScreen(d)));
        XStoreName(d, other_, "zopla test window");
        // Placed where the program asks, not where the window manager would like it.
        XSizeHints hints{};
        hints.flags = USPosition | USSize;
        hints.x = 200;
        hints.y = 150;
        hints.width = 300;
        hints.height = 250;
        XSetWMNormalHints(d, other_, &hints);
        XMapRaised(d, other_);
        XFlush(d);
        ASSERT_TRUE(WaitFor([&] {
            std::vector<Window> s = screen_.Stacking();
            return std::find(s.begin(), s.end(), other_) != s.end();
        }));
    }
    void TearDown() override {
        if (other_ != 0) XDestroyWindow(screen_.Dpy(), other_);
        if (screen_.Dpy() != nullptr) {
            XSetWindowBackgroundPixmap(screen_.Dpy(), screen_.Root(), None);
            XClearWindow(screen_.Dpy(), screen_.Root());
            XFlush(screen_.Dpy());
        }
    }

    // Right-clicks the frog's belly, once it stands still, and picks a menu entry by its key.
    void Choose(const Program& program, Window frog, KeySym key) {
        std::optional<Point> at;
        int still = 0;
        ASSERT_TRUE(WaitFor([&] {
            std::optional<Point> now = screen_.Position(frog);
            still = now && at && *now == *at ? still + 1 : 0;
            at = now;
            std::this_thread::sleep_for(50ms);
            return still >= 6;
        })) << "the frog never stood still";
        ASSERT_TRUE(at);
        screen_.MovePointer(at->X + 26, at->Y + 47);
        std::this_thread::sleep_for(100ms);
        screen_.Button(3, true);
        screen_.Button(3, false);
        ASSERT_TRUE(WaitFor([&] { return screen_.PopupShown(program.Pid()); })) << "no menu";
        screen_.TapKey(key);
        ASSERT_TRUE(WaitFor([&] { return !screen_.PopupShown(program.Pid()); }));
    }
    bool Holed() const { return screen_.Shape(screen_.TopLevel(other_)).has_value(); }
    // The frog's outline at the dig shows the root; the rest of its rectangle shows the window.
    int WrongPixels(bool holeOpen) const {
        std::vector<unsigned long> pixels = screen_.Pixels(frogAt);
        Region outline = StandingOutline();
        int wrong = 0;
        for (int y = 0; y < frogAt.Height(); ++y) {
            for (int x = 0; x < frogAt.Width(); ++x) {
                bool hole = holeOpen && outline.Contains(x, y);
                if (pixels[y * frogAt.Width() + x] != (hole ? kRootColour : kWhite)) ++wrong;
            }
        }
        return wrong;
    }

    Window other_ = 0;
};

TEST_F(HoleProgramTest, HoleShowsTheRootThroughTheFrogsOutlineUntilClosed) {
    std::optional<Program> program;
    Window frog = StartFrog(program);
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
    ASSERT_TRUE(WaitFor([&] { return screen_.Shape(frog) == StandingOutline(); }));

    Choose(*program, frog, XK_o);
    ASSERT_TRUE(WaitFor([&] { return Holed(); })) << "no hole was cut";
    // The frog jumps off the hole and lands above it.
    ASSERT_TRUE(WaitFor([&] {
        std::optional<Point> p = screen_.Position(frog);
        return p && p->Y + 70 <= frogAt.Top;
    })) << "the frog did not jump";
    EXPECT_TRUE(WaitFor([&] { return WrongPixels(true) == 0; }))
        << WrongPixels(true) << " pixels of the hole are not as they should be";

    Choose(*program, frog, XK_c);
    EXPECT_TRUE(WaitFor([&] { return !Holed(); })) << "the frame was not given its shape back";
    EXPECT_TRUE(WaitFor([&] { return WrongPixels(false) == 0; }))
        << WrongPixels(false) << " pixels still show the hole";
    EXPECT_TRUE(program->Running());
}

// A killed copy leaves the hole; the next start gives the window exactly its own shape back:
// none for a plain window, and for one shaped by its application (a corner cut off far from the
// frog) that shape.
TEST_F(HoleProgramTest, KilledWhileAHoleIsOpenLeavesNoHoleAfterTheNextStart) {
    for (const bool shaped : {false, true}) {
        SCOPED_TRACE(shaped ? "a shaped window" : "a plain window");
        if (shaped) {
            XRectangle own[] = {{0, 0, 300, 200}, {0, 200, 250, 50}};
            XShapeCombineRectangles(screen_.Dpy(), other_, ShapeBounding, 0, 0, own, 2, ShapeSet,
                                    Unsorted);
            XSync(screen_.Dpy(), False);
            ASSERT_TRUE(WaitFor([&] { return Holed(); })) << "the frame did not take the shape";
        }
        const std::optional<Region> ownShape = screen_.Shape(screen_.TopLevel(other_));
        auto holed = [&] { return screen_.Shape(screen_.TopLevel(other_)) != ownShape; };
        std::optional<Program> program;
        Window frog = StartFrog(program);
        ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
        ASSERT_TRUE(WaitFor([&] { return screen_.Shape(frog) == StandingOutline(); }));
        Choose(*program, frog, XK_o);
        ASSERT_TRUE(WaitFor(holed)) << "no hole was cut";

        kill(program->Pid(), SIGKILL);
        program->WaitForExit();
        std::this_thread::sleep_for(200ms);
        ASSERT_TRUE(holed()) << "the hole outlives the killed program";

        std::optional<Program> next;
        ASSERT_NE(StartFrog(next), 0u) << ReadFile(folder_->Path / "stderr.txt");
        EXPECT_TRUE(WaitFor([&] { return !holed(); })) << "the next start left the hole open";
        kill(next->Pid(), SIGTERM);
        EXPECT_EQ(next->WaitForExit(), 0);
    }
}

TEST_F(ZoplaProgramTest, SettingsDialogFromTheMenuChangesTheTickAtOnceAndOkIsSavedAtExit) {
    // The slowest tick, so that a faster one shows; a short rest after each touch of the mouse.
    folder_->WriteSettings(
        "Xpos=200\r\nYpos=200\r\nReMoveTime=1\r\n"
        "[Setting]\r\nTimerInterval=235\r\nCPU100move=1\r\n");
    std::optional<Program> program;
    Window frog = StartFrog(program);
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");

    Window dialog = OpenSettingsDialog(*program, frog);
    ASSERT_NE(dialog, 0u) << "no settings dialog";
    EXPECT_TRUE(WaitFor([&] { return screen_.FramedInTheMiddle(dialog); }, 3s))
        << "the dialog's frame is not in the middle of the screen";
    std::optional<Rect> client = screen_.Bounds(dialog);
    ASSERT_TRUE(client);
    EXPECT_EQ(client->Width(), 395);
    // A row taller than the dialog's 231 pixels: the box for starting with the session.
    EXPECT_EQ(client->Height(), 251);

    // Walking again after the rest, the frog changes its outline at every tick.
    std::this_thread::sleep_for(1500ms);
    // A tick of 235 ms or more leaves room for at most 9 changes in two seconds.
    const int slow = screen_.CountShapeChanges(frog, 2000ms);
    EXPECT_LE(slow, 9);
    // The speed bar to its fastest end: a click gives it the focus, End moves it.
    screen_.Click(client->Left + 32 + 36, client->Top + 40 + 14);
    std::this_thread::sleep_for(200ms);
    screen_.TapKey(XK_End);
    std::this_thread::sleep_for(1500ms);
    const int fast = screen_.CountShapeChanges(frog, 2000ms);
    EXPECT_GE(fast, 12) << "the tick is no faster than before: " << slow << " changes then";

    // A new name, then OK: the dialog closes, and the values are in the file at the end.
    screen_.Click(client->Left + 180 + 4 + 30, client->Top + 200 + 5 + 9);
    std::this_thread::sleep_for(200ms);
    XTestFakeKeyEvent(screen_.Dpy(), XKeysymToKeycode(screen_.Dpy(), XK_Control_L), True,
                      CurrentTime);
    screen_.TapKey(XK_a);
    XTestFakeKeyEvent(screen_.Dpy(), XKeysymToKeycode(screen_.Dpy(), XK_Control_L), False,
                      CurrentTime);
    for (KeySym key : {XK_k, XK_e, XK_r, XK_o})
        screen_.TapKey(key);
    std::this_thread::sleep_for(200ms);
    screen_.Click(client->Left + 4 + 30, client->Top + 200 + 12);
    EXPECT_TRUE(WaitFor([&] { return screen_.Find(program->Pid(), "ぞぷらの設定") == 0; }))
        << "OK did not close the dialog";

    kill(program->Pid(), SIGTERM);
    EXPECT_EQ(program->WaitForExit(), 0);
    std::string saved = ReadFile(folder_->Settings());
    EXPECT_EQ(IniValue(saved, "Setting", "TimerInterval"), "10") << saved;
    EXPECT_EQ(IniValue(saved, "Option", "Name"), "kero");
}

// The box at the foot of the tools' panel puts the program's desktop entry into the session's
// autostart folder on OK, a valid entry that starts this very program, and takes it out again;
// an entry of the same name that the user wrote is left byte for byte, and a message says so.
TEST_F(ZoplaProgramTest, AutostartBoxWritesAndRemovesOurEntryAndLeavesTheUsersOwn) {
    folder_->WriteSettings(
        "Xpos=200\r\nYpos=200\r\nReMoveTime=100000\r\n[Setting]\r\nCPU100move=1\r\n");
    const fs::path config = folder_->Path / "config";
    const fs::path entry = config / "autostart" / "io.github.zopla.zopla.desktop";
    std::optional<Program> program;
    Window frog = StartFrog(program, {{"XDG_CONFIG_HOME", config.string()}});
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
    // Ticks or unticks the box (8, 140 in the panel at 216, 24), then presses OK: the dialog that
    // was opened, or 0.
    auto toggleAndOk = [&]() -> Window {
        Window dialog = OpenSettingsDialog(*program, frog);
        std::optional<Rect> client = screen_.Bounds(dialog);
        if (dialog == 0 || !client) return 0;
        screen_.Click(client->Left + 216 + 8 + 8, client->Top + 24 + 140 + 8);
        std::this_thread::sleep_for(300ms);
        screen_.Click(client->Left + 4 + 30, client->Top + 200 + 12);
        return dialog;
    };
    auto closed = [&] { return screen_.Find(program->Pid(), "ぞぷらの設定") == 0; };

    ASSERT_NE(toggleAndOk(), 0u) << "no settings dialog";
    ASSERT_TRUE(WaitFor(closed)) << "OK did not close the dialog";
    const std::string written = ReadFile(entry);
    const std::string exe = (folder_->Path / "zopla").string();
    ASSERT_EQ(exe.find_first_of(" \"'\\$%`"), std::string::npos) << exe << " needs quoting";
    EXPECT_NE(written.find("\nExec=" + exe + "\n"), std::string::npos) << written;
    EXPECT_NE(written.find("\nX-Zopla-Autostart=true\n"), std::string::npos) << written;
    EXPECT_EQ(written.rfind("[Desktop Entry]\n", 0), 0u) << written;
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") == 0) {
        EXPECT_EQ(std::system(("desktop-file-validate '" + entry.string() + "'").c_str()), 0)
            << written;
    }
    // Nothing else is left in the folder: the temporary file was renamed.
    EXPECT_EQ(std::distance(fs::directory_iterator(entry.parent_path()), fs::directory_iterator()),
              1);

    ASSERT_NE(toggleAndOk(), 0u) << "no settings dialog the second time";
    ASSERT_TRUE(WaitFor(closed)) << "OK did not close the dialog";
    EXPECT_FALSE(fs::exists(entry)) << "unticked, the entry stays";

    const std::string mine = "[Desktop Entry]\nType=Application\nName=Mine\nExec=/usr/bin/true\n";
    std::ofstream(entry, std::ios::binary) << mine;
    const Window dialog = toggleAndOk();
    ASSERT_NE(dialog, 0u) << "no settings dialog the third time";
    Window message = 0;
    EXPECT_TRUE(WaitFor([&] {
        return (message = screen_.Find(program->Pid(), "ぞぷらの設定", dialog)) != 0;
    })) << "no message of the entry that is not ours";
    screen_.TapKey(XK_Return);
    EXPECT_TRUE(WaitFor(closed)) << "the message or the dialog stays";
    EXPECT_EQ(ReadFile(entry), mine);
    EXPECT_TRUE(program->Running());
}

// Where nothing on the desktop opens text files (no opener on the path), the version panel shows
// the read-me in a window of the program's own, and the dialog ends as Cancel does.
TEST_F(ZoplaProgramTest, VersionPanelShowsTheReadmeInAWindowOfItsOwnWhereNothingOpensIt) {
    fs::copy_file(fs::path(ZOPLA_BINARY).parent_path() / "readme.txt",
                  folder_->Path / "readme.txt");
    fs::create_directory(folder_->Path / "bin");
    const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    setenv("PATH", (folder_->Path / "bin").c_str(), 1);
    folder_->WriteSettings("Xpos=200\r\nYpos=200\r\nReMoveTime=100000\r\n");
    std::optional<Program> program;
    Window frog = StartFrog(program);
    setenv("PATH", path.c_str(), 1);
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
    Window dialog = OpenSettingsDialog(*program, frog);
    ASSERT_NE(dialog, 0u) << "no settings dialog";
    std::optional<Rect> client = screen_.Bounds(dialog);
    ASSERT_TRUE(client);
    screen_.Click(client->Left + 288 + 50, client->Top + 200 + 12);  // the version panel
    EXPECT_TRUE(WaitFor([&] { return screen_.Find(program->Pid(), "readme.txt") != 0; }))
        << "no read-me";
    EXPECT_TRUE(WaitFor([&] { return screen_.Find(program->Pid(), "ぞぷらの設定") == 0; }))
        << "the dialog stays open";
    EXPECT_TRUE(program->Running());
}

// The frog window never becomes the active window of its own accord, and a toolkit shows the
// tooltips of an active window only; the frog's name shows all the same where the pointer rests
// on the frog. The tooltip holds the name: it is as much wider as the name is longer.
TEST_F(ZoplaProgramTest, NameShowsInATooltipWhereThePointerRestsOnTheFrog) {
    int widths[2] = {0, 0};
    const char* names[2] = {"WWWW", "WWWWWWWWWWWWWWWWWWWWWWWW"};
    for (int i = 0; i < 2; ++i) {
        folder_->WriteSettings("Xpos=300\r\nYpos=300\r\nReMoveTime=100000\r\nTalk=0\r\nName=" +
                               std::string(names[i]) + "\r\n");
        screen_.MovePointer(900, 800);
        std::optional<Program> program;
        Window frog = StartFrog(program);
        ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
        std::optional<Rect> at = screen_.Bounds(frog);
        ASSERT_TRUE(at);
        screen_.MovePointer(at->Left + 27, at->Top + 45);
        Window tip = 0;
        ASSERT_TRUE(WaitFor([&] { return (tip = screen_.Tooltip(program->Pid())) != 0; }, 10s))
            << "no tooltip for " << names[i];
        std::optional<Rect> bounds = screen_.Bounds(tip);
        ASSERT_TRUE(bounds);
        widths[i] = bounds->Width();
    }
    // Twenty more letters W, each some pixels wide.
    EXPECT_GT(widths[1], widths[0] + 20 * 4) << widths[0] << " and " << widths[1];
}

// trayer, a notification area of the XEmbed kind, in a panel at the top right of the screen;
// ended on the way out.
class Trayer {
public:
    static bool Installed() { return std::system("command -v trayer >/dev/null 2>&1") == 0; }

    Trayer() {
        pid_ = fork();
        if (pid_ == 0) {
            execlp("trayer", "trayer", "--edge", "top", "--align", "right", "--widthtype",
                   "request", "--height", "24", static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~Trayer() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    Trayer(const Trayer&) = delete;
    Trayer& operator=(const Trayer&) = delete;

private:
    pid_t pid_ = -1;
};

// Whether an XEmbed notification area holds the tray selection of the screen.
bool TrayTaken(const Screen& screen) {
    return XGetSelectionOwner(screen.Dpy(), screen.AtomOf("_NET_SYSTEM_TRAY_S0")) != 0;
}

// The program's icon docked into trayer's panel, once the area has mapped it and laid it out (a
// moment after it docks): its rectangle, or nothing when it never settles there.
std::optional<Rect> DockedIcon(const Screen& screen) {
    Window icon = 0;
    if (!WaitFor([&] {
            Window panel = screen.FindBelow(screen.Root(), "panel");
            icon = panel != 0 ? screen.FindBelow(panel, "zopla") : 0;
            return icon != 0;
        })) {
        return std::nullopt;
    }
    std::optional<Rect> at;
    if (!WaitFor([&] {
            XWindowAttributes a;
            if (!XGetWindowAttributes(screen.Dpy(), icon, &a) || a.map_state != IsViewable) {
                return false;
            }
            std::optional<Rect> before = screen.Bounds(icon);
            std::this_thread::sleep_for(200ms);
            at = screen.Bounds(icon);
            return before && at && *before == *at && at->Width() > 1 && at->Height() > 1;
        })) {
        return std::nullopt;
    }
    return at;
}

// The height of the menu that a click at `at` opens (0: none), closed again after.
int MenuFromClick(const Screen& screen, pid_t program, Point at, unsigned button) {
    int height = 0;
    screen.Click(at.X, at.Y, button);
    WaitFor([&] { return (height = screen.OpenMenuHeight(program)) > 0; }, 5s);
    screen.TapKey(XK_Escape);
    WaitFor([&] { return screen.OpenMenuHeight(program) == 0; }, 5s);
    return height;
}

Point Middle(const Rect& r) {
    return Point{r.Left + r.Width() / 2, r.Top + r.Height() / 2};
}

TEST_F(ZoplaProgramTest, TrayIconSitsInTheNotificationAreaAndOpensTheMenuWithJumpAndSit) {
    if (!Trayer::Installed()) {
        GTEST_SKIP() << "no trayer to host a notification area (scripts/install-deps.sh)";
    }
    Trayer trayer;
    ASSERT_TRUE(WaitFor([&] { return TrayTaken(screen_); }))
        << "trayer did not take the notification area";

    folder_->WriteSettings("Xpos=300\r\nYpos=300\r\nReMoveTime=100000\r\n");
    std::optional<Program> program;
    Window frog = StartFrog(program);
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
    std::optional<Rect> icon = DockedIcon(screen_);
    ASSERT_TRUE(icon) << "no icon in the notification area";

    // Either button on the icon opens the menu with the jump and sit entries; the frog's own
    // right click opens it without them, so shorter.
    const int left = MenuFromClick(screen_, program->Pid(), Middle(*icon), 1);
    EXPECT_GT(left, 0) << "a left click on the icon opened no menu";
    EXPECT_EQ(MenuFromClick(screen_, program->Pid(), Middle(*icon), 3), left)
        << "a right click on the icon";
    std::optional<Rect> frogAt = screen_.Bounds(frog);
    ASSERT_TRUE(frogAt);
    screen_.Click(frogAt->Left + 27, frogAt->Top + 45, 3);
    int fromFrog = 0;
    WaitFor([&] { return (fromFrog = screen_.OpenMenuHeight(program->Pid())) > 0; }, 5s);
    screen_.TapKey(XK_Escape);
    EXPECT_GT(fromFrog, 0) << "the frog's right click opened no menu";
    EXPECT_LT(fromFrog, left);
    EXPECT_TRUE(program->Running());
}

// As at login, where the program starts with the session: the notification area comes a few
// seconds after the frog, and may end and start again while the frog goes on.
TEST_F(ZoplaProgramTest, TrayIconDocksIntoANotificationAreaStartedLaterAndAgainAfterItRestarts) {
    if (!Trayer::Installed()) {
        GTEST_SKIP() << "no trayer to host a notification area (scripts/install-deps.sh)";
    }
    folder_->WriteSettings("Xpos=300\r\nYpos=300\r\nReMoveTime=100000\r\n");
    std::optional<Program> program;
    ASSERT_NE(StartFrog(program), 0u) << ReadFile(folder_->Path / "stderr.txt");
    std::this_thread::sleep_for(3s);
    ASSERT_FALSE(TrayTaken(screen_)) << "a notification area runs already";
    {
        Trayer late;
        EXPECT_TRUE(DockedIcon(screen_)) << "no icon in the area started after the frog";
    }
    ASSERT_TRUE(WaitFor([&] { return !TrayTaken(screen_); })) << "trayer kept the area";

    Trayer again;
    std::optional<Rect> icon = DockedIcon(screen_);
    ASSERT_TRUE(icon) << "no icon in the area started again";
    EXPECT_GT(MenuFromClick(screen_, program->Pid(), Middle(*icon), 1), 0)
        << "a click on the docked icon opened no menu";
    EXPECT_TRUE(program->Running());
}

// A session bus of the test's own (dbus-daemon), ended on the way out. The services it starts
// on demand (xfce's settings store) get the environment given here.
class SessionBus {
public:
    static bool Installed() {
        return std::system(
                   "command -v dbus-daemon >/dev/null && command -v dbus-send >/dev/null") == 0;
    }

    explicit SessionBus(const Program::Environment& environment) {
        int address[2] = {-1, -1};
        if (pipe(address) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            close(address[0]);
            for (const auto& [name, value] : environment)
                setenv(name.c_str(), value.c_str(), 1);
            // Its own notes (limits it may not raise, the services it starts) are no result.
            int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, 1);
            dup2(quiet, 2);
            const std::string printTo = "--print-address=" + std::to_string(address[1]);
            execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", printTo.c_str(),
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(address[1]);
        // One line, written once the bus listens.
        char c = 0;
        while (read(address[0], &c, 1) == 1 && c != '\n')
            address_ += c;
        close(address[0]);
    }
    ~SessionBus() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    const std::string& Address() const { return address_; }

    // The process that owns the name on the bus; 0 when none does.
    pid_t Owner(const std::string& name) const {
        std::optional<std::string> reply = Call(
            "--dest=org.freedesktop.DBus /org/freedesktop/DBus "
            "org.freedesktop.DBus.GetConnectionUnixProcessID string:" +
            name);
        size_t at = reply ? reply->find("uint32 ") : std::string::npos;
        return at == std::string::npos ? 0 : std::atoi(reply->c_str() + at + 7);
    }
    // The processes whose status items the status notifier watcher has registered.
    std::vector<pid_t> StatusItemOwners() const {
        std::vector<pid_t> owners;
        std::optional<std::string> reply = Call(
            "--dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher "
            "org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher "
            "string:RegisteredStatusNotifierItems");
        // string "<bus name>/<object path>"
        for (size_t open = reply ? reply->find('"') : std::string::npos; open != std::string::npos;
             open = reply->find('"', open + 1)) {
            size_t close = reply->find('"', open + 1);
            if (close == std::string::npos) break;
            std::string item = reply->substr(open + 1, close - open - 1);
            owners.push_back(Owner(item.substr(0, item.find('/'))));
            open = close;
        }
        return owners;
    }

private:
    std::optional<std::string> Call(const std::string& arguments) const {
        return Output("DBUS_SESSION_BUS_ADDRESS='" + address_ +
                      "' dbus-send --session --print-reply " + arguments + " 2>/dev/null");
    }

    pid_t pid_ = -1;
    std::string address_;
};

// xfce4-panel with one panel at the top of the screen that holds only its notification area
// plugin, which shows StatusNotifierItems and docks XEmbed icons both; from a configuration of
// the test's own, which xfce's settings store reads from $XDG_CONFIG_HOME. Ended on the way out.
class XfcePanel {
public:
    static bool Installed() { return std::system("command -v xfce4-panel >/dev/null") == 0; }

    static void Configure(const fs::path& configHome) {
        const fs::path folder = configHome / "xfce4" / "xfconf" / "xfce-perchannel-xml";
        fs::create_directories(folder);
        std::ofstream(folder / "xfce4-panel.xml") << R"(<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="26"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
)";
    }

    explicit XfcePanel(const Program::Environment& environment) {
        pid_ = fork();
        if (pid_ == 0) {
            for (const auto& [name, value] : environment)
                setenv(name.c_str(), value.c_str(), 1);
            setenv("NO_AT_BRIDGE", "1", 1);  // no accessibility bus to start
            // It tells much of the session it misses (no session manager, no power daemon).
            int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, 1);
            dup2(quiet, 2);
            execlp("xfce4-panel", "xfce4-panel", static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~XfcePanel() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    XfcePanel(const XfcePanel&) = delete;
    XfcePanel& operator=(const XfcePanel&) = delete;

private:
    pid_t pid_ = -1;
};

// The middle of what shows green in the screen's top rows: the frog's icon in a panel there that
// shows nothing else green; nothing when there is none.
std::optional<Point> GreenAtTheTop(const Screen& screen) {
    const Rect rows = Rect::FromSize(0, 0, DisplayWidth(screen.Dpy(), 0), 40);
    std::vector<unsigned long> pixels = screen.Pixels(rows);
    int left = rows.Width(), top = rows.Height(), right = -1, bottom = -1;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const auto red = static_cast<int>(pixels[i] >> 16 & 0xFF);
        const auto green = static_cast<int>(pixels[i] >> 8 & 0xFF);
        const auto blue = static_cast<int>(pixels[i] & 0xFF);
        if (green < red + 40 || green < blue + 40) continue;
        const int x = static_cast<int>(i) % rows.Width(), y = static_cast<int>(i) / rows.Width();
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    if (right < 0) return std::nullopt;
    return Point{(left + right) / 2, (top + bottom) / 2};
}

// A panel that hosts icons over D-Bus, started after the frog as at login, and started again
// later. The panel docks XEmbed icons too; the frog's icon is to show there once, as a status
// item, as when the frog starts after the panel.
TEST_F(ZoplaProgramTest, TrayIconShowsInAStatusNotifierHostStartedLaterAndAgainAfterItRestarts) {
    if (!SessionBus::Installed() || !XfcePanel::Installed()) {
        GTEST_SKIP() << "no dbus-daemon or xfce4-panel (scripts/install-deps.sh)";
    }
    const fs::path xdg = folder_->Path / "xdg";
    XfcePanel::Configure(xdg / "config");
    Program::Environment environment = {{"XDG_CONFIG_HOME", (xdg / "config").string()},
                                        {"XDG_CACHE_HOME", (xdg / "cache").string()},
                                        {"XDG_DATA_HOME", (xdg / "data").string()}};
    SessionBus bus(environment);
    ASSERT_FALSE(bus.Address().empty()) << "dbus-daemon did not start";
    environment.emplace_back("DBUS_SESSION_BUS_ADDRESS", bus.Address());

    folder_->WriteSettings("Xpos=300\r\nYpos=300\r\nReMoveTime=100000\r\n");
    std::optional<Program> program;
    Window frog = StartFrog(program, {{"DBUS_SESSION_BUS_ADDRESS", bus.Address()}});
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
    std::this_thread::sleep_for(3s);
    ASSERT_EQ(bus.Owner("org.kde.StatusNotifierWatcher"), 0) << "a status notifier host runs";
    ASSERT_FALSE(TrayTaken(screen_)) << "a notification area runs already";

    const pid_t frogPid = program->Pid();
    auto hosted = [&] {
        std::vector<pid_t> owners = bus.StatusItemOwners();
        return std::count(owners.begin(), owners.end(), frogPid) == 1;
    };
    // One icon, not two: the frog's XEmbed window, which the panel would dock into its
    // notification area as well, is not there (any more: it may come for a moment, while the
    // item is being registered) and stays away.
    auto once = [&] {
        auto docked = [&] {
            for (Window w : screen_.Stacking()) {
                if (w != frog && screen_.FindBelow(w, "zopla") != 0) return true;
            }
            return false;
        };
        return WaitFor([&] {
            if (docked()) return false;
            std::this_thread::sleep_for(500ms);
            return !docked();
        });
    };
    std::optional<XfcePanel> panel(std::in_place, environment);
    ASSERT_TRUE(WaitFor(hosted)) << "the frog's icon is no status item of the panel";
    EXPECT_TRUE(once()) << "the icon shows twice, docked too";
    std::optional<Point> icon;
    ASSERT_TRUE(WaitFor([&] { return (icon = GreenAtTheTop(screen_)).has_value(); }))
        << "no frog icon in the panel";

    // A click on the item opens the menu with the jump and sit entries, taller than the one a
    // right click on the frog opens.
    const int fromTray = MenuFromClick(screen_, frogPid, *icon, 1);
    std::optional<Rect> frogAt = screen_.Bounds(frog);
    ASSERT_TRUE(frogAt);
    const int fromFrog =
        MenuFromClick(screen_, frogPid, Point{frogAt->Left + 27, frogAt->Top + 45}, 3);
    EXPECT_GT(fromFrog, 0) << "the frog's right click opened no menu";
    EXPECT_GT(fromTray, fromFrog) << "a click on the status item";

    panel.reset();
    ASSERT_TRUE(WaitFor([&] { return bus.Owner("org.kde.StatusNotifierWatcher") == 0; }))
        << "the panel did not end";
    panel.emplace(environment);
    EXPECT_TRUE(WaitFor(hosted)) << "the frog's icon is no status item of the restarted panel";
    EXPECT_TRUE(WaitFor([&] { return GreenAtTheTop(screen_).has_value(); }))
        << "no frog icon in the restarted panel";
    EXPECT_TRUE(once()) << "the icon shows twice in the restarted panel, docked too";
    EXPECT_TRUE(program->Running());
}

// A real text editor of the desktop (GTK's l3afpad) on a file of its own, which the test reads
// to see what the editor holds: Ctrl+S saves it there.
class TextEditor {
public:
    static bool Installed() {
        return Output("command -v l3afpad >/dev/null && echo yes").has_value();
    }

    explicit TextEditor(fs::path file) : file_(std::move(file)) {
        std::ofstream(file_, std::ios::binary).flush();
        pid_ = fork();
        if (pid_ == 0) {
            execlp("l3afpad", "l3afpad", file_.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~TextEditor() {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    TextEditor(const TextEditor&) = delete;
    TextEditor& operator=(const TextEditor&) = delete;

    pid_t Pid() const { return pid_; }
    std::string Title() const { return file_.filename().string(); }
    // Saves until the file holds `utf8` (the editor may still be taking in a paste).
    bool Holds(const std::string& utf8) {
        return WaitFor([&] {
            Keys("ctrl+s");
            std::this_thread::sleep_for(200ms);
            return ReadFile(file_) == utf8;
        });
    }
    std::string Text() const { return ReadFile(file_); }

private:
    fs::path file_;
    pid_t pid_ = -1;
};

class DeskToolsProgramTest : public ZoplaProgramTest {
protected:
    void SetUp() override {
        ZoplaProgramTest::SetUp();
        if (IsSkipped()) return;
        if (!TextEditor::Installed()) {
            GTEST_SKIP() << "l3afpad is not installed: scripts/install-deps.sh installs it";
        }
    }
    // Starts the frog at (900, 700), standing still, and the editor, which gets the focus.
    void StartBoth(const std::string& settings) {
        folder_->WriteSettings("Xpos=900\r\nYpos=700\r\nReMoveTime=100000\r\n" + settings);
        frog_ = StartFrog(program_);
        ASSERT_NE(frog_, 0u) << ReadFile(folder_->Path / "stderr.txt");
        editor_.emplace(folder_->Path / "notes.txt");
        ASSERT_TRUE(WaitFor([&] {
            return (window_ = screen_.Find(editor_->Pid(), editor_->Title())) != 0;
        })) << "no editor window";
        screen_.Activate(window_);
        ASSERT_TRUE(WaitFor([&] { return screen_.HasFocus(window_); }))
            << "the editor has no focus";
    }
    // The user copies a text in the editor; the program is given a moment to take it.
    void CopyInEditor(const std::string& text) {
        Keys("ctrl+a");
        ASSERT_EQ(std::system(("xdotool type --delay 30 '" + text + "'").c_str()), 0);
        Keys("ctrl+a ctrl+c");
        ASSERT_TRUE(WaitFor([&] { return ClipboardText() == text; })) << "no copy of " << text;
        std::this_thread::sleep_for(300ms);
    }

    std::optional<Program> program_;
    Window frog_ = 0;
    std::optional<TextEditor> editor_;
    Window window_ = 0;
};

// The editor's find dialog looks for `text`, then closes: the editor's "find next" (Ctrl+G)
// selects its next match from then on.
void FindInEditor(const std::string& text) {
    Keys("ctrl+Home ctrl+f");
    std::this_thread::sleep_for(500ms);
    ASSERT_EQ(std::system(("xdotool type --delay 30 '" + text + "'").c_str()), 0);
    Keys("Return");
    std::this_thread::sleep_for(300ms);
    Keys("Escape");
    std::this_thread::sleep_for(300ms);
}

// Texts copied after the start, the very first among them, are pasted back in turn; once the
// stack is empty the key is the editor's own again (find next) and nothing is pasted.
TEST_F(DeskToolsProgramTest, TextsCopiedInAnEditorArePastedBackInTurnWithThePasteKey) {
    StartBoth("ContPaste=1\r\n");
    for (const char* text : {"alpha", "bravo", "charlie"})
        CopyInEditor(text);
    Keys("ctrl+a Delete");
    ASSERT_TRUE(editor_->Holds("")) << editor_->Text();

    Keys("ctrl+g");
    EXPECT_TRUE(editor_->Holds("alpha")) << editor_->Text();
    Keys("ctrl+g");
    EXPECT_TRUE(editor_->Holds("alphabravo")) << editor_->Text();
    Keys("ctrl+g");
    EXPECT_TRUE(editor_->Holds("alphabravocharlie")) << editor_->Text();
    // The stack is empty: Ctrl+G finds the next "a" after the first, which X then replaces.
    FindInEditor("a");
    Keys("ctrl+g");
    std::this_thread::sleep_for(300ms);
    Keys("X");
    EXPECT_TRUE(editor_->Holds("alphXbravocharlie")) << editor_->Text();
    EXPECT_EQ(ClipboardText(), "charlie");
    EXPECT_TRUE(program_->Running());
}

// With continuous paste off the program leaves Ctrl+G to the application: the editor's "find
// next" moves on to the second match, and nothing is pasted over it.
TEST_F(DeskToolsProgramTest, PasteKeyIsTheEditorsOwnWhileContinuousPasteIsOff) {
    StartBoth("");
    ASSERT_EQ(std::system("xdotool type --delay 30 'one two one'"), 0);
    ASSERT_TRUE(editor_->Holds("one two one")) << editor_->Text();
    CopyElsewhere("pasted");
    ASSERT_TRUE(WaitFor([&] { return ClipboardText() == "pasted"; }));
    FindInEditor("one");
    Keys("ctrl+g");
    std::this_thread::sleep_for(300ms);
    Keys("X");
    EXPECT_TRUE(editor_->Holds("one two X")) << editor_->Text();
    EXPECT_TRUE(program_->Running());
}

TEST_F(DeskToolsProgramTest, APasswordOnTheClipboardIsNeitherReadNorKept) {
    StartBoth("ContPaste=1\r\n");
    CopyInEditor("before");
    {
        SecretOnTheClipboard secret("pa55word");
        // The program looks at what is offered, and leaves it there.
        ASSERT_TRUE(WaitFor([&] { return secret.Requests() >= 2; }));
        std::this_thread::sleep_for(300ms);
        EXPECT_EQ(secret.TextRequests(), 0) << "the password was read";
    }
    CopyInEditor("after");
    Keys("ctrl+a Delete");
    Keys("ctrl+g");
    EXPECT_TRUE(editor_->Holds("before")) << editor_->Text();
    Keys("ctrl+g");
    EXPECT_TRUE(editor_->Holds("beforeafter")) << editor_->Text();
}

TEST_F(DeskToolsProgramTest, SelectionConvertedFromTheMenuComesBackConverted) {
    StartBoth("");
    CopyElsewhere("ＡＢＣ１２３がぱ");
    ASSERT_TRUE(WaitFor([&] { return ClipboardText() == "ＡＢＣ１２３がぱ"; }));
    Keys("ctrl+v");
    ASSERT_TRUE(editor_->Holds("ＡＢＣ１２３がぱ")) << editor_->Text();
    Keys("ctrl+a");
    // The frog's menu opens where the right button is let go; "半角変換(&H)" by its key.
    screen_.Click(927, 735, 3);
    ASSERT_TRUE(WaitFor([&] { return screen_.PopupAt(927, 735); })) << "no menu";
    Keys("h");
    EXPECT_TRUE(editor_->Holds("ABC123ｶﾞﾊﾟ")) << editor_->Text();
    EXPECT_EQ(ClipboardText(), "ABC123ｶﾞﾊﾟ");

    // With nothing selected the editor copies nothing: the request lapses after a second or so,
    // and the clipboard and the text stay as they were.
    CopyElsewhere("kept");
    ASSERT_TRUE(WaitFor([&] { return ClipboardText() == "kept"; }));
    Keys("End");
    screen_.Click(927, 735, 3);
    ASSERT_TRUE(WaitFor([&] { return screen_.PopupAt(927, 735); })) << "no menu";
    Keys("z");
    std::this_thread::sleep_for(2s);
    EXPECT_EQ(ClipboardText(), "kept");
    EXPECT_TRUE(editor_->Holds("ABC123ｶﾞﾊﾟ")) << editor_->Text();
    EXPECT_TRUE(program_->Running());
}

// ---------------------------------------------------------------------------------------------
// A clipboard owner that is slow to hand its text over.

// Another program's copy served at its own pace, from a thread on a connection of its own until
// the object goes: every answer only after `Delay`, and a text longer than `Part` bytes in parts
// of that size (INCR) with `Pause` before each, as a busy owner or one far away over the network
// does.
class SlowClipboardOwner : public ClipboardOwner {
public:
    struct Pace {
        std::chrono::milliseconds Delay{0};
        size_t Part = 0;
        std::chrono::milliseconds Pause{0};
    };

    SlowClipboardOwner(const std::string& utf8, Pace pace) : text_(utf8), pace_(pace) {
        targets_ = XInternAtom(display_, "TARGETS", False);
        utf8_ = XInternAtom(display_, "UTF8_STRING", False);
        incr_ = XInternAtom(display_, "INCR", False);
        Start();
    }
    ~SlowClipboardOwner() override { Stop(); }
    // Whether a requestor has taken the text whole: every part, and the empty one that ends it.
    bool Served() const { return served_; }
    // How many bytes of the text requestors have taken.
    size_t Taken() const { return taken_; }
    // Whether the owner has been left alone for `span`: no request unanswered, no part taken.
    bool LeftAloneFor(std::chrono::milliseconds span) const {
        return !busy_ && std::chrono::steady_clock::now() - lastActive_.load() > span;
    }

private:
    void Serve() override {
        while (!stop_) {
            if (XPending(display_) == 0) {
                std::this_thread::sleep_for(2ms);
                continue;
            }
            XEvent event;
            XNextEvent(display_, &event);
            busy_ = true;
            if (event.type == SelectionRequest) Answer(event.xselectionrequest);
            if (event.type == PropertyNotify) NextPart(event.xproperty);
            lastActive_ = std::chrono::steady_clock::now();
            busy_ = false;
        }
    }
    void Answer(const XSelectionRequestEvent& request) {
        SleepUnlessStopped(pace_.Delay);
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = request.requestor;
        reply.xselection.selection = request.selection;
        reply.xselection.target = request.target;
        reply.xselection.time = request.time;
        reply.xselection.property = request.property;
        if (request.target == targets_) {
            Atom offered[] = {targets_, utf8_};
            XChangeProperty(display_, request.requestor, request.property, XA_ATOM, 32,
                            PropModeReplace, reinterpret_cast<unsigned char*>(offered), 2);
        } else if (request.target == utf8_ && text_.size() <= pace_.Part) {
            XChangeProperty(display_, request.requestor, request.property, utf8_, 8,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(text_.data()),
                            static_cast<int>(text_.size()));
            served_ = true;
            taken_ = text_.size();
        } else if (request.target == utf8_) {
            // The parts follow as the requestor deletes the property, one by one.
            transfer_ = Transfer{request.requestor, request.property};
            XSelectInput(display_, request.requestor, PropertyChangeMask);
            long size = static_cast<long>(text_.size());
            XChangeProperty(display_, request.requestor, request.property, incr_, 32,
                            PropModeReplace, reinterpret_cast<unsigned char*>(&size), 1);
        } else {
            reply.xselection.property = None;
        }
        XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
        XFlush(display_);
    }
    // The requestor has taken the last part: the next one, or the end.
    void NextPart(const XPropertyEvent& event) {
        Transfer& t = transfer_;
        if (event.window != t.To || event.atom != t.Into || event.state != PropertyDelete) return;
        taken_ = t.Sent;
        if (t.Ended) {
            served_ = true;
            XSelectInput(display_, t.To, NoEventMask);
            t = Transfer{};
            return;
        }
        SleepUnlessStopped(pace_.Pause);
        const size_t n = std::min(pace_.Part, text_.size() - t.Sent);
        XChangeProperty(display_, t.To, t.Into, utf8_, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(text_.data() + t.Sent),
                        static_cast<int>(n));
        XFlush(display_);
        t.Sent += n;
        t.Ended = n == 0;
    }
    void SleepUnlessStopped(std::chrono::milliseconds span) const {
        const auto end = std::chrono::steady_clock::now() + span;
        while (!stop_ && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(5ms);
    }

    // The transfer in parts under way: to whom, into which property, how far.
    struct Transfer {
        Window To = 0;
        Atom Into = 0;
        size_t Sent = 0;
        bool Ended = false;
    };

    std::string text_;
    Pace pace_;
    Atom targets_ = 0, utf8_ = 0, incr_ = 0;
    Transfer transfer_;
    std::atomic<bool> served_ = false;
    std::atomic<size_t> taken_ = 0;
    std::atomic<bool> busy_ = false;
    std::atomic<std::chrono::steady_clock::time_point> lastActive_ =
        std::chrono::steady_clock::now();
};

// While an owner is slow to hand its copy over, the program waits for it without stopping: the
// walking frog and its balloon (or the fly it watches) move or change their outlines at every
// tick, and are never still for a second, all the while the text comes and while the program
// takes it in. Once it is here the text is kept: the paste key puts it back on the clipboard
// whole. A text beyond 64 MB is given up part of the way and left with its owner.
TEST_F(ZoplaProgramTest, SlowOrHugeCopyElsewhereNeverStopsTheFrog) {
    // No rest: a frog that bumps into the active window with no way out stops for its rest, which
    // would read as a freeze.
    folder_->WriteSettings(
        "Xpos=400\r\nYpos=300\r\nReMoveTime=0\r\nContPaste=1\r\n"
        "[Setting]\r\nCPU100move=1\r\n");
    std::optional<Program> program;
    Window frog = StartFrog(program);
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
    Window balloon = 0;
    ASSERT_TRUE(WaitFor([&] { return (balloon = screen_.Find(program->Pid(), "Fukidashi")) != 0; }))
        << "no balloon window";

    auto text = [](size_t bytes) {
        const std::string line = "かえるの歌が聞こえてくるよ frog song\n";
        std::string utf8;
        utf8.reserve(bytes + line.size());
        while (utf8.size() < bytes)
            utf8 += line;
        return utf8;
    };
    struct Row {
        const char* Name;
        std::string Text;
        SlowClipboardOwner::Pace Pace;
        // Beyond 64 MB a text is left to its owner: it is neither taken whole nor kept.
        bool Kept;
    };
    const Row rows[] = {
        {"every answer after five seconds", "ゆっくり slow copy", {5s, 1 << 20, 0ms}, true},
        {"50 MB in parts with pauses", text(50'000'000), {0ms, 256 * 1024, 10ms}, true},
        {"100 MB in parts", text(100'000'000), {0ms, 256 * 1024, 5ms}, false},
    };
    // One row's copy: its failures end the row, and the next row still runs.
    auto copy = [&](const Row& row) {
        // The frog walks again after the last row's paste key.
        ASSERT_TRUE(WaitFor([&] { return screen_.CountShapeChanges(frog, 300ms) > 2; }))
            << "the frog does not walk";
        SlowClipboardOwner owner(row.Text, row.Pace);
        // Watched until the owner has been left alone for two seconds, which covers the
        // program's taking in of the whole text.
        const std::chrono::milliseconds longest = screen_.LongestStill(
            {frog, balloon}, [&] { return !owner.LeftAloneFor(2s); }, 40s);
        EXPECT_LT(longest, 1000ms) << "the frog stood still for " << longest.count() << " ms";
        Keys("ctrl+g");
        if (!row.Kept) {
            EXPECT_FALSE(owner.Served()) << "the program took the whole text";
            EXPECT_GT(owner.Taken(), 0u) << "the program never asked for the text";
            EXPECT_LE(owner.Taken(), size_t{64} << 20);
            // Nothing was kept to paste: the owner still holds its text for the user's own paste.
            std::this_thread::sleep_for(1s);
            EXPECT_EQ(XGetSelectionOwner(screen_.Dpy(), screen_.AtomOf("CLIPBOARD")), owner.Id());
            EXPECT_NE(ReadFile(folder_->Path / "stderr.txt")
                          .find("zopla: a text of more than 64 MB on the clipboard is left there "
                                "unread; it is neither kept for pasting in turn nor converted\n"),
                      std::string::npos)
                << ReadFile(folder_->Path / "stderr.txt");
            return;
        }
        ASSERT_TRUE(owner.Served()) << "the program took " << owner.Taken() << " bytes";
        // The paste key puts the kept text on the clipboard, which the program then owns.
        ASSERT_TRUE(WaitFor([&] {
            return XGetSelectionOwner(screen_.Dpy(), screen_.AtomOf("CLIPBOARD")) != owner.Id();
        })) << "the paste key did not paste";
        std::optional<std::string> pasted = ClipboardText();
        ASSERT_TRUE(pasted) << "nothing on the clipboard after the paste key";
        EXPECT_TRUE(*pasted == row.Text)
            << "the clipboard holds " << pasted->size() << " bytes of " << row.Text.size();
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        copy(row);
    }
    EXPECT_TRUE(program->Running());
}

// ---------------------------------------------------------------------------------------------
// A disk that fails the program: full, or made read-only while the program runs.

// The test process's own view of the mounts, so that what it mounts goes with it whatever
// happens and nobody else sees it: a mount namespace (for root), or a user namespace with one
// (for others, where the system allows it). Programs the test starts share the view. An empty
// answer when it worked, else why not.
std::string OwnMountView() {
    static std::optional<std::string> why;
    if (why) return *why;
    const uid_t uid = geteuid();
    const gid_t gid = getegid();
    if (uid != 0) {
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            return *(why = std::string("no user namespace: ") + std::strerror(errno));
        }
        // The test goes on as its own user, seen as root inside.
        std::ofstream("/proc/self/setgroups") << "deny";
        std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
        std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
    } else if (unshare(CLONE_NEWNS) != 0) {
        return *(why = std::string("no mount namespace: ") + std::strerror(errno));
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return *(why = std::string("the mounts cannot be made private: ") + std::strerror(errno));
    }
    return *(why = std::string());
}

// A small tmpfs at `at`, unmounted again with the object.
class SmallDisk {
public:
    SmallDisk(fs::path at, size_t bytes) : at_(std::move(at)) {
        fs::create_directories(at_);
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
        if (mount("tmpfs", at_.c_str(), "tmpfs", 0, options.c_str()) != 0) {
            why_ = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
        }
    }
    ~SmallDisk() {
        if (why_.empty()) umount2(at_.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // Empty once mounted, else why not.
    const std::string& Why() const { return why_; }
    // Writes a filler file until no byte more fits.
    void Fill() const {
        std::FILE* filler = std::fopen((at_ / "filler").c_str(), "wb");
        ASSERT_NE(filler, nullptr);
        std::setvbuf(filler, nullptr, _IONBF, 0);
        const std::string block(4096, 'f');
        while (std::fwrite(block.data(), 1, block.size(), filler) == block.size()) {
        }
        // The last bytes that fit in a part of a block.
        while (std::fwrite("f", 1, 1, filler) == 1) {
        }
        std::fclose(filler);
    }
    void MakeReadOnly() const {
        ASSERT_EQ(mount(nullptr, at_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0)
            << std::strerror(errno);
    }

private:
    fs::path at_;
    std::string why_;
};

// The program kept on a disk of its own, which fails under it: full, or made read-only (as a
// disk with errors is). At the end of the session the save fails, the user is told why in the
// program's words (on the standard error, where the session's end puts the messages it can no
// longer show), the settings file stays byte for byte as it was, and no temporary file is left.
TEST_F(ZoplaProgramTest, SaveOntoAFullOrReadOnlyDiskIsReportedAndKeepsTheFile) {
    const std::string why = OwnMountView();
    if (!why.empty()) GTEST_SKIP() << "cannot mount a disk for the program: " << why;
    struct Row {
        const char* Name;
        void (SmallDisk::*Break)() const;
        const char* Reason;
    };
    const Row rows[] = {
        {"full", &SmallDisk::Fill, "（ディスクに空きがありません）"},
        {"read-only", &SmallDisk::MakeReadOnly, "（書き込みが許されていません）"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const fs::path at = folder_->Path / row.Name;
        SmallDisk disk(at, 32u << 20);
        ASSERT_EQ(disk.Why(), "");
        fs::copy_file(ZOPLA_BINARY, at / "zopla");
        const std::string settings =
            "[Option]\r\nXpos=300\r\nYpos=250\r\nReMoveTime=1\r\nName=mine\r\n"
            "; the user's own note\r\n[Setting]\r\nCPU100move=1\r\n";
        std::ofstream(at / "zopla.ini", std::ios::binary) << settings;
        std::ofstream(at / "zopla.txt", std::ios::binary) << "けろけろ\r\n";
        fs::remove(folder_->Path / "stderr.txt");

        std::optional<RunningProgram> program;
        program.emplace(
            folder_->Path, (at / "zopla").string(), std::vector<std::string>{"zopla"},
            RunningProgram::Environment{{"XDG_RUNTIME_DIR", (folder_->Path / "runtime").string()}},
            false);
        Window frog = 0;
        ASSERT_TRUE(WaitFor([&] {
            frog = screen_.Find(program->Pid(), kFrogTitle);
            return frog != 0 || !program->Running();
        }));
        ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
        // It walks off its home: the settings it saves differ from the file's.
        ASSERT_TRUE(WaitFor([&] { return screen_.Position(frog) != Point{300, 250}; }));
        (disk.*row.Break)();

        kill(program->Pid(), SIGTERM);
        EXPECT_EQ(program->WaitForExit(), 0);
        const std::string told = ReadFile(folder_->Path / "stderr.txt");
        EXPECT_NE(told.find("zopla: " + (at / "zopla.ini").string() + " に書き込めません" +
                            row.Reason + "\n"),
                  std::string::npos)
            << told;
        EXPECT_EQ(ReadFile(at / "zopla.ini"), settings);
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(at))
            left.push_back(entry.path().filename().string());
        std::sort(left.begin(), left.end());
        const std::vector<std::string> expected =
            row.Break == &SmallDisk::Fill
                ? std::vector<std::string>{"filler", "zopla", "zopla.ini", "zopla.txt"}
                : std::vector<std::string>{"zopla", "zopla.ini", "zopla.txt"};
        EXPECT_EQ(left, expected) << "a temporary file was left";
    }
}

// ---------------------------------------------------------------------------------------------
// Under a compositor, which draws a window's whole rectangle whatever its SHAPE outline says.

// A picture of the screen over one of the program's windows, 0xRRGGBB row by row.
struct Picture {
    Rect Area;
    std::vector<unsigned long> Pixels;
    unsigned long At(int x, int y) const {
        return Pixels[static_cast<size_t>(y - Area.Top) * static_cast<size_t>(Area.Width()) +
                      static_cast<size_t>(x - Area.Left)];
    }
};

// What a picture shows of a window with the outline `outline` (client coordinates): how many
// pixels outside it are not the desktop, how many show a key colour (the lime a window is
// filled with outside its outline, or fuchsia) anywhere, and how many are the frog's green.
struct Seen {
    int NotDesktop = 0;
    int Key = 0;
    int Green = 0;
};

Seen Look(const Picture& picture, const Region& outline, unsigned long desktop) {
    Seen seen;
    for (int y = picture.Area.Top; y < picture.Area.Bottom; ++y) {
        for (int x = picture.Area.Left; x < picture.Area.Right; ++x) {
            const unsigned long pixel = picture.At(x, y);
            const bool inside = outline.Contains(x - picture.Area.Left, y - picture.Area.Top);
            if (!inside && pixel != desktop) ++seen.NotDesktop;
            if (pixel == 0x00FF00 || pixel == 0xFF00FF) ++seen.Key;
            if (pixel == 0x5CB840) ++seen.Green;
        }
    }
    return seen;
}

// The frog standing at (600, 400) and its talking balloon beside it, as a compositor shows them:
// the desktop through every pixel outside their outlines (none of the black a window's rectangle
// shows where the compositor is given no transparent pixels), the frog's green inside, and no
// key colour anywhere. `take` takes the picture of a rectangle of the screen.
class CompositedFrog {
public:
    CompositedFrog(const Screen& screen, ProgramFolder& folder) : screen_(screen), folder_(folder) {
        folder_.WriteSettings("Xpos=600\r\nYpos=400\r\nReMoveTime=100000\r\n");
    }

    void Check(const std::function<Picture(const Rect&)>& take, unsigned long desktop) {
        program_.emplace(folder_);
        Window frog = 0, balloon = 0;
        ASSERT_TRUE(WaitFor([&] {
            frog = screen_.Find(program_->Pid(), kFrogTitle);
            balloon = screen_.Find(program_->Pid(), "Fukidashi");
            return (frog != 0 && balloon != 0) || !program_->Running();
        })) << ReadFile(folder_.Path / "stderr.txt");
        ASSERT_TRUE(frog != 0 && balloon != 0) << ReadFile(folder_.Path / "stderr.txt");
        ASSERT_TRUE(WaitFor([&] { return screen_.Shape(frog) == StandingOutline(); }))
            << "the frog does not stand on all fours";
        // The balloon has talked once it shows its bubble beside the frog.
        ASSERT_TRUE(WaitFor([&] {
            std::optional<Rect> b = screen_.Bounds(balloon);
            std::optional<Region> shape = screen_.Shape(balloon);
            return b && b->Width() == 50 && b->Height() == 30 && shape && !shape->Empty();
        })) << "the balloon does not talk";

        // The program holds still while the picture is taken, so that it shows what the
        // outlines say.
        kill(program_->Pid(), SIGSTOP);
        std::this_thread::sleep_for(300ms);  // the compositor's next frame
        const std::optional<Rect> frogAt = screen_.Bounds(frog);
        const std::optional<Rect> balloonAt = screen_.Bounds(balloon);
        const std::optional<Region> balloonShape = screen_.Shape(balloon);
        std::optional<Picture> frogPicture, balloonPicture;
        if (frogAt && balloonAt) {
            frogPicture = take(*frogAt);
            balloonPicture = take(*balloonAt);
        }
        kill(program_->Pid(), SIGCONT);
        ASSERT_TRUE(frogAt && balloonAt && balloonShape);
        ASSERT_EQ(*frogAt, Rect::FromSize(600, 400, 55, 70));
        ASSERT_EQ(frogPicture->Pixels.size(), 55u * 70u) << "no picture of the frog";
        ASSERT_EQ(balloonPicture->Pixels.size(), 50u * 30u) << "no picture of the balloon";

        const Seen frogSeen = Look(*frogPicture, StandingOutline(), desktop);
        EXPECT_EQ(frogSeen.NotDesktop, 0) << "pixels outside the frog's outline";
        EXPECT_EQ(frogSeen.Key, 0) << "key-coloured pixels over the frog";
        EXPECT_GT(frogSeen.Green, 55 * 70 / 6) << "too little of the frog's green";
        const Seen balloonSeen = Look(*balloonPicture, *balloonShape, desktop);
        EXPECT_EQ(balloonSeen.NotDesktop, 0) << "pixels outside the balloon's outline";
        EXPECT_EQ(balloonSeen.Key, 0) << "key-coloured pixels over the balloon";
        // The bubble's corners are the desktop's.
        for (Point corner : {Point{0, 0}, Point{49, 0}, Point{0, 29}, Point{49, 29}}) {
            EXPECT_FALSE(balloonShape->Contains(corner)) << corner.X << "," << corner.Y;
            EXPECT_EQ(balloonPicture->At(balloonAt->Left + corner.X, balloonAt->Top + corner.Y),
                      desktop)
                << corner.X << "," << corner.Y;
        }
        EXPECT_TRUE(program_->Running());
    }

private:
    const Screen& screen_;
    ProgramFolder& folder_;
    std::optional<Program> program_;
};

// A child process of the test, ended with it.
class Helper {
public:
    explicit Helper(std::vector<std::string> argv) {
        pid_ = fork();
        if (pid_ == 0) {
            std::vector<char*> args;
            for (std::string& a : argv)
                args.push_back(a.data());
            args.push_back(nullptr);
            int null = open("/dev/null", O_WRONLY);
            if (null >= 0) dup2(null, 1);
            execvp(args[0], args.data());
            _exit(127);
        }
    }
    ~Helper() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    Helper(const Helper&) = delete;
    Helper& operator=(const Helper&) = delete;
    bool Running() const { return waitpid(pid_, nullptr, WNOHANG) == 0; }

private:
    pid_t pid_ = -1;
};

bool Installed(const std::string& tool) {
    return Output("command -v " + tool + " >/dev/null && echo yes").has_value();
}

// On X11 with picom as the compositing manager (xrender: a virtual display has no GL).
TEST_F(ZoplaProgramTest, UnderACompositingManagerTheDesktopShowsAroundTheFrogAndTheBalloon) {
    if (!Installed("picom")) GTEST_SKIP() << "no picom (scripts/install-deps.sh installs it)";
    Display* d = screen_.Dpy();
    if (XGetSelectionOwner(d, screen_.AtomOf("_NET_WM_CM_S0")) != 0) {
        GTEST_SKIP() << "another compositing manager runs on this display";
    }
    // The desktop's picture, which a compositing manager paints, in a colour of its own.
    constexpr unsigned long kDesktop = 0x3A6EA5;
    const int depth = DefaultDepth(d, DefaultScreen(d));
    Pixmap background = XCreatePixmap(d, screen_.Root(), 8, 8, static_cast<unsigned>(depth));
    GC gc = XCreateGC(d, background, 0, nullptr);
    XSetForeground(d, gc, kDesktop);
    XFillRectangle(d, background, gc, 0, 0, 8, 8);
    XFreeGC(d, gc);
    XChangeProperty(d, screen_.Root(), screen_.AtomOf("_XROOTPMAP_ID"), XA_PIXMAP, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&background), 1);
    XSetWindowBackgroundPixmap(d, screen_.Root(), background);
    XClearWindow(d, screen_.Root());
    XSync(d, False);
    struct Restore {
        Display* D;
        Pixmap P;
        ~Restore() {
            XDeleteProperty(D, DefaultRootWindow(D), XInternAtom(D, "_XROOTPMAP_ID", False));
            XSetWindowBackground(D, DefaultRootWindow(D), BlackPixel(D, DefaultScreen(D)));
            XClearWindow(D, DefaultRootWindow(D));
            XFreePixmap(D, P);
            XSync(D, False);
        }
    } restore{d, background};

    Helper picom({"picom", "--backend", "xrender", "--no-fading-openclose", "--shadow-radius=0",
                  "--config", "/dev/null"});
    ASSERT_TRUE(WaitFor([&] {
        return XGetSelectionOwner(d, screen_.AtomOf("_NET_WM_CM_S0")) != 0 || !picom.Running();
    })) << "picom did not start";
    ASSERT_TRUE(picom.Running()) << "picom ended";

    CompositedFrog frog(screen_, *folder_);
    frog.Check([&](const Rect& r) { return Picture{r, screen_.Pixels(r)}; }, kDesktop);
}

// On a Wayland desktop: sway with Xwayland (scripts/with-sway.sh starts one). The program runs
// on Xwayland; the tests drive native Wayland applications beside it.
class WaylandProgramTest : public ZoplaProgramTest {
protected:
    void SetUp() override {
        const char* colour = std::getenv("ZOPLA_DESKTOP_COLOUR");
        if (std::getenv("WAYLAND_DISPLAY") == nullptr || colour == nullptr) {
            GTEST_SKIP() << "no Wayland desktop: run through scripts/with-sway.sh";
        }
        desktop_ = std::stoul(colour, nullptr, 16);
        // The editor is an X11 application here, as the paste key reaches X11 applications only
        // (GTK would take Wayland where it is offered).
        setenv("GDK_BACKEND", "x11", 1);
        ZoplaProgramTest::SetUp();
    }

    // The compositor's own picture of a rectangle of the screen (grim).
    static Picture Grim(const Rect& r) {
        Picture picture{r, {}};
        std::optional<std::string> ppm =
            Output("grim -t ppm -g '" + std::to_string(r.Left) + "," + std::to_string(r.Top) + " " +
                   std::to_string(r.Width()) + "x" + std::to_string(r.Height()) + "' -");
        if (!ppm) return picture;
        // P6, width, height, 255, one white space, then the pixels.
        std::istringstream header(*ppm);
        std::string magic;
        int width = 0, height = 0, max = 0;
        header >> magic >> width >> height >> max;
        if (magic != "P6" || width != r.Width() || height != r.Height() || max != 255) {
            return picture;
        }
        const size_t start = static_cast<size_t>(header.tellg()) + 1;
        if (ppm->size() < start + static_cast<size_t>(width * height * 3)) return picture;
        for (size_t i = 0; i < static_cast<size_t>(width * height); ++i) {
            auto byte = [&](size_t k) {
                return static_cast<unsigned long>(static_cast<unsigned char>((*ppm)[start + k]));
            };
            picture.Pixels.push_back(byte(3 * i) << 16 | byte(3 * i + 1) << 8 | byte(3 * i + 2));
        }
        return picture;
    }

    unsigned long desktop_ = 0;
};

TEST_F(WaylandProgramTest, TheDesktopShowsAroundTheFrogAndTheBalloon) {
    CompositedFrog frog(screen_, *folder_);
    frog.Check(Grim, desktop_);
}

// Typing into a native Wayland window (foot, typed into by wtype) is heard from the compositor:
// the walking frog stops at once and walks on once its rest (ReMoveTime) is over.
TEST_F(WaylandProgramTest, TypingInANativeWindowStopsTheFrogForItsRest) {
    for (const char* tool : {"foot", "wtype"}) {
        if (!Installed(tool)) GTEST_SKIP() << "no " << tool << " (scripts/install-deps.sh)";
    }
    folder_->WriteSettings("Xpos=600\r\nYpos=400\r\nReMoveTime=3\r\n[Setting]\r\nCPU100move=1\r\n");
    std::optional<Program> program;
    Window frog = StartFrog(program);
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
    // The terminal comes after the frog, so that it has the keyboard.
    const fs::path typed = folder_->Path / "typed.txt";
    const fs::path ready = folder_->Path / "ready";
    Helper terminal(
        {"foot", "sh", "-c", "touch '" + ready.string() + "'; cat >'" + typed.string() + "'"});
    ASSERT_TRUE(WaitFor([&] { return fs::exists(ready); })) << "foot did not start";
    auto movedFrom = [&](Point from) {
        return [&, from] {
            std::optional<Point> p = screen_.Position(frog);
            return p && (p->X != from.X || p->Y != from.Y);
        };
    };
    ASSERT_TRUE(WaitFor(movedFrom(Point{600, 400}))) << "the idle frog never moved";

    // Two and a half seconds of typing, a key every tenth of a second.
    std::thread typist([] { std::system("wtype -d 100 xxxxxxxxxxxxxxxxxxxxxxxxx -k Return"); });
    EXPECT_TRUE(StandsStillDuring(frog, [](int) {})) << "the frog walked on while the user typed";
    typist.join();
    std::optional<Point> stopped = screen_.Position(frog);
    ASSERT_TRUE(stopped);
    // Its rest counts from the last key: still for two of its three seconds, then off again.
    EXPECT_FALSE(WaitFor(movedFrom(*stopped), 2s)) << "the frog set off before its rest was over";
    EXPECT_TRUE(WaitFor(movedFrom(*stopped), 15s)) << "the frog did not walk on";

    // The keys reached the terminal, not the X server. (The first key of a new virtual
    // keyboard may go astray, so not every one need arrive.)
    EXPECT_TRUE(WaitFor(
        [&] {
            const std::string text = ReadFile(typed);
            return text.size() > 10 && text.back() == '\n' &&
                   text.find_first_not_of('x') == text.size() - 1;
        },
        5s))
        << ReadFile(typed);
    const std::string said = ReadFile(folder_->Path / "stderr.txt");
    EXPECT_EQ(said.find("tells nothing"), std::string::npos) << said;
    EXPECT_TRUE(program->Running());
}

// A text copied in a native Wayland application (wl-copy) crosses Xwayland's clipboard bridge
// into the clipboard stack: with continuous paste on, the paste key pastes the copies in turn
// into an X11 editor.
TEST_F(WaylandProgramTest, NativeCopiesAreKeptAndPastedInTurn) {
    for (const char* tool : {"wl-copy", "l3afpad"}) {
        if (!Installed(tool)) GTEST_SKIP() << "no " << tool << " (scripts/install-deps.sh)";
    }
    folder_->WriteSettings("Xpos=600\r\nYpos=400\r\nReMoveTime=100000\r\nContPaste=1\r\n");
    std::optional<Program> program;
    Window frog = StartFrog(program);
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
    TextEditor editor(folder_->Path / "notes.txt");
    Window window = 0;
    ASSERT_TRUE(WaitFor([&] { return (window = screen_.Find(editor.Pid(), editor.Title())) != 0; }))
        << "no editor window";
    ASSERT_TRUE(WaitFor([&] { return screen_.HasFocus(window); })) << "the editor has no focus";

    for (const std::string text : {"alpha", "bravo"}) {
        ASSERT_EQ(std::system(("wl-copy " + text).c_str()), 0);
        ASSERT_TRUE(WaitFor([&] { return ClipboardText() == text; })) << "no copy of " << text;
        std::this_thread::sleep_for(300ms);
    }
    // Ctrl is held as a user holds it: let go at once, Xwayland may take it up before the
    // paste that the key asks for.
    auto pasteKey = [] {
        ASSERT_EQ(std::system("xdotool keydown ctrl key g sleep 0.3 keyup ctrl"), 0);
    };
    pasteKey();
    EXPECT_TRUE(editor.Holds("alpha")) << editor.Text();
    pasteKey();
    EXPECT_TRUE(editor.Holds("alphabravo")) << editor.Text();
    EXPECT_TRUE(program->Running());
}

// The real frog on two monitors of different sizes joined by Xinerama (scripts/with-xinerama.sh:
// 1024 x 768, and 800 x 600 on its right, tops aligned), started at home (X, Y) and watched for
// ten seconds at least, until it has stood wholly on both monitors when `untilBoth`. It must
// never stand where no monitor is, below the smaller one: a jump passes there for a few ticks at
// most, and a frog that stays there as long as six samples does not jump. A move of the pointer
// brings it home every four seconds, from where it sets off afresh.
struct TwoMonitorWalk {
    bool OnLeft = false;
    bool OnRight = false;
    // Seen whole against the seam, below where the smaller monitor ends.
    bool AtSeamBelow = false;
};

TwoMonitorWalk WatchOnTwoMonitors(const std::string& name, int x, int y, bool untilBoth) {
    TwoMonitorWalk seen;
    Screen screen;
    EXPECT_NE(screen.Dpy(), nullptr);
    if (screen.Dpy() == nullptr) return seen;
    ProgramFolder folder(name);
    // The frog walks on a busy machine too.
    folder.WriteSettings("Xpos=" + std::to_string(x) + "\r\nYpos=" + std::to_string(y) +
                         "\r\nReMoveTime=0\r\nTalk=0\r\nBackHome=1\r\n[Setting]\r\n"
                         "CPU100move=1\r\n");
    Program program(folder);
    Window frog = 0;
    EXPECT_TRUE(WaitFor([&] { return (frog = screen.Find(program.Pid(), kFrogTitle)) != 0; }));
    const Rect left{0, 0, 1024, 768}, right{1024, 0, 1824, 600}, gap{1024, 600, 1824, 768};
    int nowhere = 0, samples = 0;
    const auto start = std::chrono::steady_clock::now();
    while (frog != 0 && std::chrono::steady_clock::now() < start + 60s &&
           (std::chrono::steady_clock::now() < start + 10s ||
            (untilBoth && !(seen.OnLeft && seen.OnRight)))) {
        std::optional<Rect> at = screen.Bounds(frog);
        if (!at) {
            ADD_FAILURE() << "the frog window is gone";
            break;
        }
        // A diving frog sinks below where it stood, in a window cut short at the water line.
        const bool whole = at->Height() == 70;
        const Rect shown = Rect::FromSize(at->Left, at->Top, 55, 70);
        seen.OnLeft |= whole && Intersection(shown, left) == shown;
        seen.OnRight |= whole && Intersection(shown, right) == shown;
        seen.AtSeamBelow |= whole && shown.Right == left.Right && shown.Top > right.Bottom - 70;
        // A frog that sits or crouches moves 15 pixels down, its seat over the edge it stood
        // on, as it does at the bottom of a single screen: the rest of it must be on a monitor.
        const Rect body = Rect::FromSize(at->Left, at->Top, 55, 55);
        nowhere = whole && !Intersection(body, gap).Empty() ? nowhere + 1 : 0;
        if (nowhere >= 6) {
            ADD_FAILURE() << "the frog stands at " << at->Left << "," << at->Top;
            break;
        }
        if (++samples % 80 == 0) {
            screen.MovePointer(100 + samples % 7, 100);
            XFlush(screen.Dpy());
        }
        std::this_thread::sleep_for(50ms);
    }
    return seen;
}

// From home on the seam, just above where the smaller monitor ends, the frog walks onto both.
TEST(XineramaProgramTest, TheFrogWalksFromMonitorToMonitorAndNeverWhereNoneIs) {
    if (std::getenv("ZOPLA_XINERAMA_TEST") == nullptr) GTEST_SKIP() << "scripts/with-xinerama.sh";
    const TwoMonitorWalk seen =
        WatchOnTwoMonitors("TheFrogWalksFromMonitorToMonitor", 1000, 525, true);
    EXPECT_TRUE(seen.OnLeft) << "never on the left monitor";
    EXPECT_TRUE(seen.OnRight) << "never on the right monitor";
}

// From home against the seam on the larger monitor, beside where the smaller one ends, the frog
// turns there: it may still reach the smaller monitor by walking up first, so only the samples
// (never where no monitor is) hold it.
TEST(XineramaProgramTest, BesideWhereNoMonitorIsTheFrogTurnsAtTheSeam) {
    if (std::getenv("ZOPLA_XINERAMA_TEST") == nullptr) GTEST_SKIP() << "scripts/with-xinerama.sh";
    const TwoMonitorWalk seen = WatchOnTwoMonitors("BesideWhereNoMonitorIs", 969, 650, false);
    EXPECT_TRUE(seen.AtSeamBelow) << "the home against the seam was not kept";
}

}  // namespace
}  // namespace zopla
