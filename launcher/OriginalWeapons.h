// The record of each mission's original weapon line, kept in the game folder as the GBK text
// file "原版副武器.txt", so that the entry "各关原版" can write the game's own weapons back.
//
// The file: comment lines (beginning with "#") and blank lines, then one line per mission:
// the mission file's name ("sn01_.pst"), a tab, and the weapon line exactly as it was, its
// bytes kept except four that cannot stand in a line or would be ambiguous, written as
// "\\" (a backslash), "\r" (CR), "\n" (LF) and "\0" (a zero byte). Lines end with CR LF.
// A line, once written, is never changed: new missions are appended after the others.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "LauncherTemplate.h"

// The item value of the entry "各关原版", the last of the sub-weapon list, as the window
// template gives it: no weapon number of the game. Choosing it writes back the recorded
// lines instead of a weapon number.
inline constexpr int32_t originalWeaponsItem =
    launcher_entries::weaponList[std::size(launcher_entries::weaponList) - 1].itemValue;

// No other entry may share it, or choosing that entry would restore too.
constexpr bool onlyTheOriginalsEntryHasItsItemValue() {
  for (size_t i = 0; i + 1 < std::size(launcher_entries::weaponList); ++i) {
    if (launcher_entries::weaponList[i].itemValue == originalWeaponsItem) return false;
  }
  return true;
}
static_assert(onlyTheOriginalsEntryHasItsItemValue());

inline constexpr int32_t kMissionCount = 20;

// What a record's content says about each mission (numbered 1 to 20).
class OriginalWeapons {
 public:
  // The recorded original line of mission n; null when it has none or it is damaged.
  const std::string* original(int32_t n) const;
  // True when the record cannot be trusted for mission n: its line does not parse, it is
  // there twice, or the record holds a line that names no mission (then every mission).
  bool damaged(int32_t n) const;
  // True when mission n has a line in the record, sound or not.
  bool listed(int32_t n) const { return damaged(n) || original(n) != nullptr; }

  // Marks every mission damaged (a record that cannot be read).
  void damageAll() { allDamaged_ = true; }

  friend OriginalWeapons readOriginalWeapons(std::string_view content);

 private:
  std::array<std::optional<std::string>, kMissionCount> lines_;
  std::array<bool, kMissionCount> damaged_{};
  bool allDamaged_ = false;
};

// Reads a record's content. Lines may end with CR LF or with LF alone.
OriginalWeapons readOriginalWeapons(std::string_view content);

// The record's line for mission n with its original weapon line, CR LF included.
std::string originalWeaponRecordLine(int32_t n, std::string_view original);

// The content of the record with lines for further missions appended: the content before
// stays byte for byte (its last line is ended when it is not); an empty content
// first gets the comment that says what the file is.
std::string withOriginalWeapons(std::string_view content,
                                const std::vector<std::pair<int32_t, std::string>>& added);

// The original line in the form the record keeps it, and back (no value for a form that no
// line gives: a lone backslash, another letter after one, a CR or LF).
std::string escapeOriginalLine(std::string_view line);
std::optional<std::string> unescapeOriginalLine(std::string_view escaped);
