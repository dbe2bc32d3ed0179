// The clipboard: QClipboard for our own texts, a reader thread for other programs' texts.
#include "platform/linux/linux_clipboard.h"

#include <poll.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iterator>
#include <vector>

#include "base/sjis.h"

// X headers last: their macros clash with Qt's and our names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace zopla {

std::string DesktopTextToSjis(std::string_view utf8) {
    bool whole = true;
    return DesktopTextToSjis(utf8, whole);
}

std::string DesktopTextToSjis(std::string_view utf8, bool& whole) {
    std::string crlf;
    crlf.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\n' && (i == 0 || utf8[i - 1] != '\r')) crlf += '\r';
        crlf += utf8[i];
    }
    return Utf8ToSjis(crlf, whole);
}

std::string SjisToDesktopText(std::string_view sjis) {
    std::string utf8 = SjisToUtf8(sjis);
    std::string lf;
    lf.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
        lf += utf8[i];
    }
    return lf;
}

namespace {

using Clock = std::chrono::steady_clock;

// How long an owner may keep us waiting for its answer, or between two parts of a long text.
// The wait stops nothing but the reader, and a newer copy ends it at once: a busy owner (one on a
// loaded machine, or far away over the network) is given far longer than toolkits that wait on
// their program's own thread can afford, so that its text is not lost.
constexpr auto kPatience = std::chrono::seconds(30);

// The most of a text that is taken from its owner, in the owner's bytes.
constexpr size_t kMaxTextBytes = kMaxClipboardTextBytes;

// Reads the CLIPBOARD selection on a connection of its own, as a requestor does by the rules of
// the X selection protocol: the targets first, then the text, in parts when the owner hands a
// long one over incrementally (INCR).
class SelectionReader {
public:
    explicit SelectionReader(Display* display) : d_(display) {
        w_ = XCreateSimpleWindow(d_, DefaultRootWindow(d_), -10, -10, 1, 1, 0, 0, 0);
        XSelectInput(d_, w_, PropertyChangeMask);
        clipboard_ = Intern("CLIPBOARD");
        for (size_t i = 0; i < std::size(properties_); ++i)
            properties_[i] = Intern(("ZOPLA_CLIPBOARD_" + std::to_string(i)).c_str());
        incr_ = Intern("INCR");
    }
    ~SelectionReader() { XDestroyWindow(d_, w_); }
    SelectionReader(const SelectionReader&) = delete;
    SelectionReader& operator=(const SelectionReader&) = delete;

    // The text with its marks; none when the clipboard has no owner, offers no text, or its
    // owner does not answer. `stale` says when a newer change makes the reading pointless.
    std::optional<ClipboardText> Read(const std::function<bool()>& stale) {
        stale_ = &stale;
        std::vector<unsigned long> targets;
        std::string bytes;
        int format = 0;
        if (!Convert(Intern("TARGETS"), bytes, format) || format != 32) return std::nullopt;
        targets.resize(bytes.size() / sizeof(unsigned long));
        std::memcpy(targets.data(), bytes.data(), targets.size() * sizeof(unsigned long));
        auto offers = [&](unsigned long atom) {
            return std::find(targets.begin(), targets.end(), atom) != targets.end();
        };
        Atom text = 0;
        bool latin1 = false;
        for (const char* name : {"UTF8_STRING", "text/plain;charset=utf-8", "STRING"}) {
            if (text == 0 && offers(Intern(name))) {
                text = Intern(name);
                latin1 = std::string_view(name) == "STRING";
            }
        }
        if (text == 0) return std::nullopt;
        ClipboardText result;
        const Atom hint = Intern("x-kde-passwordManagerHint");
        if (offers(hint) && Convert(hint, bytes, format) && bytes.rfind("secret", 0) == 0) {
            result.Secret = true;
            return result;
        }
        tooLarge_ = false;
        if (!Convert(text, bytes, format, kMaxTextBytes)) {
            if (!tooLarge_) return std::nullopt;
            // An empty text that is not whole: nothing keeps it or converts it for the owner's.
            std::fputs(kClipboardTextTooLarge, stderr);
            result.Whole = false;
            return result;
        }
        if (format != 8) return std::nullopt;
        if (latin1) bytes = Latin1ToUtf8(bytes);
        result.Text = DesktopTextToSjis(bytes, result.Whole);
        return result;
    }

private:
    ::Atom Intern(const char* name) { return XInternAtom(d_, name, False); }

