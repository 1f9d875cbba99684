// The display configuration rewrite, apart from any file: lines 2 and 3 of "config.ini"
// become the width and the height of the chosen resolution.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct DisplayLines {
  const char* width;   // "Width 800" or "Width 1024"
  const char* height;  // "Height 600" or "Height 768"
};

// Selection 0 of the resolution list is 800 by 600; any other (-1 included) 1024 by 768.
DisplayLines displayLinesFor(int32_t resolutionSelection);

// The content with lines 2 and 3 replaced and every line, the last included, ending with
// CR LF; every other byte stays, zero bytes included. No value when the content has fewer
// than three lines: the file is not usable and is to be left as it is.
std::optional<std::string> patchDisplayConfigContent(std::string_view content,
                                                     int32_t resolutionSelection);
