// Memory for the big tables of a library at its limit (32 767 rows of a listing or of the
// statistics table: several MB each). Blocks of 2 MB or more are mapped whole, aligned to
// 2 MB and marked for transparent huge pages, so the system fills them a 2 MB page at a time
// instead of a 4 kB page at a time: on a virtual machine each first touch of a 4 kB page
// costs tens of microseconds, which made a freshly opened table pay more for its memory than
// for its contents. Smaller blocks come from the ordinary heap. Freed blocks, up to 64 MB of
// them, are kept for the next table of the same size (a window opened again, a list filled
// again); beyond that a freed block goes back to the system.
//
// `BulkAllocator<T>` is a standard allocator (a `std::vector<T, BulkAllocator<T>>` is
// `BulkVector<T>`); reserve a table's size before filling it, as growing copies it.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace wb {

// From this size on a block is mapped whole.
inline constexpr std::size_t kBulkBlockFrom = std::size_t{2} << 20;

void* bulk_allocate(std::size_t bytes);
void bulk_free(void* p, std::size_t bytes) noexcept;

template <class T>
struct BulkAllocator {
  using value_type = T;
  BulkAllocator() noexcept = default;
  template <class U>
  BulkAllocator(const BulkAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    return static_cast<T*>(bulk_allocate(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) noexcept { bulk_free(p, n * sizeof(T)); }

  template <class U>
  bool operator==(const BulkAllocator<U>&) const noexcept {
    return true;
  }
};

template <class T>
using BulkVector = std::vector<T, BulkAllocator<T>>;

}  // namespace wb
