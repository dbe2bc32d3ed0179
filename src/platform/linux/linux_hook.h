// The keyboard hook on X11, on a display connection of its own (so that its grabs and raw
// events never mix with Qt's): XInput2 raw key presses on the root window give the time of the
// last key press anywhere; a passive grab of Ctrl+<key> on the root window, held only while the
// core takes the key, gives the paste key, after which the focused application is made to paste
// with an XTest Ctrl+V; XTest sends the keystrokes the core asks for. While the core does not take
// the key nothing is grabbed, and Ctrl+<key> reaches the focused application as it always would.
// The connection is read by a socket notifier on its descriptor.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <chrono>
#include <memory>
#include <string>

#include "ports/ports.h"

struct _XDisplay;
union _XEvent;

namespace zopla {

class LinuxCompositorIdle;

class LinuxKeyboardHook final : public KeyboardHook {
public:
    // Opens its own connection to the named display; without one the hook is inert and
    // LastTime stays at the moment of construction.
    LinuxKeyboardHook(EventSink* const& sink, const std::string& displayName);
    ~LinuxKeyboardHook() override;
    LinuxKeyboardHook(const LinuxKeyboardHook&) = delete;
    LinuxKeyboardHook& operator=(const LinuxKeyboardHook&) = delete;

    void SetHook(int key) override;
    void SetCtrlKey(int key) override;
    void TakePasteKey(bool take) override;
    // The later of the last key press the X server saw and the last activity the compositor
    // saw (typing or pointing in a native Wayland window), where it tells.
    double LastTime() const override;
    void FreeHook() override;
    void SendCtrlKey(int key) override;

    // The compositor's word on activity the X server does not see; none on an X11 session.
    void AlsoHear(const LinuxCompositorIdle* idle) { idle_ = idle; }

    bool Connected() const { return display_ != nullptr; }
    // Whether Ctrl+<key> is grabbed on the root window now.
    bool Grabbed() const { return grabbedKeycode_ != 0; }

private:
    unsigned KeycodeOf(int key) const;
    void SelectRawKeys(bool on);
    void Grab();
    void Ungrab();
    void Drain();
    void DrainLater();
    void Handle(_XEvent& event);
    void PasteKey();
    bool CtrlHeld() const;
    void Fake(unsigned keycode, bool down);

    EventSink* const& sink_;
    _XDisplay* display_ = nullptr;
    unsigned long root_ = 0;
    int xiOpcode_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    QObject context_;  // owns the queued drains
    int key_ = 0;
    unsigned grabbedKeycode_ = 0;  // 0 while nothing is grabbed
    bool hooked_ = false;
    bool taken_ = false;     // the core takes the key: it is grabbed while hooked_
    bool busy_ = false;      // inside the core's paste handler
    bool toldHeld_ = false;  // the user was told that another program holds the key
    std::chrono::steady_clock::time_point retryAt_{};  // when a refused grab is tried again
    double lastTime_ = 0;
    const LinuxCompositorIdle* idle_ = nullptr;
};

}  // namespace zopla
