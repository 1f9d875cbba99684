// The template's figures at the display scales a user meets: exactly the template at 96 DPI,
// and every figure multiplied by dpi / 96 with MulDiv's rounding elsewhere.
#include <gtest/gtest.h>

#include <string>

#include "frame/DisplayScale.h"
#include "frame/TemplateReader.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

const unsigned char launcherTemplateBytes[] = {
#include "LauncherWindow.inc"
};

WindowTemplate launcherWindow() {
  TemplateContents contents;
  std::string bytes(reinterpret_cast<const char*>(launcherTemplateBytes),
                    sizeof launcherTemplateBytes);
  EXPECT_TRUE(readWindowTemplate(bytes, contents));
  return contents.windows.empty() ? WindowTemplate{} : contents.windows[0];
}

struct ScaleCase {
  int32_t value, dpi, scaled;
};

// Halves round away from zero, as MulDiv rounds them.
const ScaleCase kScaleCases[] = {
    {231, 96, 231},
    {231, 120, 289},
    {231, 144, 347},
    {231, 192, 462},
    {205, 120, 256},
    {205, 144, 308},
    {1, 120, 1},
    {1, 144, 2},
    {1, 168, 2},
    {3, 144, 5},
    {0, 192, 0},
    {-11, 144, -17},
    {-12, 120, -15},
    {-3, 144, -5},
    {7, 72, 5},
    {160, 120, 200},
    {107, 120, 134},
    {2147483647, 96, 2147483647},
    {2147483647, 192, -1},
    {-2147483647, 192, -1},
};

TEST(DisplayScale, ScalesAsMulDivRounds) {
  for (const ScaleCase& c : kScaleCases) {
    EXPECT_EQ(scaleToDpi(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;
  }
}

#ifdef _WIN32
// The system's own MulDiv over every figure a template of this size can hold.
TEST(DisplayScale, AgreesWithTheSystemsMulDiv) {
  for (int32_t dpi : {72, 96, 120, 144, 168, 192, 240, 288, 384}) {
    for (int32_t value = -1000; value <= 1000; ++value) {
      ASSERT_EQ(scaleToDpi(value, dpi), MulDiv(value, dpi, 96)) << value << " at " << dpi;
    }
  }
}
#endif

TEST(DisplayScale, AtTheTemplatesScaleEveryFigureStays) {
  WindowTemplate window = launcherWindow();
  ASSERT_EQ(window.units.size(), 9u);
  for (const UnitTemplate& unit : window.units) {
    SCOPED_TRACE(unit.id);
    UnitLayout layout = layoutAtDpi(unit, 96);
    EXPECT_EQ(layout.left, unit.left);
    EXPECT_EQ(layout.top, unit.top);
    EXPECT_EQ(layout.width, unit.width);
    EXPECT_EQ(layout.height, unit.height);
    bool list = unit.kind == unit_kind::dropDownList;
    EXPECT_EQ(layout.createHeight, list ? 160 : unit.height);
    EXPECT_EQ(layout.extraItemHeight, list ? 1 : 0);
  }
}

struct LayoutCase {
  size_t position;  // in the template; 0 is the window
  int32_t dpi;
  UnitLayout want;
};

const LayoutCase kLayoutCases[] = {
    // clang-format off
    {0, 120, {63, 63, 289, 256, 256, 0}},
    {0, 144, {75, 75, 347, 308, 308, 0}},
    {0, 192, {100, 100, 462, 410, 410, 0}},
    {1, 120, {91, 134, 79, 30, 30, 0}},
    {1, 144, {110, 161, 95, 36, 36, 0}},
    {2, 192, {128, 272, 160, 64, 64, 0}},
    {3, 144, {24, 60, 108, 36, 36, 0}},
    {4, 120, {115, 50, 130, 25, 200, 1}},
    {4, 144, {138, 60, 156, 30, 240, 2}},
    {8, 192, {184, 32, 208, 40, 320, 2}},
    // clang-format on
};

TEST(DisplayScale, EveryFigureOfTheWindowScales) {
  WindowTemplate window = launcherWindow();
  ASSERT_EQ(window.units.size(), 9u);
  for (const LayoutCase& c : kLayoutCases) {
    SCOPED_TRACE(testing::Message() << "unit " << c.position << " at " << c.dpi);
    UnitLayout got = layoutAtDpi(window.units[c.position], c.dpi);
    EXPECT_EQ(got.left, c.want.left);
    EXPECT_EQ(got.top, c.want.top);
    EXPECT_EQ(got.width, c.want.width);
    EXPECT_EQ(got.height, c.want.height);
    EXPECT_EQ(got.createHeight, c.want.createHeight);
    EXPECT_EQ(got.extraItemHeight, c.want.extraItemHeight);
  }
}

// A list taller than the dropped minimum keeps its own height; a simple list (type 0) is
// created with its rectangle's height.
TEST(DisplayScale, DroppedHeightOfListsOfEveryType) {
  UnitTemplate unit;
  unit.kind = unit_kind::dropDownList;
  unit.height = 20;
  DropDownListAttributes list;
  list.extraItemHeight = 3;
  // The 3 extra pixels of an item scaled to nearest: 4.5 to 5 at 144 DPI, 3.75 to 4 at 120.
  const struct {
    int32_t type, height, dpi, createHeight, extraItemHeight;
  } cases[] = {
      // clang-format off
      {2, 20,  144, 240, 5},
      {1, 20,  120, 200, 4},
      {0, 20,  144, 30,  5},
      {2, 200, 144, 300, 5},
      // clang-format on
  };
  for (const auto& c : cases) {
    list.listType = c.type;
    unit.height = c.height;
    unit.attributes = list;
    UnitLayout layout = layoutAtDpi(unit, c.dpi);
    EXPECT_EQ(layout.createHeight, c.createHeight) << "type " << c.type;
    EXPECT_EQ(layout.extraItemHeight, c.extraItemHeight);
  }
}

}  // namespace
