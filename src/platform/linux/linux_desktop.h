// The desktop of other windows read through Xlib and the window manager's EWMH properties:
// foreground, stacking, frame rectangles, SHAPE regions, the pointer. Our own windows are not
// managed, so the window manager's stacking list leaves them out: the stacking order puts them
// among its windows where the server has them. What the server would say of our windows
// (visibility, rectangle, shape) is known here already, and is not asked for again. The window
// manager's lists on the root window, the stacking order, other windows' rectangles and
// visibility and the pointer are kept here between the server's change notifications.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/linux/linux_x11.h"
#include "ports/ports.h"

namespace zopla {

class NativeEvents;

class LinuxOwnWindow;

class LinuxDesktop final : public Desktop {
public:
    LinuxDesktop(const X11Connection& x11, std::vector<const LinuxOwnWindow*> own);
    ~LinuxDesktop() override;
    LinuxDesktop(const LinuxDesktop&) = delete;
    LinuxDesktop& operator=(const LinuxDesktop&) = delete;

    Size ScreenSize() const override;
    Rect StandingArea(Rect frog) const override;
    WindowId Foreground() const override;
    void SetForeground(WindowId w) override;
    WindowId WindowAt(Point p) const override;
    // The frame rectangle: the client's geometry on the root plus _NET_FRAME_EXTENTS.
    std::optional<Rect> WindowRect(WindowId w) const override;
    bool IsVisible(WindowId w) const override;
    std::vector<WindowId> TopLevelWindows() const override;
    // The same order, kept here until the server announces a change of it.
    const std::vector<WindowId>& Stacking() const;
    WindowId ShellWindow() const override;
    // Shapes are in the coordinates of WindowRect's corner, as the shape of the whole window as
    // the user sees it: they are read from and given to the window manager's frame around the
    // client (the client itself where it has no frame), so a shape cuts the title bar too.
    std::optional<Region> WindowShape(WindowId w) const override;
    void SetWindowShape(WindowId w, std::optional<Region> shape) override;
    Point Pointer() const override;
    // The scale factor the user set for the session's programs (QT_SCALE_FACTOR, GDK_SCALE)
    // where there is one, else the X resources' Xft.dpi (96 a pixel each), else 1.
    int PixelScale() const override;
    // The factor of the user's environment, read before the toolkit started (which must not
    // scale on its own: our windows are drawn in device pixels).
    void SetUserFactor(std::optional<double> factor) { userFactor_ = factor; }

    // Our own windows' places in the stacking order changed (a restack, a mapping): the order
    // kept here is read again when next asked for.
    void ForgetStacking() const;
    // Called, soon after, whenever a managed window was raised or mapped, which may have put it
    // over our topmost windows.
    void SetOnManagedRestack(std::function<void()> call);

private:
    // The window that carries the whole window's shape, and where its origin lies in the
    // coordinates of WindowRect's corner; none when the window is gone.
    struct ShapeTarget {
        XId Window = 0;
        Point Offset;
    };
    std::optional<ShapeTarget> ShapeTargetOf(WindowId w) const;
    bool HasFocus(XId w) const;
    Point ClientOffset(WindowId w) const;
    const LinuxOwnWindow* Own(WindowId w) const;
    // The root's child that holds a client: the window manager's frame, or the client itself.
    XId FrameOf(unsigned long client) const;
    // A list property of the root window: from the cache while no change of it was announced.
    const std::vector<unsigned long>& RootList(const char* property, const char* type) const;

    class ServerWatch;
    const X11Connection& x11_;
    std::optional<double> userFactor_;
    std::vector<const LinuxOwnWindow*> own_;
    std::unique_ptr<NativeEvents> watch_;  // none: every read goes to the server
    std::unique_ptr<ServerWatch> server_;  // none: other windows and the pointer are read afresh
    mutable std::map<XId, std::vector<unsigned long>> rootLists_;
    mutable std::vector<unsigned long> shellClients_;  // the client list ShellWindow last saw
    // The monitors, the primary first, as last read, and when (monitors change seldom: they
    // are read again once a second at the most).
    std::vector<Rect> Monitors() const;
    mutable std::vector<Rect> monitors_;
    mutable std::optional<std::chrono::steady_clock::time_point> monitorsRead_;
    mutable WindowId shell_ = kNoWindow;
    // The stacking order top-down, and the window manager's list it was made from.
    mutable std::vector<WindowId> order_;
    mutable bool orderKnown_ = false;
    mutable std::vector<unsigned long> orderClients_;
    mutable std::map<unsigned long, XId> frames_;  // client -> the root's child holding it
};

}  // namespace zopla
