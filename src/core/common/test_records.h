// The fixed-length test records: SgtRecord (card, 512 bytes), DntRecord (electric test,
// 1024 bytes) and XbtRecord (waveform test, 1024 bytes), and the header of a raw joint-test
// file. Each record is decoded and encoded by its field table (record_layout.h); text fields
// are fixed-width GBK padded with blanks, numbers little-endian. A text field read back
// keeps its padding (blanks or NULs); compare keys after Trim_Blank_Nul. Reserved fields
// are kept as read so that a record written back carries them unchanged, and so are the
// stored bytes of each text field (`*_raw`): they are written back while the text is not
// changed (record_fields.h), so bytes GBK cannot decode survive a copy.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/common/bytes.h"

namespace wb {

template <class R>
class RecordLayout;

inline constexpr std::size_t kSgtRecordSize = 512;
inline constexpr std::size_t kDntRecordSize = 1024;
inline constexpr std::size_t kXbtRecordSize = 1024;
inline constexpr std::size_t kOrgHeaderSize = 1023;  // byte 1023 is never read
inline constexpr std::size_t kOrgSamplesOffset = 1024;
inline constexpr std::size_t kOrgSampleSize = 10;

struct SgtRecord {
  static constexpr std::size_t kSize = kSgtRecordSize;
  std::string well_name;               // 0, 16 bytes; key 1
  std::string test_date;               // 16, 12 bytes; key 2
  std::array<std::uint8_t, 16> well_name_raw{};  // the two fields' bytes as read
  std::array<std::uint8_t, 12> test_date_raw{};
  std::int16_t point_num = 0;          // 28, samples in one stroke
  std::int16_t real_stroke = 0;        // 30, measured stroke, m x1000
  std::int16_t max_load = 0;           // 32, kN x100
  std::int16_t min_load = 0;           // 34, kN x100
  std::array<std::uint8_t, 4> reserved_36{};  // 36
  float rod_power = 0;                 // 40, polished-rod power, kW
  std::int16_t theo_stroke = 0;        // 44, m x1000
  std::int16_t theo_max_load = 0;      // 46, kN x100
  std::int16_t theo_min_load = 0;      // 48, kN x100
  std::int16_t stroke_loss = 0;        // 50, m x1000
  std::int16_t joint_flag = 0;         // 52, 1 when built from a joint test
  std::array<std::uint8_t, 74> reserved_text{};  // 54
  std::array<float, 16> ss_sin{};      // 128, position sine coefficients, m
  std::array<float, 16> ss_cos{};      // 192, position cosine coefficients, m
  std::array<float, 32> gg_sin{};      // 256, load sine coefficients, kN
  std::array<float, 32> gg_cos{};      // 384, load cosine coefficients, kN

  Bytes encode() const;
  // False (record unchanged) when `b` is shorter than a record.
  [[nodiscard]] bool decode(const Bytes& b);
  static const RecordLayout<SgtRecord>& layout();
};

struct DntRecord {
  std::string well_name;               // 0, 16 bytes
  std::string test_date;               // 16, 12 bytes
  std::array<std::uint8_t, 16> well_name_raw{};  // the two fields' bytes as read
  std::array<std::uint8_t, 12> test_date_raw{};
  std::int16_t point_num = 0;          // 28, samples in one stroke
  std::int16_t avg_current = 0;        // 30, A x100
  std::int16_t avg_voltage = 0;        // 32, V x50
  std::int16_t input_power = 0;        // 34, kW x100
  std::int16_t reactive_power = 0;     // 36, kvar x100
  std::int16_t apparent_power = 0;     // 38, kVA x100
  std::int16_t power_factor = 0;       // 40, x10000
  std::int16_t max_current_up = 0;     // 42, A x100
  std::int16_t max_current_down = 0;   // 44, A x100
  std::int16_t rms_current = 0;        // 46, A x100
  std::int16_t avg_power_up = 0;       // 48, kW x100
  std::int16_t avg_power_down = 0;     // 50, kW x100
  std::int16_t rms_power = 0;          // 52, kW x100
  std::int16_t reserved_54 = 0;        // 54
  std::int16_t reserved_56 = 0;        // 56
  std::int16_t wiring_mode = 0;        // 58, 1..4
  std::int16_t reserved_60 = 0;        // 60
  std::int16_t reserved_62 = 0;        // 62
  std::int16_t reserved_64 = 0;        // 64
  std::int16_t reserved_66 = 0;        // 66
  std::array<std::uint8_t, 188> reserved_text{};  // 68
  std::array<float, 32> ii_sin{}, ii_cos{};  // 256, 384: current, A
  std::array<float, 32> uu_sin{}, uu_cos{};  // 512, 640: voltage, V
  std::array<float, 32> pp_sin{}, pp_cos{};  // 768, 896: active power, kW

  Bytes encode() const;
  // False (record unchanged) when `b` is shorter than a record.
  [[nodiscard]] bool decode(const Bytes& b);
  static const RecordLayout<DntRecord>& layout();
};

struct XbtRecord {
  std::string well_name;               // 0, 16 bytes
  std::string test_date;               // 16, 12 bytes
  std::array<std::uint8_t, 16> well_name_raw{};  // the two fields' bytes as read
  std::array<std::uint8_t, 12> test_date_raw{};
  std::int16_t reserved_28 = 0;        // 28
  std::int16_t current = 0;            // 30, A x100
  std::int16_t voltage = 0;            // 32, V x50
  std::int16_t active_power = 0;       // 34, kW x100
  std::int16_t apparent_power = 0;     // 36, x100
  std::int16_t power_factor = 0;       // 38, x10000
  std::int16_t phase_diff = 0;         // 40, degrees x100
  std::int16_t order_num = 0;          // 42, valid coefficient pairs, at most 50
  std::array<std::uint8_t, 180> reserved_text{};  // 44
  std::array<float, 50> ii_sin{}, ii_cos{};  // 224, 424: current waveform, A
  std::array<float, 50> uu_sin{}, uu_cos{};  // 624, 824: voltage waveform, V

  Bytes encode() const;
  // False (record unchanged) when `b` is shorter than a record.
  [[nodiscard]] bool decode(const Bytes& b);
  static const RecordLayout<XbtRecord>& layout();
};

// Header of a raw joint-test file (bytes 0..1022, packed). Only the fields below are used;
// the raw bytes are kept.
struct OrgFileHeader {
  std::array<std::uint8_t, kOrgHeaderSize> raw{};
  std::string test_date;          // 12, 12 bytes
  std::int16_t sample_count = 0;  // 28
  std::int16_t wiring_mode = 0;   // 30, 1..4
  std::string well_name;          // 47, 17 bytes (not used: the well comes from the file name)

  [[nodiscard]] bool decode(const Bytes& b);  // false when shorter than the header
  Bytes encode() const;         // 1023 bytes, for building test files
  // The test date's 12 bytes as the instrument wrote them.
  std::array<std::uint8_t, 12> test_date_raw() const;
  // The fields above, over the kept bytes.
  static const RecordLayout<OrgFileHeader>& layout();
};

// Wiring-mode names as the energy panel shows them.
const char* wiring_mode_name(int mode);

}  // namespace wb
