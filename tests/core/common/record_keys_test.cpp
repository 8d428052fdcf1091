// Reading the key fields of every record: the same bytes whether a library is read in blocks
// of whole records or key by key, across block boundaries, and the refusals.
#include "core/common/record_keys.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

namespace wb {
namespace {

namespace fs = std::filesystem;

class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    path = fs::temp_directory_path() / ("wb_keys_" + std::to_string(rd()) + std::to_string(rd()));
    fs::create_directories(path);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  fs::path path;
};

// Record i holds byte (i * 131 + k * 7) mod 251 at offset k: every record and offset differs.
std::uint8_t byte_at(std::size_t i, std::size_t k) { return static_cast<std::uint8_t>((i * 131 + k * 7) % 251); }

Bytes library(std::size_t record_length, std::size_t records) {
  Bytes b(record_length * records);
  for (std::size_t i = 0; i < records; ++i)
    for (std::size_t k = 0; k < record_length; ++k) b[i * record_length + k] = byte_at(i, k);
  return b;
}

// Short records read in blocks (counts on both sides of a block's worth), long ones key by
// key (counts on both sides of where the batched reads start, and enough to share them out
// among threads); two fields, the second ending
// at the record's end. Long records give the same keys batched and by a read call each.
TEST(RecordKeys, FieldsOfEveryRecordInOrder) {
  TempDir dir;
  struct Case {
    std::size_t length, records;
  };
  for (Case c : {Case{28, 1}, Case{512, 511}, Case{512, 512}, Case{512, 1500}, Case{1445, 400}, Case{4096, 70},
                 Case{4097, 70}, Case{5120, 127}, Case{5120, 300}, Case{20131, 40}, Case{5120, 4100}}) {
    const fs::path p = dir.path / "lib.dat";
    ASSERT_TRUE(write_file_atomic(p, library(c.length, c.records)));
    for (KeyReads reads : {KeyReads::Automatic, KeyReads::Batched, KeyReads::ReadCalls}) {
      SCOPED_TRACE(std::to_string(c.length) + " x " + std::to_string(c.records) + " reads " +
                   std::to_string(static_cast<int>(reads)));
      const std::array<KeyField, 2> fields = {KeyField{0, 16}, KeyField{c.length - 12, 12}};
      RecordKeys keys;
      ASSERT_EQ(read_record_keys(p, c.length, fields, keys, PartialRecord::Damaged, SIZE_MAX, reads), StoreStatus::Ok);
      EXPECT_TRUE(keys.exists);
      ASSERT_EQ(keys.records, c.records);
      ASSERT_EQ(keys.key_length, 28u);
      for (std::size_t i = 0; i < c.records; ++i) {
        const auto k = keys.key(i);
        for (std::size_t j = 0; j < 16; ++j) ASSERT_EQ(k[j], byte_at(i, j)) << i << ' ' << j;
        for (std::size_t j = 0; j < 12; ++j) ASSERT_EQ(k[16 + j], byte_at(i, c.length - 12 + j)) << i << ' ' << j;
      }
      // At most max_records.
      ASSERT_EQ(read_record_keys(p, c.length, fields, keys, PartialRecord::Damaged, 1, reads), StoreStatus::Ok);
      EXPECT_EQ(keys.records, 1u);
      EXPECT_EQ(keys.bytes.size(), 28u);
      EXPECT_EQ(keys.key(0)[3], byte_at(0, 3));
    }
  }
}

TEST(RecordKeys, PartialRecordDamagesOrIsLeftOut) {
  TempDir dir;
  for (std::size_t length : {100u, 5000u}) {
    SCOPED_TRACE(length);
    const fs::path p = dir.path / "lib.dat";
    Bytes b = library(length, 3);
    b.resize(b.size() + length - 1, 'x');
    ASSERT_TRUE(write_file_atomic(p, b));
    const std::array<KeyField, 1> fields = {KeyField{0, 16}};
    RecordKeys keys;
    EXPECT_EQ(read_record_keys(p, length, fields, keys), StoreStatus::Damaged);
    EXPECT_EQ(keys.records, 0u);
    ASSERT_EQ(read_record_keys(p, length, fields, keys, PartialRecord::Ignored), StoreStatus::Ok);
    EXPECT_EQ(keys.records, 3u);
    EXPECT_EQ(keys.key(2)[5], byte_at(2, 5));
  }
}

TEST(RecordKeys, MissingEmptyAndWhatIsNoLibrary) {
  TempDir dir;
  const std::array<KeyField, 1> fields = {KeyField{0, 16}};
  RecordKeys keys;
  EXPECT_EQ(read_record_keys(dir.path / "none.dat", 512, fields, keys), StoreStatus::Ok);
  EXPECT_FALSE(keys.exists);
  EXPECT_EQ(keys.records, 0u);

  ASSERT_TRUE(write_file_atomic(dir.path / "empty.dat", {}));
  EXPECT_EQ(read_record_keys(dir.path / "empty.dat", 512, fields, keys), StoreStatus::Ok);
  EXPECT_TRUE(keys.exists);
  EXPECT_EQ(keys.records, 0u);

  EXPECT_EQ(read_record_keys(dir.path, 512, fields, keys), StoreStatus::IoError);  // a folder
  EXPECT_TRUE(keys.exists);
  // A pipe is refused at once, not waited on.
  const fs::path fifo = dir.path / "pipe.dat";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(read_record_keys(fifo, 512, fields, keys), StoreStatus::IoError);
}

}  // namespace
}  // namespace wb
