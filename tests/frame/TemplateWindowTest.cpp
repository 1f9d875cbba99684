// The real launcher window built in-process from the real template resource: classes,
// rectangles, texts, entries and item values, the properties and methods behind the
// launcher's controls, the order of events while loading, keyboard focus movement, Esc and
// Enter, and the deferred destroy that ends the message loop.
#include <gtest/gtest.h>
#include <windows.h>

#include <iterator>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/LauncherWindow.h"
#include "app/WindowControls.h"
#include "frame/FrameState.h"
#include "frame/MessageLoop.h"
#include "frame/Startup.h"
#include "frame/Unit.h"
#include "frame/UnitAccess.h"
#include "frame/UnitNumbers.h"
#include "services/Wide.h"
#include "tests/support/Patience.h"

namespace {

// Events seen by the handlers: (unit id, event number), in order.
std::vector<std::pair<uint32_t, int32_t>> eventLog;
bool visibleAtCreated = false;
int clickedCount = 0;
void (*onCreated)() = nullptr;
void (*onClicked)() = nullptr;

HWND launcherWindow() {
  WindowEntry* window = findWindow(launcherWindowId);
  return window != nullptr ? windowHandle(*window) : nullptr;
}

std::optional<int32_t> createdHandler(std::span<const int32_t>) {
  eventLog.push_back({0, unit_event::created});
  visibleAtCreated = IsWindowVisible(launcherWindow()) != 0;
  if (onCreated != nullptr) onCreated();
  return std::nullopt;
}

std::optional<int32_t> clickedHandler(std::span<const int32_t>) {
  eventLog.push_back({launcher_unit::startButton, unit_event::clicked});
  ++clickedCount;
  if (onClicked != nullptr) onClicked();
  return std::nullopt;
}

constexpr EventHandler handlers[] = {&createdHandler, &clickedHandler};

// A handler that records its unit and event, bound by the tests to unbound events.
template <uint32_t unit, int32_t number>
std::optional<int32_t> recordingHandler(std::span<const int32_t>) {
  eventLog.push_back({unit, number});
  return std::nullopt;
}

// A close query that keeps the window open.
int closeQueries = 0;
std::optional<int32_t> refuseClose(std::span<const int32_t>) {
  ++closeQueries;
  return 0;
}

void bind(uint32_t unitId, int32_t number, EventHandler handler) {
  findUnit(*findWindow(launcherWindowId), unitId)->events.push_back({number, handler});
}

void unbind(uint32_t unitId, int32_t number) {
  auto& events = findUnit(*findWindow(launcherWindowId), unitId)->events;
  std::erase_if(events, [&](const EventBinding& b) { return b.number == number; });
}

HWND control(uint32_t unitId) {
  return findUnit(*findWindow(launcherWindowId), unitId)->live->hwnd();
}

std::wstring windowText(HWND hwnd) {
  wchar_t text[256] = {};
  GetWindowTextW(hwnd, text, 256);
  return text;
}

std::wstring className(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  CharUpperW(name);
  return name;
}

class TemplateWindowTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { startFrame(handlers); }

  void SetUp() override {
    eventLog.clear();
    visibleAtCreated = false;
    clickedCount = 0;
    onCreated = nullptr;
    onClicked = nullptr;
    loadStartupWindow(launcherWindowId);
    ASSERT_NE(launcherWindow(), nullptr);
  }

  void TearDown() override {
    if (launcherWindow() != nullptr) controls.destroyWindow();
    runMessageLoop();  // ends with the quit message posted when the window is gone
    MSG quit;          // left behind when the window went before the loop ran
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    EXPECT_EQ(launcherWindow(), nullptr);
    EXPECT_FALSE(anyWindowAlive());
  }

  WindowControls controls;
};

TEST_F(TemplateWindowTest, WindowIsCentredFixedFrameWithOnlyACloseBox) {
  HWND hwnd = launcherWindow();
  EXPECT_EQ(className(hwnd), L"WTWINDOW");
  EXPECT_EQ(windowText(hwnd), gbkToWide(launcher_text::window));
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.right - r.left, launcher_rect::window.width);
  EXPECT_EQ(r.bottom - r.top, launcher_rect::window.height);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - launcher_rect::window.width) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - launcher_rect::window.height) / 2);
  LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN),
            WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_CHILD), 0);
  EXPECT_EQ(GetWindowLongW(hwnd, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE), 0);
  EXPECT_EQ(GetWindow(hwnd, GW_OWNER), nullptr);  // shown in the taskbar
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_NE(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0), 0);
  EXPECT_EQ(SendMessageW(hwnd, WM_GETFONT, 0, 0),
            reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
  EXPECT_NE(GetMenuState(GetSystemMenu(hwnd, FALSE), SC_MOVE, MF_BYCOMMAND), UINT(-1));
}

