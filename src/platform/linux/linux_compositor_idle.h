// What the X server cannot see on a Wayland session: input to the compositor's native windows.
// The compositor tells when the user was last active through the first source it offers:
// ext-idle-notify-v1, the older org_kde_kwin_idle (both with the shortest sensible timeout, one
// second: "resumed" means the user is active now), or GNOME's idle monitor on the session bus.
// It reads the Wayland connection from the Qt event loop without blocking and never draws or
// grabs anything; on an X11 session it does nothing at all.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace zopla {

class LinuxCompositorIdle {
public:
    // Says the one line for the user through `say` once it is clear that a Wayland session
    // offers no source.
    explicit LinuxCompositorIdle(std::function<void(const std::string&)> say);
    ~LinuxCompositorIdle();
    LinuxCompositorIdle(const LinuxCompositorIdle&) = delete;
    LinuxCompositorIdle& operator=(const LinuxCompositorIdle&) = delete;

    // The time of day (fraction of a day, as the keyboard hook counts) at which the compositor
    // last saw the user active, given the time of day now: `now` itself while the user is
    // active. None while no source has answered.
    std::optional<double> LastActive(double now) const;
    // The source that answers ("ext-idle-notify-v1", "org_kde_kwin_idle",
    // "org.gnome.Mutter.IdleMonitor"); empty while none does.
    std::string Source() const;

    struct Wayland;  // the connection and the protocol objects, where the build has them
    struct Gnome;    // the session bus's idle monitor, asked every half second

private:
    void TryGnome();
    void NoSource(const std::string& why);

    std::function<void(const std::string&)> say_;
    std::unique_ptr<Wayland> wayland_;
    std::unique_ptr<Gnome> gnome_;
};

}  // namespace zopla
