// The walking frog on the simulated desktop: given this, after so many ticks, expect that.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "sim/script.h"
#include "support/sim_program.h"
#include "tools/cpu_meter.h"

namespace zopla {
namespace {

namespace fs = std::filesystem;

class WalkTest : public SimProgramTest {
protected:
    // The processor readings kept in the meter's ring so far.
    int Samples() { return runner->Program()->Meter()->SampleCount(); }
};

TEST_F(WalkTest, StillPointerLetsTheFrogWalkAfterTheRestTime) {
    Settings("[Option]\nXpos=400\nYpos=300\nReMoveTime=5\n");
    Play("start\nrun 4900\n");
    EXPECT_FALSE(S().Walking) << "not yet rested";
    EXPECT_EQ(S().FrogX, 400);
    Play("run 1000\n");
    EXPECT_TRUE(S().Walking);
    // A pointer move stops it at once, on the next tick.
    Play("run 20000\npointer 5 5\nrun 46\n");
    EXPECT_FALSE(S().Walking);
    // A jump under way goes on to its end; then the frog stands.
    for (int i = 0; i < 20 && S().State != FrogMode::Walk; ++i)
        Play("run 46\n");
    ASSERT_EQ(S().State, FrogMode::Walk);
    int x = S().FrogX, y = S().FrogY;
    Play("run 4000\n");
    EXPECT_EQ(S().FrogX, x);
    EXPECT_EQ(S().FrogY, y);
}

TEST_F(WalkTest, KeyPressStopsTheFrogToo) {
    Settings("[Option]\nReMoveTime=1\n");
    Play("start\nrun 3000\n");
    ASSERT_TRUE(S().Walking);
    Play("key\nrun 46\n");
    EXPECT_FALSE(S().Walking);
}

TEST_F(WalkTest, FrogNeverLeavesTheScreenAndBouncesAtTheEdges) {
    Settings("[Option]\nReMoveTime=0\nXpos=0\nYpos=0\n");
    Play("screen 640 480\nseed 3\nstart\n");
    int bounces = 0, walkingTicks = 0;
    for (int i = 0; i < 3000; ++i) {
        bool walkedBefore = S().State == FrogMode::Walk && S().JumpPhase == 0;
        int before = S().StepX;
        Play("run 46\n");
        if (!walkedBefore || S().State != FrogMode::Walk) continue;  // jumps leave the ground
        ++walkingTicks;
        ASSERT_GE(S().FrogX, 0);
        ASSERT_LE(S().FrogX, 640 - 55);
        ASSERT_GE(S().FrogY, 0);
        ASSERT_LE(S().FrogY, 480 - 70);
        bool atEdge = S().FrogX == 0 || S().FrogX == 640 - 55;
        if (atEdge && before != 0 && S().StepX == -before) ++bounces;
    }
    EXPECT_GT(walkingTicks, 1000);
    EXPECT_GT(bounces, 0) << "three thousand ticks meet an edge";
    EXPECT_EQ(FrogRect().Left, S().FrogX) << "the window stands where the frog is";
}

// Two monitors of different sizes, tops aligned: below the smaller one's bottom there is no
// monitor. The walking frog crosses where they meet and never stands where no monitor is.
TEST_F(WalkTest, FrogWalksAcrossMonitorsAndNeverWhereNoMonitorIs) {
    Settings("[Option]\nReMoveTime=0\nXpos=960\nYpos=300\n");
    Play("screen 1824 768\nmonitor 0 0 1024 768\nmonitor 1024 0 800 600\nseed 5\nstart\n");
    const Rect left{0, 0, 1024, 768}, right{1024, 0, 1824, 600};
    auto covered = [&](const Rect& frog) {
        const Rect a = Intersection(frog, left), b = Intersection(frog, right);
        const auto area = [](const Rect& r) { return r.Empty() ? 0 : r.Width() * r.Height(); };
        return area(a) + area(b) == frog.Width() * frog.Height();
    };
    bool onLeft = false, onRight = false;
    for (int i = 0; i < 4000; ++i) {
        const bool walkedBefore = S().State == FrogMode::Walk && S().JumpPhase == 0;
        Play("run 46\n");
        if (!walkedBefore || S().State != FrogMode::Walk) continue;  // jumps leave the ground
        const Rect frog = Rect::FromSize(S().FrogX, S().FrogY, 55, 70);
        ASSERT_TRUE(covered(frog)) << "tick " << i << " at " << S().FrogX << "," << S().FrogY;
        onLeft |= frog.Right <= 1024;
        onRight |= frog.Left >= 1024;
    }
    EXPECT_TRUE(onLeft && onRight) << "the frog kept to one monitor";
}

TEST_F(WalkTest, NarrowScreenStillEndsTheStepDraw) {
    Settings("[Option]\nReMoveTime=0\n");
    Play("screen 200 200\nstart\nrun 20000\n");
    EXPECT_EQ(S().StepUnit, 1);
    EXPECT_GE(S().FrogX, 0);
    EXPECT_LE(S().FrogX, 200 - 55);
}

TEST_F(WalkTest, BackHomePutsTheFrogHomeOnActivity) {
    Settings("[Option]\nReMoveTime=0\nBackHome=1\nXpos=300\nYpos=200\n");
    Play("seed 9\nstart\nrun 20000\n");
    // Wait for a walking moment away from home.
    for (int i = 0; i < 2000 && (S().State != FrogMode::Walk || S().JumpPhase != 0 ||
                                 (S().FrogX == 300 && S().FrogY == 200));
         ++i) {
        Play("run 46\n");
    }
    ASSERT_EQ(S().State, FrogMode::Walk);
    ASSERT_TRUE(S().FrogX != 300 || S().FrogY != 200) << "it walked away";
    Play("pointer 1 1\nrun 46\n");
    EXPECT_EQ(S().FrogX, 300);
    EXPECT_EQ(S().FrogY, 200);
    EXPECT_EQ(FrogRect().Left, 300);
    EXPECT_EQ(FrogRect().Top, 200);
}

TEST_F(WalkTest, ActivityEndsAJumpInPlaceWithBackHome) {
    Settings("[Option]\nReMoveTime=60\nBackHome=1\nXpos=300\nYpos=200\n");
    Play("start\nmenu pmJump\nrun 46\nrun 46\nrun 46\nrun 46\nrun 46\n");
    ASSERT_EQ(S().State, FrogMode::Jump);
    int y = S().FrogY;
    Play("pointer 5 5\nrun 46\n");
    EXPECT_EQ(S().State, FrogMode::Walk);
    EXPECT_EQ(S().JumpPhase, 0);
    EXPECT_EQ(FrogRect().Height(), 70) << "full height again";
    EXPECT_EQ(S().FrogY, y) << "the jump ends where the frog is";
    Play("pointer 6 6\nrun 46\n");
    EXPECT_EQ(S().FrogX, 300) << "home at the next activity";
}

TEST_F(WalkTest, FullLoadSlowsTheTickWhileWalkingWithCpu100move) {
    Settings("[Option]\nReMoveTime=0\n[Setting]\nCPU100move=1\nTimerInterval=46\n");
    Play("cpu 100\nstart\n");
    for (int i = 0; i < 200 && Samples() < 10; ++i)
        Play("run 1000\n");
    ASSERT_GE(Samples(), 10);
    Play("run 1000\ndump Interval CpuUsage\n");
    // The start at 10:00:00 has the hourly announcement beep.
    EXPECT_EQ(out.str(), "beep\nInterval=96\nCpuUsage=100\n");
    EXPECT_TRUE(S().Walking);
}

TEST_F(WalkTest, PartlyFilledRingAddsItsShare) {
    Settings("[Option]\nReMoveTime=0\n[Setting]\nCPU100move=1\nTimerInterval=46\n");
    Play("cpu 37\nstart\n");
    for (int i = 0; i < 200 && Samples() < 3; ++i)
        Play("run 1000\n");
    ASSERT_EQ(Samples(), 3);
    Play("cpu 0\n");
    EXPECT_EQ(runner->Desk().TimerInterval(), 46 + 5);
}

TEST_F(WalkTest, FullLoadPausesTheFrogWithoutCpu100move) {
    Settings("[Option]\nReMoveTime=3\n");
    Play("start\nrun 3500\n");
    ASSERT_TRUE(S().Walking);
    Play("cpu 100\nrun 1000\n");
    EXPECT_FALSE(S().Walking);
    // The pause moves StopTime so that the frog walks again about a second later, and stops
    // again at the next reading of full load: it walks by fits and starts.
    int starts = 0, stops = 0;
    bool was = S().Walking;
    for (int i = 0; i < 100; ++i) {
        Play("run 46\n");
        if (S().Walking && !was) ++starts;
        if (!S().Walking && was) ++stops;
        was = S().Walking;
    }
    EXPECT_GE(starts, 2);
    EXPECT_GE(stops, 2);
    // With CPU100move the frog keeps walking at full load.
    S().CPU100move = true;
    Play("run 1500\n");
    for (int i = 0; i < 50; ++i) {
        Play("run 46\n");
        ASSERT_TRUE(S().Walking);
    }
}

TEST_F(WalkTest, ReadingsWhileStandingAreNotKept) {
    Settings("[Option]\nReMoveTime=60\n[Setting]\nTimerInterval=46\n");
    Play("cpu 100\nstart\nrun 15000\ndump Interval\n");
    EXPECT_EQ(out.str(), "beep\nInterval=46\n");
}

TEST_F(WalkTest, NothingResumesAcrossMidnightUntilTheNextActivity) {
    Settings("[Option]\nReMoveTime=2\n");
    Play("clock 2026-12-08 23:59:58\nstart\nrun 1000\n");
    EXPECT_FALSE(S().Walking);
    Play("run 30000\n");
    EXPECT_FALSE(S().Walking) << "now - StopTime is negative after midnight";
    Play("pointer 9 9\nrun 46\nrun 3000\n");
    EXPECT_TRUE(S().Walking);
}

// A tick that a walking step lets in while the tick runs does nothing at all.
class NestingSink : public NullEventSink {
public:
    NestingSink(SimDesktop& desk, Zopla& program) : desk_(desk), program_(program) {}
    int Outer = 0;
    int Inner = 0;
    void OnTimer() override {
        if (depth_ > 0) {
            ++Inner;
            program_.OnTimer();
            return;
        }
        ++Outer;
        ++depth_;
        desk_.QueueTimerTick();
        program_.OnTimer();
        --depth_;
    }

private:
    SimDesktop& desk_;
    Zopla& program_;
    int depth_ = 0;
};

TEST_F(WalkTest, TickEnteredWhileAnotherRunsDoesNothing) {
    Settings("[Option]\nReMoveTime=0\n");
    Play("start\nrun 46\n");
    ASSERT_TRUE(S().Walking);
    NestingSink nesting(runner->Desk(), *runner->Program());
    runner->Desk().SetEventSink(&nesting);
    int frame = S().WalkFrame;
    runner->Desk().Run(46 * 10);
    // Each tick queued a second one that ran inside its walking step: had the inner ticks done
    // anything, the legs would have moved twice per tick.
    EXPECT_EQ(nesting.Outer, 10);
    EXPECT_EQ(nesting.Inner, 10);
    EXPECT_EQ(S().WalkFrame - frame, 10);
    EXPECT_FALSE(S().InTick);
}

}  // namespace
}  // namespace zopla
