#include "launcher/MissionContent.h"

#include "GbkTexts.h"
#include "launcher/CrLfLines.h"

int32_t weaponNumber(int32_t weaponItem, int32_t attributeItem) {
  const double a = weaponItem;
  const double b = attributeItem;
  if (weaponItem <= 9) return toInteger(a + 9.0 * toInteger(b - 1.0));
  return toInteger((a + b) - 1.0);
}

Text weaponLine(int32_t weaponNumber) {
  return concat(gbk::weaponLinePrefix, " = ", toText(weaponNumber), ";");
}

Text missionFileName(int32_t n) {
  Text number = toText(n);
  if (textLength(number) == 1) number = concat("0", number);
  return concat(gbk::missionFilePrefix, number, gbk::missionFileSuffix);
}

std::optional<std::string> patchMissionContent(std::string_view content, int32_t weaponNumber) {
  constexpr std::string_view prefix = gbk::weaponLinePrefix;
  CrLfLines lines(content);
  LineSpan line;
  while (lines.next(line)) {
    std::string_view text = content.substr(line.begin, line.end - line.begin);
    if (!text.starts_with(prefix)) continue;
    const Text replacement = weaponLine(weaponNumber);
    std::string patched;
    patched.reserve(content.size() - text.size() + replacement.view().size());
    patched.append(content.substr(0, line.begin));
    patched.append(replacement.view());
    patched.append(content.substr(line.end));
    return patched;
  }
  return std::nullopt;
}