std::string resourceBytes(const wchar_t* name, const wchar_t* type) {
  HRSRC found = FindResourceW(nullptr, name, type);
  if (found == nullptr) return "<missing>";
  const void* bytes = LockResource(LoadResource(nullptr, found));
  return std::string(static_cast<const char*>(bytes), SizeofResource(nullptr, found));
}

// The window's icon and the program's icon group "DEFAULT_ICON" are one 64 x 64 image.
TEST_F(TemplateWindowTest, TheIconGroupHoldsTheWindowIconImage) {
  const auto& window =
      std::get<WindowAttributes>(findWindow(launcherWindowId)->units[0].description->attributes);
  ASSERT_EQ(window.icon.size(), 6u + 16u + 12840u);
  std::string group = resourceBytes(L"DEFAULT_ICON", MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  ASSERT_EQ(group.size(), 6u + 14u);                                         // one member
  EXPECT_EQ(group.substr(0, 6), std::string("\0\0\1\0\1\0", 6));
  EXPECT_EQ(group.substr(6, 4), window.icon.substr(6, 4));    // 64 x 64, colour count 0
  EXPECT_EQ(group.substr(14, 4), window.icon.substr(14, 4));  // 12,840 bytes
  int member = static_cast<unsigned char>(group[18]) | static_cast<unsigned char>(group[19]) << 8;
  std::string image = resourceBytes(MAKEINTRESOURCEW(member), MAKEINTRESOURCEW(3));  // RT_ICON
  EXPECT_EQ(image, window.icon.substr(22));
}

// The controls as the window template's description gives them, in stacking order from the
// top (the template order): the class of their kind and the text shown on a first start.
struct DescribedControl {
  uint32_t unit;
  int childId;
  const wchar_t* className;  // compared without regard to case
  TemplateRect rect;         // lists: the height is the system's
  const char* text;
  bool list;
};

// clang-format off
const DescribedControl kDescribedControls[] = {
    {launcher_unit::windowedBox,     launcher_child::windowedBox,     L"BUTTON",   launcher_rect::windowedBox,     launcher_text::windowedBox,              false},
    {launcher_unit::startButton,     launcher_child::startButton,     L"BUTTON",   launcher_rect::startButton,     launcher_text::startButton,              false},
    {launcher_unit::attributeLabel,  launcher_child::attributeLabel,  L"WTLabel",  launcher_rect::attributeLabel,  launcher_text::attributeLabel,           false},
    {launcher_unit::attributeList,   launcher_child::attributeList,   L"COMBOBOX", launcher_rect::attributeList,   launcher_entries::attributeList[0].text,  true},
    {launcher_unit::resolutionList,  launcher_child::resolutionList,  L"COMBOBOX", launcher_rect::resolutionList,  launcher_entries::resolutionList[0].text, true},
    {launcher_unit::resolutionLabel, launcher_child::resolutionLabel, L"WTLabel",  launcher_rect::resolutionLabel, launcher_text::resolutionLabel,          false},
    {launcher_unit::weaponLabel,     launcher_child::weaponLabel,     L"WTLabel",  launcher_rect::weaponLabel,     launcher_text::weaponLabel,              false},
    {launcher_unit::weaponList,      launcher_child::weaponList,      L"COMBOBOX", launcher_rect::weaponList,      launcher_entries::weaponList[0].text,     true},
};
// clang-format on

TEST_F(TemplateWindowTest, ControlsHaveTheirClassesIdsRectanglesAndTexts) {
  // Style bits that must be set, in stacking order.
  const DWORD styles[] = {
      WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE | BS_VCENTER,
      WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE | BS_CENTER | BS_VCENTER,
      0,
      WS_TABSTOP | CBS_DROPDOWNLIST | CBS_AUTOHSCROLL,
      WS_TABSTOP | CBS_DROPDOWNLIST | CBS_AUTOHSCROLL,
      0,
      0,
      WS_TABSTOP | CBS_DROPDOWNLIST | CBS_AUTOHSCROLL,
  };
  static_assert(std::size(styles) == std::size(kDescribedControls));
  HWND window = launcherWindow();
  HWND above = nullptr;  // stacking: template order from the top
  for (size_t i = 0; i < std::size(kDescribedControls); ++i) {
    const DescribedControl& c = kDescribedControls[i];
    SCOPED_TRACE(c.childId);
    HWND hwnd = control(c.unit);
    EXPECT_EQ(GetParent(hwnd), window);
    EXPECT_EQ(_wcsicmp(className(hwnd).c_str(), c.className), 0);
    EXPECT_EQ(GetDlgCtrlID(hwnd), c.childId);
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, c.rect.left);
    EXPECT_EQ(r.top, c.rect.top);
    EXPECT_EQ(r.right, c.rect.left + c.rect.width);
    if (!c.list) {
      EXPECT_EQ(r.bottom, c.rect.top + c.rect.height);
    }
    EXPECT_EQ(windowText(hwnd), gbkToWide(c.text));
    LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    EXPECT_EQ(style & styles[i], LONG(styles[i]));
    EXPECT_EQ(style & (WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE | WS_DISABLED),
              WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE);
    if (styles[i] == 0) {
      EXPECT_EQ(style & WS_TABSTOP, 0);
    }
    EXPECT_EQ(GetWindow(hwnd, GW_HWNDPREV), above);
    above = hwnd;
  }
}

