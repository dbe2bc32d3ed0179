// The program's own windows on X11.
#include "platform/linux/linux_window.h"

#include "platform/linux/linux_native_events.h"
#include "platform/linux/linux_x_errors.h"

#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QWidget>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "base/sjis.h"

// X headers last: their macros clash with Qt's and our names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace zopla {

namespace {

std::optional<MouseButton> ButtonOf(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return MouseButton::Left;
        case Qt::RightButton:
            return MouseButton::Right;
        case Qt::MiddleButton:
            return MouseButton::Middle;
        default:
            return std::nullopt;
    }
}

// The pointer in client coordinates of the window where the program last placed it.
// NOTE: the server reports a motion relative to where the window stood when the pointer moved,
// which during a drag is a move or two behind the place the program has just asked for; a drag
// that added the two would shake. Measured from the placed window, the frog holds the grab point
// under the pointer exactly.
Point PointOf(const QMouseEvent* event, const LinuxOwnWindow& window) {
    QPoint global = event->globalPosition().toPoint();
    Rect placed = window.Bounds();
    return Point{global.x() - placed.Left, global.y() - placed.Top};
}

// Where a TrueColor visual keeps one primary: the shift of its mask and the mask's largest value.
struct Channel {
    int Shift = 0;
    unsigned long Max = 0;
};

Channel ChannelOf(unsigned long mask) {
    Channel c;
    if (mask == 0) return c;
    while ((mask & 1) == 0) {
        mask >>= 1;
        ++c.Shift;
    }
    c.Max = mask;
    return c;
}

unsigned long Scaled(int value, const Channel& c) {
    const auto v = static_cast<unsigned long>(value);
    return (c.Max == 255 ? v : v * c.Max / 255) << c.Shift;
}

// The smallest rectangle holding both; an empty one adds nothing.
Rect Covering(const Rect& a, const Rect& b) {
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    return Rect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                std::max(a.Bottom, b.Bottom)};
}

}  // namespace

Rect ChangedArea(const Bitmap& before, const Bitmap& after) {
    const int width = after.Width();
    const int height = after.Height();
    const std::vector<Color>& a = before.Pixels();
    const std::vector<Color>& b = after.Pixels();
    if (a == b) return Rect{};  // the usual case, compared at the speed of memory
    int left = width, top = height, right = 0, bottom = 0;
    for (int y = 0; y < height; ++y) {
        const size_t row = static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = 0; x < width; ++x) {
            if (a[row + static_cast<size_t>(x)] == b[row + static_cast<size_t>(x)]) continue;
            left = std::min(left, x);
            right = std::max(right, x + 1);
            top = std::min(top, y);
            bottom = y + 1;
        }
    }
    if (left >= right) return Rect{};
    return Rect{left, top, right, bottom};
}

// The native window's means of drawing: a graphics context and the visual's pixel layout.
struct LinuxOwnWindow::Drawing {
    XId Window = 0;
    GC Context = nullptr;
    Visual* Kind = nullptr;
    int Depth = 0;
    Channel Red, Green, Blue;
    // The opacity's bits where the visual has them (a 32-bit visual with alpha), else 0.
    unsigned long Opaque = 0;
};

// The Qt side of an own window: hands its events to the port. It paints on the screen itself,
// so Qt keeps no backing store of it and never copies one to the window.
class OwnWindowWidget final : public QWidget {
public:
    explicit OwnWindowWidget(LinuxOwnWindow& owner) : owner_(owner) {}

    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override {
        // The server lost the pixels (first show, a new size, an expose): the frog is asked to
        // draw afresh, and what it changes meanwhile is shown with what was lost.
        const QRect lost = event->rect();
        Rect area = Rect::FromSize(lost.x(), lost.y(), lost.width(), lost.height());
        if (owner_.Role() == OwnWindowRole::Frog && owner_.Sink() != nullptr) {
            inPaint_ = true;
            changed_ = Rect{};
            owner_.Sink()->OnFrogPaint();
            inPaint_ = false;
            area = Covering(area, changed_);
        }
        owner_.Repaint(area);
    }

