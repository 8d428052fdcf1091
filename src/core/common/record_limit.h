// The record limit every keyed library shares. Records are numbered with 16-bit integers
// (the grids' rows, the record numbers boxes show and stored links hold, the print marks),
// so a library holds at most 32 767 records. A save that would append the 32 768th is
// refused with library_full_text; a file holding more records, made by another program or
// joined from several, is refused whole with over_limit_text instead of being shown cut.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/key_match.h"
#include "core/common/record_store.h"

namespace wb {

inline constexpr std::size_t kMaxLibraryRecords = 32767;

// "<library>已有32767条记录，不能再追加新记录。" — `library` names the file as the user knows
// it ("设计记录文件", "功图数据主库").
std::string library_full_text(std::string_view library);
// A file of more records than the limit: names the file and its record count.
std::string over_limit_text(const std::filesystem::path& file, std::size_t records);

// Whether a library of `records` records can take no further record.
inline bool library_full(std::size_t records) { return records >= kMaxLibraryRecords; }

// The whole records of a file of `bytes` bytes beyond the limit; 0 when within it.
inline std::size_t records_over_limit(std::uintmax_t bytes, std::size_t record_length) {
  const std::uintmax_t n = bytes / record_length;
  return n > kMaxLibraryRecords ? static_cast<std::size_t>(n) : 0;
}
// The same for the file at `path` (0 when it is missing or cannot be sized).
std::size_t file_records_over_limit(const std::filesystem::path& path, std::size_t record_length);

// A library step the record limit can refuse: the store's own outcomes, a library that is
// full (an append refused) and a file of more records than the limit (refused whole).
enum class [[nodiscard]] LimitedStatus { Ok, Damaged, IoError, Full, OverLimit };
inline LimitedStatus limited(StoreStatus s) {
  switch (s) {
    case StoreStatus::Ok: return LimitedStatus::Ok;
    case StoreStatus::Damaged: return LimitedStatus::Damaged;
    default: return LimitedStatus::IoError;
  }
}

// Whether `store` can take a record of the key `match` finds: Ok when the key is there (it
// is replaced) or the library is below the limit, Full for a new key in a full library,
// OverLimit for a file of more records than the limit, the store's own failures as they
// are. Only a full library is searched. A save of several libraries asks this of each
// before it writes any.
LimitedStatus room_for_record(const RecordStore& store, const KeyMatch& match);
// What the user is told of a refusal by the limit: library_full_text(library) for Full,
// over_limit_text naming the file for OverLimit; empty for any other status.
std::string limit_refusal_text(LimitedStatus s, const RecordStore& store, std::string_view library);

// One library of a save, the key its record goes under and the library's name for the user.
struct RoomCheck {
  RecordStore store;
  KeyMatch match;
  std::string library;
};
// The message of the first library the limit refuses (Full or OverLimit); no value when
// each has room. A library that cannot be read passes here: the save meets it and says so.
std::optional<std::string> limit_refusal(const std::vector<RoomCheck>& checks);

}  // namespace wb
