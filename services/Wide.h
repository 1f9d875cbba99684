// Conversion between the program's GBK texts and UTF-16, always through code page 936
// whatever the system code page is.
#pragma once

#include <string>
#include <string_view>

// The code page of the program's texts and of every file it reads and writes: GBK.
inline constexpr unsigned gbkCodePage = 936;

std::wstring gbkToWide(std::string_view gbk);
std::string wideToGbk(std::wstring_view wide);
