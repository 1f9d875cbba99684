// The record of the missions' original weapon lines on arbitrary bytes: reading never
// crashes; a line escapes and reads back to itself; adding missions to any record keeps its
// bytes in front and leaves what it said of the other missions as it was, and the added
// missions read back as given unless the record was already in doubt for them.
//
// Input: a mission number byte, a length byte for the line, the line, then the record.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "GbkTexts.h"
#include "fuzz/FuzzCheck.h"
#include "launcher/OriginalWeapons.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int32_t n = 1 + data[0] % kMissionCount;
  const size_t length = std::min<size_t>(data[1], size - 2);
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::string line = gbk::weaponLinePrefix + std::string(bytes.substr(0, length));
  const std::string_view content = bytes.substr(length);

  check(unescapeOriginalLine(escapeOriginalLine(line)) == line, "escape round trip");
  const std::string escaped = escapeOriginalLine(line);
  check(escaped.find('\r') == std::string::npos && escaped.find('\n') == std::string::npos,
        "no line break in an escaped line");

  const OriginalWeapons before = readOriginalWeapons(content);
  if (before.listed(n)) return 0;  // the launcher never adds a mission the record names
  const std::string written = withOriginalWeapons(content, {{n, line}});
  check(std::string_view(written).substr(0, content.size()) == content, "record kept in front");
  const OriginalWeapons after = readOriginalWeapons(written);
  for (int32_t m = 1; m <= kMissionCount; ++m) {
    if (m == n) continue;
    check(after.damaged(m) == before.damaged(m), "other missions keep their state");
    const std::string* a = after.original(m);
    const std::string* b = before.original(m);
    check((a == nullptr) == (b == nullptr) && (a == nullptr || *a == *b),
          "other missions keep their lines");
  }
  if (!before.damaged(n)) {
    check(after.original(n) != nullptr && *after.original(n) == line, "added line reads back");
  }
  return 0;
}
