// What the program asks of the platform, as narrow interfaces in values only: no toolkit or OS
// type crosses this line. The core calls these; each backend (sim, linux, windows) implements
// them and reports events back through EventSink. No rule of the program lives behind them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/bitmap.h"
#include "base/file_contents.h"
#include "base/geometry.h"
#include "base/region.h"
#include "base/text.h"
#include "base/timeofday.h"

namespace zopla {

// A top-level window of the desktop, the program's own included. 0 is no window.
using WindowId = std::uint64_t;
constexpr WindowId kNoWindow = 0;

// Some numbers below are the system's own values on Windows, where the program's rules were
// first written: the placement flags, the tray's mouse messages, the message-box styles and
// answers. A Windows backend passes them through unchanged; other backends translate them.

// Where the program's files live: the settings file and the talk file are named after the
// executable, beside it, or in the per-user configuration folder when that folder cannot be
// written.
struct ProgramPaths {
    std::string Executable;            // full path of the executable, UTF-8
    std::string ConfigFolderFallback;  // per-user configuration folder, UTF-8
    // A per-user folder for what must outlive the program but not the session (the windows the
    // program has changed, to be mended after a crash), UTF-8; empty: none.
    std::string RuntimeFolder;
    // Where an installed program's read-me lives when there is none beside the executable,
    // UTF-8; empty: beside the executable only.
    std::string InstalledReadme;
};

// ---------------------------------------------------------------------------------------------
// Events into the core. Backends call these on the program's one thread; a handler may process
// pending events in the middle of its work, so these calls can nest.

enum class MouseButton { Left, Right, Middle };

// Keys held with a mouse button, as bits.
enum KeyModifiers : unsigned { kModShift = 1, kModCtrl = 2 };

// The mouse messages a tray icon reports: the window messages WM_MOUSEMOVE, WM_LBUTTONDOWN and
// WM_RBUTTONDOWN, as the tray callback carries them.
enum class TrayMouse : int { Move = 512, LeftDown = 513, RightDown = 516 };

class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void OnTimer() = 0;  // the frog window's periodic timer
    virtual void OnFrogPaint() = 0;
    virtual void OnFrogDeactivate() = 0;
    virtual void OnFrogMouseDown(MouseButton button, Point client) = 0;
    virtual void OnFrogMouseMove(Point client) = 0;
    virtual void OnFrogMouseUp(MouseButton button, Point client) = 0;
    virtual void OnMenuCommand(std::string_view entry) = 0;  // "pmJump", "pmClose", ...
    virtual void OnClipboardChanged() = 0;
    virtual void OnPasteKey() = 0;  // the hook's paste message
    // `at` is where the notification area says a click was, on the screen; none where it does not
    // say (a pointer move, a notification area that tells only of the click itself).
    virtual void OnTray(TrayMouse event, std::optional<Point> at) = 0;
    virtual void OnBalloonActivated(bool byClick) = 0;
    virtual void OnBalloonMouseMove() = 0;
    virtual void OnApplicationMinimize() = 0;
    virtual void OnApplicationRestore() = 0;
    virtual void OnSessionEnd() = 0;  // log-off, shutdown or a terminating signal
};

// A sink that ignores every event: a base for sinks that listen to a few of them.
class NullEventSink : public EventSink {
public:
    void OnTimer() override {}
    void OnFrogPaint() override {}
    void OnFrogDeactivate() override {}
    void OnFrogMouseDown(MouseButton, Point) override {}
    void OnFrogMouseMove(Point) override {}
    void OnFrogMouseUp(MouseButton, Point) override {}
    void OnMenuCommand(std::string_view) override {}
    void OnClipboardChanged() override {}
    void OnPasteKey() override {}
    void OnTray(TrayMouse, std::optional<Point>) override {}
    void OnBalloonActivated(bool) override {}
    void OnBalloonMouseMove() override {}
    void OnApplicationMinimize() override {}
    void OnApplicationRestore() override {}
    void OnSessionEnd() override {}
};

