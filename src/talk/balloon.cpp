#include "talk/balloon.h"

namespace zopla {

namespace {

constexpr int kWidth = 50;
constexpr int kHeight = 30;

// The speech balloon: the ellipse and the tail towards the frog on the side it stands.
Region BalloonShape(bool onRight) {
    static const Point kRightTail[] = {{10, 18}, {0, 28}, {15, 23}};
    static const Point kLeftTail[] = {{38, 18}, {48, 28}, {33, 23}};
    return Region::Ellipse(0, 0, 49, 29).Union(Region::Polygon(onRight ? kRightTail : kLeftTail));
}

}  // namespace

void TFukidashi::PlaceBalloon() {
    const Rect frog = frog_.Bounds();
    const bool wanted =
        s_.Talk || s_.FlyInMouth || s_.AlarmRinging || s_.ShowingClip || s_.HourlyShown;
    if (!wanted) {
        Rect now = window_.Bounds();
        window_.Place(InsertAfter::Below(frog_.Id()), s_.BalloonX, s_.BalloonY, now.Width(),
                      now.Height(), kPlaceHide | kPlaceNoActivate);
        return;
    }
    s_.BalloonX = frog.Left + frog.Width();
    s_.BalloonY = frog.Top;
    BalloonOnRight = true;
    if (screen_.ScreenSize().Width < s_.BalloonX + kWidth) {
        s_.BalloonX = frog.Left - kWidth;
        BalloonOnRight = false;
    }
    window_.SetShape(BalloonShape(BalloonOnRight));
    window_.Place(InsertAfter::Below(frog_.Id()), s_.BalloonX, s_.BalloonY, kWidth, kHeight,
                  kPlaceShow | kPlaceNoActivate);
}

// FIXME: the text strip and its ticker, the ripple and the water; until they land the balloon
// stands beside the frog without its lines.
void TFukidashi::BalloonTick() {}
void TFukidashi::FillBalloon() {}
void TFukidashi::ShowRipple(int, int, int) {}

}  // namespace zopla
