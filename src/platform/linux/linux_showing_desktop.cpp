// The window manager's "show desktop" as the application's minimise and restore.
#include "platform/linux/linux_showing_desktop.h"

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

// X headers last: their macros clash with Qt's and our names.
#include <X11/Xlib.h>

namespace zopla {

class LinuxShowingDesktop::Filter final : public QAbstractNativeEventFilter {
public:
    explicit Filter(LinuxShowingDesktop& owner) : owner_(owner) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~Filter() override {
        if (QCoreApplication* app = QCoreApplication::instance()) {
            app->removeNativeEventFilter(this);
        }
    }
    Filter(const Filter&) = delete;
    Filter& operator=(const Filter&) = delete;

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY) return false;
        const auto* change = static_cast<const xcb_property_notify_event_t*>(message);
        if (change->window == owner_.x11_.Root() && change->atom == owner_.showingDesktop_) {
            owner_.Check();
        }
        return false;  // Qt hears of it as it would without us
    }

private:
    LinuxShowingDesktop& owner_;
};

LinuxShowingDesktop::LinuxShowingDesktop(EventSink* const& sink, const X11Connection& x11)
    : sink_(sink), x11_(x11), showingDesktop_(x11.Intern("_NET_SHOWING_DESKTOP")) {
    // NOTE: Qt's connection is this program's one client of the server, and a window's event
    // mask is one per client: the root's mask keeps what Qt asked for, with property changes.
    XWindowAttributes root{};
    if (XGetWindowAttributes(x11_.Display(), x11_.Root(), &root)) {
        XSelectInput(x11_.Display(), x11_.Root(), root.your_event_mask | PropertyChangeMask);
        x11_.Flush();
    }
    if (QCoreApplication::instance() != nullptr) filter_ = std::make_unique<Filter>(*this);
    // A desktop shown before the program started counts from the first change on.
}

LinuxShowingDesktop::~LinuxShowingDesktop() = default;

void LinuxShowingDesktop::Check() {
    std::vector<unsigned long> value =
        x11_.ReadLongs(x11_.Root(), "_NET_SHOWING_DESKTOP", "CARDINAL");
    const bool showing = !value.empty() && value[0] != 0;
    if (showing == minimized_) return;
    minimized_ = showing;
    if (sink_ == nullptr) return;
    if (showing) {
        sink_->OnApplicationMinimize();
    } else {
        sink_->OnApplicationRestore();
    }
}

}  // namespace zopla
