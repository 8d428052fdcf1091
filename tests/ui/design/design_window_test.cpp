// The design window offscreen, with a recording fake of the engine's steps: the keys of the
// design boxes, the grade options, the model box, the centralizer table's pop-up and export,
// and the opening through the diagnosis button's hook.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QPlainTextEdit>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "core/common/record_store.h"
#include "core/design/engine/rod_design_record.h"
#include "core/design/engine/survey_file.h"
#include "core/design/workbench/design_records.h"
#include "platform/grid.h"
#include "ui/design/survey_frames.h"
#include "ui/design/rod_design.h"
#include "ui/diagnosis/diagnosis_hand_over.h"
#include "design_window_fixture.h"
#include "../../core/design/recording_steps.h"
#include "ui_fakes.h"

using namespace wb;
using namespace wb::design;
using wb::test::RecordingSteps;

namespace {

struct FakeDiagnosis : DiagnosisHandOver {
  std::vector<std::string> asked;
  void cygsj(std::string& Well_Name, std::int16_t& dda) override {
    asked.push_back(Well_Name);
    dda = 3;
  }
  std::string Text1(int) const override { return {}; }
  std::string Text5() const override { return {}; }
  std::string Text6() const override { return {}; }
};

class DesignWindowTest : public DesignWindowFixture<FakeDiagnosis, RecordingSteps> {
 protected:
  void enter(QWidget* box) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
  }
};

TEST_F(DesignWindowTest, OpensAtTheDesignTabWithItsFrame) {
  EXPECT_EQ(w->windowTitle(), QStringLiteral("抽油机井杆柱优化设计"));
  ASSERT_EQ(w->SSTab1->count(), 7);
  EXPECT_EQ(w->SSTab1->currentIndex(), 3);
  const char* tabs[7] = {"基础数据", "斜井数据", "动态IPR曲线", "设计生产参数", "抽油杆扶正器", "杆管附件信息", "井身结构数据"};
  for (int t = 0; t < 7; ++t) EXPECT_EQ(w->SSTab1->tabText(t), QString::fromUtf8(tabs[t]));
  EXPECT_EQ(w->Text2->text(), QStringLiteral("0.75"));
  EXPECT_EQ(w->Text4->text(), QStringLiteral("794"));
  EXPECT_EQ(w->Text5->text(), QStringLiteral("0.85"));
  EXPECT_EQ(w->Text6[24]->text(), QStringLiteral("0.92"));
  EXPECT_TRUE(w->CyjType_Comb->currentText().isEmpty());
}

TEST_F(DesignWindowTest, EnterInAnAfterBoxRunsItsIndexAndMovesOn) {
  w->SSTab1->setCurrentIndex(3);
  w->activateWindow();
  enter(w->Text3[12]);
  ASSERT_EQ(steps.calls, std::vector<std::string>{"DesignForMutual(12)"});
  EXPECT_EQ(QApplication::focusWidget(), w->Text3[13]);
  // The focused box is blue with white text, the one left grey again.
  EXPECT_EQ(w->Text3[13]->palette().color(QPalette::Base), QColor(0, 0, 255));
  EXPECT_EQ(w->Text3[12]->palette().color(QPalette::Base), QColor(224, 224, 224));
}

TEST_F(DesignWindowTest, GradeOptions) {
  w->Text4->setText("700");
  w->st.Text4 = "700";
  w->grade_options[1]->click();  // D级杆
  EXPECT_EQ(w->Text4->text(), QStringLiteral("794"));
  EXPECT_EQ(steps.calls, std::vector<std::string>{"DesignForMutual(18)"});
  steps.calls.clear();
  w->activateWindow();
  w->grade_options[4]->click();  // 其它杆
  EXPECT_TRUE(steps.calls.empty());
  EXPECT_EQ(QApplication::focusWidget(), w->Text4);
}

// A close whose survey save the user wanted did not happen keeps the window and the edits;
// dropping the edits then closes it.
TEST_F(DesignWindowTest, ACloseWhoseSurveySaveDidNotHappenKeepsTheWindow) {
  w->st.jx_changed = 1;
  steps.save_result = DesignOutcome::failed;
  fakes.messages.answers = {MsgAnswer::Yes};
  EXPECT_FALSE(w->close());
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(w->st.jx_changed, 1);
  EXPECT_EQ(steps.calls, std::vector<std::string>{"save_jx"});
  fakes.messages.answers = {MsgAnswer::No};
  EXPECT_TRUE(w->close());
  QApplication::processEvents();
  EXPECT_TRUE(!w || !w->isVisible());
}

