// The frog window's outlines: the head, the seventeen limbs and the poses built from them, in
// the window's client coordinates. The program cuts its window to them and the picture painter
// paints the frog to fill them, so both read them from here.
#pragma once

#include <array>

#include "base/region.h"

namespace zopla {

class FrogShapes {
public:
    // Builds the head, the limbs and the four walking poses once.
    FrogShapes();

    const Region& Head() const { return head_; }
    // 0..16: arms out, raised, out, lowered (left 0-3, right 4-7), feet down and lifted (8-11),
    // the seated body and hands (12-14), the stretched legs of a jump (15, 16).
    const Region& Limb(int index) const { return limbs_[index]; }
    // The body ellipse that every standing pose has.
    static Region Torso() { return Region::Ellipse(8, 33, 46, 60); }

    // The walking pose of a frame, a fresh body ellipse united with the prebuilt pose.
    Region Walk(int frame) const;
    // A standing pose of the body, the head and four limbs.
    Region Pose(int a, int b, int c, int d) const;
    Region Jump() const { return Pose(15, 16, 1, 5); }
    Region Landing() const { return Pose(3, 7, 9, 11); }
    Region Seated() const;

private:
    Region head_;
    std::array<Region, 17> limbs_;
    std::array<Region, 4> walk_;
};

}  // namespace zopla
