#include "launcher/MissionWeaponPatch.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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
// What is held in memory of a mission before its weapon line is found. Past it the new file
// is begun with those bytes, so that a line far into a large file costs no second read.
constexpr size_t kHeldBytes = 8 << 20;

int32_t chosenItem(LauncherControls& controls, LauncherList list) {
  return controls.itemValue(list, controls.selection(list));
}

// One mission file, read once: its weapon line is found, and the file may then be written
// anew, with another line in that one's place, from the same pieces.
class MissionPass {
 public:
  // `held` is the apply's area for the bytes read before the line, reused from file to file.
  MissionPass(FileReader& reader, std::string& held, Path name)
      : reader_(reader), held_(held), name_(std::move(name)) {
    held_.clear();
  }
  MissionPass(const MissionPass&) = delete;
  MissionPass& operator=(const MissionPass&) = delete;
  ~MissionPass() { reader_.close(); }

  enum class Found { unreadable, noLine, line };
  // Reads the file up to its weapon line. `unreadable`, with the cause in `fault`, when the
  // file could not be read (held by another program, a folder of that name).
  Found find(FileFault& fault);
  const WeaponLineSpan& span() const { return span_; }
  const std::string& line() const { return search_.text(); }
  const Path& name() const { return name_; }

  // Writes the file anew with `replacement` in place of its weapon line and the rest read to
  // the end; the new content is in place once committed. Null, with the cause in `fault`,
  // when it could not be written or the file could not be read to its end.
  std::unique_ptr<FileReplacement> rewrite(std::string_view replacement, FileFault& fault);

 private:
  bool beginOutput();

  FileReader& reader_;
  std::string& held_;  // the bytes read and not yet written, from heldFrom_ on
  Path name_;
  WeaponLineSearch search_;
  WeaponLineSpan span_;
  uint64_t heldFrom_ = 0;
  std::unique_ptr<FileReplacement> out_;
};

bool MissionPass::beginOutput() {
  if (!out_) out_ = std::make_unique<FileReplacement>(name_);
  const bool written = out_->append(held_);
  heldFrom_ += held_.size();
  held_.clear();
  return written;
}

MissionPass::Found MissionPass::find(FileFault& fault) {
  fault = FileFault::none;
  if (!reader_.open(name_, &fault)) {
    if (fault == FileFault::none) fault = FileFault::unreadable;
    return Found::unreadable;
  }
  for (bool done = false; !done;) {
    const std::optional<std::string_view> piece = reader_.next();
    if (!piece) {
      fault = FileFault::unreadable;
      return Found::unreadable;
    }
    if (piece->empty()) {
      search_.finish();
      break;
    }
    done = search_.take(*piece);
    held_.append(*piece);
    // Before the line starts nothing of it is held, so all may go to the new file.
    if (!done && held_.size() > kHeldBytes && search_.text().empty() && !beginOutput()) {
      fault = out_->fault();
      return Found::unreadable;
    }
  }
  const std::optional<WeaponLineSpan> span = search_.line();
  if (!span) return Found::noLine;
  span_ = *span;
  return Found::line;
}

std::unique_ptr<FileReplacement> MissionPass::rewrite(std::string_view replacement,
                                                      FileFault& fault) {
  if (!out_) out_ = std::make_unique<FileReplacement>(name_);
  const std::string_view held = held_;
  bool copied = out_->append(held.substr(0, span_.begin - heldFrom_)) &&
                out_->append(replacement) && out_->append(held.substr(span_.end - heldFrom_));
  bool readFailed = false;
  while (copied) {
    const std::optional<std::string_view> piece = reader_.next();
    readFailed = !piece;
    if (!piece || piece->empty()) break;
    copied = out_->append(*piece);
  }
  reader_.close();
  // A read that failed part-way leaves the file as it was, as one that could not be read.
  if (readFailed || !copied) {
    fault = readFailed ? FileFault::unreadable : out_->fault();
    return nullptr;
  }
  return std::move(out_);
}

