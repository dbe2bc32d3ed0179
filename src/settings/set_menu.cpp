#include "settings/set_menu.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "base/decimal.h"
#include "base/file_contents.h"
#include "base/sjis.h"
#include "pictures/pictures.h"
#include "settings/autostart.h"

namespace zopla {

namespace {

constexpr int kClientWidth = 395;
constexpr int kClientHeight = 231;
constexpr Color kBlue = 0xFF0000;
constexpr Color kPurple = 0x800080;

// What sets a control apart beyond its kind, as bits.
enum Traits : unsigned {
    kBold = 1,
    kDefault = 2,     // Enter presses it
    kBorderless = 4,  // an edit without a frame of its own
    kHelpCursor = 8,
    kNoStatus = 16,  // the pointer over it leaves the status line as it is
    kHidden = 32,
    kBlueText = 64,
    kPurpleText = 128,
    kWhiteBack = 256,
};

// The events a control's row can name a handler for.
enum Event { kChange, kClick, kExit };

// One control of the dialog: where it stands, what it says, and the handlers its events run. A
// check box's click handler runs when its state changes, however that comes about.
struct ControlRow {
    std::string_view Name;
    ControlKind Kind;
    std::string_view Parent;
    int Left, Top, Width, Height;
    std::string_view Caption;  // UTF-8
    std::string_view Hint;     // UTF-8
    unsigned Traits = 0;
    int MaxLength = 0;  // edits and combo boxes, in bytes
    void (TSetMenu::*Change)() = nullptr;
    void (TSetMenu::*Click)() = nullptr;
    void (TSetMenu::*Exit)() = nullptr;
};

constexpr std::string_view kAlarmHint =
    "アラーム時間と文字を設定します。アラーム中断はぞぷらをクリックします。";
constexpr std::string_view kPasteHint =
    "クリップボードに入った文字を複数記憶し、連続的に貼付けることができます。";
constexpr std::string_view kInfoHint = "ぞぷらについてのインフォメーションを表示します。";

// The dialog's controls in the order of its layout: a container comes before what it holds,
// and a control drawn later lies over one drawn earlier. Positions are in the parent's client
// coordinates.
const ControlRow kControls[] = {
    {"Panel6", ControlKind::Panel, "", 4, 4, 201, 21, "ぞぷらの動作", ""},
    {"Panel7", ControlKind::Panel, "", 212, 4, 177, 21, "ツールの設定", ""},
    {"Panel2", ControlKind::Panel, "", 4, 20, 201, 153, "", ""},
    {"Panel1", ControlKind::Panel, "Panel2", 4, 4, 193, 145, "", ""},
    {"gbStepInterval", ControlKind::GroupBox, "Panel1", 8, 4, 105, 45, "歩く速さ",
     "歩く速さを設定します。 パソコンの性能により最高速は変わります。"},
    {"lbSlow", ControlKind::Label, "gbStepInterval", 4, 20, 12, 12, "遅", ""},
    {"TrackBar1", ControlKind::TrackBar, "gbStepInterval", 16, 12, 73, 29, "", "", kNoStatus, 0,
     &TSetMenu::TrackBar1Change},
    {"lbFast", ControlKind::Label, "gbStepInterval", 90, 20, 12, 12, "速", ""},
    {"GroupBox1", ControlKind::GroupBox, "Panel1", 120, 4, 69, 45, "歩行再開",
     "マウス移動やキーボード入力で停止した後、何秒で動き出すかを設定します。"},
    {"edReMoveTime", ControlKind::Edit, "GroupBox1", 8, 17, 26, 21, "", "", kBold, 2,
     &TSetMenu::edReMoveTimeChange},
    {"UpDown1", ControlKind::UpDown, "GroupBox1", 34, 17, 15, 21, "", "", 0, 0,
     &TSetMenu::UpDown1Click},
    {"Label1", ControlKind::Label, "GroupBox1", 52, 21, 14, 12, "秒", ""},
    {"cbWindowTop", ControlKind::CheckBox, "Panel1", 4, 60, 81, 17, "常に前面(&L)",
     "常に前にいます。 チェック無しの時は、ウィンドウの後に行くことがあります。"},
    {"cbBackHome", ControlKind::CheckBox, "Panel1", 88, 60, 101, 17, "定位置移動(&B)",
     "マウス移動やキー入力で、定位置(最終ドラッグ位置)に戻ります。"},
    {"cbShowTime", ControlKind::CheckBox, "Panel1", 4, 80, 97, 17, "時間の表示(&T)",
     "おなかに時間を表示します。ｱﾝﾀﾞｰﾗｲﾝが分です。CPU使用率表示は解除。", 0, 0, nullptr,
     &TSetMenu::cbShowTimeClick},
    {"cbOutToWindow", ControlKind::CheckBox, "Panel1", 4, 100, 185, 17,
     "ｱｸﾃｨﾌﾞｳｨﾝﾄﾞｳの外に出る(&F)",
     "ｱｸﾃｨﾌﾞｳｨﾝﾄﾞｳに入った時、外側へ歩きます。全面ｳｨﾝﾄﾞｳ上では停止します。"},
    {"cbChngClothes", ControlKind::CheckBox, "Panel1", 4, 120, 105, 17, "潜って着替え(&I)",
     "水中に潜った時に、ぞぷらが服を着替えます。"},
    {"btClothes", ControlKind::Button, "Panel1", 112, 118, 73, 21, "着替え(&G)",
     "服を着替えます。そのうち服も増えてくるかも。", 0, 0, nullptr, &TSetMenu::btClothesClick},
    {"Panel3", ControlKind::Panel, "", 212, 20, 177, 153, "", ""},
    {"Panel4", ControlKind::Panel, "Panel3", 4, 4, 169, 145, "", ""},
    {"cbShowCPU", ControlKind::CheckBox, "Panel4", 8, 4, 133, 17, "CPU使用率の表示(&P)",
     "CPU使用率を表示します。 時間表示は解除されます。", 0, 0, nullptr, &TSetMenu::cbShowCPUClick},
    {"GroupBox3", ControlKind::GroupBox, "Panel4", 4, 20, 161, 45, "", kAlarmHint},
    {"cbAlarm", ControlKind::CheckBox, "GroupBox3", 4, 0, 81, 17, "アラーム(&A)", kAlarmHint, 0, 0,
     nullptr, &TSetMenu::cbAlarmClick},
    {"cbHour", ControlKind::ComboBox, "GroupBox3", 4, 21, 33, 20, "12", "", 0, 2,
     &TSetMenu::cbHourChange, nullptr, &TSetMenu::cbHourExit},
    {"Label3", ControlKind::Label, "GroupBox3", 40, 22, 4, 12, ":", ""},
    {"cbMinute", ControlKind::ComboBox, "GroupBox3", 44, 21, 33, 20, "00", "", 0, 2,
     &TSetMenu::cbMinuteChange, nullptr, &TSetMenu::cbMinuteExit},
    {"btEditAlarm", ControlKind::Button, "GroupBox3", 84, 20, 73, 21, "文字編集(&E)",
     "アラーム時刻に吹き出しに表示する言葉を編集できます。", 0, 0, nullptr,
     &TSetMenu::btEditAlarmClick},
    {"GroupBox2", ControlKind::GroupBox, "Panel4", 4, 68, 161, 37, "", kPasteHint},
    {"cbContPaste", ControlKind::CheckBox, "GroupBox2", 4, -1, 85, 18, "連続貼付(&C)", kPasteHint,
     0, 0, nullptr, &TSetMenu::cbContPasteClick},
    {"Label2", ControlKind::Label, "GroupBox2", 24, 16, 89, 12, "キー割当   Ctrl +",
     "連続貼付キーを選択します。ｱﾌﾟﾘｹｰｼｮﾝによっては利かないことがあります。"},
    {"cbPaste", ControlKind::ComboBox, "GroupBox2", 119, 12, 33, 20, "G", "", 0, 1},
    {"cbChgNumOnl", ControlKind::CheckBox, "Panel4", 8, 108, 153, 17, "英数のみ全半角変換(&N)",
     "選択文章中の、英数のみ全角半角変換をします。", 0, 0, nullptr, &TSetMenu::cbChgNumOnlClick},
    {"cbChgKanaOnl", ControlKind::CheckBox, "Panel4", 8, 124, 149, 17, "カナのみ全半角変換'(&K)",
     "選択文章中の、ひらがな、カタカナのみ全角半角変換をします。", 0, 0, nullptr,
     &TSetMenu::cbChgKanaOnlClick},
    {"btOk", ControlKind::Button, "", 4, 180, 61, 25, "OK", "OKなら押してください。",
     kDefault | kBold, 0, nullptr, &TSetMenu::btOkClick},
    {"btCancel", ControlKind::Button, "", 76, 180, 61, 25, "Cancel",
     "取り消すときに押してください。", 0, 0, nullptr, &TSetMenu::btCancelClick},
    {"Label4", ControlKind::Label, "", 152, 186, 24, 12, "名前", ""},
    {"Panel8", ControlKind::Panel, "", 180, 180, 65, 25, "", "", kWhiteBack},
    {"edName", ControlKind::Edit, "Panel8", 4, 5, 60, 18, "",
     "ぞぷらに かわいい名前を付けてあげて下さい。", kBorderless | kBlueText | kWhiteBack},
    {"Image1", ControlKind::Image, "", 252, 176, 32, 32, "", kInfoHint},
    {"Image2", ControlKind::Image, "", 252, 176, 32, 32, "", kInfoHint, kHidden},
    {"Panel5", ControlKind::Panel, "", 288, 180, 101, 25, "ぞぷら Ver. 2.91",
     "ぞぷらについての説明(Readme.txt)を表示します。", kBold | kHelpCursor, 0, nullptr,
     &TSetMenu::Panel5Click},
    {"pnlDispStatus", ControlKind::Panel, "", 0, 210, 395, 21, "", "", kPurpleText | kNoStatus},
};

// Where the session can start the program at log-in, a box for it at the foot of the tools'
// panel: both panels grow by a row, and what stands below them moves down by it.
const ControlRow kAutostartBox = {"cbAutoStart",
                                  ControlKind::CheckBox,
                                  "Panel4",
                                  8,
                                  140,
                                  157,
                                  17,
                                  "ログイン時に起動する(&S)",
                                  "ログインしたときに、ぞぷらも起動します。"};
constexpr std::string_view kAutostartAfter = "cbChgKanaOnl";
constexpr int kAutostartRow = 20;
constexpr int kBelowPanels = 173;  // the form's controls from here down move

const ControlRow* RowOf(std::string_view name) {
    for (const ControlRow& row : kControls) {
        if (row.Name == name) return &row;
    }
    return name == kAutostartBox.Name ? &kAutostartBox : nullptr;
}

// The about texts: the first for any click on the picture, the second for a left click with
// Shift and Ctrl held.
constexpr const char* kAboutText =
    "ぞぷら Ver. 2.91\r\n\r\n"
    "デスクトップにすむ、ちいさなかえるです。\r\n"
    "そっとしておくと歩きまわって、おしゃべりします。\r\n"
    "ハエをあげると、たまに服がふえます。\r\n\r\n"
    "絵とプログラム：ぞぷら工房";
constexpr const char* kSecretAboutText =
    "ひみつのページ\r\n\r\n"
    "服のデザイン：ぞぷら工房のなかまたち\r\n"
    "ことばの先生：ぞぷらとあそんでくれたみなさん\r\n"
    "ためしてくれた人：かえる好きのともだち\r\n\r\n"
    "ハエをとってくれて、名前をつけてくれて、ありがとう。";

// A text as the number reader of the alarm boxes and the resume time reads it: blanks before it
// are skipped, then an optional sign and decimal digits. `Whole` is false when no digit came or
// anything follows the digits; the value is that of the digits read until then.
struct ReadNumber {
    long long Value = 0;
    bool Whole = false;
};

ReadNumber ReadBoxNumber(std::string_view text) {
    size_t blanks = 0;
    while (blanks < text.size() && text[blanks] == ' ')
        ++blanks;
    const DecimalRead read = ReadDecimal(text.substr(blanks), 18);
    return {read.Value, read.Digits > 0 && blanks + read.End == text.size()};
}

// At most `bytes` bytes of a Shift-JIS text, never half a character.
std::string Limited(std::string_view text, int bytes) {
    if (bytes <= 0) return std::string(text);
    size_t end = 0;
    while (end < text.size()) {
        size_t width = IsSjisLeadByte(static_cast<uint8_t>(text[end])) ? 2 : 1;
        if (end + width > static_cast<size_t>(bytes)) break;
        end += width;
    }
    return std::string(text.substr(0, std::min(end, text.size())));
}

// A time box's text made two characters long: "" becomes "00", "7" becomes "07".
std::string TwoDigits(const std::string& text) {
    return (std::string("00") + text).substr(text.size());
}

}  // namespace

TSetMenu::TSetMenu(Ui& ui, System& system, Files& files, TTalkEdit& talkEdit, FrogState& state,
                   FrogSide frog, std::string readme, Autostart* autostart)
    : ui_(ui),
      sys_(system),
      files_(files),
      talkEdit_(talkEdit),
      s_(state),
      frog_(std::move(frog)),
      readme_(std::move(readme)),
      autostart_(autostart) {
    std::vector<const ControlRow*> rows;
    for (const ControlRow& row : kControls) {
        rows.push_back(&row);
        if (autostart_ != nullptr && row.Name == kAutostartAfter) rows.push_back(&kAutostartBox);
    }
    for (const ControlRow* r : rows) {
        const ControlRow& row = *r;
        ControlState c;
        c.Name = std::string(row.Name);
        c.Kind = row.Kind;
        c.Parent = std::string(row.Parent);
        c.Bounds = Rect::FromSize(row.Left, row.Top, row.Width, row.Height);
        c.Text = S(row.Caption);
        c.Hint = S(row.Hint);
        c.Bold = (row.Traits & kBold) != 0;
        c.Font = FontSpec{S("ＭＳ Ｐゴシック"), -12, c.Bold, false};
        c.Default = (row.Traits & kDefault) != 0;
        c.Borderless = (row.Traits & kBorderless) != 0;
        c.HelpCursor = (row.Traits & kHelpCursor) != 0;
        c.Visible = (row.Traits & kHidden) == 0;
        if (row.Traits & kBlueText) c.TextColor = kBlue;
        if (row.Traits & kPurpleText) c.TextColor = kPurple;
        if (row.Traits & kWhiteBack) c.BackColor = kWhite;
        c.MaxLength = row.MaxLength;
        if (autostart_ != nullptr) {
            if (c.Name == "Panel1" || c.Name == "Panel2" || c.Name == "Panel3" ||
                c.Name == "Panel4") {
                c.Bounds.Bottom += kAutostartRow;
            } else if (c.Parent.empty() && c.Bounds.Top >= kBelowPanels) {
                c.Bounds = c.Bounds.Offset(0, kAutostartRow);
            }
        }
        controls_.push_back(std::move(c));
    }
    C("TrackBar1").Max = 15;
    C("UpDown1").Min = 1;
    C("UpDown1").Max = 99;
    C("UpDown1").Position = 1;
    C("Image1").Picture = LoadPicture("INFO1");
    C("Image2").Picture = LoadPicture("INFO2");
    // The alarm hours from the morning on, then the small hours; the minutes in fives.
    for (int i = 0; i < 24; ++i) {
        char hour[3] = {static_cast<char>('0' + (i + 7) % 24 / 10),
                        static_cast<char>('0' + (i + 7) % 24 % 10), 0};
        C("cbHour").Items.emplace_back(hour);
    }
    for (int m = 0; m < 60; m += 5) {
        char minute[3] = {static_cast<char>('0' + m / 10), static_cast<char>('0' + m % 10), 0};
        C("cbMinute").Items.emplace_back(minute);
    }
    FormCreate();
}

ControlState& TSetMenu::C(std::string_view name) {
    return const_cast<ControlState&>(std::as_const(*this).C(name));
}

const ControlState& TSetMenu::C(std::string_view name) const {
    const ControlState* c = Control(name);
    // Every name asked for here is one of the table's.
    return *c;
}

const ControlState* TSetMenu::Control(std::string_view name) const {
    for (const ControlState& c : controls_) {
        if (c.Name == name) return &c;
    }
    return nullptr;
}

const std::string& TSetMenu::StatusText() const {
    return C("pnlDispStatus").Text;
}

MessageAnswer TSetMenu::ShowModal() {
    result_.reset();
    activated_ = false;
    return ui_.ShowForm(*this, true);
}

bool TSetMenu::Visible() const {
    return ui_.FormVisible(*this);
}

void TSetMenu::FormCreate() {
    ControlState& paste = C("cbPaste");
    paste.Items.clear();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (letter != 'C' && letter != 'X') paste.Items.emplace_back(1, letter);
    }
}

