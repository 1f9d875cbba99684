// Decimal text of a 32-bit integer as printf's "%d" gives it (a minus sign for negative
// values, no leading zeros), written into a caller's buffer without allocating, so that
// the fatal error report can use it too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

inline std::string_view formatDecimal(int32_t value, char (&digits)[12]) {
  char* end = digits + sizeof digits;
  char* p = end;
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  do {
    *--p = static_cast<char>('0' + magnitude % 10u);
    magnitude /= 10u;
  } while (magnitude != 0);
  if (value < 0) *--p = '-';
  return std::string_view(p, static_cast<size_t>(end - p));
}
