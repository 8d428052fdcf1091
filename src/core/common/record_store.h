// Keyed record store: one file of fixed-length records numbered from 1, no header.
// Record r occupies bytes (r-1)*L .. r*L-1. Keys (well name, test date) are compared by
// the caller's match function, usually after Trim_Blank_Nul.
//
// Every change rewrites the whole file into a new temporary file in the same folder (a name
// nobody can guess, created exclusively), syncs it to the disk, renames it over the library
// and syncs the folder: a failed write or a power cut leaves the old or the new library,
// never a half-written one. Temporary files of an interrupted save go at the next write.
// A temporary is "<name>.tmp<16 hex digits>", or ".<hash of the name>.tmp<16 hex digits>"
// when the name is too long for that, so every name of up to 255 bytes can be written.
// A file whose length is not a whole number of records is reported as damaged and is
// never written.
//
// A save that changes several files (a test's efficiency record, its summary and its well
// base record; a balance record with its well base and summary records) goes through a
// SaveSet, so that the program sees all of them changed or none, even after a kill or a
// power cut half way:
//   1. While the set is open, RecordStore gathers the new content of each file in memory
//      (and reads a gathered file back from there) instead of writing it.
//   2. commit() writes an intent file (sys/save.jnl, replaced atomically) in state P
//      ("prepared") naming each library and the temporary file that will replace it
//      (".wbsave-" and 16 random hexadecimal digits, in the library's folder: short, so any
//      library name fits), with the length and FNV-1a hash of the new content; then it
//      writes and syncs each temporary file; then it rewrites the intent file in state C
//      ("committed"): that rename is the moment of the save. Then each temporary file is
//      renamed over its library, and the intent file is removed.
//   3. finish_interrupted_save() runs before anything reads the libraries (at program start
//      and when a set is opened). No intent file: nothing to do. State P: the save never
//      happened; its temporary files are removed (roll back). State C: every temporary
//      file still there is renamed over its library (roll forward); a library whose
//      temporary file is gone must already hold the recorded content. A temporary file or
//      library that matches neither, or an intent file that does not read back whole,
//      makes the roll fail: the intent file stays for the next attempt and the failure is
//      reported, never taken for success.
// Temporary files of single writes ("<name>.tmp…") are never part of a set; ".wbsave-"
// files that no intent file names are removed when a set next writes into their folder.
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
// Reads a whole file; false when it is no regular file (a folder, a device) or cannot be opened or read.
[[nodiscard]] bool read_file(const std::filesystem::path& path, std::vector<std::uint8_t>& content);

// The intent file of multi-file saves, in the program's sys folder.
inline constexpr const char* kSaveJournalName = "save.jnl";

// Completes or undoes a multi-file save a kill interrupted (see the top of this file). Ok
// when there was none or it was rolled forward or back; IoError when it could not be.
StoreStatus finish_interrupted_save(const std::filesystem::path& journal);

// An all-or-nothing save of several files (see the top of this file). Open one on the stack
// around the RecordStore writes of one save, then commit(); a set left uncommitted writes
// nothing. Sets do not nest: while one is open, current() names it, and code that opens
// its own set only when none is open joins the caller's.
class SaveSet {
 public:
  explicit SaveSet(std::filesystem::path journal);
  ~SaveSet();
  SaveSet(const SaveSet&) = delete;
  SaveSet& operator=(const SaveSet&) = delete;

  // Whether an interrupted save could be finished when the set was opened; when not,
  // commit() writes nothing and fails.
  StoreStatus opened() const { return opened_; }
  // Writes every gathered file or none. Ok also when nothing was gathered.
  StoreStatus commit();

  static SaveSet* current();
  // The gathered content of `path`, nullptr when the set holds none.
  const std::vector<std::uint8_t>* gathered(const std::filesystem::path& path) const;
  void gather(const std::filesystem::path& path, std::vector<std::uint8_t> content);

 private:
  struct File {
    std::filesystem::path path;
    std::vector<std::uint8_t> content;
  };
  std::filesystem::path journal_;
  std::vector<File> files_;
  StoreStatus opened_ = StoreStatus::Ok;
  bool registered_ = false;
};

}  // namespace wb