TEST_F(TemplateWindowTest, ListsHoldTheirEntriesAndItemValues) {
  const struct {
    uint32_t unit;
    std::span<const TemplateEntry> entries;
  } cases[] = {
      {launcher_unit::weaponList, launcher_entries::weaponList},
      {launcher_unit::attributeList, launcher_entries::attributeList},
      {launcher_unit::resolutionList, launcher_entries::resolutionList},
  };
  for (const auto& c : cases) {
    HWND list = control(c.unit);
    ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), LRESULT(c.entries.size()));
    for (size_t i = 0; i < c.entries.size(); ++i) {
      wchar_t text[64] = {};
      SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
      EXPECT_EQ(text, gbkToWide(c.entries[i].text)) << c.unit << " " << i;
      EXPECT_EQ(SendMessageW(list, CB_GETITEMDATA, i, 0), c.entries[i].itemValue);
    }
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 0);  // the initial selection
    // Created 160 pixels high with the list dropped down: the open list of the weapons is
    // cut to that height, the shorter lists are not.
    SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(list, &info);
    RECT field, part;
    GetWindowRect(list, &field);
    GetWindowRect(info.hwndList, &part);
    if (c.unit == launcher_unit::weaponList) {
      EXPECT_LE(part.bottom - field.top, 160);
      EXPECT_GE(part.bottom - field.top, 140);
    }
    SendMessageW(list, CB_SHOWDROPDOWN, FALSE, 0);
  }
}

// Whatever the system's code page, the font of every text-bearing control has glyphs of its
// own for each character of its caption or entries (no empty boxes on screen), at no less
// than the 12-pixel size of a Chinese system's interface font that the window is laid out
// for: smaller, the Chinese faces lose strokes (开 drawn as a J).
TEST_F(TemplateWindowTest, EveryControlFontDrawsItsChineseTexts) {
  const struct {
    uint32_t unit;
    const char* text;
  } cases[] = {
      {launcher_unit::windowedBox, launcher_text::windowedBox},
      {launcher_unit::startButton, launcher_text::startButton},
      {launcher_unit::attributeLabel, launcher_text::attributeLabel},
      {launcher_unit::resolutionLabel, launcher_text::resolutionLabel},
      {launcher_unit::weaponLabel, launcher_text::weaponLabel},
      {launcher_unit::weaponList, launcher_entries::weaponList[9].text},
      {launcher_unit::attributeList, launcher_entries::attributeList[3].text},
      {launcher_unit::resolutionList, launcher_entries::resolutionList[1].text},
  };
  HDC dc = GetDC(launcherWindow());
  for (const auto& c : cases) {
    auto font = reinterpret_cast<HFONT>(SendMessageW(control(c.unit), WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr) << c.unit;
    HGDIOBJ old = SelectObject(dc, font);
    std::wstring text = gbkToWide(c.text);
    std::vector<WORD> glyphs(text.size());
    GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                     GGI_MARK_NONEXISTING_GLYPHS);
    for (size_t i = 0; i < glyphs.size(); ++i) EXPECT_NE(glyphs[i], 0xFFFF) << c.unit << " " << i;
    LOGFONTW logFont{};
    ASSERT_EQ(GetObjectW(font, sizeof logFont, &logFont), int(sizeof logFont)) << c.unit;
    EXPECT_LE(logFont.lfHeight, -12) << c.unit;  // a character height of 12 pixels or more
    SelectObject(dc, old);
  }
  ReleaseDC(launcherWindow(), dc);
}

