// The efficiency window's save, record browser, library boxes and model list, driven as a
// user drives them, with what lands on disk checked.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <fstream>

#include "core/common/messages.h"
#include "core/common/number_text.h"
#include "core/common/paths.h"
#include "core/records/gt_ym_record.h"
#include "core/efficiency/well_base_record.h"
#include "efficiency_window_fixture.h"

using namespace wb;
using wb::test::EffiWindow;
using wb::qs;

namespace {

namespace fs = std::filesystem;

std::vector<GtYmRecord> records_of(const fs::path& lib) {
  std::vector<GtYmRecord> out;
  EXPECT_EQ(read_gt_ym_records(lib, out), StoreStatus::Ok);
  return out;
}

fs::path sys(const EffiWindow& e, const char* name) { return e.tmp.path() / "sys" / name; }

// Computes and saves the worked example of the shown test.
void calculate_and_save(EffiWindow& e) {
  e.type_worked_example();
  QTest::mouseClick(e.w->Cmd_Calc, Qt::LeftButton);
  QTest::mouseClick(e.w->Cmd_Save, Qt::LeftButton);
}

TEST(EfficiencyRecordsWindow, SaveWritesTheRecordTheWellBaseAndListsTheWell) {
  EffiWindow e;
  ASSERT_TRUE(e.activate());
  calculate_and_save(e);
  const auto recs = records_of(sys(e, "gt_ym.dat"));
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0].key_well(), "示范井1");
  EXPECT_EQ(recs[0].key_test(), "200605121430");
  EXPECT_EQ(recs[0].vals[0].substr(0, 6), "100/38");
  EXPECT_EQ(recs[0].vals[40].substr(0, 5), "57.63");  // box 43
  EXPECT_EQ(e.w->Text7->text(), qs("1"));
  EXPECT_FALSE(e.w->st.Edit_Flag);
  ASSERT_EQ(e.w->Comb_WellName->count(), 1);
  EXPECT_EQ(e.w->Comb_WellName->itemText(0), qs("示范井1"));
  // A joint test also stores its well base data with the curves.
  WellBaseRecord base;
  std::size_t found = 0;
  EXPECT_EQ(find_well_base(sys(e, "wellbase.dat"), "示范井1", "200605121430", base, found), StoreStatus::Ok);
  EXPECT_EQ(found, 1u);
  EXPECT_EQ(base.point_num, e.w->st.iu_num);
  EXPECT_TRUE(base.has_electric_curves());

  // Saving again overwrites in place; the well base asks before it overwrites.
  e.fakes.messages.answers.push_back(MsgAnswer::No);
  QTest::mouseClick(e.w->Cmd_Save, Qt::LeftButton);
  EXPECT_EQ(records_of(sys(e, "gt_ym.dat")).size(), 1u);
  ASSERT_FALSE(e.fakes.messages.shown.empty());
  EXPECT_NE(e.fakes.messages.shown.back().text.find("井本次测试已有记录，要覆盖吗？"), std::string::npos);
}

TEST(EfficiencyRecordsWindow, ANewHandOverCarriesTheWellsBaseDataForward) {
  EffiWindow e;
  ASSERT_TRUE(e.activate());
  calculate_and_save(e);
  e.w->close();
  QApplication::processEvents();
  e.w = nullptr;
  e.press_efficiency_button();  // a fresh window with empty boxes
  EXPECT_EQ(e.text(5), "20");
  EXPECT_EQ(e.text(12), "500");
  EXPECT_EQ(e.text(20), "200");
  EXPECT_EQ(e.text(47), "100");
  EXPECT_EQ(e.text(48), "38");
  EXPECT_EQ(e.text(43), "");  // stored results are not carried
  EXPECT_EQ(e.text(23), "200605121430");
}