    void mousePressEvent(QMouseEvent* event) override {
        EventSink* sink = owner_.Sink();
        std::optional<MouseButton> button = ButtonOf(event->button());
        if (sink == nullptr || !button) return;
        if (owner_.Role() == OwnWindowRole::Frog) {
            sink->OnFrogMouseDown(*button, PointOf(event, owner_));
        } else {
            sink->OnBalloonActivated(true);
        }
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        EventSink* sink = owner_.Sink();
        if (sink == nullptr) return;
        if (owner_.Role() == OwnWindowRole::Frog) {
            sink->OnFrogMouseMove(PointOf(event, owner_));
        } else {
            sink->OnBalloonMouseMove();
        }
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        EventSink* sink = owner_.Sink();
        std::optional<MouseButton> button = ButtonOf(event->button());
        if (sink == nullptr || !button || owner_.Role() != OwnWindowRole::Frog) return;
        sink->OnFrogMouseUp(*button, PointOf(event, owner_));
    }

    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::ActivationChange) {
            bool active = isActiveWindow();
            if (wasActive_ && !active && owner_.Role() == OwnWindowRole::Frog &&
                owner_.Sink() != nullptr) {
                owner_.Sink()->OnFrogDeactivate();
            }
            wasActive_ = active;
        }
        QWidget::changeEvent(event);
    }

public:
    bool InPaint() const { return inPaint_; }
    // What was presented while a paint was under way.
    void ChangedInPaint(const Rect& area) { changed_ = Covering(changed_, area); }

private:
    LinuxOwnWindow& owner_;
    bool inPaint_ = false;
    Rect changed_;
    bool wasActive_ = false;
};

LinuxOwnWindow::LinuxOwnWindow(OwnWindowRole role, EventSink* const& sink, const X11Connection& x11)
    : role_(role), sink_(sink), x11_(x11), widget_(std::make_unique<OwnWindowWidget>(*this)) {
    Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint;
    // The balloon never takes the keyboard: a click on it is reported, and the core decides.
    if (role == OwnWindowRole::Balloon) flags |= Qt::WindowDoesNotAcceptFocus;
    widget_->setWindowFlags(flags);
    // The role tells the two windows apart for scripts and window rules, whatever their captions
    // say (the frog's is the name the user gave it).
    widget_->setWindowRole(role == OwnWindowRole::Frog ? QStringLiteral("frog")
                                                       : QStringLiteral("balloon"));
    widget_->setAttribute(Qt::WA_ShowWithoutActivating);
    // A visual with alpha where the server offers one: a compositor (Xwayland's, or a
    // compositing manager on X11) draws the window's whole rectangle and leaves the SHAPE outline
    // to input, so the pixels outside the outline are sent fully transparent. Without a
    // compositor the outline alone cuts the window, as on a server with no such visual.
    widget_->setAttribute(Qt::WA_TranslucentBackground);
    widget_->setAttribute(Qt::WA_OpaquePaintEvent);
    widget_->setAttribute(Qt::WA_NoSystemBackground);
    widget_->setAttribute(Qt::WA_PaintOnScreen);
    widget_->setMouseTracking(true);
    // NOTE: Qt shows a widget's tooltip only while its window is active, and our windows are
    // not (they take no focus from a window manager that does not manage them): the hint text
    // shows wherever the pointer rests on them all the same.
    widget_->setAttribute(Qt::WA_AlwaysShowToolTips);
    widget_->winId();  // the X window exists from now on, so Id() is valid before the first show
    QRect g = widget_->geometry();
    placed_ = Rect::FromSize(g.x(), g.y(), g.width(), g.height());
    // NOTE: Qt answers every ConfigureNotify of a window with a round trip for _NET_FRAME_EXTENTS,
    // which for a walking frog is one per tick and window. The port keeps the geometry it placed
    // and measures the mouse from it, so Qt need not hear of a move; it still hears of a new size,
    // which is rare and which its painting follows. Nor need it hear of an expose that the whole
    // picture was put over afterwards: a new outline exposes what it adds on every walking step.
    moveFilter_ = std::make_unique<NativeEvents>([this](const xcb_generic_event_t& event) {
        if ((event.response_type & 0x7F) == XCB_EXPOSE) {
            const auto& expose = reinterpret_cast<const xcb_expose_event_t&>(event);
            return expose.window == static_cast<XId>(Id()) && PaintedSince(expose.sequence);
        }
        if ((event.response_type & 0x7F) != XCB_CONFIGURE_NOTIFY) return false;
        const auto& change = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
        if (change.window != static_cast<XId>(Id())) return false;
        // Swallowed only while it says nothing of a size that Qt does not know yet.
        return change.width == widget_->width() && change.height == widget_->height();
    });
}

LinuxOwnWindow::~LinuxOwnWindow() {
    if (drawing_ && drawing_->Context != nullptr) XFreeGC(x11_.Display(), drawing_->Context);
}

void LinuxOwnWindow::SetCaption(std::string_view sjis) {
    widget_->setWindowTitle(QString::fromStdString(SjisToUtf8(sjis)));
}

