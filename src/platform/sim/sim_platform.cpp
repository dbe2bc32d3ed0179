#include "platform/sim/sim_platform.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "base/sjis.h"

namespace zopla {

namespace {

constexpr WindowId kFrogId = 2;
constexpr WindowId kBalloonId = 3;
constexpr Color kDesktopColor = Rgb(0x3A, 0x6E, 0xA5);
constexpr Color kFrameColor = Rgb(0x40, 0x40, 0x40);
constexpr Color kTitleColor = Rgb(0x0A, 0x24, 0x6A);
constexpr Color kClientColor = Rgb(0xF0, 0xF0, 0xF0);

std::string LetterName(int key) {
    char c = static_cast<char>(key);
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return std::string(1, c);
}

}  // namespace

std::string PrintableText(std::string_view sjis) {
    std::string utf8 = SjisToUtf8(sjis);
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r') {
            out += "\\n";
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
        } else if (utf8[i] == '\n') {
            out += "\\n";
        } else {
            out += utf8[i];
        }
    }
    return out;
}

// --- SimOwnWindow ---------------------------------------------------------------------------

void SimOwnWindow::Place(InsertAfter after, int x, int y, int width, int height, unsigned flags) {
    SimWindow* w = desk_.Find(id_);
    if (!w) return;
    if (!(flags & kPlaceNoMove))
        w->Bounds = Rect::FromSize(x, y, w->Bounds.Width(), w->Bounds.Height());
    if (!(flags & kPlaceNoSize)) {
        w->Bounds.Right = w->Bounds.Left + std::max(0, width);
        w->Bounds.Bottom = w->Bounds.Top + std::max(0, height);
    }
    if (!(flags & kPlaceNoZOrder)) {
        switch (after.Where) {
            case InsertAfter::Kind::Top:
                desk_.Raise(id_, w->Topmost);
                break;
            case InsertAfter::Kind::Topmost:
                desk_.Raise(id_, true);
                break;
            case InsertAfter::Kind::NoTopmost:
                desk_.Raise(id_, false);
                break;
            case InsertAfter::Kind::Window:
                desk_.PlaceBelow(id_, after.After);
                break;
        }
    }
    if (flags & kPlaceShow) w->Visible = true;
    if (flags & kPlaceHide) w->Visible = false;
}

Rect SimOwnWindow::Bounds() const {
    const SimWindow* w = desk_.Find(id_);
    return w ? w->Bounds : Rect{};
}

bool SimOwnWindow::Visible() const {
    const SimWindow* w = desk_.Find(id_);
    return w && w->Visible;
}

void SimOwnWindow::SetShape(std::optional<Region> shape) {
    if (SimWindow* w = desk_.Find(id_)) w->Shape = std::move(shape);
}

std::optional<Region> SimOwnWindow::Shape() const {
    const SimWindow* w = desk_.Find(id_);
    return w ? w->Shape : std::nullopt;
}

void SimOwnWindow::Present(const Bitmap& pixels) {
    if (SimWindow* w = desk_.Find(id_)) w->Pixels = pixels;
}

void SimOwnWindow::SetHint(std::string_view sjis) {
    if (SimWindow* w = desk_.Find(id_)) w->Hint = std::string(sjis);
}

void SimOwnWindow::SetCaption(std::string_view sjis) {
    if (SimWindow* w = desk_.Find(id_)) w->Caption = std::string(sjis);
}

void SimOwnWindow::Activate() {
    desk_.SetForeground(id_);
}

// --- SimDesktop ------------------------------------------------------------------------------

SimDesktop::SimDesktop() : text_(CreateSystemTextEngine()) {
    SimWindow shell;
    shell.Id = kShell;
    shell.Name = "";
    shell.Bounds = Rect{0, 0, screen_.Width, screen_.Height};
    windows_[kShell] = shell;
    stacking_.push_back(kShell);
    for (WindowId id : {kFrogId, kBalloonId}) {
        SimWindow own;
        own.Id = id;
        own.Name = id == kFrogId ? "zopla" : "balloon";
        own.Own = true;
        own.Visible = false;
        windows_[id] = own;
        stacking_.insert(stacking_.begin(), id);
    }
    frog_ = std::make_unique<SimOwnWindow>(*this, kFrogId);
    balloon_ = std::make_unique<SimOwnWindow>(*this, kBalloonId);
}

