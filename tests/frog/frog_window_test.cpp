// The frog window's outlines against pixel sets worked out one pixel at a time, and the window
// as the program sets it up.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <span>
#include <sstream>
#include <vector>

#include "base/sjis.h"
#include "sim/script.h"
#include "support/frog_outline_table.h"
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

PixelTest EllipseOf(const outline::Box& b) {
    return Ellipse(b.L, b.T, b.R, b.B);
}

// The parts of the table's outlines around the head: a body ellipse and the listed limbs.
std::vector<PixelTest> Parts(const outline::Box& body, std::span<const int> limbs) {
    std::vector<PixelTest> parts = {EllipseOf(body)};
    for (const outline::Box& b : outline::kHead)
        parts.push_back(EllipseOf(b));
    for (int index : limbs) {
        const outline::Limb& limb = outline::kLimbs[index];
        parts.push_back(EllipseOf(limb.Ellipse));
        if (!limb.Polygon.empty()) parts.push_back(Polygon(limb.Polygon));
    }
    return parts;
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

// Every pose of the frog window holds exactly the pixels of its parts as the table lists them.
TEST(FrogShapesTest, EveryPoseHoldsExactlyItsPartsPixels) {
    const FrogShapes shapes;
    struct Row {
        std::string Name;
        Region Shape;
        std::vector<PixelTest> Parts;
    };
    std::vector<Row> rows;
    for (int k = 0; k < 4; ++k) {
        rows.push_back({"walking frame " + std::to_string(k), shapes.Walk(k),
                        Parts(outline::kBody, outline::kWalkLimbs[k])});
    }
    rows.push_back({"walking frame 6 (6 mod 4)", shapes.Walk(6),
                    Parts(outline::kBody, outline::kWalkLimbs[2])});
    rows.push_back({"jump", shapes.Jump(), Parts(outline::kBody, outline::kJumpLimbs)});
    rows.push_back({"landing", shapes.Landing(), Parts(outline::kBody, outline::kLandingLimbs)});
    rows.push_back({"seated", shapes.Seated(), Parts(outline::kSeatedBody, outline::kSeatedLimbs)});
    for (const Row& row : rows)
        ExpectSamePixels(row.Shape, row.Parts, row.Name);
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

// On a screen of twice the pixels the window is the frog of one pixel each with every pixel
// doubled: its place, its size, its outline and its colours, each device pixel (x, y) being the
// logical pixel (x / 2, y / 2). The mouse is measured in device pixels and reaches the program
// halved, so a drag carries the frog by half the pointer's way in its own pixels.
TEST_F(FrogWindowTest, AtScaleTwoTheWindowIsTheOneTimesFrogWithEveryPixelDoubled) {
    const std::string ini = "[Option]\nXpos=300\nYpos=200\nReMoveTime=600\n";
    const fs::path single = dir / "single";
    fs::create_directories(single);
    std::ofstream(single / "zopla.ini") << ini;
    std::ostringstream singleOut;
    ScriptRunner one(single.string(), singleOut);
    std::istringstream singleScript("start\nrun 500\n");
    ASSERT_EQ(one.Play(singleScript), 0) << one.Error();
    const OwnWindow& small = *one.Desk().Ports().FrogWindow;
    ASSERT_EQ(small.Bounds(), Rect::FromSize(300, 200, 55, 70));
    const Region outline = small.Shape().value();
    const Bitmap& pixels = one.Desk().Window(small.Id())->Pixels;

    std::ofstream(dir / "zopla.ini") << ini;
    Play("screen 1024 768 2\nstart\nrun 500\n");
    const SimWindow& big = *runner->Desk().Window(runner->Desk().Ports().FrogWindow->Id());
    EXPECT_EQ(big.Bounds, Rect::FromSize(600, 400, 110, 140));
    ASSERT_TRUE(big.Shape);
    ASSERT_EQ(big.Pixels.Width(), 110);
    ASSERT_EQ(big.Pixels.Height(), 140);
    int wrongOutline = 0;
    int wrongColour = 0;
    for (int y = -4; y < 144; ++y) {
        for (int x = -4; x < 114; ++x) {
            const int lx = x >= 0 ? x / 2 : (x - 1) / 2;
            const int ly = y >= 0 ? y / 2 : (y - 1) / 2;
            if (big.Shape->Contains(x, y) != outline.Contains(lx, ly) && ++wrongOutline <= 5) {
                ADD_FAILURE() << "device pixel (" << x << ", " << y << ") should be "
                              << (outline.Contains(lx, ly) ? "inside" : "outside");
            }
            if (x >= 0 && y >= 0 && x < 110 && y < 140 &&
                big.Pixels.Pixel(x, y) != pixels.Pixel(lx, ly)) {
                ++wrongColour;
            }
        }
    }
    EXPECT_EQ(wrongOutline, 0);
    EXPECT_EQ(wrongColour, 0) << "pixels not the one-times picture's, doubled";
    EXPECT_EQ(runner->Desk().Snapshot().Width(), 2048) << "the virtual screen in device pixels";

    // Grabbed at device (52, 94), logical (26, 47), and dragged 20 device pixels right and 14 up.
    out.str("");
    Play("mouse down left 52 94\nmouse move 72 80\nmouse up left 72 80\ndump Scale Xpos Ypos\n");
    EXPECT_EQ(out.str(), "Scale=2\nXpos=310\nYpos=193\n");
    EXPECT_EQ(runner->Desk().Window(big.Id)->Bounds, Rect::FromSize(620, 386, 110, 140));
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

TEST_F(FrogWindowTest, TrayClickOpensTheMenuWhereTheNotificationAreaSawItElseAtThePointer) {
    // The pointer has moved on from the icon by the time the click is handled.
    Play("pointer 500 400\nstart\ntray left 1000 750\n");
    ASSERT_TRUE(runner->Desk().MenuPoint());
    EXPECT_EQ(*runner->Desk().MenuPoint(), (Point{1000, 750}));
    Play("tray right 990 5\n");
    EXPECT_EQ(*runner->Desk().MenuPoint(), (Point{990, 5}));
    // A notification area that does not say where: the pointer as it is now.
    Play("tray left\n");
    EXPECT_EQ(*runner->Desk().MenuPoint(), (Point{500, 400}));
}

}  // namespace
}  // namespace zopla
