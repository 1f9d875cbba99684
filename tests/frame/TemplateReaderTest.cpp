// The window template reader over the real template the build makes, and over damaged
// copies of it: cut short, an unknown kind, a kind block newer than the reader knows.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "LauncherTemplate.h"
#include "frame/TemplateReader.h"

namespace {

const unsigned char launcherTemplateBytes[] = {
#include "LauncherWindow.inc"
};

std::string launcherTemplate() {
  return std::string(reinterpret_cast<const char*>(launcherTemplateBytes),
                     sizeof launcherTemplateBytes);
}

uint32_t readU32(const std::string& data, size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= uint32_t(static_cast<unsigned char>(data[at + i])) << (8 * i);
  return v;
}

template <size_t n>
std::vector<std::string> entryTexts(const TemplateEntry (&entries)[n]) {
  std::vector<std::string> texts;
  for (const TemplateEntry& entry : entries) texts.emplace_back(entry.text);
  return texts;
}

template <size_t n>
std::vector<int32_t> entryValues(const TemplateEntry (&entries)[n]) {
  std::vector<int32_t> values;
  for (const TemplateEntry& entry : entries) values.push_back(entry.itemValue);
  return values;
}

void writeU32(std::string& data, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) data[at + i] = static_cast<char>(v >> (8 * i));
}

// Where unit record `index` of the first window starts (its length field): after the window
// table (4 + 8), the two reserved values and two empty counted texts (16), the unit count
// and block size (8), and the block's ids and offsets.
size_t recordStart(const std::string& data, size_t index) {
  uint32_t count = readU32(data, 28);
  size_t block = 36;
  return block + size_t(count) * 8 + readU32(data, block + size_t(count) * 4 + index * 4);
}

// Where the kind block's version lies in a record with the given name and event count.
size_t kindBlockStart(const std::string& data, size_t index, size_t nameLength, size_t eventCount) {
  return recordStart(data, index) + 4 /* length */ + 4 /* kind */ + 20 + nameLength + 1 + 1 +
         4 /* control slot */ + 16 + 4 /* cursor slot */ + 4 /* parent */ + 4 /* children */ +
         8 /* cursor block */ + 1 /* tag */ + 4 + 4 /* flags */ + 4 /* tab order */ + 4 +
         eventCount * 8 + 20;
}

struct ExpectedUnit {
  uint32_t id;
  uint32_t kind;
  const char* name;
  TemplateRect rect;
  uint32_t flags;
  int32_t handler;  // of event 0; -1 when the unit binds no event
};

// clang-format off
const ExpectedUnit expectedUnits[] = {
    {windowUnitId,                   unit_kind::window,       "",                             launcher_rect::window,          1, launcher_handler::onWindowCreated},
    {launcher_unit::windowedBox,     unit_kind::checkBox,     launcher_name::windowedBox,     launcher_rect::windowedBox,     5, -1},
    {launcher_unit::startButton,     unit_kind::button,       launcher_name::startButton,     launcher_rect::startButton,     5, launcher_handler::onStartGameClicked},
    {launcher_unit::attributeLabel,  unit_kind::label,        launcher_name::attributeLabel,  launcher_rect::attributeLabel,  1, -1},
    {launcher_unit::attributeList,   unit_kind::dropDownList, launcher_name::attributeList,   launcher_rect::attributeList,   5, -1},
    {launcher_unit::resolutionList,  unit_kind::dropDownList, launcher_name::resolutionList,  launcher_rect::resolutionList,  5, -1},
    {launcher_unit::resolutionLabel, unit_kind::label,        launcher_name::resolutionLabel, launcher_rect::resolutionLabel, 1, -1},
    {launcher_unit::weaponLabel,     unit_kind::label,        launcher_name::weaponLabel,     launcher_rect::weaponLabel,     1, -1},
    {launcher_unit::weaponList,      unit_kind::dropDownList, launcher_name::weaponList,      launcher_rect::weaponList,      5, -1},
};
// clang-format on

