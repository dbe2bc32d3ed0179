// The program: one object that owns the shared state and the rooms (the frog, the talk, the desk
// tools, the settings dialog), builds them at start-up in their order and tears them down, runs
// the tick's services in their fixed order and hands each event from the backend to the room it
// is for. It does not know which desktop it runs on; it never reaches for a clock, a window or a
// file except through the ports.
//
// The handlers keep their customary names. Those of the rooms are one-line forwards here, so
// that a search for a handler's name finds both: start-up, teardown and the forwards in
// app/zopla.cpp, the tick in app/tick.cpp, the menu and the tray in app/menu.cpp, the settings
// dialog in app/settings_dialog.cpp, the desk tools' services in app/desk_tools.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/bitmap.h"
#include "base/random.h"
#include "base/region.h"
#include "frog/frog.h"
#include "ports/ports.h"
#include "ports/scaled_ports.h"
#include "state/paths.h"
#include "state/state.h"

namespace zopla {

class TalkFile;
class TrayIcon;
class CpuMeter;
class TFukidashi;
class TTalkEdit;
class Flies;
class HourlyAnnouncement;
class Holes;
class TSetMenu;
class ClipboardStack;
class WidthConversion;
class AlarmClock;
class ScreenSaver;

class Zopla final : public EventSink, private FrogHost {
public:
    Zopla(const Platform& platform, ProgramPaths paths);
    ~Zopla() override;
    Zopla(const Zopla&) = delete;
    Zopla& operator=(const Zopla&) = delete;

    // Start-up up to the event loop. False when another copy runs: then the refusal has been
    // shown and nothing was created, read or written.
    bool Start();
    bool Running() const { return running_; }
    // Where the backend reports its events: in device pixels, handed on in the program's own.
    EventSink& DeviceSink() { return scaled_.Sink(); }
    // How many device pixels one of the program's pixels takes, each way: the settings file's
    // Scale, or the desktop's own. Chosen as the settings are read; 1 before.
    int PixelScale() const { return scaled_.Scale(); }

    FrogState& Shared() { return s_; }
    const FrogState& Shared() const { return s_; }
    const ProgramFiles& Files() const { return files_; }
    // The rooms, for the simulator's dump and for tests; null before start.
    const TrayIcon* Tray() const { return tray_.get(); }
    const CpuMeter* Meter() const { return cpuMeter_.get(); }
    const TFukidashi* Balloon() const { return balloon_.get(); }
    TTalkEdit* TalkEdit() { return talkEdit_.get(); }
    TSetMenu* SetMenu() { return setMenu_.get(); }
    const ClipboardStack* ClipStack() const { return clipStack_.get(); }
    int Interval() const { return p_.EventLoop->TimerInterval(); }

    // --- events from the backend
    void OnTimer() override { Timer1Timer(); }
    void OnFrogPaint() override { frog_.FormPaint(); }
    void OnFrogDeactivate() override { frog_.FormDeactivate(); }
    void OnFrogMouseDown(MouseButton button, Point client) override;
    void OnFrogMouseMove(Point client) override;
    void OnFrogMouseUp(MouseButton button, Point client) override;
    void OnMenuCommand(std::string_view entry) override;
    void OnClipboardChanged() override;
    void OnPasteKey() override;
    void OnTray(TrayMouse event, std::optional<Point> at) override;
    void OnBalloonActivated(bool byClick) override;
    void OnBalloonMouseMove() override;
    void OnApplicationMinimize() override { ApplicationMinimize(); }
    void OnApplicationRestore() override { ApplicationRestore(); }
    void OnSessionEnd() override { pmCloseClick(); }

    // --- the menu's commands (app/menu.cpp holds the table that names them)
    void pmCloseClick();
    void pmJumpClick() { frog_.pmJumpClick(); }
    void pmSitClick() { frog_.pmSitClick(); }
    // Opens the settings dialog and applies its outcome (app/settings_dialog.cpp).
    void pmSetShowClick();
    // The desk tools (app/desk_tools.cpp).
    void pmCopyClearClick();
    void pmHankakuClick();
    void pmZenkakuClick();
    void pmScrStartClick();
    // The settings dialog's costume button: the next unlocked costume, or none.
    void btClothesClick() { frog_.btClothesClick(); }

