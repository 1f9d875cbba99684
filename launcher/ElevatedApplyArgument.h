// The elevated-apply argument, with which the program starts itself with administrator rights to
// write the files that its user may not: the four choices, as "--apply-settings=W,A,R,T"
// (the sub-weapon, attribute and resolution indexes, -1 for none, then 1 or 0 for windowed).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "launcher/LauncherSettings.h"

std::wstring elevatedApplyArgument(const LauncherSettings& settings);

// The number of entries of each list, which bounds its selection index.
struct ListSizes {
  int32_t weapon = 0;
  int32_t attribute = 0;
  int32_t resolution = 0;
};

// The four choices of an argument of exactly that form, each index from -1 (none) to the
// last entry of its list and windowed 0 or 1. No value for anything else: a missing, extra
// or empty part, blanks, a sign other than the "-" of -1, leading zeros, other characters.
// An index of -1 gives the list's last entry, as a damaged stored index does.
std::optional<LauncherSettings> parseElevatedApplyArgument(std::wstring_view arguments,
                                                           const ListSizes& sizes);