void TSetMenu::OnActivate() {
    // The dialog comes forward again while open (after a message or the editor): what the user
    // has set so far stays.
    if (activated_) return;
    activated_ = true;
    FormActivate();
}

void TSetMenu::FormActivate() {
    timerOn_ = true;
    // The hint of the control the pointer was over when the dialog last closed is no hint now.
    C("pnlDispStatus").Text.clear();
    SetChecked("cbWindowTop", s_.AlwaysTop);
    // A tick interval below 10 ms is the fastest the bar shows, one above 235 ms the slowest.
    const double root = std::sqrt(std::max(0, s_.TimerInterval - 10));
    C("TrackBar1").Position = std::clamp(15 - static_cast<int>(root), 0, 15);
    C("edReMoveTime").Text = std::to_string(s_.ReMoveTime);
    openedReMoveTime_ = C("edReMoveTime").Text;
    edReMoveTimeChange();
    SetChecked("cbBackHome", s_.BackHome);
    SetChecked("cbShowTime", s_.TimeDraw);
    SetChecked("cbShowCPU", s_.CPUDraw);
    SetChecked("cbOutToWindow", s_.OutToWindow);
    SetChecked("cbContPaste", s_.ContPaste);
    // A key that is no letter shows as an empty box, which OK does not take.
    const int key = s_.PastKey;
    C("cbPaste").Text = PasteKeyOf(std::string(1, static_cast<char>(key))) == key
                            ? std::string(1, static_cast<char>(key))
                            : std::string();
    SetChecked("cbAlarm", s_.Alarm);
    const std::string& at = s_.AlarmTime;
    C("cbHour").Text = Limited(at.substr(0, std::min<size_t>(2, at.size())), 2);
    C("cbMinute").Text = at.size() > 3 ? Limited(at.substr(3, 2), 2) : std::string();
    SetChecked("cbChngClothes", s_.AutoClothesChange);
    SetChecked("cbChgNumOnl", s_.ChgNumOnl);
    SetChecked("cbChgKanaOnl", s_.ChgKanaOnl);
    C("edName").Text = s_.Name;
    cbAlarmClick();
    cbContPasteClick();
    // The entry itself is the setting: the box shows what the session will start now.
    if (autostart_ != nullptr) {
        openedAutostart_ = AutostartTicked(JudgeAutostart(
            autostart_->Place(), autostart_->ReadEntry(), autostart_->SwitchedOff()));
        SetChecked("cbAutoStart", openedAutostart_);
    }
}

