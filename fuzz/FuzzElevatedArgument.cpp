// The elevated-apply argument of the program started with administrator rights, read from
// arbitrary text: never a crash; anything accepted is within the lists and is exactly what
// the writer gives for the choices read, so there is one spelling of each. Also the split
// of a command line into program name and arguments.
#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "launcher/ElevatedApplyArgument.h"
#include "services/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Bytes widened one by one keep the argument's own characters likely; a first byte with
  // its low bit set takes the rest two bytes to a character instead.
  std::wstring text;
  if (size > 0 && (data[0] & 1) != 0) {
    for (size_t i = 1; i + 1 < size; i += 2)
      text += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
  } else {
    for (size_t i = size > 0 ? 1 : 0; i < size; ++i) text += static_cast<wchar_t>(data[i]);
  }

  const ListSizes lists{12, 4, 2};
  if (std::optional<LauncherSettings> settings = parseElevatedApplyArgument(text, lists)) {
    check(settings->weaponIndex >= -1 && settings->weaponIndex < lists.weapon, "weapon range");
    check(settings->attributeIndex >= -1 && settings->attributeIndex < lists.attribute,
          "attribute range");
    check(settings->resolutionIndex >= -1 && settings->resolutionIndex < lists.resolution,
          "resolution range");
    check(elevatedApplyArgument(*settings) == text, "accepted only as written");
  }

  std::wstring_view arguments = commandLineArguments(text);
  check(arguments.size() <= text.size(), "arguments within the command line");
  check(std::wstring_view(text).substr(text.size() - arguments.size()) == arguments,
        "arguments are the end of the command line");
  check(arguments.empty() || (arguments[0] != L' ' && arguments[0] != L'\t'),
        "no blank before the arguments");
  return 0;
}
