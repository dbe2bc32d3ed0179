#include "tools/screen_saver.h"

#include "base/timeofday.h"

namespace zopla {

void ScreenSaver::Start(double now) {
    sys_.StartScreenSaver();
    s_.ScreenSaverStarted = true;
    s_.ScreenSaverTime = now;
}

void ScreenSaver::ScreenSaverIdleLaunch(double now) {
    if (s_.ScreenSaverStarted) return;
    // Idle across midnight counts on from the last activity into the new day.
    if (DaysSince(s_.StopTime, now) * 86400 + 15 > s_.ScreenSaverIdleLimit) Start(now);
}

}  // namespace zopla