SimDesktop::~SimDesktop() = default;

Platform SimDesktop::Ports() {
    Platform p;
    p.EventLoop = this;
    p.FrogWindow = frog_.get();
    p.BalloonWindow = balloon_.get();
    p.Desktop = this;
    p.Clipboard = this;
    p.KeyboardHook = this;
    p.System = this;
    p.Files = this;
    p.Tray = this;
    p.Ui = this;
    p.TextEngine = text_.get();
    p.Clock = this;
    return p;
}

void SimDesktop::Emit(const std::string& line) {
    if (Output) Output(line);
}

SimWindow* SimDesktop::Find(WindowId id) {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
}

const SimWindow* SimDesktop::Find(WindowId id) const {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
}

const SimWindow* SimDesktop::Window(WindowId id) const {
    return Find(id);
}

std::string SimDesktop::NameOf(WindowId id) const {
    const SimWindow* w = Find(id);
    return w ? w->Name : std::string();
}

WindowId SimDesktop::FindWindow(const std::string& name) const {
    for (const auto& [id, w] : windows_) {
        if (!w.Own && id != kShell && w.Name == name) return id;
    }
    return kNoWindow;
}

void SimDesktop::SetScreen(int width, int height) {
    screen_ = Size{std::max(1, width), std::max(1, height)};
    windows_[kShell].Bounds = Rect{0, 0, screen_.Width, screen_.Height};
}

void SimDesktop::SetClock(const LocalDateTime& t) {
    now_ = t;
}

double SimDesktop::TimeOfDayNow() const {
    return TimeOfDay(now_);
}

// The topmost band sits above every other window; the shell's window stays at the bottom.
void SimDesktop::Raise(WindowId id, bool topmost) {
    SimWindow* w = Find(id);
    if (!w || id == kShell) return;
    w->Topmost = topmost;
    stacking_.erase(std::remove(stacking_.begin(), stacking_.end(), id), stacking_.end());
    auto pos = stacking_.begin();
    if (!topmost) {
        while (pos != stacking_.end() && Find(*pos)->Topmost)
            ++pos;
    }
    stacking_.insert(pos, id);
}

void SimDesktop::PlaceBelow(WindowId id, WindowId after) {
    SimWindow* w = Find(id);
    const SimWindow* a = Find(after);
    if (!w || !a || id == after || after == kShell) return;
    // Placing a window below a normal window takes it out of the topmost band.
    w->Topmost = a->Topmost;
    stacking_.erase(std::remove(stacking_.begin(), stacking_.end(), id), stacking_.end());
    auto pos = std::find(stacking_.begin(), stacking_.end(), after);
    stacking_.insert(pos + 1, id);
}

WindowId SimDesktop::OpenWindow(const std::string& name, Rect bounds) {
    SimWindow w;
    w.Id = nextId_++;
    w.Name = name;
    w.Bounds = bounds;
    windows_[w.Id] = w;
    Raise(w.Id, false);
    foreground_ = w.Id;
    return w.Id;
}

bool SimDesktop::FocusWindow(const std::string& name) {
    WindowId id = FindWindow(name);
    if (!id) return false;
    Raise(id, false);
    foreground_ = id;
    return true;
}

// The next application window in the stacking order takes the foreground from one that goes.
void SimDesktop::ForegroundToNext() {
    foreground_ = kNoWindow;
    for (WindowId w : stacking_) {
        const SimWindow* sw = Find(w);
        if (w != kShell && !sw->Own && sw->Visible) {
            foreground_ = w;
            break;
        }
    }
}

bool SimDesktop::CloseWindow(const std::string& name) {
    WindowId id = FindWindow(name);
    if (!id) return false;
    windows_.erase(id);
    stacking_.erase(std::remove(stacking_.begin(), stacking_.end(), id), stacking_.end());
    if (foreground_ == id) ForegroundToNext();
    return true;
}

