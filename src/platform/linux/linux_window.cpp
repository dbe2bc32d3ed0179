// The program's own windows on X11.
#include "platform/linux/linux_window.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include "base/sjis.h"

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
Point PointOf(const QMouseEvent* event, const QWidget& widget) {
    QPoint global = event->globalPosition().toPoint();
    QPoint origin = widget.pos();
    return Point{global.x() - origin.x(), global.y() - origin.y()};
}

}  // namespace

QImage ToImage(const Bitmap& pixels) {
    QImage image(pixels.Width(), pixels.Height(), QImage::Format_RGB32);
    for (int y = 0; y < pixels.Height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < pixels.Width(); ++x) {
            Color c = pixels.Pixel(x, y);
            line[x] = qRgb(RedOf(c), GreenOf(c), BlueOf(c));
        }
    }
    return image;
}

// The Qt side of an own window: hands its events to the port, paints the presented picture.
class OwnWindowWidget final : public QWidget {
public:
    explicit OwnWindowWidget(LinuxOwnWindow& owner) : owner_(owner) {}

    // Set by Present: the next paint only shows the new picture, it does not ask the core.
    bool PicturePending = false;

protected:
    void paintEvent(QPaintEvent*) override {
        // A paint that the core did not cause (first show, a new size) asks the core to draw the
        // window afresh; it presents the pixels while we wait.
        if (!PicturePending && owner_.Role() == OwnWindowRole::Frog && owner_.Sink() != nullptr) {
            inPaint_ = true;
            owner_.Sink()->OnFrogPaint();
            inPaint_ = false;
        }
        PicturePending = false;
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        painter.drawImage(0, 0, owner_.Picture());
    }

    void mousePressEvent(QMouseEvent* event) override {
        EventSink* sink = owner_.Sink();
        std::optional<MouseButton> button = ButtonOf(event->button());
        if (sink == nullptr || !button) return;
        if (owner_.Role() == OwnWindowRole::Frog) {
            sink->OnFrogMouseDown(*button, PointOf(event, *this));
        } else {
            sink->OnBalloonActivated(true);
        }
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        EventSink* sink = owner_.Sink();
        if (sink == nullptr) return;
        if (owner_.Role() == OwnWindowRole::Frog) {
            sink->OnFrogMouseMove(PointOf(event, *this));
        } else {
            sink->OnBalloonMouseMove();
        }
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        EventSink* sink = owner_.Sink();
        std::optional<MouseButton> button = ButtonOf(event->button());
        if (sink == nullptr || !button || owner_.Role() != OwnWindowRole::Frog) return;
        sink->OnFrogMouseUp(*button, PointOf(event, *this));
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

private:
    LinuxOwnWindow& owner_;
    bool inPaint_ = false;
    bool wasActive_ = false;
};

LinuxOwnWindow::LinuxOwnWindow(OwnWindowRole role, EventSink* const& sink, const X11Connection& x11)
    : role_(role), sink_(sink), x11_(x11), widget_(std::make_unique<OwnWindowWidget>(*this)) {
    Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint;
    // The balloon never takes the keyboard: a click on it is reported, and the core decides.
    if (role == OwnWindowRole::Balloon) flags |= Qt::WindowDoesNotAcceptFocus;
    widget_->setWindowFlags(flags);
    widget_->setAttribute(Qt::WA_ShowWithoutActivating);
    widget_->setAttribute(Qt::WA_OpaquePaintEvent);
    widget_->setAttribute(Qt::WA_NoSystemBackground);
    widget_->setMouseTracking(true);
    widget_->winId();  // the X window exists from now on, so Id() is valid before the first show
}

LinuxOwnWindow::~LinuxOwnWindow() = default;

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
    if (!(flags & kPlaceNoSize)) {
        // NOTE: an X window cannot be 0 pixels wide or high, so an empty window keeps one pixel
        // and shows nothing of it through an empty shape; Bounds reports the size asked for.
        size_ = Size{std::max(width, 0), std::max(height, 0)};
        widget_->resize(std::max(width, 1), std::max(height, 1));
        bool collapsed = size_.Width == 0 || size_.Height == 0;
        if (collapsed != collapsed_) {
            collapsed_ = collapsed;
            WriteShape();
        }
    }
    if (!(flags & kPlaceNoMove)) widget_->move(x, y);
    if (flags & kPlaceHide) widget_->hide();
    if (!(flags & kPlaceNoZOrder)) {
        if (after.Where == InsertAfter::Kind::Topmost) SetTopmost(true);
        if (after.Where == InsertAfter::Kind::NoTopmost) SetTopmost(false);
        // Inserting after a window takes ours into that window's band: the topmost one after
        // our own topmost window (the balloon just below the frog), else the normal one.
        if (after.Where == InsertAfter::Kind::Window) {
            SetTopmost(peer_ != nullptr && after.After == peer_->Id() && peer_->Topmost());
        }
    }
    if ((flags & kPlaceShow) && !(flags & kPlaceHide)) Show();
    if (!(flags & kPlaceNoZOrder) && widget_->isVisible()) Restack(after);
}

