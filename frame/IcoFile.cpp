#include "frame/IcoFile.h"

namespace {

// Reads a little-endian field; false when it lies outside the data.
bool readField(std::string_view ico, size_t at, size_t size, uint32_t& value) {
  if (at > ico.size() || size > ico.size() - at) return false;
  value = 0;
  for (size_t i = 0; i < size; ++i) {
    value |= uint32_t{static_cast<unsigned char>(ico[at + i])} << (8 * i);
  }
  return true;
}

}  // namespace

std::vector<IcoEntry> icoEntries(std::string_view ico) {
  std::vector<IcoEntry> entries;
  uint32_t type = 0;
  uint32_t count = 0;
  if (!readField(ico, 2, 2, type) || type != 1 || !readField(ico, 4, 2, count)) return entries;
  for (uint32_t i = 0; i < count; ++i) {
    size_t at = 6 + size_t{i} * 16;
    IcoEntry e;
    uint32_t w = 0;
    uint32_t h = 0;
    if (!readField(ico, at, 1, w) || !readField(ico, at + 1, 1, h) ||
        !readField(ico, at + 2, 1, e.colourCount) || !readField(ico, at + 8, 4, e.size) ||
        !readField(ico, at + 12, 4, e.offset)) {
      break;
    }
    e.width = w == 0 ? 256 : static_cast<int>(w);
    e.height = h == 0 ? 256 : static_cast<int>(h);
    if (e.offset > ico.size() || e.size > ico.size() - e.offset) break;
    entries.push_back(e);
  }
  return entries;
}

const IcoEntry* pickIcoEntry(const std::vector<IcoEntry>& entries, int width) {
  for (const IcoEntry& e : entries) {
    if (e.width == width && e.colourCount > 15) return &e;
  }
  return entries.empty() ? nullptr : &entries.back();
}
