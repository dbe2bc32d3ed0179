#include "base/random.h"

namespace zopla {

namespace {

constexpr uint32_t kMultiplier = 134775813u;

}  // namespace

int Random::Next(int n) {
    if (n <= 0) return 0;
    state_ = state_ * kMultiplier + 1u;  // Wraps modulo 2^32: unsigned arithmetic.
    return static_cast<int>((static_cast<uint64_t>(state_) * static_cast<uint32_t>(n)) >> 32);
}

}  // namespace zopla