TEST(TemplateReader, ReadsTheLauncherWindow) {
  TemplateContents contents;
  ASSERT_TRUE(readWindowTemplate(launcherTemplate(), contents));
  ASSERT_EQ(contents.windows.size(), 1u);
  const WindowTemplate& window = contents.windows[0];
  EXPECT_EQ(window.windowId, launcherWindowId);
  EXPECT_EQ(window.defect, WindowDefect::none);
  ASSERT_EQ(window.units.size(), std::size(expectedUnits));
  for (size_t i = 0; i < std::size(expectedUnits); ++i) {
    const ExpectedUnit& e = expectedUnits[i];
    const UnitTemplate& u = window.units[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(u.id, e.id);
    EXPECT_EQ(u.kind, e.kind);
    EXPECT_EQ(u.version, highestKnownVersion(e.kind));
    EXPECT_EQ(u.name, e.name);
    EXPECT_EQ(u.left, e.rect.left);
    EXPECT_EQ(u.top, e.rect.top);
    EXPECT_EQ(u.width, e.rect.width);
    EXPECT_EQ(u.height, e.rect.height);
    EXPECT_EQ(u.flags, e.flags);
    EXPECT_EQ(u.tabOrder, 0);
    EXPECT_EQ(u.parent, 0u);
    EXPECT_TRUE(u.children.empty());
    EXPECT_EQ(u.cursor, std::string(4, '\0'));
    EXPECT_EQ(u.tag, "");
    if (e.handler == -1) {
      EXPECT_TRUE(u.events.empty());
    } else {
      ASSERT_EQ(u.events.size(), 1u);
      EXPECT_EQ(u.events[0].number, 0);
      EXPECT_EQ(u.events[0].handler, e.handler);
    }
  }
}

TEST(TemplateReader, ReadsTheWindowBlock) {
  TemplateContents contents;
  ASSERT_TRUE(readWindowTemplate(launcherTemplate(), contents));
  const auto& a = std::get<WindowAttributes>(contents.windows[0].units[0].attributes);
  EXPECT_EQ(a.borderStyle, 2);
  EXPECT_EQ(a.backgroundColour, 0xFF000000u);
  EXPECT_FALSE(a.maximiseBox);
  EXPECT_FALSE(a.minimiseBox);
  EXPECT_TRUE(a.controlBox);
  EXPECT_EQ(a.startPosition, 1);
  EXPECT_TRUE(a.movable);
  EXPECT_FALSE(a.enterMovesFocus);
  EXPECT_TRUE(a.escCloses);
  EXPECT_FALSE(a.f1Help);
  EXPECT_TRUE(a.showInTaskbar);
  EXPECT_FALSE(a.alwaysOnTop);
  EXPECT_EQ(a.className, "");
  EXPECT_EQ(a.title, launcher_text::window);
  EXPECT_EQ(a.helpFile, "");
  // The icon: one 64 x 64 entry of 24 bits, image of 12,840 bytes right after the entry.
  ASSERT_EQ(a.icon.size(), 6u + 16u + 12840u);
  EXPECT_EQ(readU32(a.icon, 0), 0x00010000u);
  EXPECT_EQ(a.icon.substr(6, 8), std::string("\x40\x40\0\0\0\0\0\0", 8));
  EXPECT_EQ(readU32(a.icon, 14), 12840u);
  EXPECT_EQ(readU32(a.icon, 18), 22u);
  EXPECT_EQ(readU32(a.icon, 22), 40u);   // BITMAPINFOHEADER
  EXPECT_EQ(readU32(a.icon, 26), 64u);   // width
  EXPECT_EQ(readU32(a.icon, 30), 128u);  // colour and mask rows
  EXPECT_EQ(readU32(a.icon, 34), 24u << 16 | 1u);
}

TEST(TemplateReader, ReadsTheControlBlocks) {
  TemplateContents contents;
  ASSERT_TRUE(readWindowTemplate(launcherTemplate(), contents));
  const auto& units = contents.windows[0].units;
  const auto& box = std::get<CheckBoxAttributes>(units[1].attributes);
  EXPECT_EQ(box.text, launcher_text::windowedBox);
  EXPECT_EQ(box.ticked, 0);
  EXPECT_EQ(box.hAlign, 0);
  EXPECT_EQ(box.vAlign, 1);
  EXPECT_EQ(box.backgroundColour, 0xFF000000u);
  const auto& button = std::get<ButtonAttributes>(units[2].attributes);
  EXPECT_EQ(button.text, launcher_text::startButton);
  EXPECT_EQ(button.type, 0);
  EXPECT_EQ(button.hAlign, 1);
  EXPECT_EQ(button.vAlign, 1);
  const struct {
    size_t unit;
    const char* text;
  } labels[] = {{3, launcher_text::attributeLabel},
                {6, launcher_text::resolutionLabel},
                {7, launcher_text::weaponLabel}};
  for (const auto& l : labels) {
    const auto& label = std::get<LabelAttributes>(units[l.unit].attributes);
    EXPECT_EQ(label.text, l.text);
    EXPECT_EQ(label.textColour, 0u);
    EXPECT_EQ(label.backgroundColour, 0xFF000000u);
    EXPECT_EQ(label.hAlign, 0);
    EXPECT_EQ(label.vAlign, 1);
    EXPECT_FALSE(label.wordWrap);
    EXPECT_EQ(label.font, "");
  }
}

TEST(TemplateReader, ReadsTheListEntriesAndItemValues) {
  TemplateContents contents;
  ASSERT_TRUE(readWindowTemplate(launcherTemplate(), contents));
  const auto& units = contents.windows[0].units;
  const auto& weapons = std::get<DropDownListAttributes>(units[8].attributes);
  const auto& attributes = std::get<DropDownListAttributes>(units[4].attributes);
  const auto& resolutions = std::get<DropDownListAttributes>(units[5].attributes);
  EXPECT_EQ(weapons.entries, entryTexts(launcher_entries::weaponList));
  EXPECT_EQ(weapons.itemValues, entryValues(launcher_entries::weaponList));
  EXPECT_EQ(attributes.entries, entryTexts(launcher_entries::attributeList));
  EXPECT_EQ(attributes.itemValues, entryValues(launcher_entries::attributeList));
  EXPECT_EQ(resolutions.entries, entryTexts(launcher_entries::resolutionList));
  EXPECT_TRUE(resolutions.itemValues.empty());
  for (const auto* list : {&weapons, &attributes, &resolutions}) {
    EXPECT_EQ(list->listType, 2);
    EXPECT_FALSE(list->sorted);
    EXPECT_EQ(list->extraItemHeight, 1);
    EXPECT_EQ(list->maxLength, 0);
    EXPECT_EQ(list->backgroundColour, 0xFFFFFFu);
    EXPECT_EQ(list->initialSelection, 0);
    EXPECT_EQ(list->content, "");
  }
}

TEST(TemplateReader, FailsOnEveryShortenedTemplate) {
  const std::string full = launcherTemplate();
  TemplateContents contents;
  for (size_t length = 0; length < full.size(); ++length) {
    // A copy of exactly `length` bytes, so that a read past it is seen by the sanitizer.
    std::string cut = full.substr(0, length);
    cut.shrink_to_fit();
    ASSERT_FALSE(readWindowTemplate(cut, contents)) << "length " << length;
  }
}

TEST(TemplateReader, FailsOnCountsAndOffsetsOutsideTheData) {
  const std::string full = launcherTemplate();
  const size_t offsets = 36 + 9 * 4;
  const struct {
    const char* what;
    size_t at;
    uint32_t value;
  } cases[] = {
      {"window table size not a multiple of 8", 0, 12},
      {"window table larger than the data", 0, 0x7FFFFFF8},
      {"unit count larger than the block", 28, 0x10000000},
      {"unit block larger than the data", 32, 0xFFFFFFF0},
      {"record offset past the records", offsets, 0x00FFFFFF},
      {"record length past the block", recordStart(full, 8), 0x00FFFFFF},
      {"child count past the record", recordStart(full, 3) + 4 + 4 + 20 + 6 + 1 + 4 + 16 + 4 + 4,
       0x00FFFFFF},
  };
  for (const auto& c : cases) {
    std::string damaged = full;
    writeU32(damaged, c.at, c.value);
    TemplateContents contents;
    EXPECT_FALSE(readWindowTemplate(damaged, contents)) << c.what;
  }
}

TEST(TemplateReader, MarksAWindowWithAnUnknownKind) {
  const struct {
    size_t unit;
    uint32_t kind;
  } cases[] = {
      // clang-format off
      {0, 0x00010002},
      {1, 0x0001000F},
      {8, 0},
      {4, 0x0001000D},
      // clang-format on
  };
  for (const auto& c : cases) {
    std::string damaged = launcherTemplate();
    writeU32(damaged, recordStart(damaged, c.unit) + 4, c.kind);
    TemplateContents contents;
    ASSERT_TRUE(readWindowTemplate(damaged, contents)) << c.unit;
    EXPECT_EQ(contents.windows[0].defect, WindowDefect::unknownKind) << c.unit;
    EXPECT_EQ(contents.windows[0].units.size(), 9u);
  }
}

TEST(TemplateReader, MarksAWindowWithAKindBlockNewerThanKnown) {
  // unit position, name length in bytes, event count, highest known version
  const struct {
    size_t unit;
    size_t nameLength;
    size_t events;
    uint32_t highest;
  } cases[] = {
      {0, 0, 1, 6},  // window
      {1, 7, 0, 2},  // check box 选择框1
      {2, 5, 1, 1},  // button 按钮1
      {3, 5, 0, 2},  // label 标签3
      {4, 7, 0, 3},  // drop-down list 组合框3
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.unit);
    std::string data = launcherTemplate();
    size_t at = kindBlockStart(data, c.unit, c.nameLength, c.events);
    ASSERT_EQ(readU32(data, at), c.highest);  // the layout above finds the version
    TemplateContents contents;
    writeU32(data, at, c.highest + 1);
    ASSERT_TRUE(readWindowTemplate(data, contents));
    EXPECT_EQ(contents.windows[0].defect, WindowDefect::versionTooHigh);
  }
}

}  // namespace
