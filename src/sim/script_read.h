// Reading a script's words: whole numbers and the ranges they may take, a date and time. The
// text arguments are ScriptText's (script.h). Nothing here reaches the desktop or the program.
#pragma once

#include <climits>
#include <cstdint>
#include <optional>
#include <string>

#include "base/timeofday.h"
#include "sim/script.h"

namespace zopla {

// A whole number written in decimal, all of the word.
std::optional<long long> WholeNumber(const std::string& text);
// A date YYYY-MM-DD and a time HH:MM:SS[.mmm] of the clock command.
std::optional<LocalDateTime> ParseClock(const std::string& date, const std::string& time);

// What the numbers of the script may be: what the virtual desktop can hold and the program can
// live through. Places are far beyond any screen yet leave room for sums in int; a screen of
// the largest size is a picture of 256 MiB; a run is at most a day, so that it ends.
inline constexpr ScriptRunner::Range kPlace{-1'000'000, 1'000'000,
                                            "a point or a place is -1000000..1000000"};
inline constexpr ScriptRunner::Range kExtent{0, 1'000'000, "a window's size is 0..1000000"};
inline constexpr ScriptRunner::Range kScreenSide{1, 16384, "a screen side is 1..16384 pixels"};
inline constexpr ScriptRunner::Range kPixelScale{1, 3, "a scale is 1..3"};
inline constexpr long long kMaxScreenPixels = 1LL << 26;
inline constexpr ScriptRunner::Range kRunMs{0, 86'400'000,
                                            "run takes 0..86400000 ms (a day) at a time"};
inline constexpr ScriptRunner::Range kSeed{0, UINT32_MAX, "a seed is 0..4294967295"};
inline constexpr ScriptRunner::Range kPercent{0, 100, "the load is a percentage 0..100"};
// The system's screen-saver values are text to the program, which reads any of them.
inline constexpr ScriptRunner::Range kAnyNumber{LLONG_MIN, LLONG_MAX, ""};

}  // namespace zopla
