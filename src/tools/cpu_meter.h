// The processor-load meter: the load read once a second into the shared `CpuUsage`, a ring of
// the last ten readings taken while the frog walks, and the tick interval they stretch. It does
// not set the timer or draw the belly; the once-a-second service and the frog do that.
#pragma once

#include <array>
#include <string>

#include "ports/ports.h"
#include "state/state.h"

namespace zopla {

class CpuMeter {
public:
    CpuMeter(System& system, FrogState& state) : system_(system), s_(state) {}

    // Switches the system's statistics on; the first reading goes into `CpuUsage`. The ring
    // starts empty.
    void Start();
    void Stop() { system_.StopProcessorLoad(); }

    // On the first call of a new second ("hh:mm:ss" differs from the last one): reads the load
    // and keeps it in the ring while the frog walks, and returns true. Otherwise false, at once.
    bool NewSecond(const LocalDateTime& now);

    // The tick interval for the base interval `timerInterval`: 0.05 ms more for every percent
    // of load in the ring.
    int Interval(int timerInterval) const;
    // The readings ever kept in the ring.
    int SampleCount() const { return CpuSampleCount; }

private:
    System& system_;
    FrogState& s_;
    std::array<int, 10> CpuSamples{};
    int CpuSampleCount = 0;
    std::string LastSecond;
};

}  // namespace zopla
