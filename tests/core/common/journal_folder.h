// A scratch program folder for tests of the save journal: sys and data folders holding the
// libraries A.dat and B.dat (libraries may lie in either), the journal's place in sys, and a
// folder outside the program folder that no save may touch. One per test, named after it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "core/common/record_store.h"

namespace wb::test {

inline std::vector<std::uint8_t> text(const std::string& s) { return std::vector<std::uint8_t>(s.begin(), s.end()); }

// The file's bytes as text; "(none)" when it cannot be read.
inline std::string read_text(const std::filesystem::path& p) {
  std::vector<std::uint8_t> c;
  if (!read_file(p, c)) return "(none)";
  return std::string(c.begin(), c.end());
}

// Leaves a save of `target` (relative to the program folder, as "sys/A.dat") committed but not
// completed, as a failed rename leaves one: the new content in a ".wbsave-" file beside the
// library and the intent file in state C. The next set opened on the folder completes it.
inline void plant_committed_save(const std::filesystem::path& program_folder, const std::string& target,
                                 const std::vector<std::uint8_t>& content) {
  const std::string temp = std::filesystem::path(target).parent_path().string() + "/.wbsave-00000000000000aa";
  ASSERT_TRUE(write_file_atomic(program_folder / temp, content));
  SaveJournal j;
  j.state = 'C';
  j.what = "test save";
  SaveJournal::Entry e;
  e.target = target;
  e.temp = temp;
  e.size = content.size();
  e.hash = 1469598103934665603ull;  // the journal's FNV-1a start
  for (std::uint8_t b : content) e.hash = (e.hash ^ b) * 1099511628211ull;
  j.entries.push_back(e);
  ASSERT_TRUE(write_file_atomic(program_folder / "sys" / kSaveJournalName, encode_save_journal(j)));
}

class JournalFolderTest : public ::testing::Test {
 protected:
  // `prefix` keeps the folders of the test files apart in the temporary folder.
  void make_folder(const std::string& prefix) {
    namespace fs = std::filesystem;
    dir_ = fs::canonical(fs::temp_directory_path()) /
           (prefix + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    root_ = dir_ / "prog";
    fs::create_directories(root_ / "sys");
    fs::create_directories(root_ / "data");
    fs::create_directories(dir_ / "outside");
    a_ = root_ / "sys" / "A.dat";
    b_ = root_ / "data" / "B.dat";
    jnl_ = root_ / "sys" / kSaveJournalName;
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::filesystem::path dir_, root_, a_, b_, jnl_;
};

}  // namespace wb::test
