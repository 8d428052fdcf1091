// The 3D well-path view: a dotted box around the path, north and east arrows at the
// wellhead level and the path through the survey stations, in a simple perspective turned
// about the vertical axis; and the controls that turn it.
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

#include "core/common/canvas.h"
#include "core/common/number_text.h"
#include "core/common/paths.h"
#include "core/common/trim.h"
#include "core/design/engine/rod_design_engine.h"
#include "core/design/engine/trajectory_math.h"

namespace wb::design {
namespace {

constexpr double kNoStationHalfWidth = 100;  // m, box of a survey without stations
constexpr double kNoStationDepth = 4000;     // m
constexpr int kAzimuthMax = 180;             // the view azimuth wraps from 180 to −179
constexpr int kAzimuthMin = -179;
constexpr int kRotationStep = 5;             // degrees per timer tick

struct Projector {
  double L, Zmax, phi, w, h;
  std::pair<double, double> operator()(double x0, double y0, double z0 = 0) const {
    double x1 = 0, y1 = 0;
    Trans_XY(x1, y1, x0, y0, z0, L, Zmax, phi, w, h);
    return {x1, y1};
  }
};

void polyline(Canvas& c, const Projector& T, std::initializer_list<std::pair<double, double>> pts) {
  bool first = true;
  for (const auto& [x, y] : pts) {
    const auto [sx, sy] = T(x, y);
    if (first) {
      c.pset(sx, sy);
      c.current_x = sx;
      c.current_y = sy;
      first = false;
    } else {
      c.line_to(sx, sy);
    }
  }
}

}  // namespace

void Trans_XY(double& x1, double& y1, double x0, double y0, double z0, double L, double Zmax, double phi, double w,
              double h) {
  if (Zmax != 0) y1 = h * (0.1 + z0 * 0.8 / Zmax);
  const double R = 1.5 * L;
  const double r = std::sqrt(x0 * x0 + y0 * y0);
  double theta;
  if (x0 == 0) {
    theta = y0 > 0 ? kPi14 / 2 : -kPi14 / 2;
  } else {
    const double a = std::atan(std::fabs(y0 / x0));
    if (x0 > 0) theta = y0 > 0 ? a : 2 * kPi14 - a;
    else theta = y0 > 0 ? kPi14 - a : kPi14 + a;
  }
  theta = theta + kPi14 - phi;
  double u = 0, v = 0;
  if (R != 0) {
    u = r * std::cos(theta) / R;
    v = r * std::sin(theta) / R;
  }
  y1 = y1 + 0.08 * v * h;
  const double k = 1 - 0.1 * std::fabs(v);
  if (v > 0) x1 = w * (0.5 + 0.47 * u / k);
  else if (v < 0) x1 = w * (0.5 + 0.47 * u * k);
  else x1 = w * (0.5 + 0.47 * u);
}

void RodDesignEngine::Draw_box() {
  if (!picture_3d) return;
  Draw_box(*picture_3d);
  if (picture_changed) picture_changed();
}

void RodDesignEngine::Draw_box(Canvas& c) const {
  c.cls();
  c.set_scale_mm();
  c.draw_width = 1;
  // A degenerate box (a vertical well, a single station) is drawn at the no-station size.
  const double L = st.box_half_width > 0 ? st.box_half_width : kNoStationHalfWidth;
  const double Zmax = st.box_depth > 0 ? st.box_depth : kNoStationDepth;
  const Projector T{L, Zmax, st.view_azimuth, c.area_width_mm(), c.area_height_mm()};

  c.draw_style = DrawStyle::Dot;
  c.fore_color = QBColor(13);
  const std::pair<double, double> sq[4] = {{L, L}, {-L, L}, {-L, -L}, {L, -L}};
  auto edge = [&](std::pair<double, double> a, double za, std::pair<double, double> b, double zb) {
    const auto [x1, y1] = T(a.first, a.second, za);
    const auto [x2, y2] = T(b.first, b.second, zb);
    c.line(x1, y1, x2, y2);
  };
  for (int i = 0; i < 4; ++i) edge(sq[i], 0, sq[(i + 1) % 4], 0);
  edge(sq[0], 0, sq[0], Zmax);
  for (int i = 0; i < 4; ++i) edge(sq[i], Zmax, sq[(i + 1) % 4], Zmax);
  for (int i = 1; i < 4; ++i) edge(sq[i], 0, sq[i], Zmax);

  c.draw_style = DrawStyle::Solid;
  c.fore_color = QBColor(9);
  polyline(c, T, {{0, 0}, {0, 1.5 * L}, {-0.1 * L, 1.3 * L}, {0.1 * L, 1.3 * L}, {0, 1.5 * L}});
  polyline(c, T, {{-0.2 * L, 1.1 * L}, {-0.2 * L, 1.4 * L}, {-0.3 * L, 1.1 * L}, {-0.27 * L, 1.45 * L}});
  c.fore_color = QBColor(12);
  polyline(c, T, {{1.5 * L, 0}, {-1.5 * L, 0}, {-1.3 * L, -0.1 * L}, {-1.3 * L, 0.1 * L}, {-1.5 * L, 0}});
  polyline(c, T, {{-1.39 * L, 0.4 * L}, {-1.25 * L, 0.4 * L}, {-1.25 * L, 0.2 * L}, {-1.41 * L, 0.2 * L}});
  polyline(c, T, {{-1.25 * L, 0.3 * L}, {-1.37 * L, 0.3 * L}});

  c.fore_color = QBColor(0);
  c.draw_width = 2;
  const auto [x0, y0] = T(0, 0, 0);
  c.pset(x0, y0);
  c.current_x = x0;
  c.current_y = y0;
  double prev = 0;
  const auto& g = st.Grid1;
  for (int i = 1; i < g.rows(); ++i) {
    const double d = num_val(g.text(i, 4));
    const double a = num_val(g.text(i, 5)) * kPi14 / 180;
    double z = num_val(g.text(i, 6));
    if (i == 1 && z == 0) z = 4000;
    if (z > prev) {
      const auto [x, y] = T(-d * std::sin(a), d * std::cos(a), z);
      c.line_to(x, y);
    }
    prev = z;
  }
  c.draw_width = 1;
}

void RodDesignEngine::set_HScroll_FW(int v) {
  v = std::clamp(v, -185, 185);
  if (v == st.HScroll_FW) return;
  st.HScroll_FW = v;
  HScroll_FW_Change();
}

void RodDesignEngine::HScroll_FW_Change() {
  int v = st.HScroll_FW;
  if (v > kAzimuthMax) {
    v = kAzimuthMin;
    st.HScroll_FW = v;
  } else if (v < kAzimuthMin) {
    v = kAzimuthMax;
    st.HScroll_FW = v;
  }
  set_Text_FW(std::to_string(v));
  st.view_azimuth = v * kPi14 / 180;
  Draw_box();
}

void RodDesignEngine::set_Text_FW(const std::string& text) {
  if (text == st.Text_FW) return;
  st.Text_FW = text;
  Text_FW_Change();
}

void RodDesignEngine::Text_FW_Change() {
  double v = num_val(st.Text_FW);
  if (v > kAzimuthMax) v = kAzimuthMin;
  else if (v < kAzimuthMin) v = kAzimuthMax;
  set_Text_FW(num_text(v));
  set_HScroll_FW(static_cast<int>(round_even(v)));
}

void RodDesignEngine::Cmd_Tran_Well_Click() {
  if (st.Cmd_Tran_Well == "正转") {
    st.Cmd_Tran_Well = "反转";
    st.Timer_Tran = true;
  } else if (st.Cmd_Tran_Well == "反转") {
    st.Cmd_Tran_Well = "停止";
    st.Timer_Tran = true;
  } else {
    st.Cmd_Tran_Well = "正转";
    st.Timer_Tran = false;
  }
}

void RodDesignEngine::Timer_Tran_Timer() {
  if (st.Cmd_Tran_Well == "反转") {
    int v = st.HScroll_FW + kRotationStep;
    if (v > kAzimuthMax) v = -175;
    set_HScroll_FW(v);
  } else if (st.Cmd_Tran_Well == "停止") {
    int v = st.HScroll_FW - kRotationStep;
    if (v < -175) v = kAzimuthMax;
    set_HScroll_FW(v);
  }
}

// The well and the azimuth box both go into the proposed name; either is left out when it
// could lead out of the image folder or make the name longer than a file name may be.
std::string RodDesignEngine::picture_file_name() const {
  std::string tail = "井眼曲线(" + st.Text_FW + "度方向).BMP";
  if (!is_safe_file_stem(tail)) tail = "井眼曲线.BMP";
  const std::string well = Trim_Blank_Nul(st.JName_Comb);
  return (is_safe_file_stem(well, tail.size()) ? well : std::string()) + tail;
}

}  // namespace wb::design
