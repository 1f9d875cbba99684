// A small program that the services tests start as a separate process: the run directory it
// is given, and a whole-file write watched from outside (on a disk that fills up).
//
//   services_probe rundir <out>          writes the run directory (UTF-16) to <out>
//   services_probe write <target> <kib>  writeFile of <kib> KiB of 'x'; exit 0 on success, 1 not
//   services_probe hold <event> <marker> sets the event "<event>.started", waits for the event
//                                        "<event>.go", then writes "ended" to <marker> and
//                                        ends with 0; 1 when go did not come
#include <windows.h>

#include <cstdlib>
#include <string>

#include "services/FileReplacement.h"
#include "services/RunDirectory.h"
#include "services/Text.h"
#include "tests/support/Patience.h"
#include "tests/support/TempFolder.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  std::string mode = argv[1];
  if (mode == "rundir") {
    // The run directory as UTF-16 bytes; nothing when it could not be had.
    bool whole = initRunDirectory();
    const std::wstring folder = runDirectory().wide();
    HANDLE file = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (whole) {
      WriteFile(file, folder.data(), static_cast<DWORD>(folder.size() * sizeof(wchar_t)), &written,
                nullptr);
    }
    CloseHandle(file);
    return 0;
  }
  if (mode == "write") {
    if (argc < 4) return 2;
    // 32 buffers of 1/32 of the size each: a long write without as much memory.
    const ByteBuffer b{std::string(static_cast<size_t>(std::atoi(argv[3])) << 5, 'x')};
    bool written = writeFile(Path(widePath(argv[2])),
                             {&b, &b, &b, &b, &b, &b, &b, &b, &b, &b, &b, &b, &b, &b, &b, &b,
                              &b, &b, &b, &b, &b, &b, &b, &b, &b, &b, &b, &b, &b, &b, &b, &b});
    return written ? 0 : 1;
  }
  if (mode == "hold") {
    if (argc < 4) return 2;
    const std::string event = argv[2];
    HANDLE started = OpenEventA(EVENT_MODIFY_STATE, FALSE, (event + ".started").c_str());
    HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, (event + ".go").c_str());
    if (started == nullptr || go == nullptr) return 1;
    SetEvent(started);
    if (WaitForSingleObject(go, kPatienceMs) != WAIT_OBJECT_0) return 1;
    writeBytes(argv[3], "ended");
    return 0;
  }
  return 2;
}