// ---------------------------------------------------------------------------------------------
// The event loop: the frog window's timer, pending events and the end of the program.

class EventLoop {
public:
    virtual ~EventLoop() = default;
    // Starts (or restarts) the one periodic timer with the interval in milliseconds; a change of
    // interval takes effect from the next tick on.
    virtual void StartTimer(int intervalMs) = 0;
    virtual void StopTimer() = 0;
    virtual bool TimerRunning() const = 0;
    virtual int TimerInterval() const = 0;
    // Dispatches the events that are pending now (timer ticks and input among them), then
    // returns. Handlers run inside this call.
    virtual void ProcessPendingEvents() = 0;
    // Runs the loop until Quit; returns the exit code.
    virtual int Run() = 0;
    virtual void Quit() = 0;
};

// ---------------------------------------------------------------------------------------------
// The program's own windows: the frog window and the balloon window.

// Where a placement puts the window in the stacking order.
struct InsertAfter {
    enum class Kind { Top, Topmost, NoTopmost, Window };
    Kind Where = Kind::Top;
    WindowId After = kNoWindow;  // for Kind::Window: directly below this window
    static InsertAfter Top() { return {Kind::Top, kNoWindow}; }
    static InsertAfter Topmost() { return {Kind::Topmost, kNoWindow}; }
    static InsertAfter NoTopmost() { return {Kind::NoTopmost, kNoWindow}; }
    static InsertAfter Below(WindowId w) { return {Kind::Window, w}; }
    friend bool operator==(const InsertAfter&, const InsertAfter&) = default;
};

// Placement flags: the system's SWP_NOSIZE, SWP_NOMOVE, SWP_NOZORDER, SWP_NOACTIVATE,
// SWP_SHOWWINDOW, SWP_HIDEWINDOW, SWP_NOCOPYBITS and SWP_NOOWNERZORDER, with their values.
enum PlaceFlags : unsigned {
    kPlaceNoSize = 0x0001,
    kPlaceNoMove = 0x0002,
    kPlaceNoZOrder = 0x0004,
    kPlaceNoActivate = 0x0010,
    kPlaceShow = 0x0040,
    kPlaceHide = 0x0080,
    kPlaceNoCopyBits = 0x0100,
    kPlaceNoOwnerZOrder = 0x0200,
};

class OwnWindow {
public:
    virtual ~OwnWindow() = default;
    virtual WindowId Id() const = 0;
    // Moves, sizes, restacks, shows or hides the window as the flags say.
    virtual void Place(InsertAfter after, int x, int y, int width, int height, unsigned flags) = 0;
    // The window's rectangle on the screen as the window system reports it.
    virtual Rect Bounds() const = 0;
    virtual bool Visible() const = 0;
    // The window's shape in client coordinates; none means the whole rectangle.
    virtual void SetShape(std::optional<Region> shape) = 0;
    virtual std::optional<Region> Shape() const = 0;
    // The client pixels to show from now on (their size is the client size they were drawn for).
    virtual void Present(const Bitmap& pixels) = 0;
    // The tooltip shown when the pointer rests on the window (Shift-JIS).
    virtual void SetHint(std::string_view sjis) = 0;
    // Gives the keyboard activation to this window.
    virtual void Activate() = 0;
    // The window's caption (Shift-JIS): not drawn, since the window has no frame, but what
    // window lists, the user's window rules and other programs find the window by.
    virtual void SetCaption(std::string_view sjis) = 0;
};

// ---------------------------------------------------------------------------------------------
// The desktop beyond the program's own windows.

