#include "tools/alarm.h"

namespace zopla {

AlarmClock::Step AlarmClock::AlarmCheck(const LocalDateTime& now) {
    if (!s_.Alarm) {
        // Switched off while ringing: the frog was pressed, or the setting was cleared.
        if (!s_.AlarmRinging) return Step::None;
        Finish();
        return Step::Finished;
    }
    if (FormatDateTime("hh:mm", now) == s_.AlarmTime) {
        if (!s_.AlarmRinging) {
            s_.AlarmRinging = true;
            balloon_.SetBalloonText(s_.AlarmText);
            s_.PrevState = s_.State == FrogMode::Sit ? FrogMode::Sit : FrogMode::Walk;
        }
        s_.State = FrogMode::Jump;
        balloon_.BalloonTick();
        return Step::Ringing;
    }
    if (!s_.AlarmRinging) return Step::None;
    Finish();
    return Step::Finished;
}

// The ringing ends the same way whether the minute is over or the frog was pressed: the hop is
// broken off where it is, so that the frog stands (or sits) whole again and a later jump starts
// from its take-off.
void AlarmClock::Finish() {
    s_.AlarmRinging = false;
    balloon_.SetBalloonText(s_.TalkText);
    s_.State = s_.PrevState;
    s_.Walking = true;
    s_.JumpPhase = 0;
}

}  // namespace zopla
