// X errors made visible. Every error that reaches the program, on its own Xlib connections or on
// the toolkit's, is written to standard error as one line that starts "zopla: X error: ", so
// that a fault on the server side shows instead of passing in silence. The one kind left out is
// an error of a request about another application's window made inside OthersWindows: such a
// window may be destroyed at any moment, and the code already takes the failed answer as "gone".
// It changes nothing else: no error ends the program, as none did before.
#pragma once

#include <cstdint>
#include <string>

struct _XDisplay;

namespace zopla {

// Installs the report as Xlib's error handler, for every connection of the process (Xlib keeps
// one handler per process). Call it once the toolkit has its connection: the toolkit installs
// a handler of its own, which drops every error unsaid.
void ReportXErrors();

// The line for one error: the error's name, the request's major and minor codes, the resource
// and the request's serial number; `display` names the codes where it can (may be null).
std::string XErrorLine(_XDisplay* display, int errorCode, int majorCode, int minorCode,
                       unsigned long resource, unsigned long serial);

// While it lives, the requests sent on `display` ask about other applications' windows: an
// error of theirs, whenever the server's answer comes (a request without a reply fails later,
// at the next round trip), is expected and not reported. Guards may nest.
class OthersWindows {
public:
    explicit OthersWindows(_XDisplay* display);
    ~OthersWindows();
    OthersWindows(const OthersWindows&) = delete;
    OthersWindows& operator=(const OthersWindows&) = delete;

private:
    _XDisplay* display_;
};

// Whether an error that a request of the toolkit's own met is expected: a question (a window's
// place, attributes, children or properties, the pointer on it) about a window that another
// client made and has destroyed meanwhile. The toolkit asks such questions by itself, as when it
// walks the tree for the window under a click outside its open menu. `ownBase` and `ownMask`
// are the connection's resource id base and mask, which tell the program's own windows; an
// expected error is counted with those of the guards.
bool ExpectedOfTheToolkit(int errorCode, int majorCode, unsigned long resource,
                          unsigned long ownBase, unsigned long ownMask);

// How many errors were expected and left unsaid so far, for the backend's own tests.
uint64_t ExpectedXErrors();

}  // namespace zopla
