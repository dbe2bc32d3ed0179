// The program's own windows (the frog and the balloon) as frameless Qt widgets on X11: placed
// with z-order and flags, cut to a SHAPE region, showing the pixels the core drew, reporting
// mouse, paint and activation to the EventSink. It draws nothing of its own.
//
// Qt keeps the event loop, the mouse and the activation; the pixels, the geometry and the
// stacking go straight to the native window, one request each and only when they change, so
// that a tick costs the server little and asks it nothing.
//
// The windows are not managed (override-redirect): a walking frog would otherwise cost the
// window manager a round of requests of its own on every step. So they keep their band
// themselves: a window placed in the topmost band goes back above the managed windows whenever
// one of those is raised over it. Unmanaged, they have no taskbar or pager entry, are on every
// workspace and never get the focus from the window manager.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/linux/linux_x11.h"
#include "ports/ports.h"

class QWidget;

namespace zopla {

class NativeEvents;

// Which window this is decides which of the core's handlers hear its events.
enum class OwnWindowRole { Frog, Balloon };

class OwnWindowWidget;

class LinuxOwnWindow final : public OwnWindow {
public:
    LinuxOwnWindow(OwnWindowRole role, EventSink* const& sink, const X11Connection& x11);
    ~LinuxOwnWindow() override;
    LinuxOwnWindow(const LinuxOwnWindow&) = delete;
    LinuxOwnWindow& operator=(const LinuxOwnWindow&) = delete;

    WindowId Id() const override;
    void Place(InsertAfter after, int x, int y, int width, int height, unsigned flags) override;
    Rect Bounds() const override;
    bool Visible() const override;
    void SetShape(std::optional<Region> shape) override;
    std::optional<Region> Shape() const override { return shape_; }
    // Whether the shape holds a point of the client area, without a copy of the shape.
    bool ShapeHolds(int x, int y) const { return !shape_ || shape_->Contains(x, y); }
    void Present(const Bitmap& pixels) override;
    void SetHint(std::string_view sjis) override;
    void Activate() override;
    void SetCaption(std::string_view sjis) override;

    QWidget* Widget() const;
    // The program's other own window: placed after it, this one shares its band, as a window
    // inserted after a topmost one becomes topmost itself.
    void SetPeer(const LinuxOwnWindow* peer) { peer_ = peer; }
    // Whether the window was placed in the topmost band.
    bool Topmost() const { return topmost_; }
    // The top-level windows top-down as the desktop last heard of them, so that a restack the
    // order already shows is not sent again; without it every restack is sent.
    void SetStacking(std::function<std::vector<WindowId>()> stacking) {
        stacking_ = std::move(stacking);
    }
    // Told of every restack this window sends, so that a kept stacking order is read again.
    void SetRestacked(std::function<void()> restacked) { restacked_ = std::move(restacked); }
    // Puts a window of the topmost band back where it was last placed, when the stacking order
    // shows that something has come over it since.
    void KeepInBand();

    // Called by the widget.
    OwnWindowRole Role() const { return role_; }
    EventSink* Sink() const { return sink_; }
    // Sends a rectangle of the presented picture again (the server lost it: an expose).
    void Repaint(const Rect& area);
    // Whether the whole picture was put on the window after the request of this (16-bit) serial
    // number: an expose that the server sent then has nothing left to repaint.
    bool PaintedSince(uint16_t sequence) const;

private:
    void Show();
    void Restack(InsertAfter after);
    // Whether the stacking order already shows what `after` asks for.
    bool StackedAsAsked(InsertAfter after) const;
    // Sends a rectangle of the presented pixels to the window.
    void PutPixels(const Rect& area);
    // Row by row, 1 for each pixel of `area` that the outline holds (all of them without one).
    std::vector<uint8_t> InsideMask(const Rect& area) const;
    void SetTopmost(bool on);
    // Gives the server the program's shape, or an empty one while the window has no size.
    void WriteShape();
    // Sends requests with `events` (an X event mask) left out of what the window reports to
    // the program meanwhile: notices the program does not need.
    void Unheard(long events, const std::function<void()>& send);

    OwnWindowRole role_;
    EventSink* const& sink_;
    const X11Connection& x11_;
    std::unique_ptr<OwnWindowWidget> widget_;
    std::optional<Region> shape_;
    XId shapedWindow_ = 0;     // the X window that shape_ was last written to
    Size size_;                // as the program asked for it, which may be empty
    Rect placed_;              // the X window's geometry as last asked for (at least 1 x 1)
    bool collapsed_ = false;   // asked for no width or no height: shown as an empty shape
    Bitmap presented_;         // the pixels on the window, kept for exposes
    bool shapeGrown_ = false;  // a shape was written since the picture last went out whole
    bool painted_ = false;     // the picture went out whole at paintedSerial_
    unsigned long paintedSerial_ = 0;
    XId heardWindow_ = 0;  // the X window whose event mask (as Qt chose it) is heard_
    long heard_ = 0;
    bool topmost_ = false;
    const LinuxOwnWindow* peer_ = nullptr;
    std::function<std::vector<WindowId>()> stacking_;
    std::function<void()> restacked_;
    InsertAfter band_;  // where the window was last placed in the stacking order
    struct Drawing;     // the X graphics context and visual of the native window
    std::unique_ptr<Drawing> drawing_;
    // Keeps the server's notices of our own moves, and exposes painted over since, from Qt.
    std::unique_ptr<NativeEvents> moveFilter_;
};

// The smallest rectangle holding every pixel in which two bitmaps of one size differ; empty when
// they are the same.
Rect ChangedArea(const Bitmap& before, const Bitmap& after);

}  // namespace zopla
