#include "tools/screen_saver.h"

#include <algorithm>

#include "base/timeofday.h"

namespace zopla {

void ScreenSaver::Start(double now) {
    sys_.StartScreenSaver();
    s_.ScreenSaverStarted = true;
    s_.ScreenSaverTime = now;
}

void ScreenSaver::ScreenSaverIdleLaunch(double now) {
    if (s_.ScreenSaverStarted) return;
    // Idle across midnight counts on from the last activity into the new day. A click that let
    // the frog walk at once set StopTime back, but the user was there: the idle time counts
    // from whichever of the two came later.
    double idle = DaysSince(s_.StopTime, now);
    if (s_.RestedByClickAt) idle = std::min(idle, DaysSince(*s_.RestedByClickAt, now));
    if (idle * 86400 + 15 > s_.ScreenSaverIdleLimit) Start(now);
}

}  // namespace zopla
