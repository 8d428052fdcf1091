// The key fields of every record of a library of fixed-length records, read without the
// rest of each record: what the well and test lists show. A library of short records is read
// through one reused buffer a block of records at a time; in one of long records (the level
// library's 20 131 bytes) only the key bytes of each record are read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/file_identity.h"
#include "core/common/gbk.h"

#include "core/common/record_store.h"

namespace wb {

// A field of a record: `length` bytes at `offset`.
struct KeyField {
  std::size_t offset;
  std::size_t length;
};

// What a library does with bytes after its last whole record.
enum class PartialRecord {
  Damaged,  // the library is damaged: nothing is read
  Ignored,  // the partial record is left out
};

struct RecordKeys {
  bool exists = false;      // something is at the path
  std::size_t records = 0;  // records read
  std::size_t key_length = 0;
  std::vector<std::uint8_t> bytes;  // the fields of record i (0-based) back to back at i * key_length

  // The fields of record i (0-based), in the order they were asked for.
  std::span<const std::uint8_t> key(std::size_t i) const {
    return std::span<const std::uint8_t>(bytes).subspan(i * key_length, key_length);
  }
};

// How the keys of long records are fetched. Automatic hands many small reads to the kernel
// as one batch (a ring of requests) and reads a few with a call each: setting up the ring
// costs about as much as a hundred read calls. The others force one way (tests compare them).
enum class KeyReads {
  Automatic,
  Batched,    // through the ring whenever the kernel offers one
  ReadCalls,  // a read call per record, never the ring
};

// Reads `fields` of each of the first `max_records` records of `path`. A missing file is Ok
// with no records (exists false); something that is not a regular file, or a file that cannot
// be opened or read to its length, is IoError; a length that is not a whole number of records
// is Damaged under PartialRecord::Damaged. Fields must lie inside the record.
StoreStatus read_record_keys(const std::filesystem::path& path, std::size_t record_length,
                             std::span<const KeyField> fields, RecordKeys& out,
                             PartialRecord partial = PartialRecord::Damaged,
                             std::size_t max_records = std::numeric_limits<std::size_t>::max(),
                             KeyReads reads = KeyReads::Automatic);

// The keys of a library as read_record_keys reads them (automatically), kept while the file
// is unchanged (its FileIdentity, core/common/file_identity.h: inode, size, times and this
// program's library writes): the lists of one action, a list filled again and a save's key
// look-up after a listing read the file once. A few libraries' keys are kept at a time (the
// last ones asked for); a file read while it changed, a missing one and one that could not be
// read are read again next time. `out` is never null; a kept object never changes, so a
// caller may keep what it worked out from it together with the pointer.
using KeptKeys = std::shared_ptr<const RecordKeys>;
StoreStatus kept_record_keys(const std::filesystem::path& path, std::size_t record_length,
                             std::span<const KeyField> fields, KeptKeys& out,
                             PartialRecord partial = PartialRecord::Damaged,
                             std::size_t max_records = std::numeric_limits<std::size_t>::max());

// This program has just written record `at` (1-based) of `path` as `record` (a whole record
// of `record_length` bytes), the file's identity just before the write being `before`: the
// keys kept of the file as it was then follow the write (the record's fields replaced, or
// appended as the next record) and take the file's new identity; any other keys kept of the
// file are dropped. Call it only after a write that went through.
void note_record_written(const std::filesystem::path& path, std::size_t record_length,
                         const std::optional<FileIdentity>& before, std::size_t at,
                         std::span<const std::uint8_t> record);

// The texts of key fields (GBK decoded, padding kept; or trimmed of blanks). A field of
// ASCII bytes reads the same in GBK and UTF-8: its text is a view of the field's own bytes.
// Any other field is decoded once and kept here (a library repeats a well's name in every
// one of its tests). A text is valid while the field's bytes and this object are.
class KeyTexts {
 public:
  KeyTexts();
  ~KeyTexts();
  KeyTexts(const KeyTexts&) = delete;
  KeyTexts& operator=(const KeyTexts&) = delete;

  std::string_view text(std::span<const std::uint8_t> field);
  std::string_view trimmed(std::span<const std::uint8_t> field);

 private:
  // A field's bytes and their text, both kept in the blocks below. The table of them is open
  // (a slot per field, looked for from its hash onwards), so a field decoded costs no
  // allocation of its own: a library lists tens of thousands.
  struct Entry {
    std::uint64_t hash = 0;
    const char* bytes = nullptr;  // nullptr: a free slot
    const char* text = nullptr;
    std::uint32_t bytes_len = 0, text_len = 0;
  };
  std::string_view find_or_add(std::string_view bytes);
  const char* keep(std::string_view s);
  void grow();

  std::vector<Entry> slots_;
  std::size_t used_ = 0;
  std::vector<std::unique_ptr<char[]>> blocks_;  // the kept bytes
  std::size_t kept_ = 0;  // bytes of all blocks
  char* free_ = nullptr;  // the room left in the last block
  std::size_t room_ = 0;
  std::string decoded_;   // reused for each field decoded
};

}  // namespace wb
