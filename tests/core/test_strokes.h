// Strokes for comparing a reworked numeric routine with the one it replaces bit for bit:
// card-like, flat and spiky curves of odd and even lengths.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace wb::test {

struct Stroke {
  std::string name;
  std::vector<float> x;
};

inline std::vector<Stroke> comparison_strokes() {
  std::vector<Stroke> out;
  for (int n : {200, 201, 499, 500, 1001, 2000, 2999, 3000}) {
    const std::string len = std::to_string(n);
    std::vector<float> card(n), flat(n, 37.125f), spiky(n), noisy(n);
    std::mt19937 gen(static_cast<std::uint32_t>(n));
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    for (int j = 0; j < n; ++j) {
      const double t = 6.283185307179586 * j / n;
      card[j] = static_cast<float>(50 + 30 * std::sin(t) + 12 * std::cos(2 * t + 0.3) + 4 * std::sin(5 * t) +
                                   std::cos(17 * t));
      spiky[j] = j % 97 == 3 ? 900.0f : (j % 41 == 0 ? -350.5f : 0.001f * static_cast<float>(j));
      noisy[j] = static_cast<float>(1.5 + 1.2 * std::cos(t)) + 0.05f * unit(gen);
    }
    out.push_back({"card" + len, card});
    out.push_back({"flat" + len, flat});
    out.push_back({"spiky" + len, spiky});
    out.push_back({"noisy" + len, noisy});
  }
  return out;
}

}  // namespace wb::test
