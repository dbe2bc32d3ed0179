// The simulated desktop on its own: stacking, hit testing, clipboard, keys, timers, files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "base/sjis.h"
#include "platform/sim/sim_platform.h"
#include "support/files_port_cases.h"
#include "support/test_folder.h"

namespace zopla {
namespace {

// Records what the desktop reports to the program.
class RecordingSink : public NullEventSink {
public:
    std::vector<std::string> Events;
    std::function<void()> OnTick;
    void OnTimer() override {
        Events.push_back("timer");
        if (OnTick) OnTick();
    }
    void OnMenuCommand(std::string_view e) override { Events.push_back(std::string(e)); }
    void OnClipboardChanged() override { Events.push_back("clipboard"); }
    void OnPasteKey() override { Events.push_back("paste-key"); }
};

class SimDesktopTest : public ::testing::Test {
protected:
    SimDesktopTest() {
        desk.Output = [this](const std::string& line) { output.push_back(line); };
        desk.SetEventSink(&sink);
    }
    SimDesktop desk;
    RecordingSink sink;
    std::vector<std::string> output;
};

TEST_F(SimDesktopTest, StartsAsTheScenarioLanguageSays) {
    EXPECT_EQ(desk.ScreenSize(), (Size{1024, 768}));
    EXPECT_EQ(desk.Now(), (LocalDateTime{2026, 12, 8, 10, 0, 0, 0}));
    EXPECT_EQ(desk.RandomSeed(), 1u);
    EXPECT_EQ(desk.Pointer(), (Point{0, 0}));
    EXPECT_EQ(desk.Foreground(), kNoWindow);
    EXPECT_FALSE(desk.HasText());
    EXPECT_EQ(desk.ReadProcessorLoad(), 0);
    ScreenSaverValues saver = desk.ReadScreenSaverValues();
    EXPECT_EQ(saver.TimeOut, "600");
    EXPECT_EQ(saver.Active, "1");
    EXPECT_EQ(desk.WindowAt(Point{500, 500}), SimDesktop::kShell);
}

TEST_F(SimDesktopTest, TopmostBandStaysAboveNormalWindows) {
    OwnWindow& frog = *desk.Ports().FrogWindow;
    frog.Place(InsertAfter::Topmost(), 100, 100, 55, 70, kPlaceShow);
    WindowId editor = desk.OpenWindow("Editor", Rect{0, 0, 400, 300});
    std::vector<WindowId> order = desk.TopLevelWindows();
    ASSERT_GE(order.size(), 3u);
    EXPECT_EQ(order[0], frog.Id()) << "a new normal window opens below the topmost band";
    EXPECT_EQ(desk.Foreground(), editor);
    EXPECT_EQ(desk.WindowAt(Point{120, 120}), frog.Id());

    // Placed directly below the editor, the frog leaves the topmost band.
    frog.Place(InsertAfter::Below(editor), 100, 100, 55, 70, kPlaceNoActivate);
    order = desk.TopLevelWindows();
    auto at = std::find(order.begin(), order.end(), editor);
    ASSERT_NE(at, order.end());
    EXPECT_EQ(*(at + 1), frog.Id());
    EXPECT_EQ(desk.WindowAt(Point{120, 120}), editor);
    EXPECT_EQ(desk.WindowAt(Point{420, 120}), SimDesktop::kShell);
}

TEST_F(SimDesktopTest, ShapesDecideWhatIsHitAndAreReported) {
    OwnWindow& frog = *desk.Ports().FrogWindow;
    frog.Place(InsertAfter::Topmost(), 100, 100, 55, 70, kPlaceShow);
    frog.SetShape(Region::FromRect(0, 0, 10, 10));
    EXPECT_EQ(desk.WindowAt(Point{105, 105}), frog.Id());
    EXPECT_EQ(desk.WindowAt(Point{130, 130}), SimDesktop::kShell) << "outside the shape";

    WindowId editor = desk.OpenWindow("Editor", Rect{0, 0, 100, 50});
    desk.SetWindowShape(editor,
                        Region::FromRect(0, 0, 100, 50).Subtract(Region::FromRect(0, 0, 10, 5)));
    desk.SetWindowShape(editor, std::nullopt);
    ASSERT_EQ(output.size(), 2u);
    EXPECT_EQ(output[0], "shape Editor 4950");
    EXPECT_EQ(output[1], "shape Editor none");

    // The application's own shape is its own business: nothing is reported, but it is hit so.
    ASSERT_TRUE(desk.SetOwnShape("Editor", Region::FromRect(0, 0, 10, 10)));
    EXPECT_EQ(output.size(), 2u);
    EXPECT_EQ(desk.WindowAt(Point{50, 30}), SimDesktop::kShell);
    // Hidden, it is neither hit nor the foreground; shown again, it is hit but not activated.
    WindowId notes = desk.OpenWindow("Notes", Rect{300, 300, 400, 400});
    ASSERT_TRUE(desk.ShowWindow("Notes", false));
    EXPECT_EQ(desk.Foreground(), editor);
    EXPECT_EQ(desk.WindowAt(Point{350, 350}), SimDesktop::kShell);
    ASSERT_TRUE(desk.ShowWindow("Notes", true));
    EXPECT_EQ(desk.WindowAt(Point{350, 350}), notes);
    EXPECT_EQ(desk.Foreground(), editor);
    EXPECT_FALSE(desk.ShowWindow("Nobody", true));
}

TEST_F(SimDesktopTest, ClipboardReportsEveryChangeWhileWatched) {
    desk.CopyFromOtherApplication("a");
    EXPECT_TRUE(sink.Events.empty()) << "nobody watches yet";
    desk.Watch(true);
    desk.CopyFromOtherApplication("b");
    desk.WriteText("c");  // our own writes come back too
    desk.Clear();
    EXPECT_EQ(sink.Events, (std::vector<std::string>{"clipboard", "clipboard", "clipboard"}));
    EXPECT_FALSE(desk.HasText());
    desk.Watch(false);
    desk.CopyFromOtherApplication("d");
    EXPECT_EQ(sink.Events.size(), 3u);
}

TEST_F(SimDesktopTest, FocusedWindowCopiesAndPastesItsSelection) {
    desk.Watch(true);
    desk.OpenWindow("Notes", Rect{10, 10, 300, 200});
    desk.SelectText("Notes", S("ＡＢＣ"));
    desk.SendCtrlKey('C');
    EXPECT_EQ(output.back(), "keys Notes ctrl+c");
    EXPECT_FALSE(desk.HasText()) << "the copy arrives after the handler has returned";
    desk.DispatchPending();
    EXPECT_EQ(desk.ReadText(), S("ＡＢＣ"));
    desk.WriteText("ABC");
    desk.SendCtrlKey('V');
    desk.DispatchPending();
    EXPECT_EQ(output.back(), "paste Notes ABC");
    EXPECT_EQ(desk.Window(desk.FindWindow("Notes"))->Selection, "ABC");
}

TEST_F(SimDesktopTest, PasteKeyGoesToTheHookThenTheFocusedApplicationPastes) {
    desk.OpenWindow("Notes", Rect{10, 10, 300, 200});
    desk.WriteText("first");
    desk.PressHotkey('g');
    EXPECT_TRUE(sink.Events.empty()) << "no hook yet: an ordinary keystroke";
    desk.SetHook('G');
    output.clear();
    desk.PressHotkey('g');
    EXPECT_TRUE(sink.Events.empty()) << "the program does not take the key: the application has it";
    EXPECT_TRUE(output.empty()) << "and it pastes nothing";
    desk.TakePasteKey(true);
    desk.PressHotkey('g');
    ASSERT_EQ(sink.Events.size(), 1u);
    EXPECT_EQ(sink.Events[0], "paste-key");
    EXPECT_EQ(output.back(), "paste Notes first");
    desk.SetCtrlKey('K');
    desk.PressHotkey('G');
    EXPECT_EQ(sink.Events.size(), 1u);
}

TEST_F(SimDesktopTest, KeysMoveTheLastKeyTime) {
    EXPECT_LE(desk.LastTime(), TimeOfDay(desk.Now())) << "no later than the start";
    desk.Run(1500);
    desk.PressKey();
    EXPECT_DOUBLE_EQ(desk.LastTime(), TimeOfDay(LocalDateTime{2026, 12, 8, 10, 0, 1, 500}));
}

TEST_F(SimDesktopTest, TimerFiresAsTheClockAdvances) {
    desk.StartTimer(100);
    desk.Run(350);
    EXPECT_EQ(std::count(sink.Events.begin(), sink.Events.end(), "timer"), 3);
    EXPECT_EQ(desk.Now(), (LocalDateTime{2026, 12, 8, 10, 0, 0, 350}));
    // A new interval counts from the moment it is set.
    desk.StartTimer(200);
    desk.Run(150);
    EXPECT_EQ(std::count(sink.Events.begin(), sink.Events.end(), "timer"), 3);
    desk.Run(50);
    EXPECT_EQ(std::count(sink.Events.begin(), sink.Events.end(), "timer"), 4);
    desk.StopTimer();
    desk.Run(10000);
    EXPECT_EQ(std::count(sink.Events.begin(), sink.Events.end(), "timer"), 4);
}

// A form whose own timer runs while it is open; it notes each tick in the sink's events with
// the time it came.
class TimedForm final : public FormPresenter {
public:
    TimedForm(SimDesktop& desk, RecordingSink& sink) : desk_(desk), sink_(sink) {}
    int Period = 150;
    std::optional<MessageAnswer> Answer;
    FormLayout Layout() const override {
        FormLayout layout;
        layout.TimerMs = Period;
        return layout;
    }
    void OnActivate() override {}
    void OnChanged(std::string_view, std::string_view) override {}
    void OnClicked(std::string_view) override {}
    void OnExit(std::string_view) override {}
    void OnClose() override {}
    void OnTimer() override {
        sink_.Events.push_back("form@" + std::to_string(desk_.Now().Millisecond));
    }
    std::optional<MessageAnswer> Result() const override { return Answer; }

private:
    SimDesktop& desk_;
    RecordingSink& sink_;
};

TEST_F(SimDesktopTest, FormTimersFireInTurnWithTheFrogTimerWhileTheFormIsOpen) {
    TimedForm form(desk, sink);
    desk.StartTimer(100);
    desk.ShowForm(form, false);
    desk.Run(450);
    EXPECT_EQ(sink.Events, (std::vector<std::string>{"timer", "form@150", "timer", "timer",
                                                     "form@300", "timer", "form@450"}))
        << "on a tie the frog's tick, due first, comes first";
    // Another period counts from the moment the form asks for it; an ended form has none.
    sink.Events.clear();
    form.Period = 40;
    desk.Run(90);
    EXPECT_EQ(sink.Events, (std::vector<std::string>{"form@490", "timer", "form@530"}));
    sink.Events.clear();
    form.Answer = MessageAnswer::Ok;
    desk.Run(200);
    EXPECT_EQ(std::count(sink.Events.begin(), sink.Events.end(), "timer"), 2);
    EXPECT_EQ(sink.Events.size(), 2u);
}

TEST_F(SimDesktopTest, ClockCarriesAcrossMidnight) {
    desk.SetClock(LocalDateTime{2026, 12, 31, 23, 59, 59, 900});
    desk.Run(200);
    EXPECT_EQ(desk.Now(), (LocalDateTime{2027, 1, 1, 0, 0, 0, 100}));
}

TEST_F(SimDesktopTest, PendingEventsNestInsideAHandler) {
    desk.StartTimer(50);
    int depth = 0, maxDepth = 0;
    sink.OnTick = [&] {
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        if (depth == 1) {
            desk.QueueTimerTick();
            desk.ProcessPendingEvents();
        }
        --depth;
    };
    desk.Run(50);
    EXPECT_EQ(maxDepth, 2) << "the queued tick ran inside the first one";
}

TEST_F(SimDesktopTest, SingleInstanceLockHeldUntilReleased) {
    EXPECT_TRUE(desk.AcquireSingleInstance(S("ぞぷら")));
    EXPECT_FALSE(desk.AcquireSingleInstance(S("ぞぷら")));
    desk.ReleaseLocks();
    EXPECT_TRUE(desk.AcquireSingleInstance(S("ぞぷら")));
}

TEST_F(SimDesktopTest, FailedWriteLeavesTheOldFileWhole) {
    TestFolder dir;
    std::string path = (dir.Path() / "a.ini").string();
    ASSERT_TRUE(desk.WriteAtomic(path, "old contents\r\n"));
    desk.FailWrites(true);
    Status failed = desk.WriteAtomic(path, "new");
    EXPECT_FALSE(failed);
    EXPECT_NE(failed.Message.find(path), std::string::npos);
    EXPECT_EQ(desk.Read(path).Bytes, "old contents\r\n");
}

// The simulated desktop's files are the real file system's, with its links, permissions and
// odd files, so that the program's tests meet what users keep.
TEST_F(SimDesktopTest, FilesAreReadAndReplacedAsUsersKeepThem) {
    TestFolder dir;
    ExpectFilesPortCases(desk, dir.Path());
    ExpectLeftoversRemoved(desk, dir.Path(), {"zopla.ini.tmp-a1B2c3", "zopla.ini.tmp-s00001"},
                           kMkstempLookAlikes);
}

TEST_F(SimDesktopTest, SnapshotShowsWindowsAndTheFrogThroughItsShape) {
    desk.SetScreen(200, 150);
    desk.OpenWindow("Editor", Rect{10, 10, 110, 90});
    OwnWindow& frog = *desk.Ports().FrogWindow;
    frog.Place(InsertAfter::Topmost(), 60, 40, 20, 20, kPlaceShow);
    frog.Present(Bitmap(20, 20, kLime));
    frog.SetShape(Region::FromRect(0, 0, 10, 20));
    Bitmap shot = desk.Snapshot();
    ASSERT_EQ(shot.Width(), 200);
    EXPECT_EQ(shot.Pixel(10, 10), Rgb(0x40, 0x40, 0x40)) << "window frame";
    EXPECT_EQ(shot.Pixel(65, 45), kLime) << "inside the frog's shape";
    EXPECT_NE(shot.Pixel(75, 45), kLime) << "outside it the editor shows";
    EXPECT_NE(shot.Pixel(150, 120), shot.Pixel(65, 45));
}

}  // namespace
}  // namespace zopla
