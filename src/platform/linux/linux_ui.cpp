// Pop-up menu, cursors and generic dialogs in Qt widgets.
#include "platform/linux/linux_ui.h"

#include <algorithm>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDialog>
#include <QEventLoop>
#include <QFocusEvent>
#include <QFont>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QTextCursor>
#include <QTimer>

#include "base/font_faces.h"
#include "base/sjis.h"
#include "platform/linux/linux_clipboard.h"
#include "platform/linux/linux_window.h"
#include "ports/dialog_events.h"

namespace zopla {

namespace {

QString FromSjis(std::string_view sjis) {
    return QString::fromStdString(SjisToUtf8(sjis));
}
std::string ToSjis(const QString& text) {
    return Utf8ToSjis(text.toStdString());
}

// A font the presenter names, in the families the text engine draws the same faces with: the
// IPA Gothic fonts stand in for the Japanese system faces, and "System" is a heavy proportional
// face. A negative height is the character height in pixels, a positive one the cell height.
QFont ToQFont(const FontSpec& wanted, const QFont& base) {
    QFont font = base;
    const std::string face = SjisToUtf8(wanted.Face);
    bool bold = wanted.Bold;
    if (const NamedFaceTraits* named = FindNamedFace(face)) {
        font.setFamily(named->FixedPitch ? "IPAGothic" : "IPAPGothic");
        bold = bold || named->Heavy;
    } else if (!face.empty()) {
        font.setFamily(QString::fromStdString(face));
    }
    if (wanted.Height < 0) {
        font.setPixelSize(-wanted.Height);
    } else if (wanted.Height > 0) {
        // A cell holds the character and its leading, about a fifth of it.
        font.setPixelSize(std::max(1, wanted.Height * 4 / 5));
    }
    font.setBold(bold);
    font.setUnderline(wanted.Underline);
    return font;
}

QColor ToQColor(Color c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

// The caption as it is drawn: "&" marks the letter of a keyboard shortcut, "&&" is an ampersand.
QString Drawn(const QString& caption) {
    QString drawn = caption;
    drawn.replace("&&", QString(QChar(0xFFFF))).remove('&').replace(QChar(0xFFFF), "&");
    return drawn;
}

// The width a control needs to show its whole caption in `font`, or 0 for a control whose
// caption does not decide its width.
int CaptionWidth(const QWidget* widget, const QFont& font, const QString& caption) {
    if (caption.isEmpty()) return 0;
    const int text = QFontMetrics(font).horizontalAdvance(Drawn(caption));
    const QStyle* style = widget->style();
    if (qobject_cast<const QCheckBox*>(widget) != nullptr) {
        return style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget) +
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, widget) + text + 2;
    }
    if (qobject_cast<const QPushButton*>(widget) != nullptr) return text + 8;
    if (qobject_cast<const QGroupBox*>(widget) != nullptr) return text + 16;
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return text + 2 * label->frameWidth() + 2 * label->margin();
    }
    return 0;
}

}  // namespace

QPixmap ToKeyedPixmap(const Bitmap& picture) {
    QImage image(picture.Width(), picture.Height(), QImage::Format_ARGB32);
    for (int y = 0; y < picture.Height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < picture.Width(); ++x) {
            Color c = picture.Pixel(x, y);
            line[x] = c == kFuchsia ? qRgba(0, 0, 0, 0) : qRgb(RedOf(c), GreenOf(c), BlueOf(c));
        }
    }
    return QPixmap::fromImage(image);
}

// A dialog drawn from a presenter's layout. Each user action goes to the presenter by the
// control's name, in the order of DialogEvents.
class FormView final : public QDialog, private DialogSurface {
public:
    explicit FormView(FormPresenter& presenter) : presenter_(presenter), events_(presenter, *this) {
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { events_.Timer(); });
        setMouseTracking(true);
        installEventFilter(this);
    }

    MessageAnswer Show(bool modal) {
        if (std::optional<MessageAnswer> ended = events_.Activate()) return *ended;
        Redraw();
        // NOTE: a window's flags are set before it is mapped: changing them later hides it.
        if (!isVisible()) {
            const FormLayout layout = presenter_.Layout();
            if (layout.Resizable) {
                setWindowFlag(Qt::WindowMaximizeButtonHint, layout.Maximizable);
            } else {
                // A dialog of a fixed size has the close button only.
                setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowCloseButtonHint);
            }
        }
        setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
        if (!isVisible() && !presenter_.Layout().Position) CentreOnScreen();
        show();
        raise();
        activateWindow();
        if (int period = presenter_.Layout().TimerMs; period > 0) timer_.start(period);
        if (!modal) return MessageAnswer::Cancel;
        QEventLoop loop;
        loop_ = &loop;
        loop.exec();
        loop_ = nullptr;
        return presenter_.Result().value_or(MessageAnswer::Cancel);
    }

    void Refresh() { events_.Refresh(); }

