// Private profile (INI) content over bytes: what the platform's profile functions read from
// and write to a file under code page 936 (GBK), done on the file's bytes so that the result
// is the same whatever the system code page is.
//
// The content is taken as GBK text: a lead byte 0x81..0xFE and a trail byte 0x40..0x7E or
// 0x80..0xFE make one character; a lead byte without a valid trail byte after it (the two
// bytes, or the lead byte alone at the end or before a zero byte) reads as "?". A line ends
// at CR, LF or CR LF; blanks are the bytes 0x09..0x0D and 0x20. A line whose first non-blank
// byte is "[" and which holds a "]" names a section (the text between "[" and the last "]",
// without blanks around it); any other non-blank line is a key: the name before the first
// "=" and the value after it, both without blanks around them, or the whole line as a name
// without a value. Section and key names match without regard to the case of the letters
// A..Z; the first of several sections or keys of one name counts.
//
// A write changes only the lines of what it changes; every other line keeps its bytes and
// its own line break. A key whose value differs gets the line "KEY=VALUE" with the old
// line's break; a key that already reads as it would after the write (the value compared as
// the reader gives it, without the blanks and one pair of quotation marks around it) is not
// touched. A missing key goes, as "KEY=VALUE" and CR LF, right after the last line of its
// section that is not blank (CR LF is first added to that line when it has no break); a
// missing section goes at the end of the file, after a CR LF when the file does not end with
// a line break.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace profile {

// The size of the buffer that the profile read fills: a value is cut to fit it with its
// terminating zero byte.
constexpr size_t readBufferSize = 10240;

// True when the content starts with a UTF-8 or UTF-16 byte-order mark: such a file is read
// as missing and never written (it is left unchanged).
bool hasByteOrderMark(std::string_view content);

// The value of key in section (quotation marks around it removed), or, when the section,
// the key or its "=" is missing, the default without its trailing spaces. Either is cut to
// whole characters that fit bufferSize bytes with a terminating zero byte.
std::string readValue(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view defaultText, size_t bufferSize = readBufferSize);

// The content after writing key=value in section: a present key gets the new value in its
// own line, a missing key goes after the last line of its section that is not blank, and a
// missing section with its key at the end of the file. An absent value deletes the key's
// line, an absent key the whole section's lines. No value when nothing changes (the key
// already reads as it would after the write, or there is nothing to delete): the file is then not
// written.
std::optional<std::string> writeValue(std::string_view content, std::string_view section,
                                      std::optional<std::string_view> key,
                                      std::optional<std::string_view> value);

}  // namespace profile
