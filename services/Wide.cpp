#include "services/Wide.h"

#include <windows.h>

#include "services/Path.h"

std::wstring gbkToWide(std::string_view gbk) {
  if (gbk.empty()) return std::wstring();
  int size = static_cast<int>(gbk.size());
  int length = MultiByteToWideChar(gbkCodePage, 0, gbk.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(gbkCodePage, 0, gbk.data(), size, wide.data(), length);
  return wide;
}

std::string wideToGbk(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  int size = static_cast<int>(wide.size());
  int length = WideCharToMultiByte(gbkCodePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string gbk(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(gbkCodePage, 0, wide.data(), size, gbk.data(), length, nullptr, nullptr);
  return gbk;
}

Path withName(const Path& folder, std::string_view gbkName) {
  return Path(folder.wide() + gbkToWide(gbkName));
}
