// The steps of a whole-file replacement, for a test build of the file services that
// reports each step as it is reached, so that a test can end the writer exactly there.
// In the program the report is an empty function and costs nothing.
#pragma once

enum class WriteStep {
  created,         // the temporary file exists, not yet delete-pending
  deletePending,   // delete-pending: ending the process now removes it
  writing,         // a piece of the new content is written, the rest may follow
  flushed,         // the whole new content is written and flushed
  pendingCleared,  // no longer delete-pending; the file is still hidden, a system file
  attributed,      // the file has the attributes it keeps as the target; the rename comes next
  replaced,        // the temporary file has replaced the target; its handle is still open
};

#if defined(LAUNCHER_WRITE_STEPS)
void reachedWriteStep(WriteStep step);  // defined by the test build
#else
inline void reachedWriteStep(WriteStep) {}
#endif
