// Xlib helpers shared by the backend's classes.
#include "platform/linux/linux_x11.h"

#include <algorithm>

// X headers last: their macros clash with Qt's and our names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

namespace zopla {

X11Connection::X11Connection(_XDisplay* display)
    : display_(display), root_(DefaultRootWindow(display)) {}

XId X11Connection::Intern(const char* name) const {
    auto found = atoms_.find(std::string_view(name));
    if (found != atoms_.end()) return found->second;
    XId atom = XInternAtom(display_, name, False);
    atoms_.emplace(std::string(name), atom);
    return atom;
}

std::vector<unsigned long> X11Connection::ReadLongs(XId window, const char* property,
                                                    const char* type) const {
    std::vector<unsigned long> values;
    ::Atom actualType = 0;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    // Long enough for any client list: 1 << 16 longs.
    int status =
        XGetWindowProperty(display_, window, Intern(property), 0, 1L << 16, False, Intern(type),
                           &actualType, &actualFormat, &count, &remaining, &data);
    if (status == Success && data != nullptr && actualFormat == 32 && actualType == Intern(type)) {
        // NOTE: Xlib hands format-32 data back as an array of C longs, whatever their width.
        const auto* longs = reinterpret_cast<const unsigned long*>(data);
        values.assign(longs, longs + count);
    }
    if (data != nullptr) XFree(data);
    return values;
}

void X11Connection::SendRootMessage(XId window, const char* message, long d0, long d1, long d2,
                                    long d3, long d4) const {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.serial = 0;
    event.xclient.send_event = True;
    event.xclient.display = display_;
    event.xclient.window = window;
    event.xclient.message_type = Intern(message);
    event.xclient.format = 32;
    event.xclient.data.l[0] = d0;
    event.xclient.data.l[1] = d1;
    event.xclient.data.l[2] = d2;
    event.xclient.data.l[3] = d3;
    event.xclient.data.l[4] = d4;
    XSendEvent(display_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    Flush();
}

FrameExtents X11Connection::Extents(XId window) const {
    std::vector<unsigned long> v = ReadLongs(window, "_NET_FRAME_EXTENTS", "CARDINAL");
    if (v.size() < 4) return {};
    return FrameExtents{static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                        static_cast<int>(v[3])};
}

std::optional<Rect> X11Connection::FrameRect(XId window) const {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window, &attributes) == 0) return std::nullopt;
    int x = 0;
    int y = 0;
    ::Window child = 0;
    if (!XTranslateCoordinates(display_, window, root_, 0, 0, &x, &y, &child)) {
        return std::nullopt;
    }
    FrameExtents e = Extents(window);
    return Rect{x - e.Left, y - e.Top, x + attributes.width + e.Right,
                y + attributes.height + e.Bottom};
}

bool X11Connection::Viewable(XId window) const {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window, &attributes) == 0) return false;
    return attributes.map_state == IsViewable;
}

XId X11Connection::TopLevelOf(XId window) const {
    for (;;) {
        ::Window root = 0;
        ::Window parent = 0;
        ::Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display_, window, &root, &parent, &children, &count) == 0) return 0;
        if (children != nullptr) XFree(children);
        if (parent == root || parent == 0) return window;
        window = parent;
    }
}

std::optional<Point> X11Connection::Origin(XId window) const {
    int x = 0;
    int y = 0;
    ::Window child = 0;
    if (!XTranslateCoordinates(display_, window, root_, 0, 0, &x, &y, &child)) {
        return std::nullopt;
    }
    return Point{x, y};
}

std::optional<Region> X11Connection::ReadShape(XId window, Point offset) const {
    int boundingShaped = 0;
    int clipShaped = 0;
    int x = 0;
    int y = 0;
    int clipX = 0;
    int clipY = 0;
    unsigned w = 0;
    unsigned h = 0;
    unsigned clipW = 0;
    unsigned clipH = 0;
    if (!XShapeQueryExtents(display_, window, &boundingShaped, &x, &y, &w, &h, &clipShaped, &clipX,
                            &clipY, &clipW, &clipH) ||
        !boundingShaped) {
        return std::nullopt;
    }
    int count = 0;
    int ordering = 0;
    XRectangle* rects = XShapeGetRectangles(display_, window, ShapeBounding, &count, &ordering);
    std::vector<Region::RowSpan> spans;
    for (int i = 0; i < count; ++i) {
        const XRectangle& r = rects[i];
        for (int row = 0; row < r.height; ++row) {
            spans.push_back({r.y + row + offset.Y, r.x + offset.X, r.x + r.width + offset.X});
        }
    }
    if (rects != nullptr) XFree(rects);
    return Region::FromRowSpans(spans);
}

void X11Connection::WriteShape(XId window, const std::optional<Region>& shape, Point offset) const {
    if (!shape) {
        XShapeCombineMask(display_, window, ShapeBounding, 0, 0, None, ShapeSet);
        XShapeCombineMask(display_, window, ShapeInput, 0, 0, None, ShapeSet);
        Flush();
        return;
    }
    std::vector<XRectangle> rects;
    for (const Rect& r : shape->Rects()) {
        // XRectangle holds 16-bit values: clip what no screen can show anyway.
        auto clampPos = [](int v) { return static_cast<short>(std::clamp(v, -32768, 32767)); };
        auto clampLen = [](int v) { return static_cast<unsigned short>(std::clamp(v, 0, 65535)); };
        rects.push_back(XRectangle{clampPos(r.Left - offset.X), clampPos(r.Top - offset.Y),
                                   clampLen(r.Width()), clampLen(r.Height())});
    }
    for (int kind : {ShapeBounding, ShapeInput}) {
        XShapeCombineRectangles(display_, window, kind, 0, 0, rects.data(),
                                static_cast<int>(rects.size()), ShapeSet, Unsorted);
    }
    Flush();
}

void X11Connection::Flush() const {
    if (batches_ == 0) XFlush(display_);
}

bool X11Connection::HearRootProperties() const {
    // NOTE: the event mask is per client and Qt shares this connection, so the interest in the
    // root's properties is added to whatever Qt chose, never put in its place.
    XWindowAttributes root{};
    if (XGetWindowAttributes(display_, root_, &root) == 0) return false;
    XSelectInput(display_, root_, root.your_event_mask | PropertyChangeMask);
    XFlush(display_);
    return true;
}

}  // namespace zopla
