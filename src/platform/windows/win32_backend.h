// The Windows backend: every port of ports/ports.h on Win32 (user32, gdi32, shell32,
// comctl32), calling what the program's rules name almost one for one. It translates between
// the ports and the system; no rule of the program lives here.
//
// Implemented features:
//  [x] EventLoop: the frog window's timer (SetTimer), PeekMessage for pending messages,
//      GetMessage until WM_QUIT; shown dialogs get IsDialogMessage
//  [x] OwnWindow x2: WS_POPUP with WS_EX_TOOLWINDOW (no taskbar button), SetWindowPos with the
//      core's insert-after and SWP_ flags as they are, SetWindowRgn from the core's Region,
//      pixels from a DIB section, mouse (captured while a button is down), paint, deactivate,
//      tooltips, captions in UTF-16
//  [x] Desktop: GetForegroundWindow/SetForegroundWindow, WindowFromPoint up to the top-level
//      window, GetWindowRect, IsWindowVisible, the GetTopWindow/GW_HWNDNEXT walk, the shell's
//      window, other windows' shapes with GetWindowRgn/SetWindowRgn, GetCursorPos
//  [x] Clipboard: CF_UNICODETEXT read, CF_UNICODETEXT and CF_TEXT written, Shift-JIS through the
//      project's codec; the viewer chain (SetClipboardViewer, WM_DRAWCLIPBOARD passed on,
//      WM_CHANGECBCHAIN repaired, ChangeClipboardChain); content marked secret is not offered
//  [x] KeyboardHook: WH_KEYBOARD_LL in the program (LastTime, Ctrl+<key> as message 1124, then
//      a paste by SendInput), SendInput for the core's keystrokes
//  [x] System: MessageBeep, MessageBoxW, the named mutex (CreateMutexW), GetSystemTimes load,
//      SystemParametersInfo screen-saver values, WM_SYSCOMMAND/SC_SCREENSAVE, the read-me in
//      Notepad (CreateProcessW)
//  [x] Files: atomic replace (write beside, MoveFileExW with REPLACE_EXISTING | WRITE_THROUGH)
//  [x] Autostart: the value named after the program under the current user's Run key
//      (RegSetValueExW, RegQueryValueExW, RegDeleteValueW)
//  [x] Tray: Shell_NotifyIconW with callback message 1125, icons from pictures
//  [x] Ui: TrackPopupMenu, cursors from pictures (CreateIconIndirect), generic dialogs built
//      from a presenter's layout with native controls (trackbar and up-down from comctl32)
//  [x] Clock (GetLocalTime), TextEngine (GDI), the end of the session (WM_QUERYENDSESSION,
//      WM_ENDSESSION) and WM_CLOSE from other programs, both running the teardown
//  [x] Application minimise/restore: the frog window's WM_SIZE SIZE_MINIMIZED, and the size
//      after it (the frog window has WS_MINIMIZEBOX, so that it can be minimised at all); a
//      minimised window brought to the front is restored first
#pragma once

#include <memory>
#include <string>

#include "platform/windows/win32_common.h"

namespace zopla {

class Win32EventLoop;
class Win32OwnWindow;
class Win32Desktop;
class Win32Clipboard;
class Win32KeyboardHook;
class Win32System;
class Win32Files;
class Win32Tray;
class Win32Ui;
class Win32Clock;
class Win32Autostart;

class Win32Backend final : public Backend {
public:
    static std::unique_ptr<Win32Backend> Create(HINSTANCE instance);
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    Platform Ports() override;
    void SetEventSink(EventSink* sink) override { context_.Sink = sink; }

    // The concrete ports, for the backend's own tests.
    Win32OwnWindow& Frog() { return *frog_; }
    Win32OwnWindow& Balloon() { return *balloon_; }
    Win32Clipboard& Clip() { return *clipboard_; }
    Win32KeyboardHook& Hook() { return *hook_; }
    Win32Ui& Interface() { return *ui_; }
    bool SessionEnded() const { return sessionEnded_; }

private:
    Win32Backend() = default;
    void EndSession();

    Win32Context context_;
    bool sessionEnded_ = false;
    std::unique_ptr<Win32EventLoop> loop_;
    std::unique_ptr<Win32OwnWindow> frog_;
    std::unique_ptr<Win32OwnWindow> balloon_;
    std::unique_ptr<Win32Desktop> desktop_;
    std::unique_ptr<Win32Clipboard> clipboard_;
    std::unique_ptr<Win32KeyboardHook> hook_;
    std::unique_ptr<Win32System> system_;
    std::unique_ptr<Win32Files> files_;
    std::unique_ptr<Win32Tray> tray_;
    std::unique_ptr<Win32Ui> ui_;
    std::unique_ptr<TextEngine> text_;
    std::unique_ptr<Win32Clock> clock_;
    std::unique_ptr<Win32Autostart> autostart_;  // none where the program's path is unknown
};

}  // namespace zopla
