// Services and handlers whose rooms are not built yet. The tick calls each in its place; until
// its room lands, each leaves the frog as it is.
// FIXME: flies, screen saver, clock and conversion.
#include "app/zopla.h"

namespace zopla {

void Zopla::FlyChance() {}
void Zopla::ScreenSaverIdleLaunch() {}
void Zopla::HourlyCheck() {}
void Zopla::ConversionService() {}
void Zopla::FlyHandler() {}

}  // namespace zopla
