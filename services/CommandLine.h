// The arguments part of a program's command line.
#pragma once

#include <string_view>

// What follows the program's name, without the blanks and tabs before it: the name is the
// text up to the next quotation mark when it starts with one, else up to the first blank or
// tab, as the platform reads it. Empty when the program has no arguments.
std::wstring_view commandLineArguments(std::wstring_view commandLine);
