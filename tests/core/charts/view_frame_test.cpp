// The views of the main picture and their printed pages on a recording canvas: curves whose
// values are out of scale stay inside their plot frames, and every view draws in the scale
// and font it sets itself, whatever the view before it left on the picture.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "chart_test_util.h"
#include "core/charts/card_chart.h"
#include "core/charts/electric_chart.h"
#include "core/charts/energy_panel.h"
#include "core/electric/harmonics.h"
#include "core/electric/line_loss_view.h"
#include "core/electric/waveform_charts.h"
#include "core/printing/card_print_page.h"

namespace wb {
namespace {

using namespace charts_test;

// The main picture: 6015 x 3615 twips.
constexpr double kPicW = 6015 * 25.4 / 1440, kPicH = 3615 * 25.4 / 1440;
constexpr double kPi = 3.14159265358979;

struct Frame {
  double x1, y1, x2, y2;  // mm
};

// Every line end and every point drawn lies inside the frame (lines and points only: frames
// are boxes and captions are text).
void expect_inside(const RecordingCanvas& c, const Frame& f) {
  constexpr double kTol = 1e-9;
  int checked = 0;
  for (const Item& it : c.items) {
    if (it.op != Op::Line && it.op != Op::Point) continue;
    ++checked;
    const double xs[2] = {it.x1, it.op == Op::Line ? it.x2 : it.x1};
    const double ys[2] = {it.y1, it.op == Op::Line ? it.y2 : it.y1};
    for (int k = 0; k < 2; ++k) {
      EXPECT_TRUE(xs[k] >= f.x1 - kTol && xs[k] <= f.x2 + kTol && ys[k] >= f.y1 - kTol && ys[k] <= f.y2 + kTol)
          << "(" << xs[k] << ", " << ys[k] << ") outside (" << f.x1 << ", " << f.y1 << ")-(" << f.x2 << ", " << f.y2
          << ")";
    }
  }
  EXPECT_GT(checked, 0);
}

// Lines of one colour that end on the frame's edge: a clipped curve is cut, not dropped.
int lines_cut_at_edge(const RecordingCanvas& c, Rgb color, const Frame& f) {
  int n = 0;
  for (const Item& it : items_of(c, Op::Line, color))
    for (double y : {it.y1, it.y2})
      if (near(y, f.y1, 1e-9) || near(y, f.y2, 1e-9)) ++n;
  return n;
}

// A card of 100 points whose load swings from -60 kN to 300 kN: beyond the largest load
// scale (120 kN) and below the zero-load line.
DrawnTest wild_card() {
  DrawnTest st;
  for (int i = 0; i < 100; ++i) {
    st.sss[i] = static_cast<float>(1.5 - 1.5 * std::cos(2 * kPi * i / 100));
    st.ggs[i] = static_cast<float>(120 + 180 * std::sin(2 * kPi * i / 100));
  }
  st.gt_num = 100;
  st.sgt_rec.point_num = 100;
  st.org_head.test_date = "202403151030";
  st.Text1[2] = "W1";
  // A static card longer than the stroke axis and heavier than its scale.
  st.Text1[1] = "1";
  st.Text1[3] = "5";
  st.Text1[4] = "400";
  st.Text1[5] = "-50";
  return st;
}

// Electric samples whose active power dips far below the lowest grid line (-A/5).
DrawnTest wild_electric(int n) {
  DrawnTest st;
  for (int i = 0; i < n; ++i) {
    st.iis[i] = static_cast<float>(30 + 10 * std::sin(2 * kPi * i / n));
    st.uus[i] = static_cast<float>(380 + 5 * std::sin(2 * kPi * i / n));
    st.pps[i] = static_cast<float>(i % 50 < 25 ? 15 : -200);
  }
  st.iu_num = static_cast<std::int16_t>(n);
  st.gt_num = static_cast<std::int16_t>(n);
  st.dnt_rec.wiring_mode = 1;
  st.read_sgt_dnt_org = kKindJoint;
  return st;
}

// One waveform cycle whose negative half reaches -5 times the positive peak.
DrawnTest wild_wave() {
  DrawnTest st;
  for (int i = 0; i < kWaveCyclePoints; ++i) {
    const double s = std::sin(2 * kPi * i / kWaveCyclePoints);
    st.uus[i] = static_cast<float>(s > 0 ? 311 * s : 1555 * s);
    st.iis[i] = static_cast<float>(s > 0 ? 40 * s : 200 * s);
  }
  st.iu_num = kWaveCyclePoints;
  return st;
}

TEST(ViewFrames, CardCurvesStayInsideThePlotOnScreenAndPaper) {
  {
    SCOPED_TRACE("screen");
    DrawnTest st = wild_card();
    RecordingCanvas pic(kPicW, kPicH);
    RodEngMapDisplay_G(st, pic, st.gt_num);
    const Frame f{kCardOriginU / 3 * kPt, kCardPlotTopV / 2.6 * kPt, kCardPlotRightU / 3 * kPt,
                  kCardZeroLoadV / 2.6 * kPt};
    expect_inside(pic, f);
    EXPECT_GT(lines_cut_at_edge(pic, rgb(255, 0, 255), f), 0);
    // The static card typed later, over the card, is kept in the plot as well.
    pic.items.clear();
    disp_ll_sgt(st, pic);
    expect_inside(pic, f);
    EXPECT_FALSE(pic.has_clip());
  }
  {
    SCOPED_TRACE("paper");
    SgtRecord r;
    r.well_name = "W1";
    r.test_date = "202403151030";
    r.point_num = 100;
    r.real_stroke = 3000;
    r.max_load = 4000;  // the page's load scale: 60 kN
    r.min_load = 1000;
    r.stroke_loss = 1000;
    r.theo_stroke = 5000;
    r.theo_max_load = 9000;
    r.theo_min_load = -2000;
    // A load whose mean is 200 kN and a position swinging 6 m, on the 3 m and 60 kN scales.
    r.ss_cos[0] = 6.0f;
    r.ss_cos[1] = -3.0f;
    r.gg_cos[0] = 400.0f;
    r.gg_sin[1] = 100.0f;
    RecordingCanvas page(210, 297, true);
    DrawnTest st;
    const double xs = 20, ys = 30;
    print_card_block(st, page, r, xs, ys);
    // The block's map: x = xs + (u - 60)/11, y = ys + (v + 60)/9 millimetres.
    const Frame f{xs, ys + (kCardPlotTopV + 60) / 9, xs + (kCardPlotRightU - 60) / 11,
                  ys + (kCardZeroLoadV + 60) / 9};
    // The curves: the measured card and the static card, in colour; grid and frames are black.
    RecordingCanvas curves(210, 297, true);
    for (const Item& it : page.items)
      if ((it.op == Op::Point || it.op == Op::Line) && it.pen.color != kBlack) curves.items.push_back(it);
    expect_inside(curves, f);
    EXPECT_GT(lines_cut_at_edge(curves, rgb(0, 0, 255), f), 0);
    EXPECT_FALSE(page.has_clip());
  }
}

TEST(ViewFrames, ElectricCurvesStayInsideTheFrameOnScreenAndPaper) {
  {
    SCOPED_TRACE("screen");
    DrawnTest st = wild_electric(500);
    RecordingCanvas pic(kPicW, kPicH);
    iup_line_form(st, pic, st.iu_num);
    const Frame f{10, 10, 95, 58};
    expect_inside(pic, f);
    EXPECT_GT(lines_cut_at_edge(pic, items_of(pic, Op::Line).back().pen.color, f), 0);
    EXPECT_FALSE(pic.has_clip());
  }
  {
    SCOPED_TRACE("paper");
    DrawnTest st = wild_electric(500);
    RecordingCanvas page(210, 297, true);
    const double xx = 30, yy = 40;
    iup_line_prt(st, page, xx, yy);
    expect_inside(page, Frame{xx, yy, xx + 130, yy + 54});
    EXPECT_FALSE(page.has_clip());
  }
}

TEST(ViewFrames, WaveformCurvesStayInsideTheFrameOnScreenAndPaper) {
  {
    SCOPED_TRACE("screen");
    DrawnTest st = wild_wave();
    RecordingCanvas pic(kPicW, kPicH);
    draw_xbt_1(pic, st, 5, 7);
    const Frame f{5, 7, 100, 57};
    expect_inside(pic, f);
    EXPECT_GT(lines_cut_at_edge(pic, kWaveRed, f), 0);
    EXPECT_GT(lines_cut_at_edge(pic, kWaveGreen, f), 0);
  }
  {
    SCOPED_TRACE("paper");
    DrawnTest st = wild_wave();
    RecordingCanvas page(210, 297, true);
    draw_xbt_1prt(page, st, 90, 20);
    std::vector<Item> lines = items_of(page, Op::Line);
    RecordingCanvas chart(210, 297, true);
    chart.items = lines;
    expect_inside(chart, Frame{90, 20, 170, 94});
    EXPECT_FALSE(page.has_clip());
  }
}

TEST(ViewFrames, LineLossSamplesStayInsideTheChart) {
  DrawnTest st;
  for (int i = 0; i < 100; ++i) {
    st.iis[i] = static_cast<float>(i * 3);        // up to 297 A: beyond the 160 A axis
    st.uus[i] = static_cast<float>(400 - i * 2);  // down to 202 V: far below the voltage axis
    st.pps[i] = 10;
  }
  st.iu_num = 100;
  RecordingCanvas pic(kPicW, kPicH);
  Get_Line_Lose(pic, st, st.iu_num);
  std::vector<Item> pts = items_of(pic, Op::Point);
  ASSERT_FALSE(pts.empty());
  double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
  for (const Item& it : items_of(pic, Op::Line, kWaveGrey)) {
    left = std::min({left, it.x1, it.x2});
    right = std::max({right, it.x1, it.x2});
    top = std::min({top, it.y1, it.y2});
    bottom = std::max({bottom, it.y1, it.y2});
  }
  RecordingCanvas samples(kPicW, kPicH);
  samples.items = pts;
  // The grid spans the chart; the frame's bottom edge is one unit below its last line.
  expect_inside(samples, Frame{left, top, right, bottom + (bottom - top) / 399});
  EXPECT_LT(pts.size(), 100u);  // the samples beyond the axes are not drawn
}

// ---- every view sets its own scale and font ----

struct View {
  const char* name;
  std::function<void(Canvas&)> draw;
};

std::vector<View> views() {
  return {
      {"card", [](Canvas& c) { DrawnTest st = wild_card(); RodEngMapDisplay_G(st, c, st.gt_num); }},
      {"electric curves", [](Canvas& c) { DrawnTest st = wild_electric(500); iup_line_form(st, c, st.iu_num); }},
      {"energy panel",
       [](Canvas& c) {
         DrawnTest st = wild_electric(500);
         DnCsArray d{};
         disp_data(st, c, d);
       }},
      {"waveforms", [](Canvas& c) { DrawnTest st = wild_wave(); draw_xbt_1(c, st, 5, 7); }},
      {"harmonic bars",
       [](Canvas& c) {
         DrawnTest st = wild_wave();
         st.xbt_rec.order_num = 10;
         for (int h = 0; h < 10; ++h) st.xbt_rec.uu_cos[h] = st.xbt_rec.ii_cos[h] = static_cast<float>(10 - h);
         draw_xbt_2(c, st, 5, 3);
       }},
      {"line loss",
       [](Canvas& c) {
         DrawnTest st = wild_electric(300);
         Get_Line_Lose(c, st, st.iu_num);
       }},
  };
}

// What a view leaves behind that the next one might take over: a user scale and a large,
// bold, underlined font of another face.
void spoil(Canvas& c) {
  c.set_scale(0, 0, 1000, 1000);
  c.font = Font{"黑体", 30, true, true, true};
}

TEST(ViewFrames, EveryViewDrawsTheSameWhateverTheViewBeforeLeft) {
  for (const View& v : views()) {
    SCOPED_TRACE(v.name);
    RecordingCanvas fresh(kPicW, kPicH), spoiled(kPicW, kPicH);
    v.draw(fresh);
    spoil(spoiled);
    v.draw(spoiled);
    ASSERT_EQ(fresh.items.size(), spoiled.items.size());
    for (std::size_t i = 0; i < fresh.items.size(); ++i) {
      const Item &a = fresh.items[i], &b = spoiled.items[i];
      SCOPED_TRACE(i);
      EXPECT_EQ(a.op, b.op);
      EXPECT_NEAR(a.x1, b.x1, 1e-9);
      EXPECT_NEAR(a.y1, b.y1, 1e-9);
      EXPECT_NEAR(a.x2, b.x2, 1e-9);
      EXPECT_NEAR(a.y2, b.y2, 1e-9);
      if (a.op == Op::Text) {
        EXPECT_EQ(a.text, b.text);
        EXPECT_EQ(a.font.name, b.font.name);
        EXPECT_DOUBLE_EQ(a.font.size, b.font.size);
        EXPECT_EQ(a.font.bold, b.font.bold);
        EXPECT_EQ(a.font.underline, b.font.underline);
        EXPECT_EQ(a.font.italic, b.font.italic);
      }
    }
  }
}

// The waveform view after each other view (and on a new picture): the chart in millimetres,
// 95 x 50 mm at (5, 7), and its two captions at 12 pt, 5 mm apart, so the 12 pt lines
// (4.23 mm high) stand one under the other without touching.
TEST(ViewFrames, WaveformCaptionsAfterEveryOtherView) {
  std::vector<View> before = views();
  before.insert(before.begin(), View{"a new picture", [](Canvas&) {}});
  for (const View& v : before) {
    SCOPED_TRACE(v.name);
    RecordingCanvas pic(kPicW, kPicH);
    v.draw(pic);
    pic.items.clear();
    DrawnTest st = wild_wave();
    draw_xbt_1(pic, st, 5, 7);
    const auto rects = items_of(pic, Op::Rect);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_NEAR(rects[0].x1, 5, 1e-9);
    EXPECT_NEAR(rects[0].y1, 7, 1e-9);
    EXPECT_NEAR(rects[0].x2, 100, 1e-9);
    EXPECT_NEAR(rects[0].y2, 57, 1e-9);
    const Item* volt = pic.find_text("电压波形曲线");
    const Item* amp = pic.find_text("电流波形曲线");
    ASSERT_NE(volt, nullptr);
    ASSERT_NE(amp, nullptr);
    EXPECT_NEAR(volt->x1, 52.5, 1e-9);
    EXPECT_NEAR(volt->y1, 12, 1e-9);
    EXPECT_NEAR(amp->y1, 17, 1e-9);
    for (const Item* cap : {volt, amp}) {
      EXPECT_DOUBLE_EQ(cap->font.size, 12);
      EXPECT_FALSE(cap->font.bold || cap->font.underline || cap->font.italic);
    }
    EXPECT_GE(amp->y1, volt->y1 + RecordingCanvas::em_mm(volt->font));
    // What the view leaves for the next drawing: 8 pt.
    EXPECT_DOUBLE_EQ(pic.font.size, 8);
  }
}

}  // namespace
}  // namespace wb
