// The icon file directory and the choice of image per size, over bytes built here.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "frame/IcoFile.h"

namespace {

struct Image {
  int width;  // 256 is stored as 0
  int colours;
  size_t bytes;
};

void put(std::string& out, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out += static_cast<char>(value >> (8 * i));
}

// An icon file of the given images, each filled with its index.
std::string icoFile(const std::vector<Image>& images, uint32_t type = 1) {
  std::string out;
  put(out, 0, 2);
  put(out, type, 2);
  put(out, static_cast<uint32_t>(images.size()), 2);
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (const Image& image : images) {
    put(out, static_cast<uint32_t>(image.width & 0xFF), 1);
    put(out, static_cast<uint32_t>(image.width & 0xFF), 1);
    put(out, static_cast<uint32_t>(image.colours), 1);
    put(out, 0, 1);
    put(out, 1, 2);
    put(out, 32, 2);
    put(out, static_cast<uint32_t>(image.bytes), 4);
    put(out, offset, 4);
    offset += static_cast<uint32_t>(image.bytes);
  }
  for (size_t i = 0; i < images.size(); ++i) out.append(images[i].bytes, static_cast<char>(i));
  return out;
}

std::vector<int> widths(const std::vector<IcoEntry>& entries) {
  std::vector<int> out;
  for (const IcoEntry& e : entries) out.push_back(e.width);
  return out;
}

TEST(IcoFile, Directory) {
  const struct Case {
    const char* name;
    std::string bytes;
    std::vector<int> widths;
  } cases[] = {
      {"two images", icoFile({{16, 0, 8}, {32, 16, 12}}), {16, 32}},
      {"256 stored as 0", icoFile({{256, 0, 4}}), {256}},
      {"no images", icoFile({}), {}},
      {"cursor file", icoFile({{16, 0, 8}}, 2), {}},
      {"shorter than its header", std::string("\0\0\1", 3), {}},
      {"empty", std::string(), {}},
      {"last image cut short", icoFile({{16, 0, 8}, {32, 0, 8}}).substr(0, 6 + 32 + 8 + 7), {16}},
      {"directory cut short", icoFile({{16, 0, 8}, {32, 0, 8}}).substr(0, 6 + 16 + 8), {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(widths(icoEntries(c.bytes)), c.widths) << c.name;
  }
  std::vector<IcoEntry> entries = icoEntries(icoFile({{16, 0, 8}, {32, 16, 12}}));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].height, 32);
  EXPECT_EQ(entries[1].colourCount, 16u);
  EXPECT_EQ(entries[1].size, 12u);
  EXPECT_EQ(entries[1].offset, 6u + 32 + 8);
}

TEST(IcoFile, PickFirstOfTheWidthWithMoreThan15ColoursElseTheLast) {
  const struct Case {
    std::vector<Image> images;
    int width;
    int picked;  // index, -1 for none
  } cases[] = {
      {{{16, 16, 4}, {32, 16, 4}}, 32, 1},
      {{{32, 16, 4}, {32, 255, 4}}, 32, 0},
      {{{32, 15, 4}, {32, 16, 4}, {48, 16, 4}}, 32, 1},
      {{{32, 0, 4}, {16, 16, 4}, {48, 16, 4}}, 32, 2},  // 0 colours stands for many: not taken
      {{{16, 16, 4}}, 32, 0},
      {{}, 16, -1},
  };
  for (const Case& c : cases) {
    std::vector<IcoEntry> entries = icoEntries(icoFile(c.images));
    const IcoEntry* picked = pickIcoEntry(entries, c.width);
    EXPECT_EQ(picked == nullptr ? -1 : static_cast<int>(picked - entries.data()), c.picked)
        << c.images.size() << " images, width " << c.width;
  }
}

}  // namespace