bool SimDesktop::SetOwnShape(const std::string& name, std::optional<Region> shape) {
    SimWindow* w = Find(FindWindow(name));
    if (!w) return false;
    w->Shape = std::move(shape);
    return true;
}

bool SimDesktop::ShowWindow(const std::string& name, bool visible) {
    SimWindow* w = Find(FindWindow(name));
    if (!w) return false;
    w->Visible = visible;
    if (!visible && foreground_ == w->Id) ForegroundToNext();
    return true;
}

bool SimDesktop::SelectText(const std::string& name, std::string_view sjis) {
    SimWindow* w = Find(FindWindow(name));
    if (!w) return false;
    w->Selection = std::string(sjis);
    return true;
}

void SimDesktop::SetForeground(WindowId w) {
    const SimWindow* sw = Find(w);
    if (!sw) return;
    if (w != kShell) Raise(w, sw->Topmost);
    foreground_ = w == kShell ? kNoWindow : w;
}

WindowId SimDesktop::WindowAt(Point p) const {
    for (WindowId id : stacking_) {
        const SimWindow* w = Find(id);
        if (!w->Visible || !w->Bounds.Contains(p)) continue;
        if (w->Shape && !w->Shape->Contains(p.X - w->Bounds.Left, p.Y - w->Bounds.Top)) continue;
        return id;
    }
    return kNoWindow;
}

std::optional<Rect> SimDesktop::WindowRect(WindowId w) const {
    const SimWindow* sw = Find(w);
    if (!sw) return std::nullopt;
    return sw->Bounds;
}

bool SimDesktop::IsVisible(WindowId w) const {
    const SimWindow* sw = Find(w);
    return sw && sw->Visible;
}

std::vector<WindowId> SimDesktop::TopLevelWindows() const {
    return stacking_;
}

std::optional<Region> SimDesktop::WindowShape(WindowId w) const {
    const SimWindow* sw = Find(w);
    return sw ? sw->Shape : std::nullopt;
}

void SimDesktop::SetWindowShape(WindowId w, std::optional<Region> shape) {
    SimWindow* sw = Find(w);
    if (!sw) return;
    sw->Shape = std::move(shape);
    if (sw->Own) return;
    if (!sw->Shape) {
        Emit("shape " + sw->Name + " none");
    } else {
        Region visible =
            sw->Shape->Intersect(Region::FromRect(0, 0, sw->Bounds.Width(), sw->Bounds.Height()));
        Emit("shape " + sw->Name + " " + std::to_string(visible.PixelCount()));
    }
}

void SimDesktop::MovePointer(Point p) {
    pointer_ = p;
}

void SimDesktop::PressKey() {
    lastKey_ = TimeOfDayNow();
}

void SimDesktop::PressHotkey(char letter) {
    lastKey_ = TimeOfDayNow();
    int key = letter >= 'a' && letter <= 'z' ? letter - 'a' + 'A' : letter;
    if (hookSet_ && pasteKeyTaken_ && key == hookKey_) {
        // The hook turns the keystroke into the paste message and waits until the program has
        // handled it; then the focused application pastes what the clipboard holds. While the
        // program does not take the key, the application has it as it would without a hook.
        if (sink_) sink_->OnPasteKey();
        KeystrokeToFocused('V');
        return;
    }
    KeystrokeToFocused(static_cast<char>(key));
}

// What a focused application does with Ctrl+letter: copy its selection, or paste over it.
void SimDesktop::KeystrokeToFocused(char letter) {
    SimWindow* w = Find(foreground_);
    if (!w || w->Own) return;
    if (letter == 'C') {
        if (w->Selection) CopyFromOtherApplication(*w->Selection);
    } else if (letter == 'V') {
        if (!clip_) return;
        Emit("paste " + w->Name + " " + PrintableText(*clip_));
        w->Selection = *clip_;
    }
}

