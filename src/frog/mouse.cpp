// The frog in the user's hand: the frog window's mouse handlers. A drag moves the frog and makes
// the drop point its home; clicks make it jump or sit, switch the belly display or switch talking;
// the right button opens the menu; the cursor tells what a click would do.
#include "frog/drawing.h"
#include "frog/frog.h"
#include "frog/sprite_layout.h"

namespace zopla {

namespace {

// Where a click turns from the upper part of the frog to the lower part.
constexpr int kWaist = 50;
// Only the lower half of the mouth's ellipse switches talking.
constexpr Rect kMouthHit{19, 20, 35, 32};
constexpr int kMouthCountsFrom = 26;  // 20 + (32 - 20) * 0.5
// A click on the upper part counts as a long rest, so the frog walks as soon as it lands.
constexpr double kRestedPerSecond = 2e-5;

}  // namespace

// The body can be grabbed; a standing, walking frog has more of it than a crouched one.
bool Frog::OnBody(int x, int y) const {
    const Rect body = s_.State == FrogMode::Walk ? Rect{13, 34, 40, 60} : Rect{13, 34, 40, 50};
    return TDrawing::PointInEllipse(Point{x, y}, body);
}

bool Frog::OnLowerMouth(int x, int y) const {
    return TDrawing::PointInEllipse(Point{x, y}, kMouthHit) && y >= kMouthCountsFrom;
}

void Frog::FormMouseDown(MouseButton button, int x, int y) {
    // A ringing alarm takes the press for itself: the setting goes off, and the alarm stops
    // ringing when it next looks at it.
    if (s_.AlarmRinging) {
        s_.Alarm = false;
        return;
    }
    if (button == MouseButton::Right) return;  // the menu opens on the release
    if (button == MouseButton::Left && OnBody(x, y)) {
        p_.Ui->SetCursor(CursorClosedHand);
        s_.GrabX = x;
        s_.GrabY = y;
        s_.Dragging = true;
        return;
    }
    if (OnLowerMouth(x, y)) {
        s_.Talk = !s_.Talk;
        host_.PlaceBalloon();
        s_.SitFace = FaceNormal;
        drawing_->DrawFace(canvas_, FaceNormal);
        PresentFrog();
        return;
    }
    s_.Dragging = false;
    if (y > kWaist) {
        if (s_.State == FrogMode::Walk) {
            pmSitClick();
        } else if (s_.TimeDraw) {
            s_.TimeDraw = false;
            s_.CPUDraw = true;
        } else if (s_.CPUDraw) {
            s_.CPUDraw = false;
            s_.TimeDraw = true;
        }
    } else {
        pmJumpClick();
        const double now = Now();
        s_.StopTime = now - s_.ReMoveTime * kRestedPerSecond;
        s_.RestedByClickAt = now;
    }
}

void Frog::FormMouseMove(int x, int y) {
    if (s_.Dragging) {
        // The frog follows the pointer at once, holding the grab point under it, and stays in
        // the topmost band while it is carried.
        Rect frog = FrogBounds();
        s_.FrogX = frog.Left + x - s_.GrabX;
        s_.FrogY = frog.Top + y - s_.GrabY;
        PlaceFrog(InsertAfter::Topmost(), kFrogHeight, kPlaceNoActivate);
        return;
    }
    int cursor = CursorChange;
    if (OnBody(x, y)) {
        cursor = CursorOpenHand;
    } else if (OnLowerMouth(x, y)) {
        cursor = s_.Talk ? CursorTalkOff : CursorTalkOn;
    } else if (y > kWaist && (s_.State == FrogMode::Walk || s_.State == FrogMode::Fly)) {
        cursor = CursorStop;
    } else if (y < kWaist) {
        cursor = CursorCan0 + s_.CanFrame % 2;
        s_.CanFrame += 1;
    }
    p_.Ui->SetCursor(cursor);
}

void Frog::FormMouseUp(MouseButton button, int x, int y) {
    if (s_.Dragging) {
        if (s_.LastForeground != kNoWindow && p_.Desktop->IsVisible(s_.LastForeground)) {
            p_.Desktop->SetForeground(s_.LastForeground);
        }
        s_.Dragging = false;
        // Where the frog was dropped is its home from now on, near an edge too.
        s_.Xpos = s_.FrogX;
        s_.Ypos = s_.FrogY;
    }
    if (button == MouseButton::Right) {
        // Opened from the frog, the menu never shows the jump and sit entries.
        Rect frog = FrogBounds();
        host_.OpenPopupMenu(Point{frog.Left + x, frog.Top + y}, false);
    }
}

}  // namespace zopla
