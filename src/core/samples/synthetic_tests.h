// Synthetic raw joint tests (<well>.oNN) of a beam pumping unit, for the sample program
// folder and for tests that need a test with a known period, range and wiring mode.
//
// Position: crank-driven polished-rod motion, 0 at the bottom and `stroke` at the top dead
// centre, with a second harmonic from the linkage. Load: rods in fluid, plus the fluid load
// picked up over the rod stretch at the start of the upstroke and released over it at the
// start of the downstroke, plus inertia and a decaying rod vibration. Motor: the net shaft
// power (load less counterbalance times rod speed) through the motor's efficiency, plus its
// losses; current from that power and the magnetising current; voltage with a line drop.
// Noise is deterministic (seeded), so a file is the same on every run.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/common/bytes.h"
#include "core/common/paths.h"
#include "core/common/test_records.h"

namespace wb {

struct SyntheticJointParams {
  int period = 500;              // samples per stroke (0.02 s each): 500 = 6 strokes/min
  int sample_count = 3000;       // samples written; also the header's count
  std::int16_t wiring_mode = 1;  // 1 three-phase two-channel, 2, 3 single phase, 4
  double phase = 0.0;            // stroke phase of sample 0, in strokes (0 = bottom dead centre)
  double stroke = 3.0;           // m
  double position_offset = 0.12; // m, the transducer's reading at the bottom dead centre
  double rod_weight = 30.0;      // kN, rods in fluid
  double fluid_load = 18.0;      // kN, carried on the upstroke
  double stretch = 0.30;         // m, rod and tubing stretch over which the fluid load moves
  double counterbalance = -1.0;  // kN at the polished rod; below 0: rods + half the fluid load
  double voltage = 380.0;        // V, supply
  double line_drop = 0.05;       // V per A
  double magnetising_current = 9.0;  // A
  double motor_losses = 1.2;     // kW
  double motor_efficiency = 0.88;
  bool reverse_power = false;    // current clamp the wrong way round: power recorded negative
  double noise = 1.0;            // scale of the noise (0 = clean)
  std::uint32_t seed = 1;
  std::string test_date = "200605121430";  // yyyymmddhhmm as the instrument writes it
  std::string well_name = "示范井1";
};

// The sample folder's two joint tests (示范井1.o01, 示范井2.o01):
//  - well 1 at 6 strokes a minute on a 3 m stroke, three-phase two-channel wiring, a 0.2 V/A
//    supply line, so the line-loss estimate finds a clear voltage drop;
//  - well 2 deeper and slower: 4.8 strokes a minute on a 4.2 m stroke, three-channel wiring,
//    the current clamp turned round (power recorded negative).
SyntheticJointParams sample_well_1();
SyntheticJointParams sample_well_2();

// The whole raw file: a 1024-byte header block and the samples.
Bytes make_synthetic_joint_test(const SyntheticJointParams& p);

// Writes the file (atomically). False when it cannot be written.
[[nodiscard]] bool write_synthetic_joint_test(const std::filesystem::path& path, const SyntheticJointParams& p);

// One clean stroke of the same unit as a card record (the diagnosis samples use it): `points`
// samples from the bottom dead centre, position from its lowest point, Fourier coefficients
// as the card library stores them (16 position, 32 load pairs), extremes and point count set.
SgtRecord make_synthetic_card(const SyntheticJointParams& p, int points);
// A deviation survey file (data/<well>.jx) of a directional well: vertical to 300 m, building
// 2°/30 m to 30° while turning from 45° to 60° azimuth, held to 2000 m; stations every 50 m.
[[nodiscard]] bool write_synthetic_survey(const std::filesystem::path& path);
// A pumping-unit catalogue (sys/Cyj_mode.dat, GBK text) of the sample wells' units and their strokes.
[[nodiscard]] bool write_sample_cyj_catalog(const std::filesystem::path& path);
// An efficiency library (sys/gt_ym.dat) of the two sample wells, each tested twice, with
// production data, powers and efficiencies, so the statistics window has a table to show
// and the efficiency window carries a well's data forward and computes at once.
[[nodiscard]] bool write_sample_efficiency_library(const std::filesystem::path& path);

// A diagnosis of the same well in sys/bgt.dat: the well's base data (pump, rods, fluid,
// pressures), the card of make_synthetic_card, the refresh's results and an advice, saved
// as the diagnosis window saves it. False when it could not be written.
[[nodiscard]] bool write_sample_diagnosis(const ProgramFolder& prog, const SyntheticJointParams& p, const std::string& test_date);

}  // namespace wb
