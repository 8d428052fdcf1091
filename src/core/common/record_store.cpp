#include "core/common/record_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <random>
#include <system_error>

#include "core/common/paths.h"

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

constexpr char kJournalMagic[] = "WBSAVE2\n";
constexpr char kOldJournalMagic[] = "WBSAVE1\n";  // absolute names, no description
constexpr std::size_t kMagicBytes = sizeof kJournalMagic - 1;
constexpr char kSetTempPrefix[] = ".wbsave-";
constexpr const char* kLibraryFolders[] = {"sys", "data"};

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

// The only files a save set writes: libraries ("*.dat") in sys or data, each through a
// ".wbsave-" temporary file beside it. Empty when `target` and `temp` are such a pair,
// else why not.
std::string name_refusal(const std::string& target, const std::string& temp) {
  std::string tf, tn, pf, pn;
  if (!split_name(target, tf, tn) || !ends_with_dat(tn)) return "“" + target + "”不是程序目录 sys 或 data 文件夹中的库文件";
  if (!split_name(temp, pf, pn) || pf != tf || !is_set_temp(pn)) return "“" + temp + "”不是“" + target + "”的临时文件";
  return {};
}

// Whether the file system lets the pair be acted on without leaving the folder: the sys or
// data folder is a folder (no link), the target and the temporary file are files or missing
// (no link, no folder). Empty when so.
std::string place_refusal(const fs::path& root, const std::string& target, const std::string& temp) {
  std::error_code ec;
  const fs::path folder = root / u8path(target.substr(0, target.find('/')));
  if (fs::symlink_status(folder, ec).type() != fs::file_type::directory)
    return "程序目录中的“" + target.substr(0, target.find('/')) + "”不是文件夹（或是符号链接）";
  for (const std::string& rel : {target, temp}) {
    const auto type = fs::symlink_status(root / u8path(rel), ec).type();
    if (type != fs::file_type::not_found && type != fs::file_type::regular) return "“" + rel + "”不是普通文件（或是符号链接）";
  }
  return {};
}

struct IntentEntry {
  std::string target, temp;  // relative to the program folder, "/" between the parts
  std::uint64_t size = 0, hash = 0;
};

