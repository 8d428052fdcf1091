// The frames "斜井数据表" and "三维井眼曲线" hosted side by side as the design window's tab
// will host them: typing stations, pasting a survey, "更新", saving and reloading the survey
// file, turning the 3D view and saving its picture.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <filesystem>

#include "platform/grid.h"
#include "platform/picture_box.h"
#include "ui/design/survey_frames.h"
#include "ui_fakes.h"

using namespace wb;
using namespace wb::design;

namespace {

int dark_pixels(const QImage& img) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QRgb p = img.pixel(x, y);
      if (qRed(p) < 60 && qGreen(p) < 60 && qBlue(p) < 60) ++n;
    }
  return n;
}

struct Host {
  explicit Host(const std::filesystem::path& root)
      : eng(ProgramFolder{root}, *services().messages, *services().shell), table(nullptr), view(nullptr) {
    ProgramFolder{root}.create_folders();
    auto* lay = new QHBoxLayout(&page);
    table = new SurveyTableFrame(eng, &page);
    view = new WellViewFrame(eng, &page);
    lay->addWidget(table);
    lay->addWidget(view);
    eng.st.JName_Comb = "W7";
    table->reset_grid();
    page.resize(1000, 520);
    page.show();
    page.activateWindow();
  }
  RodDesignEngine eng;
  QWidget page;
  SurveyTableFrame* table;
  WellViewFrame* view;
};

void type_into(QLineEdit* box, const QString& text) {
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, text);
}

}  // namespace

TEST(DesignSurveyFrames, EditPasteComputeSaveReloadTurnAndSavePicture) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  Host h(tmp.path());
  auto& g = *h.table->Grid1;

  // A station typed into the boxes: 12° 30′ is written as 12.5; Enter in the azimuth minutes
  // closes the station and opens the next row.
  type_into(h.table->Text1[0], "300");
  type_into(h.table->Text1[1], "12");
  type_into(h.table->Text1[2], "30");
  type_into(h.table->Text1[3], "40");
  QTest::keyClick(h.table->Text1[4], Qt::Key_Return);
  EXPECT_EQ(g.text(1, 1), "300");
  EXPECT_EQ(g.text(1, 2), "12.5");
  EXPECT_EQ(g.rows(), 3);
  EXPECT_TRUE(h.table->survey_changed());

  // Paste a survey copied from a spreadsheet: it replaces the rows.
  QApplication::clipboard()->setText("500\t1.5\t30\r\n1000\t8\t45\r\n1600\t20\t60\r\n2000\t25\t70");
  h.table->past->trigger();
  ASSERT_EQ(g.rows(), 6);
  EXPECT_EQ(g.text(4, 1), "2000");
  EXPECT_EQ(g.text(5, 0), "5");

  // "更新": vertical depths and displacements written back, the path drawn.
  QTest::mouseClick(h.table->Cmd_Recalc, Qt::LeftButton);
  EXPECT_EQ(h.eng.st.last_node, 1000);
  EXPECT_FALSE(g.text(4, 6).isEmpty());
  EXPECT_LT(g.text(4, 6).toDouble(), 2000);
  EXPECT_GT(g.text(4, 4).toDouble(), 100);
  EXPECT_GT(dark_pixels(h.view->Picture_3D->image()), 50);
  EXPECT_TRUE(fakes.messages.shown.empty());

  // Save, then reload into a fresh grid.
  ASSERT_EQ(h.table->save_survey(), DesignOutcome::done);
  const auto file = tmp.path() / "data" / "W7.jx";
  EXPECT_EQ(std::filesystem::file_size(file), 102u * (4 + 5));
  EXPECT_FALSE(h.table->survey_changed());
  h.table->reset_grid();
  EXPECT_EQ(g.rows(), 2);
  h.table->load_survey();
  h.table->compute_trajectory();
  ASSERT_EQ(g.rows(), 6);
  EXPECT_EQ(g.text(2, 1).trimmed(), "1000");
  EXPECT_EQ(h.eng.st.last_node, 1000);

  // A row click shows the row in the boxes.
  QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualRect(g.model()->index(3, 2)).center());
  EXPECT_EQ(h.table->Text1[0]->text().trimmed(), "1600");

  // Turn the view: the scroll bar and the box follow each other; rotation runs on the timer.
  h.view->Text_FW->setFocus();
  h.view->Text_FW->selectAll();
  QTest::keyClicks(h.view->Text_FW, "200");
  EXPECT_EQ(h.view->Text_FW->text(), "-179");
  EXPECT_EQ(h.view->HScroll_FW->value(), -179);
  QTest::mouseClick(h.view->Cmd_Tran_Well, Qt::LeftButton);
  EXPECT_EQ(h.view->Cmd_Tran_Well->text(), "反转");
  EXPECT_TRUE(h.view->Timer_Tran.isActive());
  EXPECT_TRUE(QTest::qWaitFor([&] { return h.view->HScroll_FW->value() > -179; }, 30000));
  QTest::mouseClick(h.view->Cmd_Tran_Well, Qt::LeftButton);
  QTest::mouseClick(h.view->Cmd_Tran_Well, Qt::LeftButton);
  EXPECT_EQ(h.view->Cmd_Tran_Well->text(), "正转");
  EXPECT_FALSE(h.view->Timer_Tran.isActive());

  if (const QByteArray dir = qgetenv("WB_SHOT_DIR"); !dir.isEmpty()) {
    h.page.grab().save(dir + "/design_survey_frames.png");
    h.view->Text_FW->setText("0");
    h.eng.set_Text_FW("0");
    h.view->refresh();
    h.page.grab().save(dir + "/design_survey_frames_north.png");
    h.eng.set_Text_FW("90");
    h.page.grab().save(dir + "/design_survey_frames_east.png");
  }

  // Right click on the picture: the save dialog opens in image with the view's name.
  const std::string bmp = (tmp.path() / "image" / "w7.bmp").string();
  fakes.files.answers.push_back(bmp);
  QTest::mouseClick(h.view->Picture_3D, Qt::RightButton, {}, QPoint(20, 20));
  ASSERT_EQ(fakes.files.asked.size(), 1u);
  EXPECT_EQ(fakes.files.asked[0].title, "3D井眼曲线另存为图片文件");
  EXPECT_EQ(fakes.files.asked[0].file_name, "W7井眼曲线(" + h.view->Text_FW->text().toStdString() + "度方向).BMP");
  EXPECT_TRUE(std::filesystem::exists(bmp));
  EXPECT_EQ(QImage(QString::fromStdString(bmp)).format() != QImage::Format_Invalid, true);
}

