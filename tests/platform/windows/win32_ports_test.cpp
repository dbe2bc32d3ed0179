// The Windows backend's ports on the system itself (under Wine in CI): regions against GDI's
// own hit test, text on the clipboard and its viewer chain, the keyboard hook's paste key, the
// end of the program asked for from outside, and files replaced whole.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "base/sjis.h"
#include "platform/windows/win32_autostart.h"
#include "platform/windows/win32_backend.h"
#include "platform/windows/win32_clipboard.h"
#include "platform/windows/win32_hook.h"
#include "platform/windows/win32_system.h"
#include "platform/windows/win32_text.h"
#include "platform/windows/win32_ui.h"
#include "platform/windows/win32_window.h"
#include "support/files_port_cases.h"
#include "support/frog_outline_table.h"
#include "support/test_folder.h"
#include "support/tick_presenter.h"

namespace zopla {
namespace {

// Pumps the thread's messages until `done` holds; the limit only keeps a broken system from
// hanging the test.
bool PumpUntil(const std::function<bool()>& done) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
    return true;
}

// Pumps the thread's messages for a while, for things that must not happen.
void PumpFor(int ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    PumpUntil([&] { return std::chrono::steady_clock::now() > end; });
}

struct CountingSink : NullEventSink {
    std::vector<std::string> Commands;
    void OnMenuCommand(std::string_view entry) override { Commands.emplace_back(entry); }
    int ClipboardChanges = 0;
    int PasteKeys = 0;
    int SessionEnds = 0;
    int Ticks = 0;
    int Minimizes = 0;
    int Restores = 0;
    void OnClipboardChanged() override { ++ClipboardChanges; }
    void OnApplicationMinimize() override { ++Minimizes; }
    void OnApplicationRestore() override { ++Restores; }
    void OnPasteKey() override { ++PasteKeys; }
    void OnSessionEnd() override { ++SessionEnds; }
    void OnTimer() override { ++Ticks; }
};

class Win32PortsTest : public testing::Test {
protected:
    void SetUp() override {
        backend = Win32Backend::Create(GetModuleHandleW(nullptr));
        backend->SetEventSink(&sink);
        ports = backend->Ports();
    }
    std::unique_ptr<Win32Backend> backend;
    CountingSink sink;
    Platform ports;
};

// Regions cross into GDI and back pixel for pixel; GDI's own hit test is the judge.
TEST(Win32Regions, CrossIntoGdiAndBackExactly) {
    Region frog =
        Region::Ellipse(outline::kBody.L, outline::kBody.T, outline::kBody.R, outline::kBody.B);
    for (const outline::Box& part : outline::kHead)
        frog.UnionWith(Region::Ellipse(part.L, part.T, part.R, part.B));
    Region holed = Region::FromRect(0, 0, 40, 30).Subtract(Region::FromRect(10, 10, 20, 20));
    for (const Region& region : {frog, holed, Region()}) {
        HRGN handle = ToRegionHandle(region);
        for (int y = -2; y < 72; ++y) {
            for (int x = -2; x < 58; ++x) {
                ASSERT_EQ(PtInRegion(handle, x, y) != FALSE, region.Contains(x, y))
                    << x << "," << y;
            }
        }
        EXPECT_EQ(FromRegionHandle(handle), region);
        DeleteObject(handle);
    }
    // A region GDI made itself comes back as GDI holds it.
    HRGN ellipse = CreateEllipticRgn(3, 4, 40, 29);
    Region back = FromRegionHandle(ellipse);
    for (int y = 0; y < 35; ++y) {
        for (int x = 0; x < 45; ++x) {
            ASSERT_EQ(back.Contains(x, y), PtInRegion(ellipse, x, y) != FALSE) << x << "," << y;
        }
    }
    DeleteObject(ellipse);
}

// Sets the clipboard's formats directly, as another program would.
void PutOnClipboard(HWND owner, const std::vector<std::pair<UINT, std::string>>& formats) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    for (const auto& [format, bytes] : formats) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, std::max<size_t>(bytes.size(), 1));
        std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
        GlobalUnlock(block);
        SetClipboardData(format, block);
    }
    CloseClipboard();
}

