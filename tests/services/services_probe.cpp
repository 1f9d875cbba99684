// A small program that the services tests start as a separate process, so that what ends a
// process (the fatal report, endProgram, being killed mid-write) can be watched from outside.
//
//   services_probe rundir <out>          writes the run directory (GBK bytes) to <out>
//   services_probe index-below <marker>  reads element 0 of a two-element text array
//   services_probe index-above <marker>  reads element 3 of a two-element text array
//   services_probe quit-pending <marker> the same with a quit request already posted
//   services_probe memory <marker>       asks for an allocation the heap cannot give
//   services_probe end-twice <marker>    stopFrame twice, then endProgram(7)
//   services_probe write <target> <kib>  writeFile of <kib> KiB of 'x'; exit 0 on success, 1 not
//
// With a <marker>, an end handler is registered that appends "end\r\n" to the marker file.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "frame/FatalReport.h"
#include "frame/FrameState.h"
#include "services/Files.h"
#include "services/RunDirectory.h"
#include "services/Text.h"
#include "tests/support/TempFolder.h"

namespace {

const char* markerPath = nullptr;

void appendLine(const char* path, const char* line) {
  HANDLE file =
      CreateFileA(path, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
  CloseHandle(file);
}

void endHandler() { appendLine(markerPath, "end\r\n"); }
void releaseHook() { appendLine(markerPath, "release\r\n"); }

}  // namespace

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

  markerPath = argv[2];
  installFatalReport();
  setEndHandler(endHandler);
  setFrameReleaseHook(releaseHook);
  TextArray pair = splitText(Text("a,b"));
  if (mode == "index-below") return textLength(pair.at(0));
  if (mode == "index-above") return textLength(pair.at(3));
  if (mode == "quit-pending") {
    PostQuitMessage(0);
    return textLength(pair.at(3));
  }
  if (mode == "memory") {
    // On 64 bits the count's low 32 bits are 4096 and the whole is far beyond any heap;
    // on 32 bits the largest count there is.
    const uint64_t wanted = sizeof(size_t) == 8 ? (uint64_t{1} << 62) + 4096 : SIZE_MAX;
    volatile size_t huge = static_cast<size_t>(wanted);
    char* block = new char[huge];
    return block[0];
  }
  if (mode == "end-twice") {
    stopFrame();
    stopFrame();
    endProgram(7);
  }
  return 2;
}
