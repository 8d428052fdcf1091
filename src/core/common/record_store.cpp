#include "core/common/record_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>
#include <system_error>

namespace wb {

namespace fs = std::filesystem;

bool read_file(const fs::path& path, std::vector<std::uint8_t>& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  if (size < 0) return false;
  in.seekg(0, std::ios::beg);
  content.assign(static_cast<std::size_t>(size), 0);
  if (size > 0 && !in.read(reinterpret_cast<char*>(content.data()), size)) return false;
  return true;
}

namespace {

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

// Temporary files of `path` are its prefix followed by letters and digits (hexadecimal
// now, decimal from older saves).
bool is_temp_of(const std::string& name, const std::string& base) {
  const std::string prefix = temp_prefix(base);
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return false;
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                     [](unsigned char c) { return std::isalnum(c) != 0; });
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
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Creates `tmp` (never an existing path, never through a link), writes and syncs it. The file
// is removed again when any step fails. EEXIST is reported through `exists`.
bool write_new_file(const fs::path& tmp, const std::vector<std::uint8_t>& content, bool& exists) {
  exists = false;
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) {
    exists = errno == EEXIST;
    return false;
  }
  bool ok = write_all(fd, content);
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok) {
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

bool rename_into_place(const fs::path& tmp, const fs::path& path) {
  std::error_code ec;
  fs::rename(tmp, path, ec);
  if (ec) {
    fs::remove(tmp, ec);
    return false;
  }
  sync_folder(path);
  return true;
}

}  // namespace

bool write_file_atomic(const fs::path& path, const std::vector<std::uint8_t>& content) {
  remove_stale_temp_files(path);
  for (int attempt = 0; attempt < 8; ++attempt) {
    const fs::path tmp = random_temp_name(path);
    bool exists = false;
    if (write_new_file(tmp, content, exists)) return rename_into_place(tmp, path);
    if (!exists) return false;
  }
  return false;
}

bool write_file_via(const fs::path& path, const fs::path& tmp, const std::vector<std::uint8_t>& content) {
  bool exists = false;
  if (!write_new_file(tmp, content, exists)) return false;
  return rename_into_place(tmp, path);
}

RecordStore::RecordStore(fs::path path, std::size_t record_length) : path_(std::move(path)), len_(record_length) {}

bool RecordStore::exists() const {
  std::error_code ec;
  return fs::is_regular_file(path_, ec);
}

StoreStatus RecordStore::load(std::vector<std::uint8_t>& content) const {
  content.clear();
  std::error_code ec;
  if (!fs::exists(path_, ec)) return ec ? StoreStatus::IoError : StoreStatus::Ok;
  if (!fs::is_regular_file(path_, ec)) return StoreStatus::IoError;
  if (!read_file(path_, content)) return StoreStatus::IoError;
  if (len_ == 0 || content.size() % len_ != 0) return StoreStatus::Damaged;
  return StoreStatus::Ok;
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
  return write_file_atomic(path_, content) ? StoreStatus::Ok : StoreStatus::IoError;
}

StoreStatus RecordStore::count(std::size_t& n) const {
  n = 0;
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
  std::ifstream in(path_, std::ios::binary);
  if (!in) return StoreStatus::IoError;
  in.seekg(static_cast<std::streamoff>((r - 1) * len_));
  out.assign(len_, 0);
  if (!in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(len_))) return StoreStatus::IoError;
  return StoreStatus::Ok;
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

StoreStatus RecordStore::find(const Match& match, std::size_t& found) const {
  found = 0;
  std::vector<Bytes> recs;
  StoreStatus st = read_all(recs);
  if (st != StoreStatus::Ok) return st;
  for (std::size_t i = 0; i < recs.size(); ++i)
    if (match(recs[i])) {
      found = i + 1;
      break;
    }
  return StoreStatus::Ok;
}

StoreStatus RecordStore::write(std::size_t r, const Bytes& rec) {
  if (rec.size() != len_) return StoreStatus::IoError;
  std::vector<std::uint8_t> content;
  StoreStatus st = load(content);
  if (st != StoreStatus::Ok) return st;
  std::size_t n = content.size() / len_;
  if (r < 1 || r > n + 1) return StoreStatus::IoError;
  if (r == n + 1) content.resize(content.size() + len_);
  std::copy(rec.begin(), rec.end(), content.begin() + static_cast<std::ptrdiff_t>((r - 1) * len_));
  return store(content);
}

StoreStatus RecordStore::save_replace(const Match& match, const Bytes& rec, std::size_t& result) {
  result = 0;
  if (rec.size() != len_) return StoreStatus::IoError;
  std::vector<std::uint8_t> content;
  StoreStatus st = load(content);
  if (st != StoreStatus::Ok) return st;
  std::size_t n = content.size() / len_;
  for (std::size_t i = 0; i < n; ++i) {
    Bytes s(content.begin() + static_cast<std::ptrdiff_t>(i * len_),
            content.begin() + static_cast<std::ptrdiff_t>((i + 1) * len_));
    if (match(s)) {
      std::copy(rec.begin(), rec.end(), content.begin() + static_cast<std::ptrdiff_t>(i * len_));
      return store(content);
    }
  }
  content.insert(content.end(), rec.begin(), rec.end());
  st = store(content);
  if (st == StoreStatus::Ok) result = n + 1;
  return st;
}

StoreStatus RecordStore::remove(std::size_t r) {
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
  fs::remove(path_, ec);
  return ec ? StoreStatus::IoError : StoreStatus::Ok;
}

}  // namespace wb
