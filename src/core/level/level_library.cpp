#include "core/level/level_library.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <utility>

#include "core/common/key_match.h"
#include "core/common/layout_keys.h"
#include "core/common/messages.h"
#include "core/common/number_text.h"
#include "core/common/record_fields.h"
#include "core/common/record_keys.h"

namespace wb {

namespace {
// Where the key lies, from the record's table.
const RecordKeyFields kDymKeys = record_key_fields(DymRecord::layout());
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
  // The key is looked for in the key bytes alone (a record is 20 131 bytes), kept while the
  // library is unchanged and following this program's own writes, compared as stored.
  KeptKeys kept;
  st = kept_record_keys(store_.path(), kDymRecordSize, kDymKeys.fields, kept);
  if (st != StoreStatus::Ok) return limited(st);
  const std::size_t well_length = kDymKeys.well().length;
  const KeyMatch key({{{0, well_length}, name}, {{well_length, kDymKeys.test().length}, date}}, KeyTrim::BlanksAndNuls);
  std::size_t found = 0;
  for (std::size_t i = 0; i < kept->records && !found; ++i)
    if (key(kept->key(i))) found = i + 1;
  if (!found && library_full(n)) return LimitedStatus::Full;
  const std::size_t at = found ? found : n + 1;
  const std::optional<FileIdentity> identity = file_identity(store_.path());
  const Bytes bytes = encode_dym(rec);
  st = store_.write(at, bytes);
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
