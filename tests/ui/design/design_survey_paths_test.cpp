// The design window on its real engine, on every path that reads or writes a survey: a well
// chosen from the list shows its survey and 3D view whatever its number of design dates, edits
// go into the file they were read from, a table read for no well replaces a stored survey only
// after a question naming that well, a one-row survey is not saved and says why, and a row
// click is no edit. Every survey file is read back after each step.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "core/common/record_store.h"
#include "core/common/trim.h"
#include "core/design/engine/rod_design_record.h"
#include "core/design/engine/survey_file.h"
#include "core/design/workbench/design_records.h"
#include "core/samples/synthetic_tests.h"
#include "platform/grid.h"
#include "platform/picture_box.h"
#include "ui/design/rod_design.h"
#include "ui/design/survey_frames.h"
#include "ui/diagnosis/diagnosis_hand_over.h"
#include "ui_fakes.h"
#include "../../core/workbench/temp_program_folder.h"

using namespace wb;
using namespace wb::design;

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Files = std::map<std::string, Bytes>;

Bytes file_bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Every survey file of the data folder, by name.
Files surveys(const ProgramFolder& prog) {
  Files out;
  for (const auto& e : fs::directory_iterator(prog.data()))
    if (e.path().extension() == ".jx") out[path_text(e.path().filename())] = file_bytes(e.path());
  return out;
}

// The depths a survey file holds, trimmed.
std::vector<std::string> depths(const Bytes& b) {
  std::vector<std::string> out;
  for (const JxRecord& r : decode_jx_file(b)) out.push_back(trim_blanks(r.cols[0]));
  return out;
}

struct ShowsWell : DiagnosisHandOver {
  std::string well;
  void cygsj(std::string&, std::int16_t&) override {}
  std::string Text1(int i) const override { return i == 3 ? well : ""; }
  std::string Text5() const override { return {}; }
  std::string Text6() const override { return {}; }
};

// The sample folder's wells: 示范井1 with its 40 stations, 示范井3 with five vertical ones
// and designs under `dates3` dates.
struct Folder {
  explicit Folder(int dates3) {
    prog.create_folders();
    EXPECT_TRUE(write_synthetic_survey(prog.data() / "示范井1.jx"));
    std::vector<JxRecord> rows;
    for (int d = 300; d <= 1500; d += 300) rows.push_back(JxRecord{{std::to_string(d), "0", "0", "", "", ""}});
    test::put_bytes(prog.data() / "示范井3.jx", encode_jx_file(rows));
    Bytes records;
    auto add = [&](const char* well, const std::string& date) {
      RodDesignRecord r;
      set_field_text(r.well_name, well);
      set_field_text(r.design_date, date);
      const Bytes b = r.encode();
      records.insert(records.end(), b.begin(), b.end());
    };
    add("示范井1", "20240101");
    for (int k = 1; k <= dates3; ++k) add("示范井3", "2024010" + std::to_string(k));
    test::put_bytes(design_record_path(prog), records);
  }
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
};

class DesignSurveyPaths : public ::testing::Test {
 protected:
  void open(const std::string& diagnosed_well) {
    diag.well = diagnosed_well;
    diagnosis_hand_over_provider() = [this]() -> DiagnosisHandOver* { return &diag; };
    w = new RodDesign(folder->prog);
    w->show();
    w->SSTab1->setCurrentIndex(1);
    w->activateWindow();
    QApplication::processEvents();
  }
  void TearDown() override {
    if (w) {
      w->st.jx_changed = 0;
      delete w;
    }
    QApplication::processEvents();
    diagnosis_hand_over_provider() = nullptr;
  }
  void choose_well(const QString& well) {
    const int i = w->JName_Comb->findText(well);
    ASSERT_GE(i, 0);
    w->JName_Comb->setCurrentIndex(i);
    emit w->JName_Comb->activated(i);
    QApplication::processEvents();
  }
  void type_box(int i, const QString& text) {
    QLineEdit* box = w->survey_frame->Text1[static_cast<std::size_t>(i)];
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
  }
  // A station typed through the entry boxes; Enter in the azimuth-minutes box opens the next row.
  void type_station(const QString& depth, const QString& inclination, const QString& azimuth) {
    type_box(0, depth);
    type_box(1, inclination);
    type_box(3, azimuth);
    QTest::keyClick(w->survey_frame->Text1[4], Qt::Key_Return);
  }
  void enter_well(const QString& well) {
    w->JName_Comb->setFocus();
    w->JName_Comb->setEditText(well);
    QTest::keyClick(w->JName_Comb->lineEdit(), Qt::Key_Return);
    QApplication::processEvents();
  }

