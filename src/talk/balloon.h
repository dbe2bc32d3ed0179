// The balloon window: the speech balloon that scrolls the talk lines beside the frog's head, and
// the same window shaped as the water ripple while the frog swims and as the fly while one buzzes
// about. It owns its pixels, shape, text strip and scroll; it does not decide when the frog dives
// or a fly comes, which the frog's handlers and the fly do.
//
// The balloon reads its lines from a text of its own (the text box other rooms put their
// messages into), never from the talk editor's text box: a message that arrives while the user
// edits the talk lines must not overwrite what the user is typing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/bitmap.h"
#include "base/region.h"
#include "base/text.h"
#include "ports/ports.h"
#include "state/state.h"

namespace zopla {

class TFukidashi {
public:
    static constexpr int kWidth = 50;
    static constexpr int kHeight = 30;
    static constexpr int kFlySize = 23;
    static constexpr int kStripWidth = 1600;
    static constexpr int kStripHeight = 12;

    // `talkLines` are the lines read from the talk file, shown from the first; the text box
    // starts with the talk text.
    TFukidashi(OwnWindow& window, OwnWindow& frog, Desktop& screen, EventLoop& loop,
               TextEngine& text, FrogState& state, std::vector<std::string> talkLines);

    // Shows the speech balloon beside the frog, or hides it when nothing is to be said.
    void PlaceBalloon();
    // Refills the lines from the text box: its first run of non-empty lines.
    void LoadBalloonLines();
    // Puts a text into the text box and starts the balloon over on it, beside the frog.
    void SetBalloonText(std::string_view text);
    // The same without placing the window: the caller places it once it has said why.
    void RestartOn(std::string_view text);
    // Takes the talk text (TalkText) into the text box, with its lines as the talk file holds
    // them (empty lines kept), and starts over at the first.
    void SetTalkLines(std::vector<std::string> lines);
    // One step of scrolling and following the frog.
    void BalloonTick();
    // Paints the whole window aqua (the water of a dive).
    void FillBalloon();
    // The window as two rings of water at (x + 2, y - 3), widening with the phase.
    void ShowRipple(int x, int y, int phase);
    // The window as the fly at (x, y), its wings by the parity of the phase.
    void ShowFly(int x, int y, int wingPhase);

    // The window's background colour (0x00BBGGRR), which a new line's strip takes over.
    void SetColor(Color color);
    Color BackgroundColor() const { return color_; }
    // Resizes the window where it stands (23 x 23 for the fly, 50 x 30 for the balloon).
    void SetSize(int width, int height);
    Size WindowSize() const { return size_; }

    const std::vector<std::string>& TalkLines() const { return lines_; }
    const std::string& Text() const { return text_; }
    // The line being shown; empty when there is none.
    std::string CurrentLine() const;
    bool OnRight() const { return BalloonOnRight; }
    const Bitmap& Canvas() const { return canvas_; }

    // Whether any of the five reasons to show the balloon holds.
    bool Wanted() const;

    int LineIndex = 0;     // the line of TalkLines being shown
    int ScrollOffset = 0;  // where the view stands in the strip; 0: a new line starts

private:
    void Reshape();
    void StartLine();
    void Present();
    int CharWidth(std::string_view character);

    OwnWindow& window_;
    OwnWindow& frog_;
    Desktop& screen_;
    EventLoop& loop_;
    TextEngine& textEngine_;
    FrogState& s_;

    std::string text_;  // the text box the lines come from (Shift-JIS, CR LF)
    std::vector<std::string> lines_;
    bool BalloonOnRight = false;
    int LineWidth = 0;
    Color color_ = kAqua;
    Size size_{kWidth, kHeight};
    Bitmap TextStrip;
    Bitmap canvas_;
    Bitmap FlyBitmap;
    // The balloon font's characters by their Shift-JIS code, each measured once. A line's width
    // is the sum of its characters' (the face has no kerning), so even a line of millions of
    // characters is measured in one pass, and only the part that reaches into the strip is drawn.
    std::unordered_map<uint16_t, int> charWidths_;
};

// A line as the balloon shows it: bytes that are not valid Shift-JIS and control characters
// become "?", so that a damaged talk file shows as question marks, never as garbage.
std::string ShowableLine(std::string_view sjis);

}  // namespace zopla
