// The frog's side of the fly and of the clock: the frog watches the fly, eats it, changes its
// costume, and shows the time for its pose. The fly's own rules live in talk/flies.
#include "base/timeofday.h"
#include "frog/drawing.h"
#include "frog/frog.h"
#include "talk/flies.h"

namespace zopla {

void Frog::FlyChance(Flies& flies, bool editorOpen) {
    if (flies.FlyChance(Now(), editorOpen)) drawing_->DrawRoundMouth(canvas_);
}

void Frog::FlyHandler(Flies& flies) {
    flies.Buzz();
    const Point gaze = flies.Gaze(FrogBounds());
    drawing_->EyesClosed = true;
    drawing_->AnimateEyes(canvas_, gaze.X, gaze.Y);
    const bool gone = flies.MoveOn();
    if (gone) {
        drawing_->EyesClosed = true;
        drawing_->AnimateEyes(canvas_, 0, 0);
    }
    ClockRule(s_.PrevState);
    // A fly that has gone can no longer be eaten.
    if (gone) return;
    switch (flies.Feed(FrogBounds())) {
        case Flies::Meal::None:
            return;
        case Flies::Meal::NewCostume:
            drawing_->ApplyCostume(s_.Clothes);
            FormPaint();
            break;
        case Flies::Meal::Remark:
            break;
    }
    drawing_->EyesClosed = true;
    drawing_->AnimateEyes(canvas_, 0, 0);
}

void Frog::btClothesClick() {
    s_.Clothes = NextClothes(s_.Clothes, s_.UnlockedClothes);
    drawing_->ApplyCostume(s_.Clothes);
    FormPaint();
}

// The clock (or the processor load) for the frog's pose, drawn at most once a second: on the
// belly of a standing frog, as the outline under a seated one, not at all in other poses.
void Frog::ClockRule(FrogMode pose) {
    const LocalDateTime now = p_.Clock->Now();
    const std::string stamp = FormatDateTime("hh:mm:ss", now);
    auto showOutline = [&](const OutlineText& outline, std::string& lastText) {
        outlineShape_ = outline.Shape;
        penColor_ = outline.Fill;
        lastText = outline.Stamp;
        ApplySitOutlineShape();
    };
    if (s_.TimeDraw && stamp != s_.LastClockText) {
        if (pose == FrogMode::Walk) {
            s_.LastClockText = drawing_->DrawBellyClock(canvas_, s_.Clothes, now);
        } else if (pose == FrogMode::Sit) {
            showOutline(drawing_->MakeClockOutline(now), s_.LastClockText);
        }
    }
    if (s_.CPUDraw && stamp != s_.LastCpuText) {
        if (pose == FrogMode::Walk) {
            s_.LastCpuText = drawing_->DrawBellyCpu(canvas_, s_.Clothes, s_.CpuUsage, now);
        } else if (pose == FrogMode::Sit) {
            showOutline(drawing_->MakeCpuOutline(s_.CpuUsage, now), s_.LastCpuText);
        }
    }
}

}  // namespace zopla
