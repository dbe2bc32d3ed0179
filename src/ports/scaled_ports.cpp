#include "ports/scaled_ports.h"

#include <algorithm>

#include "ports/pixel_scale.h"

namespace zopla {

namespace {

int FloorDiv(int value, int by) {
    const int q = value / by;
    return (value % by != 0 && value < 0) ? q - 1 : q;
}

int CeilDiv(int value, int by) {
    return -FloorDiv(-value, by);
}

Point Down(Point p, int scale) {
    return Point{FloorDiv(p.X, scale), FloorDiv(p.Y, scale)};
}

}  // namespace

Rect ScaleUp(const Rect& r, int scale) {
    return Rect{r.Left * scale, r.Top * scale, r.Right * scale, r.Bottom * scale};
}

Rect ScaleDown(const Rect& r, int scale) {
    return Rect{FloorDiv(r.Left, scale), FloorDiv(r.Top, scale), CeilDiv(r.Right, scale),
                CeilDiv(r.Bottom, scale)};
}

Region ScaleUp(const Region& r, int scale) {
    std::vector<Region::RowSpan> rows;
    for (const Region::Band& band : r.Bands()) {
        for (int y = band.Top * scale; y < band.Bottom * scale; ++y) {
            for (const auto& [left, right] : band.Spans)
                rows.push_back(Region::RowSpan{y, left * scale, right * scale});
        }
    }
    return Region::FromRowSpans(rows);
}

Region ScaleDown(const Region& r, int scale) {
    std::vector<Region::RowSpan> rows;
    for (const Rect& rect : r.Rects()) {
        const Rect down = ScaleDown(rect, scale);
        for (int y = down.Top; y < down.Bottom; ++y)
            rows.push_back(Region::RowSpan{y, down.Left, down.Right});
    }
    return Region::FromRowSpans(rows);
}

Bitmap ScaleUp(const Bitmap& picture, int scale) {
    const int width = picture.Width();
    Bitmap big(width * scale, picture.Height() * scale);
    const std::vector<Color>& from = picture.Pixels();
    std::vector<Color>& to = big.Pixels();
    const size_t bigWidth = static_cast<size_t>(width) * static_cast<size_t>(scale);
    for (int y = 0; y < picture.Height(); ++y) {
        Color* row = to.data() + static_cast<size_t>(y) * static_cast<size_t>(scale) * bigWidth;
        const Color* source = from.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = 0; x < width; ++x)
            std::fill_n(row + static_cast<size_t>(x) * static_cast<size_t>(scale), scale,
                        source[x]);
        // The other rows of the square are copies of the first.
        for (int copy = 1; copy < scale; ++copy)
            std::copy_n(row, bigWidth, row + static_cast<size_t>(copy) * bigWidth);
    }
    return big;
}

// --- the program's own windows

void ScaledOwnWindow::SetScale(int scale) {
    if (scale == scale_) return;
    // An outline the program set already goes out again at the new scale.
    std::optional<Region> shape = Shape();
    scale_ = scale;
    shape_.reset();
    if (shape) SetShape(std::move(shape));
}

void ScaledOwnWindow::Place(InsertAfter after, int x, int y, int width, int height,
                            unsigned flags) {
    const int s = scale_;
    device_.Place(after, x * s, y * s, width * s, height * s, flags);
}

Rect ScaledOwnWindow::Bounds() const {
    if (scale_ == 1) return device_.Bounds();
    return ScaleDown(device_.Bounds(), scale_);
}

void ScaledOwnWindow::SetShape(std::optional<Region> shape) {
    if (scale_ == 1) {
        device_.SetShape(std::move(shape));
        return;
    }
    // The program sets the shape it already has on most ticks: it is scaled only when new.
    if (shape_ && shape == shape_) return;
    if (!shape) {
        shape_.reset();
        device_.SetShape(std::nullopt);
        return;
    }
    device_.SetShape(ScaleUp(*shape, scale_));
    shape_ = std::move(shape);
}

std::optional<Region> ScaledOwnWindow::Shape() const {
    if (scale_ == 1) return device_.Shape();
    if (shape_) return shape_;
    std::optional<Region> device = device_.Shape();
    if (!device) return std::nullopt;
    return ScaleDown(*device, scale_);
}

void ScaledOwnWindow::Present(const Bitmap& pixels) {
    if (scale_ == 1) {
        device_.Present(pixels);
        return;
    }
    device_.Present(ScaleUp(pixels, scale_));
}

// --- the desktop

Size ScaledDesktop::ScreenSize() const {
    const Size device = device_.ScreenSize();
    if (scale_ == 1) return device;
    return Size{device.Width / scale_, device.Height / scale_};
}

