#include "core/common/record_keys.h"

#include <fcntl.h>
#include <linux/io_uring.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "core/common/file_identity.h"
#include "core/common/file_read.h"

namespace wb {

namespace {

// Records up to this length are read whole, a block at a time: copying the rest of a short
// record costs less than a read call per key. Longer ones are read key by key.
constexpr std::size_t kWholeRecordLimit = 4096;
constexpr std::size_t kBlockBytes = 256 * 1024;
// Below this many records a read call each costs less than setting up (and tearing down) a
// ring: about 0.3 ms for the ring against 2 to 3 µs a call.
constexpr std::size_t kBatchFrom = 128;

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

// Records [first, first + count) through one reused buffer, a block of them at a time.
bool read_block_range(int fd, std::size_t record_length, std::span<const KeyField> fields, std::size_t key_length,
                      std::size_t first, std::size_t count, std::uint8_t* keys) {
  const std::size_t per_block = std::max<std::size_t>(1, kBlockBytes / record_length);
  std::vector<std::uint8_t> block(std::min(per_block, count) * record_length);
  std::uint8_t* dst = keys + first * key_length;
  const std::size_t end = first + count;
  for (std::size_t at = first; at < end; at += per_block) {
    const std::size_t n = std::min(per_block, end - at);
    if (!read_at(fd, block.data(), n * record_length, static_cast<std::uint64_t>(at) * record_length)) return false;
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint8_t* rec = block.data() + i * record_length;
      for (const KeyField& f : fields) {
        std::memcpy(dst, rec + f.offset, f.length);
        dst += f.length;
      }
    }
  }
  return true;
}

// From this many bytes on the blocks are read on up to kBlockThreads threads, a share of
// the records each: copying the file's pages out of the kernel is most of the time such a
// listing takes (the diagnosis library at the limit is 47 MB), and each share copies on a
// processor of its own.
constexpr std::uint64_t kThreadedBlocksFrom = std::uint64_t{8} << 20;
constexpr unsigned kBlockThreads = 4;

bool read_blocks(int fd, std::size_t record_length, std::span<const KeyField> fields, RecordKeys& out) {
  const std::uint64_t bytes = static_cast<std::uint64_t>(out.records) * record_length;
  const unsigned cpus = std::max(1u, std::thread::hardware_concurrency());
  const unsigned threads = bytes < kThreadedBlocksFrom ? 1 : std::min(kBlockThreads, cpus);
  std::uint8_t* keys = out.bytes.data();
  if (threads <= 1) return read_block_range(fd, record_length, fields, out.key_length, 0, out.records, keys);
  const std::size_t share = (out.records + threads - 1) / threads;
  auto read_share = [&, keys](unsigned t) {
    const std::size_t first = std::min(out.records, t * share);
    return read_block_range(fd, record_length, fields, out.key_length, first, std::min(share, out.records - first),
                            keys);
  };
  std::vector<char> ok(threads, 0);
  std::vector<std::thread> helpers;
  helpers.reserve(threads - 1);
  try {
    for (unsigned t = 1; t < threads; ++t) helpers.emplace_back([&ok, &read_share, t] { ok[t] = read_share(t); });
  } catch (const std::system_error&) {
    // No thread to be had: the shares not handed out are read here.
    for (unsigned t = static_cast<unsigned>(helpers.size()) + 1; t < threads; ++t) ok[t] = read_share(t);
  }
  ok[0] = read_share(0);
  for (std::thread& h : helpers) h.join();
  return std::all_of(ok.begin(), ok.end(), [](char c) { return c != 0; });
}

// One piece of a file to read: `len` bytes at `off` into `dst`.
struct Piece {
  std::uint8_t* dst;
  std::uint32_t len;
  std::uint64_t off;
};

bool read_pieces_one_by_one(int fd, std::span<const Piece> pieces) {
  for (const Piece& p : pieces)
    if (!read_at(fd, p.dst, p.len, p.off)) return false;
  return true;
}

// Many small reads of one file with few system calls: each read is a request in a ring shared
// with the kernel, and one call hands the kernel a batch of them and waits until the batch is
// done. (A read call per key costs more than the key's bytes: ten thousand keys of the level
// library took twice as long key by key.) Every request is complete before read() returns, so
// no buffer is written after it.
class ReadRing {
 public:
  ReadRing() {
    io_uring_params p{};
    fd_ = static_cast<int>(::syscall(__NR_io_uring_setup, kEntries, &p));
    if (fd_ < 0) return;  // no ring (an old kernel, or one a sandbox refuses): the caller reads piece by piece
    entries_ = p.sq_entries;
    sq_size_ = p.sq_off.array + p.sq_entries * sizeof(unsigned);
    cq_size_ = p.cq_off.cqes + p.cq_entries * sizeof(io_uring_cqe);
    sqes_size_ = p.sq_entries * sizeof(io_uring_sqe);
    sq_ = ::mmap(nullptr, sq_size_, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, fd_, IORING_OFF_SQ_RING);
    cq_ = ::mmap(nullptr, cq_size_, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, fd_, IORING_OFF_CQ_RING);
    sqes_ = ::mmap(nullptr, sqes_size_, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, fd_, IORING_OFF_SQES);
    if (sq_ == MAP_FAILED || cq_ == MAP_FAILED || sqes_ == MAP_FAILED) {
      release();
      return;
    }
    auto* sq = static_cast<char*>(sq_);
    auto* cq = static_cast<char*>(cq_);
    sq_tail_ = reinterpret_cast<unsigned*>(sq + p.sq_off.tail);
    sq_mask_ = *reinterpret_cast<unsigned*>(sq + p.sq_off.ring_mask);
    sq_array_ = reinterpret_cast<unsigned*>(sq + p.sq_off.array);
    cq_head_ = reinterpret_cast<unsigned*>(cq + p.cq_off.head);
    cq_tail_ = reinterpret_cast<unsigned*>(cq + p.cq_off.tail);
    cq_mask_ = *reinterpret_cast<unsigned*>(cq + p.cq_off.ring_mask);
    cqes_ = reinterpret_cast<io_uring_cqe*>(cq + p.cq_off.cqes);
  }
  ~ReadRing() { release(); }
  ReadRing(const ReadRing&) = delete;
  ReadRing& operator=(const ReadRing&) = delete;

