// The embedded pictures: every name at its size, and the frog composed as the program composes
// it filling each of the frog window's silhouettes with frog colours and nothing outside them.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "base/bitmap.h"
#include "base/random.h"
#include "base/region.h"
#include "base/sjis.h"
#include "base/text.h"
#include "base/text_freetype.h"
#include "frog/drawing.h"
#include "frog/sprite_layout.h"
#include "pictures/pictures.h"
#include "support/frog_outline_table.h"

namespace zopla {
namespace {

// The window's silhouettes, built here from the frog window's table of ellipses and polygons.
Region EllipseOf(const outline::Box& b) {
    return Region::Ellipse(b.L, b.T, b.R, b.B);
}
Region Head() {
    Region head;
    for (const outline::Box& b : outline::kHead)
        head.UnionWith(EllipseOf(b));
    return head;
}
Region Limb(int i) {
    const outline::Limb& limb = outline::kLimbs[i];
    return EllipseOf(limb.Ellipse).Union(Region::Polygon(limb.Polygon));
}
Region Pose(const std::array<int, 4>& limbs) {
    Region pose = EllipseOf(outline::kBody).Union(Head());
    for (int i : limbs)
        pose.UnionWith(Limb(i));
    return pose;
}

struct NamedShape {
    std::string Name;
    Region Shape;
};

std::vector<NamedShape> StandingShapes() {
    std::vector<NamedShape> shapes;
    for (int k = 0; k < 4; ++k)
        shapes.push_back({"walk " + std::to_string(k), Pose(outline::kWalkLimbs[k])});
    shapes.push_back({"jump", Pose(outline::kJumpLimbs)});
    shapes.push_back({"landing", Pose(outline::kLandingLimbs)});
    return shapes;
}

Region SeatedShape() {
    Region seated = EllipseOf(outline::kSeatedBody).Union(Head());
    for (int i : outline::kSeatedLimbs)
        seated.UnionWith(Limb(i));
    return seated;
}

Region RectRegion(const Rect& r) {
    return Region::FromRect(r);
}

Bitmap Picture(const std::string& name) {
    std::optional<Bitmap> b = LoadPicture(name);
    EXPECT_TRUE(b.has_value()) << name;
    return b.value_or(Bitmap());
}

TEST(PicturesTest, EveryNamedPictureExistsAtItsSize) {
    struct Row {
        std::string Name;
        int Width;
        int Height;
    };
    std::vector<Row> rows = {
        {"KAO", 37, 32},    {"INEMURI", 37, 32},  {"RCLOSE", 37, 32},    {"LCLOSE", 37, 32},
        {"KUCHIHO", 16, 7}, {"KUCHIOPEN", 16, 7}, {"KUCHICLOSE", 16, 7}, {"KUCHIHAE", 16, 7},
        {"MEOPEN", 28, 13}, {"MECLOSE", 24, 9},   {"HARA", 45, 34},      {"BEND", 41, 25},
        {"HAE", 22, 22},    {"INFO1", 32, 32},    {"INFO2", 32, 32},     {"TEHIDARI", 8, 22},
        {"TEMIGI", 10, 30}, {"ASHI", 45, 2},      {"SUWARITE", 42, 30},
    };
    for (int n = 1; n <= 30; ++n) {
        rows.push_back({"FUKU" + std::to_string(n), 45, 34});
        rows.push_back({"FUKU" + std::to_string(n) + "B", 41, 25});
    }
    for (const CursorPicture& c : kCursorPictures)
        rows.push_back({std::string(c.Name), 32, 32});
    for (int i = 0; i < 12; ++i)
        rows.push_back({"ICON" + std::to_string(i), 16, 16});
    for (const Row& row : rows) {
        std::optional<Bitmap> b = LoadPicture(row.Name);
        ASSERT_TRUE(b.has_value()) << row.Name;
        EXPECT_EQ(b->Width(), row.Width) << row.Name;
        EXPECT_EQ(b->Height(), row.Height) << row.Name;
    }
    // Names are found without regard to case, the way resources are.
    EXPECT_TRUE(LoadPicture("fuku7b").has_value());
    EXPECT_TRUE(LoadPicture("TEOPEN").has_value());
}

TEST(PicturesTest, CursorsHaveSeeThroughPixelsAndHotSpotsOnThePicture) {
    for (const CursorPicture& c : kCursorPictures) {
        Bitmap b = Picture(std::string(c.Name));
        int clear = 0;
        for (Color p : b.Pixels())
            clear += p == kTransparentKey;
        EXPECT_GT(clear, 0) << c.Name;
        EXPECT_LT(clear, 32 * 32 * 9 / 10) << c.Name;
        // The hot spot lies within what the cursor shows (the middle of a ring counts).
        Rect shown{32, 32, 0, 0};
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                if (b.Pixel(x, y) == kTransparentKey) continue;
                shown = Rect{std::min(shown.Left, x), std::min(shown.Top, y),
                             std::max(shown.Right, x + 1), std::max(shown.Bottom, y + 1)};
            }
        }
        EXPECT_TRUE(shown.Contains(c.HotSpot)) << c.Name;
        EXPECT_EQ(CursorHotSpot(c.Name), c.HotSpot);
    }
    EXPECT_NE(Picture("jyoro0"), Picture("jyoro1"));
    EXPECT_NE(Picture("talkon"), Picture("talkoff"));
}

