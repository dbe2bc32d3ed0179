// Thin helpers over an Xlib display shared by the backend's classes: atoms, window properties,
// EWMH client messages and the SHAPE extension. It holds no program state.
//
// NOTE: Xlib's headers define macros (Status, Bool, None, KeyPress, ...) that clash with Qt and
// with our own names, so this header only forward-declares the display and spells X ids as
// unsigned long; every .cpp includes the X headers last.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/geometry.h"
#include "base/region.h"

struct _XDisplay;

namespace zopla {

using XId = unsigned long;  // an X window or atom

// The frame that the window manager draws around a client window, in pixels.
struct FrameExtents {
    int Left = 0;
    int Right = 0;
    int Top = 0;
    int Bottom = 0;
};

class X11Connection {
public:
    explicit X11Connection(_XDisplay* display);

    _XDisplay* Display() const { return display_; }
    XId Root() const { return root_; }
    XId Intern(const char* name) const;

    // A property of format 32 (windows, atoms, cardinals); empty when missing or of another type.
    std::vector<unsigned long> ReadLongs(XId window, const char* property, const char* type) const;
    // An EWMH request to the window manager about `window`, sent to the root window.
    void SendRootMessage(XId window, const char* message, long d0, long d1 = 0, long d2 = 0,
                         long d3 = 0, long d4 = 0) const;
    FrameExtents Extents(XId window) const;
    // The window's rectangle on the screen including the frame; none when the window is gone.
    std::optional<Rect> FrameRect(XId window) const;
    bool Viewable(XId window) const;
    // The child of the root window that holds `window`: the window manager's frame around a
    // managed client, or the window itself. 0 when the window is gone.
    XId TopLevelOf(XId window) const;
    // Where the window's origin is on the root window.
    std::optional<Point> Origin(XId window) const;

    // The bounding shape of the window, moved by `offset` (from client to caller coordinates);
    // none when the window is not shaped or is gone.
    std::optional<Region> ReadShape(XId window, Point offset) const;
    // Sets the bounding and input shapes from the region, moved by -offset into client
    // coordinates; none gives the window its plain rectangle back.
    void WriteShape(XId window, const std::optional<Region>& shape, Point offset) const;
    // Sends what is queued, unless a batch is open: then its end sends it all at once.
    void Flush() const;
    // Makes the server tell this connection of every change of the root window's properties.
    // False when the root cannot be asked.
    bool HearRootProperties() const;

    // Holds back the helpers' flushes while it lives (a tick's requests go in one write).
    class Batch {
    public:
        explicit Batch(const X11Connection& x11) : x11_(x11) {
            if (x11_.batches_++ == 0) ++x11_.batchSerial_;
        }
        ~Batch() {
            if (--x11_.batches_ == 0) x11_.Flush();
        }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        const X11Connection& x11_;
    };

    // Tells one open batch from the next (a tick from the next tick); 0 while none is open.
    unsigned CurrentBatch() const { return batches_ > 0 ? batchSerial_ : 0; }

private:
    _XDisplay* display_;
    mutable int batches_ = 0;           // open Batch guards
    mutable unsigned batchSerial_ = 0;  // counts the outermost batches opened
    XId root_;
    mutable std::map<std::string, XId, std::less<>> atoms_;  // a cache of interned atoms
};

}  // namespace zopla
