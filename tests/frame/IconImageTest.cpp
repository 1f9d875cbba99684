// Icon images drawn anew at another size: the averages of the areas each new pixel covers,
// colours weighted by opacity, transparency carried into the alpha and the AND mask, and
// images that cannot be read refused.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "frame/IconImage.h"

namespace {

struct Rgba {
  int blue, green, red, alpha;
};

void put(std::string& data, size_t at, size_t size, uint32_t value) {
  for (size_t i = 0; i < size; ++i) data[at + i] = static_cast<char>(value >> (8 * i));
}

uint32_t get(const std::string& data, size_t at, size_t size) {
  uint32_t value = 0;
  for (size_t i = 0; i < size; ++i) {
    value |= uint32_t(static_cast<unsigned char>(data[at + i])) << (8 * i);
  }
  return value;
}

// A 24-bit icon image as an ICO file holds it; `opaque(x, y)` false marks a pixel
// transparent in the AND mask. Rows are given top first.
template <typename Colour, typename Opaque>
std::string image24(int width, int height, Colour colour, Opaque opaque) {
  size_t stride = (size_t(width) * 3 + 3) / 4 * 4, maskStride = (size_t(width) + 31) / 32 * 4;
  std::string data(40 + stride * height + maskStride * height, '\0');
  put(data, 0, 4, 40);
  put(data, 4, 4, width);
  put(data, 8, 4, height * 2);
  put(data, 12, 2, 1);
  put(data, 14, 2, 24);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      Rgba c = colour(x, y);
      size_t at = 40 + stride * (height - 1 - y) + x * 3;
      data[at] = static_cast<char>(c.blue);
      data[at + 1] = static_cast<char>(c.green);
      data[at + 2] = static_cast<char>(c.red);
      if (!opaque(x, y)) {
        size_t mask = 40 + stride * height + maskStride * (height - 1 - y) + x / 8;
        data[mask] = static_cast<char>(data[mask] | (0x80 >> (x % 8)));
      }
    }
  }
  return data;
}

// A pixel of a drawn 32-bit image, rows top first.
Rgba pixelOf(const std::string& drawn, int x, int y) {
  int width = static_cast<int>(get(drawn, 4, 4)), height = static_cast<int>(get(drawn, 8, 4)) / 2;
  size_t at = 40 + size_t(width) * 4 * (height - 1 - y) + size_t(x) * 4;
  return {static_cast<unsigned char>(drawn[at]), static_cast<unsigned char>(drawn[at + 1]),
          static_cast<unsigned char>(drawn[at + 2]), static_cast<unsigned char>(drawn[at + 3])};
}

bool maskedOut(const std::string& drawn, int x, int y) {
  int width = static_cast<int>(get(drawn, 4, 4)), height = static_cast<int>(get(drawn, 8, 4)) / 2;
  size_t maskStride = (size_t(width) + 31) / 32 * 4;
  size_t at = 40 + size_t(width) * 4 * height + maskStride * (height - 1 - y) + x / 8;
  return (static_cast<unsigned char>(drawn[at]) >> (7 - x % 8)) & 1;
}

TEST(IconImage, DrawsTheSizesTheSystemAsksFor) {
  std::string source = image24(
      64, 64,
      [](int, int) {
        return Rgba{200, 100, 50, 255};
      },
      [](int, int) { return true; });
  for (int side : {16, 20, 24, 32, 40, 48, 64, 96}) {
    SCOPED_TRACE(side);
    std::string drawn = resampledIconImage(source, side, side);
    ASSERT_EQ(drawn.size(), 40 + size_t(side) * side * 4 + (size_t(side) + 31) / 32 * 4 * side);
    EXPECT_EQ(get(drawn, 0, 4), 40u);
    EXPECT_EQ(get(drawn, 4, 4), uint32_t(side));
    EXPECT_EQ(get(drawn, 8, 4), uint32_t(side * 2));
    EXPECT_EQ(get(drawn, 14, 2), 32u);
    EXPECT_EQ(get(drawn, 16, 4), 0u);
    // One colour stays exactly that colour, fully opaque, at every size.
    for (int y = 0; y < side; y += 7) {
      for (int x = 0; x < side; x += 5) {
        Rgba p = pixelOf(drawn, x, y);
        ASSERT_EQ(p.blue, 200);
        ASSERT_EQ(p.green, 100);
        ASSERT_EQ(p.red, 50);
        ASSERT_EQ(p.alpha, 255);
        ASSERT_FALSE(maskedOut(drawn, x, y));
      }
    }
  }
}