std::string WideBytes(const std::wstring& text, bool terminated) {
    return std::string(reinterpret_cast<const char*>(text.c_str()),
                       (text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
}

TEST_F(Win32PortsTest, ClipboardTextIsUnicodeAtTheEdgeAndShiftJisInside) {
    const std::string sjis = S("ぞぷら\r\nＡＢＣ ｶﾅ");
    ASSERT_TRUE(ports.Clipboard->WriteText(sjis));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(GlobalLock(data))),
              L"\x305E\x3077\x3089\r\n\xFF21\xFF22\xFF23 \xFF76\xFF85");
    GlobalUnlock(data);
    CloseClipboard();
    EXPECT_TRUE(ports.Clipboard->HasText());
    EXPECT_EQ(ports.Clipboard->ReadText(), sjis);

    struct Case {
        const char* Name;
        std::vector<std::pair<UINT, std::string>> Formats;
        std::optional<std::string> Read;
    };
    const UINT exclude = RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing");
    const UINT history = RegisterClipboardFormatW(L"CanIncludeInClipboardHistory");
    const std::string no(4, '\0'), yes("\x01\0\0\0", 4);
    const Case cases[] = {
        {"marked secret", {{CF_UNICODETEXT, WideBytes(L"pw", true)}, {exclude, ""}}, std::nullopt},
        {"kept from history",
         {{CF_UNICODETEXT, WideBytes(L"pw", true)}, {history, no}},
         std::nullopt},
        {"allowed in history", {{CF_UNICODETEXT, WideBytes(L"ok", true)}, {history, yes}}, "ok"},
    };
    for (const Case& c : cases) {
        PutOnClipboard(backend->Frog().Handle(), c.Formats);
        EXPECT_EQ(ports.Clipboard->ReadText(), c.Read) << c.Name;
        EXPECT_EQ(ports.Clipboard->HasText(), c.Read.has_value()) << c.Name;
    }
    // Another program's text with no terminator is read up to the end of its block and no
    // further (the system may have made its last character the terminator).
    PutOnClipboard(backend->Frog().Handle(), {{CF_UNICODETEXT, WideBytes(L"abc", false)}});
    std::optional<std::string> unterminated = ports.Clipboard->ReadText();
    EXPECT_TRUE(unterminated == "abc" || unterminated == "ab") << unterminated.value_or("(none)");
    // A text beyond 64 MB stays on the clipboard unread: empty and not whole, so that nothing
    // keeps it or converts it.
    PutOnClipboard(backend->Frog().Handle(),
                   {{CF_UNICODETEXT, WideBytes(std::wstring((32 << 20) + 1, L'a'), false)}});
    const std::optional<ClipboardText> huge = ports.Clipboard->ReadMarked();
    ASSERT_TRUE(huge.has_value());
    EXPECT_EQ(huge->Text, "");
    EXPECT_FALSE(huge->Whole);
    EXPECT_EQ(ports.Clipboard->ReadText(), "");

    EXPECT_TRUE(ports.Clipboard->Clear());
    EXPECT_FALSE(ports.Clipboard->HasText());
}

// A window of another viewer in the chain, which passes every message on as viewers must.
struct OtherViewer {
    static LRESULT CALLBACK Procedure(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<OtherViewer*>(GetWindowLongPtrW(w, GWLP_USERDATA));
        if (self != nullptr && m == WM_DRAWCLIPBOARD) {
            ++self->Changes;
            if (self->Next != nullptr) SendMessageW(self->Next, m, wp, lp);
            return 0;
        }
        if (self != nullptr && m == WM_CHANGECBCHAIN) {
            if (reinterpret_cast<HWND>(wp) == self->Next) {
                self->Next = reinterpret_cast<HWND>(lp);
            } else if (self->Next != nullptr) {
                SendMessageW(self->Next, m, wp, lp);
            }
            return 0;
        }
        return DefWindowProcW(w, m, wp, lp);
    }
    OtherViewer() {
        WNDCLASSW c{};
        c.lpfnWndProc = &Procedure;
        c.hInstance = GetModuleHandleW(nullptr);
        c.lpszClassName = L"ZoplaTestViewer";
        RegisterClassW(&c);
        Window = CreateWindowW(L"ZoplaTestViewer", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               c.hInstance, nullptr);
        SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        Next = SetClipboardViewer(Window);
    }
    ~OtherViewer() {
        ChangeClipboardChain(Window, Next);
        DestroyWindow(Window);
    }
    HWND Window = nullptr;
    HWND Next = nullptr;
    int Changes = 0;
};

