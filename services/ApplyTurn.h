// One apply at a time per game folder: a turn that the program takes before it writes any
// of the game's files and gives back before it shows a message or starts another program.
// Every program that writes the folder (a window, a second window, the program started with
// administrator rights) takes the same turn, so none reads the files while another changes
// them. Windows only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "services/Path.h"

// How long an apply waits for another apply of the same folder to finish. The other only
// writes files (its messages come after it gives the turn back), which takes well under
// this even for large missions.
inline constexpr uint32_t kApplyTurnWaitMs = 5000;

// The name of the turn of `folder`: the same for every path that leads to the folder (its
// short name, another drive letter, a link), as it comes from the folder's volume serial
// number and file index; from its full path, case-folded, only when the system gives no
// such identity.
std::wstring applyTurnName(const Path& folder);

// The turn of one game folder, held from the constructor (when it was had) until release()
// or the end of its holder. A turn left by a program that ended while holding it is taken
// as free: every write is a whole-file replacement and the record of the originals is on
// the disk before any mission changes, so what such a program left is whole.
class ApplyTurn {
 public:
  // Waits up to waitMs for the turn; held() says whether it was had.
  ApplyTurn(const Path& folder, uint32_t waitMs);
  ~ApplyTurn() { release(); }
  ApplyTurn(const ApplyTurn&) = delete;
  ApplyTurn& operator=(const ApplyTurn&) = delete;

  bool held() const { return held_; }
  void release();

 private:
  HANDLE mutex_ = nullptr;
  bool held_ = false;
};

// A test build of the turn reports the moment an apply begins to wait for another one, so
// that a test can let the other go on exactly then. In the program it costs nothing.
#if defined(LAUNCHER_TURN_WAIT)
void waitingForApplyTurn();  // defined by the test build
#else
inline void waitingForApplyTurn() {}
#endif