TEST_F(TemplateWindowTest, SelectionIsClampedAndItemValuesOutsideTheListAreMinusOne) {
  // The resolutions as the description gives them (an entry may be added there).
  constexpr int32_t resolutions = int32_t{std::size(launcher_entries::resolutionList)};
  constexpr int32_t lastResolutionValue =
      launcher_entries::resolutionList[resolutions - 1].itemValue;
  const struct {
    LauncherList list;
    int32_t set;
    int32_t selected;
    int32_t itemValue;  // of the selected entry
  } cases[] = {
      // clang-format off
      {LauncherList::weapon,     99,              12,              0},
      {LauncherList::weapon,     9,               9,               47},
      {LauncherList::weapon,     13,              12,              0},
      {LauncherList::weapon,     11,              11,              55},
      {LauncherList::weapon,     -1,              -1,              -1},
      {LauncherList::weapon,     -5,              -1,              -1},
      {LauncherList::weapon,     0,               0,               1},
      {LauncherList::attribute,  3,               3,               4},
      {LauncherList::attribute,  4,               3,               4},
      {LauncherList::resolution, 1,               1,               0},
      {LauncherList::resolution, resolutions - 1, resolutions - 1, lastResolutionValue},
      {LauncherList::resolution, resolutions,     resolutions - 1, lastResolutionValue},
      {LauncherList::resolution, resolutions + 5, resolutions - 1, lastResolutionValue},
      {LauncherList::resolution, -2,              -1,              -1},
      // clang-format on
  };
  for (const auto& c : cases) {
    controls.setSelection(c.list, c.set);
    EXPECT_EQ(controls.selection(c.list), c.selected) << c.set;
    EXPECT_EQ(controls.itemValue(c.list, controls.selection(c.list)), c.itemValue) << c.set;
  }
  EXPECT_EQ(controls.itemValue(LauncherList::weapon, 13), -1);
  EXPECT_EQ(controls.itemValue(LauncherList::attribute, 4), -1);
  EXPECT_EQ(controls.itemValue(LauncherList::resolution, resolutions), -1);
  EXPECT_EQ(controls.itemValue(LauncherList::weapon, INT32_MIN), -1);
}

TEST_F(TemplateWindowTest, TickStateFollowsTheBox) {
  HWND box = control(launcher_unit::windowedBox);
  EXPECT_FALSE(controls.isTicked());
  controls.setTicked(true);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(controls.isTicked());
  writeUnitProperty(launcherWindowId, launcher_unit::windowedBox, unit_property::tickState, 7);
  EXPECT_TRUE(controls.isTicked());
  controls.setTicked(false);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  SendMessageW(box, BM_CLICK, 0, 0);  // the user ticks it
  EXPECT_TRUE(controls.isTicked());
  SendMessageW(box, BM_CLICK, 0, 0);
  EXPECT_FALSE(controls.isTicked());
  EXPECT_EQ(clickedCount, 0);  // the box's click is not the button's
}

