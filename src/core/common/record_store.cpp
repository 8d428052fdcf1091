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
  // A folder opens as a stream too, and its end lies at the largest offset there is.
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return false;
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
  if (const SaveSet* set = SaveSet::current(); set && set->gathered(path_)) return true;
  std::error_code ec;
  return fs::is_regular_file(path_, ec);
}

StoreStatus RecordStore::load(std::vector<std::uint8_t>& content) const {
  content.clear();
  if (const SaveSet* set = SaveSet::current(); set && set->gathered(path_)) {
    content = *set->gathered(path_);
    return len_ == 0 || content.size() % len_ != 0 ? StoreStatus::Damaged : StoreStatus::Ok;
  }
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
  if (SaveSet* set = SaveSet::current()) {
    set->gather(path_, content);
    return StoreStatus::Ok;
  }
  return write_file_atomic(path_, content) ? StoreStatus::Ok : StoreStatus::IoError;
}

StoreStatus RecordStore::count(std::size_t& n) const {
  n = 0;
  if (const SaveSet* set = SaveSet::current(); set && set->gathered(path_)) {
    const std::size_t size = set->gathered(path_)->size();
    if (len_ == 0 || size % len_ != 0) return StoreStatus::Damaged;
    n = size / len_;
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
  if (const SaveSet* set = SaveSet::current(); set && set->gathered(path_)) {
    const auto& c = *set->gathered(path_);
    out.assign(c.begin() + static_cast<std::ptrdiff_t>((r - 1) * len_), c.begin() + static_cast<std::ptrdiff_t>(r * len_));
    return StoreStatus::Ok;
  }
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

// ---- multi-file saves ----

namespace {

thread_local SaveSet* g_current_set = nullptr;

constexpr char kJournalMagic[] = "WBSAVE1\n";
constexpr char kSetTempPrefix[] = ".wbsave-";

// FNV-1a, 64 bits: tells the recorded content from any other, not a guard against forgery.
std::uint64_t fnv1a(const std::vector<std::uint8_t>& c) {
  std::uint64_t h = 1469598103934665603ull;
  for (std::uint8_t b : c) h = (h ^ b) * 1099511628211ull;
  return h;
}

fs::path folder_of(const fs::path& p) { return p.has_parent_path() ? p.parent_path() : fs::path("."); }

fs::path set_key(const fs::path& p) {
  std::error_code ec;
  const fs::path a = fs::absolute(p, ec);
  return (ec ? p : a).lexically_normal();
}

fs::path set_temp_name(const fs::path& target) {
  std::random_device rd;
  const std::uint64_t bits = (static_cast<std::uint64_t>(rd()) << 32) ^ rd();
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(bits));
  return folder_of(target) / (std::string(kSetTempPrefix) + hex);
}

bool is_set_temp(const std::string& name) {
  const std::size_t n = sizeof kSetTempPrefix - 1;
  return name.size() == n + 16 && name.compare(0, n, kSetTempPrefix) == 0 &&
         std::all_of(name.begin() + static_cast<std::ptrdiff_t>(n), name.end(),
                     [](unsigned char c) { return std::isxdigit(c) != 0; });
}

struct IntentEntry {
  fs::path target, temp;
  std::uint64_t size = 0, hash = 0;
};

void put_u64(std::vector<std::uint8_t>& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void put_text(std::vector<std::uint8_t>& out, const std::string& s) {
  put_u64(out, s.size());
  out.insert(out.end(), s.begin(), s.end());
}

// Magic, state letter, count, the entries (target, temporary, size, hash), then the hash of
// everything before it.
std::vector<std::uint8_t> encode_intent(char state, const std::vector<IntentEntry>& entries) {
  std::vector<std::uint8_t> out(kJournalMagic, kJournalMagic + sizeof kJournalMagic - 1);
  out.push_back(static_cast<std::uint8_t>(state));
  put_u64(out, entries.size());
  for (const auto& e : entries) {
    put_text(out, e.target.string());
    put_text(out, e.temp.string());
    put_u64(out, e.size);
    put_u64(out, e.hash);
  }
  put_u64(out, fnv1a(out));
  return out;
}

struct Reader {
  const std::vector<std::uint8_t>& c;
  std::size_t pos = 0;
  bool ok = true;
  std::uint64_t u64() {
    if (c.size() - pos < 8) {
      ok = false;
      return 0;
    }
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= static_cast<std::uint64_t>(c[pos + static_cast<std::size_t>(i)]) << (8 * i);
    pos += 8;
    return v;
  }
  std::string text() {
    const std::uint64_t n = u64();
    if (!ok || c.size() - pos < n) {
      ok = false;
      return {};
    }
    std::string s(c.begin() + static_cast<std::ptrdiff_t>(pos), c.begin() + static_cast<std::ptrdiff_t>(pos + n));
    pos += n;
    return s;
  }
};

bool decode_intent(const std::vector<std::uint8_t>& c, char& state, std::vector<IntentEntry>& entries) {
  const std::size_t m = sizeof kJournalMagic - 1;
  if (c.size() < m + 1 + 16 || !std::equal(kJournalMagic, kJournalMagic + m, c.begin())) return false;
  const std::vector<std::uint8_t> body(c.begin(), c.end() - 8);
  Reader tail{c, c.size() - 8};
  if (tail.u64() != fnv1a(body)) return false;
  state = static_cast<char>(c[m]);
  if (state != 'P' && state != 'C') return false;
  Reader r{body, m + 1};
  const std::uint64_t n = r.u64();
  entries.clear();
  for (std::uint64_t i = 0; r.ok && i < n; ++i) {
    IntentEntry e;
    e.target = r.text();
    e.temp = r.text();
    e.size = r.u64();
    e.hash = r.u64();
    if (r.ok) entries.push_back(std::move(e));
  }
  return r.ok && r.pos == body.size();
}

// Whether `p` is a file holding exactly the recorded content.
bool holds(const fs::path& p, std::uint64_t size, std::uint64_t hash) {
  std::error_code ec;
  if (!fs::is_regular_file(fs::symlink_status(p, ec))) return false;
  std::vector<std::uint8_t> c;
  return read_file(p, c) && c.size() == size && fnv1a(c) == hash;
}

bool remove_journal(const fs::path& journal) {
  std::error_code ec;
  fs::remove(journal, ec);
  if (ec) return false;
  sync_folder(journal);
  return true;
}

// Removes ".wbsave-" files in `folder` that no pending save names.
void remove_stale_set_temps(const fs::path& folder) {
  std::error_code ec;
  std::vector<fs::path> stale;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (is_set_temp(it->path().filename().string())) stale.push_back(it->path());
  for (const auto& p : stale) fs::remove(p, ec);
}

}  // namespace

StoreStatus finish_interrupted_save(const fs::path& journal) {
  std::error_code ec;
  if (fs::symlink_status(journal, ec).type() == fs::file_type::not_found) return StoreStatus::Ok;
  if (ec) return StoreStatus::IoError;
  std::vector<std::uint8_t> c;
  char state = 0;
  std::vector<IntentEntry> entries;
  if (!read_file(journal, c) || !decode_intent(c, state, entries)) return StoreStatus::IoError;
  if (state == 'P') {
    // The save never reached its moment: its libraries are untouched.
    for (const auto& e : entries) {
      fs::remove(e.temp, ec);
      if (ec) return StoreStatus::IoError;
    }
    return remove_journal(journal) ? StoreStatus::Ok : StoreStatus::IoError;
  }
  // Committed: check every file before moving any, so a roll that cannot finish changes nothing.
  std::vector<bool> pending(entries.size(), false);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const auto& e = entries[i];
    const auto type = fs::symlink_status(e.temp, ec).type();
    if (type != fs::file_type::not_found) {
      if (!holds(e.temp, e.size, e.hash)) return StoreStatus::IoError;
      pending[i] = true;
    } else if (!holds(e.target, e.size, e.hash)) {
      return StoreStatus::IoError;
    }
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!pending[i]) continue;
    fs::rename(entries[i].temp, entries[i].target, ec);
    if (ec) return StoreStatus::IoError;
    sync_folder(entries[i].target);
  }
  return remove_journal(journal) ? StoreStatus::Ok : StoreStatus::IoError;
}

