#include "services/Files.h"

#include <windows.h>

#include <cstdint>
#include <string>

#include "services/Path.h"
#include "services/TemporaryName.h"
#include "services/WriteSteps.h"

namespace {

// A handle of the file interfaces, closed when it goes.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() { close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  bool close() {
    if (!valid()) return true;
    bool closed = CloseHandle(handle_) != FALSE;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

// A block of the process heap that may fail softly: the read area of a whole file.
class HeapBlock {
 public:
  explicit HeapBlock(DWORD bytes) : block_(HeapAlloc(GetProcessHeap(), 0, bytes)) {}
  ~HeapBlock() {
    if (block_ != nullptr) HeapFree(GetProcessHeap(), 0, block_);
  }
  HeapBlock(const HeapBlock&) = delete;
  HeapBlock& operator=(const HeapBlock&) = delete;

  char* get() const { return static_cast<char*>(block_); }

 private:
  void* block_;
};

// The form in which the platform takes a path of any length: a full path of 248 characters
// or more gets the "\\?\" prefix (and "\\server\share" becomes "\\?\UNC\server\share"),
// which lifts the 260-character limit of the file calls. Other paths go as they are.
std::wstring platformPath(const Path& path) {
  const std::wstring& wide = path.wide();
  constexpr size_t longFrom = MAX_PATH - 12;
  if (wide.size() < longFrom || wide.starts_with(L"\\\\?\\")) return wide;
  if (wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\') return L"\\\\?\\" + wide;
  if (wide.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + wide.substr(2);
  return wide;
}

std::wstring wideAscii(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

SECURITY_ATTRIBUTES inheritableHandle() {
  SECURITY_ATTRIBUTES attributes{};
  attributes.nLength = sizeof attributes;
  attributes.bInheritHandle = TRUE;
  return attributes;
}

bool setDeletePending(HANDLE file, bool pending) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = pending ? TRUE : FALSE;
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) !=
         FALSE;
}

// The request that renames an open file onto target, replacing it, in one step. Built
// ahead of time so that clearing the delete mark and renaming follow each other at once.
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

// The cause of a failed call from the platform's error code.
FileFault faultOfError(DWORD error) {
  switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return FileFault::inUse;
    case ERROR_ACCESS_DENIED:
      return FileFault::noPermission;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FileFault::diskFull;
    default:
      return FileFault::other;
  }
}

FileFault faultOfLastError() { return faultOfError(GetLastError()); }

// Why a file could not be opened for reading: a folder in its place, held by another
// program, no permission, or else could not be read.
FileFault readFault(const std::wstring& name, DWORD error) {
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return FileFault::folderInPlace;
  }
  const FileFault cause = faultOfError(error);
  return cause == FileFault::inUse || cause == FileFault::noPermission ? cause
                                                                       : FileFault::unreadable;
}

