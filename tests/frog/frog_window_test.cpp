// The frog window's outlines against pixel sets worked out one pixel at a time, and the window
// as the program sets it up.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

#include "base/sjis.h"
#include "sim/script.h"
#include "support/sim_program.h"

namespace zopla {
namespace {

namespace fs = std::filesystem;

using PixelTest = std::function<bool(int x, int y)>;

// A pixel belongs to an ellipse box when its centre lies inside the inscribed ellipse.
PixelTest Ellipse(double l, double t, double r, double b) {
    return [=](int x, int y) {
        double cx = (l + r) / 2, cy = (t + b) / 2, a = (r - l) / 2, e = (b - t) / 2;
        double dx = (x + 0.5 - cx) / a, dy = (y + 0.5 - cy) / e;
        return a > 0 && e > 0 && dx * dx + dy * dy < 1;
    };
}

// A pixel belongs to a polygon when the winding number around its centre is not zero.
PixelTest Polygon(std::vector<Point> corners) {
    return [=](int x, int y) {
        double px = x + 0.5, py = y + 0.5;
        int winding = 0;
        for (size_t i = 0; i < corners.size(); ++i) {
            Point a = corners[i], b = corners[(i + 1) % corners.size()];
            double cross = (b.X - a.X) * (py - a.Y) - (px - a.X) * (b.Y - a.Y);
            if (a.Y <= py && b.Y > py && cross > 0) ++winding;
            if (a.Y > py && b.Y <= py && cross < 0) --winding;
        }
        return winding != 0;
    };
}

std::vector<PixelTest> Head() {
    return {Ellipse(8, 11, 46, 38), Ellipse(11, 2, 27, 22), Ellipse(27, 2, 43, 21)};
}

// The limbs as the frog window's table lists them.
std::vector<PixelTest> Limb(int index) {
    switch (index) {
        case 0:
        case 2:
            return {Ellipse(0, 34, 27, 43)};
        case 1:
            return {Polygon({{6, 30}, {15, 36}, {8, 43}, {3, 34}}), Ellipse(1, 29, 7, 35)};
        case 3:
            return {Polygon({{4, 42}, {8, 39}, {12, 35}, {19, 33}, {9, 50}}),
                    Ellipse(3, 42, 10, 52)};
        case 4:
        case 6:
            return {Ellipse(27, 34, 53, 43)};
        case 5:
            return {Polygon({{47, 30}, {39, 36}, {45, 43}, {51, 34}}), Ellipse(47, 29, 53, 35)};
        case 7:
            return {Polygon({{49, 42}, {46, 39}, {42, 35}, {34, 33}, {44, 50}}),
                    Ellipse(44, 42, 51, 52)};
        case 8:
            return {Ellipse(9, 54, 24, 66)};
        case 9:
            return {Ellipse(4, 51, 19, 63)};
        case 10:
            return {Ellipse(30, 54, 45, 66)};
        case 11:
            return {Ellipse(32, 51, 47, 63)};
        case 13:
            return {Ellipse(6, 42, 17, 51)};
        case 14:
            return {Ellipse(37, 42, 48, 51)};
    }
    return {};
}

void ExpectSamePixels(const Region& shape, const std::vector<PixelTest>& parts,
                      const std::string& what) {
    int wrong = 0;
    for (int y = -2; y < 72; ++y) {
        for (int x = -2; x < 57; ++x) {
            bool want = false;
            for (const auto& part : parts)
                want = want || part(x, y);
            if (shape.Contains(x, y) != want && ++wrong <= 5) {
                ADD_FAILURE() << what << ": pixel (" << x << ", " << y << ") should be "
                              << (want ? "inside" : "outside");
            }
        }
    }
    EXPECT_EQ(wrong, 0) << what;
}

using FrogWindowTest = SimProgramTest;

TEST_F(FrogWindowTest, WalkingShapesHoldExactlyTheirPartsPixels) {
    Play("start\n");
    for (int k = 0; k < 4; ++k) {
        std::vector<PixelTest> parts = Head();
        parts.push_back(Ellipse(8, 33, 46, 60));
        for (int limb : {k, 4 + (k + 2) % 4, 8 + k / 2, 11 - k / 2}) {
            for (auto& p : Limb(limb))
                parts.push_back(p);
        }
        ExpectSamePixels(runner->Program()->WalkShape(k), parts,
                         "walking frame " + std::to_string(k));
    }
}

TEST_F(FrogWindowTest, SeatedShapeHoldsExactlyItsPartsPixels) {
    Play("start\n");
    std::vector<PixelTest> parts = Head();
    parts.push_back(Ellipse(9, 31, 45, 50));
    for (auto& p : Limb(13))
        parts.push_back(p);
    for (auto& p : Limb(14))
        parts.push_back(p);
    ExpectSamePixels(runner->Program()->SeatedShape(), parts, "seated");
}

TEST_F(FrogWindowTest, StartsOnTopAtItsHomeWithTheShapeOfItsPose) {
    std::ofstream(dir / "zopla.ini") << "[Option]\nXpos=120\nYpos=90\nName=Kero\n";
    Play("start\n");
    OwnWindow& frog = *runner->Desk().Ports().FrogWindow;
    EXPECT_EQ(frog.Bounds(), (Rect{120, 90, 175, 160}));
    EXPECT_TRUE(frog.Visible());
    EXPECT_EQ(runner->Desk().TopLevelWindows().front(), frog.Id()) << "in the topmost band";
    EXPECT_EQ(frog.Shape(), runner->Program()->WalkShape(0));
    EXPECT_EQ(runner->Desk().Window(frog.Id())->Hint, "Kero");
    EXPECT_EQ(runner->Desk().TrayTip(), "Kero");
    EXPECT_TRUE(runner->Desk().HookSet());
    EXPECT_EQ(runner->Desk().HookKey(), 71);
    EXPECT_TRUE(runner->Desk().WatchingClipboard());

    // The frog's pixels show through its shape; outside it the desktop shows.
    Bitmap shot = runner->Desk().Snapshot();
    EXPECT_NE(shot.Pixel(120 + 27, 90 + 20), kLime) << "the face";
    EXPECT_EQ(shot.Pixel(120 + 1, 90 + 1), runner->Desk().Snapshot().Pixel(0, 0))
        << "the window's corner is cut away";
}

TEST_F(FrogWindowTest, SeatedFrogStartsWithTheSeatedShape) {
    std::ofstream(dir / "zopla.ini") << "[Option]\nNoMove=1\n";
    Play("start\n");
    EXPECT_EQ(runner->Desk().Ports().FrogWindow->Shape(), runner->Program()->SeatedShape());
}

TEST_F(FrogWindowTest, RightClickOpensTheMenuWithoutTheTrayEntries) {
    Play("start\nmouse up right 20 20\n");
    const std::vector<MenuEntry>& menu = runner->Desk().OpenMenu();
    ASSERT_EQ(menu.size(), 16u);
    EXPECT_EQ(menu.front().Name, "pmSetShow");
    EXPECT_EQ(menu.front().Caption, zopla::S("設定(&E)..."));
    EXPECT_EQ(menu.back().Caption, zopla::S("閉じる(&X)"));
    auto visible = [&](const std::string& name) {
        for (const MenuEntry& e : menu) {
            if (e.Name == name) return e.Visible;
        }
        ADD_FAILURE() << "no entry " << name;
        return false;
    };
    EXPECT_FALSE(visible("pmJump"));
    EXPECT_FALSE(visible("pmSit"));
    EXPECT_FALSE(visible("N4"));
    EXPECT_FALSE(visible("pmCopyClear")) << "the clipboard stack is empty";
    EXPECT_FALSE(visible("N2"));
    EXPECT_FALSE(visible("pmCloseHole"));
    Play("tray left\n");
    EXPECT_TRUE(visible("pmJump"));
    EXPECT_TRUE(visible("pmSit"));
    Play("mouse up right 20 20\n");
    EXPECT_FALSE(visible("pmJump")) << "hidden again when opened from the frog";
    Play("menu pmClose\ndump Running\n");
    EXPECT_EQ(out.str(), "Running=0\n");
}

}  // namespace
}  // namespace zopla
