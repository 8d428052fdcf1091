// A synthetic acoustic fluid-level test and the level-echo template, for the sample program
// folder and for tests that need an echo with a known sound speed and level.
//
// The raw channel holds the shot at sample 250 (depth 0), a train of short collar echoes,
// one every joint (two-way travel 2 L / c), fading with depth and ending at the liquid,
// the large level echo in the template's shape, its weaker multiple at twice the travel
// time, and deterministic (seeded) noise. The file is raw-only (the program filters it).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/common/bytes.h"
#include "core/level/level_analysis.h"
#include "core/level/level_test.h"

namespace wb {

struct SyntheticLevelParams {
  double sound_speed = 336.0;   // m/s in the annulus
  double joint_length = 9.6;    // m between collars
  double level_depth = 1200.0;  // m
  int sample_rate = 250;
  int sample_count = 5000;
  double noise = 30.0;          // standard deviation of the noise, raw units
  double collar_amplitude = 700.0;   // first collar echo, raw units
  std::uint32_t seed = 1;
  float header_speed = 0.0f;    // speed written in the header (0: the program searches)
  std::string test_date = "200605121430";
  std::string well_name = "示范井1";
};

// The 128-sample level echo (raw units) and its text as the template file holds it.
std::array<double, kTemplateLength> level_template_shape();
std::string level_template_text();

// The sample at which the level echo starts: 250 + depth / (speed / rate / 2), rounded.
int synthetic_level_index(const SyntheticLevelParams& p);

// The raw channel, sample_count values.
std::vector<std::int16_t> synthetic_echo(const SyntheticLevelParams& p);

// The whole raw file (header and raw-only samples).
Bytes make_synthetic_level_test(const SyntheticLevelParams& p);

// Write the file / the template (atomically). False when it cannot be written.
[[nodiscard]] bool write_synthetic_level_test(const std::filesystem::path& path, const SyntheticLevelParams& p);
[[nodiscard]] bool write_level_template(const std::filesystem::path& path);

}  // namespace wb
