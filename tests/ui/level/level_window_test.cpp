// The fluid-level window on the sample echo: opening a raw file shows the speed and depth
// in the title with the wellhead and level markers in place; the template's absence is
// reported while the speed is still found; the gain, the overview and the cursor.
#include <gtest/gtest.h>

#include <QApplication>
#include <fstream>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>

#include "core/level/level_analysis.h"
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
