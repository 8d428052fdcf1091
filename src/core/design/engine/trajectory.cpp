// The well path every 2 m of measured depth from the survey grid.
//
// The survey stations are resampled with the periodic cubic spline: inclination directly,
// direction through its east and north components (so 359° and 1° interpolate through
// north). A periodic spline wraps a query at or below its last abscissa back to the top of
// the table, which would give the deepest nodes the surface's direction; those nodes take
// the last station's inclination and direction instead.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "core/common/number_text.h"
#include "core/common/periodic_spline.h"
#include "core/design/engine/design_number.h"
#include "core/design/engine/rod_design_engine.h"
#include "core/design/engine/trajectory_math.h"

namespace wb::design {
namespace {

// What a survey row's cells may hold, by the grid's columns. The depth's own checks (an order
// that does not increase, a survey deeper than 4000 m) keep their messages, so it need only
// be a number that a station (single precision) can hold; directions may be written past a
// full turn either way.
constexpr std::array<BoxLimit, 3> kSurveyCellLimits = {{
    {1, "斜深", kNoLowerLimit, std::numeric_limits<float>::max(), "m"},
    {2, "井斜角", 0, 180, "°"},
    {3, "方位角", -360, 720, "°"},
}};

// Survey stations with the surface as station 0, and their horizontal direction components.
struct Stations {
  std::vector<float> D, I, A;  // m, degrees, degrees
  std::vector<float> E, Nc;    // east and north of a 2 m step
};

// Inclination and step components of nodes 0..M from the spline through the stations; nodes
// at or below the last station take its values. False when the spline refused the stations
// or the nodes (the caller has checked them, so this is not expected); the nodes are then
// incomplete. The counts go to the spline as int: a survey may hold more than 32767 rows.
bool interpolate_nodes(DepthProfile& p, const Stations& s, int M) {
  const std::size_t n1 = s.D.size();
  std::vector<float> dy(n1), ddy(n1), w(n1);
  std::vector<float> dz(static_cast<std::size_t>(M + 1)), ddz(static_cast<std::size_t>(M + 1));
  const std::span<const float> t(p.node_depth.data(), static_cast<std::size_t>(M + 1));
  auto run = [&](const std::vector<float>& y, DepthProfile::Floats& out) {
    return gspl3<float, int>(s.D, y, static_cast<int>(n1), dy, ddy, t, M + 1, out, dz, ddz, w).ok();
  };
  if (!run(s.I, p.inclination) || !run(s.E, p.east_step) || !run(s.Nc, p.north_step)) return false;
  for (int i = 0; i <= M; ++i) {
    const auto u = static_cast<std::size_t>(i);
    if (p.node_depth[u] >= s.D.back()) {
      p.inclination[u] = s.I.back();
      p.east_step[u] = s.E.back();
      p.north_step[u] = s.Nc.back();
    }
  }
  return true;
}

// Vertical step, direction and dogleg of nodes 0..M; nodes 0..K1 (above the first survey row)
// stay straight. When the first row lies below the surface those nodes also step a full 2 m
// down: the spline's wobble between the surface and that row would otherwise leave the
// vertical depth short of the measured depth although the nodes are shown straight. A survey
// whose first row is at the surface keeps the spline's step at node 0.
void node_directions(DepthProfile& p, int M, int K1, bool first_row_below_surface) {
  for (int i = 0; i <= M; ++i) {
    const auto u = static_cast<std::size_t>(i);
    p.vert_step[u] = f32(2 * std::cos(p.inclination[u] * kPi14 / 180));
    p.azimuth[u] = f32(direction_deg(p.east_step[u], p.north_step[u], false));
  }
  for (int i = 0; i < M; ++i) {
    const auto u = static_cast<std::size_t>(i);
    const auto dA = f32((static_cast<double>(p.azimuth[u + 1]) - p.azimuth[u]) * kPi14 / 180);
    const double i0 = p.inclination[u], i1 = p.inclination[u + 1];
    const auto q = f32(i0 * i0 + i1 * i1 - 2 * i0 * i1 * std::cos(static_cast<double>(dA)));
    if (q >= 0) p.dogleg[u] = f32(15 * std::sqrt(static_cast<double>(q)));  // per 2 m → per 30 m
  }
  if (M > 0) p.dogleg[static_cast<std::size_t>(M)] = p.dogleg[static_cast<std::size_t>(M - 1)];
  for (int i = 0; i <= std::min(K1, kLastNode); ++i) {
    const auto u = static_cast<std::size_t>(i);
    p.inclination[u] = p.azimuth[u] = p.dogleg[u] = p.east_step[u] = p.north_step[u] = 0;
    if (first_row_below_surface) p.vert_step[u] = 2;
  }
}

// Vertical depth, displacement and total azimuth of grid rows 1..N, summed over whole nodes.
void write_back(TextGrid& g, const DepthProfile& p, int N) {
  float T = 0, Es = 0, Ns = 0;
  int from = 0;
  for (int r = 1; r <= N; ++r) {
    const int K = floor_index((num_val(g.text(r, 1)) + 0.9) / 2);  // the cell's value in double
    for (int i = from; i <= std::min(K - 1, kLastNode); ++i) {
      const auto u = static_cast<std::size_t>(i);
      T += p.vert_step[u];
      Es += p.east_step[u];
      Ns += p.north_step[u];
    }
    g.set_text(r, 6, num_text_dec(T, 2));
    g.set_text(r, 4, num_text_dec(std::sqrt(static_cast<double>(Es) * Es + static_cast<double>(Ns) * Ns), 2));
    g.set_text(r, 5, num_text(direction_deg(Es, Ns, true)));
    from = K;
  }
}

}  // namespace

double direction_deg(double e, double c, bool two_decimals) {
  if (e == 0 && c == 0) return 0;
  if (e == 0) return c >= 0 ? 0 : 180;
  if (c == 0) return e >= 0 ? 90 : 270;
  double a = std::atan(std::fabs(e / c)) * 180.0 / kPi14;
  if (two_decimals) a = std::floor(a * 100 + 0.5) / 100;
  if (e > 0 && c > 0) return a;
  if (e < 0 && c > 0) return 360 - a;
  if (e > 0 && c < 0) return 180 - a;
  return 180 + a;
}

void RodDesignEngine::CalcTrajectory() {
  auto& p = st.profile;
  auto& g = st.Grid1;
  p.inclination.fill(0);
  p.azimuth.fill(0);
  p.incl_change.fill(0);
  p.dogleg.fill(0);
  p.east_step.fill(0);
  p.north_step.fill(0);
  p.vert_step.fill(2);

  auto cell = [&](int r, int c) { return f32(num_val(g.text(r, c))); };
  int N = 0;
  for (int r = g.rows() - 1; r >= 1 && N == 0; --r) {
    if (cell(r, 1) > 0) N = r;
  }
  if (N == 0) {
    st.box_depth = 4000;
    st.box_half_width = 100;
    set_HScroll_FW(0);
    Draw_box();
    return;
  }

  // Station 0 is grid row 1 when that row is at the surface, else a surface station.
  const float d1 = cell(1, 1);
  Stations s;
  s.D.push_back(0);
  s.I.push_back(d1 == 0 ? cell(1, 2) : 0);
  s.A.push_back(d1 == 0 ? cell(1, 3) : 0);
  for (int r = d1 == 0 ? 2 : 1; r <= N; ++r) {
    s.D.push_back(cell(r, 1));
    s.I.push_back(cell(r, 2));
    s.A.push_back(cell(r, 3));
  }
  for (std::size_t k = 1; k < s.D.size(); ++k) {
    if (!(s.D[k] > s.D[k - 1])) {
      const int r = static_cast<int>(k) + (d1 == 0 ? 1 : 0);
      say("第 " + std::to_string(r) + "号记录的斜深数据有误，请作认真检查！");
      g.sel_row1 = g.sel_row2 = g.row = r;
      g.top_row = r <= 14 ? 1 : r - 13;
      Grid1_Click();
      return;
    }
  }
  for (int r = 1; r <= N; ++r) {
    std::array<std::string, 4> texts;
    for (int c = 1; c <= 3; ++c) texts[static_cast<std::size_t>(c)] = g.text(r, c);
    if (auto bad = check_box_limits(texts, kSurveyCellLimits)) {
      msg_.show("第 " + std::to_string(r) + "号记录的" + bad->message, kBoxRefusedTitle, MsgButtons::Ok,
                MsgIcon::Warning);
      g.sel_row1 = g.sel_row2 = g.row = r;
      g.top_row = r <= 14 ? 1 : r - 13;
      Grid1_Click();
      return;
    }
  }
  for (std::size_t k = 0; k < s.D.size(); ++k) {
    const double a = s.A[k] * kPi14 / 180, i = s.I[k] * kPi14 / 180;
    s.E.push_back(f32(std::sin(a) * 2 * std::sin(i)));
    s.Nc.push_back(f32(std::cos(a) * 2 * std::sin(i)));
  }

  int M = floor_index((static_cast<double>(s.D.back()) + 0.51) / 2);
  if (M > kLastNode) {
    say("井斜数据深于4000m，井眼轨迹只计算到4000m！");
    M = kLastNode;
  }
  st.last_node = static_cast<std::int16_t>(M);
  for (int i = 0; i <= M; ++i) p.node_depth[static_cast<std::size_t>(i)] = f32(2 * i);
  if (!interpolate_nodes(p, s, M)) {
    say("井斜数据有误，无法计算井眼轨迹，请作认真检查！");
    return;
  }
  node_directions(p, M, floor_index(d1 / 2.0), d1 != 0);
  write_back(g, p, N);

  st.box_depth = st.box_half_width = st.view_azimuth = 0;
  for (int r = 0; r <= g.rows() - 2; ++r) {  // the last row is the entry row
    st.box_half_width = std::max(st.box_half_width, std::fabs(num_val(g.text(r, 4))));
    st.box_depth = std::max(st.box_depth, std::fabs(num_val(g.text(r, 6))));
  }
  set_HScroll_FW(0);
  Draw_box();
}

}  // namespace wb::design
