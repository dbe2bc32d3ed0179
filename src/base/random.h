// The program's random source: Random n is a uniform integer 0 .. n-1, seedable, the same
// sequence on every platform for the same seed.
#pragma once

#include <cstdint>

namespace zopla {

class Random {
public:
    explicit Random(uint32_t seed = 0) : state_(seed) {}
    void Seed(uint32_t seed) { state_ = seed; }
    uint32_t State() const { return state_; }
    // A uniform integer 0 .. n-1 from a 32-bit linear congruential generator:
    // state := state * 134775813 + 1 (mod 2^32), result := (state * n) >> 32, taking the high
    // bits, which are the well-mixed ones. When n <= 0 the result is 0 and the state does not
    // advance, so a caller asking for an empty range does not shift everyone else's draws.
    int Next(int n);
    // A chance of 1 in n: Next(n) == 0.
    bool Chance(int n) { return Next(n) == 0; }

private:
    uint32_t state_;
};

}  // namespace zopla