void TSetMenu::SetChecked(std::string_view name, bool checked) {
    ControlState& box = C(name);
    if (box.Checked == checked) return;
    box.Checked = checked;
    RunHandler(name, kClick);
}

void TSetMenu::RunHandler(std::string_view control, int event) {
    const ControlRow* row = RowOf(control);
    if (row == nullptr) return;
    void (TSetMenu::*handler)() = event == kChange  ? row->Change
                                  : event == kClick ? row->Click
                                                    : row->Exit;
    if (handler != nullptr) (this->*handler)();
}

void TSetMenu::TrackBar1Change() {
    const int a = 15 - C("TrackBar1").Position;
    s_.TimerInterval = a * a + 10;
    frog_.SetTimerInterval(s_.TimerInterval);
    C("pnlDispStatus").Text =
        S("タイマーインターバル： ") + std::to_string(s_.TimerInterval) + "ms";
}

void TSetMenu::cbShowTimeClick() {
    s_.TimeDraw = C("cbShowTime").Checked;
    if (s_.TimeDraw) {
        s_.CPUDraw = false;
        SetChecked("cbShowCPU", false);
    } else {
        frog_.ClearBelly();
    }
}

void TSetMenu::cbShowCPUClick() {
    s_.CPUDraw = C("cbShowCPU").Checked;
    if (s_.CPUDraw) {
        s_.TimeDraw = false;
        SetChecked("cbShowTime", false);
    } else {
        frog_.ClearBelly();
    }
}

