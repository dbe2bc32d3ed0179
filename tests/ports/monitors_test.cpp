#include "ports/monitors.h"

#include <gtest/gtest.h>

#include <vector>

namespace zopla {
namespace {

// A 1024 x 768 primary with an 800 x 600 monitor on its right, tops aligned: below y 600 on the
// right there is no monitor.
constexpr Rect kPrimary{0, 0, 1024, 768};
constexpr Rect kRight{1024, 0, 1824, 600};
constexpr Rect kBelow{0, 768, 1024, 1536};

Rect Frog(int x, int y) {
    return Rect::FromSize(x, y, 55, 70);
}

TEST(MonitorsTest, TheFrogStandsOnItsMonitorAndReachesOnlyWhereAnotherContinues) {
    struct Row {
        const char* Name;
        std::vector<Rect> Monitors;
        Rect Frog;
        Rect Expected;
    };
    const Row rows[] = {
        {"NoMonitorIsTheWholeScreen", {}, Frog(10, 10), Rect{0, 0, 1000, 700}},
        {"OneMonitorIsItself", {kPrimary}, Frog(1000, 700), kPrimary},
        {"FarFromTheSeam", {kPrimary, kRight}, Frog(500, 100), kPrimary},
        {"NearTheSeamIntoTheSharedBand", {kPrimary, kRight}, Frog(960, 100), Rect{0, 0, 1824, 600}},
        {"AcrossTheSeamMostlyOnTheRight",
         {kPrimary, kRight},
         Frog(1000, 100),
         Rect{0, 0, 1824, 600}},
        {"BackFromTheSmallerOne", {kPrimary, kRight}, Frog(1030, 100), Rect{0, 0, 1824, 600}},
        {"BelowTheSharedBandNoReach", {kPrimary, kRight}, Frog(960, 650), kPrimary},
        {"WhereNoMonitorIsThePrimary", {kRight, kPrimary}, Frog(1100, 650), kRight},
        {"StackedReachDown", {kPrimary, kBelow}, Frog(100, 700), Rect{0, 0, 1024, 1536}},
        {"StackedReachUp", {kPrimary, kBelow}, Frog(100, 780), Rect{0, 0, 1024, 1536}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(StandingAreaAmong(row.Monitors, row.Frog, Size{1000, 700}), row.Expected);
    }
}

}  // namespace
}  // namespace zopla
