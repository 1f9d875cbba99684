#include "launcher/DisplayConfigPatch.h"

#include <optional>
#include <string>
#include <utility>

#include "GbkTexts.h"
#include "launcher/DisplayConfigContent.h"
#include "services/Files.h"

Text displayConfigFileName(LauncherHost& host) {
  return concat(host.runDirectory(), gbk::configFileName);
}

DisplayConfigOutcome DisplayConfigPatch(LauncherControls& controls, LauncherHost& host) {
  const Text name = displayConfigFileName(host);
  const ByteBuffer content = readFile(name);
  std::optional<std::string> patched =
      patchDisplayConfigContent(content.bytes, controls.selection(LauncherList::resolution));
  if (!patched) return DisplayConfigOutcome::unusable;
  if (*patched == content.bytes) return DisplayConfigOutcome::written;  // already right
  if (!writeFile(name, ByteBuffer{std::move(*patched)})) return DisplayConfigOutcome::writeFailed;
  return DisplayConfigOutcome::written;
}
