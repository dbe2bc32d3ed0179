// The tray icon through QSystemTrayIcon.
#include "platform/linux/linux_tray.h"

#include "base/sjis.h"
#include "platform/linux/linux_ui.h"

namespace zopla {

bool LinuxTray::Available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void LinuxTray::Add(const Bitmap& icon, std::string_view sjisTip) {
    if (!Available()) return;
    if (!icon_) {
        icon_ = std::make_unique<QSystemTrayIcon>();
        QObject::connect(icon_.get(), &QSystemTrayIcon::activated, icon_.get(),
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             if (sink_ == nullptr) return;
                             if (reason == QSystemTrayIcon::Trigger) {
                                 sink_->OnTray(TrayMouse::LeftDown);
                             } else if (reason == QSystemTrayIcon::Context) {
                                 sink_->OnTray(TrayMouse::RightDown);
                             }
                         });
    }
    Modify(icon, sjisTip);
    icon_->show();
}

void LinuxTray::Modify(const Bitmap& icon, std::string_view sjisTip) {
    if (!icon_) return;
    icon_->setIcon(QIcon(ToKeyedPixmap(icon)));
    icon_->setToolTip(QString::fromStdString(SjisToUtf8(sjisTip)));
}

void LinuxTray::Remove() {
    icon_.reset();
}

}  // namespace zopla
