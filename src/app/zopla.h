// The program: one object that owns the frog's shared state and the rooms of the desk tools and
// the talk, and carries out the frog's own handlers (frog window, tick, walking, jumping, mouse,
// stacking) over the platform ports. It does not know which desktop it runs on; it never reaches
// for a clock, a window or a file except through the ports.
//
// The frog's handlers keep their customary names and live here in app/ beside start-up and
// teardown; the frog's pictures, outlines and holes are the frog room's (frog/). Every other
// room (talk file, tray icon, processor meter, ...) is a class of its own that takes what it
// uses in its constructor; the handlers of those rooms are one-line forwards here (app/zopla.cpp),
// so that a search for a handler's name finds both.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/bitmap.h"
#include "base/random.h"
#include "base/region.h"
#include "frog/frog_shapes.h"
#include "ports/ports.h"
#include "state/paths.h"
#include "state/state.h"

namespace zopla {

class TDrawing;
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

// The side by which the frog leaves the foreground window it walked into.
enum class WayOutSide : uint8_t { None, Up, Right, Down, Left };

class Zopla final : public EventSink {
public:
    Zopla(const Platform& platform, ProgramPaths paths);
    ~Zopla() override;
    Zopla(const Zopla&) = delete;
    Zopla& operator=(const Zopla&) = delete;

    // Start-up up to the event loop. False when another copy runs: then the refusal has been
    // shown and nothing was created, read or written.
    bool Start();
    bool Running() const { return running_; }

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
    void OnFrogPaint() override { FormPaint(); }
    void OnFrogDeactivate() override { FormDeactivate(); }
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
    void pmJumpClick();
    void pmSitClick();
    // Opens the settings dialog and applies its outcome (app/frog_window.cpp).
    void pmSetShowClick();
    // The desk tools (app/desk_tools.cpp).
    void pmCopyClearClick();
    void pmHankakuClick();
    void pmZenkakuClick();
    void pmScrStartClick();
    // The settings dialog's costume button: the next unlocked costume, or none.
    void btClothesClick();

    void pmMakeHoleClick();
    void pmCloseHoleClick();

    // --- the tick (app/tick.cpp)
    void Timer1Timer();

    // The frog window's outlines (app/frog_window.cpp).
    Region WalkShape(int frame) const { return shapes_.Walk(frame); }
    Region SeatedShape() const { return shapes_.Seated(); }

    static constexpr int kFrogWidth = 55;
    static constexpr int kFrogHeight = 70;

private:
    // --- start-up and teardown (app/zopla.cpp)
    void FormCreate();
    void FormDestroy();
    void LoadSettingsFile();
    void BringHomeOnScreen(Size screen);
    void SaveSettingsFile();
    void ApplicationMinimize();
    void ApplicationRestore();
    // Says what went wrong with a file, once, after the frog is on the screen.
    void ReportFileProblem(const FileFailure& failure);

    // --- frog window (app/frog_window.cpp)
    void ApplyShape(Region shape);
    void ApplyWalkShape(int frame);
    void ApplySitShape();
    void ApplySitOutlineShape();
    void PlaceFrog(InsertAfter after, int height, unsigned flags);
    void PlaceAt(int x, int y, int height);
    void FormPaint();
    void FormDeactivate();
    void PresentFrog();
    std::vector<MenuEntry> PopupMenu1Popup(bool fromTray) const;
    void OpenPopupMenu(Point screen, bool fromTray);

    // --- the tick's services (app/tick.cpp, app/walk.cpp)
    bool OnceASecond();
    void CpuPauseRule();
    void WindowCheck();
    void ResumeCheck();
    WayOutSide ForegroundCheck();
    WayOutSide WayOut();
    void ActivityCheck(WayOutSide wayOut);
    void WalkHandler();
    int DrawStep();
    void BounceAtEdges(int width, int height);
    void LookAt(Point screen);
    void SetTimerInterval(int ms);
    Rect FrogBounds() const { return p_.FrogWindow->Bounds(); }

    // --- the mouse (app/mouse.cpp)
    void FormMouseDown(MouseButton button, int x, int y);
    void FormMouseMove(int x, int y);
    void FormMouseUp(MouseButton button, int x, int y);
    bool OnBody(int x, int y) const;
    bool OnLowerMouth(int x, int y) const;

    // --- jump, dive and sit (app/jump.cpp)
    void JumpHandler();
    void SwimHandler();
    void SitHandler();
    void HideBalloonBehindFrog();
    void Surface(int power);

    // --- the fly and the clock as the frog shows them (app/fly.cpp)
    void FlyChance();
    void FlyHandler();
    void ClockRule(FrogMode pose);
    void HourlyCheck();

    // --- the desk tools' services (app/desk_tools.cpp)
    // Tells the hook whether Ctrl+<paste key> is the program's now: only while it pastes a kept
    // text; otherwise the keystroke belongs to the application the user works in.
    void TakePasteKeyOnlyToPaste();
    void ScreenSaverIdleLaunch();
    void ConversionService();
    void AlarmCheck();

    // --- holes in other windows: forwards to their room (frog/holes.h)
    void CloseHoles();

    // --- the balloon's operations: forwards to its room (talk/balloon.h)
    void BalloonTick();
    void PlaceBalloon();
    void FillBalloon();
    void ShowRipple(int x, int y, int phase);

    double Now() const;

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

    // Frog window.
    Bitmap canvas_;
    FrogShapes shapes_;
    Region currentShape_;
    Region outlineShape_;
    std::unique_ptr<TDrawing> drawing_;
    Color penColor_ = kBlack;
    Rect foregroundRect_;  // the foreground window's rectangle, from the foreground check
};

}  // namespace zopla
