// Damaged card, electric and waveform files and library records opened in the main window:
// the user is told what is wrong, the shown test stays, and no box shows a number that is not
// one; a record with doubtful numbers opens with a warning and is stored only when the user
// says so.
#include <gtest/gtest.h>

#include <QApplication>
#include <fstream>
#include <random>

#include "core/common/test_records.h"
#include "core/records/record_checks.h"
#include "core/workbench/test_libraries.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"
#include "../core/workbench/temp_program_folder.h"

using namespace wb;

namespace {

namespace fs = std::filesystem;

Bytes random_bytes(std::size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  Bytes b(n);
  for (auto& x : b) x = static_cast<std::uint8_t>(gen());
  return b;
}

SgtRecord sound_card() {
  SgtRecord r;
  r.well_name = "N5";
  r.test_date = "200607081200";
  r.point_num = 400;
  r.ss_cos[0] = 3.0f;
  r.ss_sin[1] = -1.5f;
  r.gg_cos[0] = 80.0f;
  return r;
}

bool shows_a_non_number(const QString& t) {
  return t.contains(QLatin1String("nan"), Qt::CaseInsensitive) ||
         t.contains(QLatin1String("inf"), Qt::CaseInsensitive) || t.contains(QLatin1String("E+"));
}

void expect_boxes_finite(const RodEngMapDisplay& w) {
  for (const auto* b : w.Text1) {
    if (!b) continue;
    EXPECT_FALSE(shows_a_non_number(b->text())) << b->text().toStdString();
  }
  for (const auto* b : w.Text3) {
    if (!b) continue;
    EXPECT_FALSE(shows_a_non_number(b->text())) << b->text().toStdString();
  }
}

struct Window {
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  std::unique_ptr<RodEngMapDisplay> w;
  Window() {
    prog.create_folders();
    test::put_bytes(prog.data() / "N5.g01", sound_card().encode());
    w = std::make_unique<RodEngMapDisplay>(prog);
    w->open_card_file(prog.data() / "N5.g01");
  }
};

}  // namespace

