// The real launcher at one display scale, set for the whole Wine prefix the test runs in
// (LAUNCHER_TEST_DPI names it): the window's outer size and every control's rectangle are
// the template's scaled, every text fits its control when measured with the control's own
// font, the icons have the sizes the system asks for, and the button still does its work.
// Then the window is told it moved to a monitor of another scale (WM_DPICHANGED) and must
// lay itself out anew, keeping the choices, the tick and the focus.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/e2e/ScaleProbe.h"
#include "tests/support/GameFolder.h"
#include "tests/support/LaunchRecord.h"
#include "tests/support/LocaleCodePage.h"

namespace {

const int kScreenWidth = 1024;  // the test display
const int kScreenHeight = 768;
const int kTemplateWidth = launcher_rect::window.width;
const int kTemplateHeight = launcher_rect::window.height;

int testDpi() {
  const char* value = std::getenv("LAUNCHER_TEST_DPI");
  return value != nullptr ? std::atoi(value) : 96;
}

int scaled(int value, int dpi) { return MulDiv(value, dpi, 96); }

template <typename Function>
Function user32Function(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

int systemMetricAt(int index, int dpi) {
  static const auto forDpi = user32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
  return forDpi(index, static_cast<UINT>(dpi));
}

// Each control with its rectangle at 96 DPI, as the template gives it.
struct ControlRect {
  int id;
  TemplateRect rect;
  bool list;  // the closed height of a list is the system's: only its dropped height counts
};

const ControlRect kTemplateRects[] = {
    // clang-format off
    {kWindowedBox,     launcher_rect::windowedBox,     false},
    {kStartButton,     launcher_rect::startButton,     false},
    {kAttributeLabel,  launcher_rect::attributeLabel,  false},
    {kAttributeList,   launcher_rect::attributeList,   true},
    {kResolutionList,  launcher_rect::resolutionList,  true},
    {kResolutionLabel, launcher_rect::resolutionLabel, false},
    {kWeaponLabel,     launcher_rect::weaponLabel,     false},
    {kWeaponList,      launcher_rect::weaponList,      true},
    // clang-format on
};

// The report of the measuring hook, loaded into the launcher's window thread for the time
// of one probe.
class Probe {
 public:
  Probe() {
    mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                  sizeof(ProbeReport), kProbeReportName);
    done_ = CreateEventW(nullptr, FALSE, FALSE, kProbeDoneName);
    hookModule_ = LoadLibraryA((testProgramFolder() + "\\scale_probe.dll").c_str());
  }
  ~Probe() {
    if (hookModule_ != nullptr) FreeLibrary(hookModule_);
    if (done_ != nullptr) CloseHandle(done_);
    if (mapping_ != nullptr) CloseHandle(mapping_);
  }
  bool read(const LauncherRun& run, ProbeReport& out) {
    if (mapping_ == nullptr || done_ == nullptr || hookModule_ == nullptr) return false;
    auto hook = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(GetProcAddress(hookModule_, kProbeHookName)));
    HHOOK installed = SetWindowsHookExW(WH_GETMESSAGE, hook, hookModule_, run.program.threadId());
    if (installed == nullptr) return false;
    ResetEvent(done_);
    PostMessageW(run.window, RegisterWindowMessageW(kProbeMessageName), 0, 0);
    bool answered = WaitForSingleObject(done_, kPatienceMs) == WAIT_OBJECT_0;
    UnhookWindowsHookEx(installed);
    if (!answered) return false;
    const void* view = MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, sizeof(ProbeReport));
    if (view == nullptr) return false;
    out = *static_cast<const ProbeReport*>(view);
    UnmapViewOfFile(view);
    return true;
  }

 private:
  HANDLE mapping_ = nullptr;
  HANDLE done_ = nullptr;
  HMODULE hookModule_ = nullptr;
};

const ProbedControl* probed(const ProbeReport& report, int id) {
  for (int i = 0; i < report.controlCount; ++i) {
    if (report.controls[i].id == id) return &report.controls[i];
  }
  return nullptr;
}

// How far the widest text of a control runs past the room it has, in pixels (0: it fits).
int overflow(const ProbedControl& control) {
  return std::max(
      {0, control.textWidth - control.roomWidth, control.textHeight - control.roomHeight});
}

