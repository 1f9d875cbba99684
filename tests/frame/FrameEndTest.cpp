// The frame's ends seen from outside: the probe program runs the real frame; a damaged
// template, an event, property or method naming what does not exist shows the error box
// with the frame's message and ends with 0xFFFFFFFF without the end handler; a normal end
// runs the end handler once although stopFrame runs twice, and ends with 0.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "GbkTexts.h"
#include "services/Wide.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TopWindows.h"

namespace {

// A visible launcher window of the process.
bool hasVisibleWindow(DWORD processId) {
  return firstVisibleTopWindow([&](HWND window) {
           return processOf(window) == processId && classOf(window) == L"WTWindow";
         }) != nullptr;
}

struct Outcome : ProbeEnd {
  bool windowShownWithBox = false;
};

Outcome runProbe(const std::string& mode, bool expectBox) {
  Outcome outcome;
  static_cast<ProbeEnd&>(outcome) = runProbeToEnd(
      "frame_probe.exe", mode, expectBox ? gbkToWide(gbk::fatalCaption) : L"",
      [&](DWORD processId) { outcome.windowShownWithBox = hasVisibleWindow(processId); });
  return outcome;
}

std::wstring frameFailureText(const char* message) {
  std::string text = gbk::fatalHeading;
  text += gbk::fatalMessageLabel;
  text += message;
  text += "\r\n";
  return gbkToWide(text);
}

TEST(FrameEnd, FailuresShowTheBoxAndEndWithoutTheEndHandler) {
  const struct {
    const char* mode;
    const char* message;
    bool windowOnScreen;  // the launcher window stays on the screen behind the box
  } cases[] = {
      {"template-short", gbk::templateLoadFailed, false},
      {"template-empty", gbk::templateLoadFailed, false},
      {"template-bad-handler", gbk::templateLoadFailed, false},
      {"template-unknown-kind", gbk::startupWindowFailed, false},
      {"template-new-version", gbk::startupWindowFailed, false},
      {"template-other-window", gbk::startupWindowFailed, false},
      {"event-window", gbk::eventWindowMissing, true},
      {"event-unit", gbk::eventUnitMissing, true},
      {"property-window", gbk::propertyWindowNotLoaded, true},
      {"property-unit", gbk::propertyUnitNotLoaded, false},
      {"method-unit", gbk::methodTargetMissing, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    Outcome outcome = runProbe(c.mode, true);
    ASSERT_TRUE(outcome.end.started);
    ASSERT_TRUE(outcome.end.boxShown);
    EXPECT_EQ(outcome.end.boxText, frameFailureText(c.message));
    EXPECT_EQ(outcome.windowShownWithBox, c.windowOnScreen);
    EXPECT_EQ(outcome.end.exitCode, 0xFFFFFFFFu);
    EXPECT_EQ(outcome.marker, "<missing>");
  }
}

TEST(FrameEnd, StartUpMakesAnIndexOutsideAnArrayFatal) {
  Outcome outcome = runProbe("index", true);
  ASSERT_TRUE(outcome.end.started);
  ASSERT_TRUE(outcome.end.boxShown);
  std::string text = gbk::fatalHeading;
  text =
      text + gbk::fatalCodeLabel + "1\r\n\r\n" + gbk::fatalMessageLabel + gbk::indexError1 + "\r\n";
  EXPECT_EQ(outcome.end.boxText, gbkToWide(text));
  EXPECT_EQ(outcome.end.exitCode, 0xFFFFFFFFu);
  EXPECT_EQ(outcome.marker, "<missing>");
}

TEST(FrameEnd, NormalEndRunsTheEndHandlerOnceAndExitsWithZero) {
  for (const char* mode : {"normal", "destroy-on-created"}) {
    Outcome outcome = runProbe(mode, false);
    ASSERT_TRUE(outcome.end.started);
    EXPECT_EQ(outcome.end.exitCode, 0u) << mode;
    EXPECT_EQ(outcome.marker, "end\r\n") << mode;
  }
}

}  // namespace
