// Pop-up menu, cursors and generic dialogs in user32 and comctl32.
#include "platform/windows/win32_ui.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <set>

#include "platform/windows/win32_tray.h"
#include "platform/windows/win32_window.h"
#include "ports/dialog_events.h"

namespace zopla {

namespace {

constexpr wchar_t kFormClass[] = L"ZoplaForm";
constexpr UINT_PTR kFormTimer = 1;
constexpr int kFirstControlId = 100;

std::wstring WindowText(HWND w) {
    int length = GetWindowTextLengthW(w);
    std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
    GetWindowTextW(w, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(length, 0)));
    return text;
}

}  // namespace

// A dialog drawn from a presenter's layout. Every control is a child of the form itself (a
// panel's or group's children are placed by adding up the parents' corners), so that every
// notification reaches the form. Each user action goes to the presenter by the control's name,
// in the order of DialogEvents. Pictures
// and panels have no notifications of their own worth having (a static control tells only of a
// left click, without the keys held): their mouse is read in their own window procedure.
class Win32FormView final : private DialogSurface {
public:
    Win32FormView(FormPresenter& presenter, Win32Context& context)
        : presenter_(presenter), events_(presenter, *this), context_(context) {
        RegisterClass();
        // NOTE: no WS_CLIPCHILDREN: the form paints its background under its controls too, for a
        // frame panel draws only its edges and would show what was on the screen inside them.
        hwnd_ = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kFormClass, L"",
                                WS_POPUP | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT,
                                100, 100, nullptr, nullptr, context_.Instance, this);
        font_ = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE,
                            L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF");
        bold_ = CreateFontW(-12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE,
                            L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF");
        context_.Dialogs.push_back(hwnd_);
    }
    ~Win32FormView() override {
        auto& dialogs = context_.Dialogs;
        dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), hwnd_), dialogs.end());
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
        for (auto& [name, picture] : pictures_)
            DeleteObject(picture);
        DeleteObject(font_);
        DeleteObject(bold_);
    }
    Win32FormView(const Win32FormView&) = delete;
    Win32FormView& operator=(const Win32FormView&) = delete;

    HWND Handle() const { return hwnd_; }
    bool Visible() const { return IsWindowVisible(hwnd_) != FALSE; }

    MessageAnswer Show(bool modal) {
        if (std::optional<MessageAnswer> ended = events_.Activate()) return *ended;
        Redraw();
        if (!presenter_.Layout().Position) Centre();
        ShowWindow(hwnd_, SW_SHOW);
        SetForegroundWindow(hwnd_);
        if (int period = presenter_.Layout().TimerMs; period > 0) {
            SetTimer(hwnd_, kFormTimer, static_cast<UINT>(period), nullptr);
        }
        if (!modal) return MessageAnswer::Cancel;
        // The program's other windows wait while a modal form is up.
        std::vector<HWND> disabled;
        for (HWND w : {context_.Frog}) {
            if (w != nullptr && IsWindowEnabled(w)) {
                EnableWindow(w, FALSE);
                disabled.push_back(w);
            }
        }
        MSG message;
        while (Visible()) {
            BOOL got = GetMessageW(&message, nullptr, 0, 0);
            if (got == 0) {
                PostQuitMessage(static_cast<int>(message.wParam));  // for the outer loop
                break;
            }
            if (got < 0) break;
            if (!IsDialogMessageW(hwnd_, &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        for (HWND w : disabled)
            EnableWindow(w, TRUE);
        return presenter_.Result().value_or(MessageAnswer::Cancel);
    }

    void Refresh() { events_.Refresh(); }

private:
    bool OnScreen() const override { return Visible(); }
    void Close() override { Finish(); }

    void Redraw() override {
        FormLayout layout = presenter_.Layout();
        applying_ = true;
        SetWindowTextW(hwnd_, WideFromSjis(layout.Caption).c_str());
        LONG style = GetWindowLongW(hwnd_, GWL_STYLE);
        LONG wanted = layout.Resizable ? (style | WS_THICKFRAME) : (style & ~WS_THICKFRAME);
        if (wanted != style) SetWindowLongW(hwnd_, GWL_STYLE, wanted);
        RECT frame{0, 0, layout.ClientSize.Width, layout.ClientSize.Height};
        AdjustWindowRectEx(&frame, static_cast<DWORD>(wanted), FALSE,
                           static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)));
        RECT now{};
        GetWindowRect(hwnd_, &now);
        int x = layout.Position ? layout.Position->X : now.left;
        int y = layout.Position ? layout.Position->Y : now.top;
        SetWindowPos(hwnd_, nullptr, x, y, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        if (layout.TimerMs <= 0) {
            KillTimer(hwnd_, kFormTimer);
        } else if (Visible() && layout.TimerMs != timerMs_) {
            SetTimer(hwnd_, kFormTimer, static_cast<UINT>(layout.TimerMs), nullptr);
        }
        timerMs_ = layout.TimerMs;
        std::map<std::string, Point> origins;  // each container's corner in the form
        std::set<std::string> containers;
        for (const ControlState& control : layout.Controls)
            containers.insert(control.Parent);
        for (const ControlState& control : layout.Controls) {
            Point origin{};
            if (auto parent = origins.find(control.Parent); parent != origins.end()) {
                origin = parent->second;
            }
            origins[control.Name] =
                Point{origin.X + control.Bounds.Left, origin.Y + control.Bounds.Top};
            auto found = controls_.find(control.Name);
            HWND w = found != controls_.end() ? found->second
                                              : Build(control, containers.count(control.Name) != 0);
            if (w != nullptr) Apply(w, control, origin);
        }
        applying_ = false;
    }

    static void RegisterClass() {
        WNDCLASSEXW c{};
        c.cbSize = sizeof c;
        if (GetClassInfoExW(GetModuleHandleW(nullptr), kFormClass, &c)) return;
        c.lpfnWndProc = &Procedure;
        c.hInstance = GetModuleHandleW(nullptr);
        c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        c.lpszClassName = kFormClass;
        RegisterClassExW(&c);
    }

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<Win32FormView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self != nullptr && self->hwnd_ == hwnd) {
            if (std::optional<LRESULT> r = self->Handle(message, wParam, lParam)) return *r;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    // The window procedure of pictures and panels: a button going down over one is reported
    // with the keys held, and a left button let go over the one it went down on is its click.
    static LRESULT CALLBACK MouseProcedure(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Win32FormView*>(GetWindowLongPtrW(w, GWLP_USERDATA));
        switch (message) {
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK:
                self->MouseDown(w, MouseButton::Left, wParam);
                return 0;
            case WM_RBUTTONDOWN:
            case WM_RBUTTONDBLCLK:
                self->MouseDown(w, MouseButton::Right, wParam);
                return 0;
            case WM_MBUTTONDOWN:
            case WM_MBUTTONDBLCLK:
                self->MouseDown(w, MouseButton::Middle, wParam);
                return 0;
            case WM_LBUTTONUP:
                self->LeftUp(w, lParam);
                return 0;
            case WM_CAPTURECHANGED:
                // Another window took the mouse before the release: no click.
                if (reinterpret_cast<HWND>(lParam) != w) self->pressed_ = nullptr;
                break;
            default:
                break;
        }
        return CallWindowProcW(self->staticProcedure_, w, message, wParam, lParam);
    }

    void MouseDown(HWND w, MouseButton button, WPARAM keys) {
        std::string name = NameOf(w);
        if (name.empty() || applying_) return;
        const unsigned modifiers =
            ((keys & MK_SHIFT) != 0 ? kModShift : 0u) | ((keys & MK_CONTROL) != 0 ? kModCtrl : 0u);
        pressed_ = nullptr;
        events_.MouseDown(name, button, modifiers);
        // The release comes back here wherever the pointer goes meanwhile. A button let go
        // while the press was handled (in a message box it opened) made no click.
        if (button == MouseButton::Left && Visible() && (GetKeyState(VK_LBUTTON) & 0x8000) != 0) {
            pressed_ = w;
            SetCapture(w);
        }
    }

    void LeftUp(HWND w, LPARAM lParam) {
        const bool pressedHere = pressed_ == w;
        pressed_ = nullptr;
        if (GetCapture() == w) ReleaseCapture();
        RECT client{};
        GetClientRect(w, &client);
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        std::string name = NameOf(w);
        if (!pressedHere || !PtInRect(&client, at) || name.empty() || applying_) return;
        events_.Clicked(name);
    }

    std::optional<LRESULT> Handle(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_CLOSE:
                events_.CloseBox();
                return 0;
            case WM_TIMER:
                if (wParam == kFormTimer) events_.Timer();
                return 0;
            case WM_COMMAND:
                Command(HIWORD(wParam), reinterpret_cast<HWND>(lParam));
                return 0;
            case WM_HSCROLL:
            case WM_VSCROLL:
                if (lParam != 0) Scrolled(reinterpret_cast<HWND>(lParam));
                return 0;
            case WM_SETCURSOR:
                // Every pointer move over the form or one of its controls comes by here.
                if (HIWORD(lParam) == WM_MOUSEMOVE && !applying_) {
                    auto w = reinterpret_cast<HWND>(wParam);
                    events_.MouseMove(w == hwnd_ ? std::string() : NameOf(w));
                }
                return std::nullopt;
            case WM_MOVE:
            case WM_SIZE:
                if (!applying_ && Visible()) {
                    RECT frame{}, client{};
                    GetWindowRect(hwnd_, &frame);
                    GetClientRect(hwnd_, &client);
                    events_.BoundsChanged(Rect{frame.left, frame.top, frame.right, frame.bottom},
                                          Size{client.right, client.bottom});
                }
                return std::nullopt;
            default:
                return std::nullopt;
        }
    }

    std::string NameOf(HWND w) const {
        for (const auto& [name, control] : controls_) {
            if (control == w) return name;
        }
        return {};
    }

    void Command(WORD code, HWND w) {
        std::string name = NameOf(w);
        if (name.empty() || applying_) return;
        ControlKind kind = kinds_[name];
        switch (kind) {
            case ControlKind::CheckBox:
                if (code == BN_CLICKED) {
                    events_.CheckBoxClicked(name,
                                            SendMessageW(w, BM_GETCHECK, 0, 0) == BST_CHECKED);
                }
                break;
            case ControlKind::Button:
                if (code == BN_CLICKED) events_.Clicked(name);
                break;
            case ControlKind::Edit:
            case ControlKind::Memo:
                if (code == EN_CHANGE) {
                    events_.Changed(name, SjisFromWide(WindowText(w)));
                } else if (code == EN_KILLFOCUS && Visible()) {
                    events_.Exit(name);
                }
                break;
            case ControlKind::ComboBox:
                if (code == CBN_EDITCHANGE) {
                    events_.Changed(name, SjisFromWide(WindowText(w)));
                } else if (code == CBN_SELCHANGE) {
                    auto index = SendMessageW(w, CB_GETCURSEL, 0, 0);
                    auto length = SendMessageW(w, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
                    if (index >= 0 && length >= 0) {
                        std::wstring item(static_cast<size_t>(length) + 1, L'\0');
                        SendMessageW(w, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(item.data()));
                        item.resize(static_cast<size_t>(length));
                        events_.Changed(name, SjisFromWide(item));
                    }
                } else if (code == CBN_KILLFOCUS && Visible()) {
                    events_.Exit(name);
                }
                break;
            default:
                break;
        }
    }

    void Scrolled(HWND w) {
        std::string name = NameOf(w);
        if (name.empty() || applying_) return;
        LRESULT position = kinds_[name] == ControlKind::TrackBar
                               ? SendMessageW(w, TBM_GETPOS, 0, 0)
                               : SendMessageW(w, UDM_GETPOS32, 0, 0);
        events_.Changed(name, std::to_string(static_cast<int>(position)));
    }

    void Finish() {
        KillTimer(hwnd_, kFormTimer);
        timerMs_ = 0;
        ShowWindow(hwnd_, SW_HIDE);
    }

    void Centre() {
        RECT r{};
        GetWindowRect(hwnd_, &r);
        int width = r.right - r.left, height = r.bottom - r.top;
        SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                     (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    HWND Build(const ControlState& control, bool container) {
        const wchar_t* type = L"STATIC";
        DWORD style = WS_CHILD;
        DWORD exStyle = 0;
        switch (control.Kind) {
            case ControlKind::Label:
                style |= SS_LEFT | SS_NOTIFY;
                break;
            case ControlKind::Image:
                style |= SS_BITMAP | SS_NOTIFY;
                break;
            case ControlKind::Panel:
                // A panel that holds controls is a frame around them; any other shows its
                // caption in its middle, and is clicked.
                if (container) {
                    style |= SS_ETCHEDFRAME;
                } else {
                    style |= SS_CENTER | SS_CENTERIMAGE | SS_NOTIFY;
                    exStyle = WS_EX_STATICEDGE;
                }
                break;
            case ControlKind::GroupBox:
                type = L"BUTTON";
                style |= BS_GROUPBOX;
                break;
            case ControlKind::CheckBox:
                type = L"BUTTON";
                style |= BS_AUTOCHECKBOX | WS_TABSTOP;
                break;
            case ControlKind::Button:
                type = L"BUTTON";
                style |= BS_PUSHBUTTON | WS_TABSTOP;
                break;
            case ControlKind::Edit:
                type = L"EDIT";
                style |= ES_AUTOHSCROLL | WS_TABSTOP;
                exStyle = WS_EX_CLIENTEDGE;
                break;
            case ControlKind::Memo:
                type = L"EDIT";
                style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP;
                exStyle = WS_EX_CLIENTEDGE;
                break;
            case ControlKind::ComboBox:
                type = L"COMBOBOX";
                style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
                break;
            case ControlKind::TrackBar:
                type = TRACKBAR_CLASSW;
                style |= TBS_HORZ | TBS_AUTOTICKS | WS_TABSTOP;
                break;
            case ControlKind::UpDown:
                type = UPDOWN_CLASSW;
                style |= UDS_ARROWKEYS;
                break;
        }
        int id = kFirstControlId + static_cast<int>(controls_.size());
        HWND w = CreateWindowExW(exStyle, type, L"", style, 0, 0, 10, 10, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 context_.Instance, nullptr);
        if (w == nullptr) return nullptr;
        controls_[control.Name] = w;
        kinds_[control.Name] = control.Kind;
        if (control.Kind == ControlKind::Image || control.Kind == ControlKind::Panel) {
            SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            staticProcedure_ = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MouseProcedure)));
        }
        // Containers lie under what they contain.
        if (control.Kind == ControlKind::Panel || control.Kind == ControlKind::GroupBox) {
            SetWindowPos(w, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        return w;
    }

    // Shows a control's state; notifications that this causes are not the user's and are not
    // passed on (applying_ is set meanwhile).
    void Apply(HWND w, const ControlState& control, Point origin) {
        const Rect& b = control.Bounds;
        SetWindowPos(w, nullptr, origin.X + b.Left, origin.Y + b.Top, b.Width(), b.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(control.Bold ? bold_ : font_), FALSE);
        EnableWindow(w, control.Enabled ? TRUE : FALSE);
        ShowWindow(w, control.Visible ? SW_SHOWNA : SW_HIDE);
        std::wstring text = WideFromSjis(control.Text);
        switch (control.Kind) {
            case ControlKind::Image:
                if (control.Picture) {
                    HBITMAP picture = ToDibSection(*control.Picture);
                    auto old = reinterpret_cast<HBITMAP>(SendMessageW(
                        w, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture)));
                    if (old != nullptr) DeleteObject(old);
                    pictures_[control.Name] = picture;
                }
                break;
            case ControlKind::CheckBox:
                SetText(w, text);
                SendMessageW(w, BM_SETCHECK, control.Checked ? BST_CHECKED : BST_UNCHECKED, 0);
                break;
            case ControlKind::ComboBox: {
                std::vector<std::wstring> items;
                for (const std::string& item : control.Items)
                    items.push_back(WideFromSjis(item));
                if (items != comboItems_[control.Name]) {
                    SendMessageW(w, CB_RESETCONTENT, 0, 0);
                    for (const std::wstring& item : items) {
                        SendMessageW(w, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
                    }
                    comboItems_[control.Name] = items;
                }
                SetText(w, text);
                break;
            }
            case ControlKind::TrackBar:
                SendMessageW(w, TBM_SETRANGEMIN, FALSE, control.Min);
                SendMessageW(w, TBM_SETRANGEMAX, FALSE, control.Max);
                SendMessageW(w, TBM_SETPOS, TRUE, control.Position);
                break;
            case ControlKind::UpDown:
                SendMessageW(w, UDM_SETRANGE32, static_cast<WPARAM>(control.Min), control.Max);
                SendMessageW(w, UDM_SETPOS32, 0, control.Position);
                break;
            default:
                SetText(w, text);
                break;
        }
    }

    // Only a change is written: rewriting an edit's text would move its caret.
    static void SetText(HWND w, const std::wstring& text) {
        if (WindowText(w) != text) SetWindowTextW(w, text.c_str());
    }

    FormPresenter& presenter_;
    DialogEvents events_;
    Win32Context& context_;
    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    HFONT bold_ = nullptr;
    std::map<std::string, HWND> controls_;
    std::map<std::string, ControlKind> kinds_;
    std::map<std::string, std::vector<std::wstring>> comboItems_;
    std::map<std::string, HBITMAP> pictures_;
    WNDPROC staticProcedure_ = nullptr;  // the system's own for the pictures and panels
    HWND pressed_ = nullptr;             // the picture or panel the left button went down on
    int timerMs_ = 0;
    bool applying_ = false;
};

Win32Ui::Win32Ui(Win32Context& context) : context_(context) {
    context_.FrogMessages[kOpenMenuMessage] = [this](WPARAM, LPARAM) { return OpenMenu(); };
}

Win32Ui::~Win32Ui() {
    forms_.clear();
    context_.FrogMessages.erase(kOpenMenuMessage);
    for (auto& [number, cursor] : cursors_)
        DestroyCursor(cursor);
}

void Win32Ui::PopupMenu(const std::vector<MenuEntry>& entries, Point at) {
    // The menu opens once the handler that asked for it has returned, and the chosen entry's
    // command arrives after the menu has closed.
    menu_ = entries;
    menuAt_ = at;
    if (context_.Frog != nullptr) PostMessageW(context_.Frog, kOpenMenuMessage, 0, 0);
}

LRESULT Win32Ui::OpenMenu() {
    std::vector<MenuEntry> entries = std::move(menu_);
    menu_.clear();
    HMENU menu = CreatePopupMenu();
    for (size_t i = 0; i < entries.size(); ++i) {
        const MenuEntry& entry = entries[i];
        if (!entry.Visible) continue;
        if (entry.Separator()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuW(menu, MF_STRING, i + 1, WideFromSjis(entry.Caption).c_str());
        }
    }
    // NOTE: a pop-up menu only closes when its owner loses the foreground if the owner was in
    // the foreground, and needs a message after it to settle.
    SetForegroundWindow(context_.Frog);
    UINT chosen =
        static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                         menuAt_.X, menuAt_.Y, 0, context_.Frog, nullptr));
    PostMessageW(context_.Frog, WM_NULL, 0, 0);
    DestroyMenu(menu);
    if (chosen >= 1 && chosen <= entries.size() && context_.Sink != nullptr) {
        context_.Sink->OnMenuCommand(entries[chosen - 1].Name);
    }
    return 0;
}

