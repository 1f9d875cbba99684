// The program's answers to the C++ runtime's failures, seen from outside: each function the
// program defines in place of the runtime's own is the one linked, so that a failure inside
// the library shows the fatal error box and ends with 0xFFFFFFFF instead of an exception
// that nothing catches.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/ProgramRun.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(LibraryFailure, EachReplacedFunctionShowsTheFatalBox) {
  const char* const failures[] = {
      "bad_exception", "bad_alloc",        "bad_array_new_length",
      "bad_cast",      "bad_typeid",       "logic_error",
      "domain_error",  "invalid_argument", "length_error",
      "out_of_range",  "out_of_range_fmt", "runtime_error",
      "range_error",   "overflow_error",   "underflow_error",
      "vector-at",     "vector-reserve",   "allocate",
      "terminate",
  };
  for (const char* failure : failures) {
    SCOPED_TRACE(failure);
    std::string commandLine = "\"";
    commandLine += testProgramFolder() + "\\library_failure_probe.exe\" " + failure;
    const ProgramEnd end = runProgramToEnd(commandLine, L"错误");
    ASSERT_TRUE(end.started);
    EXPECT_TRUE(end.boxShown);
    EXPECT_EQ(end.boxText, L"运行时出错!\r\n\r\n");
    EXPECT_EQ(end.exitCode, 0xFFFFFFFFu);
  }
}

}  // namespace
