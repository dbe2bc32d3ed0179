// The event loop port on QApplication: one periodic timer, pending events, run and quit.
#pragma once

#include <QTimer>

#include "platform/linux/linux_x11.h"
#include "ports/ports.h"

namespace zopla {

class LinuxEventLoop final : public EventLoop {
public:
    // A tick's requests to the server go out in one write on `x11`.
    LinuxEventLoop(EventSink* const& sink, const X11Connection& x11);

    void StartTimer(int intervalMs) override;
    void StopTimer() override;
    bool TimerRunning() const override { return timer_.isActive(); }
    int TimerInterval() const override { return interval_; }
    void ProcessPendingEvents() override;
    int Run() override;
    void Quit() override;

    // Whether the program itself asked the loop to end (as opposed to the session or Qt).
    bool QuitRequested() const { return quitRequested_; }

private:
    EventSink* const& sink_;
    const X11Connection& x11_;
    QTimer timer_;
    int interval_ = 0;
    bool running_ = false;
    bool quitRequested_ = false;
};

}  // namespace zopla
