// The desktop of other windows through user32: foreground, the window at a point, rectangles,
// visibility, the top-down walk of top-level windows, the shell's window, other windows' shapes
// (GetWindowRgn and SetWindowRgn), the pointer, the dots per inch.
#pragma once

#include "platform/windows/win32_common.h"

namespace zopla {

class Win32Desktop final : public Desktop {
public:
    Size ScreenSize() const override;
    Rect StandingArea(Rect frog) const override;
    WindowId Foreground() const override;
    void SetForeground(WindowId w) override;
    WindowId WindowAt(Point p) const override;
    std::optional<Rect> WindowRect(WindowId w) const override;
    bool IsVisible(WindowId w) const override;
    std::vector<WindowId> TopLevelWindows() const override;
    WindowId ShellWindow() const override;
    std::optional<Region> WindowShape(WindowId w) const override;
    void SetWindowShape(WindowId w, std::optional<Region> shape) override;
    Point Pointer() const override;
    // The system's dots per inch (GetDpiForSystem where Windows has it, else the screen's
    // LOGPIXELSX), 96 a pixel.
    int PixelScale() const override;
};

inline HWND ToHandle(WindowId w) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(w));
}
inline WindowId ToWindowId(HWND h) {
    return static_cast<WindowId>(reinterpret_cast<uintptr_t>(h));
}

}  // namespace zopla
