#include "tests/support/MissionOracle.h"

namespace {

bool isBreak(char c) { return c == '\r' || c == '\n'; }

}  // namespace

std::optional<ReferenceLine> referenceWeaponLine(std::string_view content) {
  const std::string_view prefix = "int PlayerWeapon2";
  size_t start = 0;
  while (start < content.size()) {
    size_t end = start;
    while (end < content.size() && !isBreak(content[end])) ++end;
    if (content.substr(start, end - start).substr(0, prefix.size()) == prefix) {
      const bool startsAfterLoneCr = start > 0 && content[start - 1] == '\r';
      const bool endsAtLoneCr = end < content.size() && content[end] == '\r' &&
                                (end + 1 == content.size() || content[end + 1] != '\n');
      return ReferenceLine{start, end, startsAfterLoneCr || endsAtLoneCr};
    }
    if (end == content.size()) break;
    const bool crLf = content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n';
    start = end + (crLf ? 2 : 1);
  }
  return std::nullopt;
}

std::optional<std::string> patchMissionContent(std::string_view content, int32_t weaponNumber) {
  const std::optional<ReferenceLine> line = referenceWeaponLine(content);
  if (!line || line->loneCr) return std::nullopt;
  return std::string(content.substr(0, line->begin)) +
         "int PlayerWeapon2 = " + std::to_string(weaponNumber) + ";" +
         std::string(content.substr(line->end));
}