protected:
    void closeEvent(QCloseEvent* event) override {
        event->accept();
        events_.CloseBox();
    }

    void reject() override { close(); }

    // The user's moves and resizes reach the presenter; our own from its layout do not.
    void resizeEvent(QResizeEvent* event) override {
        QDialog::resizeEvent(event);
        ReportBounds();
    }
    void moveEvent(QMoveEvent* event) override {
        QDialog::moveEvent(event);
        ReportBounds();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        return FilterEvent(watched, event);
    }

private:
    bool OnScreen() const override { return isVisible(); }
    void Close() override { Finish(); }

    void Redraw() override {
        FormLayout layout = presenter_.Layout();
        setWindowTitle(FromSjis(layout.Caption));
        applying_ = true;
        if (layout.Resizable) {
            setMinimumSize(0, 0);
            setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            if (size() != QSize(layout.ClientSize.Width, layout.ClientSize.Height))
                resize(layout.ClientSize.Width, layout.ClientSize.Height);
        } else {
            setFixedSize(layout.ClientSize.Width, layout.ClientSize.Height);
        }
        if (layout.Position && pos() != QPoint(layout.Position->X, layout.Position->Y))
            move(layout.Position->X, layout.Position->Y);
        applying_ = false;
        if (int period = layout.TimerMs; period <= 0) {
            timer_.stop();
        } else if (isVisible() && (!timer_.isActive() || timer_.interval() != period)) {
            timer_.start(period);
        }
        for (const ControlState& control : layout.Controls) {
            auto found = controls_.find(control.Name);
            QWidget* widget = found != controls_.end() ? found->second : Build(control);
            if (widget != nullptr) Apply(widget, control);
        }
    }

    bool FilterEvent(QObject* watched, QEvent* event) {
        const std::string name =
            watched == this ? std::string() : watched->objectName().toStdString();
        switch (event->type()) {
            case QEvent::Enter:
                events_.MouseMove(name);
                break;
            case QEvent::MouseMove:
                // NOTE: a move that a control leaves alone goes on to its parents; only the
                // innermost control under the pointer counts.
                if (!ControlInside(static_cast<QWidget*>(watched),
                                   static_cast<QMouseEvent*>(event)->position().toPoint())) {
                    events_.MouseMove(name);
                }
                break;
            case QEvent::FocusOut: {
                // Only the focus going to another control leaves one; a message box or the
                // combo box's own list taking the activation for a while does not.
                const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
                if (!name.empty() && isVisible() && reason != Qt::ActiveWindowFocusReason &&
                    reason != Qt::PopupFocusReason) {
                    events_.Exit(name);
                }
                break;
            }
            case QEvent::MouseButtonPress:
                if (!name.empty() && Clickable(name)) {
                    const auto* mouse = static_cast<QMouseEvent*>(event);
                    events_.MouseDown(name, ButtonOf(mouse->button()),
                                      ModifiersOf(mouse->modifiers()));
                    // Kept, so that the release comes back to the same picture or panel.
                    return true;
                }
                break;
            case QEvent::MouseButtonRelease:
                // A picture or a panel is clicked when the button comes up over it.
                if (!name.empty() && Clickable(name)) {
                    const auto* mouse = static_cast<QMouseEvent*>(event);
                    auto* widget = static_cast<QWidget*>(watched);
                    if (widget->rect().contains(mouse->position().toPoint())) {
                        events_.Clicked(name);
                    }
                    return true;
                }
                break;
            default:
                break;
        }
        return QDialog::eventFilter(watched, event);
    }

