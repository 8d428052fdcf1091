#include "core/common/record_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <optional>
#include <random>
#include <system_error>

#include "core/common/file_read.h"
#include "core/common/key_match.h"
#include "core/common/parallel.h"
#include "core/common/paths.h"

namespace wb {

namespace fs = std::filesystem;

bool read_file(const fs::path& path, std::vector<std::uint8_t>& content) {
  return ReadableFile(path).read_all(content);
}

namespace {

std::atomic<std::uint64_t> g_library_writes{0};
void count_write() { g_library_writes.fetch_add(1, std::memory_order_relaxed); }

constexpr std::size_t kMaxNameBytes = 255;  // longest file name of the file systems we run on
constexpr std::size_t kTempTailBytes = 4 + 16;  // ".tmp" and 16 hexadecimal digits

// The prefix of the temporary files of a file named `base`: "<name>.tmp" while that leaves
// room for the random tail, else ".<64-bit hash of the name>.tmp", so a name of up to 255
// bytes still gets a temporary name the file system accepts.
std::string temp_prefix(const std::string& base) {
  if (base.size() + kTempTailBytes <= kMaxNameBytes) return base + ".tmp";
  std::uint64_t h = 14695981039346656037ull;  // FNV-1a
  for (unsigned char c : base) {
    h ^= c;
    h *= 1099511628211ull;
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
  return "." + std::string(hex) + ".tmp";
}

// Temporary files of `path` are its prefix followed by 16 hexadecimal digits (or by decimal
// digits, from older saves). Nothing else is taken for one: a library the user keeps in a
// folder of their own may lie beside files of theirs such as "x.dat.tmpBackup".
bool is_temp_of(const std::string& name, const std::string& base) {
  const std::string prefix = temp_prefix(base);
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return false;
  const auto tail = name.begin() + static_cast<std::ptrdiff_t>(prefix.size());
  const bool hex16 = name.size() - prefix.size() == 16 &&
                     std::all_of(tail, name.end(), [](unsigned char c) { return std::isxdigit(c) != 0; });
  return hex16 || std::all_of(tail, name.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

// A save killed between creating its temporary file and the rename leaves the file behind;
// the next write of the same file removes them (a link is removed, never followed).
void remove_stale_temp_files(const fs::path& path) {
  std::error_code ec;
  const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
  const std::string base = path.filename().string();
  std::vector<fs::path> stale;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
    if (is_temp_of(it->path().filename().string(), base)) stale.push_back(it->path());
  for (const auto& p : stale) fs::remove(p, ec);
}

// A name nobody can guess: 64 random bits in hexadecimal.
fs::path random_temp_name(const fs::path& path) {
  std::random_device rd;
  const std::uint64_t bits = (static_cast<std::uint64_t>(rd()) << 32) ^ rd();
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(bits));
  return path.parent_path() / (temp_prefix(path.filename().string()) + hex);
}

bool write_all(int fd, const std::vector<std::uint8_t>& content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = ENOSPC;  // nothing more taken: the disk is full
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Creates `tmp` (never an existing path, never through a link), writes and syncs it. The file
// is removed again when any step fails. EEXIST is reported through `exists`, the cause of
// a failure through `why` when given.
bool write_new_file(const fs::path& tmp, const std::vector<std::uint8_t>& content, bool& exists,
                    std::error_code* why = nullptr) {
  exists = false;
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) {
    exists = errno == EEXIST;
    if (why) *why = std::error_code(errno, std::generic_category());
    return false;
  }
  bool ok = write_all(fd, content);
  ok = ok && ::fsync(fd) == 0;
  const int failed_with = errno;
  ok = ::close(fd) == 0 && ok;
  if (!ok) {
    if (why) *why = std::error_code(failed_with ? failed_with : errno, std::generic_category());
    std::error_code ec;
    fs::remove(tmp, ec);
  }
  return ok;
}

// After the rename the folder's entry must reach the disk too, or a power cut could bring
// back the old library. A file system that cannot sync folders leaves it to the kernel.
void sync_folder(const fs::path& path) {
  const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool rename_into_place(const fs::path& tmp, const fs::path& path, std::error_code* why = nullptr) {
  std::error_code ec;
  count_write();
  fs::rename(tmp, path, ec);
  if (ec) {
    if (why) *why = ec;
    fs::remove(tmp, ec);
    return false;
  }
  sync_folder(path);
  return true;
}

}  // namespace

std::uint64_t library_writes() { return g_library_writes.load(std::memory_order_relaxed); }

bool write_file_atomic(const fs::path& path, const std::vector<std::uint8_t>& content) {
  std::error_code why;
  return write_file_atomic(path, content, why);
}

bool write_file_atomic(const fs::path& path, const std::vector<std::uint8_t>& content, std::error_code& why) {
  why.clear();
  remove_stale_temp_files(path);
  for (int attempt = 0; attempt < 8; ++attempt) {
    const fs::path tmp = random_temp_name(path);
    bool exists = false;
    if (write_new_file(tmp, content, exists, &why)) return rename_into_place(tmp, path, &why);
    if (!exists) return false;
  }
  why = std::make_error_code(std::errc::file_exists);
  return false;
}

bool write_file_via(const fs::path& path, const fs::path& tmp, const std::vector<std::uint8_t>& content) {
  bool exists = false;
  if (!write_new_file(tmp, content, exists)) return false;
  return rename_into_place(tmp, path);
}

namespace {

bool g_whole_file_writes = false;
constexpr std::size_t kScanBytes = std::size_t{1} << 20;  // the most a record scan reads at once

// The journal a record write of `path` goes through; none for a file that is not directly in
// the sys or data folder of a program folder.
std::optional<fs::path> journal_of(const fs::path& path);

// Reads out.size() bytes at `offset` of `fd`; false when fewer are there.
bool pread_all(int fd, std::uint64_t offset, std::uint8_t* out, std::size_t n) {
  std::size_t done = 0;
  while (done < n) {
    const ssize_t got = ::pread(fd, out + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

bool pwrite_all(int fd, std::uint64_t offset, const std::uint8_t* in, std::size_t n) {
  std::size_t done = 0;
  while (done < n) {
    const ssize_t put = ::pwrite(fd, in + done, n - done, static_cast<off_t>(offset + done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

// Reads bytes [offset, offset + out.size()) of the regular file `path` (never through a link's
// folder check: the callers checked the library).
StoreStatus pread_file(const fs::path& path, std::uint64_t offset, std::vector<std::uint8_t>& out) {
  return ReadableFile(path).read_at(offset, out) ? StoreStatus::Ok : StoreStatus::IoError;
}

}  // namespace

void RecordStore::set_whole_file_writes(bool on) { g_whole_file_writes = on; }

RecordStore::RecordStore(fs::path path, std::size_t record_length) : path_(std::move(path)), len_(record_length) {}

bool RecordStore::exists() const {
  if (const SaveSet* set = SaveSet::current(); set && set->gathered(path_)) return true;
  std::error_code ec;
  return fs::is_regular_file(path_, ec);
}

StoreStatus RecordStore::load(std::vector<std::uint8_t>& content) const {
  content.clear();
  if (const SaveSet* set = SaveSet::current(); set && set->gathered(path_)) {
    const StoreStatus st = set->gathered_content(path_, content);
    if (st != StoreStatus::Ok) return st;
    return len_ == 0 || content.size() % len_ != 0 ? StoreStatus::Damaged : StoreStatus::Ok;
  }
  std::error_code ec;
  if (!fs::exists(path_, ec)) return ec ? StoreStatus::IoError : StoreStatus::Ok;
  if (!fs::is_regular_file(path_, ec)) return StoreStatus::IoError;
  if (!read_file(path_, content)) return StoreStatus::IoError;
  if (len_ == 0 || content.size() % len_ != 0) return StoreStatus::Damaged;
  return StoreStatus::Ok;
}

StoreStatus RecordStore::read_at(std::uint64_t offset, std::vector<std::uint8_t>& out) const {
  if (const SaveSet* set = SaveSet::current(); set && set->gathered(path_))
    return set->read_gathered(path_, offset, out);
  return pread_file(path_, offset, out);
}

// Drops record r (from 1) of the loaded content; a number outside 1..count changes nothing.
static void erase_record(std::vector<std::uint8_t>& content, std::size_t len, std::size_t r) {
  const std::size_t n = content.size() / len;
  if (r >= 1 && r <= n)
    content.erase(content.begin() + static_cast<std::ptrdiff_t>((r - 1) * len),
                  content.begin() + static_cast<std::ptrdiff_t>(r * len));
}

// A library marked read-only is not replaced behind its back by the rename.
static bool writable_or_missing(const fs::path& p) {
  std::error_code ec;
  auto st = fs::status(p, ec);
  if (ec || !fs::exists(st)) return true;
  return (st.permissions() & fs::perms::owner_write) != fs::perms::none;
}

StoreStatus RecordStore::store(const std::vector<std::uint8_t>& content) {
  if (!writable_or_missing(path_)) return StoreStatus::IoError;
  if (SaveSet* set = SaveSet::current()) {
    set->gather(path_, content);
    return StoreStatus::Ok;
  }
  return write_file_atomic(path_, content) ? StoreStatus::Ok : StoreStatus::IoError;
}

StoreStatus RecordStore::count(std::size_t& n) const {
  n = 0;
  if (const SaveSet* set = SaveSet::current(); set && set->gathered(path_)) {
    std::uint64_t size = 0;
    static_cast<void>(set->gathered_length(path_, size));  // gathered: it has a length
    if (len_ == 0 || size % len_ != 0) return StoreStatus::Damaged;
    n = static_cast<std::size_t>(size / len_);
    return StoreStatus::Ok;
  }
  std::error_code ec;
  if (!fs::exists(path_, ec)) return ec ? StoreStatus::IoError : StoreStatus::Ok;
  auto size = fs::file_size(path_, ec);
  if (ec) return StoreStatus::IoError;
  if (len_ == 0 || size % len_ != 0) return StoreStatus::Damaged;
  n = static_cast<std::size_t>(size / len_);
  return StoreStatus::Ok;
}

StoreStatus RecordStore::read(std::size_t r, Bytes& out) const {
  std::size_t n = 0;
  StoreStatus st = count(n);
  if (st != StoreStatus::Ok) return st;
  if (r < 1 || r > n) return StoreStatus::IoError;
  out.assign(len_, 0);
  return read_at(static_cast<std::uint64_t>(r - 1) * len_, out);
}

StoreStatus RecordStore::read_all(std::vector<Bytes>& out) const {
  out.clear();
  std::vector<std::uint8_t> content;
  StoreStatus st = load(content);
  if (st != StoreStatus::Ok) return st;
  for (std::size_t off = 0; off + len_ <= content.size(); off += len_)
    out.emplace_back(content.begin() + static_cast<std::ptrdiff_t>(off),
                     content.begin() + static_cast<std::ptrdiff_t>(off + len_));
  return StoreStatus::Ok;
}

// Reads the records through one buffer of at most 1 MB (one record when a record is longer),
// never the whole file.
StoreStatus RecordStore::find(const Match& match, std::size_t& found) const {
  found = 0;
  std::size_t n = 0;
  StoreStatus st = count(n);
  if (st != StoreStatus::Ok || n == 0) return st;
  const std::size_t per_read = std::max<std::size_t>(1, kScanBytes / len_);
  std::vector<std::uint8_t> block;
  Bytes rec;
  for (std::size_t first = 0; first < n; first += per_read) {
    const std::size_t k = std::min(per_read, n - first);
    block.resize(k * len_);
    if ((st = read_at(static_cast<std::uint64_t>(first) * len_, block)) != StoreStatus::Ok) return st;
    for (std::size_t i = 0; i < k; ++i) {
      rec.assign(block.begin() + static_cast<std::ptrdiff_t>(i * len_),
                 block.begin() + static_cast<std::ptrdiff_t>((i + 1) * len_));
      if (match(rec)) {
        found = first + i + 1;
        return StoreStatus::Ok;
      }
    }
  }
  return StoreStatus::Ok;
}

namespace {

// Reads `iov` (`bytes` in all) at `offset` of `fd`; false when fewer bytes are there.
bool preadv_all(int fd, std::uint64_t offset, std::vector<iovec>& iov, std::size_t bytes) {
  iovec* v = iov.data();
  int left = static_cast<int>(iov.size());
  while (bytes > 0) {
    const ssize_t got = ::preadv(fd, v, left, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    bytes -= static_cast<std::size_t>(got);
    offset += static_cast<std::uint64_t>(got);
    // A short read: go on after the bytes that came.
    for (auto n = static_cast<std::size_t>(got); n > 0 && left > 0;) {
      if (n < v->iov_len) {
        v->iov_base = static_cast<std::uint8_t*>(v->iov_base) + n;
        v->iov_len -= n;
        n = 0;
      } else {
        n -= v->iov_len;
        ++v;
        --left;
      }
    }
  }
  return true;
}

// The most records one read brings (two ranges each: the key bytes, then the rest up to the
// next record's key bytes; the kernel takes at most 1024 ranges a call).
constexpr std::size_t kRecordsPerRead = 511;

// The first record of records [first, last) (0-based) of the open library `fd` that holds
// `key`, as its number from 1; 0 when none. Each read brings up to `per_read` records: their
// key bytes into `keys`, the bytes between into one small buffer that is only ever written
// (the kernel copies them all the same, but into memory that stays in the processor's
// cache). The scan stops early once `stop` holds (a part before it has found the key).
bool scan_part(int fd, std::size_t len, std::size_t first, std::size_t last, const KeyMatch& key,
               std::size_t per_read, std::span<std::uint8_t> keys, std::span<std::uint8_t> between,
               const std::atomic<bool>& stop, std::size_t& found) {
  found = 0;
  const std::size_t span = key.end() - key.begin();
  std::vector<iovec> iov;
  for (std::size_t at = first; at < last && !stop.load(std::memory_order_relaxed); at += per_read) {
    const std::size_t k = std::min(per_read, last - at);
    iov.clear();
    for (std::size_t i = 0; i < k; ++i) {
      iov.push_back({keys.data() + i * span, span});
      if (i + 1 < k && len > span) iov.push_back({between.data(), len - span});
    }
    if (!preadv_all(fd, static_cast<std::uint64_t>(at) * len + key.begin(), iov, (k - 1) * len + span)) return false;
    for (std::size_t i = 0; i < k; ++i)
      if (key.in_key_bytes(keys.subspan(i * span, span))) {
        found = at + i + 1;
        return true;
      }
  }
  return true;
}

// A library of at least this many bytes is scanned in parts on up to kScanThreads threads:
// the kernel's work for the read (finding the file's pages, copying them) is nearly all the
// time a find takes, about 3 ms for 10 MB on one processor.
constexpr std::size_t kThreadedScanBytes = std::size_t{8} << 20;
constexpr unsigned kScanThreads = 4;

// The first record of the n records of `fd` that holds `key`: the first part's match, else
// the second's, and so on. A part that finds the key lets the parts after it stop.
StoreStatus scan_keys(int fd, std::size_t len, std::size_t n, const KeyMatch& key, std::size_t& found) {
  found = 0;
  const WorkSplit split = split_work(n, std::max<std::size_t>(1, kThreadedScanBytes / len), kScanThreads);
  const unsigned parts = split.parts;
  // The buffers, allocated here rather than by the threads: for each part the key bytes of
  // the records one read brings and the bytes between them.
  const std::size_t span = key.end() - key.begin();
  const std::size_t per_read = std::max<std::size_t>(1, std::min(split.share, kRecordsPerRead));
  std::vector<std::uint8_t> keys(parts * per_read * span), between(parts * len);
  std::vector<std::size_t> hits(parts, 0);
  std::vector<char> ok(parts, 0);
  // stops[t] tells part t that a part before it found the key.
  std::vector<std::atomic<bool>> stops(parts);
  run_parts(split, [&](unsigned t, std::size_t first, std::size_t count) {
    ok[t] = scan_part(fd, len, first, first + count, key, per_read,
                      std::span<std::uint8_t>(keys).subspan(t * per_read * span, per_read * span),
                      std::span<std::uint8_t>(between).subspan(t * len, len), stops[t], hits[t]);
    if (hits[t])
      for (unsigned later = t + 1; later < parts; ++later) stops[later].store(true, std::memory_order_relaxed);
  });
  for (unsigned t = 0; t < parts; ++t) {
    if (!ok[t]) return StoreStatus::IoError;
    if (hits[t]) {
      found = hits[t];
      return StoreStatus::Ok;
    }
  }
  return StoreStatus::Ok;
}

}  // namespace

StoreStatus RecordStore::find(const KeyMatch& key, std::size_t& found) const {
  found = 0;
  if (key.end() > len_) return find(Match([&key](const Bytes& b) { return key(b); }), found);
  SaveSet* set = SaveSet::current();
  if (set && set->recall_find(path_, len_, key.identity(), found)) return StoreStatus::Ok;
  // Taken before the scan: a file changed during it then never matches and is scanned again.
  const std::optional<FileIdentity> seen = set ? file_identity(path_) : std::nullopt;
  std::size_t n = 0;
  StoreStatus st = count(n);
  if (st != StoreStatus::Ok || n == 0) return st;
  if (set && set->gathered(path_)) {
    // The set's changes are read through the set, a block at a time.
    const std::size_t per_read = std::max<std::size_t>(1, kScanBytes / len_);
    std::vector<std::uint8_t> block;
    for (std::size_t first = 0; first < n; first += per_read) {
      const std::size_t k = std::min(per_read, n - first);
      block.resize(k * len_);
      if ((st = read_at(static_cast<std::uint64_t>(first) * len_, block)) != StoreStatus::Ok) return st;
      for (std::size_t i = 0; i < k; ++i)
        if (key(std::span<const std::uint8_t>(block.data() + i * len_, len_))) {
          found = first + i + 1;
          return StoreStatus::Ok;
        }
    }
    return StoreStatus::Ok;
  }
  const ReadableFile file(path_);
  if (!file) return StoreStatus::IoError;
  st = scan_keys(file.fd(), len_, n, key, found);
  if (st == StoreStatus::Ok && set && seen) set->remember_find(path_, len_, key.identity(), found, *seen);
  return st;
}

// The whole-file way of writing a record: what deletions still do, and what write() did before
// it wrote one record (kept for the comparison of the bytes both leave).
StoreStatus RecordStore::write_whole(std::size_t r, const Bytes& rec) {
  std::vector<std::uint8_t> content;
  StoreStatus st = load(content);
  if (st != StoreStatus::Ok) return st;
  std::size_t n = content.size() / len_;
  if (r < 1 || r > n + 1) return StoreStatus::IoError;
  if (r == n + 1) content.resize(content.size() + len_);
  std::copy(rec.begin(), rec.end(), content.begin() + static_cast<std::ptrdiff_t>((r - 1) * len_));
  return store(content);
}

StoreStatus RecordStore::write(std::size_t r, const Bytes& rec) {
  if (rec.size() != len_) return StoreStatus::IoError;
  if (g_whole_file_writes) return write_whole(r, rec);
  std::size_t n = 0;
  StoreStatus st = count(n);
  if (st != StoreStatus::Ok) return st;
  if (r < 1 || r > n + 1) return StoreStatus::IoError;
  if (!writable_or_missing(path_)) return StoreStatus::IoError;
  const std::uint64_t offset = static_cast<std::uint64_t>(r - 1) * len_;
  if (SaveSet* set = SaveSet::current()) return set->patch(path_, offset, rec);
  // Outside a save: a set of its own, so the record is never left torn.
  std::error_code ec;
  const std::optional<fs::path> journal = journal_of(path_);
  if (!journal || !fs::is_regular_file(fs::symlink_status(path_, ec))) return write_whole(r, rec);
  SaveSet own(*journal, "“" + path_.filename().string() + "”的一条记录");
  if ((st = own.opened()) != StoreStatus::Ok) return st;
  if ((st = own.patch(path_, offset, rec)) != StoreStatus::Ok) return st;
  return own.commit();
}

StoreStatus RecordStore::save_replace(const Match& match, const Bytes& rec, std::size_t& result) {
  result = 0;
  if (rec.size() != len_) return StoreStatus::IoError;
  std::size_t found = 0;
  const StoreStatus st = find(match, found);
  return st == StoreStatus::Ok ? replace_found(found, rec, result) : st;
}

StoreStatus RecordStore::save_replace(const KeyMatch& key, const Bytes& rec, std::size_t& result) {
  result = 0;
  if (rec.size() != len_) return StoreStatus::IoError;
  std::size_t found = 0;
  const StoreStatus st = find(key, found);
  return st == StoreStatus::Ok ? replace_found(found, rec, result) : st;
}

StoreStatus RecordStore::replace_found(std::size_t found, const Bytes& rec, std::size_t& result) {
  std::size_t n = 0;
  StoreStatus st = StoreStatus::Ok;
  if (found) return g_whole_file_writes ? write_whole(found, rec) : write(found, rec);
  if ((st = count(n)) != StoreStatus::Ok) return st;
  st = g_whole_file_writes ? write_whole(n + 1, rec) : write(n + 1, rec);
  if (st == StoreStatus::Ok) result = n + 1;
  return st;
}

StoreStatus under_library_set(const fs::path& path, const std::function<StoreStatus()>& body) {
  const std::optional<fs::path> journal = SaveSet::current() ? std::nullopt : journal_of(path);
  if (!journal) return body();
  SaveSet own(*journal, "“" + path.filename().string() + "”的记录删除");
  StoreStatus st = own.opened();
  if (st == StoreStatus::Ok) st = body();
  if (st == StoreStatus::Ok) st = own.commit();
  return st;
}

StoreStatus RecordStore::remove(std::size_t r) {
  if (!SaveSet::current() && journal_of(path_)) return under_library_set(path_, [&] { return remove(r); });
  std::vector<std::uint8_t> content;
  StoreStatus st = load(content);
  if (st != StoreStatus::Ok) return st;
  erase_record(content, len_, r);
  if (content.empty()) {
    remove_stale_temp_files(path_);
    return remove_file();
  }
  return store(content);
}

StoreStatus RecordStore::remove_via(std::size_t r, const fs::path& backup) {
  if (!SaveSet::current() && journal_of(path_)) return under_library_set(path_, [&] { return remove_via(r, backup); });
  std::vector<std::uint8_t> content;
  StoreStatus st = load(content);
  if (st != StoreStatus::Ok) return st;
  erase_record(content, len_, r);
  if (!writable_or_missing(path_)) return StoreStatus::IoError;
  remove_stale_temp_files(path_);
  std::error_code ec;
  fs::remove(backup, ec);
  return write_file_via(path_, backup, content) ? StoreStatus::Ok : StoreStatus::IoError;
}

StoreStatus RecordStore::remove_file() {
  std::error_code ec;
  count_write();
  fs::remove(path_, ec);
  return ec ? StoreStatus::IoError : StoreStatus::Ok;
}

// ---- multi-file saves ----

namespace {

thread_local SaveSet* g_current_set = nullptr;
// Why the last set opened on this thread could not write at all (set_refusal).
thread_local std::string g_set_refusal;

constexpr char kJournalMagic[] = "WBSAVE3\n";
constexpr char kV2JournalMagic[] = "WBSAVE2\n";    // whole files only
constexpr char kOldJournalMagic[] = "WBSAVE1\n";  // absolute names, no description
constexpr std::size_t kMagicBytes = sizeof kJournalMagic - 1;
constexpr char kSetTempPrefix[] = ".wbsave-";
constexpr const char* kLibraryFolders[] = {"sys", "data"};
constexpr std::uint64_t kWholeEntry = 0, kInPlaceEntry = 1;
// Bytes of the old file around each patch (and at its start) that make up its identity.
constexpr std::uint64_t kIdentityBytes = 4096;
// No library comes near this; a journal giving more is not read (offsets plus the identity
// windows then never overflow).
constexpr std::uint64_t kMaxJournalLength = std::uint64_t{1} << 52;

// Not the published FNV-1a offset basis (14695981039346656037, one digit longer): intent files
// on disk carry hashes begun from this one, so it stays as it is.
constexpr std::uint64_t kFnvStart = 1469598103934665603ull;
std::uint64_t fnv1a_add(std::uint64_t h, const std::uint8_t* p, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}
// FNV-1a, 64 bits: tells the recorded content from any other, not a guard against forgery.
std::uint64_t fnv1a(const std::vector<std::uint8_t>& c) { return fnv1a_add(kFnvStart, c.data(), c.size()); }

fs::path folder_of(const fs::path& p) { return p.has_parent_path() ? p.parent_path() : fs::path("."); }

fs::path set_key(const fs::path& p) {
  std::error_code ec;
  const fs::path a = fs::absolute(p, ec);
  return (ec ? p : a).lexically_normal();
}

// The program folder of a journal: the folder above its sys folder.
fs::path program_folder_of(const fs::path& journal) { return folder_of(folder_of(set_key(journal))); }

std::string random_hex16() {
  std::random_device rd;
  const std::uint64_t bits = (static_cast<std::uint64_t>(rd()) << 32) ^ rd();
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(bits));
  return hex;
}

bool is_set_temp(const std::string& name) {
  const std::size_t n = sizeof kSetTempPrefix - 1;
  return name.size() == n + 16 && name.compare(0, n, kSetTempPrefix) == 0 &&
         std::all_of(name.begin() + static_cast<std::ptrdiff_t>(n), name.end(),
                     [](unsigned char c) { return std::isxdigit(c) != 0; });
}

bool ends_with_dat(const std::string& name) {
  if (name.size() < 4) return false;
  std::string tail = name.substr(name.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".dat";
}

// A name of the program folder a journal may hold: "sys/<file>" or "data/<file>", one plain
// file name (no folder, "." or "..", NUL) of at most 255 bytes. Splits it.
bool split_name(const std::string& rel, std::string& folder, std::string& file) {
  const std::size_t slash = rel.find('/');
  if (slash == std::string::npos) return false;
  folder = rel.substr(0, slash);
  file = rel.substr(slash + 1);
  if (std::find(std::begin(kLibraryFolders), std::end(kLibraryFolders), folder) == std::end(kLibraryFolders))
    return false;
  return !file.empty() && file.size() <= kMaxNameBytes && file != "." && file != ".." &&
         file.find('/') == std::string::npos && file.find('\0') == std::string::npos;
}

// The only files a save set writes: libraries ("*.dat") in sys or data. Empty when `target`
// is one, else why not.
std::string target_refusal(const std::string& target) {
  std::string tf, tn;
  if (!split_name(target, tf, tn) || !ends_with_dat(tn)) return "“" + target + "”不是程序目录 sys 或 data 文件夹中的库文件";
  return {};
}

// A library rewritten whole goes through a ".wbsave-" temporary file beside it. Empty when
// `target` and `temp` are such a pair, else why not.
std::string name_refusal(const std::string& target, const std::string& temp) {
  if (std::string why = target_refusal(target); !why.empty()) return why;
  std::string tf, tn, pf, pn;
  static_cast<void>(split_name(target, tf, tn));
  if (!split_name(temp, pf, pn) || pf != tf || !is_set_temp(pn)) return "“" + temp + "”不是“" + target + "”的临时文件";
  return {};
}

// Whether the file system lets the pair be acted on without leaving the folder: the sys or
// data folder is a folder (no link), the target and the temporary file (none for a file
// patched in place) are files or missing (no link, no folder). Empty when so.
std::string place_refusal(const fs::path& root, const std::string& target, const std::string& temp) {
  std::error_code ec;
  const fs::path folder = root / u8path(target.substr(0, target.find('/')));
  if (fs::symlink_status(folder, ec).type() != fs::file_type::directory)
    return "程序目录中的“" + target.substr(0, target.find('/')) + "”不是文件夹（或是符号链接）";
  for (const std::string& rel : {target, temp}) {
    if (rel.empty()) continue;
    const auto type = fs::symlink_status(root / u8path(rel), ec).type();
    if (type != fs::file_type::not_found && type != fs::file_type::regular) return "“" + rel + "”不是普通文件（或是符号链接）";
  }
  return {};
}

void put_u64(std::vector<std::uint8_t>& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void put_text(std::vector<std::uint8_t>& out, const std::string& s) {
  put_u64(out, s.size());
  out.insert(out.end(), s.begin(), s.end());
}
void put_bytes(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& b) {
  put_u64(out, b.size());
  out.insert(out.end(), b.begin(), b.end());
}

std::vector<std::uint8_t> encode_intent(char state, const std::string& what, const std::vector<SaveJournal::Entry>& entries) {
  std::vector<std::uint8_t> out(kJournalMagic, kJournalMagic + kMagicBytes);
  out.push_back(static_cast<std::uint8_t>(state));
  put_text(out, what);
  put_u64(out, entries.size());
  for (const auto& e : entries) {
    put_u64(out, e.in_place ? kInPlaceEntry : kWholeEntry);
    put_text(out, e.target);
    if (!e.in_place) {
      put_text(out, e.temp);
      put_u64(out, e.size);
      put_u64(out, e.hash);
      continue;
    }
    put_u64(out, e.old_length);
    put_u64(out, e.new_length);
    put_u64(out, e.identity);
    put_u64(out, e.patches.size());
    for (const auto& p : e.patches) {
      put_u64(out, p.offset);
      put_bytes(out, p.old_bytes);
      put_u64(out, p.size);
      put_u64(out, p.hash);
    }
  }
  put_u64(out, fnv1a(out));
  return out;
}

struct Reader {
  const std::vector<std::uint8_t>& c;
  std::size_t end;
  std::size_t pos = 0;
  bool ok = true;
  bool ran_out = false;  // a field went past the end
  std::uint64_t u64() {
    if (end - pos < 8) {
      ok = false;
      ran_out = true;
      return 0;
    }
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= static_cast<std::uint64_t>(c[pos + static_cast<std::size_t>(i)]) << (8 * i);
    pos += 8;
    return v;
  }
  std::vector<std::uint8_t> bytes() {
    const std::uint64_t n = u64();
    if (!ok || end - pos < n) {
      ran_out = ran_out || ok;
      ok = false;
      return {};
    }
    std::vector<std::uint8_t> b(c.begin() + static_cast<std::ptrdiff_t>(pos), c.begin() + static_cast<std::ptrdiff_t>(pos + n));
    pos += n;
    return b;
  }
  std::string text() {
    const std::vector<std::uint8_t> b = bytes();
    return std::string(b.begin(), b.end());
  }
};

// An older journal named files by absolute path; one in this program folder reads as its
// relative name, any other stays absolute (and is refused).
std::string relative_to(const std::string& name, const fs::path& root) {
  const fs::path p = u8path(name);
  if (!p.is_absolute()) return name;
  const fs::path rel = p.lexically_normal().lexically_relative(root);
  if (rel.empty() || rel.is_absolute() || *rel.begin() == "..") return name;
  return rel.generic_string();
}

// Why the patches of an entry cannot be what a save wrote (empty when they can): lengths
// beyond reason, a patch empty, overlapping the one before, with old bytes other than the
// old file held there, or appended bytes that leave a hole or do not end at the new length.
std::string patches_refusal(const SaveJournal::Entry& e) {
  const std::string bad = "保存记录文件中“" + e.target + "”的记录写入不成立";
  if (e.new_length > kMaxJournalLength || e.old_length > e.new_length || e.patches.empty()) return bad;
  std::uint64_t prev_end = 0, covered = e.old_length;
  for (const auto& p : e.patches) {
    if (p.size == 0 || p.offset > e.new_length || p.size > e.new_length - p.offset || p.offset < prev_end) return bad;
    const std::uint64_t old_here = p.offset < e.old_length ? std::min(p.size, e.old_length - p.offset) : 0;
    if (p.old_bytes.size() != old_here) return bad;
    if (p.offset + p.size > e.old_length) {
      if (p.offset > covered) return bad;  // a hole between the old end and this patch
      covered = std::max(covered, p.offset + p.size);
    }
    prev_end = p.offset + p.size;
  }
  return covered == e.new_length ? std::string() : bad;
}

}  // namespace

std::vector<std::uint8_t> encode_save_journal(const SaveJournal& j) { return encode_intent(j.state, j.what, j.entries); }

namespace {

// Reads the entries of a journal (`v1`, `v2`: the older formats) until `r` stops.
void read_entries(Reader& r, bool v1, bool v2, const fs::path& root, std::vector<SaveJournal::Entry>& out) {
  const std::uint64_t n = r.u64();
  for (std::uint64_t i = 0; r.ok && i < n; ++i) {
    SaveJournal::Entry e;
    const std::uint64_t kind = v1 || v2 ? kWholeEntry : r.u64();
    if (kind != kWholeEntry && kind != kInPlaceEntry) r.ok = false;
    if (!r.ok) break;
    e.in_place = kind == kInPlaceEntry;
    e.target = r.text();
    if (!e.in_place) {
      e.temp = r.text();
      e.size = r.u64();
      e.hash = r.u64();
    } else {
      e.old_length = r.u64();
      e.new_length = r.u64();
      e.identity = r.u64();
      const std::uint64_t patches = r.u64();
      for (std::uint64_t k = 0; r.ok && k < patches; ++k) {
        SaveJournal::Patch p;
        p.offset = r.u64();
        p.old_bytes = r.bytes();
        p.size = r.u64();
        p.hash = r.u64();
        if (r.ok) e.patches.push_back(std::move(p));
      }
    }
    if (!r.ok) break;
    if (v1) {
      e.target = relative_to(e.target, root);
      e.temp = relative_to(e.temp, root);
    }
    out.push_back(std::move(e));
  }
}

// A prepared journal is written into the empty journal file by one write; a kill stops a
// write only between pages of the kernel's cache. What such a cut leaves is a whole number
// of 4 kB pages of a journal in the current format and state P, ending before its last
// field: its save wrote nothing yet (records are written only once the whole journal is on
// the disk). `what` gets the description when the pages hold it.
constexpr std::size_t kPageBytes = 4096;
bool cut_short(const std::vector<std::uint8_t>& c, std::string& what) {
  if (c.empty() || c.size() % kPageBytes != 0 || c[kMagicBytes] != 'P' ||
      !std::equal(kJournalMagic, kJournalMagic + kMagicBytes, c.begin()))
    return false;
  Reader r{c, c.size(), kMagicBytes + 1};
  const std::string text = r.text();
  if (r.ok) what = text;
  std::vector<SaveJournal::Entry> entries;
  read_entries(r, false, false, {}, entries);
  if (r.ok) static_cast<void>(r.u64());  // the hash
  return !r.ok && r.ran_out;
}

}  // namespace

SaveJournal read_save_journal(const std::vector<std::uint8_t>& c, const fs::path& program_folder) {
  SaveJournal out;
  out.cause = "保存记录文件不完整或已损坏";
  out.cut_short = cut_short(c, out.what);
  if (c.size() < kMagicBytes + 1 + 16) return out;
  const bool v1 = std::equal(kOldJournalMagic, kOldJournalMagic + kMagicBytes, c.begin());
  const bool v2 = std::equal(kV2JournalMagic, kV2JournalMagic + kMagicBytes, c.begin());
  if (!v1 && !v2 && !std::equal(kJournalMagic, kJournalMagic + kMagicBytes, c.begin())) return out;
  const std::size_t body = c.size() - 8;
  Reader tail{c, c.size(), body};
  if (tail.u64() != fnv1a_add(kFnvStart, c.data(), body)) return out;
  out.state = static_cast<char>(c[kMagicBytes]);
  if (out.state != 'P' && out.state != 'C') return out;
  out.cut_short = false;  // whole: its hash holds
  Reader r{c, body, kMagicBytes + 1};
  if (!v1) out.what = r.text();
  read_entries(r, v1, v2, set_key(program_folder), out.entries);
  if (!r.ok || r.pos != body) {
    out.entries.clear();
    return out;
  }
  out.readable = true;
  // Every name must be one a save set writes, each target and temporary file once, and every
  // patch one a save can have written.
  for (std::size_t i = 0; i < out.entries.size(); ++i) {
    const auto& e = out.entries[i];
    out.cause = e.in_place ? target_refusal(e.target) : name_refusal(e.target, e.temp);
    if (out.cause.empty() && e.in_place) out.cause = patches_refusal(e);
    if (!out.cause.empty()) return out;
    for (std::size_t j = 0; j < i; ++j)
      if (out.entries[j].target == e.target || (!e.in_place && out.entries[j].temp == e.temp)) {
        out.cause = "保存记录文件两次写到“" + e.target + "”";
        return out;
      }
  }
  out.cause.clear();
  out.sound = true;
  return out;
}

namespace {

// Whether `p` is a file holding exactly the recorded content.
bool holds(const fs::path& p, std::uint64_t size, std::uint64_t hash) {
  std::error_code ec;
  if (!fs::is_regular_file(fs::symlink_status(p, ec))) return false;
  std::vector<std::uint8_t> c;
  return read_file(p, c) && c.size() == size && fnv1a(c) == hash;
}

// Writes a prepared journal into the empty journal file and syncs it, or, when there is no
// journal file yet, makes it (a new file, renamed into place, the folder synced). False
// when it is not on the disk whole; the file is emptied again then, as far as it can be.
bool write_journal(const fs::path& journal, const std::vector<std::uint8_t>& content) {
  const int fd = ::open(journal.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT && write_file_atomic(journal, content);
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0;
  if (ok) {
    ok = pwrite_all(fd, 0, content.data(), content.size()) && ::fdatasync(fd) == 0;
    if (!ok) static_cast<void>(::ftruncate(fd, 0));  // a journal not whole is no save
  }
  ok = ::close(fd) == 0 && ok;
  return ok;
}

// Empties the journal file and syncs it: from here on no save is pending. For a save whose
// records were written in place this is its moment.
bool clear_journal(const fs::path& journal) {
  const int fd = ::open(journal.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  ok = ok && ::ftruncate(fd, 0) == 0 && ::fdatasync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  return ok;
}

// Makes an empty journal file where there is none, durably (the file and its folder), so that
// the first save of a program folder writes its journal in place too. Best effort: a save
// that finds none makes it itself.
void make_journal_file(const fs::path& journal) {
  const int fd = ::open(journal.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  if (ok) sync_folder(journal);
}

// Removes ".wbsave-" files in `folder`: run while the writer lock is held and no journal
// is pending, so none of them belongs to a save that may still happen.
void remove_stale_set_temps(const fs::path& folder) {
  std::error_code ec;
  std::vector<fs::path> stale;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (is_set_temp(it->path().filename().string())) stale.push_back(it->path());
  for (const auto& p : stale) fs::remove(p, ec);
}

// The byte ranges of a patched file's identity: up to kIdentityBytes at its start and before
// and after each patch, within the old length, leaving out the bytes the patches overwrite.
// Neither a torn write nor an append reaches them, so they read the same in every state.
std::vector<std::pair<std::uint64_t, std::uint64_t>> identity_ranges(const SaveJournal::Entry& e) {
  using Range = std::pair<std::uint64_t, std::uint64_t>;  // [first, second)
  std::vector<Range> want{{0, kIdentityBytes}}, cut;
  for (const auto& p : e.patches) {
    const std::uint64_t old_end = p.offset + p.old_bytes.size();
    want.push_back({p.offset - std::min(p.offset, kIdentityBytes), p.offset});
    want.push_back({old_end, old_end + kIdentityBytes});
    if (!p.old_bytes.empty()) cut.push_back({p.offset, old_end});
  }
  for (auto& w : want) w = {std::min(w.first, e.old_length), std::min(w.second, e.old_length)};
  std::sort(want.begin(), want.end());
  std::vector<Range> merged;
  for (const auto& w : want) {
    if (w.first >= w.second) continue;
    if (!merged.empty() && w.first <= merged.back().second) merged.back().second = std::max(merged.back().second, w.second);
    else merged.push_back(w);
  }
  std::vector<Range> out;
  for (Range w : merged) {  // `cut` is in rising order and its ranges do not overlap
    for (const auto& c : cut) {
      if (c.second <= w.first || c.first >= w.second) continue;
      if (c.first > w.first) out.push_back({w.first, c.first});
      w.first = std::min(w.second, c.second);
    }
    if (w.first < w.second) out.push_back(w);
  }
  return out;
}

// The FNV-1a hash of bytes [offset, offset + n) of `fd`, read a block at a time.
bool hash_range(int fd, std::uint64_t offset, std::uint64_t n, std::uint64_t& h) {
  std::vector<std::uint8_t> block(static_cast<std::size_t>(std::min<std::uint64_t>(n, kScanBytes)));
  while (n > 0) {
    const std::size_t k = static_cast<std::size_t>(std::min<std::uint64_t>(n, block.size()));
    if (!pread_all(fd, offset, block.data(), k)) return false;
    h = fnv1a_add(h, block.data(), k);
    offset += k;
    n -= k;
  }
  return true;
}

bool identity_of(int fd, const SaveJournal::Entry& e, std::uint64_t& h) {
  h = kFnvStart;
  for (const auto& [first, end] : identity_ranges(e))
    if (!hash_range(fd, first, end - first, h)) return false;
  return true;
}

// What a patched file holds against its entry: Foreign when it is not the file the save
// patched, or not in a state the save can have left it in; New when it holds the new length
// and the new bytes at every patch; Between otherwise (the save cut short).
enum class InPlace { Foreign, Between, New };

// The smallest run of bytes a disk writes whole: a write cut short by a kill or a power cut
// leaves each aligned sector of it either as it was or as written (a kill tears a write only
// between pages of the kernel's cache, which are whole sectors).
constexpr std::uint64_t kSectorBytes = 512;

// Whether bytes [p.offset, p.offset + old) of `fd` (old = p.old_bytes.size(), all within
// the file) are what the save can have left there: the old bytes, the new ones (their hash,
// when the whole patch lies within the file's `length`), or a write torn between sectors,
// with at least one sector of it still holding its old bytes. Bytes that are neither (an
// "old" run over bytes the save never wrote) are not the save's.
bool patch_is_the_saves(int fd, const SaveJournal::Patch& p, std::uint64_t length) {
  if (p.old_bytes.empty()) return true;
  std::vector<std::uint8_t> now(p.old_bytes.size());
  if (!pread_all(fd, p.offset, now.data(), now.size())) return false;
  if (now == p.old_bytes) return true;
  std::uint64_t h = kFnvStart;
  if (p.size <= length - std::min(length, p.offset) && hash_range(fd, p.offset, p.size, h) && h == p.hash) return true;
  for (std::uint64_t at = 0; at < now.size();) {
    const std::uint64_t end = std::min<std::uint64_t>(now.size(), (p.offset + at) / kSectorBytes * kSectorBytes + kSectorBytes - p.offset);
    if (std::equal(now.begin() + static_cast<std::ptrdiff_t>(at), now.begin() + static_cast<std::ptrdiff_t>(end),
                   p.old_bytes.begin() + static_cast<std::ptrdiff_t>(at)))
      return true;
    at = end;
  }
  return false;
}

// A save undone rewrites old bytes only over its own patches and cuts only what it appended.
// The file must be the one the save patched (its identity) and each patch as the save can
// have left it; appended bytes at the new length must be the new ones (an append cut short
// leaves the file shorter). A file whose identity covers no byte (an old length of 0, or
// patches over the whole old file; this program writes such files whole) is recognised only
// in full: all old bytes at the old length, or all new bytes at the new length.
InPlace in_place_state(const fs::path& path, const SaveJournal::Entry& e) {
  const ReadableFile file(path, kAnySize, FollowLinks::No);
  if (!file) return InPlace::Foreign;
  const int fd = file.fd();
  const InPlace out = [&] {
    std::uint64_t id = 0;
    const std::uint64_t len = file.size();
    if (len < e.old_length || len > e.new_length || !identity_of(fd, e, id) || id != e.identity) return InPlace::Foreign;
    bool all_new = len == e.new_length, all_old = len == e.old_length;
    for (const auto& p : e.patches) {
      std::uint64_t h = kFnvStart;
      const bool written = p.size <= len - std::min(len, p.offset) && hash_range(fd, p.offset, p.size, h) && h == p.hash;
      all_new = all_new && written;
      if (!patch_is_the_saves(fd, p, len)) return InPlace::Foreign;
      // An append reaching the new length is whole (the length grows only with the bytes).
      if (p.offset + p.size > e.old_length && len == e.new_length && !written) return InPlace::Foreign;
      if (all_old && !p.old_bytes.empty()) {
        std::vector<std::uint8_t> now(p.old_bytes.size());
        all_old = pread_all(fd, p.offset, now.data(), now.size()) && now == p.old_bytes;
      }
    }
    if (all_new) return InPlace::New;
    if (identity_ranges(e).empty() && !all_old) return InPlace::Foreign;
    return InPlace::Between;
  }();
  return out;
}

// Puts the old bytes back at every patch and cuts the file to its old length, then syncs it.
bool roll_back_in_place(const fs::path& path, const SaveJournal::Entry& e) {
  count_write();
  const int fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = true;
  for (const auto& p : e.patches)
    if (!p.old_bytes.empty()) ok = ok && pwrite_all(fd, p.offset, p.old_bytes.data(), p.old_bytes.size());
  ok = ok && ::ftruncate(fd, static_cast<off_t>(e.old_length)) == 0;
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  return ok;
}

// Finishes or undoes the journal's save; the writer lock is held. Ok with `cause` empty, or
// IoError with `cause` saying why and nothing changed by the step that failed.
StoreStatus finish_locked(const fs::path& journal, SaveJournal& read, std::string& cause) {
  std::error_code ec;
  if (!save_pending(journal)) return StoreStatus::Ok;
  const fs::path root = program_folder_of(journal);
  std::vector<std::uint8_t> c;
  if (fs::symlink_status(journal, ec).type() != fs::file_type::regular || !read_file(journal, c)) {
    cause = "保存记录文件不能读取";
    return StoreStatus::IoError;
  }
  read = read_save_journal(c, root);
  if (read.cut_short) {
    read.state = 'P';  // undone: nothing of it was written
    if (clear_journal(journal)) return StoreStatus::Ok;
    cause = "保存记录文件不能清空";
    return StoreStatus::IoError;
  }
  if (!read.sound) {
    cause = read.cause;
    return StoreStatus::IoError;
  }
  // Nothing is touched until every name has been checked on the disk, and every file
  // patched in place is known to be the one the save patched.
  for (const auto& e : read.entries) {
    if (std::string why = place_refusal(root, e.target, e.temp); !why.empty()) {
      cause = why;
      return StoreStatus::IoError;
    }
    if (!e.in_place) continue;
    const InPlace now = in_place_state(root / u8path(e.target), e);
    if (now == InPlace::Foreign) {
      cause = "“" + e.target + "”已不是保存时的文件（内容或长度不符）";
      return StoreStatus::IoError;
    }
    if (read.state == 'C' && now != InPlace::New) {
      cause = "“" + e.target + "”的新内容已不在";
      return StoreStatus::IoError;
    }
  }
  if (read.state == 'P') {
    // The save never reached its moment: its temporary files go and each patched file gets
    // its old bytes and length back.
    for (const auto& e : read.entries) {
      if (e.in_place) continue;
      fs::remove(root / u8path(e.temp), ec);
      if (ec) {
        cause = "“" + e.temp + "”不能删除";
        return StoreStatus::IoError;
      }
    }
    for (const auto& e : read.entries)
      if (e.in_place && !roll_back_in_place(root / u8path(e.target), e)) {
        cause = "“" + e.target + "”的原有记录未能写回";
        return StoreStatus::IoError;
      }
  } else {
    // Committed: check every file before moving any, so a roll that cannot finish changes nothing.
    std::vector<bool> pending(read.entries.size(), false);
    for (std::size_t i = 0; i < read.entries.size(); ++i) {
      const auto& e = read.entries[i];
      if (e.in_place) continue;  // checked above: it holds the new records
      if (fs::symlink_status(root / u8path(e.temp), ec).type() != fs::file_type::not_found) {
        if (!holds(root / u8path(e.temp), e.size, e.hash)) {
          cause = "“" + e.temp + "”的内容与保存记录不符";
          return StoreStatus::IoError;
        }
        pending[i] = true;
      } else if (!holds(root / u8path(e.target), e.size, e.hash)) {
        cause = "“" + e.target + "”的新内容已不在";
        return StoreStatus::IoError;
      }
    }
    // Every rename reaches the disk (one sync of each folder) before the journal is emptied.
    std::vector<fs::path> folders;
    for (std::size_t i = 0; i < read.entries.size(); ++i) {
      if (!pending[i]) continue;
      count_write();
      const fs::path target = root / u8path(read.entries[i].target);
      fs::rename(root / u8path(read.entries[i].temp), target, ec);
      if (ec) {
        cause = "“" + read.entries[i].target + "”未能替换";
        return StoreStatus::IoError;
      }
      if (std::find(folders.begin(), folders.end(), folder_of(target)) == folders.end()) folders.push_back(folder_of(target));
    }
    for (const fs::path& f : folders) sync_folder(f / "x");
  }
  if (!clear_journal(journal)) {
    cause = "保存记录文件不能清空";
    return StoreStatus::IoError;
  }
  return StoreStatus::Ok;
}

// Moves the journal and every ".wbsave-" file of sys and data into a new folder
// "save.jnl.unfinished-<date>-<time>" in sys. Nothing is deleted. Empty `moved_to` when the
// folder could not be made or the journal not moved.
void set_aside(const fs::path& journal, fs::path& moved_to) {
  moved_to.clear();
  const fs::path sys = folder_of(journal);
  const fs::path root = folder_of(set_key(sys));
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string base = journal.filename().string() + ".unfinished-" + stamp;
  std::error_code ec;
  fs::path dir;
  // A name taken by anything (a folder, a file, a link, even one leading nowhere) makes way
  // for the next.
  for (int n = 1; n < 100; ++n) {
    const fs::path d = sys / (n == 1 ? base : base + "-" + std::to_string(n));
    if (::mkdir(d.c_str(), 0755) == 0) {
      dir = d;
      break;
    }
    if (errno != EEXIST) return;
  }
  if (dir.empty()) return;
  fs::rename(journal, dir / journal.filename(), ec);
  if (ec) return;
  sync_folder(journal);
  for (const char* name : kLibraryFolders) {
    const fs::path folder = root / name;
    if (fs::symlink_status(folder, ec).type() != fs::file_type::directory) continue;
    std::vector<fs::path> temps;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
      if (is_set_temp(it->path().filename().string())) temps.push_back(it->path());
    for (const auto& t : temps) {
      // ".wbsave-…" in data becomes "data-wbsave-…": shown, and never taken for a live one.
      const fs::path to = dir / (std::string(name) + "-" + t.filename().string().substr(1));
      fs::rename(t, to, ec);
      // A copy only of a file itself: a link is left where it is, never followed.
      if (ec && fs::symlink_status(t, ec).type() == fs::file_type::regular && fs::copy_file(t, to, ec))
        fs::remove(t, ec);
    }
    sync_folder(folder / "x");
  }
  sync_folder(dir / "x");
  moved_to = dir;
}

}  // namespace

// The journal file stays once made: empty, it says that no save is pending, and the next
// save writes its intent into it in place (one sync of the file) rather than into a new
// file, whose name would need a sync of the folder as well.
bool save_pending(const fs::path& journal) {
  std::error_code ec;
  const fs::file_status st = fs::symlink_status(journal, ec);
  if (st.type() == fs::file_type::not_found) return false;
  return st.type() != fs::file_type::regular || fs::file_size(journal, ec) != 0 || ec;
}

StoreStatus finish_interrupted_save(const fs::path& journal) {
  const WriterLock lock(folder_of(journal));
  if (!lock.held()) return StoreStatus::IoError;
  SaveJournal read;
  std::string cause;
  return finish_locked(journal, read, cause);
}

std::string InterruptedSave::message() const {
  if (outcome == Outcome::Nothing) return {};
  std::string files;
  for (const auto& f : libraries) files += (files.empty() ? "" : "、") + f;
  std::string save = "上次中断的保存";
  if (!what.empty()) save += "（" + what + "）";
  if (outcome == Outcome::Completed)
    return save + "已在本次启动时完成" + (files.empty() ? "" : "，写入的库是 " + files) + "。";
  if (outcome == Outcome::Undone)
    return save + "在完成之前中断，已在本次启动时撤销" + (files.empty() ? "" : "：" + files + " 恢复为保存之前的内容") +
           "。这次保存的内容没有存入，请重新保存。";
  std::string text = save + "未能完成";
  if (!files.empty()) text += "，它要写入的库是 " + files;
  text += "。\n原因：" + cause + "。\n";
  if (outcome == Outcome::SetAside)
    return text + "这些库保持原样；未完成的保存已移到 " + path_text(set_aside_folder) + "，没有删除任何文件。以后的保存照常进行。";
  return text + "它也未能移开，多个库一起的保存暂时不能进行。";
}

InterruptedSave recover_interrupted_save(const fs::path& journal) {
  InterruptedSave out;
  if (!save_pending(journal)) {
    // Nothing to finish; the folder gets its empty journal file for the saves to come.
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(journal, ec)))
      if (const WriterLock lock(folder_of(journal)); lock.held()) make_journal_file(journal);
    return out;
  }
  const WriterLock lock(folder_of(journal));
  if (!lock.held()) {
    out.outcome = InterruptedSave::Outcome::Failed;
    out.cause = lock.cause();
    return out;
  }
  // Whatever comes of it, the folder keeps an empty journal file for the saves to come.
  struct JournalFileAfter {
    const fs::path& journal;
    ~JournalFileAfter() { make_journal_file(journal); }
  } const journal_file_after{journal};
  SaveJournal read;
  const StoreStatus st = finish_locked(journal, read, out.cause);
  out.what = read.what;
  for (const auto& e : read.entries) out.libraries.push_back(e.target);
  if (st == StoreStatus::Ok) {
    out.outcome = read.state == 'C' ? InterruptedSave::Outcome::Completed : InterruptedSave::Outcome::Undone;
    return out;
  }
  set_aside(journal, out.set_aside_folder);
  out.outcome = out.set_aside_folder.empty() ? InterruptedSave::Outcome::Failed : InterruptedSave::Outcome::SetAside;
  return out;
}

SaveSet::SaveSet(fs::path journal, std::string what) : journal_(std::move(journal)), what_(std::move(what)) {
  g_set_refusal.clear();
  if (g_current_set) {
    opened_ = StoreStatus::IoError;  // sets do not nest
    cause_ = "另一个保存正在进行";
    return;
  }
  lock_.emplace(folder_of(journal_));
  if (!lock_->held()) {
    opened_ = StoreStatus::IoError;
    cause_ = lock_->cause();
  } else {
    SaveJournal read;
    std::string why;
    opened_ = finish_locked(journal_, read, why);
    if (opened_ != StoreStatus::Ok) cause_ = "上次中断的保存未能完成（" + why + "）";
  }
  if (opened_ != StoreStatus::Ok) g_set_refusal = cause_;
  g_current_set = this;
  registered_ = true;
}

const std::string& set_refusal() { return g_set_refusal; }

SaveSet::~SaveSet() {
  if (registered_) g_current_set = nullptr;
}

SaveSet* SaveSet::current() { return g_current_set; }


const SaveSet::File* SaveSet::find(const fs::path& path) const {
  const fs::path key = set_key(path);
  for (const auto& f : files_)
    if (f.path == key) return &f;
  return nullptr;
}

SaveSet::File* SaveSet::find(const fs::path& path) {
  return const_cast<File*>(static_cast<const SaveSet*>(this)->find(path));
}

bool SaveSet::gathered(const fs::path& path) const { return find(path) != nullptr; }


bool SaveSet::recall_find(const fs::path& path, std::size_t record_length, const std::string& identity,
                          std::size_t& found) const {
  if (finds_.empty() || gathered(path)) return false;
  const fs::path key = set_key(path);
  for (const Found& f : finds_) {
    if (f.path != key || f.record_length != record_length || f.identity != identity) continue;
    if (file_identity(path) != f.seen) return false;
    found = f.found;
    return true;
  }
  return false;
}

void SaveSet::remember_find(const fs::path& path, std::size_t record_length, const std::string& identity,
                            std::size_t found, const FileIdentity& seen) {
  if (gathered(path)) return;
  forget_finds(set_key(path));
  finds_.push_back(Found{set_key(path), record_length, identity, found, seen});
}

void SaveSet::forget_finds(const fs::path& key) {
  std::erase_if(finds_, [&](const Found& f) { return f.path == key; });
}

bool SaveSet::gathered_length(const fs::path& path, std::uint64_t& length) const {
  const File* f = find(path);
  if (!f) return false;
  length = f->whole ? f->content.size() : f->length;
  return true;
}

StoreStatus SaveSet::read_gathered(const fs::path& path, std::uint64_t offset, std::vector<std::uint8_t>& out) const {
  const File* f = find(path);
  if (!f) return pread_file(path, offset, out);
  const std::uint64_t length = f->whole ? f->content.size() : f->length;
  if (offset > length || out.size() > length - offset) return StoreStatus::IoError;
  if (f->whole) {
    std::copy_n(f->content.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
    return StoreStatus::Ok;
  }
  const std::uint64_t end = offset + out.size();
  if (offset < f->base_length) {
    std::vector<std::uint8_t> base(static_cast<std::size_t>(std::min(end, f->base_length) - offset));
    if (const StoreStatus st = pread_file(path, offset, base); st != StoreStatus::Ok) return st;
    std::copy(base.begin(), base.end(), out.begin());
  }
  for (const auto& [at, bytes] : f->patches) {
    const std::uint64_t lo = std::max(at, offset), hi = std::min(at + bytes.size(), end);
    if (lo < hi)
      std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(lo - at), hi - lo,
                  out.begin() + static_cast<std::ptrdiff_t>(lo - offset));
  }
  return StoreStatus::Ok;
}

StoreStatus SaveSet::gathered_content(const fs::path& path, std::vector<std::uint8_t>& out) const {
  out.clear();
  const File* f = find(path);
  if (f && f->whole) {
    out = f->content;
    return StoreStatus::Ok;
  }
  std::error_code ec;
  if (!fs::exists(path, ec)) return ec || f ? StoreStatus::IoError : StoreStatus::Ok;
  if (!read_file(path, out)) return StoreStatus::IoError;
  if (!f) return StoreStatus::Ok;
  if (out.size() != f->base_length) return StoreStatus::IoError;  // changed behind the set's back
  out.resize(static_cast<std::size_t>(f->length));
  for (const auto& [at, bytes] : f->patches)
    std::copy(bytes.begin(), bytes.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
  return StoreStatus::Ok;
}

void SaveSet::gather(const fs::path& path, std::vector<std::uint8_t> content) {
  forget_finds(set_key(path));
  if (File* f = find(path)) {
    f->whole = true;
    f->content = std::move(content);
    f->patches.clear();
    return;
  }
  files_.push_back({set_key(path), true, std::move(content), 0, 0, {}});
}

StoreStatus SaveSet::patch(const fs::path& path, std::uint64_t offset, const std::vector<std::uint8_t>& bytes) {
  forget_finds(set_key(path));
  File* f = find(path);
  if (!f) {
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(path, ec);
    if (st.type() == fs::file_type::not_found) {
      files_.push_back({set_key(path), true, {}, 0, 0, {}});  // a new file is written whole
    } else if (st.type() == fs::file_type::regular) {
      const std::uint64_t size = fs::file_size(path, ec);
      if (ec) return StoreStatus::IoError;
      files_.push_back({set_key(path), false, {}, size, size, {}});
    } else {
      return StoreStatus::IoError;
    }
    f = &files_.back();
  }
  if (f->whole) {
    if (offset > f->content.size()) return StoreStatus::IoError;
    if (offset + bytes.size() > f->content.size()) f->content.resize(static_cast<std::size_t>(offset + bytes.size()));
    std::copy(bytes.begin(), bytes.end(), f->content.begin() + static_cast<std::ptrdiff_t>(offset));
    return StoreStatus::Ok;
  }
  if (offset > f->length) return StoreStatus::IoError;
  if (bytes.empty()) return StoreStatus::Ok;
  // Patches that overlap or touch the new one join it, so they never overlap.
  std::uint64_t lo = offset, hi = offset + bytes.size();
  auto& ps = f->patches;
  auto first = std::find_if(ps.begin(), ps.end(), [&](const auto& p) { return p.first + p.second.size() >= offset; });
  auto last = first;
  while (last != ps.end() && last->first <= hi) ++last;
  if (first != last) {
    lo = std::min(lo, first->first);
    hi = std::max(hi, std::prev(last)->first + std::prev(last)->second.size());
  }
  std::vector<std::uint8_t> merged(static_cast<std::size_t>(hi - lo));
  for (auto it = first; it != last; ++it)
    std::copy(it->second.begin(), it->second.end(), merged.begin() + static_cast<std::ptrdiff_t>(it->first - lo));
  std::copy(bytes.begin(), bytes.end(), merged.begin() + static_cast<std::ptrdiff_t>(offset - lo));
  const auto at = ps.erase(first, last);
  ps.insert(at, {lo, std::move(merged)});
  f->length = std::max(f->length, hi);
  return StoreStatus::Ok;
}

StoreStatus SaveSet::fail(std::string cause) {
  cause_ = std::move(cause);
  return StoreStatus::IoError;
}

StoreStatus SaveSet::commit_one_whole(const File& f) {
  if (!writable_or_missing(f.path)) return fail(path_text(f.path) + " 是只读文件");
  std::vector<std::uint8_t> content;
  if (f.whole) {
    content = f.content;
  } else if (gathered_content(f.path, content) != StoreStatus::Ok) {
    return fail(path_text(f.path) + " 未能读取");
  }
  return write_file_atomic(f.path, content) ? StoreStatus::Ok : fail(path_text(f.path) + " 未能写入");
}

namespace {

// The journal entry of a file patched in place: the old bytes under each patch and the
// identity, read from the file, which must still have the length the set found.
std::string in_place_entry(const fs::path& path, std::uint64_t base_length, std::uint64_t length,
                           const std::vector<std::pair<std::uint64_t, std::vector<std::uint8_t>>>& patches,
                           SaveJournal::Entry& e) {
  const std::string failed = path_text(path) + " 未能读取";
  e.in_place = true;
  e.old_length = base_length;
  e.new_length = length;
  const ReadableFile file(path, kAnySize, FollowLinks::No);
  if (!file && file.fault() != ReadFault::NotRegular) return failed;
  const int fd = file.fd();
  std::string why;
  if (!file || file.size() != base_length) why = path_text(path) + " 在保存过程中被改动";
  for (const auto& [at, bytes] : patches) {
    // A run reaching past the old end is two patches, the records replaced and the records
    // appended, so that each has its own hash: an append torn at recovery still finds the
    // replaced records whole.
    const std::uint64_t split = at < base_length ? std::min<std::uint64_t>(bytes.size(), base_length - at) : 0;
    for (const auto& [from, to] : {std::pair<std::uint64_t, std::uint64_t>{0, split}, {split, bytes.size()}}) {
      if (!why.empty() || from == to) continue;
      SaveJournal::Patch p;
      p.offset = at + from;
      p.size = to - from;
      p.hash = fnv1a_add(kFnvStart, bytes.data() + from, static_cast<std::size_t>(to - from));
      if (p.offset < base_length) {
        p.old_bytes.resize(static_cast<std::size_t>(p.size));
        if (!pread_all(fd, p.offset, p.old_bytes.data(), p.old_bytes.size())) why = failed;
      }
      e.patches.push_back(std::move(p));
    }
  }
  if (why.empty() && !identity_of(fd, e, e.identity)) why = failed;
  return why;
}

// Whether the patches (in rising offsets, none overlapping) cover every byte of a file of
// `length` bytes.
bool patches_cover(std::uint64_t length, const std::vector<std::pair<std::uint64_t, std::vector<std::uint8_t>>>& patches) {
  std::uint64_t covered = 0;
  for (const auto& [at, bytes] : patches) {
    if (at > covered || covered >= length) break;
    covered = std::max<std::uint64_t>(covered, at + bytes.size());
  }
  return covered >= length;
}

// Writes the patches into the file and syncs it.
bool write_in_place(const fs::path& path, const std::vector<std::pair<std::uint64_t, std::vector<std::uint8_t>>>& patches) {
  count_write();
  const int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = true;
  for (const auto& [at, bytes] : patches) ok = ok && pwrite_all(fd, at, bytes.data(), bytes.size());
  ok = ok && ::fdatasync(fd) == 0;  // the data and, for an append, the length
  ok = ::close(fd) == 0 && ok;
  return ok;
}

std::optional<fs::path> journal_of(const fs::path& path) {
  const fs::path key = set_key(path);
  const fs::path folder = folder_of(key);
  const std::string name = folder.filename().string();
  if ((name != "sys" && name != "data") || !ends_with_dat(key.filename().string())) return std::nullopt;
  const fs::path sys = folder_of(folder) / "sys";
  std::error_code ec;
  if (fs::symlink_status(sys, ec).type() != fs::file_type::directory ||
      fs::symlink_status(folder, ec).type() != fs::file_type::directory)
    return std::nullopt;
  return sys / kSaveJournalName;
}

}  // namespace

bool joins_save_sets(const fs::path& library, const fs::path& journal) {
  const std::optional<fs::path> own = journal_of(library);
  return own && *own == set_key(journal);
}

StoreStatus SaveSet::commit() {
  if (registered_) g_current_set = nullptr;  // from here on the libraries are written for real
  registered_ = false;
  if (opened_ != StoreStatus::Ok) return opened_;
  if (files_.empty()) return StoreStatus::Ok;
  // The lock must still be the one the folder's lock file gives (not deleted or replaced
  // since the set was opened), or another writer may be in.
  if (!lock_->still_held()) return fail(g_set_refusal = lock_->cause());
  // The journal names each file relative to the program folder, so a folder moved or copied
  // with a save pending finishes its own save; only names the reader accepts are written.
  const fs::path root = program_folder_of(journal_);
  const auto relative = [&](const File& f) { return f.path.lexically_relative(root).generic_string(); };
  // A file whose patches leave none of its old bytes (empty, or one record replaced) has no
  // identity a recovery could know it by: it is rewritten whole.
  for (File& f : files_) {
    if (f.whole || !patches_cover(f.base_length, f.patches)) continue;
    std::vector<std::uint8_t> content;
    if (gathered_content(f.path, content) != StoreStatus::Ok) return fail(path_text(f.path) + " 未能读取");
    f = File{f.path, true, std::move(content), 0, 0, {}};
  }
  // One file rewritten whole is atomic by itself; so is one outside sys and data, which has
  // no journal to go through.
  if (files_.size() == 1 && (files_[0].whole || !target_refusal(relative(files_[0])).empty()))
    return commit_one_whole(files_[0]);
  std::vector<SaveJournal::Entry> entries;
  for (const auto& f : files_) {
    const std::string rel = relative(f);
    SaveJournal::Entry e;
    e.target = rel;
    if (f.whole) e.temp = rel.substr(0, rel.find('/') + 1) + kSetTempPrefix + random_hex16();
    if (!(f.whole ? name_refusal(rel, e.temp) : target_refusal(rel)).empty())
      return fail(path_text(f.path) + " 不在程序目录的 sys 或 data 文件夹中，不能与其他库一起保存");
    if (std::string why = place_refusal(root, rel, e.temp); !why.empty()) return fail(why);
    if (!writable_or_missing(f.path)) return fail(path_text(f.path) + " 是只读文件");
    if (f.whole) {
      e.size = f.content.size();
      e.hash = fnv1a(f.content);
    } else if (std::string why = in_place_entry(f.path, f.base_length, f.length, f.patches, e); !why.empty()) {
      return fail(why);
    }
    entries.push_back(std::move(e));
  }
  for (const auto& e : entries) remove_stale_set_temps(root / u8path(e.target.substr(0, e.target.find('/'))));
  // After the prepared journal is on the disk, a failure rolls back through it: the
  // temporary files go, the patched records get their old bytes.
  auto undo = [&](const std::string& why) {
    SaveJournal read;
    std::string left;
    if (finish_locked(journal_, read, left) != StoreStatus::Ok) return fail(why + "；" + left);
    return fail(why);
  };
  // The steps and their syncs (docs/save-journal.md): the prepared journal (1), each file's
  // records (1 each, fdatasync), then for records alone the emptied journal (1), which is
  // the save's moment. Files rewritten whole add their temporary files (1 each), a sync of
  // each folder they lie in, the committed journal (a new file: 2) and a sync of each
  // folder after the renames.
  if (!write_journal(journal_, encode_intent('P', what_, entries)))
    return fail("保存记录文件 " + path_text(journal_) + " 未能写入");
  std::vector<fs::path> temp_folders;
  for (std::size_t i = 0; i < files_.size(); ++i) {
    if (!files_[i].whole) {
      if (!write_in_place(files_[i].path, files_[i].patches)) return undo(path_text(files_[i].path) + " 未能写入");
      continue;
    }
    bool exists = false;
    const fs::path temp = root / u8path(entries[i].temp);
    if (!write_new_file(temp, files_[i].content, exists)) return undo(path_text(temp) + " 未能写入");
    if (std::find(temp_folders.begin(), temp_folders.end(), folder_of(temp)) == temp_folders.end())
      temp_folders.push_back(folder_of(temp));
  }
  if (temp_folders.empty()) {
    // Records alone: the journal emptied on the disk is the moment of the save.
    if (!clear_journal(journal_)) return undo("保存记录文件 " + path_text(journal_) + " 未能清空");
    return StoreStatus::Ok;
  }
  // The temporary files' names reach the disk before the committed journal names them, and
  // the committed journal (a new file: the folder synced) before any of them is renamed.
  for (const fs::path& f : temp_folders) sync_folder(f / "x");
  if (!write_file_atomic(journal_, encode_intent('C', what_, entries)))
    return undo("保存记录文件 " + path_text(journal_) + " 未能写入");
  // The save has happened; what is left is moving files, which the next open repeats if
  // this one is cut short.
  SaveJournal read;
  std::string why;
  if (finish_locked(journal_, read, why) != StoreStatus::Ok) return fail(why);
  return StoreStatus::Ok;
}

StoreStatus remove_as_save(RecordStore& store, std::size_t r, const std::filesystem::path& journal,
                           std::string what, std::string& cause) {
  SaveSet set(journal, std::move(what));
  StoreStatus st = set.opened();
  if (st == StoreStatus::Ok) st = store.remove(r);
  if (st == StoreStatus::Ok) st = set.commit();
  cause = set.cause();
  return st;
}

}  // namespace wb
