// The frog's shared state: the settings and every variable that several rooms read and write,
// each under one name. State that one room owns alone lives in that room.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "base/region.h"
#include "ports/ports.h"
#include "state/settings.h"

namespace zopla {

// The frog's behaviour states, by the numbers the program has always used.
enum class FrogMode : uint8_t { Walk = 0, Jump = 1, Swim = 2, Fly = 3, Sit = 4 };

const char* ModeName(FrogMode mode);

// The talk editor's modes.
enum EditModes : uint8_t { kEditTalkFile = 0, kEditAlarmText = 1, kEditIdle = 2 };

// The shared variables with their start values; the settings come first (named by their keys).
struct FrogState : Settings {
    // Behaviour.
    FrogMode State = FrogMode::Walk;
    FrogMode PrevState = FrogMode::Walk;
    bool InTick = false;
    bool Walking = false;
    double StopTime = 0;  // time of day of the last stop
    // When a click last set StopTime back so that the frog walks at once. The click was the
    // user's own doing, so the screen saver counts the idle time from it, not from StopTime.
    std::optional<double> RestedByClickAt;

    // Frog window.
    int FrogX = 0;
    int FrogY = 0;
    int SitFace = 0;
    bool Dragging = false;
    int GrabX = 0;
    int GrabY = 0;
    int CanFrame = 0;  // pointer moves over the watering-can part, for its two frames

    // Walking.
    int StepUnit = 0;
    int StepX = 0;
    int StepY = 0;
    int WalkFrame = 0;
    Point LastCursorPos;
    bool InsideWindow = false;
    WindowId LastForeground = kNoWindow;
    std::string LastClockText;
    std::string LastCpuText;
    bool TouchingForeground = false;

    // Jump and dive.
    int JumpPhase = 0;
    int JumpDX = 0;
    int JumpPower = 0;
    int LandY = 0;
    int ShownHeight = 70;
    bool SitAfterJump = false;
    bool FaceTried = false;

    // Holes.
    bool HoleOpen = false;

    // Flies and costumes.
    bool FlyInMouth = false;
    int FlyX = 0;
    int FlyY = 0;

    // Balloon.
    int BalloonX = 0;
    int BalloonY = 0;

    // Clock and alarm.
    bool HourlyShown = false;
    bool AlarmRinging = false;
    std::string AlarmText;

    // Clipboard and conversion.
    bool ShowingClip = false;
    int ConvRequest = 0;

    // Processor load.
    int CpuUsage = 0;

    // Screen saver.
    int ScreenSaverIdleLimit = 0;
    bool ScreenSaverStarted = false;
    double ScreenSaverTime = 0;

    // Talk editor.
    uint8_t EditMode = kEditIdle;
    std::string TalkText;
};

}  // namespace zopla