  bool usable() const { return fd_ >= 0; }

  // False when a piece could not be read whole. A piece the ring leaves short (or a request
  // the kernel does not know) is read again by an ordinary call.
  bool read(int fd, std::span<const Piece> pieces) {
    bool ok = true;
    for (std::size_t first = 0; first < pieces.size(); first += entries_) {
      const std::size_t count = std::min<std::size_t>(entries_, pieces.size() - first);
      unsigned tail = std::atomic_ref<unsigned>(*sq_tail_).load(std::memory_order_relaxed);
      for (std::size_t i = 0; i < count; ++i) {
        const Piece& p = pieces[first + i];
        const unsigned slot = tail & sq_mask_;
        io_uring_sqe& e = static_cast<io_uring_sqe*>(sqes_)[slot];
        std::memset(&e, 0, sizeof e);
        e.opcode = IORING_OP_READ;
        e.fd = fd;
        e.addr = reinterpret_cast<std::uint64_t>(p.dst);
        e.len = p.len;
        e.off = p.off;
        e.user_data = first + i;
        sq_array_[slot] = slot;
        ++tail;
      }
      std::atomic_ref<unsigned>(*sq_tail_).store(tail, std::memory_order_release);
      // Submit the batch and wait for all of it: nothing may still be in flight when the
      // pieces' buffers go. Requests the kernel refuses to take are taken back and read by
      // ordinary calls.
      unsigned expected = static_cast<unsigned>(count), to_submit = expected, done = 0, withdrawn = 0;
      while (to_submit > 0 || done < expected) {
        const long rc =
            ::syscall(__NR_io_uring_enter, fd_, to_submit, expected - done, IORING_ENTER_GETEVENTS, nullptr, 0);
        if (rc >= 0) {
          to_submit -= std::min<unsigned>(to_submit, static_cast<unsigned>(rc));
        } else if (errno != EINTR && errno != EAGAIN && errno != EBUSY) {
          if (to_submit == 0) break;  // cannot even wait (no such failure is known for a valid ring)
          tail -= to_submit;
          std::atomic_ref<unsigned>(*sq_tail_).store(tail, std::memory_order_release);
          withdrawn = to_submit;
          expected -= to_submit;
          to_submit = 0;
        }
        unsigned head = std::atomic_ref<unsigned>(*cq_head_).load(std::memory_order_relaxed);
        const unsigned ctail = std::atomic_ref<unsigned>(*cq_tail_).load(std::memory_order_acquire);
        for (; head != ctail; ++head, ++done) {
          const io_uring_cqe& c = cqes_[head & cq_mask_];
          const Piece& p = pieces[c.user_data];
          if (c.res != static_cast<int>(p.len)) ok = read_at(fd, p.dst, p.len, p.off) && ok;
        }
        std::atomic_ref<unsigned>(*cq_head_).store(head, std::memory_order_release);
      }
      if (withdrawn) ok = read_pieces_one_by_one(fd, pieces.subspan(first + count - withdrawn, withdrawn)) && ok;
    }
    return ok;
  }

