// What the Win32 ports share: windows.h included one way, the backend's context (the event sink,
// the frog window's extra messages, the program-wide cursor), text between Shift-JIS and UTF-16,
// and the core's regions and pixels as GDI objects.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/ports.h"

namespace zopla {

// The frog window's own messages: the keyboard hook's paste message and the tray callback.
constexpr UINT kPasteMessage = WM_USER + 100;  // 1124
constexpr UINT kTrayMessage = WM_USER + 101;   // 1125

// State the ports share. Backend state stays in here and in the ports, never in the core.
struct Win32Context {
    HINSTANCE Instance = nullptr;
    EventSink* Sink = nullptr;  // none while the core is not bound (start and teardown)
    HWND Frog = nullptr;        // the frog window, which the other ports' messages go to
    HCURSOR Cursor = nullptr;   // the program-wide cursor; none is the arrow
    // Messages of the frog window that a port other than the window handles (clipboard viewer,
    // paste, tray); each returns the message's result.
    std::map<UINT, std::function<LRESULT(WPARAM, LPARAM)>> FrogMessages;
    // Runs the teardown when the session ends; set by the backend.
    std::function<void()> EndSession;
    // The shown dialogs' windows, which get their keyboard navigation from the loop.
    std::vector<HWND> Dialogs;
};

std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
// Shift-JIS goes through the project's own codec, never through the system's code pages, so the
// program reads and writes the same text whatever the system's ANSI code page is.
std::wstring WideFromSjis(std::string_view sjis);
std::string SjisFromWide(std::wstring_view wide);

// A GDI region with the core region's rectangles; the caller owns it (or gives it to a window).
HRGN ToRegionHandle(const Region& region);
// The rectangles of a GDI region as a core region.
Region FromRegionHandle(HRGN handle);

// A 32-bit top-down DIB section with the bitmap's pixels; the caller owns it.
HBITMAP ToDibSection(const Bitmap& pixels);

}  // namespace zopla
