// The record of the missions' lines under damage: a record the launcher wrote, from lines
// and applies taken from the input, then damaged as editors, tools and hands damage files
// (a line deleted, repeated, moved or cut, a byte changed, blanks added at a line's end, line
// breaks changed, the file cut short; at most three bytes changed, as a check of a line is
// not made to withstand a search for its collisions). Whatever the bytes then hold, every
// original the reader gives is byte for byte one recorded as that mission's original, and
// every line it takes for the launcher's one recorded as written to it; and escaping a line
// reads back to it.
//
// Input: a count byte of applies, then per apply a mission byte, a kind byte and a length
// byte with the line's tail; then the damage, two bytes per step (what, where).
#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "GbkTexts.h"
#include "fuzz/FuzzCheck.h"
#include "launcher/OriginalWeapons.h"

namespace {

struct Input {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  bool more() const { return at < size; }
  uint8_t byte() { return at < size ? data[at++] : 0; }
};

std::vector<std::string> linesOf(const std::string& content) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find("\r\n", start);
    if (end == std::string::npos) end = content.size();
    lines.push_back(content.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

// One step of damage to the record's bytes.
void damage(std::string& content, uint8_t what, uint8_t where, int& bytesChanged) {
  std::vector<std::string> lines = linesOf(content);
  const size_t at = lines.empty() ? 0 : where % lines.size();
  switch (what % 8) {
    case 0:  // a line deleted
      if (!lines.empty()) lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
      break;
    case 1:  // a line repeated at the end
      if (!lines.empty()) lines.push_back(lines[at]);
      break;
    case 2:  // a line moved to the front
      if (!lines.empty())
        std::rotate(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(at),
                    lines.begin() + static_cast<std::ptrdiff_t>(at) + 1);
      break;
    case 3:  // a line cut short
      if (!lines.empty()) lines[at].resize(lines[at].size() * (where % 7) / 8);
      break;
    case 4:  // blanks added at a line's end
      if (!lines.empty()) lines[at] += "  ";
      break;
    case 5:  // a byte changed
      if (bytesChanged < 3 && !content.empty()) {
        ++bytesChanged;
        content[(what * 131u + where) % content.size()] ^= static_cast<char>(1 + where % 255);
      }
      return;
    case 6: {  // the line breaks turned into LF
      std::string out;
      for (const std::string& line : lines) out += line + "\n";
      content = out;
      return;
    }
    default:  // the file cut short
      content.resize(content.size() * (where % 16) / 16);
      return;
  }
  content = joined(lines);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input input{data, size};
  const std::string prefix = gbk::weaponLinePrefix;
  // What the launcher recorded for each mission, over every apply, of each kind.
  std::set<std::pair<int32_t, std::string>> recorded[2];
  std::string content;
  const int applies = input.byte() % 6;
  for (int i = 0; i < applies && input.more(); ++i) {
    const OriginalWeapons record = readOriginalWeapons(content);
    std::vector<RecordEntry> added;
    const int32_t n = 1 + input.byte() % 3;
    const EntryKind kind = input.byte() % 2 == 0 ? EntryKind::original : EntryKind::written;
    const size_t length = input.byte() % 8;
    std::string line = prefix;
    for (size_t k = 0; k < length; ++k) line += static_cast<char>(input.byte());
    added.push_back({n, kind, line});
    recorded[kind == EntryKind::original ? 0 : 1].insert({n, line});
    content = recordWith(content, record, added);
    check(unescapeOriginalLine(escapeOriginalLine(line)) == line, "escape round trip");
  }
  int bytesChanged = 0;
  while (input.more()) {
    const uint8_t what = input.byte();
    damage(content, what, input.byte(), bytesChanged);
  }
  const OriginalWeapons read = readOriginalWeapons(content);
  for (int32_t n = 1; n <= kMissionCount; ++n) {
    if (const std::string* original = read.original(n)) {
      check(recorded[0].count({n, *original}) == 1, "an original given is one recorded");
    }
  }
  // Any line taken for the launcher's is one recorded for that mission: the launcher's form
  // over each number from the lines recorded and a few others.
  for (int32_t n = 1; n <= kMissionCount; ++n) {
    std::set<std::string> candidates;
    for (const auto& kind : recorded) {
      for (const auto& [mission, line] : kind) candidates.insert(line);
    }
    for (int number = -2; number < 60; ++number) {
      candidates.insert(prefix + " = " + std::to_string(number) + ";");
    }
    for (const std::string& line : candidates) {
      if (read.owner(n, line) != LineOwner::launcher) continue;
      check(recorded[1].count({n, line}) == 1, "a line taken for the launcher's was written");
    }
  }
  return 0;
}
