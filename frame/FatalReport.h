// The fatal runtime error report: one error box, then the process ends with exit code
// 0xFFFFFFFF. Never returns. Also the frame's memory service failure path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The box text for a message (may be empty) and an error code (0: no code line), written
// into out without allocating; cut to fit, always zero-ended. Returns the length written.
size_t formatFatalErrorBox(char* out, size_t capacity, std::string_view message, int32_t code);
std::string fatalErrorBoxText(std::string_view message, int32_t code);  // for tests
// The message of a numbered runtime error 1..11 ("" for other codes).
const char* fatalErrorMessage(int32_t code);

[[noreturn]] void reportFatalError(std::string_view message, int32_t code);
[[noreturn]] void reportIndexError(int32_t code);
[[noreturn]] void reportMemoryFailure(int32_t byteCount);

// Makes the fatal report what an index outside a text array runs (codes 1 and 4); start-up
// does this first.
void installFatalReport();

// Ends the process as the fatal report does (events suppressed, end handler skipped, exit
// code 0xFFFFFFFF) after the caller has shown its own message.
[[noreturn]] void endAfterFailure();