// Every control at the template's rectangle scaled to `dpi`, to within a pixel of rounding;
// lists drop down to the scaled 160 pixels less what the system takes, as at 96 DPI.
void expectControlsAt(const LauncherRun& run, int dpi) {
  RECT client{};
  GetClientRect(run.window, &client);
  for (const ControlRect& want : kTemplateRects) {
    SCOPED_TRACE(testing::Message() << "control " << want.id << " at " << dpi);
    HWND control = run.control(want.id);
    ASSERT_NE(control, nullptr);
    RECT got = rectInParent(control);
    EXPECT_NEAR(got.left, scaled(want.rect.left, dpi), 1);
    EXPECT_NEAR(got.top, scaled(want.rect.top, dpi), 1);
    EXPECT_NEAR(got.right - got.left, scaled(want.rect.width, dpi), 1);
    if (want.list) {
      RECT dropped{};
      SendMessageW(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
      LONG total = (got.bottom - got.top) + (dropped.bottom - dropped.top);
      EXPECT_LE(total, scaled(160, dpi));
      EXPECT_GE(total, scaled(150, dpi));
    } else {
      EXPECT_NEAR(got.bottom - got.top, scaled(want.rect.height, dpi), 1);
    }
    EXPECT_LE(got.right, client.right) << "inside the client area";
    EXPECT_LE(got.bottom, client.bottom) << "inside the client area";
  }
}

// The probe's figures for a window lettered at `fontHeight` and laid out for `dpi`: every
// font drawn from outlines at that height, every text inside its room, the icons at the
// system's sizes for `dpi`. The largest overflow goes to `largest`.
void expectLettering(const ProbeReport& report, int dpi, LONG fontHeight, int* largest) {
  EXPECT_EQ(report.controlCount, static_cast<int>(std::size(kTemplateRects)));
  EXPECT_EQ(report.bigIconWidth, systemMetricAt(SM_CXICON, dpi));
  EXPECT_EQ(report.bigIconHeight, systemMetricAt(SM_CYICON, dpi));
  EXPECT_EQ(report.smallIconWidth, systemMetricAt(SM_CXSMICON, dpi));
  EXPECT_EQ(report.smallIconHeight, systemMetricAt(SM_CYSMICON, dpi));
  *largest = 0;
  for (const ControlRect& want : kTemplateRects) {
    SCOPED_TRACE(testing::Message() << "control " << want.id << " at " << dpi);
    const ProbedControl* control = probed(report, want.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->fontHeight, fontHeight);
    EXPECT_TRUE(control->scalable) << "an outline font, not a stretched bitmap";
    EXPECT_EQ(overflow(*control), 0)
        << "text " << control->textWidth << " x " << control->textHeight << " in "
        << control->roomWidth << " x " << control->roomHeight;
    *largest = std::max(*largest, overflow(*control));
  }
}

LOGFONTW stockFont() {
  LOGFONTW font{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  return font;
}

// The character height of the controls' font at the system's scale: the system's interface
// font; under a locale whose code page is not GBK (the English run) a Chinese face no
// smaller than a Chinese system's interface font (12 pixels at 96 DPI), scaled. Taken from
// the locale the run means, which the program holds the system's code page to.
LONG expectedFontHeight(int dpi) {
  LONG stock = stockFont().lfHeight;
  return localeCodePage() == 936 ? stock : std::min(stock, static_cast<LONG>(scaled(-12, dpi)));
}

class ScaleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Measured in physical pixels, as the launcher lays itself out.
    using SetContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
    if (auto set = user32Function<SetContext>("SetThreadDpiAwarenessContext")) {
      set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    }
    auto systemDpi = user32Function<UINT(WINAPI*)(void)>("GetDpiForSystem");
    ASSERT_NE(systemDpi, nullptr);
    ASSERT_EQ(static_cast<int>(systemDpi()), dpi_) << "the prefix's LogPixels";
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), kScreenWidth);
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), kScreenHeight);
  }
  void TearDown() override {
    if (run_.window && IsWindow(run_.window)) PostMessageW(run_.window, WM_CLOSE, 0, 0);
    run_.exitCode();
  }

  const int dpi_ = testDpi();
  GameFolder game_{"scale"};
  LauncherRun run_;
};

