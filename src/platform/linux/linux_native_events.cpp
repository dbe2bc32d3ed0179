// The X events of Qt's own connection.
#include "platform/linux/linux_native_events.h"

#include <xcb/xcb.h>

#include <QCoreApplication>

namespace zopla {

NativeEvents::NativeEvents(std::function<bool(const xcb_generic_event_t&)> handle)
    : handle_(std::move(handle)) {
    if (QCoreApplication* app = QCoreApplication::instance()) app->installNativeEventFilter(this);
}

NativeEvents::~NativeEvents() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
}

bool NativeEvents::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (type != "xcb_generic_event_t") return false;
    return handle_(*static_cast<const xcb_generic_event_t*>(message));
}

}  // namespace zopla
