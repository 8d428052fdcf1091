// Many small reads of one file: the key bytes of each record of a library of long records.
// A read call per range costs more than the range's bytes (ten thousand keys of the level
// library took twice as long key by key), so a batch of them goes to the kernel as requests
// of an io_uring (liburing) and comes back with few system calls; a few ranges are read with
// a call each. From some thousands of ranges on they are shared out among threads (one
// ring each), the kernel's copying being most of the time such a listing takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace wb {

// Exactly `len` bytes at `off` of `fd` into `dst` by read calls; false on an error or an end
// of file before them.
bool read_exactly(int fd, std::uint8_t* dst, std::size_t len, std::uint64_t off);

// `len` bytes at `off` of the file into `dst`.
struct ReadRange {
  std::uint8_t* dst;
  std::uint32_t len;
  std::uint64_t off;
};

enum class ReadWay {
  Ring,       // batches through a ring, a read call each when no ring is to be had
  ReadCalls,  // a read call each
};

enum class RangesRead {
  Whole,   // every range read whole
  Failed,  // some range could not be read whole; no read of the batch is in flight
  // As Failed, but a ring could not be waited on: a read may still write into the ranges'
  // memory, which must then never be freed or reused. (No such failure is known for a
  // working ring: this is the safe answer should one come.)
  Abandoned,
};

// Every read handed to the kernel has ended when it returns (but for Abandoned).
RangesRead read_ranges(int fd, std::span<const ReadRange> ranges, ReadWay way);

}  // namespace wb