TEST_F(TemplateWindowTest, CommonPropertiesReadTheLiveRectangle) {
  for (const DescribedControl& c : kDescribedControls) {
    SCOPED_TRACE(c.childId);
    EXPECT_EQ(readUnitProperty(launcherWindowId, c.unit, unit_property::left), c.rect.left);
    EXPECT_EQ(readUnitProperty(launcherWindowId, c.unit, unit_property::top), c.rect.top);
    EXPECT_EQ(readUnitProperty(launcherWindowId, c.unit, unit_property::width), c.rect.width);
    if (!c.list) {
      EXPECT_EQ(readUnitProperty(launcherWindowId, c.unit, unit_property::height), c.rect.height);
    }
    EXPECT_EQ(readUnitProperty(launcherWindowId, c.unit, unit_property::visible), 1);
    EXPECT_EQ(readUnitProperty(launcherWindowId, c.unit, unit_property::disabled), 0);
  }
  EXPECT_EQ(readUnitProperty(launcherWindowId, windowUnitId, unit_property::width),
            launcher_rect::window.width);
  EXPECT_EQ(readUnitProperty(launcherWindowId, windowUnitId, unit_property::height),
            launcher_rect::window.height);
}

// Loading a second time, now with handlers bound to the window's other events: nothing is
// raised while the window is built; created runs first with the window invisible, then
// moved and resized; showing raises shown, first activated, activated and got focus.
TEST_F(TemplateWindowTest, EventsWhileLoadingComeInOrderAfterCreated) {
  controls.destroyWindow();
  runMessageLoop();
  ASSERT_EQ(launcherWindow(), nullptr);
  bind(0, unit_event::moved, &recordingHandler<0, unit_event::moved>);
  bind(0, unit_event::resized, &recordingHandler<0, unit_event::resized>);
  bind(0, unit_event::activated, &recordingHandler<0, unit_event::activated>);
  bind(0, unit_event::firstActivated, &recordingHandler<0, unit_event::firstActivated>);
  bind(0, unit_event::shown, &recordingHandler<0, unit_event::shown>);
  bind(0, unit_event::gotFocus, &recordingHandler<0, unit_event::gotFocus>);
  bind(launcher_unit::weaponList, unit_event::gotFocus,
       &recordingHandler<launcher_unit::weaponList, unit_event::gotFocus>);
  eventLog.clear();
  onCreated = [] {
    // Every unit exists and can be set while the window is still invisible.
    WindowControls().setSelection(LauncherList::weapon, 4);
  };
  loadStartupWindow(launcherWindowId);
  for (int32_t n : {unit_event::moved, unit_event::resized, unit_event::activated,
                    unit_event::firstActivated, unit_event::shown, unit_event::gotFocus}) {
    unbind(0, n);
  }
  unbind(launcher_unit::weaponList, unit_event::gotFocus);

  EXPECT_FALSE(visibleAtCreated);
  EXPECT_EQ(controls.selection(LauncherList::weapon), 4);
  const std::vector<std::pair<uint32_t, int32_t>> expected = {
      // clang-format off
      {0,                         unit_event::created},
      {0,                         unit_event::moved},
      {0,                         unit_event::resized},
      {0,                         unit_event::shown},
      {0,                         unit_event::firstActivated},
      {0,                         unit_event::activated},
      {0,                         unit_event::gotFocus},
      {launcher_unit::weaponList, unit_event::gotFocus},
      // clang-format on
  };
  ASSERT_GE(eventLog.size(), expected.size());
  EXPECT_EQ(std::vector(eventLog.begin(), eventLog.begin() + expected.size()), expected);
  EXPECT_EQ(GetFocus(), control(launcher_unit::weaponList));
}

TEST_F(TemplateWindowTest, EventsAreDroppedWhileSuppressed) {
  eventLog.clear();  // the created event of loading
  frameState().eventSuppression += 1;
  EventRecord created{launcherWindowId, 0, unit_event::created};
  EXPECT_FALSE(raiseEvent(created));
  EXPECT_FALSE(raiseUnitEvent(0x0BADBAD0, 0, unit_event::created));  // not even looked up
  SendMessageW(control(launcher_unit::startButton), BM_CLICK, 0, 0);
  frameState().eventSuppression -= 1;
  EXPECT_EQ(clickedCount, 0);
  EXPECT_TRUE(eventLog.empty());
  EventRecord again{launcherWindowId, 0, unit_event::created};
  EXPECT_TRUE(raiseEvent(again));
  EXPECT_EQ(eventLog.size(), 1u);
}

