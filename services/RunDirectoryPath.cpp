#include "services/RunDirectory.h"

Text folderOfPath(std::string_view path, bool (*isLeadByte)(unsigned char)) {
  size_t lastBackslash = std::string_view::npos;
  size_t p = 0;
  while (p < path.size()) {
    unsigned char byte = static_cast<unsigned char>(path[p]);
    if (byte == '\\') lastBackslash = p;
    // The second byte of a two-byte character may be 0x5C; it is never a separator.
    p += isLeadByte(byte) && p + 1 < path.size() ? 2 : 1;
  }
  if (lastBackslash == std::string_view::npos) return Text();
  return Text(path.substr(0, lastBackslash));
}
