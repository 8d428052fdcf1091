// A finished design built in the test for the design outputs' window tests, and a pixel
// count for their pictures.
#pragma once

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <string>

#include "core/design/engine/design_state.h"

namespace wb::design {

// Pixels near a colour (lines are drawn smoothed, so their pixels only approach it).
inline int pixels_of(const QImage& img, QRgb c) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QRgb p = img.pixel(x, y);
      n += std::abs(qRed(p) - qRed(c)) < 70 && std::abs(qGreen(p) - qGreen(c)) < 70 && std::abs(qBlue(p) - qBlue(c)) < 70;
    }
  return n;
}

// A well from the surface to 1000 m with a design: forces to the pump at 800 m and 31
// centralizers in Grid2.
inline void fill_design(DesignState& st) {
  st.JName_Comb = "W1 ";
  st.Text3[14] = "800";
  st.last_node = 500;
  auto& p = st.profile;
  for (int i = 0; i <= kLastNode; ++i) {
    const auto k = static_cast<std::size_t>(i);
    p.node_depth[k] = 2.0f * i;
    p.inclination[k] = static_cast<float>(std::min(30.0, i / 10.0));
    p.dogleg[k] = static_cast<float>(i % 50) / 10.0f;
    if (i <= 400) {
      p.axial_max[k] = 30000.0f - 20.0f * i;
      p.axial_min[k] = 8000.0f - 30.0f * i;
      p.side_force_tubing[k] = static_cast<float>(i % 40) - 10.0f;
      p.side_force_rod[k] = 12.0f;
    }
  }
  st.Grid1.set_rows(4);
  st.Grid1.set_text(1, 1, "0");
  st.Grid1.set_text(2, 1, "1001");
  st.Grid2.set_rows(32);
  for (int r = 1; r <= 31; ++r) {
    st.Grid2.set_text(r, 0, std::to_string(r));
    st.Grid2.set_text(r, 1, std::to_string(800 - 8 * r));
    st.Grid2.set_text(r, 4, "1.25");
  }
}

}  // namespace wb::design
