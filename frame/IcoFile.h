// The directory of an ICO file (the window's icon in the window template) and the choice
// of the image for a size. Portable: over bytes only.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

struct IcoEntry {
  int width = 0;   // 1 to 256
  int height = 0;  // 1 to 256
  uint32_t colourCount = 0;
  uint32_t size = 0;    // bytes of the image
  uint32_t offset = 0;  // where the image starts in the file
};

// The entries of the file's directory, in file order, up to the first whose fields or image
// lie outside the data. None when the data is not an icon file (type 1).
std::vector<IcoEntry> icoEntries(std::string_view ico);

// The first entry of the wanted width with more than 15 colours, else the last entry; null
// when there is none.
const IcoEntry* pickIcoEntry(const std::vector<IcoEntry>& entries, int width);
