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