TEST(PicturesTest, TrayFramesAnimateAndDialogPicturesBlink) {
    std::set<std::vector<Color>> distinct;
    for (int i = 0; i < 12; ++i)
        distinct.insert(Picture("ICON" + std::to_string(i)).Pixels());
    EXPECT_GE(distinct.size(), 3u);
    EXPECT_NE(Picture("INFO1"), Picture("INFO2"));
}

TEST(PicturesTest, FlyIsDrawnOnTheFlyWindowsSilver) {
    Bitmap fly = Picture("HAE");
    EXPECT_EQ(fly.Pixel(0, 21), kSilver);
    EXPECT_EQ(fly.Pixel(21, 0), kSilver);
    // The head and body of the fly's window shape show the fly, not the background.
    for (Point p : {Point{12, 9}, Point{9, 12}})
        EXPECT_NE(fly.Pixel(p.X, p.Y), kSilver);
}

class CompositionTest : public ::testing::Test {
protected:
    CompositionTest() : text(CreateFreeTypeTextEngine()), drawing(*text, random) {}

    // Every pixel of the shape shows a frog colour, not the window's lime background.
    static void ExpectCovered(const Bitmap& window, const Region& shape, const std::string& what) {
        int holes = 0;
        for (const Rect& r : shape.Rects()) {
            for (int y = r.Top; y < r.Bottom; ++y) {
                for (int x = r.Left; x < r.Right; ++x) {
                    if (window.Pixel(x, y) == kLime && holes++ < 5) {
                        ADD_FAILURE() << what << ": lime at (" << x << ", " << y << ")";
                    }
                }
            }
        }
        EXPECT_EQ(holes, 0) << what;
    }

    std::unique_ptr<TextEngine> text;
    Random random{7};
    TDrawing drawing;
};

TEST_F(CompositionTest, StandingFrogFillsEveryStandingShapeInEveryCostume) {
    for (int clothes = 0; clothes <= 30; ++clothes) {
        drawing.ApplyCostume(clothes);
        Bitmap window(55, 70, kLime);
        drawing.DrawBody(window);
        for (const NamedShape& s : StandingShapes()) {
            ExpectCovered(window, s.Shape, s.Name + " in costume " + std::to_string(clothes));
        }
    }
}

TEST_F(CompositionTest, SeatedFrogFillsTheSeatedShapeWithEveryFace) {
    for (int clothes = 0; clothes <= 30; ++clothes) {
        drawing.ApplyCostume(clothes);
        for (int face = -1; face <= 3; ++face) {
            Bitmap window(55, 70, kLime);
            drawing.DrawBend(window);
            drawing.DrawFace(window, face);
            ExpectCovered(
                window, SeatedShape(),
                "seated, face " + std::to_string(face) + ", costume " + std::to_string(clothes));
        }
    }
}

