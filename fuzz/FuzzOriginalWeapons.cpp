// The record of the missions' original weapon lines on arbitrary bytes: reading never
// crashes; a line escapes and reads back to itself; a record reads the same with each line
// break turned into a lone CR; adding a mission (or a new version of one) to any record the
// launcher may extend keeps its bytes in front and leaves what it said of the other
// missions as it was, and the added line reads back as given.
//
// Input: a mission number byte, a flags byte (1: the line carries a version, 2: the
// record's line breaks are lone CRs), a length byte for the line, the line, then the record.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "GbkTexts.h"
#include "fuzz/FuzzCheck.h"
#include "launcher/OriginalWeapons.h"

namespace {

bool sameOriginal(const RecordedOriginal* a, const RecordedOriginal* b) {
  if (a == nullptr || b == nullptr) return a == b;
  return a->line == b->line && a->version == b->version;
}

bool sameRecord(const OriginalWeapons& a, const OriginalWeapons& b) {
  for (int32_t m = 1; m <= kMissionCount; ++m) {
    if (a.damaged(m) != b.damaged(m) || !sameOriginal(a.original(m), b.original(m))) return false;
  }
  const std::vector<DamagedRecordLine>& x = a.damagedLines();
  const std::vector<DamagedRecordLine>& y = b.damagedLines();
  return std::equal(x.begin(), x.end(), y.begin(), y.end(), [](const auto& l, const auto& r) {
    return l.number == r.number && l.mission == r.mission;
  });
}

// Every line break (CR LF, CR or LF) turned into a lone CR, as some editors save a file.
std::string withLoneCrs(std::string_view content) {
  std::string out;
  for (size_t i = 0; i < content.size(); ++i) {
    out += content[i] == '\n' ? '\r' : content[i];
    if (content.compare(i, 2, "\r\n") == 0) ++i;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const int32_t n = 1 + data[0] % kMissionCount;
  const uint8_t flags = data[1];
  const size_t length = std::min<size_t>(data[2], size - 3);
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 3, size - 3);
  const std::string line = gbk::weaponLinePrefix + std::string(bytes.substr(0, length));
  std::string content(bytes.substr(length));

  check(unescapeOriginalLine(escapeOriginalLine(line)) == line, "escape round trip");
  const std::string escaped = escapeOriginalLine(line);
  check(escaped.find('\r') == std::string::npos && escaped.find('\n') == std::string::npos,
        "no line break in an escaped line");

  check(sameRecord(readOriginalWeapons(content), readOriginalWeapons(withLoneCrs(content))),
        "lone CRs read as the breaks they replace");
  if ((flags & 2) != 0) content = withLoneCrs(content);

  RecordedOriginal added{line, std::nullopt};
  if ((flags & 1) != 0) {
    // The version from the line's bytes, so that it may match a mark in the record.
    VersionHash hash;
    hash.add(line);
    added.version = hash.version();
  }
  const OriginalWeapons before = readOriginalWeapons(content);
  // The launcher adds no line to a record it cannot understand, and for a mission it names
  // only a marked line for another version than the one recorded.
  if (!before.extendable()) return 0;
  const RecordedOriginal* recorded = before.original(n);
  if (recorded != nullptr &&
      (!recorded->version || !added.version || *recorded->version == *added.version)) {
    return 0;
  }
  const std::string written = withOriginalWeapons(content, {{n, added}});
  check(std::string_view(written).substr(0, content.size()) == content, "record kept in front");
  const OriginalWeapons after = readOriginalWeapons(written);
  check(after.extendable(), "still understood");
  for (int32_t m = 1; m <= kMissionCount; ++m) {
    if (m == n) continue;
    check(after.damaged(m) == before.damaged(m), "other missions keep their state");
    check(sameOriginal(after.original(m), before.original(m)), "other missions keep their lines");
  }
  check(sameOriginal(after.original(n), &added), "added line reads back");
  return 0;
}
