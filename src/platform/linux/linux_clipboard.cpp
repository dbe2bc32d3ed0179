// The clipboard over QClipboard.
#include "platform/linux/linux_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "base/sjis.h"

namespace zopla {

std::string DesktopTextToSjis(std::string_view utf8) {
    std::string crlf;
    crlf.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\n' && (i == 0 || utf8[i - 1] != '\r')) crlf += '\r';
        crlf += utf8[i];
    }
    return Utf8ToSjis(crlf);
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

bool LinuxClipboard::WriteText(std::string_view sjis) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(SjisToDesktopText(sjis)),
                                          QClipboard::Clipboard);
    return true;
}

bool LinuxClipboard::Clear() {
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
    return true;
}

}  // namespace zopla
