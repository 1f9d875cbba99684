// Whole-file reading: existence test, whole read, and reading piece by piece. The writing is
// in FileReplacement, the causes of failures in FileFaults.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
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

// The bytes read piece by piece by every FileReader of this process so far: what a test
// compares with the sizes of the files an apply looks at.
uint64_t bytesReadInPieces();

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