void put_u64(std::vector<std::uint8_t>& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void put_text(std::vector<std::uint8_t>& out, const std::string& s) {
  put_u64(out, s.size());
  out.insert(out.end(), s.begin(), s.end());
}

std::vector<std::uint8_t> encode_intent(char state, const std::string& what, const std::vector<IntentEntry>& entries) {
  std::vector<std::uint8_t> out(kJournalMagic, kJournalMagic + kMagicBytes);
  out.push_back(static_cast<std::uint8_t>(state));
  put_text(out, what);
  put_u64(out, entries.size());
  for (const auto& e : entries) {
    put_text(out, e.target);
    put_text(out, e.temp);
    put_u64(out, e.size);
    put_u64(out, e.hash);
  }
  put_u64(out, fnv1a(out));
  return out;
}

struct Reader {
  const std::vector<std::uint8_t>& c;
  std::size_t end;
  std::size_t pos = 0;
  bool ok = true;
  std::uint64_t u64() {
    if (end - pos < 8) {
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
    if (!ok || end - pos < n) {
      ok = false;
      return {};
    }
    std::string s(c.begin() + static_cast<std::ptrdiff_t>(pos), c.begin() + static_cast<std::ptrdiff_t>(pos + n));
    pos += n;
    return s;
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

}  // namespace

std::vector<std::uint8_t> encode_save_journal(const SaveJournal& j) {
  std::vector<IntentEntry> entries;
  for (const auto& e : j.entries) entries.push_back({e.target, e.temp, e.size, e.hash});
  return encode_intent(j.state, j.what, entries);
}

SaveJournal read_save_journal(const std::vector<std::uint8_t>& c, const fs::path& program_folder) {
  SaveJournal out;
  out.cause = "保存记录文件不完整或已损坏";
  if (c.size() < kMagicBytes + 1 + 16) return out;
  const bool old = std::equal(kOldJournalMagic, kOldJournalMagic + kMagicBytes, c.begin());
  if (!old && !std::equal(kJournalMagic, kJournalMagic + kMagicBytes, c.begin())) return out;
  const std::size_t body = c.size() - 8;
  Reader tail{c, c.size(), body};
  if (tail.u64() != fnv1a(std::vector<std::uint8_t>(c.begin(), c.begin() + static_cast<std::ptrdiff_t>(body))))
    return out;
  out.state = static_cast<char>(c[kMagicBytes]);
  if (out.state != 'P' && out.state != 'C') return out;
  Reader r{c, body, kMagicBytes + 1};
  if (!old) out.what = r.text();
  const std::uint64_t n = r.u64();
  const fs::path root = set_key(program_folder);
  for (std::uint64_t i = 0; r.ok && i < n; ++i) {
    SaveJournal::Entry e;
    e.target = r.text();
    e.temp = r.text();
    e.size = r.u64();
    e.hash = r.u64();
    if (!r.ok) break;
    if (old) {
      e.target = relative_to(e.target, root);
      e.temp = relative_to(e.temp, root);
    }
    out.entries.push_back(std::move(e));
  }
  if (!r.ok || r.pos != body) {
    out.entries.clear();
    return out;
  }
  out.readable = true;
  // Every name must be one a save set writes, each target and temporary file once.
  for (std::size_t i = 0; i < out.entries.size(); ++i) {
    const auto& e = out.entries[i];
    out.cause = name_refusal(e.target, e.temp);
    if (!out.cause.empty()) return out;
    for (std::size_t j = 0; j < i; ++j)
      if (out.entries[j].target == e.target || out.entries[j].temp == e.temp) {
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

bool remove_journal(const fs::path& journal) {
  std::error_code ec;
  fs::remove(journal, ec);
  if (ec) return false;
  sync_folder(journal);
  return true;
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

// Finishes or undoes the journal's save; the writer lock is held. Ok with `cause` empty, or
// IoError with `cause` saying why and nothing changed by the step that failed.
StoreStatus finish_locked(const fs::path& journal, SaveJournal& read, std::string& cause) {
  std::error_code ec;
  if (fs::symlink_status(journal, ec).type() == fs::file_type::not_found) return StoreStatus::Ok;
  const fs::path root = program_folder_of(journal);
  std::vector<std::uint8_t> c;
  if (fs::symlink_status(journal, ec).type() != fs::file_type::regular || !read_file(journal, c)) {
    cause = "保存记录文件不能读取";
    return StoreStatus::IoError;
  }
  read = read_save_journal(c, root);
  if (!read.sound) {
    cause = read.cause;
    return StoreStatus::IoError;
  }
  // Nothing is touched until every name has been checked on the disk.
  for (const auto& e : read.entries)
    if (std::string why = place_refusal(root, e.target, e.temp); !why.empty()) {
      cause = why;
      return StoreStatus::IoError;
    }
  if (read.state == 'P') {
    // The save never reached its moment: its libraries are untouched.
    for (const auto& e : read.entries) {
      fs::remove(root / u8path(e.temp), ec);
      if (ec) {
        cause = "“" + e.temp + "”不能删除";
        return StoreStatus::IoError;
      }
    }
  } else {
    // Committed: check every file before moving any, so a roll that cannot finish changes nothing.
    std::vector<bool> pending(read.entries.size(), false);
    for (std::size_t i = 0; i < read.entries.size(); ++i) {
      const auto& e = read.entries[i];
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
    for (std::size_t i = 0; i < read.entries.size(); ++i) {
      if (!pending[i]) continue;
      fs::rename(root / u8path(read.entries[i].temp), root / u8path(read.entries[i].target), ec);
      if (ec) {
        cause = "“" + read.entries[i].target + "”未能替换";
        return StoreStatus::IoError;
      }
      sync_folder(root / u8path(read.entries[i].target));
    }
  }
  if (!remove_journal(journal)) {
    cause = "保存记录文件不能删除";
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
  for (int n = 1; n < 100; ++n) {
    const fs::path d = sys / (n == 1 ? base : base + "-" + std::to_string(n));
    if (fs::create_directory(d, ec)) {
      dir = d;
      break;
    }
    if (ec) return;
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
      if (ec && fs::copy_file(t, to, ec)) fs::remove(t, ec);
    }
    sync_folder(folder / "x");
  }
  sync_folder(dir / "x");
  moved_to = dir;
}

}  // namespace

StoreStatus finish_interrupted_save(const fs::path& journal) {
  const WriterLock lock(folder_of(journal));
  if (lock.state() == WriterLock::State::Busy) return StoreStatus::IoError;
  SaveJournal read;
  std::string cause;
  return finish_locked(journal, read, cause);
}

std::string InterruptedSave::message() const {
  if (outcome != Outcome::SetAside && outcome != Outcome::Failed) return {};
  std::string files;
  for (const auto& f : libraries) files += (files.empty() ? "" : "、") + f;
  std::string text = "上次中断的保存";
  if (!what.empty()) text += "（" + what + "）";
  text += "未能完成";
  if (!files.empty()) text += "，它要写入的库是 " + files;
  text += "。\n原因：" + cause + "。\n";
  if (outcome == Outcome::SetAside)
    return text + "这些库保持原样；未完成的保存已移到 " + path_text(set_aside_folder) + "，没有删除任何文件。以后的保存照常进行。";
  return text + "它也未能移开，多个库一起的保存暂时不能进行。";
}

InterruptedSave recover_interrupted_save(const fs::path& journal) {
  InterruptedSave out;
  const WriterLock lock(folder_of(journal));
  if (lock.state() == WriterLock::State::Busy) {
    out.outcome = InterruptedSave::Outcome::Failed;
    out.cause = folder_in_use_text(program_folder_of(journal));
    return out;
  }
  std::error_code ec;
  if (fs::symlink_status(journal, ec).type() == fs::file_type::not_found) return out;
  SaveJournal read;
  if (finish_locked(journal, read, out.cause) == StoreStatus::Ok) {
    out.outcome = InterruptedSave::Outcome::Finished;
    return out;
  }
  out.what = read.what;
  for (const auto& e : read.entries) out.libraries.push_back(e.target);
  set_aside(journal, out.set_aside_folder);
  out.outcome = out.set_aside_folder.empty() ? InterruptedSave::Outcome::Failed : InterruptedSave::Outcome::SetAside;
  return out;
}

SaveSet::SaveSet(fs::path journal, std::string what) : journal_(std::move(journal)), what_(std::move(what)) {
  if (g_current_set) {
    opened_ = StoreStatus::IoError;  // sets do not nest
    cause_ = "另一个保存正在进行";
    return;
  }
  lock_.emplace(folder_of(journal_));
  if (lock_->state() == WriterLock::State::Busy) {
    opened_ = StoreStatus::IoError;
    cause_ = folder_in_use_text(program_folder_of(journal_));
  } else {
    SaveJournal read;
    std::string why;
    opened_ = finish_locked(journal_, read, why);
    if (opened_ != StoreStatus::Ok) cause_ = "上次中断的保存未能完成（" + why + "）";
  }
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

StoreStatus SaveSet::fail(std::string cause) {
  cause_ = std::move(cause);
  return StoreStatus::IoError;
}

StoreStatus SaveSet::commit() {
  if (registered_) g_current_set = nullptr;  // from here on the libraries are written for real
  registered_ = false;
  if (opened_ != StoreStatus::Ok) return opened_;
  if (files_.empty()) return StoreStatus::Ok;
  if (files_.size() == 1) {  // one file is atomic by itself
    const File& f = files_[0];
    if (!writable_or_missing(f.path)) return fail(path_text(f.path) + " 是只读文件");
    return write_file_atomic(f.path, f.content) ? StoreStatus::Ok : fail(path_text(f.path) + " 未能写入");
  }
  // The journal names each file relative to the program folder, so a folder moved or copied
  // with a save pending finishes its own save; only names the reader accepts are written.
  const fs::path root = program_folder_of(journal_);
  std::vector<IntentEntry> entries;
  for (const auto& f : files_) {
    const std::string rel = f.path.lexically_relative(root).generic_string();
    const std::string temp = rel.substr(0, rel.find('/') + 1) + kSetTempPrefix + random_hex16();
    if (!name_refusal(rel, temp).empty())
      return fail(path_text(f.path) + " 不在程序目录的 sys 或 data 文件夹中，不能与其他库一起保存");
    if (std::string why = place_refusal(root, rel, temp); !why.empty()) return fail(why);
    if (!writable_or_missing(f.path)) return fail(path_text(f.path) + " 是只读文件");
    entries.push_back({rel, temp, f.content.size(), fnv1a(f.content)});
  }
  for (const auto& e : entries) remove_stale_set_temps(root / u8path(e.target.substr(0, e.target.find('/'))));
  std::error_code ec;
  auto undo = [&](std::size_t written, const std::string& why) {
    for (std::size_t i = 0; i < written; ++i) fs::remove(root / u8path(entries[i].temp), ec);
    remove_journal(journal_);
    return fail(why);
  };
  if (!write_file_atomic(journal_, encode_intent('P', what_, entries)))
    return fail("保存记录文件 " + path_text(journal_) + " 未能写入");
  for (std::size_t i = 0; i < files_.size(); ++i) {
    bool exists = false;
    const fs::path temp = root / u8path(entries[i].temp);
    if (!write_new_file(temp, files_[i].content, exists)) return undo(i, path_text(temp) + " 未能写入");
    sync_folder(temp);
  }
  if (!write_file_atomic(journal_, encode_intent('C', what_, entries)))
    return undo(files_.size(), "保存记录文件 " + path_text(journal_) + " 未能写入");
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
