#include "launcher/ElevatedApplyArgument.h"

namespace {

constexpr std::wstring_view optionName = L"--apply-settings=";

// One number as elevatedApplyArgument writes it: "-1", "0", or up to nine digits without a
// leading zero; it must lie in first..last.
std::optional<int32_t> readNumber(std::wstring_view part, int32_t first, int32_t last) {
  int32_t value = 0;
  if (part == L"-1") {
    value = -1;
  } else if (part.empty() || part.size() > 9 || (part.size() > 1 && part[0] == L'0')) {
    return std::nullopt;
  } else {
    for (wchar_t c : part) {
      if (c < L'0' || c > L'9') return std::nullopt;
      value = value * 10 + (c - L'0');
    }
  }
  if (value < first || value > last) return std::nullopt;
  return value;
}

// The part before the next comma (or the end); the rest after that comma goes to rest.
std::wstring_view nextPart(std::wstring_view& rest, bool& more) {
  size_t comma = rest.find(L',');
  std::wstring_view part = rest.substr(0, comma);
  more = comma != std::wstring_view::npos;
  rest = more ? rest.substr(comma + 1) : std::wstring_view();
  return part;
}

}  // namespace

std::wstring elevatedApplyArgument(const LauncherSettings& settings) {
  return std::wstring(optionName) + std::to_wstring(settings.weaponIndex) + L"," +
         std::to_wstring(settings.attributeIndex) + L"," +
         std::to_wstring(settings.resolutionIndex) + L"," + (settings.windowed ? L"1" : L"0");
}

std::optional<LauncherSettings> parseElevatedApplyArgument(std::wstring_view arguments,
                                                           const ListSizes& sizes) {
  if (arguments.substr(0, optionName.size()) != optionName) return std::nullopt;
  std::wstring_view rest = arguments.substr(optionName.size());
  // The last value each part may take; the windowed flag is 0 or 1.
  const int32_t last[4] = {sizes.weapon - 1, sizes.attribute - 1, sizes.resolution - 1, 1};
  int32_t values[4] = {};
  bool more = true;
  for (int i = 0; i < 4; ++i) {
    if (!more) return std::nullopt;
    std::optional<int32_t> value = readNumber(nextPart(rest, more), i < 3 ? -1 : 0, last[i]);
    if (!value) return std::nullopt;
    values[i] = *value;
  }
  if (more) return std::nullopt;  // a fifth part, even an empty one
  // A list without a selection (-1) is taken as one past its end, as a damaged stored value
  // is: its last entry, so that no weapon number is made that no choice gives.
  for (int i = 0; i < 3; ++i) {
    if (values[i] == -1) values[i] = last[i];
  }
  LauncherSettings settings;
  settings.weaponIndex = values[0];
  settings.attributeIndex = values[1];
  settings.resolutionIndex = values[2];
  settings.windowed = values[3] == 1;
  return settings;
}
