// The icon file directory on arbitrary bytes: never a crash; every entry it gives has its
// image inside the data and a size from 1 to 256; the pick for a width is the first entry
// of that width with more than 15 colours, else the last entry.
#include <cstdint>
#include <string_view>

#include "frame/IcoFile.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view ico(reinterpret_cast<const char*>(data), size);
  std::vector<IcoEntry> entries = icoEntries(ico);
  for (const IcoEntry& e : entries) {
    check(e.offset <= size && e.size <= size - e.offset, "image inside the data");
    check(e.width >= 1 && e.width <= 256 && e.height >= 1 && e.height <= 256, "size 1 to 256");
  }
  check(entries.size() <= (size < 6 ? 0 : (size - 6) / 16), "one entry per 16 bytes");
  for (int width : {16, 32, 48}) {
    const IcoEntry* picked = pickIcoEntry(entries, width);
    check((picked == nullptr) == entries.empty(), "a pick whenever there is an entry");
    if (picked == nullptr) continue;
    const IcoEntry* first = nullptr;
    for (const IcoEntry& e : entries) {
      if (e.width == width && e.colourCount > 15) {
        first = &e;
        break;
      }
    }
    check(picked == (first != nullptr ? first : &entries.back()), "first fitting, else last");
  }
  return 0;
}
