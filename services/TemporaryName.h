// The names of the temporary files in which whole-file writes put a file's new content
// beside it: "~wr<process id>-<n>.<target's name>.tmp", both numbers in lower-case
// hexadecimal without leading zeros. The name tells which process wrote the file, so that
// one left behind by a process that has ended can be told from one still being written,
// and which file it was to replace. It is half of the signature by which the leftover
// clean-up knows its own files; the other half is the attributes the writer gives them
// (services/FileReplacement.cpp).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The target's name is carried up to its first temporaryTargetNameMost characters (a pair
// of UTF-16 surrogates is never split), so that the name stays within the 255 characters
// a file name may have.
inline constexpr size_t temporaryTargetNameMost = 230;

std::wstring temporaryName(uint32_t processId, uint32_t n, std::wstring_view targetName);

// The process id in a name of that form made for the target `targetName` (as temporaryName
// carries it); no value for any other name (another target's name, other letters or case, a
// leading zero, a number past 32 bits, no target's name, anything before or after).
std::optional<uint32_t> writerOfTemporaryName(std::wstring_view name, std::wstring_view targetName);

// The search pattern that finds every such name (and others, which the parse rejects).
inline constexpr const char* temporaryNamePattern = "~wr*.tmp";
