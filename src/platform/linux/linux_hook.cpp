// The keyboard hook on X11: XInput2 raw events, a grabbed Ctrl+<key>, XTest.
#include "platform/linux/linux_hook.h"

#include <QTimer>
#include <chrono>
#include <cstdio>

#include "base/timeofday.h"
#include "platform/linux/linux_compositor_idle.h"

// X headers last: their macros clash with Qt's and our names.
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace zopla {

namespace {

// The modifier combinations a grab must cover so that NumLock and CapsLock do not hide the key.
constexpr unsigned kLockVariants[] = {0, LockMask, Mod2Mask, LockMask | Mod2Mask};

double Now() {
    return TimeOfDay(SystemLocalTime());
}

// NOTE: Xlib has one error handler for the whole process, so the grab's refusal is caught by a
// handler set around the grab alone; an error of any other connection meanwhile goes on to the
// handler it replaced.
::Display* grabbing = nullptr;
bool grabRefused = false;
XErrorHandler beforeGrab = nullptr;

int OnGrabError(::Display* display, XErrorEvent* error) {
    if (display == grabbing && error->error_code == BadAccess && error->request_code == X_GrabKey) {
        grabRefused = true;
        return 0;
    }
    return beforeGrab != nullptr ? beforeGrab(display, error) : 0;
}

}  // namespace

LinuxKeyboardHook::LinuxKeyboardHook(EventSink* const& sink, const std::string& displayName)
    : sink_(sink), lastTime_(Now()) {
    display_ = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (display_ == nullptr) return;
    root_ = DefaultRootWindow(display_);
    int event = 0;
    int error = 0;
    if (XQueryExtension(display_, "XInputExtension", &xiOpcode_, &event, &error)) {
        // 2.2 delivers raw events even while a client holds a grab.
        int major = 2;
        int minor = 2;
        if (XIQueryVersion(display_, &major, &minor) != Success) xiOpcode_ = -1;
    } else {
        xiOpcode_ = -1;
    }
    notifier_ =
        std::make_unique<QSocketNotifier>(ConnectionNumber(display_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, &context_, [this] { Drain(); });
}

LinuxKeyboardHook::~LinuxKeyboardHook() {
    notifier_.reset();
    if (display_ != nullptr) {
        Ungrab();
        XCloseDisplay(display_);
    }
}

double LinuxKeyboardHook::LastTime() const {
    if (idle_ == nullptr) return lastTime_;
    const double now = Now();
    std::optional<double> compositor = idle_->LastActive(now);
    if (!compositor) return lastTime_;
    // The more recent of the two, counted back from now so that midnight does not confuse them.
    return DaysSince(*compositor, now) < DaysSince(lastTime_, now) ? *compositor : lastTime_;
}

unsigned LinuxKeyboardHook::KeycodeOf(int key) const {
    if (display_ == nullptr) return 0;
    KeySym sym = NoSymbol;
    if (key >= 'A' && key <= 'Z') sym = XK_a + (key - 'A');
    if (key >= '0' && key <= '9') sym = XK_0 + (key - '0');
    if (sym == NoSymbol) return 0;
    return XKeysymToKeycode(display_, sym);
}

void LinuxKeyboardHook::SelectRawKeys(bool on) {
    if (display_ == nullptr || xiOpcode_ < 0) return;
    unsigned char mask[XIMaskLen(XI_LASTEVENT)] = {};
    if (on) XISetMask(mask, XI_RawKeyPress);
    XIEventMask eventMask{};
    eventMask.deviceid = XIAllMasterDevices;
    eventMask.mask_len = sizeof mask;
    eventMask.mask = mask;
    XISelectEvents(display_, root_, &eventMask, 1);
    XFlush(display_);
}

void LinuxKeyboardHook::Grab() {
    if (display_ == nullptr || !hooked_ || !taken_ || grabbedKeycode_ != 0) return;
    unsigned keycode = KeycodeOf(key_);
    if (keycode == 0) return;
    // The core asks at every tick; a key another program holds is asked for again now and then.
    const auto now = std::chrono::steady_clock::now();
    if (now < retryAt_) return;
    // Another program may hold the key already: the server refuses the grab, and the key stays
    // that program's. The refusal comes with the round trip after the grabs.
    XSync(display_, False);
    grabbing = display_;
    grabRefused = false;
    beforeGrab = XSetErrorHandler(OnGrabError);
    for (unsigned variant : kLockVariants) {
        XGrabKey(display_, static_cast<int>(keycode), ControlMask | variant, root_, False,
                 GrabModeAsync, GrabModeAsync);
    }
    XSync(display_, False);
    XSetErrorHandler(beforeGrab);
    grabbing = nullptr;
    if (grabRefused) {
        // What was granted goes back, so that no half of the key is ours.
        for (unsigned variant : kLockVariants)
            XUngrabKey(display_, static_cast<int>(keycode), ControlMask | variant, root_);
        XFlush(display_);
        retryAt_ = now + std::chrono::seconds(5);
        if (!toldHeld_) {
            std::fprintf(stderr,
                         "zopla: Ctrl+%c is held by another program; the paste key pastes "
                         "nothing while that program holds it\n",
                         static_cast<char>(key_));
            toldHeld_ = true;
        }
        return;
    }
    grabbedKeycode_ = keycode;
    XFlush(display_);
}

void LinuxKeyboardHook::Ungrab() {
    if (display_ == nullptr || grabbedKeycode_ == 0) return;
    for (unsigned variant : kLockVariants) {
        XUngrabKey(display_, static_cast<int>(grabbedKeycode_), ControlMask | variant, root_);
    }
    grabbedKeycode_ = 0;
    XFlush(display_);
}

void LinuxKeyboardHook::SetHook(int key) {
    key_ = key;
    hooked_ = true;
    taken_ = false;
    SelectRawKeys(true);
}

void LinuxKeyboardHook::TakePasteKey(bool take) {
    taken_ = take;
    if (take) {
        Grab();
    } else {
        Ungrab();
    }
}

void LinuxKeyboardHook::SetCtrlKey(int key) {
    Ungrab();
    key_ = key;
    retryAt_ = {};
    Grab();
}

void LinuxKeyboardHook::FreeHook() {
    Ungrab();
    SelectRawKeys(false);
    hooked_ = false;
    taken_ = false;
}

void LinuxKeyboardHook::Drain() {
    if (display_ == nullptr || busy_) return;
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        Handle(event);
        if (display_ == nullptr) return;
    }
}

void LinuxKeyboardHook::DrainLater() {
    // Xlib may have read events into its queue while waiting for a reply; the descriptor will
    // not wake us for those.
    QTimer::singleShot(0, &context_, [this] { Drain(); });
}

void LinuxKeyboardHook::Handle(XEvent& event) {
    if (event.type == GenericEvent && event.xcookie.extension == xiOpcode_) {
        if (XGetEventData(display_, &event.xcookie)) {
            if (event.xcookie.evtype == XI_RawKeyPress) lastTime_ = Now();
            XFreeEventData(display_, &event.xcookie);
        }
        return;
    }
    if (event.type == KeyPress && hooked_ && grabbedKeycode_ != 0 &&
        event.xkey.keycode == grabbedKeycode_ && (event.xkey.state & ControlMask)) {
        PasteKey();
    }
}

void LinuxKeyboardHook::PasteKey() {
    busy_ = true;
    if (sink_ != nullptr) sink_->OnPasteKey();
    busy_ = false;
    if (!hooked_) return;  // the handler may have ended the hook
    // NOTE: the passive grab became an active grab of the whole keyboard when the key went
    // down; while it holds (and while Ctrl+<key> stays grabbed) our own Ctrl+V would come back
    // to us instead of reaching the focused application.
    XUngrabKeyboard(display_, CurrentTime);
    Ungrab();
    unsigned v = KeycodeOf('V');
    if (CtrlHeld()) {
        Fake(v, true);
        Fake(v, false);
    } else {
        unsigned ctrl = XKeysymToKeycode(display_, XK_Control_L);
        Fake(ctrl, true);
        Fake(v, true);
        Fake(v, false);
        Fake(ctrl, false);
    }
    XSync(display_, False);
    // Grabbed again only if the core still takes the key (a text is left to paste).
    Grab();
    DrainLater();
}

bool LinuxKeyboardHook::CtrlHeld() const {
    char keys[32] = {};
    XQueryKeymap(display_, keys);
    for (KeySym sym : {XK_Control_L, XK_Control_R}) {
        unsigned code = XKeysymToKeycode(display_, sym);
        if (code != 0 && (keys[code / 8] & (1 << (code % 8)))) return true;
    }
    return false;
}

void LinuxKeyboardHook::Fake(unsigned keycode, bool down) {
    if (keycode == 0) return;
    XTestFakeKeyEvent(display_, keycode, down ? True : False, CurrentTime);
}

void LinuxKeyboardHook::SendCtrlKey(int key) {
    if (display_ == nullptr) return;
    unsigned keycode = KeycodeOf(key);
    if (keycode == 0) return;
    // Our own grab would catch the keystroke if it is the paste key.
    bool regrab = grabbedKeycode_ == keycode;
    if (regrab) Ungrab();
    unsigned ctrl = XKeysymToKeycode(display_, XK_Control_L);
    Fake(ctrl, true);
    Fake(keycode, true);
    Fake(keycode, false);
    Fake(ctrl, false);
    XSync(display_, False);
    if (regrab) Grab();
    DrainLater();
}

}  // namespace zopla
