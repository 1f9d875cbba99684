// The whole-file writer, built to report its steps: writes the content of one file over
// another with writeFile, and when the named step is reached sets the named event and
// waits there until it is ended.
//
//   write_step_probe <target> <file holding the new content> <step 0..6> <event name>
#include <windows.h>

#include <cstdlib>

#include "services/FileReading.h"
#include "services/FileReplacement.h"
#include "services/WriteSteps.h"
#include "tests/support/TempFolder.h"

namespace {

int stopStep = -1;
HANDLE reached = nullptr;

}  // namespace

void reachedWriteStep(WriteStep step) {
  if (static_cast<int>(step) != stopStep) return;
  SetEvent(reached);
  Sleep(INFINITE);
}

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  stopStep = std::atoi(argv[3]);
  reached = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[4]);
  if (reached == nullptr) return 2;
  const std::optional<ByteBuffer> content = tryReadFile(Path(widePath(argv[2])));
  if (!content) return 2;
  return writeFile(Path(widePath(argv[1])), *content) ? 0 : 1;
}
