// The fatal report on Windows: one error box, then the process ends with 0xFFFFFFFF.
// Nothing here allocates, so the report also serves a failed allocation.
#include <windows.h>

#include "GbkTexts.h"
#include "frame/FatalReport.h"
#include "frame/FrameState.h"
#include "services/Wide.h"

namespace {

constexpr uint32_t fatalExitCode = 0xFFFFFFFF;

char boxText[4096];
wchar_t wideBoxText[4096];
wchar_t wideCaption[16];

// The GBK box shown through the wide call, so that it reads right whatever the system's
// code page; the ANSI call when the conversion is not available.
void showErrorBox(const char* text) {
  // A quit request already made (the last window gone) would end the box before it is
  // seen; the process ends after the box in any case, so the request is dropped.
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  int converted = MultiByteToWideChar(gbkCodePage, 0, text, -1, wideBoxText,
                                      static_cast<int>(sizeof wideBoxText / sizeof(wchar_t)));
  int convertedCaption =
      MultiByteToWideChar(gbkCodePage, 0, gbk::fatalCaption, -1, wideCaption,
                          static_cast<int>(sizeof wideCaption / sizeof(wchar_t)));
  if (converted > 0 && convertedCaption > 0) {
    MessageBoxW(nullptr, wideBoxText, wideCaption, MB_ICONERROR);
  } else {
    MessageBoxA(nullptr, text, gbk::fatalCaption, MB_ICONERROR);
  }
}

}  // namespace

void reportFatalError(std::string_view message, int32_t code) {
  frameState().eventSuppression += 1;
  formatFatalErrorBox(boxText, sizeof boxText, message, code);
  showErrorBox(boxText);
  endAfterFailure();
}

void reportIndexError(int32_t code) { reportFatalError(fatalErrorMessage(code), code); }

void reportMemoryFailure(int32_t byteCount) {
  char message[100];
  wsprintfA(message, gbk::memoryFailureFormat, byteCount);
  reportFatalError(message, 0);
}

void endAfterFailure() {
  frameState().eventSuppression += 1;
  frameState().endHandler = nullptr;
  endProgram(fatalExitCode);
}
