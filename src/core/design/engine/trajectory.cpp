// The well path every 2 m of measured depth from the survey grid.
//
// The survey stations are resampled with the periodic cubic spline: inclination directly,
// direction through its east and north components (so 359° and 1° interpolate through
// north). A periodic spline wraps a query at or below its last abscissa back to the top of
// the table, which would give the deepest nodes the surface's direction; those nodes take
// the last station's inclination and direction instead.
#include <algorithm>
#include <cmath>
#include <vector>

#include "core/common/number_text.h"
#include "core/common/periodic_spline.h"
#include "core/design/engine/rod_design_engine.h"
#include "core/design/engine/trajectory_math.h"

namespace wb::design {

double direction_deg(double e, double c, bool two_decimals) {
  if (e == 0 && c == 0) return 0;
  if (e == 0) return c >= 0 ? 0 : 180;
  if (c == 0) return e >= 0 ? 90 : 270;
  double a = std::atan(std::fabs(e / c)) * 180.0 / kPi;
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

  auto cell = [&](int r, int c) { return static_cast<float>(num_val(g.text(r, c))); };
  int N = 0;
  for (int r = g.rows() - 1; r >= 1; --r) {
    if (cell(r, 1) > 0) {
      N = r;
      break;
    }
  }
  if (N == 0) {
    st.box_depth = 4000;
    st.box_half_width = 100;
    set_HScroll_FW(0);
    Draw_box();
    return;
  }

  const float d1 = cell(1, 1);
  const int K1 = static_cast<int>(std::floor(d1 / 2.0));
  std::vector<float> D, I, A;
  const int first_row = d1 == 0 ? 2 : 1;  // grid row of station 1 (station 0 is row 1 or the surface)
  if (d1 == 0) {
    D.push_back(0);
    I.push_back(cell(1, 2));
    A.push_back(cell(1, 3));
  } else {
    D.push_back(0);
    I.push_back(0);
    A.push_back(0);
  }
  for (int r = first_row; r <= N; ++r) {
    D.push_back(cell(r, 1));
    I.push_back(cell(r, 2));
    A.push_back(cell(r, 3));
  }
  const int n = static_cast<int>(D.size()) - 1;
  for (int k = 1; k <= n; ++k) {
    if (!(D[static_cast<std::size_t>(k)] > D[static_cast<std::size_t>(k - 1)])) {
      const int r = d1 == 0 ? k + 1 : k;
      say("第 " + std::to_string(r) + "号记录的斜深数据有误，请作认真检查！");
      g.sel_row1 = g.sel_row2 = g.row = r;
      g.top_row = r <= 14 ? 1 : r - 13;
      Grid1_Click();
      return;
    }
  }

  std::vector<float> E(D.size()), Nc(D.size());
  for (std::size_t k = 0; k < D.size(); ++k) {
    const double a = A[k] * kPi / 180, i = I[k] * kPi / 180;
    E[k] = static_cast<float>(std::sin(a) * 2 * std::sin(i));
    Nc[k] = static_cast<float>(std::cos(a) * 2 * std::sin(i));
  }

  const float Dn = D.back();
  int M = static_cast<int>(std::floor((static_cast<double>(Dn) + 0.51) / 2));
  if (M > kLastNode) {
    say("井斜数据深于4000m，井眼轨迹只计算到4000m！");
    M = kLastNode;
  }
  st.last_node = static_cast<std::int16_t>(M);
  for (int i = 0; i <= M; ++i) p.node_depth[static_cast<std::size_t>(i)] = static_cast<float>(2 * i);

  // Nodes above the last station come from the spline; the rest take the last station.
  if (n >= 1) {
    const auto np = static_cast<std::int16_t>(n + 1);
    const auto mq = static_cast<std::int16_t>(M + 1);
    std::vector<float> dy(D.size()), ddy(D.size()), s(D.size());
    std::vector<float> dz(static_cast<std::size_t>(M + 1)), ddz(static_cast<std::size_t>(M + 1));
    const std::span<const float> t(p.node_depth.data(), static_cast<std::size_t>(M + 1));
    auto run = [&](const std::vector<float>& y, DepthProfile::Floats& out) {
      gspl3<float, std::int16_t>(D, y, np, dy, ddy, t, mq, out, dz, ddz, s);
    };
    run(I, p.inclination);
    run(E, p.east_step);
    run(Nc, p.north_step);
  }
  for (int i = 0; i <= M; ++i) {
    const auto u = static_cast<std::size_t>(i);
    if (p.node_depth[u] >= Dn) {
      p.inclination[u] = I.back();
      p.east_step[u] = E.back();
      p.north_step[u] = Nc.back();
    }
  }

  for (int i = 0; i <= M; ++i) {
    const auto u = static_cast<std::size_t>(i);
    p.vert_step[u] = static_cast<float>(2 * std::cos(p.inclination[u] * kPi / 180));
    p.azimuth[u] = static_cast<float>(direction_deg(p.east_step[u], p.north_step[u], false));
  }
  for (int i = 0; i < M; ++i) {
    const auto u = static_cast<std::size_t>(i);
    const auto dA = static_cast<float>((static_cast<double>(p.azimuth[u + 1]) - p.azimuth[u]) * kPi / 180);
    const double i0 = p.inclination[u], i1 = p.inclination[u + 1];
    const auto q = static_cast<float>(i0 * i0 + i1 * i1 - 2 * i0 * i1 * std::cos(static_cast<double>(dA)));
    if (q >= 0) p.dogleg[u] = static_cast<float>(15 * std::sqrt(static_cast<double>(q)));
  }
  if (M > 0) p.dogleg[static_cast<std::size_t>(M)] = p.dogleg[static_cast<std::size_t>(M - 1)];
  for (int i = 0; i <= std::min(K1, kLastNode); ++i) {
    const auto u = static_cast<std::size_t>(i);
    p.inclination[u] = p.azimuth[u] = p.dogleg[u] = p.east_step[u] = p.north_step[u] = 0;
  }

  float T = 0, Es = 0, Ns = 0;
  int from = 0;
  for (int r = 1; r <= N; ++r) {
    const int K = static_cast<int>(std::floor((num_val(g.text(r, 1)) + 0.9) / 2));  // the cell's value in double
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

  st.box_depth = st.box_half_width = st.view_azimuth = 0;
  for (int r = 0; r <= g.rows() - 2; ++r) {
    st.box_half_width = std::max(st.box_half_width, std::fabs(num_val(g.text(r, 4))));
    st.box_depth = std::max(st.box_depth, std::fabs(num_val(g.text(r, 6))));
  }
  set_HScroll_FW(0);
  Draw_box();
}

}  // namespace wb::design
