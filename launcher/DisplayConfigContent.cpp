#include "launcher/DisplayConfigContent.h"

#include "GbkTexts.h"
#include "launcher/CrLfLines.h"

DisplayLines displayLinesFor(int32_t resolutionSelection) {
  if (resolutionSelection == 0) return {gbk::displayWidth800, gbk::displayHeight600};
  return {gbk::displayWidth1024, gbk::displayHeight768};
}

std::optional<std::string> patchDisplayConfigContent(std::string_view content,
                                                     int32_t resolutionSelection) {
  const DisplayLines lines = displayLinesFor(resolutionSelection);
  std::string patched;
  patched.reserve(content.size() + 32);
  CrLfLines split(content);
  LineSpan line;
  int number = 0;
  while (split.next(line)) {
    ++number;
    if (number == 2) {
      patched.append(lines.width);
    } else if (number == 3) {
      patched.append(lines.height);
    } else {
      patched.append(content.substr(line.begin, line.end - line.begin));
    }
    patched.append("\r\n");
  }
  if (number < 3) return std::nullopt;
  return patched;
}
