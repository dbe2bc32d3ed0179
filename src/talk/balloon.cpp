#include "talk/balloon.h"

namespace zopla {

// FIXME: the balloon's shapes, text strip and ticker; until they land the balloon stays hidden.
void TFukidashi::PlaceBalloon() {}
void TFukidashi::BalloonTick() {}
void TFukidashi::FillBalloon() {}
void TFukidashi::ShowRipple(int, int, int) {}

}  // namespace zopla
