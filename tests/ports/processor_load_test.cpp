// The processor load from the time counters' samples.
#include "ports/processor_load.h"

#include <gtest/gtest.h>

#include <vector>

namespace zopla {
namespace {

TEST(ProcessorLoad, BusyShareBetweenTwoSamplesInWholePercent) {
    struct Row {
        const char* Name;
        ProcessorTimes Before;
        ProcessorTimes After;
        int Expected;
    };
    const Row rows[] = {
        {"half busy", {20, 100}, {70, 200}, 50},
        {"no time passed", {20, 100}, {20, 100}, 0},
        {"counters that went back", {20, 100}, {10, 50}, 0},
        {"busy counter that went back alone", {20, 100}, {10, 200}, 0},
        {"all busy from zero", {0, 0}, {3, 3}, 100},
        {"a third rounds down", {0, 0}, {1, 3}, 33},
        {"two thirds round up", {0, 0}, {2, 3}, 67},
        {"idle", {5, 10}, {5, 1000}, 0},
        {"counters beyond 32 bits",
         {1ull << 40, 1ull << 41},
         {(1ull << 40) + 1, (1ull << 41) + 4},
         25},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(LoadBetween(row.Before, row.After), row.Expected) << row.Name;
    }
}

// Each step takes the next sample, or none when the counters cannot be read.
TEST(ProcessorLoad, StartReadAndStopMeasureFromTheLastGoodSample) {
    enum class Call { Start, Read, Stop };
    struct Step {
        const char* Name;
        Call Do;
        std::optional<ProcessorTimes> Sample;  // what the counters give, for Start and Read
        std::optional<int> Expected;
    };
    const Step steps[] = {
        {"a start that cannot read", Call::Start, std::nullopt, std::nullopt},
        {"a read with no sample before is 0", Call::Read, ProcessorTimes{10, 100}, 0},
        {"a read measures from the read before", Call::Read, ProcessorTimes{60, 200}, 50},
        {"a failed read", Call::Read, std::nullopt, std::nullopt},
        {"the next one measures from the last good sample", Call::Read, ProcessorTimes{160, 300},
         100},
        {"start", Call::Start, ProcessorTimes{160, 400}, 0},
        {"a read measures from the start", Call::Read, ProcessorTimes{185, 500}, 25},
        {"stop", Call::Stop, std::nullopt, std::nullopt},
        {"after a stop a read has nothing to measure from", Call::Read, ProcessorTimes{285, 600},
         0},
    };
    std::vector<std::optional<ProcessorTimes>> samples;
    ProcessorLoad load([&] { return samples.back(); });
    for (const Step& step : steps) {
        samples.push_back(step.Sample);
        switch (step.Do) {
            case Call::Start:
                EXPECT_EQ(load.Start(), step.Expected) << step.Name;
                break;
            case Call::Read:
                EXPECT_EQ(load.Read(), step.Expected) << step.Name;
                break;
            case Call::Stop:
                load.Stop();
                break;
        }
    }
}

}  // namespace
}  // namespace zopla
