// The fluid-level window on the sample echo: opening a raw file shows the speed and depth
// in the title with the wellhead and level markers in place; the template's absence is
// reported while the speed is still found; the gain, the overview and the cursor.
#include <gtest/gtest.h>

#include <QApplication>
#include <fstream>
#include <random>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>

#include "core/level/echo_display.h"
#include "core/level/level_analysis.h"
#include "core/level/level_file.h"
#include "core/level/level_library.h"
#include "core/level/level_open.h"
#include "core/level/synthetic_level.h"
#include "platform/file_browser.h"
#include "ui/level/level_display.h"
#include "ui/workbench/analysis_windows.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"

using namespace wb;

namespace {

struct LevelWindowFixture {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder folder{tmp.path()};

  explicit LevelWindowFixture(bool with_template = true) {
    folder.create_folders();
    if (with_template) {
      EXPECT_TRUE(write_level_template(folder.sys() / kLevelTemplateFile));
    }
    EXPECT_TRUE(write_synthetic_level_test(folder.data() / u8path("示范井1.y01"), SyntheticLevelParams{}));
  }
};

void open_sample(LevelDisplay& w) {
  w.File1->set_file_name(QStringLiteral("示范井1.y01"));
  ASSERT_EQ(w.File1->file_name(), QStringLiteral("示范井1.y01"));
  w.File1_Click();
}

}  // namespace

TEST(LevelWindow, OpensTheSampleEcho) {
  LevelWindowFixture f;
  LevelDisplay w(f.folder);
  w.show();
  EXPECT_EQ(w.windowTitle(), QStringLiteral("动液面显示系统"));
  EXPECT_FALSE(w.Command4->isEnabled());
  open_sample(w);
  EXPECT_TRUE(f.fakes.messages.shown.empty());
  const QString title = w.Label2->text();
  EXPECT_TRUE(title.startsWith(QStringLiteral("井号:示范井1 测试日期:200605121430 自动计算"))) << title.toStdString();
  EXPECT_TRUE(title.contains(QStringLiteral(" 音速:336米/秒"))) << title.toStdString();
  EXPECT_TRUE(title.contains(QStringLiteral(" 液面深度:12"))) << title.toStdString();
  EXPECT_TRUE(w.Text2->text().endsWith(QStringLiteral("示范井1.y01")));
  for (auto* b : {w.Command1, w.Command2, w.Command3, w.Command4, w.Command6}) EXPECT_TRUE(b->isEnabled());
  // Wellhead at sample 250: 208.33 points, 278 pixels; the level where the echo starts.
  EXPECT_NEAR(w.st.marker_line_x[0], 208.333f, 0.001f);
  EXPECT_EQ(w.marker_lines[0]->x(), 278);
  EXPECT_TRUE(w.marker_lines[4]->isVisible());
  EXPECT_NEAR(w.st.auto_level_index, synthetic_level_index(SyntheticLevelParams{}), 2);
  EXPECT_FALSE(w.marker_lines[1]->isVisible());  // the sound mark waits for the user
  EXPECT_GT(w.Line1->x(), 0);
}

TEST(LevelWindow, MissingTemplateIsReportedAndTheSpeedStillFound) {
  LevelWindowFixture f(false);
  LevelDisplay w(f.folder);
  w.show();
  open_sample(w);
  ASSERT_EQ(f.fakes.messages.shown.size(), 1u);
  EXPECT_EQ(f.fakes.messages.shown[0].title, "丢失文件");
  EXPECT_EQ(f.fakes.messages.shown[0].text.rfind("未找到液面波样本文件", 0), 0u);
  EXPECT_FLOAT_EQ(w.st.sound_speed, 336.0f);
  EXPECT_EQ(w.st.auto_level_index, -1);
  EXPECT_TRUE(w.Label2->text().contains(QStringLiteral("未找到液面")));
  EXPECT_FALSE(w.marker_lines[4]->isVisible());

  // The automatic command finds the speed again and reports the template once more.
  w.st.sound_speed = 0.0f;
  w.Command4->click();
  EXPECT_FLOAT_EQ(w.st.sound_speed, 336.0f);
  EXPECT_EQ(f.fakes.messages.shown.size(), 2u);
}

