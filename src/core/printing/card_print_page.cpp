#include "core/printing/card_print_page.h"

#include "core/common/file_read.h"
#include "core/records/record_checks.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/charts/card_chart.h"
#include "core/charts/chart_text.h"
#include "core/common/fourier.h"
#include "core/common/number_text.h"
#include "core/common/stroke.h"
#include "core/common/record_store.h"
#include "core/common/trim.h"

namespace wb {
namespace {

constexpr Rgb kPrintedCardColor = rgb(255, 0, 0);  // light red
constexpr int kPositionHarmonics = 6;
constexpr int kLoadHarmonics = 29;

// Layout units to millimetres from the block position.
struct BlockMap {
  double xs, ys;
  double x(double u) const { return xs + (u - kCardOriginU) / 11.0; }
  double y(double v) const { return ys + (v + 60.0) / 9.0; }
};

// Four lines around a rectangle: top, right, bottom, left.
void frame_lines(Canvas& c, double x1, double y1, double x2, double y2) {
  c.line(x1, y1, x2, y1);
  c.line(x2, y1, x2, y2);
  c.line(x2, y2, x1, y2);
  c.line(x1, y2, x1, y1);
}

}  // namespace

std::array<std::string, 17> card_print_header(const std::string& well, const std::string& test_date,
                                              const CardPrintValues& v) {
  std::array<std::string, 17> h;
  const std::string date = field_for_drawing(test_date);
  h[0] = "井号:" + trim_blanks(well);
  h[1] = "日期:" + utf8_sub(date, 0, 8);
  h[2] = "时间:" + utf8_sub(date, 8, 2) + ":" + utf8_sub(date, 10, 2);
  h[3] = "冲次:" + num_print(v.spm) + "次";
  h[4] = "冲程:" + num_print(v.stroke) + "m";
  h[5] = "最大负载:";
  h[6] = "  " + num_print(v.max_load) + "kN";
  h[7] = "最小负载:";
  h[8] = "  " + num_print(v.min_load) + "kN";
  h[9] = "作 功 量:";
  h[10] = "  " + num_print(round_dec(v.work, 2)) + "kJ";
  h[11] = "光杆功率:";
  h[12] = "  " + num_print(v.power) + "kW";
  return h;
}

void print_card_block(DrawnTest& st, Canvas& printer, const SgtRecord& rec, double xs, double ys) {
  st.set_card_boxes_enabled(false);
  printer.set_scale_mm();
  printer.font.name = "宋体";
  printer.font.size = kCardPrintFontSize;
  printer.font.bold = false;

  st.sgt_rec = rec;
  st.Text1[appended_box::kStrokeLoss] = num_text(rec.stroke_loss / 1000.0);
  st.Text1[appended_box::kWell] = Trim_Blank_Nul(rec.well_name);
  st.Text1[appended_box::kTheoStroke] = num_text(rec.theo_stroke / 1000.0);
  st.Text1[appended_box::kTheoMaxLoad] = num_text(rec.theo_max_load / 100.0);
  st.Text1[appended_box::kTheoMinLoad] = num_text(rec.theo_min_load / 100.0);

  const int n = rec.point_num;
  CardPrintValues v;
  v.stroke = rec.real_stroke / 1000.0;
  v.max_load = rec.max_load / 100.0;
  v.min_load = rec.min_load / 100.0;

  // Rebuild the card from its coefficients (theta = 2*3.14159/n), as far as the arrays go.
  const int rebuilt = std::clamp(n, 0, kSampleArraySize);
  if (n > 0) {
    reader_series(st.sss.data(), rebuilt, n, kPositionHarmonics, rec.ss_cos.data(), rec.ss_sin.data());
    reader_series(st.ggs.data(), rebuilt, n, kLoadHarmonics, rec.gg_cos.data(), rec.gg_sin.data());
  }
  const int drawn = std::min(rebuilt, kCardPrintMaxPoints);
  std::vector<float> ps(st.sss.begin(), st.sss.begin() + drawn);
  std::vector<float> gs(st.ggs.begin(), st.ggs.begin() + drawn);
  float s_min = 0;
  if (!ps.empty()) s_min = *std::min_element(ps.begin(), ps.end());

  st.gt_stroke = static_cast<float>(v.stroke);
  st.gt_max_load = static_cast<float>(v.max_load);

  const CardPositionScale pos = card_position_scale(v.stroke);
  const CardLoadScale load = card_load_scale(v.max_load);
  const double h = pos.units_per_m;
  const double vv = load.units_per_10kn;
  const BlockMap m{xs, ys};

  printer.fore_color = kBlack;
  printer.draw_width = 1;
  printer.draw_style = DrawStyle::Dot;
  // Position grid; labels 2 mm left of their line, 1 mm below the plot frame.
  for (int k = 0; k <= pos.divisions; ++k) {
    const double x = m.x(kCardOriginU + h * pos.step_m * k);
    printer.line(x, m.y(kCardPlotTopV), x, m.y(kCardPlotBottomV));
    if (k >= 1) {
      std::string label = num_print(k * pos.step_m);
      if (k == pos.divisions) label += " 行程(m)";
      printer.print_at(x - 2.0, ys + 51.0, label);
    }
  }
  // Load grid; labels 45/11 mm left of the plot frame, at the height of their line.
  for (int k = 0; k <= load.divisions; ++k) {
    const double y = m.y(kCardPlotTopV + load.pitch * k);
    if (k < load.divisions) printer.line(m.x(kCardPlotRightU), y, m.x(kCardOriginU), y);
    std::string label = num_print(load.full_kn - k * load.step_kn);
    if (k == 0) label += "负载(kN)";
    printer.print_at(xs - 45.0 / 11.0, y, label);
  }

  printer.draw_style = DrawStyle::Solid;
  printer.draw_width = 2;
  frame_lines(printer, m.x(14), m.y(15), m.x(880), m.y(440));
  printer.draw_width = 1;
  frame_lines(printer, m.x(60), m.y(31), m.x(660), m.y(390));
  frame_lines(printer, m.x(680), m.y(31), m.x(870), m.y(390));

  // Single precision like the screen's card header, whose printed power it repeats.
  v.work = loop_work_single(st.sss, st.ggs, std::max(n, 0));
  if (n != 0) {
    v.spm = round_dec(strokes_per_minute(n), 2);
    v.power = round_dec(card_power_kw(v.work, n), 2);
  }
  const auto header = card_print_header(st.Text1[appended_box::kWell], rec.test_date, v);
  printer.fore_color = kBlack;
  double y = ys + 95.0 / 9.0 + 0.5;
  for (const std::string& line : header) {
    printer.print_at(xs + 625.0 / 11.0, y, line);
    y = printer.current_y + 0.5;
  }

  // Measured card, not closed.
  auto px = [&](std::size_t i) { return m.x(kCardOriginU + h * (static_cast<double>(ps[i]) - s_min)); };
  auto py = [&](std::size_t i) { return m.y(kCardZeroLoadV - vv * static_cast<double>(gs[i]) / 10.0); };
  printer.draw_width = 3;
  printer.fore_color = kPrintedCardColor;
  if (!ps.empty()) {
    const CardClip k;
    ClipFrame clip(printer, m.x(k.u1), m.y(k.v1), m.x(k.u2), m.y(k.v2));
    printer.pset(px(0), py(0));
    for (std::size_t i = 1; i < ps.size(); ++i) printer.line(px(i - 1), py(i - 1), px(i), py(i));
  }

  // Static card from the boxes just written; the stroke loss is laid off on the stroke
  // axis's own scale so that the card agrees with the position labels.
  const StaticCardLines sc = static_card_geometry(pos, load, st);
  printer.draw_width = 1;
  printer.draw_style = DrawStyle::Solid;
  printer.fore_color = rgb(0, 0, 255);
  const CardClip k;
  ClipFrame clip(printer, m.x(k.u1), m.y(k.v1), m.x(k.u2), m.y(k.v2));
  printer.line(m.x(sc.u_a), m.y(sc.v_max), m.x(sc.u_b), m.y(sc.v_max));                  // top
  printer.line(m.x(kCardOriginU), m.y(sc.v_min), m.x(sc.u_c), m.y(sc.v_min));            // bottom
  printer.line(m.x(sc.u_a), m.y(sc.v_max), m.x(kCardOriginU), m.y(sc.v_min));            // left
  printer.line(m.x(sc.u_b), m.y(sc.v_max), m.x(sc.u_c), m.y(sc.v_min));                  // right
  printer.fore_color = kBlack;
}

std::optional<SgtRecord> read_card_print_record(const std::filesystem::path& fil_nam, std::int16_t red) {
  if (red < 1) return std::nullopt;
  // Only the record itself is read: a batch reads one record per block, and a library at
  // the record limit is 16 MB. A library whose length is not a whole number of records
  // still yields the records that are complete.
  const std::uint64_t begin = static_cast<std::uint64_t>(red - 1) * kSgtRecordSize;
  Bytes b(kSgtRecordSize, 0);
  if (!ReadableFile(fil_nam).read_at(begin, b)) return std::nullopt;
  SgtRecord rec;
  if (!rec.decode(b)) return std::nullopt;
  return rec;
}

void prt_RodEngMapDisplay_main_new(DrawnTest& st, Canvas& printer, const std::filesystem::path& fil_nam,
                                   std::int16_t red, double xs, double ys) {
  st.set_card_boxes_enabled(false);
  const std::optional<SgtRecord> rec = read_card_print_record(fil_nam, red);
  // A damaged record leaves its place empty rather than printing curves it cannot rebuild.
  if (rec && check_sgt_record(*rec).usable()) print_card_block(st, printer, *rec, xs, ys);
}

}  // namespace wb
