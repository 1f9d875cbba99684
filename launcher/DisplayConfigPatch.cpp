#include "launcher/DisplayConfigPatch.h"

#include <optional>
#include <string>
#include <utility>

#include "GbkTexts.h"
#include "launcher/DisplayConfigContent.h"
#include "services/FileReading.h"
#include "services/FileReplacement.h"
#include "services/Wide.h"

Path displayConfigFileName(LauncherHost& host) {
  return withName(host.runDirectory(), gbk::configFileName);
}

DisplayConfigOutcome patchDisplayConfig(LauncherControls& controls, LauncherHost& host,
                                        FileFault& fault) {
  fault = FileFault::none;
  const Path name = displayConfigFileName(host);
  const std::optional<ByteBuffer> content = tryReadFile(name);
  if (!content) return DisplayConfigOutcome::unreadable;
  std::optional<std::string> patched =
      patchDisplayConfigContent(content->bytes, controls.selection(LauncherList::resolution));
  if (!patched) return DisplayConfigOutcome::tooFewLines;
  if (*patched == content->bytes) return DisplayConfigOutcome::written;  // already right
  if (!writeFile(name, ByteBuffer{std::move(*patched)}, &fault)) {
    return DisplayConfigOutcome::writeFailed;
  }
  return DisplayConfigOutcome::written;
}
