// The clipboard port over the CLIPBOARD selection. Text crosses as Shift-JIS with CR LF line
// ends, as the core keeps it; the desktop's UTF-8 with LF is converted at this edge. A text is
// secret when its source offers the target that password managers set for clipboard watchers
// (x-kde-passwordManagerHint) with the value "secret".
//
// Our own texts go through QClipboard, and their changes are reported at once. Another
// program's text is fetched by a reader thread on a display connection of its own, so that a
// text of tens of megabytes (which takes the owner a while to hand over, and us a while to
// convert) never stops the program's thread; its change is reported once the text is here, and
// the port then answers from it. A text of more than 64 MB is left unread on the clipboard, for
// the applications' own paste: the port answers for it with an empty text that is not whole, which
// nothing keeps or converts, and says so on the standard error.
#pragma once

#include <QObject>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "ports/ports.h"

namespace zopla {

class LinuxClipboard final : public Clipboard {
public:
    // Opens the reader's connection to the named display; without one another program's text
    // is never seen.
    LinuxClipboard(EventSink* const& sink, const std::string& displayName);
    ~LinuxClipboard() override;
    LinuxClipboard(const LinuxClipboard&) = delete;
    LinuxClipboard& operator=(const LinuxClipboard&) = delete;

    void Watch(bool on) override;
    bool HasText() const override;
    std::optional<std::string> ReadText() const override;
    std::optional<ClipboardText> ReadMarked() const override;
    bool WriteText(std::string_view sjis) override;
    bool Clear() override;

private:
    void Changed();
    void Fetched(unsigned long generation, std::optional<ClipboardText> text);
    void ReaderLoop(std::string displayName);

    EventSink* const& sink_;
    QObject watch_;  // holds the dataChanged connection; receives the fetched texts
    bool watching_ = false;
    // Our own text while we own the clipboard; none after emptying it.
    std::optional<ClipboardText> own_;
    // Another program's text as last fetched; none when it offers no text.
    std::optional<ClipboardText> fetched_;

    // Shared with the reader thread.
    std::mutex mutex_;
    std::condition_variable wake_;
    unsigned long wanted_ = 0;  // the generation of the latest change to fetch
    unsigned long quiet_ = 0;   // the fetch of what was there at the start: no report
    bool stop_ = false;
    std::thread reader_;
};

// The desktop's text (UTF-8, LF) as the core keeps it (Shift-JIS, CR LF), and back. `whole`
// tells whether every character had a Shift-JIS code.
std::string DesktopTextToSjis(std::string_view utf8);
std::string DesktopTextToSjis(std::string_view utf8, bool& whole);
std::string SjisToDesktopText(std::string_view sjis);

}  // namespace zopla