// Why the target may not be replaced: a folder, read-only, or held open by another program
// (an open for writing without sharing, which cuts nothing, must succeed). none: it may.
FileFault replaceFault(const std::wstring& name, DWORD attributes) {
  if (attributes == INVALID_FILE_ATTRIBUTES) return FileFault::none;  // a new file
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return FileFault::folderInPlace;
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return FileFault::readOnly;
  FileHandle probe(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  return probe.valid() ? FileFault::none : faultOfLastError();
}

// A new, empty file beside the target, opened exclusively; its name goes to tempName.
HANDLE createTemporaryBeside(const std::wstring& name, DWORD attributes, std::wstring& tempName) {
  const size_t last = name.rfind(L'\\');
  const std::wstring prefix =
      last == std::wstring::npos ? std::wstring() : name.substr(0, last + 1);
  static uint32_t counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempName = prefix + wideAscii(temporaryName(GetCurrentProcessId(), ++counter));
    HANDLE file = CreateFileW(tempName.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                              attributes, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
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

}  // namespace

bool fileExists(const Path& name) {
  if (name.empty() || name.wide().back() == L'\\') return false;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(platformPath(name).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

std::optional<ByteBuffer> readWholeFile(const Path& name, FileFault* fault) {
  // Until the content is there, the cause is that it could not be read.
  if (fault != nullptr) *fault = FileFault::unreadable;
  if (name.empty()) return std::nullopt;
  SECURITY_ATTRIBUTES security = inheritableHandle();
  FileHandle file(CreateFileW(platformPath(name).c_str(), GENERIC_READ, FILE_SHARE_READ, &security,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    if (fault != nullptr) *fault = readFault(platformPath(name), GetLastError());
    return std::nullopt;
  }
  LONG high = 0;
  DWORD length = SetFilePointer(file.get(), 0, &high, FILE_END);
  SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN);
  if (length == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return std::nullopt;
  if (length == 0 && high == 0) {
    if (fault != nullptr) *fault = FileFault::none;
    return ByteBuffer{};
  }
  if (high != 0 || length > INT32_MAX) return std::nullopt;
  {
    // A file too large for the memory to be had cannot be read, rather than ending the
    // program; once the memory is known to be there the bytes are read straight into the
    // result, without a second whole-file copy.
    HeapBlock area(length);
    if (area.get() == nullptr) return std::nullopt;
  }
  ByteBuffer result{std::string(length, '\0')};
  DWORD got = 0;
  if (!ReadFile(file.get(), result.bytes.data(), length, &got, nullptr)) return std::nullopt;
  result.bytes.resize(got);
  if (fault != nullptr) *fault = FileFault::none;
  return result;
}

ByteBuffer readFile(const Path& name) { return readWholeFile(name).value_or(ByteBuffer{}); }

FileReader::FileReader(size_t pieceSize) : file_(INVALID_HANDLE_VALUE), pieceSize_(pieceSize) {}

FileReader::~FileReader() {
  close();
  if (area_ != nullptr) HeapFree(GetProcessHeap(), 0, area_);
}

bool FileReader::open(const Path& name, FileFault* fault) {
  close();
  if (fault != nullptr) *fault = FileFault::unreadable;
  if (name.empty()) return false;
  if (area_ == nullptr) area_ = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, pieceSize_));
  if (area_ == nullptr) return false;
  file_ = CreateFileW(platformPath(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file_ == INVALID_HANDLE_VALUE) {
    if (fault != nullptr) *fault = readFault(platformPath(name), GetLastError());
    return false;
  }
  if (fault != nullptr) *fault = FileFault::none;
  return true;
}

std::optional<std::string_view> FileReader::next(uint64_t most) {
  if (file_ == INVALID_HANDLE_VALUE) return std::nullopt;
  const DWORD wanted = static_cast<DWORD>(most < pieceSize_ ? most : pieceSize_);
  DWORD got = 0;
  if (!ReadFile(file_, area_, wanted, &got, nullptr)) return std::nullopt;
  return std::string_view(area_, got);
}

bool FileReader::seek(uint64_t offset) {
  LARGE_INTEGER to{};
  to.QuadPart = static_cast<LONGLONG>(offset);
  return file_ != INVALID_HANDLE_VALUE && SetFilePointerEx(file_, to, nullptr, FILE_BEGIN);
}

void FileReader::close() {
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  file_ = INVALID_HANDLE_VALUE;
}

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
  // The new file keeps the target's hidden, system and archive marks.
  const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                     FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  DWORD attributes = targetAttributes == INVALID_FILE_ATTRIBUTES ? 0 : targetAttributes & kept;
  if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
  temp_ = createTemporaryBeside(target_, attributes, tempName_);
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
  // can be left, by an end between its creation and this mark: FILE_FLAG_DELETE_ON_CLOSE
  // would close that gap but cannot be taken back before the rename. The next apply
  // removes such a file.)
  pending_ = setDeletePending(temp_, true);
  reachedWriteStep(WriteStep::marked);
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
    reachedWriteStep(WriteStep::unmarked);
    if (!rename.applyTo(temp_)) done = fail(faultOfLastError());
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
  DeleteFileW(tempName_.c_str());  // in case the platform could not mark it
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

int removeLeftoverTemporaries(const Path& folder) {
  if (folder.empty()) return 0;
  const std::wstring prefix = platformPath(folder) + L'\\';
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((prefix + wideAscii(temporaryNamePattern)).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int removed = 0;
  do {
    const DWORD skipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY;
    if ((found.dwFileAttributes & skipped) != 0) continue;
    // A name of that form is ASCII; any other character makes it no such name.
    std::string name;
    for (const wchar_t* c = found.cFileName; *c != L'\0'; ++c) {
      name += *c < 0x80 ? static_cast<char>(*c) : '\x80';
    }
    const std::optional<uint32_t> writer = writerOfTemporaryName(name);
    // A file still being written is held without sharing, so even a wrong judgement could
    // not remove it; the process test keeps a live writer's file out of the question.
    if (!writer || *writer == GetCurrentProcessId() || !processEnded(*writer)) continue;
    if (DeleteFileW((prefix + found.cFileName).c_str())) ++removed;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return removed;
}
