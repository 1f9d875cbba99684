// The mission rewrite of a whole content held in memory: what the program's piece-by-piece
// rewrite of a mission file must give, for the tests, fuzz targets and benches to compare
// it with.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "launcher/CrLfLines.h"

// The first line that begins with "int PlayerWeapon2", if any.
std::optional<LineSpan> findWeaponLine(std::string_view content);

// The content with its first line that begins with "int PlayerWeapon2" replaced whole by
// the weapon line; every other byte stays, line breaks and zero bytes included. No value
// when the content holds no such line: the file is to be left untouched.
std::optional<std::string> patchMissionContent(std::string_view content, int32_t weaponNumber);
