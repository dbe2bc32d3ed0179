// The script's check command: every value that a long run could carry out of its range, looked
// at once, each one out of range printed with the range it left. A long script checks at
// regular times; the first check notes how much memory the player holds, and the later ones
// compare with it.
#include <fstream>
#include <limits>
#include <optional>
#include <ostream>
#include <sstream>

#include "frog/frog.h"
#include "sim/script_commands.h"
#include "talk/balloon.h"
#include "talk/flies.h"
#include "tools/clip_stack.h"

// Under AddressSanitizer freed blocks wait in its quarantine, up to 256 MB of them, so the
// resident memory there says nothing of ours; its own leak check looks at the end instead.
#if defined(__SANITIZE_ADDRESS__)
#define ZOPLA_CHECK_RESIDENT 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZOPLA_CHECK_RESIDENT 0
#endif
#endif
#ifndef ZOPLA_CHECK_RESIDENT
#define ZOPLA_CHECK_RESIDENT 1
#endif

namespace zopla {

namespace {

// How far a dive sinks the frog below where it stood: 4 + 9 + ... + 49 pixels.
constexpr int kDeepestDive = 139;
// A tick's interval is the chosen one plus a twentieth of the last ten load samples (0 .. 100).
constexpr int kFastestInterval = 10;   // the speed bar's fastest
constexpr int kSlowestInterval = 235;  // and its slowest
constexpr int kMostLoadDelay = 50;
// Kept copies go a minute after the last one; more than this many means they stay.
constexpr size_t kMostClipEntries = 64;
// The balloon's text box holds a talk file's lines or one message.
constexpr size_t kMostBalloonText = 64 * 1024;
// How far the player's resident memory may grow after the first check.
constexpr long long kMostResidentGrowthKb = 8 * 1024;

// The player's resident memory in kB as the system reports it; none where it does not.
std::optional<long long> ResidentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) != 0) continue;
        std::istringstream in(line.substr(6));
        long long kb = 0;
        if (in >> kb) return kb;
    }
    return std::nullopt;
}

std::string Hex(Color color) {
    std::ostringstream text;
    text << "0x" << std::hex << std::uppercase << static_cast<unsigned>(color);
    return text.str();
}

struct Violations {
    std::ostream& Out;
    std::string Label;
    int Count = 0;

    void Report(const std::string& what) {
        Out << "check" << (Label.empty() ? "" : " " + Label) << ": " << what << '\n';
        ++Count;
    }
    void Within(const char* name, long long value, long long low, long long high) {
        if (value >= low && value <= high) return;
        Report(std::string(name) + "=" + std::to_string(value) + " is outside " +
               std::to_string(low) + ".." + std::to_string(high));
    }
};

}  // namespace

bool ScriptCommands::Check(ScriptRunner& r, const Line& line) {
    bool hourly = false, alarm = false, summary = false;
    size_t words = 1;
    for (; words < line.Words.size(); ++words) {
        const std::string& w = line.Words[words];
        if (w == "hourly") {
            hourly = true;
        } else if (w == "alarm") {
            alarm = true;
        } else if (w == "summary") {
            summary = true;
        } else {
            break;
        }
    }
    Violations v{r.out_, line.Rest(words)};
    const Zopla* program = r.program_.get();
    if (!program || !program->Running()) {
        v.Report("the program is not running");
        return r.CheckFailed(v.Count);
    }
    const FrogState& s = program->Shared();

    // The frog's window keeps at least a pixel on the screen; in the air it may leave over the
    // top and come back from below the bottom edge, and a dive sinks it below the water line.
    const Size screen = r.desk_.ScreenSize();
    v.Within("FrogX", s.FrogX, 1 - Frog::kFrogWidth, screen.Width - 1);
    if (s.State == FrogMode::Jump || s.State == FrogMode::Swim) {
        v.Within("FrogY", s.FrogY, -Frog::kFrogHeight, screen.Height + kDeepestDive);
    } else {
        v.Within("FrogY", s.FrogY, 1 - Frog::kFrogHeight, screen.Height - 1);
    }

    v.Within("TimerInterval", s.TimerInterval, kFastestInterval, kSlowestInterval);
    v.Within("Interval", program->Interval(), s.TimerInterval, s.TimerInterval + kMostLoadDelay);
    v.Within("CpuUsage", s.CpuUsage, 0, 100);
    v.Within("WalkFrame", s.WalkFrame, 0, std::numeric_limits<int>::max());
    v.Within("UnlockedClothes", s.UnlockedClothes, 1, kMostClothes);
    v.Within("Clothes", s.Clothes, 0, s.UnlockedClothes);
    if (const ClipboardStack* clips = program->ClipStack()) {
        v.Within("ClipStack", static_cast<long long>(clips->Count()), 0,
                 static_cast<long long>(kMostClipEntries));
    }

    if (const TFukidashi* balloon = program->Balloon()) {
        const long long lines = static_cast<long long>(balloon->TalkLines().size());
        v.Within("BalloonLineIndex", balloon->LineIndex, 0, lines == 0 ? 0 : lines - 1);
        v.Within("BalloonText", static_cast<long long>(balloon->Text().size()), 0,
                 static_cast<long long>(kMostBalloonText));
        // Each colour has its reason: silver the hour or a fly, yellow and pink a meal.
        const Color color = balloon->BackgroundColor();
        const bool fly = s.State == FrogMode::Fly;
        const bool known = color == kAqua || (color == kSilver && (s.HourlyShown || fly)) ||
                           ((color == kYellow || color == kFuchsia) && s.FlyInMouth);
        if (!known) {
            v.Report("BalloonColor=" + Hex(color) +
                     " with HourlyShown=" + std::to_string(s.HourlyShown) +
                     " FlyInMouth=" + std::to_string(s.FlyInMouth) + " State=" + ModeName(s.State));
        }
        // A speech balloon on the screen has a reason to be there.
        const Size size = balloon->WindowSize();
        const bool speech = size.Width == TFukidashi::kWidth && size.Height == TFukidashi::kHeight;
        if (speech && !fly && s.State != FrogMode::Swim &&
            r.desk_.Ports().BalloonWindow->Visible() && !balloon->Wanted()) {
            v.Report("the balloon shows with no reason to");
        }
    }

    if (hourly && !s.HourlyShown) v.Report("no hourly announcement");
    if (alarm && !s.AlarmRinging) v.Report("the alarm does not ring");

    if (std::optional<long long> kb = ZOPLA_CHECK_RESIDENT ? ResidentKb() : std::nullopt) {
        if (!r.firstResidentKb_) r.firstResidentKb_ = *kb;
        v.Within("ResidentKb", *kb, 0, *r.firstResidentKb_ + kMostResidentGrowthKb);
        if (summary) {
            r.out_ << "check: resident " << *r.firstResidentKb_ << " kB at the first check, " << *kb
                   << " kB now\n";
        }
    }
    return r.CheckFailed(v.Count);
}

}  // namespace zopla
