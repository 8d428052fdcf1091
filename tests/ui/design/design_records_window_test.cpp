// The design window's records offscreen, with a fake diagnosis window and recording engine
// steps: the takeover when the window opens, "保存" under a 12-character test date (one record,
// the user told the key was cut), a new date appending, the well listing both dates, and a
// chosen date restoring every stored box and the centralizer rows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <filesystem>
#include <map>

#include "core/common/gbk.h"
#include "core/design/workbench/design_record_boxes.h"
#include "core/design/workbench/design_records.h"
#include "platform/grid.h"
#include "platform/qt_text.h"
#include "ui/design/rod_design.h"
#include "ui/diagnosis/diagnosis_hand_over.h"
#include "design_window_fixture.h"
#include "../../core/design/recording_steps.h"
#include "ui_fakes.h"

using namespace wb;
using namespace wb::design;
using wb::test::RecordingSteps;

namespace {

// The diagnosis window showing well A1 of a test with a 12-character date.
struct FakeDiagnosis : DiagnosisHandOver {
  std::map<int, std::string> boxes = {{3, "A1"},  {4, "200403011200"}, {6, "20"},  {5, "38"},   {15, "6"},
                                      {47, "2.5"}, {51, "42.5"},        {23, "62"}, {7, "50"},   {8, "0.86"},
                                      {9, "0.84"}, {22, "1000"},        {14, "3"},  {52, "12.6"}};
  int calls = 0;
  void cygsj(std::string&, std::int16_t&) override { ++calls; }
  std::string Text1(int i) const override { return boxes.count(i) ? boxes.at(i) : std::string(); }
  std::string Text5() const override { return "45"; }
  std::string Text6() const override { return "20"; }
};

class DesignRecordsWindowTest : public DesignWindowFixture<FakeDiagnosis, RecordingSteps> {
 protected:
  std::size_t records() const {
    const auto p = design_record_path(ProgramFolder{tmp.path()});
    return std::filesystem::exists(p) ? std::filesystem::file_size(p) / kRodDesignRecordSize : 0;
  }
  void choose(QComboBox* box, const QString& item) {
    const int i = box->findText(item);
    ASSERT_GE(i, 0) << item.toStdString();
    box->setCurrentIndex(i);
    emit box->activated(i);
  }
  QString box_shown(const BoxField& f) {
    const auto i = static_cast<std::size_t>(f.index);
    switch (f.box) {
      case BoxArray::Text3: return w->Text3[i]->text();
      case BoxArray::Text4: return w->Text4->text();
      case BoxArray::Text5: return w->Text5->text();
      case BoxArray::Text6: return w->Text6[i]->text();
      case BoxArray::Text10: break;
    }
    return f.index == 50 ? w->Text10_notes->toPlainText() : w->Text10[i]->text();
  }
};

TEST_F(DesignRecordsWindowTest, OpensOnTheDiagnosedWell) {
  EXPECT_EQ(diag.calls, 1);
  EXPECT_EQ(w->JName_Comb->currentText(), QStringLiteral("A1"));
  EXPECT_EQ(w->Date_Comb->currentText(), QStringLiteral("200403011200"));
  EXPECT_EQ(w->Label3[3]->text(), QStringLiteral("0.816"));
  EXPECT_EQ(w->Text2->text(), QStringLiteral("0.816"));
  EXPECT_EQ(w->Text3[3]->text(), QStringLiteral("38"));
  EXPECT_EQ(w->Text6[9]->text(), QStringLiteral("42"));
  EXPECT_EQ(w->Text6[16]->text(), QStringLiteral("45"));
  EXPECT_EQ(w->Text6[20]->text(), QStringLiteral("12.6"));
  EXPECT_FALSE(w->Text6[18]->text().isEmpty());  // the load factors follow the taken loads
}

TEST_F(DesignRecordsWindowTest, SavesUnderTheCutDateOnceAndListsBothDates) {
  w->SaveCom->click();
  w->SaveCom->click();
  EXPECT_EQ(records(), 1u);
  ASSERT_EQ(fakes.messages.shown.size(), 2u);  // one note per save that the date was cut
  EXPECT_NE(fakes.messages.shown[0].text.find("“20040301”"), std::string::npos);
  EXPECT_EQ(w->JName_Comb->currentText(), QStringLiteral("A1"));  // the well box keeps its text
  ASSERT_EQ(w->JName_Comb->count(), 1);

  w->Date_Comb->setEditText("20040302");
  w->SaveCom->click();
  EXPECT_EQ(records(), 2u);
  EXPECT_EQ(w->Date_Comb->count(), 0);  // the date list shows it once the well is chosen again

  choose(w->JName_Comb, "A1");
  ASSERT_EQ(w->Date_Comb->count(), 2);
  EXPECT_EQ(w->Date_Comb->itemText(0), QStringLiteral("20040301"));
  EXPECT_EQ(w->Date_Comb->itemText(1), QStringLiteral("20040302"));
  EXPECT_EQ(std::count(steps.calls.begin(), steps.calls.end(), "DesignForMutual(19)"), 0);  // two: none loaded
}

TEST_F(DesignRecordsWindowTest, ChosenDateRestoresEveryBoxAndTheCentralizers) {
  // A distinct value in every stored box, then a save under a date of its own.
  std::map<const BoxField*, std::string> typed;
  int n = 1;
  for (const auto* table : {&design_boxes(), &well_boxes(), &struct_boxes()})
    for (const BoxField& f : *table) {
      std::string t = f.kind == FieldKind::F32 ? std::to_string(n) + ".25" : std::to_string(n);
      if (f.kind == FieldKind::Text) t = "名" + std::to_string(n);
      box_text(w->st, f.box, f.index) = t;
      typed[&f] = f.kind == FieldKind::Text ? gbk_pad(t, f.width) : t;  // a text comes back padded
      ++n;
    }
  w->st.Grid2.set_rows(3);
  w->st.Grid2.set_text(1, 1, "996");
  w->st.Grid2.set_text(2, 1, "850.5");
  w->st.rod_grade = 6;  // K级杆
  w->sync_to_widgets();
  w->Date_Comb->setEditText("20240401");
  w->SaveCom->click();
  ASSERT_EQ(records(), 1u);

  // Another design in the boxes, then the stored one chosen.
  for (const auto& [f, t] : typed) box_text(w->st, f->box, f->index) = "7";
  w->st.Grid2.set_rows(2);
  w->st.Grid2.set_text(1, 1, "");
  w->st.rod_grade = 0;
  w->sync_to_widgets();
  choose(w->JName_Comb, "A1");  // its one date is loaded at once
  EXPECT_EQ(w->Date_Comb->currentText(), QStringLiteral("20240401"));
  for (const auto& [f, t] : typed) {
    SCOPED_TRACE(f->caption);
    EXPECT_EQ(box_shown(*f), qs(t));
  }
  EXPECT_TRUE(w->grade_options[2]->isChecked());
  ASSERT_EQ(w->Grid2->rows(), 3);
  EXPECT_EQ(w->Grid2->text(1, 0), QStringLiteral("1"));
  EXPECT_EQ(w->Grid2->text(1, 1), QStringLiteral("996"));
  EXPECT_EQ(w->Grid2->text(2, 1), QStringLiteral("850.5"));
  EXPECT_EQ(steps.calls.back(), "DesignForMutual(19)");
}

// Leaving the well or the date box, with a text that names one of its list items, is not a
// choice from the list: the taken-over well stays, nothing is loaded.
TEST_F(DesignRecordsWindowTest, LeavingAWellOrDateBoxLoadsNothing) {
  w->SaveCom->click();  // one stored design of A1, dated 20040301
  ASSERT_EQ(records(), 1u);
  w->Date_Comb->addItem(QStringLiteral("20040301"));
  w->show();
  QApplication::setActiveWindow(w);
  for (QComboBox* box : {w->JName_Comb, w->Date_Comb}) {
    SCOPED_TRACE(box == w->JName_Comb ? "well" : "date");
    steps.calls.clear();
    box->setCurrentIndex(-1);
    box->setEditText(box->itemText(0));
    box->lineEdit()->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(box->lineEdit()->hasFocus());
    w->DesignCom->setFocus();  // as a click on "重新设计" moves the focus
    QApplication::processEvents();
    EXPECT_TRUE(steps.calls.empty()) << steps.calls.front();
    EXPECT_EQ(w->Date_Comb->currentText(), QStringLiteral("20040301"));
  }
}

}  // namespace
