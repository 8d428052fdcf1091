// Reading the key fields of every record: the same bytes whether a library is read in blocks
// of whole records or key by key, across block boundaries, and the refusals.
#include "core/common/record_keys.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
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

// Short records read in blocks (counts on both sides of a block's worth, and a file of more
// than 8 MB whose blocks are shared out among threads), long ones key by
// key (counts on both sides of where the batched reads start, and enough to share them out
// among threads); two fields, the second ending
// at the record's end. Long records give the same keys batched and by a read call each.
TEST(RecordKeys, FieldsOfEveryRecordInOrder) {
  TempDir dir;
  struct Case {
    std::size_t length, records;
  };
  for (Case c : {Case{28, 1}, Case{512, 511}, Case{512, 512}, Case{512, 1500}, Case{1445, 400}, Case{4096, 70},
                 Case{4097, 70}, Case{5120, 127}, Case{5120, 300}, Case{20131, 40}, Case{5120, 4100},
                 Case{1445, 6000}}) {
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


// Rewrites `p` in place (same inode, not through a library write) with `bytes`, its
// modification time set `ahead` seconds past what it was (0: put back, so nothing tells it).
void rewrite_in_place(const fs::path& p, const Bytes& bytes, int ahead) {
  struct stat before {};
  ASSERT_EQ(::stat(p.c_str(), &before), 0);
  {
    std::fstream out(p, std::ios::binary | std::ios::in | std::ios::out);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good());
  }
  timespec times[2] = {before.st_atim, before.st_mtim};
  times[1].tv_sec += ahead;
  ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, 0), 0);
}

// The keys as a fresh read gives them.
RecordKeys fresh(const fs::path& p, std::size_t length, std::span<const KeyField> fields) {
  RecordKeys k;
  EXPECT_EQ(read_record_keys(p, length, fields, k), StoreStatus::Ok);
  return k;
}

// Kept keys are the same object while the file is unchanged; any change the identity sees
// (a library write of this program, a new file renamed over it, another size or time) reads
// the file again. Each library, record length and set of fields is kept apart.
TEST(KeptKeys, KeptWhileUnchangedReadAgainOnAnyChange) {
  TempDir dir;
  const fs::path p = dir.path / "lib.dat";
  const std::array<KeyField, 2> fields = {KeyField{0, 16}, KeyField{500, 12}};
  ASSERT_TRUE(write_file_atomic(p, library(512, 40)));
  KeptKeys a, b;
  ASSERT_EQ(kept_record_keys(p, 512, fields, a), StoreStatus::Ok);
  ASSERT_EQ(kept_record_keys(p, 512, fields, b), StoreStatus::Ok);
  EXPECT_EQ(a.get(), b.get());
  EXPECT_EQ(a->bytes, fresh(p, 512, fields).bytes);

  // Other bytes of the same length that leave size and time as they were: still kept (the
  // proof that nothing was read again).
  Bytes other = library(512, 40);
  std::reverse(other.begin(), other.end());
  rewrite_in_place(p, other, 0);
  ASSERT_EQ(kept_record_keys(p, 512, fields, b), StoreStatus::Ok);
  EXPECT_EQ(b.get(), a.get());

  // Another time: read again.
  rewrite_in_place(p, other, 2);
  ASSERT_EQ(kept_record_keys(p, 512, fields, b), StoreStatus::Ok);
  EXPECT_NE(b.get(), a.get());
  EXPECT_EQ(b->bytes, fresh(p, 512, fields).bytes);

  // A record written through the store (in place, within the same second perhaps).
  a = b;
  Bytes rec(512, 'Q');
  ASSERT_EQ(RecordStore(p, 512).write(3, rec), StoreStatus::Ok);
  ASSERT_EQ(kept_record_keys(p, 512, fields, b), StoreStatus::Ok);
  EXPECT_NE(b.get(), a.get());
  EXPECT_EQ(b->key(2)[0], 'Q');
  EXPECT_EQ(b->bytes, fresh(p, 512, fields).bytes);

  // Another length, another file, other fields, a partial record ignored: each its own.
  // (Any library write of this program reads every library again: the second is written
  // before the first is read.)
  ASSERT_TRUE(write_file_atomic(dir.path / "two.dat", library(512, 40)));
  ASSERT_EQ(kept_record_keys(p, 512, fields, a), StoreStatus::Ok);
  KeptKeys c;
  ASSERT_EQ(kept_record_keys(dir.path / "two.dat", 512, fields, c), StoreStatus::Ok);
  EXPECT_NE(c->bytes, a->bytes);
  const std::array<KeyField, 1> one = {KeyField{0, 16}};
  ASSERT_EQ(kept_record_keys(p, 512, one, c), StoreStatus::Ok);
  EXPECT_EQ(c->key_length, 16u);
  const std::array<KeyField, 2> in_half = {KeyField{0, 16}, KeyField{200, 12}};
  ASSERT_EQ(kept_record_keys(p, 256, in_half, c), StoreStatus::Ok);
  EXPECT_EQ(c->records, 80u);
  // Fields that do not lie inside the record are refused, never read past it.
  EXPECT_EQ(kept_record_keys(p, 256, fields, c), StoreStatus::IoError);
  ASSERT_EQ(kept_record_keys(p, 512, fields, b), StoreStatus::Ok);
  EXPECT_EQ(b.get(), a.get());

  // A partial record: damaged, or left out; never kept from before.
  Bytes longer = library(512, 40);
  longer.resize(longer.size() + 100, 'x');
  ASSERT_TRUE(write_file_atomic(p, longer));
  EXPECT_EQ(kept_record_keys(p, 512, fields, b), StoreStatus::Damaged);
  EXPECT_EQ(b->records, 0u);
  ASSERT_EQ(kept_record_keys(p, 512, fields, b, PartialRecord::Ignored), StoreStatus::Ok);
  EXPECT_EQ(b->records, 40u);

  // Gone: no keys; back: read.
  fs::remove(p);
  ASSERT_EQ(kept_record_keys(p, 512, fields, b), StoreStatus::Ok);
  EXPECT_FALSE(b->exists);
  EXPECT_EQ(b->records, 0u);
  ASSERT_TRUE(write_file_atomic(p, {}));
  ASSERT_EQ(kept_record_keys(p, 512, fields, b), StoreStatus::Ok);
  EXPECT_TRUE(b->exists);
  EXPECT_EQ(b->records, 0u);
}

