// The record of each mission's original weapon line, kept in the game folder as the GBK text
// file "原版副武器.txt", so that the entry "各关原版" can write the game's own weapons back,
// and of the lines the launcher itself wrote, so that it tells its own lines from any other.
//
// The file: comment lines (beginning with "#") and blank lines, then one line per entry:
//
//   sn01_.pst<TAB>3<TAB>original<TAB>int PlayerWeapon2 = 3; // 副武器编号<TAB>~1c291ca3
//   sn01_.pst<TAB>4<TAB>written<TAB>int PlayerWeapon2 = 28;<TAB>~5e1e0b2a
//   end<TAB>4<TAB>~9b5f0e3d
//
// the mission file's name, the entry's number (1, 2, 3, … over the whole record), its kind,
// the line, and the line's check: "~" and the CRC-32 of every byte before the last tab in
// 8 lower-case hexadecimal digits. An "original" entry is a weapon line the launcher found
// in the mission and did not write; a "written" one is a line the launcher wrote (recorded
// before the mission is replaced). The last line, "end", gives the number of the last
// entry, so that a lost line anywhere is told. Every line is written with CR LF; CR LF, CR
// and LF all end a line when read, since a CR or LF inside a recorded line is always
// escaped: five bytes are written as two characters, "\\" for a backslash, "\r" and "\n"
// for a CR or LF, "\t" for a tab and "\0" for a zero byte.
//
// Older records have lines of two older forms, read as before in a record of those forms
// alone: the name, a tab, and the line (escaped without "\t"), or the name, a tab, a mark
// of the mission's version ("#", 16 hexadecimal digits, "-", a length) and a tab before the
// line. Such a line is an original; a second one for a mission supersedes the first when
// both carry marks and the marks differ, any other second one leaves the mission in doubt.
// A mission recorded only that way has its line taken as the launcher's when it has the
// launcher's exact form. The first write of such a record takes its lines over as entries;
// beside entries, a line of an older form is a damaged one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
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

// True when a line has the exact form of the lines the launcher writes:
// "int PlayerWeapon2 = <decimal number>;" and nothing else.
bool hasLauncherForm(std::string_view line);

// Who put a mission's weapon line there, as far as the record tells.
enum class LineOwner {
  launcher,  // the launcher wrote it
  other,     // the game, another program or a hand: the mission's original from now on
  unknown,   // a line of the launcher's form while the record of the mission is in doubt
};

enum class EntryKind { original, written };

// A line to be added to the record for mission `mission`.
struct RecordEntry {
  int32_t mission = 0;
  EntryKind kind = EntryKind::original;
  std::string line;
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
  // The recorded original of mission n; null when it has none.
  const std::string* original(int32_t n) const;
  // Who wrote `line`, mission n's weapon line as it is now.
  LineOwner owner(int32_t n, std::string_view line) const;
  // True when mission n's original is known from a line of an older record alone, which
  // the next write of the record takes over as an entry.
  bool olderOnly(int32_t n) const { return mission(n).original && mission(n).originalNumber == 0; }
  // The lines that cannot be understood, in order.
  const std::vector<DamagedRecordLine>& damagedLines() const { return damagedLines_; }
  // Entries are missing: a number skipped, or the last entries gone with the "end" line.
  bool linesMissing() const { return endMissing_ || !missingNumbers_.empty(); }
  // No mission in doubt: whatever is damaged or missing came before the original of each
  // mission it may concern, and the record may be written anew whole.
  bool sound() const;

  // Marks every mission in doubt (a record that cannot be read).
  void doubtAll() { allInDoubt_ = true; }

  friend OriginalWeapons readOriginalWeapons(std::string_view content);
  friend std::string recordWith(std::string_view content, const OriginalWeapons& record,
                                const std::vector<RecordEntry>& added);

 private:
  struct Mission {
    std::optional<std::string> original;
    uint32_t originalNumber = 0;           // of its "original" entry; 0 for an older record's line
    size_t originalPlace = 0;              // where that line stands in the record (its line number)
    std::optional<std::string> olderLine;  // an older record's line, kept as it stands
    std::string olderMark;                 // its version mark, "" for none
    bool hasEntries = false;               // any entry of the present form
    std::vector<std::string> written;      // the last two lines the launcher wrote, in order
    bool doubt = false;                    // an older record's lines contradict each other
  };
  bool inDoubt(int32_t n) const;
  const Mission& mission(int32_t n) const { return missions_[static_cast<size_t>(n - 1)]; }

  std::array<Mission, kMissionCount> missions_{};
  std::vector<DamagedRecordLine> damagedLines_;
  std::vector<uint32_t> missingNumbers_;  // entry numbers not found
  bool endMissing_ = false;               // entries may have been lost after the last one found
  uint32_t lastNumber_ = 0;               // the highest entry number found
  bool allInDoubt_ = false;
};

// Reads a record's content. Lines may end with CR LF, CR or LF.
OriginalWeapons readOriginalWeapons(std::string_view content);

// The content of the record with the entries added, each mission's in the order given. A
// sound record is written anew whole: the comment, each mission's original and the last two
// lines the launcher wrote to it, and the "end" line; a damaged or lost line then concerns
// no mission any more. Any other is kept byte for byte (its
// last line ended when it is not), with the entries and a new "end" line after it, so that
// nothing it holds is lost.
std::string recordWith(std::string_view content, const OriginalWeapons& record,
                       const std::vector<RecordEntry>& added);

// The original line in the form the record keeps it, and back (no value for a form that no
// line gives: a lone backslash, another letter after one, a CR or LF).
std::string escapeOriginalLine(std::string_view line);
std::optional<std::string> unescapeOriginalLine(std::string_view escaped);

// The CRC-32 (the polynomial of zip and PNG) of the bytes: the check of a record line.
uint32_t recordLineCheck(std::string_view bytes);
