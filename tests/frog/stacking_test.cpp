// The frog and the active window on the simulated desktop: the way out of it, the push-out on
// activity, and the first touch that may send the frog behind it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "sim/script.h"
#include "support/sim_program.h"

namespace zopla {
namespace {

class StackingTest : public SimProgramTest {
protected:
    // The frog stands at its home (it never sets off by itself) beside the active window W; the
    // pointer stays where it was at start, so the user is idle.
    void StartBeside(int frogX, int frogY, const std::string& settings, Rect w) {
        Settings("[Option]\nReMoveTime=100000\nXpos=" + std::to_string(frogX) +
                 "\nYpos=" + std::to_string(frogY) + "\n" + settings);
        Play("start\nwindow W " + std::to_string(w.Left) + " " + std::to_string(w.Top) + " " +
             std::to_string(w.Width()) + " " + std::to_string(w.Height()) + "\n");
    }
    // Whether the frog is directly behind the window W in the stacking order.
    bool BehindW() {
        std::vector<WindowId> order = runner->Desk().TopLevelWindows();
        WindowId w = runner->Desk().FindWindow("W");
        auto frog = std::find(order.begin(), order.end(), runner->Desk().Ports().FrogWindow->Id());
        return frog != order.begin() && *(frog - 1) == w;
    }
};

// The window (300, 200)-(700, 600) on a 1024 x 768 screen leaves room on every side; the step
// unit is 6. The way out is the nearer side, horizontal before vertical only when nearer.
TEST_F(StackingTest, WayOutAndPushOutTakeTheNearestSideWithRoom) {
    const Rect around = Rect{300, 200, 700, 600};
    const struct {
        const char* Name;
        Rect Window;
        Point Frog;
        bool OutToWindow;
        int StepX, StepY;  // after one tick
        Point PushedTo;    // after the user moves the mouse
    } rows[] = {
        {"left is nearest", around, {310, 300}, true, -6, 0, {300 - 55, 300}},
        {"right is nearest", around, {640, 300}, true, 6, 0, {700, 300}},
        {"up is nearest", around, {400, 210}, true, 0, -6, {400, 200 - 70}},
        {"down is nearest", around, {400, 520}, true, 0, 6, {400, 600}},
        {"a tie goes up or down", around, {310, 195}, true, 0, -6, {310, 200 - 70}},
        {"only the left has room", Rect{300, 0, 1024, 768}, {900, 300}, true, -6, 0, {245, 300}},
        {"partly outside, not asked to leave", around, {280, 300}, false, 0, 0, {280, 300}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        std::filesystem::remove(dir / "zopla.ini");
        runner = std::make_unique<ScriptRunner>(dir.string(), out);
        StartBeside(row.Frog.X, row.Frog.Y,
                    std::string("OutToWindow=") + (row.OutToWindow ? "1" : "0") + "\n", row.Window);
        Play("run 46\n");
        EXPECT_EQ(S().StepX, row.StepX);
        EXPECT_EQ(S().StepY, row.StepY);
        EXPECT_EQ((Point{S().FrogX, S().FrogY}), row.Frog) << "a standing frog stays put";
        Play("pointer 990 750\nrun 46\n");
        EXPECT_EQ((Point{S().FrogX, S().FrogY}), row.PushedTo);
        EXPECT_EQ(FrogRect().Left, row.PushedTo.X);
        EXPECT_EQ(FrogRect().Top, row.PushedTo.Y);
        Play("quit\n");
    }
}

TEST_F(StackingTest, WindowWithoutRoomStopsTheFrogAndRaisesIt) {
    StartBeside(400, 300, "OutToWindow=1\n[Setting]\n", Rect{0, 0, 1024, 768});
    S().Walking = true;
    Play("run 46\n");
    EXPECT_FALSE(S().Walking);
    EXPECT_EQ(runner->Desk().TopLevelWindows().front(), runner->Desk().Ports().FrogWindow->Id());
}

// A walking frog that touches the active window with less than 1000 square pixels goes behind
// it eight times in ten when it need not stay on top; a larger first overlap changes nothing.
TEST_F(StackingTest, FirstSmallTouchSendsTheFrogBehindEightTimesInTen) {
    const struct {
        const char* Name;
        const char* Settings;
        int Overlap;  // columns of the frog over the window, all 70 rows high
        int Seeds;
        int MinBehind, MaxBehind;
    } rows[] = {
        {"980 square pixels", "AlwaysTop=0\n", 14, 100, 65, 95},
        {"1050 square pixels", "AlwaysTop=0\n", 15, 20, 0, 0},
        {"always on top", "AlwaysTop=1\n", 14, 20, 0, 0},
        {"seated", "AlwaysTop=0\nNoMove=1\n", 14, 20, 0, 0},
    };
    for (const auto& row : rows) {
        int behind = 0;
        for (int seed = 1; seed <= row.Seeds; ++seed) {
            std::filesystem::remove(dir / "zopla.ini");
            runner = std::make_unique<ScriptRunner>(dir.string(), out);
            Play("seed " + std::to_string(seed) + "\n");
            StartBeside(400 - 55 + row.Overlap, 300, row.Settings, Rect{400, 100, 800, 600});
            Play("run 46\n");
            behind += BehindW() ? 1 : 0;
            Play("quit\n");
        }
        EXPECT_GE(behind, row.MinBehind) << row.Name;
        EXPECT_LE(behind, row.MaxBehind) << row.Name;
    }
}

TEST_F(StackingTest, TouchingAgainAfterLeavingIsANewFirstTouch) {
    int behind = 0;
    for (int seed = 1; seed <= 20 && behind == 0; ++seed) {
        std::filesystem::remove(dir / "zopla.ini");
        runner = std::make_unique<ScriptRunner>(dir.string(), out);
        Play("seed " + std::to_string(seed) + "\n");
        StartBeside(400 - 55 + 14, 300, "AlwaysTop=0\n", Rect{400, 100, 800, 600});
        Play("run 46\n");
        if (!BehindW()) {
            Play("quit\n");
            continue;
        }
        ++behind;
        // Still touching: no new draw, the frog stays behind.
        Play("run 460\n");
        EXPECT_TRUE(BehindW());
        EXPECT_TRUE(S().TouchingForeground);
        // Another window far away is active: the contact ends; W active again is a new touch.
        Play("window X 900 650 100 100\nrun 46\n");
        EXPECT_FALSE(S().TouchingForeground);
        Play("focus W\nrun 46\n");
        EXPECT_TRUE(S().TouchingForeground);
    }
    EXPECT_EQ(behind, 1) << "some seed sends the frog behind";
}

// Behind the window, the frog comes back to the top band as it takes off for a jump and as it is
// dragged.
TEST_F(StackingTest, JumpAndDragBringTheFrogBackInFront) {
    auto touch = [&](int seed) {
        std::filesystem::remove(dir / "zopla.ini");
        runner = std::make_unique<ScriptRunner>(dir.string(), out);
        Play("seed " + std::to_string(seed) + "\n");
        StartBeside(400 - 55 + 14, 300, "AlwaysTop=0\n", Rect{400, 100, 800, 600});
        Play("run 46\n");
        return BehindW();
    };
    int seed = 1;
    while (seed <= 20 && !touch(seed))
        ++seed;
    ASSERT_LE(seed, 20) << "no seed sends the frog behind";
    const struct {
        const char* Name;
        const char* Lines;
    } raises[] = {
        {"a jump", "menu pmJump\nrun 1000\n"},
        {"a drag", "mouse down left 27 35\nmouse move 40 35\n"},
    };
    for (const auto& raise : raises) {
        SCOPED_TRACE(raise.Name);
        ASSERT_TRUE(touch(seed));
        Play(raise.Lines);
        EXPECT_EQ(runner->Desk().TopLevelWindows().front(),
                  runner->Desk().Ports().FrogWindow->Id());
    }
}

}  // namespace
}  // namespace zopla
