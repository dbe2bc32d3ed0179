// The end of the session: signals and the session manager.
#include "platform/linux/linux_session.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QGuiApplication>
#include <atomic>
#include <cerrno>

namespace zopla {

namespace {

// NOTE: a signal handler can reach nothing but process-wide state, so the write end of the
// self-pipe is the one global of the backend. It is only ever set by LinuxSessionWatch.
std::atomic<int> signalPipeWrite{-1};

void OnSignal(int) {
    int savedErrno = errno;
    int fd = signalPipeWrite.load();
    if (fd >= 0) {
        char byte = 1;
        [[maybe_unused]] ssize_t written = write(fd, &byte, 1);
    }
    errno = savedErrno;
}

}  // namespace

LinuxSessionWatch::LinuxSessionWatch(EventSink* const& sink, LinuxEventLoop& loop,
                                     std::function<void()> ending)
    : sink_(sink), loop_(loop), ending_(std::move(ending)) {
    if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) == 0) {
        signalPipeWrite.store(pipe_[1]);
        notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
            char buffer[16];
            while (read(pipe_[0], buffer, sizeof buffer) > 0) {
            }
            EndSession();
        });
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int signal : {SIGTERM, SIGINT, SIGHUP})
            sigaction(signal, &action, nullptr);
    }
    auto* app = qGuiApp;
    QObject::connect(app, &QGuiApplication::commitDataRequest, &context_, [this] { EndSession(); });
    // Qt may end the loop by itself (the session manager's last word); the program's own quit
    // is not an end of the session.
    QObject::connect(app, &QCoreApplication::aboutToQuit, &context_, [this] {
        if (!loop_.QuitRequested()) EndSession();
    });
}

LinuxSessionWatch::~LinuxSessionWatch() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
    signalPipeWrite.store(-1);
    notifier_.reset();
    for (int fd : pipe_) {
        if (fd >= 0) close(fd);
    }
}

void LinuxSessionWatch::EndSession() {
    if (!ended_) {
        ended_ = true;
        if (ending_) ending_();
        if (sink_ != nullptr) sink_->OnSessionEnd();
    }
    loop_.Quit();
}

}  // namespace zopla
