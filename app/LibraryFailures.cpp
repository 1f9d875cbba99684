// What the program does where the C++ runtime would throw (a length past the maximum, an
// index out of range, a failed allocation outside the memory service) or would end the
// process for an exception no handler takes: the fatal runtime error report, as for any
// other condition it cannot go on from. The program catches no exceptions, so a thrown one
// would end it all the same. Defined here, the runtime's own versions are not linked into
// the program, nor what they bring with them: the exception classes with their strings
// and the handler that writes the demangled type of the exception to a console the program
// does not have.
#include <cxxabi.h>

#include <bits/functexcept.h>

#include "frame/FatalReport.h"

namespace {

[[noreturn]] void libraryFailure() { reportFatalError({}, 0); }

}  // namespace

namespace __gnu_cxx {

// The runtime's own name, defined here on purpose.
void __verbose_terminate_handler() { libraryFailure(); }  // NOLINT(bugprone-reserved-identifier)

}  // namespace __gnu_cxx

namespace std {

void __throw_bad_exception() { libraryFailure(); }
void __throw_bad_alloc() { libraryFailure(); }
void __throw_bad_array_new_length() { libraryFailure(); }
void __throw_bad_cast() { libraryFailure(); }
void __throw_bad_typeid() { libraryFailure(); }
void __throw_logic_error(const char*) { libraryFailure(); }
void __throw_domain_error(const char*) { libraryFailure(); }
void __throw_invalid_argument(const char*) { libraryFailure(); }
void __throw_length_error(const char*) { libraryFailure(); }
void __throw_out_of_range(const char*) { libraryFailure(); }
void __throw_out_of_range_fmt(const char*, ...) { libraryFailure(); }
void __throw_runtime_error(const char*) { libraryFailure(); }
void __throw_range_error(const char*) { libraryFailure(); }
void __throw_overflow_error(const char*) { libraryFailure(); }
void __throw_underflow_error(const char*) { libraryFailure(); }

}  // namespace std
