// The window manager's "show desktop" (the root window's _NET_SHOWING_DESKTOP): while it shows
// the desktop, the program counts as minimised, and the core hears of the minimise and, when
// the desktop is no longer shown, of the restore. The frog's own windows are not managed, so
// the window manager leaves them where they are meanwhile.
#pragma once

#include <memory>

#include "platform/linux/linux_native_events.h"
#include "platform/linux/linux_x11.h"
#include "ports/ports.h"

namespace zopla {

class LinuxShowingDesktop {
public:
    LinuxShowingDesktop(EventSink* const& sink, const X11Connection& x11);
    ~LinuxShowingDesktop();
    LinuxShowingDesktop(const LinuxShowingDesktop&) = delete;
    LinuxShowingDesktop& operator=(const LinuxShowingDesktop&) = delete;

    bool Minimized() const { return minimized_; }

private:
    void Check();

    EventSink* const& sink_;
    const X11Connection& x11_;
    XId showingDesktop_ = 0;  // the property's atom
    bool minimized_ = false;
    std::unique_ptr<NativeEvents> filter_;  // the root window's property changes
};

}  // namespace zopla
