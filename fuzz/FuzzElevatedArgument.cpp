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
    // Every list has an entry chosen: none (-1) is taken as the last.
    check(settings->weaponIndex >= 0 && settings->weaponIndex < lists.weapon, "weapon range");
    check(settings->attributeIndex >= 0 && settings->attributeIndex < lists.attribute,
          "attribute range");
    check(settings->resolutionIndex >= 0 && settings->resolutionIndex < lists.resolution,
          "resolution range");
    // Accepted only as written, with the last entry written -1 where the text has -1.
    const std::wstring again = elevatedApplyArgument(*settings);
    std::wstring lastAsNone = std::wstring(L"--apply-settings=");
    const int32_t values[] = {settings->weaponIndex, settings->attributeIndex,
                              settings->resolutionIndex};
    const int32_t sizes[] = {lists.weapon, lists.attribute, lists.resolution};
    size_t at = lastAsNone.size();
    for (int i = 0; i < 3; ++i) {
      const std::wstring value = std::to_wstring(values[i]);
      const bool none = text.compare(at, 3, L"-1,") == 0;
      lastAsNone += (none && values[i] == sizes[i] - 1 ? L"-1" : value) + L",";
      at += (none ? 2 : value.size()) + 1;
    }
    lastAsNone += settings->windowed ? L"1" : L"0";
    check(again == text || lastAsNone == text, "accepted only as written");
  }

  std::wstring_view arguments = commandLineArguments(text);
  check(arguments.size() <= text.size(), "arguments within the command line");
  check(std::wstring_view(text).substr(text.size() - arguments.size()) == arguments,
        "arguments are the end of the command line");
  check(arguments.empty() || (arguments[0] != L' ' && arguments[0] != L'\t'),
        "no blank before the arguments");
  return 0;
}
