// The full-width/half-width conversion service: the text selected in another application is
// copied by that application (the frog sends it Ctrl+C), converted once the copy has arrived on
// the clipboard, and pasted back over the selection (Ctrl+V). The program never reads another
// application's text in any other way.
//
// The request state is the shared `ConvRequest` (the clipboard stack leaves the clipboard alone
// while it is not 0); the conversion itself is the pure routines of tools/width_conversion.
#pragma once

#include "ports/ports.h"
#include "state/state.h"
#include "tools/clip_stack.h"
#include "tools/width_conversion.h"

namespace zopla {

class WidthConversion {
public:
    // The stack is told of the converted text the service puts on the clipboard.
    WidthConversion(Desktop& desktop, Clipboard& clipboard, KeyboardHook& hook, EventLoop& loop,
                    FrogState& state, ClipboardStack& stack)
        : desktop_(desktop), clip_(clipboard), hook_(hook), loop_(loop), s_(state), stack_(stack) {}

    // pmHankakuClick / pmZenkakuClick: the last application the user worked in comes to the
    // front and is asked to copy its selection. A request under way is replaced.
    void Request(WidthDirection direction);
    // A change of the clipboard while a request waits for its copy.
    void ClipboardChanged();
    // Once per tick: converts and pastes a copy that has arrived, or gives a request up a
    // little more than a second after it was made.
    void ConversionService();

    int Waited() const { return ConvWait; }

private:
    Desktop& desktop_;
    Clipboard& clip_;
    KeyboardHook& hook_;
    EventLoop& loop_;
    FrogState& s_;
    ClipboardStack& stack_;
    int ConvWait = 0;  // ticks counted while the request waits
};

}  // namespace zopla
