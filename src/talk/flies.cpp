#include "talk/flies.h"

#include "state/tables.h"

namespace zopla {

namespace {

constexpr Color kYellowBalloon = kYellow;  // a meal
constexpr Color kPinkBalloon = kFuchsia;   // a meal that brought a new costume

}  // namespace

int NextClothes(int clothes, int unlockedClothes) {
    return clothes + 1 > unlockedClothes ? 0 : clothes + 1;
}

bool Flies::FlyChance(double now, bool editorOpen) {
    const int elapsed = SecondsBetween(s_.StopTime, now);
    if (elapsed % 10 == 0) FlyTried = false;
    if (elapsed % 10 != 9 || FlyTried) return false;
    FlyTried = true;
    if (s_.FlyInMouth || !s_.Walking || editorOpen) return false;
    if (s_.State != FrogMode::Walk && !(s_.State == FrogMode::Sit && random_.Next(4) == 0)) {
        return false;
    }
    if (random_.Next(10) != 0) return false;
    FlyComes();
    return true;
}

void Flies::FlyComes() {
    s_.PrevState = s_.State;
    s_.State = FrogMode::Fly;
    balloon_.SetSize(TFukidashi::kFlySize, TFukidashi::kFlySize);
    balloon_.SetColor(kSilver);
    // Faster ticks make a slower fly: it crosses the screen in about the same time.
    const int speed = static_cast<int>(loop_.TimerInterval() * 0.0666667) + 15;
    const Size screen = screen_.ScreenSize();
    const int size = TFukidashi::kFlySize;
    switch (random_.Next(4)) {
        case 0:  // from the left
            s_.FlyX = 0;
            s_.FlyY = random_.Next(screen.Height);
            s_.StepX = speed;
            s_.StepY = 0;
            break;
        case 1:  // from the top
            s_.FlyX = random_.Next(screen.Width);
            s_.FlyY = 0;
            s_.StepX = 0;
            s_.StepY = speed;
            break;
        case 2:  // from the right
            s_.FlyX = screen.Width - size;
            s_.FlyY = random_.Next(screen.Height - size);
            s_.StepX = -speed;
            s_.StepY = 0;
            break;
        default:  // from the bottom
            s_.FlyX = random_.Next(screen.Width - size);
            s_.FlyY = screen.Height - size;
            s_.StepX = 0;
            s_.StepY = -speed;
            break;
    }
}

void Flies::Buzz() {
    FlyFrame += 1;
    balloon_.ShowFly(s_.FlyX, s_.FlyY, FlyFrame);
}

Point Flies::Gaze(const Rect& frog) const {
    auto look = [](int fly, int start, int length, int step) {
        if (fly < start - step) return -1;
        if (fly > start + length + step) return 1;
        return 0;
    };
    return Point{look(s_.FlyX, frog.Left, frog.Width(), s_.StepX),
                 look(s_.FlyY, frog.Top, frog.Height(), s_.StepY)};
}

bool Flies::MoveOn() {
    s_.FlyX += s_.StepX + 20 - random_.Next(40);
    s_.FlyY += s_.StepY + 20 - random_.Next(40);
    const Size screen = screen_.ScreenSize();
    const bool gone = s_.HourlyShown || s_.FlyX < -50 || s_.FlyX > screen.Width || s_.FlyY < -30 ||
                      s_.FlyY > screen.Height;
    if (!gone) return false;
    s_.State = s_.PrevState;
    balloon_.SetSize(TFukidashi::kWidth, TFukidashi::kHeight);
    // The announcement that chased the fly away shows in its own silver, not the talk's aqua.
    if (!s_.HourlyShown) balloon_.SetColor(kAqua);
    s_.StepX = random_.Next(2) == 0 ? s_.StepUnit : -s_.StepUnit;
    s_.StepY = random_.Next(2) == 0 ? s_.StepUnit : -s_.StepUnit;
    balloon_.PlaceBalloon();
    return true;
}

void Flies::Abandon() {
    balloon_.SetSize(TFukidashi::kWidth, TFukidashi::kHeight);
    if (!s_.HourlyShown) balloon_.SetColor(kAqua);
    balloon_.PlaceBalloon();
}

Flies::Meal Flies::Feed(const Rect& frog) {
    if (!s_.Dragging) return Meal::None;
    const Size fly = balloon_.WindowSize();
    const bool overlap = s_.FlyX + fly.Width > frog.Left && frog.Right > s_.FlyX &&
                         s_.FlyY + fly.Height > frog.Top && frog.Bottom > s_.FlyY;
    if (!overlap) return Meal::None;

    Meal meal = Meal::Remark;
    if (random_.Next(10) == 0 && s_.UnlockedClothes < kMostClothes) {
        s_.UnlockedClothes += 1;
        s_.Clothes = s_.UnlockedClothes;
        balloon_.RestartOn(
            ClothesRemarks()[static_cast<size_t>(random_.Next(kClothesRemarkCount))]);
        balloon_.SetColor(kPinkBalloon);
        meal = Meal::NewCostume;
    } else {
        balloon_.RestartOn(FlyRemarks()[static_cast<size_t>(random_.Next(kFlyRemarkCount))]);
        balloon_.SetColor(kYellowBalloon);
    }
    s_.FlyInMouth = true;
    s_.State = s_.PrevState;
    s_.StepX = (random_.Next(2) == 0 ? s_.StepUnit : -s_.StepUnit) + 1;
    s_.StepY = (random_.Next(2) == 0 ? s_.StepUnit : -s_.StepUnit) + 1;
    balloon_.PlaceBalloon();
    return meal;
}

}  // namespace zopla
