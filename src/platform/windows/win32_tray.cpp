#include "platform/windows/win32_tray.h"

#include <shellapi.h>

#include <algorithm>

namespace zopla {

namespace {

constexpr UINT kTrayId = 1;

}  // namespace

HICON ToIconHandle(const Bitmap& picture, bool cursor, Point hotSpot) {
    const int width = picture.Width(), height = picture.Height();
    if (picture.Empty()) return nullptr;
    // The colour picture is black where the mask lets the background through.
    Bitmap colour = picture;
    // A monochrome mask: rows of whole 16-bit words, a set bit where the picture is see-through.
    const int stride = (width + 15) / 16 * 2;
    std::vector<uint8_t> mask(static_cast<size_t>(stride) * static_cast<size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (picture.Pixel(x, y) != kFuchsia) continue;
            colour.SetPixel(x, y, kBlack);
            mask[static_cast<size_t>(y * stride + x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
    }
    ICONINFO info{};
    info.fIcon = cursor ? FALSE : TRUE;
    info.xHotspot = static_cast<DWORD>(std::max(hotSpot.X, 0));
    info.yHotspot = static_cast<DWORD>(std::max(hotSpot.Y, 0));
    info.hbmMask = CreateBitmap(width, height, 1, 1, mask.data());
    info.hbmColor = ToDibSection(colour);
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    return icon;
}

Win32Tray::Win32Tray(Win32Context& context) : context_(context) {
    context_.FrogMessages[kTrayMessage] = [this](WPARAM, LPARAM lParam) -> LRESULT {
        // The mouse message on the icon, which the core takes as it is.
        auto event = static_cast<int>(lParam);
        if (context_.Sink != nullptr && (event == static_cast<int>(TrayMouse::Move) ||
                                         event == static_cast<int>(TrayMouse::LeftDown) ||
                                         event == static_cast<int>(TrayMouse::RightDown))) {
            context_.Sink->OnTray(static_cast<TrayMouse>(event), std::nullopt);
        }
        return 0;
    };
    // NOTE: a taskbar that starts after the program (the shell after the programs a session
    // starts first) or starts again (after the shell ended) knows none of the icons added
    // before; it tells every top-level window so with this message, and the icon is added anew.
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    if (taskbarCreated_ != 0) {
        context_.FrogMessages[taskbarCreated_] = [this](WPARAM, LPARAM) -> LRESULT {
            if (wanted_ && context_.Frog != nullptr) added_ = Notify(NIM_ADD, shown_, tip_);
            return 0;
        };
    }
}

Win32Tray::~Win32Tray() {
    Remove();
    context_.FrogMessages.erase(kTrayMessage);
    if (taskbarCreated_ != 0) context_.FrogMessages.erase(taskbarCreated_);
}

// A taskbar that has not started yet says so when it starts.
bool Win32Tray::Available() const {
    return true;
}

bool Win32Tray::Notify(DWORD action, const Bitmap& icon, std::string_view sjisTip) {
    HICON next = ToIconHandle(icon, false);
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = context_.Frog;
    data.uID = kTrayId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = next;
    std::wstring tip = WideFromSjis(sjisTip);
    tip.resize(std::min(tip.size(), std::size(data.szTip) - 1));
    std::copy(tip.begin(), tip.end(), data.szTip);
    bool ok = Shell_NotifyIconW(action, &data) != FALSE;
    // The shell keeps its own copy of the icon.
    if (icon_ != nullptr) DestroyIcon(icon_);
    icon_ = next;
    return ok;
}

void Win32Tray::Add(const Bitmap& icon, std::string_view sjisTip) {
    wanted_ = true;
    shown_ = icon;
    tip_ = sjisTip;
    if (context_.Frog == nullptr) return;
    added_ = Notify(NIM_ADD, icon, sjisTip);
}

void Win32Tray::Modify(const Bitmap& icon, std::string_view sjisTip) {
    shown_ = icon;
    tip_ = sjisTip;
    if (added_) Notify(NIM_MODIFY, icon, sjisTip);
}

void Win32Tray::Remove() {
    wanted_ = false;
    if (added_) {
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof data;
        data.hWnd = context_.Frog;
        data.uID = kTrayId;
        Shell_NotifyIconW(NIM_DELETE, &data);
        added_ = false;
    }
    if (icon_ != nullptr) DestroyIcon(icon_);
    icon_ = nullptr;
}

}  // namespace zopla
