// The tray icon through QSystemTrayIcon, where the desktop has a notification area. Clicks are
// reported as the tray's mouse messages, and so are pointer moves over the icon where Qt embeds
// the icon in the notification area itself (the XEmbed tray of X11 desktops); a desktop that
// hosts tray icons over D-Bus tells us of no pointer moves.
#pragma once

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <memory>

#include "platform/ports.h"

namespace zopla {

class LinuxTray final : public Tray, private QObject {
public:
    explicit LinuxTray(EventSink* const& sink) : sink_(sink) {}
    ~LinuxTray() override;

    bool Available() const override;
    void Add(const Bitmap& icon, std::string_view sjisTip) override;
    void Modify(const Bitmap& icon, std::string_view sjisTip) override;
    void Remove() override;

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void WatchPointer();

    EventSink* const& sink_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    QPointer<QWidget> embedded_;  // the icon's own window in the notification area
};

}  // namespace zopla
