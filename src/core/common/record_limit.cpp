#include "core/common/record_limit.h"

#include <system_error>
#include <tuple>

#include "core/common/paths.h"

namespace wb {

std::string library_full_text(std::string_view library) {
  return std::string(library) + "已有" + std::to_string(kMaxLibraryRecords) + "条记录，不能再追加新记录。";
}

std::string over_limit_text(const std::filesystem::path& file, std::size_t records) {
  return "文件" + path_text(file) + "中有" + std::to_string(records) + "条记录，超过了记录编号所能容纳的" +
         std::to_string(kMaxLibraryRecords) + "条，不能使用。";
}

std::size_t file_records_over_limit(const std::filesystem::path& path, std::size_t record_length) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return 0;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  return ec ? 0 : records_over_limit(size, record_length);
}

LimitedStatus room_for_record(const RecordStore& store, const KeyMatch& match) {
  std::size_t n = 0;
  if (const StoreStatus st = store.count(n); st != StoreStatus::Ok) return limited(st);
  if (n > kMaxLibraryRecords) return LimitedStatus::OverLimit;
  if (!library_full(n)) return LimitedStatus::Ok;
  std::size_t found = 0;
  if (const StoreStatus st = store.find(match, found); st != StoreStatus::Ok) return limited(st);
  return found ? LimitedStatus::Ok : LimitedStatus::Full;
}

std::string limit_refusal_text(LimitedStatus s, const RecordStore& store, std::string_view library) {
  if (s == LimitedStatus::Full) return library_full_text(library);
  if (s != LimitedStatus::OverLimit) return {};
  std::size_t n = 0;
  std::ignore = store.count(n);  // a count that fails leaves 0; the file is named all the same
  return over_limit_text(store.path(), n);
}

std::optional<std::string> limit_refusal(const std::vector<RoomCheck>& checks) {
  for (const RoomCheck& c : checks) {
    const LimitedStatus s = room_for_record(c.store, c.match);
    if (s == LimitedStatus::Full || s == LimitedStatus::OverLimit) return limit_refusal_text(s, c.store, c.library);
  }
  return std::nullopt;
}

}  // namespace wb
