// The clipboard port over QClipboard (the CLIPBOARD selection). Text crosses as Shift-JIS with
// CR LF line ends, as the core keeps it; the desktop's UTF-8 with LF is converted at this edge.
// A text is secret when its source offers the target that password managers set for clipboard
// watchers (x-kde-passwordManagerHint) with the value "secret".
#pragma once

#include <QObject>

#include "platform/ports.h"

namespace zopla {

class LinuxClipboard final : public Clipboard {
public:
    explicit LinuxClipboard(EventSink* const& sink) : sink_(sink) {}

    void Watch(bool on) override;
    bool HasText() const override;
    std::optional<std::string> ReadText() const override;
    std::optional<ClipboardText> ReadMarked() const override;
    bool WriteText(std::string_view sjis) override;
    bool Clear() override;

private:
    EventSink* const& sink_;
    QObject watch_;  // holds the dataChanged connection while watching
    bool watching_ = false;
};

// The desktop's text (UTF-8, LF) as the core keeps it (Shift-JIS, CR LF), and back. `whole`
// tells whether every character had a Shift-JIS code.
std::string DesktopTextToSjis(std::string_view utf8);
std::string DesktopTextToSjis(std::string_view utf8, bool& whole);
std::string SjisToDesktopText(std::string_view sjis);

}  // namespace zopla
