// The window template reader on arbitrary bytes: never a crash, a hang or an allocation
// beyond what the data can hold; a template it accepts has, for every window it can build,
// units whose read attributes match their kinds.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "frame/TemplateReader.h"

namespace {

size_t variantFor(uint32_t kind) {
  switch (kind) {
    case unit_kind::window:
      return 1;
    case unit_kind::label:
      return 2;
    case unit_kind::button:
      return 3;
    case unit_kind::checkBox:
      return 4;
    case unit_kind::dropDownList:
      return 5;
    default:
      return 0;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  TemplateContents contents;
  if (!readWindowTemplate(bytes, contents)) return 0;
  for (const WindowTemplate& window : contents.windows) {
    if (window.defect != WindowDefect::none) continue;
    for (const UnitTemplate& unit : window.units) {
      if (unit.attributes.index() != variantFor(unit.kind) || unit.attributes.index() == 0) {
        std::fprintf(stderr, "unit %08x of kind %08x read with the wrong attributes\n", unit.id,
                     unit.kind);
        std::abort();
      }
      if (unit.version > highestKnownVersion(unit.kind)) {
        std::fprintf(stderr, "unit %08x: version %d accepted\n", unit.id, unit.version);
        std::abort();
      }
    }
  }
  return 0;
}
