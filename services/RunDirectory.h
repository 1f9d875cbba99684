// The run directory: the folder of the program's own executable, without a trailing
// backslash ("C:" for an executable in a drive's root). Fixed once at start-up.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "services/Path.h"

// The whole path that `get` fills in (GetModuleFileNameW's way: the length written, which is
// the buffer's size when the path was cut short). The buffer grows until the path fits; no
// value when the platform cannot give the path whole.
using ModulePathGetter = uint32_t (*)(wchar_t* buffer, uint32_t size);
std::optional<std::wstring> wholeModulePath(ModulePathGetter get);

// The full path of this program's executable (Windows only); none when the platform cannot
// give it whole.
std::optional<std::wstring> ownProgramPath();

// Computes the run directory from the program's own path (Windows only). False, with the
// run directory left empty, when that path cannot be had whole: nothing may then be touched.
bool initRunDirectory();
// Sets the run directory directly: for tests that work in a temporary folder.
void setRunDirectory(const Path& folder);
Path runDirectory();
