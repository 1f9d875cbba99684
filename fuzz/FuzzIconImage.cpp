// An icon image drawn anew at another size, on arbitrary bytes: never a crash; what it gives
// is either nothing or a whole 32-bit image of the asked size with its AND mask, in which a
// pixel is masked out exactly when it is fully transparent.
#include <cstdint>
#include <string>
#include <string_view>

#include "frame/IconImage.h"
#include "fuzz/FuzzCheck.h"

namespace {

uint32_t field(const std::string& data, size_t at, size_t size) {
  uint32_t value = 0;
  for (size_t i = 0; i < size; ++i) {
    value |= uint32_t(static_cast<unsigned char>(data[at + i])) << (8 * i);
  }
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // The first two bytes choose the size asked for (1 to 64 each way).
  int width = data[0] % 64 + 1, height = data[1] % 64 + 1;
  std::string_view image(reinterpret_cast<const char*>(data) + 2, size - 2);
  std::string drawn = resampledIconImage(image, width, height);
  if (drawn.empty()) return 0;
  size_t stride = size_t(width) * 4, maskStride = (size_t(width) + 31) / 32 * 4;
  check(drawn.size() == 40 + (stride + maskStride) * size_t(height), "whole image and mask");
  check(field(drawn, 4, 4) == uint32_t(width) && field(drawn, 8, 4) == uint32_t(height) * 2,
        "the size asked for");
  check(field(drawn, 14, 2) == 32, "32 bits");
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      auto alpha = static_cast<unsigned char>(drawn[40 + stride * size_t(y) + size_t(x) * 4 + 3]);
      bool masked = (static_cast<unsigned char>(
                         drawn[40 + stride * size_t(height) + maskStride * size_t(y) + x / 8]) >>
                     (7 - x % 8)) &
                    1;
      check(masked == (alpha == 0), "masked out exactly where transparent");
    }
  }
  return 0;
}
