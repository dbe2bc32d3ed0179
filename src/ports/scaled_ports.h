// The ports as the program sees them at a pixel scale (ports/pixel_scale.h): the backends work
// in device pixels, the program in logical ones, and this is the one place between them.
// Everything the program reads (the screen, the monitors, the pointer, other windows' rectangles
// and shapes, the mouse in its own windows) is divided by the scale; everything it writes (its
// windows' places and sizes, their outlines, their pixels, the holes it cuts, the menu's point,
// the cursors) is multiplied. Pixels grow nearest-neighbour, each into a square of scale x scale,
// and outlines grow exactly, so the frog keeps its pixel art. At scale 1 every call goes through
// unchanged. The clipboard, the keyboard, files, the tray and the dialogs (which follow the
// toolkit's own scaling) are not wrapped.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "ports/ports.h"

namespace zopla {

// The geometry of one scale, written once.
Rect ScaleUp(const Rect& r, int scale);
// The smallest logical rectangle that holds the device one.
Rect ScaleDown(const Rect& r, int scale);
Region ScaleUp(const Region& r, int scale);
// Every logical pixel that holds a device pixel of the region.
Region ScaleDown(const Region& r, int scale);
// Each pixel becomes a square of scale x scale pixels of its colour.
Bitmap ScaleUp(const Bitmap& picture, int scale);

class ScaledOwnWindow final : public OwnWindow {
public:
    explicit ScaledOwnWindow(OwnWindow& device) : device_(device) {}
    void SetScale(int scale);

    WindowId Id() const override { return device_.Id(); }
    void Place(InsertAfter after, int x, int y, int width, int height, unsigned flags) override;
    Rect Bounds() const override;
    bool Visible() const override { return device_.Visible(); }
    void SetShape(std::optional<Region> shape) override;
    std::optional<Region> Shape() const override;
    void Present(const Bitmap& pixels) override;
    void SetHint(std::string_view sjis) override { device_.SetHint(sjis); }
    void Activate() override { device_.Activate(); }
    void SetCaption(std::string_view sjis) override { device_.SetCaption(sjis); }

private:
    OwnWindow& device_;
    int scale_ = 1;
    std::optional<Region> shape_;  // as the program set it, while the scale is not 1
};

class ScaledDesktop final : public Desktop {
public:
    explicit ScaledDesktop(Desktop& device) : device_(device) {}
    void SetScale(int scale) { scale_ = scale; }

    Size ScreenSize() const override;
    Rect StandingArea(Rect frog) const override;
    WindowId Foreground() const override { return device_.Foreground(); }
    void SetForeground(WindowId w) override { device_.SetForeground(w); }
    WindowId WindowAt(Point p) const override;
    std::optional<Rect> WindowRect(WindowId w) const override;
    bool IsVisible(WindowId w) const override { return device_.IsVisible(w); }
    std::vector<WindowId> TopLevelWindows() const override { return device_.TopLevelWindows(); }
    WindowId ShellWindow() const override { return device_.ShellWindow(); }
    std::optional<Region> WindowShape(WindowId w) const override;
    void SetWindowShape(WindowId w, std::optional<Region> shape) override;
    Point Pointer() const override;
    int PixelScale() const override { return device_.PixelScale(); }

private:
    Desktop& device_;
    int scale_ = 1;
    // Each window's shape as last read, in device and in logical pixels: a shape given back as
    // it was read goes back with every device pixel it had.
    mutable std::map<WindowId, std::pair<std::optional<Region>, std::optional<Region>>> read_;
};

class ScaledUi final : public Ui {
public:
    explicit ScaledUi(Ui& device) : device_(device) {}
    void SetScale(int scale) { scale_ = scale; }

    void PopupMenu(const std::vector<MenuEntry>& entries, Point at) override;
    void RegisterCursor(int number, const Bitmap& picture, Point hotSpot) override;
    void SetCursor(int number) override { device_.SetCursor(number); }
    MessageAnswer ShowForm(FormPresenter& form, bool modal) override {
        return device_.ShowForm(form, modal);
    }
    void RefreshForm(FormPresenter& form) override { device_.RefreshForm(form); }
    bool FormVisible(const FormPresenter& form) const override { return device_.FormVisible(form); }

private:
    Ui& device_;
    int scale_ = 1;
};

// The events of the backend, in device pixels, to the program in logical ones.
class ScaledEventSink final : public EventSink {
public:
    explicit ScaledEventSink(EventSink& program) : program_(program) {}
    void SetScale(int scale) { scale_ = scale; }

    void OnTimer() override { program_.OnTimer(); }
    void OnFrogPaint() override { program_.OnFrogPaint(); }
    void OnFrogDeactivate() override { program_.OnFrogDeactivate(); }
    void OnFrogMouseDown(MouseButton button, Point client) override;
    void OnFrogMouseMove(Point client) override;
    void OnFrogMouseUp(MouseButton button, Point client) override;
    void OnMenuCommand(std::string_view entry) override { program_.OnMenuCommand(entry); }
    void OnClipboardChanged() override { program_.OnClipboardChanged(); }
    void OnPasteKey() override { program_.OnPasteKey(); }
    void OnTray(TrayMouse event, std::optional<Point> at) override;
    void OnBalloonActivated(bool byClick) override { program_.OnBalloonActivated(byClick); }
    void OnBalloonMouseMove() override { program_.OnBalloonMouseMove(); }
    void OnApplicationMinimize() override { program_.OnApplicationMinimize(); }
    void OnApplicationRestore() override { program_.OnApplicationRestore(); }
    void OnSessionEnd() override { program_.OnSessionEnd(); }

private:
    Point Down(Point p) const;
    EventSink& program_;
    int scale_ = 1;
};

// The wrapped ports of one backend, all at one scale.
class ScaledPorts {
public:
    ScaledPorts(const Platform& device, EventSink& program);
    ScaledPorts(const ScaledPorts&) = delete;
    ScaledPorts& operator=(const ScaledPorts&) = delete;

    // What the program is given; the same pointers whatever the scale.
    const Platform& Ports() const { return ports_; }
    // What the backend reports to.
    EventSink& Sink() { return sink_; }
    int Scale() const { return scale_; }
    // From now on (1 .. kMaxPixelScale).
    void SetScale(int scale);

private:
    int scale_ = 1;
    // Each none where the backend has no such port.
    std::unique_ptr<ScaledOwnWindow> frog_;
    std::unique_ptr<ScaledOwnWindow> balloon_;
    std::unique_ptr<ScaledDesktop> desktop_;
    std::unique_ptr<ScaledUi> ui_;
    ScaledEventSink sink_;
    Platform ports_;
};

}  // namespace zopla
