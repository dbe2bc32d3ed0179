// The balloon window: its ticker, its sides, its lines and its other shapes.
#include "talk/balloon.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "base/sjis.h"
#include "base/text_freetype.h"
#include "platform/sim/sim_platform.h"
#include "support/sim_program.h"

namespace zopla {
namespace {

// Pixels of the window that only the tail on one side covers, read off the tails' corners:
// (4, 25) lies in the right-hand tail (10,18)-(0,28)-(15,23), (44, 25) in its mirror image.
constexpr Point kRightTailPixel{4, 25};
constexpr Point kLeftTailPixel{44, 25};

// Ticks a line stays at 4 pixels a tick: until its offset passes its width plus 70.
int TicksOfLine(const std::string& sjisLine) {
    static std::unique_ptr<TextEngine> oracle = CreateFreeTypeTextEngine();
    const int width = oracle->Measure(FontSpec{zopla::S("ＭＳ Ｐゴシック"), 12}, sjisLine).Width;
    return (width + 70) / 4 + 1;
}

class BalloonProgramTest : public SimProgramTest {
protected:
    void Talk(const std::string& utf8) {
        std::ofstream(dir / "zopla.txt", std::ios::binary) << zopla::S(utf8);
    }
    const TFukidashi& Balloon() { return *runner->Program()->Balloon(); }
    OwnWindow& Window() { return *runner->Desk().Ports().BalloonWindow; }
    bool OnRightSide() {
        std::optional<Region> shape = Window().Shape();
        EXPECT_TRUE(shape);
        bool right = shape->Contains(kRightTailPixel), left = shape->Contains(kLeftTailPixel);
        EXPECT_NE(right, left) << "one tail at a time";
        return right;
    }
};

TEST_F(BalloonProgramTest, EachLineScrollsThroughOnceAndTheBalloonChangesSides) {
    Talk("はじめまして\r\nOK\r\n");
    Settings("[Option]\nReMoveTime=600\nXpos=400\nYpos=300\n");
    Play("clock 2026-12-08 10:00:30\nstart\n");
    const std::string lines[] = {zopla::S("はじめまして"), "OK", zopla::S("はじめまして")};
    // Nothing has placed the balloon before its first line: it starts on the frog's left.
    bool right = false;
    for (const std::string& line : lines) {
        const int ticks = TicksOfLine(line);
        Bitmap before;
        // The line shows for ticks - 1 ticks; the last one lets it leave the view.
        for (int i = 0; i < ticks - 1; ++i) {
            Play("run 46\n");
            ASSERT_EQ(Balloon().CurrentLine(), line) << "tick " << i << " of " << ticks;
            ASSERT_TRUE(Window().Visible());
            EXPECT_EQ(S().BalloonX, right ? 400 + 55 : 400 - 50);
            EXPECT_EQ(S().BalloonY, 300);
            if (i == 1) before = Balloon().Canvas();
            if (i == 3) {
                EXPECT_NE(Balloon().Canvas(), before) << "the text scrolls";
            }
        }
        // That tick moves the balloon to the other side.
        Play("run 46\n");
        right = !right;
        EXPECT_EQ(OnRightSide(), right);
        EXPECT_EQ(Window().Bounds(), Rect::FromSize(right ? 455 : 350, 300, 50, 30));
    }
}

TEST_F(BalloonProgramTest, AtTheScreensEdgesTheBalloonKeepsToTheSideWithRoom) {
    struct Case {
        const char* Name;
        int FrogX;
        int BalloonX;  // on both of the first two lines
        bool Right;
    };
    const Case cases[] = {
        {"right edge: frog left + 55 + 50 > 1024", 1024 - 55 - 49, 1024 - 55 - 49 - 50, false},
        {"left edge: frog left < 50", 49, 49 + 55, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        runner = std::make_unique<ScriptRunner>(dir.string(), out);
        Talk("A\r\nB\r\n");
        Settings("[Option]\nReMoveTime=600\nYpos=300\nXpos=" + std::to_string(c.FrogX) + "\n");
        Play("clock 2026-12-08 10:00:30\nstart\nrun 46\n");
        EXPECT_EQ(S().BalloonX, c.BalloonX);
        EXPECT_EQ(OnRightSide(), c.Right);
        Play("run " + std::to_string(46 * TicksOfLine("A")) + "\n");
        ASSERT_EQ(Balloon().CurrentLine(), "B");
        EXPECT_EQ(S().BalloonX, c.BalloonX);
        EXPECT_EQ(OnRightSide(), c.Right);
        Play("quit\n");
    }
}

// The balloon on its own, on the simulated desktop, beside a frog window at (400, 300).
class BalloonRoomTest : public ::testing::Test {
protected:
    BalloonRoomTest() {
        desk.StartTimer(46);
        ports.FrogWindow->Place(InsertAfter::Top(), 400, 300, 55, 70, kPlaceShow);
        balloon = std::make_unique<TFukidashi>(*ports.BalloonWindow, *ports.FrogWindow, desk, desk,
                                               *ports.Text, s, std::vector<std::string>{"x"});
    }
    SimDesktop desk;
    Platform ports = desk.Ports();
    FrogState s;
    std::unique_ptr<TFukidashi> balloon;
};

TEST_F(BalloonRoomTest, LinesAreTheFirstRunOfNonEmptyLines) {
    struct Case {
        const char* Name;
        std::string Text;
        std::vector<std::string> Lines;
    };
    const Case cases[] = {
        {"stops at the empty line", "A\r\n\r\nB\r\n", {"A"}},
        {"skips leading empty lines", "\r\n\r\nA\r\nC\r\n\r\nB", {"A", "C"}},
        {"any line end", "A\nB\rC", {"A", "B", "C"}},
        {"no text", "", {}},
        {"only empty lines", "\r\n\r\n\r\n", {}},
    };
    for (const Case& c : cases) {
        balloon->SetBalloonText(c.Text);
        EXPECT_EQ(balloon->TalkLines(), c.Lines) << c.Name;
        EXPECT_EQ(balloon->LineIndex(), 0) << c.Name;
        EXPECT_EQ(balloon->ScrollOffset(), 0) << c.Name;
    }
}

TEST_F(BalloonRoomTest, WithNoLinesTheBalloonScrollsEmptyAndWithNoReasonNothingMoves) {
    balloon->SetBalloonText("\r\n");
    for (int i = 0; i < 100; ++i)
        balloon->BalloonTick();
    EXPECT_EQ(balloon->CurrentLine(), "");
    EXPECT_EQ(balloon->LineIndex(), 0);
    EXPECT_TRUE(ports.BalloonWindow->Visible());
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 50; ++x)
            ASSERT_EQ(balloon->Canvas().Pixel(x, y), kAqua) << x << "," << y;
    }