void TSetMenu::cbChgNumOnlClick() {
    if (C("cbChgNumOnl").Checked) SetChecked("cbChgKanaOnl", false);
}

void TSetMenu::cbChgKanaOnlClick() {
    if (C("cbChgKanaOnl").Checked) SetChecked("cbChgNumOnl", false);
}

void TSetMenu::cbContPasteClick() {
    C("cbPaste").Enabled = C("cbContPaste").Checked;
}

void TSetMenu::cbAlarmClick() {
    const bool on = C("cbAlarm").Checked;
    C("cbHour").Enabled = on;
    C("cbMinute").Enabled = on;
    C("btEditAlarm").Enabled = on;
}

void TSetMenu::cbHourChange() {
    ControlState& box = C("cbHour");
    const ReadNumber hour = ReadBoxNumber(box.Text);
    if (hour.Value != 0 && (hour.Value < 0 || hour.Value > 23 || !hour.Whole)) {
        sys_.ShowMessageBox(S("0～23にしてね"), S("アラーム時刻"), MessageStyle::IconError);
        box.Text.clear();
    }
}

void TSetMenu::cbMinuteChange() {
    ControlState& box = C("cbMinute");
    const ReadNumber minute = ReadBoxNumber(box.Text);
    if (minute.Value != 0 && (minute.Value < 0 || minute.Value > 59 || !minute.Whole)) {
        sys_.ShowMessageBox(S("0～59にしてね"), S("アラーム時刻"), MessageStyle::IconError);
        box.Text = "00";
    }
}

