// Why a file could not be read or written: the platform's errors and the state of the file
// turned into the causes that the unwritten-files message names. Windows only.
#pragma once

#include <windows.h>

#include <string>

#include "services/FileFault.h"

// The cause of a failed call from the platform's error code.
FileFault faultOfError(DWORD error);
FileFault faultOfLastError();
// Why a file could not be opened for reading: a folder in its place, held by another
// program, no permission, or else could not be read.
FileFault readFault(const std::wstring& name, DWORD error);
// Why the target may not be replaced: a folder, read-only, or held open by another program
// (an open for writing without sharing, which cuts nothing, must succeed). none: it may.
FileFault replaceFault(const std::wstring& name, DWORD attributes);
