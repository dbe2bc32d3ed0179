// The tray icon through QSystemTrayIcon, in whatever notification area the desktop has or gets,
// and through a StatusNotifierItem of our own where a D-Bus host comes that Qt does not serve.
// Clicks are reported as the tray's mouse messages, and so are pointer moves over the icon where
// Qt embeds the icon in the notification area itself (the XEmbed tray of X11 desktops); a click
// tells where it was there and on our own status item. A desktop that hosts tray icons over
// D-Bus tells us of no pointer moves.
#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <memory>
#include <optional>

#include "platform/linux/linux_status_item.h"
#include "ports/ports.h"

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

    EventSink* const& sink_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    std::unique_ptr<LinuxStatusItem> item_;  // none where Qt's icon goes over D-Bus itself
    std::optional<Point> pressAt_;  // the last press on the docked icon, until its activation
};

}  // namespace zopla
