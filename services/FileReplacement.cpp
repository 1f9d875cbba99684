// Writing: the whole-file replacement beside the target, and the removal of what writers
// that were ended left behind.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "services/FileFaults.h"
#include "services/FileHandle.h"
#include "services/FileReplacement.h"
#include "services/TemporaryName.h"
#include "services/WriteSteps.h"

namespace {

bool setDeletePending(HANDLE file, bool pending) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = pending ? TRUE : FALSE;
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) !=
         FALSE;
}

// The request that renames an open file onto target, replacing it, in one step. Built
// ahead of time so that clearing the pending delete and renaming follow each other at once.
class RenameRequest {
 public:
  explicit RenameRequest(const std::wstring& target) {
    if (target.empty()) return;
    // FILE_RENAME_INFO ends in a one-character array that the name continues past.
    storage_.assign(sizeof(FILE_RENAME_INFO) + (target.size() + 1) * sizeof(WCHAR), '\0');
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(storage_.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    target.copy(rename->FileName, target.size());
    rename->FileNameLength = static_cast<DWORD>(target.size() * sizeof(WCHAR));
  }
  bool valid() const { return !storage_.empty(); }
  bool applyTo(HANDLE file) {
    return SetFileInformationByHandle(file, FileRenameInfo, storage_.data(),
                                      static_cast<DWORD>(storage_.size())) != FALSE;
  }

 private:
  std::string storage_;
};

// The attributes that, with a name of the form services/TemporaryName.h tells, make up the
// signature of a temporary file of a whole-file write: hidden and system, which Windows' file
// systems keep on every file and which the leftover clean-up asks for, and two that only
// tell the system not to index the file and to keep it in memory where it can (not every
// file system keeps those two, Wine's neither, so they are not asked for). A name of that
// form alone is no signature: a file without hidden and system is never removed.
constexpr DWORD kSignatureAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kTemporaryAttributes =
    kSignatureAttributes | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The form of a full path that the file calls take at any length: past MAX_PATH only with
// the "\\?\" prefix.
std::wstring longFormOf(const std::wstring& path) { return platformPath(Path(path)); }

// A new, empty file beside the target, opened exclusively, with a temporary file's attributes;
// its name goes to tempName.
HANDLE createTemporaryBeside(const Path& target, std::wstring& tempName) {
  const std::wstring& name = target.wide();
  const size_t last = name.rfind(L'\\');
  const std::wstring prefix =
      last == std::wstring::npos ? std::wstring() : name.substr(0, last + 1);
  const std::wstring_view targetName = std::wstring_view(name).substr(prefix.size());
  static uint32_t counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempName = longFormOf(prefix + temporaryName(GetCurrentProcessId(), ++counter, targetName));
    HANDLE file = CreateFileW(tempName.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                              kTemporaryAttributes, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

// Gives the open file the attributes it is to have in the target's place, in place of the
// temporary file's.
bool setAttributes(HANDLE file, DWORD attributes) {
  FILE_BASIC_INFO basic{};  // times of 0 stay as they are
  basic.FileAttributes = attributes;
  return SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) != FALSE;
}

// Why the rename onto the target failed, from the platform's error of it. The system refuses
// a rename onto a file that another program holds open, even one that shares everything,
// with "access denied", as it does a lack of permission: the target is asked again, and
// only one that still may not be opened for writing lacks the permission; otherwise
// another program held it at that instant (another writer replacing it, a reader).
FileFault renameFault(const std::wstring& target, DWORD error) {
  if (error != ERROR_ACCESS_DENIED) return faultOfError(error);
  const FileFault now = replaceFault(target, GetFileAttributesW(target.c_str()));
  return now == FileFault::none ? FileFault::inUse : now;
}

// True when the process is known to have ended: no process has the id any more, or the
// one that has it has exited. A process that cannot be looked at counts as running.
bool processEnded(DWORD processId) {
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) return GetLastError() == ERROR_INVALID_PARAMETER;
  const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

// The leftovers in one folder: those of the targets that lie in it.
int removeLeftoversIn(const Path& folder, std::span<const Path> targets) {
  const std::wstring prefix = folder.wide() + L'\\';
  WIN32_FIND_DATAW found;
  HANDLE search =
      FindFirstFileW(longFormOf(prefix + wideAscii(temporaryNamePattern)).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int removed = 0;
  do {
    // Only a file with the whole signature, a name of the writer's form and the attributes
    // it gives its temporary files, and neither a folder nor read-only.
    const DWORD attributes = found.dwFileAttributes;
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0 ||
        (attributes & kSignatureAttributes) != kSignatureAttributes) {
      continue;
    }
    std::optional<uint32_t> writer;
    for (const Path& target : targets) {
      if (writer) break;
      if (!(folderOfPath(target) == folder)) continue;
      writer = writerOfTemporaryName(found.cFileName,
                                     std::wstring_view(target.wide()).substr(prefix.size()));
    }
    // Id 0 is the system's idle process, never a writer, and no process can be asked about
    // it. A file still being written is held without sharing, so even a wrong judgement
    // could not remove it; the process test keeps a live writer's file out of the question.
    if (!writer || *writer == 0 || *writer == GetCurrentProcessId() || !processEnded(*writer)) {
      continue;
    }
    if (DeleteFileW(longFormOf(prefix + found.cFileName).c_str())) ++removed;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return removed;
}

}  // namespace

FileReplacement::FileReplacement(const Path& name)
    : target_(platformPath(name)), temp_(INVALID_HANDLE_VALUE) {
  if (name.empty()) return;
  // A folder or a read-only file is refused at once; whether another program holds the
  // target open is asked on commit, when this process holds it no more either.
  const DWORD targetAttributes = GetFileAttributesW(target_.c_str());
  if (targetAttributes != INVALID_FILE_ATTRIBUTES &&
      (targetAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
    fail((targetAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileFault::folderInPlace
                                                            : FileFault::readOnly);
    return;
  }
  // The new file keeps the target's hidden, system and not-indexed attributes and, as any
  // file that is written, takes the archive one (changed since the last backup); it takes
  // them just before the rename.
  const DWORD kept =
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  finalAttributes_ = FILE_ATTRIBUTE_ARCHIVE |
                     (targetAttributes == INVALID_FILE_ATTRIBUTES ? 0 : targetAttributes & kept);
  temp_ = createTemporaryBeside(name, tempName_);
  if (temp_ == INVALID_HANDLE_VALUE) {
    // Refused beside an existing target: the folder takes no new file, unless the target
    // may not be written either, which fault() asks once the caller holds it no more.
    FileFault cause = faultOfLastError();
    if (cause == FileFault::noPermission && targetAttributes != INVALID_FILE_ATTRIBUTES) {
      cause = FileFault::folderRefusesNewFiles;
      askTarget_ = true;
    }
    fail(cause);
    return;
  }
  reachedWriteStep(WriteStep::created);
  // Delete-pending while it is written: should the process end before the rename, closing
  // the handle (by the system, if need be) removes the half-written file. (Only an empty file
  // can be left, by an end between its creation and this request: FILE_FLAG_DELETE_ON_CLOSE
  // would close that gap but cannot be taken back before the rename. The next apply
  // removes such a file.)
  pending_ = setDeletePending(temp_, true);
  reachedWriteStep(WriteStep::deletePending);
  ok_ = true;
}

FileReplacement::~FileReplacement() {
  if (temp_ != INVALID_HANDLE_VALUE) discard();
}

FileFault FileReplacement::fault() {
  if (askTarget_) {
    askTarget_ = false;
    if (replaceFault(target_, GetFileAttributesW(target_.c_str())) == FileFault::noPermission) {
      fault_ = FileFault::noPermission;
    }
  }
  return fault_;
}

bool FileReplacement::fail(FileFault fault) {
  if (fault_ == FileFault::none) fault_ = fault;
  return false;
}

bool FileReplacement::append(std::string_view bytes) {
  while (ok_ && !bytes.empty()) {
    const DWORD size = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(temp_, bytes.data(), size, &written, nullptr)) {
      ok_ = fail(faultOfLastError());
    } else if (written != size) {
      ok_ = fail(FileFault::diskFull);  // a write cut short without an error
    } else {
      reachedWriteStep(WriteStep::writing);
    }
    bytes.remove_prefix(size);
  }
  return ok_;
}

bool FileReplacement::commit() {
  if (temp_ == INVALID_HANDLE_VALUE) return fail(FileFault::other);
  RenameRequest rename(target_);
  bool done = ok_;
  if (done && !rename.valid()) done = fail(FileFault::other);
  if (done && FlushFileBuffers(temp_) == FALSE) done = fail(faultOfLastError());
  if (done) {
    const FileFault refused = replaceFault(target_, GetFileAttributesW(target_.c_str()));
    if (refused != FileFault::none) done = fail(refused);
  }
  if (done) reachedWriteStep(WriteStep::flushed);
  // An end between these two calls leaves the complete new content beside the target,
  // for the next apply to remove.
  if (done && pending_ && !setDeletePending(temp_, false)) done = fail(faultOfLastError());
  if (done) {
    pending_ = false;
    reachedWriteStep(WriteStep::pendingCleared);
    // The temporary file's attributes give way to the target's right before the rename: an
    // end between the two calls leaves the new content under the temporary name without
    // the signature, and such a file is never removed.
    if (!setAttributes(temp_, finalAttributes_)) done = fail(faultOfLastError());
  }
  if (done) {
    reachedWriteStep(WriteStep::attributed);
    if (!rename.applyTo(temp_)) done = fail(renameFault(target_, GetLastError()));
  }
  if (!done) {
    discard();
    return false;
  }
  reachedWriteStep(WriteStep::replaced);
  const bool closed = CloseHandle(temp_) != FALSE;
  temp_ = INVALID_HANDLE_VALUE;
  return closed || fail(faultOfLastError());
}

void FileReplacement::discard() {
  if (!pending_) setDeletePending(temp_, true);
  CloseHandle(temp_);
  temp_ = INVALID_HANDLE_VALUE;
  DeleteFileW(tempName_.c_str());  // in case the platform could not make it delete-pending
  ok_ = false;
}

bool writeFile(const Path& name, std::initializer_list<const ByteBuffer*> buffers,
               FileFault* fault) {
  FileReplacement replacement(name);
  for (const ByteBuffer* buffer : buffers) {
    if (buffer != nullptr) replacement.append(buffer->bytes);
  }
  const bool written = replacement.commit();
  if (fault != nullptr) *fault = replacement.fault();
  return written;
}

int removeLeftoverTemporaries(std::span<const Path> targets) {
  int removed = 0;
  for (size_t i = 0; i < targets.size(); ++i) {
    const Path folder = folderOfPath(targets[i]);
    bool seen = folder.empty();
    for (size_t k = 0; k < i && !seen; ++k) seen = folderOfPath(targets[k]) == folder;
    if (!seen) removed += removeLeftoversIn(folder, targets);
  }
  return removed;
}
