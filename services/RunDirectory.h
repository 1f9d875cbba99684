// The run directory: the folder of the program's own executable, without a trailing
// backslash ("C:" for an executable in a drive's root). Fixed once at start-up.
#pragma once

#include <string_view>

#include "services/Text.h"

// The part of a full path before its last backslash, walking by characters so that the
// second byte of a two-byte character is never taken for a backslash. isLeadByte tells
// which bytes start a two-byte character in the code page the path is written in.
Text folderOfPath(std::string_view path, bool (*isLeadByte)(unsigned char));

// Computes the run directory from GetModuleFileNameA (Windows only). Called by start-up.
void initRunDirectory();
// Sets the run directory directly: for tests that work in a temporary folder.
void setRunDirectory(const Text& folder);
// A new text value holding the run directory.
Text runDirectory();
