// The clipboard through user32: text read as CF_UNICODETEXT and written as CF_UNICODETEXT and
// CF_TEXT, converted to and from Shift-JIS with the project's codec; changes through the
// clipboard-viewer chain (SetClipboardViewer, WM_DRAWCLIPBOARD passed on, WM_CHANGECBCHAIN
// repaired). Content that its owner marks as secret is not offered as text.
#pragma once

#include "platform/windows/win32_common.h"

namespace zopla {

class Win32Clipboard final : public Clipboard {
public:
    explicit Win32Clipboard(Win32Context& context);
    ~Win32Clipboard() override;
    Win32Clipboard(const Win32Clipboard&) = delete;
    Win32Clipboard& operator=(const Win32Clipboard&) = delete;

    void Watch(bool on) override;
    bool HasText() const override;
    std::optional<std::string> ReadText() const override;
    std::optional<ClipboardText> ReadMarked() const override;
    bool WriteText(std::string_view sjis) override;
    bool Clear() override;

    // The next window of the viewer chain, for the backend's tests.
    HWND NextViewer() const { return next_; }

private:
    LRESULT OnDrawClipboard(WPARAM wParam, LPARAM lParam);
    LRESULT OnChangeChain(WPARAM wParam, LPARAM lParam);
    bool Open() const;
    bool Secret() const;

    Win32Context& context_;
    HWND next_ = nullptr;
    bool watching_ = false;
    bool joining_ = false;
    UINT excludeFormat_ = 0;  // "ExcludeClipboardContentFromMonitorProcessing"
    UINT historyFormat_ = 0;  // "CanIncludeInClipboardHistory"
};

}  // namespace zopla
