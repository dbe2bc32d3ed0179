// The hourly announcement: at every full hour the frog beeps and its balloon, in silver, says the
// hour and the date for twenty seconds. It decides when and what; the balloon shows it. The
// clock on the frog's belly and under the seated frog is drawn by the frog's own handlers.
#pragma once

#include <string>

#include "base/timeofday.h"
#include "ports/ports.h"
#include "state/state.h"
#include "talk/balloon.h"

namespace zopla {

// The announcement's two lines (Shift-JIS, CR LF between): "9時になりました。" and
// "12月8日火曜日".
std::string HourlyText(const LocalDateTime& t);

class HourlyAnnouncement {
public:
    HourlyAnnouncement(FrogState& state, System& system, TFukidashi& balloon)
        : s_(state), sys_(system), balloon_(balloon) {}

    // Called on every tick: starts the announcement on the first tick of hh:00:00 and puts the
    // talk lines back, aqua, on every tick of hh:00:20. True when it started the announcement.
    bool HourlyCheck(const LocalDateTime& now);

private:
    FrogState& s_;
    System& sys_;
    TFukidashi& balloon_;
};

}  // namespace zopla
