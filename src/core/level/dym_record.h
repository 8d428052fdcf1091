// DymRecord: one analysed fluid-level test, 20131 bytes, the record of sys/Dym.dat (and of
// the temporary sys/Level_bak.dat during a deletion). Little-endian, packed, GBK text.
//
// The fields (name, offset, member) are the table kDymFields in dym_record.cpp: the key texts
// well_name (17 bytes) and test_date (12), the counts, the five markers (the picture position
// x 1.2, a sample), sound speed m/s, an unused single, the level depth m, the three boxes
// (Text4 joint length m, Text5 collar count, Text3 sound-mark depth m), the method (1 sound
// mark, 2 collars, 3 automatic), the gain bar (1 … 8; below 1 reads as 3), 48 reserved bytes
// never set, then the filtered and the raw channel, 5001 entries each (entry 5000 is never
// written).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/common/bytes.h"
#include "core/level/level_test.h"

namespace wb {

inline constexpr std::size_t kDymRecordSize = 20131;
inline constexpr std::size_t kDymNameWidth = 17;
inline constexpr std::size_t kDymDateWidth = 12;

template <class R>
class RecordLayout;

struct DymRecord {
  std::string well_name;
  std::string test_date;
  std::int16_t sample_count = 0;
  std::int16_t sample_rate = 0;
  std::array<float, kMarkerCount> marks{};  // by LevelMarker, in samples (x 1.2)
  float sound_speed = 0.0f;
  float spare_single = 0.0f;
  float level_depth = 0.0f;
  float joint_length = 0.0f;
  std::int16_t collar_count = 0;
  float sound_mark_depth = 0.0f;
  std::int16_t method = 0;
  std::int16_t gain = 0;
  std::array<std::uint8_t, 48> reserved_79{};
  std::array<std::int16_t, kEchoSamples> smooth_curve{};
  std::array<std::int16_t, kEchoSamples> raw_curve{};

  Bytes encode() const;
  // False (record unchanged) when `b` is shorter than a record.
  [[nodiscard]] bool decode(const Bytes& b);
  static const RecordLayout<DymRecord>& layout();
};

Bytes encode_dym(const DymRecord& r);
// Nothing when the bytes are not one whole record.
[[nodiscard]] std::optional<DymRecord> decode_dym(std::span<const std::uint8_t> bytes);

// The record of the shown test (Save_Level_Data), built from a cleared record. The three
// boxes must hold numbers within kLevelBoxLimits' upper limits (the collar count one that fits
// 16 bits); those that do not are stored as 0 and named in `zeroed` ("Text3", "Text4", "Text5").
DymRecord dym_from_test(const LevelTest& t, std::vector<std::string>* zeroed = nullptr);

// A record into the shown test (load_main_dat): key, counts, speed, depth, method, the
// markers (lines included), the three boxes, the gain and samples 0 … 4999; sample 5000 and
// the automatic level are cleared.
void load_dym_into_test(const DymRecord& r, LevelTest& t);

// The gain a record's value gives the gain bar.
int gain_from_record(std::int16_t gain);

}  // namespace wb
