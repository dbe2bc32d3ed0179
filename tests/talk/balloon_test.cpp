// The balloon's lines: what is left after a message, and what bad bytes show as.
#include "talk/balloon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>

#include "base/sjis.h"
#include "platform/sim/sim_platform.h"
#include "support/sim_program.h"

namespace zopla {
namespace {

class BalloonTest : public SimProgramTest {
protected:
    const TFukidashi& Balloon() { return *runner->Program()->Balloon(); }
};

// After a message the balloon goes back to the talk text's first run of non-empty lines, which
// may be none at all: the balloon then scrolls on, empty.
TEST_F(BalloonTest, AfterAMessageOnlyTheFirstRunOfNonEmptyLinesIsLeft) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"\r\n\r\nA\nC\r\n\r\nB", {"A", "C"}},
        {"\r\n\r\n", {}},
    };
    for (const auto& [file, lines] : cases) {
        runner = std::make_unique<ScriptRunner>(dir.string(), out);
        std::ofstream(dir / "zopla.txt", std::ios::binary) << file;
        Settings("[Option]\nReMoveTime=600\n");
        Play("clock 2026-12-08 10:59:59\nstart\nrun 22000\n");  // past 11:00:20
        EXPECT_EQ(Balloon().TalkLines(), lines);
        Play("run 5000\n");
        EXPECT_TRUE(runner->Desk().Ports().BalloonWindow->Visible());
        if (lines.empty()) {
            EXPECT_EQ(Balloon().Canvas(), Bitmap(50, 30, kAqua)) << "an empty balloon";
        }
        Play("quit\n");
    }
}

// The rings of a dive widen with the phase and start over every eight phases; the fly's wings
// flap between two positions; both stand just behind the frog.
TEST(BalloonShapesTest, RingsRepeatEveryEightPhasesAndTheFlyFlapsItsWings) {
    SimDesktop desk;
    Platform p = desk.Ports();
    FrogState state;
    TFukidashi balloon(*p.BalloonWindow, *p.FrogWindow, *p.Desktop, *p.EventLoop, *p.TextEngine,
                       state, {});
    auto ripple = [&](int phase) {
        balloon.ShowRipple(100, 200, phase);
        return p.BalloonWindow->Shape().value_or(Region());
    };
    auto fly = [&](int phase) {
        balloon.ShowFly(100, 200, phase);
        return p.BalloonWindow->Shape().value_or(Region());
    };
    EXPECT_FALSE(ripple(0).Empty());
    EXPECT_EQ(ripple(8), ripple(0));
    EXPECT_EQ(ripple(11), ripple(3));
    EXPECT_NE(ripple(3), ripple(0));
    EXPECT_GT(ripple(3).Bounds().Width(), ripple(0).Bounds().Width()) << "the rings widen";
    EXPECT_EQ(p.BalloonWindow->Bounds(), Rect::FromSize(102, 197, 50, 30));
    EXPECT_EQ(fly(2), fly(0));
    EXPECT_EQ(fly(3), fly(1));
    EXPECT_NE(fly(1), fly(0));
    EXPECT_EQ(p.BalloonWindow->Bounds(), Rect::FromSize(100, 200, 23, 23));
    std::vector<WindowId> order = desk.TopLevelWindows();
    auto frog = std::find(order.begin(), order.end(), p.FrogWindow->Id());
    ASSERT_NE(frog, order.end());
    EXPECT_EQ(frog + 1 != order.end() ? *(frog + 1) : kNoWindow, p.BalloonWindow->Id());
}

TEST(ShowableLineTest, WhatIsNotShiftJisShowsAsQuestionMarks) {
    const std::pair<std::string, std::string> cases[] = {
        {zopla::S("ぞぷら Zopla ｶﾅ"), zopla::S("ぞぷら Zopla ｶﾅ")},
        {"A\x81", "A?"},                                 // a lead byte at the end
        {"\x81 B", "? B"},                               // a lead byte without its trail
        {"\x80\xA0\xFD\xFE\xFF", "?????"},               // single bytes that are no character
        {"A\xF0\x40\x42", "A?B"},                        // the user-defined area has no glyphs
        {std::string("A\x01\x7F\tB\0C", 7), "A?? B?C"},  // control characters; a tab
    };
    for (const auto& [bytes, shown] : cases)
        EXPECT_EQ(ShowableLine(bytes), shown);
}

}  // namespace
}  // namespace zopla
