#include "core/common/bulk_memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

namespace wb {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t mapped_size(std::size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

// Freed blocks kept for the next table of the same mapped size (a list filled again, a
// window opened again): the system backs a fresh block anew, which on a virtual machine
// costs about as much as filling it. At most kKeptBytes are kept.
constexpr std::size_t kKeptBytes = std::size_t{64} << 20;

struct KeptBlocks {
  std::mutex lock;
  std::vector<std::pair<void*, std::size_t>> blocks;  // start, mapped size
  std::size_t bytes = 0;
};

KeptBlocks& kept() {
  static KeptBlocks* k = new KeptBlocks;  // never destroyed: blocks may be freed at exit
  return *k;
}

void* take_kept(std::size_t size) {
  KeptBlocks& k = kept();
  const std::lock_guard<std::mutex> g(k.lock);
  for (auto it = k.blocks.begin(); it != k.blocks.end(); ++it)
    if (it->second == size) {
      void* p = it->first;
      k.bytes -= size;
      k.blocks.erase(it);
      return p;
    }
  return nullptr;
}

bool keep(void* p, std::size_t size) {
  KeptBlocks& k = kept();
  const std::lock_guard<std::mutex> g(k.lock);
  if (k.bytes + size > kKeptBytes) return false;
  k.blocks.emplace_back(p, size);
  k.bytes += size;
  return true;
}

}  // namespace

void* bulk_allocate(std::size_t bytes) {
  if (bytes < kBulkBlockFrom) return ::operator new(bytes);
  const std::size_t size = mapped_size(bytes);
  if (void* p = take_kept(size)) return p;
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
  const std::size_t size = mapped_size(bytes);
  if (!keep(p, size)) ::munmap(p, size);
}

}  // namespace wb
