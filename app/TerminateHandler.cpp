// What the program does with an exception that no handler takes: the fatal runtime error
// report, as for any other condition it cannot go on from. Defined here, the runtime's own
// handler (which writes the exception's demangled type to a console the program does not
// have) is not linked into the program.
#include <cxxabi.h>

#include "frame/FatalReport.h"

namespace __gnu_cxx {

void __verbose_terminate_handler() { reportFatalError({}, 0); }

}  // namespace __gnu_cxx