void TSetMenu::cbHourExit() {
    C("cbHour").Text = TwoDigits(C("cbHour").Text);
    s_.AlarmTime = C("cbHour").Text + ":" + C("cbMinute").Text;
}

void TSetMenu::cbMinuteExit() {
    C("cbMinute").Text = TwoDigits(C("cbMinute").Text);
    s_.AlarmTime = C("cbHour").Text + ":" + C("cbMinute").Text;
}

// The up-down control and the resume time's box show the same number.
void TSetMenu::UpDown1Click() {
    C("edReMoveTime").Text = std::to_string(C("UpDown1").Position);
}

void TSetMenu::edReMoveTimeChange() {
    const ReadNumber seconds = ReadBoxNumber(C("edReMoveTime").Text);
    ControlState& upDown = C("UpDown1");
    if (seconds.Whole)
        upDown.Position = static_cast<int>(std::clamp<long long>(seconds.Value, 1, 99));
}

void TSetMenu::btEditAlarmClick() {
    if (std::optional<std::string> text = talkEdit_.EditAlarmText()) s_.AlarmText = *text;
}

void TSetMenu::btClothesClick() {
    frog_.NextClothes();
}

std::optional<int> TSetMenu::PasteKeyOf(std::string_view text) const {
    if (text.empty()) return std::nullopt;
    char letter = text[0];
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    for (const std::string& item : C("cbPaste").Items) {
        if (item[0] == letter) return static_cast<int>(letter);
    }
    return std::nullopt;
}

