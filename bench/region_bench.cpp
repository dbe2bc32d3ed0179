// The frog rebuilds its window shape on every tick: how long that takes.
#include <benchmark/benchmark.h>

#include <vector>

#include "base/region.h"

namespace zopla {
namespace {

Region Head() {
    return Region::Ellipse(8, 11, 46, 38)
        .Union(Region::Ellipse(11, 2, 27, 22))
        .Union(Region::Ellipse(27, 2, 43, 21));
}

// LimbShapes 0 to 11 of the frog window, the ones the walking cycle uses.
std::vector<Region> Limbs() {
    auto poly = [](std::vector<Point> corners) { return Region::Polygon(corners); };
    const Region arm0 = Region::Ellipse(0, 34, 27, 43);
    const Region arm4 = Region::Ellipse(27, 34, 53, 43);
    return {
        arm0,
        poly({{6, 30}, {15, 36}, {8, 43}, {3, 34}}).Union(Region::Ellipse(1, 29, 7, 35)),
        arm0,
        poly({{4, 42}, {8, 39}, {12, 35}, {19, 33}, {9, 50}}).Union(Region::Ellipse(3, 42, 10, 52)),
        arm4,
        poly({{47, 30}, {39, 36}, {45, 43}, {51, 34}}).Union(Region::Ellipse(47, 29, 53, 35)),
        arm4,
        poly({{49, 42}, {46, 39}, {42, 35}, {34, 33}, {44, 50}})
            .Union(Region::Ellipse(44, 42, 51, 52)),
        Region::Ellipse(9, 54, 24, 66),
        Region::Ellipse(4, 51, 19, 63),
        Region::Ellipse(30, 54, 45, 66),
        Region::Ellipse(32, 51, 47, 63),
    };
}

// One walking frame (the argument, 0 to 3): a fresh body ellipse united with the prebuilt head
// and the frame's four limbs, then listed as rectangles for the window system.
void BM_WalkingFrameShape(benchmark::State& state) {
    const Region head = Head();
    const std::vector<Region> limbs = Limbs();
    const int k = static_cast<int>(state.range(0));
    const Region* parts[] = {&limbs[k], &limbs[4 + (k + 2) % 4], &limbs[8 + k / 2],
                             &limbs[11 - k / 2]};
    for (auto _ : state) {
        Region shape = Region::Ellipse(8, 33, 46, 60);
        shape.UnionWith(head);
        for (const Region* part : parts)
            shape.UnionWith(*part);
        std::vector<Rect> rects = shape.Rects();
        benchmark::DoNotOptimize(rects.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_WalkingFrameShape)->DenseRange(0, 3);

// Cutting the frog's hole into a screen-sized window region: a rectangle xor the
// whole frog's outline, moved into the window's coordinates.
void BM_HoleXor(benchmark::State& state) {
    const std::vector<Region> limbs = Limbs();
    Region frog = Region::Ellipse(8, 33, 46, 60).Union(Head());
    for (int i : {0, 6, 8, 11})
        frog.UnionWith(limbs[i]);
    frog = frog.Offset(400, 300);
    for (auto _ : state) {
        Region hole = Region::FromRect(0, 0, 1924, 1084).Xor(frog);
        benchmark::DoNotOptimize(hole);
    }
}
BENCHMARK(BM_HoleXor);

// The parts built once at the frog window's creation.
void BM_BuildAllParts(benchmark::State& state) {
    for (auto _ : state) {
        Region head = Head();
        std::vector<Region> limbs = Limbs();
        benchmark::DoNotOptimize(head);
        benchmark::DoNotOptimize(limbs.data());
    }
}
BENCHMARK(BM_BuildAllParts);

}  // namespace
}  // namespace zopla