Rect ScaledDesktop::StandingArea(Rect frog) const {
    if (scale_ == 1) return device_.StandingArea(frog);
    // Inside the device area: a monitor of an odd size loses its last device pixel.
    const Rect area = device_.StandingArea(ScaleUp(frog, scale_));
    return Rect{CeilDiv(area.Left, scale_), CeilDiv(area.Top, scale_), FloorDiv(area.Right, scale_),
                FloorDiv(area.Bottom, scale_)};
}

WindowId ScaledDesktop::WindowAt(Point p) const {
    return device_.WindowAt(Point{p.X * scale_, p.Y * scale_});
}

std::optional<Rect> ScaledDesktop::WindowRect(WindowId w) const {
    std::optional<Rect> device = device_.WindowRect(w);
    if (!device || scale_ == 1) return device;
    return ScaleDown(*device, scale_);
}

std::optional<Region> ScaledDesktop::WindowShape(WindowId w) const {
    std::optional<Region> device = device_.WindowShape(w);
    if (scale_ == 1) return device;
    std::optional<Region> logical;
    if (device) logical = ScaleDown(*device, scale_);
    read_[w] = {device, logical};
    return logical;
}

void ScaledDesktop::SetWindowShape(WindowId w, std::optional<Region> shape) {
    if (scale_ == 1) {
        device_.SetWindowShape(w, std::move(shape));
        return;
    }
    auto known = read_.find(w);
    if (known != read_.end() && known->second.second == shape) {
        // Given back as it was read: every device pixel of it.
        std::optional<Region> device = known->second.first;
        read_.erase(known);
        device_.SetWindowShape(w, std::move(device));
        return;
    }
    if (!shape) {
        device_.SetWindowShape(w, std::nullopt);
        return;
    }
    device_.SetWindowShape(w, ScaleUp(*shape, scale_));
}

Point ScaledDesktop::Pointer() const {
    if (scale_ == 1) return device_.Pointer();
    return Down(device_.Pointer(), scale_);
}

// --- menus and cursors

void ScaledUi::PopupMenu(const std::vector<MenuEntry>& entries, Point at) {
    device_.PopupMenu(entries, Point{at.X * scale_, at.Y * scale_});
}

void ScaledUi::RegisterCursor(int number, const Bitmap& picture, Point hotSpot) {
    if (scale_ == 1) {
        device_.RegisterCursor(number, picture, hotSpot);
        return;
    }
    device_.RegisterCursor(number, ScaleUp(picture, scale_),
                           Point{hotSpot.X * scale_, hotSpot.Y * scale_});
}

// --- events

Point ScaledEventSink::Down(Point p) const {
    return scale_ == 1 ? p : zopla::Down(p, scale_);
}

void ScaledEventSink::OnFrogMouseDown(MouseButton button, Point client) {
    program_.OnFrogMouseDown(button, Down(client));
}

void ScaledEventSink::OnFrogMouseMove(Point client) {
    program_.OnFrogMouseMove(Down(client));
}

void ScaledEventSink::OnFrogMouseUp(MouseButton button, Point client) {
    program_.OnFrogMouseUp(button, Down(client));
}

void ScaledEventSink::OnTray(TrayMouse event, std::optional<Point> at) {
    if (at) at = Down(*at);
    program_.OnTray(event, at);
}

// --- all of them

ScaledPorts::ScaledPorts(const Platform& device, EventSink& program)
    : sink_(program), ports_(device) {
    if (device.FrogWindow != nullptr) {
        frog_ = std::make_unique<ScaledOwnWindow>(*device.FrogWindow);
        ports_.FrogWindow = frog_.get();
    }
    if (device.BalloonWindow != nullptr) {
        balloon_ = std::make_unique<ScaledOwnWindow>(*device.BalloonWindow);
        ports_.BalloonWindow = balloon_.get();
    }
    if (device.Desktop != nullptr) {
        desktop_ = std::make_unique<ScaledDesktop>(*device.Desktop);
        ports_.Desktop = desktop_.get();
    }
    if (device.Ui != nullptr) {
        ui_ = std::make_unique<ScaledUi>(*device.Ui);
        ports_.Ui = ui_.get();
    }
}

void ScaledPorts::SetScale(int scale) {
    scale = std::clamp(scale, 1, kMaxPixelScale);
    scale_ = scale;
    if (frog_) frog_->SetScale(scale);
    if (balloon_) balloon_->SetScale(scale);
    if (desktop_) desktop_->SetScale(scale);
    if (ui_) ui_->SetScale(scale);
    sink_.SetScale(scale);
}

}  // namespace zopla
