#include "core/level/level_library.h"

#include <sys/stat.h>

#include <algorithm>
#include <mutex>
#include <optional>
#include <span>
#include <utility>

#include "core/common/layout_keys.h"
#include "core/common/messages.h"
#include "core/common/number_text.h"
#include "core/common/record_fields.h"
#include "core/common/record_keys.h"

namespace wb {

namespace {
// Where the key lies, from the record's table.
const RecordKeyFields kDymKeys = record_key_fields(DymRecord::layout());

// What tells a file unchanged: a write changes its size or modification time, a replacement
// (a deletion renames a new file over it) its inode.
struct FileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  std::int64_t mtime_ns = 0, ctime_ns = 0;
  bool operator==(const FileStamp&) const = default;
};

std::optional<FileStamp> stamp_of(const std::filesystem::path& p) {
  struct stat st {};
  if (::stat(p.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return FileStamp{st.st_dev, st.st_ino, st.st_size,
                   static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                   static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
}

// A record's key as a save compares it (the trimmed texts of well and test), hashed.
std::uint64_t key_hash(const std::string& well, const std::string& test) {
  std::uint64_t h = 1469598103934665603ull;  // FNV-1a
  for (const std::string* s : {&well, &test}) {
    for (unsigned char ch : *s) h = (h ^ ch) * 1099511628211ull;
    h = (h ^ 0x100u) * 1099511628211ull;  // no byte: well "ab" + test "c" is not "a" + "bc"
  }
  return h;
}

// The trimmed well and test of a record's key fields (well first, test last).
std::pair<std::string, std::string> key_texts(std::span<const std::uint8_t> well, std::span<const std::uint8_t> test,
                                              KeyTexts& texts) {
  return {Trim_Blank_Nul(texts.text(well)), Trim_Blank_Nul(texts.text(test))};
}

// The key hashes of the library last searched, with its stamp: a library at the limit has
// 32 767 keys, and reading one from each record costs more than the save itself. A save
// takes them from here while the file is unchanged and updates them for the record it wrote;
// a hash found is checked against the record's own key. 256 KB at the limit.
struct KeyCache {
  std::mutex lock;
  std::filesystem::path path;
  FileStamp stamp;
  std::uint64_t writes = 0;  // library_writes() when they were last true
  std::vector<std::uint64_t> hashes;
};
KeyCache& key_cache() {
  static KeyCache c;
  return c;
}

StoreStatus key_hashes(const std::filesystem::path& path, std::vector<std::uint64_t>& out) {
  out.clear();
  const std::optional<FileStamp> before = stamp_of(path);
  KeyCache& c = key_cache();
  if (before) {
    const std::lock_guard<std::mutex> hold(c.lock);
    if (c.path == path && c.stamp == *before && c.writes == library_writes()) {
      out = c.hashes;
      return StoreStatus::Ok;
    }
  }
  const std::uint64_t writes = library_writes();
  RecordKeys keys;
  const StoreStatus st = read_record_keys(path, kDymRecordSize, kDymKeys.fields, keys);
  if (st != StoreStatus::Ok) return st;
  out.reserve(keys.records);
  KeyTexts texts;
  for (std::size_t i = 0; i < keys.records; ++i) {
    const auto key = keys.key(i);
    const auto [well, test] = key_texts(key.first(kDymKeys.well().length), key.last(kDymKeys.test().length), texts);
    out.push_back(key_hash(well, test));
  }
  const std::optional<FileStamp> after = stamp_of(path);
  if (keys.exists && before && after && *before == *after && writes == library_writes()) {
    const std::lock_guard<std::mutex> hold(c.lock);
    c.path = path;
    c.stamp = *after;
    c.writes = writes;
    c.hashes = out;
  }
  return st;
}

// This program wrote record `at` (1-based) of `path` with `rec` (`written`), or tried to:
// hashes of the file as it was before (`before`) follow; any others are dropped, as are all
// after a write that failed.
void note_written(const std::filesystem::path& path, const std::optional<FileStamp>& before,
                  std::uint64_t writes_before, std::size_t at, const Bytes& rec, bool written) {
  KeyCache& c = key_cache();
  const std::lock_guard<std::mutex> hold(c.lock);
  if (c.path != path) return;
  const std::optional<FileStamp> now = stamp_of(path);
  // Only the record's own write may have happened since the hashes were true: its set writes
  // the record (and, for a library not there before, renames the file into place).
  if (!written || !before || !now || !(c.stamp == *before) || c.writes != writes_before || at < 1 ||
      at > c.hashes.size() + 1) {
    c.path.clear();
    return;
  }
  KeyTexts texts;
  const std::span<const std::uint8_t> b(rec);
  const auto [well, test] = key_texts(b.subspan(kDymKeys.well().offset, kDymKeys.well().length),
                                      b.subspan(kDymKeys.test().offset, kDymKeys.test().length), texts);
  if (at == c.hashes.size() + 1) c.hashes.push_back(0);
  c.hashes[at - 1] = key_hash(well, test);
  c.stamp = *now;
  c.writes = library_writes();
}
}  // namespace

LevelLibrary::LevelLibrary(const ProgramFolder& folder) : store_(folder.sys() / kDymFile, kDymRecordSize) {}

std::filesystem::path LevelLibrary::backup_path() const { return store_.path().parent_path() / kDymBackupFile; }

LimitedStatus LevelLibrary::listing(std::shared_ptr<const LevelListing>& out) const {
  static const auto kNone = std::make_shared<const LevelListing>();
  out = kNone;
  if (file_records_over_limit(store_.path(), kDymRecordSize)) return LimitedStatus::OverLimit;
  KeptKeys kept;
  const StoreStatus st = kept_record_keys(store_.path(), kDymRecordSize, kDymKeys.fields, kept);
  const RecordKeys& keys = *kept;
  if (st != StoreStatus::Ok || !keys.exists) return limited(st);
  if (keys.records == 0) {
    std::error_code ec;
    std::filesystem::remove(store_.path(), ec);
    return LimitedStatus::Ok;
  }
  // The listing last made, while its keys are the library's.
  static std::mutex lock;
  static std::shared_ptr<const LevelListing> last;
  {
    const std::lock_guard<std::mutex> hold(lock);
    if (last && last->source == kept) {
      out = last;
      return LimitedStatus::Ok;
    }
  }
  auto made = std::make_shared<LevelListing>();
  made->source = kept;
  made->texts.reserve(keys.records, keys.key_length * keys.records);
  KeyTexts texts;
  for (std::size_t i = 0; i < keys.records; ++i) {
    const auto key = keys.key(i);
    made->texts.add(texts.text(key.first(kDymKeys.well().length)));
    made->texts.add(texts.text(key.last(kDymKeys.test().length)));
  }
  const std::lock_guard<std::mutex> hold(lock);
  last = made;
  out = std::move(made);
  return LimitedStatus::Ok;
}

LimitedStatus LevelLibrary::list(std::vector<LevelLibraryRow>& rows) const {
  rows.clear();
  std::shared_ptr<const LevelListing> l;
  const LimitedStatus st = listing(l);
  rows.reserve(l->size());
  for (std::size_t i = 0; i < l->size(); ++i)
    rows.push_back({std::string(l->well_name(i)), std::string(l->test_date(i))});
  return st;
}

StoreStatus LevelLibrary::read(int record, DymRecord& out) const {
  if (record < 1) return StoreStatus::IoError;
  Bytes b;
  const StoreStatus st = store_.read(static_cast<std::size_t>(record), b);
  if (st != StoreStatus::Ok) return st;
  auto d = decode_dym(b);
  if (!d) return StoreStatus::IoError;
  out = std::move(*d);
  return StoreStatus::Ok;
}

LimitedStatus LevelLibrary::save(const DymRecord& rec, int& record) {
  const std::string name = stored_key(rec.well_name, kDymKeys.well().length);
  const std::string date = stored_key(rec.test_date, kDymKeys.test().length);
  std::size_t n = 0;
  StoreStatus st = store_.count(n);
  if (st != StoreStatus::Ok) return limited(st);
  if (n > kMaxLibraryRecords) return LimitedStatus::OverLimit;
  // The key is looked for in the key bytes alone (a record is 20 131 bytes), through their
  // hashes; a record whose hash matches is read to compare its key itself.
  std::vector<std::uint64_t> hashes;
  st = key_hashes(store_.path(), hashes);
  if (st != StoreStatus::Ok) return limited(st);
  std::size_t found = 0;
  const std::uint64_t wanted = key_hash(name, date);
  for (std::size_t i = 0; i < hashes.size() && !found; ++i) {
    if (hashes[i] != wanted) continue;
    Bytes b;
    if ((st = store_.read(i + 1, b)) != StoreStatus::Ok) return limited(st);
    KeyTexts texts;
    const std::span<const std::uint8_t> r(b);
    if (key_texts(r.subspan(kDymKeys.well().offset, kDymKeys.well().length),
                  r.subspan(kDymKeys.test().offset, kDymKeys.test().length), texts) == std::make_pair(name, date))
      found = i + 1;
  }
  if (!found && library_full(n)) return LimitedStatus::Full;
  const std::size_t at = found ? found : n + 1;
  const std::optional<FileStamp> before = stamp_of(store_.path());
  const std::uint64_t writes_before = library_writes();
  const std::optional<FileIdentity> identity = file_identity(store_.path());
  const Bytes bytes = encode_dym(rec);
  st = store_.write(at, bytes);
  note_written(store_.path(), before, writes_before, at, bytes, st == StoreStatus::Ok);
  if (st == StoreStatus::Ok) note_record_written(store_.path(), kDymRecordSize, identity, at, bytes);
  if (st == StoreStatus::Ok) record = static_cast<int>(at);
  return limited(st);
}

template <class Change>
StoreStatus LevelLibrary::update(int record, Change change) {
  if (record < 1) return StoreStatus::Ok;  // the test is not linked to a record
  DymRecord d;
  const StoreStatus st = read(record, d);
  if (st != StoreStatus::Ok) return st;
  change(d);
  // The key fields stay as they were: kept keys of the library stay true.
  const std::optional<FileIdentity> before = file_identity(store_.path());
  const Bytes bytes = encode_dym(d);
  const StoreStatus written = store_.write(static_cast<std::size_t>(record), bytes);
  if (written == StoreStatus::Ok)
    note_record_written(store_.path(), kDymRecordSize, before, static_cast<std::size_t>(record), bytes);
  return written;
}

StoreStatus LevelLibrary::save_marker(int record, LevelMarker m, float x) {
  return update(record, [&](DymRecord& d) { d.marks[static_cast<int>(m)] = static_cast<float>(x * kSamplesPerPoint); });
}

StoreStatus LevelLibrary::save_level(int record, float depth, std::int16_t method, float speed) {
  return update(record, [&](DymRecord& d) {
    d.level_depth = depth;
    d.method = method;
    d.sound_speed = speed;
  });
}

StoreStatus LevelLibrary::remove(int record) {
  if (record < 1) return StoreStatus::IoError;
  return store_.remove_via(static_cast<std::size_t>(record), backup_path());
}

std::int16_t cur_rec_after_delete(std::int16_t cur_rec, int removed) {
  if (cur_rec < 1) return cur_rec;
  if (cur_rec == removed) return 0;
  if (cur_rec > removed) return static_cast<std::int16_t>(cur_rec - 1);
  return cur_rec;
}

std::string delete_question(int record) { return delete_records_question(record, record); }

}  // namespace wb
