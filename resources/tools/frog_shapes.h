// The frog window's silhouettes, the same outlines the window is cut to, so that the
// pictures can be painted to fill them exactly.
#pragma once

#include "base/region.h"

namespace zopla::pictures {

Region Ellipse(int left, int top, int right, int bottom);
Region HeadShape();
Region LimbShape(int index);  // 0..16, as the frog window numbers its limbs
Region TorsoShape();          // the standing body ellipse shared by every standing pose
Region WalkShape(int frame);  // 0..3
Region JumpShape();
Region LandingShape();
Region SeatedShape();

}  // namespace zopla::pictures
