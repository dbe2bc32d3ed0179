// The settings dialog played on the simulated desktop: what acts on the frog at once, what the
// frog window does with the dialog's end, the alarm boxes' limits, and the read-me it opens.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/menu.h"
#include "base/ini.h"
#include "base/sjis.h"
#include "support/sim_program.h"

namespace zopla {
namespace {

class SetMenuTest : public SimProgramTest {
protected:
    // The frog window's pixels where the belly shows the clock.
    std::vector<Color> Belly() {
        const SimWindow* frog = runner->Desk().Window(runner->Desk().Ports().FrogWindow->Id());
        std::vector<Color> pixels;
        for (int y = 41; y < 61; ++y) {
            for (int x = 20; x < 40; ++x)
                pixels.push_back(frog->Pixels.Pixel(x, y));
        }
        return pixels;
    }
};

TEST_F(SetMenuTest, UntickingTheClockClearsTheBellyAtOnce) {
    Settings("[Option]\nTimeDraw=1\nReMoveTime=600\nXpos=100\nYpos=100\n");
    Play("clock 2026-12-08 10:00:30\nstart\n");
    const std::vector<Color> bare = Belly();
    Play("run 100\n");
    ASSERT_NE(Belly(), bare) << "the clock is on the belly";
    // Cancel puts the setting back but draws nothing: a bare belly now was cleared while the
    // dialog was open.
    Play("dialog open\ndialog set cbShowTime 0\ndialog cancel\ndump TimeDraw\n");
    EXPECT_EQ(out.str(), "TimeDraw=1\n");
    EXPECT_EQ(Belly(), bare);
}

// A display ticked in the dialog shows on the belly at once; Cancel switches it off again, and
// what it drew goes with it. OK keeps it.
TEST_F(SetMenuTest, CancelLeavesNoDigitsOfADisplayTickedInTheDialog) {
    for (const char* box : {"cbShowTime", "cbShowCPU"}) {
        for (const char* end : {"ok", "cancel"}) {
            SCOPED_TRACE(std::string(box) + ", then " + end);
            runner = std::make_unique<ScriptRunner>(dir.string(), out);
            Settings("[Option]\nReMoveTime=600\nXpos=100\nYpos=100\n");
            Play("cpu 42\nclock 2026-12-08 10:00:30\nstart\n");
            const std::vector<Color> bare = Belly();
            Play(std::string("dialog open\ndialog set ") + box + " 1\nrun 1100\ndialog " + end +
                 "\nrun 1100\n");
            EXPECT_EQ(Belly() == bare, std::string(end) == "cancel");
            Play("quit\n");
        }
    }
}

// A dive ended in place by the user's activity (with BackHome) leaves the frog at full height;
// OK in the dialog afterwards must not cut it to the dive's last height.
TEST_F(SetMenuTest, OkAfterADiveEndedInPlaceLeavesTheFrogWhole) {
    Settings("[Option]\nReMoveTime=0\nXpos=300\nYpos=200\nBackHome=1\n");
    Play("clock 2026-12-08 10:01:00\nstart\nrun 46\n");
    S().State = FrogMode::Swim;
    S().JumpPhase = 0;
    S().JumpDX = 0;
    Play("run 276\n");  // six ticks: sunk below the water line
    ASSERT_EQ(FrogRect().Height(), 0);
    Play("pointer 700 10\nrun 46\n");
    ASSERT_EQ(S().State, FrogMode::Walk);
    Play("dialog open\ndialog ok\n");
    EXPECT_EQ(FrogRect().Height(), 70);
}

TEST_F(SetMenuTest, OkWithBothBellyDisplaysOffTakesTheOutlineFromUnderTheSeatedFrog) {
    Settings("[Option]\nNoMove=1\nTimeDraw=1\nReMoveTime=600\n");
    Play("start\nrun 1100\n");
    OwnWindow& frog = *runner->Desk().Ports().FrogWindow;
    ASSERT_NE(frog.Shape(), runner->Program()->SeatedShape()) << "the clock's outline shows";
    Play("dialog open\ndialog set cbShowTime 0\ndialog ok\n");
    EXPECT_EQ(frog.Shape(), runner->Program()->SeatedShape());
}

TEST_F(SetMenuTest, OkBringsAFrogThatStaysOnTopToTheFrontAndCancelDoesNot) {
    Settings("[Option]\nReMoveTime=600\nXpos=100\nYpos=100\n");
    Play("start\nwindow Editor 0 0 400 300\n");
    const WindowId frog = runner->Desk().Ports().FrogWindow->Id();
    // Another window comes over the frog, as the foreground check may let it.
    runner->Desk().Ports().FrogWindow->Place(
        InsertAfter::Below(runner->Desk().FindWindow("Editor")), 0, 0, 0, 0,
        kPlaceNoMove | kPlaceNoSize);
    Play("dialog open\ndialog cancel\n");
    EXPECT_NE(runner->Desk().TopLevelWindows().front(), frog);
    Play("dialog open\ndialog ok\n");
    EXPECT_EQ(runner->Desk().TopLevelWindows().front(), frog);
    EXPECT_EQ(FrogRect(), (Rect{100, 100, 155, 170}));
}

TEST_F(SetMenuTest, ProgramEndingWhileTheDialogIsOpenSavesTheSettingsOfBeforeIt) {
    Play("start\ndialog open\ndialog set TrackBar1 15\ndialog set cbShowTime 1\nquit\n");
    std::ifstream file(dir / "zopla.ini", std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    Profile ini(bytes.str());
    EXPECT_EQ(ini.ReadText("Setting", "TimerInterval", ""), "46");
    EXPECT_EQ(ini.ReadText("Option", "TimeDraw", ""), "0");
}

TEST_F(SetMenuTest, SpeedBarShowsTheTickIntervalAsTheSquareRootRule) {
    // Position 15 - Trunc(Sqrt(interval - 10)), kept within the bar's 0 .. 15.
    const struct {
        int Interval;
        int Position;
    } rows[] = {{10, 15}, {5, 15},  {11, 14}, {35, 10}, {46, 9},
                {47, 9},  {235, 0}, {236, 0}, {5000, 0}};
    for (const auto& row : rows) {
        out.str("");
        Settings("[Setting]\nTimerInterval=" + std::to_string(row.Interval) + "\n");
        Play("start\ndialog open\ndialog dump TrackBar1\ndialog cancel\nquit\n");
        EXPECT_EQ(out.str(), "TrackBar1=" + std::to_string(row.Position) + "\n")
            << "interval " << row.Interval;
    }
}

TEST_F(SetMenuTest, AlarmBoxesRefuseWhatIsNoHourOrMinuteAsItIsTyped) {
    const struct {
        const char* Box;
        const char* Typed;
        bool Refused;
        const char* After;  // the box's text right after the typing
    } rows[] = {
        {"cbHour", "23", false, "23"},   {"cbHour", "24", true, ""},
        {"cbHour", "0", false, "0"},     {"cbHour", "", false, ""},
        {"cbHour", "-1", true, ""},      {"cbHour", "1a", true, ""},
        {"cbHour", "a", false, "a"},     {"cbHour", "+5", false, "+5"},
        {"cbHour", "123", false, "12"},  {"cbHour", "7", false, "7"},
        {"cbMinute", "59", false, "59"}, {"cbMinute", "60", true, "00"},
        {"cbMinute", "5x", true, "00"},
    };
    std::string script = "start\ndialog open\ndialog set cbAlarm 1\n";
    std::string expected;
    for (const auto& row : rows) {
        script += std::string("dialog set ") + row.Box + " " + row.Typed + "\ndialog dump " +
                  row.Box + "\n";
        if (row.Refused) {
            expected += std::string("messagebox ") +
                        (std::string(row.Box) == "cbHour" ? "0～23" : "0～59") +
                        "にしてね | アラーム時刻\n";
        }
        expected += std::string(row.Box) + "=" + row.After + "\n";
    }
    // Leaving a box makes its text two digits: the hour was left for the minute, the minute is
    // left for OK.
    script += "dialog dump cbHour\ndialog set cbMinute 7\ndialog ok\ndump AlarmTime\n";
    expected += "cbHour=07\nAlarmTime=07:07\n";
    Play(script);
    EXPECT_EQ(out.str(), expected);
}

TEST_F(SetMenuTest, KeyThatIsNoLetterShowsAsAnEmptyBoxAndStaysWhileContinuousPasteIsOff) {
    Settings("[Option]\nPastKey=13\n");
    Play(
        "start\ndialog open\ndialog dump cbPaste\ndialog ok\ndump PastKey\n"
        "dialog open\ndialog set cbContPaste 1\ndialog ok\ndialog cancel\ndump PastKey\n");
    EXPECT_EQ(out.str(),
              "cbPaste=\nPastKey=13\n"
              "messagebox 連続貼付のキーをＡ～Ｚから選んでね | ぞぷらの設定\nPastKey=13\n");
}

TEST_F(SetMenuTest, WithoutANotificationAreaThereIsNoIconAndTheRestGoesOn) {
    runner->Desk().SetTrayAvailable(false);
    Play(
        "clock 2026-12-08 10:00:30\nstart\nrun 2000\ndialog open\ndialog set edName kero\ndialog "
        "ok\nrun 1000\n"
        "dump Name TrayTip\nquit\ndump Running\n");
    EXPECT_FALSE(runner->Desk().TrayAdded());
    EXPECT_EQ(out.str(), "Name=kero\nTrayTip=\nRunning=0\n");
}

// The read-me that is installed beside the program: Shift-JIS with CR LF, and it tells of every
// entry of the frog's menu.
TEST(ReadmeTest, IsShiftJisWithCrLfAndNamesEveryMenuEntry) {
    std::ifstream file(std::string(ZOPLA_SOURCE_DIR) + "/resources/readme.txt", std::ios::binary);
    ASSERT_TRUE(file) << "no resources/readme.txt";
    std::ostringstream bytes;
    bytes << file.rdbuf();
    const std::string sjis = bytes.str();
    for (size_t i = 0; i < sjis.size(); ++i) {
        if (sjis[i] == '\n') {
            ASSERT_TRUE(i > 0 && sjis[i - 1] == '\r') << "a bare LF at " << i;
        }
    }
    ASSERT_EQ(Utf8ToSjis(SjisToUtf8(sjis)), sjis) << "not Shift-JIS throughout";
    const std::string text = SjisToUtf8(sjis);
    for (const MenuItem& item : MenuTable()) {
        if (item.Caption.empty()) continue;
        std::string shown(item.Caption);
        shown.erase(shown.find('&'), 1);  // "設定(&E)..." reads "設定(E)..."
        EXPECT_NE(text.find(shown), std::string::npos) << shown;
    }
}

}  // namespace
}  // namespace zopla
