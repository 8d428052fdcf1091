// The fluid-level window's library and printing: saving the sample, choosing its row,
// marking the sound mark and the level, the sound-mark method written back into the
// record, deleting with the record link following, and printing marked rows to a PDF.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/common/record_store.h"
#include "core/common/trim.h"
#include "core/level/dym_record.h"
#include "core/level/level_analysis.h"
#include "core/level/level_library.h"
#include "core/level/synthetic_level.h"
#include "core/printing/print_state.h"
#include "platform/file_browser.h"
#include "platform/grid.h"
#include "printing/print_test_helpers.h"
#include "ui/level/level_display.h"
#include "ui_fakes.h"

using namespace wb;

namespace {

class LevelLibraryWindow : public ::testing::Test {
 protected:
  LevelLibraryWindow() {
    PrintDlg::destroy();
    current_printer() = PrinterSettings{};
    PrintSession::force_pdf() = true;
    folder.create_folders();
    EXPECT_TRUE(write_level_template(folder.sys() / kLevelTemplateFile));
    EXPECT_TRUE(write_synthetic_level_test(folder.data() / u8path("示范井1.y01"), SyntheticLevelParams{}));
    SyntheticLevelParams b;
    b.well_name = "示范井2";
    b.level_depth = 1500;
    b.seed = 9;
    EXPECT_TRUE(write_synthetic_level_test(folder.data() / u8path("示范井2.y01"), b));
    w = std::make_unique<LevelDisplay>(folder);
    w->show();
  }
  ~LevelLibraryWindow() override {
    w.reset();
    PrintSession::force_pdf() = false;
  }

  void open_and_save(const char* file) {
    w->File1->set_file_name(QString::fromUtf8(file));
    w->File1_Click();
    w->Command2->click();
  }
  void mark_at(LevelMarker m, double points) {
    w->Picture2_MouseDown(Qt::RightButton, points);
    w->ym_items[static_cast<int>(m)]->trigger();
  }
  DymRecord record(int r) {
    DymRecord d;
    EXPECT_EQ(LevelLibrary(folder).read(r, d), StoreStatus::Ok);
    return d;
  }

  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder folder{tmp.path()};
  std::unique_ptr<LevelDisplay> w;
};

}  // namespace

TEST_F(LevelLibraryWindow, SoundMarkMethodIsWrittenIntoTheRecord) {
  open_and_save("示范井1.y01");
  ASSERT_EQ(w->record_count(), 1);
  EXPECT_EQ(w->Grid1->text(1, LevelDisplay::kColWell).trimmed(), QStringLiteral("示范井1"));
  w->Grid1->set_row(1);
  w->Grid1_Click(1);
  EXPECT_EQ(w->st.cur_rec, 1);
  EXPECT_EQ(w->st.auto_level_index, -1);

  // The wellhead stands at sample 250; the sound mark at sample 1000 is 500 m down.
  w->Text3->setText(QStringLiteral("500"));
  mark_at(LevelMarker::SoundMark, 1000 / 1.2);
  mark_at(LevelMarker::Level, 2036 / 1.2);
  w->Command1->click();
  EXPECT_TRUE(fakes.messages.shown.empty()) << fakes.messages.shown.front().text;
  EXPECT_FLOAT_EQ(w->st.sound_speed, 333.33f);
  EXPECT_EQ(w->st.method, 1);
  EXPECT_TRUE(w->Label2->text().contains(QStringLiteral(" 按音标算")));

  const DymRecord d = record(1);
  EXPECT_NEAR(d.marks[static_cast<int>(LevelMarker::SoundMark)], 1000.0f, 0.01f);
  EXPECT_NEAR(d.marks[static_cast<int>(LevelMarker::Level)], 2036.0f, 0.01f);
  EXPECT_EQ(d.method, 1);
  EXPECT_FLOAT_EQ(d.level_depth, w->st.level_depth);
  EXPECT_FLOAT_EQ(d.sound_speed, 333.33f);  // the speed the depth was found with
  // 1786 samples after the wellhead at 0.6667 m a sample.
  EXPECT_NEAR(d.level_depth, 1786 * 333.33 / 500, 1.0);
}

TEST_F(LevelLibraryWindow, MissingMarksAndBadBoxesChangeNothing) {
  open_and_save("示范井1.y01");
  w->Grid1_Click(1);
  w->Command1->click();
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, "请先选定:音标位置");  // the saved level is kept
  w->Text3->setText(QStringLiteral("abc"));
  mark_at(LevelMarker::SoundMark, 800);
  w->st.method = 3;
  mark_at(LevelMarker::Level, 1700);  // the automatic method re-reads the depth only
  EXPECT_EQ(record(1).method, 3);
  w->Command1->click();
  EXPECT_EQ(fakes.messages.shown.back().title, "无法计算");
  EXPECT_EQ(w->st.method, 3);
  EXPECT_EQ(record(1).method, 3);
}

