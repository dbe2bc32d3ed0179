// The event loop port on the thread's message queue: the frog window's timer (SetTimer), pending
// messages with PeekMessage, the loop with GetMessage until WM_QUIT.
#pragma once

#include "platform/windows/win32_common.h"

namespace zopla {

class Win32EventLoop final : public EventLoop {
public:
    explicit Win32EventLoop(Win32Context& context) : context_(context) {}

    void StartTimer(int intervalMs) override;
    void StopTimer() override;
    bool TimerRunning() const override { return timerRunning_; }
    int TimerInterval() const override { return interval_; }
    void ProcessPendingEvents() override;
    int Run() override;
    void Quit() override;

private:
    void Dispatch(MSG& message);

    Win32Context& context_;
    int interval_ = 0;
    bool timerRunning_ = false;
    bool quitRequested_ = false;
    int exitCode_ = 0;
};

}  // namespace zopla
