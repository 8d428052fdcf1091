// The main window's start-up warm-up changes nothing the user sees: the window keeps its
// picture and boxes, and a test opened after it is drawn and computed exactly as in a window
// that never warmed up. The cold window opens its test first, before anything in this
// process has drawn a chart or loaded the charts' faces.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "core/samples/synthetic_tests.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"

using namespace wb;

namespace {

void open_file(RodEngMapDisplay& w, const QString& name) {
  w.File1->refresh();
  w.File1->set_file_name(name);
  w.File1_Click();
}

QStringList box_texts(const RodEngMapDisplay& w) {
  QStringList t;
  for (const auto* b : w.Text1) t << b->text();
  for (const auto* b : w.Text3) t << b->text();
  t << w.Text2->text() << w.CircleDot->text() << w.R_iu->text() << w.Picture1->toolTip();
  return t;
}

}  // namespace

TEST(WarmUp, TheFirstOpenAfterItDrawsAndComputesAsWithoutIt) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  prog.create_folders();
  SyntheticJointParams p;
  p.period = 560;
  p.counterbalance = 28;
  ASSERT_TRUE(write_synthetic_joint_test(prog.data() / "Kx-7.o01", p));

  RodEngMapDisplay cold(prog);
  open_file(cold, QStringLiteral("Kx-7.o01"));
  ASSERT_EQ(cold.st.read_sgt_dnt_org, kKindJoint);

  RodEngMapDisplay warm(prog);
  const QImage picture = warm.Picture1->image();
  const QStringList boxes = box_texts(warm);
  warm.warm_up();
  EXPECT_EQ(warm.Picture1->image(), picture);
  EXPECT_EQ(box_texts(warm), boxes);
  EXPECT_EQ(warm.st.read_sgt_dnt_org, kKindNone);

  open_file(warm, QStringLiteral("Kx-7.o01"));
  EXPECT_EQ(warm.st.gt_num, cold.st.gt_num);
  EXPECT_EQ(box_texts(warm), box_texts(cold));
  EXPECT_TRUE(warm.Picture1->image() == cold.Picture1->image()) << "the picture differs from the cold window's";
}
