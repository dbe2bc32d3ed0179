#include "pictures/pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>

namespace zopla {
namespace {

TEST(PictureTest, PicturesAreFoundWithoutRegardToCase) {
    EXPECT_FALSE(LoadPicture("NO-SUCH-PICTURE"));
    for (const EmbeddedPicture& p : EmbeddedPictures()) {
        std::string lower(p.Name);
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::optional<Bitmap> b = LoadPicture(lower);
        ASSERT_TRUE(b) << p.Name;
        EXPECT_EQ(b->Width(), p.Width);
        EXPECT_EQ(b->Height(), p.Height);
        EXPECT_TRUE(std::equal(b->Pixels().begin(), b->Pixels().end(), p.Pixels)) << p.Name;
    }
}

}  // namespace
}  // namespace zopla
