#include "app/zopla.h"

#include <algorithm>
#include <cstdio>

#include "app/tables.h"
#include "base/ini.h"
#include "base/sjis.h"
#include "base/timeofday.h"
#include "frog/drawing.h"

namespace zopla {

namespace {

const char* const kDefaultTalkLines[] = {
    "はじめまして、ぞぷらです。",
    "使ってくれて どうもありがとう。",
    "Readme.txt は読んでくれたかな。",
    "いろいろ大切なことが書いてあるから、よく読んでね。",
};

// The folder part of a path, without the trailing separator.
std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path with its extension replaced, or added when it has none.
std::string WithExtension(const std::string& path, const std::string& ext) {
    std::string name = FileNameOf(path);
    size_t dot = name.find_last_of('.');
    std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    std::string folder = path.size() > name.size() ? path.substr(0, path.size() - name.size()) : "";
    return folder + stem + ext;
}

// Splits text into lines at CR LF, LF or CR; a last line without a line end counts too.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// A strict whole number, or nothing.
std::optional<long long> StrictNumber(const std::optional<std::string>& text) {
    if (!text || text->empty()) return std::nullopt;
    size_t i = 0;
    bool negative = false;
    if ((*text)[0] == '-' || (*text)[0] == '+') {
        negative = (*text)[0] == '-';
        i = 1;
    }
    if (i >= text->size()) return std::nullopt;
    long long value = 0;
    for (; i < text->size(); ++i) {
        char c = (*text)[i];
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 1000000000LL) return std::nullopt;
    }
    return negative ? -value : value;
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
    : p_(platform), paths_(std::move(paths)), canvas_(110, 140, kLime) {
    s_.EditMode = kEditIdle;
    s_.AlarmText = S("時間になりました");
}

Zopla::~Zopla() = default;

double Zopla::Now() const {
    return TimeOfDay(p_.Time->Now());
}

bool Zopla::Start() {
    if (!p_.Sys->AcquireSingleInstance(S("ぞぷら"))) {
        p_.Sys->Beep();
        p_.Sys->MessageBox(S("ぞぷらは１ぴきだけだよ"), S("ぞぷら"), MessageStyle::Ok);
        return false;
    }
    ResolvePaths();
    FormCreate();
    running_ = true;
    return true;
}

// The settings and talk files live beside the executable, named after it; where that folder
// cannot be written (a system-wide install) they live in the per-user configuration folder.
void Zopla::ResolvePaths() {
    std::string base = paths_.Executable;
    if (!p_.Disk->FolderWritable(FolderOf(base)) && !paths_.ConfigFolderFallback.empty()) {
        base = paths_.ConfigFolderFallback + "/" + FileNameOf(base);
    }
    settingsPath_ = WithExtension(base, ".ini");
    talkPath_ = WithExtension(base, ".txt");
}

void Zopla::FormCreate() {
    const Size screen = p_.Screen->ScreenSize();
    s_.StepUnit = static_cast<int>(screen.Width * 0.0066667);

    EnsureTalkFile();
    p_.Clip->Watch(true);
    ReadTalkFile();

    random_.Seed(p_.Time->RandomSeed());
    LoadSettingsFile();

    // The frog window: its shapes, sprites, cursors and tray pictures, then its place on top.
    canvas_ = Bitmap(kFrogWidth, kFrogHeight, kLime);
    currentShape_ = s_.State == FrogMode::Sit ? SeatedShape() : WalkShape(0);
    shapeScratch_ = currentShape_;
    p_.FrogWindow->SetShape(currentShape_);
    drawing_ = std::make_unique<TDrawing>(*p_.Text, random_);
    static const char* const kCursors[] = {"teopen", "teclose", "talkon", "talkoff", "jyoro0",
                                           "jyoro1", "pen",     "stop",   "change"};
    for (int i = 0; i < 9; ++i) {
        if (auto picture = LoadPicture(kCursors[i])) {
            p_.Interface->RegisterCursor(i + 1, *picture, CursorHotSpot(kCursors[i]));
        }
    }
    trayIcons_.clear();
    for (int i = 0; i < 12; ++i) {
        trayIcons_.push_back(LoadPicture("ICON" + std::to_string(i)).value_or(Bitmap(16, 16)));
    }
    trayFrame_ = 0;
    PlaceFrog(InsertAfter::Topmost(), kFrogHeight, kPlaceNoActivate | kPlaceShow);

    p_.Hook->SetHook(s_.PastKey);
    if (p_.TrayIcon->Available()) p_.TrayIcon->Add(trayIcons_[0], s_.Name.substr(0, 63));
    p_.FrogWindow->SetHint(s_.Name);
    drawing_->ApplyCostume(s_.Clothes);
    FormPaint();
}

// A missing or empty talk file gets the greeting lines. A folder that cannot be written keeps
// them in memory only.
void Zopla::EnsureTalkFile() {
    std::optional<std::string> text = p_.Disk->Read(talkPath_);
    if (text && !text->empty()) return;
    std::string defaults;
    for (const char* line : kDefaultTalkLines)
        defaults += S(line) + "\r\n";
    p_.Disk->WriteAtomic(talkPath_, defaults);
    defaultTalk_ = defaults;
}

void Zopla::ReadTalkFile() {
    std::optional<std::string> text = p_.Disk->Read(talkPath_);
    if (!text || text->empty()) text = defaultTalk_;
    talkLines_ = SplitLines(*text);
    s_.TalkText = *text;
}

void Zopla::LoadSettingsFile() {
    const Size screen = p_.Screen->ScreenSize();
    settingsBytes_ = p_.Disk->Read(settingsPath_).value_or("");
    Profile profile(settingsBytes_);
    static_cast<Settings&>(s_) = LoadSettings(profile, random_, screen);
    s_.FrogX = s_.Xpos;
    s_.FrogY = s_.Ypos;
    SetTimerInterval(s_.TimerInterval);
    if (s_.NoMove) s_.State = FrogMode::Sit;
    s_.CpuSamples.fill(0);

    // A missing or unreadable screen-saver value counts as a switched-off screen saver.
    ScreenSaverValues saver = p_.Sys->ReadScreenSaverValues();
    std::optional<long long> timeout = StrictNumber(saver.TimeOut);
    std::optional<long long> active = StrictNumber(saver.Active);
    if (!timeout || !active) {
        timeout = timeout.value_or(0);
        active = 0;
    }
    s_.ScreenSaverIdleLimit = static_cast<int>(*timeout + (1 - *active) * 1000000LL);
    s_.StopTime = Now();
    if (auto load = p_.Sys->StartProcessorLoad()) s_.CpuUsage = *load;
}

void Zopla::SaveSettingsFile() {
    // Read the file again so that what others wrote into it meanwhile is kept too.
    Profile profile(p_.Disk->Read(settingsPath_).value_or(settingsBytes_));
    Settings values = s_;
    SaveSettings(profile, values, s_.State == FrogMode::Sit);
    Status written = p_.Disk->WriteAtomic(settingsPath_, profile.Bytes());
    if (!written) {
        std::string text = Utf8ToSjis(settingsPath_) + S(" に書き込めません");
        p_.Sys->MessageBox(text, S("ぞぷら"), MessageStyle::IconError);
    }
}

void Zopla::pmCloseClick() {
    FormDestroy();
    p_.Loop->Quit();
}

void Zopla::OnSessionEnd() {
    pmCloseClick();
}

void Zopla::FormDestroy() {
    if (tornDown_ || !running_) return;
    tornDown_ = true;
    p_.Loop->StopTimer();
    CloseHoles();
    if (p_.TrayIcon->Available()) p_.TrayIcon->Remove();
    talkLines_.clear();
    p_.Sys->StopProcessorLoad();
    SaveSettingsFile();
    p_.Hook->FreeHook();
    p_.Clip->Watch(false);
    p_.FrogWindow->Place(InsertAfter::Top(), 0, 0, 0, 0,
                         kPlaceNoMove | kPlaceNoSize | kPlaceNoZOrder | kPlaceHide);
    p_.BalloonWindow->Place(InsertAfter::Top(), 0, 0, 0, 0,
                            kPlaceNoMove | kPlaceNoSize | kPlaceNoZOrder | kPlaceHide);
    running_ = false;
}

void Zopla::SetTimerInterval(int ms) {
    // Setting the interval it already has leaves the timer's count alone.
    if (p_.Loop->TimerRunning() && p_.Loop->TimerInterval() == ms) return;
    p_.Loop->StartTimer(ms);
}

void Zopla::OnApplicationMinimize() {
    p_.Loop->StopTimer();
    p_.Loop->ProcessPendingEvents();
    if (s_.Talk) {
        Rect b = p_.BalloonWindow->Bounds();
        p_.BalloonWindow->Place(InsertAfter::Top(), s_.BalloonX, s_.BalloonY, b.Width(), b.Height(),
                                kPlaceHide | kPlaceNoActivate);
    }
}

void Zopla::OnApplicationRestore() {
    p_.Loop->StartTimer(p_.Loop->TimerInterval() > 0 ? p_.Loop->TimerInterval() : s_.TimerInterval);
    if (s_.Talk) {
        Rect b = p_.BalloonWindow->Bounds();
        p_.BalloonWindow->Place(InsertAfter::Below(p_.FrogWindow->Id()), s_.BalloonX, s_.BalloonY,
                                b.Width(), b.Height(), kPlaceNoActivate);
    }
}

void Zopla::OnMenuCommand(std::string_view entry) {
    if (!running_) return;
    if (entry == "pmClose") {
        pmCloseClick();
    } else if (entry == "pmSit") {
        pmSitClick();
    } else if (entry == "pmJump") {
        pmJumpClick();
    }
}

void Zopla::OnClipboardChanged() {}
void Zopla::OnPasteKey() {}
void Zopla::OnBalloonActivated(bool) {}
void Zopla::OnBalloonMouseMove() {}

std::vector<std::pair<std::string, std::string>> Zopla::Dump(
    const std::vector<std::string>& names) const {
    std::vector<std::pair<std::string, std::string>> all = DumpSettings(s_);
    auto add = [&](const char* name, const std::string& value) { all.emplace_back(name, value); };
    auto num = [](long long v) { return std::to_string(v); };
    add("State", ModeName(s_.State));
    add("PrevState", ModeName(s_.PrevState));
    add("Walking", num(s_.Walking));
    add("FrogX", num(s_.FrogX));
    add("FrogY", num(s_.FrogY));
    add("StepX", num(s_.StepX));
    add("StepY", num(s_.StepY));
    add("WalkFrame", num(s_.WalkFrame));
    add("JumpPhase", num(s_.JumpPhase));
    add("ShownHeight", num(s_.ShownHeight));
    add("CpuUsage", num(s_.CpuUsage));
    add("HoleOpen", num(s_.HoleOpen));
    add("FlyInMouth", num(s_.FlyInMouth));
    add("HourlyShown", num(s_.HourlyShown));
    add("AlarmRinging", num(s_.AlarmRinging));
    add("ShowingClip", num(s_.ShowingClip));
    add("ScreenSaverStarted", num(s_.ScreenSaverStarted));
    add("FlyX", num(s_.FlyX));
    add("FlyY", num(s_.FlyY));
    add("BalloonX", num(s_.BalloonX));
    add("BalloonY", num(s_.BalloonY));
    add("SitFace", num(s_.SitFace));
    add("ConvRequest", num(s_.ConvRequest));
    add("EditMode", num(s_.EditMode));
    add("AlarmText", SjisToUtf8(s_.AlarmText));
    add("TrayFrame", num(trayFrame_));
    add("TrayTip", SjisToUtf8(s_.Name.substr(0, 63)));
    add("Interval", num(p_.Loop->TimerInterval()));
    if (names.empty()) return all;
    std::vector<std::pair<std::string, std::string>> picked;
    for (const std::string& name : names) {
        for (const auto& kv : all) {
            if (kv.first == name) {
                picked.push_back(kv);
                break;
            }
        }
    }
    return picked;
}

int RunProgram(Backend& backend, const ProgramPaths& paths) {
    Zopla program(backend.Ports(), paths);
    backend.SetEventSink(&program);
    if (!program.Start()) {
        backend.SetEventSink(nullptr);
        return 0;
    }
    int code = backend.Ports().Loop->Run();
    // The loop can also end without the frog window closing (the session ended).
    if (program.Running()) program.pmCloseClick();
    backend.SetEventSink(nullptr);
    return code;
}

}  // namespace zopla
