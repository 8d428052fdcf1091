// One diagnosis of \sys\bgt.dat: 1445 bytes, no header, records numbered from 1.
//
// Numbers are kept as fixed-width GBK text (12 bytes in `params`, 8 in `diag_params`) except
// the four powers, which are float32. The surface card is a whole embedded SgtRecord. The
// advice keeps its line breaks as CR LF. Text fields read back keep their padding; keys are
// compared after trimming blanks. Reserved bytes are kept as read, so a record written back
// carries them unchanged; a fresh record has them blank.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "core/common/bytes.h"
#include "core/common/test_records.h"

namespace wb {

template <class R>
class RecordLayout;

inline constexpr std::size_t kBgtRecordSize = 1445;
inline constexpr std::size_t kBgtWellNameWidth = 16;
inline constexpr std::size_t kBgtTestDateWidth = 15;
inline constexpr std::size_t kBgtParamWidth = 12;
inline constexpr std::size_t kBgtParamCount = 26;
inline constexpr std::size_t kBgtDiagTextWidth = 288;
inline constexpr std::size_t kBgtDiagParamWidth = 8;

struct BgtRecord {
  BgtRecord();

  std::string well_name;                               // 0, 16 bytes; key 1
  std::string test_date;                               // 16, 15 bytes; key 2
  std::array<std::string, kBgtParamCount> params;      // 31 + 12k, 12 bytes each (numbers as text)
  std::string diag_text;                               // 343, 288 bytes, the advice, CR LF line breaks
  SgtRecord card;                                      // 631, 512 bytes, the surface card
  std::array<std::uint8_t, 60> reserved_1143{};        // 1143, never set
  std::array<std::uint8_t, 4> reserved_1203{};         // 1203, never set
  std::array<std::string, 8> diag_params;              // 1207 + 8k, 8 bytes each
  std::string cyj_model;                               // 1271, 20 bytes, pumping-unit model
  std::string plunger_stroke;                          // 1291, 8 bytes, m
  std::string motor_model;                             // 1299, 20 bytes
  std::string wellhead_temp;                           // 1319, 8 bytes, degrees C
  std::array<float, 4> powers{};                       // 1327, kW: input, polished-rod, effective, RMS
  std::array<std::uint8_t, 100> reserved_1343{};       // 1343, never set
  // 1443: CR LF, always written

  Bytes encode() const;
  // False (record unchanged) when `b` is shorter than a record.
  [[nodiscard]] bool decode(const Bytes& b);
  static const RecordLayout<BgtRecord>& layout();
};

// Every line break (CR LF, a lone CR or a lone LF) as CR LF.
std::string crlf_line_breaks(std::string_view text);
// The advice as stored: every line break as CR LF (a lone LF or CR becomes CR LF), cut to
// the field's width at a whole character and never between the CR and the LF of a break.
std::string advice_for_field(std::string_view text);

}  // namespace wb
