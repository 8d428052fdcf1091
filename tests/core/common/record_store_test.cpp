// The keyed record store on a small library in a temporary folder. Records are 8 bytes:
// a 4-byte name and a 4-byte date, readable in the test ("W1  0101").
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/common/record_store.h"
#include "core/common/trim.h"

namespace wb {
namespace {

namespace fs = std::filesystem;
constexpr std::size_t kLen = 8;

Bytes rec(const std::string& s) {
  std::string f = s;
  f.resize(kLen, ' ');
  return Bytes(f.begin(), f.end());
}

std::string text(const std::vector<std::uint8_t>& b) { return std::string(b.begin(), b.end()); }

// Key match after trimming blanks and NULs, as the test libraries compare keys.
RecordStore::Match key(const std::string& name, const std::string& date) {
  return [=](const Bytes& r) {
    std::string s = text(r);
    return Trim_Blank_Nul(s.substr(0, 4)) == Trim_Blank_Nul(name) && Trim_Blank_Nul(s.substr(4, 4)) == Trim_Blank_Nul(date);
  };
}

class RecordStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("wb_store_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                        "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    lib_ = dir_ / "Sgt.dat";
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(lib_, fs::perms::owner_all, ec);
    fs::remove_all(dir_, ec);
  }
  void put(const std::string& content) { std::ofstream(lib_, std::ios::binary) << content; }
  std::string content() const {
    std::vector<std::uint8_t> c;
    EXPECT_TRUE(read_file(lib_, c));
    return text(c);
  }
  // Files in the folder: no temporary file may be left behind.
  std::vector<std::string> files() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir_)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
  fs::path dir_, lib_;
};

const std::string kFive = "W1  0101W2  0102W3  0103W4  0104W5  0105";

TEST_F(RecordStoreTest, MissingLibraryIsEmptyAndTheFirstSaveCreatesIt) {
  RecordStore s(lib_, kLen);
  std::size_t n = 99;
  EXPECT_EQ(s.count(n), StoreStatus::Ok);
  EXPECT_EQ(n, 0u);
  std::size_t found = 99;
  EXPECT_EQ(s.find(key("W1", "0101"), found), StoreStatus::Ok);
  EXPECT_EQ(found, 0u);
  std::size_t result = 99;
  ASSERT_EQ(s.save_replace(key("W1", "0101"), rec("W1  0101"), result), StoreStatus::Ok);
  EXPECT_EQ(result, 1u);
  EXPECT_EQ(content(), "W1  0101");
  EXPECT_EQ(files(), std::vector<std::string>{"Sgt.dat"});
}

TEST_F(RecordStoreTest, SavingAnExistingKeyReplacesItInPlace) {
  put(kFive);
  RecordStore s(lib_, kLen);
  // The stored key is "W3  0103"; the new record pads with NULs: equal after trimming.
  std::string padded = std::string("W3\0\0", 4) + "0103";
  std::size_t result = 99;
  ASSERT_EQ(s.save_replace(key(std::string("W3\0\0", 4), " 0103"), Bytes(padded.begin(), padded.end()), result),
            StoreStatus::Ok);
  EXPECT_EQ(result, 0u);
  EXPECT_EQ(content(), "W1  0101W2  0102" + padded + "W4  0104W5  0105");
  EXPECT_EQ(files(), std::vector<std::string>{"Sgt.dat"});
}

TEST_F(RecordStoreTest, NewKeyIsAppended) {
  put(kFive);
  RecordStore s(lib_, kLen);
  std::size_t result = 0;
  // Keys differing in case or by an inner blank are different tests.
  ASSERT_EQ(s.save_replace(key("w1", "0101"), rec("w1  0101"), result), StoreStatus::Ok);
  EXPECT_EQ(result, 6u);
  ASSERT_EQ(s.save_replace(key("W 1", "0101"), rec("W 1 0101"), result), StoreStatus::Ok);
  EXPECT_EQ(result, 7u);
  EXPECT_EQ(content(), kFive + "w1  0101W 1 0101");
}

TEST_F(RecordStoreTest, ReadFindAndWrite) {
  put(kFive);
  RecordStore s(lib_, kLen);
  Bytes r;
  ASSERT_EQ(s.read(4, r), StoreStatus::Ok);
  EXPECT_EQ(text(r), "W4  0104");
  EXPECT_EQ(s.read(0, r), StoreStatus::IoError);
  EXPECT_EQ(s.read(6, r), StoreStatus::IoError);
  std::size_t found = 0;
  ASSERT_EQ(s.find(key("W5", "0105"), found), StoreStatus::Ok);
  EXPECT_EQ(found, 5u);
  ASSERT_EQ(s.write(2, rec("X2  0202")), StoreStatus::Ok);
  ASSERT_EQ(s.write(6, rec("X6  0606")), StoreStatus::Ok);  // count + 1 appends
  EXPECT_EQ(s.write(8, rec("X8  0808")), StoreStatus::IoError);
  EXPECT_EQ(s.write(1, Bytes(5, 'x')), StoreStatus::IoError);  // not a whole record
  EXPECT_EQ(content(), "W1  0101X2  0202W3  0103W4  0104W5  0105X6  0606");
  std::vector<Bytes> all;
  ASSERT_EQ(s.read_all(all), StoreStatus::Ok);
  ASSERT_EQ(all.size(), 6u);
  EXPECT_EQ(text(all[5]), "X6  0606");
}

