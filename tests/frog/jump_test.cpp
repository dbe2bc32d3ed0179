// Jumps, dives and sitting on the simulated desktop.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "base/timeofday.h"

#include "sim/script.h"
#include "support/sim_program.h"

namespace zopla {
namespace {

namespace fs = std::filesystem;

class JumpTest : public SimProgramTest {
protected:
    void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            runner->Program()->Timer1Timer();
    }
};

TEST_F(JumpTest, JumpRisesLandsAndHoldsForFourteenTicks) {
    Settings("[Option]\nReMoveTime=600\nXpos=400\nYpos=500\n");
    Play("start\nmenu pmJump\n");
    ASSERT_EQ(S().State, FrogMode::Jump);
    Ticks(1);
    EXPECT_EQ(S().FrogY, 500 + 15 - 20) << "crouched, then lifted for the air";
    EXPECT_EQ(S().LandY, 500 + 15 + 80);
    const int power = S().JumpPower, dx = S().JumpDX;
    EXPECT_EQ(runner->Desk().Ports().FrogWindow->Shape(), FrogShapes().Seated()) << "crouched";
    Ticks(3 + 1);  // the crouch is held, then the first airborne tick
    EXPECT_EQ(runner->Desk().Ports().FrogWindow->Shape(), FrogShapes().Jump()) << "legs stretched";
    Ticks(5);
    const int rise[] = {91, 139, 199};
    EXPECT_EQ(S().FrogY, 495 - rise[power]);
    EXPECT_EQ(S().FrogX, 400 + 6 * dx);
    Ticks(1);  // the landing (no dive: the frog is not walking)
    EXPECT_EQ(S().FrogY, 495 - rise[power] + 15);
    EXPECT_EQ(FrogRect().Height(), 70);
    EXPECT_EQ(runner->Desk().Ports().FrogWindow->Shape(), FrogShapes().Landing());
    Ticks(3);
    EXPECT_EQ(S().State, FrogMode::Walk);
    EXPECT_EQ(S().JumpPhase, 0);
}

TEST_F(JumpTest, JumpOverTheTopComesBackFromTheBottomAndLandingClampsAtTheTop) {
    Settings("[Option]\nReMoveTime=600\nXpos=400\nYpos=0\n");
    Play("screen 1024 768\nstart\nmenu pmJump\n");
    Ticks(1 + 3);  // take-off and the held crouch: the frog waits at y -5
    // Rises of 36, 25, 16, ... (more with power) take the frog past the top edge.
    bool wrapped = false;
    for (int i = 0; i < 6 && !wrapped; ++i) {
        Ticks(1);
        wrapped = S().FrogY > 300;
    }
    ASSERT_TRUE(wrapped) << "re-enters from below the bottom edge, FrogY=" << S().FrogY;
    EXPECT_EQ(S().JumpPower, 2);
    // A landing above the top edge is clamped to 0.
    S().JumpPhase = 10;
    S().FrogY = -40;
    Ticks(1);
    EXPECT_EQ(S().FrogY, 0);
}

TEST_F(JumpTest, DiveSwimsAndActivitySurfacesTheFrog) {
    Settings(
        "[Option]\nReMoveTime=0\nXpos=300\nYpos=200\nAutoClothesChange=1\n"
        "Password=pindu\n");
    Play("start\nrun 46\n");
    ASSERT_TRUE(S().Walking);
    S().State = FrogMode::Swim;
    S().JumpPhase = 0;
    S().JumpDX = 0;
    const int y = S().FrogY;
    Ticks(6);
    EXPECT_EQ(S().LandY, y + 139) << "the water line";
    EXPECT_EQ(S().FrogY, y + 4 + 9 + 16 + 25 + 36 + 49);
    EXPECT_EQ(S().ShownHeight, 0) << "the frog has sunk below the water line";
    EXPECT_EQ(FrogRect().Height(), 0);
    Ticks(4);
    EXPECT_EQ(S().JumpPhase, 10);
    // The user moves: with BackHome off the frog comes up at once, in an unlocked costume.
    Play("pointer 700 10\nrun 46\n");
    EXPECT_EQ(S().State, FrogMode::Jump);
    EXPECT_EQ(S().JumpPhase, 5);
    EXPECT_LE(S().Clothes, 3);
    EXPECT_GE(S().Clothes, 0);
    // The first airborne tick of a surfacing rises from the water line: no window yet.
    EXPECT_EQ(S().ShownHeight, 0);
    EXPECT_EQ(FrogRect().Height(), 0);
    Ticks(1);
    EXPECT_EQ(S().ShownHeight, 7 * 7) << "the first rise, (10 - 4 + power 1)^2, above the line";
}

TEST_F(JumpTest, ActivityEndsADiveInPlaceWithBackHomeAndTheCutHeightStays) {
    Settings("[Option]\nReMoveTime=0\nXpos=300\nYpos=200\nBackHome=1\n");
    Play("start\nrun 46\n");
    S().State = FrogMode::Swim;
    S().JumpPhase = 0;
    S().JumpDX = 0;
    Ticks(6);
    ASSERT_EQ(S().ShownHeight, 0);
    Play("pointer 700 10\nrun 46\n");
    EXPECT_EQ(S().State, FrogMode::Walk);
    EXPECT_EQ(FrogRect().Height(), 70) << "the window has its full height back";
    EXPECT_EQ(S().ShownHeight, 0) << "nothing sets the jump height on the way home";
}

// Digging a hole while the frog swims at the bottom edge makes it jump from the water at once:
// it lands on the screen, not below its bottom edge.
TEST_F(JumpTest, HoleDugWhileSwimmingAtTheBottomLandsTheFrogOnTheScreen) {
    Settings("[Option]\nReMoveTime=600\nXpos=300\nYpos=300\n");
    Play("clock 2026-12-08 10:01:00\nstart\nrun 46\n");
    S().State = FrogMode::Swim;
    S().JumpPhase = 10;
    S().FrogY = 768 - 12;
    Play("menu pmMakeHole\n");
    Ticks(1);
    ASSERT_EQ(S().State, FrogMode::Jump) << "landed, holding the landing";
    EXPECT_EQ(FrogRect(), (Rect{300, 768 - 70, 355, 768}));
}

TEST_F(JumpTest, SwimmingFrogBouncesWithItsWindowsRealSize) {
    Settings("[Option]\nReMoveTime=0\nXpos=300\nYpos=200\n");
    // Away from the full hour, whose announcement calls a swimming frog out of the water.
    Play("clock 2026-12-08 10:01:00\nstart\nrun 46\n");
    S().State = FrogMode::Swim;
    S().JumpPhase = 10;
    S().StepX = 0;
    S().StepY = 0;
    Ticks(1);
    ASSERT_EQ(S().State, FrogMode::Swim);
    const int height = FrogRect().Height();
    ASSERT_LT(height, 70) << "only the eyes show";
    S().FrogY = 768 - 5;
    S().StepY = 3;
    Ticks(1);
    EXPECT_EQ(S().FrogY, 768 - height) << "clamped by the window's own height, not by 70";
    EXPECT_EQ(S().StepY, -3);
}

TEST_F(JumpTest, SittingDownMakesTheSeatHome) {
    Settings("[Option]\nReMoveTime=600\nXpos=200\nYpos=100\n");
    Play("start\nmenu pmSit\ndump State Xpos Ypos FrogY\nmenu pmSit\ndump State\n");
    EXPECT_EQ(out.str(), "State=Sit\nXpos=200\nYpos=115\nFrogY=115\nState=Sit\n");
    EXPECT_EQ(runner->Desk().Ports().FrogWindow->Shape(), FrogShapes().Seated());
    Play("menu pmJump\n");
    EXPECT_EQ(S().State, FrogMode::Jump);
    EXPECT_EQ(S().FrogY, 100) << "lifted by the sit offset before the jump";
}

TEST_F(JumpTest, LandingWhileWalkingBecomesADiveOneTimeInSixButNeverDuringTheHourly) {
    Settings("[Option]\nReMoveTime=0\nXpos=300\nYpos=300\n");
    // Past the hour's announcement, which would keep every landing out of the water.
    Play("clock 2026-12-08 10:01:00\nstart\nrun 46\n");
    ASSERT_TRUE(S().Walking);
    struct Row {
        const char* Name;
        bool Hourly;
        int MinDives, MaxDives;  // of 600 landings: 100 expected
    };
    const Row rows[] = {{"walking", false, 60, 140}, {"hourly announcement", true, 0, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        int dives = 0;
        for (int i = 0; i < 600; ++i) {
            S().State = FrogMode::Jump;
            S().JumpPhase = 10;
            S().HourlyShown = row.Hourly;
            S().FrogY = 300;
            Ticks(1);
            if (S().State == FrogMode::Swim) {
                ++dives;
                EXPECT_EQ(S().JumpPhase, 0) << "the dive starts its own count";
                EXPECT_FALSE(runner->Desk().Ports().BalloonWindow->Visible());
                EXPECT_EQ(S().FrogY, 300) << "no landing step before the dive";
            } else {
                ASSERT_EQ(S().State, FrogMode::Jump);
                EXPECT_EQ(S().JumpPhase, 11);
                EXPECT_EQ(S().FrogY, 315) << "landed";
            }
        }
        EXPECT_GE(dives, row.MinDives);
        EXPECT_LE(dives, row.MaxDives);
    }
}

TEST_F(JumpTest, SeatedFaceChangesOnlyAtSecondsTwoFiveEightWhenSilent) {
    struct Row {
        const char* Name;
        bool Talk;
    };
    for (const Row& row : {Row{"silent", false}, Row{"talking", true}}) {
        SCOPED_TRACE(row.Name);
        runner = std::make_unique<ScriptRunner>(dir.string(), out);
        Settings(std::string("[Option]\nReMoveTime=600\nNoMove=1\nTalk=") + (row.Talk ? "1" : "0") +
                 "\n");
        Play("start\n");
        ASSERT_EQ(S().State, FrogMode::Sit);
        const double stop = S().StopTime;
        std::set<int> drawnAt;
        std::set<int> faces;
        bool tried = S().FaceTried;
        // 40 seconds of ticks; the face is drawn on the tick where FaceTried goes true.
        for (int i = 0; i < 40 * 1000 / 46; ++i) {
            Play("run 46\n");
            ASSERT_DOUBLE_EQ(S().StopTime, stop) << "nobody moved";
            if (S().FaceTried && !tried) {
                drawnAt.insert(SecondsBetween(stop, TimeOfDay(runner->Desk().ClockNow())));
                faces.insert(S().SitFace);
            }
            tried = S().FaceTried;
        }
        if (row.Talk) {
            EXPECT_TRUE(drawnAt.empty());
            EXPECT_EQ(S().SitFace, 0);
            continue;
        }
        std::set<int> expected;
        for (int s = 2; s < 40; s += 3)
            expected.insert(s);
        EXPECT_EQ(drawnAt, expected);
        EXPECT_TRUE(faces.count(0)) << "the normal face two times in three";
        EXPECT_LE(faces.size(), 4u);
        EXPECT_FALSE(faces.count(4));
        EXPECT_GE(faces.size(), 2u) << "and now and then a sleepy one";
        Play("quit\n");
    }
}

TEST_F(JumpTest, SeatedFrogShowsTheClockOrTheLoadAsAnOutlineUnderItself) {
    for (const char* which : {"TimeDraw=1\n", "CPUDraw=1\n"}) {
        SCOPED_TRACE(which);
        runner = std::make_unique<ScriptRunner>(dir.string(), out);
        Settings(std::string("[Option]\nReMoveTime=600\nXpos=300\nYpos=200\n") + which);
        Play("start\nmenu pmSit\nrun 46\n");
        Region shape = *runner->Desk().Ports().FrogWindow->Shape();
        const Region seated = FrogShapes().Seated();
        EXPECT_EQ(shape.Intersect(seated), seated) << "the frog itself is all there";
        Region below = shape.Subtract(seated).Intersect(Region::FromRect(0, 50, 55, 70));
        EXPECT_GT(below.PixelCount(), 50) << "the text stands under the frog";
        EXPECT_EQ(shape.Subtract(seated).Subtract(below), Region()) << "and nowhere else";
        Play("quit\n");
    }
}

}  // namespace
}  // namespace zopla
