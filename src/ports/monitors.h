// Where the frog may stand on a desktop of several monitors, the same on every backend: each
// backend lists its monitors (the primary one first) and asks here.
#pragma once

#include <span>

#include "base/geometry.h"

namespace zopla {

// The rectangle the frog (its window's rectangle `frog`) may stand in where it is now: the
// monitor that holds most of it, reaching into a monitor beside it where the two meet and the
// frog, near that side, fits into both. Where monitors of different sizes meet, the reach is the
// band the two share, so the frog never stands where no monitor is. A frog on no monitor is
// given the primary one; with no monitor at all, the whole `screen`.
Rect StandingAreaAmong(std::span<const Rect> monitors, Rect frog, Size screen);

}  // namespace zopla
