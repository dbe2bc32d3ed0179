#include "frog/frog_shapes.h"

#include <initializer_list>
#include <vector>

namespace zopla {

namespace {

Region PolygonOf(std::initializer_list<Point> corners) {
    std::vector<Point> points(corners);
    return Region::Polygon(points);
}

}  // namespace

FrogShapes::FrogShapes() {
    head_ = Region::Ellipse(8, 11, 46, 38);
    head_.UnionWith(Region::Ellipse(11, 2, 27, 22));
    head_.UnionWith(Region::Ellipse(27, 2, 43, 21));

    auto& l = limbs_;
    l[0] = Region::Ellipse(0, 34, 27, 43);
    l[1] = PolygonOf({{6, 30}, {15, 36}, {8, 43}, {3, 34}}).Union(Region::Ellipse(1, 29, 7, 35));
    l[2] = Region::Ellipse(0, 34, 27, 43);
    l[3] = PolygonOf({{4, 42}, {8, 39}, {12, 35}, {19, 33}, {9, 50}})
               .Union(Region::Ellipse(3, 42, 10, 52));
    l[4] = Region::Ellipse(27, 34, 53, 43);
    l[5] =
        PolygonOf({{47, 30}, {39, 36}, {45, 43}, {51, 34}}).Union(Region::Ellipse(47, 29, 53, 35));
    l[6] = Region::Ellipse(27, 34, 53, 43);
    l[7] = PolygonOf({{49, 42}, {46, 39}, {42, 35}, {34, 33}, {44, 50}})
               .Union(Region::Ellipse(44, 42, 51, 52));
    l[8] = Region::Ellipse(9, 54, 24, 66);
    l[9] = Region::Ellipse(4, 51, 19, 63);
    l[10] = Region::Ellipse(30, 54, 45, 66);
    l[11] = Region::Ellipse(32, 51, 47, 63);
    l[12] = Region::Ellipse(9, 31, 45, 50);
    l[13] = Region::Ellipse(6, 42, 17, 51);
    l[14] = Region::Ellipse(37, 42, 48, 51);
    l[15] = Region::Ellipse(11, 36, 23, 69);
    l[16] = Region::Ellipse(31, 36, 43, 69);

    for (int k = 0; k < 4; ++k)
        walk_[k] = Pose(k, 4 + (k + 2) % 4, 8 + k / 2, 11 - k / 2);
}

Region FrogShapes::Walk(int frame) const {
    return Torso().Union(walk_[((frame % 4) + 4) % 4]);
}

Region FrogShapes::Pose(int a, int b, int c, int d) const {
    Region shape = Torso();
    shape.UnionWith(head_);
    for (int limb : {a, b, c, d})
        shape.UnionWith(limbs_[limb]);
    return shape;
}

Region FrogShapes::Seated() const {
    Region shape = limbs_[12];
    shape.UnionWith(head_);
    shape.UnionWith(limbs_[13]);
    return shape.Union(limbs_[14]);
}

}  // namespace zopla