// Boxes typed beyond what a well can have: the method names the box, and neither the speed,
// the title nor the stored record changes.
TEST_F(LevelLibraryWindow, BoxesBeyondReasonAreNamedAndNothingIsStored) {
  struct Case {
    QLineEdit* LevelDisplay::*box;
    const char* text;
    bool collars;
    const char* message;  // how the message begins
  } cases[] = {
      {&LevelDisplay::Text3, "1e300", false, "“音标深度”为 1E+300 m"},
      {&LevelDisplay::Text3, "99999999", false, "“音标深度”为 99999999 m"},
      {&LevelDisplay::Text4, "1e300", true, "“油管长”为 1E+300 m"},
      {&LevelDisplay::Text5, "99999999", true, "“接箍数”为 99999999"},
  };
  open_and_save("示范井1.y01");
  w->Grid1_Click(1);
  mark_at(LevelMarker::SoundMark, 1000 / 1.2);
  mark_at(LevelMarker::CollarStart, 300 / 1.2);
  mark_at(LevelMarker::CollarEnd, 441 / 1.2);
  mark_at(LevelMarker::Level, 2036 / 1.2);
  const DymRecord stored = record(1);
  const float speed = w->st.sound_speed;
  const QString title = w->Label2->text();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    QLineEdit* box = (*w).*(c.box);
    const QString valid = box->text();
    box->setText(QString::fromUtf8(c.text));
    fakes.messages.shown.clear();
    (c.collars ? w->Command3 : w->Command1)->click();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text.rfind(c.message, 0), 0u) << fakes.messages.shown[0].text;
    EXPECT_EQ(fakes.messages.shown[0].title, kBoxRefusedTitle);
    EXPECT_EQ(w->st.sound_speed, speed);
    EXPECT_EQ(w->Label2->text(), title);
    const DymRecord now = record(1);
    EXPECT_EQ(now.method, stored.method);
    EXPECT_EQ(now.sound_speed, stored.sound_speed);
    EXPECT_EQ(now.sound_mark_depth, stored.sound_mark_depth);
    box->setText(valid);
  }
}

TEST_F(LevelLibraryWindow, DeletingAsksAndTheLinkFollows) {
  open_and_save("示范井1.y01");
  open_and_save("示范井2.y01");
  ASSERT_EQ(w->record_count(), 2);
  w->Grid1_Click(2);
  w->Grid1->set_row(1);
  fakes.messages.answers = {MsgAnswer::Yes};
  w->sc_num_Click();
  EXPECT_EQ(fakes.messages.shown.back().text, "确实要删除 1号记录吗?");
  EXPECT_EQ(w->record_count(), 1);
  EXPECT_EQ(w->st.cur_rec, 1);  // its record moved up
  mark_at(LevelMarker::CollarStart, 700);
  EXPECT_NEAR(record(1).marks[static_cast<int>(LevelMarker::CollarStart)], 840.0f, 0.01f);
  EXPECT_EQ(Trim_Blank_Nul(record(1).well_name), "示范井2");
}

TEST_F(LevelLibraryWindow, PrintMarksByKeyAndTheEmptyRow) {
  // The empty row of an empty library names no record.
  EXPECT_EQ(w->Grid1->rows(), 2);
  w->Grid1_Click(1);
  EXPECT_EQ(w->st.cur_rec, 0);
  EXPECT_FALSE(w->Command2->isEnabled());

  open_and_save("示范井1.y01");
  open_and_save("示范井2.y01");
  w->Grid1->setCurrentCell(1, LevelDisplay::kColNumber);
  w->Grid1->setRangeSelected(QTableWidgetSelectionRange(1, LevelDisplay::kColNumber, 2, LevelDisplay::kColDate), true);
  w->Grid1_KeyPress(QLatin1Char('p'));
  EXPECT_EQ(w->marked_records(), (std::vector<std::int16_t>{1, 2}));
  w->Grid1_KeyPress(QLatin1Char('P'));
  EXPECT_TRUE(w->marked_records().empty());
  w->Grid1_KeyPress(QLatin1Char('x'));
  EXPECT_TRUE(w->marked_records().empty());
}

