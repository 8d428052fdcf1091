#include "core/design/workbench/ipr_view.h"

#include <algorithm>
#include <cmath>

#include "core/common/number_text.h"
#include "core/common/physical.h"

namespace wb::design {

namespace {

constexpr double kWaterDensity = 1.0;    // t/m³
constexpr double kMinDensity = 0.7;      // t/m³; at or below it the fluid data are refused
constexpr double kMinMidDepth = 100.0;   // m; at or below it the mid-depth is refused
constexpr double kVogelDiv = 1.8;        // the composite model's Pb/1.8
constexpr double kSchematicTop = 360.0;  // twips: the drag limits count depths from here
// The chart picture's size when no picture is attached (4455 × 3735 twips), mm.
constexpr double kChartW = 4455 * 25.4 / 1440, kChartH = 3735 * 25.4 / 1440;

bool fluid_refused(const IprInputs& in) { return in.rho_m() <= kMinDensity || in.Hmid <= kMinMidDepth; }

struct ChartAxes {
  double W, H, Lx, Ly, Pmax, Qmax;
  double x(double q) const { return 8.0 + q * Lx / Qmax; }
  double y(double p) const { return (H - 10.0) - p * Ly / Pmax; }
};

ChartAxes axes(double W, double H, double Pmax, double Qmax) { return {W, H, W - 18.0, H - 15.0, Pmax, Qmax}; }

double largest_rate(const std::array<float, 101>& r) {
  double top = 0.0;
  for (float q : r) top = std::max(top, static_cast<double>(q));
  return top;
}

}  // namespace

double IprInputs::rho_m() const {
  const double f = fw / 100.0;
  return f * kWaterDensity + (rho_s + rho_d) / 2.0 * (1.0 - f);
}

IprInputs IprInputs::from(const DesignState& st) {
  IprInputs in;
  in.Pr = num_val(st.Text6[well_box::kStaticPressure]);
  in.Pb = num_val(st.Text6[well_box::kBubblePressure]);
  in.J = num_val(st.Text6[well_box::kProductivity]);
  in.fw = num_val(st.Text6[well_box::kWaterCut]);
  in.rho_s = num_val(st.Text6[well_box::kOilDensitySurface]);
  in.rho_d = num_val(st.Text6[well_box::kOilDensityDown]);
  in.Pc = num_val(st.Text6[well_box::kCasingPressure]);
  in.Hmid = num_val(st.Text6[well_box::kLayerMidDepth]);
  return in;
}

double ipr_rate_at(const IprInputs& in, double p) {
  if (p >= in.Pb || in.Pb <= 0.0) return in.J * (in.Pr - p);
  const double x = p / in.Pb;
  return in.J * ((in.Pr - in.Pb) + in.Pb / kVogelDiv * (1.0 - 0.2 * x - 0.8 * x * x));
}

double ipr_capacity(const IprInputs& in) { return in.J * ((in.Pr - in.Pb) + in.Pb / kVogelDiv); }

std::optional<double> ipr_pressure_for_rate(const IprInputs& in, double q) {
  if (!(in.J > 0.0)) return std::nullopt;
  const double Qb = in.J * (in.Pr - in.Pb);
  if (q <= Qb) return in.Pr - q / in.J;
  if (!(in.Pb > 0.0)) return std::nullopt;
  // −0.8x² − 0.2x + C = 0 for x = p/Pb; the larger root.
  const double C = 1.0 - kVogelDiv * (q - Qb) / (in.J * in.Pb);
  const double disc = 0.04 + 3.2 * C;
  if (!(disc >= 0.0)) return std::nullopt;
  return in.Pb * (std::sqrt(disc) - 0.2) / 1.6;
}

double ipr_axis_max(double v) { return 5.0 * std::floor(v / 5.0 + 1.0); }

bool IprView::inputs_refused() {
  const auto bad = check_ipr_boxes(st_);
  if (!bad) return false;
  msg_.show(bad->message, kBoxRefusedTitle, MsgButtons::Ok, MsgIcon::Warning);
  return true;
}

void IprView::Cmd_Redraw_IPR_Click() {
  if (inputs_refused()) return;
  const IprInputs in = IprInputs::from(st_);
  double top = 0.0;
  for (int i = 0; i < kIprPoints; ++i) {
    const double p = i * in.Pr / 100.0;
    const double q = ipr_rate_at(in, p);
    v.ipr_pressure[static_cast<std::size_t>(i)] = static_cast<float>(p);
    v.ipr_rate[static_cast<std::size_t>(i)] = static_cast<float>(q);
    top = std::max(top, q);
  }
  v.chart_Pmax = ipr_axis_max(in.Pr);
  v.chart_Qmax = ipr_axis_max(top);
  if (chart) draw_chart(*chart);
  Text8_Change();
  notify();
}

void IprView::draw_chart(Canvas& c) const {
  c.set_scale_mm();
  c.set_plain_font(9);
  c.fore_color = kBlack;
  c.back_color = kWhite;
  c.draw_width = 1;
  c.draw_style = DrawStyle::Solid;
  c.cls();
  const ChartAxes a = axes(c.area_width_mm(), c.area_height_mm(), v.chart_Pmax, v.chart_Qmax);
  const double y0 = a.H - 10.0;
  c.line(8, y0, 8, 5);
  c.print_at(9, 5, "Pf(mPa)");
  for (int i = 1; i <= 5; ++i) {
    const double y = y0 - i * a.Ly / 5.0;
    c.line(7, y, 8, y);
    c.print_at(2, y, num_text(i * a.Pmax / 5.0));
  }
  c.line(8, y0, a.W - 10.0, y0);
  c.print_at(a.W - 8.0, y0 - 2.0, "q。");
  for (int i = 0; i <= 5; ++i) {
    const double x = 8.0 + i * a.Lx / 5.0;
    c.line(x, y0, x, y0 + 1.0);
    c.print_at(x - 2.0, y0 + 2.0, num_text(i * a.Qmax / 5.0));
  }
  const Rgb curve = QBColor(12);
  double px = a.x(v.ipr_rate[0]), py = a.y(v.ipr_pressure[0]);
  c.pset(px, py, kBlack);
  for (std::size_t i = 1; i < kIprPoints; ++i) {
    const double x = a.x(v.ipr_rate[i]), y = a.y(v.ipr_pressure[i]);
    c.line(px, py, x, y, curve);
    px = x;
    py = y;
  }
}

void IprView::Text8_Change() {
  if (inputs_refused()) return;
  const IprInputs in = IprInputs::from(st_);
  if (in.Hmid == 0.0) return;
  if (fluid_refused(in)) {
    msg_.show(kBadFluidText, "");
    return;
  }
  const double L = num_val(v.Text8);
  double pwf = in.Pc + in.rho_m() * kGravity * (in.Hmid - L) / 1000.0;
  pwf = std::max(0.0, round_dec(pwf, 2));
  double p = pwf, q = 0.0;
  for (std::size_t i = 0; i < kIprPoints; ++i) {
    if (static_cast<double>(v.ipr_pressure[i]) > pwf) {
      p = v.ipr_pressure[i];
      q = v.ipr_rate[i];
      break;
    }
  }
  const double W = chart ? chart->area_width_mm() : kChartW;
  const double H = chart ? chart->area_height_mm() : kChartH;
  const ChartAxes a = axes(W, H, ipr_axis_max(in.Pr), ipr_axis_max(largest_rate(v.ipr_rate)));
  const double x = a.x(q), y = a.y(p);
  v.Line1 = {8.0, y, x, y};
  v.Line2 = {x, y, x, H - 10.0};
  v.lines_visible = true;
  v.Text9 = num_text(round_dec(p, 2));
  v.Text11 = num_text(round_dec(q, 2));
  notify();
}

void IprView::set_Text7(int index, const std::string& text) {
  if (index < 0 || index > 2) return;
  auto& box = v.Text7[static_cast<std::size_t>(index)];
  if (box == text) return;
  box = text;
  Text7_Change(index);
  notify();
}

void IprView::set_Text8(const std::string& text) {
  if (v.Text8 == text) return;
  v.Text8 = text;
  Text8_Change();
  notify();
}

void IprView::Text7_Change(int index) {
  if (index < 0 || index > 2 || inputs_refused()) return;
  const IprInputs in = IprInputs::from(st_);
  if (index == 0) {
    const double L = num_val(v.Text7[ipr_box::kLevel]);
    if (L > in.Hmid) return;
    common_tail(L);
    return;
  }
  if (index == 1) {
    double q = num_val(v.Text7[ipr_box::kRate]);
    if (!(in.J > 0.0)) {
      msg_.show(kBadIndexText, "");
      return;
    }
    if (fluid_refused(in)) {
      msg_.show(kBadFluidText, "");
      return;
    }
    const double cap = ipr_capacity(in);
    if (q > cap) {
      if (!fixing_rate_) {
        msg_.show(kRateTooHighText, "");
        fixing_rate_ = true;
        set_Text7(ipr_box::kRate, num_text(std::floor(10.0 * cap) / 10.0));
        fixing_rate_ = false;
        v.focus_text7 = 1;
        return;
      }
      q = cap;  // the corrected text read back a hair above the capacity
    }
    const auto p = ipr_pressure_for_rate(in, q);
    if (!p) {
      msg_.show(kBadBubbleText, "");
      return;
    }
    level_from_pressure(*p);
    return;
  }
  if (index == 2) {
    if (fluid_refused(in)) {
      msg_.show(kBadFluidText, "");
      return;
    }
    level_from_pressure(num_val(v.Text7[ipr_box::kFlowingPressure]));
  }
}

void IprView::level_from_pressure(double p) {
  const IprInputs in = IprInputs::from(st_);
  double L = std::floor(in.Hmid - 1000.0 * (p - in.Pc) / (kGravity * in.rho_m()) + 0.5);
  if (L > 0.0) {
    set_Text7(ipr_box::kLevel, num_text(L));
  } else {
    set_Text7(ipr_box::kLevel, "0");
    L = 0.0;
  }
  common_tail(L);
}

void IprView::place_schematic(double L) {
  const double Ld = std::clamp(std::isfinite(L) ? L : 0.0, 0.0, kSchematicDepth);
  const double h = (kSchematicDepth - Ld) * kSchematicSpan / kSchematicDepth;
  v.column_top = kColumnBottom - h;
  v.column_height = h;
  v.marker_top = kColumnBottom - h - kMarkerAbove;
}

void IprView::common_tail(double L) {
  place_schematic(L);
  Cmd_Redraw_IPR_Click();
  set_Text8(v.Text7[ipr_box::kLevel]);
}

void IprView::marker_drag(double y, bool move) {
  const IprInputs in = IprInputs::from(st_);
  if (fluid_refused(in) || check_ipr_boxes(st_)) return;
  const double scale = kSchematicSpan / kSchematicDepth;
  const double Hs = in.Hmid - 1000.0 * in.Pr / (kGravity * in.rho_m());
  const double y_low = kSchematicTop + (in.Hmid + 100.0) * scale;
  const double y_high = kSchematicTop + Hs * scale;
  if (!(y_high < y && y < y_low)) return;
  const double Y = std::min(y, static_cast<double>(kColumnBottom));  // never a negative column
  v.marker_top = Y - kMarkerAbove;
  v.column_top = Y;
  v.column_height = kColumnBottom - Y;
  if (move) {
    const double L = std::floor(kSchematicDepth - v.column_height / scale);
    set_Text8(num_text(L));
    if (num_val(v.Text8) < 0.0) set_Text8("0");
  }
  notify();
}

void IprView::SSTab1_Click(const std::string& caption) {
  if (caption == "动态IPR曲线") {
    v.Label10[7] = "油层静压(MPa): " + st_.Text6[well_box::kStaticPressure];
    v.Label10[8] = "饱和压力(MPa): " + st_.Text6[well_box::kBubblePressure];
    v.Label10[9] = "采液指数t/MPa: " + st_.Text6[well_box::kProductivity];
    Cmd_Redraw_IPR_Click();
  } else if (caption == "设计生产参数") {
    const double Pin = num_val(st_.Text6[well_box::kInputPower]), Peff = num_val(st_.Text6[well_box::kUsefulPower]);
    if (Pin > 0.0 && Peff > 0.0 && !check_effi_caption_boxes(st_))
      st_.Label3[design_label::kSystemEffBefore] = num_text(std::floor(Peff / Pin * 1000.0 + 0.5) / 10.0);
  }
  notify();
}

}  // namespace wb::design
