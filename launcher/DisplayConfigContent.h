// The display configuration rewrite, apart from any file: lines 2 and 3 of "config.ini"
// become the width and the height of the chosen resolution.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct DisplayLines {
  std::string width;   // "Width 800"
  std::string height;  // "Height 600"
};

// The lines of the resolution list's entry at the selection, each entry's size as the window
// template gives it; a list without a selection (-1, or any index past its entries) is
// 1024 by 768.
DisplayLines displayLinesFor(int32_t resolutionSelection);

// The content with lines 2 and 3 replaced and every line, the last included, ending with
// CR LF; every other byte stays, zero bytes included. No value when the content has fewer
// than three lines: the file is not usable and is to be left as it is.
std::optional<std::string> patchDisplayConfigContent(std::string_view content,
                                                     int32_t resolutionSelection);