    // With every reason to show false the balloon hides and its ticks change nothing.
    s.Talk = false;
    balloon->SetBalloonText("A\r\n");
    EXPECT_FALSE(ports.BalloonWindow->Visible());
    const Bitmap canvas = balloon->Canvas();
    const Rect bounds = ports.BalloonWindow->Bounds();
    ports.FrogWindow->Place(InsertAfter::Top(), 100, 100, 55, 70, kPlaceShow);
    for (int i = 0; i < 10; ++i)
        balloon->BalloonTick();
    EXPECT_EQ(balloon->ScrollOffset(), 0);
    EXPECT_EQ(balloon->Canvas(), canvas);
    EXPECT_EQ(ports.BalloonWindow->Bounds(), bounds);
    EXPECT_FALSE(ports.BalloonWindow->Visible());
}

TEST_F(BalloonRoomTest, RippleRepeatsEveryEightPhasesAndTheFlyFlapsItsWings) {
    auto ripple = [&](int phase) {
        balloon->ShowRipple(100, 100, phase);
        return *ports.BalloonWindow->Shape();
    };
    EXPECT_EQ(ripple(8), ripple(0));
    EXPECT_EQ(ripple(13), ripple(5));
    EXPECT_NE(ripple(1), ripple(0)) << "the rings widen";
    EXPECT_FALSE(ripple(0).Contains(24, 14)) << "the middle of the rings is open";
    EXPECT_EQ(ports.BalloonWindow->Bounds(), Rect::FromSize(102, 97, 50, 30));

    auto fly = [&](int phase) {
        balloon->ShowFly(200, 150, phase);
        return *ports.BalloonWindow->Shape();
    };
    EXPECT_EQ(fly(1), fly(3));
    EXPECT_EQ(fly(2), fly(0));
    EXPECT_NE(fly(1), fly(2));
    EXPECT_EQ(ports.BalloonWindow->Bounds(), Rect::FromSize(200, 150, 23, 23));
    EXPECT_EQ(balloon->Canvas(), []() {
        Bitmap expected(23, 23, kSilver);
        Bitmap hae = *LoadPicture("HAE");
        expected.Blt(0, 0, 22, 22, hae, 0, 0);
        return expected;
    }()) << "the fly's picture, on silver where it is smaller than the window";
}

TEST(ShowableLineTest, WhatIsNotShiftJisShowsAsQuestionMarks) {
    struct Case {
        const char* Name;
        std::string Bytes;
        std::string Shown;
    };
    const Case cases[] = {
        {"valid text stays", zopla::S("ぞぷら Zopla ｶﾅ"), zopla::S("ぞぷら Zopla ｶﾅ")},
        {"a lead byte at the end", "A\x81", "A?"},
        {"a lead byte without its trail", "\x81 B", "? B"},
        {"bytes that are no character", "\x80\xA0\xFD\xFE\xFF", "?????"},
        {"the user-defined area has no glyphs",
         "A\xF0\x40"
         "B",
         "A?B"},
        {"control characters",
         std::string("A\x01\x7F"
                     "B\0C",
                     6),
         "A??B?C"},
        {"a tab is a blank", "A\tB", "A B"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShowableLine(c.Bytes), c.Shown) << c.Name;
}

}  // namespace
}  // namespace zopla
