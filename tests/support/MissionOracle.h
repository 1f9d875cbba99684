// The weapon line of a whole content held in memory, found by walking it byte by byte from
// the rule alone: lines end at CR LF, LF or CR; the weapon line is the first line whose first
// bytes are "int PlayerWeapon2". A reference for the program's piece-by-piece search, for
// the tests, fuzz targets and benches to compare it with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct ReferenceLine {
  size_t begin = 0;     // its first byte
  size_t end = 0;       // one past its last byte, before its line break
  bool loneCr = false;  // it starts after a CR alone or ends at one
};

std::optional<ReferenceLine> referenceWeaponLine(std::string_view content);

// The content with its weapon line replaced whole by "int PlayerWeapon2 = <number>;", every
// other byte kept. No value when the content has no weapon line or that line is separated
// by a CR alone: the file is to be left untouched.
std::optional<std::string> patchMissionContent(std::string_view content, int32_t weaponNumber);
