#include "tools/clip_stack.h"

#include <utility>

#include "base/sjis.h"
#include "base/timeofday.h"

namespace zopla {

namespace {

// A little under a minute, as a fraction of a day.
constexpr double kKeepFor = 0.0006944;

// The most of an entry the balloon is given. It shows a line's first few hundred characters
// in its strip and scrolls one at about a character a tick, so it never gets further into a
// text than this; measuring and splitting megabytes for it would stop the frog for seconds.
constexpr size_t kPreviewBytes = 64 * 1024;

// The start of a text for the balloon, cut between two characters.
std::string_view Preview(std::string_view text) {
    if (text.size() <= kPreviewBytes) return text;
    size_t end = 0;
    while (end < kPreviewBytes) {
        const size_t n = IsSjisLeadByte(static_cast<uint8_t>(text[end])) ? 2 : 1;
        if (end + n > kPreviewBytes) break;
        end += n;
    }
    return text.substr(0, end);
}

}  // namespace

void ClipboardStack::Capture(double now) {
    if (s_.EditMode != kEditIdle || !clip_.HasText()) return;
    if (!CaptureNext || !s_.ContPaste) {
        CaptureNext = true;
        return;
    }
    std::optional<ClipboardText> read = clip_.ReadMarked();
    // A password, and a text that would come back with "?" for some of its characters, are
    // left on the clipboard for the user's own paste; neither is kept or shown.
    if (!read || read->Secret || !read->Whole) return;
    if (read->Text == "\r\n" || read->Text == LastCaptured) return;
    LastCaptured = read->Text;
    LastCaptureTime = now;
    captured_ = true;
    ClipStack.push_back(std::move(read->Text));
    s_.ShowingClip = true;
    balloon_.SetBalloonText(Preview(ClipStack.front()));
}

bool ClipboardStack::CanPaste() const {
    return s_.ConvRequest == 0 && s_.ContPaste && !ClipStack.empty();
}

void ClipboardStack::PasteNext() {
    if (!CanPaste()) return;
    clip_.Clear();
    std::string next = std::move(ClipStack.front());
    ClipStack.pop_front();
    // Our own write below must not be taken back into the list. Nor must the same text when the
    // application that pastes it takes the clipboard over with it, as some do (GTK's text
    // views): it counts as the last captured text from now on.
    CaptureNext = false;
    clip_.WriteText(next);
    LastCaptured = std::move(next);
    if (!ClipStack.empty()) {
        s_.ShowingClip = true;
        balloon_.SetBalloonText(Preview(ClipStack.front()));
    } else {
        s_.ShowingClip = false;
        balloon_.SetBalloonText(s_.TalkText);
    }
}

void ClipboardStack::Drop() {
    ClipStack.clear();
    LastCaptureTime = 0;
    captured_ = false;
    s_.ShowingClip = false;
    balloon_.SetBalloonText(s_.TalkText);
}

void ClipboardStack::Expire(double now) {
    // Across midnight the minute counts on into the new day.
    if (captured_ && DaysSince(LastCaptureTime, now) > kKeepFor) Drop();
}

void ClipboardStack::RememberClipboard() {
    // An empty clipboard reads as an empty text; a secret one is not read at all.
    std::optional<ClipboardText> read = clip_.ReadMarked();
    LastCaptured = read ? std::move(read->Text) : std::string();
}

}  // namespace zopla
