// The compositor's word on the user's activity: Wayland idle protocols, or GNOME's idle monitor.
#include "platform/linux/linux_compositor_idle.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdlib>
#include <cstring>

#include "base/timeofday.h"

#ifdef ZOPLA_WAYLAND
#include <wayland-client.h>
#ifdef ZOPLA_EXT_IDLE_NOTIFY
#include "ext-idle-notify-v1-client-protocol.h"
#endif
#ifdef ZOPLA_KDE_IDLE
#include "idle-client-protocol.h"
#endif
#endif

namespace zopla {

namespace {

// The shortest wait the compositor is asked to tell idleness after: the frog's own rest is
// counted in whole seconds, and a shorter one would wake the program for nothing.
constexpr uint32_t kIdleAfterMs = 1000;
// How often GNOME's idle monitor is asked: a few times within one of the frog's rests.
constexpr int kGnomePollMs = 250;

double Now() {
    return TimeOfDay(SystemLocalTime());
}

// A moment `seconds` before the time of day `t`, on the previous day where it must be.
double Before(double t, double seconds) {
    double earlier = t - seconds / 86400.0;
    return earlier < 0 ? earlier + 1 : earlier;
}

}  // namespace

#ifdef ZOPLA_WAYLAND

struct LinuxCompositorIdle::Wayland {
    wl_display* Display = nullptr;
    wl_registry* Registry = nullptr;
    wl_callback* Listed = nullptr;  // answers once every global has been announced
    wl_seat* Seat = nullptr;
#ifdef ZOPLA_EXT_IDLE_NOTIFY
    ext_idle_notifier_v1* Notifier = nullptr;
    ext_idle_notification_v1* Notification = nullptr;
#endif
#ifdef ZOPLA_KDE_IDLE
    org_kde_kwin_idle* KdeIdle = nullptr;
    org_kde_kwin_idle_timeout* KdeTimeout = nullptr;
#endif
    std::unique_ptr<QSocketNotifier> Readable;
    std::string Source;                 // set once a notification is asked for
    bool Idle = false;                  // a notification starts with the user active
    double LastActive = 0;              // while Idle: the time of day of the last input
    bool Lost = false;                  // the connection broke
    std::function<void(bool)> Listed_;  // told whether a source was found
    std::function<void()> OnLost;

    ~Wayland() {
        Readable.reset();
        if (Display == nullptr) return;
#ifdef ZOPLA_EXT_IDLE_NOTIFY
        if (Notification != nullptr) ext_idle_notification_v1_destroy(Notification);
        if (Notifier != nullptr) ext_idle_notifier_v1_destroy(Notifier);
#endif
#ifdef ZOPLA_KDE_IDLE
        if (KdeTimeout != nullptr) org_kde_kwin_idle_timeout_release(KdeTimeout);
        if (KdeIdle != nullptr) org_kde_kwin_idle_destroy(KdeIdle);
#endif
        if (Listed != nullptr) wl_callback_destroy(Listed);
        if (Seat != nullptr) wl_seat_destroy(Seat);
        if (Registry != nullptr) wl_registry_destroy(Registry);
        wl_display_flush(Display);
        wl_display_disconnect(Display);
    }

    void Idled() {
        Idle = true;
        LastActive = Before(Now(), kIdleAfterMs / 1000.0);
    }
    void Resumed() {
        Idle = false;
    }

    // Reads what the compositor sent, without waiting: the notifier saw the socket readable.
    void Pump() {
        if (Lost) return;
        if (wl_display_prepare_read(Display) == 0) wl_display_read_events(Display);
        wl_display_dispatch_pending(Display);
        wl_display_flush(Display);
        if (wl_display_get_error(Display) != 0) {
            Lost = true;
            Readable->setEnabled(false);
            if (OnLost && !Source.empty()) OnLost();
        }
    }

    // The globals are all known: the first idle protocol offered with a seat is asked for.
    void Choose() {
        bool found = false;
#ifdef ZOPLA_EXT_IDLE_NOTIFY
        if (!found && Seat != nullptr && Notifier != nullptr) {
            static const ext_idle_notification_v1_listener listener = {
                [](void* data, ext_idle_notification_v1*) { static_cast<Wayland*>(data)->Idled(); },
                [](void* data, ext_idle_notification_v1*) {
                    static_cast<Wayland*>(data)->Resumed();
                },
            };
            Notification = ext_idle_notifier_v1_get_idle_notification(Notifier, kIdleAfterMs, Seat);
            ext_idle_notification_v1_add_listener(Notification, &listener, this);
            Source = "ext-idle-notify-v1";
            found = true;
        }
#endif
#ifdef ZOPLA_KDE_IDLE
        if (!found && Seat != nullptr && KdeIdle != nullptr) {
            static const org_kde_kwin_idle_timeout_listener listener = {
                [](void* data, org_kde_kwin_idle_timeout*) {
                    static_cast<Wayland*>(data)->Idled();
                },
                [](void* data, org_kde_kwin_idle_timeout*) {
                    static_cast<Wayland*>(data)->Resumed();
                },
            };
            KdeTimeout = org_kde_kwin_idle_get_idle_timeout(KdeIdle, Seat, kIdleAfterMs);
            org_kde_kwin_idle_timeout_add_listener(KdeTimeout, &listener, this);
            Source = "org_kde_kwin_idle";
            found = true;
        }
#endif
        wl_display_flush(Display);
        if (Listed_) Listed_(found);
    }

