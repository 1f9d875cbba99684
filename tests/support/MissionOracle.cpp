#include "tests/support/MissionOracle.h"

#include "GbkTexts.h"
#include "launcher/MissionContent.h"

// Looks for the prefix by its "W", a byte that is rare in mission files, so the search
// runs at the speed of a byte search; each hit is then checked for the whole prefix at a line
// start.
std::optional<LineSpan> findWeaponLine(std::string_view content) {
  constexpr std::string_view prefix = gbk::weaponLinePrefix;
  constexpr size_t anchor = prefix.find('W');
  static_assert(anchor != std::string_view::npos);
  size_t from = anchor;
  while (from < content.size()) {
    const size_t hit = findByte(content, from, 'W');
    if (hit == std::string_view::npos) break;
    const size_t begin = hit - anchor;
    if (content.substr(begin).starts_with(prefix) && lineStartsAt(content, begin)) {
      LineSpan line;
      CrLfLines(content, begin).next(line);
      return line;
    }
    from = hit + 1;
  }
  return std::nullopt;
}

std::optional<std::string> patchMissionContent(std::string_view content, int32_t weaponNumber) {
  const std::optional<LineSpan> line = findWeaponLine(content);
  if (!line) return std::nullopt;
  const Text replacement = weaponLine(weaponNumber);
  std::string patched;
  patched.reserve(content.size() - (line->end - line->begin) + replacement.view().size());
  patched.append(content.substr(0, line->begin));
  patched.append(replacement.view());
  patched.append(content.substr(line->end));
  return patched;
}
