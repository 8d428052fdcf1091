#include "core/common/stroke.h"

#include <algorithm>
#include <cstddef>

namespace wb {

namespace {

template <typename Real>
Real loop_work(std::span<const float> pos, std::span<const float> load, int n) {
  Real w = 0;
  const std::size_t size = std::min(pos.size(), load.size());
  for (int i = 0; i < n; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const auto j = static_cast<std::size_t>((i + 1) % n);
    if (k >= size || j >= size) continue;
    const Real term = (static_cast<Real>(load[j]) + load[k]) / Real(2) * (static_cast<Real>(pos[j]) - pos[k]);
    w = w + term;
  }
  return w;
}

}  // namespace

float loop_work_single(std::span<const float> pos, std::span<const float> load, int n) {
  return loop_work<float>(pos, load, n);
}

double loop_work_double(std::span<const float> pos, std::span<const float> load, int n) {
  return loop_work<double>(pos, load, n);
}

}  // namespace wb
