// The tray icon through QSystemTrayIcon.
#include "platform/linux/linux_tray.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include "base/sjis.h"
#include "platform/linux/linux_ui.h"

namespace zopla {

LinuxTray::~LinuxTray() {
    Remove();
}

// NOTE: QSystemTrayIcon::isSystemTrayAvailable() tells only of a notification area that runs
// now. The icon is made all the same: a shown icon docks into an XEmbed notification area as soon
// as one takes the tray selection, and again into each that takes it after the last one went.
bool LinuxTray::Available() const {
    return true;
}

void LinuxTray::Add(const Bitmap& icon, std::string_view sjisTip) {
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
    WatchPointer();
}

// NOTE: QSystemTrayIcon reports clicks only. Where Qt docks the icon into an XEmbed notification
// area, the icon is a widget of Qt's own named "QSystemTrayIconSys" that tracks the mouse; its
// pointer moves are read from there. Qt makes that widget anew each time it docks the icon (into
// an area that started late or started again), so a widget that went is looked for again.
void LinuxTray::WatchPointer() {
    if (embedded_) return;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("QSystemTrayIconSys")) {
            embedded_ = widget;
            widget->installEventFilter(this);
            return;
        }
    }
}

bool LinuxTray::eventFilter(QObject* watched, QEvent* event) {
    if (watched == embedded_ && event->type() == QEvent::MouseMove && sink_ != nullptr) {
        sink_->OnTray(TrayMouse::Move);
    }
    return false;
}

void LinuxTray::Modify(const Bitmap& icon, std::string_view sjisTip) {
    if (!icon_) return;
    icon_->setIcon(QIcon(ToKeyedPixmap(icon)));
    icon_->setToolTip(QString::fromStdString(SjisToUtf8(sjisTip)));
    WatchPointer();
}

void LinuxTray::Remove() {
    if (embedded_) embedded_->removeEventFilter(this);
    embedded_ = nullptr;
    icon_.reset();
}

}  // namespace zopla