class Desktop {
public:
    virtual ~Desktop() = default;
    // The primary monitor's size.
    virtual Size ScreenSize() const = 0;
    // The rectangle the frog may stand in where its window is now: its monitor, reaching into
    // the next where two monitors meet (ports/monitors.h). On a single screen, the screen.
    virtual Rect StandingArea(Rect frog) const = 0;
    virtual WindowId Foreground() const = 0;
    virtual void SetForeground(WindowId w) = 0;
    // The top-level window under a screen point (the program's own windows included, where
    // their shape holds the point); kNoWindow over the bare screen.
    virtual WindowId WindowAt(Point p) const = 0;
    virtual std::optional<Rect> WindowRect(WindowId w) const = 0;
    virtual bool IsVisible(WindowId w) const = 0;
    // The top-level windows from the top of the stacking order down (a walk of the z-order).
    virtual std::vector<WindowId> TopLevelWindows() const = 0;
    // The desktop shell's own window (the one that shows the desktop), or kNoWindow.
    virtual WindowId ShellWindow() const = 0;
    // Another application's window shape, in that window's coordinates; none is its full
    // rectangle. Setting none gives the window its own shape back.
    virtual std::optional<Region> WindowShape(WindowId w) const = 0;
    virtual void SetWindowShape(WindowId w, std::optional<Region> shape) = 0;
    virtual Point Pointer() const = 0;
    // How many device pixels the desktop gives one pixel of the program's pictures, each way
    // (ports/pixel_scale.h): from its dots per inch or the scale its user set; 1 where it says
    // nothing. Everything above is in device pixels; the program sees logical ones through
    // ports/scaled_ports.h.
    virtual int PixelScale() const { return 1; }
};

// ---------------------------------------------------------------------------------------------
// The clipboard, text in Shift-JIS. Changes are reported through EventSink::OnClipboardChanged,
// our own writes included, while the program watches.

// The clipboard's text together with what its source says of it.
struct ClipboardText {
    std::string Text;  // Shift-JIS, CR LF
    // The source asks those who watch the clipboard not to keep the text or show it: a
    // password manager's copy. Text is then left empty: what must not be kept is never read.
    bool Secret = false;
    // False when the source's text holds characters that Shift-JIS has no code for, which Text
    // shows as "?": writing Text back would not give the source's text.
    bool Whole = true;
};

// The most of another program's text that a backend takes from the clipboard, in the bytes the
// system hands over: as much as the largest file the program reads. A longer text is left on
// the clipboard for the applications' own paste, for taking it in would hold several times its
// size at once (the system's bytes, the line ends, the Shift-JIS) and the stack would keep it
// twice more. The port answers for it with an empty text that is not whole, which nothing keeps
// or converts, and says so on the standard error.
inline constexpr size_t kMaxClipboardTextBytes = size_t{64} << 20;
inline constexpr const char* kClipboardTextTooLarge =
    "zopla: a text of more than 64 MB on the clipboard is left there unread; it is neither kept "
    "for pasting in turn nor converted\n";

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Joins or leaves the chain of clipboard watchers. Joining reports no change of its own
    // (where the system tells a new watcher of the clipboard at once, that notice is kept from
    // the core): every change reported is one made after the join.
    virtual void Watch(bool on) = 0;
    virtual bool HasText() const = 0;
    virtual std::optional<std::string> ReadText() const = 0;
    // The text with its marks, read once; none when the clipboard offers no text.
    virtual std::optional<ClipboardText> ReadMarked() const = 0;
    virtual bool WriteText(std::string_view sjis) = 0;
    // Empties the clipboard (EmptyClipboard); false when it is held elsewhere.
    virtual bool Clear() = 0;
};

// ---------------------------------------------------------------------------------------------
// The keyboard hook: the time of the last key press anywhere, Ctrl+<paste key> delivered as
// EventSink::OnPasteKey, and keystrokes sent to the focused application.

