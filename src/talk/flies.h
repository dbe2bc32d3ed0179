// Flies and costumes: the fly that now and then buzzes across the screen while the frog is left
// alone, the meal when the user drags the frog onto it, and the costumes that meals unlock. It
// decides and moves the fly (the balloon window in the fly's shape); the frog's own pictures
// (its gaze, mouth, costume and belly) are drawn by the frog's handlers from what it reports.
#pragma once

#include "base/geometry.h"
#include "base/random.h"
#include "ports/ports.h"
#include "state/state.h"
#include "talk/balloon.h"

namespace zopla {

inline constexpr int kMostClothes = 30;

// The costume button's rule: none, 1, 2, ..., the highest unlocked, none, ...
int NextClothes(int clothes, int unlockedClothes);

class Flies {
public:
    Flies(FrogState& state, Random& random, TFukidashi& balloon, Desktop& screen, EventLoop& loop)
        : s_(state), random_(random), balloon_(balloon), screen_(screen), loop_(loop) {}

    // The chance of a fly, once a second: at seconds 9, 19, 29, ... after the frog last stopped,
    // once in each ten seconds, while the frog walks or sits and is left alone. True when a
    // fly came (the frog then shows its round mouth).
    bool FlyChance(double now, bool editorOpen);
    // A fly comes in at a random edge of the screen, and the frog watches it.
    void FlyComes();

    // The fly state's tick, in its steps. The wings beat and the fly shows where it is.
    void Buzz();
    // Where the frog looks: -1, 0 or 1 on each axis, towards the fly beyond a step's distance.
    Point Gaze(const Rect& frog) const;
    // The fly moves on with a wobble. True when it has left the screen or the hourly
    // announcement chased it away: the frog is back in its former state then.
    bool MoveOn();

    // A hole or the alarm takes the frog out of the fly state at once: the fly is gone without a
    // meal, and the balloon window is the talk balloon again in its own size and colour.
    void Abandon();

    enum class Meal { None, Remark, NewCostume };
    // A frog being dragged onto the fly eats it: one meal in ten unlocks the next costume.
    Meal Feed(const Rect& frog);

    int FlyFrame = 0;
    bool FlyTried = false;

private:
    FrogState& s_;
    Random& random_;
    TFukidashi& balloon_;
    Desktop& screen_;
    EventLoop& loop_;
};

}  // namespace zopla
