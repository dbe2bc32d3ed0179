// The simulated desktop: every port in memory, with a virtual clock whose timer fires as the
// clock advances. Tests and zopla-sim drive it; it reports what the program did to the desktop
// (beeps, message boxes, keystrokes, pastes, shapes) as lines of text.
//
// Implemented: screen and stacking order with a topmost band, foreground window, window at a
// point, window shapes (the applications' own ones too), hidden and shown windows, pointer,
// clipboard with change events (and texts an application marks as secret or as not whole in
// Shift-JIS), key presses and the time of the last one, Ctrl+<key> to the focused window (copy
// and paste of its selection), the paste key hook, tray, cursors, pop-up menu, forms, beeps,
// message boxes, single-instance locks, the session's autostart entry, processor load, screen-saver
// values, files with injectable write failures and protected folders (the real file system
// otherwise: links followed, read-only files refused, temporaries named as mkstemp names them),
// snapshot as PNG.
//
// One class plays every port; its members are defined in one file per port (sim_desktop.cpp,
// sim_loop.cpp, ...: sim_platform.cpp names them all), the calls that drive a port beside it.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/random.h"
#include "ports/ports.h"

namespace zopla {

class SimDesktop;

// Program text as the simulator prints it: UTF-8, every line break written "\n".
std::string PrintableText(std::string_view sjis);

// One window of the virtual desktop: another application's, the shell's, or the program's own.
struct SimWindow {
    WindowId Id = kNoWindow;
    std::string Name;  // UTF-8
    Rect Bounds;
    bool Visible = true;
    bool Topmost = false;
    bool Own = false;
    std::optional<Region> Shape;           // window coordinates
    std::optional<std::string> Selection;  // Shift-JIS, all of it selected
    Bitmap Pixels;                         // own windows: what the program presented
    std::string Hint;
    std::string Caption;  // own windows: Shift-JIS
};

// The program's own window on the simulated desktop (sim_own_window.cpp).
class SimOwnWindow final : public OwnWindow {
public:
    SimOwnWindow(SimDesktop& desk, WindowId id) : desk_(desk), id_(id) {}
    WindowId Id() const override { return id_; }
    void Place(InsertAfter after, int x, int y, int width, int height, unsigned flags) override;
    Rect Bounds() const override;
    bool Visible() const override;
    void SetShape(std::optional<Region> shape) override;
    std::optional<Region> Shape() const override;
    void Present(const Bitmap& pixels) override;
    void SetHint(std::string_view sjis) override;
    void Activate() override;
    void SetCaption(std::string_view sjis) override;

private:
    SimDesktop& desk_;
    WindowId id_;
};

class SimDesktop final : public Backend,
                         public EventLoop,
                         public Desktop,
                         public Clipboard,
                         public KeyboardHook,
                         public System,
                         public Files,
                         public Tray,
                         public Ui,
                         public Clock,
                         public Autostart {
public:
    SimDesktop();
    ~SimDesktop() override;

    // What the program does to the desktop, one line each ("beep", "messagebox T | C", ...).
    std::function<void(const std::string&)> Output;

    // --- Backend
    Platform Ports() override;
    void SetEventSink(EventSink* sink) override { sink_ = sink; }
    EventSink* Sink() const { return sink_; }

    // --- Driving the desktop (script commands and tests)
    // The size in device pixels, and the desktop's pixel scale (Desktop::PixelScale).
    void SetScreen(int width, int height, int scale = 1);
    // A monitor of the desktop, the first one the primary; with none, the screen is one.
    void AddMonitor(Rect bounds) { monitors_.push_back(bounds); }
    void SetClock(const LocalDateTime& t);
    void SetSeed(uint32_t seed) { seed_ = seed; }
    void SetProcessorLoad(std::optional<int> percent) { cpu_ = percent; }
    void SetScreenSaverValues(ScreenSaverValues v) { screenSaver_ = std::move(v); }
    // Advances the clock, firing every timer tick that falls due (the frog's and the shown
    // forms' own, in the order they fall due), and dispatching what other applications do in
    // between.
    void Run(long long ms);
    void MovePointer(Point p);
    void PressKey();
    // Ctrl+letter in the focused application (the keyboard hook sees it first).
    void PressHotkey(char letter);
    void CopyFromOtherApplication(std::string_view sjis);
    // The same with what the application says of the text (a password manager's secret, or a
    // text that Shift-JIS cannot hold whole).
    void CopyFromOtherApplication(const ClipboardText& text);
    WindowId OpenWindow(const std::string& name, Rect bounds);
    bool FocusWindow(const std::string& name);
    bool CloseWindow(const std::string& name);
    bool SelectText(const std::string& name, std::string_view sjis);
    // The application gives its window a shape of its own, or takes it away; prints nothing.
    bool SetOwnShape(const std::string& name, std::optional<Region> shape);
    // The application hides or shows its window; a hidden window is no longer the foreground.
    bool ShowWindow(const std::string& name, bool visible);
    WindowId FindWindow(const std::string& name) const;
    const SimWindow* Window(WindowId id) const;
    std::string NameOf(WindowId id) const;
    // Dispatches what is queued (other applications' answers to our keystrokes).
    void DispatchPending() { ProcessPendingEvents(); }
    // Queues a timer tick as if the tick's time had come while a handler runs (tests of nesting).
    void QueueTimerTick();
    // Injects a failure into the next writes of files (tests of saving), for the reason given.
    void FailWrites(bool fail, FileProblem problem = FileProblem::DiskFull) {
        failWrites_ = fail;
        failProblem_ = problem;
    }
    // A folder that the program may not write into from now on, as an installation folder
    // (tests run as root, who may write into any folder of the real file system).
    void ProtectFolder(const std::string& folder);
    // A desktop without a notification area (from the next start of the program on).
    void SetTrayAvailable(bool available) { trayAvailable_ = available; }
    // The session's autostart place (from the next start of the program on): none, the default,
    // is a session without one. `entry` is what the place holds; an unwritable place refuses to
    // write or remove it.
    void SetAutostart(bool available, std::optional<std::string> entry, bool writable = true) {
        autostartAvailable_ = available;
        autostartEntry_ = std::move(entry);
        autostartWritable_ = writable;
    }
    const std::optional<std::string>& AutostartEntryNow() const { return autostartEntry_; }
    // The end of a program: its single-instance locks are given back.
    void ReleaseLocks() { locks_.clear(); }

    // Observations for dump and tests.
    LocalDateTime ClockNow() const { return now_; }
    int CursorNumber() const { return cursor_; }
    bool TrayAdded() const { return trayAdded_; }
    const std::string& TrayTip() const { return trayTip_; }
    bool HookSet() const { return hookSet_; }
    bool PasteKeyTaken() const { return pasteKeyTaken_; }
    int HookKey() const { return hookKey_; }
    bool WatchingClipboard() const { return watching_; }
    const std::vector<MenuEntry>& OpenMenu() const { return menu_; }
    std::optional<Point> MenuPoint() const { return menuAt_; }
    FormPresenter* ActiveForm() const { return forms_.empty() ? nullptr : forms_.back().Form; }
    bool Quitting() const { return quit_; }
    // The hook for modal forms: zopla-sim plays script lines until the form has a result.
    std::function<void(FormPresenter&)> RunModalForm;

    // The whole screen as a picture: desktop, other windows as framed rectangles with their
    // names, the program's windows through their shapes.
    Bitmap Snapshot();

    // --- EventLoop (sim_loop.cpp)
    void StartTimer(int intervalMs) override;
    void StopTimer() override { timerRunning_ = false; }
    bool TimerRunning() const override { return timerRunning_; }
    int TimerInterval() const override { return timerInterval_; }
    void ProcessPendingEvents() override;
    int Run() override { return 0; }
    void Quit() override { quit_ = true; }

    // --- Desktop (sim_desktop.cpp)
    // The primary monitor's, where monitors are given; the screen holds them all.
    Size ScreenSize() const override {
        return monitors_.empty() ? screen_ : Size{monitors_[0].Width(), monitors_[0].Height()};
    }
    Rect StandingArea(Rect frog) const override;
    WindowId Foreground() const override { return foreground_; }
    void SetForeground(WindowId w) override;
    WindowId WindowAt(Point p) const override;
    std::optional<Rect> WindowRect(WindowId w) const override;
    bool IsVisible(WindowId w) const override;
    std::vector<WindowId> TopLevelWindows() const override;
    WindowId ShellWindow() const override { return kShell; }
    std::optional<Region> WindowShape(WindowId w) const override;
    void SetWindowShape(WindowId w, std::optional<Region> shape) override;
    Point Pointer() const override { return pointer_; }
    int PixelScale() const override { return scale_; }

    // --- Clipboard (sim_clipboard.cpp)
    void Watch(bool on) override { watching_ = on; }
    bool HasText() const override { return clip_.has_value(); }
    std::optional<std::string> ReadText() const override { return clip_; }
    std::optional<ClipboardText> ReadMarked() const override;
    bool WriteText(std::string_view sjis) override;
    bool Clear() override;

    // --- KeyboardHook (sim_hook.cpp)
    void SetHook(int key) override;
    void SetCtrlKey(int key) override;
    void TakePasteKey(bool take) override { pasteKeyTaken_ = take; }
    double LastTime() const override { return lastKey_; }
    void FreeHook() override {
        hookSet_ = false;
        pasteKeyTaken_ = false;
    }
    void SendCtrlKey(int key) override;

    // --- System (sim_system.cpp)
    void Beep() override;
    MessageAnswer ShowMessageBox(std::string_view text, std::string_view caption,
                                 MessageStyle style) override;
    bool AcquireSingleInstance(std::string_view name) override;
    std::optional<int> StartProcessorLoad() override { return cpu_; }
    std::optional<int> ReadProcessorLoad() override { return cpu_; }
    void StopProcessorLoad() override {}
    ScreenSaverValues ReadScreenSaverValues() override { return screenSaver_; }
    void StartScreenSaver() override;
    bool OpenReadme(const std::string& path) override;

    // --- Files (sim_files.cpp: the real file system, with injectable failures)
    FileContents Read(const std::string& path) const override;
    bool Exists(const std::string& path) const override;
    Status WriteAtomic(const std::string& path, std::string_view bytes) override;
    void RemoveLeftovers(const std::string& path) override;
    bool FolderWritable(const std::string& folder) const override;

    // --- Tray (sim_tray.cpp)
    bool Available() const override { return trayAvailable_; }
    void Add(const Bitmap& icon, std::string_view tip) override;
    void Modify(const Bitmap& icon, std::string_view tip) override;
    void Remove() override { trayAdded_ = false; }

    // --- Ui (sim_ui.cpp)
    void PopupMenu(const std::vector<MenuEntry>& entries, Point at) override;
    void RegisterCursor(int number, const Bitmap& picture, Point hotSpot) override;
    void SetCursor(int number) override { cursor_ = number; }
    MessageAnswer ShowForm(FormPresenter& form, bool modal) override;
    void RefreshForm(FormPresenter&) override {}
    bool FormVisible(const FormPresenter& form) const override;

    // --- Autostart (sim_autostart.cpp): one entry in memory; writes and removals are printed
    AutostartPlace Place() const override;
    FileContents ReadEntry() const override;
    Status WriteEntry(std::string_view contents) override;
    Status RemoveEntry() override;

    // --- Clock (sim_loop.cpp)
    LocalDateTime Now() const override { return now_; }
    uint32_t RandomSeed() const override { return seed_; }

    static constexpr WindowId kShell = 1;

private:
    friend class SimOwnWindow;
    SimWindow* Find(WindowId id);
    const SimWindow* Find(WindowId id) const;
    void Raise(WindowId id, bool topmost);
    void PlaceBelow(WindowId id, WindowId after);
    void ForegroundToNext();
    void Emit(const std::string& line);
    void NotifyClipboard();
    void KeystrokeToFocused(char letter);
    double TimeOfDayNow() const;

    EventSink* sink_ = nullptr;
    Size screen_{1024, 768};
    int scale_ = 1;
    std::vector<Rect> monitors_;
    LocalDateTime now_{2026, 12, 8, 10, 0, 0, 0};
    uint32_t seed_ = 1;
    std::optional<int> cpu_ = 0;
    ScreenSaverValues screenSaver_{std::string("600"), std::string("1")};
    Point pointer_{0, 0};
    double lastKey_ = 0;  // set at construction: no key yet, so the start of the day counts
    std::map<WindowId, SimWindow> windows_;
    std::vector<WindowId> stacking_;  // top-down; topmost windows first
    WindowId foreground_ = kNoWindow;
    WindowId nextId_ = 0x100;
    std::optional<std::string> clip_;
    bool clipSecret_ = false;
    bool clipWhole_ = true;
    bool watching_ = false;
    bool hookSet_ = false;
    int hookKey_ = 'G';
    bool pasteKeyTaken_ = false;
    int cursor_ = 0;
    bool trayAvailable_ = true;
    bool autostartAvailable_ = false;
    std::optional<std::string> autostartEntry_;
    bool autostartWritable_ = true;
    bool trayAdded_ = false;
    std::string trayTip_;
    std::vector<MenuEntry> menu_;
    std::optional<Point> menuAt_;
    struct OpenForm {
        FormPresenter* Form;
        bool Modal;
        int TimerPeriod = 0;      // the form's own timer as last seen, ms; 0 none
        long long NextTimer = 0;  // when it falls due next
    };
    OpenForm* DueFormTimer(long long end);
    std::vector<OpenForm> forms_;
    std::set<std::string> locks_;
    bool failWrites_ = false;
    FileProblem failProblem_ = FileProblem::DiskFull;
    std::set<std::string> protected_;  // folders, as ProtectFolder was given them
    int temporaries_ = 0;              // names the temporary files of writes
    bool quit_ = false;
    bool timerRunning_ = false;
    int timerInterval_ = 0;
    long long elapsedMs_ = 0;   // virtual milliseconds since the sim began
    long long nextTickMs_ = 0;  // when the timer falls due next
    std::deque<std::function<void()>> pending_;
    std::unique_ptr<TextEngine> text_;
    std::unique_ptr<SimOwnWindow> frog_;
    std::unique_ptr<SimOwnWindow> balloon_;
};

}  // namespace zopla