TEST_F(DesignWindowTest, ServiceFactorOutOfRangeIsRefused) {
  w->activateWindow();
  for (const char* f : {"0.49", "1.01"}) {
    SCOPED_TRACE(f);
    w->Text5->setText(f);
    enter(w->Text5);
    ASSERT_FALSE(fakes.messages.shown.empty());
    EXPECT_EQ(fakes.messages.shown.back().text, "使用系数应在0.5-1之间");
    EXPECT_EQ(w->Text5->text(), QString::fromUtf8(f));
  }
  EXPECT_TRUE(steps.calls.empty());
}

TEST_F(DesignWindowTest, AKeyInTheModelBoxOffersTheCatalogueEditor) {
  w->activateWindow();
  w->CyjType_Comb->setFocus();
  QTest::keyClick(w->CyjType_Comb->lineEdit(), Qt::Key_A);
  ASSERT_FALSE(fakes.messages.shown.empty());
  EXPECT_EQ(fakes.messages.shown[0].text, "您不能改变抽油机型号，要增加新的抽油机型吗？");
  EXPECT_EQ(fakes.messages.shown[0].title, "输入出错");
  ASSERT_EQ(fakes.shell.edited.size(), 1u);
  EXPECT_EQ(std::filesystem::path(fakes.shell.edited[0]).filename(), "Cyj_mode.dat");
}

TEST_F(DesignWindowTest, TypingAMeasuredLoadUpdatesTheLoadFactors) {
  w->SSTab1->setCurrentIndex(0);
  w->activateWindow();
  w->Text6[17]->setFocus();
  QTest::keyClicks(w->Text6[17], "5");
  EXPECT_EQ(w->st.Text6[17], "5");
  EXPECT_EQ(w->Text6[18]->text(), QStringLiteral("1"));
  EXPECT_EQ(w->Text6[19]->text(), QStringLiteral("0.7"));
}

TEST_F(DesignWindowTest, OpeningTheModelListRereadsTheCatalogue) {
  std::ofstream(tmp.path() / "sys" / "Cyj_mode.dat", std::ios::binary)
      << "\xB3\xE9\xD3\xCD\xBB\xFA\xD0\xCD=M1\r\n\xB3\xE9\xD3\xCD\xBB\xFA\xD0\xCD=M1\r\n";
  w->st.CyjType_Comb = "old";
  w->CyjType_Comb->setEditText("old");
  w->CyjType_Comb->showPopup();
  QApplication::processEvents();
  ASSERT_EQ(w->CyjType_Comb->count(), 1);
  EXPECT_EQ(w->CyjType_Comb->itemText(0), QStringLiteral("M1"));
  EXPECT_TRUE(w->CyjType_Comb->currentText().isEmpty());
  EXPECT_TRUE(w->st.CyjType_Comb.empty());
  w->CyjType_Comb->hidePopup();
}

TEST_F(DesignWindowTest, Grid2PopupOffersPrintAndExportOnly) {
  std::vector<QString> shown;
  for (QAction* a : w->ShortcutMenu->actions())
    if (a->isVisible() && !a->isSeparator()) shown.push_back(a->text());
  EXPECT_EQ(shown, (std::vector<QString>{QStringLiteral("打印"), QStringLiteral("导入到Excel")}));
}

TEST_F(DesignWindowTest, TheRightButtonOnTheTablePopsUpTheMenu) {
  w->SSTab1->setCurrentIndex(4);
  QApplication::processEvents();
  QTest::mouseClick(w->Grid2->viewport(), Qt::LeftButton, {}, QPoint(30, 30));
  QApplication::processEvents();
  EXPECT_FALSE(w->ShortcutMenu->isVisible());
  QTest::mouseClick(w->Grid2->viewport(), Qt::RightButton, {}, QPoint(30, 30));
  EXPECT_TRUE(QTest::qWaitFor([&] { return w->ShortcutMenu->isVisible(); }, 30000));
  w->ShortcutMenu->close();
}

