// Keyed record store: one file of fixed-length records numbered from 1, no header.
// Record r occupies bytes (r-1)*L .. r*L-1. Keys (well name, test date) are compared by
// the caller's match function, usually after Trim_Blank_Nul.
//
// Every change rewrites the whole file into a new temporary file in the same folder (a name
// nobody can guess, created exclusively), syncs it to the disk, renames it over the library
// and syncs the folder: a failed write or a power cut leaves the old or the new library,
// never a half-written one. Temporary files of an interrupted save go at the next write.
// A file whose length is not a whole number of records is reported as damaged and is
// never written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/common/bytes.h"

namespace wb {

// Whether a step on a library succeeded; a dropped status is a dropped failure.
enum class [[nodiscard]] StoreStatus { Ok, Damaged, IoError };

// The message texts of a damaged library.
inline constexpr const char* kBadFormatText = "非法的文件格式!";
inline constexpr const char* kBadFormatTitle = "不能打开!";

class RecordStore {
 public:
  using Match = std::function<bool(const Bytes&)>;

  RecordStore(std::filesystem::path path, std::size_t record_length);

  const std::filesystem::path& path() const { return path_; }
  std::size_t record_length() const { return len_; }
  bool exists() const;

  // Number of whole records; a missing file has 0. Damaged when the length is not whole.
  StoreStatus count(std::size_t& n) const;
  // Reads record r (1-based). IoError when r is outside 1..count.
  StoreStatus read(std::size_t r, Bytes& out) const;
  StoreStatus read_all(std::vector<Bytes>& out) const;
  // First record (1-based) for which match() holds; 0 when none.
  StoreStatus find(const Match& match, std::size_t& found) const;

  // Writes record r in 1..count+1 (count+1 appends).
  StoreStatus write(std::size_t r, const Bytes& rec);
  // Replace: overwrites the first matching record and sets `result` to 0, otherwise
  // appends and sets `result` to the new record's number.
  StoreStatus save_replace(const Match& match, const Bytes& rec, std::size_t& result);
  // Removes record r; the records after it move down by one. An r outside 1..count
  // rewrites the library unchanged. When the last record goes, the file is removed.
  StoreStatus remove(std::size_t r);
  // As remove(), but the remaining records are first written whole into `backup` (a file
  // in the same folder, replaced when left over from an interrupted deletion), which is
  // then renamed over the library. An emptied library stays as a file of length 0.
  StoreStatus remove_via(std::size_t r, const std::filesystem::path& backup);
  // Deletes the file (a missing file is fine).
  StoreStatus remove_file();

 private:
  StoreStatus load(std::vector<std::uint8_t>& content) const;
  StoreStatus store(const std::vector<std::uint8_t>& content);

  std::filesystem::path path_;
  std::size_t len_;
};

// Writes `content` to `path` durably through a temporary file in the same folder and a
// rename, first removing temporary files an interrupted write of `path` left behind.
// (RecordStore also refuses to replace a library whose owner-write permission is off.)
[[nodiscard]] bool write_file_atomic(const std::filesystem::path& path, const std::vector<std::uint8_t>& content);
// The same through a temporary file of the caller's choosing, which must not exist (an
// existing file or link there fails the write and is left alone; removed again on failure).
[[nodiscard]] bool write_file_via(const std::filesystem::path& path, const std::filesystem::path& temp,
                                  const std::vector<std::uint8_t>& content);
// Reads a whole file; false when it cannot be opened or read.
[[nodiscard]] bool read_file(const std::filesystem::path& path, std::vector<std::uint8_t>& content);

}  // namespace wb
