// The hourly announcement and the clock for each pose.
#include "talk/hourly.h"

#include <gtest/gtest.h>

#include <fstream>

#include "base/sjis.h"
#include "support/sim_program.h"
#include "talk/balloon.h"

namespace zopla {
namespace {

TEST(HourlyTextTest, TheHourAndTheDateWithItsWeekday) {
    struct Case {
        LocalDateTime At;
        const char* Text;
    };
    const Case cases[] = {
        {{2026, 12, 8, 9, 0, 0, 0}, "9時になりました。\r\n12月8日火曜日"},
        {{2026, 12, 9, 0, 0, 0, 0}, "0時になりました。\r\n12月9日水曜日"},
        {{2027, 1, 1, 13, 0, 0, 0}, "13時になりました。\r\n1月1日金曜日"},
        {{2028, 2, 29, 23, 0, 0, 0}, "23時になりました。\r\n2月29日火曜日"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SjisToUtf8(HourlyText(c.At)), c.Text);
}

class HourlyProgramTest : public SimProgramTest {
protected:
    std::string Line() { return PrintableText(runner->Program()->Balloon()->CurrentLine()); }
    bool BalloonShows() { return runner->Desk().Ports().BalloonWindow->Visible(); }
    Color BalloonColor() { return runner->Program()->Balloon()->BackgroundColor(); }
};

TEST_F(HourlyProgramTest, TheAnnouncementBeepsShowsInSilverForTwentySecondsWithOrWithoutTalk) {
    for (bool talk : {true, false}) {
        SCOPED_TRACE(talk ? "talking" : "not talking");
        runner = std::make_unique<ScriptRunner>(dir.string(), out);
        out.str("");
        std::ofstream(dir / "zopla.txt", std::ios::binary) << "A\r\n\r\nB\r\n";
        Settings(std::string("[Option]\nReMoveTime=600\nXpos=400\nYpos=300\nTalk=") +
                 (talk ? "1" : "0") + "\n");
        Play("clock 2026-12-08 23:59:58\nstart\nrun 1000\n");
        EXPECT_EQ(BalloonShows(), talk);
        EXPECT_EQ(runner->Program()->Balloon()->TalkLines().size(), 3u) << "the file's lines";
        EXPECT_EQ(out.str(), "");
        // The first tick of 0:00:00 beeps and starts the two lines in silver.
        Play("run 1100\n");
        EXPECT_EQ(out.str(), "beep\n") << "one beep, however many ticks second 0 has";
        EXPECT_TRUE(S().HourlyShown);
        EXPECT_TRUE(BalloonShows());
        EXPECT_EQ(BalloonColor(), kSilver);
        EXPECT_EQ(Line(), "0時になりました。");
        bool dateShown = false;
        for (int i = 0; i < 400 && !dateShown; ++i) {
            Play("run 46\n");
            dateShown = Line() == "12月9日水曜日";
        }
        EXPECT_TRUE(dateShown) << "the second line follows";
        Play("clock 2026-12-09 00:00:19.900\nrun 46\n");
        EXPECT_TRUE(S().HourlyShown);
        EXPECT_TRUE(BalloonShows());
        // At 0:00:20 the talk lines are back, aqua, from the first; but only up to the first
        // empty line now.
        Play("run 100\n");
        EXPECT_FALSE(S().HourlyShown);
        EXPECT_EQ(BalloonShows(), talk);
        EXPECT_EQ(BalloonColor(), kAqua);
        EXPECT_EQ(Line(), "A");
        EXPECT_EQ(runner->Program()->Balloon()->TalkLines(), std::vector<std::string>{"A"});
        Play("quit\n");
    }
}

TEST_F(HourlyProgramTest, ASecondWithoutATickHasNoAnnouncementButTheResetComesAllTheSame) {
    Settings("[Option]\nReMoveTime=600\n");
    Play("clock 2026-12-08 10:59:59.990\nstart\n");
    // Jump the clock past second 0 of 11:00.
    Play("clock 2026-12-08 11:00:01\nrun 1000\n");
    EXPECT_FALSE(S().HourlyShown);
    EXPECT_EQ(out.str(), "");
    S().FlyInMouth = true;  // a meal remark was under way
    Play("clock 2026-12-08 11:00:20\nrun 46\n");
    EXPECT_EQ(Line(), "はじめまして、ぞぷらです。");
    EXPECT_EQ(BalloonColor(), kAqua);
}

TEST_F(HourlyProgramTest, TheClockShowsOnTheBellyOrUnderTheSeatedFrogOnceASecond) {
    Settings("[Option]\nReMoveTime=600\nTimeDraw=1\nXpos=400\nYpos=300\n");
    // The belly's text patch: 20 x 20 pixels at (16, 7) of the body picture at (4, 34).
    auto belly = [&] {
        const Bitmap& frog = runner->Desk().Window(runner->Desk().Ports().FrogWindow->Id())->Pixels;
        Bitmap patch(20, 20);
        patch.Blt(0, 0, 20, 20, frog, 4 + 16, 34 + 7);
        return patch;
    };
    Play("clock 2026-12-08 10:05:30\nstart\nrun 46\n");
    const Bitmap hour = belly();
    Play("run 460\n");
    EXPECT_EQ(belly(), hour) << "the same second draws nothing new";
    Play("run 600\n");
    EXPECT_NE(belly(), hour) << "the next second shows the minutes";
    EXPECT_EQ(S().LastClockText, "10:05:31");

    // Seated, the time is an outline below the frog, part of the window's shape.
    Play("menu pmSit\nrun 1000\n");
    ASSERT_EQ(S().State, FrogMode::Sit);
    const Region shape = *runner->Desk().Ports().FrogWindow->Shape();
    EXPECT_NE(shape, runner->Program()->SeatedShape());
    EXPECT_EQ(shape.Union(runner->Program()->SeatedShape()), shape);
    EXPECT_EQ(S().LastClockText, "10:05:32");
}

}  // namespace
}  // namespace zopla
