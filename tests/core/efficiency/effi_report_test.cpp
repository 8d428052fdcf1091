// The single-well report page and its two charts, on a recording canvas in millimetres:
// table entries from the boxes, the chart frames where the page puts them, the scales, the
// whole card, the theoretical card and the recomputed reactive power.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "../test_canvas_util.h"
#include "core/common/number_text.h"
#include "core/efficiency/effi_report.h"
#include "effi_test_util.h"

namespace wb {
namespace {

using namespace canvas_test;
using test::sample_effi_boxes;

constexpr Rgb kRed = rgb(255, 0, 0), kBlue = rgb(0, 0, 255), kGreen = rgb(0, 255, 0), kMagenta = rgb(255, 0, 255);

struct StrokeData {
  std::vector<float> sss, ggs, uus, iis, pps, qqs;
  EffiStroke view(int gt, int iu, int mode) {
    EffiStroke s;
    s.gt_num = gt;
    s.iu_num = iu;
    s.cs_fs = mode;
    s.sss = sss;
    s.ggs = ggs;
    s.uus = uus;
    s.iis = iis;
    s.pps = pps;
    s.qqs = qqs;
    return s;
  }
};

// A card between 20 and `max_load` kN over a stroke of 0.1..3.05 m, and electric curves
// with the given maxima.
StrokeData make_stroke(int n, double max_load, double u_max = 380, double i_max = 37) {
  StrokeData d;
  const double w = 2 * M_PI / n;
  for (int j = 0; j < n; ++j) {
    const double c = std::cos(j * w);
    d.sss.push_back(static_cast<float>(0.1 + 1.475 * (1 - c)));
    d.ggs.push_back(static_cast<float>(20 + (max_load - 20) * (0.5 + 0.5 * std::sin(j * w))));
    d.uus.push_back(static_cast<float>(u_max - 5 + 5 * c));
    d.iis.push_back(static_cast<float>(i_max / 2 + i_max / 2 * c));
    d.pps.push_back(static_cast<float>(5 + 5 * std::sin(j * w)));
    d.qqs.push_back(-1);
  }
  return d;
}

TEST(EffiReportCharts, CardChartOnTheReportPlace) {
  RecordingCanvas c;
  StrokeData d = make_stroke(300, 38);
  EffiBoxTexts t = sample_effi_boxes();  // stroke 2.95 m, theoretical 55.21 / 22.4 kN, rods 1400 m
  const double rod = prt_sgt(c, 111, 97.5, t, d.view(300, 0, 1));
  EXPECT_DOUBLE_EQ(rod, 1400);
  // Frame 77.922 x 71.8 mm.
  const auto rects = items_of(c, Op::Rect);
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_NEAR(rects[0].x1, 111, 1e-9);
  EXPECT_NEAR(rects[0].y1, 115.7, 1e-9);
  EXPECT_NEAR(rects[0].x2, 111 + 600 / 7.7, 1e-9);
  EXPECT_NEAR(rects[0].y2, 187.5, 1e-9);
  // Stroke 2.95 m: three divisions of 200/7.7 mm; labels 2 mm left, the last 11 mm left.
  for (int i = 0; i <= 3; ++i) EXPECT_NE(find_line(c, 111 + 200.0 * i / 7.7, 115.7, 111 + 200.0 * i / 7.7, 187.5), nullptr);
  EXPECT_NE(find_text_at(c, " 1", 111 + 200 / 7.7 - 2, 188.5), nullptr);
  EXPECT_NE(find_text_at(c, " 3行程(m)", 111 + 600 / 7.7 - 11, 188.5), nullptr);
  EXPECT_EQ(c.find_text(" 0"), nullptr);
  // Box 43 (55.21 kN) is above the measured maximum: the 60 kN scale, 12 lines of 6 mm.
  EXPECT_NE(find_text_at(c, " 60", 111 - 45 / 7.7, 115.7), nullptr);
  // Its unit inside the frame, half a line below the top line: not on the tick or its number.
  EXPECT_NE(find_text_at(c, "负载(kN)", 112, 115.7 + 3.0), nullptr);
  EXPECT_NE(find_text_at(c, " 5", 111 - 45 / 7.7, 97.5 + (91 + 30 * 11) / 5.0), nullptr);
  EXPECT_NE(find_line(c, 111 + 600 / 7.7, 97.5 + (91 + 30 * 11) / 5.0, 111, 97.5 + (91 + 30 * 11) / 5.0), nullptr);
  // Theoretical card: upper side at 55.21 kN shifted right by 1400/250 = 5.6 mm.
  const double s = 200 * 2.95 / 7.7;
  const double y_hi = 97.5 + (451 - 60 * 55.21 / 10) / 5;
  const double y_lo = 97.5 + (451 - 60 * 22.4 / 10) / 5;
  const auto blue = items_of(c, Op::Line, kBlue);
  ASSERT_EQ(blue.size(), 4u);
  EXPECT_NE(find_line(c, 111 + 5.6, y_hi, 111 + 5.6 + s, y_hi, 1e-9), nullptr);
  EXPECT_NE(find_line(c, 111, y_lo, 111 + s, y_lo, 1e-9), nullptr);
  EXPECT_NE(find_line(c, 111 + 5.6, y_hi, 111, y_lo, 1e-9), nullptr);
  EXPECT_NE(find_line(c, 111 + 5.6 + s, y_hi, 111 + s, y_lo, 1e-9), nullptr);
  // The measured card: a red dot at point 0 (displacement above its minimum, load scale
  // 60 kN), then 299 lines, width 3.
  const auto first = find_point(c, 111 + 200 * (d.sss[0] - 0.1f) / 7.7, 97.5 + (451 - 60 * d.ggs[0] / 10.0) / 5, 1e-4);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->pen.color, kRed);
  const auto red = items_of(c, Op::Line, kRed);
  EXPECT_EQ(red.size(), 299u);
  EXPECT_EQ(red[0].pen.width, 3);
}

TEST(EffiReportCharts, CardScalesAndTheWholeStroke) {
  struct Case {
    const char* name;
    double measured_max;
    const char* box43;
    const char* box41;
    const char* top_label;
    const char* last_stroke_label;
  };
  const Case cases[] = {
      {"30 kN exactly", 30, "", "3", " 30", " 3行程(m)"},
      {"just above 30", 30.01, "", "", " 40", " 3行程(m)"},
      {"box 43 chooses", 30, "85", "4.5", " 100", " 5行程(m)"},
      {"above 100", 101, "", "6", " 120", " 6行程(m)"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    RecordingCanvas c;
    StrokeData d = make_stroke(1500, k.measured_max);
    EffiBoxTexts t = sample_effi_boxes();
    t[43] = k.box43;
    t[41] = k.box41;
    prt_sgt(c, 111, 97.5, t, d.view(1500, 0, 1));
    EXPECT_NE(find_text_at(c, k.top_label, 111 - 45 / 7.7, 115.7), nullptr);
    EXPECT_NE(c.find_text("负载(kN)"), nullptr);
    EXPECT_NE(c.find_text(k.last_stroke_label), nullptr);
    // All 1500 points: nothing is dropped beyond point 1000.
    EXPECT_EQ(items_of(c, Op::Line, kRed).size(), 1499u);
  }
  // No card: grid, frame and theoretical card only.
  RecordingCanvas c;
  StrokeData d = make_stroke(10, 40);
  prt_sgt(c, 111, 97.5, sample_effi_boxes(), d.view(0, 0, 1));
  EXPECT_TRUE(items_of(c, Op::Line, kRed).empty());
  EXPECT_TRUE(items_of(c, Op::Point).empty());
  EXPECT_EQ(items_of(c, Op::Line, kBlue).size(), 4u);
  EXPECT_EQ(items_of(c, Op::Rect).size(), 1u);
}

TEST(EffiReportCharts, ElectricChartScalesCurvesAndLegend) {
  RecordingCanvas c;
  StrokeData d = make_stroke(200, 40, 380, 37);
  EffiStroke s = d.view(0, 200, 3);
  iup_line(c, 24, 200.5, s);
  // Current maximum 37 A: top 50, step 10; voltage maximum 380 V: top 400, step 80.
  const char* left[] = {" 50 ", " 40 ", " 30 ", " 20 ", " 10 ", " 0 ", "-10 "};
  const char* right[] = {" 400 ", " 320 ", " 240 ", " 160 ", " 80 ", " 0 ", "-80 "};
  for (int k = 0; k <= 6; ++k) {
    SCOPED_TRACE(k);
    EXPECT_NE(find_text_at(c, left[k], 18, 200.5 + 12 * k - 2), nullptr);
    EXPECT_NE(find_text_at(c, right[k], 184, 200.5 + 12 * k - 2), nullptr);
  }
  for (int j = 0; j <= 8; ++j)
    EXPECT_NE(find_text_at(c, num_print(45 * j) + " ", 24 + 20 * j - 3, 273.5), nullptr) << j;
  // Frame 160 x 72 mm, 2 pixels.
  const auto rects = items_of(c, Op::Rect);
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_NEAR(rects[0].x2, 184, 1e-9);
  EXPECT_NEAR(rects[0].y2, 272.5, 1e-9);
  EXPECT_EQ(rects[0].pen.width, 2);
  // Four curves of 199 segments, zero at yy + 60.
  for (Rgb col : {kMagenta, kRed, kBlue, kGreen}) EXPECT_EQ(items_of(c, Op::Line, col).size(), 199u);
  EXPECT_NE(find_point(c, 24, 260.5 - 60 * 37.0 / 50, 1e-4), nullptr);  // current at point 0
  // Legend on one line, voltage at the right.
  const Item* cur = find_text_at(c, "电流(A) ", 18, 195.5);
  ASSERT_NE(cur, nullptr);
  EXPECT_EQ(cur->pen.color, kRed);
  const Item* volt = find_text_at(c, "电压(V)", 180, 195.5);
  ASSERT_NE(volt, nullptr);
  EXPECT_EQ(volt->pen.color, kMagenta);
  EXPECT_EQ(c.fore_color, kMagenta);
  // Reactive power rewritten: single phase, S = Int(10·I·U/1000 + 0.5)/10.
  for (int i = 0; i < 200; i += 13) {
    const double sa = std::floor(10 * d.iis[i] * d.uus[i] / 1000.0 + 0.5) / 10;
    const double q2 = sa * sa - static_cast<double>(d.pps[i]) * d.pps[i];
    EXPECT_FLOAT_EQ(d.qqs[i], q2 > 0 ? std::floor(10 * std::sqrt(q2) + 0.5) / 10 : 0) << i;
  }
}

TEST(EffiReportCharts, ReactivePowerAndVoltageScaleEdges) {
  struct Case {
    int mode;
    float i, u, p, q;
  };
  const Case cases[] = {
      {3, 20, 220, 3, 3.2f},     // S 4.4, √(19.36 − 9) = 3.219
      {3, 20, 220, 5, 0.0f},     // S below P: 0, not the old value
      {1, 10, 380, 3, 5.9f},     // S = Int(65.82 + 0.5)/10 = 6.6, √(43.56 − 9) = 5.879
      {2, 10, 380, 3, 11.0f},    // S 11.4
      {4, 10, 380, 3, 11.0f},
  };
  for (const Case& k : cases) EXPECT_FLOAT_EQ(report_reactive_power(k.mode, k.i, k.u, k.p), k.q) << k.mode;

  struct Scale {
    double u_max;
    const char* top;
  };
  for (const Scale& sc : {Scale{400, " 400 "}, Scale{400.1, " 450 "}}) {
    RecordingCanvas c;
    StrokeData d = make_stroke(50, 40, sc.u_max, 10);
    EffiStroke s = d.view(0, 50, 1);
    iup_line(c, 24, 200.5, s);
    EXPECT_NE(find_text_at(c, sc.top, 184, 198.5), nullptr) << sc.u_max;
  }
  // No voltage: no voltage curve, the others are drawn.
  RecordingCanvas c;
  StrokeData d = make_stroke(50, 40, 5, 10);
  for (auto& u : d.uus) u = 0;
  EffiStroke s = d.view(0, 50, 1);
  iup_line(c, 24, 200.5, s);
  EXPECT_TRUE(items_of(c, Op::Line, kMagenta).empty());
  EXPECT_EQ(items_of(c, Op::Line, kRed).size(), 49u);
}

TEST(EffiReport, TableEntriesFromTheBoxes) {
  EffiBoxTexts t = sample_effi_boxes();
  t[23] = "200611081230";
  const TableCells cells = Fill_Effi_Table(t);
  ASSERT_EQ(cells.size(), 49u);
  EXPECT_EQ(cells.label(0), "报表名称");
  EXPECT_EQ(cells.value(0), "抽油机井单井系统效率测试计算表");
  EXPECT_EQ(cells.label(1), "井号");
  EXPECT_EQ(cells.value(1), "W1");
  EXPECT_EQ(cells.value(2), "20061108");
  EXPECT_EQ(cells.label(11), "最大上行电流(A)");
  EXPECT_EQ(cells.value(11), "12.5");
  EXPECT_EQ(cells.value(12), "10.8");
  EXPECT_EQ(cells.value(14), "14.1");
  EXPECT_EQ(cells.value(15), "9.3");
  EXPECT_EQ(cells.label(25), "日产液量(m3)");
  EXPECT_EQ(cells.value(25), "35.2");
  EXPECT_EQ(cells.label(37), "系统效率(%)");
  EXPECT_EQ(cells.value(37), "25.2");
  for (std::size_t k = 38; k <= 48; ++k) EXPECT_EQ(cells.label(k), "") << k;

  struct Pair {
    const char* text;
    const char* up;
    const char* down;
  };
  const Pair pairs[] = {{"12.5/10.8", "12.5", "10.8"}, {"/10.8", "", "10.8"}, {"1/2/3", "1", "2/3"},
                        {"12.5", "12.5", ""},           {"", "", ""},          {" 7 / 8", " 7 ", " 8"}};
  for (const Pair& p : pairs) {
    SCOPED_TRACE(p.text);
    t[31] = p.text;
    const TableCells c2 = Fill_Effi_Table(t);
    EXPECT_EQ(c2.value(11), p.up);
    EXPECT_EQ(c2.value(12), p.down);
  }
  // A short or double-byte date prints its first 8 characters.
  t[23] = "0611";
  EXPECT_EQ(Fill_Effi_Table(t).value(2), "0611");
  t[23] = "二〇〇六年十一月八日";
  EXPECT_EQ(Fill_Effi_Table(t).value(2), "二〇〇六年十一月");
}

TEST(EffiReport, PageOnPrinterAndPreviewIsTheSame) {
  StrokeData d1 = make_stroke(300, 45), d2 = make_stroke(300, 45);
  EffiStroke s1 = d1.view(300, 300, 1), s2 = d2.view(300, 300, 1);
  const EffiBoxTexts t = sample_effi_boxes();
  RecordingCanvas printer(210, 297, true), preview(210, 297, false);
  EXPECT_DOUBLE_EQ(prt_effi_page(printer, t, s1), 1400);
  prt_effi_page(preview, t, s2);

  ASSERT_EQ(printer.count(Op::EndDoc), 1u);
  EXPECT_EQ(printer.items.back().op, Op::EndDoc);
  EXPECT_EQ(preview.count(Op::EndDoc), 0u);
  ASSERT_EQ(printer.items.size(), preview.items.size() + 1);
  for (std::size_t i = 0; i < preview.items.size(); ++i) {
    EXPECT_EQ(printer.items[i].op, preview.items[i].op) << i;
    EXPECT_EQ(printer.items[i].text, preview.items[i].text) << i;
    EXPECT_DOUBLE_EQ(printer.items[i].x1, preview.items[i].x1) << i;
    EXPECT_DOUBLE_EQ(printer.items[i].y2, preview.items[i].y2) << i;
  }
  // Title 26 pt bold; the page frame 180 x 260 mm from (15, 18.5); values in the table.
  const Item* title = printer.find_text("抽油机井单井系统效率测试计算表");
  ASSERT_NE(title, nullptr);
  EXPECT_TRUE(title->font.bold);
  EXPECT_DOUBLE_EQ(title->font.size, 26);
  EXPECT_NE(find_line(printer, 15, 18.5, 195, 18.5, 1e-4), nullptr);
  EXPECT_NE(find_line(printer, 15, 278.5, 195, 278.5, 1e-4), nullptr);
  EXPECT_NE(find_line(printer, 15, 18.5, 15, 278.5, 1e-4), nullptr);
  EXPECT_NE(find_line(printer, 195, 18.5, 195, 278.5, 1e-4), nullptr);
  for (const char* v : {"W1", "CYJ10-3-37HB", "380.2", "12.5", "10.8", "25.2", "60.5"})
    EXPECT_NE(printer.find_text(v), nullptr) << v;
  // The card frame sits in the right pair's empty rows (below row 13: y 113.4).
  bool card = false;
  for (const auto& r : items_of(printer, Op::Rect)) card = card || (near(r.x1, 111, 1e-9) && near(r.y1, 115.7, 1e-9));
  EXPECT_TRUE(card);
}

}  // namespace
}  // namespace wb
