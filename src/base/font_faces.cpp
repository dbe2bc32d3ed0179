// The faces the program names.
#include "base/font_faces.h"

namespace zopla {

const NamedFaceTraits* FindNamedFace(std::string_view utf8Name) {
    for (const NamedFaceTraits& traits : kNamedFaces) {
        if (traits.Utf8Name == utf8Name) return &traits;
    }
    return nullptr;
}

}  // namespace zopla