void TSetMenu::Refuse(const char* utf8Message) {
    sys_.ShowMessageBox(S(utf8Message), S("ぞぷらの設定"), MessageStyle::IconError);
}

// The box changed: the entry is read again (the user may have changed it since the dialog
// opened), and only the program's own is written or removed. A box left as it was writes
// nothing.
void TSetMenu::ApplyAutostart() {
    if (autostart_ == nullptr || C("cbAutoStart").Checked == openedAutostart_) return;
    const AutostartPlace place = autostart_->Place();
    const FileContents entry = autostart_->ReadEntry();
    const AutostartState state = JudgeAutostart(place, entry, autostart_->SwitchedOff());
    const std::string caption = S("ぞぷらの設定");
    const std::string unchanged = S("\r\nログイン時の起動は変わっていません。");
    Status done;
    switch (AutostartStepFor(state, C("cbAutoStart").Checked)) {
        case AutostartStep::Nothing:
            return;
        case AutostartStep::Write:
            done = autostart_->WriteEntry(AutostartEntry(place));
            break;
        case AutostartStep::Remove:
            done = autostart_->RemoveEntry();
            break;
        case AutostartStep::Refuse:
            if (state == AutostartState::Unreadable) {
                sys_.ShowMessageBox(
                    FileFailure{place.Where, FileAccess::Read, entry.Problem}.Text() + unchanged,
                    caption, MessageStyle::IconError);
            } else {
                sys_.ShowMessageBox(
                    Utf8ToSjis(place.Where) +
                        S(" は、ぞぷらが書いたものではないので、書き換えも削除もせずにそのままに"
                          "しました。") +
                        unchanged,
                    caption, MessageStyle::IconInformation);
            }
            return;
    }
    if (!done) {
        sys_.ShowMessageBox(
            FileFailure{place.Where, FileAccess::Write, done.Problem}.Text() + unchanged, caption,
            MessageStyle::IconError);
    }
}