TEST(EfficiencyRecordsWindow, BrowserShowsStoredRecordsWithTheirCurves) {
  EffiWindow e;
  ASSERT_TRUE(e.activate());
  calculate_and_save(e);
  // A second test of the well: another test time typed into box 23.
  e.type(23, "200605121500");
  e.type(5, "25");
  QTest::mouseClick(e.w->Cmd_Save, Qt::LeftButton);
  ASSERT_EQ(records_of(sys(e, "gt_ym.dat")).size(), 2u);
  EXPECT_EQ(e.w->Text7->text(), qs("2"));

  // ← shows record 1 and its curves from the card and power-curve libraries.
  e.w->st.gt_num = e.w->st.iu_num = 0;
  QTest::mouseClick(e.w->Cmd_Review[0], Qt::LeftButton);
  EXPECT_EQ(e.w->Text7->text(), qs("1"));
  EXPECT_EQ(e.text(5), "20");
  EXPECT_EQ(e.text(23), "200605121430");
  EXPECT_EQ(e.w->st.gt_num, e.main->st.gt_num);
  EXPECT_EQ(e.w->st.iu_num, e.main->st.iu_num);
  QTest::mouseClick(e.w->Cmd_Review[0], Qt::LeftButton);  // stays on record 1
  EXPECT_EQ(e.w->Text7->text(), qs("1"));
  QTest::mouseClick(e.w->Cmd_Review[1], Qt::LeftButton);
  EXPECT_EQ(e.text(5), "25");

  // The test-time list of the well; choosing a time shows its record.
  e.w->Comb_WellName->setCurrentIndex(0);
  e.w->Comb_WellName_Click();
  ASSERT_EQ(e.w->Comb_TestTime->count(), 2);
  e.w->Comb_TestTime->setCurrentIndex(0);
  const int beeps = e.fakes.shell.beeps;
  e.w->Comb_TestTime_Click();
  EXPECT_EQ(e.fakes.shell.beeps, beeps + 1);
  EXPECT_EQ(e.w->Text7->text(), qs("1"));
  EXPECT_EQ(e.text(5), "20");
  EXPECT_FLOAT_EQ(e.w->st.Pin_Ref, static_cast<float>(num_val(e.text(25))));

  // × on record 1 asks, deletes and shows the record that followed.
  const std::size_t asked = e.fakes.messages.shown.size();
  QTest::mouseClick(e.w->Cmd_Review[2], Qt::LeftButton);
  ASSERT_EQ(e.fakes.messages.shown.size(), asked + 1);
  EXPECT_EQ(e.fakes.messages.shown.back().text, "你确实要删除此记录吗？");
  EXPECT_EQ(records_of(sys(e, "gt_ym.dat")).size(), 1u);
  EXPECT_EQ(e.w->Text7->text(), qs("1"));
  EXPECT_EQ(e.text(5), "25");
}

TEST(EfficiencyRecordsWindow, AnEditedRecordIsOfferedForSavingBeforeAnotherIsShown) {
  EffiWindow e;
  ASSERT_TRUE(e.activate());
  calculate_and_save(e);
  e.type(9, "33");  // viscosity edited
  ASSERT_TRUE(e.w->st.Edit_Flag);
  e.fakes.messages.answers.push_back(MsgAnswer::Yes);
  QTest::mouseClick(e.w->Cmd_Review[0], Qt::LeftButton);
  EXPECT_EQ(e.fakes.messages.shown.back().text, "当前记录需要保存吗?");
  EXPECT_EQ(records_of(sys(e, "gt_ym.dat"))[0].vals[6].substr(0, 2), "33");
  EXPECT_FALSE(e.w->st.Edit_Flag);
}

// A wanted save that does not go through (here the library has become damaged) keeps the
// edited boxes: neither another record nor the window's close replaces them.
TEST(EfficiencyRecordsWindow, AnEditWhoseSaveFailedIsKept) {
  EffiWindow e;
  ASSERT_TRUE(e.activate());
  calculate_and_save(e);
  const fs::path lib = sys(e, "gt_ym.dat");
  e.type(9, "33");
  ASSERT_TRUE(e.w->st.Edit_Flag);
  {
    std::ofstream out(lib, std::ios::binary | std::ios::app);
    out << "12345";
  }
  e.fakes.messages.answers = {MsgAnswer::Yes};
  QTest::mouseClick(e.w->Cmd_Review[1], Qt::LeftButton);
  ASSERT_GE(e.fakes.messages.shown.size(), 2u);
  EXPECT_EQ(e.fakes.messages.shown.back().text, "非法的文件格式!");
  EXPECT_EQ(e.text(9), "33");
  EXPECT_TRUE(e.w->st.Edit_Flag);
  EXPECT_EQ(e.w->Text7->text(), qs("1"));

  e.fakes.messages.answers = {MsgAnswer::Yes};
  EXPECT_FALSE(e.w->close());
  EXPECT_TRUE(e.w->isVisible());
  EXPECT_EQ(e.text(9), "33");

  // The library mended, the same close saves the edits and ends the window.
  fs::resize_file(lib, kGtYmRecordSize);
  e.fakes.messages.answers = {MsgAnswer::Yes};
  EXPECT_TRUE(e.w->close());
  QApplication::processEvents();
  e.w = nullptr;
  EXPECT_EQ(records_of(lib)[0].vals[6].substr(0, 2), "33");
}

TEST(EfficiencyRecordsWindow, ClosingAfterAnEditSavesOnYes) {
  EffiWindow e;
  ASSERT_TRUE(e.activate());
  e.type_worked_example();
  e.fakes.messages.answers.push_back(MsgAnswer::Yes);
  e.w->close();
  QApplication::processEvents();
  e.w = nullptr;
  EXPECT_EQ(e.fakes.messages.shown.back().text, "当前记录需要保存吗?");
  EXPECT_EQ(records_of(sys(e, "gt_ym.dat")).size(), 1u);
  EXPECT_FALSE(fs::exists(sys(e, "wellbase.dat")));  // closing saves the record only
}

