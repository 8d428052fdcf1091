// Durable library writes: the new content is synced before the rename and the folder after
// it; temporary files are new files nobody can guess or plant a link at; temporary files of
// an interrupted save are cleared by the next write.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/common/record_store.h"
#include "sync_recorder.h"

namespace wb {
namespace {

namespace fs = std::filesystem;

// While set, every fsync of this test program is recorded by the path of its descriptor.
std::vector<std::string>* g_synced = nullptr;

class DurableWriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::canonical(fs::temp_directory_path()) /
           ("wb_durable_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    lib_ = dir_ / "Sgt.dat";
  }
  const test::ObserveSyncs observe_{[](int fd, bool data_only) {
    if (g_synced && !data_only) g_synced->push_back(test::fd_path(fd));
  }};
  void TearDown() override {
    g_synced = nullptr;
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::vector<std::string> files() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir_)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
  fs::path dir_, lib_;
};

TEST_F(DurableWriteTest, TheFileIsSyncedBeforeTheRenameAndTheFolderAfterIt) {
  std::vector<std::string> synced;
  g_synced = &synced;
  RecordStore s(lib_, 4);
  ASSERT_EQ(s.write(1, Bytes{'W', '1', ' ', ' '}), StoreStatus::Ok);
  g_synced = nullptr;
  ASSERT_EQ(synced.size(), 2u);
  // The temporary file, synced while it still had its own name, then the folder.
  EXPECT_EQ(fs::path(synced[0]).parent_path(), dir_);
  EXPECT_EQ(fs::path(synced[0]).filename().string().rfind("Sgt.dat.tmp", 0), 0u) << synced[0];
  EXPECT_EQ(synced[1], dir_.string());
}

TEST_F(DurableWriteTest, TemporaryFilesOfAnInterruptedSaveGoAtTheNextWrite) {
  for (const char* name : {"Sgt.dat.tmp4711", "Sgt.dat.tmp00000000deadbeef", "Sgt.dat.tmp1"})
    std::ofstream(dir_ / name) << "half a library";
  // Files of the user's that only begin like a temporary name stay.
  for (const char* name : {"Sgt.dat.tmp.keep", "Sgt.dat.tmpBackup", "Sgt.dat.tmpold"})
    std::ofstream(dir_ / name) << "not ours";
  std::ofstream(dir_ / "Dnt.dat.tmp4711") << "another library's";
  const std::vector<std::string> kept{"Dnt.dat.tmp4711", "Sgt.dat", "Sgt.dat.tmp.keep", "Sgt.dat.tmpBackup",
                                      "Sgt.dat.tmpold"};
  RecordStore s(lib_, 4);
  ASSERT_EQ(s.write(1, Bytes{'W', '1', ' ', ' '}), StoreStatus::Ok);
  EXPECT_EQ(files(), kept);
  // A deletion writes the library too.
  std::ofstream(dir_ / "Sgt.dat.tmp99") << "half a library";
  ASSERT_EQ(s.remove_via(5, dir_ / "sgt_bak.dat"), StoreStatus::Ok);
  EXPECT_EQ(files(), kept);
}

// A link planted at the temporary path is never followed: the write fails and the file the
// link points at keeps its content.
TEST_F(DurableWriteTest, ALinkAtTheTemporaryPathIsNeverFollowed) {
  const fs::path outside = dir_ / "outside.txt";
  std::ofstream(outside) << "precious";
  std::ofstream(lib_) << "OLD1";
  const fs::path tmp = dir_ / "planted.tmp";
  fs::create_symlink(outside, tmp);
  EXPECT_FALSE(write_file_via(lib_, tmp, Bytes{'N', 'E', 'W', '1'}));
  std::vector<std::uint8_t> c;
  ASSERT_TRUE(read_file(outside, c));
  EXPECT_EQ(std::string(c.begin(), c.end()), "precious");
  ASSERT_TRUE(read_file(lib_, c));
  EXPECT_EQ(std::string(c.begin(), c.end()), "OLD1");
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(lib_)));
}

TEST_F(DurableWriteTest, TemporaryNamesCannotBeGuessed) {
  std::vector<std::string> synced;
  g_synced = &synced;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(write_file_atomic(lib_, Bytes{'x'}));
  g_synced = nullptr;
  std::vector<std::string> temps;
  for (const auto& p : synced)
    if (fs::path(p).parent_path() == dir_) temps.push_back(fs::path(p).filename().string());
  ASSERT_EQ(temps.size(), 3u);
  for (const auto& t : temps) EXPECT_GE(t.size(), std::string("Sgt.dat.tmp").size() + 16) << t;
  EXPECT_NE(temps[0], temps[1]);
  EXPECT_NE(temps[1], temps[2]);
}

// Names up to the file system's 255 bytes are written; the temporary of a long name still
// fits, differs from another long name's, and is cleared by the next write of its file only.
TEST_F(DurableWriteTest, NamesUpTo255BytesAreWrittenAndTheirTemporariesCleared) {
  std::string chinese;
  for (int k = 0; k < 78; ++k) chinese += "井";  // 234 bytes
  for (const std::size_t extra : {1u, 2u, 10u, 17u, 21u}) {  // file names of 235 … 255 bytes
    const std::string name = chinese + std::string(extra, 'x');
    ASSERT_LE(name.size(), 255u);
    const Bytes data{'A', static_cast<std::uint8_t>(extra)};
    ASSERT_TRUE(write_file_atomic(dir_ / name, data)) << name.size();
    Bytes back;
    ASSERT_TRUE(read_file(dir_ / name, back));
    EXPECT_EQ(back, data);
  }
  EXPECT_EQ(files().size(), 5u);  // no temporary left behind

  // The temporary's name, seen when it is synced; a stale one of the same prefix goes at the
  // next write of that file, one of the other long name stays.
  const std::string longest = chinese + std::string(21, 'x'), other = chinese + std::string(17, 'x');
  std::vector<std::string> synced;
  g_synced = &synced;
  ASSERT_TRUE(write_file_atomic(dir_ / longest, Bytes{'B'}));
  g_synced = nullptr;
  ASSERT_FALSE(synced.empty());
  const std::string tmp = fs::path(synced[0]).filename().string();
  ASSERT_LE(tmp.size(), 255u);
  ASSERT_GT(tmp.size(), 16u);
  const std::string prefix = tmp.substr(0, tmp.size() - 16);
  std::ofstream(dir_ / (prefix + "4711")) << "half a file";
  synced.clear();
  g_synced = &synced;
  ASSERT_TRUE(write_file_atomic(dir_ / other, Bytes{'C'}));
  g_synced = nullptr;
  const std::string other_tmp = fs::path(synced.at(0)).filename().string();
  EXPECT_NE(other_tmp.substr(0, other_tmp.size() - 16), prefix);
  EXPECT_TRUE(fs::exists(dir_ / (prefix + "4711")));
  ASSERT_TRUE(write_file_atomic(dir_ / longest, Bytes{'D'}));
  EXPECT_FALSE(fs::exists(dir_ / (prefix + "4711")));
  EXPECT_EQ(files().size(), 5u);
}

}  // namespace
}  // namespace wb