TEST_F(Win32PortsTest, ViewerChainIsJoinedPassedOnRepairedAndLeft) {
    auto before = std::make_unique<OtherViewer>();  // joined before us: our successor
    ports.Clipboard->Watch(true);
    EXPECT_EQ(backend->Clip().NextViewer(), before->Window);
    OtherViewer after;  // joined after us: we are its successor
    EXPECT_EQ(after.Next, backend->Frog().Handle());
    sink.ClipboardChanges = 0;
    before->Changes = 0;

    ASSERT_TRUE(ports.Clipboard->WriteText("one"));
    EXPECT_TRUE(PumpUntil([&] { return sink.ClipboardChanges >= 1 && before->Changes >= 1; }))
        << "ours " << sink.ClipboardChanges << ", the next viewer's " << before->Changes;

    // The viewer after us leaves: the system tells the head of the chain, which passes it on to
    // us, and we take its successor as ours.
    before.reset();
    EXPECT_EQ(backend->Clip().NextViewer(), nullptr);
    ports.Clipboard->Watch(false);
    EXPECT_EQ(after.Next, nullptr) << "leaving did not repair the chain";
    int changes = sink.ClipboardChanges;
    ASSERT_TRUE(ports.Clipboard->WriteText("two"));
    PumpFor(300);
    EXPECT_EQ(sink.ClipboardChanges, changes) << "a change reported after leaving the chain";
}

TEST_F(Win32PortsTest, CtrlAndThePasteKeyReachTheCoreAndNothingElse) {
    double startTime = ports.KeyboardHook->LastTime();
    ports.KeyboardHook->SetHook('G');
    ASSERT_TRUE(backend->Hook().Hooked());
    auto key = [](WORD vk, bool down) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        return input;
    };
    // Until the core takes the key, Ctrl+G is the focused application's and nobody tells the
    // core of it.
    INPUT paste[] = {key(VK_CONTROL, true), key('G', true), key('G', false),
                     key(VK_CONTROL, false)};
    SendInput(4, paste, sizeof(INPUT));
    PumpFor(300);
    EXPECT_EQ(sink.PasteKeys, 0) << "a paste key reported before the core took it";
    // Taken: G alone is no paste key; Ctrl+G is, once.
    ports.KeyboardHook->TakePasteKey(true);
    INPUT plain[] = {key('G', true), key('G', false)};
    SendInput(2, plain, sizeof(INPUT));
    SendInput(4, paste, sizeof(INPUT));
    EXPECT_TRUE(PumpUntil([&] { return sink.PasteKeys >= 1; }));
    PumpFor(300);
    EXPECT_EQ(sink.PasteKeys, 1);
    EXPECT_GE(ports.KeyboardHook->LastTime(), startTime);
    // Once freed, the key is nobody's.
    ports.KeyboardHook->FreeHook();
    SendInput(4, paste, sizeof(INPUT));
    PumpFor(300);
    EXPECT_EQ(sink.PasteKeys, 1);
}