// The command draws the curves while the speed and level are searched: the pictures and
// results are those of the search, then the whole redraw, in turn.
TEST(LevelWindow, AutomaticCommandGivesWhatTheStepsInTurnGive) {
  LevelWindowFixture f;
  LevelDisplay w(f.folder);
  w.show();
  open_sample(w);
  w.VScroll1->setValue(3);
  w.st.sound_speed = 0.0f;
  w.st.auto_level_index = -1;
  LevelTest in_turn = w.st;
  const double width_twips = w.Picture1->width() * 15.0;
  ImageCanvas overview(w.Picture1->image().width(), w.Picture1->image().height());
  ImageCanvas echo(w.Picture2->image().width(), w.Picture2->image().height());
  test::FakeMessages messages;
  run_automatic_analysis(in_turn, f.folder, messages);
  redraw_graph(in_turn, &overview, width_twips, &echo);

  w.Command4->click();
  EXPECT_TRUE(f.fakes.messages.shown.empty());
  EXPECT_FLOAT_EQ(w.st.sound_speed, 336.0f);
  EXPECT_EQ(w.st.sound_speed, in_turn.sound_speed);
  EXPECT_GT(w.st.auto_level_index, 0);
  EXPECT_EQ(w.st.auto_level_index, in_turn.auto_level_index);
  EXPECT_EQ(w.st.level_depth, in_turn.level_depth);
  EXPECT_EQ(w.st.caption, in_turn.caption);
  EXPECT_EQ(w.st.marker_line_x, in_turn.marker_line_x);
  EXPECT_EQ(w.Picture1->image(), overview.image());
  EXPECT_EQ(w.Picture2->image(), echo.image());
}

TEST(LevelWindow, GainOverviewAndCursor) {
  LevelWindowFixture f;
  LevelDisplay w(f.folder);
  w.resize(1100, 720);
  w.show();
  open_sample(w);
  w.VScroll1->setValue(1);
  EXPECT_EQ(w.st.gain100, 100);

  // A click at the left end of the overview, where the value falls below 0, changes
  // nothing; at the right end the viewport shows the end of the test.
  const double viewport_pt = w.Picture4->width() * 0.75;
  ASSERT_GT(viewport_pt, 300.0);
  w.HScroll1->setValue(1000);
  w.Picture1_MouseDown(Qt::LeftButton, 0.0);
  EXPECT_EQ(w.HScroll1->value(), 1000);
  w.Picture1_MouseDown(Qt::LeftButton, w.Picture1->width() * 0.75);
  EXPECT_NEAR(w.HScroll1->value(), 3650 - viewport_pt / 2 + 150, 0.5);
  EXPECT_EQ(w.Picture2->x(), -static_cast<int>(std::lround(w.HScroll1->value() * 4.0 / 3.0)));

  // Only the right button moves the cursor and opens the marker menu.
  w.Picture2_MouseDown(Qt::LeftButton, 600.0);
  EXPECT_FALSE(w.ym_mnu->isVisible());
  w.Picture2_MouseDown(Qt::RightButton, 600.0);
  EXPECT_EQ(w.Line2->x(), 800);
  EXPECT_TRUE(w.ym_mnu->isVisible());
  w.ym_mnu->hide();
}

TEST(LevelWindow, RefusedFileKeepsTheShownTest) {
  LevelWindowFixture f;
  {
    std::ofstream out(f.folder.data() / "short.y02", std::ios::binary);
    out << std::string(100, 'x');
  }
  LevelDisplay w(f.folder);
  w.show();
  open_sample(w);
  const QString title = w.Label2->text();
  w.File1->refresh();
  w.File1->set_file_name(QStringLiteral("short.y02"));
  w.File1_Click();
  ASSERT_EQ(f.fakes.messages.shown.size(), 1u);
  EXPECT_EQ(w.Label2->text(), title);
  EXPECT_FLOAT_EQ(w.st.sound_speed, 336.0f);
}

