#include "core/common/bulk_memory.h"

#include <sys/mman.h>

#include <cstdint>

namespace wb {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t mapped_size(std::size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

}  // namespace

void* bulk_allocate(std::size_t bytes) {
  if (bytes < kBulkBlockFrom) return ::operator new(bytes);
  const std::size_t size = mapped_size(bytes);
  // One huge page more than needed, so that an aligned start lies inside; the ends beyond
  // the aligned block are handed back at once.
  void* raw = ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
  if (aligned > start) ::munmap(raw, aligned - start);
  if (const std::uintptr_t tail = start + size + kHugePage - (aligned + size))
    ::munmap(reinterpret_cast<void*>(aligned + size), tail);
  void* p = reinterpret_cast<void*>(aligned);
  // Advice only: without huge pages the block is filled a small page at a time.
  ::madvise(p, size, MADV_HUGEPAGE);
  return p;
}

void bulk_free(void* p, std::size_t bytes) noexcept {
  if (!p) return;
  if (bytes < kBulkBlockFrom) {
    ::operator delete(p);
    return;
  }
  ::munmap(p, mapped_size(bytes));
}

}  // namespace wb
