// The fatal report seen from outside: a separate process fails, its error box is found,
// read through window messages and dismissed, and the process ends with 0xFFFFFFFF without
// running its end handler. Also the frame's ordinary end: stopFrame twice, end handler once.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/support/ProgramRun.h"
#include "tests/support/TempFolder.h"

namespace {

ProbeEnd runProbe(const std::string& mode, bool expectBox) {
  return runProbeToEnd("fatal_probe.exe", mode, expectBox ? L"错误" : L"");
}

TEST(FatalReport, BoxTextAndExitCode) {
  struct Case {
    const char* mode;
    std::wstring text;
  } cases[] = {
      {"index-above",
       L"运行时出错!\r\n\r\n错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围\r\n"},
      {"index-below",
       L"运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n"},
      {"memory", L"运行时出错!\r\n\r\n错误信息：分配 4096 字节内存失败!\r\n"},
      // A quit request already on its way (the last window gone) does not cancel the box.
      {"quit-pending",
       L"运行时出错!\r\n\r\n错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围\r\n"},
  };
  for (const Case& c : cases) {
    ProbeEnd outcome = runProbe(c.mode, true);
    ASSERT_TRUE(outcome.end.boxShown) << c.mode;
    EXPECT_EQ(outcome.end.boxText, c.text) << c.mode;
    EXPECT_TRUE(outcome.end.boxIcon) << c.mode;
    EXPECT_TRUE(outcome.end.runningWithBox) << c.mode << ": the process waits for the box";
    EXPECT_EQ(outcome.end.exitCode, 0xFFFFFFFFu) << c.mode;
    // The frame is released, the end handler never runs.
    EXPECT_EQ(outcome.marker, "release\r\n") << c.mode;
  }
}

TEST(FrameEnd, StopFrameTwiceRunsEndHandlerOnce) {
  ProbeEnd outcome = runProbe("end-twice", false);
  EXPECT_EQ(outcome.end.exitCode, 7u);
  EXPECT_EQ(outcome.marker, "release\r\nend\r\n");
}

}  // namespace