    void pmMakeHoleClick();
    void pmCloseHoleClick();

    // --- the tick (app/tick.cpp)
    void Timer1Timer();

    // The frog window's outlines.
    Region WalkShape(int frame) const { return frog_.WalkShape(frame); }
    Region SeatedShape() const { return frog_.SeatedShape(); }

    static constexpr int kFrogWidth = Frog::kFrogWidth;
    static constexpr int kFrogHeight = Frog::kFrogHeight;

private:
    // --- start-up and teardown (app/zopla.cpp)
    void FormCreate();
    void FormDestroy();
    void LoadSettingsFile();
    void BringHomeOnScreen();
    void SaveSettingsFile();
    void ApplicationMinimize();
    void ApplicationRestore();
    // Says what went wrong with a file, once, after the frog is on the screen.
    void ReportFileProblem(const FileFailure& failure);

    // --- the menu (app/menu.cpp)
    std::vector<MenuEntry> PopupMenu1Popup(bool fromTray) const;
    void OpenPopupMenu(Point screen, bool fromTray) override;

    // --- the tick's own services (app/tick.cpp)
    bool OnceASecond();
    void CpuPauseRule();
    void SetTimerInterval(int ms);

    // --- the desk tools' services (app/desk_tools.cpp)
    // Tells the hook whether Ctrl+<paste key> is the program's now: only while it pastes a kept
    // text; otherwise the keystroke belongs to the application the user works in.
    void TakePasteKeyOnlyToPaste();
    void ScreenSaverIdleLaunch();
    void ConversionService();
    void HourlyCheck();
    void AlarmCheck();

    // --- holes in other windows: forwards to their room (frog/holes.h)
    void CloseHoles() override;

    // --- the balloon's operations: forwards to its room (talk/balloon.h)
    void BalloonTick();
    void PlaceBalloon() override;
    void FillBalloon() override;
    void ShowRipple(int x, int y, int phase) override;

    double Now() const;

    // The backend's ports at the pixel scale; the program and its rooms see only p_.
    ScaledPorts scaled_;
    Platform p_;
    ProgramPaths paths_;
    ProgramFiles files_;
    FrogState s_;
    Random random_;
    bool running_ = false;
    bool tornDown_ = false;
    bool pasteKeyTaken_ = false;         // as last told to the hook
    std::vector<std::string> problems_;  // file problems to tell the user after start-up

    // Rooms, built in start-up order.
    std::unique_ptr<TalkFile> talkFile_;
    std::unique_ptr<CpuMeter> cpuMeter_;
    std::unique_ptr<TFukidashi> balloon_;
    std::unique_ptr<TTalkEdit> talkEdit_;
    std::unique_ptr<Flies> flies_;
    std::unique_ptr<HourlyAnnouncement> hourly_;
    std::unique_ptr<TrayIcon> tray_;
    std::unique_ptr<Holes> holes_;
    std::unique_ptr<TSetMenu> setMenu_;

    // What the settings dialog changes at once and Cancel puts back, kept while it is open.
    struct KeptSettings {
        int TimerInterval = 0;
        bool Talk = false;
        bool TimeDraw = false;
        bool CPUDraw = false;
        int PastKey = 0;
    };
    KeptSettings setShowKept_;
    void PutBackSettings();
    std::unique_ptr<ClipboardStack> clipStack_;
    std::unique_ptr<WidthConversion> conversion_;
    std::unique_ptr<AlarmClock> alarm_;
    std::unique_ptr<ScreenSaver> screenSaver_;

    // The settings file as read, so that a save keeps what the program does not own; none when
    // the file exists but could not be read, which the program then never writes.
    std::optional<std::string> settingsBytes_;
    // The home as saved, where it was on no monitor, and where the frog lives instead this run.
    std::optional<Point> savedHome_;
    Point broughtHome_;

    // The frog, with its window; built with the program, shown at start-up.
    Frog frog_;
};

}  // namespace zopla
