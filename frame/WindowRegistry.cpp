#include "frame/WindowRegistry.h"

#include "GbkTexts.h"
#include "frame/FatalReport.h"
#include "frame/FrameState.h"

namespace {

WindowRegistry registry;

// Every kind the frame builds raises events.
bool raisesEvents(uint32_t kind) { return highestKnownVersion(kind) != 0; }

}  // namespace

WindowRegistry& windowRegistry() { return registry; }

WindowEntry* findWindow(uint32_t windowId) {
  for (WindowEntry& w : registry.windows) {
    if (w.id() == windowId) return &w;
  }
  return nullptr;
}

UnitRecord* findUnit(WindowEntry& window, uint32_t unitId) {
  if (window.units.empty()) return nullptr;
  if (unitId == 0) return &window.units[0];
  for (UnitRecord& u : window.units) {
    if (u.description->id == unitId) return &u;
  }
  return nullptr;
}

bool fillWindowRegistry(TemplateContents contents, std::span<const EventHandler> handlers) {
  registry.windows.clear();
  registry.windows.resize(contents.windows.size());
  for (size_t i = 0; i < contents.windows.size(); ++i) {
    WindowEntry& entry = registry.windows[i];
    entry.description = std::move(contents.windows[i]);
    entry.units.resize(entry.description.units.size());
    for (size_t u = 0; u < entry.units.size(); ++u) {
      UnitRecord& record = entry.units[u];
      record.description = &entry.description.units[u];
      for (const TemplateEvent& e : record.description->events) {
        EventBinding binding{e.number, nullptr};
        if (e.handler != -1) {
          if (e.handler < 0 || static_cast<size_t>(e.handler) >= handlers.size()) return false;
          binding.handler = handlers[static_cast<size_t>(e.handler)];
        }
        record.events.push_back(binding);
      }
    }
  }
  return true;
}

bool raiseEvent(EventRecord& event) {
  if (frameState().eventSuppression >= 1) return false;
  WindowEntry* window = findWindow(event.windowId);
  if (window == nullptr) reportFatalError(gbk::eventWindowMissing, 0);
  UnitRecord* unit = findUnit(*window, event.unitId);
  if (unit == nullptr) reportFatalError(gbk::eventUnitMissing, 0);
  if (!raisesEvents(unit->description->kind)) reportFatalError(gbk::eventUnitInvalid, 0);
  for (const EventBinding& binding : unit->events) {
    if (binding.number != event.number) continue;
    if (binding.handler == nullptr) return false;
    FrameState& state = frameState();
    state.handlersRunning += 1;
    std::optional<int32_t> result = binding.handler(
        std::span<const int32_t>(event.arguments, static_cast<size_t>(event.argumentCount)));
    state.handlersRunning -= 1;
    if (state.handlersRunning == 0 && state.handlersEnded != nullptr) state.handlersEnded();
    if (result) {
      event.hasResult = true;
      event.result = *result;
    }
    return true;
  }
  return false;
}

bool raiseUnitEvent(uint32_t windowId, uint32_t unitId, int32_t number, EventRecord* out) {
  EventRecord event;
  event.windowId = windowId;
  event.unitId = unitId;
  event.number = number;
  bool ran = raiseEvent(event);
  if (out != nullptr) *out = event;
  return ran;
}