TEST_F(RecordStoreTest, DeletionMovesTheLaterRecordsDown) {
  put(kFive.substr(0, 32));
  RecordStore s(lib_, kLen);
  ASSERT_EQ(s.remove(2), StoreStatus::Ok);
  EXPECT_EQ(content(), "W1  0101W3  0103W4  0104");
  // A row outside the library rewrites it unchanged.
  ASSERT_EQ(s.remove(0), StoreStatus::Ok);
  ASSERT_EQ(s.remove(4), StoreStatus::Ok);
  EXPECT_EQ(content(), "W1  0101W3  0103W4  0104");
  EXPECT_EQ(files(), std::vector<std::string>{"Sgt.dat"});
}

TEST_F(RecordStoreTest, DeletingTheOnlyRecordRemovesTheLibrary) {
  put("W1  0101");
  RecordStore s(lib_, kLen);
  ASSERT_EQ(s.remove(1), StoreStatus::Ok);
  EXPECT_FALSE(fs::exists(lib_));
}

TEST_F(RecordStoreTest, DeletionThroughTheBackupFile) {
  put(kFive.substr(0, 32));
  const fs::path backup = dir_ / "sgt_bak.dat";
  std::ofstream(backup, std::ios::binary) << "left over from an interrupted deletion";
  RecordStore s(lib_, kLen);
  ASSERT_EQ(s.remove_via(2, backup), StoreStatus::Ok);
  EXPECT_EQ(content(), "W1  0101W3  0103W4  0104");
  EXPECT_EQ(files(), std::vector<std::string>{"Sgt.dat"});  // the backup became the library
  // The last record: an empty library stays as a file of length 0.
  put("W1  0101");
  ASSERT_EQ(s.remove_via(1, backup), StoreStatus::Ok);
  ASSERT_TRUE(fs::exists(lib_));
  EXPECT_EQ(fs::file_size(lib_), 0u);
}

TEST_F(RecordStoreTest, DamagedLibraryIsRefusedAndNeverRewritten) {
  const std::string damaged = kFive.substr(0, 24) + "W4  0";  // 3 records and 5 bytes
  put(damaged);
  const auto mtime = fs::last_write_time(lib_);
  RecordStore s(lib_, kLen);
  std::size_t n = 99, found = 99, result = 99;
  Bytes r;
  std::vector<Bytes> all;
  EXPECT_EQ(s.count(n), StoreStatus::Damaged);
  EXPECT_EQ(s.read(1, r), StoreStatus::Damaged);
  EXPECT_EQ(s.read_all(all), StoreStatus::Damaged);
  EXPECT_EQ(s.find(key("W1", "0101"), found), StoreStatus::Damaged);
  EXPECT_EQ(s.save_replace(key("W1", "0101"), rec("W1  0101"), result), StoreStatus::Damaged);
  EXPECT_EQ(s.save_replace(key("W9", "0909"), rec("W9  0909"), result), StoreStatus::Damaged);
  EXPECT_EQ(s.write(4, rec("W9  0909")), StoreStatus::Damaged);
  EXPECT_EQ(s.remove(1), StoreStatus::Damaged);
  EXPECT_EQ(s.remove_via(1, dir_ / "sgt_bak.dat"), StoreStatus::Damaged);
  EXPECT_EQ(content(), damaged);
  EXPECT_EQ(fs::last_write_time(lib_), mtime);
  EXPECT_EQ(files(), std::vector<std::string>{"Sgt.dat"});
  EXPECT_STREQ(kBadFormatText, "非法的文件格式!");
  EXPECT_STREQ(kBadFormatTitle, "不能打开!");
}

TEST_F(RecordStoreTest, ReadOnlyLibraryIsNotReplaced) {
  put(kFive);
  fs::permissions(lib_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  RecordStore s(lib_, kLen);
  std::size_t result = 0;
  EXPECT_EQ(s.save_replace(key("W9", "0909"), rec("W9  0909"), result), StoreStatus::IoError);
  EXPECT_EQ(s.remove(1), StoreStatus::IoError);
  EXPECT_EQ(result, 0u);  // a failed save never looks like an append
  EXPECT_EQ(content(), kFive);
  EXPECT_EQ(files(), std::vector<std::string>{"Sgt.dat"});
}

TEST_F(RecordStoreTest, AtomicWriteIntoAMissingFolderFailsCleanly) {
  std::vector<std::uint8_t> data = {1, 2, 3};
  EXPECT_FALSE(write_file_atomic(dir_ / "no" / "x.dat", data));
  EXPECT_FALSE(fs::exists(dir_ / "no"));
  ASSERT_TRUE(write_file_atomic(dir_ / "x.dat", data));
  std::vector<std::uint8_t> back;
  ASSERT_TRUE(read_file(dir_ / "x.dat", back));
  EXPECT_EQ(back, data);
  EXPECT_FALSE(read_file(dir_ / "missing.dat", back));
}

// A folder where a file is expected is no file to read (its stream's end is the largest offset).
TEST_F(RecordStoreTest, ReadingAFolderFailsInsteadOfAllocatingItsEnd) {
  fs::create_directories(dir_ / "x.dat");
  std::vector<std::uint8_t> back;
  EXPECT_FALSE(read_file(dir_ / "x.dat", back));
}

}  // namespace
}  // namespace wb