TEST_F(LevelLibraryWindow, PrintsMarkedRowsFromACopy) {
  w->Command6_Click();
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].title, "没有选定");

  open_and_save("示范井1.y01");
  open_and_save("示范井2.y01");
  w->Grid1_Click(1);
  const float speed = w->st.sound_speed;
  const QString title = w->Label2->text();
  for (int r : {2, 1}) {
    w->Grid1->set_row(r);
    w->Grid1_DblClick();
  }
  EXPECT_EQ(w->marked_records(), (std::vector<std::int16_t>{1, 2}));
  const QString pdf = QString::fromStdString((folder.root / "level.pdf").string());
  fakes.files.answers = {pdf.toStdString()};
  test::when_dialog_waits([](PrintDlg& d) { QTest::mouseClick(d.Command1, Qt::LeftButton); });
  w->Command6_Click();
  const QByteArray keep = qgetenv("WB_PRINT_PDF_DIR");  // for a look at the sheet
  if (!keep.isEmpty()) QFile::copy(pdf, QString::fromLocal8Bit(keep) + "/level.pdf");
  EXPECT_EQ(test::pdf_pages(pdf), 1);
  const auto boxes = test::pdf_media_boxes(pdf);
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_GT(boxes[0].width(), boxes[0].height());  // A4 landscape
  EXPECT_EQ(w->st.cur_rec, 1);
  EXPECT_EQ(w->st.sound_speed, speed);
  EXPECT_EQ(w->Label2->text(), title);
  // Two wells: the proposed PDF names the report only.
  ASSERT_FALSE(fakes.files.asked.empty());
  EXPECT_EQ(fakes.files.asked.back().file_name, "液面测试报表.pdf");
}

// The marked tests of one well: the proposed PDF carries the well's name.
TEST_F(LevelLibraryWindow, APdfOfOneWellIsNamedAfterIt) {
  open_and_save("示范井1.y01");
  w->Grid1->set_row(1);
  w->Grid1_DblClick();
  fakes.files.answers = {path_text(folder.root / "one.pdf")};
  test::when_dialog_waits([](PrintDlg& d) { QTest::mouseClick(d.Command1, Qt::LeftButton); });
  w->Command6_Click();
  ASSERT_FALSE(fakes.files.asked.empty());
  EXPECT_EQ(fakes.files.asked.back().file_name, "示范井1_液面测试报表.pdf");
}

// The grid lists the library again after the window's own saves and whenever the file
// changed on disk: another file renamed over it, or a well renamed in place with a new time.
TEST_F(LevelLibraryWindow, TheGridFollowsSavesAndALibraryChangedOnDisk) {
  auto wells = [this] {
    std::vector<std::string> out;
    for (int r = 1; r < w->Grid1->rows(); ++r) {
      EXPECT_EQ(w->Grid1->text(r, LevelDisplay::kColNumber).toStdString(), std::to_string(r));
      out.push_back(Trim_Blank_Nul(w->Grid1->text(r, LevelDisplay::kColWell).toStdString()));
    }
    return out;
  };
  open_and_save("示范井1.y01");
  open_and_save("示范井2.y01");
  EXPECT_EQ(wells(), (std::vector<std::string>{"示范井1", "示范井2"}));
  open_and_save("示范井1.y01");  // the same key again: replaced
  EXPECT_EQ(wells(), (std::vector<std::string>{"示范井1", "示范井2"}));

  // Another program's file renamed over the library: the records in the other order.
  const std::filesystem::path lib = LevelLibrary(folder).path();
  Bytes b;
  ASSERT_TRUE(read_file(lib, b));
  Bytes swapped(b.begin() + static_cast<std::ptrdiff_t>(kDymRecordSize), b.end());
  swapped.insert(swapped.end(), b.begin(), b.begin() + static_cast<std::ptrdiff_t>(kDymRecordSize));
  ASSERT_TRUE(write_file_atomic(lib, swapped));
  w->load_grid_dat();
  EXPECT_EQ(wells(), (std::vector<std::string>{"示范井2", "示范井1"}));

  // A well renamed in place, same length, with a new modification time.
  struct stat st {};
  ASSERT_EQ(::stat(lib.c_str(), &st), 0);
  {
    std::fstream f(lib, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(0);
    f.write("W9", 2);
    ASSERT_TRUE(f.good());
  }
  timespec times[2] = {st.st_atim, st.st_mtim};
  times[1].tv_sec += 2;
  ASSERT_EQ(::utimensat(AT_FDCWD, lib.c_str(), times, 0), 0);
  w->load_grid_dat();
  EXPECT_EQ(wells(), (std::vector<std::string>{"W9范井2", "示范井1"}));
  EXPECT_EQ(w->record_count(), 2);
}
