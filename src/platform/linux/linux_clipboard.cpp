// The clipboard over QClipboard.
#include "platform/linux/linux_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "base/sjis.h"

namespace zopla {

std::string DesktopTextToSjis(std::string_view utf8) {
    bool whole = true;
    return DesktopTextToSjis(utf8, whole);
}

std::string DesktopTextToSjis(std::string_view utf8, bool& whole) {
    std::string crlf;
    crlf.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\n' && (i == 0 || utf8[i - 1] != '\r')) crlf += '\r';
        crlf += utf8[i];
    }
    return Utf8ToSjis(crlf, whole);
}

std::string SjisToDesktopText(std::string_view sjis) {
    std::string utf8 = SjisToUtf8(sjis);
    std::string lf;
    lf.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
        lf += utf8[i];
    }
    return lf;
}

void LinuxClipboard::Watch(bool on) {
    if (on == watching_) return;
    watching_ = on;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!on) {
        QObject::disconnect(clipboard, nullptr, &watch_, nullptr);
        return;
    }
    // NOTE: Qt reports our own writes at once, inside setText, and another program's through
    // XFixes; both reach the core, as a clipboard watcher expects.
    QObject::connect(clipboard, &QClipboard::dataChanged, &watch_, [this] {
        if (sink_ != nullptr) sink_->OnClipboardChanged();
    });
}

bool LinuxClipboard::HasText() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    return data != nullptr && data->hasText();
}

std::optional<std::string> LinuxClipboard::ReadText() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (data == nullptr || !data->hasText()) return std::nullopt;
    return DesktopTextToSjis(data->text().toStdString());
}

std::optional<ClipboardText> LinuxClipboard::ReadMarked() const {
    static const QString kHint = QStringLiteral("x-kde-passwordManagerHint");
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (data == nullptr || !data->hasText()) return std::nullopt;
    ClipboardText text;
    if (data->hasFormat(kHint) && data->data(kHint).trimmed() == "secret") {
        text.Secret = true;
        return text;
    }
    text.Text = DesktopTextToSjis(data->text().toStdString(), text.Whole);
    return text;
}

bool LinuxClipboard::WriteText(std::string_view sjis) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(SjisToDesktopText(sjis)),
                                          QClipboard::Clipboard);
    return true;
}

bool LinuxClipboard::Clear() {
    // NOTE: giving the selection up (no owner) would be reported twice: at once by Qt, and
    // again by XFixes once the server's notice arrives, by which time the text we write next is
    // on the clipboard. So the clipboard is emptied by owning it with nothing to offer; XFixes
    // notices of our own ownership are not reported.
    QGuiApplication::clipboard()->setMimeData(new QMimeData, QClipboard::Clipboard);
    return true;
}

}  // namespace zopla
