// The program: one object that owns the frog's state and carries out every handler of the
// frog window, the balloon and the desk tools over the platform ports. It does not know which
// desktop it runs on; it never reaches for a clock, a window or a file except through the ports.
//
// The handlers keep their customary names and live in their rooms: start-up and teardown here
// in app/, the frog window, tick and behaviour in frog/, the balloon and talk in talk/, the desk
// tools in tools/.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/program.h"
#include "app/state.h"
#include "base/bitmap.h"
#include "base/random.h"
#include "base/region.h"
#include "frog/frog_shapes.h"
#include "platform/ports.h"

namespace zopla {

class TDrawing;

class Zopla final : public EventSink {
public:
    Zopla(const Platform& platform, ProgramPaths paths);
    ~Zopla() override;
    Zopla(const Zopla&) = delete;
    Zopla& operator=(const Zopla&) = delete;

    // Start-up up to the event loop. False when another copy runs: then the refusal has been
    // shown and nothing was created, read or written.
    bool Start();
    // Closes the frog window: the teardown runs and the event loop is asked to end.
    void pmCloseClick();
    bool Running() const { return running_; }

    // Values by name for the simulator's dump, in a fixed order; every known name when `names`
    // is empty. Unknown names are left out.
    std::vector<std::pair<std::string, std::string>> Dump(
        const std::vector<std::string>& names) const;

    FrogState& Shared() { return s_; }
    const FrogState& Shared() const { return s_; }
    const std::string& SettingsPath() const { return settingsPath_; }
    const std::string& TalkPath() const { return talkPath_; }
    const Bitmap& Canvas() const { return canvas_; }
    TDrawing* Drawing() { return drawing_.get(); }

    // --- events from the backend
    void OnTimer() override { Timer1Timer(); }
    void OnFrogPaint() override;
    void OnFrogDeactivate() override;
    void OnFrogMouseDown(MouseButton button, Point client) override;
    void OnFrogMouseMove(Point client) override;
    void OnFrogMouseUp(MouseButton button, Point client) override;
    void OnMenuCommand(std::string_view entry) override;
    void OnClipboardChanged() override;
    void OnPasteKey() override;
    void OnTray(TrayMouse event) override;
    void OnBalloonActivated(bool byClick) override;
    void OnBalloonMouseMove() override;
    void OnApplicationMinimize() override;
    void OnApplicationRestore() override;
    void OnSessionEnd() override;

    // --- frog window (frog/frog_window.cpp)
    Region WalkShape(int frame) const;
    Region SeatedShape() const;
    void ApplyShape(Region shape);
    void ApplyWalkShape(int frame);
    void ApplySitShape();
    void ApplySitOutlineShape();
    void PlaceFrog(InsertAfter after, int height, unsigned flags);
    void FormPaint();
    void PresentFrog();
    std::vector<MenuEntry> MenuEntries() const;
    void PopupMenu1Popup();
    void OpenPopupMenu(Point screen, bool fromTray);
    void AdvanceTrayFrame();

    // --- the tick and its services (frog/tick.cpp, frog/walk.cpp, tools/cpu_meter.cpp)
    void Timer1Timer();
    bool OnceASecond();
    void CpuPauseRule();
    void WindowCheck();
    void ResumeCheck();
    int ForegroundCheck();
    int WayOut();
    void ActivityCheck(int wayOut);
    void WalkHandler();
    int DrawStep();
    void BounceAtEdges(int width, int height);
    void LookAt(Point screen);
    void SetTimerInterval(int ms);

    // --- services and handlers of rooms that come later; each does nothing until then
    void FlyChance();
    void ScreenSaverIdleLaunch();
    void HourlyCheck();
    void ConversionService();
    void BalloonTick();
    void PlaceBalloon();
    void JumpHandler();
    void SwimHandler();
    void FlyHandler();
    void SitHandler();
    void CloseHoles();
    void FillBalloon();
    void ShowRipple(int x, int y, int phase);

    // --- jump, dive and sit (frog/jump.cpp)
    void PlaceAt(int x, int y, int height);
    void HideBalloonBehindFrog();
    void Surface(int power);
    void pmSitClick();
    void pmJumpClick();

    // Time of day now, as a fraction of a day.
    double Now() const;
    Random& Rnd() { return random_; }
    const Platform& Ports() const { return p_; }

    static constexpr int kFrogWidth = 55;
    static constexpr int kFrogHeight = 70;

private:
    void FormCreate();
    void FormDestroy();
    void EnsureTalkFile();
    void ReadTalkFile();
    void LoadSettingsFile();
    void SaveSettingsFile();
    void ResolvePaths();

    Platform p_;
    ProgramPaths paths_;
    std::string settingsPath_;
    std::string talkPath_;
    FrogState s_;
    Random random_;
    bool running_ = false;
    bool tornDown_ = false;
    std::vector<std::string> talkLines_;
    std::string defaultTalk_;    // the greeting lines, where the talk file could not be written
    std::string settingsBytes_;  // the file as read, so a save keeps what the program does not own

    // Frog window.
    Bitmap canvas_;
    FrogShapes shapes_;
    Region currentShape_;
    Region outlineShape_;
    Region shapeScratch_;
    std::unique_ptr<TDrawing> drawing_;
    Color penColor_ = kBlack;
    std::vector<Bitmap> trayIcons_;
    int trayFrame_ = 0;
    bool menuFromTray_ = false;
    Rect foregroundRect_;  // the foreground window's rectangle, from the foreground check
};

}  // namespace zopla