  test::ScopedFakeServices fakes;
  std::unique_ptr<Folder> folder;
  ShowsWell diag;
  RodDesign* w = nullptr;
};

// Chosen from the list, 示范井3 shows its five stations and its 3D view with one design date
// or two; two rows typed then go into 示范井3.jx when 示范井1 is entered, and 示范井1.jx keeps
// its 40 stations.
TEST_F(DesignSurveyPaths, AWellChosenFromTheListShowsItsSurveyAndKeepsItsEdits) {
  for (const int dates : {1, 2}) {
    SCOPED_TRACE(dates);
    folder = std::make_unique<Folder>(dates);
    const Files before = surveys(folder->prog);
    ASSERT_EQ(before.at("示范井1.jx").size(), 4488u);
    open("示范井1");
    ASSERT_EQ(w->st.Grid1.rows(), 41);
    const double deviated_box = w->st.box_half_width;
    ASSERT_GT(deviated_box, 0);
    const QImage deviated_view = w->view_frame->Picture_3D->image().copy();

    choose_well(QStringLiteral("示范井3"));
    EXPECT_EQ(w->st.Grid1.rows(), 6);
    EXPECT_EQ(w->survey_frame->Grid1->rows(), 6);
    EXPECT_EQ(w->survey_frame->Grid1->text(5, 1), QStringLiteral("1500"));
    EXPECT_EQ(w->st.jx_changed, 0);
    EXPECT_EQ(w->st.box_half_width, 0);  // a vertical well's box
    EXPECT_NE(w->view_frame->Picture_3D->image(), deviated_view);

    // Two stations below the last one.
    fakes.messages.answers = {MsgAnswer::Yes};
    QTest::keyClick(w->survey_frame->Text1[4], Qt::Key_Return);  // a new row after 1500
    type_station("1600", "1", "10");
    type_station("1700", "2", "20");
    EXPECT_EQ(w->st.jx_changed, 1);
    fakes.messages.shown.clear();
    fakes.messages.answers = {MsgAnswer::Yes};
    enter_well(QStringLiteral("示范井1"));
    ASSERT_FALSE(fakes.messages.shown.empty());
    EXPECT_EQ(fakes.messages.shown[0].text, kSurveyChangedQuestion);
    EXPECT_EQ(w->st.Grid1.rows(), 41);  // 示范井1's survey shown

    const Files after = surveys(folder->prog);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_TRUE(after.at("示范井1.jx") == before.at("示范井1.jx")) << "示范井1.jx changed";
    const auto saved = depths(after.at("示范井3.jx"));
    ASSERT_GE(saved.size(), 7u);
    EXPECT_EQ(std::vector<std::string>(saved.begin(), saved.begin() + 7),
              (std::vector<std::string>{"300", "600", "900", "1200", "1500", "1600", "1700"}));

    // "保存" without an edit writes no survey.
    fakes.messages.answers.clear();
    w->SaveCom->click();
    EXPECT_TRUE(surveys(folder->prog) == after);
    TearDown();
    w = nullptr;
  }
}

// A table read for no well (the window opened without a well) goes into the survey of the well
// typed in the box only after a question that names it; 否 leaves that survey as it was.
TEST_F(DesignSurveyPaths, ATableReadForNoWellReplacesAStoredSurveyOnlyAfterAsking) {
  folder = std::make_unique<Folder>(2);
  const Files before = surveys(folder->prog);
  open("");
  ASSERT_TRUE(w->st.jx_path.empty());
  type_station("500", "1", "30");
  type_station("900", "2", "45");
  w->JName_Comb->setEditText(QStringLiteral("示范井1"));
  for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
    SCOPED_TRACE(answer == MsgAnswer::Yes ? "是" : "否");
    fakes.messages.shown.clear();
    fakes.messages.answers = {answer};
    w->SaveCom->click();
    ASSERT_FALSE(fakes.messages.shown.empty());
    EXPECT_EQ(fakes.messages.shown[0].text, survey_replace_question("示范井1"));
    const Files after = surveys(folder->prog);
    EXPECT_TRUE(after.at("示范井3.jx") == before.at("示范井3.jx"));
    if (answer == MsgAnswer::No) {
      EXPECT_TRUE(after.at("示范井1.jx") == before.at("示范井1.jx"));
      EXPECT_EQ(w->st.jx_changed, 1);
    } else {
      const auto saved = depths(after.at("示范井1.jx"));
      ASSERT_GE(saved.size(), 2u);
      EXPECT_EQ(saved[0], "500");
      EXPECT_EQ(saved[1], "900");
      EXPECT_EQ(w->st.jx_changed, 0);
    }
  }
}

