#include "core/common/record_keys.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace wb {

namespace {

// Records up to this length are read whole, a block at a time: copying the rest of a short
// record costs less than a read call per key. Longer ones are read key by key.
constexpr std::size_t kWholeRecordLimit = 4096;
constexpr std::size_t kBlockBytes = 256 * 1024;

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Exactly `len` bytes at `off`; false on an error or an end of file before them.
bool read_at(int fd, std::uint8_t* dst, std::size_t len, std::uint64_t off) {
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

bool read_blocks(int fd, std::size_t record_length, std::span<const KeyField> fields, RecordKeys& out) {
  const std::size_t per_block = std::max<std::size_t>(1, kBlockBytes / record_length);
  std::vector<std::uint8_t> block(std::min(per_block, out.records) * record_length);
  std::uint8_t* dst = out.bytes.data();
  for (std::size_t first = 0; first < out.records; first += per_block) {
    const std::size_t count = std::min(per_block, out.records - first);
    if (!read_at(fd, block.data(), count * record_length, static_cast<std::uint64_t>(first) * record_length))
      return false;
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint8_t* rec = block.data() + i * record_length;
      for (const KeyField& f : fields) {
        std::memcpy(dst, rec + f.offset, f.length);
        dst += f.length;
      }
    }
  }
  return true;
}

bool read_fields(int fd, std::size_t record_length, std::span<const KeyField> fields, RecordKeys& out) {
  std::uint8_t* dst = out.bytes.data();
  for (std::size_t i = 0; i < out.records; ++i) {
    const std::uint64_t at = static_cast<std::uint64_t>(i) * record_length;
    for (const KeyField& f : fields) {
      if (!read_at(fd, dst, f.length, at + f.offset)) return false;
      dst += f.length;
    }
  }
  return true;
}

}  // namespace

StoreStatus read_record_keys(const std::filesystem::path& path, std::size_t record_length,
                             std::span<const KeyField> fields, RecordKeys& out, PartialRecord partial,
                             std::size_t max_records) {
  out = RecordKeys{};
  for (const KeyField& f : fields) out.key_length += f.length;
  // Non-blocking, so that a pipe at the path is refused rather than waited on.
  const Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) return errno == ENOENT || errno == ENOTDIR ? StoreStatus::Ok : StoreStatus::IoError;
  out.exists = true;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || record_length == 0) return StoreStatus::IoError;
  const auto size = static_cast<std::uint64_t>(st.st_size);
  if (size % record_length != 0 && partial == PartialRecord::Damaged) return StoreStatus::Damaged;
  out.records = static_cast<std::size_t>(std::min<std::uint64_t>(size / record_length, max_records));
  out.bytes.resize(out.records * out.key_length);
  const bool read = record_length <= kWholeRecordLimit ? read_blocks(fd.get(), record_length, fields, out)
                                                       : read_fields(fd.get(), record_length, fields, out);
  if (!read) {
    out.records = 0;
    out.bytes.clear();
    return StoreStatus::IoError;
  }
  return StoreStatus::Ok;
}

}  // namespace wb
