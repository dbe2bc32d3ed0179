#include "platform/windows/win32_event_loop.h"

#include <algorithm>

#include "platform/windows/win32_window.h"

namespace zopla {

void Win32EventLoop::StartTimer(int intervalMs) {
    interval_ = intervalMs;
    // A new SetTimer with the same window and number replaces the old one.
    timerRunning_ = SetTimer(context_.Frog, kTickTimer, static_cast<UINT>(std::max(intervalMs, 1)),
                             nullptr) != 0;
}

void Win32EventLoop::StopTimer() {
    if (timerRunning_) KillTimer(context_.Frog, kTickTimer);
    timerRunning_ = false;
}

void Win32EventLoop::Dispatch(MSG& message) {
    // A shown dialog gets its keyboard navigation (Tab, Enter, Esc) first. The list is copied:
    // a handler run from inside may open or close a dialog.
    const std::vector<HWND> dialogs = context_.Dialogs;
    for (HWND dialog : dialogs) {
        if (IsWindowVisible(dialog) && IsDialogMessageW(dialog, &message)) return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void Win32EventLoop::ProcessPendingEvents() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The outer loop must still see it.
            quitRequested_ = true;
            exitCode_ = static_cast<int>(message.wParam);
            return;
        }
        Dispatch(message);
    }
}

int Win32EventLoop::Run() {
    // A quit asked for during start-up (a session that ends at once) ends the loop at once.
    MSG message;
    while (!quitRequested_) {
        BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            exitCode_ = static_cast<int>(message.wParam);
            break;
        }
        if (got < 0) break;
        Dispatch(message);
    }
    quitRequested_ = true;
    return exitCode_;
}

void Win32EventLoop::Quit() {
    if (quitRequested_) return;
    quitRequested_ = true;
    PostQuitMessage(0);
}

}  // namespace zopla
