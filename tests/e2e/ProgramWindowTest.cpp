// The real launcher window under Wine, read from outside: title, frame, position, every
// control, the lists and what they load from "wdpz.ini", the focus order, and the fatal
// box of a damaged window template.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/GameFolder.h"

namespace {

// The launcher window's controls as the user sees them, spelled out here on their own: the
// one place the tests do not take them from the window template's description. In stacking
// order from the top (the template order).
struct LayoutControl {
  uint32_t unit;                 // unit id in the template
  int childId;                   // control id of the native window
  const wchar_t* className;      // compared without regard to case
  int left, top, right, bottom;  // in the client area; lists: bottom 0 (the system's height)
  const wchar_t* text;           // the caption; lists: the entry shown on a first start
};

constexpr LayoutControl kLauncherLayout[] = {
    {0x16010049, 170, L"BUTTON", 73, 107, 136, 131, L"窗口化"},         // 选择框1
    {0x16010029, 160, L"BUTTON", 64, 136, 144, 168, L"开始游戏"},       // 按钮1
    {0x16010025, 150, L"WTLabel", 16, 40, 88, 64, L"副武器属性："},     // 标签3
    {0x16010026, 140, L"COMBOBOX", 92, 40, 196, 0, L"平均属性（林）"},  // 组合框3
    {0x1601000B, 130, L"COMBOBOX", 92, 80, 196, 0, L"800*600"},         // 组合框2
    {0x1601000A, 120, L"WTLabel", 16, 80, 88, 104, L"分辨率选择："},    // 标签2
    {0x16010007, 110, L"WTLabel", 16, 16, 88, 40, L"副武器选择："},     // 标签1
    {0x16010002, 100, L"COMBOBOX", 92, 16, 196, 0, L"飞镖"},            // 组合框1
};

const int kScreenWidth = 1024;  // the test display
const int kScreenHeight = 768;

class ProgramWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), kScreenWidth);
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), kScreenHeight);
  }
  void TearDown() override {
    if (run_.window && IsWindow(run_.window)) PostMessageW(run_.window, WM_CLOSE, 0, 0);
    run_.exitCode();
  }
  void startLauncher() { ASSERT_TRUE(run_.start(game_.launcherPath(), game_.path())); }

  GameFolder game_{"window"};
  LauncherRun run_;
};

TEST_F(ProgramWindowTest, TitleFrameSizeAndPosition) {
  startLauncher();
  HWND window = run_.window;
  EXPECT_EQ(classOf(window), L"WTWindow");
  EXPECT_EQ(textOf(window), L"《VarnokII》功能设置");

  RECT rect{};
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.right - rect.left, 231);
  EXPECT_EQ(rect.bottom - rect.top, 205);
  EXPECT_EQ(rect.left, (kScreenWidth - 231) / 2);
  EXPECT_EQ(rect.top, (kScreenHeight - 205) / 2);

  LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_CLIPCHILDREN);
  EXPECT_TRUE(style & WS_VISIBLE);
  EXPECT_FALSE(style & WS_THICKFRAME) << "the frame must not be resizable";
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & (WS_CHILD | WS_POPUP | WS_DISABLED));
  LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
  EXPECT_FALSE(exStyle & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_CLIENTEDGE));
  EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr) << "shown in the taskbar: no owner";

  // A close box, and a class that keeps Close in the system menu (SystemMenuCloses uses the
  // menu); no sizing frame, no minimise or maximise box (above).
  POINT closeBox{};
  EXPECT_TRUE(closeBoxPoint(window, &closeBox));
  EXPECT_FALSE(GetClassLongW(window, GCL_STYLE) & CS_NOCLOSE);
  // Hit testing on the frame never offers a sizing border.
  for (POINT edge : {POINT{rect.left + 1, (rect.top + rect.bottom) / 2},
                     POINT{rect.right - 2, (rect.top + rect.bottom) / 2},
                     POINT{(rect.left + rect.right) / 2, rect.bottom - 2}}) {
    LRESULT hit = SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y));
    EXPECT_FALSE(hit >= HTSIZEFIRST && hit <= HTSIZELAST) << "hit " << hit;
  }
}

// WS_VSCROLL is handed on to the list part: the combo box itself does not keep it.
const LONG kListStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST;
const LONG kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_MULTILINE;
const LONG kLabelStyle = WS_CHILD | WS_VISIBLE;

