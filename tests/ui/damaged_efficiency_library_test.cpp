// Damaged and foreign efficiency libraries opened in the three windows that read them: the
// efficiency window's library box, the diagnosis window's efficiency file (Text4) and the
// statistics window (its library and its open button). Each file gives one message naming
// what is wrong, and no box or grid cell shows a non-finite number; the files themselves are
// left as they were.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <fstream>
#include <random>

#include "core/common/record_store.h"
#include "core/records/gt_ym_checks.h"
#include "core/statistics/effi_stat_export.h"
#include "efficiency/efficiency_window_fixture.h"
#include "platform/grid.h"
#include "ui/diagnosis/well_diagnosis.h"
#include "ui/statistics/sys_effi_assemble.h"

namespace wb {
namespace {

namespace fs = std::filesystem;

// A sound record of well `well` with the given vals[] texts.
GtYmRecord record(const std::string& well, std::initializer_list<std::pair<std::size_t, std::string>> vals = {}) {
  GtYmRecord r;
  r.well_name = well;
  r.block_unit = "采油一矿";
  r.cyj_model = "CYJ10-3-37HB";
  r.motor_model = "Y250M-8";
  r.vals[kValTestDate] = "200605121430";
  r.vals[kValPumpDia] = "56";
  r.vals[kValLiquidRate] = "20";
  r.vals[kValInputPower] = "10";
  for (const auto& [k, v] : vals) r.vals[k] = v;
  return r;
}

Bytes bytes_of(const std::vector<GtYmRecord>& recs) {
  Bytes out;
  for (const GtYmRecord& r : recs) {
    const Bytes b = r.encode();
    out.insert(out.end(), b.begin(), b.end());
  }
  return out;
}

Bytes random_bytes(std::size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  Bytes out(n);
  for (auto& b : out) b = static_cast<std::uint8_t>(gen());
  return out;
}

struct DamagedFile {
  const char* what;
  Bytes bytes;
  bool whole;        // whole 606-byte records (else refused as "非法的文件格式!")
  const char* well;  // a well whose usable record the diagnosis window looks up, or ""
};

std::vector<DamagedFile> damaged_files() {
  Bytes shifted = bytes_of({record("W1"), record("W2"), record("W3")});
  shifted.erase(shifted.begin(), shifted.begin() + 7);  // records cut short at the front …
  shifted.insert(shifted.end(), 7, ' ');                // … and the file padded back
  Bytes cut = bytes_of({record("W1"), record("W2")});
  cut.resize(cut.size() - 100);  // a record count that is not whole
  Bytes lone_lines = random_bytes(3 * kGtYmRecordSize, 11);
  for (std::size_t r = 1; r <= 3; ++r) {  // random records that end their lines
    lone_lines[r * kGtYmRecordSize - 2] = 13;
    lone_lines[r * kGtYmRecordSize - 1] = 10;
  }
  return {
      {"random bytes", random_bytes(4 * kGtYmRecordSize, 7), true, ""},
      {"random bytes ending in CR LF", lone_lines, true, ""},
      {"nan and inf", bytes_of({record("W1", {{kValPumpDia, "nan"}, {kValInputPower, "-inf"}, {kValSinker, "NaN/25"}}),
                                record("W2", {{kValWaterCut, "INF"}, {kValMaxCurrentPair, "1/nan"}})}),
       true, "W1"},
      {"huge exponents", bytes_of({record("W1", {{kValPumpDia, "1E+300"}, {kValLiquidRate, "1e999"},
                                                 {kValRmsPower, "3.4E+39"}, {kValPowerFactor, "-1D+200"}}),
                                   record("W2", {{kValPumpDepth, "9E+99"}, {kValRodPower, "1E+38"}})}),
       true, "W1"},
      {"beyond the range", bytes_of({record("W1", {{kValPumpDia, "99999"}, {kValWaterCut, "-40"}, {kValPowerFactor, "7"}}),
                                     record("W2")}),
       true, "W1"},
      {"shifted records", shifted, true, ""},
      {"records cut short", cut, false, ""},
  };
}

// A text a window shows: nothing that reads as a non-finite number.
void expect_showable(const std::string& text, const std::string& where) {
  EXPECT_FALSE(shows_non_finite(text)) << where << ": " << text;
}

// The message the file gave on opening: the format refusal, or the findings with the path.
void expect_one_message(const test::FakeMessages& msg, std::size_t before, const DamagedFile& f, const fs::path& p) {
  ASSERT_EQ(msg.shown.size(), before + 1);
  const auto& m = msg.shown[before];
  if (!f.whole) {
    EXPECT_EQ(m.text, kBadFormatText);
    return;
  }
  EXPECT_EQ(m.title, kGtYmDamagedTitle);
  EXPECT_NE(m.text.find(path_text(p)), std::string::npos);
  EXPECT_NE(m.text.find("第 "), std::string::npos);  // the records are named
}

TEST(DamagedEfficiencyLibrary, EfficiencyWindowNamesItAndShowsNothingNonFinite) {
  for (const DamagedFile& f : damaged_files()) {
    SCOPED_TRACE(f.what);
    test::EffiWindow e;
    const fs::path p = e.tmp.path() / "sys" / "damaged.dat";
    ASSERT_TRUE(write_file_atomic(p, f.bytes));
    const std::size_t before = e.fakes.messages.shown.size();
    e.fakes.files.answers.push_back(path_text(p));
    QTest::mouseClick(e.w->Cmd_View_Effi_Data, Qt::LeftButton);
    expect_one_message(e.fakes.messages, before, f, p);
    if (!f.whole) continue;
    EXPECT_EQ(e.w->st.Effi_File, p);
    // Every record by its number, and every listed well.
    for (std::size_t r = 1; r <= f.bytes.size() / kGtYmRecordSize; ++r) {
      e.w->Text7->setText(QString::number(r));
      e.w->Text7_KeyUp();
      for (int b = 0; b < kEffiBoxCount; ++b) expect_showable(e.text(b), "record " + std::to_string(r) + " box " + std::to_string(b));
    }
    for (int i = 0; i < e.w->Comb_WellName->count(); ++i) expect_showable(e.w->Comb_WellName->itemText(i).toStdString(), "well list");
    EXPECT_EQ(e.fakes.messages.shown.size(), before + 1);  // showing records says nothing more
    std::vector<std::uint8_t> after;
    ASSERT_TRUE(read_file(p, after));
    EXPECT_EQ(after, f.bytes);
  }
}

TEST(DamagedEfficiencyLibrary, ShownBlanksAreNotSavedOverTheRecordWithoutAsking) {
  test::EffiWindow e;
  const fs::path lib = e.tmp.path() / "sys" / "gt_ym.dat";
  const Bytes bytes = bytes_of({record("W1", {{kValPumpDia, "1E+300"}})});
  ASSERT_TRUE(write_file_atomic(lib, bytes));
  e.w->Text7->setText("1");
  e.w->Text7_KeyUp();
  EXPECT_EQ(e.text(4), "");
  e.fakes.messages.answers = {MsgAnswer::No};
  QTest::mouseClick(e.w->Cmd_Save, Qt::LeftButton);
  ASSERT_FALSE(e.fakes.messages.shown.empty());
  EXPECT_NE(e.fakes.messages.shown.back().text.find("泵径"), std::string::npos);
  std::vector<std::uint8_t> after;
  ASSERT_TRUE(read_file(lib, after));
  EXPECT_EQ(after, bytes);
}

TEST(DamagedEfficiencyLibrary, DiagnosisWindowNamesItAndTakesNothingNonFinite) {
  for (const DamagedFile& f : damaged_files()) {
    SCOPED_TRACE(f.what);
    test::ScopedFakeServices fakes;
    test::TempProgramFolder tmp;
    ProgramFolder prog{tmp.path()};
    prog.create_folders();
    {
      WellDiagnosis& w = WellDiagnosis::instance(prog);
      w.show();
      const fs::path p = prog.sys() / "damaged.dat";
      ASSERT_TRUE(write_file_atomic(p, f.bytes));
      const std::size_t before = fakes.messages.shown.size();
      w.Text4->clear();
      QTest::keyClicks(w.Text4, qs(path_text(p)));
      expect_one_message(fakes.messages, before, f, p);
      if (*f.well) {
        w.box(3)->setText(qs(f.well));
        w.box(4)->setText("20060512");
        w.box(4)->setFocus();
        QTest::keyClick(w.box(4), Qt::Key_Return);  // reads the record, the base data, refreshes
        for (int b = 0; b <= 55; ++b) {
          if (b == 31) continue;  // the advice: free text
          expect_showable(w.Text1(b), "box " + std::to_string(b));
        }
      }
      std::vector<std::uint8_t> after;
      ASSERT_TRUE(read_file(p, after));
      EXPECT_EQ(after, f.bytes);
    }
    delete WellDiagnosis::existing();
  }
}

TEST(DamagedEfficiencyLibrary, StatisticsWindowNamesItAndShowsNothingNonFinite) {
  SysEffiAssemble::today_override() = "20261210";
  for (const DamagedFile& f : damaged_files()) {
    SCOPED_TRACE(f.what);
    test::ScopedFakeServices fakes;
    test::TempProgramFolder tmp;
    ProgramFolder prog{tmp.path()};
    prog.create_folders();
    const fs::path lib = gt_ym_path(prog);
    ASSERT_TRUE(write_file_atomic(lib, f.bytes));
    SysEffiAssemble w(prog);  // loads the library
    w.show();
    expect_one_message(fakes.messages, 0, f, lib);
    auto expect_table_showable = [&](const char* when) {
      for (int r = 1; r < w.Grid1->rows(); ++r)
        for (int c = 0; c < kStatColCount; ++c) {
          const std::string cell = w.Grid1->text(r, c).toStdString();
          if (kStatColumns[static_cast<std::size_t>(c)].mean != StatMean::None) {
            EXPECT_FALSE(shows_non_finite(cell)) << when << " " << r << "," << c << ": " << cell;
          }
        }
    };
    expect_table_showable("library");

    // The open button on the same bytes: the same one message.
    const fs::path other = prog.sys() / "other.dat";
    ASSERT_TRUE(write_file_atomic(other, f.bytes));
    fakes.files.answers = {path_text(other)};
    QTest::mouseClick(w.Command2, Qt::LeftButton);
    expect_one_message(fakes.messages, 1, f, other);
    expect_table_showable("opened");

    // The filter and the text export show the same cells.
    for (const char* field : kStatFilterFields) {
      w.st.choose_field(field);
      if (w.st.Combo2_items.empty()) continue;
      w.st.choose_value(w.st.Combo2_items.front());
      ASSERT_EQ(w.st.run_filter("20261210"), EffiStatState::Filter::Shown);
      for (const StatRow& row : w.st.grid.rows)
        for (std::size_t c = 5; c < row.size(); ++c) EXPECT_FALSE(shows_non_finite(row[c])) << row[c];
    }
    const fs::path out = prog.root / "stat.txt";
    fakes.files.answers = {path_text(out)};
    QTest::mouseClick(w.Command4, Qt::LeftButton);
    std::vector<std::uint8_t> text;
    ASSERT_TRUE(read_file(out, text));
    EXPECT_EQ(text, stat_export_bytes(w.st.grid.rows));
    std::vector<std::uint8_t> after;
    ASSERT_TRUE(read_file(lib, after));
    EXPECT_EQ(after, f.bytes);
  }
  SysEffiAssemble::today_override().clear();
}

}  // namespace
}  // namespace wb
