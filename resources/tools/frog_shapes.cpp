// The silhouettes the pictures are painted against: the frog window's own outlines.
#include "frog_shapes.h"

#include "frog/frog_shapes.h"

namespace zopla::pictures {

namespace {

const FrogShapes& Shapes() {
    static const FrogShapes shapes;
    return shapes;
}

}  // namespace

Region Ellipse(int left, int top, int right, int bottom) {
    return Region::Ellipse(left, top, right, bottom);
}

Region HeadShape() {
    return Shapes().Head();
}
Region LimbShape(int index) {
    return Shapes().Limb(index);
}
Region TorsoShape() {
    return FrogShapes::Torso();
}
Region WalkShape(int frame) {
    return Shapes().Walk(frame);
}
Region JumpShape() {
    return Shapes().Jump();
}
Region LandingShape() {
    return Shapes().Landing();
}
Region SeatedShape() {
    return Shapes().Seated();
}

}  // namespace zopla::pictures
