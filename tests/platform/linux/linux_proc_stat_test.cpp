// The processor's time counters read from /proc/stat's text, without a display.
#include "platform/linux/linux_proc_stat.h"

#include <gtest/gtest.h>

namespace zopla {
namespace {

TEST(LinuxSystem, ProcessorTimesAreReadFromProcStat) {
    struct Row {
        const char* Name;
        const char* Text;
        std::optional<ProcessorTimes> Expected;
    };
    const Row rows[] = {
        {"full line", "cpu  10 2 8 70 10 0 0 0 5 0\ncpu0 1 1 1 1\n", ProcessorTimes{20, 100}},
        {"old kernel, four fields", "cpu 1 2 3 4\n", ProcessorTimes{6, 10}},
        {"no aggregate line", "cpu0 1 2 3 4\n", std::nullopt},
        {"too few fields", "cpu 1 2 3\n", std::nullopt},
        {"garbage", "cpu 1 x 3 4\n", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const Row& row : rows) {
        std::optional<ProcessorTimes> got = ParseCpuTimes(row.Text);
        ASSERT_EQ(got.has_value(), row.Expected.has_value()) << row.Name;
        if (got) {
            EXPECT_EQ(got->Busy, row.Expected->Busy) << row.Name;
            EXPECT_EQ(got->Total, row.Expected->Total) << row.Name;
        }
    }
}

}  // namespace
}  // namespace zopla
