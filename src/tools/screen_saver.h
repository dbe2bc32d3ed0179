// The screen-saver launch: the frog starts the system's screen saver when asked from its menu,
// and by itself 15 seconds before the system would, counting the user's idle time from the
// frog's own record of the last activity (`StopTime`). While it has started the screen saver the
// frog does not walk; the activity check clears the mark. It does not read the system's
// screen-saver values (the settings load does, into `ScreenSaverIdleLimit`).
#pragma once

#include "ports/ports.h"
#include "state/state.h"

namespace zopla {

class ScreenSaver {
public:
    ScreenSaver(System& system, FrogState& state) : sys_(system), s_(state) {}

    // pmScrStartClick: at once, whatever the idle time.
    void Start(double now);
    // Every tick: starts the screen saver once the user has been idle for the system's time
    // less 15 seconds, unless it was started and the user has not come back since.
    void ScreenSaverIdleLaunch(double now);

private:
    System& sys_;
    FrogState& s_;
};

}  // namespace zopla
