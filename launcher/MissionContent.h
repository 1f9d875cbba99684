// The mission weapon rewrite, apart from any file: the weapon number of two list choices
// and the new content of one mission file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "launcher/CrLfLines.h"
#include "services/Text.h"

// The weapon number for the item values of the chosen sub-weapon and attribute (-1 for a
// list without a selection): A + 9 * (B - 1) for the sub-weapons up to 9, A + B - 1 for
// those above 9, worked in double precision and truncated as toInteger does.
int32_t weaponNumber(int32_t weaponItem, int32_t attributeItem);

// "int PlayerWeapon2 = <number>;"
Text weaponLine(int32_t weaponNumber);

// The name of mission file n (1..20) after the run directory: "\Level\snNN_.pst".
Text missionFileName(int32_t n);

// The first line that begins with "int PlayerWeapon2", if any.
std::optional<LineSpan> findWeaponLine(std::string_view content);

// The content with its first line that begins with "int PlayerWeapon2" replaced whole by
// the weapon line; every other byte stays, line breaks and zero bytes included. No value
// when the content holds no such line: the file is to be left untouched.
std::optional<std::string> patchMissionContent(std::string_view content, int32_t weaponNumber);
