// One printed card block: its geometry in millimetres from the block position, its texts,
// the work per stroke against a closed form, and the state it leaves behind.
//
// Layout units map to millimetres as x = xs + (u − 60)/11, y = ys + (v + 60)/9; positions
// are checked to 1e-9 mm (pure double arithmetic), the rebuilt card to 1e-3 mm.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/common/number_text.h"
#include "core/printing/card_print_page.h"
#include "print_test_util.h"

namespace wb {
namespace {

using namespace print_test;

constexpr double kXs = 30, kYs = 15;

std::vector<const Item*> lines_where(const RecordingCanvas& c, bool (*pred)(const Item&)) {
  std::vector<const Item*> out;
  for (const Item& it : c.items)
    if (it.op == Op::Line && pred(it)) out.push_back(&it);
  return out;
}

bool dotted_vertical(const Item& it) { return it.pen.style == DrawStyle::Dot && near(it.x1, it.x2); }
bool dotted_horizontal(const Item& it) { return it.pen.style == DrawStyle::Dot && near(it.y1, it.y2); }
bool red(const Item& it) { return it.pen.color == rgb(255, 0, 0); }
bool blue(const Item& it) { return it.pen.color == rgb(0, 0, 255); }

TEST(CardPrintBlock, FramesSitAtTheirFixedOffsets) {
  RecordingCanvas c(210, 297, true);
  DrawnTest st;
  print_card_block(st, c, make_card("W1", 250, 3000, 3000, 1000), kXs, kYs);
  struct Frame {
    const char* name;
    int width;
    double x1, y1, x2, y2;
  };
  const Frame frames[] = {
      {"outer", 2, -46.0 / 11, 75.0 / 9, 820.0 / 11, 500.0 / 9},
      {"plot", 1, 0, 91.0 / 9, 600.0 / 11, 450.0 / 9},
      {"header", 1, 620.0 / 11, 91.0 / 9, 810.0 / 11, 450.0 / 9},
  };
  for (const Frame& f : frames) {
    SCOPED_TRACE(f.name);
    const double x1 = kXs + f.x1, y1 = kYs + f.y1, x2 = kXs + f.x2, y2 = kYs + f.y2;
    // Four sides: top, right, bottom, left.
    const double sides[4][4] = {{x1, y1, x2, y1}, {x2, y1, x2, y2}, {x2, y2, x1, y2}, {x1, y2, x1, y1}};
    for (const auto& s : sides) {
      bool found = false;
      for (const Item& it : c.items)
        if (it.op == Op::Line && it.pen.style == DrawStyle::Solid && it.pen.width == f.width &&
            it.pen.color == kBlack && near(it.x1, s[0], 1e-9) && near(it.y1, s[1], 1e-9) &&
            near(it.x2, s[2], 1e-9) && near(it.y2, s[3], 1e-9))
          found = true;
      EXPECT_TRUE(found) << s[0] << "," << s[1] << " - " << s[2] << "," << s[3];
    }
  }
  EXPECT_EQ(c.count(Op::NewPage), 0u);
  EXPECT_EQ(c.count(Op::EndDoc), 0u);
}

TEST(CardPrintBlock, ScalesFollowStoredStrokeAndLoad) {
  struct Case {
    std::int16_t real_stroke, max_load;
    int nx;
    double pitch_mm;  // H/11
    const char* last_pos_label;
    int ny;
    const char* top_load_label;
  };
  const Case cases[] = {
      {3000, 3000, 3, 200.0 / 11, " 3 行程(m)", 10, " 30负载(kN)"},
      {3001, 3001, 4, 150.0 / 11, " 4 行程(m)", 8, " 40负载(kN)"},
      {5500, 10001, 6, 100.0 / 11, " 6 行程(m)", 12, " 120负载(kN)"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.real_stroke);
    RecordingCanvas c(210, 297, true);
    DrawnTest st;
    print_card_block(st, c, make_card("W1", 250, k.real_stroke, k.max_load, 0), kXs, kYs);
    auto vert = lines_where(c, dotted_vertical);
    ASSERT_EQ(vert.size(), static_cast<std::size_t>(k.nx + 1));
    for (int i = 0; i <= k.nx; ++i) {
      EXPECT_NEAR(vert[i]->x1, kXs + k.pitch_mm * i, 1e-9);
      EXPECT_NEAR(vert[i]->y1, kYs + 91.0 / 9, 1e-9);
      EXPECT_NEAR(vert[i]->y2, kYs + 450.0 / 9, 1e-9);
    }
    EXPECT_EQ(lines_where(c, dotted_horizontal).size(), static_cast<std::size_t>(k.ny));
    // Position labels 2 mm left of their line and 51 mm below ys; none at 0.
    const Item* last = c.find_text(k.last_pos_label);
    ASSERT_NE(last, nullptr);
    EXPECT_NEAR(last->x1, kXs + k.pitch_mm * k.nx - 2, 1e-9);
    EXPECT_NEAR(last->y1, kYs + 51, 1e-9);
    // Load labels 45/11 mm left of the plot; the top one at the frame, 0 at 451/9 (the
    // first " 0" drawn: the position axis has no label at 0).
    const Item* top = c.find_text(k.top_load_label);
    ASSERT_NE(top, nullptr);
    EXPECT_NEAR(top->x1, kXs - 45.0 / 11, 1e-9);
    EXPECT_NEAR(top->y1, kYs + 91.0 / 9, 1e-9);
    const Item* zero = c.find_text(" 0");
    ASSERT_NE(zero, nullptr);
    EXPECT_NEAR(zero->x1, kXs - 45.0 / 11, 1e-9);
    EXPECT_NEAR(zero->y1, kYs + 451.0 / 9, 1e-9);
    const std::string header_stroke = "冲程:" + num_print(k.real_stroke / 1000.0) + "m";
    EXPECT_NE(c.find_text(header_stroke), nullptr) << header_stroke;
  }
}

TEST(CardPrintBlock, HeaderValuesAndWorkAgainstClosedForm) {
  // Position 1.5 + 1.5 cos θ, load 30 − 20 sin θ over n = 250 points: the trapezoid sum
  // around the loop is W = −(n/2)·a·b·sin(2π/n) = 125 · 1.5 · 20 · sin(2π/250) = 94.2423 kJ
  // (the readers' 3.14159 moves it by about 1e-4). Period 5 s, so 18.85 kW; 12 strokes/min.
  RecordingCanvas c(210, 297, true);
  DrawnTest st;
  print_card_block(st, c, make_card("  W12  ", 250, 3000, 5000, 1000), kXs, kYs);
  const double w_ref = 125 * 1.5 * 20 * std::sin(2 * std::numbers::pi / 250);
  auto texts = c.texts();
  std::vector<std::string> header;
  for (const Item& it : c.items)
    if (it.op == Op::Text && near(it.x1, kXs + 625.0 / 11, 1e-9)) header.push_back(it.text);
  ASSERT_EQ(header.size(), 17u);
  EXPECT_EQ(header[0], "井号:W12");
  EXPECT_EQ(header[1], "日期:20030514");
  EXPECT_EQ(header[2], "时间:12:30");
  EXPECT_EQ(header[3], "冲次: 12次");
  EXPECT_EQ(header[4], "冲程: 3m");
  EXPECT_EQ(header[5], "最大负载:");
  EXPECT_EQ(header[6], "   50kN");
  EXPECT_EQ(header[8], "   10kN");
  EXPECT_EQ(header[9], "作 功 量:");
  ASSERT_EQ(header[10].substr(header[10].size() - 2), "kJ");
  EXPECT_NEAR(num_val(header[10]), w_ref, 0.011);
  EXPECT_NEAR(num_val(header[12]), w_ref / 5, 0.011);
  for (int i = 13; i < 17; ++i) EXPECT_EQ(header[i], "");
  // Line 0 starts 0.5 mm below 95/9 mm; each next line 0.5 mm below the one before.
  const Item* first = c.find_text("井号:W12");
  const double em = RecordingCanvas::em_mm(first->font);
  EXPECT_NEAR(first->y1, kYs + 95.0 / 9 + 0.5, 1e-9);
  EXPECT_NEAR(c.find_text("日期:20030514")->y1, kYs + 95.0 / 9 + 0.5 + em + 0.5, 1e-9);
  EXPECT_EQ(first->font.name, "宋体");
  EXPECT_DOUBLE_EQ(first->font.size, 7.0);
}

TEST(CardPrintBlock, MeasuredCardInRedFromTheRebuiltPoints) {
  RecordingCanvas c(210, 297, true);
  DrawnTest st;
  print_card_block(st, c, make_card("W1", 250, 3000, 5000, 1000), kXs, kYs);
  // First point: s = 3 m, g = 30 kN; 60 kN scale (V = 60), 3 m scale (H = 200), s_min ≈ 0.
  const Item* dot = nullptr;
  for (const Item& it : c.items)
    if (it.op == Op::Point) dot = &it;
  ASSERT_NE(dot, nullptr);
  EXPECT_EQ(dot->pen.color, rgb(255, 0, 0));
  EXPECT_EQ(dot->pen.width, 3);
  EXPECT_NEAR(dot->x1, kXs + 200.0 * 3 / 11, 1e-3);
  EXPECT_NEAR(dot->y1, kYs + (451 - 60.0 * 30 / 10) / 9, 1e-3);
  EXPECT_EQ(lines_where(c, red).size(), 249u);  // not closed
}

TEST(CardPrintBlock, AtMost1001PointsDrawnButWorkUsesAll) {
  // n = 1500: points 0..1000 drawn (1000 segments). The work over all 1500 points is
  // 750·1.5·20·sin(2π/1500) = 94.2475 kJ; over the first 1001 only it would be far off.
  RecordingCanvas c(210, 297, true);
  DrawnTest st;
  print_card_block(st, c, make_card("W1", 1500, 3000, 5000, 1000), kXs, kYs);
  EXPECT_EQ(lines_where(c, red).size(), 1000u);
  const double w_ref = 750 * 1.5 * 20 * std::sin(2 * std::numbers::pi / 1500);
  const Item* w = c.texts_containing("kJ").front();
  EXPECT_NEAR(num_val(w->text), w_ref, 0.011);
}

TEST(CardPrintBlock, ZeroPointsDrawNoCardAndZeroValues) {
  RecordingCanvas c(210, 297, true);
  DrawnTest st;
  print_card_block(st, c, make_card("W1", 0, 3000, 5000, 1000), kXs, kYs);
  EXPECT_TRUE(lines_where(c, red).empty());
  EXPECT_EQ(c.count(Op::Point), 0u);
  EXPECT_NE(c.find_text("冲次: 0次"), nullptr);
  EXPECT_NE(c.find_text("   0kJ"), nullptr);
  EXPECT_NE(c.find_text("   0kW"), nullptr);
  EXPECT_EQ(lines_where(c, blue).size(), 4u);  // the static card is still drawn
}

TEST(CardPrintBlock, StaticCardOnTheStrokeAxisScale) {
  // Loss 0.5 m, stroke 2 m, 40 / 10 kN on the 3 m (H = 200) and 60 kN (V = 60) scales.
  SgtRecord r = make_card("W1", 250, 3000, 5000, 1000);
  r.stroke_loss = 500;
  r.theo_stroke = 2000;
  r.theo_max_load = 4000;
  r.theo_min_load = 1000;
  RecordingCanvas c(210, 297, true);
  DrawnTest st;
  print_card_block(st, c, r, kXs, kYs);
  auto b = lines_where(c, blue);
  ASSERT_EQ(b.size(), 4u);
  const double xa = kXs + 200 * 0.5 / 11, xb = xa + 200 * 2.0 / 11, xc = kXs + 200 * 2.0 / 11;
  const double ymax = kYs + (451 - 60 * 40.0 / 10) / 9, ymin = kYs + (451 - 60 * 10.0 / 10) / 9;
  const double expect[4][4] = {{xa, ymax, xb, ymax}, {kXs, ymin, xc, ymin}, {xa, ymax, kXs, ymin}, {xb, ymax, xc, ymin}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(b[i]->x1, expect[i][0], 1e-9);
    EXPECT_NEAR(b[i]->y1, expect[i][1], 1e-9);
    EXPECT_NEAR(b[i]->x2, expect[i][2], 1e-9);
    EXPECT_NEAR(b[i]->y2, expect[i][3], 1e-9);
    EXPECT_EQ(b[i]->pen.width, 1);
  }
}

TEST(CardPrintLibrary, ReadsTheRecordAndLeavesItInTheState) {
  TempProgram tmp("cardlib");
  std::vector<SgtRecord> recs;
  for (int i = 1; i <= 5; ++i) {
    SgtRecord r = make_card("W" + std::to_string(i), 250, 3000, 5000, 1000);
    r.stroke_loss = static_cast<std::int16_t>(100 * i);
    r.theo_stroke = 2500;
    r.theo_max_load = 4550;
    r.theo_min_load = -120;
    recs.push_back(r);
  }
  auto lib = tmp.write_library("Sgt.dat", recs);
  RecordingCanvas c(210, 297, true);
  DrawnTest st;
  prt_RodEngMapDisplay_main_new(st, c, lib, 3, kXs, kYs);
  EXPECT_EQ(st.sgt_rec.well_name.substr(0, 2), "W3");
  EXPECT_EQ(st.Text1[1], "0.3");
  EXPECT_EQ(st.Text1[2], "W3");
  EXPECT_EQ(st.Text1[3], "2.5");
  EXPECT_EQ(st.Text1[4], "45.5");
  EXPECT_EQ(st.Text1[5], "-1.2");
  for (int i = 2; i <= 5; ++i) EXPECT_FALSE(st.text1_enabled[i]) << i;
  EXPECT_TRUE(st.text1_enabled[1]);
  EXPECT_FLOAT_EQ(st.gt_stroke, 3.0f);
  EXPECT_FLOAT_EQ(st.gt_max_load, 50.0f);
  EXPECT_NEAR(st.sss[0], 3.0f, 1e-5);
  EXPECT_NEAR(st.ggs[0], 30.0f, 1e-5);
  EXPECT_NE(c.find_text("井号:W3"), nullptr);
}

TEST(CardPrintLibrary, MissingEmptyOrShortLibraryDrawsNothing) {
  TempProgram tmp("cardlib_bad");
  std::filesystem::path empty = tmp.prog.sys() / "Empty.dat";
  std::ofstream(empty).close();
  auto one = tmp.write_library("One.dat", std::vector<SgtRecord>{make_card("W1", 250, 3000, 5000, 1000)});
  struct Case {
    const char* name;
    std::filesystem::path path;
    std::int16_t red;
  };
  const Case cases[] = {{"missing", tmp.prog.sys() / "Sgt.dat", 1},
                        {"empty", empty, 1},
                        {"beyond the end", one, 2},
                        {"record 0", one, 0}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    RecordingCanvas c(210, 297, true);
    DrawnTest st;
    st.Text1[2] = "shown";
    prt_RodEngMapDisplay_main_new(st, c, k.path, k.red, kXs, kYs);
    EXPECT_TRUE(c.items.empty());
    EXPECT_EQ(st.Text1[2], "shown");
    EXPECT_FALSE(st.text1_enabled[2]);
  }
  EXPECT_FALSE(std::filesystem::exists(tmp.prog.sys() / "Sgt.dat"));  // reading creates nothing
}

}  // namespace
}  // namespace wb