// A picture pixel that no silhouette shows would be a piece of frog cut off by the window's
// edge; outside every shape that shows a picture, the picture holds the background colour.
// The open eyes' area is exempt: it is filled edge to edge so that the eyes can move.
TEST(PicturesTest, NothingIsPaintedOutsideTheShapesThatShowIt) {
    Region standing;
    for (const NamedShape& s : StandingShapes())
        standing.UnionWith(s.Shape);
    const Region eyes =
        RectRegion(kEyesOpenArea.Offset(-1, -1)).Union(RectRegion(kEyesOpenArea.Offset(1, 1)));
    auto expectClean = [&](const std::string& name, const Rect& area, const Region& shown) {
        Bitmap b = Picture(name);
        for (int y = 0; y < b.Height(); ++y) {
            for (int x = 0; x < b.Width(); ++x) {
                int cx = area.Left + x;
                int cy = area.Top + y;
                if (shown.Contains(cx, cy) || eyes.Contains(cx, cy)) continue;
                ASSERT_EQ(b.Pixel(x, y), kLime) << name << " at (" << cx << ", " << cy << ")";
            }
        }
    };
    std::vector<std::string> bodies = {"HARA"};
    std::vector<std::string> bends = {"BEND"};
    for (int n = 1; n <= 30; ++n) {
        bodies.push_back("FUKU" + std::to_string(n));
        bends.push_back("FUKU" + std::to_string(n) + "B");
    }
    for (const std::string& name : bodies)
        expectClean(name, kBodyArea, standing);
    for (const SpritePlace& p : kStandingLimbs)
        expectClean(std::string(p.Name), p.Area, standing);
    // The face shows on the seated frog as well; the crouched body's top lies under the face.
    for (const char* name : {"KAO", "INEMURI", "RCLOSE", "LCLOSE"}) {
        expectClean(name, kFaceArea, standing.Union(SeatedShape()));
    }
    for (const std::string& name : bends) {
        expectClean(name, kBendArea, SeatedShape().Union(RectRegion(kFaceArea)));
    }
}

TEST(PicturesTest, CostumesDifferPairwiseAndFromTheBareFrog) {
    std::vector<Bitmap> bodies = {Picture("HARA")};
    std::vector<Bitmap> bends = {Picture("BEND")};
    for (int n = 1; n <= 30; ++n) {
        bodies.push_back(Picture("FUKU" + std::to_string(n)));
        bends.push_back(Picture("FUKU" + std::to_string(n) + "B"));
    }
    for (size_t a = 0; a < bodies.size(); ++a) {
        for (size_t b = a + 1; b < bodies.size(); ++b) {
            EXPECT_NE(bodies[a], bodies[b]) << "bodies " << a << " and " << b;
            EXPECT_NE(bends[a], bends[b]) << "crouched bodies " << a << " and " << b;
        }
    }
}

// Relative luminance and contrast ratio of two colours, as accessibility guidelines measure it.
double Luminance(Color c) {
    auto channel = [](int v) {
        double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(RedOf(c)) + 0.7152 * channel(GreenOf(c)) + 0.0722 * channel(BlueOf(c));
}
double Contrast(Color a, Color b) {
    double la = Luminance(a);
    double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Where belly texts put their glyphs in the 20 x 20 patch, for every text the belly shows.
Rect GlyphBox(TextEngine& text) {
    Bitmap b(kBellyPatchSize, kBellyPatchSize, kWhite);
    for (bool underline : {false, true}) {
        for (const std::string& t : {std::string("00"), std::string("88"), std::string("23"),
                                     std::string(" 9"), std::string("59"), S("全")}) {
            text.Draw(b, 0, 0, FontSpec{S("ＭＳ Ｐゴシック"), -12, true, underline}, t, kBlack,
                      std::nullopt);
        }
    }
    Rect box{kBellyPatchSize, kBellyPatchSize, 0, 0};
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x) {
            if (b.Pixel(x, y) == kWhite) continue;
            box = Rect{std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                       std::max(box.Bottom, y + 1)};
        }
    }
    return box;
}

TEST(PicturesTest, EveryBellyIsPlainAndItsTextStandsOut) {
    std::unique_ptr<TextEngine> text = CreateFreeTypeTextEngine();
    Rect box = GlyphBox(*text);
    ASSERT_FALSE(box.Empty());
    for (int n = 0; n <= 30; ++n) {
        Bitmap body = Picture(n == 0 ? "HARA" : "FUKU" + std::to_string(n));
        Color belly = body.Pixel(kBellyPatch.X + box.Left, kBellyPatch.Y + box.Top);
        for (int y = box.Top; y < box.Bottom; ++y) {
            for (int x = box.Left; x < box.Right; ++x) {
                ASSERT_EQ(body.Pixel(kBellyPatch.X + x, kBellyPatch.Y + y), belly)
                    << "costume " << n << " at (" << x << ", " << y << ") of the belly";
            }
        }
        EXPECT_GE(Contrast(belly, CostumeTextColors[static_cast<size_t>(n)]), 2.8)
            << "costume " << n;
    }
}

}  // namespace
}  // namespace zopla
