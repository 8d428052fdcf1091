#include "core/electric/waveform_page.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/electric/waveform_charts.h"
#include "electric_test_util.h"

namespace wb {
namespace {

using namespace electric_test;

DrawnTest wave_test() {
  DrawnTest st;
  XbtRecord& r = st.xbt_rec;
  r.well_name = "W7";
  r.test_date = "202403151030";
  r.current = 1234;         // 12.34 A
  r.voltage = 19000;        // 380 V
  r.active_power = 1620;    // 16.2 kW
  r.apparent_power = 1975;  // 19.75
  r.power_factor = 8203;    // .8203
  r.phase_diff = 3500;      // 35 degrees
  r.order_num = 20;
  r.ii_sin[1] = 40;         // pure sine current
  r.uu_sin[1] = 537;
  r.uu_sin[5] = 537 * 0.02f;
  st.iu_num = kWaveCyclePoints;
  for (int k = 0; k < kWaveCyclePoints; ++k) {
    const double th = 2.0 * k * M_PI / 180.0;
    st.iis[k] = static_cast<float>(std::round(40 * std::sin(th) * 100) / 100);
    st.uus[k] = static_cast<float>(std::round(537 * std::sin(th) * 100) / 100);
  }
  return st;
}

TEST(WaveformPage, PrinterPageLayout) {
  DrawnTest st = wave_test();
  RecordingCanvas prn(210, 297, true);
  xbt_prt_page(prn, st);

  // Both boxes: outline and the electric-value table at the bottom of each.
  EXPECT_TRUE(find_line(prn, 15, 18.5, 195, 18.5, 1e-4));
  EXPECT_TRUE(find_line(prn, 15, 139.25, 195, 139.25, 1e-4));
  EXPECT_TRUE(find_line(prn, 15, 157.75, 195, 157.75, 1e-4));
  EXPECT_TRUE(find_line(prn, 15, 278.5, 195, 278.5, 1e-4));
  EXPECT_TRUE(find_line(prn, 50, 124.65, 50, 139.25, 1e-4));

  struct Text {
    const char* text;
    double x, y;
  };
  const std::string name = "W7" + std::string(14, ' ');
  const Text texts[] = {
      {"电     流(A)", 17, 125.65}, {" 12.34", 52, 125.65}, {"电     压(V)", 17, 132.95}, {" 380", 52, 132.95},
      {"视在功率(kVA)", 77, 132.95}, {" 19.75", 112, 132.95}, {" .8203", 172, 125.65}, {" 35", 172, 132.95},
      {"电     流(A)", 17, 264.9},  // the lower table repeats the values
      {"相角", 19, 33.5}, {"电流(A)", 46, 33.5}, {"电压(V)", 73, 33.5},
      {"电压波形曲线", 135, 43.5}, {"电流波形曲线", 135, 48.5},
      {"阶次", 19, 172.75}, {"电压谐波棒图", 135, 182.75}, {"电流谐波棒图", 135, 227.75},
      // Value rows: row 9 is 90 degrees (points 45 and 135); the share rows list orders 1..20 and 21..40.
      {" 90", 17, 38.5 + 4.5 * 9}, {" 40", 34, 38.5 + 4.5 * 9}, {"-40", 51, 38.5 + 4.5 * 9},
      {" 537", 68, 38.5 + 4.5 * 9},
      {" 1", 17, 177.75}, {" 100", 34, 177.75}, {" 0", 51, 177.75},
      {" 99.98", 68, 177.75},  // 1/√(1 + 0.02²) = 99.980 %
      {" 5", 17, 177.75 + 4 * 4}, {" 2", 68, 177.75 + 4 * 4},  // 0.02/√(1.0004) = 1.9996 → 2
  };
  for (const Text& t : texts) {
    SCOPED_TRACE(t.text);
    EXPECT_TRUE(find_text_at(prn, t.text, t.x, t.y, 1e-4));
  }
  // Titles: 25 characters, estimated 107.95 mm wide, both begin at 51.025.
  const Item* t1 = find_text_at(prn, name + "井电流电压波形曲线", 51.025, 23.5, 1e-4);
  const Item* t2 = find_text_at(prn, name + "井电力谐波分析结果", 51.025, 162.75, 1e-4);
  ASSERT_TRUE(t1 && t2);
  EXPECT_EQ(t1->font.name, "楷体_GB2312");
  EXPECT_DOUBLE_EQ(t1->font.size, 18);
  EXPECT_TRUE(t1->font.underline);
  EXPECT_EQ(prn.find_text("电压波形曲线")->pen.color, kWaveRed);

  // Waveform chart 85 x 80 at (103.5, 37.5), zero line at 77.5; the bars below.
  auto rects = items_of(prn, Op::Rect, kBlack);
  ASSERT_FALSE(rects.empty());
  EXPECT_NEAR(rects[0].x1, 103.5, 1e-9);
  EXPECT_NEAR(rects[0].y2, 117.5, 1e-9);
  EXPECT_TRUE(find_line(prn, 103.5, 77.5, 188.5, 77.5, 1e-9));
  auto green = items_of(prn, Op::Rect, kWaveGreen);
  ASSERT_EQ(green.size(), 40u);
  EXPECT_NEAR(green[1].y1, 257, 1e-9);  // current chart (106.5, 217), 40 high
  EXPECT_NEAR(green[1].y2, 217, 1e-4);  // share 100 %
  // Order labels: 0 begins 1.6 mm left of the voltage chart and 1.4 mm left of the current chart.
  EXPECT_TRUE(find_text_at(prn, " 0", 106.5 - 1.6, 213.7, 1e-9));
  EXPECT_TRUE(find_text_at(prn, " 0", 106.5 - 1.4, 257.2, 1e-9));
  EXPECT_EQ(find_text_at(prn, " 0", 106.5 - 1.4, 257.2, 1e-9)->font.size, 9);

  // The page ends with a new page and leaves the job open.
  EXPECT_EQ(prn.items.back().op, Op::NewPage);
  EXPECT_EQ(prn.count(Op::EndDoc), 0u);
  EXPECT_EQ(prn.count(Op::Clear), 0u);
}

TEST(WaveformPage, PreviewIsClearedAndNotPaged) {
  DrawnTest st = wave_test();
  RecordingCanvas page(210, 297, false);
  xbt_prt_page(page, st);
  EXPECT_EQ(page.items.front().op, Op::Clear);
  EXPECT_EQ(page.count(Op::NewPage), 0u);
  EXPECT_EQ(page.font.name, "楷体_GB2312");
  EXPECT_DOUBLE_EQ(page.font.size, 12);
}

TEST(WaveformPage, ElectricValueCells) {
  XbtRecord r;
  r.current = 1234;
  r.power_factor = 9999;
  r.phase_diff = -1;
  TableCells cells(6);
  xbt_prt_table(cells, r);
  EXPECT_EQ(cells.label(0), "报表名称");
  EXPECT_EQ(cells.value(0), "");
  EXPECT_EQ(cells.value(1), " 12.34");
  EXPECT_EQ(cells.label(4), "视在功率(kVA)");
  EXPECT_EQ(cells.value(5), " .9999");
  EXPECT_EQ(cells.value(6), "-.01");
}

}  // namespace
}  // namespace wb