TEST(DesignSurveyFrames, APictureThatCannotBeSavedIsReported) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  Host h(tmp.path());
  const std::string bmp = (tmp.path() / "no such folder" / "w7.bmp").string();
  fakes.files.answers.push_back(bmp);
  QTest::mouseClick(h.view->Picture_3D, Qt::RightButton, {}, QPoint(20, 20));
  ASSERT_EQ(fakes.files.asked.size(), 1u);
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, "图片文件不能保存：" + bmp);
  EXPECT_FALSE(std::filesystem::exists(bmp));
}

TEST(DesignSurveyFrames, DeleteAndClearAskFirstAndMarkTheSurveyChanged) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  Host h(tmp.path());
  QApplication::clipboard()->setText("500\t1\t30\r\n1000\t2\t45\r\n1500\t3\t50\r\n");
  h.table->past->trigger();
  h.eng.st.jx_changed = 0;
  auto& g = *h.table->Grid1;
  g.setRangeSelected(QTableWidgetSelectionRange(2, 1, 3, 6), true);
  // The right button opens the menu and keeps the selection.
  QTest::mouseClick(g.viewport(), Qt::RightButton, {}, g.visualRect(g.model()->index(1, 1)).center());
  EXPECT_TRUE(h.table->JXdataEdit->isVisible());
  EXPECT_TRUE(h.table->past->isEnabled());
  h.table->JXdataEdit->hide();
  ASSERT_EQ(g.selectedRanges().size(), 1);
  EXPECT_EQ(g.selectedRanges()[0].topRow(), 2);
  fakes.messages.answers.push_back(MsgAnswer::Yes);
  h.table->num_del->trigger();
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, "确实要删除2-3号记录吗?");
  EXPECT_EQ(g.rows(), 3);
  EXPECT_TRUE(h.table->survey_changed());
  fakes.messages.answers.push_back(MsgAnswer::Yes);
  h.table->all_del->trigger();
  EXPECT_EQ(g.rows(), 2);
  EXPECT_EQ(g.text(1, 1), "");
}

// Scrolled down a long survey, a click on a row shows that row in the boxes and keeps it in
// view and selected (columns 1-6); typing into a box afterwards leaves the table where it is.
TEST(DesignSurveyFrames, ARowClickedLowDownStaysInViewAndSelected) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  Host h(tmp.path());
  QString survey;
  for (int i = 1; i <= 30; ++i) survey += QStringLiteral("%1\t%2\t30\r\n").arg(i * 50).arg(i * 0.5);
  QApplication::clipboard()->setText(survey);
  h.table->past->trigger();
  auto& g = *h.table->Grid1;
  ASSERT_GE(g.rows(), 31);
  g.verticalScrollBar()->setValue(g.verticalScrollBar()->maximum());
  QApplication::processEvents();
  const QModelIndex row26 = g.model()->index(26, 2);
  ASSERT_TRUE(g.viewport()->rect().contains(g.visualRect(row26).center()));

  auto row_shown = [&](int r) {
    const QRect cell = g.visualRect(g.model()->index(r, 2));
    return cell.top() >= g.rowHeight(0) && g.viewport()->rect().contains(cell);
  };
  QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualRect(row26).center());
  EXPECT_EQ(h.table->Text1[0]->text().trimmed(), "1300");
  EXPECT_TRUE(row_shown(26));
  ASSERT_EQ(g.selectedRanges().size(), 1);
  const auto sel = g.selectedRanges()[0];
  EXPECT_EQ(sel.topRow(), 26);
  EXPECT_EQ(sel.bottomRow(), 26);
  EXPECT_EQ(sel.leftColumn(), 1);
  EXPECT_EQ(sel.rightColumn(), 6);

  const int scrolled = g.verticalScrollBar()->value();
  QTest::keyClicks(h.table->Text1[5], "7");
  EXPECT_EQ(g.verticalScrollBar()->value(), scrolled);
  EXPECT_TRUE(row_shown(26));
}
