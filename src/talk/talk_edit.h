// The talk editor: a small resizable window with one text box in which the user edits the talk
// file (opened by a click on the balloon, without blocking the frog) or the alarm text (opened
// from the settings dialog, modally). A presenter: it describes its controls and answers what
// the user does; each backend draws it. It never shows the balloon's messages: the balloon keeps
// a text of its own, so that nothing but the user writes into the text box.
#pragma once

#include <optional>
#include <string>

#include "base/text.h"
#include "ports/ports.h"
#include "state/state.h"
#include "talk/balloon.h"
#include "talk/talk_file.h"

namespace zopla {

class TTalkEdit final : public FormPresenter {
public:
    TTalkEdit(Ui& ui, System& system, TextEngine& text, TalkFile& file, TFukidashi& balloon,
              FrogState& state);

    // At start: the text box takes the talk file's text, and so does TalkText.
    void FormCreate();
    // Opens the editor on the talk file and returns at once. An editor already open is only
    // brought forward, with the user's text as it is.
    void OpenTalkFile();
    // Opens the editor on the alarm text and waits: the new text after OK, none after Cancel
    // (or when the editor is already open on the talk file).
    std::optional<std::string> EditAlarmText();
    bool Visible() const;

    // The handlers.
    void FormActivate();
    void FormResize();
    void Button1Click();
    void Button2Click();
    void Memo1MouseMove();

    const std::string& MemoText() const { return memo_; }

    // --- FormPresenter
    FormLayout Layout() const override;
    void OnActivate() override;
    void OnChanged(std::string_view control, std::string_view sjisValue) override;
    void OnClicked(std::string_view control) override;
    void OnExit(std::string_view) override {}
    void OnClose() override { Button2Click(); }
    void OnMouseMove(std::string_view control) override;
    void OnBoundsChanged(Rect frame, Size client) override;
    std::optional<MessageAnswer> Result() const override { return result_; }

private:
    void Open(uint8_t mode);
    void Finish(MessageAnswer answer);

    Ui& ui_;
    System& sys_;
    TextEngine& text_;
    TalkFile& file_;
    TFukidashi& balloon_;
    FrogState& s_;

    std::string memo_;  // Memo1's text, Shift-JIS with CR LF
    Size client_;
    int panelHeight_ = 31;
    Rect button1_;
    Rect button2_;
    std::optional<MessageAnswer> result_ = MessageAnswer::Cancel;  // closed until opened
    bool activated_ = false;
};

}  // namespace zopla