TEST(EfficiencyRecordsWindow, ADamagedLibraryIsRefusedAndKeptAndTheOldOneStaysInUse) {
  EffiWindow e;
  const fs::path bad = e.tmp.path() / "sys" / "bad.dat";
  {
    std::ofstream out(bad, std::ios::binary);
    out << std::string(kGtYmRecordSize + 5, ' ');
  }
  const fs::path before = e.w->st.Effi_File;
  e.fakes.files.answers.push_back(path_text(bad));
  QTest::mouseClick(e.w->Cmd_View_Effi_Data, Qt::LeftButton);
  ASSERT_EQ(e.fakes.files.asked.size(), 1u);
  EXPECT_EQ(e.fakes.files.asked[0].title, "打开系统效率数据库");
  ASSERT_EQ(e.fakes.messages.shown.size(), 1u);
  EXPECT_EQ(e.fakes.messages.shown[0].text, "非法的文件格式!");
  EXPECT_EQ(e.fakes.messages.shown[0].title, "不能打开!");
  EXPECT_EQ(e.w->Text3->text(), QString());
  EXPECT_EQ(e.w->st.Effi_File, before);
  EXPECT_EQ(fs::file_size(bad), kGtYmRecordSize + 5);

  // The hand-over meets the damaged library as its own and carries nothing, deletes nothing.
  e.w->st.Effi_File = bad;
  e.w->Text1[1]->setText(qs("kept"));
  e.w->st.Text1[1] = "kept";
  e.press_efficiency_button();
  EXPECT_EQ(e.text(1), "kept");
  EXPECT_EQ(fs::file_size(bad), kGtYmRecordSize + 5);
}

// A library chosen outside the program folder's sys and data folders is taken for looking
// at and said at once; a save into it is still refused, with nothing written anywhere.
TEST(EfficiencyRecordsWindow, ALibraryNoSaveCanWriteIsSaidWhenChosen) {
  EffiWindow e;
  ASSERT_TRUE(e.activate());
  const fs::path elsewhere = e.tmp.path() / "elsewhere.dat";
  { std::ofstream(elsewhere, std::ios::binary).flush(); }
  e.fakes.files.answers.push_back(path_text(elsewhere));
  QTest::mouseClick(e.w->Cmd_View_Effi_Data, Qt::LeftButton);
  ASSERT_EQ(e.fakes.messages.shown.size(), 1u);
  EXPECT_EQ(e.fakes.messages.shown[0].text, library_outside_sets_text(path_text(elsewhere)));
  EXPECT_EQ(e.fakes.messages.shown[0].title, "提示");
  EXPECT_EQ(e.w->st.Effi_File, elsewhere);

  std::vector<std::uint8_t> summary, summary_after;
  std::ignore = read_file(sys(e, "DlPh.dat"), summary);  // none yet reads as empty
  e.fakes.messages.shown.clear();
  calculate_and_save(e);
  ASSERT_FALSE(e.fakes.messages.shown.empty());
  bool refused = false;
  for (const auto& m : e.fakes.messages.shown)
    refused = refused || m.text.find("不能与其他库一起保存") != std::string::npos;
  EXPECT_TRUE(refused);
  EXPECT_EQ(fs::file_size(elsewhere), 0u);
  std::ignore = read_file(sys(e, "DlPh.dat"), summary_after);
  EXPECT_EQ(summary_after, summary);
  EXPECT_FALSE(fs::exists(sys(e, "wellbase.dat")));
}

TEST(EfficiencyRecordsWindow, ModelListComesFromTheCatalogue) {
  EffiWindow e;
  {
    std::ofstream out(sys(e, "Cyj_mode.dat"), std::ios::binary | std::ios::trunc);
    out << "\xb3\xe9\xd3\xcd\xbb\xfa\xd0\xcd=CYJ10-3-37HB\r\n\r\n"   // 抽油机型=
        << "\xb3\xe9\xd3\xcd\xbb\xfa\xd0\xcd=CYJ12-4.8-73HB\r\n\r\n"
        << "\xb3\xe9\xd3\xcd\xbb\xfa\xd0\xcd=CYJ10-3-37HB\r\n";
  }
  e.w->Comb_CyjMode_DropDown();
  e.w->Comb_CyjMode_DropDown();
  ASSERT_EQ(e.w->Comb_CyjMode->count(), 2);
  e.w->Comb_CyjMode->setCurrentIndex(1);
  e.w->Comb_CyjMode_Click();
  EXPECT_EQ(e.text(2), "CYJ12-4.8-73HB");

  ASSERT_TRUE(e.activate());
  e.w->Comb_CyjMode->setFocus();
  e.fakes.messages.answers.push_back(MsgAnswer::Yes);
  QTest::keyClick(e.w->Comb_CyjMode->lineEdit(), Qt::Key_A);
  ASSERT_EQ(e.fakes.messages.shown.size(), 1u);
  EXPECT_EQ(e.fakes.messages.shown[0].text, "您不能改变抽油机型号，要增加新的抽油机型吗？");
  EXPECT_EQ(e.fakes.messages.shown[0].title, "输入出错");
  ASSERT_EQ(e.fakes.shell.edited.size(), 1u);
  EXPECT_EQ(e.fakes.shell.edited[0], path_text(sys(e, "Cyj_mode.dat")));
  EXPECT_EQ(e.w->Comb_CyjMode->currentText(), QString());
  EXPECT_EQ(e.text(2), "CYJ12-4.8-73HB");  // the model to save stays
  QTest::keyClick(e.w->Comb_CyjMode->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(e.fakes.messages.shown.size(), 1u);
}

}  // namespace
