// The names of the temporary files in which whole-file writes put a file's new content
// beside it: "~wr<process id>-<n>.tmp", both numbers in lower-case hexadecimal without
// leading zeros. The name tells which process wrote the file, so that one left behind by
// a process that has ended can be told from one still being written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

std::string temporaryName(uint32_t processId, uint32_t n);

// The process id in a name of that form; no value for any other name (other letters or
// case, a leading zero, a number past 32 bits, anything before or after).
std::optional<uint32_t> writerOfTemporaryName(std::string_view name);

// The search pattern that finds every such name (and others, which the parse rejects).
inline constexpr const char* temporaryNamePattern = "~wr*.tmp";
