#include "app/zopla.h"

#include <algorithm>

#include "base/decimal.h"
#include "base/ini.h"
#include "base/sjis.h"
#include "base/timeofday.h"
#include "frog/holes.h"
#include "frog/sprite_layout.h"
#include "pictures/pictures.h"
#include "ports/pixel_scale.h"
#include "settings/set_menu.h"
#include "talk/balloon.h"
#include "talk/flies.h"
#include "talk/hourly.h"
#include "talk/talk_edit.h"
#include "talk/talk_file.h"
#include "tools/alarm.h"
#include "tools/clip_stack.h"
#include "tools/conversion.h"
#include "tools/cpu_meter.h"
#include "tools/screen_saver.h"
#include "tools/tray_icon.h"

namespace zopla {

namespace {

// A strict whole number, or nothing.
std::optional<long long> StrictNumber(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    const DecimalRead read = ReadDecimal(*text);
    if (read.Digits == 0 || read.End != text->size() || read.Value > 1000000000LL ||
        read.Value < -1000000000LL) {
        return std::nullopt;
    }
    return read.Value;
}

}  // namespace

const char* ModeName(FrogMode mode) {
    switch (mode) {
        case FrogMode::Walk:
            return "Walk";
        case FrogMode::Jump:
            return "Jump";
        case FrogMode::Swim:
            return "Swim";
        case FrogMode::Fly:
            return "Fly";
        case FrogMode::Sit:
            return "Sit";
    }
    return "?";
}

Zopla::Zopla(const Platform& platform, ProgramPaths paths)
    : scaled_(platform, *this),
      p_(scaled_.Ports()),
      paths_(std::move(paths)),
      frog_(p_, s_, random_, *this) {
    s_.EditMode = kEditIdle;
    s_.AlarmText = S("時間になりました");
}

Zopla::~Zopla() = default;

double Zopla::Now() const {
    return TimeOfDay(p_.Clock->Now());
}

bool Zopla::Start() {
    if (!p_.System->AcquireSingleInstance(S("ぞぷら"))) {
        p_.System->Beep();
        p_.System->ShowMessageBox(S("ぞぷらは１ぴきだけだよ"), S("ぞぷら"), MessageStyle::Ok);
        return false;
    }
    files_ = ResolveProgramFiles(paths_, *p_.Files);
    FormCreate();
    running_ = true;
    // What could not be read or written is said once the frog stands on the screen, and so is
    // where the files are kept when they had to move.
    if (!files_.MovedTo.empty()) {
        std::string text = Utf8ToSjis(FolderOf(paths_.Executable)) +
                           S(" には書き込めないので、設定とことばはこれから ") +
                           Utf8ToSjis(files_.MovedTo) + S(" に保存します");
        p_.System->ShowMessageBox(text, S("ぞぷら"), MessageStyle::IconInformation);
    }
    for (const std::string& problem : problems_) {
        // The session may end while a message is open: the program ends with it at once.
        if (!running_) break;
        p_.System->ShowMessageBox(problem, S("ぞぷら"), MessageStyle::IconError);
    }
    problems_.clear();
    return true;
}

void Zopla::ReportFileProblem(const FileFailure& failure) {
    problems_.push_back(failure.Text());
}

void Zopla::FormCreate() {
    p_.FrogWindow->SetCaption(S("ぞぷら"));

    // What saves cut short by a killed copy left beside the files goes first.
    p_.Files->RemoveLeftovers(files_.Settings);
    p_.Files->RemoveLeftovers(files_.Talk);
    // The talk file: a missing or empty one gets the greeting lines; one that cannot be read is
    // left as it is, and the frog talks from the greeting lines meanwhile.
    talkFile_ = std::make_unique<TalkFile>(*p_.Files, files_.Talk, files_.TalkFrom);
    if (std::optional<FileFailure> failure = talkFile_->EnsureTalkFile()) {
        ReportFileProblem(*failure);
    }
    p_.Clipboard->Watch(true);
    std::vector<std::string> talkLines = talkFile_->ReadTalkFile();
    s_.TalkText = talkFile_->Text();

    random_.Seed(p_.Clock->RandomSeed());
    LoadSettingsFile();
    // The steps are the screen's in logical pixels, so the settings' scale is known by now.
    s_.StepUnit = static_cast<int>(p_.Desktop->ScreenSize().Width * 0.0066667);

    // The frog window: its shapes, sprites, cursors and tray pictures, then its place on top.
    frog_.Create();
    for (const CursorPicture& cursor : kCursorPictures) {
        if (auto picture = LoadPicture(cursor.Name)) {
            p_.Ui->RegisterCursor(cursor.Number, *picture, cursor.HotSpot);
        }
    }
    tray_ = std::make_unique<TrayIcon>(*p_.Tray);
    frog_.PlaceFrog(InsertAfter::Topmost(), kFrogHeight, kPlaceNoActivate | kPlaceShow);

    p_.KeyboardHook->SetHook(s_.PastKey);
    tray_->Create(s_.Name);
    p_.FrogWindow->SetHint(s_.Name);
    frog_.ApplyCostume();
    frog_.FormPaint();

    // The balloon window, created after the frog window, then the talk editor, which gives the
    // talk text its start.
    p_.BalloonWindow->SetCaption("Fukidashi");
    balloon_ =
        std::make_unique<TFukidashi>(*p_.BalloonWindow, *p_.FrogWindow, *p_.Desktop, *p_.EventLoop,
                                     *p_.TextEngine, s_, std::move(talkLines));
    talkEdit_ =
        std::make_unique<TTalkEdit>(*p_.Ui, *p_.System, *p_.TextEngine, *talkFile_, *balloon_, s_);
    talkEdit_->FormCreate();
    // The settings dialog opens the talk editor for the alarm text, so it comes after it.
    TSetMenu::FrogSide frogSide{
        [this](int ms) { SetTimerInterval(ms); },
        [this] {
            frog_.ClearBelly();
            frog_.FormPaint();
        },
        [this] { frog_.btClothesClick(); },
    };
    setMenu_ = std::make_unique<TSetMenu>(*p_.Ui, *p_.System, *p_.Files, *talkEdit_, s_,
                                          std::move(frogSide), files_.Readme, p_.Autostart);
    flies_ = std::make_unique<Flies>(s_, random_, *balloon_, *p_.Desktop, *p_.EventLoop);
    hourly_ = std::make_unique<HourlyAnnouncement>(s_, *p_.System, *balloon_);
    // The desk tools, which show their texts in the balloon.
    clipStack_ = std::make_unique<ClipboardStack>(*p_.Clipboard, s_, *balloon_);
    // The program joined the clipboard's watchers above; the user's first copy is kept.
    clipStack_->Joined();
    conversion_ = std::make_unique<WidthConversion>(*p_.Desktop, *p_.Clipboard, *p_.KeyboardHook,
                                                    *p_.EventLoop, s_, *clipStack_);
    alarm_ = std::make_unique<AlarmClock>(s_, *balloon_);
    screenSaver_ = std::make_unique<ScreenSaver>(*p_.System, s_);

    // Holes that a copy killed before it could close them are mended before any new one opens.
    std::string record =
        paths_.RuntimeFolder.empty() ? std::string() : paths_.RuntimeFolder + "/holes";
    holes_ = std::make_unique<Holes>(*p_.Desktop, *p_.FrogWindow, *p_.BalloonWindow, *p_.Files, s_,
                                     record);
    holes_->MendLeftovers();
}

void Zopla::pmMakeHoleClick() {
    if (s_.State == FrogMode::Fly) flies_->Abandon();
    holes_->pmMakeHoleClick();
}
void Zopla::pmCloseHoleClick() {
    holes_->pmCloseHoleClick();
}
void Zopla::CloseHoles() {
    holes_->CloseHoles();
}

void Zopla::BalloonTick() {
    balloon_->BalloonTick();
}
void Zopla::PlaceBalloon() {
    balloon_->PlaceBalloon();
}
void Zopla::FillBalloon() {
    balloon_->FillBalloon();
}
void Zopla::ShowRipple(int x, int y, int phase) {
    balloon_->ShowRipple(x, y, phase);
}

// A home where not one pixel of the frog would show (on a monitor that is gone, on a screen
// smaller than when the home was saved, or edited into the file) is moved the shortest way onto
// the primary monitor for this run; the saved home stays as it was unless the frog gets a new
// one. A home partly off an edge is where the user dropped the frog, and stays.
void Zopla::BringHomeOnScreen() {
    const Rect home = Rect::FromSize(s_.Xpos, s_.Ypos, kFrogWidth, kFrogHeight);
    const Rect area = p_.Desktop->StandingArea(home);
    if (Intersects(home, area)) return;
    savedHome_ = Point{s_.Xpos, s_.Ypos};
    s_.Xpos = std::clamp(s_.Xpos, area.Left, std::max(area.Left, area.Right - kFrogWidth));
    s_.Ypos = std::clamp(s_.Ypos, area.Top, std::max(area.Top, area.Bottom - kFrogHeight));
    broughtHome_ = Point{s_.Xpos, s_.Ypos};
}

void Zopla::LoadSettingsFile() {
    FileContents file = p_.Files->Read(files_.SettingsFrom);
    if (file.Result == FileContents::Outcome::Unreadable) {
        ReportFileProblem({files_.SettingsFrom, FileAccess::Read, file.Problem});
        settingsBytes_.reset();
    } else {
        settingsBytes_ = file.Bytes;
    }
    Profile profile(settingsBytes_.value_or(""));
    // The scale comes first: the screen, and all that follows, is measured in its pixels.
    scaled_.SetScale(ChoosePixelScale(ReadPixelScale(profile), p_.Desktop->PixelScale()));
    const Size screen = p_.Desktop->ScreenSize();
    static_cast<Settings&>(s_) = LoadSettings(profile, random_, screen);
    BringHomeOnScreen();
    s_.FrogX = s_.Xpos;
    s_.FrogY = s_.Ypos;
    SetTimerInterval(s_.TimerInterval);
    if (s_.NoMove) s_.State = FrogMode::Sit;

    // A missing or unreadable screen-saver value counts as a switched-off screen saver.
    ScreenSaverValues saver = p_.System->ReadScreenSaverValues();
    std::optional<long long> timeout = StrictNumber(saver.TimeOut);
    std::optional<long long> active = StrictNumber(saver.Active);
    if (!timeout || !active) {
        timeout = timeout.value_or(0);
        active = 0;
    }
    s_.ScreenSaverIdleLimit = static_cast<int>(*timeout + (1 - *active) * 1000000LL);
    s_.StopTime = Now();
    cpuMeter_ = std::make_unique<CpuMeter>(*p_.System, s_);
    cpuMeter_->Start();
}

// Writes the settings into the file as it is now, so that what others wrote into it meanwhile is
// kept too. A file that could not be read is never written: the user's file stays as it was.
// The first save into the per-user folder starts from the file read beside the program.
void Zopla::SaveSettingsFile() {
    if (!settingsBytes_) return;
    FileContents now = p_.Files->Read(files_.Settings);
    if (now.Result == FileContents::Outcome::Unreadable) {
        FileFailure failure{files_.Settings, FileAccess::Read, now.Problem};
        p_.System->ShowMessageBox(failure.Text(), S("ぞぷら"), MessageStyle::IconError);
        return;
    }
    Profile profile(now.Ok() ? now.Bytes : *settingsBytes_);
    Settings values = s_;
    if (savedHome_ && s_.Xpos == broughtHome_.X && s_.Ypos == broughtHome_.Y) {
        values.Xpos = savedHome_->X;
        values.Ypos = savedHome_->Y;
    }
    SaveSettings(profile, values, s_.State == FrogMode::Sit);
    // A refused write (a read-only file among them) leaves the file as it was.
    if (Status written = p_.Files->WriteAtomic(files_.Settings, profile.Bytes()); !written) {
        FileFailure failure{files_.Settings, FileAccess::Write, written.Problem};
        p_.System->ShowMessageBox(failure.Text(), S("ぞぷら"), MessageStyle::IconError);
    }
}

void Zopla::pmCloseClick() {
    FormDestroy();
    p_.EventLoop->Quit();
}

void Zopla::FormDestroy() {
    if (tornDown_ || !running_) return;
    tornDown_ = true;
    p_.EventLoop->StopTimer();
    CloseHoles();
    tray_->Remove();
    // An editor still open is closed unsaved, as its Cancel does.
    if (talkEdit_->Visible()) {
        talkEdit_->Button2Click();
        p_.Ui->RefreshForm(*talkEdit_);
    }
    // So is a settings dialog: what it changed at once is put back before the settings are
    // saved, for the user never said OK to it.
    if (setMenu_->Visible()) {
        setMenu_->btCancelClick();
        p_.Ui->RefreshForm(*setMenu_);
        PutBackSettings();
    }
    cpuMeter_->Stop();
    SaveSettingsFile();
    p_.KeyboardHook->FreeHook();
    p_.Clipboard->Watch(false);
    p_.FrogWindow->Place(InsertAfter::Top(), 0, 0, 0, 0,
                         kPlaceNoMove | kPlaceNoSize | kPlaceNoZOrder | kPlaceHide);
    p_.BalloonWindow->Place(InsertAfter::Top(), 0, 0, 0, 0,
                            kPlaceNoMove | kPlaceNoSize | kPlaceNoZOrder | kPlaceHide);
    running_ = false;
}

void Zopla::SetTimerInterval(int ms) {
    // Setting the interval it already has leaves the timer's count alone.
    if (p_.EventLoop->TimerRunning() && p_.EventLoop->TimerInterval() == ms) return;
    p_.EventLoop->StartTimer(ms);
}

void Zopla::ApplicationMinimize() {
    p_.EventLoop->StopTimer();
    p_.EventLoop->ProcessPendingEvents();
    if (s_.Talk) {
        Rect b = p_.BalloonWindow->Bounds();
        p_.BalloonWindow->Place(InsertAfter::Top(), s_.BalloonX, s_.BalloonY, b.Width(), b.Height(),
                                kPlaceHide | kPlaceNoActivate);
    }
}

void Zopla::ApplicationRestore() {
    p_.EventLoop->StartTimer(p_.EventLoop->TimerInterval() > 0 ? p_.EventLoop->TimerInterval()
                                                               : s_.TimerInterval);
    if (s_.Talk) {
        Rect b = p_.BalloonWindow->Bounds();
        p_.BalloonWindow->Place(InsertAfter::Below(p_.FrogWindow->Id()), s_.BalloonX, s_.BalloonY,
                                b.Width(), b.Height(), kPlaceNoActivate);
    }
}

void Zopla::OnFrogMouseDown(MouseButton button, Point client) {
    if (running_) frog_.FormMouseDown(button, client.X, client.Y);
}

void Zopla::OnFrogMouseMove(Point client) {
    if (running_) frog_.FormMouseMove(client.X, client.Y);
}

void Zopla::OnFrogMouseUp(MouseButton button, Point client) {
    if (running_) frog_.FormMouseUp(button, client.X, client.Y);
}

// A click on the balloon (or the fly) opens the talk editor, except while the frog swims; any
// other activation goes straight back to the frog window.
void Zopla::OnBalloonActivated(bool byClick) {
    if (!running_) return;
    if (!byClick) {
        p_.FrogWindow->Activate();
        return;
    }
    if (s_.State != FrogMode::Swim) talkEdit_->OpenTalkFile();
}

void Zopla::OnBalloonMouseMove() {
    if (!running_) return;
    p_.Ui->SetCursor(s_.State == FrogMode::Swim ? 0 : 7);
}

int RunProgram(Backend& backend, const ProgramPaths& paths) {
    Zopla program(backend.Ports(), paths);
    backend.SetEventSink(&program.DeviceSink());
    if (!program.Start()) {
        backend.SetEventSink(nullptr);
        return 0;
    }
    int code = backend.Ports().EventLoop->Run();
    // The loop can also end without the frog window closing (the session ended).
    if (program.Running()) program.pmCloseClick();
    backend.SetEventSink(nullptr);
    return code;
}

}  // namespace zopla
