// The stand-in game's record of its starts ("launch-record.txt" in its own folder).
#pragma once

#include <cstddef>
#include <string>

#include "tests/support/Patience.h"

// The record once it holds `starts` starts or more and every start in it is written whole
// (each "cmdline=" line has its "cwd=" line and the record ends with CR LF): the Nth start
// is waited for, not the one before it. What the record holds when that does not come
// within the suite's patience; "<missing>" when no start is recorded at all.
std::string waitForLaunchRecord(const std::string& folder, size_t starts = 1);
// The record is UTF-8: a path of the tests (in the system code page) as it appears there.
std::string recordedPath(const std::string& path);
