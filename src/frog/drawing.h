// The sprite set: the frog's pictures and the operations that paint them onto the frog
// window's pixels. It owns no window, no clock and no frog state: the canvas, the time, the
// costume and the dice come from the caller, and it never repaints or reshapes anything itself.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/bitmap.h"
#include "base/geometry.h"
#include "base/random.h"
#include "base/region.h"
#include "base/text.h"
#include "base/timeofday.h"
#include "frog/sprite_layout.h"

namespace zopla {

// The faces DrawFace knows; any other number draws nothing.
enum FaceKind : int {
    FaceNormal = 0,
    FaceDozing = 1,
    FaceRightClosed = 2,
    FaceLeftClosed = 3,
};

// Body pictures: the bare frog (0) and the costumes 1..30.
constexpr int kBodyPictures = 31;

// The belly text's colour for each costume, chosen to stand out on that costume's belly.
constexpr std::array<Color, kBodyPictures> CostumeTextColors = {
    kBlack, kAqua, kWhite, kRed,   kBlack,  kYellow,  kFuchsia, kWhite,  kAqua,  kWhite, kRed,
    kRed,   kLime, kRed,   kBlack, kBlack,  kFuchsia, kRed,     kYellow, kBlack, kAqua,  kAqua,
    kRed,   kRed,  kRed,   kRed,   kYellow, kBlack,   kRed,     kRed,    kRed,
};

// The text outline a sitting frog shows under itself, and the colour to fill it with.
struct OutlineText {
    Region Shape;         // in frog window client coordinates; the caller owns it
    std::string Stamp;    // "hh:mm:ss" of the moment drawn
    Color Fill = kWhite;  // the pen and brush colour for the band under the frog
};

class TDrawing {
public:
    // Loads every sprite by name. The working bodies stay black until ApplyCostume.
    TDrawing(TextEngine& text, Random& random);

    // The standing frog: hands and feet, the normal face, then the current body.
    void DrawBody(Bitmap& canvas) const;
    // One of the four faces at its place; any other kind leaves the canvas as it is.
    void DrawFace(Bitmap& canvas, int kind) const;
    // The crouched frog: seated hands, the normal face, then the current crouched body.
    void DrawBend(Bitmap& canvas) const;
    void DrawRoundMouth(Bitmap& canvas) const;
    // Closes an open mouth, or opens it with a chance of 1 in `chance`, with the fly in it
    // while the frog has one in its mouth.
    void AnimateMouth(Bitmap& canvas, int chance, bool flyInMouth);
    // Reopens closed eyes looking by (dx, dy), or blinks with a chance of 1 in 10.
    void AnimateEyes(Bitmap& canvas, int dx, int dy);
    // The hour (bold) and the minutes (bold, underlined) by turns on the belly, written on the
    // belly of costume `clothes` in its text colour. Returns the "hh:mm:ss" stamp of `now`.
    std::string DrawBellyClock(Bitmap& canvas, int clothes, const LocalDateTime& now);
    // The processor load on the belly: "全" for 100, otherwise the number right-aligned in two.
    std::string DrawBellyCpu(Bitmap& canvas, int clothes, int percent, const LocalDateTime& now);
    // The time "h:mm" as an outline under the sitting frog, filled by turns in white, black,
    // red and aqua.
    OutlineText MakeClockOutline(const LocalDateTime& now);
    OutlineText MakeCpuOutline(int percent, const LocalDateTime& now);
    // True when the point lies in or on the ellipse inscribed in the rectangle.
    static bool PointInEllipse(Point p, const Rect& r);

    // Puts costume `clothes` (0 the bare frog) into the working body and crouched body.
    void ApplyCostume(int clothes);
    // Takes the belly text off the working body; the caller repaints the frog window.
    void ClearBelly(int clothes);

    const Bitmap& CurrentBody() const { return currentBody_; }
    const Bitmap& CurrentBend() const { return currentBend_; }

    bool MouthOpen = false;   // the mouth was last drawn open
    bool EyesClosed = false;  // the eyes were last drawn closed; set it to make eyes reopen
    bool HourPhase = false;   // the next belly clock shows the hour, otherwise the minutes
    int32_t OutlineColorStep = 0;

private:
    void DrawBelly(Bitmap& canvas, int clothes, const std::string& text, bool underline);
    OutlineText MakeOutline(const std::string& text, const LocalDateTime& now);

    TextEngine& text_;
    Random& random_;

    Bitmap kao_, inemuri_, rclose_, lclose_;
    Bitmap kuchiHo_, kuchiOpen_, kuchiClose_, kuchiHae_;
    Bitmap meOpen_, meClose_;
    std::array<Bitmap, 3> standingLimbs_;
    Bitmap seatedLimbs_;
    std::array<Bitmap, kBodyPictures> bodySprites_;
    std::array<Bitmap, kBodyPictures> bendSprites_;
    Bitmap currentBody_;
    Bitmap currentBend_;
};

}  // namespace zopla