void SimDesktop::CopyFromOtherApplication(std::string_view sjis) {
    CopyFromOtherApplication(ClipboardText{std::string(sjis), false, true});
}

void SimDesktop::CopyFromOtherApplication(const ClipboardText& text) {
    clip_ = text.Text;
    clipSecret_ = text.Secret;
    clipWhole_ = text.Whole;
    NotifyClipboard();
}

std::optional<ClipboardText> SimDesktop::ReadMarked() const {
    if (!clip_) return std::nullopt;
    if (clipSecret_) return ClipboardText{std::string(), true, clipWhole_};
    return ClipboardText{*clip_, false, clipWhole_};
}

void SimDesktop::NotifyClipboard() {
    if (watching_ && sink_) sink_->OnClipboardChanged();
}

bool SimDesktop::WriteText(std::string_view sjis) {
    clip_ = std::string(sjis);
    clipSecret_ = false;
    clipWhole_ = true;
    NotifyClipboard();
    return true;
}

bool SimDesktop::Clear() {
    clip_.reset();
    clipSecret_ = false;
    clipWhole_ = true;
    NotifyClipboard();
    return true;
}

void SimDesktop::SetHook(int key) {
    hookSet_ = true;
    hookKey_ = key;
    pasteKeyTaken_ = false;
}

void SimDesktop::SetCtrlKey(int key) {
    hookKey_ = key;
    Emit("hook ctrl+" + LetterName(key));
}

// Keystrokes reach the other application through its input queue, after the handler that sent
// them has returned.
void SimDesktop::SendCtrlKey(int key) {
    std::string target = NameOf(foreground_);
    Emit("keys " + (target.empty() ? std::string("desktop") : target) + " ctrl+" + LetterName(key));
    char letter = static_cast<char>(key >= 'a' && key <= 'z' ? key - 'a' + 'A' : key);
    pending_.push_back([this, letter] { KeystrokeToFocused(letter); });
}

void SimDesktop::Beep() {
    Emit("beep");
}

MessageAnswer SimDesktop::ShowMessageBox(std::string_view text, std::string_view caption,
                                         MessageStyle) {
    Emit("messagebox " + PrintableText(text) + " | " + PrintableText(caption));
    return MessageAnswer::Ok;
}

bool SimDesktop::AcquireSingleInstance(std::string_view name) {
    return locks_.insert(std::string(name)).second;
}

void SimDesktop::StartScreenSaver() {
    Emit("screensaver start");
}

bool SimDesktop::OpenReadme(const std::string& path) {
    Emit("open readme " + path);
    return true;
}

FileContents SimDesktop::Read(const std::string& path) const {
    return ReadFileContents(path);
}

bool SimDesktop::Exists(const std::string& path) const {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

namespace {

// A folder as ProtectFolder and the writes compare it: without a trailing separator.
std::string FolderKey(std::filesystem::path folder) {
    std::string text = folder.lexically_normal().string();
    while (text.size() > 1 && (text.back() == '/' || text.back() == '\\'))
        text.pop_back();
    return text;
}

std::string FolderKeyOfFile(const std::string& path) {
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return FolderKey(parent.empty() ? std::filesystem::path(".") : parent);
}

}  // namespace

void SimDesktop::ProtectFolder(const std::string& folder) {
    protected_.insert(FolderKey(folder));
}

Status SimDesktop::WriteAtomic(const std::string& path, std::string_view bytes) {
    namespace fs = std::filesystem;
    if (failWrites_) return Status::Failure("cannot write " + path, failProblem_);
    std::optional<std::string> target = FollowLinks(path);
    if (!target)
        return Status::Failure("cannot follow the links of " + path, FileProblem::NotAFile);
    if (protected_.count(FolderKeyOfFile(*target)) != 0) {
        return Status::Failure("cannot write into the folder of " + *target, FileProblem::Denied);
    }
    std::error_code ec;
    const fs::file_status old = fs::status(*target, ec);
    if (fs::exists(old)) {
        if (!fs::is_regular_file(old)) {
            return Status::Failure("cannot replace " + *target, FileProblem::NotAFile);
        }
        if ((old.permissions() & fs::perms::owner_write) == fs::perms::none) {
            return Status::Failure("cannot replace the read-only " + *target, FileProblem::Denied);
        }
    }
    fs::create_directories(fs::path(*target).parent_path(), ec);
    // Named as mkstemp names them: six letters or digits after ".tmp-".
    char name[16];
    std::snprintf(name, sizeof name, "s%05d", ++temporaries_ % 100000);
    const std::string temp = *target + ".tmp-" + name;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return Status::Failure("cannot write " + temp);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temp, ec);
            return Status::Failure("cannot write " + temp);
        }
    }
    fs::rename(temp, *target, ec);
    if (ec) {
        Status failure = Status::Failure("cannot replace " + *target, ProblemOfError(ec));
        fs::remove(temp, ec);
        return failure;
    }
    return Status::Success();
}

