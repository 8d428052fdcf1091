// The main window's waveform views, the waveform report preview page and the line-loss
// views, on a synthetic waveform test and a synthetic joint test with a known line drop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTest>

#include <cmath>

#include "core/common/fourier.h"
#include "core/common/number_text.h"
#include "core/electric/line_loss.h"
#include "core/electric/synthetic_wave.h"
#include "core/samples/synthetic_tests.h"
#include "platform/system_printer.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"

using namespace wb;

namespace {

// Pixels close to this colour in the picture (lines are antialiased).
int count_pixels(const QImage& img, QRgb colour) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QRgb p = img.pixel(x, y);
      if (std::abs(qRed(p) - qRed(colour)) < 60 && std::abs(qGreen(p) - qGreen(colour)) < 60 &&
          std::abs(qBlue(p) - qBlue(colour)) < 60)
        ++n;
    }
  return n;
}

// The waveform test held as the readers leave it: the record and its 180 rebuilt points.
void load_wave(TestState& st) {
  st.read_sgt_dnt_org = kKindWave;
  st.xbt_rec = synthetic_wave_record(SyntheticWave{});
  st.iu_num = 180;
  reader_series(st.iis.data(), 180, 180, st.xbt_rec.order_num - 1, st.xbt_rec.ii_cos.data(), st.xbt_rec.ii_sin.data());
  reader_series(st.uus.data(), 180, 180, st.xbt_rec.order_num - 1, st.xbt_rec.uu_cos.data(), st.xbt_rec.uu_sin.data());
  for (int k = 0; k < 180; ++k) {
    st.iis[k] = static_cast<float>(round_dec(st.iis[k], 2));
    st.uus[k] = static_cast<float>(round_dec(st.uus[k], 2));
  }
}

}  // namespace

TEST(WaveformViews, CurvesAndBarsOnTheMainPicture) {
  test::TempProgramFolder tmp;
  RodEngMapDisplay w(ProgramFolder{tmp.path()});
  w.show();
  load_wave(w.st);

  w.draw_xbt_1(5, 7);
  EXPECT_TRUE(w.Command1->isVisible());
  const int red_curves = count_pixels(w.Picture1->image(), qRgb(255, 0, 0));
  EXPECT_GT(red_curves, 100);
  EXPECT_GT(count_pixels(w.Picture1->image(), qRgb(0, 255, 0)), 100);

  w.draw_xbt_2(5, 3);
  EXPECT_TRUE(w.Command1->isVisible());
  // The voltage fundamental's bar is nearly full height: far more red than the curves drew.
  EXPECT_GT(count_pixels(w.Picture1->image(), qRgb(255, 0, 0)), red_curves);
}

TEST(WaveformViews, PreviewPageIsAnA4Sheet) {
  test::TempProgramFolder tmp;
  RodEngMapDisplay w(ProgramFolder{tmp.path()});
  load_wave(w.st);
  PictureBox page;
  w.xbt_prt_page(&page);
  const double ratio = static_cast<double>(page.image().height()) / page.image().width();
  EXPECT_NEAR(ratio, 297.0 / 210.0, 0.01);
  EXPECT_GT(count_pixels(page.image(), qRgb(0, 255, 0)), 100);  // current curve and bars
}

TEST(LineLossViews, ElectricRecordUsesOnlyItsRebuiltStroke) {
  test::TempProgramFolder tmp;
  RodEngMapDisplay w(ProgramFolder{tmp.path()});
  w.show();
  TestState& st = w.st;
  // An electric record of 500 points rebuilt into 144 + 1: a clean line U = 390 − 0.08·I.
  st.read_sgt_dnt_org = kKindElectric;
  st.iu_num = 500;
  for (int i = 0; i <= 144; ++i) {
    st.iis[i] = static_cast<float>(30 + 20 * std::sin(i * 2 * M_PI / 144));
    st.uus[i] = static_cast<float>(390 - 0.08 * st.iis[i]);
    st.pps[i] = static_cast<float>(st.iis[i] * 0.3);
  }
  // What an earlier joint test left beyond them must not enter.
  for (int i = 145; i < 500; ++i) {
    st.iis[i] = 5;
    st.uus[i] = 300;
    st.pps[i] = 40;
  }
  st.R_iu = "0.91";
  w.sync_to_widgets();
  w.Command1->setVisible(true);

  w.line_loss_view();
  EXPECT_EQ(st.read_sgt_dnt_org, kKindLineLoss);
  EXPECT_FALSE(w.Command1->isVisible());
  EXPECT_NEAR(num_val(w.R_iu->text().toStdString()), -1.0, 1e-6);
  // Pressing the button again on the line-loss view still estimates from the 144 points.
  st.R_iu.clear();
  w.line_loss_view();
  EXPECT_NEAR(num_val(w.R_iu->text().toStdString()), -1.0, 1e-6);
  EXPECT_GT(count_pixels(w.Picture1->image(), qRgb(255, 0, 0)), 10);  // consuming samples
}

TEST(LineLossViews, WaveformCycleIsNoElectricTest) {
  test::TempProgramFolder tmp;
  RodEngMapDisplay w(ProgramFolder{tmp.path()});
  w.show();
  // A joint test's powers are still in pps when a waveform test is opened; the user then
  // lists joint tests again and presses the line-loss button.
  load_wave(w.st);
  for (int i = 0; i < 180; ++i) w.st.pps[i] = 12;
  w.st.R_iu = "0.91";
  w.sync_to_widgets();
  w.line_loss_view();
  EXPECT_EQ(w.st.read_sgt_dnt_org, kKindLineLoss);
  // No estimate is made from the supply cycle: no correlation is published.
  EXPECT_EQ(w.R_iu->text().toStdString(), "");
}

TEST(LineLossViews, JointTestWithKnownLineDrop) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  std::filesystem::create_directories(tmp.path() / "data");
  SyntheticJointParams p;
  p.line_drop = 0.3;  // well above the voltage noise, so the fit holds
  ASSERT_TRUE(write_synthetic_joint_test(tmp.path() / "data" / "W9.o01", p));
  RodEngMapDisplay w(ProgramFolder{tmp.path()});
  w.show();
  w.File1->setCurrentRow(0);
  w.File1_Click();
  ASSERT_EQ(w.st.read_sgt_dnt_org, kKindJoint);
  ASSERT_GT(w.st.iu_num, 0);

  w.line_loss_view();
  const LineLossEstimate e = estimate_line_loss(w.st, w.st.iu_num);
  ASSERT_TRUE(e.valid) << "n " << e.n << " m " << e.m << " r " << e.r << " b " << e.slope << " iu_num "
                        << w.st.iu_num;
  EXPECT_NEAR(e.slope, -0.3, 0.03);  // the synthetic supply's drop, within its noise
  EXPECT_EQ(w.R_iu->text().toStdString(), correlation_text(e));

  // The printer page of the same estimate goes into the PDF the user names.
  PrintSession::force_pdf() = true;
  const std::string pdf = (tmp.path() / "ll.pdf").string();
  fakes.files.answers.push_back(pdf);
  w.Get_Line_Lose_print(w.st.iu_num);
  PrintSession::force_pdf() = false;
  EXPECT_TRUE(QFile::exists(QString::fromStdString(pdf)));
}
