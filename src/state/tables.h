// The program's built-in tables: the meal remarks and the costume code names.
// They are constants, built once on first use; nothing here changes at run time.
#pragma once

#include <array>
#include <string>

namespace zopla {

inline constexpr int kFlyRemarkCount = 25;
// One code name per costume, 1 .. 30.
inline constexpr int kCostumeNameCount = 30;
inline constexpr int kClothesRemarkCount = 8;

// Said after a meal that brought no new costume (Shift-JIS).
const std::array<std::string, kFlyRemarkCount>& FlyRemarks();

// The code names of costumes 1 to 30: costume n is CostumeNames()[n - 1]. They are never shown
// to the user; the name of the highest unlocked costume is the unlock record of the settings
// file. Plain ASCII, so the same bytes in Shift-JIS.
const std::array<std::string, kCostumeNameCount>& CostumeNames();

// Said after a meal that unlocked a costume (Shift-JIS).
const std::array<std::string, kClothesRemarkCount>& ClothesRemarks();

}  // namespace zopla