// Style bits each control must have and must not have, in stacking order.
const struct {
  LONG required;
  LONG forbidden;
} kStyles[] = {
    {kButtonStyle | BS_AUTOCHECKBOX, WS_DISABLED | BS_PUSHLIKE | BS_FLAT | BS_LEFTTEXT},
    {kButtonStyle | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER, WS_DISABLED | BS_DEFPUSHBUTTON},
    {kLabelStyle, WS_TABSTOP | WS_DISABLED},
    {kListStyle, WS_DISABLED | CBS_SORT},
    {kListStyle, WS_DISABLED | CBS_SORT},
    {kLabelStyle, WS_TABSTOP | WS_DISABLED},
    {kLabelStyle, WS_TABSTOP | WS_DISABLED},
    {kListStyle, WS_DISABLED | CBS_SORT},
};
static_assert(std::size(kStyles) == std::size(kLauncherLayout));

TEST_F(ProgramWindowTest, ControlsInStackingOrder) {
  startLauncher();
  std::vector<ChildInfo> children = childrenOf(run_.window);
  ASSERT_EQ(children.size(), std::size(kLauncherLayout));
  for (size_t i = 0; i < children.size(); ++i) {
    const ChildInfo& child = children[i];
    const LayoutControl& want = kLauncherLayout[i];
    SCOPED_TRACE(testing::Message() << "stacking position " << i << ", id " << want.childId);
    EXPECT_EQ(child.id, want.childId);
    EXPECT_EQ(_wcsicmp(child.className.c_str(), want.className), 0) << "class";
    EXPECT_EQ(child.rect.left, want.left);
    EXPECT_EQ(child.rect.top, want.top);
    EXPECT_EQ(child.rect.right, want.right);
    if (want.bottom) {
      EXPECT_EQ(child.rect.bottom, want.bottom);
    }
    EXPECT_EQ(child.text, want.text);
    EXPECT_EQ(child.style & kStyles[i].required, kStyles[i].required) << std::hex << child.style;
    EXPECT_EQ(child.style & kStyles[i].forbidden, 0) << std::hex << child.style;
  }
}

// A drop-down list as the window template describes it, built in this process by the same
// sequence: created 160 pixels high, then its font, item height, limit, entries and
// selection. Its dropped-down rectangle, relative to the field.
RECT droppedRectOfDescribedList(size_t entries) {
  HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr,
                                nullptr, nullptr);
  HWND list = CreateWindowExW(
      0, L"COMBOBOX", L"",
      WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL | CBS_DROPDOWNLIST, 92,
      16, 104, 160, parent, nullptr, nullptr, nullptr);
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  LRESULT itemHeight = SendMessageW(list, CB_GETITEMHEIGHT, 0, 0);
  SendMessageW(list, CB_SETITEMHEIGHT, 0, itemHeight + 1);
  SendMessageW(list, CB_LIMITTEXT, 0, 0);
  for (size_t i = 0; i < entries; ++i) SendMessageW(list, CB_ADDSTRING, 0, LPARAM(L"x"));
  SendMessageW(list, CB_SETCURSEL, 0, 0);
  RECT field{}, dropped{};
  GetWindowRect(list, &field);
  SendMessageW(list, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  DestroyWindow(parent);
  OffsetRect(&dropped, -field.left, -field.top);
  return dropped;
}

