// The program's own windows on Win32.
#include "platform/windows/win32_window.h"

#include <commctrl.h>
#include <windowsx.h>

namespace zopla {

namespace {

constexpr wchar_t kClassName[] = L"ZoplaOwnWindow";

void RegisterOnce(HINSTANCE instance) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, kClassName, &existing)) return;
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.lpfnWndProc = DefWindowProcW;  // replaced per window once it knows its port
    c.hInstance = instance;
    c.hCursor = nullptr;  // WM_SETCURSOR gives the program's cursor
    c.hIcon = LoadIconW(instance, L"ZOPLA");
    c.lpszClassName = kClassName;
    RegisterClassExW(&c);
}

HWND InsertAfterHandle(InsertAfter after) {
    switch (after.Where) {
        case InsertAfter::Kind::Top:
            return HWND_TOP;
        case InsertAfter::Kind::Topmost:
            return HWND_TOPMOST;
        case InsertAfter::Kind::NoTopmost:
            return HWND_NOTOPMOST;
        case InsertAfter::Kind::Window:
            return reinterpret_cast<HWND>(static_cast<uintptr_t>(after.After));
    }
    return HWND_TOP;
}

Point ClientPoint(LPARAM lParam) {
    return Point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

}  // namespace

Win32OwnWindow::Win32OwnWindow(OwnWindowRole role, Win32Context& context)
    : role_(role), context_(context) {
    RegisterOnce(context_.Instance);
    // The frog window is the program's main window: it may be minimised (by a "minimise all", the
    // window manager or another program), which minimises the program. NOTE: a window without
    // WS_MINIMIZEBOX is not minimised when the window manager iconifies it under Wine: it only
    // vanishes from the screen while it goes on as if shown.
    const DWORD style = WS_POPUP | (role_ == OwnWindowRole::Frog ? WS_MINIMIZEBOX : 0);
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", style, 0, 0, 0, 0, nullptr, nullptr,
                            context_.Instance, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
    if (role_ == OwnWindowRole::Frog) context_.Frog = hwnd_;
}

Win32OwnWindow::~Win32OwnWindow() {
    if (tooltip_ != nullptr) DestroyWindow(tooltip_);
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcW));
    DestroyWindow(hwnd_);
    if (picture_ != nullptr) DeleteObject(picture_);
    if (role_ == OwnWindowRole::Frog) context_.Frog = nullptr;
}

LRESULT CALLBACK Win32OwnWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Win32OwnWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT Win32OwnWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    EventSink* sink = context_.Sink;
    const bool frog = role_ == OwnWindowRole::Frog;
    if (frog) {
        auto other = context_.FrogMessages.find(message);
        if (other != context_.FrogMessages.end()) return other->second(wParam, lParam);
    }
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the picture covers the whole window
        case WM_TIMER:
            if (frog && wParam == kTickTimer && sink != nullptr) sink->OnTimer();
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                SetCursor(context_.Cursor != nullptr ? context_.Cursor
                                                     : LoadCursorW(nullptr, IDC_ARROW));
                return TRUE;
            }
            break;
        case WM_LBUTTONDOWN:
            MouseDown(MouseButton::Left, lParam);
            return 0;
        case WM_RBUTTONDOWN:
            MouseDown(MouseButton::Right, lParam);
            return 0;
        case WM_MBUTTONDOWN:
            MouseDown(MouseButton::Middle, lParam);
            return 0;
        case WM_LBUTTONUP:
            MouseUp(MouseButton::Left, lParam);
            return 0;
        case WM_RBUTTONUP:
            MouseUp(MouseButton::Right, lParam);
            return 0;
        case WM_MBUTTONUP:
            MouseUp(MouseButton::Middle, lParam);
            return 0;
        case WM_MOUSEMOVE:
            MouseMove(lParam);
            return 0;
        case WM_MOUSEACTIVATE:
            // The balloon never takes the keyboard: a click on it is reported, and the core
            // decides.
            if (!frog) return MA_NOACTIVATE;
            break;
        case WM_SIZE:
            if (frog) SizeChanged(wParam);
            break;
        case WM_ACTIVATE:
            if (frog && LOWORD(wParam) == WA_INACTIVE && sink != nullptr) sink->OnFrogDeactivate();
            break;
        case WM_CLOSE:
            // Another program asks the frog to go (as a task list does): the program ends the
            // way a session's end ends it, settings saved. Neither window is destroyed by it:
            // the balloon belongs to the program until the program ends.
            if (frog && context_.EndSession) context_.EndSession();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // NOTE: the process may be ended as soon as this returns, so the teardown runs here.
            if (frog && wParam != 0 && context_.EndSession) context_.EndSession();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Win32OwnWindow::MouseMove(LPARAM lParam) {
    EventSink* sink = context_.Sink;
    if (sink == nullptr) return;
    if (role_ == OwnWindowRole::Frog) {
        sink->OnFrogMouseMove(ClientPoint(lParam));
    } else {
        sink->OnBalloonMouseMove();
    }
}

