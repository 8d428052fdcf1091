#include "core/level/level_library.h"

#include <sys/stat.h>

#include <algorithm>
#include <mutex>
#include <optional>

#include "core/common/layout_keys.h"
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

// The keys of the library last read, with its stamp: a library at the limit has 32 767 of
// them, and reading one from each record costs more than a save. The grid's listing and a
// save take them from here while the file is unchanged; a save updates them for the record
// it wrote. About 1 MB at the limit.
struct KeyCache {
  std::mutex lock;
  std::filesystem::path path;
  FileStamp stamp;
  RecordKeys keys;
};
KeyCache& key_cache() {
  static KeyCache c;
  return c;
}

StoreStatus library_keys(const std::filesystem::path& path, RecordKeys& out) {
  const std::optional<FileStamp> before = stamp_of(path);
  KeyCache& c = key_cache();
  if (before) {
    const std::lock_guard<std::mutex> hold(c.lock);
    if (c.path == path && c.stamp == *before) {
      out = c.keys;
      return StoreStatus::Ok;
    }
  }
  const StoreStatus st = read_record_keys(path, kDymRecordSize, kDymKeys.fields, out);
  const std::optional<FileStamp> after = stamp_of(path);
  if (st == StoreStatus::Ok && out.exists && before && after && *before == *after) {
    const std::lock_guard<std::mutex> hold(c.lock);
    c.path = path;
    c.stamp = *after;
    c.keys = out;
  }
  return st;
}

// This program wrote record `at` (1-based) of `path` with `rec` (`written`), or tried to:
// keys read of the file as it was before (`before`) follow; any others are dropped, as are
// all after a write that failed.
void note_written(const std::filesystem::path& path, const std::optional<FileStamp>& before, std::size_t at,
                  const Bytes& rec, bool written) {
  KeyCache& c = key_cache();
  const std::lock_guard<std::mutex> hold(c.lock);
  if (c.path != path) return;
  const std::optional<FileStamp> now = stamp_of(path);
  if (!written || !before || !now || !(c.stamp == *before) || at < 1 || at > c.keys.records + 1) {
    c.path.clear();
    return;
  }
  const std::size_t len = c.keys.key_length;
  if (at == c.keys.records + 1) {
    c.keys.bytes.resize(c.keys.bytes.size() + len);
    ++c.keys.records;
  }
  std::size_t to = (at - 1) * len;
  for (const KeyField& f : kDymKeys.fields) {
    std::copy_n(rec.begin() + static_cast<std::ptrdiff_t>(f.offset), f.length,
                c.keys.bytes.begin() + static_cast<std::ptrdiff_t>(to));
    to += f.length;
  }
  c.stamp = *now;
}
}  // namespace

LevelLibrary::LevelLibrary(const ProgramFolder& folder) : store_(folder.sys() / kDymFile, kDymRecordSize) {}

std::filesystem::path LevelLibrary::backup_path() const { return store_.path().parent_path() / kDymBackupFile; }

LimitedStatus LevelLibrary::list(std::vector<LevelLibraryRow>& rows) const {
  rows.clear();
  if (file_records_over_limit(store_.path(), kDymRecordSize)) return LimitedStatus::OverLimit;
  RecordKeys keys;
  const StoreStatus st = library_keys(store_.path(), keys);
  if (st != StoreStatus::Ok || !keys.exists) return limited(st);
  if (keys.records == 0) {
    std::error_code ec;
    std::filesystem::remove(store_.path(), ec);
    return LimitedStatus::Ok;
  }
  rows.reserve(keys.records);
  KeyTexts texts;
  for (std::size_t i = 0; i < keys.records; ++i) {
    const auto key = keys.key(i);
    rows.push_back({texts.text(key.first(kDymKeys.well().length)), texts.text(key.last(kDymKeys.test().length))});
  }
  return LimitedStatus::Ok;
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
  // The key is looked for in the key bytes alone: a record is 20 131 bytes.
  RecordKeys keys;
  st = library_keys(store_.path(), keys);
  if (st != StoreStatus::Ok) return limited(st);
  std::size_t found = 0;
  KeyTexts texts;
  for (std::size_t i = 0; i < keys.records && !found; ++i) {
    const auto key = keys.key(i);
    if (Trim_Blank_Nul(texts.text(key.first(kDymKeys.well().length))) == name &&
        Trim_Blank_Nul(texts.text(key.last(kDymKeys.test().length))) == date)
      found = i + 1;
  }
  if (!found && library_full(n)) return LimitedStatus::Full;
  const std::size_t at = found ? found : n + 1;
  const std::optional<FileStamp> before = stamp_of(store_.path());
  const Bytes bytes = encode_dym(rec);
  st = store_.write(at, bytes);
  note_written(store_.path(), before, at, bytes, st == StoreStatus::Ok);
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
  return store_.write(static_cast<std::size_t>(record), encode_dym(d));
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

std::string delete_question(int record) { return "确实要删除" + num_print(record) + "号记录吗?"; }

}  // namespace wb