// Random bytes as bad.y01 (fixed seed): the first message names the damaged header, and the
// title shows no number that is not one.
TEST(LevelWindow, RandomBytesFileIsNamedAndTheTitleStaysFinite) {
  LevelWindowFixture f;
  {
    std::mt19937 gen(1);
    std::string bytes(1024 + 4000, '\0');
    for (char& c : bytes) c = static_cast<char>(gen());
    std::ofstream out(f.folder.data() / "bad.y01", std::ios::binary);
    out << bytes;
  }
  LevelDisplay w(f.folder);
  w.show();
  w.File1->refresh();
  w.File1->set_file_name(QStringLiteral("bad.y01"));
  w.File1_Click();
  ASSERT_FALSE(f.fakes.messages.shown.empty());
  EXPECT_EQ(f.fakes.messages.shown[0].title, kLevelDoubtsTitle);
  EXPECT_NE(f.fakes.messages.shown[0].text.find("bad.y01"), std::string::npos);
  const QString title = w.Label2->text();
  for (const char* bad : {"nan", "inf", "E+"}) EXPECT_FALSE(title.contains(QLatin1String(bad), Qt::CaseInsensitive)) << title.toStdString();

  // Storing it asks first; No writes nothing.
  const std::size_t before = f.fakes.messages.shown.size();
  f.fakes.messages.answers = {MsgAnswer::No};
  w.Command2_Click();
  ASSERT_EQ(f.fakes.messages.shown.size(), before + 1);
  EXPECT_EQ(f.fakes.messages.shown.back().buttons, MsgButtons::YesNo);
  EXPECT_NE(f.fakes.messages.shown.back().text.find("bad.y01"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(LevelLibrary(f.folder).path()));
}

// A shot at 200 or 500 per second measured by the sound mark: the window shows and stores
// the true speed and level; a file whose rate is no positive number is read at 250 per
// second and the window says so once.
TEST(LevelWindow, ManualMethodCountsTheFilesRate) {
  struct Case {
    std::int16_t header_rate;  // written over the header's rate after the echo is made
    int echo_rate;
    int warnings;
  } cases[] = {{200, 200, 0}, {500, 500, 0}, {0, 250, 1}, {-250, 250, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.header_rate);
    LevelWindowFixture f;
    SyntheticLevelParams p;
    p.sample_rate = c.echo_rate;
    p.sound_speed = 340.0;
    p.level_depth = 1500.0;
    Bytes bytes = make_synthetic_level_test(p);
    bytes[24] = static_cast<std::uint8_t>(c.header_rate & 0xFF);
    bytes[25] = static_cast<std::uint8_t>((c.header_rate >> 8) & 0xFF);
    {
      std::ofstream out(f.folder.data() / "rate.y01", std::ios::binary);
      out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    LevelDisplay w(f.folder);
    w.show();
    w.File1->refresh();
    w.File1->set_file_name(QStringLiteral("rate.y01"));
    w.File1_Click();
    const auto warned = [&] {
      int n = 0;
      for (const auto& m : f.fakes.messages.shown) n += m.text == kInvalidRateText;
      return n;
    };
    EXPECT_EQ(warned(), c.warnings);
    const double m = 340.0 / c.echo_rate / 2.0;  // metres a sample
    const auto points = [&](double depth) { return (250 + depth / m) / 1.2; };
    w.Picture2_MouseDown(Qt::RightButton, points(500));
    w.ym_item_Click(LevelMarker::SoundMark);
    w.Picture2_MouseDown(Qt::RightButton, points(1500));
    w.ym_item_Click(LevelMarker::Level);
    w.Text3->setText(QStringLiteral("500"));
    w.Command1_Click();
    EXPECT_FLOAT_EQ(w.st.sound_speed, 340.0f);
    EXPECT_NEAR(w.st.level_depth, 1500.0f, 0.5f);
    EXPECT_TRUE(w.Label2->text().contains(QStringLiteral(" 音速:340米/秒"))) << w.Label2->text().toStdString();
    w.Command2_Click();
    DymRecord d;
    ASSERT_EQ(LevelLibrary(f.folder).read(1, d), StoreStatus::Ok);
    EXPECT_FLOAT_EQ(d.sound_speed, 340.0f);
    EXPECT_NEAR(d.level_depth, 1500.0f, 0.5f);
    // Shown again from the library, the record is read the same way.
    w.Grid1_Click(1);
    EXPECT_EQ(warned(), 2 * c.warnings);
    EXPECT_NEAR(w.st.level_depth, 1500.0f, 0.5f);
  }
}

// A sound mark a few samples after the wellhead gives a speed no well has: the window says
// why no result follows, and the title, the test and the library stay as they were.
TEST(LevelWindow, SoundMarkAtTheWellheadSaysWhyNoResultFollows) {
  LevelWindowFixture f;
  LevelDisplay w(f.folder);
  w.show();
  open_sample(w);
  ASSERT_TRUE(f.fakes.messages.shown.empty());
  const auto points = [](double sample) { return sample / 1.2; };
  w.Picture2_MouseDown(Qt::RightButton, points(254));
  w.ym_item_Click(LevelMarker::SoundMark);
  w.Picture2_MouseDown(Qt::RightButton, points(2000));
  w.ym_item_Click(LevelMarker::Level);
  w.Text3->setText(QStringLiteral("500"));
  const QString title = w.Label2->text();
  const float speed = w.st.sound_speed;
  const auto before = f.fakes.messages.shown.size();
  w.Command1_Click();
  ASSERT_EQ(f.fakes.messages.shown.size(), before + 1);
  const std::string& text = f.fakes.messages.shown.back().text;
  EXPECT_NE(text.find("不在 150～450 米/秒之间"), std::string::npos) << text;
  EXPECT_NE(text.find("音标位置离井口位置太近"), std::string::npos) << text;
  EXPECT_EQ(w.Label2->text(), title);
  EXPECT_EQ(w.st.sound_speed, speed);
  EXPECT_FALSE(std::filesystem::exists(f.folder.sys() / kDymFile));
}

TEST(LevelWindow, ToolbarButton11ShowsIt) {
  LevelWindowFixture f;
  register_level_window();
  RodEngMapDisplay main(f.folder);
  main.Image1_Click(11);
  auto* w = dynamic_cast<LevelDisplay*>(main.analysis_window(AnalysisWindow::Level));
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(w->File1->pattern(), QStringLiteral("*.y*"));
  EXPECT_EQ(w->File1->count(), 1);
  analysis_windows()[AnalysisWindow::Level] = nullptr;
  delete w;
}
