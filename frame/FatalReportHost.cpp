// The fatal report of the portable build (native tests and fuzzers): the box text goes to
// the standard error stream and the process ends at once with exit code 255.
#include <cstdio>
#include <cstdlib>

#include "GbkTexts.h"
#include "frame/FatalReport.h"

namespace {
char boxText[4096];
}

void reportFatalError(std::string_view message, int32_t code) {
  size_t length = formatFatalErrorBox(boxText, sizeof boxText, message, code);
  std::fwrite(boxText, 1, length, stderr);
  std::fflush(stderr);
  std::_Exit(255);
}

void reportIndexError(int32_t code) { reportFatalError(fatalErrorMessage(code), code); }

void reportMemoryFailure(int32_t byteCount) {
  char message[100];
  std::snprintf(message, sizeof message, gbk::memoryFailureFormat, byteCount);
  reportFatalError(message, 0);
}

void endAfterFailure() { std::_Exit(255); }
