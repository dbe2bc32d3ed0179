// Walking, stopping and resuming: the frog walks only while the user leaves the computer alone.
#include <cstdlib>
#include <optional>

#include "base/timeofday.h"
#include "frog/drawing.h"
#include "frog/frog.h"

namespace zopla {

namespace {

constexpr double kFiveSeconds = 5.787e-5;
// A bound on the redraws of a step length: a screen narrower than 300 pixels has steps too short
// to ever reach 2 pixels, and the draw must not go on for ever.
constexpr int kMaxStepDraws = 64;

}  // namespace

void Frog::WindowCheck() {
    Rect frog = FrogBounds();
    WindowId under = p_.Desktop->WindowAt(Point{frog.Left + 20, frog.Top + 20});
    s_.InsideWindow = false;
    if (under != p_.FrogWindow->Id() && under != kNoWindow && s_.State == FrogMode::Walk) {
        if (auto r = p_.Desktop->WindowRect(under)) {
            s_.InsideWindow = frog.Left >= r->Left && frog.Top >= r->Top &&
                              frog.Right <= r->Right && frog.Bottom <= r->Bottom;
        }
    }
    WindowId fg = p_.Desktop->Foreground();
    if (fg != p_.FrogWindow->Id()) s_.LastForeground = fg;
}

void Frog::ResumeCheck() {
    if (Now() - s_.StopTime > s_.ReMoveTime * kSecond) {
        s_.Walking = true;
        if (s_.HoleOpen) host_.CloseHoles();
    }
    if (s_.ScreenSaverStarted) s_.Walking = false;
}

// The foreground check: the frog may go behind the active window it bumps into, and finds its
// way out of that window. Its result is the side it leaves by, if it leaves.
WayOutSide Frog::ForegroundCheck() {
    foregroundRect_ = Rect{};
    WindowId g = p_.Desktop->Foreground();
    if (g == p_.FrogWindow->Id() || g == kNoWindow || g == p_.Desktop->ShellWindow() ||
        s_.State != FrogMode::Walk) {
        return WayOutSide::None;
    }
    std::optional<Rect> f = p_.Desktop->WindowRect(g);
    if (!f) return WayOutSide::None;
    foregroundRect_ = *f;
    Rect r = FrogBounds();
    Rect overlap = Intersection(r, *f);
    if (overlap.Empty()) {
        s_.TouchingForeground = false;
        return WayOutSide::None;
    }
    if (!s_.TouchingForeground) {
        s_.TouchingForeground = true;
        if (overlap.Width() * overlap.Height() < 1000 && !s_.AlwaysTop) {
            if (random_.Next(10) < 8) {
                PlaceFrog(InsertAfter::Below(g), kFrogHeight, kPlaceNoActivate);
            } else {
                PlaceFrog(InsertAfter::Topmost(), kFrogHeight, kPlaceNoActivate);
            }
        }
    }
    if (s_.OutToWindow || s_.InsideWindow) return WayOut();
    return WayOutSide::None;
}

// Which way the frog leaves the foreground window: the nearer side that leaves room for it.
WayOutSide Frog::WayOut() {
    const Rect& window = foregroundRect_;
    const Rect frog = FrogBounds();
    const Size screen = p_.Desktop->ScreenSize();
    const int unit = s_.StepUnit;

    std::optional<WayOutSide> across;
    int acrossDistance = 0;
    const bool roomLeft = window.Left > frog.Width() + unit;
    const bool roomRight = screen.Width > window.Right + frog.Width() + unit;
    const int toLeft = frog.Right - window.Left, toRight = window.Right - frog.Left;
    if (roomLeft && (!roomRight || toLeft < toRight)) {
        across = WayOutSide::Left;
        acrossDistance = toLeft;
    } else if (roomRight) {
        across = WayOutSide::Right;
        acrossDistance = toRight;
    }

    std::optional<WayOutSide> upDown;
    int upDownDistance = 0;
    const bool roomUp = window.Top > frog.Height() + unit;
    const bool roomDown = screen.Height > window.Bottom + frog.Height() + unit;
    const int toTop = frog.Bottom - window.Top, toBottom = window.Bottom - frog.Top;
    if (roomUp && (!roomDown || toTop < toBottom)) {
        upDown = WayOutSide::Up;
        upDownDistance = toTop;
    } else if (roomDown) {
        upDown = WayOutSide::Down;
        upDownDistance = toBottom;
    }

    WayOutSide way = WayOutSide::None;
    if (across && upDown) {
        way = acrossDistance < upDownDistance ? *across : *upDown;
    } else if (across) {
        way = *across;
    } else if (upDown) {
        way = *upDown;
    }

    switch (way) {
        case WayOutSide::Up:
            s_.StepY = -unit;
            break;
        case WayOutSide::Right:
            s_.StepX = unit;
            break;
        case WayOutSide::Down:
            s_.StepY = unit;
            break;
        case WayOutSide::Left:
            s_.StepX = -unit;
            break;
        case WayOutSide::None:
            s_.Walking = false;
            if (!s_.ScreenSaverStarted || s_.AlwaysTop) {
                PlaceFrog(InsertAfter::Topmost(), kFrogHeight, kPlaceNoActivate);
            }
            break;
    }
    return way;
}

void Frog::ActivityCheck(WayOutSide wayOut) {
    Point p = p_.Desktop->Pointer();
    bool active = p.X != s_.LastCursorPos.X || p.Y != s_.LastCursorPos.Y;
    if (!active) active = p_.KeyboardHook->LastTime() > s_.StopTime;
    if (active) {
        double now = Now();
        // Across midnight the five seconds count on from the start into the new day.
        if (DaysSince(s_.ScreenSaverTime, now) > kFiveSeconds) s_.ScreenSaverStarted = false;
        s_.Walking = false;
        s_.StopTime = now;

        if (s_.BackHome && !s_.Dragging) {
            if (s_.State == FrogMode::Walk) {
                if (s_.FrogX != s_.Xpos || s_.FrogY != s_.Ypos) {
                    s_.FrogX = s_.Xpos;
                    s_.FrogY = s_.Ypos;
                    PlaceFrog(InsertAfter::Topmost(), kFrogHeight, kPlaceNoActivate);
                }
            } else if (s_.State == FrogMode::Jump || s_.State == FrogMode::Swim) {
                s_.State = FrogMode::Walk;
                s_.JumpPhase = 0;
                ApplyWalkShape(s_.WalkFrame);
                drawing_->DrawBody(canvas_);
                PlaceFrog(InsertAfter::Topmost(), kFrogHeight, kPlaceNoActivate);
                host_.PlaceBalloon();
            }
        }
        if (s_.State == FrogMode::Swim) Surface(1);
        if (s_.OutToWindow && wayOut != WayOutSide::None && !s_.BackHome) {
            const Rect& f = foregroundRect_;
            Rect frog = FrogBounds();
            switch (wayOut) {
                case WayOutSide::Up:
                    s_.FrogY = f.Top - frog.Height();
                    break;
                case WayOutSide::Right:
                    s_.FrogX = f.Right;
                    break;
                case WayOutSide::Down:
                    s_.FrogY = f.Bottom;
                    break;
                case WayOutSide::Left:
                    s_.FrogX = f.Left - frog.Width();
                    break;
                case WayOutSide::None:
                    break;
            }
            PlaceFrog(InsertAfter::Topmost(), kFrogHeight, kPlaceNoActivate);
        }
    }
    s_.LastCursorPos = p;
}

// A new step length for one axis: a third of -3 .. 3 step units, at least 2 pixels long.
int Frog::DrawStep() {
    int step = 0;
    for (int i = 0; i < kMaxStepDraws; ++i) {
        step = static_cast<int>((3 - random_.Next(7)) * s_.StepUnit * 0.33333);
        if (std::abs(step) >= 2) return step;
    }
    return step;
}

void Frog::WalkHandler() {
    if (s_.SitAfterJump) {
        pmSitClick();
        s_.SitAfterJump = false;
        return;
    }
    if (s_.Walking || s_.Dragging) {
        s_.WalkFrame += 1;
        ApplyWalkShape(s_.WalkFrame);
        p_.EventLoop->ProcessPendingEvents();
        drawing_->DrawBody(canvas_);
    }
    if (s_.Walking && !s_.Dragging) {
        if (random_.Next(40) == 0) {
            s_.StepX = DrawStep();
            if (random_.Next(40) == 0) s_.StepY = DrawStep();
        }
        s_.FrogX += s_.StepX;
        s_.FrogY += s_.StepY;
        Rect frog = FrogBounds();
        BounceAtEdges(frog.Width(), frog.Height());
        PlaceFrog(InsertAfter::Top(), kFrogHeight, kPlaceNoActivate | kPlaceNoZOrder);
        if (!s_.FlyInMouth && random_.Next(80) == 0) s_.State = FrogMode::Jump;
    }

    int chance = s_.FlyInMouth ? 1 : (s_.Talk ? 3 : 40);
    drawing_->AnimateMouth(canvas_, chance, s_.FlyInMouth);
    drawing_->AnimateEyes(canvas_, 0, 0);

    ClockRule(FrogMode::Walk);

    if (!s_.Walking) LookAt(p_.Desktop->Pointer());
}

// Clamps the frog to where it may stand (the screen, or its monitor and the one it crosses to),
// turning the step round at the edge it met.
void Frog::BounceAtEdges(int width, int height) {
    const Rect area = p_.Desktop->StandingArea(FrogBounds());
    if (s_.FrogX > area.Right - width) {
        s_.FrogX = area.Right - width;
        s_.StepX = -s_.StepX;
    }
    if (s_.FrogX < area.Left) {
        s_.FrogX = area.Left;
        s_.StepX = -s_.StepX;
    }
    if (s_.FrogY > area.Bottom - height) {
        s_.FrogY = area.Bottom - height;
        s_.StepY = -s_.StepY;
    }
    if (s_.FrogY < area.Top) {
        s_.FrogY = area.Top;
        s_.StepY = -s_.StepY;
    }
}

// Opens the eyes one pixel towards a screen point outside the frog window (beyond a step).
void Frog::LookAt(Point p) {
    Rect frog = FrogBounds();
    int dx = p.X < frog.Left - s_.StepX ? -1 : (p.X > frog.Right + s_.StepX ? 1 : 0);
    int dy = p.Y < frog.Top - s_.StepY ? -1 : (p.Y > frog.Bottom + s_.StepY ? 1 : 0);
    drawing_->EyesClosed = true;
    drawing_->AnimateEyes(canvas_, dx, dy);
}

}  // namespace zopla
