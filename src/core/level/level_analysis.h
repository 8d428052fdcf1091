// The automatic sound speed and fluid level of an echo recording.
//
// Sound speed: the tubing joints are about equally long, so the echoes of their collars
// repeat at a fixed rate. The smoothed channel is cut into 14 segments of 500 samples
// (starts 0, 100, … 1300); in each, the strongest spectral line of the collar band is
// weighed against the segment's whole power, and the best segment's line gives the speed
// from a 9.6 m joint: 2 * bin * (rate * 9.6 / 500) m/s (9.6 m/s a bin at 250 per second).
//
// Level: a stored 128-sample level-echo template is slid along the raw channel; the
// correlation is lifted with depth (4^(j/4999) / 4), its five strongest separated peaks are
// taken, and the earliest after sample 1500 whose weighted value exceeds 300 is the level.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/services.h"
#include "core/level/level_test.h"

namespace wb {

inline constexpr int kTemplateLength = 128;
inline constexpr double kJointLength = 9.6;  // m, joint length of the automatic speed
inline constexpr int kSegmentLength = 500;   // samples

// Spectrum of one segment by the Goertzel recurrence in single precision:
// Tcos(k) = (2/N) Σ x(n) cos(2πkn/N), Tsin(k) = (2/N) Σ x(n) sin(2πkn/N), n = 0 … N-1,
// for k = 0 … dft_num - 1.
void GetDFT(const std::int16_t* fdata, int Data_Num, int dft_num, float* Tcos, float* Tsin);

// The searched bins: rnd(5000 / rate * 30 / 20) … rnd(5000 / rate * 60 / 20), within the
// analysed bins (30 … 60 at 250 samples per second, whatever the test's length).
struct BinBand {
  int first = 0;
  int last = -1;
};
BinBand speed_band(int sample_rate);

// Sets dft_bins, spec_cos, spec_sin, spec_amp and sound_speed (0 when no segment has power
// in the band). A segment with no power at all is passed over.
void get_yg_dft_auto(LevelTest& t);

// The level template file: the first 128 numbers, separated by commas, blanks or line
// breaks. Refused (with the reason as text) when missing, short or holding a non-number.
struct LevelTemplate {
  std::optional<std::array<double, kTemplateLength>> values;
  // Refused: something other than a regular file stands at the path (`refusal` says what).
  enum class Fault { None, Missing, Bad, Refused } fault = Fault::None;
  std::string refusal;
};
LevelTemplate parse_level_template(std::string_view text);
LevelTemplate read_level_template(const std::filesystem::path& path);
// The message shown for a refused template and its title.
std::string level_template_message(const LevelTemplate& tpl, const std::filesystem::path& path);
inline constexpr const char* kLevelTemplateTitle = "丢失文件";
inline constexpr const char* kLevelTemplateFile = "levelstd.dat";

// The weighted correlation W(0 … 4999) of the raw channel with the template.
std::vector<double> level_correlation(const LevelTest& t, const std::array<double, kTemplateLength>& tpl);
// The level start chosen from a weighted correlation: -1 when none qualifies.
int pick_level(const std::vector<double>& W);

// like_level: auto_level_index from the template in the program's sys folder. A refused
// template is reported through `msg`; no level is then found.
void like_level(LevelTest& t, const std::filesystem::path& sys_folder, MessageService& msg);

}  // namespace wb
