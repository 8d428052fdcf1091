#include "core/level/level_library.h"

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

LimitedStatus LevelLibrary::list(std::vector<LevelLibraryRow>& rows) const {
  rows.clear();
  if (file_records_over_limit(store_.path(), kDymRecordSize)) return LimitedStatus::OverLimit;
  RecordKeys keys;
  const StoreStatus st = read_record_keys(store_.path(), kDymRecordSize, kDymKeys.fields, keys);
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
  st = read_record_keys(store_.path(), kDymRecordSize, kDymKeys.fields, keys);
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
  st = store_.write(at, encode_dym(rec));
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

std::string delete_question(int record) { return delete_records_question(record, record); }

}  // namespace wb
