// Whole-file writing: the new content of a file put in the target's place in one step, and
// the removal of what writers that were ended left behind. The reading is in FileReading,
// the causes of failures in FileFaults.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "services/FileFault.h"
#include "services/Path.h"
#include "services/Text.h"

// The new content of a file, written piece by piece into a temporary file beside it (named
// as services/TemporaryName.h tells, hidden and a system file until just before the
// rename) that replaces the file in one step on commit. The target is untouched until
// then. A replacement that goes without commit, a failed one and
// one whose process is ended while it writes leave the target as it was; the temporary
// file is delete-pending while it is written, so that its closing removes it.
class FileReplacement {
 public:
  explicit FileReplacement(const Path& name);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Appends bytes to the new content; false once a write has failed.
  bool append(std::string_view bytes);
  // Flushes the new content to the disk and puts it in place of the target. False, with the
  // target unchanged and the temporary file gone, when anything failed or the target may
  // not be replaced: a folder, read-only, or held open by another program.
  bool commit();
  // Why the replacement failed; FileFault::none while it has not. Asked after the caller
  // has closed its own handles to the target.
  FileFault fault();

 private:
  bool fail(FileFault fault);
  void discard();

  std::wstring target_;  // in the form the file calls take
  std::wstring tempName_;
  void* temp_;
  bool pending_ = false;  // the temporary file is delete-pending
  bool ok_ = false;
  FileFault fault_ = FileFault::none;
  bool askTarget_ = false;        // a refused new file: whether the target itself is writable
  uint32_t finalAttributes_ = 0;  // the attributes the new file takes in the target's place
};

// Removes the temporary files of replacements of the files `targets` (full paths) whose
// writing process is no longer running: what a writer ended at the wrong instant (before its
// file was delete-pending, or after that was cleared for the rename) left behind, each
// looked for in its target's folder. Only a file that carries the whole signature of a
// temporary file, a name of its form made for one of the targets in that folder and its
// hidden and system attributes, is removed, and only when the name's process id is one a
// writer can have (never 0); files of running processes, leftovers of other files, any other
// file, folders and read-only files stay. Returns how many were removed.
int removeLeftoverTemporaries(std::span<const Path> targets);

// Replaces the whole content with the buffers written back to back. The new content goes
// to a temporary file in the same folder which then replaces the target in one step, so on
// any failure the target keeps its old content byte for byte and no temporary file is left.
// A read-only target or one held open by another program gives false and stays unchanged.
// fault, when given, receives why the file could not be written (FileFault::none when it was).
bool writeFile(const Path& name, std::initializer_list<const ByteBuffer*> buffers,
               FileFault* fault = nullptr);
inline bool writeFile(const Path& name, const ByteBuffer& buffer, FileFault* fault = nullptr) {
  return writeFile(name, {&buffer}, fault);
}
