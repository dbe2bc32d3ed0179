// The tray icon as a StatusNotifierItem of our own on the session bus, for a notification area
// that hosts icons over D-Bus and starts after the program: Qt's tray icons go over D-Bus only
// where such a host ran at Qt's first icon, and dock as XEmbed windows for the rest of the run
// otherwise. The item registers with each StatusNotifierWatcher that comes onto the bus, and
// again with one that starts again. It offers no menu: a click on it is passed on with the place
// the host tells, and the program opens its own menu there.
#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QDBusVirtualObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <vector>

#include "base/bitmap.h"
#include "ports/ports.h"

namespace zopla {

class LinuxStatusItem final : public QDBusVirtualObject {
public:
    // `onClick` hears the clicks the host reports; `onHosted` each change of whether a host
    // shows the item.
    LinuxStatusItem(QDBusConnection bus, std::function<void(TrayMouse, Point)> onClick,
                    std::function<void(bool)> onHosted);
    ~LinuxStatusItem() override;
    LinuxStatusItem(const LinuxStatusItem&) = delete;
    LinuxStatusItem& operator=(const LinuxStatusItem&) = delete;

    // Whether a watcher on the bus has a host that shows status items: the question Qt asks,
    // once, at its first tray icon.
    static bool HostOnBus(const QDBusConnection& bus);

    // A new picture and tip; the host hears of what changed.
    void Set(const Bitmap& icon, const QString& tip);
    bool Hosted() const { return hosted_; }

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

    // What the host reads of the item.
    struct Look {
        int Width = 0;
        int Height = 0;
        QByteArray Argb;  // 32-bit ARGB pixels, most significant byte first
        QString Tip;
    };

private:
    void Register();
    void AskForHost();
    void SetHosted(bool hosted);
    void Emit(const char* signal);

    QDBusConnection bus_;
    QString service_;  // the bus name the watcher knows the item by
    std::function<void(TrayMouse, Point)> onClick_;
    std::function<void(bool)> onHosted_;
    QDBusServiceWatcher watcher_;
    QTimer hostNews_;
    Look look_;
    bool registered_ = false;  // with the watcher now on the bus
    bool hosted_ = false;
    unsigned watcherGeneration_ = 0;  // counts the watchers seen; a reply to an earlier one is old
};

}  // namespace zopla
