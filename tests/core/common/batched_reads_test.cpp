// Batched reads: one range of a batch that cannot be read fails the whole batch, through the
// ring and by read calls, in one ring's batch or several and shared among threads; and every
// other range is still read (no read is left in flight into memory the caller frees).
#include "core/common/batched_reads.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace wb {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kRange = 16;
constexpr std::size_t kStride = 100;

std::uint8_t byte_at(std::size_t off) { return static_cast<std::uint8_t>(off * 7 % 251); }

enum class Fault { None, PastTheEnd, UnwritableMemory };

TEST(BatchedReads, AFailingReadFailsTheBatch) {
  std::random_device rd;
  const fs::path p = fs::temp_directory_path() / ("wb_ranges_" + std::to_string(rd()) + ".dat");
  constexpr std::size_t kRecords = 6000;
  {
    std::vector<char> bytes(kRecords * kStride);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(byte_at(i));
    std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  // A page the reads may not write into.
  const long page = ::sysconf(_SC_PAGESIZE);
  void* locked = ::mmap(nullptr, static_cast<std::size_t>(page), PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(locked, MAP_FAILED);

  struct Case {
    std::size_t ranges;  // 200: one ring batch; 1000: several; 6000: shared among threads
    Fault fault;
  };
  for (const Case c : {Case{200, Fault::None}, Case{200, Fault::PastTheEnd}, Case{1000, Fault::UnwritableMemory},
                       Case{1000, Fault::PastTheEnd}, Case{6000, Fault::None}, Case{6000, Fault::UnwritableMemory},
                       Case{6000, Fault::PastTheEnd}}) {
    for (const ReadWay way : {ReadWay::Ring, ReadWay::ReadCalls}) {
      SCOPED_TRACE(std::to_string(c.ranges) + " ranges, fault " + std::to_string(static_cast<int>(c.fault)) +
                   (way == ReadWay::Ring ? ", ring" : ", read calls"));
      std::vector<std::uint8_t> buffer(c.ranges * kRange, 0);
      std::vector<ReadRange> ranges(c.ranges);
      for (std::size_t i = 0; i < c.ranges; ++i)
        ranges[i] = {buffer.data() + i * kRange, kRange, i * kStride + 3};
      const std::size_t bad = c.ranges / 2 + 7;
      if (c.fault == Fault::PastTheEnd) ranges[bad].off = kRecords * kStride + 10;
      if (c.fault == Fault::UnwritableMemory) ranges[bad].dst = static_cast<std::uint8_t*>(locked);
      const RangesRead got = read_ranges(fd, ranges, way);
      if (c.fault == Fault::None) {
        ASSERT_EQ(got, RangesRead::Whole);
        for (std::size_t i = 0; i < c.ranges; ++i)
          for (std::size_t k = 0; k < kRange; ++k) ASSERT_EQ(buffer[i * kRange + k], byte_at(i * kStride + 3 + k));
      } else {
        EXPECT_EQ(got, RangesRead::Failed);
      }
    }
  }
  ::munmap(locked, static_cast<std::size_t>(page));
  ::close(fd);
  fs::remove(p);
}

}  // namespace
}  // namespace wb
