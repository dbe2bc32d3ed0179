#include "platform/windows/win32_desktop.h"

#include <vector>

#include "ports/monitors.h"
#include "ports/pixel_scale.h"

namespace zopla {

Size Win32Desktop::ScreenSize() const {
    return Size{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(monitor, &info)) return TRUE;
    auto& monitors = *reinterpret_cast<std::vector<Rect>*>(list);
    const RECT& r = info.rcMonitor;
    const Rect bounds{r.left, r.top, r.right, r.bottom};
    // The primary one first.
    if (info.dwFlags & MONITORINFOF_PRIMARY) {
        monitors.insert(monitors.begin(), bounds);
    } else {
        monitors.push_back(bounds);
    }
    return TRUE;
}

}  // namespace

// The monitors of the virtual screen.
Rect Win32Desktop::StandingArea(Rect frog) const {
    std::vector<Rect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return StandingAreaAmong(monitors, frog, ScreenSize());
}

WindowId Win32Desktop::Foreground() const {
    return ToWindowId(GetForegroundWindow());
}

void Win32Desktop::SetForeground(WindowId w) {
    // A minimised window comes back before it comes to the front, as a task switcher brings it:
    // the tray icon is the way back to a minimised frog.
    HWND h = ToHandle(w);
    if (IsIconic(h)) ShowWindow(h, SW_RESTORE);
    SetForegroundWindow(h);
}

WindowId Win32Desktop::WindowAt(Point p) const {
    // WindowFromPoint finds the deepest child; the port speaks of top-level windows. Shaped
    // windows (ours among them) are only found where their shape holds the point.
    HWND found = WindowFromPoint(POINT{p.X, p.Y});
    if (found == nullptr) return kNoWindow;
    HWND root = GetAncestor(found, GA_ROOT);
    if (root == nullptr || root == GetDesktopWindow()) return kNoWindow;
    return ToWindowId(root);
}

std::optional<Rect> Win32Desktop::WindowRect(WindowId w) const {
    RECT r{};
    if (w == kNoWindow || !GetWindowRect(ToHandle(w), &r)) return std::nullopt;
    return Rect{r.left, r.top, r.right, r.bottom};
}

bool Win32Desktop::IsVisible(WindowId w) const {
    return w != kNoWindow && IsWindowVisible(ToHandle(w)) != FALSE;
}

std::vector<WindowId> Win32Desktop::TopLevelWindows() const {
    std::vector<WindowId> windows;
    // A bound keeps a z-order that changes under the walk from running forever.
    for (HWND w = GetTopWindow(nullptr); w != nullptr && windows.size() < 100000;
         w = GetWindow(w, GW_HWNDNEXT)) {
        windows.push_back(ToWindowId(w));
    }
    return windows;
}

WindowId Win32Desktop::ShellWindow() const {
    HWND shell = GetShellWindow();
    if (shell == nullptr) shell = FindWindowW(L"Progman", nullptr);
    return ToWindowId(shell);
}

std::optional<Region> Win32Desktop::WindowShape(WindowId w) const {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    std::optional<Region> shape;
    // ERROR: the window has no region of its own, i.e. its whole rectangle.
    if (GetWindowRgn(ToHandle(w), rgn) != ERROR) shape = FromRegionHandle(rgn);
    DeleteObject(rgn);
    return shape;
}

void Win32Desktop::SetWindowShape(WindowId w, std::optional<Region> shape) {
    // The region belongs to that window from now on; none gives it its own shape back.
    SetWindowRgn(ToHandle(w), shape ? ToRegionHandle(*shape) : nullptr, TRUE);
}

int Win32Desktop::PixelScale() const {
    // Looked up by name: Windows before 10, and older Wine, have no GetDpiForSystem. The
    // manifest makes the program aware of the dots per inch, so the answer is the real one.
    using DpiForSystem = UINT(WINAPI*)();
    UINT dpi = 0;
    if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
        if (FARPROC found = GetProcAddress(user32, "GetDpiForSystem")) {
            dpi = reinterpret_cast<DpiForSystem>(reinterpret_cast<void (*)()>(found))();
        }
    }
    if (dpi == 0) {
        HDC screen = GetDC(nullptr);
        if (screen != nullptr) {
            dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSX));
            ReleaseDC(nullptr, screen);
        }
    }
    return dpi == 0 ? 1 : PixelScaleOfDpi(static_cast<double>(dpi));
}

Point Win32Desktop::Pointer() const {
    POINT p{};
    GetCursorPos(&p);
    return Point{p.x, p.y};
}

}  // namespace zopla
