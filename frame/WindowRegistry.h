// The registry of the template's windows with their units and event tables, and the
// dispatch that runs the launcher routines bound to numbered events. Windows only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "frame/TemplateReader.h"

// What a unit hands to raiseEvent.
struct EventRecord {
  uint32_t windowId = 0;
  uint32_t unitId = 0;  // 0: the window's own unit
  int32_t number = 0;
  int32_t argumentCount = 0;  // 0 to 5
  int32_t arguments[5] = {};
  bool hasResult = false;
  int32_t result = 0;
};

// A launcher routine bound to an event: takes the event's arguments, may return a value.
using EventHandler = std::optional<int32_t> (*)(std::span<const int32_t> arguments);

struct EventBinding {
  int32_t number = 0;
  EventHandler handler = nullptr;  // none
};

class Unit;

// Deletes a built unit (defined with the units, so that the registry needs only the name).
struct UnitDeleter {
  void operator()(Unit* unit) const;
};
using LiveUnit = std::unique_ptr<Unit, UnitDeleter>;

struct UnitRecord {
  const UnitTemplate* description = nullptr;
  LiveUnit live;  // the built unit, while the window is loaded
  std::vector<EventBinding> events;
};

struct WindowEntry {
  WindowTemplate description;
  std::vector<UnitRecord> units;  // record 0 is the window's own unit
  uint32_t id() const { return description.windowId; }
};

struct WindowRegistry {
  std::vector<WindowEntry> windows;
};

WindowRegistry& windowRegistry();
WindowEntry* findWindow(uint32_t windowId);
// Unit id 0 and the window's own unit id both name record 0. Null when not found.
UnitRecord* findUnit(WindowEntry& window, uint32_t unitId);

// Fills the registry from a read template and binds every event entry through the
// handler table (reference n names handlers[n]; -1 none). False for a reference outside
// the table.
bool fillWindowRegistry(TemplateContents contents, std::span<const EventHandler> handlers);

// Runs the first handler bound to the event; false when events are suppressed or no
// handler is bound. A window or unit that does not exist ends the process.
bool raiseEvent(EventRecord& event);
// raiseEvent with no arguments for one unit; the record when the caller wants the result.
bool raiseUnitEvent(uint32_t windowId, uint32_t unitId, int32_t number, EventRecord* out = nullptr);