// Loading builds the window between suspendEvents and resumeEvents: notifications in
// between raise nothing, and messages still waiting when events resume are dispatched
// before they do, so they raise nothing either.
TEST_F(TemplateWindowTest, NotificationsBetweenSuspendAndResumeRaiseNothing) {
  HWND hwnd = launcherWindow();
  bind(0, unit_event::moved, &recordingHandler<0, unit_event::moved>);
  eventLog.clear();
  suspendEvents();
  SendMessageW(hwnd, WM_MOVE, 0, 0);
  PostMessageW(hwnd, WM_MOVE, 0, 0);
  resumeEvents();
  EXPECT_TRUE(eventLog.empty());
  SendMessageW(hwnd, WM_MOVE, 0, 0);
  unbind(0, unit_event::moved);
  EXPECT_EQ(eventLog, (std::vector<std::pair<uint32_t, int32_t>>{{0, unit_event::moved}}));
}

int idleCalls = 0;
int32_t idleElapsed = -1;
bool idleWantsMore = false;
std::optional<int32_t> idleHandler(std::span<const int32_t> arguments) {
  ++idleCalls;
  idleElapsed = arguments.size() == 1 ? arguments[0] : -1;
  if (idleWantsMore) return 1;
  return std::nullopt;
}

// The idle step: housekeeping at counts 0 and 1; from 2 on the window's idle event with the
// milliseconds since count 0, until its handler stops asking for more.
TEST_F(TemplateWindowTest, IdleStepRaisesTheIdleEventFromTheThirdStep) {
  bind(0, unit_event::idle, &idleHandler);
  const struct {
    bool wantsMore;
    bool moreAfter[5];  // result of steps 0 to 4
    int calls;          // idle events raised by the five steps
  } cases[] = {
      {false, {true, true, false, false, false}, 1},
      {true, {true, true, true, true, true}, 3},
  };
  for (const auto& c : cases) {
    idleCalls = 0;
    idleElapsed = -1;
    idleWantsMore = c.wantsMore;
    for (int n = 0; n < 5; ++n) {
      EXPECT_EQ(runIdleStep(n), c.moreAfter[n]) << c.wantsMore << " " << n;
      if (n < 2) {
        EXPECT_EQ(idleCalls, 0);
      }
    }
    EXPECT_EQ(idleCalls, c.calls);
    EXPECT_GE(idleElapsed, 0);
    EXPECT_LT(idleElapsed, 10000);
  }
  unbind(0, unit_event::idle);
  EXPECT_TRUE(runIdleStep(0));
  EXPECT_FALSE(runIdleStep(2));  // unbound: one idle event that finds no handler
}

// Tab and Shift+Tab posted as key messages to whatever holds the focus.
TEST_F(TemplateWindowTest, TabMovesTheFocusThroughTheListsButtonAndBox) {
  const uint32_t order[] = {launcher_unit::weaponList,    launcher_unit::resolutionList,
                            launcher_unit::attributeList, launcher_unit::startButton,
                            launcher_unit::windowedBox,   launcher_unit::weaponList};
  ASSERT_EQ(GetFocus(), control(order[0]));
  for (size_t i = 1; i < std::size(order); ++i) {
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    pumpWaitingMessages();
    EXPECT_EQ(GetFocus(), control(order[i])) << i;
  }
  BYTE keys[256];
  GetKeyboardState(keys);
  BYTE shifted[256];
  std::copy(std::begin(keys), std::end(keys), shifted);
  shifted[VK_SHIFT] = 0x80;
  SetKeyboardState(shifted);
  for (size_t i = std::size(order) - 1; i-- > 0;) {
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    pumpWaitingMessages();
    EXPECT_EQ(GetFocus(), control(order[i])) << "back " << i;
  }
  SetKeyboardState(keys);
  EXPECT_EQ(clickedCount, 0);
}

TEST_F(TemplateWindowTest, FocusReturnsToTheLastControlOnActivation) {
  HWND button = control(launcher_unit::startButton);
  SetFocus(button);
  SendMessageW(launcherWindow(), WM_ACTIVATE, WA_INACTIVE, 0);
  SetFocus(launcherWindow());  // the window passes the focus on
  EXPECT_EQ(GetFocus(), button);
}

TEST_F(TemplateWindowTest, EnterDoesNothingWithoutADefaultButton) {
  SetFocus(control(launcher_unit::startButton));
  PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
  pumpWaitingMessages();
  EXPECT_EQ(clickedCount, 0);
  EXPECT_NE(launcherWindow(), nullptr);
}