// The program asks to be told its monitor's scale rather than be stretched as a bitmap:
// per-monitor (v2), with the per-monitor and system-aware forms for older systems.
TEST_F(ScaleTest, TheProgramDeclaresPerMonitorScaling) {
  ACTCTXW request{};
  request.cbSize = sizeof request;
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  std::wstring exe = fromGbk(game_.launcherPath());
  request.lpSource = exe.c_str();
  request.lpResourceName = MAKEINTRESOURCEW(1);
  HANDLE context = CreateActCtxW(&request);
  ASSERT_NE(context, INVALID_HANDLE_VALUE);
  struct Setting {
    const wchar_t* space;
    const wchar_t* name;
    const wchar_t* value;
  };
  const Setting settings[] = {
      {L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness",
       L"PerMonitorV2, PerMonitor"},
      {L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware", L"true/pm"},
  };
  for (const Setting& setting : settings) {
    wchar_t value[128] = {};
    SIZE_T length = 0;
    EXPECT_TRUE(QueryActCtxSettingsW(0, context, setting.space, setting.name, value,
                                     std::size(value), &length))
        << setting.name;
    EXPECT_STREQ(value, setting.value);
  }
  ReleaseActCtx(context);

  ASSERT_TRUE(run_.start(game_.launcherPath(), game_.path()));
  using WindowContext = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
  using Awareness = DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT);
  auto windowContext = user32Function<WindowContext>("GetWindowDpiAwarenessContext");
  auto awareness = user32Function<Awareness>("GetAwarenessFromDpiAwarenessContext");
  ASSERT_TRUE(windowContext != nullptr && awareness != nullptr);
  EXPECT_EQ(awareness(windowContext(run_.window)), DPI_AWARENESS_PER_MONITOR_AWARE);
}

TEST_F(ScaleTest, WindowControlsTextsAndIconsScale) {
  ASSERT_TRUE(run_.start(game_.launcherPath(), game_.path()));
  RECT outer{};
  GetWindowRect(run_.window, &outer);
  int width = scaled(kTemplateWidth, dpi_), height = scaled(kTemplateHeight, dpi_);
  EXPECT_EQ(outer.right - outer.left, width);
  EXPECT_EQ(outer.bottom - outer.top, height);
  EXPECT_EQ(outer.left, (kScreenWidth - width) / 2) << "centred with the scaled size";
  EXPECT_EQ(outer.top, (kScreenHeight - height) / 2);
  expectControlsAt(run_, dpi_);

  Probe probe;
  ProbeReport report;
  ASSERT_TRUE(probe.read(run_, report));
  EXPECT_EQ(report.windowDpi, dpi_);
  // The system's own interface font is made for its scale: the controls' font has its height.
  int largest = -1;
  expectLettering(report, dpi_, expectedFontHeight(dpi_), &largest);
  if (localeCodePage() == 936) {
    EXPECT_STREQ(report.controls[0].fontFace, stockFont().lfFaceName);
  }
  std::printf("scale %d: outer %ld x %ld, largest text overflow %d px\n", dpi_,
              outer.right - outer.left, outer.bottom - outer.top, largest);
}

// A real click on the check box and on the button where they are at this scale.
TEST_F(ScaleTest, ButtonPathWorksEndToEnd) {
  ASSERT_TRUE(run_.start(game_.launcherPath(), game_.path()));
  ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == run_.window; }, kPatienceMs));
  SendMessageW(run_.control(kWeaponList), CB_SETCURSEL, 10, 0);     // 指虎, 51
  SendMessageW(run_.control(kAttributeList), CB_SETCURSEL, 2, 0);   // 防御, item value 3
  SendMessageW(run_.control(kResolutionList), CB_SETCURSEL, 1, 0);  // 1024*788
  auto centreOf = [](HWND control, int fromLeft) {
    RECT rect{};
    GetWindowRect(control, &rect);
    return POINT{fromLeft >= 0 ? rect.left + fromLeft : (rect.left + rect.right) / 2,
                 (rect.top + rect.bottom) / 2};
  };
  HWND box = run_.control(kWindowedBox);
  clickAt(centreOf(box, scaled(6, dpi_)));
  ASSERT_TRUE(waitUntil([&] { return isTicked(box); }, kPatienceMs)) << "the click reached the box";
  clickAt(centreOf(run_.control(kStartButton), -1));
  EXPECT_EQ(run_.exitCode(), 0u);
  EXPECT_EQ(game_.read("wdpz.ini"), profileText(10, 2, 1, true));
  std::string mission = game_.read("Level\\sn07_.pst");
  EXPECT_NE(mission.find("int PlayerWeapon2 = 53;\r\n"), std::string::npos) << mission;
  EXPECT_EQ(game_.read("config.ini"), "[Screen]\r\nWidth 1024\r\nHeight 768\r\nBits 32\r\n");
  EXPECT_EQ(waitForLaunchRecord(game_.path()),
            "cmdline=\"" + game_.path() + "\\Drovar.exe\" w\r\ncwd=" + game_.path() + "\r\n");
  std::printf("scale %d: button path done\n", dpi_);
}