 private:
  static constexpr unsigned kEntries = 256;

  void release() {
    if (sqes_ && sqes_ != MAP_FAILED) ::munmap(sqes_, sqes_size_);
    if (cq_ && cq_ != MAP_FAILED) ::munmap(cq_, cq_size_);
    if (sq_ && sq_ != MAP_FAILED) ::munmap(sq_, sq_size_);
    sq_ = cq_ = sqes_ = nullptr;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  int fd_ = -1;
  unsigned entries_ = 0;
  std::size_t sq_size_ = 0, cq_size_ = 0, sqes_size_ = 0;
  void* sq_ = nullptr;
  void* cq_ = nullptr;
  void* sqes_ = nullptr;
  unsigned* sq_tail_ = nullptr;
  unsigned sq_mask_ = 0;
  unsigned* sq_array_ = nullptr;
  unsigned* cq_head_ = nullptr;
  unsigned* cq_tail_ = nullptr;
  unsigned cq_mask_ = 0;
  io_uring_cqe* cqes_ = nullptr;
};

bool read_in_ring(int fd, std::span<const Piece> pieces) {
  ReadRing ring;
  return ring.usable() ? ring.read(fd, pieces) : read_pieces_one_by_one(fd, pieces);
}

// The pieces through rings, a share of them each on up to kReadThreads threads from
// kThreadedFrom pieces on: the kernel's work for a read (finding the page, copying) is most
// of the time a listing of a long-record library takes, and each thread's share runs on a
// processor of its own.
constexpr std::size_t kThreadedFrom = 4096;
constexpr unsigned kReadThreads = 4;

bool read_batched(int fd, std::span<const Piece> pieces) {
  const unsigned cpus = std::max(1u, std::thread::hardware_concurrency());
  const unsigned threads = pieces.size() < kThreadedFrom ? 1 : std::min(kReadThreads, cpus);
  if (threads <= 1) return read_in_ring(fd, pieces);
  const std::size_t share = (pieces.size() + threads - 1) / threads;
  std::vector<char> ok(threads, 0);
  std::vector<std::thread> helpers;
  helpers.reserve(threads - 1);
  try {
    for (unsigned t = 1; t < threads; ++t) {
      const std::size_t first = std::min(pieces.size(), t * share);
      const auto part = pieces.subspan(first, std::min(share, pieces.size() - first));
      helpers.emplace_back([fd, part, &ok, t] { ok[t] = read_in_ring(fd, part); });
    }
  } catch (const std::system_error&) {
    // No thread to be had: the shares not handed out are read here.
    for (unsigned t = static_cast<unsigned>(helpers.size()) + 1; t < threads; ++t) {
      const std::size_t first = std::min(pieces.size(), t * share);
      ok[t] = read_in_ring(fd, pieces.subspan(first, std::min(share, pieces.size() - first)));
    }
  }
  ok[0] = read_in_ring(fd, pieces.first(std::min(share, pieces.size())));
  for (std::thread& h : helpers) h.join();
  return std::all_of(ok.begin(), ok.end(), [](char c) { return c != 0; });
}

// Long records: for each record one read of the bytes from its first field to the end of its
// last (fields lie close together at a record's start), then the fields out of them.
bool read_fields(int fd, std::size_t record_length, std::span<const KeyField> fields, RecordKeys& out,
                 KeyReads reads) {
  std::size_t lo = record_length, hi = 0;
  for (const KeyField& f : fields) {
    lo = std::min(lo, f.offset);
    hi = std::max(hi, f.offset + f.length);
  }
  if (hi <= lo) return true;
  const std::size_t span = hi - lo;
  std::vector<std::uint8_t> spans(out.records * span);
  std::vector<Piece> pieces(out.records);
  for (std::size_t i = 0; i < out.records; ++i)
    pieces[i] = {spans.data() + i * span, static_cast<std::uint32_t>(span),
                 static_cast<std::uint64_t>(i) * record_length + lo};
  const bool batched =
      reads == KeyReads::Batched || (reads == KeyReads::Automatic && pieces.size() >= kBatchFrom);
  bool read = false;
  if (batched) {
    read = read_batched(fd, pieces);
  } else {
    read = read_pieces_one_by_one(fd, pieces);
  }
  if (!read) return false;
  std::uint8_t* dst = out.bytes.data();
  for (std::size_t i = 0; i < out.records; ++i)
    for (const KeyField& f : fields) {
      std::memcpy(dst, spans.data() + i * span + (f.offset - lo), f.length);
      dst += f.length;
    }
  return true;
}

}  // namespace

StoreStatus read_record_keys(const std::filesystem::path& path, std::size_t record_length,
                             std::span<const KeyField> fields, RecordKeys& out, PartialRecord partial,
                             std::size_t max_records, KeyReads reads) {
  out = RecordKeys{};
  for (const KeyField& f : fields) out.key_length += f.length;
  const ReadableFile file(path);
  if (file.fault() == ReadFault::Missing) return StoreStatus::Ok;
  out.exists = true;
  if (!file) return StoreStatus::IoError;
  if (record_length == 0) return StoreStatus::Damaged;
  // A field beyond the record would be read from the next one, or past the buffer.
  for (const KeyField& f : fields)
    if (f.offset > record_length || f.length > record_length - f.offset) return StoreStatus::IoError;
  const std::uint64_t size = file.size();
  if (size % record_length != 0 && partial == PartialRecord::Damaged) return StoreStatus::Damaged;
  out.records = static_cast<std::size_t>(std::min<std::uint64_t>(size / record_length, max_records));
  out.bytes.resize(out.records * out.key_length);
  const bool read = record_length <= kWholeRecordLimit ? read_blocks(file.fd(), record_length, fields, out)
                                                       : read_fields(file.fd(), record_length, fields, out, reads);
  if (!read) {
    out.records = 0;
    out.bytes.clear();
    return StoreStatus::IoError;
  }
  return StoreStatus::Ok;
}

namespace {

// The keys last asked for, newest first. At the limit a library's keys are a few hundred kB
// to about 1.3 MB (the diagnosis library's 40 bytes a record).
constexpr std::size_t kKeptLibraries = 4;

struct KeptEntry {
  std::filesystem::path path;
  std::size_t record_length = 0;
  std::vector<KeyField> fields;
  PartialRecord partial = PartialRecord::Damaged;
  std::size_t max_records = 0;
  FileIdentity identity;
  KeptKeys keys;