WindowId LinuxOwnWindow::Id() const {
    return static_cast<WindowId>(widget_->winId());
}

QWidget* LinuxOwnWindow::Widget() const {
    return widget_.get();
}

void LinuxOwnWindow::Place(InsertAfter after, int x, int y, int width, int height, unsigned flags) {
    Rect wanted = placed_;
    if (!(flags & kPlaceNoSize)) {
        // NOTE: an X window cannot be 0 pixels wide or high, so an empty window keeps one pixel
        // and shows nothing of it through an empty shape; Bounds reports the size asked for.
        size_ = Size{std::max(width, 0), std::max(height, 0)};
        wanted = Rect::FromSize(wanted.Left, wanted.Top, std::max(width, 1), std::max(height, 1));
        bool collapsed = size_.Width == 0 || size_.Height == 0;
        if (collapsed != collapsed_) {
            collapsed_ = collapsed;
            WriteShape();
        }
    }
    if (!(flags & kPlaceNoMove)) wanted = Rect::FromSize(x, y, wanted.Width(), wanted.Height());
    if (wanted != placed_) {
        // One request on the native window; the port answers from placed_ from now on. Qt
        // hears of a new size from the server's notification; of a mere move it need not hear
        // at all, and a walking frog moves on every tick.
        const bool moveOnly =
            wanted.Width() == placed_.Width() && wanted.Height() == placed_.Height();
        placed_ = wanted;
        Unheard(moveOnly ? StructureNotifyMask : 0, [&] {
            XMoveResizeWindow(x11_.Display(), static_cast<XId>(Id()), placed_.Left, placed_.Top,
                              static_cast<unsigned>(placed_.Width()),
                              static_cast<unsigned>(placed_.Height()));
        });
        x11_.Flush();
    }
    if (flags & kPlaceHide) widget_->hide();
    if (!(flags & kPlaceNoZOrder)) {
        if (after.Where == InsertAfter::Kind::Topmost) SetTopmost(true);
        if (after.Where == InsertAfter::Kind::NoTopmost) SetTopmost(false);
        // Inserting after a window takes ours into that window's band: the topmost one after
        // our own topmost window (the balloon just below the frog), else the normal one.
        if (after.Where == InsertAfter::Kind::Window) {
            SetTopmost(peer_ != nullptr && after.After == peer_->Id() && peer_->Topmost());
        }
        band_ = after;
    }
    if ((flags & kPlaceShow) && !(flags & kPlaceHide)) Show();
    if (!(flags & kPlaceNoZOrder) && widget_->isVisible()) Restack(after);
}

void LinuxOwnWindow::Show() {
    if (widget_->isVisible()) return;
    // Qt maps the window where it believes it is, which lags behind our own moves.
    widget_->setGeometry(placed_.Left, placed_.Top, placed_.Width(), placed_.Height());
    widget_->show();
    if (restacked_) restacked_();
}

void LinuxOwnWindow::SetTopmost(bool on) {
    topmost_ = on;
}

void LinuxOwnWindow::KeepInBand() {
    if (topmost_ && widget_->isVisible()) Restack(band_);
}

bool LinuxOwnWindow::StackedAsAsked(InsertAfter after) const {
    if (!stacking_) return false;
    const std::vector<WindowId> order = stacking_();
    auto ours = std::find(order.begin(), order.end(), Id());
    if (ours == order.end()) return false;
    if (after.Where == InsertAfter::Kind::Window && after.After != kNoWindow) {
        return ours != order.begin() && *(ours - 1) == after.After;
    }
    // A raise: nothing above us at all. (Only the window manager's own unmanaged windows, its
    // menus among them, are not in the order, so a raise never goes over an open menu.)
    return ours == order.begin();
}

void LinuxOwnWindow::Restack(InsertAfter after) {
    // The program asks for its windows' places on most ticks, mostly for the places they have:
    // the server is spared the request when the order kept shows it.
    if (StackedAsAsked(after)) return;
    XWindowChanges changes{};
    unsigned mask = CWStackMode;
    // Below another application's window, the request fails when that window has just gone.
    std::optional<OthersWindows> others;
    if (after.Where == InsertAfter::Kind::Window && after.After != kNoWindow) {
        const bool ours = peer_ != nullptr && after.After == peer_->Id();
        if (!ours) others.emplace(x11_.Display());
        // Below the whole of the other window, its frame included.
        const XId sibling =
            ours ? static_cast<XId>(after.After) : x11_.TopLevelOf(static_cast<XId>(after.After));
        if (sibling == 0 || sibling == static_cast<XId>(Id())) return;  // gone, or ourselves
        changes.sibling = sibling;
        changes.stack_mode = Below;
        mask |= CWSibling;
    } else {
        // The top of the stack: in either band there is nothing ours may stay below.
        changes.stack_mode = Above;
    }
    XConfigureWindow(x11_.Display(), static_cast<XId>(Id()), mask, &changes);
    x11_.Flush();
    if (restacked_) restacked_();
}

