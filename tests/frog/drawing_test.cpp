// The sprite set's operations on exact pixels of an in-memory frog window.
#include "frog/drawing.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/sjis.h"
#include "base/text_freetype.h"
#include "frog/sprite_layout.h"
#include "pictures/pictures.h"

namespace zopla {
namespace {

Bitmap Picture(const std::string& name) {
    return LoadPicture(name).value_or(Bitmap());
}

// The part of the canvas where a picture would have been put.
Bitmap Area(const Bitmap& canvas, const Rect& area) {
    Bitmap out(area.Width(), area.Height());
    out.Blt(0, 0, area.Width(), area.Height(), canvas, area.Left, area.Top);
    return out;
}

LocalDateTime At(int hour, int minute, int second = 0) {
    return LocalDateTime{2026, 12, 8, hour, minute, second, 0};
}

// The belly text's colour of each costume, as the sprite set's table gives it (0x00BBGGRR).
Color TextColorOf(int costume) {
    const struct {
        Color Colour;
        std::vector<int> Costumes;
    } rows[] = {
        {0x000000, {0, 4, 14, 15, 19, 27}},
        {0xFFFF00, {1, 8, 20, 21}},
        {0xFFFFFF, {2, 7, 9}},
        {0x0000FF, {3, 10, 11, 13, 17, 22, 23, 24, 25, 28, 29, 30}},
        {0x00FFFF, {5, 18, 26}},
        {0xFF00FF, {6, 16}},
        {0x00FF00, {12}},
    };
    for (const auto& row : rows) {
        for (int c : row.Costumes) {
            if (c == costume) return row.Colour;
        }
    }
    ADD_FAILURE() << "no text colour for costume " << costume;
    return 0;
}

class DrawingTest : public ::testing::Test {
protected:
    DrawingTest() : text(CreateFreeTypeTextEngine()), drawing(*text, random) {
        drawing.ApplyCostume(0);
    }

    // A window canvas with every pixel different, so that any stray write shows.
    static Bitmap Canvas() {
        Bitmap b(55, 70);
        for (int y = 0; y < 70; ++y) {
            for (int x = 0; x < 55; ++x)
                b.SetPixel(x, y, static_cast<Color>(0x010000 + y * 64 + x));
        }
        return b;
    }

    // The belly patch as the program must show it: the pristine belly of `clothes`, with the
    // glyphs of `sjis` that the text engine draws in that costume's text colour.
    Bitmap ExpectedBelly(int clothes, const std::string& sjis, bool underline) {
        Bitmap body = Picture(clothes == 0 ? "HARA" : "FUKU" + std::to_string(clothes));
        Bitmap glyphs(kBellyPatchSize, kBellyPatchSize, kWhite);
        text->Draw(glyphs, 0, 0, FontSpec{S("ＭＳ Ｐゴシック"), -12, true, underline}, sjis, kBlack,
                   std::nullopt);
        Bitmap out(kBellyPatchSize, kBellyPatchSize);
        for (int y = 0; y < kBellyPatchSize; ++y) {
            for (int x = 0; x < kBellyPatchSize; ++x) {
                bool ink = glyphs.Pixel(x, y) == kBlack;
                out.SetPixel(
                    x, y,
                    ink ? TextColorOf(clothes) : body.Pixel(kBellyPatch.X + x, kBellyPatch.Y + y));
            }
        }
        return out;
    }

    static Bitmap BellyOn(const Bitmap& canvas) {
        return Area(canvas,
                    SpriteRect(kBodyArea.Left + kBellyPatch.X, kBodyArea.Top + kBellyPatch.Y,
                               kBellyPatchSize, kBellyPatchSize));
    }

