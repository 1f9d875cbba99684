#include "services/CommandLine.h"

std::wstring_view commandLineArguments(std::wstring_view commandLine) {
  size_t end = 0;
  if (!commandLine.empty() && commandLine[0] == L'"') {
    size_t closing = commandLine.find(L'"', 1);
    end = closing == std::wstring_view::npos ? commandLine.size() : closing + 1;
  } else {
    end = commandLine.find_first_of(L" \t");
    if (end == std::wstring_view::npos) end = commandLine.size();
  }
  size_t start = commandLine.find_first_not_of(L" \t", end);
  return start == std::wstring_view::npos ? std::wstring_view() : commandLine.substr(start);
}
