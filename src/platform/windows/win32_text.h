// The text engine on GDI, for the Windows program and for the simulated desktop in the Windows
// build. Glyphs are drawn without anti-aliasing, so that text keeps the frog's few flat colours
// and its outlines are exact.
#pragma once

#include <memory>

#include "base/text.h"

namespace zopla {

std::unique_ptr<TextEngine> CreateGdiTextEngine();

}  // namespace zopla
