#include "frame/IconImage.h"

#include <cstdint>
#include <vector>

namespace {

uint32_t readField(std::string_view data, size_t at, size_t size) {
  uint32_t value = 0;
  for (size_t i = 0; i < size; ++i) {
    value |= uint32_t(static_cast<unsigned char>(data[at + i])) << (8 * i);
  }
  return value;
}

void writeField(std::string& data, size_t at, size_t size, uint32_t value) {
  for (size_t i = 0; i < size; ++i) data[at + i] = static_cast<char>(value >> (8 * i));
}

constexpr size_t headerSize = 40;
constexpr int largestSide = 256;

struct Pixel {
  double blue = 0, green = 0, red = 0, alpha = 0;  // alpha 0 to 1
};

// The source pixels top row first, or nothing when the image cannot be read.
bool readPixels(std::string_view image, int& width, int& height, std::vector<Pixel>& pixels) {
  if (image.size() < headerSize) return false;
  uint32_t size = readField(image, 0, 4);
  auto w = static_cast<int32_t>(readField(image, 4, 4));
  auto doubled = static_cast<int32_t>(readField(image, 8, 4));
  uint32_t bits = readField(image, 14, 2);
  uint32_t compression = readField(image, 16, 4);
  if (size < headerSize || size > image.size() || compression != 0 || (bits != 24 && bits != 32) ||
      w <= 0 || w > largestSide || doubled <= 0 || doubled % 2 != 0 || doubled / 2 > largestSide) {
    return false;
  }
  width = w;
  height = doubled / 2;
  size_t colourStride = (size_t(width) * bits + 31) / 32 * 4;
  size_t maskStride = (size_t(width) + 31) / 32 * 4;
  size_t colourAt = size;
  size_t maskAt = colourAt + colourStride * size_t(height);
  if (maskAt + maskStride * size_t(height) > image.size()) return false;
  pixels.assign(size_t(width) * size_t(height), Pixel{});
  bool anyAlpha = false;
  for (int y = 0; y < height; ++y) {
    size_t row = colourAt + colourStride * size_t(height - 1 - y);  // rows run bottom-up
    for (int x = 0; x < width; ++x) {
      size_t at = row + size_t(x) * (bits / 8);
      Pixel& p = pixels[size_t(y) * size_t(width) + size_t(x)];
      p.blue = static_cast<unsigned char>(image[at]);
      p.green = static_cast<unsigned char>(image[at + 1]);
      p.red = static_cast<unsigned char>(image[at + 2]);
      if (bits == 32) {
        p.alpha = static_cast<unsigned char>(image[at + 3]) / 255.0;
        anyAlpha = anyAlpha || p.alpha > 0;
      }
    }
  }
  if (!anyAlpha) {
    // Opacity from the AND mask: a set bit is a transparent pixel.
    for (int y = 0; y < height; ++y) {
      size_t row = maskAt + maskStride * size_t(height - 1 - y);
      for (int x = 0; x < width; ++x) {
        bool transparent =
            (static_cast<unsigned char>(image[row + size_t(x) / 8]) >> (7 - x % 8)) & 1;
        pixels[size_t(y) * size_t(width) + size_t(x)].alpha = transparent ? 0.0 : 1.0;
      }
    }
  }
  return true;
}

// For each new column (or row): the source columns it covers and how much of each.
struct Span {
  int first = 0;
  std::vector<double> weights;
};

std::vector<Span> spans(int from, int to) {
  std::vector<Span> result(static_cast<size_t>(to));
  double step = double(from) / to;
  for (int i = 0; i < to; ++i) {
    double start = i * step, end = (i + 1) * step;
    Span& span = result[size_t(i)];
    span.first = static_cast<int>(start);
    for (int s = span.first; s < from && s < end; ++s) {
      double overlap = (s + 1 < end ? s + 1 : end) - (s > start ? s : start);
      if (overlap > 0) span.weights.push_back(overlap / step);
    }
  }
  return result;
}

unsigned char toByte(double value) {
  double rounded = value + 0.5;
  return static_cast<unsigned char>(rounded < 0 ? 0 : rounded > 255 ? 255 : rounded);
}

}  // namespace

std::string resampledIconImage(std::string_view image, int width, int height) {
  int sourceWidth = 0, sourceHeight = 0;
  std::vector<Pixel> source;
  if (width <= 0 || height <= 0 || width > largestSide || height > largestSide ||
      !readPixels(image, sourceWidth, sourceHeight, source)) {
    return {};
  }
  std::vector<Span> columns = spans(sourceWidth, width), rows = spans(sourceHeight, height);
  size_t colourStride = size_t(width) * 4;
  size_t maskStride = (size_t(width) + 31) / 32 * 4;
  std::string out(headerSize + colourStride * size_t(height) + maskStride * size_t(height), '\0');
  writeField(out, 0, 4, headerSize);
  writeField(out, 4, 4, static_cast<uint32_t>(width));
  writeField(out, 8, 4, static_cast<uint32_t>(height * 2));
  writeField(out, 12, 2, 1);
  writeField(out, 14, 2, 32);
  writeField(out, 20, 4, static_cast<uint32_t>(colourStride * size_t(height)));
  size_t maskAt = headerSize + colourStride * size_t(height);
  for (int y = 0; y < height; ++y) {
    const Span& rowSpan = rows[size_t(y)];
    for (int x = 0; x < width; ++x) {
      const Span& columnSpan = columns[size_t(x)];
      Pixel sum;
      for (size_t j = 0; j < rowSpan.weights.size(); ++j) {
        for (size_t i = 0; i < columnSpan.weights.size(); ++i) {
          const Pixel& p = source[size_t(rowSpan.first + int(j)) * size_t(sourceWidth) +
                                  size_t(columnSpan.first + int(i))];
          double weight = rowSpan.weights[j] * columnSpan.weights[i] * p.alpha;
          sum.blue += p.blue * weight;
          sum.green += p.green * weight;
          sum.red += p.red * weight;
          sum.alpha += weight;
        }
      }
      size_t at = headerSize + colourStride * size_t(height - 1 - y) + size_t(x) * 4;
      if (sum.alpha > 0) {
        out[at] = static_cast<char>(toByte(sum.blue / sum.alpha));
        out[at + 1] = static_cast<char>(toByte(sum.green / sum.alpha));
        out[at + 2] = static_cast<char>(toByte(sum.red / sum.alpha));
      }
      unsigned char alpha = toByte(sum.alpha * 255);
      out[at + 3] = static_cast<char>(alpha);
      if (alpha == 0) {
        size_t maskByte = maskAt + maskStride * size_t(height - 1 - y) + size_t(x) / 8;
        out[maskByte] = static_cast<char>(out[maskByte] | (0x80 >> (x % 8)));
      }
    }
  }
  return out;
}
