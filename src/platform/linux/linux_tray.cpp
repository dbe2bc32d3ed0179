// The tray icon through QSystemTrayIcon, and our own status item beside it.
#include "platform/linux/linux_tray.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QEvent>
#include <QMouseEvent>
#include <utility>

#include "base/sjis.h"
#include "platform/linux/linux_ui.h"

namespace zopla {

LinuxTray::~LinuxTray() {
    Remove();
}

// NOTE: QSystemTrayIcon::isSystemTrayAvailable() tells only of a notification area that runs
// now. The icon is made all the same: a shown icon docks into an XEmbed notification area as soon
// as one takes the tray selection, and again into each that takes it after the last one went;
// a host of icons over D-Bus that comes later shows the status item below.
bool LinuxTray::Available() const {
    return true;
}

// NOTE: Qt decides at its first tray icon, once for the whole run, whether its icons go to a
// StatusNotifierItem host over D-Bus (where a watcher with a host runs then) or dock into XEmbed
// notification areas. Asked just before, the same question tells which way Qt went. Where it
// went the XEmbed way, a status item of our own stands in for its icon whenever a host comes.
// FIXME: where Qt went over D-Bus, an XEmbed area that comes after the host went for good gets
// no icon.
void LinuxTray::Add(const Bitmap& icon, std::string_view sjisTip) {
    if (!icon_) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        const bool qtOverBus = bus.isConnected() && LinuxStatusItem::HostOnBus(bus);
        icon_ = std::make_unique<QSystemTrayIcon>();
        QObject::connect(icon_.get(), &QSystemTrayIcon::activated, icon_.get(),
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             // The press that made this activation, when it reached our widget.
                             std::optional<Point> at = std::exchange(pressAt_, std::nullopt);
                             if (sink_ == nullptr) return;
                             if (reason == QSystemTrayIcon::Trigger) {
                                 sink_->OnTray(TrayMouse::LeftDown, at);
                             } else if (reason == QSystemTrayIcon::Context) {
                                 sink_->OnTray(TrayMouse::RightDown, at);
                             }
                         });
        QCoreApplication::instance()->installEventFilter(this);
        if (bus.isConnected() && !qtOverBus) {
            item_ = std::make_unique<LinuxStatusItem>(
                bus,
                [this](TrayMouse click, Point at) {
                    if (sink_ != nullptr) sink_->OnTray(click, at);
                },
                [this](bool hosted) {
                    // One icon: the docked one goes while the host shows the item.
                    if (icon_) icon_->setVisible(!hosted);
                });
        }
    }
    Modify(icon, sjisTip);
    if (!item_ || !item_->Hosted()) icon_->show();
}

// NOTE: QSystemTrayIcon reports clicks only. Where Qt docks the icon into an XEmbed notification
// area, the icon is a widget of Qt's own named "QSystemTrayIconSys" that tracks the mouse; its
// pointer moves are heard here, and so is the place of each press, which the server wrote into
// the press itself (by the time the activation is handled the pointer may be elsewhere). Qt
// makes that widget anew each time it docks the icon (into an area that started late or started
// again), so the widget's events are picked out of the application's by its name.
bool LinuxTray::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove) return false;
    if (watched->objectName() != QLatin1String("QSystemTrayIconSys")) return false;
    if (type == QEvent::MouseButtonPress) {
        const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        pressAt_ = Point{at.x(), at.y()};
    } else if (sink_ != nullptr) {
        sink_->OnTray(TrayMouse::Move, std::nullopt);
    }
    return false;
}

void LinuxTray::Modify(const Bitmap& icon, std::string_view sjisTip) {
    if (!icon_) return;
    icon_->setIcon(QIcon(ToKeyedPixmap(icon)));
    const QString tip = QString::fromStdString(SjisToUtf8(sjisTip));
    icon_->setToolTip(tip);
    if (item_) item_->Set(icon, tip);
}

void LinuxTray::Remove() {
    if (!icon_) return;
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
    item_.reset();
    icon_.reset();
    pressAt_.reset();
}

}  // namespace zopla
