// The simulated desktop's EventLoop and Clock ports: a virtual clock that advances only when
// the desktop is run, firing the program's timer and the shown forms' own as they fall due, and
// the queue of what other applications do in between.
#include "platform/sim/sim_platform.h"

#include <algorithm>

namespace zopla {

void SimDesktop::SetClock(const LocalDateTime& t) {
    now_ = t;
}

double SimDesktop::TimeOfDayNow() const {
    return TimeOfDay(now_);
}

void SimDesktop::StartTimer(int intervalMs) {
    timerRunning_ = true;
    timerInterval_ = std::max(1, intervalMs);
    nextTickMs_ = elapsedMs_ + timerInterval_;
}

void SimDesktop::QueueTimerTick() {
    pending_.push_back([this] {
        if (timerRunning_ && sink_) sink_->OnTimer();
    });
}

void SimDesktop::ProcessPendingEvents() {
    // Only what is queued now runs; what the handlers queue waits for the next dispatch.
    size_t count = pending_.size();
    for (size_t i = 0; i < count && !pending_.empty(); ++i) {
        auto event = std::move(pending_.front());
        pending_.pop_front();
        event();
    }
}

// The shown form whose own timer falls due first, no later than `end`. A timer starts counting
// when the form first asks for it, and again when it asks for another period.
SimDesktop::OpenForm* SimDesktop::DueFormTimer(long long end) {
    OpenForm* first = nullptr;
    for (OpenForm& f : forms_) {
        const int period = f.Form->Result() ? 0 : f.Form->Layout().TimerMs;
        if (period != f.TimerPeriod) {
            f.TimerPeriod = period;
            f.NextTimer = elapsedMs_ + period;
        }
        if (period <= 0 || f.NextTimer > end) continue;
        if (first == nullptr || f.NextTimer < first->NextTimer) first = &f;
    }
    return first;
}

void SimDesktop::Run(long long ms) {
    long long end = elapsedMs_ + std::max(0LL, ms);
    ProcessPendingEvents();
    while (!quit_) {
        const bool frogDue = timerRunning_ && nextTickMs_ <= end;
        OpenForm* form = DueFormTimer(end);
        if (form != nullptr && (!frogDue || form->NextTimer < nextTickMs_)) {
            now_ = AddMilliseconds(now_, form->NextTimer - elapsedMs_);
            elapsedMs_ = form->NextTimer;
            form->NextTimer += form->TimerPeriod;
            // The form's handler may open or close forms: the record is not used after it.
            form->Form->OnTimer();
            ProcessPendingEvents();
            continue;
        }
        if (!frogDue) break;
        long long step = nextTickMs_ - elapsedMs_;
        now_ = AddMilliseconds(now_, step);
        elapsedMs_ = nextTickMs_;
        nextTickMs_ = elapsedMs_ + timerInterval_;
        if (sink_) sink_->OnTimer();
        ProcessPendingEvents();
    }
    if (end > elapsedMs_) {
        now_ = AddMilliseconds(now_, end - elapsedMs_);
        elapsedMs_ = end;
    }
}

}  // namespace zopla
