#include "core/level/level_library.h"

#include <fstream>

#include "core/common/number_text.h"
#include "core/common/record_fields.h"

namespace wb {

LevelLibrary::LevelLibrary(const ProgramFolder& folder) : store_(folder.sys() / kDymFile, kDymRecordSize) {}

std::filesystem::path LevelLibrary::backup_path() const { return store_.path().parent_path() / kDymBackupFile; }

StoreStatus LevelLibrary::list(std::vector<LevelLibraryRow>& rows) const {
  rows.clear();
  std::size_t n = 0;
  const StoreStatus st = store_.count(n);
  if (st != StoreStatus::Ok) return st;
  if (!store_.exists()) return StoreStatus::Ok;
  if (n == 0) {
    std::error_code ec;
    std::filesystem::remove(store_.path(), ec);
    return StoreStatus::Ok;
  }
  // Unbuffered: each key is a 29-byte read, not a buffer's worth of curve bytes.
  std::ifstream in;
  in.rdbuf()->pubsetbuf(nullptr, 0);
  in.open(store_.path(), std::ios::binary);
  if (!in) return StoreStatus::IoError;
  n = std::min<std::size_t>(n, kMaxLevelRecords);
  rows.reserve(n);
  std::array<std::uint8_t, kDymNameWidth + kDymDateWidth> key{};
  for (std::size_t i = 0; i < n; ++i) {
    in.seekg(static_cast<std::streamoff>(i * kDymRecordSize));
    in.read(reinterpret_cast<char*>(key.data()), key.size());
    if (!in) return StoreStatus::IoError;
    ByteReader r(key);
    rows.push_back({get_text_field(r, 0, kDymNameWidth), get_text_field(r, kDymNameWidth, kDymDateWidth)});
  }
  return StoreStatus::Ok;
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

StoreStatus LevelLibrary::save(const DymRecord& rec, int& record) {
  const std::string name = stored_key(rec.well_name, kDymNameWidth);
  const std::string date = stored_key(rec.test_date, kDymDateWidth);
  auto match = [&](const Bytes& b) {
    ByteReader r(b);
    return Trim_Blank_Nul(get_text_field(r, 0, kDymNameWidth)) == name &&
           Trim_Blank_Nul(get_text_field(r, kDymNameWidth, kDymDateWidth)) == date;
  };
  std::size_t found = 0;
  StoreStatus st = store_.find(match, found);
  if (st != StoreStatus::Ok) return st;
  std::size_t n = 0;
  st = store_.count(n);
  if (st != StoreStatus::Ok) return st;
  if (!found && n >= static_cast<std::size_t>(kMaxLevelRecords)) return StoreStatus::IoError;
  const std::size_t at = found ? found : n + 1;
  st = store_.write(at, encode_dym(rec));
  if (st == StoreStatus::Ok) record = static_cast<int>(at);
  return st;
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