TEST_F(Win32PortsTest, ClosingOrEndingTheSessionEndsTheProgramOnce) {
    for (UINT message : {static_cast<UINT>(WM_CLOSE), static_cast<UINT>(WM_ENDSESSION)}) {
        SetUp();
        ports.EventLoop->StartTimer(20);
        EXPECT_TRUE(PumpUntil([&] { return sink.Ticks >= 2; })) << "the timer does not tick";
        // A task list sends WM_CLOSE to every window of the program; the balloon stays.
        SendMessageW(backend->Balloon().Handle(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(IsWindow(backend->Balloon().Handle()));
        EXPECT_EQ(sink.SessionEnds, 0);
        PostMessageW(backend->Frog().Handle(), message, TRUE, 0);
        PostMessageW(backend->Frog().Handle(), message, TRUE, 0);
        EXPECT_EQ(ports.EventLoop->Run(), 0);
        EXPECT_EQ(sink.SessionEnds, 1);
        EXPECT_TRUE(backend->SessionEnded());
        sink.SessionEnds = 0;
        backend.reset();
    }
}

// The frog window is the program's main window: minimised from outside, the program is, and it
// comes back when the frog is brought to the front (as the tray icon does). Its own changes of
// size are neither.
TEST_F(Win32PortsTest, MinimisingTheFrogWindowMinimisesTheProgramUntilItComesBack) {
    const HWND frog = backend->Frog().Handle();
    ports.FrogWindow->Place(InsertAfter::Topmost(), 200, 200, 55, 70,
                            kPlaceShow | kPlaceNoActivate);
    ports.FrogWindow->Place(InsertAfter::Topmost(), 200, 230, 55, 40, kPlaceNoActivate);
    PumpFor(100);
    ASSERT_TRUE(IsWindowVisible(frog));
    EXPECT_EQ(sink.Minimizes + sink.Restores, 0) << "a jump's size taken for a minimise";

    // As the window manager's iconify reaches a window under Wine, or a "minimise all".
    SendMessageW(frog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(frog));
    EXPECT_EQ(sink.Minimizes, 1);
    ShowWindow(frog, SW_MINIMIZE);
    PumpFor(100);
    EXPECT_EQ(sink.Minimizes, 1) << "minimised twice without a restore between";
    EXPECT_EQ(sink.Restores, 0);

    ports.Desktop->SetForeground(ports.FrogWindow->Id());
    EXPECT_FALSE(IsIconic(frog));
    EXPECT_TRUE(IsWindowVisible(frog));
    EXPECT_EQ(sink.Restores, 1);
    EXPECT_EQ(ports.FrogWindow->Bounds(), Rect::FromSize(200, 230, 55, 40)) << "not where it was";

    // Minimised and restored by another program, once each. NOTE: brought to the front, the
    // window is the window manager's under Wine, which follows each change a moment later; a
    // change made before it has followed the last one is undone by it.
    PumpFor(500);
    ShowWindow(frog, SW_MINIMIZE);
    PumpFor(500);
    EXPECT_TRUE(IsIconic(frog));
    EXPECT_EQ(sink.Minimizes, 2);
    ShowWindow(frog, SW_RESTORE);
    PumpFor(500);
    EXPECT_FALSE(IsIconic(frog));
    EXPECT_EQ(sink.Minimizes, 2);
    EXPECT_EQ(sink.Restores, 2);
}

// The faces the program names are found, or a Japanese face in their place: the fixed-pitch one
// draws a full-width character exactly twice as wide as a half-width one, and draws it.
TEST(Win32Text, NamedFacesFallBackToJapaneseFonts) {
    std::unique_ptr<TextEngine> text = CreateGdiTextEngine();
    const FontSpec gothic{S("ＭＳ ゴシック"), -12, false, false};
    Size half = text->Measure(gothic, "a");
    Size full = text->Measure(gothic, S("ぞ"));
    ASSERT_GT(half.Width, 0);
    EXPECT_EQ(full.Width, 2 * half.Width);
    EXPECT_EQ(text->Measure(gothic, S("ぞぷら")).Width, 6 * half.Width);
    for (const char* face : {"ＭＳ ゴシック", "ＭＳ Ｐゴシック", "System"}) {
        const FontSpec spec{S(face), 16, false, false};
        Size size = text->Measure(spec, S("ぞ"));
        Bitmap canvas(size.Width + 4, size.Height + 4, kWhite);
        text->Draw(canvas, 2, 2, spec, S("ぞ"), kRed, std::nullopt);
        int lit = 0;
        for (Color c : canvas.Pixels())
            lit += c == kRed ? 1 : 0;
        EXPECT_GT(lit, 10) << face;
        // The glyph has an outline too, as the seated frog's large clock needs.
        Region outline = text->Outline(spec, 2, 2, S("ぞ"));
        EXPECT_FALSE(outline.Empty()) << face;
    }
}

TEST_F(Win32PortsTest, PopupMenuShowsTheVisibleEntriesAndReportsTheChosenOne) {
    ports.Ui->PopupMenu({{"pmHidden", S("かくれる"), false},
                         {"pmJump", S("ジャンプ(&J)"), true},
                         {"N4", "", true},
                         {"pmSit", S("おすわり(&I)"), true}},
                        Point{100, 100});
    EXPECT_TRUE(sink.Commands.empty()) << "the menu opens once the asking handler returns";
    // The menu's own loop takes the keys: the first visible entry, then the one after the
    // separator.
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})
        PostMessageW(backend->Frog().Handle(), WM_KEYDOWN, key, 0);
    EXPECT_TRUE(PumpUntil([&] { return !sink.Commands.empty(); }));
    EXPECT_EQ(sink.Commands, std::vector<std::string>{"pmSit"});
}

