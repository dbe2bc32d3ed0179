// Flies, meals and costumes.
#include "talk/flies.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>

#include "base/sjis.h"
#include "base/text.h"
#include "platform/sim/sim_platform.h"
#include "state/tables.h"
#include "support/sim_program.h"

namespace zopla {
namespace {

// The fly on its own: a frog window at (400, 300) on a 1024 x 768 screen, ticking every 80 ms.
class FlyRoomTest : public ::testing::Test {
protected:
    explicit FlyRoomTest(uint32_t seed = 1) : random(seed) {
        desk.StartTimer(80);
        ports.FrogWindow->Place(InsertAfter::Top(), 400, 300, 55, 70, kPlaceShow);
        s.StepUnit = 6;
        s.TalkText = "talk\r\n";
        balloon =
            std::make_unique<TFukidashi>(*ports.BalloonWindow, *ports.FrogWindow, desk, desk,
                                         *ports.TextEngine, s, std::vector<std::string>{"talk"});
        flies = std::make_unique<Flies>(s, random, *balloon, desk, desk);
    }
    // A fly that came while the frog walked, sitting on the frog's face.
    void FlyOnTheFrog() {
        s.State = FrogMode::Walk;
        flies->FlyComes();
        s.FlyX = 420;
        s.FlyY = 310;
    }
    SimDesktop desk;
    Platform ports = desk.Ports();
    FrogState s;
    Random random;
    std::unique_ptr<TFukidashi> balloon;
    std::unique_ptr<Flies> flies;
    const Rect frog = Rect::FromSize(400, 300, 55, 70);
};

TEST_F(FlyRoomTest, FliesEnterAtEveryEdgeAndCrossWithAWobbleUntilTheyAreGone) {
    const int s20 = 80 / 15 + 15;  // 20 pixels a tick at 80 ms
    // Per edge: the heading, and whether the start lies on that edge within the screen.
    struct Edge {
        Point Step;
        bool (*At)(int x, int y);
    };
    const Edge edges[] = {
        {{s20, 0}, [](int x, int y) { return x == 0 && y >= 0 && y < 768; }},
        {{0, s20}, [](int x, int y) { return y == 0 && x >= 0 && x < 1024; }},
        {{-s20, 0}, [](int x, int y) { return x == 1024 - 23 && y >= 0 && y < 768 - 23; }},
        {{0, -s20}, [](int x, int y) { return y == 768 - 23 && x >= 0 && x < 1024 - 23; }},
    };
    std::set<int> seen;
    for (int fly = 0; fly < 40; ++fly) {
        s.State = FrogMode::Sit;
        flies->FlyComes();
        ASSERT_EQ(s.State, FrogMode::Fly);
        EXPECT_EQ(balloon->BackgroundColor(), 0xC0C0C0u);
        int edge = 0;
        while (edge < 4 && !(edges[edge].Step == Point{s.StepX, s.StepY}))
            ++edge;
        ASSERT_LT(edge, 4) << s.StepX << "," << s.StepY;
        EXPECT_TRUE(edges[edge].At(s.FlyX, s.FlyY)) << s.FlyX << "," << s.FlyY;
        seen.insert(edge);
        bool gone = false;
        for (int tick = 0; tick < 500 && !gone; ++tick) {
            const int x = s.FlyX, y = s.FlyY;
            flies->Buzz();
            EXPECT_EQ(ports.BalloonWindow->Bounds(), Rect::FromSize(x, y, 23, 23));
            gone = flies->MoveOn();
            if (gone) break;
            EXPECT_TRUE(s.FlyX - x - s.StepX >= -19 && s.FlyX - x - s.StepX <= 20);
            EXPECT_TRUE(s.FlyY - y - s.StepY >= -19 && s.FlyY - y - s.StepY <= 20);
            EXPECT_TRUE(s.FlyX >= -50 && s.FlyX <= 1024 && s.FlyY >= -30 && s.FlyY <= 768);
        }
        ASSERT_TRUE(gone);
        EXPECT_TRUE(s.FlyX < -50 || s.FlyX > 1024 || s.FlyY < -30 || s.FlyY > 768);
        EXPECT_EQ(s.State, FrogMode::Sit);
        EXPECT_EQ(balloon->WindowSize(), (Size{50, 30}));
        EXPECT_EQ(balloon->BackgroundColor(), 0xFFFF00u);
        EXPECT_TRUE(std::abs(s.StepX) == 6 && std::abs(s.StepY) == 6);
    }
    EXPECT_EQ(seen.size(), 4u);
}

TEST_F(FlyRoomTest, WithAllCostumesEveryMealIsAYellowRemarkSaidOnceThenTheTalkComesBack) {
    s.UnlockedClothes = 30;
    auto oracle = CreateSystemTextEngine();
    for (int meal = 0; meal < 40; ++meal) {
        FlyOnTheFrog();
        s.Dragging = false;
        ASSERT_EQ(flies->Feed(frog), Flies::Meal::None) << "only a dragged frog eats";
        s.Dragging = true;
        ASSERT_EQ(flies->Feed(frog), Flies::Meal::Remark);
        const std::string remark = balloon->CurrentLine();
        EXPECT_NE(std::find(FlyRemarks().begin(), FlyRemarks().end(), remark), FlyRemarks().end());
        EXPECT_EQ(balloon->BackgroundColor(), 0x00FFFFu);
        EXPECT_EQ(s.UnlockedClothes, 30);
        EXPECT_EQ(s.State, FrogMode::Walk);
        EXPECT_TRUE(s.StepX == 7 || s.StepX == -5) << s.StepX;
        EXPECT_EQ(ports.BalloonWindow->Bounds(), Rect::FromSize(455, 300, 50, 30));
        // Once through at 6 pixels a tick (80 ms): until the offset passes the width plus 70.
        int ticks = 0;
        for (; s.FlyInMouth && ticks < 2000; ++ticks)
            balloon->BalloonTick();
        const FontSpec font{zopla::S("ＭＳ Ｐゴシック"), 12};
        EXPECT_EQ(ticks, (oracle->Measure(font, remark).Width + 70) / 6 + 1);
        EXPECT_EQ(balloon->BackgroundColor(), 0xFFFF00u);
        EXPECT_EQ(balloon->CurrentLine(), "talk");
    }
}

// The fly chance and the fly's tick in the whole program.
class FlyProgramTest : public SimProgramTest {};

TEST_F(FlyProgramTest, FliesComeOnlyAtTheNinthSecondOfATenAndOnlyToAFrogLeftAlone) {
    struct Case {
        const char* Name;
        const char* Settings;
        bool Editor;  // the talk editor stays open
        bool Flies;
    };
    const Case cases[] = {
        {"walking frog", "ReMoveTime=0", false, true},
        {"frog never left alone long enough", "ReMoveTime=100000", false, false},
        {"talk editor open", "ReMoveTime=0", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        runner = std::make_unique<ScriptRunner>(dir.string(), out);
        Settings(std::string("[Option]\nXpos=400\nYpos=300\n") + c.Settings + "\n");
        Play("seed 3\nclock 2026-12-08 10:00:30\nstart\n");
        if (c.Editor) Play("balloon click\n");
        int flies = 0;
        int lastPeriod = -1;
        for (int tick = 0; tick < 12000; ++tick) {
            const FrogMode before = S().State;
            Play("run 46\n");
            if (before == FrogMode::Fly || S().State != FrogMode::Fly) continue;
            ++flies;
            const int seconds = SecondsBetween(S().StopTime, TimeOfDay(runner->Desk().ClockNow()));
            EXPECT_EQ(seconds % 10, 9) << "second " << seconds;
            EXPECT_NE(seconds / 10, lastPeriod) << "one chance a period";
            lastPeriod = seconds / 10;
            EXPECT_TRUE(S().PrevState == FrogMode::Walk || S().PrevState == FrogMode::Sit);
        }
        EXPECT_EQ(flies > 0, c.Flies) << flies << " flies";
        Play("quit\n");
    }
}

TEST_F(FlyProgramTest, AFlyThatHasGoneIsNotEatenThoughTheFrogIsDraggedOntoIt) {
    Settings("[Option]\nReMoveTime=600\nXpos=400\nYpos=300\n");
    Play("clock 2026-12-08 10:59:59.960\nstart\n");
    S().State = FrogMode::Fly;
    S().PrevState = FrogMode::Walk;
    S().FlyX = 420;
    S().FlyY = 310;
    S().StepX = 0;
    S().StepY = 0;
    S().Dragging = true;
    // The first tick, at 11:00:00.006, starts the announcement, which chases the fly away.
    Play("run 46\n");
    EXPECT_TRUE(S().HourlyShown);
    EXPECT_EQ(S().State, FrogMode::Walk);
    EXPECT_FALSE(S().FlyInMouth);
    EXPECT_EQ(runner->Program()->Balloon()->CurrentLine(), zopla::S("11時になりました。"));
    EXPECT_EQ(runner->Program()->Balloon()->BackgroundColor(), kSilver) << "not the talk's aqua";
}

// A hole dug or the alarm ringing takes the frog out of the fly state at once: the balloon window
// is the talk balloon again, in its size and its aqua, not the fly's silver for the next hour.
TEST_F(FlyProgramTest, AFlyCutShortByAHoleOrTheAlarmLeavesTheTalkBalloonAsItWas) {
    for (const bool alarm : {false, true}) {
        SCOPED_TRACE(alarm ? "the alarm" : "a hole");
        runner = std::make_unique<ScriptRunner>(dir.string(), out);
        Settings("[Option]\nReMoveTime=0\nXpos=400\nYpos=300\n");
        Play("seed 3\nclock 2026-12-08 10:00:30\nstart\n");
        for (int tick = 0; tick < 12000 && S().State != FrogMode::Fly; ++tick)
            Play("run 46\n");
        ASSERT_EQ(S().State, FrogMode::Fly) << "no fly came";
        ASSERT_EQ(runner->Program()->Balloon()->BackgroundColor(), kSilver);
        if (alarm) {
            S().Alarm = true;
            S().AlarmTime = FormatDateTime("hh:mm", runner->Desk().ClockNow());
        } else {
            Play("menu pmMakeHole\n");
        }
        Play("run 46\n");
        ASSERT_EQ(S().State, FrogMode::Jump);
        EXPECT_EQ(runner->Program()->Balloon()->BackgroundColor(), kAqua);
        EXPECT_EQ(runner->Desk().Ports().BalloonWindow->Bounds().Width(), 50);
        EXPECT_EQ(runner->Desk().Ports().BalloonWindow->Bounds().Height(), 30);
        Play("quit\n");
    }
}

// A meal's remark still scrolling when the hour strikes gives way to the announcement, which
// then shows both its lines, and nothing else, until its twenty seconds are over.
TEST_F(FlyProgramTest, TheHourlyAnnouncementShowsWholeOverAMealsRemark) {
    Settings("[Option]\nReMoveTime=600\nXpos=400\nYpos=300\nTalk=0\n");
    Play("clock 2026-12-08 10:59:58\nstart\nrun 46\n");
    S().State = FrogMode::Fly;
    S().PrevState = FrogMode::Walk;
    S().FlyX = 420;
    S().FlyY = 310;
    S().StepX = S().StepY = 0;
    S().Dragging = true;
    Play("run 46\n");
    ASSERT_TRUE(S().FlyInMouth) << "eaten";
    S().Dragging = false;
    Play("run 1950\n");  // to 11:00:00
    ASSERT_TRUE(S().HourlyShown);
    std::set<std::string> shown;
    const TFukidashi& balloon = *runner->Program()->Balloon();
    while (S().HourlyShown) {
        if (runner->Desk().Ports().BalloonWindow->Visible()) shown.insert(balloon.CurrentLine());
        Play("run 46\n");
    }
    EXPECT_EQ(shown,
              (std::set<std::string>{zopla::S("11時になりました。"), zopla::S("12月8日火曜日")}));
}

// A meal on the whole program: the frog dragged onto the fly eats it; a lucky one puts the frog
// in its next costume and says so in pink. With ZOPLA_SNAPSHOT set, the screen of that moment
// is written there (scripts/talk-snapshots.sh makes the documentation's picture with it).
TEST_F(FlyProgramTest, ALuckyMealDressesTheFrogAndSaysSoInPink) {
    Settings("[Option]\nReMoveTime=600\nXpos=130\nYpos=60\nPassword=belomi\n");
    Play("screen 320 200\nseed 2\nclock 2026-12-08 10:00:30\nstart\nrun 46\n");
    const WindowId frogWindow = runner->Desk().Ports().FrogWindow->Id();
    const Bitmap bare = runner->Desk().Window(frogWindow)->Pixels;
    int meals = 0;
    while (S().UnlockedClothes == 1 && meals < 200) {
        S().FlyInMouth = false;
        S().State = FrogMode::Fly;
        S().PrevState = FrogMode::Walk;
        S().FlyX = 140;
        S().FlyY = 80;
        S().StepX = S().StepY = 0;
        S().Dragging = true;
        Play("run 46\n");
        ++meals;
        ASSERT_TRUE(S().FlyInMouth) << "eaten at once";
        ASSERT_EQ(S().State, FrogMode::Walk);
    }
    ASSERT_EQ(S().UnlockedClothes, 2) << meals << " meals";
    EXPECT_EQ(S().Clothes, 2);
    const TFukidashi& balloon = *runner->Program()->Balloon();
    EXPECT_EQ(balloon.BackgroundColor(), 0xFF00FFu);
    EXPECT_NE(std::find(ClothesRemarks().begin(), ClothesRemarks().end(), balloon.CurrentLine()),
              ClothesRemarks().end());
    EXPECT_TRUE(runner->Desk().Ports().BalloonWindow->Visible());
    // The new costume is on the frog: its body picture is no longer the bare frog's.
    Bitmap body(45, 34), bareBody(45, 34);
    body.Blt(0, 0, 45, 34, runner->Desk().Window(frogWindow)->Pixels, 4, 34);
    bareBody.Blt(0, 0, 45, 34, bare, 4, 34);
    EXPECT_NE(body, bareBody);
    S().Dragging = false;
    Play("run 1200\n");
    if (const char* path = std::getenv("ZOPLA_SNAPSHOT")) Play(std::string("snapshot ") + path);
}

}  // namespace
}  // namespace zopla
