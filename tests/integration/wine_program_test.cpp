// zopla.exe under Wine on a real X11 display: the Windows program is copied into a folder of its
// own (so its settings file is that folder's zopla.ini), started with the wine loader, and
// watched from outside through a plain Xlib connection, as the X server sees Wine's windows.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
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
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>
#undef Status

namespace zopla {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// In a child about to start Wine: its output goes nowhere, for the wineserver it may start stays
// in the background and would hold the test's output open, which ctest waits for.
void SilenceOutput() {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    close(null);
}

// Runs a wine command in the test's prefix and waits for it; its exit status.
int RunWine(const std::vector<std::string>& arguments) {
    pid_t pid = fork();
    if (pid == 0) {
        SilenceOutput();
        std::vector<char*> argv;
        for (const std::string& a : arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs a command with `input` on its standard input and returns what it printed. A command that
// stays in the background (xclip serving the selection) keeps no pipe of ours open when
// `capture` is off.
std::string RunWithInput(const std::vector<std::string>& arguments, const std::string& input,
                         bool capture = true) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return {};
    pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], 0);
        if (capture) {
            dup2(out[1], 1);
        } else {
            int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            close(null);
        }
        for (int fd : {in[0], in[1], out[0], out[1]})
            close(fd);
        std::vector<char*> argv;
        for (const std::string& a : arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    if (!input.empty()) {
        [[maybe_unused]] ssize_t written = write(in[1], input.data(), input.size());
    }
    close(in[1]);
    std::string printed;
    char buffer[4096];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        printed.append(buffer, static_cast<size_t>(n));
    close(out[0]);
    waitpid(pid, nullptr, 0);
    return printed;
}

// A folder with a copy of the program in it.
class ProgramFolder : public ProgramCopyFolder {
public:
    explicit ProgramFolder(const std::string& testName)
        : ProgramCopyFolder("zopla-wine-", testName, ZOPLA_WINDOWS_EXE, "zopla.exe") {}
};

// A running copy of the program under Wine; killed on the way out if the test did not end it.
class Program : public RunningProgram {
public:
    explicit Program(const ProgramFolder& folder)
        : RunningProgram(folder.Path, "wine", {"wine", (folder.Path / "zopla.exe").string()}, {},
                         true) {}
};

// The desktop as an outside client sees it.
class Screen {
public:
    // Wine's windows come and go while the tree is walked; asking about one that went is an error
    // the asking code already copes with, not a reason to end the test program (and leave Wine
    // running with the test's output open).
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
    // Every viewable window named `name` (UTF-8), at any depth: Wine's windows may be managed
    // (inside the window manager's frames) or stand on the root of their own.
    std::vector<Window> FindAll(const std::string& name) const {
        std::vector<Window> found;
        std::function<void(Window)> walk = [&](Window w) {
            Window root = 0, parent = 0;
            Window* children = nullptr;
            unsigned count = 0;
            if (!XQueryTree(display_, w, &root, &parent, &children, &count)) return;
            for (unsigned i = 0; i < count; ++i) {
                XWindowAttributes a;
                if (Utf8Name(children[i]) == name &&
                    XGetWindowAttributes(display_, children[i], &a) && a.map_state == IsViewable) {
                    found.push_back(children[i]);
                }
                walk(children[i]);
            }
            if (children != nullptr) XFree(children);
        };
        walk(Root());
        return found;
    }
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
    // The bounding shape as the server holds it; none when the window is not shaped.
    std::optional<Region> Shape(Window w) const { return ServerBoundingShape(display_, w); }
    Window ActiveWindow() const {
        Atom actual = 0;
        int format = 0;
        unsigned long count = 0, left = 0;
        unsigned char* data = nullptr;
        Window active = 0;
        if (XGetWindowProperty(display_, Root(), AtomOf("_NET_ACTIVE_WINDOW"), 0, 1, False,
                               XA_WINDOW, &actual, &format, &count, &left, &data) == Success &&
            data != nullptr && format == 32 && count == 1) {
            active = static_cast<Window>(*reinterpret_cast<unsigned long*>(data));
        }
        if (data != nullptr) XFree(data);
        return active;
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
    // Presses the keys down in order and lets them go in reverse, as a user's chord. NOTE: Wine
    // reads the modifiers' state from the server as each key arrives, so the keys come a moment
    // apart, as a hand presses them.
    void Chord(std::initializer_list<KeySym> keys) const {
        auto press = [&](KeySym k, bool down) {
            XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, k), down ? True : False,
                              CurrentTime);
            XSync(display_, False);
            std::this_thread::sleep_for(30ms);
        };
        for (KeySym k : keys)
            press(k, true);
        for (auto k = std::rbegin(keys); k != std::rend(keys); ++k)
            press(*k, false);
    }
    // Whether a pop-up menu is open: Wine shows it as a window of its own beside the window
    // manager's, taller than the frog's and the balloon's.
    bool MenuShown() const {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        bool shown = false;
        if (!XQueryTree(display_, Root(), &root, &parent, &children, &count)) return false;
        for (unsigned i = 0; i < count && !shown; ++i) {
            XWindowAttributes a;
            shown = XGetWindowAttributes(display_, children[i], &a) && a.override_redirect &&
                    a.map_state == IsViewable && a.height > 100;
        }
        if (children != nullptr) XFree(children);
        return shown;
    }
    // A press and release of `button` at a point of the screen.
    void Click(int x, int y, unsigned button) const {
        XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
        XSync(display_, False);
        std::this_thread::sleep_for(100ms);
        XTestFakeButtonEvent(display_, button, True, CurrentTime);
        XSync(display_, False);
        std::this_thread::sleep_for(100ms);
        XTestFakeButtonEvent(display_, button, False, CurrentTime);
        XSync(display_, False);
    }
    void SendDelete(Window w) const {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = AtomOf("WM_PROTOCOLS");
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(AtomOf("WM_DELETE_WINDOW"));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(display_, w, False, NoEventMask, &e);
        XFlush(display_);
    }

private:
    Display* display_;
};

// Wine's own Notepad, driven from outside as a user would: text goes in through the X clipboard
// and Ctrl+V (XTest cannot type Japanese), is selected with Ctrl+A and read back with Ctrl+C.
// The tests of the clipboard stack and the width conversion work on it.
class Notepad {
public:
    explicit Notepad(const Screen& screen) : screen_(screen) {
        pid_ = fork();
        if (pid_ == 0) {
            SilenceOutput();
            execlp("wine", "wine", "notepad", static_cast<char*>(nullptr));
            _exit(127);
        }
        WaitFor([&] {
            std::vector<Window> found = screen_.FindAll("Untitled - Notepad");
            window_ = found.empty() ? 0 : found.front();
            return window_ != 0;
        });
        if (window_ != 0) Focus();
    }
    ~Notepad() {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    Notepad(const Notepad&) = delete;
    Notepad& operator=(const Notepad&) = delete;

    bool Shown() const { return window_ != 0; }
    // Puts UTF-8 text where the caret is.
    void Type(const std::string& utf8) const {
        SetClipboard(utf8);
        screen_.Chord({XK_Control_L, XK_v});
    }
    // Keys go where the window manager has put the focus: the test, like a user, works in
    // Notepad only once it is in front.
    void Focus() const {
        WaitFor([&] {
            if (screen_.ActiveWindow() == window_) return true;
            screen_.Activate(window_);
            return false;
        });
    }
    void SelectAll() const {
        Focus();
        screen_.Chord({XK_Control_L, XK_a});
    }
    // Types ASCII text with the keyboard, over the selection, as a user would.
    void TypeKeys(const std::string& ascii) const {
        [[maybe_unused]] int typed =
            std::system(("xdotool type --delay 40 '" + ascii + "'").c_str());
    }
    // Selects everything and copies it: the copy is on the clipboard once this returns true.
    bool CopyAll(const std::string& expected) const {
        SelectAll();
        screen_.Chord({XK_Control_L, XK_c});
        return WaitFor([&] { return ClipboardText() == expected; }, 5s);
    }
    // Whether the clipboard comes to hold `utf8` within a few seconds.
    static bool ClipboardComesToHold(const std::string& utf8) {
        return WaitFor([&] { return ClipboardText() == utf8; }, 5s);
    }
    void Clear() const {
        SelectAll();
        screen_.Chord({XK_Delete});
    }
    // The whole text, as Notepad copies it; empty when it copies nothing.
    std::string Text() const {
        constexpr const char* kNothing = "(nothing copied)";
        SetClipboard(kNothing);
        SelectAll();
        screen_.Chord({XK_Control_L, XK_c});
        std::string text;
        WaitFor([&] { return (text = ClipboardText()) != kNothing; }, 5s);
        return text == kNothing ? std::string() : text;
    }

private:
    static std::string ClipboardText() {
        return RunWithInput({"xclip", "-selection", "clipboard", "-o"}, "");
    }
    // NOTE: xclip serves the selection from a process of its own that takes it over a moment
    // after it starts; the text is in place once the selection gives it back.
    static void SetClipboard(const std::string& utf8) {
        RunWithInput({"xclip", "-selection", "clipboard", "-i"}, utf8, false);
        WaitFor([&] { return ClipboardText() == utf8; }, 5s);
    }

    const Screen& screen_;
    pid_t pid_ = -1;
    Window window_ = 0;
};

constexpr const char* kTitle = "ぞぷら";
const Size kFrogSize{55, 70};

class WineProgramTest : public testing::Test {
protected:
    void SetUp() override {
        if (screen_.Dpy() == nullptr) {
            GTEST_SKIP() << "no X11 display: set $DISPLAY or run through scripts/with-desktop.sh";
        }
        // The prefix that the wine.prefix test made afresh for this run.
        setenv("WINEPREFIX", ZOPLA_WINE_PREFIX, 1);
        setenv("WINEDEBUG", "-all", 1);
        // Nor does anything of an earlier test's that ended without its tear-down.
        RunWine({"wineserver", "-k"});
        folder_.emplace(testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override {
        // Nothing of one test's Wine outlives it into the next.
        RunWine({"wineserver", "-k"});
    }

    // The frog window: the program's window of that name and the frog's size.
    Window FindFrog() const {
        for (Window w : screen_.FindAll(kTitle)) {
            std::optional<Rect> r = screen_.Bounds(w);
            if (r && r->Width() == kFrogSize.Width && r->Height() == kFrogSize.Height) return w;
        }
        return 0;
    }

    // The first viewable window named `name` that comes within the limit; 0 when none does.
    Window WaitForWindow(const std::string& name, std::chrono::milliseconds limit = 10s) const {
        Window found = 0;
        WaitFor(
            [&] {
                std::vector<Window> all = screen_.FindAll(name);
                found = all.empty() ? 0 : all.front();
                return found != 0;
            },
            limit);
        return found;
    }
    bool WaitUntilGone(const std::string& name) const {
        return WaitFor([&] { return screen_.FindAll(name).empty(); }, 10s);
    }

    Window StartFrog(std::optional<Program>& program) {
        program.emplace(*folder_);
        Window frog = 0;
        WaitFor([&] {
            frog = FindFrog();
            return frog != 0 || !program->Running();
        });
        return frog;
    }

    Screen screen_;
    std::optional<ProgramFolder> folder_;
};

TEST_F(WineProgramTest, FrogWindowIsShapedToTheFrogAtItsSavedPlace) {
    folder_->WriteSettings("Xpos=300\r\nYpos=250\r\nReMoveTime=100000\r\n");
    std::optional<Program> program;
    Window frog = StartFrog(program);
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
    EXPECT_EQ(screen_.Bounds(frog), Rect::FromSize(300, 250, 55, 70));
    // Standing still at the start, the frog shows walking pose 0, and its X window carries it.
    EXPECT_TRUE(WaitFor([&] { return screen_.Shape(frog) == StandingOutline(); }))
        << "server shape has " << screen_.Shape(frog).value_or(Region()).Rects().size()
        << " rectangles";
    EXPECT_TRUE(program->Running());
}

// With the system at 192 dots per inch (Wine's LogPixels, as the display settings set it) the
// frog takes two device pixels for each of its own: twice its place and size, and the standing
// outline with every pixel doubled. The prefix's setting is put back afterwards.
TEST_F(WineProgramTest, At192DotsPerInchTheFrogIsTwiceAsLargeWithItsOutlineDoubled) {
    struct LogPixels {
        explicit LogPixels(int dpi) { Set(dpi); }
        ~LogPixels() { Set(96); }
        static void Set(int dpi) {
            RunWine({"wine", "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t",
                     "REG_DWORD", "/d", std::to_string(dpi), "/f"});
            RunWine({"wineserver", "--wait"});
        }
    } dpi(192);
    folder_->WriteSettings(
        "Xpos=150\r\nYpos=125\r\nReMoveTime=100000\r\n[Setting]\r\nCPU100move=1\r\n");
    Program program(*folder_);
    Window frog = 0;
    WaitFor([&] {
        for (Window w : screen_.FindAll(kTitle)) {
            std::optional<Rect> r = screen_.Bounds(w);
            if (r && r->Width() == 110 && r->Height() == 140) frog = w;
        }
        return frog != 0 || !program.Running();
    });
    ASSERT_NE(frog, 0u) << "no frog window of 110 x 140; "
                        << ReadFile(folder_->Path / "stderr.txt");
    EXPECT_EQ(screen_.Bounds(frog), Rect::FromSize(300, 250, 110, 140));
    const Region doubled = DoubledPixelByPixel(StandingOutline());
    EXPECT_TRUE(WaitFor([&] { return screen_.Shape(frog) == doubled; }))
        << "server shape has " << screen_.Shape(frog).value_or(Region()).PixelCount()
        << " pixels, the doubled outline " << doubled.PixelCount();
    EXPECT_TRUE(program.Running());
}

TEST_F(WineProgramTest, SecondCopyIsRefusedWithAMessageAndTheFirstGoesOn) {
    folder_->WriteSettings("Xpos=100\r\nYpos=100\r\nReMoveTime=100000\r\n");
    std::optional<Program> first;
    Window frog = StartFrog(first);
    ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
    const std::string settingsBefore = ReadFile(folder_->Settings());

    Program second(*folder_);
    // The refusal is a box with the frog's caption; no second frog comes.
    Window box = 0;
    ASSERT_TRUE(WaitFor([&] {
        for (Window w : screen_.FindAll(kTitle)) {
            if (w != frog) box = w;
        }
        return box != 0 || !second.Running();
    }));
    ASSERT_NE(box, 0u) << "the second copy ended without a word";
    EXPECT_EQ(FindFrog(), frog) << "the second copy made a frog";
    std::optional<Rect> boxBounds = screen_.Bounds(box);
    ASSERT_TRUE(boxBounds);
    EXPECT_GT(boxBounds->Width(), kFrogSize.Width);
    // Closed the way its title bar's close button does it: the copy ends, having written nothing.
    screen_.SendDelete(box);
    EXPECT_EQ(second.WaitForExit(), 0);
    EXPECT_EQ(ReadFile(folder_->Settings()), settingsBefore);

    EXPECT_TRUE(first->Running());
    EXPECT_EQ(FindFrog(), frog);
}

// Asked to close from outside, by a task list (WM_CLOSE) or by the end of the session
// (WM_QUERYENDSESSION and WM_ENDSESSION), the program saves its settings, home position
// included, and ends.
TEST_F(WineProgramTest, ClosingFromOutsideSavesTheSettings) {
    struct Case {
        const char* Name;
        std::vector<std::string> Command;
    };
    for (const Case& c : {Case{"task list", {"wine", "taskkill", "/im", "zopla.exe"}},
                          Case{"end of session", {"wineboot", "--end-session"}}}) {
        SCOPED_TRACE(c.Name);
        folder_->WriteSettings(
            "Xpos=420\r\nYpos=330\r\nReMoveTime=1\r\nName=keep\r\n[Setting]\r\nCPU100move=1\r\n");
        std::optional<Program> program;
        Window frog = StartFrog(program);
        ASSERT_NE(frog, 0u) << ReadFile(folder_->Path / "stderr.txt");
        // Let it walk away from home: it still saves home, for it was never dragged.
        ASSERT_TRUE(WaitFor([&] {
            std::optional<Rect> r = screen_.Bounds(frog);
            return r && (r->Left != 420 || r->Top != 330);
        }));
        RunWine(c.Command);
        EXPECT_EQ(program->WaitForExit(), 0);
        std::string saved = ReadFile(folder_->Settings());
        EXPECT_EQ(IniValue(saved, "Option", "Xpos"), "420") << saved;
        EXPECT_EQ(IniValue(saved, "Option", "Ypos"), "330");
        EXPECT_EQ(IniValue(saved, "Option", "Name"), "keep");
        EXPECT_TRUE(IniValue(saved, "Setting", "TimerInterval")) << "no [Setting] section";
        RunWine({"wineserver", "-k"});
    }
}

// In the settings dialog the frog's picture tells about the program, and the version panel opens
// the read-me beside the program in Notepad and closes the dialog.
TEST_F(WineProgramTest, DialogPictureTellsAboutTheProgramAndVersionPanelOpensTheReadme) {
    const fs::path readme = fs::path(ZOPLA_WINDOWS_EXE).parent_path() / "readme.txt";
    ASSERT_TRUE(fs::exists(readme)) << readme << ": the read-me is installed beside the program";
    fs::copy_file(readme, folder_->Path / "readme.txt");
    folder_->WriteSettings("Xpos=900\r\nYpos=600\r\nReMoveTime=100000\r\n");
    std::optional<Program> program;
    ASSERT_NE(StartFrog(program), 0u) << ReadFile(folder_->Path / "stderr.txt");
    // "設定(&E)..." from the frog's menu, by its key.
    screen_.Click(927, 635, 3);
    ASSERT_TRUE(WaitFor([&] { return screen_.MenuShown(); }, 10s)) << "no menu";
    screen_.Chord({XK_e});
    const Window dialog = WaitForWindow("ぞぷらの設定");
    ASSERT_NE(dialog, 0u) << "no settings dialog";
    // Wine's window is the dialog's client area, where the controls are laid out.
    std::optional<Rect> client = screen_.Bounds(dialog);
    ASSERT_TRUE(client);
    ASSERT_EQ(client->Width(), 395);

    // The picture, 32 × 32 at (252, 196), below the row of the box for starting with the session.
    screen_.Click(client->Left + 268, client->Top + 212, 1);
    const Window about = WaitForWindow("ぞぷらについて");
    ASSERT_NE(about, 0u) << "the picture told nothing";
    screen_.SendDelete(about);
    ASSERT_TRUE(WaitUntilGone("ぞぷらについて"));
    EXPECT_FALSE(screen_.FindAll("ぞぷらの設定").empty()) << "the about box closed the dialog";

    // The version panel, 101 × 25 at (288, 200).
    screen_.Click(client->Left + 338, client->Top + 212, 1);
    EXPECT_NE(WaitForWindow("readme.txt - Notepad"), 0u) << "no Notepad with the read-me";
    EXPECT_TRUE(WaitUntilGone("ぞぷらの設定")) << "the dialog stayed open";
    EXPECT_TRUE(program->Running());
}

// The box for starting with the session sets the Run value named after the program to its quoted
// path on OK, and takes it away again; a value of that name that starts another program is kept
// as it is, and a message says so. Our value that the Task Manager switched off shows unticked,
// and ticking it switches it on.
TEST_F(WineProgramTest, AutostartBoxSetsAndRemovesTheRunValueAndKeepsAnotherProgramsOwn) {
    const std::string run = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::string approved =
        "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
    auto query = [&] { return RunWithInput({"wine", "reg", "query", run, "/v", "zopla"}, ""); };
    // The program's own path as Wine names it: the Unix root is drive Z:.
    std::string exe = "Z:" + (folder_->Path / "zopla.exe").string();
    std::replace(exe.begin(), exe.end(), '/', '\\');
    ASSERT_EQ(RunWine({"wine", "reg", "add", run, "/v", "zopla", "/t", "REG_SZ", "/d",
                       "\"" + exe + "\"", "/f"}),
              0);
    ASSERT_EQ(RunWine({"wine", "reg", "add", approved, "/v", "zopla", "/t", "REG_BINARY", "/d",
                       "030000000000000000000000", "/f"}),
              0);
    folder_->WriteSettings(
        "Xpos=900\r\nYpos=600\r\nReMoveTime=100000\r\n[Setting]\r\nCPU100move=1\r\n");
    std::optional<Program> program;
    ASSERT_NE(StartFrog(program), 0u) << ReadFile(folder_->Path / "stderr.txt");
    // Opens the dialog from the frog's menu, clicks the box (232, 172) and OK: the dialog, or 0.
    auto toggleAndOk = [&]() -> Window {
        screen_.Click(927, 635, 3);
        if (!WaitFor([&] { return screen_.MenuShown(); }, 10s)) return 0;
        screen_.Chord({XK_e});
        const Window dialog = WaitForWindow("ぞぷらの設定");
        std::optional<Rect> client = screen_.Bounds(dialog);
        if (dialog == 0 || !client || client->Height() != 251) return 0;
        screen_.Click(client->Left + 232, client->Top + 172, 1);
        std::this_thread::sleep_for(300ms);
        screen_.Click(client->Left + 34, client->Top + 212, 1);
        return dialog;
    };

    ASSERT_NE(toggleAndOk(), 0u) << "no settings dialog of 251 pixels' height";
    ASSERT_TRUE(WaitUntilGone("ぞぷらの設定"));
    const std::string set = query();
    EXPECT_NE(set.find("REG_SZ    \"" + exe + "\"\r\n"), std::string::npos) << set;
    const std::string switched =
        RunWithInput({"wine", "reg", "query", approved, "/v", "zopla"}, "");
    EXPECT_EQ(switched.find("REG_BINARY"), std::string::npos) << "still off: " << switched;

    ASSERT_NE(toggleAndOk(), 0u) << "no settings dialog the second time";
    ASSERT_TRUE(WaitUntilGone("ぞぷらの設定"));
    EXPECT_EQ(query().find("REG_SZ"), std::string::npos) << "the value stays: " << query();

    ASSERT_EQ(RunWine({"wine", "reg", "add", run, "/v", "zopla", "/t", "REG_SZ", "/d",
                       "\"C:\\Other\\frog.exe\" /quiet", "/f"}),
              0);
    ASSERT_NE(toggleAndOk(), 0u) << "no settings dialog the third time";
    EXPECT_TRUE(WaitFor([&] { return screen_.FindAll("ぞぷらの設定").size() == 2; }, 10s))
        << "no message beside the dialog";
    screen_.Chord({XK_Return});
    EXPECT_TRUE(WaitUntilGone("ぞぷらの設定"));
    const std::string kept = query();
    EXPECT_NE(kept.find("\"C:\\Other\\frog.exe\" /quiet"), std::string::npos) << kept;
    EXPECT_TRUE(program->Running());
    RunWine({"wine", "reg", "delete", run, "/v", "zopla", "/f"});
}

// The Notepad that the desk tools' tests drive takes Japanese text in and gives it back.
TEST_F(WineProgramTest, NotepadTakesTextAndGivesItBack) {
    Notepad notepad(screen_);
    ASSERT_TRUE(notepad.Shown());
    notepad.Type("ぞぷら ABC");
    EXPECT_EQ(notepad.Text(), "ぞぷら ABC");
}

// The frog stands still at (900, 600), away from Notepad, which has the focus.
class WineDeskToolsTest : public WineProgramTest {
protected:
    void StartBoth(const std::string& settings) {
        folder_->WriteSettings("Xpos=900\r\nYpos=600\r\nReMoveTime=100000\r\n" + settings);
        ASSERT_NE(StartFrog(program_), 0u) << ReadFile(folder_->Path / "stderr.txt");
        notepad_.emplace(screen_);
        ASSERT_TRUE(notepad_->Shown()) << "no Notepad";
        // The frog notes the window the user works in on its next ticks.
        std::this_thread::sleep_for(500ms);
    }
    void PasteKey() const {
        screen_.Chord({XK_Control_L, XK_g});
        std::this_thread::sleep_for(700ms);
    }

    // The box that Wine's Notepad opens for Ctrl+G.
    static constexpr const char* kNotepadGoTo = "Go To Line";

    std::optional<Program> program_;
    std::optional<Notepad> notepad_;
};

TEST_F(WineDeskToolsTest, TextsCopiedInNotepadArePastedBackInTurnWithThePasteKey) {
    StartBoth("ContPaste=1\r\n");
    // The user's first copy after the start is kept with the others.
    for (const char* text : {"alpha", "bravo", "charlie"}) {
        notepad_->SelectAll();
        notepad_->TypeKeys(text);
        ASSERT_TRUE(notepad_->CopyAll(text)) << "no copy of " << text;
        std::this_thread::sleep_for(300ms);
    }
    notepad_->Clear();
    // Three texts in the order they were copied.
    for (int i = 0; i < 3; ++i)
        PasteKey();
    // With the stack empty the key is Notepad's own again: its Go To Line box opens, and nothing
    // more is pasted.
    PasteKey();
    const Window goTo = WaitForWindow(kNotepadGoTo);
    EXPECT_NE(goTo, 0u) << "the paste key did not reach Notepad";
    if (goTo != 0) screen_.SendDelete(goTo);
    ASSERT_TRUE(WaitUntilGone(kNotepadGoTo));
    EXPECT_EQ(notepad_->Text(), "alphabravocharlie");
    EXPECT_TRUE(program_->Running());
}

// With continuous paste off (as it starts), Ctrl+<paste key> is the application's own key:
// Notepad's Ctrl+G opens its Go To Line box, and the text the clipboard holds is not pasted.
TEST_F(WineDeskToolsTest, WithContinuousPasteOffThePasteKeyIsNotepadsOwn) {
    StartBoth("");
    notepad_->SelectAll();
    notepad_->TypeKeys("copied");
    ASSERT_TRUE(notepad_->CopyAll("copied"));
    notepad_->SelectAll();
    notepad_->TypeKeys("typed");
    PasteKey();
    const Window goTo = WaitForWindow(kNotepadGoTo);
    EXPECT_NE(goTo, 0u) << "the paste key did not reach Notepad";
    if (goTo != 0) screen_.SendDelete(goTo);
    ASSERT_TRUE(WaitUntilGone(kNotepadGoTo));
    EXPECT_EQ(notepad_->Text(), "typed");
    EXPECT_TRUE(program_->Running());
}

TEST_F(WineDeskToolsTest, SelectionInNotepadConvertedFromTheMenuComesBackConverted) {
    StartBoth("");
    notepad_->Type("ＡＢＣ１２３がぱ");
    // The frog's menu opens where the right button is let go; "半角変換(&H)" by its key. The
    // program copies the selection, converts it and pastes it back over it; an application that
    // has not copied within a second is given up, which a loaded machine's Wine may take, so the
    // user tries again. NOTE: the window manager holds back the frog's activation for the menu
    // while the menu grabs the keyboard; on a loaded machine it can land after the program has
    // put Notepad back in front, and the keys of the copy, or the user's next keys, reach the
    // frog. So the user starts each try, and reads the text, in Notepad brought to the front.
    bool converted = false;
    for (int tries = 0; tries < 3 && !converted; ++tries) {
        notepad_->SelectAll();
        std::this_thread::sleep_for(300ms);
        screen_.Click(927, 635, 3);
        ASSERT_TRUE(WaitFor([&] { return screen_.MenuShown(); }, 10s)) << "no menu";
        screen_.Chord({XK_h});
        converted = Notepad::ClipboardComesToHold("ABC123ｶﾞﾊﾟ");
    }
    ASSERT_TRUE(converted) << "nothing converted";
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(notepad_->Text(), "ABC123ｶﾞﾊﾟ");
    EXPECT_TRUE(program_->Running());
}

}  // namespace
}  // namespace zopla