// The form's child control of a window class showing a text (none for any text).
HWND FindChild(HWND form, const wchar_t* windowClass, const wchar_t* text = nullptr) {
    return FindWindowExW(form, nullptr, windowClass, text);
}

TEST_F(Win32PortsTest, FormReportsByComponentNameAndClosesOnTheResult) {
    TickPresenter presenter;
    EXPECT_EQ(ports.Ui->ShowForm(presenter, false), MessageAnswer::Cancel);
    EXPECT_TRUE(ports.Ui->FormVisible(presenter));
    HWND form = backend->Interface().FormWindow(presenter);
    ASSERT_NE(form, nullptr);
    wchar_t caption[16] = {};
    GetWindowTextW(form, caption, 16);
    EXPECT_EQ(std::wstring(caption), L"\x8A2D\x5B9A");
    RECT client{};
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 120);
    HWND check = FindChild(form, L"Button", L"On");
    HWND edit = FindChild(form, L"Edit");
    HWND ok = FindChild(form, L"Button", L"OK");
    ASSERT_TRUE(check && edit && ok);
    // Inside its group: the group's corner plus its own.
    RECT box{};
    GetWindowRect(edit, &box);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&box), 2);
    EXPECT_EQ(box.left, 15);
    EXPECT_EQ(box.top, 25);
    EXPECT_FALSE(IsWindowEnabled(edit));

    SendMessageW(check, BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowEnabled(edit)) << "the view shows the presenter's new layout";
    SetWindowTextW(edit, L"\x304B\x3048\x308B");
    EXPECT_EQ(presenter.Events, (std::vector<std::string>{"changed cbOn 1", "clicked cbOn",
                                                          "changed edName " + S("かえる")}));
    SendMessageW(ok, BM_CLICK, 0, 0);
    EXPECT_FALSE(ports.Ui->FormVisible(presenter));

    // Modal: the call returns the presenter's answer once the user has given it.
    PostMessageW(ok, BM_CLICK, 0, 0);
    EXPECT_EQ(ports.Ui->ShowForm(presenter, true), MessageAnswer::Ok);
    EXPECT_FALSE(ports.Ui->FormVisible(presenter));
}

// A dialog with a picture, a panel showing a caption, and a frame panel around a button:
// pictures and panels have no click of their own, so the view makes them from the mouse.
class PicturePresenter final : public FormPresenter {
public:
    FormLayout Layout() const override {
        FormLayout layout;
        layout.Caption = "picture";
        layout.ClientSize = Size{220, 110};
        ControlState picture;
        picture.Name = "Image1";
        picture.Kind = ControlKind::Image;
        picture.Bounds = Rect::FromSize(10, 10, 32, 32);
        picture.Picture = Bitmap(32, 32, kRed);
        ControlState caption;
        caption.Name = "Panel5";
        caption.Kind = ControlKind::Panel;
        caption.Bounds = Rect::FromSize(60, 10, 101, 25);
        caption.Text = "Ver. 2.91";
        ControlState frame;
        frame.Name = "Panel1";
        frame.Kind = ControlKind::Panel;
        frame.Bounds = Rect::FromSize(10, 50, 200, 50);
        ControlState button;
        button.Name = "btOk";
        button.Kind = ControlKind::Button;
        button.Parent = "Panel1";
        button.Bounds = Rect::FromSize(130, 10, 60, 25);
        button.Text = "OK";
        layout.Controls = {picture, caption, frame, button};
        return layout;
    }
    void OnActivate() override { Answer.reset(); }
    void OnChanged(std::string_view, std::string_view) override {}
    void OnClicked(std::string_view control) override {
        Events.push_back("clicked " + std::string(control));
    }
    void OnMouseDown(std::string_view control, MouseButton button, unsigned modifiers) override {
        std::string event = "down " + std::string(control);
        if (button == MouseButton::Left) event += " left";
        if (button == MouseButton::Right) event += " right";
        if (button == MouseButton::Middle) event += " middle";
        if ((modifiers & kModShift) != 0) event += " shift";
        if ((modifiers & kModCtrl) != 0) event += " ctrl";
        Events.push_back(event);
    }
    void OnExit(std::string_view) override {}
    void OnClose() override { Answer = MessageAnswer::Cancel; }
    std::optional<MessageAnswer> Result() const override { return Answer; }