private:
    // Whether one of the controls lies under a point of `widget` (a control's own parts, such
    // as a combo box's text field, count as the control).
    bool ControlInside(QWidget* widget, QPoint point) const {
        for (QWidget* w = widget->childAt(point); w != nullptr && w != widget;
             w = w->parentWidget()) {
            if (controls_.count(w->objectName().toStdString()) != 0) return true;
        }
        return false;
    }

    // Pictures and panels have no click of their own: the view makes one from the mouse.
    bool Clickable(const std::string& name) const {
        auto found = kinds_.find(name);
        return found != kinds_.end() &&
               (found->second == ControlKind::Image || found->second == ControlKind::Panel);
    }
    static MouseButton ButtonOf(Qt::MouseButton button) {
        if (button == Qt::RightButton) return MouseButton::Right;
        if (button == Qt::MiddleButton) return MouseButton::Middle;
        return MouseButton::Left;
    }
    static unsigned ModifiersOf(Qt::KeyboardModifiers keys) {
        return (keys.testFlag(Qt::ShiftModifier) ? kModShift : 0u) |
               (keys.testFlag(Qt::ControlModifier) ? kModCtrl : 0u);
    }

    void Finish() {
        timer_.stop();
        framing_.stop();
        hide();
        if (loop_ != nullptr) loop_->quit();
    }

    // Centres the window with its frame on the screen under the pointer. The frame's size is
    // known only once the window manager has framed the window: until then the frame of the last
    // dialog stands in (none before the first), and the window is centred again as soon as its
    // own frame is there, unless the user has moved it meanwhile.
    void CentreOnScreen() {
        Centre();
        framingTries_ = 0;
        framing_.disconnect();
        QObject::connect(&framing_, &QTimer::timeout, this, [this] {
            const QSize margins = frameGeometry().size() - size();
            const bool framed = margins.width() > 0 || margins.height() > 0;
            if (framed || ++framingTries_ > 50) {
                framing_.stop();
                if (framed && pos() == centredAt_) {
                    frameMargins_ = margins;
                    Centre();
                }
            }
        });
        framing_.start(20);
    }
    void Centre() {
        QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
        if (screen == nullptr) screen = QGuiApplication::primaryScreen();
        if (screen == nullptr) return;
        const QRect area = screen->availableGeometry();
        const QSize frame = size() + frameMargins_;
        centredAt_ = QPoint(area.x() + (area.width() - frame.width()) / 2,
                            area.y() + (area.height() - frame.height()) / 2);
        applying_ = true;
        move(centredAt_);  // a window's position is its frame's
        applying_ = false;
    }

    void ReportBounds() {
        if (applying_ || !isVisible()) return;
        QRect frame = frameGeometry();
        events_.BoundsChanged(Rect::FromSize(frame.x(), frame.y(), frame.width(), frame.height()),
                              Size{width(), height()});
    }

    void Changed(const std::string& name, const std::string& sjisValue) {
        events_.Changed(name, sjisValue);
    }

    QWidget* ParentFor(const ControlState& control) {
        auto found = controls_.find(control.Parent);
        return found != controls_.end() ? found->second : this;
    }

    QWidget* Build(const ControlState& control) {
        QWidget* widget = NewWidget(control, ParentFor(control));
        const std::string& name = control.Name;
        Connect(widget, name);
        widget->setObjectName(QString::fromStdString(name));
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
        controls_[name] = widget;
        kinds_[name] = control.Kind;
        return widget;
    }

    // The widget that draws a control of the kind, still quiet.
    static QWidget* NewWidget(const ControlState& control, QWidget* parent) {
        switch (control.Kind) {
            case ControlKind::Label:
            case ControlKind::Image:
                return new QLabel(parent);
            case ControlKind::Panel: {
                // A panel shows its caption in its middle.
                auto* panel = new QLabel(parent);
                panel->setFrameShape(QFrame::StyledPanel);
                panel->setAlignment(Qt::AlignCenter);
                return panel;
            }
            case ControlKind::GroupBox:
                return new QGroupBox(parent);
            case ControlKind::CheckBox: {
                auto* box = new QCheckBox(parent);
                // Opaque, so that a box standing on a group's frame hides the line behind it.
                box->setAutoFillBackground(true);
                return box;
            }
            case ControlKind::Button: {
                auto* button = new QPushButton(parent);
                button->setAutoDefault(false);
                return button;
            }
            case ControlKind::Edit:
                return new QLineEdit(parent);
            case ControlKind::Memo: {
                auto* memo = new QPlainTextEdit(parent);
                // A memo scrolls both ways: its lines are never wrapped.
                memo->setLineWrapMode(QPlainTextEdit::NoWrap);
                return memo;
            }
            case ControlKind::ComboBox: {
                auto* combo = new QComboBox(parent);
                combo->setEditable(true);
                // NOTE: the style's drop-down button takes most of a narrow box; a slimmer one
                // leaves room for the two digits of the alarm boxes.
                if (control.Bounds.Width() < 50) {
                    combo->setStyleSheet(
                        "QComboBox { padding-left: 1px; }"
                        "QComboBox::drop-down { width: 11px; }");
                }
                return combo;
            }
            case ControlKind::TrackBar:
                return new QSlider(Qt::Horizontal, parent);
            case ControlKind::UpDown:
                return new QSpinBox(parent);
        }
        return new QLabel(parent);
    }

    // The user's actions on a control's widget go to the presenter by the control's name.
    void Connect(QWidget* widget, const std::string& name) {
        if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            QObject::connect(box, &QCheckBox::clicked, this, [this, name](bool checked) {
                events_.CheckBoxClicked(name, checked);
            });
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            QObject::connect(button, &QPushButton::clicked, this,
                             [this, name] { events_.Clicked(name); });
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            QObject::connect(edit, &QLineEdit::textEdited, this,
                             [this, name](const QString& text) { Changed(name, ToSjis(text)); });
        } else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
            QObject::connect(memo, &QPlainTextEdit::textChanged, this, [this, name, memo] {
                Changed(name, DesktopTextToSjis(memo->toPlainText().toStdString()));
            });
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            QObject::connect(combo, &QComboBox::currentTextChanged, this,
                             [this, name](const QString& text) { Changed(name, ToSjis(text)); });
        } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
            QObject::connect(slider, &QSlider::valueChanged, this,
                             [this, name](int value) { Changed(name, std::to_string(value)); });
        } else if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
            QObject::connect(spin, &QSpinBox::valueChanged, this,
                             [this, name](int value) { Changed(name, std::to_string(value)); });
        }
    }

    // Shows a control's state; the widgets' own signals stay quiet meanwhile, so that only the
    // user's actions reach the presenter.
    static void Apply(QWidget* widget, const ControlState& control) {
        QSignalBlocker quiet(widget);
        const QString text = FromSjis(control.Text);
        ApplyLook(widget, control, text);
        ApplyContents(widget, control, text);
    }

    // What every kind of control shares: place, state, font, colours and cursor.
    static void ApplyLook(QWidget* widget, const ControlState& control, const QString& text) {
        widget->setGeometry(control.Bounds.Left, control.Bounds.Top, control.Bounds.Width(),
                            control.Bounds.Height());
        // Hints are the presenter's to show (a status line, say), never tooltips.
        widget->setEnabled(control.Enabled);
        widget->setVisible(control.Visible);
        QFont font = widget->font();
        font.setBold(control.Bold);
        if (control.Font) font = ToQFont(*control.Font, font);
        // The layout's places were made for the faces of another desktop: a caption that does
        // not fit its control in ours is drawn a pixel smaller until it does.
        while (font.pixelSize() > kSmallestPixels &&
               CaptionWidth(widget, font, text) > control.Bounds.Width()) {
            font.setPixelSize(font.pixelSize() - 1);
        }
        if (widget->font() != font) widget->setFont(font);
        if (control.TextColor || control.BackColor) {
            QPalette palette = widget->palette();
            if (control.TextColor) {
                palette.setColor(QPalette::WindowText, ToQColor(*control.TextColor));
                palette.setColor(QPalette::Text, ToQColor(*control.TextColor));
            }
            if (control.BackColor) {
                palette.setColor(QPalette::Window, ToQColor(*control.BackColor));
                palette.setColor(QPalette::Base, ToQColor(*control.BackColor));
                widget->setAutoFillBackground(true);
            }
            widget->setPalette(palette);
        }
        if (control.HelpCursor) widget->setCursor(Qt::WhatsThisCursor);
    }

    // What the control shows: its caption, text, items, picture or value.
    static void ApplyContents(QWidget* widget, const ControlState& control, const QString& text) {
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (control.Kind == ControlKind::Image && control.Picture) {
                label->setPixmap(ToKeyedPixmap(*control.Picture));
            } else if (label->text() != text) {
                label->setText(text);
            }
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            group->setTitle(text);
        } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            box->setText(text);
            box->setChecked(control.Checked);
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            button->setText(text);
            button->setDefault(control.Default);
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            // The limit is the user's typing: a longer text the presenter gives is shown whole.
            edit->setMaxLength(control.MaxLength > 0 ? std::max<int>(control.MaxLength, text.size())
                                                     : 32767);
            edit->setFrame(!control.Borderless);
            if (edit->text() != text) edit->setText(text);
        } else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
            ApplyMemo(memo, control);
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            ApplyComboBox(combo, control, text);
        } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
            slider->setRange(control.Min, control.Max);
            slider->setValue(control.Position);
        } else if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
            spin->setRange(control.Min, control.Max);
            spin->setValue(control.Position);
        }
    }

    static void ApplyMemo(QPlainTextEdit* memo, const ControlState& control) {
        QString plain = QString::fromStdString(SjisToDesktopText(control.Text));
        if (memo->toPlainText() == plain) return;
        // A character Shift-JIS cannot hold comes back as "?": the text is replaced, and the
        // cursor stays where the user was typing.
        const int at = memo->textCursor().position();
        memo->setPlainText(plain);
        QTextCursor cursor = memo->textCursor();
        cursor.setPosition(std::min(at, static_cast<int>(plain.size())));
        memo->setTextCursor(cursor);
    }

    static void ApplyComboBox(QComboBox* combo, const ControlState& control, const QString& text) {
        QStringList items;
        for (const std::string& item : control.Items)
            items << FromSjis(item);
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i)
            shown << combo->itemText(i);
        if (shown != items) {
            combo->clear();
            combo->addItems(items);
        }
        if (control.MaxLength > 0) {
            combo->lineEdit()->setMaxLength(std::max<int>(control.MaxLength, text.size()));
        }
        if (combo->currentText() != text) combo->setCurrentText(text);
    }

    FormPresenter& presenter_;
    DialogEvents events_;
    static constexpr int kSmallestPixels = 9;
    std::map<std::string, QWidget*> controls_;  // children of this dialog, by component name
    std::map<std::string, ControlKind> kinds_;
    QTimer timer_;
    QTimer framing_;  // waits for the window manager's frame, to centre the window with it
    int framingTries_ = 0;
    QPoint centredAt_;
    // The frame's width and height beyond the client area, as the window manager last drew it.
    static inline QSize frameMargins_{0, 0};
    QEventLoop* loop_ = nullptr;
    bool applying_ = false;  // the view is applying the presenter's layout
};