struct AverageCase {
  const char* name;
  int from, to;
  int x, y;  // the new pixel
  Rgba want;
};

// A 4 x 4 source: the left half black, the right half white, the bottom-right pixel
// transparent and red (its colour must not bleed into its neighbours).
const AverageCase kAverageCases[] = {
    {"left half to 2 x 2", 4, 2, 0, 0, {0, 0, 0, 255}},
    {"right half, one quarter transparent", 4, 2, 1, 1, {255, 255, 255, 191}},
    {"top right", 4, 2, 1, 0, {255, 255, 255, 255}},
    {"middle of 4 to 3: a third of the edge on each side", 4, 3, 1, 0, {128, 128, 128, 255}},
    {"4 to 1: half white, a sixteenth transparent", 4, 1, 0, 0, {119, 119, 119, 239}},
};

TEST(IconImage, AveragesTheCoveredAreaWeightedByOpacity) {
  auto colour = [](int x, int y) {
    if (x == 3 && y == 3) return Rgba{0, 0, 255, 255};
    return x < 2 ? Rgba{0, 0, 0, 255} : Rgba{255, 255, 255, 255};
  };
  auto opaque = [](int x, int y) { return !(x == 3 && y == 3); };
  for (const AverageCase& c : kAverageCases) {
    SCOPED_TRACE(c.name);
    std::string drawn = resampledIconImage(image24(c.from, c.from, colour, opaque), c.to, c.to);
    ASSERT_FALSE(drawn.empty());
    Rgba got = pixelOf(drawn, c.x, c.y);
    EXPECT_NEAR(got.blue, c.want.blue, 1);
    EXPECT_NEAR(got.green, c.want.green, 1);
    EXPECT_NEAR(got.red, c.want.red, 1);
    EXPECT_NEAR(got.alpha, c.want.alpha, 1);
  }
}

TEST(IconImage, TransparentAreasStayTransparentInAlphaAndMask) {
  // A disc on a transparent ground, as the program's icon is drawn.
  auto inside = [](int x, int y) {
    return (x - 31.5) * (x - 31.5) + (y - 31.5) * (y - 31.5) < 900;
  };
  std::string drawn = resampledIconImage(image24(
                                             64, 64,
                                             [](int, int) {
                                               return Rgba{10, 20, 30, 255};
                                             },
                                             inside),
                                         16, 16);
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(pixelOf(drawn, 0, 0).alpha, 0);
  EXPECT_TRUE(maskedOut(drawn, 0, 0));
  EXPECT_EQ(pixelOf(drawn, 8, 8).alpha, 255);
  EXPECT_FALSE(maskedOut(drawn, 8, 8));
  // The rim is partly covered: partly opaque, in the disc's own colour.
  Rgba rim = pixelOf(drawn, 0, 8);
  EXPECT_GT(rim.alpha, 0);
  EXPECT_LT(rim.alpha, 255);
  EXPECT_EQ(rim.red, 30);
}

TEST(IconImage, RefusesWhatItCannotRead) {
  std::string good = image24(
      8, 8,
      [](int, int) {
        return Rgba{1, 2, 3, 255};
      },
      [](int, int) { return true; });
  std::string cut = good.substr(0, good.size() - 1);
  std::string compressed = good;
  put(compressed, 16, 4, 1);
  std::string paletted = good;
  put(paletted, 14, 2, 8);
  std::string oddHeight = good;
  put(oddHeight, 8, 4, 15);
  std::string huge = good;
  put(huge, 4, 4, 100000);
  const struct {
    const char* name;
    std::string image;
    int width, height;
  } cases[] = {{"empty", "", 16, 16},
               {"cut short", cut, 16, 16},
               {"compressed", compressed, 16, 16},
               {"8 bits", paletted, 16, 16},
               {"odd height", oddHeight, 16, 16},
               {"too wide", huge, 16, 16},
               {"no width", good, 0, 16},
               {"too large", good, 16, 1000}};
  for (const auto& c : cases) {
    EXPECT_TRUE(resampledIconImage(c.image, c.width, c.height).empty()) << c.name;
  }
}

}  // namespace
