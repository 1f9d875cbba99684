// toInteger of arbitrary bytes (never a crash) and of arbitrary doubles, each against the
// plain model of its rules; toText then toInteger gives the number back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzz/TextModel.h"
#include "services/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Text text(bytes);
  int32_t got = toInteger(text);
  int32_t want = model::toInteger(model::beforeZero(bytes));
  if (got != want) {
    std::fprintf(stderr, "toInteger: got %d, want %d\n", got, want);
    std::abort();
  }

  if (size >= sizeof(double)) {
    double value;
    std::memcpy(&value, data, sizeof value);
    int32_t fromDouble = toInteger(value);
    if (fromDouble != model::toInteger(value)) {
      std::fprintf(stderr, "toInteger(%.17g): got %d, want %d\n", value, fromDouble,
                   model::toInteger(value));
      std::abort();
    }
  }

  if (toInteger(toText(got)) != got) {
    std::fprintf(stderr, "toText(%d) does not read back\n", got);
    std::abort();
  }
  return 0;
}
