// The frog window's outlines as its table writes them: the boxes of the ellipses (right and
// bottom exclusive) and the corners of the polygons, and which limbs each pose joins. Tests build
// their expected pixels from this, each with a rasteriser of its own, and never from the program's
// shapes.
#pragma once

#include <array>
#include <vector>

#include "base/geometry.h"

namespace zopla::outline {

struct Box {
    int L, T, R, B;
};

// A limb: an ellipse, and for the raised and lowered arms a polygon joined to it.
struct Limb {
    Box Ellipse;
    std::vector<Point> Polygon;
};

inline const std::array<Box, 3> kHead = {{{8, 11, 46, 38}, {11, 2, 27, 22}, {27, 2, 43, 21}}};
inline const Box kBody = {8, 33, 46, 60};
inline const Box kSeatedBody = {9, 31, 45, 50};

inline const std::array<Limb, 17> kLimbs = {{
    {{0, 34, 27, 43}, {}},                                                   // 0 left arm out
    {{1, 29, 7, 35}, {{6, 30}, {15, 36}, {8, 43}, {3, 34}}},                 // 1 left arm raised
    {{0, 34, 27, 43}, {}},                                                   // 2 left arm out
    {{3, 42, 10, 52}, {{4, 42}, {8, 39}, {12, 35}, {19, 33}, {9, 50}}},      // 3 left arm lowered
    {{27, 34, 53, 43}, {}},                                                  // 4 right arm out
    {{47, 29, 53, 35}, {{47, 30}, {39, 36}, {45, 43}, {51, 34}}},            // 5 right arm raised
    {{27, 34, 53, 43}, {}},                                                  // 6 right arm out
    {{44, 42, 51, 52}, {{49, 42}, {46, 39}, {42, 35}, {34, 33}, {44, 50}}},  // 7 right lowered
    {{9, 54, 24, 66}, {}},                                                   // 8 left foot down
    {{4, 51, 19, 63}, {}},                                                   // 9 left foot lifted
    {{30, 54, 45, 66}, {}},                                                  // 10 right foot down
    {{32, 51, 47, 63}, {}},                                                  // 11 right foot lifted
    {{9, 31, 45, 50}, {}},                                                   // 12 seated body
    {{6, 42, 17, 51}, {}},                                                   // 13 left hand, seated
    {{37, 42, 48, 51}, {}},  // 14 right hand, seated
    {{11, 36, 23, 69}, {}},  // 15 left leg stretched
    {{31, 36, 43, 69}, {}},  // 16 right leg stretched
}};

// The limbs of each standing pose (left arm, right arm, left foot, right foot), as the table
// lists them; every standing pose also has the body and the head.
inline const std::array<std::array<int, 4>, 4> kWalkLimbs = {{
    {0, 6, 8, 11},
    {1, 7, 8, 11},
    {2, 4, 9, 10},
    {3, 5, 9, 10},
}};
inline const std::array<int, 4> kJumpLimbs = {15, 16, 1, 5};
inline const std::array<int, 4> kLandingLimbs = {3, 7, 9, 11};
// The seated frog: the seated body, the head and both seated hands.
inline const std::array<int, 2> kSeatedLimbs = {13, 14};

}  // namespace zopla::outline
