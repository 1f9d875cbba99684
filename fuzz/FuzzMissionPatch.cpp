// The mission weapon rewrite on arbitrary content: never a crash; the first line that
// begins with "int PlayerWeapon2" becomes the weapon line and every other byte stays;
// content without such a line is left alone; patching twice equals patching once, and
// patching over an earlier number gives the same as patching once. The weapon number of
// any two item values is A + 9 * (B - 1) (A up to 9) or A + B - 1, modulo 2^32. The same
// line is found when the content comes in pieces (their sizes taken from the input).
//
// Input: the weapon number (4 bytes), a second item value (4 bytes), then the content.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzz/FuzzCheck.h"
#include "fuzz/TextModel.h"
#include "launcher/MissionContent.h"
#include "launcher/WeaponLineSearch.h"
#include "tests/support/MissionOracle.h"

namespace {

int32_t wrap(int64_t value) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  int32_t number;
  int32_t other;
  std::memcpy(&number, data, 4);
  std::memcpy(&other, data + 4, 4);
  std::string_view content(reinterpret_cast<const char*>(data) + 8, size - 8);

  int64_t a = number;
  int64_t b = other;
  check(weaponNumber(number, other) == wrap(a <= 9 ? a + 9 * (b - 1) : a + b - 1), "weaponNumber");

  WeaponLineSearch search;
  search.keepHead(static_cast<uint32_t>(other) % 64);
  for (size_t at = 0, step = 1 + static_cast<uint32_t>(other) % 97; at < content.size();
       at += step) {
    if (search.take(content.substr(at, step))) break;
  }
  search.finish();

  std::optional<std::string> patched = patchMissionContent(content, number);
  const model::Line* weapon = nullptr;
  std::vector<model::Line> lines = model::fileLines(content);
  for (const model::Line& line : lines) {
    if (content.substr(line.begin, line.end - line.begin).starts_with("int PlayerWeapon2")) {
      weapon = &line;
      break;
    }
  }
  if (weapon == nullptr) {
    check(!patched, "content without a weapon line is left alone");
    check(!search.line(), "no weapon line is found in pieces either");
    return 0;
  }
  check(search.line() && search.line()->begin == weapon->begin && search.line()->end == weapon->end,
        "the weapon line found in pieces is the same line");
  check(patched.has_value(), "content with a weapon line is patched");
  char line[40];
  std::snprintf(line, sizeof line, "int PlayerWeapon2 = %d;", number);
  std::string want = std::string(content.substr(0, weapon->begin)) + line +
                     std::string(content.substr(weapon->end));
  check(*patched == want, "only the first weapon line changes, every other byte stays");

  std::optional<std::string> twice = patchMissionContent(*patched, number);
  check(twice && *twice == *patched, "patching twice equals patching once");

  int32_t earlier = weaponNumber(number, other);
  std::optional<std::string> first = patchMissionContent(content, earlier);
  check(first.has_value(), "a patched file keeps its weapon line");
  std::optional<std::string> over = patchMissionContent(*first, number);
  check(over && *over == *patched, "patching over an earlier choice equals patching once");
  return 0;
}
