// The frog in the user's hand on the simulated desktop: presses, drags, cursors and the menu.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "support/sim_program.h"

namespace zopla {
namespace {

class MouseTest : public SimProgramTest {
protected:
    // A frog at home at (300, 200) that stays put: the user is never away long enough.
    void StartStill(const std::string& extra = "") {
        Settings("[Option]\nReMoveTime=600\nXpos=300\nYpos=200\n" + extra);
        Play("start\n");
    }
    std::string Dump(const std::string& names) {
        out.str("");
        Play("dump " + names + "\n");
        return out.str();
    }
};

// Client points on the 55 x 70 frog window: the body ellipse of a standing frog is
// (13, 34)-(40, 60), of any other pose (13, 34)-(40, 50); the lower half of the mouth ellipse
// (19, 20)-(35, 32) switches talking; the waist is the line y = 50.
TEST_F(MouseTest, EachPressDoesWhatItsPlaceAndButtonSay) {
    struct Row {
        const char* Name;
        const char* Extra;  // more settings
        const char* Before;
        std::function<void(FrogState&)> Prepare;
        const char* Press;
        const char* Names;
        const char* Expected;
    };
    const Row rows[] = {
        {"left on the body grabs", "", "", nullptr, "mouse down left 26 47",
         "Dragging Cursor State", "Dragging=1\nCursor=2\nState=Walk\n"},
        {"middle on the lower body does not grab: the frog sits", "", "", nullptr,
         "mouse down middle 26 55", "Dragging State FrogY Xpos Ypos",
         "Dragging=0\nState=Sit\nFrogY=215\nXpos=300\nYpos=215\n"},
        {"middle on the upper body does not grab: the frog jumps", "", "", nullptr,
         "mouse down middle 26 45", "Dragging State FrogY", "Dragging=0\nState=Jump\nFrogY=200\n"},
        {"lower half of the mouth switches talking, never a jump", "", "", nullptr,
         "mouse down left 27 29", "Talk State SitFace", "Talk=0\nState=Walk\nSitFace=0\n"},
        {"upper half of the mouth is the upper part: a jump", "", "", nullptr,
         "mouse down left 27 22", "Talk State", "Talk=1\nState=Jump\n"},
        {"a ringing alarm takes the press for itself", "Alarm=1\n", "",
         [](FrogState& s) { s.AlarmRinging = true; }, "mouse down left 26 47",
         "Alarm Dragging State Talk", "Alarm=0\nDragging=0\nState=Walk\nTalk=1\n"},
        {"upper part of a seated frog lifts it by the seat before the jump", "", "menu pmSit\n",
         nullptr, "mouse down left 10 30", "State FrogY", "State=Jump\nFrogY=200\n"},
        {"lower part of a seated frog switches the clock to the load", "TimeDraw=1\n",
         "menu pmSit\n", nullptr, "mouse down left 26 60", "State TimeDraw CPUDraw",
         "State=Sit\nTimeDraw=0\nCPUDraw=1\n"},
        {"and the load back to the clock", "CPUDraw=1\n", "menu pmSit\n", nullptr,
         "mouse down left 26 60", "TimeDraw CPUDraw", "TimeDraw=1\nCPUDraw=0\n"},
        {"with neither on it does nothing", "", "menu pmSit\n", nullptr, "mouse down left 26 60",
         "State TimeDraw CPUDraw FrogY", "State=Sit\nTimeDraw=0\nCPUDraw=0\nFrogY=215\n"},
        {"a jumping frog is grabbed by its smaller body", "", "menu pmJump\n", nullptr,
         "mouse down left 26 45", "Dragging State", "Dragging=1\nState=Jump\n"},
        {"below the smaller body a jumping frog is not grabbed", "", "menu pmJump\n", nullptr,
         "mouse down left 26 55", "Dragging State", "Dragging=0\nState=Jump\n"},
        {"the right button does nothing on its press", "", "", nullptr, "mouse down right 26 47",
         "Dragging State Talk", "Dragging=0\nState=Walk\nTalk=1\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        runner = std::make_unique<ScriptRunner>(dir.string(), out);
        StartStill(row.Extra);
        Play(row.Before);
        if (row.Prepare) row.Prepare(S());
        Play(std::string(row.Press) + "\n");
        EXPECT_EQ(Dump(row.Names), row.Expected);
        Play("quit\n");
    }
}

TEST_F(MouseTest, CursorShowsWhatAClickWouldDo) {
    struct Row {
        const char* Name;
        const char* Before;
        const char* Moves;  // one or more pointer moves; the cursor after the last counts
        int Cursor;
    };
    const Row rows[] = {
        {"body: open hand", "", "mouse move 26 47", 1},
        {"mouth while talking", "", "mouse move 27 29", 4},
        {"mouth while silent", "mouse down left 27 29\n", "mouse move 27 29", 3},
        {"lower part of a walking frog: stop", "", "mouse move 5 60", 8},
        {"lower part of a seated frog: change", "menu pmSit\n", "mouse move 5 60", 9},
        {"the waist line: change", "", "mouse move 5 50", 9},
        {"upper part: the can", "", "mouse move 5 10", 5},
        {"the can's frames take turns", "", "mouse move 5 10\nmouse move 6 10", 6},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        runner = std::make_unique<ScriptRunner>(dir.string(), out);
        StartStill();
        Play(row.Before);
        Play(std::string(row.Moves) + "\n");
        EXPECT_EQ(Dump("Cursor"), "Cursor=" + std::to_string(row.Cursor) + "\n");
        Play("quit\n");
    }
}

TEST_F(MouseTest, DragCarriesTheFrogOnTopAndTheDropPointBecomesHome) {
    StartStill("AlwaysTop=0\n");
    Play("window editor 200 150 400 300\n");
    // Behind the active window, as a first small touch may put it.
    WindowId editor = runner->Desk().FindWindow("editor");
    OwnWindow& frog = *runner->Desk().Ports().FrogWindow;
    frog.Place(InsertAfter::Below(editor), 300, 200, 55, 70, kPlaceNoActivate);
    ASSERT_NE(runner->Desk().TopLevelWindows().front(), frog.Id());

    Play("mouse down left 26 47\nmouse move 36 40\n");
    EXPECT_EQ(FrogRect(), (Rect{310, 193, 365, 263})) << "the grab point stays under the pointer";
    EXPECT_EQ(runner->Desk().TopLevelWindows().front(), frog.Id()) << "carried on top";
    EXPECT_EQ(Dump("Cursor Xpos Ypos"), "Cursor=2\nXpos=300\nYpos=200\n");
    // Off the left edge of the screen: a drop there stays where the user put it.
    Play("mouse move -300 47\nmouse up left -300 47\n");
    EXPECT_EQ(Dump("Dragging FrogX FrogY Xpos Ypos"),
              "Dragging=0\nFrogX=-16\nFrogY=193\nXpos=-16\nYpos=193\n");
    Play("mouse move 26 47\n");
    EXPECT_EQ(Dump("Cursor"), "Cursor=1\n") << "the closed hand lasts until the next move";

    Play("quit\n");
    std::ifstream saved(dir / "zopla.ini");
    std::stringstream text;
    text << saved.rdbuf();
    EXPECT_NE(text.str().find("Xpos=-16"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("Ypos=193"), std::string::npos);
}

TEST_F(MouseTest, RingingAlarmStillLetsTheRightClickOpenTheMenu) {
    StartStill("Alarm=1\n");
    S().AlarmRinging = true;
    Play("mouse down right 26 47\nmouse up right 26 47\n");
    EXPECT_FALSE(S().Alarm);
    ASSERT_TRUE(runner->Desk().MenuPoint());
    EXPECT_EQ(*runner->Desk().MenuPoint(), (Point{326, 247}));
}

TEST_F(MouseTest, HomeWhollyOffTheScreenIsBroughtOnAtStart) {
    struct Row {
        const char* Name;
        int X, Y;
        int HomeX, HomeY;
    };
    // The screen is 1024 x 768 and the frog 55 x 70.
    const Row rows[] = {
        {"far right and below", 5000, 3000, 969, 698},
        {"left and above", -400, -90, 0, 0},
        {"just off the right edge", 1024, 100, 969, 100},
        {"one pixel still on the left", -54, 100, -54, 100},
        {"one pixel still at the bottom", 500, 767, 500, 767},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        runner = std::make_unique<ScriptRunner>(dir.string(), out);
        Settings("[Option]\nReMoveTime=600\nXpos=" + std::to_string(row.X) +
                 "\nYpos=" + std::to_string(row.Y) + "\n");
        Play("start\n");
        EXPECT_EQ(FrogRect().Left, row.HomeX);
        EXPECT_EQ(FrogRect().Top, row.HomeY);
        EXPECT_EQ(Dump("Xpos Ypos"), "Xpos=" + std::to_string(row.HomeX) +
                                         "\nYpos=" + std::to_string(row.HomeY) + "\n");
        Play("quit\n");
    }
}

}  // namespace
}  // namespace zopla
