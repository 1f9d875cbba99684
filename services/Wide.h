// Conversion between the program's GBK texts and UTF-16 at the user-interface boundary.
#pragma once

#include <string>
#include <string_view>

std::wstring gbkToWide(std::string_view gbk);
std::string wideToGbk(std::wstring_view wide);
