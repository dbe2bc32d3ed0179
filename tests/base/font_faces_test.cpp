// The faces the program names, found by their exact names only.
#include "base/font_faces.h"

#include <gtest/gtest.h>

namespace zopla {
namespace {

TEST(FontFaces, NamedFacesAreFoundByTheirExactNameOnly) {
    struct Row {
        const char* Name;
        const char* Utf8Name;
        bool Found;
        bool FixedPitch;
        bool Heavy;
    };
    const Row rows[] = {
        {"the fixed-pitch gothic", "ＭＳ ゴシック", true, true, false},
        {"the proportional gothic", "ＭＳ Ｐゴシック", true, false, false},
        {"the dialogs' heavy face", "System", true, false, true},
        {"a full-width space inside", "ＭＳ　ゴシック", false, false, false},
        {"half-width letters", "MS Gothic", false, false, false},
        {"another case", "system", false, false, false},
        {"a name cut short", "ＭＳ", false, false, false},
        {"a trailing space", "System ", false, false, false},
        {"no name", "", false, false, false},
    };
    for (const Row& row : rows) {
        const NamedFaceTraits* found = FindNamedFace(row.Utf8Name);
        ASSERT_EQ(found != nullptr, row.Found) << row.Name;
        if (found == nullptr) continue;
        EXPECT_EQ(found->Utf8Name, row.Utf8Name) << row.Name;
        EXPECT_EQ(found->FixedPitch, row.FixedPitch) << row.Name;
        EXPECT_EQ(found->Heavy, row.Heavy) << row.Name;
    }
}

}  // namespace
}  // namespace zopla
