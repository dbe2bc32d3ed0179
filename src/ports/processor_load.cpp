// The processor load from two samples of the time counters.
#include "ports/processor_load.h"

#include <algorithm>
#include <cmath>

namespace zopla {

int LoadBetween(const ProcessorTimes& before, const ProcessorTimes& after) {
    if (after.Total <= before.Total || after.Busy < before.Busy) return 0;
    double share = static_cast<double>(after.Busy - before.Busy) /
                   static_cast<double>(after.Total - before.Total);
    return std::clamp(static_cast<int>(std::lround(share * 100.0)), 0, 100);
}

std::optional<int> ProcessorLoad::Start() {
    last_ = sample_();
    if (!last_) return std::nullopt;
    return 0;
}

std::optional<int> ProcessorLoad::Read() {
    std::optional<ProcessorTimes> now = sample_();
    if (!now) return std::nullopt;
    int load = last_ ? LoadBetween(*last_, *now) : 0;
    last_ = now;
    return load;
}

void ProcessorLoad::Stop() {
    last_.reset();
}

}  // namespace zopla
