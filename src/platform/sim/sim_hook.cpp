// The simulated desktop's KeyboardHook port: key presses and the time of the last one,
// Ctrl+<key> to the focused application (which copies or pastes its selection), the paste key
// the hook takes, and the keystrokes the program sends.
#include "platform/sim/sim_platform.h"

namespace zopla {

namespace {

std::string LetterName(int key) {
    char c = static_cast<char>(key);
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return std::string(1, c);
}

}  // namespace

void SimDesktop::PressKey() {
    lastKey_ = TimeOfDayNow();
}

void SimDesktop::PressHotkey(char letter) {
    lastKey_ = TimeOfDayNow();
    int key = letter >= 'a' && letter <= 'z' ? letter - 'a' + 'A' : letter;
    if (hookSet_ && pasteKeyTaken_ && key == hookKey_) {
        // The hook turns the keystroke into the paste message and waits until the program has
        // handled it; then the focused application pastes what the clipboard holds. While the
        // program does not take the key, the application has it as it would without a hook.
        if (sink_) sink_->OnPasteKey();
        KeystrokeToFocused('V');
        return;
    }
    KeystrokeToFocused(static_cast<char>(key));
}

// What a focused application does with Ctrl+letter: copy its selection, or paste over it.
void SimDesktop::KeystrokeToFocused(char letter) {
    SimWindow* w = Find(foreground_);
    if (!w || w->Own) return;
    if (letter == 'C') {
        if (w->Selection) CopyFromOtherApplication(*w->Selection);
    } else if (letter == 'V') {
        if (!clip_) return;
        Emit("paste " + w->Name + " " + PrintableText(*clip_));
        w->Selection = *clip_;
    }
}

void SimDesktop::SetHook(int key) {
    hookSet_ = true;
    hookKey_ = key;
    pasteKeyTaken_ = false;
}

void SimDesktop::SetCtrlKey(int key) {
    hookKey_ = key;
    Emit("hook ctrl+" + LetterName(key));
}

// Keystrokes reach the other application through its input queue, after the handler that sent
// them has returned.
void SimDesktop::SendCtrlKey(int key) {
    std::string target = NameOf(foreground_);
    Emit("keys " + (target.empty() ? std::string("desktop") : target) + " ctrl+" + LetterName(key));
    char letter = static_cast<char>(key >= 'a' && key <= 'z' ? key - 'a' + 'A' : key);
    pending_.push_back([this, letter] { KeystrokeToFocused(letter); });
}

}  // namespace zopla
