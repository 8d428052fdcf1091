// GtYmRecord: one efficiency test, a 606-byte fixed-width text record of sys/gt_ym.dat.
// Every field is GBK text, left-aligned, blank-padded and cut at its width (never inside a
// double-byte character), and the record ends in CR LF, so the library is also a text file
// of one line per test. Numbers are kept as the text the user saw in the box.
//
// The fields (offset, width, key, box, caption, unit, limits, statistics column) are the
// rows of kGtYmFields (gt_ym_fields.h): four texts, then vals[0..43], 12 bytes each, then
// CR LF. The key is well_name, then vals[kValTestDate].
// Decoded text fields keep their padding; compare keys after trim_blanks.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/common/bytes.h"
#include "core/common/paths.h"
#include "core/common/record_store.h"

namespace wb {

template <class R>
class RecordLayout;

inline constexpr std::size_t kGtYmRecordSize = 606;
inline constexpr std::size_t kGtYmValCount = 44;
inline constexpr std::size_t kGtYmValWidth = 12;
inline constexpr const char* kGtYmFileName = "gt_ym.dat";
// The efficiency library as its messages name it.
inline constexpr const char* kGtYmLibraryName = "系统效率数据库";

// Indices into vals[] of the values other windows look up.
enum GtYmVal : std::size_t {
  kValSinker = 0,          // sinker-bar length m "/" diameter mm
  kValPumpDia = 1,         // pump bore, mm
  kValLiquidRate = 2,      // daily liquid, t/d
  kValWaterCut = 3,        // water cut, %
  kValOilRate = 4,         // daily oil, t/d
  kValGasOilRatio = 5,     // m3/t
  kValViscosity = 6,       // mPa.s
  kValWellheadTemp = 7,    // °C
  kValRodLen1 = 8,         // 1 in rods, m
  kValRodLen7_8 = 9,       // 7/8 in rods, m
  kValRodLen3_4 = 10,      // 3/4 in rods, m
  kValRodLen5_8 = 11,      // 5/8 in rods, m
  kValLiquidDensity = 12,  // t/m3
  kValTubingPress = 13,    // MPa
  kValCasingPress = 14,    // MPa
  kValFluidLevel = 15,     // dynamic fluid level, m
  kValPumpDepth = 16,      // pump setting depth, m
  kValSubmergence = 17,    // m
  kValNomStroke = 18,      // nominal stroke, m
  kValNomSpm = 19,         // nominal strokes per minute
  kValTestDate = 20,       // test date and time (key 2)
  kValRodLen1_1_8 = 21,    // 1-1/8 in rods, m
  kValInputPower = 22,     // kW
  kValRodPower = 23,       // polished-rod power, kW
  kValHydraulicPower = 24, // useful power, kW
  kValSurfaceEffi = 25,    // surface efficiency, %
  kValDownholeEffi = 26,   // downhole efficiency, %
  kValSysEffi = 27,        // system efficiency, %
  kValMaxCurrentPair = 28, // max current up "/" down, A
  kValMeanPowerPair = 29,  // mean power up "/" down, kW
  kValPumpEffi = 30,       // pump efficiency, %
  kValMeanVoltage = 31,    // V
  kValMeanCurrent = 32,    // A
  kValApparentPower = 33,  // kVA
  kValReactivePower = 34,  // kvar
  kValPowerFactor = 35,
  kValRmsCurrent = 36,     // A
  kValRmsPower = 37,       // kW
  kValRealStroke = 38,     // measured stroke, m
  kValRealSpm = 39,        // measured strokes per minute
  kValTheoMaxLoad = 40,    // kN
  kValTheoMinLoad = 41,    // kN
  kValRealMaxLoad = 42,    // measured maximum load, kN
  kValRealMinLoad = 43,    // measured minimum load, kN
};

struct GtYmRecord {
  std::string well_name;
  std::string block_unit;
  std::string cyj_model;
  std::string motor_model;
  std::array<std::string, kGtYmValCount> vals;
  std::array<std::uint8_t, 2> crlf{13, 10};

  Bytes encode() const;
  // False (record unchanged) when `b` is shorter than a record.
  [[nodiscard]] bool decode(const Bytes& b);

  // The key texts, blanks trimmed.
  std::string key_well() const;
  std::string key_test() const;
  static const RecordLayout<GtYmRecord>& layout();
};

std::filesystem::path gt_ym_path(const ProgramFolder& prog);

// All records of a library in file order (a missing file has none). Damaged when the
// length is not whole records; IoError when it cannot be read.
StoreStatus read_gt_ym_records(const std::filesystem::path& lib, std::vector<GtYmRecord>& out);
// The same from the library's bytes (what a fuzz target feeds): false when the length is
// not whole records.
[[nodiscard]] bool decode_gt_ym_library(const std::vector<std::uint8_t>& content, std::vector<GtYmRecord>& out);

}  // namespace wb
