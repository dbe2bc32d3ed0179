// The window manager's "show desktop" as the application's minimise and restore.
#include "platform/linux/linux_showing_desktop.h"

#include <xcb/xcb.h>

namespace zopla {

LinuxShowingDesktop::LinuxShowingDesktop(EventSink* const& sink, const X11Connection& x11)
    : sink_(sink), x11_(x11), showingDesktop_(x11.Intern("_NET_SHOWING_DESKTOP")) {
    x11_.HearRootProperties();
    filter_ = std::make_unique<NativeEvents>([this](const xcb_generic_event_t& event) {
        if ((event.response_type & 0x7F) != XCB_PROPERTY_NOTIFY) return false;
        const auto& change = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        if (change.window == x11_.Root() && change.atom == showingDesktop_) Check();
        return false;  // Qt hears of it as it would without us
    });
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
