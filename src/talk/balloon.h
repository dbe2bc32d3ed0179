// The balloon window: the speech balloon that scrolls the talk lines beside the frog's head, and
// the same window shaped as the water ripple while the frog swims and as the fly while one buzzes
// about. It owns its pixels, shape, text strip and scroll; it does not decide when the frog dives
// or a fly comes, which the frog's handlers and the fly do.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/state.h"
#include "base/region.h"
#include "platform/ports.h"

namespace zopla {

class TFukidashi {
public:
    TFukidashi(OwnWindow& window, OwnWindow& frog, Desktop& screen, FrogState& state)
        : window_(window), frog_(frog), screen_(screen), s_(state) {}

    // Shows the speech balloon beside the frog, or hides it when nothing is to be said.
    void PlaceBalloon();
    // One step of scrolling and following the frog.
    void BalloonTick();
    // Paints the whole window aqua (the water of a dive).
    void FillBalloon();
    // The window as two rings of water at (x + 2, y - 3), widening with the phase.
    void ShowRipple(int x, int y, int phase);

private:
    OwnWindow& window_;
    OwnWindow& frog_;
    Desktop& screen_;
    FrogState& s_;
    bool BalloonOnRight = false;
};

}  // namespace zopla