TEST_F(ProgramWindowTest, ListsDropDownAsAListBuiltByTheDescribedSequence) {
  startLauncher();
  for (int id : {kWeaponList, kAttributeList, kResolutionList}) {
    SCOPED_TRACE(id);
    HWND list = run_.control(id);
    ASSERT_NE(list, nullptr);
    RECT closed{};
    GetWindowRect(list, &closed);
    EXPECT_LT(closed.bottom - closed.top, 40) << "closed height";
    RECT dropped{};
    SendMessageW(list, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    OffsetRect(&dropped, -closed.left, -closed.top);
    RECT described = droppedRectOfDescribedList(readList(list).entries.size());
    EXPECT_TRUE(EqualRect(&dropped, &described))
        << dropped.left << "," << dropped.top << "," << dropped.right << "," << dropped.bottom;
  }
}

TEST_F(ProgramWindowTest, ListEntriesAndItemValues) {
  startLauncher();
  struct ListCase {
    int id;
    std::vector<std::wstring> entries;
    std::vector<LONG_PTR> values;
  };
  const ListCase lists[] = {
      {kWeaponList,
       {L"飞镖", L"飞轮", L"火铳", L"双刺", L"匕首", L"长剑", L"长枪", L"大刀", L"大锤", L"乾坤刀",
        L"指虎", L"忍刀", L"各关原版"},
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 47, 51, 55, 0}},
      {kAttributeList,
       {L"平均属性（林）", L"攻击属性（火）", L"防御属性（山）", L"速度属性（风）"},
       {1, 2, 3, 4}},
      {kResolutionList, {L"800*600", L"1024*788"}, {0, 0}},
  };
  for (const ListCase& want : lists) {
    SCOPED_TRACE(want.id);
    ListState list = readList(run_.control(want.id));
    EXPECT_EQ(list.entries, want.entries);
    EXPECT_EQ(list.itemValues, want.values);
  }
}

// What the window shows first, for a given "wdpz.ini".
struct LoadCase {
  const char* name;
  std::vector<std::wstring> lines;  // empty: no file at all
  int weapon, attribute, resolution;
  bool ticked;
};

const LoadCase kLoadCases[] = {
    {"no profile", {}, 0, 0, 0, false},
    {"stored choices",
     {L"[我的设置]", L"副武器选择=11", L"副武器属性=3", L"分辨率选择=1", L"是否窗口化=真"},
     11,
     3,
     1,
     true},
    {"past the end (各关原版) and 假",
     {L"[我的设置]", L"副武器选择=99", L"副武器属性=7", L"分辨率选择=2", L"是否窗口化=假"},
     12,
     3,
     1,
     false},
    // A negative index selects as one past the end does: the last entry.
    {"negative, not a number, empty tick",
     {L"[我的设置]", L"副武器选择=-3", L"副武器属性=abc", L"分辨率选择=1", L"是否窗口化="},
     12,
     0,
     1,
     true},
    {"only 假 means clear", {L"[我的设置]", L"副武器选择=2", L"是否窗口化=false"}, 2, 0, 0, true},
    {"other section ignored", {L"[其他]", L"副武器选择=5", L"是否窗口化=真"}, 0, 0, 0, false},
};

TEST_F(ProgramWindowTest, InitialStateFromProfile) {
  for (const LoadCase& load : kLoadCases) {
    SCOPED_TRACE(load.name);
    GameFolder game("load");
    if (!load.lines.empty()) {
      std::wstring text;
      for (const std::wstring& line : load.lines) text += line + L"\r\n";
      game.write("wdpz.ini", toGbk(text));
    }
    LauncherRun run;
    ASSERT_TRUE(run.start(game.launcherPath(), game.path()));
    EXPECT_EQ(readList(run.control(kWeaponList)).selection, load.weapon);
    EXPECT_EQ(readList(run.control(kAttributeList)).selection, load.attribute);
    EXPECT_EQ(readList(run.control(kResolutionList)).selection, load.resolution);
    EXPECT_EQ(isTicked(run.control(kWindowedBox)), load.ticked);
    PostMessageW(run.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(run.exitCode(), 0u);
  }
}

TEST_F(ProgramWindowTest, FocusOrderForwardAndBackward) {
  startLauncher();
  DWORD thread = run_.program.threadId();
  ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == run_.window; }, kPatienceMs));
  EXPECT_EQ(focusReaching(thread, kWeaponList, kPatienceMs), kWeaponList) << "first focus";
  ASSERT_TRUE(run_.program.waitIdle(kPatienceMs)) << "the window has finished showing itself";
  ASSERT_EQ(focusReaching(thread, kWeaponList), kWeaponList);

  const int forward[] = {kResolutionList, kAttributeList, kStartButton, kWindowedBox, kWeaponList};
  for (int want : forward) {
    postKey(focusOf(thread), VK_TAB);
    EXPECT_EQ(focusReaching(thread, want), want) << "after Tab";
  }

  // Shift+Tab needs the shift key really held: typed through the input queue.
  const int backward[] = {kWindowedBox, kStartButton, kAttributeList, kResolutionList, kWeaponList};
  for (int want : backward) {
    typeKey(VK_TAB, {VK_SHIFT});
    EXPECT_EQ(focusReaching(thread, want), want) << "after Shift+Tab";
  }
  EXPECT_TRUE(run_.program.running());
}

