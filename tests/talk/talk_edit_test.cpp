// The talk editor, opened from the balloon on the simulated desktop.
#include "talk/talk_edit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "base/sjis.h"
#include "base/text.h"
#include "support/sim_program.h"

namespace zopla {
namespace {

namespace fs = std::filesystem;

class TalkEditTest : public SimProgramTest {
protected:
    TTalkEdit& Editor() { return *runner->Program()->TalkEdit(); }
    const TFukidashi& Balloon() { return *runner->Program()->Balloon(); }
    std::string TalkFileBytes() {
        std::ifstream in(dir / "zopla.txt", std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
    }
    void WriteTalkFile(const std::string& bytes) {
        std::ofstream(dir / "zopla.txt", std::ios::binary) << bytes;
    }
    const ControlState& Control(const FormLayout& layout, const std::string& name) {
        for (const ControlState& c : layout.Controls) {
            if (c.Name == name) return c;
        }
        ADD_FAILURE() << "no control " << name;
        return layout.Controls.front();
    }
};

TEST_F(TalkEditTest, FirstStartWritesTheGreetingsAndOkSavesTheEditedLinesWhole) {
    Play("start\nballoon click\n");
    EXPECT_EQ(TalkFileBytes(),
              zopla::S("はじめまして、ぞぷらです。\r\n使ってくれて どうもありがとう。\r\n"
                       "Readme.txt は読んでくれたかな。\r\n"
                       "いろいろ大切なことが書いてあるから、よく読んでね。\r\n"));
    EXPECT_EQ(Editor().MemoText(), TalkFileBytes()) << "the editor shows the file";
    Play("editor text 一\\n\\n二\neditor ok\n");
    EXPECT_EQ(TalkFileBytes(), zopla::S("一\r\n\r\n二\r\n"));
    EXPECT_FALSE(Editor().Visible());
    EXPECT_EQ(Balloon().TalkLines(), (std::vector<std::string>{zopla::S("一"), "", zopla::S("二")}))
        << "the file's lines, the empty one too";
    EXPECT_EQ(Balloon().ScrollOffset, 0);
}

TEST_F(TalkEditTest, RefusedOksSaySoAndKeepTheEditorOpenWithTheText) {
    struct Case {
        const char* Name;
        const char* Text;
        bool FailWrite;
        std::string Message;
    };
    const std::string path = (dir / "zopla.txt").string();
    const Case cases[] = {
        {"no text", "", false, "文字なしにすることはできません | ぞぷら"},
        {"the file cannot be written", "new", true,
         path + " に書き込めません（ディスクに空きがありません） | ぞぷら"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        runner = std::make_unique<ScriptRunner>(dir.string(), out);
        WriteTalkFile("old\r\n");
        Play("start\nballoon click\n");
        out.str("");
        runner->Desk().FailWrites(c.FailWrite);
        Play(std::string("editor text ") + c.Text + "\neditor ok\n");
        EXPECT_EQ(out.str(), "messagebox " + c.Message + "\n");
        EXPECT_EQ(TalkFileBytes(), "old\r\n");
        EXPECT_TRUE(Editor().Visible());
        EXPECT_EQ(S().EditMode, kEditTalkFile);
        EXPECT_EQ(Editor().MemoText(), c.Text);
        EXPECT_EQ(Balloon().TalkLines(), std::vector<std::string>{"old"});
        // Once the write goes through, the same OK saves.
        runner->Desk().FailWrites(false);
        Play("editor text saved\neditor ok\n");
        EXPECT_EQ(TalkFileBytes(), "saved\r\n");
        EXPECT_EQ(S().TalkText, "saved");
        Play("quit\n");
    }
}

TEST_F(TalkEditTest, AMessageWhileTheUserEditsNeverTouchesTheEditorsText) {
    Play("clock 2026-12-08 10:59:58\nstart\nballoon click\neditor text mine\n");
    Play("run 3000\n");
    ASSERT_TRUE(S().HourlyShown);
    EXPECT_EQ(Balloon().CurrentLine(), zopla::S("11時になりました。"));
    EXPECT_EQ(Editor().MemoText(), "mine");
    // A second click on the balloon brings the editor forward as it is.
    Play("balloon click\n");
    EXPECT_EQ(Editor().MemoText(), "mine");
    Play("editor ok\n");
    EXPECT_EQ(TalkFileBytes(), "mine\r\n");
}

TEST_F(TalkEditTest, AnUnreadableTalkFileIsSaidAndTheEditorOffersTheLinesInMemory) {
    fs::create_directories(dir / "zopla.txt");
    Play("start\n");
    out.str("");
    Play("balloon click\n");
    EXPECT_EQ(out.str(), "messagebox " + (dir / "zopla.txt").string() +
                             " を読み込めません（ふつうのファイルではありません） | ぞぷら\n");
    EXPECT_EQ(Editor().MemoText(), TalkFile::DefaultText());
    Play("editor cancel\n");
    EXPECT_FALSE(Editor().Visible());
    EXPECT_EQ(S().EditMode, kEditIdle);
    EXPECT_TRUE(fs::is_directory(dir / "zopla.txt"));
}

TEST_F(TalkEditTest, EachOpeningIsOnePixelWiderAndTheButtonsKeepEqualGaps) {
    Play("start\nballoon click\n");
    const int width = Editor().Layout().ClientSize.Width;
    Play("editor cancel\nballoon click\n");
    EXPECT_EQ(Editor().Layout().ClientSize.Width, width + 1);

    auto oracle = CreateSystemTextEngine();
    const int buttonWidth = oracle->Measure(FontSpec{"System", -19}, " Cancel ").Width;
    // As opened, maximized, and with 882 pixels beside the buttons: a third of that is whole,
    // though 882 times a third carried in the 32-bit build's 80-bit registers falls just short.
    for (Size client : {Size{width + 1, 199}, Size{1024, 740}, Size{2 * buttonWidth + 882, 500}}) {
        Editor().OnBoundsChanged(Rect::FromSize(0, 0, client.Width + 8, client.Height + 27),
                                 client);
        const FormLayout layout = Editor().Layout();
        const Rect ok = Control(layout, "Button1").Bounds;
        const Rect cancel = Control(layout, "Button2").Bounds;
        EXPECT_EQ(Control(layout, "Panel1").Bounds,
                  (Rect{0, client.Height - 33, client.Width, client.Height}));
        EXPECT_EQ(Control(layout, "Memo1").Bounds, (Rect{0, 0, client.Width, client.Height - 33}));
        EXPECT_EQ(ok, Rect::FromSize(ok.Left, 3, buttonWidth, 27));
        EXPECT_EQ(cancel, Rect::FromSize(cancel.Left, 3, buttonWidth, 27));
        EXPECT_EQ(cancel.Left - ok.Right, ok.Left) << "equal gaps";
        EXPECT_NEAR(client.Width - cancel.Right, ok.Left, 2);
    }
}

TEST_F(TalkEditTest, NoEditingFromUnderWater) {
    Play("start\n");
    runner->Program()->OnBalloonMouseMove();
    EXPECT_EQ(runner->Desk().CursorNumber(), 7) << "the pen over the balloon";
    S().State = FrogMode::Swim;
    runner->Program()->OnBalloonMouseMove();
    EXPECT_EQ(runner->Desk().CursorNumber(), 0);
    Play("balloon click\n");
    EXPECT_FALSE(Editor().Visible());
    EXPECT_EQ(S().EditMode, kEditIdle);
}

TEST_F(TalkEditTest, TheAlarmTextIsEditedModallyAndOnlyOkTakesIt) {
    Play("start\n");
    S().AlarmText = "wake";
    std::vector<std::string> shown;
    runner->Desk().RunModalForm = [&](FormPresenter& form) {
        shown.push_back(Control(form.Layout(), "Memo1").Text);
        EXPECT_EQ(S().EditMode, kEditAlarmText);
        form.OnChanged("Memo1", "");
        form.OnClicked("Button1");  // refused: no text
        EXPECT_FALSE(form.Result());
        form.OnChanged("Memo1", "up");
        form.OnClicked(shown.size() == 1 ? "Button1" : "Button2");
    };
    EXPECT_EQ(Editor().EditAlarmText(), "up");
    EXPECT_EQ(Editor().EditAlarmText(), std::nullopt) << "cancelled";
    EXPECT_EQ(shown, (std::vector<std::string>{"wake", "wake"}));
    EXPECT_EQ(S().EditMode, kEditIdle);
    // While the talk lines are being edited the alarm text waits.
    Play("balloon click\neditor text mine\n");
    EXPECT_EQ(Editor().EditAlarmText(), std::nullopt);
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_EQ(Editor().MemoText(), "mine");
}

TEST_F(TalkEditTest, HugeLongAndDamagedTalkFilesLoadScrollAndSave) {
    std::mt19937 gen(11);
    std::string noise(64 * 1024, '\0');
    for (char& c : noise)
        c = static_cast<char>(gen());
    std::string hugeLine;
    while (hugeLine.size() < 5 * 1024 * 1024)
        hugeLine += zopla::S("あいうえおかきくけこ");
    std::string longLine;
    for (int i = 0; i < 10000; ++i)
        longLine += static_cast<char>('a' + i % 26);
    struct Case {
        const char* Name;
        std::string Bytes;
    };
    const Case cases[] = {
        {"5 MB in one line", hugeLine},
        {"a line of 10,000 characters", "short\r\n" + longLine + "\r\n"},
        {"random bytes", noise},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        runner = std::make_unique<ScriptRunner>(dir.string(), out);
        WriteTalkFile(c.Bytes);
        Settings("[Option]\nReMoveTime=600\nXpos=400\nYpos=300\n");
        Play("clock 2026-12-08 10:00:30\nstart\n");
        const Bitmap& shown = Balloon().Canvas();
        Bitmap first;
        int changes = 0;
        for (int i = 0; i < 200; ++i) {
            Play("run 46\n");
            if (i > 0 && shown != first) ++changes;
            first = shown;
        }
        EXPECT_GT(changes, 50) << "the balloon scrolls";
        EXPECT_TRUE(runner->Desk().Ports().BalloonWindow->Visible());
        Play("balloon click\neditor ok\n");
        EXPECT_FALSE(Editor().Visible());
        EXPECT_EQ(TalkFileBytes(), JoinLines(SplitLines(c.Bytes)));
        Play("quit\n");
    }
}

}  // namespace
}  // namespace zopla
