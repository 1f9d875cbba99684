#include "launcher/MissionWeaponPatch.h"

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "GbkTexts.h"
#include "launcher/MissionContent.h"
#include "launcher/OriginalWeapons.h"
#include "launcher/WeaponLineSearch.h"
#include "services/FileReading.h"
#include "services/FileReplacement.h"
#include "services/Wide.h"

namespace {

// Mission files are read a megabyte at a time, through one area for the whole apply.
constexpr size_t kPieceSize = 1 << 20;

int32_t chosenItem(LauncherControls& controls, LauncherList list) {
  return controls.itemValue(list, controls.selection(list));
}

// The weapon line of the open file, read from its start; no value in `line` when it has
// none. When the whole line lay in the file's first piece, `first` is that piece, still in
// the read area, and the reader stands right after it. False when the file could not be
// read.
bool searchWeaponLine(FileReader& reader, WeaponLineSearch& search,
                      std::optional<std::string_view>& first) {
  for (bool firstPiece = true;; firstPiece = false) {
    const std::optional<std::string_view> piece = reader.next();
    if (!piece) return false;
    if (piece->empty()) break;
    if (search.take(*piece)) {
      if (firstPiece) first = piece;
      break;
    }
  }
  search.finish();
  return true;
}

// Appends the next `count` bytes of the file, or all the rest with UINT64_MAX.
bool copyBytes(FileReader& reader, FileReplacement& out, uint64_t count) {
  while (count > 0) {
    const std::optional<std::string_view> piece = reader.next(count);
    if (!piece) return false;
    if (piece->empty()) return count == UINT64_MAX;
    if (!out.append(*piece)) return false;
    if (count != UINT64_MAX) count -= piece->size();
  }
  return true;
}

enum class MissionOutcome { noLine, unchanged, written, notWritten };

// Puts `replacement` in place of the weapon line of mission file `name`. A file whose
// weapon line already reads so is not written; one that needs the change while `blocked`
// holds a cause is left as it is and listed with that cause. Each file that could not be
// read or rewritten is added to unwritten with its full name and cause.
MissionOutcome rewriteWeaponLine(FileReader& reader, Path name, std::string_view replacement,
                                 FileFault blocked, std::vector<UnwrittenFile>& unwritten) {
  // A mission that is there but cannot be read (held by another program, a folder of
  // that name) keeps its old weapon: the user is told as for a failed write.
  WeaponLineSearch search;
  search.keepHead(replacement.size() + 1);
  FileFault fault = FileFault::none;
  std::optional<std::string_view> first;
  if (!reader.open(name, &fault) || !searchWeaponLine(reader, search, first)) {
    if (fault == FileFault::none) fault = FileFault::unreadable;
    unwritten.push_back({std::move(name), fault});
    return MissionOutcome::notWritten;
  }
  const std::optional<LineSpan> line = search.line();
  if (!line) return MissionOutcome::noLine;
  // A file whose weapon line already holds the replacement is already right: not written.
  if (search.head() == replacement) return MissionOutcome::unchanged;
  if (blocked != FileFault::none) {
    reader.close();
    unwritten.push_back({std::move(name), blocked});
    return MissionOutcome::notWritten;
  }
  // The new content is the part before the weapon line, the new line and the part after
  // it. A line in the first piece (a whole small file) is written around from that piece
  // and the rest read on; otherwise the file is read a second time, as nobody can have
  // written it in between.
  FileReplacement patched(name);
  const bool copied =
      first ? patched.append(first->substr(0, line->begin)) && patched.append(replacement) &&
                  patched.append(first->substr(line->end)) && copyBytes(reader, patched, UINT64_MAX)
            : reader.seek(0) && copyBytes(reader, patched, line->begin) &&
                  patched.append(replacement) && reader.seek(line->end) &&
                  copyBytes(reader, patched, UINT64_MAX);
  reader.close();
  // A read that failed part-way leaves the file as it was, as one that could not be read.
  if (!copied && patched.fault() == FileFault::none) {
    unwritten.push_back({std::move(name), FileFault::unreadable});
    return MissionOutcome::notWritten;
  }
  if (!copied || !patched.commit()) {
    unwritten.push_back({std::move(name), patched.fault()});
    return MissionOutcome::notWritten;
  }
  return MissionOutcome::written;
}

// Adds the bytes of the open file from its current place to the hash: the next `count`,
// or all the rest with UINT64_MAX.
bool hashBytes(FileReader& reader, VersionHash& hash, uint64_t count) {
  while (count > 0) {
    const std::optional<std::string_view> piece = reader.next(count);
    if (!piece) return false;
    if (piece->empty()) return count == UINT64_MAX;
    hash.add(*piece);
    if (count != UINT64_MAX) count -= piece->size();
  }
  return true;
}

// A mission file as the record needs it: its whole weapon line (none when it has none) and
// its version, the bytes around that line.
struct MissionLook {
  std::optional<std::string> line;
  MissionVersion version;
};

// Reads mission file `name` for the record; no value, with the cause in `fault`, when it
// could not be read.
std::optional<MissionLook> lookAtMission(FileReader& reader, const Path& name, FileFault& fault) {
  WeaponLineSearch search;
  search.keepHead(std::numeric_limits<size_t>::max());
  std::optional<std::string_view> first;
  fault = FileFault::none;
  MissionLook look;
  bool read = reader.open(name, &fault) && searchWeaponLine(reader, search, first);
  const std::optional<LineSpan> span = search.line();
  if (read && span) {
    VersionHash hash;
    read = reader.seek(0) && hashBytes(reader, hash, span->begin) && reader.seek(span->end) &&
           hashBytes(reader, hash, UINT64_MAX);
    look.line = search.head();
    look.version = hash.version();
  }
  reader.close();
  if (!read) {
    if (fault == FileFault::none) fault = FileFault::unreadable;
    return std::nullopt;
  }
  return look;
}

// The record of the originals as the apply found it, and why a mission may not be
// changed for its sake.
struct Record {
  Path name;
  std::string content;
  OriginalWeapons originals;
  bool unreadable = false;
  std::array<bool, kMissionCount> unwritten{};   // a new line for the mission failed
  std::array<bool, kMissionCount> unrecorded{};  // it needs a new line the record cannot take