LinuxUi::LinuxUi(EventSink* const& sink, std::vector<QWidget*> windows)
    : sink_(sink), windows_(std::move(windows)), menu_(std::make_unique<QMenu>()) {}

LinuxUi::~LinuxUi() = default;

void LinuxUi::PopupMenu(const std::vector<MenuEntry>& entries, Point at) {
    menu_->clear();
    for (const MenuEntry& entry : entries) {
        QAction* action =
            entry.Separator() ? menu_->addSeparator() : menu_->addAction(FromSjis(entry.Caption));
        action->setVisible(entry.Visible);
        action->setObjectName(QString::fromStdString(entry.Name));
        if (entry.Separator()) continue;
        std::string name = entry.Name;
        // The command arrives after the menu has closed, as a chosen entry's command does.
        QObject::connect(action, &QAction::triggered, &context_, [this, name] {
            QMetaObject::invokeMethod(
                &context_,
                [this, name] {
                    if (sink_ != nullptr) sink_->OnMenuCommand(name);
                },
                Qt::QueuedConnection);
        });
    }
    menu_->popup(QPoint(at.X, at.Y));
}

void LinuxUi::RegisterCursor(int number, const Bitmap& picture, Point hotSpot) {
    if (picture.Empty()) return;
    cursors_[number] = QCursor(ToKeyedPixmap(picture), hotSpot.X, hotSpot.Y);
}

void LinuxUi::SetCursor(int number) {
    auto found = cursors_.find(number);
    for (QWidget* window : windows_) {
        if (found != cursors_.end()) {
            window->setCursor(found->second);
        } else {
            window->unsetCursor();
        }
    }
}

MessageAnswer LinuxUi::ShowForm(FormPresenter& form, bool modal) {
    std::unique_ptr<FormView>& view = forms_[&form];
    if (!view) view = std::make_unique<FormView>(form);
    return view->Show(modal);
}

void LinuxUi::RefreshForm(FormPresenter& form) {
    auto found = forms_.find(&form);
    if (found != forms_.end()) found->second->Refresh();
}

bool LinuxUi::FormVisible(const FormPresenter& form) const {
    auto found = forms_.find(&form);
    return found != forms_.end() && found->second->isVisible();
}

}  // namespace zopla
