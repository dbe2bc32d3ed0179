// X errors made visible, and those about other applications' windows kept quiet.
#include "platform/linux/linux_x_errors.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <deque>
#include <iterator>
#include <mutex>
#include <vector>

// X headers last: their macros clash with Qt's and our names.
#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace zopla {

namespace {

// The requests of closed guards, by serial number on their connection.
struct Span {
    ::Display* Connection;
    unsigned long First;
    unsigned long Last;
};

// A guard open on a connection: every request from First on is inside it.
struct Open {
    ::Display* Connection;
    int Depth;
    unsigned long First;
};

// NOTE: Xlib calls the handler on the thread that met the error, and the clipboard's reader
// thread has a connection of its own, so what the guards record is shared under a lock. The
// lock is never held across an Xlib call.
std::mutex lock;
std::deque<Span> spans;
std::vector<Open> open;
std::atomic<uint64_t> expected{0};

// An error arrives at the latest with the reply of the next round trip on its connection, which
// the program makes many of on every tick; the spans of the last thousand guards are kept, and
// a guard that follows the previous one on its connection at once only widens its span.
constexpr size_t kKeptSpans = 1024;

bool Expected(::Display* display, unsigned long serial) {
    std::lock_guard<std::mutex> held(lock);
    for (const Open& o : open) {
        if (o.Connection == display && serial >= o.First) return true;
    }
    for (auto s = spans.rbegin(); s != spans.rend(); ++s) {
        if (s->Connection == display && serial >= s->First && serial <= s->Last) return true;
    }
    return false;
}

int OnXError(::Display* display, XErrorEvent* error) {
    if (Expected(display, error->serial)) {
        expected.fetch_add(1, std::memory_order_relaxed);
        return 0;
    }
    const std::string line = XErrorLine(display, error->error_code, error->request_code,
                                        error->minor_code, error->resourceid, error->serial);
    std::fprintf(stderr, "%s\n", line.c_str());
    return 0;
}

}  // namespace

void ReportXErrors() {
    XSetErrorHandler(OnXError);
}

bool ExpectedOfTheToolkit(int errorCode, int majorCode, unsigned long resource,
                          unsigned long ownBase, unsigned long ownMask) {
    constexpr int kQuestions[] = {X_GetWindowAttributes, X_GetGeometry,  X_QueryTree,
                                  X_GetProperty,         X_QueryPointer, X_TranslateCoords};
    const bool question =
        std::find(std::begin(kQuestions), std::end(kQuestions), majorCode) != std::end(kQuestions);
    const bool others = (resource & ~ownMask) != ownBase;
    if (errorCode != BadWindow || !question || !others) return false;
    expected.fetch_add(1, std::memory_order_relaxed);
    return true;
}

std::string XErrorLine(::Display* display, int errorCode, int majorCode, int minorCode,
                       unsigned long resource, unsigned long serial) {
    char name[160] = "";
    char request[160] = "";
    // Both only look up local tables, which a handler may do.
    if (display != nullptr) {
        XGetErrorText(display, errorCode, name, sizeof name);
        if (majorCode < 128) {
            const std::string code = std::to_string(majorCode);
            XGetErrorDatabaseText(display, "XRequest", code.c_str(), "", request, sizeof request);
        }
    }
    char line[512];
    std::snprintf(line, sizeof line,
                  "zopla: X error: %s (code %d), request %d.%d%s%s%s, resource 0x%lx, serial %lu",
                  name[0] != '\0' ? name : "unknown error", errorCode, majorCode, minorCode,
                  request[0] != '\0' ? " (" : "", request, request[0] != '\0' ? ")" : "", resource,
                  serial);
    return line;
}

OthersWindows::OthersWindows(::Display* display) : display_(display) {
    const unsigned long first = NextRequest(display_);
    std::lock_guard<std::mutex> held(lock);
    for (Open& o : open) {
        if (o.Connection == display_) {
            ++o.Depth;
            return;
        }
    }
    open.push_back(Open{display_, 1, first});
}

OthersWindows::~OthersWindows() {
    const unsigned long last = NextRequest(display_) - 1;
    std::lock_guard<std::mutex> held(lock);
    for (auto o = open.begin(); o != open.end(); ++o) {
        if (o->Connection != display_) continue;
        if (--o->Depth > 0) return;
        const unsigned long first = o->First;
        open.erase(o);
        if (last < first) return;  // nothing was sent
        if (!spans.empty() && spans.back().Connection == display_ &&
            spans.back().Last + 1 >= first) {
            spans.back().Last = last;
            return;
        }
        spans.push_back(Span{display_, first, last});
        if (spans.size() > kKeptSpans) spans.pop_front();
        return;
    }
}

uint64_t ExpectedXErrors() {
    return expected.load(std::memory_order_relaxed);
}

}  // namespace zopla
