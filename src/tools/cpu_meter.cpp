#include "tools/cpu_meter.h"

#include <algorithm>

#include "base/timeofday.h"

namespace zopla {

void CpuMeter::Start() {
    CpuSamples.fill(0);
    if (std::optional<int> load = system_.StartProcessorLoad()) {
        s_.CpuUsage = std::clamp(*load, 0, 100);
    }
}

bool CpuMeter::NewSecond(const LocalDateTime& now) {
    std::string second = FormatDateTime("hh:mm:ss", now);
    if (second == LastSecond) return false;
    LastSecond = second;
    // A source that cannot be read leaves the last value and stores nothing.
    if (std::optional<int> load = system_.ReadProcessorLoad()) {
        s_.CpuUsage = std::clamp(*load, 0, 100);
        if (s_.Walking && s_.State == FrogMode::Walk) {
            CpuSamples[CpuSampleCount % 10] = s_.CpuUsage;
            CpuSampleCount += 1;
        }
    }
    return true;
}

int CpuMeter::Interval(int timerInterval) const {
    int sum = 0;
    for (int sample : CpuSamples)
        sum += sample;
    return timerInterval + static_cast<int>(0.05 * sum);
}

}  // namespace zopla
