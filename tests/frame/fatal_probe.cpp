// A small program that the frame tests start as a separate process, so that the fatal report
// and the frame's ends can be watched from outside.
//
//   fatal_probe index-below <marker>  reads element 0 of a two-element text array
//   fatal_probe index-above <marker>  reads element 3 of a two-element text array
//   fatal_probe quit-pending <marker> the same with a quit request already posted
//   fatal_probe memory <marker>       asks for an allocation the heap cannot give
//   fatal_probe end-twice <marker>    stopFrame twice, then endProgram(7)
//
// The frame's release hook appends "release\r\n" to the marker file, the end handler
// "end\r\n".
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "frame/FatalReport.h"
#include "frame/FrameState.h"
#include "services/Text.h"

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
  const std::string mode = argv[1];
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
