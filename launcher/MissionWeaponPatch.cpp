#include "launcher/MissionWeaponPatch.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "GbkTexts.h"
#include "launcher/MissionContent.h"
#include "launcher/WeaponLineSearch.h"
#include "services/Files.h"
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

}  // namespace

bool MissionWeaponPatch(LauncherControls& controls, LauncherHost& host,
                        std::vector<UnwrittenFile>& unwritten) {
  if (!fileExists(withName(host.runDirectory(), gbk::levelFolderName))) return false;
  const int32_t number = weaponNumber(chosenItem(controls, LauncherList::weapon),
                                      chosenItem(controls, LauncherList::attribute));
  const Text replacement = weaponLine(number);
  FileReader reader(kPieceSize);
  for (int32_t n = 1; n <= 20; ++n) {
    Path name = withName(host.runDirectory(), missionFileName(n));
    if (!fileExists(name)) continue;
    // A mission that is there but cannot be read (held by another program, a folder of
    // that name) keeps its old weapon: the user is told as for a failed write.
    WeaponLineSearch search;
    search.keepHead(replacement.view().size() + 1);
    FileFault fault = FileFault::none;
    std::optional<std::string_view> first;
    if (!reader.open(name, &fault) || !searchWeaponLine(reader, search, first)) {
      if (fault == FileFault::none) fault = FileFault::unreadable;
      unwritten.push_back({std::move(name), fault});
      continue;
    }
    const std::optional<LineSpan> line = search.line();
    if (!line) continue;
    // A file whose weapon line already holds the number is already right: not written.
    if (search.head() == replacement.view()) continue;
    // The new content is the part before the weapon line, the new line and the part after
    // it. A line in the first piece (a whole small file) is written around from that piece
    // and the rest read on; otherwise the file is read a second time, as nobody can have
    // written it in between.
    FileReplacement patched(name);
    const bool copied = first ? patched.append(first->substr(0, line->begin)) &&
                                    patched.append(replacement.view()) &&
                                    patched.append(first->substr(line->end)) &&
                                    copyBytes(reader, patched, UINT64_MAX)
                              : reader.seek(0) && copyBytes(reader, patched, line->begin) &&
                                    patched.append(replacement.view()) && reader.seek(line->end) &&
                                    copyBytes(reader, patched, UINT64_MAX);
    reader.close();
    // A read that failed part-way leaves the file as it was, as one that could not be read.
    if (!copied && patched.fault() == FileFault::none) {
      unwritten.push_back({std::move(name), FileFault::unreadable});
    } else if (!copied || !patched.commit()) {
      unwritten.push_back({std::move(name), patched.fault()});
    }
  }
  return true;
}
