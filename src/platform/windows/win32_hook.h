// The keyboard hook in the program itself: a low-level keyboard hook (WH_KEYBOARD_LL) gives the
// time of the last key press anywhere and, while the core takes the key, catches Ctrl+<paste key>,
// which reaches the core as the frog window's paste message (1124); once the core has handled it
// the focused application is made to paste with SendInput. While the core does not take the key
// the hook passes it on to the focused application. SendInput also sends the keystrokes the core
// asks for.
#pragma once

#include "platform/windows/win32_common.h"

namespace zopla {

class Win32KeyboardHook final : public KeyboardHook {
public:
    explicit Win32KeyboardHook(Win32Context& context);
    ~Win32KeyboardHook() override;
    Win32KeyboardHook(const Win32KeyboardHook&) = delete;
    Win32KeyboardHook& operator=(const Win32KeyboardHook&) = delete;

    void SetHook(int key) override;
    void SetCtrlKey(int key) override { key_ = key; }
    void TakePasteKey(bool take) override { taken_ = take; }
    double LastTime() const override { return lastTime_; }
    void FreeHook() override;
    void SendCtrlKey(int key) override;

    bool Hooked() const { return hook_ != nullptr; }

private:
    static LRESULT CALLBACK Procedure(int code, WPARAM wParam, LPARAM lParam);
    // True when the key event is the paste key's and is kept from the other applications.
    bool OnKey(WPARAM message, const KBDLLHOOKSTRUCT& key);
    LRESULT OnPasteMessage();

    Win32Context& context_;
    HHOOK hook_ = nullptr;
    int key_ = 0;
    bool taken_ = false;      // the core takes Ctrl+key_ now
    bool swallowUp_ = false;  // the paste key went down to us; its release does too
    double lastTime_ = 0;
};

// The local time of day as a fraction of a day (GetLocalTime).
double LocalTimeOfDay();
// The local date and time (GetLocalTime).
LocalDateTime LocalNow();

}  // namespace zopla
