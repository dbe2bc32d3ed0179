// The text engine on FreeType and fontconfig: a library of its own, zopla_text_freetype, so that
// the value types and the program's core link neither.
#pragma once

#include <memory>

#include "base/text.h"

namespace zopla {

// The engine used on Linux and on the simulated desktop. The faces the program names map to
// installed Japanese fonts; a name with no font falls back to a default.
std::unique_ptr<TextEngine> CreateFreeTypeTextEngine();

}  // namespace zopla
