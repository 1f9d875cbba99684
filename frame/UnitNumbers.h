// The numbers by which the window template, the launcher and the frame name events,
// properties and methods of units, and the frame's private window messages. The template
// stores the numbers; these names stand for them.
#pragma once

#include <cstddef>
#include <cstdint>

// Events, numbered per kind of unit.
namespace unit_event {
// The window's own unit.
inline constexpr int32_t created = 0;     // by window loading, before the window is shown
inline constexpr int32_t closeQuery = 1;  // on WM_CLOSE; a handler's false keeps it open
inline constexpr int32_t destroying = 2;  // on WM_DESTROY, while the units still exist
inline constexpr int32_t moved = 3;
inline constexpr int32_t resized = 4;
inline constexpr int32_t activated = 5;
inline constexpr int32_t deactivated = 6;
inline constexpr int32_t idle = 7;  // by the loop's idle step; argument: milliseconds idle
inline constexpr int32_t firstActivated = 8;
inline constexpr int32_t shown = 10;
inline constexpr int32_t hidden = 11;
// Button and check box: BN_CLICKED; drop-down list: the selection changed (CBN_SELENDOK).
inline constexpr int32_t clicked = 0;
inline constexpr int32_t selectionChanged = 0;
// The window and the controls that take the focus.
inline constexpr int32_t gotFocus = -7;
inline constexpr int32_t lostFocus = -8;
}  // namespace unit_event

// Properties: 0 to 7 are common to every unit, 8 and up belong to the kind.
namespace unit_property {
inline constexpr int32_t left = 0;
inline constexpr int32_t top = 1;
inline constexpr int32_t width = 2;
inline constexpr int32_t height = 3;
inline constexpr int32_t visible = 5;
inline constexpr int32_t disabled = 6;
inline constexpr int32_t firstOfKind = 8;
inline constexpr int32_t tickState = 18;         // check box
inline constexpr int32_t currentSelection = 19;  // drop-down list
}  // namespace unit_property

namespace unit_method {
inline constexpr int32_t destroy = 0x10001;    // the window; optional argument atOnce
inline constexpr int32_t itemValue = 0x1000E;  // drop-down list; argument: entry index
}  // namespace unit_method

// The control ids of a window's native controls: the frame numbers them from the last unit of
// the template's list (firstChildId) towards the first, childIdStep apart. index: the unit's
// place in its window's list (1 and up; 0 is the window's own unit, which has none);
// unitCount: the window's units, its own included. The generated LauncherTemplate.h names
// the launcher window's control ids through this rule.
inline constexpr int firstChildId = 100;
inline constexpr int childIdStep = 10;
constexpr int childIdOfUnit(size_t index, size_t unitCount) {
  return firstChildId + childIdStep * static_cast<int>(unitCount - 1 - index);
}

// Private window messages of the frame.
namespace frame_message {
inline constexpr unsigned destroyRequest = 0x8065;  // posted: a deferred destroy
inline constexpr unsigned listSelected = 0x8066;    // posted after CBN_SELENDOK
inline constexpr unsigned windowShown = 0x8076;     // sent to every unit once shown
// The system's timer message (WM_SYSTIMER, undocumented), which does not count as activity
// for the idle step.
inline constexpr unsigned systemTimer = 0x0118;
// A private message of the frame's own loop protocol (an idle wake-up that windows of this
// frame may post): the loop neither offers it for pre-translation nor dispatches it.
inline constexpr unsigned skippedByLoop = 0x036A;
}  // namespace frame_message
