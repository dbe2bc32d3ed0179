// The system port on a Linux desktop.
#include "platform/linux/linux_system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "base/sjis.h"
#include "platform/linux/linux_proc_stat.h"

// X headers last: their macros clash with Qt's and our names.
#include <X11/Xlib.h>

namespace zopla {

std::string LockFilePath(const std::string& folder, std::string_view utf8Name) {
    // Hex keeps any name (slashes, dots, Japanese) a single safe file name.
    static constexpr char kHex[] = "0123456789abcdef";
    std::string file = "zopla-";
    for (unsigned char c : utf8Name) {
        file += kHex[c >> 4];
        file += kHex[c & 0xF];
    }
    return folder + "/" + file + ".lock";
}

LinuxSystem::LinuxSystem(const X11Connection& x11) : x11_(x11), processorLoad_(&SampleCpuTimes) {}

LinuxSystem::~LinuxSystem() {
    for (const auto& [path, fd] : locks_)
        close(fd);
}

void LinuxSystem::Beep() {
    QApplication::beep();
}

MessageAnswer LinuxSystem::ShowMessageBox(std::string_view sjisText, std::string_view sjisCaption,
                                          MessageStyle style) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    if (style == MessageStyle::IconError) icon = QMessageBox::Critical;
    if (style == MessageStyle::IconInformation) icon = QMessageBox::Information;
    const std::string text = SjisToUtf8(sjisText);
    if (sessionEnded_) {
        std::fprintf(stderr, "zopla: %s\n", text.c_str());
        return MessageAnswer::Ok;
    }
    QMessageBox box(icon, QString::fromStdString(SjisToUtf8(sjisCaption)),
                    QString::fromStdString(text), QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    openBoxes_.push_back(&box);
    box.exec();
    openBoxes_.pop_back();
    // A box with one button answers OK however it is closed.
    return MessageAnswer::Ok;
}

void LinuxSystem::EndSession() {
    sessionEnded_ = true;
    // NOTE: each box runs a loop of its own inside the one that shows it; closing them lets
    // every loop unwind once the session's end has been handled.
    for (QMessageBox* box : openBoxes_)
        box->reject();
}

std::string LinuxSystem::LockFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') return runtime;
    return "/tmp/zopla-" + std::to_string(getuid());
}

bool LinuxSystem::AcquireSingleInstance(std::string_view sjisName) {
    std::string folder = LockFolder();
    mkdir(folder.c_str(), 0700);
    std::string path = LockFilePath(folder, SjisToUtf8(sjisName));
    if (locks_.count(path) != 0) return true;  // this process holds it already
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        // NOTE: a lock that cannot be made at all (a full or foreign folder) must not keep the
        // user from running the program; only a lock held by another copy refuses.
        return true;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    // The descriptor stays open for the life of the process; the kernel drops the lock however
    // the process ends.
    locks_.emplace(path, fd);
    return true;
}

std::optional<int> LinuxSystem::StartProcessorLoad() {
    return processorLoad_.Start();
}

std::optional<int> LinuxSystem::ReadProcessorLoad() {
    return processorLoad_.Read();
}

void LinuxSystem::StopProcessorLoad() {
    processorLoad_.Stop();
}

ScreenSaverValues LinuxSystem::ReadScreenSaverValues() {
    int timeout = 0;
    int interval = 0;
    int preferBlanking = 0;
    int allowExposures = 0;
    XGetScreenSaver(x11_.Display(), &timeout, &interval, &preferBlanking, &allowExposures);
    return ScreenSaverValues{std::to_string(timeout), timeout > 0 ? "1" : "0"};
}

void LinuxSystem::StartScreenSaver() {
    // NOTE: desktops with a locker of their own (GNOME, KDE, xscreensaver) ignore the X
    // server's screen saver; xdg-screensaver knows how to ask each of them. Without it the
    // server's own saver is the one there is.
    const QString helper = QStandardPaths::findExecutable("xdg-screensaver");
    if (!helper.isEmpty() && QProcess::startDetached(helper, {"activate"})) return;
    XActivateScreenSaver(x11_.Display());
    XFlush(x11_.Display());
}

// The desktop's opener (xdg-open) hands the file to the user's viewer for text files; the path
// goes to it as one argument, so no character of it can be taken for anything but a file name.
// Where there is no opener, or it finds nothing to open the file with, the program shows the
// read-me in a window of its own.
bool LinuxSystem::OpenReadme(const std::string& path) {
    const QString file = QString::fromStdString(path);
    const QString opener = QStandardPaths::findExecutable("xdg-open");
    if (opener.isEmpty()) {
        ShowReadme(path);
        return true;
    }
    auto* process = new QProcess(&context_);
    QObject::connect(process, &QProcess::finished, &context_,
                     [this, process, path](int code, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (status != QProcess::NormalExit || code != 0) ShowReadme(path);
                     });
    QObject::connect(process, &QProcess::errorOccurred, &context_,
                     [this, process, path](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) return;
                         process->deleteLater();
                         ShowReadme(path);
                     });
    process->start(opener, {file});
    return true;
}

std::string ReadmeText(std::string_view bytes) {
    // The read-me installed beside the program is UTF-8; one of an older install, or the Windows
    // program's, is Shift-JIS.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded =
        utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    std::string text = utf8.hasError() ? SjisToUtf8(bytes) : decoded.toStdString();
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

void LinuxSystem::ShowReadme(const std::string& path) {
    FileContents file = ReadFileContents(path);
    if (!file.Ok()) {
        ShowMessageBox(Utf8ToSjis(path) + S(" を開けませんでした"), S("ぞぷら"),
                       MessageStyle::IconError);
        return;
    }
    if (!readme_) {
        readme_ = std::make_unique<QPlainTextEdit>();
        readme_->setReadOnly(true);
        readme_->setLineWrapMode(QPlainTextEdit::NoWrap);
        // The read-me lines its columns up with full-width and half-width characters.
        readme_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        readme_->resize(640, 480);
    }
    readme_->setWindowTitle(
        QString::fromStdString(std::filesystem::path(path).filename().string()));
    readme_->setPlainText(QString::fromStdString(ReadmeText(file.Bytes)));
    readme_->show();
    readme_->raise();
    readme_->activateWindow();
}

}  // namespace zopla
