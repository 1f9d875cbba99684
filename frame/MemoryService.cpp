// The frame's memory service: every C++ allocation of the program goes to the process heap,
// and a failed one ends the process through the fatal report (which itself allocates
// nothing). The nothrow forms return null instead, for callers that can go on without.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <new>

#include "frame/FatalReport.h"

namespace {

// The requested count as the report shows it: the low 32 bits, signed.
int32_t reportedCount(size_t bytes) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(bytes)));
}

void* heapAllocate(size_t bytes) { return HeapAlloc(GetProcessHeap(), 0, bytes == 0 ? 1 : bytes); }

void heapFree(void* block) {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

// Over-aligned blocks: the heap block's own address is kept just before the aligned one.
void* heapAllocateAligned(size_t bytes, size_t alignment) {
  if (alignment < sizeof(void*)) alignment = sizeof(void*);
  size_t extra = alignment + sizeof(void*);
  if (bytes > SIZE_MAX - extra) return nullptr;
  void* raw = heapAllocate(bytes + extra);
  if (raw == nullptr) return nullptr;
  uintptr_t aligned = (reinterpret_cast<uintptr_t>(raw) + sizeof(void*) + alignment - 1) &
                      ~(uintptr_t{alignment} - 1);
  reinterpret_cast<void**>(aligned)[-1] = raw;
  return reinterpret_cast<void*>(aligned);
}

void heapFreeAligned(void* block) {
  if (block != nullptr) heapFree(static_cast<void**>(block)[-1]);
}

void* allocateOrReport(size_t bytes) {
  void* block = heapAllocate(bytes);
  if (block == nullptr) reportMemoryFailure(reportedCount(bytes));
  return block;
}

void* allocateAlignedOrReport(size_t bytes, std::align_val_t alignment) {
  void* block = heapAllocateAligned(bytes, static_cast<size_t>(alignment));
  if (block == nullptr) reportMemoryFailure(reportedCount(bytes));
  return block;
}

}  // namespace

void* operator new(size_t bytes) { return allocateOrReport(bytes); }
void* operator new[](size_t bytes) { return allocateOrReport(bytes); }
void* operator new(size_t bytes, const std::nothrow_t&) noexcept { return heapAllocate(bytes); }
void* operator new[](size_t bytes, const std::nothrow_t&) noexcept { return heapAllocate(bytes); }

void* operator new(size_t bytes, std::align_val_t alignment) {
  return allocateAlignedOrReport(bytes, alignment);
}
void* operator new[](size_t bytes, std::align_val_t alignment) {
  return allocateAlignedOrReport(bytes, alignment);
}
void* operator new(size_t bytes, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return heapAllocateAligned(bytes, static_cast<size_t>(alignment));
}
void* operator new[](size_t bytes, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return heapAllocateAligned(bytes, static_cast<size_t>(alignment));
}

void operator delete(void* block) noexcept { heapFree(block); }
void operator delete[](void* block) noexcept { heapFree(block); }
void operator delete(void* block, size_t) noexcept { heapFree(block); }
void operator delete[](void* block, size_t) noexcept { heapFree(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { heapFree(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { heapFree(block); }

void operator delete(void* block, std::align_val_t) noexcept { heapFreeAligned(block); }
void operator delete[](void* block, std::align_val_t) noexcept { heapFreeAligned(block); }
void operator delete(void* block, size_t, std::align_val_t) noexcept { heapFreeAligned(block); }
void operator delete[](void* block, size_t, std::align_val_t) noexcept { heapFreeAligned(block); }
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  heapFreeAligned(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  heapFreeAligned(block);
}
