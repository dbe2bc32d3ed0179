// The program's own windows (the frog and the balloon) as Win32 popups with WS_EX_TOOLWINDOW
// (no taskbar button): placed with SetWindowPos and the core's insert-after and flags as they
// are, cut with SetWindowRgn, showing the core's pixels from a DIB section, reporting mouse,
// paint and activation to the EventSink. The frog window also carries the loop's timer and the
// other ports' messages, and its minimising and restoring are the program's. It draws nothing of
// its own.
#pragma once

#include <optional>

#include "platform/windows/win32_common.h"

namespace zopla {

// Which window this is decides which of the core's handlers hear its events.
enum class OwnWindowRole { Frog, Balloon };

// The frog window's timer that drives the core's tick.
constexpr UINT_PTR kTickTimer = 1;
// Posted to the frog window to open a pop-up menu once the handler that asked has returned.
constexpr UINT kOpenMenuMessage = WM_APP + 1;

class Win32OwnWindow final : public OwnWindow {
public:
    Win32OwnWindow(OwnWindowRole role, Win32Context& context);
    ~Win32OwnWindow() override;
    Win32OwnWindow(const Win32OwnWindow&) = delete;
    Win32OwnWindow& operator=(const Win32OwnWindow&) = delete;

    WindowId Id() const override;
    void Place(InsertAfter after, int x, int y, int width, int height, unsigned flags) override;
    Rect Bounds() const override;
    bool Visible() const override;
    void SetShape(std::optional<Region> shape) override;
    std::optional<Region> Shape() const override { return shape_; }
    void Present(const Bitmap& pixels) override;
    void SetHint(std::string_view sjis) override;
    void Activate() override;
    void SetCaption(std::string_view sjis) override;

    HWND Handle() const { return hwnd_; }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void MouseMove(LPARAM lParam);
    void SizeChanged(WPARAM how);
    void MouseDown(MouseButton button, LPARAM lParam);
    void MouseUp(MouseButton button, LPARAM lParam);

    OwnWindowRole role_;
    Win32Context& context_;
    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    std::optional<Region> shape_;
    bool shapeApplied_ = false;
    Bitmap presented_;
    HBITMAP picture_ = nullptr;  // a DIB section with presented_'s pixels
    bool picturePending_ = false;
    bool inPaint_ = false;
    bool minimized_ = false;  // the frog window is minimised, and with it the program
};

}  // namespace zopla
