// The mission weapon search on arbitrary content: never a crash; the program's search over
// pieces (their sizes taken from the input) finds the line that the byte-by-byte reference
// finds (tests/support/MissionOracle), with the same bytes; patching keeps every byte but
// the line's own, twice equals once. The weapon number of any two item values is
// A + 9 * (B - 1) (A up to 9) or A + B - 1, modulo 2^32.
//
// Input: the weapon number (4 bytes), a second item value (4 bytes), then the content.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzz/FuzzCheck.h"
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
  for (size_t at = 0, step = 1 + static_cast<uint32_t>(other) % 97; at < content.size();
       at += step) {
    if (search.take(content.substr(at, step))) break;
  }
  search.finish();

  const std::optional<ReferenceLine> reference = referenceWeaponLine(content);
  const std::optional<WeaponLineSpan> found = search.line();
  check(found.has_value() == reference.has_value(),
        "a weapon line is found exactly when there is one");
  if (!reference) return 0;
  check(found->begin == reference->begin && found->end == reference->end &&
            found->loneCr == reference->loneCr,
        "the weapon line found in pieces is the reference's line");
  check(search.text() == content.substr(reference->begin, reference->end - reference->begin),
        "the line's bytes");
  check(content.substr(reference->end).find_first_not_of("\r\n") != 0 ||
            reference->end == content.size(),
        "the line ends at a line break or the end");

  const std::optional<std::string> patched = patchMissionContent(content, number);
  if (!patched) {
    check(reference->loneCr, "only a line separated by a CR alone is left");
    return 0;
  }
  const std::optional<std::string> twice = patchMissionContent(*patched, number);
  check(twice && *twice == *patched, "patching twice equals patching once");
  const std::optional<ReferenceLine> after = referenceWeaponLine(*patched);
  check(after && after->begin == reference->begin, "the line keeps its place");
  check(patched->substr(0, reference->begin) == content.substr(0, reference->begin) &&
            patched->substr(after->end) == content.substr(reference->end),
        "every byte around the line stays, its line break included");
  return 0;
}
