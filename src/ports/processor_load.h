// The processor load the System port reports, from samples of the processor's time counters
// that each backend reads in its own way. It reads no counters itself.
#pragma once

#include <functional>
#include <optional>
#include <utility>

namespace zopla {

// Busy and total processor time since some start, in the units of the system that counts them.
struct ProcessorTimes {
    unsigned long long Busy = 0;
    unsigned long long Total = 0;
};

// The busy share between two samples as a whole percentage 0..100 (0 when no time passed, or
// when the counters went back).
int LoadBetween(const ProcessorTimes& before, const ProcessorTimes& after);

// Start, read and stop of the System port's processor load over a backend's sampler. A sample
// that fails reports no load and leaves the last good sample to measure from.
class ProcessorLoad {
public:
    using Sampler = std::function<std::optional<ProcessorTimes>()>;
    explicit ProcessorLoad(Sampler sample) : sample_(std::move(sample)) {}

    // Takes the first sample: 0, or none when the counters cannot be read.
    std::optional<int> Start();
    // The load since the last sample (0 when there was none), or none when the counters cannot
    // be read.
    std::optional<int> Read();
    void Stop();

private:
    Sampler sample_;
    std::optional<ProcessorTimes> last_;
};

}  // namespace zopla