TEST_F(TemplateWindowTest, SpaceOnTheFocusedButtonClicksIt) {
  HWND button = control(launcher_unit::startButton);
  SetFocus(button);
  PostMessageW(button, WM_KEYDOWN, VK_SPACE, 0);
  PostMessageW(button, WM_KEYUP, VK_SPACE, 0xC0000000);
  pumpWaitingMessages();
  EXPECT_EQ(clickedCount, 1);
}

TEST_F(TemplateWindowTest, EscClosesTheWindowWithoutAClick) {
  PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
  runMessageLoop();  // returns on the quit message that follows the window's end
  EXPECT_EQ(launcherWindow(), nullptr);
  EXPECT_EQ(clickedCount, 0);
  EXPECT_EQ(frameState().currentMessage.message, UINT(WM_QUIT));
  EXPECT_EQ(frameState().currentMessage.wParam, 0u);
}

TEST_F(TemplateWindowTest, EscOnAnOpenListClosesTheListOnly) {
  HWND list = control(launcher_unit::weaponList);
  ASSERT_EQ(GetFocus(), list);
  SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
  ASSERT_NE(SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0), 0);
  PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
  pumpWaitingMessages();
  EXPECT_EQ(SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0), 0);
  EXPECT_NE(launcherWindow(), nullptr);
  PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);  // the list is closed: now the window
  pumpWaitingMessages();
  EXPECT_EQ(launcherWindow(), nullptr);
}

TEST_F(TemplateWindowTest, ACloseQueryAnsweringFalseKeepsTheWindow) {
  bind(0, 1, &refuseClose);
  closeQueries = 0;
  SendMessageW(launcherWindow(), WM_CLOSE, 0, 0);
  unbind(0, 1);
  EXPECT_EQ(closeQueries, 1);
  EXPECT_NE(launcherWindow(), nullptr);
  SendMessageW(launcherWindow(), WM_CLOSE, 0, 0);  // unbound: default processing destroys it
  EXPECT_EQ(launcherWindow(), nullptr);
}

// The apply's path: the click handler asks for the destroy first and still runs to its
// end; the window goes when the posted request is handled, then the loop ends.
TEST_F(TemplateWindowTest, DestroyRequestedInTheClickHandlerTakesEffectAfterIt) {
  static bool aliveAfterRequest = false;
  onClicked = [] {
    WindowControls().destroyWindow();
    aliveAfterRequest = IsWindow(launcherWindow()) && IsWindowVisible(launcherWindow());
  };
  HWND hwnd = launcherWindow();
  SendMessageW(control(launcher_unit::startButton), BM_CLICK, 0, 0);
  EXPECT_EQ(clickedCount, 1);
  EXPECT_TRUE(aliveAfterRequest);
  EXPECT_TRUE(IsWindow(hwnd));
  MSG waiting;
  EXPECT_TRUE(PeekMessageW(&waiting, hwnd, frame_message::destroyRequest,
                           frame_message::destroyRequest, PM_NOREMOVE));
  runMessageLoop();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(frameState().currentMessage.message, UINT(WM_QUIT));
  EXPECT_EQ(frameState().currentMessage.wParam, 0u);
  EXPECT_EQ(clickedCount, 1);
}

// Set when the thread's timer below had to end a message loop that went on waiting.
bool loopEndedByTimer = false;
void CALLBACK endTheLoop(HWND, UINT, UINT_PTR, DWORD) {
  loopEndedByTimer = true;
  PostQuitMessage(0);
}

TEST_F(TemplateWindowTest, TheLoopReturnsAtOnceWhenNoWindowIsAlive) {
  callUnitMethod(launcherWindowId, windowUnitId, unit_method::destroy, std::vector<int32_t>{1});
  EXPECT_EQ(launcherWindow(), nullptr);  // destroyed before the call returned
  MSG quit;
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // loop was entered
  // No quit message is left: a loop that waited for one would wait for ever, so a timer of
  // the thread ends it instead, and the test fails rather than hangs.
  loopEndedByTimer = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, kPatienceMs, &endTheLoop);
  ASSERT_NE(timer, 0u);
  runMessageLoop();
  KillTimer(nullptr, timer);
  EXPECT_FALSE(loopEndedByTimer) << "the loop waited for messages with no window alive";
}

}  // namespace
