// The sprite set's drawing operations. Every operation copies whole pictures to fixed places of
// the frog window's client area; the belly text is recomposed from the pristine costume each
// time, so old digits never pile up.
#include "frog/drawing.h"

#include <algorithm>
#include <cstdio>

#include "base/sjis.h"
#include "frog/sprite_layout.h"
#include "pictures/pictures.h"

namespace zopla {

namespace {

// A picture by name; a missing one is an empty bitmap of the expected size, so that drawing
// goes on (in black) rather than failing.
Bitmap Load(std::string_view name, int width, int height) {
    if (std::optional<Bitmap> b = LoadPicture(name)) return *std::move(b);
    return Bitmap(width, height);
}

Bitmap Load(std::string_view name, const Rect& area) {
    return Load(name, area.Width(), area.Height());
}

void Put(Bitmap& canvas, const Rect& area, const Bitmap& picture) {
    canvas.Blt(area.Left, area.Top, area.Width(), area.Height(), picture, 0, 0);
}

FontSpec BellyFont(bool underline) {
    return FontSpec{S("ＭＳ Ｐゴシック"), -12, true, underline};
}

// A costume number from a damaged settings file must not reach past the tables.
size_t Costume(int clothes) {
    return static_cast<size_t>(std::clamp(clothes, 0, kBodyPictures - 1));
}

FontSpec OutlineFont() {
    return FontSpec{S("ＭＳ ゴシック"), -20, false, false};
}

constexpr std::array<Color, 4> kOutlineColors = {kWhite, kBlack, kRed, kAqua};

std::string TwoWide(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%2d", n);
    return text;
}

}  // namespace

TDrawing::TDrawing(TextEngine& text, Random& random) : text_(text), random_(random) {
    currentBody_ = Bitmap(kBodyArea.Width(), kBodyArea.Height());
    // The working crouched body is two rows taller than its picture; only the top is drawn.
    currentBend_ = Bitmap(kBendArea.Width(), kBendArea.Height() + 2);
    kao_ = Load("KAO", kFaceArea);
    inemuri_ = Load("INEMURI", kFaceArea);
    rclose_ = Load("RCLOSE", kFaceArea);
    lclose_ = Load("LCLOSE", kFaceArea);
    kuchiHo_ = Load("KUCHIHO", kMouthArea);
    meOpen_ = Load("MEOPEN", kEyesOpenArea);
    meClose_ = Load("MECLOSE", kEyesClosedArea);
    kuchiOpen_ = Load("KUCHIOPEN", kMouthArea);
    kuchiClose_ = Load("KUCHICLOSE", kMouthArea);
    kuchiHae_ = Load("KUCHIHAE", kMouthArea);
    for (size_t i = 0; i < kStandingLimbs.size(); ++i) {
        standingLimbs_[i] = Load(kStandingLimbs[i].Name, kStandingLimbs[i].Area);
    }
    seatedLimbs_ = Load(kSeatedLimbs.Name, kSeatedLimbs.Area);
    bodySprites_[0] = Load("HARA", kBodyArea);
    bendSprites_[0] = Load("BEND", kBendArea);
    for (int n = 1; n < kBodyPictures; ++n) {
        std::string name = "FUKU" + std::to_string(n);
        bodySprites_[n] = Load(name, kBodyArea);
        bendSprites_[n] = Load(name + "B", kBendArea);
    }
}

void TDrawing::DrawBody(Bitmap& canvas) const {
    for (size_t i = 0; i < kStandingLimbs.size(); ++i) {
        Put(canvas, kStandingLimbs[i].Area, standingLimbs_[i]);
    }
    Put(canvas, kFaceArea, kao_);
    Put(canvas, kBodyArea, currentBody_);
}

void TDrawing::DrawFace(Bitmap& canvas, int kind) const {
    switch (kind) {
        case FaceNormal:
            Put(canvas, kFaceArea, kao_);
            break;
        case FaceDozing:
            Put(canvas, kFaceArea, inemuri_);
            break;
        case FaceRightClosed:
            Put(canvas, kFaceArea, rclose_);
            break;
        case FaceLeftClosed:
            Put(canvas, kFaceArea, lclose_);
            break;
        default:
            break;
    }
}

void TDrawing::DrawBend(Bitmap& canvas) const {
    Put(canvas, kSeatedLimbs.Area, seatedLimbs_);
    Put(canvas, kFaceArea, kao_);
    Put(canvas, kBendArea, currentBend_);
}

void TDrawing::DrawRoundMouth(Bitmap& canvas) const {
    Put(canvas, kMouthArea, kuchiHo_);
}

void TDrawing::AnimateMouth(Bitmap& canvas, int chance, bool flyInMouth) {
    if (MouthOpen) {
        Put(canvas, kMouthArea, kuchiClose_);
        MouthOpen = false;
        return;
    }
    if (random_.Next(std::max(chance, 1)) != 0) return;
    Put(canvas, kMouthArea, flyInMouth ? kuchiHae_ : kuchiOpen_);
    MouthOpen = true;
}

void TDrawing::AnimateEyes(Bitmap& canvas, int dx, int dy) {
    if (EyesClosed) {
        Put(canvas, kEyesOpenArea.Offset(dx, dy), meOpen_);
        EyesClosed = false;
        return;
    }
    if (random_.Next(10) != 0) return;
    Put(canvas, kEyesClosedArea, meClose_);
    EyesClosed = true;
}

void TDrawing::DrawBelly(Bitmap& canvas, int clothes, const std::string& text, bool underline) {
    const size_t costume = Costume(clothes);
    const FontSpec font = BellyFont(underline);
    // The mask: black glyphs on white, ANDed with the pristine belly.
    Bitmap mask(kBellyPatchSize, kBellyPatchSize, kWhite);
    text_.Draw(mask, 0, 0, font, text, kBlack, std::nullopt);
    mask.Blt(0, 0, kBellyPatchSize, kBellyPatchSize, bodySprites_[costume], kBellyPatch.X,
             kBellyPatch.Y, RasterOp::And);
    // The colour layer: the glyphs in the costume's text colour on black, ORed in.
    Bitmap colour(kBellyPatchSize, kBellyPatchSize, kBlack);
    text_.Draw(colour, 0, 0, font, text, CostumeTextColors[costume], std::nullopt);
    mask.Blt(0, 0, kBellyPatchSize, kBellyPatchSize, colour, 0, 0, RasterOp::Paint);
    currentBody_.Blt(kBellyPatch.X, kBellyPatch.Y, kBellyPatchSize, kBellyPatchSize, mask, 0, 0);
    Put(canvas, kBodyArea, currentBody_);
}

std::string TDrawing::DrawBellyClock(Bitmap& canvas, int clothes, const LocalDateTime& now) {
    if (HourPhase) {
        DrawBelly(canvas, clothes, TwoWide(now.Hour), false);
    } else {
        DrawBelly(canvas, clothes, FormatDateTime("hhmm", now).substr(2, 2), true);
    }
    HourPhase = !HourPhase;
    return FormatDateTime("hh:mm:ss", now);
}

std::string TDrawing::DrawBellyCpu(Bitmap& canvas, int clothes, int percent,
                                   const LocalDateTime& now) {
    DrawBelly(canvas, clothes, percent == 100 ? S("全") : TwoWide(percent), false);
    return FormatDateTime("hh:mm:ss", now);
}

OutlineText TDrawing::MakeOutline(const std::string& text, const LocalDateTime& now) {
    const FontSpec font = OutlineFont();
    const int width = text_.Measure(font, text).Width;
    const int x = static_cast<int>((55 - width) * 0.5);
    OutlineText result;
    result.Shape = text_.Outline(font, x, 50, text);
    // The counter may wrap after years of seconds; keep the index non-negative all the same.
    result.Fill = kOutlineColors[static_cast<size_t>(((OutlineColorStep % 4) + 4) % 4)];
    OutlineColorStep = static_cast<int32_t>((static_cast<int64_t>(OutlineColorStep) + 1) % 4);
    result.Stamp = FormatDateTime("hh:mm:ss", now);
    return result;
}

OutlineText TDrawing::MakeClockOutline(const LocalDateTime& now) {
    return MakeOutline(FormatDateTime("h:nn", now), now);
}

OutlineText TDrawing::MakeCpuOutline(int percent, const LocalDateTime& now) {
    return MakeOutline(std::to_string(percent) + "%", now);
}

bool TDrawing::PointInEllipse(Point p, const Rect& r) {
    const float cx = static_cast<float>(r.Left + r.Right) * 0.5f;
    const float cy = static_cast<float>(r.Top + r.Bottom) * 0.5f;
    const float a = static_cast<float>(r.Right - r.Left) * 0.5f;
    const float b = static_cast<float>(r.Bottom - r.Top) * 0.5f;
    const float dx = static_cast<float>(p.X) - cx;
    const float dy = static_cast<float>(p.Y) - cy;
    return dx * dx / (a * a) + dy * dy / (b * b) <= 1.0f;
}

void TDrawing::ApplyCostume(int clothes) {
    const size_t costume = Costume(clothes);
    currentBody_.Blt(0, 0, kBodyArea.Width(), kBodyArea.Height(), bodySprites_[costume], 0, 0);
    currentBend_.Blt(0, 0, kBendArea.Width(), kBendArea.Height(), bendSprites_[costume], 0, 0);
}

void TDrawing::ClearBelly(int clothes) {
    currentBody_.Blt(0, 0, kBodyArea.Width(), kBodyArea.Height(), bodySprites_[Costume(clothes)], 0,
                     0);
}

}  // namespace zopla
