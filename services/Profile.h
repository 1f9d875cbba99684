// One key of a private profile (INI) file, read and written through the platform.
#pragma once

#include <optional>
#include <utility>

#include "services/Text.h"

// The key's value, or the default (absent counts as empty) when the file, section or key
// is missing. Leading bytes 0x01..0x20 of file, section and key are skipped; when any of
// them is then empty the result is the empty text and nothing is read.
Text readProfileItem(const Text& file, const Text& section, const Text& key,
                     const std::optional<Text>& defaultText = std::nullopt);

// Writes key=value in section. An absent value deletes the key, an absent key the whole
// section; a present empty value writes "key=". True when the platform reports success.
bool writeProfileItem(const Text& file, const Text& section, const std::optional<Text>& key,
                      const std::optional<Text>& value);

// Writes several key=value items of one section as one replacement of the whole file: the
// items go into a copy of the file in the temporary folder, and the copy's content then
// replaces the file through writeFile (one step; on any failure the file keeps its old
// content byte for byte and nothing is left beside it). A file that already holds every
// item as given is not written, and gives true even when it is read-only. Otherwise a
// read-only file, a folder, or a file held open by another program gives false and stays
// unchanged.
bool writeProfileItems(const Text& file, const Text& section,
                       std::initializer_list<std::pair<Text, Text>> items);