  bool reads(const std::filesystem::path& p, std::size_t len, std::span<const KeyField> f, PartialRecord part,
             std::size_t max) const {
    return record_length == len && partial == part && max_records == max &&
           std::equal(fields.begin(), fields.end(), f.begin(), f.end(),
                      [](const KeyField& a, const KeyField& b) { return a.offset == b.offset && a.length == b.length; }) &&
           path == p;
  }
};

struct KeptLibraries {
  std::mutex lock;
  std::vector<KeptEntry> entries;
};
KeptLibraries& kept_libraries() {
  static KeptLibraries k;
  return k;
}

}  // namespace

StoreStatus kept_record_keys(const std::filesystem::path& path, std::size_t record_length,
                             std::span<const KeyField> fields, KeptKeys& out, PartialRecord partial,
                             std::size_t max_records) {
  KeptLibraries& kept = kept_libraries();
  const std::optional<FileIdentity> before = file_identity(path);
  if (before) {
    const std::lock_guard<std::mutex> hold(kept.lock);
    for (auto it = kept.entries.begin(); it != kept.entries.end(); ++it) {
      if (!it->reads(path, record_length, fields, partial, max_records)) continue;
      if (!(it->identity == *before)) {
        kept.entries.erase(it);
        break;
      }
      std::rotate(kept.entries.begin(), it, it + 1);
      out = kept.entries.front().keys;
      return StoreStatus::Ok;
    }
  }
  auto keys = std::make_shared<RecordKeys>();
  const StoreStatus st = read_record_keys(path, record_length, fields, *keys, partial, max_records);
  // Kept only when the file read whole is the one looked at before and after the read.
  if (st == StoreStatus::Ok && before && keys->exists && file_identity(path) == before) {
    const std::lock_guard<std::mutex> hold(kept.lock);
    std::erase_if(kept.entries, [&](const KeptEntry& e) { return e.reads(path, record_length, fields, partial, max_records); });
    if (kept.entries.size() >= kKeptLibraries) kept.entries.pop_back();
    kept.entries.insert(kept.entries.begin(), KeptEntry{path, record_length, std::vector<KeyField>(fields.begin(), fields.end()),
                                                        partial, max_records, *before, keys});
  }
  out = std::move(keys);
  return st;
}

void note_record_written(const std::filesystem::path& path, std::size_t record_length,
                         const std::optional<FileIdentity>& before, std::size_t at,
                         std::span<const std::uint8_t> record) {
  const std::optional<FileIdentity> now = file_identity(path);
  KeptLibraries& kept = kept_libraries();
  const std::lock_guard<std::mutex> hold(kept.lock);
  for (auto it = kept.entries.begin(); it != kept.entries.end();) {
    if (it->path != path) {
      ++it;
      continue;
    }
    const RecordKeys& old = *it->keys;
    // Only keys of the whole file as it was just before the write follow it: the write is
    // then the one change since they were true.
    const bool follows = before && now && it->identity == *before && it->record_length == record_length &&
                         record.size() == record_length && before->size == old.records * record_length &&
                         at >= 1 && at <= old.records + 1 && (at <= old.records || old.records < it->max_records);
    if (!follows) {
      it = kept.entries.erase(it);
      continue;
    }
    std::vector<std::uint8_t> key;
    key.reserve(old.key_length);
    for (const KeyField& f : it->fields) key.insert(key.end(), record.data() + f.offset, record.data() + f.offset + f.length);
    // A record replaced under the same key leaves the keys as they were.
    if (at > old.records || !std::ranges::equal(old.key(at - 1), key)) {
      auto keys = std::make_shared<RecordKeys>(old);
      if (at == old.records + 1) {
        ++keys->records;
        keys->bytes.resize(keys->records * keys->key_length);
      }
      std::memcpy(keys->bytes.data() + (at - 1) * keys->key_length, key.data(), key.size());
      keys->before_write = it->keys;
      keys->written = at - 1;
      it->keys = std::move(keys);
    }
    it->identity = *now;
    ++it;
  }
}

namespace {

bool ascii(std::string_view s) {
  // Eight bytes at a time: a field is 12 to 28 bytes.
  std::size_t i = 0;
  std::uint64_t high = 0;
  for (; i + 8 <= s.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, s.data() + i, 8);
    high |= w;
  }
  for (; i < s.size(); ++i) high |= static_cast<unsigned char>(s[i]);
  return (high & 0x8080808080808080ull) == 0;
}

std::string_view without_blanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// A hash of a field's bytes, eight at a time, well spread in its high bits too.
std::uint64_t field_hash(std::string_view s) {
  constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ull;
  std::uint64_t h = s.size() * kMul;
  std::size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, s.data() + i, 8);
    h = (h ^ w) * kMul;
    h ^= h >> 29;
  }
  if (i < s.size()) {
    std::uint64_t w = 0;
    std::memcpy(&w, s.data() + i, s.size() - i);
    h = (h ^ w) * kMul;
    h ^= h >> 29;
  }
  h *= kMul;
  return h ^ (h >> 32);
}

