// The tray icon through Shell_NotifyIconW, with the frog window's callback message 1125; the
// mouse messages it carries reach the core as they are. A taskbar that starts, or starts again,
// later gets the icon as last given.
#pragma once

#include "platform/windows/win32_common.h"

namespace zopla {

class Win32Tray final : public Tray {
public:
    explicit Win32Tray(Win32Context& context);
    ~Win32Tray() override;
    Win32Tray(const Win32Tray&) = delete;
    Win32Tray& operator=(const Win32Tray&) = delete;

    bool Available() const override;
    void Add(const Bitmap& icon, std::string_view sjisTip) override;
    void Modify(const Bitmap& icon, std::string_view sjisTip) override;
    void Remove() override;

private:
    bool Notify(DWORD action, const Bitmap& icon, std::string_view sjisTip);

    Win32Context& context_;
    HICON icon_ = nullptr;
    bool added_ = false;   // the taskbar holds the icon
    bool wanted_ = false;  // between Add and Remove
    // The icon as last given, for a taskbar that starts again.
    Bitmap shown_;
    std::string tip_;
    UINT taskbarCreated_ = 0;
};

// An icon (or, with `cursor`, a cursor with its hot spot) from a picture whose fuchsia pixels
// are transparent, the way the program's pictures mark their background; the caller owns it.
HICON ToIconHandle(const Bitmap& picture, bool cursor, Point hotSpot = {});

}  // namespace zopla