// One row answered 是 is not saved and says why, whether the row is still in the boxes or
// Enter has taken it (and opened an empty entry row below); the window stays open with the
// row, and 否 then closes it. No survey file is made or changed.
TEST_F(DesignSurveyPaths, AOneRowSurveyIsNotSavedAndSaysWhy) {
  for (const bool entered : {false, true}) {
    SCOPED_TRACE(entered ? "Enter pressed" : "in the boxes");
    fakes.messages.shown.clear();
    folder = std::make_unique<Folder>(2);
    const Files before = surveys(folder->prog);
    open("示范井5");
    ASSERT_EQ(w->st.Grid1.rows(), 2);  // the entry row
    if (entered) {
      type_station("800", "3", "10");
      ASSERT_EQ(w->st.Grid1.rows(), 3);
    } else {
      type_box(0, "800");
      type_box(1, "3");
    }
    EXPECT_EQ(w->st.jx_changed, 1);
    fakes.messages.answers = {MsgAnswer::Yes};
    w->close();
    QApplication::processEvents();
    ASSERT_EQ(fakes.messages.shown.size(), 2u);
    EXPECT_EQ(fakes.messages.shown[0].text, kSurveyChangedQuestion);
    EXPECT_EQ(fakes.messages.shown[1].text, kSurveyTooShortText);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->st.Grid1.text(1, 1), "800");
    EXPECT_TRUE(surveys(folder->prog) == before);

    fakes.messages.answers = {MsgAnswer::No};
    QPointer<RodDesign> alive = w;
    w->close();
    QApplication::processEvents();
    EXPECT_TRUE(!alive || !alive->isVisible());
    EXPECT_TRUE(surveys(folder->prog) == before);
    delete alive.data();  // the next pass opens a window of its own
    w = nullptr;
  }
}

// A clicked row fills the boxes with the stored texts, without the file's padding, and is no
// edit: closing asks nothing. An edit asks, and 否 closes without writing.
TEST_F(DesignSurveyPaths, ARowClickIsNoEditAndItsTextsAreTrimmed) {
  folder = std::make_unique<Folder>(2);
  const Files before = surveys(folder->prog);
  open("示范井3");
  Grid& g = *w->survey_frame->Grid1;
  ASSERT_EQ(g.rows(), 6);
  EXPECT_EQ(g.text(2, 1), QStringLiteral("600"));
  QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualRect(g.model()->index(2, 2)).center());
  EXPECT_EQ(w->survey_frame->Text1[0]->text(), QStringLiteral("600"));
  EXPECT_EQ(w->survey_frame->Text1[1]->text(), QStringLiteral("0"));
  EXPECT_EQ(w->st.jx_changed, 0);

  // Typing on after the clicked depth continues its digits.
  QLineEdit* depth = w->survey_frame->Text1[0];
  depth->setFocus();
  depth->end(false);
  QTest::keyClicks(depth, "5");
  EXPECT_EQ(depth->text(), QStringLiteral("6005"));
  EXPECT_EQ(w->st.Grid1.text(2, 1), "6005");
  EXPECT_EQ(w->st.jx_changed, 1);
  fakes.messages.answers = {MsgAnswer::No};
  QPointer<RodDesign> alive = w;
  w->close();
  QApplication::processEvents();
  EXPECT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_TRUE(surveys(folder->prog) == before);
  if (!alive) w = nullptr;
}

// Clicked and closed without an edit: nothing is asked.
TEST_F(DesignSurveyPaths, ClosingAfterARowClickAsksNothing) {
  folder = std::make_unique<Folder>(2);
  open("示范井3");
  Grid& g = *w->survey_frame->Grid1;
  QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualRect(g.model()->index(3, 2)).center());
  ASSERT_EQ(w->survey_frame->Text1[0]->text(), QStringLiteral("900"));
  QPointer<RodDesign> alive = w;
  w->close();
  QApplication::processEvents();
  EXPECT_TRUE(fakes.messages.shown.empty());
  if (!alive) w = nullptr;
}

}  // namespace
