// Reading: the existence test, the whole-file read and the piece reader.
#include <windows.h>

#include <cstdint>
#include <string>

#include "services/FileFaults.h"
#include "services/FileHandle.h"
#include "services/FileReading.h"

namespace {

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

SECURITY_ATTRIBUTES inheritableHandle() {
  SECURITY_ATTRIBUTES attributes{};
  attributes.nLength = sizeof attributes;
  attributes.bInheritHandle = TRUE;
  return attributes;
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

std::optional<ByteBuffer> tryReadFile(const Path& name, FileFault* fault) {
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

ByteBuffer readFileOrEmpty(const Path& name) { return tryReadFile(name).value_or(ByteBuffer{}); }

namespace {

uint64_t piecesRead = 0;

}  // namespace

uint64_t bytesReadInPieces() { return piecesRead; }

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
  piecesRead += got;
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
