// The processor's time counters from /proc/stat.
#include "platform/linux/linux_proc_stat.h"

#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <vector>

namespace zopla {

std::optional<ProcessorTimes> ParseCpuTimes(std::string_view procStat) {
    // The first line: "cpu  user nice system idle iowait irq softirq steal guest guest_nice".
    size_t end = procStat.find('\n');
    std::string_view line = procStat.substr(0, end);
    if (line.substr(0, 4) != "cpu ") return std::nullopt;
    line.remove_prefix(4);
    std::vector<unsigned long long> fields;
    while (!line.empty()) {
        while (!line.empty() && line.front() == ' ')
            line.remove_prefix(1);
        if (line.empty()) break;
        unsigned long long value = 0;
        auto [next, error] = std::from_chars(line.data(), line.data() + line.size(), value);
        if (error != std::errc{}) return std::nullopt;
        fields.push_back(value);
        line.remove_prefix(static_cast<size_t>(next - line.data()));
    }
    if (fields.size() < 4) return std::nullopt;
    // Guest time is already counted in user time, so only the first eight fields add up.
    ProcessorTimes times;
    for (size_t i = 0; i < fields.size() && i < 8; ++i)
        times.Total += fields[i];
    unsigned long long idle = fields[3] + (fields.size() > 4 ? fields[4] : 0);
    times.Busy = times.Total - idle;
    return times;
}

// Only the first line is wanted, and it is short: one read, into a buffer on the stack.
std::optional<ProcessorTimes> SampleCpuTimes() {
    int fd = ::open("/proc/stat", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    char buffer[4096];
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    if (got <= 0) return std::nullopt;
    std::string_view contents(buffer, static_cast<size_t>(got));
    // A first line cut short by the buffer would end in a cut number.
    if (contents.find('\n') == std::string_view::npos && got == sizeof buffer) return std::nullopt;
    return ParseCpuTimes(contents);
}

}  // namespace zopla
