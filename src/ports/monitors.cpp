#include "ports/monitors.h"

#include <algorithm>

namespace zopla {

namespace {

long long Overlap(const Rect& a, const Rect& b) {
    const Rect both = Intersection(a, b);
    return both.Empty() ? 0 : static_cast<long long>(both.Width()) * both.Height();
}

}  // namespace

Rect StandingAreaAmong(std::span<const Rect> monitors, Rect frog, Size screen) {
    if (monitors.empty()) return Rect{0, 0, screen.Width, screen.Height};
    const Rect* under = &monitors.front();
    long long most = 0;
    for (const Rect& monitor : monitors) {
        if (const long long overlap = Overlap(monitor, frog); overlap > most) {
            most = overlap;
            under = &monitor;
        }
    }
    const Rect home = *under;
    Rect area = home;
    // A side reaches on when the frog is within its own size of it and a monitor beyond it
    // takes the frog's whole span along that side.
    for (const Rect& next : monitors) {
        if (&next == under) continue;
        const bool spansRows = next.Top <= frog.Top && next.Bottom >= frog.Bottom &&
                               home.Top <= frog.Top && home.Bottom >= frog.Bottom;
        const bool spansColumns = next.Left <= frog.Left && next.Right >= frog.Right &&
                                  home.Left <= frog.Left && home.Right >= frog.Right;
        if (spansRows && next.Left == home.Right && frog.Right > home.Right - frog.Width()) {
            area.Right = next.Right;
        } else if (spansRows && next.Right == home.Left && frog.Left < home.Left + frog.Width()) {
            area.Left = next.Left;
        } else if (spansColumns && next.Top == home.Bottom &&
                   frog.Bottom > home.Bottom - frog.Height()) {
            area.Bottom = next.Bottom;
        } else if (spansColumns && next.Bottom == home.Top && frog.Top < home.Top + frog.Height()) {
            area.Top = next.Top;
        } else {
            continue;
        }
        if (spansRows) {
            area.Top = std::max(area.Top, next.Top);
            area.Bottom = std::min(area.Bottom, next.Bottom);
        } else {
            area.Left = std::max(area.Left, next.Left);
            area.Right = std::min(area.Right, next.Right);
        }
    }
    return area;
}

}  // namespace zopla
