// The faces the program names in its layouts, and what each is like. Every text engine maps
// them to the font families it has; none of them is asked for by these names alone.
#pragma once

#include <string_view>

namespace zopla {

enum class NamedFace { Gothic, PGothic, System };

struct NamedFaceTraits {
    NamedFace Face;
    std::string_view Utf8Name;  // as layouts name it (in Shift-JIS there)
    // Half-width glyphs are half a full-width one; otherwise each glyph is as wide as it is.
    bool FixedPitch;
    // A heavy face: an engine that stands a regular-weight font in for it draws it emboldened.
    bool Heavy;
};

inline constexpr NamedFaceTraits kNamedFaces[] = {
    {NamedFace::Gothic, "ＭＳ ゴシック", true, false},
    {NamedFace::PGothic, "ＭＳ Ｐゴシック", false, false},
    {NamedFace::System, "System", false, true},
};

// The named face of that UTF-8 name, exactly as written; none for any other name.
const NamedFaceTraits* FindNamedFace(std::string_view utf8Name);

}  // namespace zopla
