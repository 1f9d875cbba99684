// Why a file could not be read or written, from what the platform reported.
#pragma once

enum class FileFault {
  none,
  readOnly,               // the file has the read-only attribute
  inUse,                  // another program holds it open (a sharing or lock violation)
  noPermission,           // access denied, the file not being read-only
  diskFull,               // no room left on the drive
  folderInPlace,          // a folder stands where the file belongs
  folderRefusesNewFiles,  // the file may be changed, but its folder takes no new file, which
                          // the whole-file write needs beside it
  unreadable,             // the file is there but its content could not be read
  recordDamaged,          // the record of the file's original content, which the write
                          // needs, is damaged
  recordUnavailable,      // that record could not be read, or not written before the file
  recordLineDamaged,      // the file is that record, and a line of it cannot be understood
  recordLinesMissing,     // the file is that record, and lines of it are missing
  weaponLineMissing,      // the file has lost the line whose original content the record
                          // holds, so it cannot take it back
  lineBreaks,             // the line to be changed is separated by a CR alone, which the
                          // program does not change, so that no line is merged with another
  byteOrderMark,          // the file begins with a byte-order mark: saved in a form (UTF-8 or
                          // UTF-16) that the program does not change
  other,                  // anything else the platform reported
};