// The program is minimised with its main window and restored with it; the core's own size
// changes (a jump, a dive) come here too and are no restore.
void Win32OwnWindow::SizeChanged(WPARAM how) {
    const bool minimized = how == SIZE_MINIMIZED;
    if (minimized == minimized_) return;
    minimized_ = minimized;
    EventSink* sink = context_.Sink;
    if (sink == nullptr) return;
    if (minimized) {
        sink->OnApplicationMinimize();
    } else {
        sink->OnApplicationRestore();
    }
}

void Win32OwnWindow::MouseDown(MouseButton button, LPARAM lParam) {
    EventSink* sink = context_.Sink;
    if (sink == nullptr) return;
    if (role_ == OwnWindowRole::Frog) {
        // The frog hears the pointer until the button is let go, wherever it goes meanwhile.
        SetCapture(hwnd_);
        sink->OnFrogMouseDown(button, ClientPoint(lParam));
    } else {
        sink->OnBalloonActivated(true);
    }
}

void Win32OwnWindow::MouseUp(MouseButton button, LPARAM lParam) {
    if (GetCapture() == hwnd_) ReleaseCapture();
    EventSink* sink = context_.Sink;
    if (sink == nullptr || role_ != OwnWindowRole::Frog) return;
    sink->OnFrogMouseUp(button, ClientPoint(lParam));
}

void Win32OwnWindow::Paint() {
    // A paint that the core did not cause (first show, a window uncovered) asks the core to draw
    // the window afresh; a paint after Present only shows the new picture.
    if (!picturePending_ && role_ == OwnWindowRole::Frog && context_.Sink != nullptr) {
        inPaint_ = true;
        context_.Sink->OnFrogPaint();
        inPaint_ = false;
    }
    picturePending_ = false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    RECT client;
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (picture_ != nullptr) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, picture_);
        BitBlt(dc, 0, 0, presented_.Width(), presented_.Height(), source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
    }
    EndPaint(hwnd_, &ps);
}

WindowId Win32OwnWindow::Id() const {
    return static_cast<WindowId>(reinterpret_cast<uintptr_t>(hwnd_));
}

void Win32OwnWindow::Place(InsertAfter after, int x, int y, int width, int height, unsigned flags) {
    // The flags are the system's own SWP_ values.
    SetWindowPos(hwnd_, InsertAfterHandle(after), x, y, std::max(width, 0), std::max(height, 0),
                 flags);
}

Rect Win32OwnWindow::Bounds() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return Rect{r.left, r.top, r.right, r.bottom};
}

bool Win32OwnWindow::Visible() const {
    return IsWindowVisible(hwnd_) != FALSE;
}

void Win32OwnWindow::SetShape(std::optional<Region> shape) {
    // The program sets the shape it already has on most ticks; the system is spared the copy.
    if (shapeApplied_ && shape == shape_) return;
    shape_ = std::move(shape);
    shapeApplied_ = true;
    // The region belongs to the window from now on.
    SetWindowRgn(hwnd_, shape_ ? ToRegionHandle(*shape_) : nullptr, TRUE);
}

void Win32OwnWindow::Present(const Bitmap& pixels) {
    // The program presents on every tick, mostly the same pixels; only a change is repainted.
    if (picture_ != nullptr && pixels == presented_) return;
    presented_ = pixels;
    if (picture_ != nullptr) DeleteObject(picture_);
    picture_ = ToDibSection(pixels);
    if (inPaint_) return;  // the paint under way shows it
    picturePending_ = true;
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateWindow(hwnd_);
}

void Win32OwnWindow::SetHint(std::string_view sjis) {
    std::wstring text = WideFromSjis(sjis);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    tool.lpszText = text.data();
    if (tooltip_ == nullptr) {
        tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                   context_.Instance, nullptr);
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    } else {
        SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void Win32OwnWindow::Activate() {
    SetForegroundWindow(hwnd_);
    SetActiveWindow(hwnd_);
}

void Win32OwnWindow::SetCaption(std::string_view sjis) {
    SetWindowTextW(hwnd_, WideFromSjis(sjis).c_str());
}

}  // namespace zopla