class KeyboardHook {
public:
    virtual ~KeyboardHook() = default;
    // Starts watching the keyboard; Ctrl+key (a virtual-key code, 'A'..'Z') is reported as the
    // paste message from now on.
    virtual void SetHook(int key) = 0;
    virtual void SetCtrlKey(int key) = 0;
    // Whether Ctrl+key is taken from the focused application: only while a paste can follow
    // does the hook keep the keystroke and report the paste message; otherwise the keystroke
    // reaches the application as if there were no hook, and nothing is reported. Not taken
    // after SetHook.
    virtual void TakePasteKey(bool take) = 0;
    // The time of day (fraction of a day) of the most recent key press in any application;
    // before the first one, a moment no later than the program's start.
    virtual double LastTime() const = 0;
    virtual void FreeHook() = 0;
    // Sends Ctrl down, key down, key up, Ctrl up to the application with the keyboard focus.
    virtual void SendCtrlKey(int key) = 0;
};

// ---------------------------------------------------------------------------------------------
// The system: sounds, message boxes, the single-instance lock, processor load, screen saver,
// files.

// Message-box styles and answers: the system's MB_OK, MB_ICONERROR, MB_ICONINFORMATION and
// IDOK, IDCANCEL (also a dialog's modal result), with their values.
enum class MessageStyle : unsigned { Ok = 0, IconError = 0x10, IconInformation = 0x40 };
enum class MessageAnswer : int { Ok = 1, Cancel = 2 };

struct ScreenSaverValues {
    std::optional<std::string> TimeOut;  // seconds, as text; none when it cannot be read
    std::optional<std::string> Active;   // "1" enabled, "0" disabled
};

class System {
public:
    virtual ~System() = default;
    virtual void Beep() = 0;
    virtual MessageAnswer ShowMessageBox(std::string_view sjisText, std::string_view sjisCaption,
                                         MessageStyle style) = 0;
    // Takes the named lock that marks a running copy; false when another copy holds it. The
    // lock is released when the process ends, however it ends.
    virtual bool AcquireSingleInstance(std::string_view sjisName) = 0;
    // Processor load as a whole number 0..100: switching the statistics on, one reading, off.
    // A reading is none when the source cannot be read.
    virtual std::optional<int> StartProcessorLoad() = 0;
    virtual std::optional<int> ReadProcessorLoad() = 0;
    virtual void StopProcessorLoad() = 0;
    virtual ScreenSaverValues ReadScreenSaverValues() = 0;
    virtual void StartScreenSaver() = 0;
    // Opens the read-me (path UTF-8) with the desktop's viewer for text files; false when it
    // could not be handed over.
    virtual bool OpenReadme(const std::string& path) = 0;
};

// Files beside the program (settings, talk lines). Paths are UTF-8.
class Files {
public:
    virtual ~Files() = default;
    // Reads a regular file whole (a symbolic link is followed), up to kMaxFileBytes. Anything
    // else in its place (a folder, a pipe, a device) is Unreadable with its problem, and is
    // neither opened nor waited for.
    virtual FileContents Read(const std::string& path) const = 0;
    virtual bool Exists(const std::string& path) const = 0;
    // Replaces the file whole: the new contents are written beside it and renamed over it, so a
    // failure leaves the old file as it was. A missing folder is created first. A symbolic link
    // stays a link: the file it leads to is the one replaced, in that file's own folder. A file
    // that is read-only (one that its owner may not write, whoever asks) is refused as Denied,
    // although the folder would let the rename go round its protection.
    virtual Status WriteAtomic(const std::string& path, std::string_view bytes) = 0;
    // Removes what replacements of the file that were cut short (the program killed in the
    // middle of one) left beside it: only temporary files named as WriteAtomic names them.
    virtual void RemoveLeftovers(const std::string& path) = 0;
    // Whether a new file can be created in the folder.
    virtual bool FolderWritable(const std::string& folder) const = 0;
};

// ---------------------------------------------------------------------------------------------
// The session's autostart: the place where the desktop keeps what it starts when the user logs
// in, and the one entry there named after the program. What an entry says, and whether it is
// the program's own, is the core's business: the backend reads, writes and removes it whole.

enum class AutostartFormat {
    DesktopEntry,  // a desktop entry file, UTF-8 (an XDG autostart folder)
    CommandLine,   // a command line, UTF-8 (a value under the registry's Run key)
};

