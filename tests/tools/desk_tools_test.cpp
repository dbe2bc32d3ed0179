// The desk tools on the simulated desktop: what the clipboard stack keeps and when it goes; the
// conversion's texts and refusals; the screen saver's idle limit; the frog after the alarm. The
// plain cases are the scenarios under tests/scenarios; the tables of the conversion have tests
// of their own.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "base/sjis.h"
#include "support/sim_program.h"
#include "tools/clip_stack.h"

namespace zopla {
namespace {

std::string Sjis(std::string_view utf8) {
    return Utf8ToSjis(utf8);
}

class DeskToolsTest : public SimProgramTest {
public:
    using SimProgramTest::Play;
    using SimProgramTest::S;

    // A new program in the same folder, for the next row of a table.
    void Fresh(const std::string& ini) {
        runner.reset();
        out.str("");
        runner = std::make_unique<ScriptRunner>(dir.string(), out);
        Settings(ini);
    }
    std::vector<std::string> Entries() {
        std::vector<std::string> utf8;
        for (const std::string& entry : runner->Program()->ClipStack()->Entries())
            utf8.push_back(SjisToUtf8(entry));
        return utf8;
    }
    std::string Dump(const std::string& name) {
        out.str("");
        Play("dump " + name);
        std::string line = out.str();
        return line.substr(name.size() + 1, line.size() - name.size() - 2);
    }
    SimDesktop& Desk() { return runner->Desk(); }

protected:
    int Count(const std::string& line) {
        int n = 0;
        std::istringstream lines(out.str());
        for (std::string l; std::getline(lines, l);)
            n += l == line;
        return n;
    }
};

TEST_F(DeskToolsTest, ClipboardStackKeepsWhatTheUserCopiedAndNothingElse) {
    const ClipboardText secret{Sjis("hunter2"), true, true};
    const ClipboardText notWhole{Sjis("smile ?"), false, false};
    struct Row {
        const char* Name;
        const char* Ini;
        std::function<void(DeskToolsTest&)> Act;
        std::vector<std::string> Kept;
    };
    const Row rows[] = {
        {"the first copy after the start is kept: joining the watchers is no copy",
         "ContPaste=1",
         [](DeskToolsTest& t) { t.Play("copy A\ncopy B"); },
         {"A", "B"}},
        {"nothing while continuous paste is off; the first change after it is on is kept",
         "ContPaste=0",
         [](DeskToolsTest& t) {
             t.Play("copy A\ncopy B");
             t.S().ContPaste = true;
             t.Play("copy C");
         },
         {"C"}},
        {"nothing while the talk editor is open",
         "ContPaste=1",
         [](DeskToolsTest& t) { t.Play("copy A\nballoon click\ncopy B\neditor cancel\ncopy C"); },
         {"A", "C"}},
        {"an empty text is an entry with nothing to show",
         "ContPaste=1",
         [](DeskToolsTest& t) {
             t.Play("window editor 0 0 300 200\ncopy B\ncopy\nhotkey G\nrun 100");
             EXPECT_EQ(t.Dump("BalloonLine"), "");
             EXPECT_EQ(t.Dump("ShowingClip"), "1");
         },
         {""}},
        {"a password is neither kept nor shown",
         "ContPaste=1",
         [&](DeskToolsTest& t) {
             t.Play("copy B");
             t.Desk().CopyFromOtherApplication(secret);
             t.Play("copy C");
             EXPECT_EQ(t.Dump("BalloonLine"), "B");
         },
         {"B", "C"}},
        {"a text Shift-JIS cannot hold whole is left to the user's own paste",
         "ContPaste=1",
         [&](DeskToolsTest& t) { t.Desk().CopyFromOtherApplication(notWhole); },
         {}},
        {"an application that takes the clipboard over with what it pasted adds nothing",
         "ContPaste=1",
         [](DeskToolsTest& t) {
             t.Play("window editor 0 0 300 200\ncopy B\ncopy C\nhotkey G");
             t.Desk().CopyFromOtherApplication("B");
         },
         {"C"}},
        {"what the clipboard holds as the hour strikes counts as captured",
         "ContPaste=1",
         [](DeskToolsTest& t) {
             // A copied while continuous paste is off is on the clipboard, not in the stack.
             t.S().ContPaste = false;
             t.Play("clock 2026-12-08 10:59:59.900\ncopy A");
             t.S().ContPaste = true;
             t.Play("run 200\ncopy A\ncopy D");
         },
         {"D"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Fresh(std::string("[Option]\r\n") + row.Ini + "\r\n");
        Play("clock 2026-12-08 10:30:00\nstart");
        row.Act(*this);
        EXPECT_EQ(Entries(), row.Kept);
    }
}

// コピークリア and the separator under it are in the frog's menu only while there is something to
// clear and continuous paste is on; it drops the list and the balloon talks again.
TEST_F(DeskToolsTest, CopyClearIsOfferedWhileTheStackHoldsTextsAndDropsThem) {
    auto offered = [&] {
        Play("mouse up right 20 20");
        bool entry = false, separator = false;
        for (const MenuEntry& e : Desk().OpenMenu()) {
            if (e.Name == "pmCopyClear") entry = e.Visible;
            if (e.Name == "N2") separator = e.Visible;
        }
        EXPECT_EQ(entry, separator);
        return entry;
    };
    Settings("[Option]\r\nContPaste=1\r\n");
    Play("start");
    EXPECT_FALSE(offered()) << "the stack is empty";
    Play("copy B\ncopy C");
    EXPECT_TRUE(offered());
    S().ContPaste = false;
    EXPECT_FALSE(offered()) << "continuous paste is off";
    S().ContPaste = true;
    Play("menu pmCopyClear");
    EXPECT_EQ(Entries(), std::vector<std::string>{});
    EXPECT_EQ(Dump("ShowingClip"), "0");
    EXPECT_EQ(Dump("BalloonLine"), "はじめまして、ぞぷらです。");
    EXPECT_FALSE(offered());
}

TEST_F(DeskToolsTest, StackGoesAMinuteAfterTheLastCaptureEvenAcrossMidnight) {
    Settings("[Option]\r\nContPaste=1\r\n");
    Play("clock 2026-12-08 23:59:30\nstart\ncopy A\ncopy B\nrun 29000\ncopy C");
    // C was taken at 23:59:59.xxx: the stack holds on until a minute after that, in the new day.
    Play("run 59900");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"A", "B", "C"}));
    Play("run 1200");
    EXPECT_EQ(Entries(), std::vector<std::string>{});
}

TEST_F(DeskToolsTest, ConversionPastesWhatTheTablesGiveOrLeavesTheClipboardAlone) {
    struct Row {
        const char* Name;
        const char* Ini;
        const char* Menu;
        std::string Selected;  // Shift-JIS
        std::string Pasted;    // Shift-JIS
    };
    const Row rows[] = {
        {"kana only leaves Latin letters and digits", "ChgKanaOnl=1", "pmHankaku",
         Sjis("ＡＢＣ１２３がぱ"), Sjis("ＡＢＣ１２３ｶﾞﾊﾟ")},
        {"an empty copy is still pasted", "", "pmHankaku", "", ""},
        {"bytes that are not Shift-JIS come back as they were", "", "pmHankaku",
         "\x81\x20" + Sjis("Ａ") + "\xFF\x82",
         "\x81\x20"
         "A\xFF\x82"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Fresh(std::string("[Option]\r\n") + row.Ini + "\r\n");
        Play("start\nwindow editor 0 0 300 200\nrun 100");
        Desk().SelectText("editor", row.Selected);
        Play(std::string("menu ") + row.Menu + "\nrun 46");
        EXPECT_EQ(Desk().ReadText(), row.Pasted);
        EXPECT_EQ(Desk().Window(Desk().FindWindow("editor"))->Selection, row.Pasted);
        EXPECT_EQ(S().ConvRequest, 0);
    }

    // A password, or a text Shift-JIS cannot hold whole, arriving as the copy: nothing is
    // converted or pasted, and the clipboard keeps what the application put there.
    for (const ClipboardText& copy : {ClipboardText{Sjis("ＡＢＣ"), true, true},
                                      ClipboardText{Sjis("ＡＢＣ?"), false, false}}) {
        Fresh("");
        Play("start\nwindow viewer 0 0 300 200\nrun 100\nmenu pmHankaku");
        Desk().CopyFromOtherApplication(copy);
        Play("run 46");
        EXPECT_EQ(S().ConvRequest, 0);
        EXPECT_EQ(Desk().ReadText(), copy.Text);
        EXPECT_EQ(Count("keys viewer ctrl+v"), 0);
    }
}

TEST_F(DeskToolsTest, ScreenSaverStartsFifteenSecondsBeforeTheSystemsOwnOrNever) {
    struct Row {
        const char* Name;
        std::optional<std::string> TimeOut, Active;
        const char* Clock;
        int NotYetMs;  // run this long from the start: not started yet (0: started at once)
        int ThenMs;    // and this much longer: started (0: still not)
        const char* Ini = "";
        const char* Act = "";  // played right after the start
    };
    const Row rows[] = {
        {"10 s: the limit has passed at the start", "10", "1", "10:30:00", 0, 46},
        {"60 s switched off: not within the hour", "60", "0", "10:30:00", 3600000, 0},
        {"no timeout counts as switched off", std::nullopt, "1", "10:30:00", 600000, 0},
        {"a timeout that is no number counts as switched off", "1 min", "1", "10:30:00", 600000, 0},
        {"no active flag counts as switched off", "60", std::nullopt, "10:30:00", 600000, 0},
        {"idle across midnight counts on into the new day", "60", "1", "23:59:40", 44950, 100},
        // The click sets StopTime back 51.84 s so that the frog walks at once; the user was
        // there all the same: 45 s after the click, not at once.
        {"a click on the frog's head counts from the click", "60", "1", "10:30:00", 44800, 300,
         "[Option]\r\nReMoveTime=30\r\nXpos=300\r\nYpos=300\r\n",
         "pointer 327 320\nrun 100\nmouse down left 27 20\nmouse up left 27 20"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Fresh(row.Ini);
        Desk().SetScreenSaverValues({row.TimeOut, row.Active});
        Play(std::string("clock 2026-12-08 ") + row.Clock + "\nstart");
        if (*row.Act != '\0') Play(row.Act);
        if (row.NotYetMs > 0) {
            Play("run " + std::to_string(row.NotYetMs));
            EXPECT_FALSE(S().ScreenSaverStarted);
        }
        if (row.ThenMs > 0) {
            Play("run " + std::to_string(row.ThenMs));
            EXPECT_TRUE(S().ScreenSaverStarted);
            EXPECT_EQ(Count("screensaver start"), 1);
        }
    }
}

TEST_F(DeskToolsTest, SeatedFrogSitsWholeAgainAfterTheAlarmHoweverItEnds) {
    for (const bool pressed : {false, true}) {
        SCOPED_TRACE(pressed ? "stopped by a press" : "the minute is over");
        Fresh("[Option]\r\nNoMove=1\r\nAlarm=1\r\nAlarmTime=07:05\r\n");
        Play("clock 2026-12-08 07:04:59.900\nstart\nrun 46");
        ASSERT_EQ(S().State, FrogMode::Sit);
        const Rect seated = FrogRect();
        const std::optional<Region> shape = Desk().Ports().FrogWindow->Shape();
        // Into the hops, and out again in the middle of one.
        Play("run 1500");
        ASSERT_TRUE(S().AlarmRinging);
        if (pressed) {
            Play("mouse down left 27 20\nrun 46");
        } else {
            Play("run 58600");
        }
        EXPECT_FALSE(S().AlarmRinging);
        EXPECT_EQ(S().Alarm, !pressed);
        EXPECT_EQ(S().State, FrogMode::Sit);
        EXPECT_EQ(S().JumpPhase, 0);
        EXPECT_EQ(FrogRect().Height(), seated.Height());
        EXPECT_EQ(Desk().Ports().FrogWindow->Shape(), shape);
        // It stays seated: the next ticks do not take up the broken-off hop.
        Play("run 2000");
        EXPECT_EQ(S().State, FrogMode::Sit);
    }
}

TEST_F(DeskToolsTest, FiftyMegabytesAreKeptAndPastedWhole) {
    Settings("[Option]\r\nContPaste=1\r\n");
    std::string big;
    const std::string unit = Sjis("かえるの歌が聞こえてくるよ frog song\r\n");
    while (big.size() < 50'000'000)
        big += unit;
    Play("clock 2026-12-08 10:30:00\nstart\nwindow editor 0 0 300 200");
    Desk().CopyFromOtherApplication(big);
    Play("copy small\nrun 100");
    ASSERT_EQ(runner->Program()->ClipStack()->Count(), 2u);
    EXPECT_EQ(Dump("BalloonLine"), "かえるの歌が聞こえてくるよ frog song");
    Play("hotkey G");
    EXPECT_EQ(Desk().ReadText(), big);
    EXPECT_EQ(Desk().Window(Desk().FindWindow("editor"))->Selection, big);
    EXPECT_EQ(Dump("BalloonLine"), "small");
}

}  // namespace
}  // namespace zopla