// A record this program wrote is followed by the kept keys: replaced or appended they are
// the file's keys afterwards, and a record replaced under the same key leaves the same
// object. Keys kept of the file before another change are dropped, not followed.
TEST(KeptKeys, FollowThisProgramsRecordWrites) {
  TempDir dir;
  const fs::path p = dir.path / "lib.dat";
  const std::array<KeyField, 2> fields = {KeyField{4, 8}, KeyField{100, 4}};
  ASSERT_TRUE(write_file_atomic(p, library(128, 20)));
  KeptKeys kept;
  ASSERT_EQ(kept_record_keys(p, 128, fields, kept), StoreStatus::Ok);
  struct Write {
    std::size_t at;
    char fill;
    bool same_key;  // the record keeps its key bytes
  };
  for (Write w : {Write{5, 'a', false}, Write{21, 'b', false}, Write{5, 'a', true}, Write{22, 'c', false},
                  Write{1, 'd', false}}) {
    SCOPED_TRACE(w.at);
    Bytes rec(128, static_cast<std::uint8_t>(w.fill));
    rec[50] = static_cast<std::uint8_t>(w.at);  // bytes outside the key change anyway
    const std::optional<FileIdentity> before = file_identity(p);
    ASSERT_EQ(RecordStore(p, 128).write(w.at, rec), StoreStatus::Ok);
    note_record_written(p, 128, before, w.at, rec);
    KeptKeys now;
    ASSERT_EQ(kept_record_keys(p, 128, fields, now), StoreStatus::Ok);
    EXPECT_EQ(now.get() == kept.get(), w.same_key);
    EXPECT_EQ(now->records, fresh(p, 128, fields).records);
    EXPECT_EQ(now->bytes, fresh(p, 128, fields).bytes);
    kept = now;
  }

  // Changed by another program since the keys were kept: the write is not followed onto them.
  Bytes other = library(128, 22);
  std::reverse(other.begin(), other.end());
  rewrite_in_place(p, other, 3);
  const std::optional<FileIdentity> before = file_identity(p);
  Bytes rec(128, 'e');
  ASSERT_EQ(RecordStore(p, 128).write(2, rec), StoreStatus::Ok);
  note_record_written(p, 128, before, 2, rec);
  KeptKeys now;
  ASSERT_EQ(kept_record_keys(p, 128, fields, now), StoreStatus::Ok);
  EXPECT_NE(now.get(), kept.get());
  EXPECT_EQ(now->bytes, fresh(p, 128, fields).bytes);
}

}  // namespace
}  // namespace wb