// The record of the originals as the apply found it.
struct Record {
  Path name;
  std::string content;
  OriginalWeapons originals;
  bool unreadable = false;
};

Record readRecord(const Path& runDirectory, std::vector<UnwrittenFile>& unwritten) {
  Record record{withName(runDirectory, gbk::originalWeaponsFileName), {}, {}, false};
  if (!fileExists(record.name)) return record;
  FileFault fault = FileFault::none;
  std::optional<ByteBuffer> content = tryReadFile(record.name, &fault);
  if (!content) {
    record.unreadable = true;
    record.originals.doubtAll();
    unwritten.push_back({record.name, fault});
    return record;
  }
  record.content = std::move(content->bytes);
  record.originals = readOriginalWeapons(record.content);
  return record;
}

// Why a mission whose line is to change is left as it is, or FileFault::none.
FileFault keptBecause(const Record& record, LineOwner owner, const WeaponLineSpan& span) {
  if (record.unreadable) return FileFault::recordUnavailable;
  if (owner == LineOwner::unknown) return FileFault::recordDamaged;
  if (span.loneCr) return FileFault::lineBreaks;
  return FileFault::none;
}

// A mission written anew, waiting to take its file's place.
struct PendingMission {
  Path name;
  std::unique_ptr<FileReplacement> file;
};

void commitAll(std::vector<PendingMission>& pending, std::vector<UnwrittenFile>& unwritten) {
  for (PendingMission& mission : pending) {
    if (!mission.file->commit()) unwritten.push_back({mission.name, mission.file->fault()});
  }
}

// Each mission file that exists, in turn, read up to its weapon line through one reader and
// one area for the whole apply: `visit(n, pass, found)`. One that cannot be read is listed
// with its cause and not visited.
template <typename Visit>
void eachMission(const Path& runDirectory, std::vector<UnwrittenFile>& unwritten, Visit visit) {
  FileReader reader(kPieceSize);
  // Reserved once at its largest, so that it never grows by a copy of what it holds: the
  // memory is used only as far as it is filled.
  std::string held;
  held.reserve(kHeldBytes + kPieceSize);
  for (int32_t n = 1; n <= kMissionCount; ++n) {
    Path name = withName(runDirectory, missionFileName(n));
    if (!fileExists(name)) continue;
    MissionPass pass(reader, held, std::move(name));
    FileFault fault = FileFault::none;
    const MissionPass::Found found = pass.find(fault);
    if (found == MissionPass::Found::unreadable) {
      unwritten.push_back({pass.name(), fault});
      continue;
    }
    visit(n, pass, found);
  }
}

// Writes one weapon line into every mission. Before any mission is replaced, the record
// holds, durably, the line the launcher writes to it and, when the line it replaces is not
// one the launcher wrote, that line as the mission's original.
void writeWeapon(const Path& runDirectory, const Record& record, std::string_view replacement,
                 std::vector<UnwrittenFile>& unwritten) {
  std::vector<PendingMission> pending;
  std::vector<RecordEntry> added;
  eachMission(runDirectory, unwritten, [&](int32_t n, MissionPass& pass, MissionPass::Found found) {
    const bool hasLine = found == MissionPass::Found::line;
    const LineOwner owner = hasLine ? record.originals.owner(n, pass.line()) : LineOwner::other;
    if (record.originals.olderOnly(n) && (!hasLine || owner == LineOwner::launcher)) {
      // An older record's original is taken over as an entry by the record's next write,
      // with the line the launcher is taken to have written.
      added.push_back({n, EntryKind::original, *record.originals.original(n)});
      if (hasLine) added.push_back({n, EntryKind::written, pass.line()});
    }
    // A mission without a weapon line, or whose line is already the one chosen, stays.
    if (!hasLine || pass.line() == replacement) return;
    FileFault fault = keptBecause(record, owner, pass.span());
    std::unique_ptr<FileReplacement> file =
        fault == FileFault::none ? pass.rewrite(replacement, fault) : nullptr;
    if (!file) {
      unwritten.push_back({pass.name(), fault});
      return;
    }
    if (owner == LineOwner::other) added.push_back({n, EntryKind::original, pass.line()});
    added.push_back({n, EntryKind::written, std::string(replacement)});
    pending.push_back({pass.name(), std::move(file)});
  });
  if (pending.empty()) return;
  FileFault fault = FileFault::none;
  const ByteBuffer content{recordWith(record.content, record.originals, added)};
  if (!writeFile(record.name, content, &fault)) {
    unwritten.push_back({record.name, fault});
    for (const PendingMission& mission : pending) {
      unwritten.push_back({mission.name, FileFault::recordUnavailable});
    }
    return;
  }
  commitAll(pending, unwritten);
}