// Kept bytes go into blocks of 16 kB, doubling, up to 256 kB in all; then blocks of the bulk
// memory's size (a library of distinct names at the limit keeps about 1.5 MB).
constexpr std::size_t kFirstBlock = 16 * 1024;
constexpr std::size_t kSmallBlocks = 256 * 1024;
constexpr std::size_t kFirstSlots = 64;

}  // namespace

KeyTexts::KeyTexts() = default;

KeyTexts::~KeyTexts() {
  for (const Block& b : blocks_) bulk_free(b.data, b.size);
}

const char* KeyTexts::keep(std::string_view s) {
  if (s.size() > room_) {
    std::size_t size = kept_ < kSmallBlocks ? std::max(kFirstBlock, kept_) : kBulkBlockFrom;
    size = std::max(size, s.size());
    blocks_.reserve(blocks_.size() + 1);
    blocks_.push_back({static_cast<char*>(bulk_allocate(size)), size});
    kept_ += size;
    free_ = blocks_.back().data;
    room_ = size;
  }
  char* at = free_;
  if (!s.empty()) std::memcpy(at, s.data(), s.size());
  free_ += s.size();
  room_ -= s.size();
  return at;
}

void KeyTexts::grow() {
  BulkVector<Entry> old(slots_.empty() ? kFirstSlots : slots_.size() * 2);
  old.swap(slots_);
  const std::size_t mask = slots_.size() - 1;
  for (const Entry& e : old) {
    if (!e.bytes) continue;
    std::size_t i = e.hash & mask;
    while (slots_[i].bytes) i = (i + 1) & mask;
    slots_[i] = e;
  }
}