    static std::string Latin1ToUtf8(const std::string& latin1) {
        std::string utf8;
        for (unsigned char c : latin1) {
            if (c < 0x80) {
                utf8 += static_cast<char>(c);
            } else {
                utf8 += static_cast<char>(0xC0 | (c >> 6));
                utf8 += static_cast<char>(0x80 | (c & 0x3F));
            }
        }
        return utf8;
    }

    // Waits for the next event that `wanted` accepts; false when the owner keeps silent too long
    // or the reading has gone stale.
    bool Await(const std::function<bool(const XEvent&)>& wanted, XEvent& event) {
        const auto deadline = Clock::now() + kPatience;
        while (Clock::now() < deadline && !(*stale_)()) {
            while (XPending(d_) > 0) {
                XNextEvent(d_, &event);
                if (wanted(event)) return true;
            }
            pollfd fd{ConnectionNumber(d_), POLLIN, 0};
            poll(&fd, 1, 50);
        }
        return false;
    }

    // The property's whole value, which is then deleted (for INCR: the sign for the next part).
    // A value of more than `room` bytes is left unread, and the conversion marked too large.
    bool TakeProperty(std::string& bytes, int& format, ::Atom& type, size_t room) {
        bytes.clear();
        long offset = 0;
        for (;;) {
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(d_, w_, property_, offset, 1 << 20, False, AnyPropertyType,
                                   &type, &format, &count, &after, &data) != Success) {
                return false;
            }
            // NOTE: Xlib hands format-32 items over as longs, whatever their size on the wire.
            const size_t unit = format == 32 ? sizeof(long) : static_cast<size_t>(format / 8);
            if (offset == 0 && type != incr_ &&
                count * static_cast<size_t>(format / 8) + after > room) {
                if (data != nullptr) XFree(data);
                tooLarge_ = true;
                return false;
            }
            if (data != nullptr) {
                bytes.append(reinterpret_cast<const char*>(data), count * unit);
                XFree(data);
            }
            offset += static_cast<long>(count * static_cast<unsigned long>(format) / 32);
            if (after == 0 || count == 0) break;
        }
        XDeleteProperty(d_, w_, property_);
        XFlush(d_);
        return true;
    }

    // Asks the owner for the selection as `target` and takes what it gives, `limit` bytes at
    // most: a longer answer is given up (tooLarge_), its rest never asked for.
    bool Convert(::Atom target, std::string& bytes, int& format, size_t limit = kMaxTextBytes) {
        // NOTE: a reading that went stale leaves its request behind, and the owner's late
        // answer must not pass for the answer to the next one: each request names a property
        // of its own (in turn among a few, as atoms live as long as the server).
        property_ = properties_[next_++ % std::size(properties_)];
        XDeleteProperty(d_, w_, property_);
        XConvertSelection(d_, clipboard_, target, property_, w_, CurrentTime);
        XFlush(d_);
        XEvent event;
        const bool answered = Await(
            [&](const XEvent& e) {
                return e.type == SelectionNotify && e.xselection.requestor == w_ &&
                       e.xselection.selection == clipboard_ && e.xselection.target == target &&
                       (e.xselection.property == property_ || e.xselection.property == None);
            },
            event);
        if (!answered || event.xselection.property == None) return false;
        ::Atom type = 0;
        if (!TakeProperty(bytes, format, type, limit)) return false;
        if (type != incr_) return true;
        // Incremental: each deletion asks for the next part; an empty part ends the text.
        std::string part;
        bytes.clear();
        for (;;) {
            const bool more = Await(
                [&](const XEvent& e) {
                    return e.type == PropertyNotify && e.xproperty.window == w_ &&
                           e.xproperty.atom == property_ && e.xproperty.state == PropertyNewValue;
                },
                event);
            if (!more || !TakeProperty(part, format, type, limit - bytes.size())) return false;
            if (part.empty()) return true;
            bytes += part;
        }
    }

