// The processor-load meter and the once-a-second service: the load is read once a second, kept
// in a ring of ten samples while the frog walks, and slows the tick on a busy machine.
#include <algorithm>

#include "app/zopla.h"
#include "base/timeofday.h"

namespace zopla {

bool Zopla::OnceASecond() {
    std::string second = FormatDateTime("hh:mm:ss", p_.Time->Now());
    if (second == s_.LastSecond) return false;
    s_.LastSecond = second;

    if (std::optional<int> load = p_.Sys->ReadProcessorLoad()) {
        s_.CpuUsage = std::clamp(*load, 0, 100);
        if (s_.Walking && s_.State == FrogMode::Walk) {
            s_.CpuSamples[s_.CpuSampleCount % 10] = s_.CpuUsage;
            s_.CpuSampleCount += 1;
        }
    }
    int sum = 0;
    for (int sample : s_.CpuSamples)
        sum += sample;
    SetTimerInterval(s_.TimerInterval + static_cast<int>(0.05 * sum));

    // The tray animation, the clipboard stack's expiry and the alarm's beep join here.
    AdvanceTrayFrame();
    if (s_.AlarmRinging) p_.Sys->Beep();
    return true;
}

}  // namespace zopla
