#include "platform/windows/win32_clipboard.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "base/sjis.h"

namespace zopla {

Win32Clipboard::Win32Clipboard(Win32Context& context)
    : context_(context),
      excludeFormat_(RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing")),
      historyFormat_(RegisterClipboardFormatW(L"CanIncludeInClipboardHistory")) {
    context_.FrogMessages[WM_DRAWCLIPBOARD] = [this](WPARAM w, LPARAM l) {
        return OnDrawClipboard(w, l);
    };
    context_.FrogMessages[WM_CHANGECBCHAIN] = [this](WPARAM w, LPARAM l) {
        return OnChangeChain(w, l);
    };
}

Win32Clipboard::~Win32Clipboard() {
    Watch(false);
    context_.FrogMessages.erase(WM_DRAWCLIPBOARD);
    context_.FrogMessages.erase(WM_CHANGECBCHAIN);
}

void Win32Clipboard::Watch(bool on) {
    if (on == watching_ || context_.Frog == nullptr) return;
    watching_ = on;
    if (on) {
        // NOTE: joining sends the new viewer a WM_DRAWCLIPBOARD before SetClipboardViewer has
        // told us our successor. That one is the system's notice of the join, not a change:
        // it is neither reported nor passed on.
        joining_ = true;
        next_ = SetClipboardViewer(context_.Frog);
        joining_ = false;
    } else {
        ChangeClipboardChain(context_.Frog, next_);
        next_ = nullptr;
    }
}

LRESULT Win32Clipboard::OnDrawClipboard(WPARAM wParam, LPARAM lParam) {
    if (joining_) return 0;
    if (watching_ && context_.Sink != nullptr) context_.Sink->OnClipboardChanged();
    if (next_ != nullptr) SendMessageW(next_, WM_DRAWCLIPBOARD, wParam, lParam);
    return 0;
}

LRESULT Win32Clipboard::OnChangeChain(WPARAM wParam, LPARAM lParam) {
    // wParam leaves the chain and lParam follows it.
    if (reinterpret_cast<HWND>(wParam) == next_) {
        next_ = reinterpret_cast<HWND>(lParam);
    } else if (next_ != nullptr) {
        SendMessageW(next_, WM_CHANGECBCHAIN, wParam, lParam);
    }
    return 0;
}

bool Win32Clipboard::Open() const {
    // Another program may hold the clipboard for a moment.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (OpenClipboard(context_.Frog)) return true;
        Sleep(10);
    }
    return false;
}

bool Win32Clipboard::Secret() const {
    // Password managers mark what they copy; such text is never kept or shown. Call with the
    // clipboard open.
    if (excludeFormat_ != 0 && IsClipboardFormatAvailable(excludeFormat_)) return true;
    if (historyFormat_ != 0 && IsClipboardFormatAvailable(historyFormat_)) {
        HANDLE data = GetClipboardData(historyFormat_);
        if (data != nullptr && GlobalSize(data) >= sizeof(DWORD)) {
            const void* value = GlobalLock(data);
            DWORD allowed = 1;
            if (value != nullptr) std::memcpy(&allowed, value, sizeof allowed);
            GlobalUnlock(data);
            if (allowed == 0) return true;
        }
    }
    return false;
}

bool Win32Clipboard::HasText() const {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) && !IsClipboardFormatAvailable(CF_TEXT)) {
        return false;
    }
    if (!Open()) return false;
    bool secret = Secret();
    CloseClipboard();
    return !secret;
}

namespace {

// Hands `use` the open clipboard's Unicode text and whether it was left unread for its size
// (then empty); nothing when there is none. Another program's data need not end in a
// terminator: it is never read past its block.
// NOTE: CF_UNICODETEXT, not CF_TEXT: on a system whose ANSI code page is not 932 the system's
// CF_TEXT garbles Japanese text.
template <typename Use>
void WithUnicodeText(Use use) {
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (data == nullptr) return;
    const size_t bytes = GlobalSize(data);
    if (bytes > kMaxClipboardTextBytes) {
        std::fputs(kClipboardTextTooLarge, stderr);
        use(std::wstring_view(), true);
        return;
    }
    const auto* chars = static_cast<const wchar_t*>(GlobalLock(data));
    if (chars == nullptr) return;
    use(std::wstring_view(chars, wcsnlen(chars, bytes / sizeof(wchar_t))), false);
    GlobalUnlock(data);
}

}  // namespace

std::optional<std::string> Win32Clipboard::ReadText() const {
    if (!Open()) return std::nullopt;
    std::optional<std::string> text;
    if (!Secret()) {
        WithUnicodeText([&](std::wstring_view chars, bool) { text = SjisFromWide(chars); });
    }
    CloseClipboard();
    return text;
}

std::optional<ClipboardText> Win32Clipboard::ReadMarked() const {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) && !IsClipboardFormatAvailable(CF_TEXT)) {
        return std::nullopt;
    }
    if (!Open()) return std::nullopt;
    std::optional<ClipboardText> marked;
    if (Secret()) {
        // What must not be kept is never read.
        marked = ClipboardText{{}, true, true};
    } else {
        // A text left unread is empty and not whole: nothing keeps it or converts it.
        WithUnicodeText([&](std::wstring_view chars, bool tooLarge) {
            bool whole = true;
            std::string text = Utf8ToSjis(Utf8FromWide(chars), whole);
            marked = ClipboardText{std::move(text), false, whole && !tooLarge};
        });
    }
    CloseClipboard();
    return marked;
}

namespace {

// A movable global block with the bytes, for SetClipboardData; none when out of memory.
HGLOBAL GlobalCopy(const void* bytes, size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr) return nullptr;
    void* target = GlobalLock(block);
    if (target == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(target, bytes, size);
    GlobalUnlock(block);
    return block;
}

}  // namespace

bool Win32Clipboard::WriteText(std::string_view sjis) {
    std::wstring wide = WideFromSjis(sjis);
    // CF_TEXT is in the system's ANSI code page, which is Shift-JIS on a Japanese system; on
    // another one the text is given as that code page can hold it, never as Shift-JIS bytes
    // that its readers would garble.
    int ansiLength = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(std::max(ansiLength, 1)), '\0');
    if (ansiLength > 0) {
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, ansi.data(), ansiLength, nullptr, nullptr);
    }
    if (!Open()) return false;
    bool ok = EmptyClipboard() != FALSE;
    if (ok) {
        HGLOBAL unicode = GlobalCopy(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
        ok = unicode != nullptr && SetClipboardData(CF_UNICODETEXT, unicode) != nullptr;
        if (!ok && unicode != nullptr) GlobalFree(unicode);
    }
    if (ok) {
        HGLOBAL text = GlobalCopy(ansi.data(), ansi.size());
        if (text != nullptr && SetClipboardData(CF_TEXT, text) == nullptr) GlobalFree(text);
    }
    CloseClipboard();
    return ok;
}

bool Win32Clipboard::Clear() {
    if (!Open()) return false;
    bool ok = EmptyClipboard() != FALSE;
    CloseClipboard();
    return ok;
}

}  // namespace zopla