std::string_view KeyTexts::find_or_add(std::string_view bytes) {
  // At most half the slots are taken, so a search ends at a free one soon.
  if ((used_ + 1) * 2 > slots_.size()) grow();
  const std::uint64_t h = field_hash(bytes);
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = h & mask;
  for (; slots_[i].bytes; i = (i + 1) & mask) {
    const Entry& e = slots_[i];
    if (e.hash == h && e.bytes_len == bytes.size() && std::memcmp(e.bytes, bytes.data(), bytes.size()) == 0)
      return std::string_view(e.text, e.text_len);
  }
  gbk_to_utf8(bytes, decoded_);
  Entry& e = slots_[i];
  e.hash = h;
  e.bytes = keep(bytes);
  e.bytes_len = static_cast<std::uint32_t>(bytes.size());
  e.text = keep(decoded_);
  e.text_len = static_cast<std::uint32_t>(decoded_.size());
  ++used_;
  return std::string_view(e.text, e.text_len);
}

std::string_view KeyTexts::text(std::span<const std::uint8_t> field) {
  const std::string_view bytes(reinterpret_cast<const char*>(field.data()), field.size());
  return ascii(bytes) ? bytes : find_or_add(bytes);
}

std::string_view KeyTexts::trimmed(std::span<const std::uint8_t> field) { return without_blanks(text(field)); }

}  // namespace wb
