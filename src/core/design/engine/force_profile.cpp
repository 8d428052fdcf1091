// Axial and side forces every 2 m from the pump up, centralizer spacing codes, centralizer
// placement, the centralizer table and the rod back-off tools.
//
// Spacing codes: 2, 3, 4 from compression (axial_min below −3500, −2500, −100 N), 8, 16, 32
// from the rod-tubing force of the curvature (above 199, 99, 49 N/m), 4096 none; the smaller
// wins. Placement takes the smallest code first (the deepest node on ties), marks it +8192
// and frees the nodes within half its spacing. A placed node is never freed again, so a node
// needing 2 m spacing keeps its centralizer next to a lower-priority neighbour.
#include <algorithm>
#include <cmath>
#include <optional>

#include "core/common/number_text.h"
#include "core/design/engine/force_profile.h"
#include "core/design/engine/design_number.h"
#include "core/design/engine/rod_design_engine.h"
#include "core/design/engine/rod_sizes.h"

namespace wb::design {
namespace {

constexpr double kDeg30mToRadM = 1718.87;  // degrees per 30 m → radians per m
constexpr double kNeutralSkipNodes = 50;   // the neutral point is sought above the last 100 m
constexpr double kPeakDogleg = 5;          // degrees per 30 m
constexpr double kToolSpacing = 200;       // m between back-off tools
constexpr double kLongSinker = 10;         // m
constexpr double kShortSinkerTool = 8;     // m above the pump

// The string from the pump up: sinker bar, 5/8, 3/4, 7/8, 1 and 1-1/8 in.
struct Sections {
  std::array<double, 6> L{}, dia{}, wt{};  // m, mm, kN/m
};

Sections string_sections(const std::array<std::string, 28>& T3) {
  Sections s;
  s.L = {num_val(T3[design_box::kSinkerLenAfter]), num_val(T3[design_box::kRods58After]),
         num_val(T3[design_box::kRods34After]),    num_val(T3[design_box::kRods78After]),
         num_val(T3[design_box::kRods1After]),     num_val(T3[design_box::kRods118After])};
  // A sinker bar of no known size keeps its diameter and weighs nothing here.
  const double d0 = num_val(T3[design_box::kSinkerDiaAfter]);
  const int sinker = sinker_size_index(d0);
  s.dia[0] = sinker >= 0 ? kRodSizes[static_cast<std::size_t>(sinker)].dia : d0;
  s.wt[0] = sinker >= 0 ? kRodSizes[static_cast<std::size_t>(sinker)].weight : 0;
  for (std::size_t i = 1; i < 6; ++i) {
    s.dia[i] = kRodSizes[i - 1].dia;
    s.wt[i] = kRodSizes[i - 1].weight;
  }
  return s;
}

// Axial forces (N) on the nodes the sections cover, 2 m at a time from the pump up; a step
// above the surface is left out. The factors 1 ± dyn are formed in single precision.
void axial_forces(DepthProfile& p, const Sections& sec, int pd, float friction, float buoy, float fluid_load,
                  float lf_up, float lf_dn, float dyn) {
  const float up = 1.0f + dyn;
  const float dn = 1.0f - dyn;
  double F = -static_cast<double>(friction);
  int s = 0;
  for (std::size_t i = 0; i < 6; ++i) {
    if (!(sec.L[i] > 0)) continue;
    const int steps = floor_index(sec.L[i] / 2);  // more than the profile holds is cut by the surface
    for (int j = 0; j < steps; ++j) {
      s += 2;
      const int k = (pd - s) / 2;
      if (k < 0) return;  // this step and every later one lie above the surface
      const auto u = static_cast<std::size_t>(k);
      F += p.vert_step[u] * static_cast<double>(buoy) * sec.wt[i];
      p.axial_max[u] = f32(1000 * (F + fluid_load) * lf_up * up);
      p.axial_min[u] = f32(1000 * F * lf_dn * dn);
      p.rod_dia[u] = f32(sec.dia[i]);
    }
  }
}

// Side forces (N/m) and spacing codes of nodes 0..np. The rods' own weight is that of the
// first section of the node's diameter (the previous node's when none has it).
void side_forces_and_codes(DepthProfile& p, const Sections& sec, int np) {
  double w = 0;
  for (int k = 0; k <= np; ++k) {
    const auto u = static_cast<std::size_t>(k);
    p.side_force_tubing[u] = f32(p.axial_max[u] * static_cast<double>(p.dogleg[u]) / kDeg30mToRadM);
    for (std::size_t i = 0; i < 6; ++i) {
      if (f32(sec.dia[i]) == p.rod_dia[u]) {
        w = sec.wt[i];
        break;
      }
    }
    p.side_force_rod[u] = f32(1000 * w * std::sin(p.inclination[u] * kPi14 / 180));
    p.fzq_code[u] = spacing_code(p.axial_min[u], p.side_force_tubing[u]);
  }
}

}  // namespace

std::int16_t spacing_code(float axial_min, float side_tubing) {
  std::int16_t a = kFzqNone, b = kFzqNone;
  if (axial_min < -3500) a = 2;
  else if (axial_min < -2500) a = 3;
  else if (axial_min < -100) a = 4;
  const float t = std::fabs(side_tubing);
  if (t > 199) b = 8;
  else if (t > 99) b = 16;
  else if (t > 49) b = 32;
  return std::min(a, b);
}

void place_centralizers(std::array<std::int16_t, kNodeCount>& code, int np) {
  for (;;) {
    int best = -1;
    for (int k = np; k >= 0; --k) {
      const auto c = code[static_cast<std::size_t>(k)];
      if (c < kFzqNone && (best < 0 || c < code[static_cast<std::size_t>(best)])) best = k;
    }
    if (best < 0) break;
    auto& placed = code[static_cast<std::size_t>(best)];
    const int q = placed;
    placed = static_cast<std::int16_t>(placed + kFzqPlaced);
    const double reach = q / 2.0 - 1;
    for (int j = std::max(0, best - q / 2); j <= std::min(kLastNode, best + q / 2); ++j) {
      const int dist = std::abs(j - best);
      auto& cj = code[static_cast<std::size_t>(j)];
      if (dist >= 1 && dist <= reach && cj < kFzqPlaced) cj = kFzqNone;
    }
  }
}

std::array<std::optional<double>, 4> backoff_depths(const DepthProfile& p, int np, double pd, double L0, int& count) {
  std::array<std::optional<double>, 4> T;
  T[0] = L0 > kLongSinker ? pd - L0 : pd - kShortSinkerTool;
  if (np >= kNeutralSkipNodes) {
    int best = 0;
    for (int k = 1; k <= np - kNeutralSkipNodes; ++k) {
      if (std::fabs(p.axial_min[static_cast<std::size_t>(k)]) < std::fabs(p.axial_min[static_cast<std::size_t>(best)]))
        best = k;
    }
    T[1] = 2.0 * best;
  }
  auto v = [&](int i) { return T[static_cast<std::size_t>(i)].value_or(0.0); };
  int c;
  if (std::fabs(v(0) - v(1)) < kToolSpacing) {
    T[0] = T[1];
    c = 1;
  } else {
    c = 2;
  }
  int ex_from = 1, ex_to = 0;  // nodes excluded by the first accepted peak
  for (int pass = 0; pass < 2; ++pass) {
    const auto uc = static_cast<std::size_t>(c);
    T[uc] = 0.0;
    int best = -1;
    for (int k = 0; k <= np; ++k) {
      if (k >= ex_from && k <= ex_to) continue;
      const float dl = p.dogleg[static_cast<std::size_t>(k)];
      if (dl > kPeakDogleg && (best < 0 || dl > p.dogleg[static_cast<std::size_t>(best)])) best = k;
    }
    if (best >= 0) T[uc] = 2.0 * best;
    if (v(c) > 0 && std::fabs(v(c) - v(c - 1)) > kToolSpacing) {
      if (pass == 0) {
        ex_from = std::max(0, static_cast<int>((v(c) - kToolSpacing) / 2));
        ex_to = std::min(np, static_cast<int>((v(c) + kToolSpacing) / 2));
      }
      ++c;
    }
  }
  // Deepest first (an insertion sort over at most four entries).
  for (int i = 1; i < c; ++i) {
    for (int j = i; j > 0 && T[static_cast<std::size_t>(j)].value_or(0) > T[static_cast<std::size_t>(j - 1)].value_or(0); --j)
      std::swap(T[static_cast<std::size_t>(j)], T[static_cast<std::size_t>(j - 1)]);
  }
  count = c;
  return T;
}

void RodDesignEngine::DesignFzq() {
  // A loaded design keeps the centralizers it was saved with (the user may have typed their
  // depths); its table shows the forces at those depths.
  const bool stored = st.loaded_design;
  st.loaded_design = false;
  auto& T3 = st.Text3;
  auto& p = st.profile;
  auto val = [](const std::string& t) { return num_val(t); };
  st.load_factor_up = f32(val(st.Text6[well_box::kLoadFactorUp]));
  st.load_factor_down = f32(val(st.Text6[well_box::kLoadFactorDown]));
  const Sections sec = string_sections(T3);
  const auto& L = sec.L;
  if (std::all_of(L.begin(), L.end(), [](double x) { return x == 0; })) {
    st.Grid2.set_rows(1);
    return;
  }
  double pd = std::floor(val(T3[design_box::kPumpDepthAfter]));
  pd = 2 * std::floor((pd + 1) / 2);
  if (pd > 2.0 * kLastNode || pd < 0) {
    say("泵挂深度须在0至4000m之间，无法计算杆柱受力！");
    return;
  }
  T3[design_box::kPumpDepthAfter] = num_text(pd);
  const int np = static_cast<int>(pd / 2);
  p.axial_max.fill(0);
  p.axial_min.fill(0);

  float speed = f32(val(T3[design_box::kStrokeAfter]) * val(T3[design_box::kSpmAfter]));
  float bore = f32(val(T3[design_box::kBoreAfter]));
  st.pump_friction = Calc_Pf_Pr(speed, st.kin_visc, bore);

  axial_forces(p, sec, static_cast<int>(pd), st.pump_friction, st.buoy_factor, st.fluid_load, st.load_factor_up,
               st.load_factor_down, st.dyn_factor);
  side_forces_and_codes(p, sec, np);

  place_centralizers(p.fzq_code, np);

  auto& slots = st.cur_design.fzq_depth;
  int n = 0;
  if (stored) {
    for (const float d : slots)
      if (d > 0) slots[static_cast<std::size_t>(n++)] = d;  // the table's rows hold no gaps
    std::fill(slots.begin() + n, slots.end(), 0.0f);
  } else {
    slots.fill(0);
    for (int k = np; k >= 0; --k) {
      if (p.fzq_code[static_cast<std::size_t>(k)] < kFzqPlaced) continue;
      if (n < kFzqSlots) slots[static_cast<std::size_t>(n++)] = f32(2 * k);
      else shell_.beep();
    }
  }
  FillFzqGrid(n);

  // Back-off tools: above the sinker bar, at the neutral point, at up to two dogleg peaks.
  int c = 0;
  const auto T = backoff_depths(p, np, pd, L[0], c);
  auto text = [&](int i) { return T[static_cast<std::size_t>(i)] ? num_text(*T[static_cast<std::size_t>(i)]) : std::string(); };
  T3[design_box::kBackOffAfter] = text(0);
  // Boxes this run does not fill are emptied, never left with an earlier design's depths.
  for (int i = 1; i <= 3; ++i)
    st.Text10[static_cast<std::size_t>(tool_box::kBackOffAfter2 + i - 1)] = i < c ? text(i) : std::string();
}

void RodDesignEngine::FillFzqGrid(int n) {
  auto& g = st.Grid2;
  const auto& p = st.profile;
  g.set_rows(n + 1);
  auto r2 = [](float x) { return num_text(std::floor(static_cast<double>(x) * 100 + 0.5) / 100); };
  for (int r = 0; r < n; ++r) {
    const float depth = st.cur_design.fzq_depth[static_cast<std::size_t>(r)];
    const int k = std::clamp(static_cast<int>(depth / 2), 0, kLastNode);
    const auto u = static_cast<std::size_t>(k);
    g.set_text(r + 1, 0, std::to_string(r + 1));
    g.set_text(r + 1, 1, num_text_f(depth));
    g.set_text(r + 1, 2, r2(p.inclination[u]));
    g.set_text(r + 1, 3, r2(p.azimuth[u]));
    g.set_text(r + 1, 4, r2(p.dogleg[u]));
    g.set_text(r + 1, 5, r2(p.axial_max[u]));
    g.set_text(r + 1, 6, r2(p.axial_min[u]));
    g.set_text(r + 1, 7, r2(p.side_force_tubing[u]));
    g.set_text(r + 1, 8, r2(p.side_force_rod[u]));
    g.set_text(r + 1, 9, num_text_f(p.rod_dia[u]));
    // A stored depth where this design placed no centralizer has no spacing of its own.
    g.set_text(r + 1, 10, p.fzq_code[u] >= kFzqPlaced ? std::to_string(p.fzq_code[u] - kFzqPlaced) : std::string());
  }
}

}  // namespace wb::design
