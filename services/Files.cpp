#include "services/Files.h"

#include <windows.h>

#include <cstdint>
#include <string>

#include "services/RunDirectory.h"

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

bool isAnsiLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

// True when the last character of the name is a backslash (a trail byte 0x5C is not one).
bool endsInBackslash(std::string_view name) {
  bool last = false;
  for (size_t p = 0; p < name.size();) {
    unsigned char byte = static_cast<unsigned char>(name[p]);
    last = byte == '\\';
    p += isAnsiLeadByte(byte) && p + 1 < name.size() ? 2 : 1;
  }
  return last;
}

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
  explicit RenameRequest(const std::string& target) {
    int length = MultiByteToWideChar(CP_ACP, 0, target.c_str(), -1, nullptr, 0);
    if (length <= 0) return;
    // FILE_RENAME_INFO ends in a one-character array that the name continues past.
    storage_.assign(sizeof(FILE_RENAME_INFO) + static_cast<size_t>(length) * sizeof(WCHAR), '\0');
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(storage_.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    MultiByteToWideChar(CP_ACP, 0, target.c_str(), -1, rename->FileName, length);
    rename->FileNameLength = static_cast<DWORD>((length - 1) * sizeof(WCHAR));
  }
  bool valid() const { return !storage_.empty(); }
  bool applyTo(HANDLE file) {
    return SetFileInformationByHandle(file, FileRenameInfo, storage_.data(),
                                      static_cast<DWORD>(storage_.size())) != FALSE;
  }

 private:
  std::string storage_;
};

// The target may be replaced: not a folder, not read-only, and not held open by another
// program (an open for writing without sharing, which cuts nothing, must succeed).
bool mayReplace(const Text& name, DWORD attributes) {
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;  // a new file
  if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) return false;
  FileHandle probe(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  return probe.valid();
}

// A new, empty file beside the target, opened exclusively; its name goes to tempName.
HANDLE createTemporaryBeside(const Text& name, DWORD attributes, std::string& tempName) {
  Text folder = folderOfPath(name.view(), isAnsiLeadByte);
  std::string prefix = folder.str();
  if (!folder.empty() || name.view().substr(0, 1) == "\\") prefix += '\\';
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char unique[40];
    wsprintfA(unique, "~wr%lx-%x.tmp", GetCurrentProcessId(), ++counter);
    tempName = prefix + unique;
    HANDLE file = CreateFileA(tempName.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                              attributes, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

bool writeAll(HANDLE file, std::initializer_list<const ByteBuffer*> buffers) {
  for (const ByteBuffer* buffer : buffers) {
    if (buffer == nullptr || buffer->bytes.empty()) continue;
    if (buffer->bytes.size() > UINT32_MAX) return false;
    DWORD size = static_cast<DWORD>(buffer->bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, buffer->bytes.data(), size, &written, nullptr) || written != size) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool fileExists(const Text& name) {
  if (name.empty() || endsInBackslash(name.view())) return false;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(name.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

std::optional<ByteBuffer> readWholeFile(const Text& name) {
  if (name.empty()) return std::nullopt;
  SECURITY_ATTRIBUTES security = inheritableHandle();
  FileHandle file(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, &security, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return std::nullopt;
  LONG high = 0;
  DWORD length = SetFilePointer(file.get(), 0, &high, FILE_END);
  SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN);
  if (length == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return std::nullopt;
  if (length == 0 && high == 0) return ByteBuffer{};
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
  return result;
}

ByteBuffer readFile(const Text& name) { return readWholeFile(name).value_or(ByteBuffer{}); }

bool writeFile(const Text& name, std::initializer_list<const ByteBuffer*> buffers) {
  if (name.empty()) return false;
  DWORD targetAttributes = GetFileAttributesA(name.c_str());
  if (!mayReplace(name, targetAttributes)) return false;

  // The new file keeps the target's hidden, system and archive marks.
  DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
               FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  DWORD attributes = targetAttributes == INVALID_FILE_ATTRIBUTES ? 0 : targetAttributes & kept;
  if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;

  std::string tempName;
  FileHandle temp(createTemporaryBeside(name, attributes, tempName));
  if (!temp.valid()) return false;
  // Delete-pending while it is written: should the process end before the rename, closing
  // the handle (by the system, if need be) removes the half-written file. (Only an empty file
  // can be left, by an end between its creation and this mark: FILE_FLAG_DELETE_ON_CLOSE
  // would close that gap but cannot be taken back before the rename.)
  bool pending = setDeletePending(temp.get(), true);
  RenameRequest rename(name.str());
  bool done =
      rename.valid() && writeAll(temp.get(), buffers) && FlushFileBuffers(temp.get()) != FALSE;
  // An end between these two calls leaves the complete new content beside the target.
  if (done && pending) done = setDeletePending(temp.get(), false);
  if (done) done = rename.applyTo(temp.get());
  if (!done) {
    setDeletePending(temp.get(), true);
    temp.close();
    DeleteFileA(tempName.c_str());  // in case the platform could not mark it
    return false;
  }
  return temp.close();
}
