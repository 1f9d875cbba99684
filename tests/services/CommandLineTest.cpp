// The arguments part of a program's command line, as the platform reads the program's name.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "services/CommandLine.h"

namespace {

TEST(CommandLineArguments, WhatFollowsTheProgramName) {
  struct Case {
    const wchar_t* commandLine;
    const wchar_t* arguments;
  } cases[] = {
      {L"\"C:\\Game Dir\\launcher.exe\"", L""},
      {L"\"C:\\Game Dir\\launcher.exe\"   ", L""},
      {L"\"C:\\Game Dir\\launcher.exe\" --apply-settings=1,0,0,0", L"--apply-settings=1,0,0,0"},
      {L"\"C:\\Game Dir\\launcher.exe\"\t \t--x y ", L"--x y "},
      {L"\"C:\\a\"b c", L"b c"},
      {L"C:\\Game\\launcher.exe", L""},
      {L"C:\\Game\\launcher.exe --x", L"--x"},
      {L"launcher.exe\t-x", L"-x"},
      {L"\"C:\\no closing quote", L""},
      {L"", L""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(std::wstring(commandLineArguments(c.commandLine)), c.arguments)
        << std::string(c.commandLine, c.commandLine + std::wcslen(c.commandLine));
  }
}

}  // namespace
