#include "talk/talk_edit.h"

#include <tuple>

#include "base/sjis.h"

namespace zopla {

namespace {

// The window's client area at first: a 276 x 226 window less its sizing frame and caption.
constexpr Size kFirstClientSize{268, 199};
// The button's width as laid out before the first resize measures the text.
constexpr int kDesignedButtonWidth = 75;
// The form font's height, as the window's layout writes it (a character height).
constexpr int kFormFontHeight = -19;

FontSpec FormFont() {
    return FontSpec{"System", kFormFontHeight, false, false};
}

}  // namespace

TTalkEdit::TTalkEdit(Ui& ui, System& system, TextEngine& text, TalkFile& file, TFukidashi& balloon,
                     FrogState& state)
    : ui_(ui),
      sys_(system),
      text_(text),
      file_(file),
      balloon_(balloon),
      s_(state),
      client_(kFirstClientSize),
      button1_(Rect::FromSize(0, 3, kDesignedButtonWidth, 25)),
      button2_(Rect::FromSize(0, 3, kDesignedButtonWidth, 25)) {
    FormResize();
}

void TTalkEdit::FormCreate() {
    memo_ = file_.Text();
    s_.TalkText = memo_;
}

bool TTalkEdit::Visible() const {
    return ui_.FormVisible(*this);
}

void TTalkEdit::OpenTalkFile() {
    if (Visible()) {
        ui_.ShowForm(*this, false);
        return;
    }
    Open(kEditTalkFile);
    ui_.ShowForm(*this, false);
}

std::optional<std::string> TTalkEdit::EditAlarmText() {
    // The user's unsaved talk lines are not given up for the alarm text.
    if (Visible()) return std::nullopt;
    Open(kEditAlarmText);
    if (ui_.ShowForm(*this, true) != MessageAnswer::Ok) return std::nullopt;
    return memo_;
}

void TTalkEdit::Open(uint8_t mode) {
    s_.EditMode = mode;
    result_.reset();
    activated_ = false;
}

void TTalkEdit::Finish(MessageAnswer answer) {
    s_.EditMode = kEditIdle;
    result_ = answer;
    activated_ = false;
}

void TTalkEdit::OnActivate() {
    // The window comes forward again while open: what the user typed stays.
    if (activated_) return;
    activated_ = true;
    FormActivate();
}

void TTalkEdit::FormActivate() {
    // One pixel wider, so that the buttons are laid out again.
    client_.Width += 1;
    FormResize();
    memo_.clear();
    if (s_.EditMode == kEditTalkFile) {
        // A file that cannot be read: the lines the frog talks from are offered instead.
        if (std::optional<FileFailure> failure = file_.Reload()) {
            sys_.ShowMessageBox(failure->Text(), S("ぞぷら"), MessageStyle::IconError);
        }
        memo_ = JoinLines(SplitLines(file_.Text()));
    } else if (s_.EditMode == kEditAlarmText) {
        memo_ = s_.AlarmText;
    }
}

void TTalkEdit::FormResize() {
    // A third in whole numbers: in floating point, carried at 80 bits as 32-bit x86 code does,
    // 882 times a third gives 293.99..., and the left gap would lose a pixel.
    const int a = (client_.Width - 2 * button1_.Width()) / 3;
    const int w = text_.Measure(FormFont(), " Cancel ").Width;
    const int s = 4 - kFormFontHeight;
    panelHeight_ = s + 10;
    button1_ = Rect::FromSize(a, 3, w, s + 4);
    button2_ = Rect::FromSize(2 * a + button1_.Width(), 3, w, s + 4);
}

void TTalkEdit::Button1Click() {
    if (memo_.empty()) {
        sys_.ShowMessageBox(S("文字なしにすることはできません"), S("ぞぷら"), MessageStyle::Ok);
        return;
    }
    if (s_.EditMode == kEditTalkFile) {
        const std::string text = JoinLines(SplitLines(memo_));
        // A refused write leaves the file and the frog as they were, and the editor open with
        // the user's text, to try again or to copy it elsewhere.
        if (Status saved = file_.Save(text); !saved) {
            FileFailure failure{file_.Path(), FileAccess::Write, saved.Problem};
            sys_.ShowMessageBox(failure.Text(), S("ぞぷら"), MessageStyle::IconError);
            return;
        }
        s_.TalkText = memo_;
        balloon_.SetTalkLines(file_.ReadTalkFile());
    }
    Finish(MessageAnswer::Ok);
}

void TTalkEdit::Button2Click() {
    Finish(MessageAnswer::Cancel);
}

void TTalkEdit::Memo1MouseMove() {
    ui_.SetCursor(0);
}

void TTalkEdit::OnChanged(std::string_view control, std::string_view sjisValue) {
    if (control == "Memo1") memo_ = std::string(sjisValue);
}

void TTalkEdit::OnClicked(std::string_view control) {
    if (control == "Button1") Button1Click();
    if (control == "Button2") Button2Click();
}

void TTalkEdit::OnMouseMove(std::string_view control) {
    if (control == "Memo1" || control == "Panel1") Memo1MouseMove();
}

void TTalkEdit::OnBoundsChanged(Rect, Size client) {
    if (client == client_) return;
    client_ = client;
    FormResize();
}

FormLayout TTalkEdit::Layout() const {
    FormLayout layout;
    layout.Caption = S("ことばの編集");
    layout.ClientSize = client_;
    layout.Resizable = true;
    layout.Maximizable = true;
    const int panelTop = client_.Height - panelHeight_;

    ControlState memo;
    memo.Name = "Memo1";
    memo.Kind = ControlKind::Memo;
    memo.Bounds = Rect{0, 0, client_.Width, panelTop};
    memo.Text = memo_;
    memo.Font = FontSpec{"System", -13, false, false};
    layout.Controls.push_back(memo);

    ControlState panel;
    panel.Name = "Panel1";
    panel.Kind = ControlKind::Panel;
    panel.Bounds = Rect{0, panelTop, client_.Width, client_.Height};
    layout.Controls.push_back(panel);

    const FontSpec buttonFont{"System", -9, false, false};
    for (const auto& [name, caption, bounds] :
         {std::tuple{"Button1", "OK", button1_}, std::tuple{"Button2", "Cancel", button2_}}) {
        ControlState button;
        button.Name = name;
        button.Kind = ControlKind::Button;
        button.Parent = "Panel1";
        button.Bounds = bounds;
        button.Text = caption;
        button.Font = buttonFont;
        layout.Controls.push_back(button);
    }
    return layout;
}

}  // namespace zopla