  FileFault blocks(int32_t n) const {
    const size_t slot = static_cast<size_t>(n - 1);
    if (unreadable || unwritten[slot]) return FileFault::recordUnavailable;
    if (originals.damaged(n) || unrecorded[slot]) return FileFault::recordDamaged;
    return FileFault::none;
  }
  // Lines may be added: the record was read and holds no line it cannot understand.
  bool extendable() const { return !unreadable && originals.extendable(); }
};

Record readRecord(const Path& runDirectory, std::vector<UnwrittenFile>& unwritten) {
  Record record{withName(runDirectory, gbk::originalWeaponsFileName), {}, {}, false, {}, {}};
  if (!fileExists(record.name)) return record;
  FileFault fault = FileFault::none;
  std::optional<ByteBuffer> content = tryReadFile(record.name, &fault);
  if (!content) {
    record.unreadable = true;
    unwritten.push_back({record.name, fault});
    return record;
  }
  record.content = std::move(content->bytes);
  record.originals = readOriginalWeapons(record.content);
  return record;
}

// Appends the new lines to the record, written in one step and flushed to the disk. False,
// with the record listed, when it could not be written.
bool addToRecord(Record& record, const std::vector<std::pair<int32_t, RecordedOriginal>>& added,
                 std::vector<UnwrittenFile>& unwritten) {
  FileFault fault = FileFault::none;
  const ByteBuffer content{withOriginalWeapons(record.content, added)};
  if (writeFile(record.name, content, &fault)) return true;
  unwritten.push_back({record.name, fault});
  return false;
}

// A mission replaced by another version since its original was recorded: the version it
// is now, whose weapon line is its original from now on. No value for the version recorded,
// for a record line of an older record (which tells no version) and for a mission without a
// weapon line.
std::optional<RecordedOriginal> newVersion(const RecordedOriginal& recorded,
                                           const MissionLook& look) {
  if (!recorded.version || !look.line || look.version == *recorded.version) return std::nullopt;
  return RecordedOriginal{*look.line, look.version};
}

// Writes each mission's recorded original back over its weapon line. A mission without a
// record was never changed and stays as it is; one that is another version now than the
// one recorded keeps its weapon line, which is recorded as its original.
void restoreOriginals(const Path& runDirectory, Record& record,
                      std::vector<UnwrittenFile>& unwritten) {
  FileReader reader(kPieceSize);
  std::vector<std::pair<int32_t, RecordedOriginal>> added;
  for (int32_t n = 1; n <= kMissionCount; ++n) {
    Path name = withName(runDirectory, missionFileName(n));
    if (!fileExists(name)) continue;
    const FileFault blocked = record.blocks(n);
    if (blocked != FileFault::none) {
      unwritten.push_back({std::move(name), blocked});
      continue;
    }
    const RecordedOriginal* original = record.originals.original(n);
    if (original == nullptr) continue;
    if (original->version) {
      FileFault fault = FileFault::none;
      const std::optional<MissionLook> look = lookAtMission(reader, name, fault);
      if (!look) {
        unwritten.push_back({std::move(name), fault});
        continue;
      }
      std::optional<RecordedOriginal> replaced = newVersion(*original, *look);
      if (replaced) {
        // Its line is its original and stays; a record that takes no new line lists it.
        if (record.extendable()) {
          added.emplace_back(n, std::move(*replaced));
        } else {
          unwritten.push_back({std::move(name), FileFault::recordDamaged});
        }
        continue;
      }
    }
    // A recorded mission that has lost its weapon line cannot take its original back.
    if (rewriteWeaponLine(reader, name, original->line, FileFault::none, unwritten) ==
        MissionOutcome::noLine) {
      unwritten.push_back({std::move(name), FileFault::weaponLineMissing});
    }
  }
  if (!added.empty()) addToRecord(record, added, unwritten);
}

// Writes one weapon line into every mission; the original line of each mission changed for
// the first time, or met for the first time as another version than the one recorded, is
// recorded, durably, before any mission file is replaced.
void writeWeapon(const Path& runDirectory, Record& record, std::string_view replacement,
                 std::vector<UnwrittenFile>& unwritten) {
  FileReader reader(kPieceSize);
  std::vector<std::pair<int32_t, RecordedOriginal>> added;
  if (!record.unreadable) {
    for (int32_t n = 1; n <= kMissionCount; ++n) {
      if (record.blocks(n) != FileFault::none) continue;
      const RecordedOriginal* recorded = record.originals.original(n);
      if (recorded != nullptr && !recorded->version) continue;  // an older record's line
      const Path name = withName(runDirectory, missionFileName(n));
      if (!fileExists(name)) continue;
      FileFault fault = FileFault::none;
      const std::optional<MissionLook> look = lookAtMission(reader, name, fault);
      if (!look || !look->line) continue;
      if (recorded != nullptr ? !newVersion(*recorded, *look) : *look->line == replacement) {
        continue;
      }
      // A record with a line it cannot understand takes no new one: it may be the lost
      // line of this mission.
      if (!record.extendable()) {
        record.unrecorded[static_cast<size_t>(n - 1)] = true;
        continue;
      }
      added.emplace_back(n, RecordedOriginal{*look->line, look->version});
    }
  }
  std::array<bool, kMissionCount> recorded{};
  for (int32_t n = 1; n <= kMissionCount; ++n) {
    recorded[static_cast<size_t>(n - 1)] = record.originals.original(n) != nullptr;
  }
  if (!added.empty()) {
    const bool written = addToRecord(record, added, unwritten);
    for (const auto& [n, original] : added) {
      recorded[static_cast<size_t>(n - 1)] = written;
      record.unwritten[static_cast<size_t>(n - 1)] = !written;
    }
  }
  for (int32_t n = 1; n <= kMissionCount; ++n) {
    Path name = withName(runDirectory, missionFileName(n));
    if (!fileExists(name)) continue;
    // A line that changed since it was looked at for the record has no original yet.
    FileFault blocked = record.blocks(n);
    if (blocked == FileFault::none && !recorded[static_cast<size_t>(n - 1)]) {
      blocked = FileFault::recordUnavailable;
    }
    rewriteWeaponLine(reader, std::move(name), replacement, blocked, unwritten);
  }
}

// The record's lines that cannot be understood, listed after the missions they kept as
// they were (the first few: enough to find them).
void listDamagedLines(const Record& record, std::vector<UnwrittenFile>& unwritten) {
  constexpr size_t kShown = 3;
  bool anyKept = false;
  for (const UnwrittenFile& file : unwritten) anyKept |= file.fault == FileFault::recordDamaged;
  if (!anyKept) return;
  const std::vector<DamagedRecordLine>& lines = record.originals.damagedLines();
  for (size_t i = 0; i < lines.size() && i < kShown; ++i) {
    unwritten.push_back(
        {record.name, FileFault::recordLineDamaged, lines[i].number, lines[i].mission});
  }
}

}  // namespace

LevelFolder patchMissionWeapon(LauncherControls& controls, LauncherHost& host,
                               std::vector<UnwrittenFile>& unwritten) {
  const Path runDirectory = host.runDirectory();
  if (!fileExists(withName(runDirectory, gbk::levelFolderName))) return LevelFolder::missing;
  const int32_t weaponItem = chosenItem(controls, LauncherList::weapon);
  Record record = readRecord(runDirectory, unwritten);
  if (weaponItem == originalWeaponsItem) {
    restoreOriginals(runDirectory, record, unwritten);
  } else {
    const Text replacement =
        weaponLine(weaponNumber(weaponItem, chosenItem(controls, LauncherList::attribute)));
    writeWeapon(runDirectory, record, replacement.view(), unwritten);
  }
  listDamagedLines(record, unwritten);
  return LevelFolder::present;
}