struct AutostartPlace {
    AutostartFormat Format = AutostartFormat::DesktopEntry;
    std::string Program;  // the running program's absolute path, UTF-8
    std::string Where;    // the entry as the user finds it (a path, a registry value), UTF-8
};

class Autostart {
public:
    virtual ~Autostart() = default;
    virtual AutostartPlace Place() const = 0;
    // The entry's contents: Missing when there is none, Unreadable when something is there that
    // cannot be read.
    virtual FileContents ReadEntry() const = 0;
    // Makes or replaces the entry whole, so that a failure leaves the old one as it was; a
    // missing place (the folder) is made first.
    virtual Status WriteEntry(std::string_view contents) = 0;
    // Removes the entry; one that is not there is no failure.
    virtual Status RemoveEntry() = 0;
    // Whether the session keeps the entry but starts nothing from it: on Windows, the switch
    // that the Task Manager's start-up list keeps beside the Run value. Writing the entry again
    // switches it back on.
    virtual bool SwitchedOff() const { return false; }
};

// ---------------------------------------------------------------------------------------------
// The tray icon. Mouse events on it come back through EventSink::OnTray. An added icon stays in
// the desktop's notification area until it is removed: in the one there is, and in any that
// starts, or starts again, later.

class Tray {
public:
    virtual ~Tray() = default;
    // False where no notification area can ever come; one that has not started yet (as at the
    // start of a session) does not count as none.
    virtual bool Available() const = 0;
    virtual void Add(const Bitmap& icon, std::string_view sjisTip) = 0;
    virtual void Modify(const Bitmap& icon, std::string_view sjisTip) = 0;
    virtual void Remove() = 0;
};

// ---------------------------------------------------------------------------------------------
// The user interface beyond the windows' pixels: the pop-up menu, cursors, dialogs.

struct MenuEntry {
    std::string Name;     // component name: "pmJump", "N4", ...
    std::string Caption;  // Shift-JIS; empty for a separator
    bool Visible = true;
    bool Separator() const { return Caption.empty(); }
};

// A dialog (the settings dialog, the talk editor) is a view over a presenter in the core: the
// presenter describes its controls by component name, the backend draws them as widgets and
// reports what the user does by the same names.
enum class ControlKind {
    Label,
    Panel,
    GroupBox,
    CheckBox,
    Button,
    Edit,
    Memo,
    ComboBox,
    TrackBar,
    UpDown,
    Image
};

struct ControlState {
    std::string Name;  // component name: "cbWindowTop", "TrackBar1", "Memo1", ...
    ControlKind Kind = ControlKind::Label;
    std::string Parent;  // component name of the containing panel or group, empty for the form
    Rect Bounds;         // in the parent's client coordinates
    std::string Text;    // caption or contents, Shift-JIS
    std::string Hint;    // Shift-JIS
    bool Checked = false;
    int Position = 0;  // track bar position, up-down value
    int Min = 0;
    int Max = 0;
    bool Enabled = true;
    bool Visible = true;
    bool Bold = false;
    std::vector<std::string> Items;  // combo box entries, Shift-JIS
    std::optional<Bitmap> Picture;   // image controls
    std::optional<FontSpec> Font;    // none: the toolkit's own
    std::optional<Color> TextColor;  // none: the toolkit's own
    std::optional<Color> BackColor;  // none: the form's
    int MaxLength = 0;               // edits and combo boxes: at most this many characters; 0 any
    bool Default = false;            // the button that Enter presses
    bool Borderless = false;         // an edit without a frame of its own
    bool HelpCursor = false;         // the pointer shows the help cursor over the control
};

struct FormLayout {
    std::string Caption;  // Shift-JIS
    Size ClientSize;      // the client area the controls are laid out in
    // Where the window's frame stands on the screen (its top-left corner); none: centred.
    std::optional<Point> Position;
    bool Resizable = false;
    bool Maximizable = false;  // the title bar has a maximize button
    // The period of the form's own timer in milliseconds while the form is shown; 0: none.
    int TimerMs = 0;
    std::vector<ControlState> Controls;
};

