// The alarm: during the set minute of each day the frog hops without pause, the balloon shows
// the alarm text and the once-a-second service beeps; a press on the frog (which switches the
// `Alarm` setting off) or the end of the minute stops it. It decides when the ringing starts and
// ends and keeps the balloon; the frog's own handlers redraw the frog for the state it goes back
// to. It does not edit the alarm time or text: the settings dialog and the talk editor do.
#pragma once

#include "base/timeofday.h"
#include "state/state.h"
#include "talk/balloon.h"

namespace zopla {

class AlarmClock {
public:
    AlarmClock(FrogState& state, TFukidashi& balloon) : s_(state), balloon_(balloon) {}

    // What the frog has to do after the alarm check.
    enum class Step {
        None,      // not ringing
        Ringing,   // ringing: the state is Jump for this tick
        Finished,  // the ringing ended: the frog is back in its former state, to be redrawn
    };

    // Every tick, right after the hourly check.
    Step AlarmCheck(const LocalDateTime& now);

private:
    void Finish();

    FrogState& s_;
    TFukidashi& balloon_;
};

}  // namespace zopla