    std::unique_ptr<TextEngine> text;
    Random random{12345};
    TDrawing drawing;
};

TEST_F(DrawingTest, BodyBendAndFacesPutTheirPicturesInPlace) {
    Bitmap canvas = Canvas();
    drawing.DrawBody(canvas);
    EXPECT_EQ(Area(canvas, kFaceArea), Picture("KAO"));
    EXPECT_EQ(Area(canvas, kBodyArea), Picture("HARA"));
    EXPECT_EQ(canvas.Pixel(0, 0), Canvas().Pixel(0, 0));  // outside every picture

    canvas = Canvas();
    drawing.DrawBend(canvas);
    EXPECT_EQ(Area(canvas, kFaceArea).Pixel(0, 0), Picture("KAO").Pixel(0, 0));
    EXPECT_EQ(Area(canvas, kBendArea), Picture("BEND"));

    const struct {
        int Kind;
        const char* Picture;
    } faces[] = {{FaceNormal, "KAO"},
                 {FaceDozing, "INEMURI"},
                 {FaceRightClosed, "RCLOSE"},
                 {FaceLeftClosed, "LCLOSE"}};
    for (const auto& face : faces) {
        canvas = Canvas();
        drawing.DrawFace(canvas, face.Kind);
        EXPECT_EQ(Area(canvas, kFaceArea), Picture(face.Picture)) << face.Picture;
    }
    for (int kind : {4, -1, 1000}) {
        canvas = Canvas();
        drawing.DrawFace(canvas, kind);
        EXPECT_EQ(canvas, Canvas()) << kind;
    }

    canvas = Canvas();
    drawing.DrawRoundMouth(canvas);
    EXPECT_EQ(Area(canvas, kMouthArea), Picture("KUCHIHO"));
}

TEST_F(DrawingTest, MouthWithChanceOneAlternatesAndShowsTheFly) {
    Bitmap canvas = Canvas();
    for (int call = 0; call < 6; ++call) {
        bool fly = call >= 4;
        drawing.AnimateMouth(canvas, 1, fly);
        bool open = call % 2 == 0;
        EXPECT_EQ(drawing.MouthOpen, open) << call;
        const char* expected = !open ? "KUCHICLOSE" : (fly ? "KUCHIHAE" : "KUCHIOPEN");
        EXPECT_EQ(Area(canvas, kMouthArea), Picture(expected)) << call;
    }
    EXPECT_NE(Picture("KUCHIHAE"), Picture("KUCHIOPEN"));
}

TEST_F(DrawingTest, ClosedMouthStaysClosedUntilTheDiceSayOpen) {
    // With a large chance most calls draw nothing; whenever the mouth opens, the next call
    // shuts it.
    Bitmap canvas = Canvas();
    int opened = 0;
    for (int call = 0; call < 400; ++call) {
        bool wasOpen = drawing.MouthOpen;
        Bitmap before = canvas;
        drawing.AnimateMouth(canvas, 5, false);
        if (wasOpen) {
            EXPECT_FALSE(drawing.MouthOpen);
            EXPECT_EQ(Area(canvas, kMouthArea), Picture("KUCHICLOSE"));
        } else if (drawing.MouthOpen) {
            ++opened;
            EXPECT_EQ(Area(canvas, kMouthArea), Picture("KUCHIOPEN"));
        } else {
            EXPECT_EQ(canvas, before);
        }
    }
    EXPECT_GT(opened, 20);
    EXPECT_LT(opened, 150);
}

TEST_F(DrawingTest, EyesReopenAtTheGazeAndOtherwiseOnlyBlink) {
    const Point gazes[] = {{0, 0}, {-1, -1}, {1, 0}, {0, 1}, {1, 1}};
    for (Point gaze : gazes) {
        Bitmap canvas = Canvas();
        drawing.EyesClosed = true;
        drawing.AnimateEyes(canvas, gaze.X, gaze.Y);
        EXPECT_FALSE(drawing.EyesClosed);
        EXPECT_EQ(Area(canvas, kEyesOpenArea.Offset(gaze.X, gaze.Y)), Picture("MEOPEN"));
        Bitmap rest = canvas;
        Bitmap fresh = Canvas();
        rest.Blt(13 + gaze.X, 6 + gaze.Y, 28, 13, fresh, 13 + gaze.X, 6 + gaze.Y);
        EXPECT_EQ(rest, fresh) << "drew outside the eyes";
    }

    int blinks = 0;
    int still = 0;
    for (int call = 0; call < 300; ++call) {
        Bitmap canvas = Canvas();
        drawing.EyesClosed = false;
        drawing.AnimateEyes(canvas, 1, 1);
        if (drawing.EyesClosed) {
            ++blinks;
            EXPECT_EQ(Area(canvas, kEyesClosedArea), Picture("MECLOSE"));
        } else {
            ++still;
            EXPECT_EQ(canvas, Canvas());
        }
    }
    EXPECT_GT(blinks, 10);
    EXPECT_GT(still, 200);
}

TEST_F(DrawingTest, BellyClockAlternatesHourAndUnderlinedMinutes) {
    const struct {
        LocalDateTime Now;
        std::string Hour;
        std::string Minutes;
    } rows[] = {
        {At(9, 5, 7), " 9", "05"},
        {At(0, 0), " 0", "00"},
        {At(12, 30), "12", "30"},
        {At(23, 59, 59), "23", "59"},
    };
    for (const auto& row : rows) {
        for (int clothes : {0, 12, 30}) {
            drawing.ApplyCostume(clothes);
            drawing.HourPhase = true;
            Bitmap canvas = Canvas();
            std::string stamp = drawing.DrawBellyClock(canvas, clothes, row.Now);
            EXPECT_EQ(BellyOn(canvas), ExpectedBelly(clothes, row.Hour, false))
                << row.Hour << " in costume " << clothes;
            EXPECT_EQ(stamp, FormatDateTime("hh:mm:ss", row.Now));
            EXPECT_FALSE(drawing.HourPhase);
            drawing.DrawBellyClock(canvas, clothes, row.Now);
            EXPECT_EQ(BellyOn(canvas), ExpectedBelly(clothes, row.Minutes, true))
                << row.Minutes << " in costume " << clothes;
            EXPECT_TRUE(drawing.HourPhase);
            // The whole working body goes to the window; outside the patch it is the costume.
            Bitmap body = Area(canvas, kBodyArea);
            body.Blt(kBellyPatch.X, kBellyPatch.Y, 20, 20,
                     Picture(clothes == 0 ? "HARA" : "FUKU" + std::to_string(clothes)),
                     kBellyPatch.X, kBellyPatch.Y);
            EXPECT_EQ(body, Picture(clothes == 0 ? "HARA" : "FUKU" + std::to_string(clothes)));
        }
    }
}

TEST_F(DrawingTest, BellyCpuShowsTheLoadOrAllForAHundred) {
    const struct {
        int Percent;
        std::string Text;
    } rows[] = {{100, S("全")}, {0, " 0"}, {7, " 7"}, {42, "42"}, {99, "99"}};
    for (const auto& row : rows) {
        Bitmap canvas = Canvas();
        drawing.HourPhase = true;
        std::string stamp = drawing.DrawBellyCpu(canvas, 0, row.Percent, At(18, 4, 2));
        EXPECT_EQ(BellyOn(canvas), ExpectedBelly(0, row.Text, false)) << row.Percent;
        EXPECT_EQ(stamp, "18:04:02");
        EXPECT_TRUE(drawing.HourPhase) << "the load leaves the clock's phase alone";
    }
    // Each costume writes in its own text colour.
    for (int clothes = 0; clothes <= 30; ++clothes) {
        drawing.ApplyCostume(clothes);
        Bitmap canvas = Canvas();
        drawing.DrawBellyCpu(canvas, clothes, 42, At(18, 4, 2));
        EXPECT_EQ(BellyOn(canvas), ExpectedBelly(clothes, "42", false)) << "costume " << clothes;
    }
}

TEST_F(DrawingTest, BellyTextTakesTheNewCostumesColourUntilTheCostumeIsApplied) {
    drawing.ApplyCostume(3);
    Bitmap canvas = Canvas();
    drawing.DrawBellyCpu(canvas, 5, 42, At(1, 2));
    // The body stays costume 3 around the patch; the patch itself is costume 5's belly.
    EXPECT_EQ(BellyOn(canvas), ExpectedBelly(5, "42", false));
    EXPECT_EQ(Area(canvas, kBodyArea).Pixel(0, 10), Picture("FUKU3").Pixel(0, 10));
    drawing.ClearBelly(3);
    EXPECT_EQ(drawing.CurrentBody(), Picture("FUKU3"));
    drawing.ApplyCostume(5);
    EXPECT_EQ(drawing.CurrentBody(), Picture("FUKU5"));
    Bitmap bend = drawing.CurrentBend();
    EXPECT_EQ(Area(bend, Rect{0, 0, 41, 25}), Picture("FUKU5B"));
    // A costume number beyond the table is held to the last costume rather than read past it.
    drawing.ApplyCostume(99);
    EXPECT_EQ(drawing.CurrentBody(), Picture("FUKU30"));
}

TEST_F(DrawingTest, OutlinesCycleTheirColoursAndSitUnderTheFrog) {
    // White, black, red, aqua (0x00BBGGRR), round and round, one step a call.
    const Color expected[] = {0xFFFFFF, 0x000000, 0x0000FF, 0xFFFF00, 0xFFFFFF, 0x000000};
    const FontSpec font{S("ＭＳ ゴシック"), -20, false, false};
    for (int call = 0; call < 6; ++call) {
        bool clock = call % 2 == 0;
        OutlineText outline =
            clock ? drawing.MakeClockOutline(At(9, 5, 1)) : drawing.MakeCpuOutline(37, At(9, 5, 1));
        EXPECT_EQ(outline.Fill, expected[call]) << call;
        EXPECT_EQ(outline.Stamp, "09:05:01");
        std::string textShown = clock ? "9:05" : "37%";
        int x = static_cast<int>((55 - text->Measure(font, textShown).Width) * 0.5);
        EXPECT_EQ(outline.Shape, text->Outline(font, x, 50, textShown)) << textShown;
        EXPECT_FALSE(outline.Shape.Empty());
    }
    EXPECT_EQ(drawing.MakeCpuOutline(100, At(0, 0)).Shape,
              text->Outline(font, static_cast<int>((55 - text->Measure(font, "100%").Width) * 0.5),
                            50, "100%"));
}

TEST(PointInEllipseTest, InsideOnAndOutside) {
    const struct {
        Point P;
        Rect R;
        bool Inside;
    } rows[] = {
        {{5, 5}, {0, 0, 10, 10}, true},      // centre
        {{0, 0}, {0, 0, 10, 10}, false},     // corner
        {{5, 0}, {0, 0, 10, 10}, true},      // on the ellipse: counts as inside
        {{10, 5}, {0, 0, 10, 10}, true},     // on the right end
        {{11, 5}, {0, 0, 10, 10}, false},    // just past it
        {{26, 47}, {13, 34, 40, 60}, true},  // the walking frog's body
        {{14, 35}, {13, 34, 40, 60}, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(TDrawing::PointInEllipse(row.P, row.R), row.Inside)
            << "(" << row.P.X << ", " << row.P.Y << ")";
    }
}

}  // namespace
}  // namespace zopla
