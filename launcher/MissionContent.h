// The mission weapon rewrite, apart from any file: the weapon number of two list choices,
// its line and the mission files' names. (The rewrite itself goes through the file piece by
// piece: launcher/WeaponLineSearch.)
#pragma once

#include <cstdint>
#include <string>

#include "services/Text.h"

// The weapon number for the item values of the chosen sub-weapon and attribute (-1 for a
// list without a selection): A + 9 * (B - 1) for the sub-weapons up to 9, A + B - 1 for
// those above 9, worked in double precision and truncated as toInteger does.
int32_t weaponNumber(int32_t weaponValue, int32_t attributeValue);

// "int PlayerWeapon2 = <number>;"
Text weaponLine(int32_t weaponNumber);

// The name of mission file n (1..20) after the run directory: "\Level\snNN_.pst".
Text missionFileName(int32_t n);
