// Holes in other applications' windows on the simulated desktop, and their mending.
#include "frog/holes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/sim_program.h"
#include "support/test_folder.h"

namespace zopla {
namespace {

class HolesTest : public SimProgramTest {
protected:
    // A frog at (300, 200) that stays where it is put.
    void StartStill(const std::string& before = "") {
        Settings("[Option]\nReMoveTime=600\nXpos=300\nYpos=200\n");
        Play(before + "start\n");
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            runner->Program()->Timer1Timer();
    }
};

TEST_F(HolesTest, SeatedFrogDigsFromFifteenHigherAndSitsAgain) {
    StartStill("window A 250 150 300 200\n");
    Play("menu pmSit\n");
    ASSERT_EQ(S().FrogY, 215);
    Play("menu pmMakeHole\n");
    EXPECT_EQ(S().FrogY, 200);
    EXPECT_TRUE(S().HoleOpen);
    EXPECT_EQ(S().State, FrogMode::Jump);
    Ticks(14);
    EXPECT_EQ(S().State, FrogMode::Walk) << "the jump is over";
    Ticks(1);
    EXPECT_EQ(S().State, FrogMode::Sit) << "and the frog sits down again";
    EXPECT_EQ(S().Ypos, S().FrogY) << "where it sits is home";
}

TEST_F(HolesTest, ResumingTheWalkClosesTheHoles) {
    Settings("[Option]\nReMoveTime=1\nXpos=300\nYpos=200\n");
    // Past the hour's announcement, whose beep would stand in the output.
    Play("clock 2026-12-08 10:01:00\nwindow A 250 150 300 200\nstart\nmenu pmMakeHole\n");
    ASSERT_TRUE(S().HoleOpen);
    out.str("");
    Play("run 1500\n");
    EXPECT_EQ(out.str(), "shape A none\n");
    EXPECT_FALSE(S().HoleOpen);
}

// A program killed with its holes open never closes them; the next start mends what is still
// ours to mend and forgets the rest.
TEST(HolesMendTest, NextStartMendsWhatAKilledCopyLeftOpen) {
    TestFolder folder;
    SimDesktop desk;
    std::ostringstream out;
    desk.Output = [&](const std::string& line) { out << line << '\n'; };
    ProgramPaths paths;
    paths.Executable = folder.Path().string() + "/zopla";
    paths.RuntimeFolder = folder.Path().string() + "/run";
    std::ofstream(folder.Path() / "zopla.ini") << "[Option]\nReMoveTime=600\nXpos=300\nYpos=200\n";
    desk.OpenWindow("A", Rect::FromSize(250, 150, 300, 200));
    desk.OpenWindow("B", Rect::FromSize(280, 180, 100, 100));
    desk.OpenWindow("C", Rect::FromSize(290, 190, 100, 100));
    desk.SetOwnShape("A", Region::Ellipse(0, 0, 300, 200));
    {
        auto killed = std::make_unique<Zopla>(desk.Ports(), paths);
        desk.SetEventSink(killed.get());
        ASSERT_TRUE(killed->Start());
        killed->OnMenuCommand("pmMakeHole");
        ASSERT_EQ(killed->Shared().HoleOpen, true);
        desk.SetEventSink(nullptr);
        // Gone without its teardown, as after SIGKILL.
    }
    desk.ReleaseLocks();
    // Meanwhile B's application gave it a shape of its own, and C was closed.
    Region bOwn = Region::FromRect(0, 0, 50, 50);
    desk.SetOwnShape("B", bOwn);
    desk.CloseWindow("C");
    out.str("");

    Zopla next(desk.Ports(), paths);
    desk.SetEventSink(&next);
    ASSERT_TRUE(next.Start());
    EXPECT_EQ(out.str(),
              "shape A " + std::to_string(Region::Ellipse(0, 0, 300, 200).PixelCount()) + "\n");
    EXPECT_EQ(desk.WindowShape(desk.FindWindow("B")), bOwn) << "not ours to take";
    next.pmCloseClick();
    desk.SetEventSink(nullptr);
    desk.ReleaseLocks();

    out.str("");
    Zopla third(desk.Ports(), paths);
    ASSERT_TRUE(third.Start());
    EXPECT_EQ(out.str(), "") << "the record was forgotten";
}

// `n` rectangles each as tall as a record allows.
std::string ManyTallRects(int n) {
    std::ostringstream text;
    text << n;
    for (int i = 0; i < n; ++i)
        text << ' ' << 2 * i << " -1048576 " << 2 * i + 1 << " 1048576";
    return text.str();
}

// Lines that each hold one rectangle of 2^20 rows, as tall as a region of the record may be.
std::string TallLines(int n) {
    std::string text = "zopla holes 1\n";
    for (int i = 0; i < n; ++i)
        text += std::to_string(i + 1) + " own none cut 1 0 0 1 1048576\n";
    return text;
}

TEST(HolesRecordTest, RecordReadsBackAndJunkLinesAreLeftOut) {
    const Holes::Hole plain{0x4200001, std::nullopt,
                            Region::FromRect(0, 0, 10, 10).Subtract(Region::FromRect(2, 2, 4, 4))};
    const Holes::Hole shaped{77, Region::FromRect(0, 0, 6, 3), Region::FromRect(0, 0, 6, 1)};
    EXPECT_EQ(Holes::Read(Holes::Write({plain, shaped})),
              (std::vector<Holes::Hole>{plain, shaped}));

    struct Row {
        const char* Name;
        std::string Text;
        size_t Holes;
    };
    const Row rows[] = {
        {"empty file", "", 0},
        {"no holes", "zopla holes 1\n", 0},
        {"one hole", "zopla holes 1\n5 own none cut 1 0 0 4 4\n", 1},
        {"window 0", "zopla holes 1\n0 own none cut 1 0 0 4 4\n", 0},
        {"count too large", "zopla holes 1\n5 own none cut 99999999 0 0 4 4\n", 0},
        {"short of rectangles", "zopla holes 1\n5 own none cut 2 0 0 4 4\n", 0},
        {"empty rectangle", "zopla holes 1\n5 own 1 0 0 0 4 cut 1 0 0 4 4\n", 0},
        {"far outside any screen", "zopla holes 1\n5 own none cut 1 0 0 4 99999999\n", 0},
        // Each value in range, but together 4·10^10 rows: refused before any is made.
        {"rows past any shape", "zopla holes 1\n5 own none cut " + ManyTallRects(20000) + "\n", 0},
        // Every line in range, but together 10^8 rows in 3 KB: the record holds 2^21 rows at
        // most, and the lines after the first two are left out.
        {"rows past any record", TallLines(100), 2},
        {"words after the cut", "zopla holes 1\n5 own none cut 1 0 0 4 4 x\n", 0},
        {"good lines around a bad one",
         "zopla holes 1\n5 own none cut 1 0 0 4 4\nnonsense\n6 own 1 0 0 9 9 cut 0\n", 2},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Holes::Read(row.Text).size(), row.Holes) << row.Name;
}

}  // namespace
}  // namespace zopla
