// Whole-file access: existence test, whole read, whole (atomic) write, and the removal of
// what writers that were ended left behind. The reading is in FileReading.cpp, the writing
// and the removal in FileReplacement.cpp, the causes of failures in FileFaults.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "services/FileFault.h"
#include "services/Path.h"
#include "services/Text.h"

// True when a directory search finds the name: a file or a folder. The empty text, a
// drive root and a name ending in a backslash give false.
bool fileExists(const Path& name);

// The whole file; no value when it cannot be read (missing, a folder, unreadable or held
// open for writing), which an empty file is told apart from. fault, when given, receives
// why (FileFault::none when it was read).
std::optional<ByteBuffer> tryReadFile(const Path& name, FileFault* fault = nullptr);
// The whole file, and empty content when it cannot be read: for a caller to whom an
// unreadable file and an empty one are the same.
ByteBuffer readFileOrEmpty(const Path& name);

// Files read piece by piece through one read area, made once and reused from file to
// file: an apply over many files holds one piece of memory, whatever their sizes.
class FileReader {
 public:
  explicit FileReader(size_t pieceSize);
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  // Opens a file for reading (others may read it too, none may write it) in place of the
  // one before. False when it cannot be read: missing, a folder, held open for writing by
  // another program, or no memory for the read area.
  bool open(const Path& name, FileFault* fault = nullptr);
  // The next piece of the open file, at most `most` bytes, valid until the next call; an
  // empty piece at the end of the file, no value when reading failed.
  std::optional<std::string_view> next(uint64_t most = UINT64_MAX);
  // The next piece is read from this offset of the file.
  bool seek(uint64_t offset);
  void close();

 private:
  void* file_;
  char* area_ = nullptr;
  size_t pieceSize_;
};

// The new content of a file, written piece by piece into a temporary file beside it (named
// as services/TemporaryName.h tells, hidden and marked as a system file until just before
// the rename) that replaces the file in one step on commit. The target is untouched until
// then. A replacement that goes without commit, a failed one and
// one whose process is ended while it writes leave the target as it was; the temporary
// file is marked for deletion while it is written, so that its closing removes it.
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
  bool pending_ = false;  // the temporary file is marked for deletion
  bool ok_ = false;
  FileFault fault_ = FileFault::none;
  bool askTarget_ = false;        // a refused new file: whether the target itself is writable
  uint32_t finalAttributes_ = 0;  // the attributes the new file takes in the target's place
};

// Removes the temporary files of replacements of the files `targets` (full paths) whose
// writing process is no longer running: what a writer ended at the wrong instant (before its
// file was marked for deletion, or after the mark was cleared for the rename) left behind,
// each looked for in its target's folder. Only a file that carries the whole mark of a
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
