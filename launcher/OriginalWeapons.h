// The record of each mission's original weapon line, kept in the game folder as the GBK text
// file "原版副武器.txt", so that the entry "各关原版" can write the game's own weapons back.
//
// The file: comment lines (beginning with "#") and blank lines, then one line per mission:
// the mission file's name ("sn01_.pst"), a tab, the mark of the mission's version (below)
// and a tab, and the weapon line exactly as it was, its bytes kept except four that cannot
// stand in a line or would be ambiguous, written as "\\" (a backslash), "\r" (CR), "\n" (LF)
// and "\0" (a zero byte). The mark is "#", the 64-bit FNV-1a hash of every byte of the
// mission file but the weapon line's own in 16 lower-case hexadecimal digits, "-" and the
// number of those bytes in decimal: what the launcher never changes, so that a file with
// other bytes is another version of the mission. Older records have lines without the mark
// (the weapon line right after the first tab); they are read as before and never get one.
// Lines end with CR LF when written; CR LF, CR and LF all end a line when read, since a CR
// or LF inside a recorded line is always escaped.
// A line, once written, is never changed: new lines are appended after the others. A later
// marked line for a mission supersedes the one before it when that one is marked too, with
// another mark (the mission was replaced by another version); any other second line for a
// mission leaves its record in doubt.
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

// What sets a version of a mission file apart: the bytes around its weapon line.
struct MissionVersion {
  uint64_t hash = 0;    // 64-bit FNV-1a of the bytes before the weapon line and after it
  uint64_t length = 0;  // how many bytes those are
  friend bool operator==(const MissionVersion&, const MissionVersion&) = default;
};

// The running hash of a mission's version over its bytes given in pieces.
class VersionHash {
 public:
  void add(std::string_view bytes);
  MissionVersion version() const { return version_; }

 private:
  MissionVersion version_{0xcbf29ce484222325ull, 0};
};

// A mission's recorded original line, with the version it was taken from (none in the
// lines of older records).
struct RecordedOriginal {
  std::string line;
  std::optional<MissionVersion> version;
};

// A line of the record that cannot be understood: its number (from 1, every CR LF, CR or
// LF ending one) and the mission it names (0 for none).
struct DamagedRecordLine {
  int32_t number = 0;
  int32_t mission = 0;
};

// What a record's content says about each mission (numbered 1 to 20).
class OriginalWeapons {
 public:
  // The recorded original of mission n, its last sound line; null when it has none or it
  // is damaged.
  const RecordedOriginal* original(int32_t n) const;
  // True when the record cannot be trusted for mission n: one of its lines does not parse
  // or is there twice, or the record holds a line that names no mission (then every
  // mission).
  bool damaged(int32_t n) const;
  // True when mission n has a line in the record, sound or not.
  bool listed(int32_t n) const { return damaged(n) || original(n) != nullptr; }
  // The lines that cannot be understood, in order. A record with any is damaged: no line
  // may be added to it, as one of them may be the lost line of a mission.
  const std::vector<DamagedRecordLine>& damagedLines() const { return damagedLines_; }
  bool extendable() const { return damagedLines_.empty() && !allDamaged_; }

  // Marks every mission damaged (a record that cannot be read).
  void damageAll() { allDamaged_ = true; }

  friend OriginalWeapons readOriginalWeapons(std::string_view content);

 private:
  std::array<std::optional<RecordedOriginal>, kMissionCount> lines_;
  std::array<bool, kMissionCount> damaged_{};
  std::vector<DamagedRecordLine> damagedLines_;
  bool allDamaged_ = false;
};

// Reads a record's content. Lines may end with CR LF, CR or LF.
OriginalWeapons readOriginalWeapons(std::string_view content);

// The record's line for mission n with its original weapon line and the version it was
// taken from, CR LF included.
std::string originalWeaponRecordLine(int32_t n, const RecordedOriginal& original);

// The content of the record with lines for further missions (or further versions of
// missions) appended: the content before stays byte for byte (its last line is ended when
// it is not); an empty content first gets the comment that says what the file is.
std::string withOriginalWeapons(std::string_view content,
                                const std::vector<std::pair<int32_t, RecordedOriginal>>& added);

// The original line in the form the record keeps it, and back (no value for a form that no
// line gives: a lone backslash, another letter after one, a CR or LF).
std::string escapeOriginalLine(std::string_view line);
std::optional<std::string> unescapeOriginalLine(std::string_view escaped);