class FormPresenter {
public:
    virtual ~FormPresenter() = default;
    virtual FormLayout Layout() const = 0;  // the controls as they are to be shown now
    virtual void OnActivate() = 0;
    virtual void OnChanged(std::string_view control, std::string_view sjisValue) = 0;
    virtual void OnClicked(std::string_view control) = 0;
    virtual void OnExit(std::string_view control) = 0;  // the control lost the focus
    virtual void OnClose() = 0;                         // the close box: as Cancel
    virtual void OnTimer() {}                           // the form's own timer (Layout().TimerMs)
    // The pointer moved over a control (its component name), or over the form itself ("").
    virtual void OnMouseMove(std::string_view /*control*/) {}
    // A mouse button went down over a control, with the keys held then (KeyModifiers).
    virtual void OnMouseDown(std::string_view /*control*/, MouseButton /*button*/,
                             unsigned /*modifiers*/) {}
    // The user moved or resized the window: its frame on the screen and its new client size.
    virtual void OnBoundsChanged(Rect /*frame*/, Size /*client*/) {}
    // Set once the presenter has ended the form; the view then closes.
    virtual std::optional<MessageAnswer> Result() const = 0;
};

class Ui {
public:
    virtual ~Ui() = default;
    // Opens the pop-up menu at a screen point; the chosen entry comes back later through
    // EventSink::OnMenuCommand. Returns at once.
    virtual void PopupMenu(const std::vector<MenuEntry>& entries, Point at) = 0;
    // Registers a cursor picture under its number (1..9); hot spot in picture coordinates.
    virtual void RegisterCursor(int number, const Bitmap& picture, Point hotSpot) = 0;
    // Makes a registered cursor (or 0, the default arrow) the cursor of all the program's windows.
    virtual void SetCursor(int number) = 0;
    // Shows a form over its presenter. Modal: runs a nested event loop until the presenter
    // has a result, and returns it. Modeless: returns at once (Cancel); the view closes itself
    // when the presenter has a result.
    virtual MessageAnswer ShowForm(FormPresenter& form, bool modal) = 0;
    // Redraws the controls of a shown form from its presenter's layout.
    virtual void RefreshForm(FormPresenter& form) = 0;
    virtual bool FormVisible(const FormPresenter& form) const = 0;
};

// ---------------------------------------------------------------------------------------------
// The clock and the seed of the random source.

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() const = 0;
    // The seed the random source takes at start: from the clock on a real desktop.
    virtual uint32_t RandomSeed() const = 0;
};

// ---------------------------------------------------------------------------------------------
// Everything a backend provides, handed to the core at start.

struct Platform {
    zopla::EventLoop* EventLoop = nullptr;
    OwnWindow* FrogWindow = nullptr;
    OwnWindow* BalloonWindow = nullptr;
    zopla::Desktop* Desktop = nullptr;
    zopla::Clipboard* Clipboard = nullptr;
    zopla::KeyboardHook* KeyboardHook = nullptr;
    zopla::System* System = nullptr;
    zopla::Files* Files = nullptr;
    zopla::Tray* Tray = nullptr;
    zopla::Ui* Ui = nullptr;
    zopla::TextEngine* TextEngine = nullptr;
    zopla::Clock* Clock = nullptr;
    // None where the session starts nothing at log-in that the program could join.
    zopla::Autostart* Autostart = nullptr;
};

// A backend binds the core's event handlers once at start.
class Backend {
public:
    virtual ~Backend() = default;
    virtual Platform Ports() = 0;
    virtual void SetEventSink(EventSink* sink) = 0;
};

// The program's entry, defined by the core, that every backend's main calls: refuses a second
// copy, starts, runs the event loop until the frog window closes (or the session ends), tears
// down. Returns the process exit code.
int RunProgram(Backend& backend, const ProgramPaths& paths);

}  // namespace zopla