TEST(DamagedTestFiles, RandomBytesAreRefusedNamingWhatIsWrong) {
  struct Case {
    const char* file;
    std::size_t size;
    void (RodEngMapDisplay::*open)(const fs::path&);
    const char* kind;
  } cases[] = {
      {"bad.g01", kSgtRecordSize, &RodEngMapDisplay::open_card_file, "示功图"},
      {"bad.d01", kDntRecordSize, &RodEngMapDisplay::open_electric_file, "电力曲线"},
      {"bad.x01", kXbtRecordSize, &RodEngMapDisplay::open_wave_file, "电力波形"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    test::ScopedFakeServices fakes;
    Window s;
    ASSERT_TRUE(fakes.messages.shown.empty());
    ASSERT_EQ(s.w->Text1[2]->text(), QStringLiteral("N5"));
    const fs::path bad = s.prog.data() / c.file;
    test::put_bytes(bad, random_bytes(c.size, 512));
    (s.w.get()->*c.open)(bad);
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    const std::string& text = fakes.messages.shown[0].text;
    EXPECT_EQ(fakes.messages.shown[0].title, kRecordRefusedTitle);
    EXPECT_NE(text.find(c.kind), std::string::npos) << text;
    EXPECT_NE(text.find(c.file), std::string::npos) << text;
    EXPECT_NE(text.find("系数"), std::string::npos) << text;
    // The card shown before stays.
    EXPECT_EQ(s.w->st.read_sgt_dnt_org, kKindCard);
    EXPECT_EQ(s.w->Text1[2]->text(), QStringLiteral("N5"));
    expect_boxes_finite(*s.w);
  }
}

// A file one byte short or long, or empty, clicked in the browser: the message names the
// kind, the file and its length against the record's, and the path box keeps naming the
// card still on screen.
TEST(DamagedTestFiles, WrongLengthFilesAreRefusedByNameAndLengthAndThePathBoxStays) {
  struct Case {
    const char* file;
    const char* pattern;
    std::size_t size;
    const char* kind;
    const char* reason;
  } cases[] = {
      {"S1.g01", "*.g*", kSgtRecordSize - 1, "示功图", "长 511 字节，单个测试文件应正好是一个记录（512 字节）"},
      {"S2.g01", "*.g*", kSgtRecordSize + 1, "示功图", "长 513 字节，单个测试文件应正好是一个记录（512 字节）"},
      {"S3.g01", "*.g*", 0, "示功图", "文件是空的"},
      {"S4.d01", "*.d*", kDntRecordSize - 1, "电力曲线", "单个测试文件应正好是一个记录"},
      {"S5.x01", "*.x*", kXbtRecordSize + 1, "电力波形", "单个测试文件应正好是一个记录"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    test::ScopedFakeServices fakes;
    Window s;
    s.w->File1->set_pattern(QStringLiteral("*.g*"));
    s.w->File1->refresh();
    s.w->File1->set_file_name(QStringLiteral("N5.g01"));
    s.w->File1_Click();
    const QString shown_path = s.w->Text2->text();
    ASSERT_TRUE(shown_path.endsWith(QStringLiteral("N5.g01"))) << shown_path.toStdString();
    ASSERT_TRUE(fakes.messages.shown.empty());

    test::put_bytes(s.prog.data() / c.file, random_bytes(c.size, 9));
    s.w->File1->set_pattern(QString::fromUtf8(c.pattern));
    s.w->File1->refresh();
    s.w->File1->set_file_name(QString::fromUtf8(c.file));
    s.w->File1_Click();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    const std::string& text = fakes.messages.shown[0].text;
    EXPECT_EQ(fakes.messages.shown[0].title, kRecordRefusedTitle);
    EXPECT_NE(text.find(c.kind), std::string::npos) << text;
    EXPECT_NE(text.find(c.file), std::string::npos) << text;
    EXPECT_NE(text.find(c.reason), std::string::npos) << text;
    EXPECT_EQ(s.w->Text2->text(), shown_path);
    EXPECT_EQ(s.w->st.read_sgt_dnt_org, kKindCard);
    EXPECT_EQ(s.w->Text1[2]->text(), QStringLiteral("N5"));
  }
}

TEST(DamagedTestFiles, DamagedLibraryRowIsRefusedAndTheSoundOnesStillOpen) {
  test::ScopedFakeServices fakes;
  Window s;
  Bytes lib = sound_card().encode();
  const Bytes junk = random_bytes(kSgtRecordSize, 7);
  lib.insert(lib.end(), junk.begin(), junk.end());
  test::put_bytes(library_path(s.prog, LibraryKind::Card), lib);
  s.w->Image1_Click(4);
  ASSERT_EQ(s.w->Grid1->rows(), 3);

  s.w->Grid1->set_row(2);
  s.w->Grid1_MouseDown(2, 1, Qt::LeftButton);
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_NE(fakes.messages.shown[0].text.find("Sgt.dat"), std::string::npos) << fakes.messages.shown[0].text;
  expect_boxes_finite(*s.w);

  s.w->Grid1->set_row(1);
  s.w->Grid1_MouseDown(1, 1, Qt::LeftButton);
  EXPECT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(s.w->Text1[2]->text(), QStringLiteral("N5"));
}

TEST(DamagedTestFiles, DoubtfulRecordWarnsOnOpeningAndAsksBeforeTheStore) {
  test::ScopedFakeServices fakes;
  Window s;
  DntRecord r;
  r.well_name = "E1";
  r.test_date = "200405061530";
  r.point_num = 480;
  r.power_factor = -10727;  // a power factor of -1.0727
  r.ii_cos[0] = 50.0f;
  r.uu_cos[0] = 760.0f;
  r.pp_cos[0] = 25.0f;
  const fs::path file = s.prog.data() / "E1.d01";
  test::put_bytes(file, r.encode());
  s.w->open_electric_file(file);
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].title, kRecordDoubtsTitle);
  EXPECT_NE(fakes.messages.shown[0].text.find("功率因数为 -1.0727"), std::string::npos);
  EXPECT_EQ(s.w->st.read_sgt_dnt_org, kKindElectric);

  const fs::path lib = library_path(s.prog, LibraryKind::Electric);
  fakes.messages.answers = {MsgAnswer::No};
  s.w->Image1_Click(7);
  ASSERT_EQ(fakes.messages.shown.size(), 2u);
  EXPECT_EQ(fakes.messages.shown[1].buttons, MsgButtons::YesNo);
  EXPECT_NE(fakes.messages.shown[1].text.find("-1.0727"), std::string::npos);
  EXPECT_FALSE(fs::exists(lib));

  fakes.messages.answers = {MsgAnswer::Yes};
  s.w->Image1_Click(7);
  EXPECT_TRUE(fs::exists(lib));
}
