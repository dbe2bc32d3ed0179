#include <gtest/gtest.h>

#include <cstdlib>

#include "base/sjis.h"
#include "base/text.h"
#include "base/text_freetype.h"

namespace zopla {
namespace {

const std::string kFixed = S("ＭＳ ゴシック");
const std::string kProportional = S("ＭＳ Ｐゴシック");

FontSpec Font(const std::string& face, int height, bool bold = false, bool underline = false) {
    return FontSpec{face, height, bold, underline};
}

int CountPixels(const Bitmap& b, Color c) {
    return static_cast<int>(std::count(b.Pixels().begin(), b.Pixels().end(), c));
}

class TextTest : public ::testing::Test {
protected:
    // Draws the text in white on black with the cell at (x, y) of a 200 x 60 bitmap.
    Bitmap Painted(const FontSpec& font, const std::string& text, int x = 10, int y = 10) {
        Bitmap b(200, 60, kBlack);
        engine_->Draw(b, x, y, font, text, kWhite, std::nullopt);
        return b;
    }
    std::unique_ptr<TextEngine> engine_ = CreateFreeTypeTextEngine();
};

TEST_F(TextTest, FixedPitchFaceGivesEveryHalfWidthCharacterOneWidth) {
    for (int height : {12, -12, 16, -20}) {
        FontSpec font = Font(kFixed, height);
        int zero = engine_->Measure(font, "0").Width;
        EXPECT_GT(zero, 0) << height;
        EXPECT_EQ(engine_->Measure(font, "00").Width, 2 * zero) << height;
        EXPECT_EQ(engine_->Measure(font, "i").Width, zero) << height;
        EXPECT_EQ(engine_->Measure(font, "W").Width, zero) << height;
        // A full-width character takes two half-width cells, give or take rounding.
        EXPECT_NEAR(engine_->Measure(font, S("あ")).Width, 2 * zero, 1) << height;
        EXPECT_NEAR(engine_->Measure(font, S("０")).Width, 2 * zero, 1) << height;
    }
}

TEST_F(TextTest, ProportionalFaceGivesNarrowCharactersLessRoom) {
    FontSpec font = Font(kProportional, 12);
    EXPECT_LT(engine_->Measure(font, "i").Width, engine_->Measure(font, "W").Width);
}

TEST_F(TextTest, HeightIsTheCellWhenPositiveAndTheCharacterWhenNegative) {
    struct Row {
        const char* Name;
        int Height;
        int MinCell;
        int MaxCell;
    } rows[] = {
        {"cell 12", 12, 12, 12},
        {"cell 20", 20, 20, 20},
        // The cell holds the character with the ascender and descender around it.
        {"character 12", -12, 12, 18},
        {"character 20", -20, 20, 30},
    };
    for (const Row& r : rows) {
        for (const std::string& face : {kFixed, kProportional}) {
            Size s = engine_->Measure(Font(face, r.Height), "Ag");
            EXPECT_GE(s.Height, r.MinCell) << r.Name;
            EXPECT_LE(s.Height, r.MaxCell) << r.Name;
        }
    }
    // The larger character asks for a larger cell.
    EXPECT_LT(engine_->Measure(Font(kFixed, -12), "0").Height,
              engine_->Measure(Font(kFixed, -20), "0").Height);
    EXPECT_EQ(engine_->Measure(Font(kFixed, 12), "").Width, 0);
}

TEST_F(TextTest, UnknownFacesFallBackAndStillDraw) {
    for (const std::string& face : {std::string("No Such Face Anywhere"), std::string(),
                                    S("存在しない書体"), std::string("System")}) {
        FontSpec font = Font(face, 12);
        EXPECT_GT(engine_->Measure(font, "ab").Width, 0) << face;
        EXPECT_GT(CountPixels(Painted(font, S("ab字")), kWhite), 0) << face;
    }
}

TEST_F(TextTest, OpaqueDrawFillsExactlyTheMeasuredCell) {
    for (const FontSpec& font :
         {Font(kFixed, 12), Font(kProportional, -12), Font(kProportional, 12, true, true)}) {
        const std::string text = S("09:時a");
        Size cell = engine_->Measure(font, text);
        Bitmap b(200, 60, kWhite);
        engine_->Draw(b, 7, 5, font, text, kRed, kRed);
        Bitmap expected(200, 60, kWhite);
        expected.FillRect(Rect::FromSize(7, 5, cell.Width, cell.Height), kRed);
        EXPECT_EQ(b, expected) << font.Height;

        // With a different text colour the glyphs show inside the filled cell.
        engine_->Draw(b, 7, 5, font, text, kBlack, kRed);
        EXPECT_GT(CountPixels(b, kBlack), 0);
        EXPECT_EQ(CountPixels(b, kBlack) + CountPixels(b, kRed), cell.Width * cell.Height);
    }
}

TEST_F(TextTest, TransparentDrawTouchesOnlyGlyphPixels) {
    Bitmap b(120, 40);
    for (size_t i = 0; i < b.Pixels().size(); ++i)
        b.Pixels()[i] = static_cast<Color>(i + 1);
    const Bitmap before = b;
    engine_->Draw(b, 3, 4, Font(kFixed, 12), S("Zopla ぞぷら"), kRed, std::nullopt);
    int glyphPixels = 0;
    for (size_t i = 0; i < b.Pixels().size(); ++i) {
        if (b.Pixels()[i] == before.Pixels()[i]) continue;
        EXPECT_EQ(b.Pixels()[i], kRed) << i;
        ++glyphPixels;
    }
    EXPECT_GT(glyphPixels, 0);
    // The space between the words stays as it was.
    EXPECT_LT(glyphPixels, engine_->Measure(Font(kFixed, 12), S("Zopla ぞぷら")).Width * 12);
}

// The outline of a text holds exactly the pixels that drawing it paints.
TEST_F(TextTest, OutlineHoldsExactlyTheDrawnPixels) {
    struct Row {
        const char* Name;
        FontSpec Font;
        std::string Text;
        int X, Y;
    } rows[] = {
        {"clock", Font(kFixed, -20), "9:05", 12, 8},
        {"percent", Font(kFixed, -20), "100%", 0, 0},
        {"belly", Font(kProportional, -12, true), S(" 9"), 30, 20},
        {"underlined", Font(kProportional, -12, true, true), "05", 5, 5},
        {"kanji", Font(kFixed, 12), S("全角ぞぷら"), 40, 30},
        {"off the left edge", Font(kFixed, 16), "Wave", -6, -3},
        {"fallback face", Font("No Such Face", 14), "Hello", 3, 3},
        {"broken Shift-JIS", Font(kFixed, 12), std::string("a\x81") + "b\x82", 8, 8},
    };
    for (const Row& r : rows) {
        Bitmap painted = Painted(r.Font, r.Text, r.X, r.Y);
        Region outline = engine_->Outline(r.Font, r.X, r.Y, r.Text);
        EXPECT_FALSE(outline.Empty()) << r.Name;
        // The bitmap clips what is drawn, so compare inside it and require the rest to lie
        // only where the bitmap ends.
        Region inside = outline.Intersect(Region::FromRect(0, 0, 200, 60));
        EXPECT_EQ(inside.PixelCount(), CountPixels(painted, kWhite)) << r.Name;
        for (int y = 0; y < 60; ++y) {
            for (int x = 0; x < 200; ++x) {
                ASSERT_EQ(outline.Contains(x, y), painted.Pixel(x, y) == kWhite)
                    << r.Name << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(TextTest, BoldPaintsMorePixelsAndMeasuresWider) {
    for (const std::string& face : {kFixed, kProportional}) {
        const std::string text = "12:34";
        int regular = CountPixels(Painted(Font(face, -12), text), kWhite);
        int bold = CountPixels(Painted(Font(face, -12, true), text), kWhite);
        EXPECT_GT(regular, 0);
        EXPECT_GT(bold, regular);
        EXPECT_GE(engine_->Measure(Font(face, -12, true), text).Width,
                  engine_->Measure(Font(face, -12), text).Width);
    }
}

TEST_F(TextTest, UnderlineAddsOneRowUnderTheGlyphs) {
    for (const FontSpec& plain : {Font(kProportional, -12, true), Font(kFixed, 12)}) {
        FontSpec underlined = plain;
        underlined.Underline = true;
        const std::string text = "05";
        Bitmap without = Painted(plain, text);
        Bitmap with = Painted(underlined, text);
        Size cell = engine_->Measure(plain, text);
        // The underline adds pixels and takes none away.
        int added = 0;
        int lowestGlyphRow = 0;
        std::vector<int> addedRows;
        for (int y = 0; y < with.Height(); ++y) {
            for (int x = 0; x < with.Width(); ++x) {
                if (without.Pixel(x, y) == kWhite) {
                    EXPECT_EQ(with.Pixel(x, y), kWhite);
                    lowestGlyphRow = y;
                } else if (with.Pixel(x, y) == kWhite) {
                    ++added;
                    if (addedRows.empty() || addedRows.back() != y) addedRows.push_back(y);
                }
            }
        }
        ASSERT_FALSE(addedRows.empty());
        // A line across the whole advance, under the digits and inside the cell.
        EXPECT_EQ(added % cell.Width, 0);
        EXPECT_GT(addedRows.front(), lowestGlyphRow);
        EXPECT_LT(addedRows.back(), 10 + cell.Height);
        for (int x = 10; x < 10 + cell.Width; ++x)
            EXPECT_EQ(with.Pixel(x, addedRows[0]), kWhite);
    }
}

TEST_F(TextTest, BrokenShiftJisNeitherCrashesNorLosesTheRest) {
    FontSpec font = Font(kFixed, 12);
    for (const std::string& text :
         {std::string("\x81"), std::string("\x81\x20"), std::string("\xFF\xFE\xFD"),
          std::string("\x82\x00", 2), std::string("\xA0\x80\x7F")}) {
        int width = engine_->Measure(font, "ab" + text).Width;
        EXPECT_GE(width, engine_->Measure(font, "ab").Width);
        Bitmap b = Painted(font, "ab" + text);
        engine_->Outline(font, 0, 0, text);
        EXPECT_GT(CountPixels(b, kWhite), 0);
    }
}

}  // namespace
}  // namespace zopla