// Writes each mission's recorded original back over the weapon line the launcher wrote. A
// line the launcher did not write is the mission's own and stays; a mission without a record
// was never changed and stays as it is.
void restoreOriginals(const Path& runDirectory, const Record& record,
                      std::vector<UnwrittenFile>& unwritten) {
  std::vector<PendingMission> pending;
  eachMission(runDirectory, unwritten, [&](int32_t n, MissionPass& pass, MissionPass::Found found) {
    const std::string* original = record.originals.original(n);
    if (found == MissionPass::Found::noLine) {
      // A recorded mission that has lost its weapon line cannot take its original back.
      if (original != nullptr) unwritten.push_back({pass.name(), FileFault::weaponLineMissing});
      return;
    }
    const LineOwner owner = record.originals.owner(n, pass.line());
    if (owner == LineOwner::other || (original != nullptr && pass.line() == *original)) return;
    FileFault fault = keptBecause(record, owner, pass.span());
    // The launcher's line without an original to put back: the record has lost it.
    if (fault == FileFault::none && original == nullptr) fault = FileFault::recordDamaged;
    std::unique_ptr<FileReplacement> file =
        fault == FileFault::none ? pass.rewrite(*original, fault) : nullptr;
    if (!file) {
      unwritten.push_back({pass.name(), fault});
      return;
    }
    pending.push_back({pass.name(), std::move(file)});
  });
  commitAll(pending, unwritten);
}

// What is wrong with the record, listed after the missions it kept as they were: its damaged
// lines (the first few: enough to find them) and lost ones.
void listRecordFaults(const Record& record, std::vector<UnwrittenFile>& unwritten) {
  constexpr size_t kShown = 3;
  bool anyKept = false;
  for (const UnwrittenFile& file : unwritten) anyKept |= file.fault == FileFault::recordDamaged;
  if (!anyKept) return;
  const std::vector<DamagedRecordLine>& lines = record.originals.damagedLines();
  for (size_t i = 0; i < lines.size() && i < kShown; ++i) {
    unwritten.push_back(
        {record.name, FileFault::recordLineDamaged, lines[i].number, lines[i].mission});
  }
  if (record.originals.linesMissing()) {
    unwritten.push_back({record.name, FileFault::recordLinesMissing});
  }
}

}  // namespace

LevelFolder patchMissionWeapon(LauncherControls& controls, LauncherHost& host,
                               std::vector<UnwrittenFile>& unwritten) {
  const Path runDirectory = host.runDirectory();
  if (!fileExists(withName(runDirectory, gbk::levelFolderName))) return LevelFolder::missing;
  const int32_t weaponItem = chosenItem(controls, LauncherList::weapon);
  const Record record = readRecord(runDirectory, unwritten);
  if (weaponItem == originalWeaponsItem) {
    restoreOriginals(runDirectory, record, unwritten);
  } else {
    const Text replacement =
        weaponLine(weaponNumber(weaponItem, chosenItem(controls, LauncherList::attribute)));
    writeWeapon(runDirectory, record, replacement.view(), unwritten);
  }
  listRecordFaults(record, unwritten);
  return LevelFolder::present;
}
