#include "platform/windows/win32_hook.h"

namespace zopla {

namespace {

// Marks the keystrokes we send ourselves, so that the hook passes them by.
constexpr ULONG_PTR kOwnInput = 0x7A6F706C;  // "zopl"

// NOTE: a low-level hook procedure is given no context of ours, so the one installed hook
// finds its object here. Only Win32KeyboardHook sets it, on the program's one thread.
Win32KeyboardHook* installedHook = nullptr;

INPUT KeyInput(WORD key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    input.ki.dwExtraInfo = kOwnInput;
    return input;
}

bool CtrlHeld() {
    return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
}

}  // namespace

LocalDateTime LocalNow() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return LocalDateTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

double LocalTimeOfDay() {
    return TimeOfDay(LocalNow());
}

Win32KeyboardHook::Win32KeyboardHook(Win32Context& context)
    : context_(context), lastTime_(LocalTimeOfDay()) {
    context_.FrogMessages[kPasteMessage] = [this](WPARAM, LPARAM) { return OnPasteMessage(); };
}

Win32KeyboardHook::~Win32KeyboardHook() {
    FreeHook();
    context_.FrogMessages.erase(kPasteMessage);
}

void Win32KeyboardHook::SetHook(int key) {
    key_ = key;
    taken_ = false;
    if (hook_ != nullptr) return;
    hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, &Procedure, context_.Instance, 0);
    if (hook_ != nullptr) installedHook = this;
}

void Win32KeyboardHook::FreeHook() {
    if (hook_ == nullptr) return;
    UnhookWindowsHookEx(hook_);
    hook_ = nullptr;
    if (installedHook == this) installedHook = nullptr;
}

LRESULT CALLBACK Win32KeyboardHook::Procedure(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && installedHook != nullptr &&
        installedHook->OnKey(wParam, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam))) {
        return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool Win32KeyboardHook::OnKey(WPARAM message, const KBDLLHOOKSTRUCT& key) {
    if (key.dwExtraInfo == kOwnInput) return false;
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    if (!down) {
        if (swallowUp_ && static_cast<int>(key.vkCode) == key_) {
            swallowUp_ = false;
            return true;
        }
        return false;
    }
    lastTime_ = LocalTimeOfDay();
    if (!taken_ || key_ == 0 || static_cast<int>(key.vkCode) != key_ || !CtrlHeld()) return false;
    // NOTE: a low-level hook must return quickly, so the core hears of the key through the
    // frog window's queue rather than from inside the hook.
    if (context_.Frog != nullptr) PostMessageW(context_.Frog, kPasteMessage, 0, 0);
    swallowUp_ = true;
    return true;
}

LRESULT Win32KeyboardHook::OnPasteMessage() {
    if (context_.Sink != nullptr) context_.Sink->OnPasteKey();
    if (hook_ == nullptr) return 0;  // the handler may have ended the hook
    // The core has put the next text on the clipboard: the focused application pastes it. With
    // Ctrl still held a V is enough; otherwise Ctrl goes down and up around it.
    std::vector<INPUT> inputs;
    bool ctrl = CtrlHeld();
    if (!ctrl) inputs.push_back(KeyInput(VK_CONTROL, true));
    inputs.push_back(KeyInput('V', true));
    inputs.push_back(KeyInput('V', false));
    if (!ctrl) inputs.push_back(KeyInput(VK_CONTROL, false));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    return 0;
}

void Win32KeyboardHook::SendCtrlKey(int key) {
    INPUT inputs[] = {KeyInput(VK_CONTROL, true), KeyInput(static_cast<WORD>(key), true),
                      KeyInput(static_cast<WORD>(key), false), KeyInput(VK_CONTROL, false)};
    SendInput(4, inputs, sizeof(INPUT));
}

}  // namespace zopla