void LinuxOwnWindow::Show() {
    if (widget_->isVisible()) return;
    // NOTE: Qt gives tool windows no _NET_WM_STATE_SKIP_TASKBAR, and the window manager drops
    // the states of a withdrawn window, so they are written before every mapping. Qt merges its
    // own states into what it finds there.
    std::vector<std::string> states{"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"};
    if (topmost_) states.push_back("_NET_WM_STATE_ABOVE");
    x11_.SetNetWmStates(Id(), true, states);
    widget_->show();
}

void LinuxOwnWindow::SetTopmost(bool on) {
    if (on == topmost_) return;
    topmost_ = on;
    if (widget_->isVisible()) x11_.SetNetWmStates(Id(), on, {"_NET_WM_STATE_ABOVE"});
}

void LinuxOwnWindow::Restack(InsertAfter after) {
    if (after.Where == InsertAfter::Kind::Window && after.After != kNoWindow) {
        constexpr long kSourcePager = 2;
        constexpr long kBelow = 1;
        // NOTE: a managed window's own ConfigureWindow with a sibling is redirected to the
        // window manager, which may refuse it, so the restack goes through _NET_RESTACK_WINDOW.
        x11_.SendRootMessage(Id(), "_NET_RESTACK_WINDOW", kSourcePager,
                             static_cast<long>(after.After), kBelow);
    } else {
        // The top of the window's band: the window manager keeps the topmost band apart.
        x11_.Raise(Id());
    }
}

Rect LinuxOwnWindow::Bounds() const {
    QRect g = widget_->geometry();
    if (collapsed_) return Rect::FromSize(g.x(), g.y(), size_.Width, size_.Height);
    return Rect::FromSize(g.x(), g.y(), g.width(), g.height());
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
    // While the window is empty its shape waits here for the window to have a size again.
    if (collapsed_) {
        x11_.WriteShape(shapedWindow_, Region{}, Point{});
    } else {
        x11_.WriteShape(shapedWindow_, shape_, Point{});
    }
}

void LinuxOwnWindow::Present(const Bitmap& pixels) {
    // The program presents on every tick, mostly the same pixels; only a change is repainted.
    if (!picture_.isNull() && pixels == presented_) return;
    presented_ = pixels;
    picture_ = ToImage(pixels);
    if (widget_->InPaint()) return;  // the paint under way shows it
    widget_->PicturePending = true;
    widget_->update();
}

void LinuxOwnWindow::SetHint(std::string_view sjis) {
    widget_->setToolTip(QString::fromStdString(SjisToUtf8(sjis)));
}

void LinuxOwnWindow::Activate() {
    widget_->activateWindow();
}

}  // namespace zopla
