// Whole-file access: existence test, whole read, whole (atomic) write.
#pragma once

#include <initializer_list>
#include <optional>

#include "services/Text.h"

// True when a directory search finds the name: a file or a folder. The empty text, a
// drive root and a name ending in a backslash give false.
bool fileExists(const Text& name);

// The whole file; empty when it is missing, a folder, unreadable or held open for writing.
ByteBuffer readFile(const Text& name);
// The same, telling a file that could not be read (no value) from an empty one.
std::optional<ByteBuffer> readWholeFile(const Text& name);

// Replaces the whole content with the buffers written back to back. The new content goes
// to a temporary file in the same folder which then replaces the target in one step, so on
// any failure the target keeps its old content byte for byte and no temporary file is left.
// A read-only target or one held open by another program gives false and stays unchanged.
bool writeFile(const Text& name, std::initializer_list<const ByteBuffer*> buffers);
inline bool writeFile(const Text& name, const ByteBuffer& buffer) {
  return writeFile(name, {&buffer});
}