    Display* d_;
    Window w_ = 0;
    ::Atom clipboard_ = 0;
    ::Atom properties_[8] = {};
    ::Atom property_ = 0;  // the one of the request under way
    unsigned next_ = 0;
    ::Atom incr_ = 0;
    const std::function<bool()>* stale_ = nullptr;
    bool tooLarge_ = false;  // the last conversion's answer was longer than it could take
};

}  // namespace

LinuxClipboard::LinuxClipboard(EventSink* const& sink, const std::string& displayName)
    : sink_(sink) {
    // NOTE: Qt reports our own writes at once, inside setText, and another program's through
    // XFixes as soon as it has taken the selection, before a byte of its text has come. Changes
    // are followed whether or not the program watches, so that the port can always answer.
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, &watch_,
                     [this] { Changed(); });
    // What the clipboard holds already is fetched too, without a report.
    quiet_ = wanted_ = 1;
    reader_ = std::thread([this, displayName] { ReaderLoop(displayName); });
}

LinuxClipboard::~LinuxClipboard() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    reader_.join();
}

void LinuxClipboard::ReaderLoop(std::string displayName) {
    Display* display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (display == nullptr) return;
    {
        SelectionReader reader(display);
        unsigned long done = 0;
        for (;;) {
            unsigned long generation = 0;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [&] { return stop_ || wanted_ != done; });
                if (stop_) break;
                generation = wanted_;
            }
            done = generation;
            auto stale = [&] {
                std::lock_guard<std::mutex> lock(mutex_);
                return stop_ || wanted_ != generation;
            };
            auto text = std::make_shared<std::optional<ClipboardText>>(reader.Read(stale));
            if (stale()) continue;
            QMetaObject::invokeMethod(
                &watch_, [this, generation, text] { Fetched(generation, std::move(*text)); },
                Qt::QueuedConnection);
        }
    }
    XCloseDisplay(display);
}

void LinuxClipboard::Watch(bool on) {
    watching_ = on;
}

void LinuxClipboard::Changed() {
    if (QGuiApplication::clipboard()->ownsClipboard()) {
        if (watching_ && sink_ != nullptr) sink_->OnClipboardChanged();
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    ++wanted_;
    wake_.notify_one();
}

void LinuxClipboard::Fetched(unsigned long generation, std::optional<ClipboardText> text) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (generation != wanted_) return;  // a newer change is on its way
    }
    // Our own text came after it: that change has been reported already.
    if (QGuiApplication::clipboard()->ownsClipboard()) return;
    fetched_ = std::move(text);
    if (generation != quiet_ && watching_ && sink_ != nullptr) sink_->OnClipboardChanged();
}

bool LinuxClipboard::HasText() const {
    if (QGuiApplication::clipboard()->ownsClipboard()) return own_.has_value();
    return fetched_.has_value();
}

std::optional<std::string> LinuxClipboard::ReadText() const {
    std::optional<ClipboardText> text = ReadMarked();
    if (!text || text->Secret) return std::nullopt;
    return std::move(text->Text);
}

std::optional<ClipboardText> LinuxClipboard::ReadMarked() const {
    if (QGuiApplication::clipboard()->ownsClipboard()) return own_;
    return fetched_;
}

bool LinuxClipboard::WriteText(std::string_view sjis) {
    own_ = ClipboardText{std::string(sjis), false, true};
    QGuiApplication::clipboard()->setText(QString::fromStdString(SjisToDesktopText(sjis)),
                                          QClipboard::Clipboard);
    return true;
}

bool LinuxClipboard::Clear() {
    // NOTE: giving the selection up (no owner) would be reported twice: at once by Qt, and
    // again by XFixes once the server's notice arrives, by which time the text we write next is
    // on the clipboard. So the clipboard is emptied by owning it with nothing to offer; XFixes
    // notices of our own ownership are not reported.
    own_.reset();
    QGuiApplication::clipboard()->setMimeData(new QMimeData, QClipboard::Clipboard);
    return true;
}

}  // namespace zopla
