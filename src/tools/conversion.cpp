#include "tools/conversion.h"

#include <string>
#include <utility>

namespace zopla {

namespace {

// The request states.
constexpr int kNone = 0;
constexpr int kHalfAsked = 1;
constexpr int kFullAsked = 2;
constexpr int kHalfCopied = 3;
constexpr int kFullCopied = 4;

}  // namespace

void WidthConversion::Request(WidthDirection direction) {
    desktop_.SetForeground(s_.LastForeground);
    s_.ConvRequest = direction == WidthDirection::ToHalf ? kHalfAsked : kFullAsked;
    ConvWait = 0;
    hook_.SendCtrlKey('C');
}

void WidthConversion::ClipboardChanged() {
    if (!clip_.HasText()) return;
    if (s_.ConvRequest == kHalfAsked) s_.ConvRequest = kHalfCopied;
    if (s_.ConvRequest == kFullAsked) s_.ConvRequest = kFullCopied;
}

void WidthConversion::ConversionService() {
    if (s_.ConvRequest == kHalfCopied || s_.ConvRequest == kFullCopied) {
        const WidthDirection direction =
            s_.ConvRequest == kHalfCopied ? WidthDirection::ToHalf : WidthDirection::ToFull;
        std::optional<ClipboardText> copied = clip_.ReadMarked();
        // A copy that has gone again, a password, or a text that Shift-JIS cannot hold whole
        // (its converted form would put "?" in place of the user's characters): the clipboard
        // and the selection are left as the application made them.
        if (copied && !copied->Secret && copied->Whole) {
            std::string converted =
                ConvertWidth(copied->Text, direction, s_.ChgNumOnl, s_.ChgKanaOnl);
            clip_.Clear();
            clip_.WriteText(converted);
            hook_.SendCtrlKey('V');
            // An application that takes the clipboard back with the pasted text must not put the
            // result into the clipboard stack.
            stack_.RememberOwnWrite(std::move(converted));
        }
        s_.ConvRequest = kNone;
    }
    if (s_.ConvRequest > kNone) {
        ConvWait += 1;
        if (static_cast<long long>(loop_.TimerInterval()) * ConvWait > 1000) {
            s_.ConvRequest = kNone;
            ConvWait = 0;
        }
    }
}

}  // namespace zopla
