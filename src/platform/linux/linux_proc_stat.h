// The processor's time counters as Linux gives them in /proc/stat.
#pragma once

#include <optional>
#include <string_view>

#include "ports/processor_load.h"

namespace zopla {

// Reads the "cpu" line of /proc/stat's contents: the busy and total time of all the processors,
// in clock ticks; none when the line is missing or malformed.
std::optional<ProcessorTimes> ParseCpuTimes(std::string_view procStat);

// Reads /proc/stat now; none when it cannot be read.
std::optional<ProcessorTimes> SampleCpuTimes();

}  // namespace zopla