// The scale each test scale is moved to: a larger one. (Wine sizes a list's arrow by the
// system's scale, not the window's, so a list moved to a smaller scale keeps its larger
// arrow there.)
int otherDpi(int dpi) {
  switch (dpi) {
    case 96:
      return 144;
    case 120:
    case 144:
      return 192;
    default:
      return 288;
  }
}

// The suggested rectangle lies in the launcher's memory, as the system would hand it over.
bool sendDpiChanged(const LauncherRun& run, int dpi, const RECT& suggested) {
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, run.program.processId());
  if (process == nullptr) return false;
  void* remote =
      VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  SIZE_T written = 0;
  bool ok = remote != nullptr &&
            WriteProcessMemory(process, remote, &suggested, sizeof suggested, &written) &&
            written == sizeof suggested;
  DWORD_PTR result = 0;
  ok = ok && SendMessageTimeoutW(run.window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                                 reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, kPatienceMs,
                                 &result) != 0;
  CloseHandle(process);  // the few bytes go with the process
  return ok;
}

TEST_F(ScaleTest, MovingToAnotherScaleLaysOutAnewAndKeepsTheState) {
  ASSERT_TRUE(run_.start(game_.launcherPath(), game_.path()));
  DWORD thread = run_.program.threadId();
  Probe probe;
  ProbeReport before;
  ASSERT_TRUE(probe.read(run_, before));
  ASSERT_GT(before.controlCount, 0);

  // The user's state: three choices, the tick, and the focus on the button.
  SendMessageW(run_.control(kWeaponList), CB_SETCURSEL, 9, 0);
  SendMessageW(run_.control(kAttributeList), CB_SETCURSEL, 3, 0);
  SendMessageW(run_.control(kResolutionList), CB_SETCURSEL, 1, 0);
  SendMessageW(run_.control(kWindowedBox), BM_CLICK, 0, 0);  // the box takes the focus
  ASSERT_EQ(focusReaching(thread, kWindowedBox, kPatienceMs), kWindowedBox);
  for (int next : {kWeaponList, kResolutionList, kAttributeList, kStartButton}) {
    postKey(focusOf(thread), VK_TAB);
    ASSERT_EQ(focusReaching(thread, next, kPatienceMs), next);
  }

  int dpi = otherDpi(dpi_);
  RECT outer{};
  GetWindowRect(run_.window, &outer);
  RECT suggested{outer.left + 10, outer.top + 10, outer.left + 10 + scaled(kTemplateWidth, dpi),
                 outer.top + 10 + scaled(kTemplateHeight, dpi)};
  ASSERT_TRUE(sendDpiChanged(run_, dpi, suggested));

  RECT now{};
  GetWindowRect(run_.window, &now);
  EXPECT_EQ(now.left, suggested.left);
  EXPECT_EQ(now.top, suggested.top);
  EXPECT_EQ(now.right, suggested.right);
  EXPECT_EQ(now.bottom, suggested.bottom);
  expectControlsAt(run_, dpi);
  ProbeReport after;
  ASSERT_TRUE(probe.read(run_, after));
  // The font is made anew at the new scale's height (MulDiv rounding of the one before).
  LONG height = before.controls[0].fontHeight;
  int largest = -1;
  expectLettering(after, dpi, MulDiv(height, dpi, dpi_), &largest);
  std::printf("scale %d moved to %d: outer %ld x %ld, largest text overflow %d px\n", dpi_, dpi,
              now.right - now.left, now.bottom - now.top, largest);

  EXPECT_EQ(readList(run_.control(kWeaponList)).selection, 9);
  EXPECT_EQ(readList(run_.control(kAttributeList)).selection, 3);
  EXPECT_EQ(readList(run_.control(kResolutionList)).selection, 1);
  EXPECT_TRUE(isTicked(run_.control(kWindowedBox)));
  EXPECT_EQ(GetDlgCtrlID(focusOf(thread)), kStartButton);

  // The button, pressed where it now is, still does the whole apply.
  RECT button{};
  HWND start = run_.control(kStartButton);
  GetWindowRect(start, &button);
  POINT centre{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
  // The click goes where the moved window is once the system places it there and in front.
  ASSERT_TRUE(waitUntil(
      [&] { return GetForegroundWindow() == run_.window && WindowFromPoint(centre) == start; },
      kPatienceMs));
  clickAt(centre);
  EXPECT_EQ(run_.exitCode(), 0u);
  EXPECT_EQ(game_.read("wdpz.ini"), profileText(9, 3, 1, true));
  EXPECT_EQ(waitForLaunchRecord(game_.path()), launchRecord(game_.path(), true));
}

}  // namespace
