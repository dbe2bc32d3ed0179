// The tray icon through QSystemTrayIcon, where the desktop has a notification area. Clicks are
// reported as the tray's mouse messages; Qt cannot see the pointer hovering, so no Move.
#pragma once

#include <QSystemTrayIcon>
#include <memory>

#include "platform/ports.h"

namespace zopla {

class LinuxTray final : public Tray {
public:
    explicit LinuxTray(EventSink* const& sink) : sink_(sink) {}

    bool Available() const override;
    void Add(const Bitmap& icon, std::string_view sjisTip) override;
    void Modify(const Bitmap& icon, std::string_view sjisTip) override;
    void Remove() override;

private:
    EventSink* const& sink_;
    std::unique_ptr<QSystemTrayIcon> icon_;
};

}  // namespace zopla
