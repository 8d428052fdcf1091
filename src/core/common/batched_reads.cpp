#include "core/common/batched_reads.h"

#include <liburing.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "core/common/parallel.h"

namespace wb {

bool read_exactly(int fd, std::uint8_t* dst, std::size_t len, std::uint64_t off) {
  while (len > 0) {
    const ssize_t n = ::pread(fd, dst, len, static_cast<off_t>(off));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    dst += n;
    len -= static_cast<std::size_t>(n);
    off += static_cast<std::uint64_t>(n);
  }
  return true;
}

namespace {

bool read_one_by_one(int fd, std::span<const ReadRange> ranges) {
  for (const ReadRange& p : ranges)
    if (!read_exactly(fd, p.dst, p.len, p.off)) return false;
  return true;
}

// Requests a ring holds; a batch is this many ranges.
constexpr unsigned kRingEntries = 256;

// The ranges through one ring, a batch at a time: the batch is handed over, then every
// request handed over is waited for before the next batch (or the return). A range the ring
// leaves short or refuses, and the ranges of a batch the kernel would not take, are read by
// ordinary calls.
RangesRead read_in_ring(int fd, std::span<const ReadRange> ranges) {
  io_uring ring;
  if (io_uring_queue_init(kRingEntries, &ring, 0) < 0)  // no ring (an old kernel, or one a sandbox refuses)
    return read_one_by_one(fd, ranges) ? RangesRead::Whole : RangesRead::Failed;
  bool whole = true;
  for (std::size_t first = 0; first < ranges.size(); first += kRingEntries) {
    const auto batch = ranges.subspan(first, std::min<std::size_t>(kRingEntries, ranges.size() - first));
    for (std::size_t i = 0; i < batch.size(); ++i) {
      io_uring_sqe* sqe = io_uring_get_sqe(&ring);  // never null: the ring is empty at a batch's start
      io_uring_prep_read(sqe, fd, batch[i].dst, batch[i].len, batch[i].off);
      io_uring_sqe_set_data64(sqe, i);
    }
    std::size_t queued = batch.size(), in_flight = 0;
    while (queued > 0) {
      const int rc = io_uring_submit(&ring);
      if (rc == -EINTR) continue;
      if (rc <= 0) break;  // the rest is not taken: read below by ordinary calls
      queued -= static_cast<std::size_t>(rc);
      in_flight += static_cast<std::size_t>(rc);
    }
    while (in_flight > 0) {
      io_uring_cqe* cqe = nullptr;
      const int rc = io_uring_wait_cqe(&ring, &cqe);
      if (rc == -EINTR || rc == -EAGAIN) continue;
      if (rc < 0) return RangesRead::Abandoned;  // the ring is left open: its reads are the kernel's
      const std::size_t i = io_uring_cqe_get_data64(cqe);
      const int res = cqe->res;
      io_uring_cqe_seen(&ring, cqe);
      --in_flight;
      if (res != static_cast<int>(batch[i].len)) whole = read_exactly(fd, batch[i].dst, batch[i].len, batch[i].off) && whole;
    }
    // Requests the kernel did not take are the batch's last ones.
    for (std::size_t i = batch.size() - queued; i < batch.size(); ++i)
      whole = read_exactly(fd, batch[i].dst, batch[i].len, batch[i].off) && whole;
    if (queued > 0) {
      // They stay queued in a ring that is not entered again.
      io_uring_queue_exit(&ring);
      const auto rest = ranges.subspan(first + batch.size());
      whole = read_one_by_one(fd, rest) && whole;
      return whole ? RangesRead::Whole : RangesRead::Failed;
    }
  }
  io_uring_queue_exit(&ring);
  return whole ? RangesRead::Whole : RangesRead::Failed;
}

// From this many ranges on they are read on up to kReadThreads threads, a share each.
constexpr std::size_t kThreadedFrom = 4096;
constexpr unsigned kReadThreads = 4;

}  // namespace

RangesRead read_ranges(int fd, std::span<const ReadRange> ranges, ReadWay way) {
  if (way == ReadWay::ReadCalls) return read_one_by_one(fd, ranges) ? RangesRead::Whole : RangesRead::Failed;
  const WorkSplit split = split_work(ranges.size(), kThreadedFrom, kReadThreads);
  std::vector<RangesRead> parts(split.parts, RangesRead::Whole);
  run_parts(split, [&](unsigned t, std::size_t first, std::size_t count) {
    parts[t] = read_in_ring(fd, ranges.subspan(first, count));
  });
  RangesRead all = RangesRead::Whole;
  for (const RangesRead r : parts)
    if (r == RangesRead::Abandoned || (r == RangesRead::Failed && all == RangesRead::Whole)) all = r;
  return all;
}

}  // namespace wb