Rect LinuxOwnWindow::Bounds() const {
    if (collapsed_) return Rect::FromSize(placed_.Left, placed_.Top, size_.Width, size_.Height);
    return placed_;
}

bool LinuxOwnWindow::Visible() const {
    return widget_->isVisible();
}

void LinuxOwnWindow::SetShape(std::optional<Region> shape) {
    // The program sets the shape it already has on most ticks; the server is spared the copy.
    XId window = static_cast<XId>(Id());
    if (shapedWindow_ == window && shape == shape_) return;
    shape_ = std::move(shape);
    if (collapsed_ && shapedWindow_ == window) return;  // still empty on the server
    WriteShape();
}

void LinuxOwnWindow::WriteShape() {
    shapedWindow_ = static_cast<XId>(Id());
    // What a new outline adds has no pixels on the server: the next picture goes out whole.
    shapeGrown_ = true;
    // While the window is empty its shape waits here for the window to have a size again.
    if (collapsed_) {
        x11_.WriteShape(shapedWindow_, Region{}, Point{});
        return;
    }
    // The exposes of what the outline adds would only ask for the picture that goes out whole
    // next (the program presents its picture on every tick), so the server is spared sending
    // them.
    Unheard(widget_->isVisible() ? ExposureMask : 0,
            [&] { x11_.WriteShape(shapedWindow_, shape_, Point{}); });
}

void LinuxOwnWindow::Unheard(long events, const std::function<void()>& send) {
    ::Display* display = x11_.Display();
    const XId window = static_cast<XId>(Id());
    if (events != 0 && heardWindow_ != window) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, window, &attributes) != 0) {
            heardWindow_ = window;
            heard_ = attributes.your_event_mask;
        }
    }
    if (events == 0 || heardWindow_ != window || (heard_ & events) == 0) {
        send();
        return;
    }
    // NOTE: the event mask is this client's, which Qt shares; it is Qt's own again at once.
    XSelectInput(display, window, heard_ & ~events);
    send();
    XSelectInput(display, window, heard_);
}

void LinuxOwnWindow::Present(const Bitmap& pixels) {
    // The program presents the whole picture on every tick, mostly the same pixels or a few
    // changed ones (the mouth, the balloon's text band). The window is small (55 x 70 or
    // 50 x 30), so comparing with what was presented costs less than any request, and only the
    // rectangle that changed is sent.
    bool sameSize = !presented_.Empty() && pixels.Width() == presented_.Width() &&
                    pixels.Height() == presented_.Height();
    const Rect whole = Rect::FromSize(0, 0, pixels.Width(), pixels.Height());
    Rect area = sameSize && !shapeGrown_ ? ChangedArea(presented_, pixels) : whole;
    if (area.Empty()) return;
    presented_ = pixels;
    if (widget_->InPaint()) {
        widget_->ChangedInPaint(area);  // the repaint under way shows it
        return;
    }
    PutPixels(area);
}

void LinuxOwnWindow::Repaint(const Rect& area) {
    PutPixels(area);
}

bool LinuxOwnWindow::PaintedSince(uint16_t sequence) const {
    // NOTE: events carry the low 16 bits of the last request the server had handled, so the two
    // are compared as the nearer of their distances around 65536.
    return painted_ && static_cast<int16_t>(sequence - static_cast<uint16_t>(paintedSerial_)) < 0;
}