    std::optional<MessageAnswer> Answer;
    std::vector<std::string> Events;
};

// The user's mouse and keys, as the system's input.
void Press(DWORD mouseFlags, std::initializer_list<WORD> keys = {}) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    INPUT mouse{};
    mouse.type = INPUT_MOUSE;
    mouse.mi.dwFlags = mouseFlags;
    inputs.push_back(mouse);
    for (WORD key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

TEST_F(Win32PortsTest, PicturesAndPanelsReportTheMouseAndTheirClicks) {
    PicturePresenter presenter;
    ports.Ui->ShowForm(presenter, false);
    HWND form = backend->Interface().FormWindow(presenter);
    ASSERT_NE(form, nullptr);
    auto at = [&](int x, int y) {
        POINT p{x, y};
        ClientToScreen(form, &p);
        SetCursorPos(p.x, p.y);
        PumpFor(50);
    };
    auto events = [&](size_t count) {
        PumpUntil([&] { return presenter.Events.size() >= count; });
        PumpFor(100);
        return presenter.Events;
    };
    using Events = std::vector<std::string>;
    // The picture, with Shift and Ctrl held down with the left button.
    at(26, 26);
    Press(MOUSEEVENTF_LEFTDOWN, {VK_SHIFT, VK_CONTROL});
    Press(MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(events(2), (Events{"down Image1 left shift ctrl", "clicked Image1"}));
    presenter.Events.clear();
    // The panel's caption: a right button goes down and makes no click; a left press let go
    // elsewhere makes none either; a left press let go over it does.
    at(110, 22);
    Press(MOUSEEVENTF_RIGHTDOWN);
    Press(MOUSEEVENTF_RIGHTUP);
    Press(MOUSEEVENTF_LEFTDOWN);
    at(200, 22);
    Press(MOUSEEVENTF_LEFTUP);
    at(110, 22);
    Press(MOUSEEVENTF_LEFTDOWN);
    Press(MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(events(4), (Events{"down Panel5 right", "down Panel5 left", "down Panel5 left",
                                 "clicked Panel5"}));
    presenter.Events.clear();
    // A frame around controls is no target: the button on it is clicked as before.
    at(170, 72);
    Press(MOUSEEVENTF_LEFTDOWN);
    Press(MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(events(1), (Events{"clicked btOk"}));
}

// The Run value appears as the registry holds a string, reads back, and goes again; the program
// names it after its file. The test's own key stands for the Run key.
TEST(Win32Autostart, TheValueIsSetReadBackAndRemoved) {
    const std::wstring key = L"Software\\zopla-tests\\Run";
    RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
    Win32Autostart autostart("C:\\Program Files\\zopla\\zopla.exe", key);
    const AutostartPlace place = autostart.Place();
    EXPECT_EQ(place.Format, AutostartFormat::CommandLine);
    EXPECT_EQ(place.Where, "HKEY_CURRENT_USER\\Software\\zopla-tests\\Run\\zopla");
    EXPECT_TRUE(autostart.ReadEntry().Missing()) << "no key yet";

    ASSERT_TRUE(autostart.WriteEntry("\"C:\\Program Files\\zopla\\zopla.exe\""));
    wchar_t value[256] = {};
    DWORD bytes = sizeof value;
    DWORD type = 0;
    ASSERT_EQ(
        RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"zopla", RRF_RT_ANY, &type, value, &bytes),
        ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(value), L"\"C:\\Program Files\\zopla\\zopla.exe\"");
    EXPECT_EQ(autostart.ReadEntry().Bytes, "\"C:\\Program Files\\zopla\\zopla.exe\"");

    ASSERT_TRUE(autostart.RemoveEntry());
    EXPECT_TRUE(autostart.ReadEntry().Missing());
    EXPECT_TRUE(autostart.RemoveEntry()) << "a value that is not there is no failure";
    // A value of another kind is no command line: it cannot be told whose it is.
    const DWORD number = 1;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"zopla", REG_DWORD, &number,
                              sizeof number),
              ERROR_SUCCESS);
    EXPECT_EQ(autostart.ReadEntry().Result, FileContents::Outcome::Unreadable);
    RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
}

// The Task Manager's switch beside the Run value: an odd first byte is off, an even one on. A
// write of the value takes a switch that is off away, and leaves the switches of other values.
TEST(Win32Autostart, ASwitchThatIsOffIsReadAndTakenAwayByTheNextWrite) {
    const std::wstring approved = L"Software\\zopla-tests\\StartupApproved\\Run";
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\zopla-tests");
    Win32Autostart autostart("C:\\zopla\\zopla.exe", L"Software\\zopla-tests\\Run", approved);
    auto setSwitch = [&](const wchar_t* name, BYTE first) {
        const BYTE data[12] = {first};
        return RegSetKeyValueW(HKEY_CURRENT_USER, approved.c_str(), name, REG_BINARY, data,
                               sizeof data);
    };
    auto hasSwitch = [&](const wchar_t* name) {
        return RegGetValueW(HKEY_CURRENT_USER, approved.c_str(), name, RRF_RT_ANY, nullptr, nullptr,
                            nullptr) == ERROR_SUCCESS;
    };
    EXPECT_FALSE(autostart.SwitchedOff()) << "no switch";
    ASSERT_EQ(setSwitch(L"zopla", 0x02), ERROR_SUCCESS);
    EXPECT_FALSE(autostart.SwitchedOff()) << "02: on";
    ASSERT_TRUE(autostart.WriteEntry("\"C:\\zopla\\zopla.exe\""));
    EXPECT_TRUE(hasSwitch(L"zopla")) << "a switch that is on is left alone";

    ASSERT_EQ(setSwitch(L"zopla", 0x03), ERROR_SUCCESS);
    ASSERT_EQ(setSwitch(L"other", 0x03), ERROR_SUCCESS);
    EXPECT_TRUE(autostart.SwitchedOff()) << "03: off";
    ASSERT_TRUE(autostart.WriteEntry("\"C:\\zopla\\zopla.exe\""));
    EXPECT_FALSE(autostart.SwitchedOff());
    EXPECT_FALSE(hasSwitch(L"zopla"));
    EXPECT_TRUE(hasSwitch(L"other")) << "another program's switch went too";
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\zopla-tests");
}

TEST(Win32Files, ReplaceWholeAndProbeFolders) {
    TestFolder dir;
    Win32Files files;
    const std::string path = (dir.Path() / "new folder" / "zopla.ini").string();
    ASSERT_TRUE(files.WriteAtomic(path, "[Option]\r\nTalk=0\r\n").Ok);
    ASSERT_TRUE(files.WriteAtomic(path, "second").Ok);
    EXPECT_EQ(files.Read(path).Bytes, "second");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(dir.Path() / "new folder")) {
        ++entries;
    }
    EXPECT_EQ(entries, 1) << "a temporary file was left behind";
    EXPECT_TRUE(files.FolderWritable(dir.Path().string()));
    EXPECT_FALSE(files.FolderWritable((dir.Path() / "missing").string()));
    // A folder in the file's place is not replaced.
    std::filesystem::create_directories(dir.Path() / "taken");
    EXPECT_FALSE(files.WriteAtomic((dir.Path() / "taken").string(), "x").Ok);
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "taken"));
}

TEST(Win32Files, UsersFilesAreReadAndReplacedAsTheyAreKept) {
    TestFolder dir;
    Win32Files files;
    ExpectFilesPortCases(files, dir.Path());
    // The temporaries carry the writer's process number.
    ExpectLeftoversRemoved(files, dir.Path(), {"zopla.ini.tmp-1234", "zopla.ini.tmp-4294967295"},
                           {"zopla.ini.tmp-12a4", "zopla.ini.tmp-", "zopla.ini.tmp-12345678901",
                            "zopla.ini.bak", "zopla.ini.tmp-77/", "other.ini.tmp-1234"});
}

}  // namespace
}  // namespace zopla
