// The weapon number written into the mission files for each choice of the two lists, as
// the tests expect it: the launcher window's item values put through the weapon rule.
#pragma once

#include <cstdint>

// Rows: the sub-weapon list's entries; columns: the attribute list's entries.
inline constexpr int32_t kWeaponNumbers[12][4] = {
    // clang-format off
    {1,  10, 19, 28},
    {2,  11, 20, 29},
    {3,  12, 21, 30},
    {4,  13, 22, 31},
    {5,  14, 23, 32},
    {6,  15, 24, 33},
    {7,  16, 25, 34},
    {8,  17, 26, 35},
    {9,  18, 27, 36},
    {47, 48, 49, 50},
    {51, 52, 53, 54},
    {55, 56, 57, 58},
    // clang-format on
};

// Lists without a selection (-1): the item value -1 goes into the rule.
struct WeaponChoice {
  int32_t weapon;
  int32_t attribute;
  int32_t number;
};
inline constexpr WeaponChoice kWeaponNumbersWithoutSelection[] = {
    // clang-format off
    {-1, 0,  -1},
    {-1, 1,  8},
    {-1, 2,  17},
    {-1, 3,  26},
    {0,  -1, -17},
    {1,  -1, -16},
    {4,  -1, -13},
    {8,  -1, -9},
    {9,  -1, 45},
    {10, -1, 49},
    {11, -1, 53},
    {-1, -1, -19},
    // clang-format on
};
