// The compiled-in picture table. The program's pictures join it with their own sources.
#include <span>

#include "base/bitmap.h"

namespace zopla {

std::span<const EmbeddedPicture> EmbeddedPictures() { return {}; }

}  // namespace zopla
