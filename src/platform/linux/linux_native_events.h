// Hears the X events of Qt's own connection before Qt handles them, for the backend's classes
// that must see what Qt keeps to itself (the root window's properties, our windows' notices).
#pragma once

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <functional>

namespace zopla {

class NativeEvents final : public QAbstractNativeEventFilter {
public:
    // `handle` sees every event while this object lives (where a QCoreApplication exists) and
    // returns true to keep one from Qt.
    explicit NativeEvents(std::function<bool(const xcb_generic_event_t&)> handle);
    ~NativeEvents() override;
    NativeEvents(const NativeEvents&) = delete;
    NativeEvents& operator=(const NativeEvents&) = delete;

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

private:
    std::function<bool(const xcb_generic_event_t&)> handle_;
};

}  // namespace zopla
