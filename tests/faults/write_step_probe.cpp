// The whole-file writer, built to report its steps: writes the content of one file over
// another with writeFile, and when the named step is reached sets the named event and
// waits there until it is ended, or, when the test made the event "<event name>.go", until
// that event is set. Exit code 0 when written, 10 plus the FileFault when not, 2 for
// arguments it does not take.
//
//   write_step_probe <target> <file holding the new content> <step 0..6> <event name>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "services/FileReading.h"
#include "services/FileReplacement.h"
#include "services/WriteSteps.h"
#include "tests/support/TempFolder.h"

namespace {

int stopStep = -1;
HANDLE reached = nullptr;
HANDLE go = nullptr;  // absent: the writer waits at its step until it is ended

}  // namespace

void reachedWriteStep(WriteStep step) {
  if (static_cast<int>(step) != stopStep) return;
  SetEvent(reached);
  if (go == nullptr) Sleep(INFINITE);
  WaitForSingleObject(go, INFINITE);
}

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  stopStep = std::atoi(argv[3]);
  reached = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[4]);
  if (reached == nullptr) return 2;
  go = OpenEventA(SYNCHRONIZE, FALSE, (std::string(argv[4]) + ".go").c_str());
  const std::optional<ByteBuffer> content = tryReadFile(Path(widePath(argv[2])));
  if (!content) return 2;
  FileFault fault = FileFault::none;
  return writeFile(Path(widePath(argv[1])), *content, &fault) ? 0 : 10 + static_cast<int>(fault);
}