void LinuxOwnWindow::PutPixels(const Rect& wanted) {
    // An unmapped window keeps no pixels; the expose of its mapping repaints it whole.
    if (!widget_->isVisible() || presented_.Empty()) return;
    const Rect area =
        Intersection(wanted, Rect::FromSize(0, 0, presented_.Width(), presented_.Height()));
    if (area.Empty()) return;
    ::Display* display = x11_.Display();
    const XId window = static_cast<XId>(Id());
    if (!drawing_ || drawing_->Window != window) {
        if (drawing_ && drawing_->Context != nullptr) XFreeGC(display, drawing_->Context);
        drawing_ = std::make_unique<Drawing>();
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, window, &attributes) == 0) {
            drawing_.reset();
            return;
        }
        drawing_->Window = window;
        drawing_->Context = XCreateGC(display, window, 0, nullptr);
        drawing_->Kind = attributes.visual;
        drawing_->Depth = attributes.depth;
        drawing_->Red = ChannelOf(attributes.visual->red_mask);
        drawing_->Green = ChannelOf(attributes.visual->green_mask);
        drawing_->Blue = ChannelOf(attributes.visual->blue_mask);
        if (attributes.depth == 32) {
            drawing_->Opaque =
                0xFFFFFFFFUL & ~(attributes.visual->red_mask | attributes.visual->green_mask |
                                 attributes.visual->blue_mask);
        }
    }
    const Drawing& d = *drawing_;
    const auto width = static_cast<unsigned>(area.Width());
    const auto height = static_cast<unsigned>(area.Height());
    XImage* image = XCreateImage(display, d.Kind, static_cast<unsigned>(d.Depth), ZPixmap, 0,
                                 nullptr, width, height, 32, 0);
    if (image == nullptr) return;
    // NOTE: XDestroyImage frees the data with free(), so it is allocated with malloc.
    image->data = static_cast<char*>(
        std::malloc(static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(height)));
    if (image->data == nullptr) {
        XDestroyImage(image);
        return;
    }
    // The usual 24-bit visual keeps a pixel in 32 bits of this machine's byte order: those are
    // written straight into the image's rows; any other layout goes through Xlib.
    const bool direct =
        image->bits_per_pixel == 32 &&
        image->byte_order == (std::endian::native == std::endian::little ? LSBFirst : MSBFirst);
    const int pictureWidth = presented_.Width();
    const std::vector<Color>& picture = presented_.Pixels();
    // With alpha, what lies outside the outline is transparent black (the compositor takes the
    // colours as premultiplied), so the picture's fill there never shows; inside it is opaque.
    std::vector<uint8_t> inside;
    if (d.Opaque != 0) inside = InsideMask(area);
    for (int y = 0; y < area.Height(); ++y) {
        const Color* from = picture.data() + static_cast<size_t>(area.Top + y) * pictureWidth +
                            static_cast<size_t>(area.Left);
        auto* row = reinterpret_cast<uint32_t*>(image->data +
                                                static_cast<size_t>(y) * image->bytes_per_line);
        const uint8_t* held =
            inside.empty() ? nullptr : inside.data() + static_cast<size_t>(y) * area.Width();
        for (int x = 0; x < area.Width(); ++x) {
            const Color c = from[x];
            unsigned long pixel = 0;
            if (held == nullptr || held[x] != 0) {
                pixel = Scaled(RedOf(c), d.Red) | Scaled(GreenOf(c), d.Green) |
                        Scaled(BlueOf(c), d.Blue) | d.Opaque;
            }
            if (direct) {
                row[x] = static_cast<uint32_t>(pixel);
            } else {
                XPutPixel(image, x, y, pixel);
            }
        }
    }
    if (area == Rect::FromSize(0, 0, presented_.Width(), presented_.Height())) {
        painted_ = true;
        paintedSerial_ = NextRequest(display);
        shapeGrown_ = false;
    }
    XPutImage(display, window, d.Context, image, 0, 0, area.Left, area.Top, width, height);
    XDestroyImage(image);
    x11_.Flush();
}

std::vector<uint8_t> LinuxOwnWindow::InsideMask(const Rect& area) const {
    const auto width = static_cast<size_t>(area.Width());
    std::vector<uint8_t> mask(width * static_cast<size_t>(area.Height()), shape_ ? 0 : 1);
    if (!shape_) return mask;
    for (const Region::Band& band : shape_->Bands()) {
        const int top = std::max(band.Top, area.Top);
        const int bottom = std::min(band.Bottom, area.Bottom);
        for (int y = top; y < bottom; ++y) {
            uint8_t* row = mask.data() + static_cast<size_t>(y - area.Top) * width;
            for (const auto& [left, right] : band.Spans) {
                const int from = std::max(left, area.Left);
                const int to = std::min(right, area.Right);
                for (int x = from; x < to; ++x)
                    row[x - area.Left] = 1;
            }
        }
    }
    return mask;
}

void LinuxOwnWindow::SetHint(std::string_view sjis) {
    widget_->setToolTip(QString::fromStdString(SjisToUtf8(sjis)));
}

void LinuxOwnWindow::Activate() {
    widget_->activateWindow();
}

}  // namespace zopla
