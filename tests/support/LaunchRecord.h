// The stand-in game's record of its starts ("launch-record.txt" in its own folder).
#pragma once

#include <string>

// The record once every start in it is written whole (each "cmdline=" line has its "cwd="
// line and the record ends with CR LF); "<missing>" when no start is recorded within the
// time. A loaded machine can take seconds to start a program, so the wait is generous.
std::string waitForLaunchRecord(const std::string& folder, unsigned timeoutMs = 30000);
// The record is UTF-8: a path of the tests (in the system code page) as it appears there.
std::string recordedPath(const std::string& path);