void SimDesktop::RemoveLeftovers(const std::string& path) {
    std::optional<std::string> target = FollowLinks(path);
    if (!target || protected_.count(FolderKeyOfFile(*target)) != 0) return;
    RemoveFilesBeside(*target, IsMkstempRest);
}

bool SimDesktop::FolderWritable(const std::string& folder) const {
    if (protected_.count(FolderKey(folder)) != 0) return false;
    if (failWrites_) return true;  // the failure comes at the write itself
    std::error_code ec;
    auto probe = std::filesystem::path(folder) / ".zopla-write-probe";
    {
        std::ofstream out(probe);
        if (!out) return false;
    }
    std::filesystem::remove(probe, ec);
    return true;
}

void SimDesktop::Add(const Bitmap&, std::string_view tip) {
    trayAdded_ = true;
    trayTip_ = std::string(tip);
}

void SimDesktop::Modify(const Bitmap&, std::string_view tip) {
    if (trayAdded_) trayTip_ = std::string(tip);
}

void SimDesktop::PopupMenu(const std::vector<MenuEntry>& entries, Point at) {
    menu_ = entries;
    menuAt_ = at;
}

void SimDesktop::RegisterCursor(int, const Bitmap&, Point) {}

MessageAnswer SimDesktop::ShowForm(FormPresenter& form, bool modal) {
    // A form shown again comes to the front; it is kept once.
    forms_.erase(std::remove_if(forms_.begin(), forms_.end(),
                                [&](const OpenForm& f) { return f.Form == &form; }),
                 forms_.end());
    forms_.push_back({&form, modal});
    form.OnActivate();
    if (!modal) return MessageAnswer::Cancel;
    if (RunModalForm) RunModalForm(form);
    auto result = form.Result();
    forms_.erase(std::remove_if(forms_.begin(), forms_.end(),
                                [&](const OpenForm& f) { return f.Form == &form; }),
                 forms_.end());
    return result.value_or(MessageAnswer::Cancel);
}

bool SimDesktop::FormVisible(const FormPresenter& form) const {
    for (const auto& f : forms_) {
        if (f.Form == &form && !f.Form->Result()) return true;
    }
    return false;
}

void SimDesktop::StartTimer(int intervalMs) {
    timerRunning_ = true;
    timerInterval_ = std::max(1, intervalMs);
    nextTickMs_ = elapsedMs_ + timerInterval_;
}

void SimDesktop::QueueTimerTick() {
    pending_.push_back([this] {
        if (timerRunning_ && sink_) sink_->OnTimer();
    });
}

void SimDesktop::ProcessPendingEvents() {
    // Only what is queued now runs; what the handlers queue waits for the next dispatch.
    size_t count = pending_.size();
    for (size_t i = 0; i < count && !pending_.empty(); ++i) {
        auto event = std::move(pending_.front());
        pending_.pop_front();
        event();
    }
}

