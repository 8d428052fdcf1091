// The record limit as the windows say it: a save into a full library names the library and
// the limit, and a library file beyond the limit is refused with its name instead of being
// listed cut.
#include <gtest/gtest.h>

#include <fstream>

#include "core/common/dlph_record.h"
#include "core/common/record_limit.h"
#include "core/design/workbench/design_records.h"
#include "core/diagnosis/diagnosis_records.h"
#include "core/efficiency/well_base_record.h"
#include "core/records/gt_ym_record.h"
#include "core/samples/synthetic_tests.h"
#include "core/design/recording_steps.h"
#include "design/design_window_fixture.h"
#include "efficiency/efficiency_window_fixture.h"
#include "core/common/test_records.h"
#include "core/level/level_library.h"
#include "core/level/synthetic_level.h"
#include "core/workbench/test_libraries.h"
#include "platform/file_browser.h"
#include "platform/grid.h"
#include "ui/diagnosis/well_diagnosis.h"
#include "ui/level/level_display.h"
#include "ui/statistics/sys_effi_assemble.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"
#include "../core/workbench/temp_program_folder.h"

using namespace wb;
namespace fs = std::filesystem;

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
  test::sparse_library(lib, kSgtRecordSize, kMaxLibraryRecords);
  auto w = std::make_unique<RodEngMapDisplay>(prog);
  w->open_card_file(prog.data() / "N5.g01");
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
  test::sparse_library(lib, kDntRecordSize, kMaxLibraryRecords + 5);
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
  test::sparse_library(lib.path(), kDymRecordSize, kMaxLibraryRecords);
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

namespace {

// The file's size, -1 when missing.
long long size_of(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p) ? static_cast<long long>(fs::file_size(p, ec)) : -1;
}

}  // namespace

// The efficiency window's "保存" of a joint test when one of its three libraries is full:
// the library is named with the limit and none of the three is written.
TEST(LibraryLimitWindow, TheEfficiencySaveNamesTheFullLibraryAndWritesNone) {
  const std::pair<const char*, const char*> libs[] = {
      {"gt_ym.dat", kGtYmLibraryName}, {"DlPh.dat", kDlPhLibraryName}, {"wellbase.dat", kWellBaseLibraryName}};
  const std::size_t lens[] = {kGtYmRecordSize, kDlPhRecordSize, kWellBaseRecordSize};
  for (std::size_t k = 0; k < std::size(libs); ++k) {
    SCOPED_TRACE(libs[k].first);
    test::EffiWindow e;
    ASSERT_TRUE(e.activate());
    e.type_worked_example();
    QTest::mouseClick(e.w->Cmd_Calc, Qt::LeftButton);
    const fs::path sys = e.tmp.path() / "sys";
    // The main window's hand-over stored the test's summary: this save would append to the others.
    for (const auto& [file, name] : libs) fs::remove(sys / file);
    test::sparse_library(sys / libs[k].first, lens[k], kMaxLibraryRecords);
    std::vector<long long> before;
    for (const auto& [file, name] : libs) before.push_back(size_of(sys / file));
    e.fakes.messages.shown.clear();
    QTest::mouseClick(e.w->Cmd_Save, Qt::LeftButton);
    ASSERT_EQ(e.fakes.messages.shown.size(), 1u);
    EXPECT_EQ(e.fakes.messages.shown[0].text,
              library_full_text(libs[k].second) +
                  "\n本次测试的系统效率数据、汇总数据和井基础数据都未保存，原有数据保持不变。");
    for (std::size_t i = 0; i < std::size(libs); ++i) EXPECT_EQ(size_of(sys / libs[i].first), before[i]) << i;
    EXPECT_TRUE(e.w->st.Edit_Flag);  // the edits stay to be saved
  }
}

