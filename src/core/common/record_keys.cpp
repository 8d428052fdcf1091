#include "core/common/record_keys.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <optional>

#include "core/common/file_identity.h"
#include "core/common/file_read.h"
#include "core/common/parallel.h"
#include "core/common/batched_reads.h"

namespace wb {

namespace {

// Records up to this length are read whole, a block at a time: copying the rest of a short
// record costs less than a read call per key. Longer ones are read key by key.
constexpr std::size_t kWholeRecordLimit = 4096;
constexpr std::size_t kBlockBytes = 256 * 1024;
// Below this many records a read call each costs less than setting up (and tearing down) a
// ring (batched_reads.h): about 0.3 ms for the ring against 2 to 3 µs a call.
constexpr std::size_t kBatchFrom = 128;

// Records [first, first + count) through one reused buffer, a block of them at a time.
bool read_block_range(int fd, std::size_t record_length, std::span<const KeyField> fields, std::size_t key_length,
                      std::size_t first, std::size_t count, std::uint8_t* keys) {
  const std::size_t per_block = std::max<std::size_t>(1, kBlockBytes / record_length);
  std::vector<std::uint8_t> block(std::min(per_block, count) * record_length);
  std::uint8_t* dst = keys + first * key_length;
  const std::size_t end = first + count;
  for (std::size_t at = first; at < end; at += per_block) {
    const std::size_t n = std::min(per_block, end - at);
    if (!read_exactly(fd, block.data(), n * record_length, static_cast<std::uint64_t>(at) * record_length)) return false;
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
  const std::size_t alone_below = static_cast<std::size_t>(kThreadedBlocksFrom / record_length);
  const WorkSplit split = split_work(out.records, alone_below, kBlockThreads);
  std::vector<char> ok(split.parts, 0);
  run_parts(split, [&](unsigned t, std::size_t first, std::size_t count) {
    ok[t] = read_block_range(fd, record_length, fields, out.key_length, first, count, out.bytes.data());
  });
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
  std::vector<ReadRange> ranges(out.records);
  for (std::size_t i = 0; i < out.records; ++i)
    ranges[i] = {spans.data() + i * span, static_cast<std::uint32_t>(span),
                 static_cast<std::uint64_t>(i) * record_length + lo};
  const bool batched =
      reads == KeyReads::Batched || (reads == KeyReads::Automatic && ranges.size() >= kBatchFrom);
  const RangesRead got = read_ranges(fd, ranges, batched ? ReadWay::Ring : ReadWay::ReadCalls);
  if (got == RangesRead::Abandoned) {
    // Reads may still land in the spans: their memory is handed over for good.
    static_cast<void>(new std::vector<std::uint8_t>(std::move(spans)));
  }
  if (got != RangesRead::Whole) return false;
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

// Kept bytes go into blocks of 16 kB, doubling, up to 256 kB in all; then blocks of 2 MB (a
// library of distinct names at the limit keeps about 1.5 MB).
constexpr std::size_t kFirstBlock = 16 * 1024;
constexpr std::size_t kSmallBlocks = 256 * 1024;
constexpr std::size_t kBigBlock = std::size_t{2} << 20;
constexpr std::size_t kFirstSlots = 64;

}  // namespace

KeyTexts::KeyTexts() = default;

KeyTexts::~KeyTexts() = default;

const char* KeyTexts::keep(std::string_view s) {
  if (s.size() > room_) {
    std::size_t size = kept_ < kSmallBlocks ? std::max(kFirstBlock, kept_) : kBigBlock;
    size = std::max(size, s.size());
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
    kept_ += size;
    free_ = blocks_.back().get();
    room_ = size;
  }
  char* at = free_;
  if (!s.empty()) std::memcpy(at, s.data(), s.size());
  free_ += s.size();
  room_ -= s.size();
  return at;
}

void KeyTexts::grow() {
  std::vector<Entry> old(slots_.empty() ? kFirstSlots : slots_.size() * 2);
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
