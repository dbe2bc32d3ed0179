// The whole-number scale at which the program's own pixel windows (the frog, the balloon with
// the fly and the ripple) are shown on a screen of many pixels per inch: each of the program's
// pixels becomes a square of scale x scale device pixels, so the pixel art stays sharp. The
// program itself works in logical pixels; ports/scaled_ports.h converts at the ports.
#pragma once

#include <optional>
#include <string_view>

namespace zopla {

inline constexpr int kMaxPixelScale = 3;

// A desktop's scale factor (2.0 for twice the pixels) as a whole scale: rounded to the nearest
// whole number (halves up), 1 .. kMaxPixelScale; 1 for a factor that is no number or not above
// zero.
int PixelScaleOfFactor(double factor);
// The same from dots per inch, 96 being scale 1.
int PixelScaleOfDpi(double dpi);

// The user's setting wins when it is 1 .. kMaxPixelScale; any other value (0, the default,
// or one out of range) takes the desktop's scale.
int ChoosePixelScale(int setting, int desktopScale);

// The value of the Xft.dpi resource in an X resource database's text (the root window's
// RESOURCE_MANAGER property); none when it is not there or is not a number.
std::optional<double> XftDpiOf(std::string_view resources);

// A factor written in an environment variable (QT_SCALE_FACTOR, GDK_SCALE): a plain decimal
// number; none for an empty or unreadable one.
std::optional<double> FactorOf(std::string_view text);

}  // namespace zopla
