// The display configuration rewrite on arbitrary content: never a crash; fewer than three
// lines gives no content (the file stays as it is); otherwise line 1 and every line after
// line 3 keep their bytes, lines 2 and 3 hold the resolution, every line ends with CR LF
// (but a last line that ends in a lone lead byte), and patching twice equals patching once, also
// over the other resolution.
//
// Input: the resolution selection (1 byte, signed), then the content.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

#include "LauncherTemplate.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/TextModel.h"
#include "launcher/DisplayConfigContent.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  int32_t selection = static_cast<int8_t>(data[0]);
  std::string_view content(reinterpret_cast<const char*>(data) + 1, size - 1);

  std::optional<std::string> patched = patchDisplayConfigContent(content, selection);
  std::vector<model::Line> lines = model::fileLines(content);
  if (lines.size() < 3) {
    check(!patched, "fewer than three lines give no content");
    return 0;
  }
  check(patched.has_value(), "three lines or more are patched");
  std::string want(content.substr(lines[0].begin, lines[0].end - lines[0].begin));
  // The size the description gives the selected resolution; 1024 by 768 for no selection.
  const bool listed = selection >= 0 && selection < int32_t{std::size(launcherResolutions)};
  const int32_t width = listed ? launcherResolutions[selection].width : 1024;
  const int32_t height = listed ? launcherResolutions[selection].height : 768;
  want += "\r\nWidth " + std::to_string(width) + "\r\nHeight " + std::to_string(height) + "\r\n";
  for (size_t i = 3; i < lines.size(); ++i) {
    want.append(content.substr(lines[i].begin, lines[i].end - lines[i].begin));
    // A last line that ends in a lead byte without its second byte gets no CR LF: the CR
    // would read back as that second byte.
    if (i + 1 == lines.size() && lines[i].end == content.size() &&
        model::endsInLoneLeadByte(content.substr(lines[i].begin, lines[i].end - lines[i].begin))) {
      break;
    }
    want += "\r\n";
  }
  check(*patched == want, "lines 2 and 3 replaced, every other line kept with a CR LF");

  std::optional<std::string> twice = patchDisplayConfigContent(*patched, selection);
  check(twice && *twice == *patched, "patching twice equals patching once");
  std::optional<std::string> other = patchDisplayConfigContent(content, selection == 0 ? 1 : 0);
  check(other.has_value(), "the other resolution patches too");
  std::optional<std::string> back = patchDisplayConfigContent(*other, selection);
  check(back && *back == *patched, "patching over the other resolution equals patching once");
  return 0;
}