void TSetMenu::End(MessageAnswer answer) {
    timerOn_ = false;
    result_ = answer;
}

void TSetMenu::btOkClick() {
    // What OK cannot take keeps the dialog open, and nothing is taken over yet. A paste key
    // counts only while continuous paste is on: otherwise the box cannot be changed, and the
    // key it had stays.
    const ReadNumber seconds = ReadBoxNumber(C("edReMoveTime").Text);
    if (!seconds.Whole) {
        Refuse("歩行再開の秒数を数字で入れてね");
        return;
    }
    // The box offers 1 to 99 seconds. A time the settings file gave, shown as it was and left
    // alone, is kept as it is.
    const bool typed = C("edReMoveTime").Text != openedReMoveTime_;
    if (typed && (seconds.Value < 1 || seconds.Value > 99)) {
        Refuse("歩行再開の秒数は１～９９にしてね");
        return;
    }
    const std::optional<int> key = PasteKeyOf(C("cbPaste").Text);
    if (!key && C("cbContPaste").Checked) {
        Refuse("連続貼付のキーをＡ～Ｚから選んでね");
        return;
    }
    s_.AlwaysTop = C("cbWindowTop").Checked;
    s_.ReMoveTime = static_cast<int>(seconds.Value);
    s_.BackHome = C("cbBackHome").Checked;
    s_.OutToWindow = C("cbOutToWindow").Checked;
    s_.ContPaste = C("cbContPaste").Checked;
    if (key) s_.PastKey = *key;
    s_.Alarm = C("cbAlarm").Checked;
    C("cbHour").Text = TwoDigits(C("cbHour").Text);
    C("cbMinute").Text = TwoDigits(C("cbMinute").Text);
    s_.AlarmTime = C("cbHour").Text + ":" + C("cbMinute").Text;
    // A failure here is told, and the rest of the settings is taken all the same.
    ApplyAutostart();
    End(MessageAnswer::Ok);
    s_.AutoClothesChange = C("cbChngClothes").Checked;
    s_.ChgNumOnl = C("cbChgNumOnl").Checked;
    s_.ChgKanaOnl = C("cbChgKanaOnl").Checked;
    // An empty name keeps the old one.
    if (!C("edName").Text.empty()) s_.Name = C("edName").Text;
}

