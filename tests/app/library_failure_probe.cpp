// A program linked as the launcher is, with the program's answers to the C++ runtime's
// failures, that runs into one of them:
//
//   library_failure_probe FAILURE
//
// Each FAILURE names one function that the program defines in place of the runtime's own,
// and the probe calls it as the runtime's code does; "vector-at", "vector-reserve" and
// "allocate" reach one through the library itself, "terminate" ends through the terminate
// handler. The program's own definition shows the fatal error box and ends with 0xFFFFFFFF.
// Were the runtime's own linked instead, the exception it throws would reach the probe's
// terminate handler, which ends the process with exit code 3 and no box.
#include <windows.h>

#include <bits/functexcept.h>

#include <cstdint>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace {

[[noreturn]] void thrownPastTheProgram() { ExitProcess(3); }

using Failure = void (*)();

struct Named {
  const char* name;
  Failure fail;
};

const Named failures[] = {
    {"bad_exception", [] { std::__throw_bad_exception(); }},
    {"bad_alloc", [] { std::__throw_bad_alloc(); }},
    {"bad_array_new_length", [] { std::__throw_bad_array_new_length(); }},
    {"bad_cast", [] { std::__throw_bad_cast(); }},
    {"bad_typeid", [] { std::__throw_bad_typeid(); }},
    {"logic_error", [] { std::__throw_logic_error("probe"); }},
    {"domain_error", [] { std::__throw_domain_error("probe"); }},
    {"invalid_argument", [] { std::__throw_invalid_argument("probe"); }},
    {"length_error", [] { std::__throw_length_error("probe"); }},
    {"out_of_range", [] { std::__throw_out_of_range("probe"); }},
    {"out_of_range_fmt", [] { std::__throw_out_of_range_fmt("probe %zu", size_t{1}); }},
    {"runtime_error", [] { std::__throw_runtime_error("probe"); }},
    {"range_error", [] { std::__throw_range_error("probe"); }},
    {"overflow_error", [] { std::__throw_overflow_error("probe"); }},
    {"underflow_error", [] { std::__throw_underflow_error("probe"); }},
    {"vector-at",
     [] {
       volatile size_t index = 1;
       std::vector<int> empty;
       ExitProcess(static_cast<UINT>(empty.at(index)));
     }},
    {"vector-reserve",
     [] {
       std::vector<char> bytes;
       bytes.reserve(bytes.max_size() + size_t{1});
     }},
    {"allocate",
     [] {
       volatile size_t count = SIZE_MAX / 4;
       std::allocator<uint64_t> allocator;
       ExitProcess(static_cast<UINT>(*allocator.allocate(count)));
     }},
    {"terminate", [] { std::terminate(); }},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string asked = argv[1];
  for (const Named& failure : failures) {
    if (asked != failure.name) continue;
    // The default handler is the program's own; the probe's catches the runtime's throws.
    if (asked != "terminate") std::set_terminate(thrownPastTheProgram);
    failure.fail();
    return 4;  // a failure that returned
  }
  return 2;
}