// The main window's "入库" of a joint test into a full summary library: named, and neither
// the card nor the electric library written.
TEST(LibraryLimitWindow, TheJointTestSaveNamesAFullSummary) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  prog.create_folders();
  ASSERT_TRUE(write_synthetic_joint_test(prog.data() / u8path("示范井1.o01"), SyntheticJointParams{}));
  test::sparse_library(prog.sys() / kDlPhFileName, kDlPhRecordSize, kMaxLibraryRecords);
  auto w = std::make_unique<RodEngMapDisplay>(prog);
  w->show();
  w->File1->refresh();
  w->File1->set_file_name(QStringLiteral("示范井1.o01"));
  w->File1_Click();
  fakes.messages.shown.clear();
  w->Image1_Click(1);
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, library_full_text(kDlPhLibraryName) + "\n主库未作改动。");
  EXPECT_FALSE(fs::exists(library_path(prog, LibraryKind::Card)));
  EXPECT_FALSE(fs::exists(library_path(prog, LibraryKind::Electric)));
}

// The diagnosis window opened on a record file beyond the limit: the file is named and its
// wells are not listed.
TEST(LibraryLimitWindow, TheDiagnosisWindowRefusesARecordFileBeyondTheLimit) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  prog.create_folders();
  ASSERT_TRUE(write_sample_diagnosis(prog, SyntheticJointParams{}, "20060512"));
  const fs::path bgt = prog.sys() / kBgtFileName;
  fs::resize_file(bgt, (kMaxLibraryRecords + 1) * kBgtRecordSize);
  register_diagnosis_window(prog);
  fakes.messages.shown.clear();
  WellDiagnosis& w = WellDiagnosis::instance(prog);
  w.show();
  bool named = false;
  for (const auto& m : fakes.messages.shown) named |= m.text == over_limit_text(bgt, kMaxLibraryRecords + 1);
  EXPECT_TRUE(named);
  EXPECT_EQ(w.Comb_WellName->count(), 0);
  delete &w;
  analysis_windows()[AnalysisWindow::Diagnosis] = nullptr;
}

namespace {
struct NoDiagnosis : DiagnosisHandOver {
  void cygsj(std::string&, std::int16_t& dda) override { dda = 3; }
  std::string Text1(int) const override { return {}; }
  std::string Text5() const override { return {}; }
  std::string Text6() const override { return {}; }
};
}  // namespace

// The design window's well list of a record file beyond the limit: the file is named and no
// well is listed.
class DesignListBeyondTheLimit : public design::DesignWindowFixture<NoDiagnosis, test::RecordingSteps> {};

TEST_F(DesignListBeyondTheLimit, TheDesignWellListNamesTheFile) {
  const fs::path lib = design::design_record_path(ProgramFolder{tmp.path()});
  test::sparse_library(lib, design::kRodDesignRecordSize, kMaxLibraryRecords + 1);
  fakes.messages.shown.clear();
  w->JNname_Add();
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, over_limit_text(lib, kMaxLibraryRecords + 1));
  EXPECT_EQ(w->JName_Comb->count(), 0);
}

// The statistics window on an efficiency library beyond the limit: the file is named and no
// record is tabulated; a chosen file beyond it is named and the table stays on the library.
TEST(LibraryLimitWindow, TheStatisticsWindowNamesAFileBeyondTheLimit) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  prog.create_folders();
  const fs::path lib = gt_ym_path(prog);
  test::sparse_library(lib, kGtYmRecordSize, kMaxLibraryRecords + 1);
  auto w = std::make_unique<SysEffiAssemble>(prog);
  w->show();
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, over_limit_text(lib, kMaxLibraryRecords + 1));
  for (int r = 1; r < w->Grid1->rows(); ++r) EXPECT_TRUE(w->Grid1->text(r, stat_col::kWell).isEmpty()) << r;

  const fs::path other = prog.sys() / "other.dat";
  test::sparse_library(other, kGtYmRecordSize, kMaxLibraryRecords + 2);
  fakes.messages.shown.clear();
  fakes.files.answers = {path_text(other)};
  w->Command2_Click();
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, over_limit_text(other, kMaxLibraryRecords + 2));
  EXPECT_EQ(w->st.cur_file, lib);
}
