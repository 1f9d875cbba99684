// Whole-file access: existence test, whole read, whole (atomic) write, and the removal of
// what writers that were ended left behind.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "services/Text.h"

// True when a directory search finds the name: a file or a folder. The empty text, a
// drive root and a name ending in a backslash give false.
bool fileExists(const Text& name);

// The whole file; empty when it is missing, a folder, unreadable or held open for writing.
ByteBuffer readFile(const Text& name);
// The same, telling a file that could not be read (no value) from an empty one.
std::optional<ByteBuffer> readWholeFile(const Text& name);

// Whole files read one after another into one read area, which a read reuses and grows
// only for a file larger than any before, without filling the memory first: an apply over
// many files touches fresh memory once, not once per file.
class FileReader {
 public:
  FileReader() = default;
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  // The whole file, valid until the next read; no value when it could not be read (missing,
  // a folder, held open for writing by another program, larger than 2 GB, or too large for
  // the memory to be had). An empty file gives an empty view.
  std::optional<std::string_view> read(const Text& name);

 private:
  char* area_ = nullptr;
  size_t capacity_ = 0;
};

// The new content of a file, written piece by piece into a temporary file beside it (named
// as services/TemporaryName.h tells) that replaces the file in one step on commit. The
// target is untouched until then. A replacement that goes without commit, a failed one and
// one whose process is ended while it writes leave the target as it was; the temporary
// file is marked for deletion while it is written, so that its closing removes it.
class FileReplacement {
 public:
  explicit FileReplacement(const Text& name);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Appends bytes to the new content; false once a write has failed.
  bool append(std::string_view bytes);
  // Flushes the new content to the disk and puts it in place of the target. False, with the
  // target unchanged and the temporary file gone, when anything failed or the target may
  // not be replaced: a folder, read-only, or held open by another program.
  bool commit();

 private:
  void discard();

  std::string target_;
  std::string tempName_;
  void* temp_;
  bool pending_ = false;  // the temporary file is marked for deletion
  bool ok_ = false;
};

// Removes from `folder` the temporary files of replacements whose writing process is no
// longer running: what a writer ended at the wrong instant (before its file was marked for
// deletion, or after the mark was cleared for the rename) left behind. Files of running
// processes, other names, folders and read-only files stay. Returns how many were removed.
int removeLeftoverTemporaries(const Text& folder);

// Replaces the whole content with the buffers written back to back. The new content goes
// to a temporary file in the same folder which then replaces the target in one step, so on
// any failure the target keeps its old content byte for byte and no temporary file is left.
// A read-only target or one held open by another program gives false and stays unchanged.
bool writeFile(const Text& name, std::initializer_list<const ByteBuffer*> buffers);
inline bool writeFile(const Text& name, const ByteBuffer& buffer) {
  return writeFile(name, {&buffer});
}