SaveSet::SaveSet(fs::path journal) : journal_(std::move(journal)) {
  if (g_current_set) {
    opened_ = StoreStatus::IoError;  // sets do not nest
    return;
  }
  opened_ = finish_interrupted_save(journal_);
  g_current_set = this;
  registered_ = true;
}

SaveSet::~SaveSet() {
  if (registered_) g_current_set = nullptr;
}

SaveSet* SaveSet::current() { return g_current_set; }

const std::vector<std::uint8_t>* SaveSet::gathered(const fs::path& path) const {
  const fs::path key = set_key(path);
  for (const auto& f : files_)
    if (f.path == key) return &f.content;
  return nullptr;
}

void SaveSet::gather(const fs::path& path, std::vector<std::uint8_t> content) {
  const fs::path key = set_key(path);
  for (auto& f : files_)
    if (f.path == key) {
      f.content = std::move(content);
      return;
    }
  files_.push_back({key, std::move(content)});
}

StoreStatus SaveSet::commit() {
  if (registered_) g_current_set = nullptr;  // from here on the libraries are written for real
  registered_ = false;
  if (opened_ != StoreStatus::Ok) return opened_;
  if (files_.empty()) return StoreStatus::Ok;
  if (files_.size() == 1) {  // one file is atomic by itself
    const File& f = files_[0];
    if (!writable_or_missing(f.path)) return StoreStatus::IoError;
    return write_file_atomic(f.path, f.content) ? StoreStatus::Ok : StoreStatus::IoError;
  }
  std::vector<IntentEntry> entries;
  for (const auto& f : files_) {
    std::error_code ec;
    if (fs::is_directory(f.path, ec)) return StoreStatus::IoError;
    if (!writable_or_missing(f.path)) return StoreStatus::IoError;
    remove_stale_set_temps(folder_of(f.path));
    entries.push_back({f.path, set_temp_name(f.path), f.content.size(), fnv1a(f.content)});
  }
  std::error_code ec;
  auto undo = [&](std::size_t written) {
    for (std::size_t i = 0; i < written; ++i) fs::remove(entries[i].temp, ec);
    remove_journal(journal_);
    return StoreStatus::IoError;
  };
  if (!write_file_atomic(journal_, encode_intent('P', entries))) return StoreStatus::IoError;
  for (std::size_t i = 0; i < files_.size(); ++i) {
    bool exists = false;
    if (!write_new_file(entries[i].temp, files_[i].content, exists)) return undo(i);
    sync_folder(entries[i].temp);
  }
  if (!write_file_atomic(journal_, encode_intent('C', entries))) return undo(files_.size());
  // The save has happened; what is left is moving files, which the next open repeats if
  // this one is cut short.
  return finish_interrupted_save(journal_);
}

}  // namespace wb
