// One key of a private profile (INI) file. The file's bytes are read and written through
// the whole-file access and interpreted by the byte-level profile code (ProfileContent.h),
// which does what the platform's profile functions do under code page 936; so the file
// stays GBK byte for byte whatever the system code page is.
#pragma once

#include <initializer_list>
#include <optional>
#include <utility>

#include "services/FileFault.h"
#include "services/Path.h"
#include "services/Text.h"

// The key's value, or the default (absent counts as empty) when the file, section or key
// is missing. Leading characters 0x01..0x20 of file name, section and key are skipped; when
// any of them is then empty the result is the empty text and nothing is read. A file
// that starts with a byte-order mark reads as missing.
Text readProfileItem(const Path& file, const Text& section, const Text& key,
                     const std::optional<Text>& defaultText = std::nullopt);

// Writes key=value in section. An absent value deletes the key, an absent key the whole
// section; a present empty value writes "key=". True when the file holds the result.
bool writeProfileItem(const Path& file, const Text& section, const std::optional<Text>& key,
                      const std::optional<Text>& value);

// Writes several key=value items of one section as one replacement of the whole file,
// beside it in its own folder (writeFile: on any failure the file keeps its old content
// byte for byte). When every value is already there the file is not written. False, with
// the file unchanged, for a file that cannot be read (a folder, held open by another
// program), cannot be replaced (read-only), or starts with a byte-order mark; fault, when
// given, receives why.
bool writeProfileItems(const Path& file, const Text& section,
                       std::initializer_list<std::pair<Text, Text>> items,
                       FileFault* fault = nullptr);