TEST_F(DesignWindowTest, TheEditorStepsThroughTheDepthsAndTakesDigitsOnly) {
  auto& g = w->st.Grid2;
  g.set_rows(3);
  g.set_text(1, 0, "1");
  g.set_text(1, 1, "1000");
  g.set_text(2, 0, "2");
  g.set_text(2, 1, "900");
  w->sync_to_widgets();
  w->SSTab1->setCurrentIndex(4);
  w->activateWindow();
  w->Grid2->set_row(1);
  w->txtEdit->setFocus();
  QTest::keyClick(w->txtEdit, Qt::Key_Return);
  EXPECT_EQ(w->txtEdit->text(), QStringLiteral("900"));
  QTest::keyClick(w->txtEdit, Qt::Key_Return);  // after the last row, row 1
  EXPECT_EQ(w->txtEdit->text(), QStringLiteral("1000"));
  EXPECT_EQ(w->txtEdit->selectedText(), QStringLiteral("1000"));
  QTest::keyClicks(w->txtEdit, "5.-a");
  EXPECT_EQ(w->txtEdit->text(), QStringLiteral("5"));
  EXPECT_EQ(w->st.fzq_edit_text, "5");
  EXPECT_EQ(w->st.fzq_edit_row, 1);
  EXPECT_EQ(w->Grid2->text(1, 1), QStringLiteral("1000"));
  EXPECT_EQ(g.text(1, 1), "1000");
}

// Enter commits a typed depth into the row the editor covers, with the table's order checks,
// and the save stores it; a refused depth stays in the editor; Esc drops what was typed.
TEST_F(DesignWindowTest, EnterCommitsATypedDepthAndEscCancelsIt) {
  auto& g = w->st.Grid2;
  g.set_rows(4);
  for (int r = 1; r <= 3; ++r) {
    g.set_text(r, 0, std::to_string(r));
    g.set_text(r, 1, std::to_string(1100 - 100 * r));  // 1000, 900, 800
  }
  w->st.Text3[design_box::kPumpDepthAfter] = "1050";
  w->st.JName_Comb = "W1";
  w->st.Date_Comb = "20240101";
  w->sync_to_widgets();
  w->SSTab1->setCurrentIndex(4);
  w->activateWindow();
  w->Grid2->set_row(1);
  w->txtEdit->setFocus();
  QTest::keyClick(w->txtEdit, Qt::Key_Return);  // over row 2
  ASSERT_EQ(w->txtEdit->text(), QStringLiteral("900"));

  // Deeper than the row above: refused, nothing written, the editor stays over row 2.
  QTest::keyClicks(w->txtEdit, "1021");
  QTest::keyClick(w->txtEdit, Qt::Key_Return);
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, "请检查当前记录油杆深度数据的是否合理!");
  EXPECT_EQ(g.text(2, 1), "900");
  EXPECT_EQ(w->txtEdit->text(), QStringLiteral("1021"));
  EXPECT_EQ(w->txtEdit->selectedText(), QStringLiteral("1021"));

  // Esc shows the cell's depth again; Enter then moves on without writing.
  QTest::keyClick(w->txtEdit, Qt::Key_Escape);
  EXPECT_EQ(w->txtEdit->text(), QStringLiteral("900"));
  EXPECT_FALSE(w->st.fzq_edit_changed);
  QTest::keyClick(w->txtEdit, Qt::Key_Return);  // over row 3
  EXPECT_EQ(w->txtEdit->text(), QStringLiteral("800"));
  EXPECT_EQ(g.text(2, 1), "900");

  // Row 3 becomes 850: written, shown, and the editor moves on to row 1.
  QTest::keyClicks(w->txtEdit, "850");
  QTest::keyClick(w->txtEdit, Qt::Key_Return);
  EXPECT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(g.text(3, 1), "850");
  EXPECT_EQ(w->Grid2->text(3, 1), QStringLiteral("850"));
  EXPECT_EQ(w->txtEdit->text(), QStringLiteral("1000"));

  // "保存" stores the committed depth.
  w->SaveCom->click();
  Bytes bytes;
  ASSERT_EQ(RecordStore(design_record_path(ProgramFolder{tmp.path()}), kRodDesignRecordSize).read(1, bytes),
            StoreStatus::Ok);
  RodDesignRecord rec;
  ASSERT_TRUE(rec.decode(bytes));
  EXPECT_EQ(rec.fzq_depth[0], 1000.0f);
  EXPECT_EQ(rec.fzq_depth[1], 900.0f);
  EXPECT_EQ(rec.fzq_depth[2], 850.0f);
}

