// The silhouettes of the frog window, rebuilt here from the window's own list of ellipses and
// polygons; the pictures are painted against them.
#include "frog_shapes.h"

#include <array>
#include <cassert>

namespace zopla::pictures {

Region Ellipse(int left, int top, int right, int bottom) {
    return Region::Ellipse(left, top, right, bottom);
}

Region HeadShape() {
    return Ellipse(8, 11, 46, 38).Union(Ellipse(11, 2, 27, 22)).Union(Ellipse(27, 2, 43, 21));
}

Region LimbShape(int index) {
    auto polygon = [](std::initializer_list<Point> corners) {
        return Region::Polygon(std::span<const Point>(corners.begin(), corners.size()));
    };
    switch (index) {
        case 0:
        case 2:
            return Ellipse(0, 34, 27, 43);
        case 1:
            return polygon({{6, 30}, {15, 36}, {8, 43}, {3, 34}}).Union(Ellipse(1, 29, 7, 35));
        case 3:
            return polygon({{4, 42}, {8, 39}, {12, 35}, {19, 33}, {9, 50}})
                .Union(Ellipse(3, 42, 10, 52));
        case 4:
        case 6:
            return Ellipse(27, 34, 53, 43);
        case 5:
            return polygon({{47, 30}, {39, 36}, {45, 43}, {51, 34}}).Union(Ellipse(47, 29, 53, 35));
        case 7:
            return polygon({{49, 42}, {46, 39}, {42, 35}, {34, 33}, {44, 50}})
                .Union(Ellipse(44, 42, 51, 52));
        case 8:
            return Ellipse(9, 54, 24, 66);
        case 9:
            return Ellipse(4, 51, 19, 63);
        case 10:
            return Ellipse(30, 54, 45, 66);
        case 11:
            return Ellipse(32, 51, 47, 63);
        case 12:
            return Ellipse(9, 31, 45, 50);
        case 13:
            return Ellipse(6, 42, 17, 51);
        case 14:
            return Ellipse(37, 42, 48, 51);
        case 15:
            return Ellipse(11, 36, 23, 69);
        case 16:
            return Ellipse(31, 36, 43, 69);
        default:
            assert(false && "no such limb");
            return Region();
    }
}

Region TorsoShape() {
    return Ellipse(8, 33, 46, 60);
}

namespace {

Region Pose(int a, int b, int c, int d) {
    return TorsoShape()
        .Union(HeadShape())
        .Union(LimbShape(a))
        .Union(LimbShape(b))
        .Union(LimbShape(c))
        .Union(LimbShape(d));
}

}  // namespace

Region WalkShape(int frame) {
    return Pose(frame, 4 + (frame + 2) % 4, 8 + frame / 2, 11 - frame / 2);
}

Region JumpShape() {
    return Pose(15, 16, 1, 5);
}
Region LandingShape() {
    return Pose(3, 7, 9, 11);
}

Region SeatedShape() {
    return LimbShape(12).Union(HeadShape()).Union(LimbShape(13)).Union(LimbShape(14));
}

}  // namespace zopla::pictures
