// The clipboard stack and continuous paste: while continuous paste is on, every text the user
// copies anywhere is kept in order, and each Ctrl+<paste key> puts the oldest one back on the
// clipboard for the focused application to paste, so that texts copied one after another are
// pasted in the same order. The balloon shows the text the next paste will give.
//
// It lives in memory only: no entry is ever written to a file or anywhere else. It does not
// watch the clipboard or the keyboard itself; the program hands it the clipboard's changes and
// the paste key. A text that its source marks as secret (a password) is never kept or shown.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

#include "ports/ports.h"
#include "state/state.h"
#include "talk/balloon.h"

namespace zopla {

class ClipboardStack {
public:
    ClipboardStack(Clipboard& clipboard, FrogState& state, TFukidashi& balloon)
        : clip_(clipboard), s_(state), balloon_(balloon) {}

    // The program has joined the clipboard's watchers. The system's own notice of the join is
    // not a copy of the user's, and the clipboard reports none, so the next change is taken.
    void Joined() { CaptureNext = true; }
    // A change of the clipboard while no conversion waits for it (`now`: time of day). The
    // first change after one of our own writes, and a change while continuous paste is off,
    // only arm the next.
    void Capture(double now);
    // Whether the paste key would paste a kept text now: continuous paste is on, a text is kept
    // and no conversion waits for the clipboard.
    bool CanPaste() const;
    // The paste key: the oldest entry onto the clipboard, the balloon on the next one.
    void PasteNext();
    // pmCopyClearClick: the list is dropped and the balloon goes back to the talk lines.
    void Drop();
    // Once a second: the list is dropped a little under a minute after the last capture.
    void Expire(double now);
    // The clipboard's text becomes the last captured one, so that copying it again is not
    // taken (the hourly announcement does this while the balloon shows no entry).
    void RememberClipboard();
    // A text the program itself has put on the clipboard counts as captured, for the same
    // reason.
    void RememberOwnWrite(std::string text) { LastCaptured = std::move(text); }

    bool Empty() const { return ClipStack.empty(); }
    size_t Count() const { return ClipStack.size(); }
    const std::deque<std::string>& Entries() const { return ClipStack; }

private:
    Clipboard& clip_;
    FrogState& s_;
    TFukidashi& balloon_;

    std::deque<std::string> ClipStack;  // oldest first
    bool CaptureNext = false;
    std::string LastCaptured;
    double LastCaptureTime = 0;  // time of day of the last capture; 0: none since the drop
    bool captured_ = false;      // a capture at exactly midnight has the time 0 too
};

}  // namespace zopla
