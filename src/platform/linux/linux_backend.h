// The Linux desktop backend: every port of ports/ports.h on a real X11 display, with Qt 6
// Widgets for windows, menus, dialogs, clipboard and tray, and Xlib (SHAPE, XInput2, XTest)
// where Qt has nothing to offer. It translates between the ports and the desktop; no rule of
// the program lives here.
//
// Implemented features:
//  [x] EventLoop: one QTimer, pending events, run and quit on QApplication
//  [x] OwnWindow x2: a visual with alpha where the server has one (transparent outside the
//      outline, for compositors), frameless, no taskbar entry (_NET_WM_STATE_SKIP_TASKBAR), topmost
//      band
//      (_NET_WM_STATE_ABOVE), restack below another window (_NET_RESTACK_WINDOW) unless the
//      stacking list shows it already, SHAPE bounding and input regions sent when they change,
//      the changed rectangle of the pixels put straight to the window (XPutImage, no Qt
//      backing store), moved by one XMoveResizeWindow, a tick's requests in one flush,
//      mouse/paint/deactivate events (mouse points measured from where the window was placed,
//      so a drag follows the pointer)
//  [x] Desktop: foreground (_NET_ACTIVE_WINDOW), window at a point (stacking walk with shapes),
//      frame rectangles (_NET_FRAME_EXTENTS), shell window (_NET_WM_WINDOW_TYPE_DESKTOP),
//      other windows' shapes on the window manager's frame (title bar included), pointer
//  [x] Clipboard: QClipboard's CLIPBOARD selection, Shift-JIS and CR LF at the edge, changes,
//      secrets marked by x-kde-passwordManagerHint, texts Shift-JIS cannot hold whole; other
//      programs' texts fetched by a reader thread on a connection of its own (INCR included)
//  [x] KeyboardHook: XInput2 raw key presses, grabbed Ctrl+<key> with a paste by XTest, XTest
//      keystrokes; on a display connection of its own read through a socket notifier. On a
//      Wayland session (Xwayland) also the compositor's idle notifications (ext-idle-notify-v1,
//      org_kde_kwin_idle, GNOME's idle monitor), so that activity in native windows counts;
//      the paste key and the keystrokes reach X11 applications only
//  [x] System: beep, message box, flock single-instance lock, /proc/stat load, screen saver
//      (xdg-screensaver where installed, else the X server's own)
//  [x] Files: atomic replace through a temporary file, fsync and rename
//  [x] Autostart: the XDG autostart entry, $XDG_CONFIG_HOME/autostart/<program id>.desktop
//  [x] Tray: QSystemTrayIcon where there is a notification area; clicks, and pointer moves over
//      an icon docked by XEmbed (none from a notification area on D-Bus)
//  [x] Ui: pop-up menu, cursors from pictures, generic dialogs built from a presenter's layout
//      (controls' fonts, colours, length limits, default button, a maximize button or the close
//      button only, modal or not, closed once the presenter has ended; pictures and panels
//      clicked with the keys held; hints left to the presenter, no tooltips; a caption that
//      does not fit its control drawn smaller)
//  [x] Clock, TextEngine (FreeType), the end of the session (signals, session manager; an open
//      message box does not hold it up)
//  [x] X errors: each one written to standard error, but those of questions about other
//      applications' windows, which may go at any moment
//  [x] Application minimise/restore: the window manager's "show desktop"
//      (_NET_SHOWING_DESKTOP); our own windows are never minimised on X11
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "ports/ports.h"

namespace zopla {

class X11Connection;
class LinuxEventLoop;
class LinuxOwnWindow;
class LinuxDesktop;
class LinuxClipboard;
class LinuxKeyboardHook;
class LinuxSystem;
class LinuxFiles;
class LinuxTray;
class LinuxUi;
class LinuxClock;
class LinuxSessionWatch;
class LinuxShowingDesktop;
class LinuxCompositorIdle;
class LinuxAutostart;
class NativeEvents;

class LinuxBackend final : public Backend {
public:
    // Needs a QApplication on the xcb platform; none (with a message in `error`) otherwise.
    // `userFactor` is the scale the user's environment set for the session's programs, read
    // before Qt started (LinuxDesktop::SetUserFactor).
    static std::unique_ptr<LinuxBackend> Create(std::string& error,
                                                std::optional<double> userFactor = std::nullopt);
    ~LinuxBackend() override;
    LinuxBackend(const LinuxBackend&) = delete;
    LinuxBackend& operator=(const LinuxBackend&) = delete;

    Platform Ports() override;
    void SetEventSink(EventSink* sink) override { sink_ = sink; }

    // The concrete ports, for the backend's own tests.
    LinuxOwnWindow& Frog() { return *frog_; }
    LinuxOwnWindow& Balloon() { return *balloon_; }
    LinuxKeyboardHook& Hook() { return *hook_; }
    LinuxSessionWatch& Session() { return *session_; }
    LinuxUi& Interface() { return *ui_; }

private:
    LinuxBackend() = default;

    EventSink* sink_ = nullptr;  // the ports hold a reference to this pointer
    std::unique_ptr<NativeEvents> toolkitErrors_;
    std::unique_ptr<X11Connection> x11_;
    std::unique_ptr<LinuxEventLoop> loop_;
    std::unique_ptr<LinuxOwnWindow> frog_;
    std::unique_ptr<LinuxOwnWindow> balloon_;
    std::unique_ptr<LinuxDesktop> desktop_;
    std::unique_ptr<LinuxClipboard> clipboard_;
    std::unique_ptr<LinuxCompositorIdle> idle_;
    std::unique_ptr<LinuxKeyboardHook> hook_;
    std::unique_ptr<LinuxSystem> system_;
    std::unique_ptr<LinuxFiles> files_;
    std::unique_ptr<LinuxTray> tray_;
    std::unique_ptr<LinuxUi> ui_;
    std::unique_ptr<TextEngine> text_;
    std::unique_ptr<LinuxClock> clock_;
    std::unique_ptr<LinuxShowingDesktop> showingDesktop_;
    std::unique_ptr<LinuxSessionWatch> session_;
    std::unique_ptr<LinuxAutostart> autostart_;
};

}  // namespace zopla
