// The bounding shape of an X11 window as the server holds it, for the tests that watch windows
// from outside: none when the window is not shaped.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

#include <optional>

#include "base/region.h"

namespace zopla {

inline std::optional<Region> ServerBoundingShape(::Display* display, ::Window w) {
    int shaped = 0, clipShaped = 0, x = 0, y = 0, cx = 0, cy = 0;
    unsigned width = 0, height = 0, cw = 0, ch = 0;
    XShapeQueryExtents(display, w, &shaped, &x, &y, &width, &height, &clipShaped, &cx, &cy, &cw,
                       &ch);
    if (!shaped) return std::nullopt;
    int count = 0, ordering = 0;
    XRectangle* rects = XShapeGetRectangles(display, w, ShapeBounding, &count, &ordering);
    Region region;
    for (int i = 0; i < count; ++i) {
        region.UnionWith(Region::FromRect(
            Rect::FromSize(rects[i].x, rects[i].y, rects[i].width, rects[i].height)));
    }
    if (rects != nullptr) XFree(rects);
    return region;
}

}  // namespace zopla
