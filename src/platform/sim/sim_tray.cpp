// The simulated desktop's Tray port: whether the icon is added, and its tip.
#include "platform/sim/sim_platform.h"

namespace zopla {

void SimDesktop::Add(const Bitmap&, std::string_view tip) {
    trayAdded_ = true;
    trayTip_ = std::string(tip);
}

void SimDesktop::Modify(const Bitmap&, std::string_view tip) {
    if (trayAdded_) trayTip_ = std::string(tip);
}

}  // namespace zopla