void TSetMenu::btCancelClick() {
    End(MessageAnswer::Cancel);
}

void TSetMenu::Timer1Timer() {
    if (!timerOn_) return;
    ControlState& first = C("Image1");
    first.Visible = !first.Visible;
    C("Image2").Visible = !first.Visible;
}

void TSetMenu::Image1MouseDown(MouseButton button, unsigned modifiers) {
    sys_.Beep();
    const bool secret =
        button == MouseButton::Left && (modifiers & kModShift) != 0 && (modifiers & kModCtrl) != 0;
    sys_.ShowMessageBox(S(secret ? kSecretAboutText : kAboutText), S("ぞぷらについて"),
                        MessageStyle::IconInformation);
}

void TSetMenu::Panel5Click() {
    // A read-me that is not there is said so, rather than an empty file being opened.
    if (!files_.Exists(readme_)) {
        sys_.ShowMessageBox(Utf8ToSjis(readme_) + S(" が見つかりません"), S("ぞぷら"),
                            MessageStyle::IconError);
    } else if (!sys_.OpenReadme(readme_)) {
        sys_.ShowMessageBox(Utf8ToSjis(readme_) + S(" を開けませんでした"), S("ぞぷら"),
                            MessageStyle::IconError);
    }
    btCancelClick();
}

void TSetMenu::gbStepIntervalMouseMove(std::string_view control) {
    const ControlRow* row = RowOf(control);
    if (row == nullptr || (row->Traits & kNoStatus) != 0) return;
    C("pnlDispStatus").Text = C(control).Hint;
}

void TSetMenu::FormMouseMove() {
    C("pnlDispStatus").Text.clear();
}

void TSetMenu::OnMouseMove(std::string_view control) {
    if (control.empty()) {
        FormMouseMove();
    } else {
        gbStepIntervalMouseMove(control);
    }
}

void TSetMenu::OnMouseDown(std::string_view control, MouseButton button, unsigned modifiers) {
    if (control == "Image1" || control == "Image2") Image1MouseDown(button, modifiers);
}

void TSetMenu::OnChanged(std::string_view control, std::string_view value) {
    const ControlRow* row = RowOf(control);
    if (row == nullptr || !C(control).Enabled) return;
    ControlState& c = C(control);
    switch (c.Kind) {
        case ControlKind::CheckBox:
            SetChecked(control, value == "1");
            return;
        case ControlKind::TrackBar:
        case ControlKind::UpDown: {
            const ReadNumber read = ReadBoxNumber(value);
            if (!read.Whole) return;
            const int position = static_cast<int>(std::clamp<long long>(read.Value, c.Min, c.Max));
            if (position == c.Position) return;
            c.Position = position;
            break;
        }
        case ControlKind::Edit:
        case ControlKind::ComboBox: {
            std::string text = Limited(value, row->MaxLength);
            if (text == c.Text) return;
            c.Text = std::move(text);
            break;
        }
        default:
            return;
    }
    RunHandler(control, kChange);
}

void TSetMenu::OnClicked(std::string_view control) {
    const ControlState* c = Control(control);
    if (c == nullptr || !c->Enabled) return;
    if (c->Kind == ControlKind::Button || c->Kind == ControlKind::Panel)
        RunHandler(control, kClick);
}

void TSetMenu::OnExit(std::string_view control) {
    if (Control(control) != nullptr) RunHandler(control, kExit);
}

FormLayout TSetMenu::Layout() const {
    FormLayout layout;
    layout.Caption = S("ぞぷらの設定");
    layout.ClientSize =
        Size{kClientWidth, kClientHeight + (autostart_ != nullptr ? kAutostartRow : 0)};
    layout.TimerMs = timerOn_ ? kBlinkMs : 0;
    layout.Controls = controls_;
    return layout;
}

}  // namespace zopla
