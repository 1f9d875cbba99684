// The plain-field controls (entries, item values and the selection rule of the launcher
// window's lists) and the settings conversions of "wdpz.ini".
#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "GbkTexts.h"
#include "LauncherTemplate.h"
#include "launcher/LauncherSettings.h"
#include "tests/support/PlainLauncherControls.h"

namespace {

// The resolutions are as many as the window's description gives (an entry may be added
// there), each with the item value 0.
constexpr int32_t kResolutions = int32_t{std::size(launcher_entries::resolutionList)};

std::vector<int32_t> itemValues(PlainLauncherControls& controls, LauncherList list) {
  std::vector<int32_t> values;
  for (int32_t i = 0; i < controls.entryCount(list); ++i)
    values.push_back(controls.itemValue(list, i));
  return values;
}

TEST(PlainLauncherControls, EntriesAndItemValuesOfTheWindow) {
  PlainLauncherControls controls;
  EXPECT_EQ(itemValues(controls, LauncherList::weapon),
            (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 47, 51, 55, 0}));
  EXPECT_EQ(itemValues(controls, LauncherList::attribute), (std::vector<int32_t>{1, 2, 3, 4}));
  EXPECT_EQ(itemValues(controls, LauncherList::resolution), std::vector<int32_t>(kResolutions, 0));
  for (LauncherList list :
       {LauncherList::weapon, LauncherList::attribute, LauncherList::resolution}) {
    EXPECT_EQ(controls.selection(list), 0);
    EXPECT_EQ(controls.itemValue(list, -1), -1);
    EXPECT_EQ(controls.itemValue(list, controls.entryCount(list)), -1);
  }
  EXPECT_FALSE(controls.isTicked());
  EXPECT_FALSE(controls.destroyRequested());
}

TEST(PlainLauncherControls, SelectionRule) {
  struct Case {
    LauncherList list;
    int32_t set;
    int32_t selected;
  };
  const Case cases[] = {
      // clang-format off
      {LauncherList::weapon,     0,         0},
      {LauncherList::weapon,     11,        11},
      {LauncherList::weapon,     12,        12},
      {LauncherList::weapon,     13,        12},
      {LauncherList::weapon,     99,        12},
      {LauncherList::weapon,     -1,        -1},
      {LauncherList::weapon,     -3,        -1},
      {LauncherList::attribute,  3,         3},
      {LauncherList::attribute,  4,         3},
      {LauncherList::attribute,  INT32_MIN, -1},
      {LauncherList::resolution, 1,         1},
      {LauncherList::resolution, INT32_MAX, kResolutions - 1},
      // clang-format on
  };
  for (const Case& c : cases) {
    PlainLauncherControls controls;
    controls.setSelection(c.list, c.set);
    EXPECT_EQ(controls.selection(c.list), c.selected) << "set " << c.set;
  }
}

TEST(LauncherSettings, ProfileTexts) {
  struct IndexCase {
    const char* text;
    int32_t index;
  };
  const IndexCase indexes[] = {
      // clang-format off
      {"0",   0},
      {"11",  11},
      {"99",  99},
      {"-3",  kPastTheEnd},
      {"-1",  kPastTheEnd},
      {"2147483647", 2147483647},
      {"2147483648", kPastTheEnd},
      {"4294967297", kPastTheEnd},
      {"-2147483649", kPastTheEnd},
      {"abc", 0},
      {"",    0},
      {" 7",  7},
      {"5x",  5},
      // clang-format on
  };
  for (const IndexCase& c : indexes) {
    EXPECT_EQ(selectionFromProfileText(c.text), c.index) << c.text;
  }
  struct WindowedCase {
    const char* text;
    bool windowed;
  };
  const WindowedCase windowed[] = {{gbk::logicalTrue, true},
                                   {gbk::logicalFalse, false},
                                   {"", true},
                                   {"0", true},
                                   {"false", true}};
  for (const WindowedCase& c : windowed) {
    EXPECT_EQ(windowedFromProfileText(c.text), c.windowed) << c.text;
  }
  EXPECT_EQ(profileTextOfWindowed(true).str(), gbk::logicalTrue);
  EXPECT_EQ(profileTextOfWindowed(false).str(), gbk::logicalFalse);
}

}  // namespace
