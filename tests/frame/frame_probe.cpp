// A program that runs the real frame in one of several ways, for tests that watch it from
// outside: its error box, its exit code, and a marker file that the launcher's end handler
// appends "end" to each time it runs.
//
//   frame_probe MODE MARKER
//
// Template modes start the frame over the real template damaged in one way; the other
// modes start it over the real template and then do one thing wrong (or nothing).
#include <windows.h>

#include <cstring>
#include <optional>
#include <span>
#include <string>

#include "app/LauncherWindow.h"
#include "app/WindowControls.h"
#include "frame/FrameState.h"
#include "frame/MessageLoop.h"
#include "frame/Startup.h"
#include "frame/UnitAccess.h"
#include "frame/UnitNumbers.h"
#include "services/Text.h"

namespace {

const unsigned char launcherTemplateBytes[] = {
#include "LauncherWindow.inc"
};

std::string markerPath;

void appendMarker(const char* line) {
  HANDLE file = CreateFileA(markerPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
  CloseHandle(file);
}

void endHandler() { appendMarker("end\r\n"); }

std::optional<int32_t> none(std::span<const int32_t>) { return std::nullopt; }

std::optional<int32_t> destroyOnCreated(std::span<const int32_t>) {
  WindowControls().destroyWindow();
  return std::nullopt;
}

void writeU32(std::string& data, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) data[at + i] = static_cast<char>(v >> (8 * i));
}

// The first record (the window's own) starts after the window table, the window header
// and the block's 9 ids and 9 offsets: 4 + 8 + 16 + 8 + 72 = 108; its kind code follows
// its length. The window's kind block version comes after its fixed fields: an empty name,
// one event, no children.
constexpr size_t windowKindAt = 108 + 4;
constexpr size_t windowVersionAt =
    windowKindAt + 4 + 20 + 1 + 1 + 4 + 16 + 4 + 4 + 4 + 8 + 1 + 4 + 4 + 4 + 4 + 8 + 20;

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  std::string mode = argv[1];
  markerPath = argv[2];
  std::string bytes(reinterpret_cast<const char*>(launcherTemplateBytes),
                    sizeof launcherTemplateBytes);
  if (mode == "template-short") bytes.resize(bytes.size() - 1);
  if (mode == "template-empty") bytes.clear();
  if (mode == "template-unknown-kind") writeU32(bytes, windowKindAt, 0x00010009);
  if (mode == "template-new-version") writeU32(bytes, windowVersionAt, 7);
  if (mode == "template-other-window") writeU32(bytes, 4, 0x52010002);
  if (mode == "template-bad-handler") writeU32(bytes, windowVersionAt - 20 - 4, 2);

  EventHandler handlers[] = {&none, &none};
  if (mode == "destroy-on-created") handlers[0] = &destroyOnCreated;
  startFrameWithTemplate(bytes, handlers);
  setEndHandler(&endHandler);
  loadStartupWindow(launcherWindowId);

  if (mode == "event-window") raiseUnitEvent(0x52010002, 0, unit_event::created);
  if (mode == "event-unit") raiseUnitEvent(launcherWindowId, 0x16010099, unit_event::clicked);
  if (mode == "property-window")
    readUnitProperty(0x52010002, launcher_unit::weaponList, unit_property::currentSelection);
  if (mode == "property-unit") {
    // The window is gone and its controls with it.
    callUnitMethod(launcherWindowId, windowUnitId, unit_method::destroy, std::vector<int32_t>{1});
    readUnitProperty(launcherWindowId, launcher_unit::weaponList, unit_property::currentSelection);
  }
  if (mode == "index") return textLength(TextArray().at(1));
  if (mode == "method-unit") callUnitMethod(launcherWindowId, 0x16010099, unit_method::itemValue);
  if (mode == "normal") WindowControls().destroyWindow();

  runMessageLoop();
  stopFrame();
  return static_cast<int>(frameState().currentMessage.wParam);  // exit handlers: stopFrame
}