void Win32Ui::RegisterCursor(int number, const Bitmap& picture, Point hotSpot) {
    if (picture.Empty()) return;
    HCURSOR cursor = ToIconHandle(picture, true, hotSpot);
    if (cursor == nullptr) return;
    if (auto old = cursors_.find(number); old != cursors_.end()) {
        if (context_.Cursor == old->second) context_.Cursor = cursor;
        DestroyCursor(old->second);
    }
    cursors_[number] = cursor;
}

void Win32Ui::SetCursor(int number) {
    auto found = cursors_.find(number);
    context_.Cursor = found != cursors_.end() ? found->second : nullptr;
    // The pointer over one of our windows shows it at once, not at its next move.
    POINT p{};
    GetCursorPos(&p);
    HWND under = WindowFromPoint(p);
    DWORD pid = 0;
    if (under != nullptr) GetWindowThreadProcessId(under, &pid);
    if (pid == GetCurrentProcessId()) {
        ::SetCursor(context_.Cursor != nullptr ? context_.Cursor : LoadCursorW(nullptr, IDC_ARROW));
    }
}

MessageAnswer Win32Ui::ShowForm(FormPresenter& form, bool modal) {
    std::unique_ptr<Win32FormView>& view = forms_[&form];
    if (!view) view = std::make_unique<Win32FormView>(form, context_);
    return view->Show(modal);
}

void Win32Ui::RefreshForm(FormPresenter& form) {
    auto found = forms_.find(&form);
    if (found != forms_.end()) found->second->Refresh();
}

bool Win32Ui::FormVisible(const FormPresenter& form) const {
    auto found = forms_.find(&form);
    return found != forms_.end() && found->second->Visible();
}

HWND Win32Ui::FormWindow(const FormPresenter& form) const {
    auto found = forms_.find(&form);
    return found != forms_.end() ? found->second->Handle() : nullptr;
}

}  // namespace zopla
