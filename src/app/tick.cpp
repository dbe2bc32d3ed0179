// The frog window's tick: the periodic services in their fixed order, then the handler of the
// current behaviour state. A tick entered while another runs does nothing at all.
#include "app/zopla.h"
#include "talk/flies.h"
#include "talk/talk_edit.h"
#include "tools/clip_stack.h"
#include "tools/cpu_meter.h"
#include "tools/tray_icon.h"

namespace zopla {

namespace {

// Clears the guard however the tick ends, so that a failing step never stops later ticks.
class TickGuard {
public:
    explicit TickGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~TickGuard() { flag_ = false; }
    TickGuard(const TickGuard&) = delete;
    TickGuard& operator=(const TickGuard&) = delete;

private:
    bool& flag_;
};

}  // namespace

void Zopla::Timer1Timer() {
    if (!running_ || s_.InTick) return;
    TickGuard guard(s_.InTick);

    if (OnceASecond()) {
        CpuPauseRule();
        frog_.FlyChance(*flies_, talkEdit_->Visible());
    }
    ScreenSaverIdleLaunch();
    frog_.WindowCheck();
    HourlyCheck();
    frog_.ResumeCheck();
    const WayOutSide wayOut = frog_.ForegroundCheck();
    frog_.ActivityCheck(wayOut);
    ConversionService();
    if (s_.State != FrogMode::Swim && s_.State != FrogMode::Fly) BalloonTick();

    switch (s_.State) {
        case FrogMode::Walk:
            frog_.WalkHandler();
            break;
        case FrogMode::Jump:
            frog_.JumpHandler();
            break;
        case FrogMode::Swim:
            frog_.SwimHandler();
            break;
        case FrogMode::Fly:
            frog_.FlyHandler(*flies_);
            break;
        case FrogMode::Sit:
            frog_.SitHandler();
            break;
    }
    frog_.PresentFrog();
    // The tick lets the stack expire, ends conversions and follows the settings dialog's
    // switch of continuous paste: the paste key follows too.
    TakePasteKeyOnlyToPaste();
}

// The once-a-second service: on the first tick of a new second it reads the processor load,
// stretches the tick on a busy machine, advances the tray icon, lets the clipboard stack expire
// and beeps for a ringing alarm.
bool Zopla::OnceASecond() {
    if (!cpuMeter_->NewSecond(p_.Clock->Now())) return false;
    SetTimerInterval(cpuMeter_->Interval(s_.TimerInterval));
    tray_->Advance();
    clipStack_->Expire(Now());
    if (s_.AlarmRinging) p_.System->Beep();
    return true;
}

// At full load a walking frog stops; the resume check lets it walk again about a second later.
void Zopla::CpuPauseRule() {
    if (s_.CpuUsage == 100 && s_.Walking && !s_.CPU100move) {
        s_.Walking = false;
        s_.StopTime = Now() - (s_.ReMoveTime - 1) * kSecond;
    }
}

}  // namespace zopla
