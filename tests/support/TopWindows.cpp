#include "tests/support/TopWindows.h"

namespace {

struct Search {
  const std::function<bool(HWND)>* wanted;
  bool firstOnly;
  std::vector<HWND> found;
};

BOOL CALLBACK collect(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  if (!IsWindowVisible(window) || !(*search->wanted)(window)) return TRUE;
  search->found.push_back(window);
  return search->firstOnly ? FALSE : TRUE;
}

std::vector<HWND> search(const std::function<bool(HWND)>& wanted, bool firstOnly) {
  Search search{&wanted, firstOnly, {}};
  EnumWindows(collect, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

DWORD processOf(HWND window) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  return owner;
}

std::wstring classOf(HWND window) {
  wchar_t name[256] = {};
  int length = GetClassNameW(window, name, 256);
  return std::wstring(name, length > 0 ? length : 0);
}

std::vector<HWND> visibleTopWindows(const std::function<bool(HWND)>& wanted) {
  return search(wanted, false);
}

HWND firstVisibleTopWindow(const std::function<bool(HWND)>& wanted) {
  const std::vector<HWND> found = search(wanted, true);
  return found.empty() ? nullptr : found.front();
}
