// The record limit as the windows say it: a save into a full library names the library and
// the limit, and a library file beyond the limit is refused with its name instead of being
// listed cut.
#include <gtest/gtest.h>

#include <fstream>

#include "core/common/record_limit.h"
#include "core/common/test_records.h"
#include "core/level/level_library.h"
#include "core/level/synthetic_level.h"
#include "core/workbench/test_libraries.h"
#include "platform/file_browser.h"
#include "platform/grid.h"
#include "ui/level/level_display.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"

using namespace wb;
namespace fs = std::filesystem;

namespace {

// A file of `n` zeroed records of `len` bytes, sparse on the disk.
void sparse_library(const fs::path& p, std::size_t len, std::size_t n) {
  { std::ofstream f(p, std::ios::binary | std::ios::trunc); }
  fs::resize_file(p, n * len);
}

}  // namespace

TEST(LibraryLimitWindow, ACardSavedIntoAFullLibraryIsRefusedByName) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  prog.create_folders();
  SgtRecord r;
  r.well_name = "N5";
  r.test_date = "200607081200";
  r.point_num = 400;
  r.ss_cos[0] = 3.0f;
  r.gg_cos[0] = 80.0f;
  {
    const Bytes b = r.encode();
    std::ofstream out(prog.data() / "N5.g01", std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  }
  const fs::path lib = library_path(prog, LibraryKind::Card);
  sparse_library(lib, kSgtRecordSize, kMaxLibraryRecords);
  auto w = std::make_unique<RodEngMapDisplay>(prog);
  w->open_card_file(QString::fromStdString((prog.data() / "N5.g01").string()));
  fakes.messages.shown.clear();
  w->Image1_Click(7);
  ASSERT_FALSE(fakes.messages.shown.empty());
  EXPECT_EQ(fakes.messages.shown.back().text, "功图数据主库已有32767条记录，不能再追加新记录。\n主库未作改动。");
  EXPECT_EQ(fs::file_size(lib), kMaxLibraryRecords * kSgtRecordSize);
}

TEST(LibraryLimitWindow, AMainLibraryBeyondTheLimitIsNotListed) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  prog.create_folders();
  const fs::path lib = library_path(prog, LibraryKind::Electric);
  sparse_library(lib, kDntRecordSize, kMaxLibraryRecords + 5);
  auto w = std::make_unique<RodEngMapDisplay>(prog);
  fakes.messages.shown.clear();
  w->Load_Grid_Dat_Pow(lib);
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, over_limit_text(lib, kMaxLibraryRecords + 5));
  EXPECT_LE(w->Grid1->rows(), 2);
}

TEST(LibraryLimitWindow, TheLevelWindowSaysTheLimit) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder folder{tmp.path()};
  folder.create_folders();
  ASSERT_TRUE(write_level_template(folder.sys() / kLevelTemplateFile));
  ASSERT_TRUE(write_synthetic_level_test(folder.data() / u8path("示范井1.y01"), SyntheticLevelParams{}));
  LevelLibrary lib(folder);
  sparse_library(lib.path(), kDymRecordSize, kMaxLibraryRecords);
  auto w = std::make_unique<LevelDisplay>(folder);
  w->show();
  w->File1->set_file_name(QStringLiteral("示范井1.y01"));
  w->File1_Click();
  fakes.messages.shown.clear();
  w->Command2->click();
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, "液面数据主库已有32767条记录，不能再追加新记录。");
  EXPECT_EQ(fs::file_size(lib.path()), kMaxLibraryRecords * kDymRecordSize);

  // A library beyond the limit is named when the window lists it.
  w.reset();
  fs::resize_file(lib.path(), (kMaxLibraryRecords + 1) * kDymRecordSize);
  fakes.messages.shown.clear();
  w = std::make_unique<LevelDisplay>(folder);
  w->show();
  ASSERT_FALSE(fakes.messages.shown.empty());
  EXPECT_EQ(fakes.messages.shown[0].text, over_limit_text(lib.path(), kMaxLibraryRecords + 1));
}
