#include "launcher/DisplayConfigContent.h"

#include <iterator>

#include "GbkTexts.h"
#include "LauncherTemplate.h"
#include "launcher/CrLfLines.h"
#include "services/Decimal.h"

namespace {

// True when the line's last byte is a lead byte without its second byte. A CR LF written
// after it would read back as that character's second byte and a lone LF, not as a line
// break, and every later patch would add one more.
bool endsInLoneLeadByte(std::string_view line) {
  size_t p = 0;
  while (p < line.size()) p += static_cast<unsigned char>(line[p]) >= 0x80 ? 2 : 1;
  return p > line.size();
}

}  // namespace

DisplayLines displayLinesFor(int32_t resolutionSelection) {
  constexpr int32_t noSelectionWidth = 1024;
  constexpr int32_t noSelectionHeight = 768;
  int32_t width = noSelectionWidth;
  int32_t height = noSelectionHeight;
  if (resolutionSelection >= 0 && resolutionSelection < int32_t{std::size(launcherResolutions)}) {
    width = launcherResolutions[resolutionSelection].width;
    height = launcherResolutions[resolutionSelection].height;
  }
  auto line = [](const char* name, int32_t value) {
    char digits[12];
    std::string text(name);
    text += ' ';
    text += formatDecimal(value, digits);
    return text;
  };
  return {line(gbk::displayWidthName, width), line(gbk::displayHeightName, height)};
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
      std::string_view text = content.substr(line.begin, line.end - line.begin);
      patched.append(text);
      if (!line.separated && endsInLoneLeadByte(text)) break;  // the last line
    }
    patched.append("\r\n");
  }
  if (number < 3) return std::nullopt;
  return patched;
}