// The editor's standard editing keys work: select all, copy, cut, paste, Home, Delete. A depth
// put in by them is typed like any other and Enter commits it.
TEST_F(DesignWindowTest, TheEditorTakesTheStandardEditingKeys) {
  auto& g = w->st.Grid2;
  g.set_rows(4);
  for (int r = 1; r <= 3; ++r) {
    g.set_text(r, 0, std::to_string(r));
    g.set_text(r, 1, std::to_string(1100 - 100 * r));  // 1000, 900, 800
  }
  w->st.Text3[design_box::kPumpDepthAfter] = "1050";
  w->sync_to_widgets();
  w->SSTab1->setCurrentIndex(4);
  w->activateWindow();
  w->Grid2->set_row(1);
  w->txtEdit->setFocus();
  QTest::keyClick(w->txtEdit, Qt::Key_Return);  // over row 2
  ASSERT_EQ(w->txtEdit->text(), QStringLiteral("900"));
  QTest::keyClick(w->txtEdit, Qt::Key_End);

  // Select all, then typing replaces the depth.
  QTest::keyClick(w->txtEdit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(w->txtEdit, "950");
  EXPECT_EQ(w->txtEdit->text(), QStringLiteral("950"));
  QTest::keyClick(w->txtEdit, Qt::Key_Return);
  EXPECT_EQ(g.text(2, 1), "950");

  // Over row 3: copy the selected depth, Home and Delete, a digit typed in front.
  ASSERT_EQ(w->txtEdit->selectedText(), QStringLiteral("800"));
  QTest::keyClick(w->txtEdit, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("800"));
  QTest::keyClick(w->txtEdit, Qt::Key_Home);
  QTest::keyClick(w->txtEdit, Qt::Key_Delete);
  QTest::keyClicks(w->txtEdit, "7");
  EXPECT_EQ(w->txtEdit->text(), QStringLiteral("700"));
  QTest::keyClick(w->txtEdit, Qt::Key_Return);
  EXPECT_EQ(g.text(3, 1), "700");

  // Over row 1: cut, then paste a depth; Enter commits the pasted depth.
  ASSERT_EQ(w->txtEdit->selectedText(), QStringLiteral("1000"));
  QTest::keyClick(w->txtEdit, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(w->txtEdit->text(), QString());
  QApplication::clipboard()->setText(QStringLiteral("1020"));
  QTest::keyClick(w->txtEdit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(w->txtEdit->text(), QStringLiteral("1020"));
  QTest::keyClick(w->txtEdit, Qt::Key_Return);
  EXPECT_EQ(g.text(1, 1), "1020");
  EXPECT_TRUE(fakes.messages.shown.empty());
}

// A new design fills the table: the editor over row 1's depth shows that depth at once, and a
// depth being typed is not overwritten by the table shown again.
TEST_F(DesignWindowTest, TheEditorShowsTheDepthItCovers) {
  auto& g = w->st.Grid2;
  g.set_rows(3);
  g.set_text(1, 0, "1");
  g.set_text(1, 1, "1042");
  g.set_text(2, 0, "2");
  g.set_text(2, 1, "950");
  w->sync_to_widgets();
  EXPECT_EQ(w->txtEdit->text(), QStringLiteral("1042"));

  w->SSTab1->setCurrentIndex(4);
  w->activateWindow();
  w->Grid2->set_row(1);
  w->txtEdit->setFocus();
  QTest::keyClick(w->txtEdit, Qt::Key_Return);  // placed over row 2
  EXPECT_EQ(w->txtEdit->text(), QStringLiteral("950"));
  g.set_text(2, 1, "940");
  w->sync_to_widgets();
  EXPECT_EQ(w->txtEdit->text(), QStringLiteral("940"));
  w->txtEdit->selectAll();
  QTest::keyClicks(w->txtEdit, "93");
  w->sync_to_widgets();
  EXPECT_EQ(w->txtEdit->text(), QStringLiteral("93"));
}

TEST_F(DesignWindowTest, ExportAsksWhetherToEditTheWorkbook) {
  w->st.JName_Comb = "W1";
  fakes.messages.answers.push_back(MsgAnswer::No);
  w->ImportExcel->trigger();
  const auto path = tmp.path() / "report" / "W1扶正器布置数据表.xlsx";
  EXPECT_TRUE(std::filesystem::exists(path));
  ASSERT_FALSE(fakes.messages.shown.empty());
  EXPECT_EQ(fakes.messages.shown.back().text, "是否编辑" + path_text(path) + "？");
}

TEST_F(DesignWindowTest, ExportRefusesAWellNameThatLeavesTheReportFolder) {
  w->st.JName_Comb = "../x";
  w->ImportExcel->trigger();
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_NE(fakes.messages.shown[0].text.find("不能用作文件名"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(tmp.path() / "x扶正器布置数据表.xlsx"));
}

}  // namespace

namespace {

// The window on its real engine: a well's survey read by Enter in the well box shows every
// row, and a save without survey edits leaves the file as it was.
TEST(DesignWindowEngine, EnterShowsTheWholeSurveyAndSaveKeepsIt) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  const ProgramFolder prog{tmp.path()};
  prog.create_folders();
  std::vector<JxRecord> rows;
  for (int i = 1; i <= 4; ++i) rows.push_back(JxRecord{{std::to_string(300 * i), "2", "45", "", "", ""}});
  const auto bytes = encode_jx_file(rows);
  const auto path = prog.data() / "W7.jx";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
  // The diagnosis window shows well W7; the load step takes it over.
  struct ShowsW7 : DiagnosisHandOver {
    void cygsj(std::string&, std::int16_t&) override {}
    std::string Text1(int i) const override { return i == 3 ? "W7" : ""; }
    std::string Text5() const override { return {}; }
    std::string Text6() const override { return {}; }
  } diag;
  diagnosis_hand_over_provider() = [&diag]() -> DiagnosisHandOver* { return &diag; };
  auto* w = new RodDesign(prog);
  w->show();
  QApplication::processEvents();
  EXPECT_EQ(w->st.Grid1.rows(), 5);  // the load step keeps every row
  w->st.JName_Comb.clear();
  w->SaveCom->click();
  w->JName_Comb->setFocus();
  w->JName_Comb->setEditText("W7");
  QTest::keyClick(w->JName_Comb->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(w->st.Grid1.rows(), 5);
  EXPECT_EQ(w->st.last_node, 600);
  EXPECT_EQ(w->survey_frame->Grid1->rows(), 5);
  std::filesystem::remove(path);
  w->SaveCom->click();  // nothing edited: the survey is not written
  EXPECT_FALSE(std::filesystem::exists(path));
  w->st.jx_changed = 1;
  fakes.messages.answers = {MsgAnswer::Yes};
  w->close();  // asks, and Yes writes the four rows back
  QApplication::processEvents();
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(decode_jx_file(back).size(), 4u);
  diagnosis_hand_over_provider() = nullptr;
}

}  // namespace

namespace {

// The window destroyed while each of its focusable widgets, on every tab, holds the focus:
// the focus leaves that widget during the destruction and no handler of the window may run.
TEST(DesignWindowTeardown, WithTheFocusInEachWidget) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  const ProgramFolder prog{tmp.path()};
  prog.create_folders();
  auto focusable = [](RodDesign* w) {
    QList<QWidget*> out;
    for (QWidget* c : w->findChildren<QWidget*>())
      if (c->focusPolicy() != Qt::NoFocus && c->isVisible() && c->isEnabled() &&
          (qobject_cast<QLineEdit*>(c) || qobject_cast<QComboBox*>(c) || qobject_cast<QPlainTextEdit*>(c) ||
           qobject_cast<QAbstractButton*>(c)))
        out.push_back(c);
    return out;
  };
  for (int tab = 0; tab < 7; ++tab) {
    for (int k = 0;; ++k) {
      auto* w = new RodDesign(prog);
      w->show();
      w->SSTab1->setCurrentIndex(tab);
      w->activateWindow();
      QApplication::processEvents();
      const auto boxes = focusable(w);
      const bool last = k + 1 >= boxes.size();
      if (k < boxes.size()) boxes[k]->setFocus(Qt::OtherFocusReason);
      delete w;
      QApplication::processEvents();
      if (last) break;
    }
  }
}

// The in-grid depth editor, before it is first placed, lies over row 1's depth and leaves the
// centralizer table's heading readable, also once the window is laid out on the screen.
TEST_F(DesignWindowTest, DepthEditorStartsBelowTheCentralizerHeading) {
  w->show();
  w->SSTab1->setCurrentIndex(4);
  QApplication::processEvents();
  const QRect editor = w->txtEdit->geometry();
  const int heading_bottom = w->Grid2->y() + w->Grid2->rowHeight(0);
  EXPECT_GE(editor.top(), heading_bottom);
  EXPECT_GE(editor.left(), w->Grid2->x() + w->Grid2->columnWidth(0));
}

}  // namespace