// The system menu, opened and used from the keyboard as a user does (Alt+Space, then the
// item's letter): Close closes the window, changing nothing and starting nothing.
TEST_F(ProgramWindowTest, SystemMenuCloses) {
  startLauncher();
  HWND window = run_.window;
  const DWORD process = run_.program.processId();
  ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == window; }, kPatienceMs));
  ASSERT_TRUE(run_.program.waitIdle(kPatienceMs));
  typeKey(VK_SPACE, {VK_MENU});
  ASSERT_TRUE(waitUntil([&] { return !topWindows(process, L"#32768").empty(); }, kPatienceMs))
      << "no system menu";
  typeKey('C');
  EXPECT_EQ(run_.exitCode(), 0u);
  EXPECT_EQ(game_.read("wdpz.ini"), "<missing>");
  EXPECT_TRUE(runningGames(process).empty()) << "no game";
  EXPECT_EQ(game_.read("launch-record.txt"), "<missing>");
}

TEST_F(ProgramWindowTest, SecondInstanceRunsBesideTheFirst) {
  startLauncher();
  LauncherRun second;
  ASSERT_TRUE(second.start(game_.launcherPath(), game_.path()));
  EXPECT_NE(second.window, run_.window);
  EXPECT_EQ(textOf(second.window), L"《VarnokII》功能设置");
  EXPECT_TRUE(run_.program.running());
  PostMessageW(second.window, WM_CLOSE, 0, 0);
  EXPECT_EQ(second.exitCode(), 0u);
  EXPECT_TRUE(IsWindowVisible(run_.window)) << "the first window stays";
  EXPECT_EQ(game_.read("wdpz.ini"), "<missing>");
}

BOOL CALLBACK firstLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR out) {
  *reinterpret_cast<WORD*>(out) = language;
  return FALSE;
}

// Cuts the window template resource of a copy of the program short, the way a damaged
// file would hold it: its reading then runs past the end.
bool damageTemplate(const std::string& exe) {
  const wchar_t* const kName = L"WINDOW_TEMPLATE";
  HMODULE image = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!image) return false;
  std::string head;
  WORD language = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
  if (HRSRC resource = FindResourceW(image, kName, MAKEINTRESOURCEW(10) /* RT_RCDATA */)) {
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(image, resource)));
    head.assign(bytes, SizeofResource(image, resource) / 2);
    EnumResourceLanguagesW(image, MAKEINTRESOURCEW(10), kName, firstLanguage,
                           reinterpret_cast<LONG_PTR>(&language));
  }
  FreeLibrary(image);
  if (head.empty()) return false;
  HANDLE update = BeginUpdateResourceA(exe.c_str(), FALSE);
  if (!update) return false;
  bool ok = UpdateResourceW(update, MAKEINTRESOURCEW(10), kName, language, head.data(),
                            static_cast<DWORD>(head.size())) != 0;
  return EndUpdateResourceW(update, !ok) && ok;
}

TEST_F(ProgramWindowTest, DamagedTemplateGivesFatalBox) {
  ASSERT_TRUE(damageTemplate(game_.launcherPath()));
  RunningProgram program;
  ASSERT_TRUE(program.start(game_.launcherPath(), game_.path()));
  HWND box = waitForMessageBox(program.processId(), kPatienceMs);
  ASSERT_NE(box, nullptr);
  MessageBoxInfo info = readMessageBox(box);
  EXPECT_EQ(info.caption, L"错误");
  EXPECT_EQ(info.text, L"运行时出错!\r\n\r\n错误信息：载入窗口模板数据段出错!\r\n");
  EXPECT_TRUE(topWindows(program.processId(), L"WTWindow").empty()) << "no launcher window";
  dismissMessageBox(box);
  DWORD code = 0;
  ASSERT_TRUE(program.waitExit(kPatienceMs, &code));
  EXPECT_EQ(code, 0xFFFFFFFFu);
  EXPECT_EQ(game_.read("launch-record.txt"), "<missing>");
}

}  // namespace