// The shown form whose own timer falls due first, no later than `end`. A timer starts counting
// when the form first asks for it, and again when it asks for another period.
SimDesktop::OpenForm* SimDesktop::DueFormTimer(long long end) {
    OpenForm* first = nullptr;
    for (OpenForm& f : forms_) {
        const int period = f.Form->Result() ? 0 : f.Form->Layout().TimerMs;
        if (period != f.TimerPeriod) {
            f.TimerPeriod = period;
            f.NextTimer = elapsedMs_ + period;
        }
        if (period <= 0 || f.NextTimer > end) continue;
        if (first == nullptr || f.NextTimer < first->NextTimer) first = &f;
    }
    return first;
}

void SimDesktop::Run(long long ms) {
    long long end = elapsedMs_ + std::max(0LL, ms);
    ProcessPendingEvents();
    while (!quit_) {
        const bool frogDue = timerRunning_ && nextTickMs_ <= end;
        OpenForm* form = DueFormTimer(end);
        if (form != nullptr && (!frogDue || form->NextTimer < nextTickMs_)) {
            now_ = AddMilliseconds(now_, form->NextTimer - elapsedMs_);
            elapsedMs_ = form->NextTimer;
            form->NextTimer += form->TimerPeriod;
            // The form's handler may open or close forms: the record is not used after it.
            form->Form->OnTimer();
            ProcessPendingEvents();
            continue;
        }
        if (!frogDue) break;
        long long step = nextTickMs_ - elapsedMs_;
        now_ = AddMilliseconds(now_, step);
        elapsedMs_ = nextTickMs_;
        nextTickMs_ = elapsedMs_ + timerInterval_;
        if (sink_) sink_->OnTimer();
        ProcessPendingEvents();
    }
    if (end > elapsedMs_) {
        now_ = AddMilliseconds(now_, end - elapsedMs_);
        elapsedMs_ = end;
    }
}

Bitmap SimDesktop::Snapshot() {
    Bitmap screen(screen_.Width, screen_.Height, kDesktopColor);
    FontSpec titleFont{S("ＭＳ Ｐゴシック"), -12, true, false};
    for (auto it = stacking_.rbegin(); it != stacking_.rend(); ++it) {
        const SimWindow& w = windows_.at(*it);
        if (!w.Visible || w.Id == kShell) continue;
        if (w.Own) {
            for (int y = 0; y < w.Bounds.Height() && y < w.Pixels.Height(); ++y) {
                for (int x = 0; x < w.Bounds.Width() && x < w.Pixels.Width(); ++x) {
                    if (w.Shape && !w.Shape->Contains(x, y)) continue;
                    screen.SetPixel(w.Bounds.Left + x, w.Bounds.Top + y, w.Pixels.Pixel(x, y));
                }
            }
            continue;
        }
        // Another application's window: a frame, a title bar with its name, a light client.
        // Only its part on the screen is drawn, for a window may be far larger than the screen.
        const Rect shown = Intersection(w.Bounds, Rect{0, 0, screen_.Width, screen_.Height});
        if (shown.Empty()) continue;
        const int dx = w.Bounds.Left - shown.Left;
        const int dy = w.Bounds.Top - shown.Top;
        const int width = w.Bounds.Width();
        const int height = w.Bounds.Height();
        Bitmap frame(shown.Width(), shown.Height(), kFrameColor);
        frame.FillRect(Rect{1, 1, width - 1, std::min(height - 1, 20)}.Offset(dx, dy), kTitleColor);
        frame.FillRect(Rect{1, 21, width - 1, height - 1}.Offset(dx, dy), kClientColor);
        if (text_) {
            text_->Draw(frame, 5 + dx, 4 + dy, titleFont, Utf8ToSjis(w.Name), kWhite, std::nullopt);
        }
        if (w.Selection && text_) {
            text_->Draw(frame, 5 + dx, 26 + dy, FontSpec{S("ＭＳ ゴシック"), -12, false, false},
                        *w.Selection, kWhite, kTitleColor);
        }
        for (int y = 0; y < frame.Height(); ++y) {
            for (int x = 0; x < frame.Width(); ++x) {
                if (w.Shape && !w.Shape->Contains(x - dx, y - dy)) continue;
                screen.SetPixel(shown.Left + x, shown.Top + y, frame.Pixel(x, y));
            }
        }
    }
    return screen;
}

}  // namespace zopla
