// The charts in the main picture: a joint test's card and electric curves, the energy panel,
// and the static-load lines that Enter in the appended-data boxes draws over a card.
#include <gtest/gtest.h>

#include <QApplication>

#include "core/workbench/joint_pipeline.h"
#include "core/samples/synthetic_tests.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"

using namespace wb;

namespace {

// Pixels of the picture tinted towards a pure red, green or blue (antialiased thin lines
// blend with the white background, so only the dominant channel is asked for).
int count_pixels(const QImage& img, QColor c) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QColor p = img.pixelColor(x, y);
      const int ch[3] = {p.red(), p.green(), p.blue()};
      const int want[3] = {c.red(), c.green(), c.blue()};
      bool ok = true;
      for (int k = 0; k < 3 && ok; ++k)
        for (int j = 0; j < 3 && ok; ++j)
          if (want[k] == 255 && want[j] == 0 && ch[k] - ch[j] < 60) ok = false;
      if (ok) ++n;
    }
  return n;
}

struct JointFixture {
  test::TempProgramFolder tmp;
  std::unique_ptr<RodEngMapDisplay> w;
  JointFixture() {
    ProgramFolder folder{tmp.path()};
    folder.create_folders();
    SyntheticJointParams p;  // 500-sample stroke, 3 m, about 30 to 50 kN
    auto path = folder.data() / "w1.o01";
    EXPECT_TRUE(write_synthetic_joint_test(path, p));
    w = std::make_unique<RodEngMapDisplay>(folder);
    w->resize(1180, 800);
    w->show();
    EXPECT_EQ(open_joint_test_file(w->st, path.string(), w->joint_charts()), std::nullopt);
    w->sync_to_widgets();
  }
};

}  // namespace

TEST(Charts, JointTestDrawsCardThenElectricCurves) {
  JointFixture f;
  auto& w = *f.w;
  // The card chart wrote the measured stroke and the stroke rate into their boxes.
  EXPECT_NEAR(w.Text3[12]->text().toDouble(), 3.0, 0.05);
  EXPECT_NEAR(w.Text3[13]->text().toDouble(), 6.0, 0.1);
  for (int i = 2; i <= 5; ++i) EXPECT_TRUE(w.Text1[i]->isEnabled()) << i;
  // The picture shows the electric curves: current in red, active power in blue.
  const QImage& img = w.Picture1->image();
  EXPECT_GT(count_pixels(img, QColor(255, 0, 0)), 200);
  EXPECT_GT(count_pixels(img, QColor(0, 0, 255)), 200);
}

TEST(Charts, EnergyPanelFillsDnCs) {
  JointFixture f;
  auto& w = *f.w;
  w.draw_energy_panel();
  EXPECT_NEAR(w.st.DnCs[1], w.Text3[5]->text().toFloat(), 1e-3);
  EXPECT_GT(w.st.DnCs[7], 0.0f);  // energy per stroke, W·h
  // Only black text on the panel.
  EXPECT_EQ(count_pixels(w.Picture1->image(), QColor(255, 0, 0)), 0);
}

TEST(Charts, EnterInTheLoadBoxesDrawsStaticLinesOverTheCardOnly) {
  JointFixture f;
  auto& w = *f.w;
  w.Text1[1]->setText("0.4");
  w.Text1[3]->setText("3");
  w.Text1[4]->setText("52");
  w.Text1[5]->setText("28");
  // Electric curves shown: nothing is drawn over them.
  QImage before = w.Picture1->image().copy();
  w.Text1_KeyPress(5);
  EXPECT_EQ(w.Picture1->image(), before);

  // The card view: the card draws the static card from the boxes, and Enter adds another.
  w.draw_card();
  w.st.disp_state = 3;
  const int blue_card = count_pixels(w.Picture1->image(), QColor(0, 0, 255));
  EXPECT_GT(blue_card, 100);
  w.Text1[4]->setText("56");
  w.Text1_KeyPress(4);
  EXPECT_GT(count_pixels(w.Picture1->image(), QColor(0, 0, 255)), blue_card + 50);
}

TEST(Charts, EnterMovesOnAndDrawsOnlyFromTheLoadBoxesWithAllThreeFilled) {
  JointFixture f;
  auto& w = *f.w;
  w.draw_card();
  w.st.disp_state = 3;
  struct Case {
    int box;
    const char* stroke;  // Text1(3)
    bool draws;
  };
  const Case cases[] = {
      {2, "3", false},   // not a load box
      {4, "", false},    // one of the three empty
      {4, "  ", false},  // blanks only
      {3, "3", true},  {4, "3", true}, {5, "3", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    SCOPED_TRACE(c.stroke);
    for (int i : {1, 3, 4, 5}) w.Text1[i]->clear();
    w.sync_from_widgets();
    w.draw_card();  // boxes empty: the static card shrinks to the origin
    w.Text1[1]->setText("0.4");
    w.Text1[3]->setText(c.stroke);
    w.Text1[4]->setText("52");
    w.Text1[5]->setText("28");
    const QImage before = w.Picture1->image().copy();
    w.Text1_KeyPress(c.box);
    EXPECT_EQ(w.focusWidget(), w.Text1[(c.box + 1) % 6]);
    EXPECT_EQ(w.Picture1->image() != before, c.draws);
  }
}
