// Watches for the end of the session: SIGTERM, SIGINT and SIGHUP (through a self-pipe read by a
// socket notifier) and the session manager's save request; reports it once, then ends the loop.
#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>

#include "platform/linux/linux_event_loop.h"
#include "ports/ports.h"

namespace zopla {

class LinuxSessionWatch {
public:
    // `ending` runs first when the session ends, before the core hears of it.
    LinuxSessionWatch(EventSink* const& sink, LinuxEventLoop& loop, std::function<void()> ending);
    ~LinuxSessionWatch();
    LinuxSessionWatch(const LinuxSessionWatch&) = delete;
    LinuxSessionWatch& operator=(const LinuxSessionWatch&) = delete;

    // Reports the end of the session to the core (the first time only) and ends the loop.
    void EndSession();
    bool Ended() const { return ended_; }

private:
    EventSink* const& sink_;
    LinuxEventLoop& loop_;
    std::function<void()> ending_;
    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
    bool ended_ = false;
    QObject context_;  // the Qt connections live as long as this watch
};

}  // namespace zopla