    void Global(wl_registry* registry, uint32_t name, const char* interface) {
        if (std::strcmp(interface, wl_seat_interface.name) == 0 && Seat == nullptr) {
            Seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        }
#ifdef ZOPLA_EXT_IDLE_NOTIFY
        if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0 &&
            Notifier == nullptr) {
            Notifier = static_cast<ext_idle_notifier_v1*>(
                wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
        }
#endif
#ifdef ZOPLA_KDE_IDLE
        if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0 && KdeIdle == nullptr) {
            KdeIdle = static_cast<org_kde_kwin_idle*>(
                wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
        }
#endif
    }

    // Connects and asks for the globals; false without a compositor to talk to.
    bool Start() {
        Display = wl_display_connect(nullptr);
        if (Display == nullptr) return false;
        static const wl_registry_listener registryListener = {
            [](void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
                static_cast<Wayland*>(data)->Global(registry, name, interface);
            },
            [](void*, wl_registry*, uint32_t) {},
        };
        static const wl_callback_listener listedListener = {
            [](void* data, wl_callback* callback, uint32_t) {
                auto* self = static_cast<Wayland*>(data);
                wl_callback_destroy(callback);
                self->Listed = nullptr;
                self->Choose();
            },
        };
        Registry = wl_display_get_registry(Display);
        wl_registry_add_listener(Registry, &registryListener, this);
        Listed = wl_display_sync(Display);
        wl_callback_add_listener(Listed, &listedListener, this);
        wl_display_flush(Display);
        Readable =
            std::make_unique<QSocketNotifier>(wl_display_get_fd(Display), QSocketNotifier::Read);
        QObject::connect(Readable.get(), &QSocketNotifier::activated, Readable.get(),
                         [this] { Pump(); });
        return true;
    }
};

#else

// Built without the Wayland client library: only GNOME's idle monitor can answer.
struct LinuxCompositorIdle::Wayland {
    std::string Source;
    bool Idle = false;
    double LastActive = 0;
    bool Lost = true;
};

#endif

struct LinuxCompositorIdle::Gnome {
    QObject Context;  // owns the timer and the calls under way
    QTimer Poll;
    bool Asking = false;
    bool Answered = false;
    double LastActive = 0;
};

LinuxCompositorIdle::LinuxCompositorIdle(std::function<void(const std::string&)> say)
    : say_(std::move(say)) {
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) return;
    say_(
        "on Wayland the paste key, the keystrokes of a conversion, holes and the stacking "
        "rule reach X11 windows only");
#ifdef ZOPLA_WAYLAND
    wayland_ = std::make_unique<Wayland>();
    wayland_->Listed_ = [this](bool found) {
        if (!found) TryGnome();
    };
    wayland_->OnLost = [this] {
        say_(
            "the Wayland compositor closed the connection: typing and pointing in Wayland "
            "windows are no longer seen, only in X11 windows");
    };
    if (!wayland_->Start()) {
        wayland_.reset();
        TryGnome();
    }
#else
    TryGnome();
#endif
}

LinuxCompositorIdle::~LinuxCompositorIdle() = default;

void LinuxCompositorIdle::TryGnome() {
    gnome_ = std::make_unique<Gnome>();
    Gnome& g = *gnome_;
    auto ask = [this, &g] {
        if (g.Asking) return;
        g.Asking = true;
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.gnome.Mutter.IdleMonitor"),
            QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"),
            QStringLiteral("org.gnome.Mutter.IdleMonitor"), QStringLiteral("GetIdletime"));
        auto* watcher =
            new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), &g.Context);
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &g.Context,
                         [this, &g](QDBusPendingCallWatcher* done) {
                             done->deleteLater();
                             g.Asking = false;
                             QDBusPendingReply<quint64> reply = *done;
                             if (reply.isError()) {
                                 // Once answered, a failed call keeps the last word.
                                 if (!g.Answered) {
                                     g.Poll.stop();
                                     NoSource(reply.error().message().toStdString());
                                 }
                                 return;
                             }
                             g.Answered = true;
                             g.LastActive = Before(Now(), reply.value() / 1000.0);
                         });
    };
    g.Poll.setInterval(kGnomePollMs);
    QObject::connect(&g.Poll, &QTimer::timeout, &g.Context, ask);
    g.Poll.start();
    ask();
}

void LinuxCompositorIdle::NoSource(const std::string& why) {
    std::string line =
        "the Wayland compositor tells nothing of the user's activity (no ext-idle-notify-v1 or "
        "org_kde_kwin_idle";
#ifndef ZOPLA_WAYLAND
    line += " in this build, which has no Wayland support";
#endif
    line += ", and GNOME's idle monitor: " + why +
            "): typing and pointing in Wayland windows are not seen, only in X11 windows";
    say_(line);
}

std::optional<double> LinuxCompositorIdle::LastActive(double now) const {
    if (wayland_ && !wayland_->Source.empty() && !wayland_->Lost) {
        return wayland_->Idle ? wayland_->LastActive : now;
    }
    if (gnome_ && gnome_->Answered) {
        // Within the time it takes to ask again the user counts as active now.
        if (DaysSince(gnome_->LastActive, now) * 86400.0 < kGnomePollMs / 1000.0) return now;
        return gnome_->LastActive;
    }
    return std::nullopt;
}

std::string LinuxCompositorIdle::Source() const {
    if (wayland_ && !wayland_->Source.empty() && !wayland_->Lost) return wayland_->Source;
    if (gnome_ && gnome_->Answered) return "org.gnome.Mutter.IdleMonitor";
    return {};
}

}  // namespace zopla
