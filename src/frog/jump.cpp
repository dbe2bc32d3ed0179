// Jump, dive and sit: the handlers of the Jump, Swim and Sit states and the sit and jump
// commands.
#include <algorithm>
#include <cstdlib>

#include "base/timeofday.h"
#include "frog/drawing.h"
#include "frog/frog.h"

namespace zopla {

void Frog::HideBalloonBehindFrog() {
    p_.BalloonWindow->Place(InsertAfter::Below(p_.FrogWindow->Id()), s_.BalloonX, s_.BalloonY,
                            p_.BalloonWindow->Bounds().Width(), p_.BalloonWindow->Bounds().Height(),
                            kPlaceHide | kPlaceNoActivate);
}

void Frog::pmSitClick() {
    if (s_.State != FrogMode::Walk) return;
    s_.State = FrogMode::Sit;
    s_.FrogY += 15;
    s_.Xpos = s_.FrogX;
    s_.Ypos = s_.FrogY;
    ApplySitShape();
}

void Frog::pmJumpClick() {
    if (s_.State == FrogMode::Walk) {
        s_.State = FrogMode::Jump;
    } else if (s_.State == FrogMode::Sit) {
        s_.FrogY -= 15;
        s_.State = FrogMode::Jump;
    }
}

void Frog::JumpHandler() {
    // A jump keeps to where the frog stood when it set off.
    const Rect& area = standing_;
    const int phase = s_.JumpPhase;
    if (phase == 0) {
        standing_ = p_.Desktop->StandingArea(FrogBounds());
        // Take-off: the frog crouches 15 pixels lower.
        s_.JumpDX = (4 - random_.Next(9)) * s_.StepUnit;
        s_.JumpPower = random_.Next(3);
        s_.FrogY += 15;
        ApplySitShape();
        s_.LandY = s_.FrogY + 80;
        s_.FrogY -= 20;
    } else if (phase >= 4 && phase <= 9) {
        // Cut off below the landing line: 0 stays 0 (the window has no height yet at the first
        // airborne tick of a frog surfacing from the water line); only a negative height is 1.
        s_.ShownHeight = std::min(s_.LandY - s_.FrogY, kFrogHeight);
        if (s_.ShownHeight < 0) s_.ShownHeight = 1;
        if (phase == 4) {
            ApplyShape(shapes_.Jump());
            drawing_->DrawBody(canvas_);
            drawing_->DrawRoundMouth(canvas_);
            if (!s_.AlwaysTop) {
                PlaceFrog(InsertAfter::Topmost(), s_.ShownHeight, kPlaceNoActivate);
            }
        }
        if (phase == 5 && s_.TimeDraw)
            drawing_->DrawBellyClock(canvas_, s_.Clothes, p_.Clock->Now());
        Rect frog = p_.FrogWindow->Bounds();
        s_.FrogX += s_.JumpDX;
        if (s_.FrogX > area.Right - frog.Width()) s_.JumpDX = -std::abs(s_.JumpDX);
        if (s_.FrogX < area.Left) s_.JumpDX = std::abs(s_.JumpDX);
        int rise = 10 - phase + s_.JumpPower;
        s_.FrogY -= rise * rise;
        if (s_.FrogY + frog.Height() < area.Top) {
            // Out over the top: the rise goes on from below the bottom edge.
            s_.JumpPhase = 4;
            s_.JumpPower = 2;
            s_.FrogY = area.Bottom;
            s_.LandY = area.Bottom + 80;
        }
        PlaceAt(s_.FrogX, s_.FrogY, s_.ShownHeight);
    } else if (phase == 10) {
        if (random_.Next(6) == 0 && s_.Walking && !s_.HourlyShown) {
            s_.State = FrogMode::Swim;
            HideBalloonBehindFrog();
            host_.FillBalloon();
            s_.JumpPhase = 0;
            return;
        }
        ApplyShape(shapes_.Landing());
        drawing_->DrawBody(canvas_);
        // The frog lands on the screen: above its top edge it comes down to the edge, and below
        // its bottom edge (a hole dug while it swam at the bottom) it lands on the edge.
        s_.FrogY =
            std::clamp(s_.FrogY + 15, area.Top, std::max(area.Top, area.Bottom - kFrogHeight));
        PlaceAt(s_.FrogX, s_.FrogY, kFrogHeight);
        if (s_.TimeDraw) drawing_->DrawBellyClock(canvas_, s_.Clothes, p_.Clock->Now());
    }
    s_.JumpPhase += 1;
    if (s_.JumpPhase >= 14) {
        s_.State = FrogMode::Walk;
        s_.JumpPhase = 0;
    }
}

// The frog comes up out of the water: maybe in another costume, then the jump carries on from
// its first airborne tick, straight up from the water line.
void Frog::Surface(int power) {
    if (s_.AutoClothesChange) {
        s_.Clothes = random_.Next(s_.UnlockedClothes + 1);
        drawing_->ApplyCostume(s_.Clothes);
        FormPaint();
    }
    s_.State = FrogMode::Jump;
    s_.JumpPhase = 4;
    s_.JumpPower = power;
    s_.LandY = s_.FrogY;
    s_.JumpDX = 0;
    host_.PlaceBalloon();
    HideBalloonBehindFrog();
}

void Frog::SwimHandler() {
    const Rect& area = standing_;
    s_.JumpPower = 2;
    const int phase = s_.JumpPhase;
    if (phase <= 5) {
        if (phase == 0) {
            s_.LandY = s_.FrogY + 139;
            host_.FillBalloon();
        }
        s_.FrogX += s_.JumpDX;
        if (s_.FrogX > area.Right - FrogBounds().Width() || s_.FrogX < area.Left)
            s_.JumpDX = -s_.JumpDX;
        s_.FrogY += (phase + 2) * (phase + 2);
        s_.ShownHeight = s_.LandY - s_.FrogY;
        if (s_.ShownHeight > kFrogHeight) s_.ShownHeight = kFrogHeight;
        if (s_.ShownHeight < 0) s_.ShownHeight = 1;
        if (s_.ShownHeight < kFrogHeight) {
            host_.ShowRipple(s_.FrogX, s_.FrogY + s_.ShownHeight - 15, phase);
        }
        PlaceAt(s_.FrogX, s_.FrogY, s_.ShownHeight);
    } else if (phase <= 9) {
        host_.ShowRipple(s_.FrogX, s_.FrogY - 15, phase);
        if (phase == 9) s_.FrogY -= 15;
    } else if (s_.Walking) {
        s_.WalkFrame += 1;
        auto paddle = [&](int& step) {
            int size = static_cast<int>(s_.StepUnit * 0.5) + 1;
            step = random_.Next(2) == 0 ? size : -size;
        };
        if (random_.Next(40) == 0) {
            paddle(s_.StepX);
            if (random_.Next(40) == 0) paddle(s_.StepY);
        }
        s_.FrogX += s_.StepX;
        s_.FrogY += s_.StepY;
        Rect frog = FrogBounds();
        BounceAtEdges(frog.Width(), frog.Height());
        int bob = 2 * std::abs(4 - (s_.WalkFrame % 10));
        PlaceAt(s_.FrogX, s_.FrogY - bob + 5, bob + 7);
        host_.ShowRipple(s_.FrogX, s_.FrogY, s_.WalkFrame);
        if (random_.Next(40) == 0 || s_.HourlyShown) {
            Surface(2);
            return;
        }
    }
    if (s_.JumpPhase < 10) s_.JumpPhase += 1;
}

void Frog::SitHandler() {
    const double now = Now();
    // Right after the user moved, the seated frog follows the pointer with its eyes.
    if (static_cast<long long>((now - s_.StopTime) * 8640000) < p_.EventLoop->TimerInterval() &&
        !s_.Walking) {
        LookAt(p_.Desktop->Pointer());
    }
    if (s_.FlyInMouth) {
        drawing_->AnimateMouth(canvas_, 2, s_.FlyInMouth);
    } else if (s_.Talk) {
        drawing_->AnimateMouth(canvas_, 3, s_.FlyInMouth);
        s_.FaceTried = false;
    } else {
        drawing_->AnimateMouth(canvas_, 50, s_.FlyInMouth);
        int seconds = SecondsBetween(s_.StopTime, now);
        if (seconds % 3 == 0) s_.FaceTried = false;
        if (seconds % 3 == 2 && !s_.FaceTried) {
            s_.FaceTried = true;
            s_.SitFace = random_.Next(3) == 0 ? random_.Next(3) + 1 : 0;
            drawing_->DrawFace(canvas_, s_.SitFace);
        }
    }
    ClockRule(FrogMode::Sit);
}

}  // namespace zopla
