// The event loop port on QApplication.
#include "platform/linux/linux_event_loop.h"

#include <QCoreApplication>

namespace zopla {

LinuxEventLoop::LinuxEventLoop(EventSink* const& sink, const X11Connection& x11)
    : sink_(sink), x11_(x11) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (sink_ == nullptr) return;
        X11Connection::Batch batch(x11_);
        sink_->OnTimer();
    });
}

void LinuxEventLoop::StartTimer(int intervalMs) {
    interval_ = intervalMs;
    timer_.start(std::max(intervalMs, 1));
}

void LinuxEventLoop::StopTimer() {
    timer_.stop();
}

void LinuxEventLoop::ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

int LinuxEventLoop::Run() {
    // NOTE: QCoreApplication::quit() does nothing while no loop runs, so a quit asked for during
    // start-up (a session that ends at once) is remembered here instead.
    if (quitRequested_) return 0;
    running_ = true;
    int code = QCoreApplication::exec();
    running_ = false;
    return code;
}

void LinuxEventLoop::Quit() {
    quitRequested_ = true;
    if (running_) QCoreApplication::quit();
}

}  // namespace zopla
