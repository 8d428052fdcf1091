// The efficiency record's fields (GtYmRecord, sys/gt_ym.dat), one row each: where it lies in
// the 606-byte record, what it holds, whether it is part of the key, the efficiency box it
// fills, its caption and unit, the values it can physically hold and the statistics column it
// feeds. The codec (gt_ym_record.cpp), the checks (gt_ym_checks.cpp), the efficiency window's
// box mapping (effi_records.cpp), the statistics table (effi_stat_table.cpp), the key reads and
// the glossary's tables (checked by a test) all read this table: a field is added here.
//
// The limits leave wide room over any beam-pumped well: they catch the numbers a damaged or
// foreign file decodes into (exponents far beyond the range, signs a quantity never has), not
// unusual wells. Results the program computes from odd inputs (the efficiencies) get room for
// those too.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/common/record_keys.h"
#include "core/records/effi_box.h"
#include "core/records/gt_ym_record.h"
#include "core/records/stat_columns.h"

namespace wb {

// What a field's text holds.
enum class GtYmForm : std::uint8_t {
  Text,    // any text (names, models, the test time)
  Number,  // one number
  Pair,    // two numbers joined by "/" (either may be blank)
};

inline constexpr int kNoBox = -1;
inline constexpr int kNoColumn = -1;

struct GtYmField {
  const char* name;     // the member, or the GtYmVal of vals[k]
  std::size_t offset;   // in the record
  std::size_t width;    // bytes of GBK text, blank-padded
  GtYmForm form;
  bool key;             // part of the record's key (well, then test time)
  int box;              // the effi_box it fills
  int box2;             // a pair typed in two boxes: the box of the part after "/"; else kNoBox
  const char* caption;  // as the checks' messages name the field
  const char* unit;     // of box (a pair in one box: of each part)
  const char* unit2;    // of box2
  double lo, hi;        // Number and Pair: the limits of each number
  double hi2;           // Pair: the upper limit of the part after "/"
  int stat_col;         // the statistics column it feeds; kNoColumn
};

namespace gt_ym_fields_detail {

enum class Key : bool { No, Yes };

constexpr GtYmField text_field(const char* name, std::size_t offset, std::size_t width, Key key, int box,
                               const char* caption, int stat_col = kNoColumn) {
  return {name, offset, width, GtYmForm::Text, key == Key::Yes, box, kNoBox, caption, "", nullptr, 0, 0, 0, stat_col};
}
constexpr GtYmField number(const char* name, std::size_t offset, int box, const char* caption, const char* unit,
                           double lo, double hi, int stat_col = kNoColumn) {
  return {name, offset, kGtYmValWidth, GtYmForm::Number, false, box, kNoBox, caption, unit, nullptr, lo, hi, hi,
          stat_col};
}
constexpr GtYmField pair(const char* name, std::size_t offset, int box, const char* caption, const char* unit,
                         double lo, double hi) {
  return {name, offset, kGtYmValWidth, GtYmForm::Pair, false, box, kNoBox, caption, unit, nullptr, lo, hi, hi,
          kNoColumn};
}
constexpr GtYmField sinker_pair(const char* name, std::size_t offset, int box, int box2, const char* caption,
                                const char* unit, const char* unit2, double lo, double hi, double hi2) {
  return {name, offset, kGtYmValWidth, GtYmForm::Pair, false, box, box2, caption, unit, unit2, lo, hi, hi2,
          kNoColumn};
}

inline constexpr double kLengthMax = 10000;    // m: no pumped well, rod string or fluid level is deeper
inline constexpr double kPowerMax = 10000;     // kW: pumping-unit motors stay far below 1000 kW
inline constexpr double kLoadMax = 10000;      // kN: rod loads stay below 500 kN
inline constexpr double kEffiMax = 1000;       // %: a result of odd inputs may exceed 100 %, never this
inline constexpr double kSinkerDiaMax = 200;   // mm: sinker bars are 25 … 60 mm

}  // namespace gt_ym_fields_detail

// The text fields, then vals[0] … vals[43]; the two last bytes of the record are CR LF.
inline constexpr std::size_t kGtYmFirstVal = 4;
inline constexpr std::size_t kGtYmFieldCount = kGtYmFirstVal + kGtYmValCount;

inline constexpr std::array<GtYmField, kGtYmFieldCount> kGtYmFields = [] {
  using namespace gt_ym_fields_detail;
  return std::array<GtYmField, kGtYmFieldCount>{{
    text_field("well_name", 0, 16, Key::Yes, effi_box::kWell, "井号", stat_col::kWell),
    text_field("block_unit", 16, 20, Key::No, effi_box::kBlock, "区块单元", stat_col::kBlock),
    text_field("cyj_model", 36, 20, Key::No, effi_box::kCyjModel, "抽油机型号", stat_col::kCyjModel),
    text_field("motor_model", 56, 20, Key::No, effi_box::kMotorModel, "电动机型号", stat_col::kMotorModel),
    // Sinker-bar length m "/" diameter mm, typed in two boxes; the diameter has its own limit.
    sinker_pair("kValSinker", 76, effi_box::kSinkerLen, effi_box::kSinkerDia, "加重杆长/径", "m", "mm", 0, kLengthMax, kSinkerDiaMax),
    number("kValPumpDia", 88, effi_box::kPumpDia, "泵径", "mm", 0, 500, stat_col::kPumpDia),  // pumps are 28 … 120 mm
    number("kValLiquidRate", 100, effi_box::kLiquidRate, "日产液", "t/d", 0, 10000, stat_col::kLiquidRate),
    number("kValWaterCut", 112, effi_box::kWaterCut, "含水率", "%", 0, 100, stat_col::kWaterCut),  // a share of the liquid
    number("kValOilRate", 124, effi_box::kOilRate, "日产油量", "t/d", 0, 10000),
    number("kValGasOilRatio", 136, effi_box::kGasOilRatio, "气油比", "m³/t", 0, 100000),
    number("kValViscosity", 148, effi_box::kViscosity, "粘度", "mPa·s", 0, 1e7),  // heavy oils reach 1e5 mPa.s
    number("kValWellheadTemp", 160, effi_box::kWellheadTemp, "井口温度", "°C", -100, 400),  // steam-flooded wells stay below 350 ℃
    number("kValRodLen1", 172, effi_box::kRods1, "1'杆长", "m", 0, kLengthMax),
    number("kValRodLen7_8", 184, effi_box::kRods78, "7/8'杆长", "m", 0, kLengthMax),
    number("kValRodLen3_4", 196, effi_box::kRods34, "6/8'杆长", "m", 0, kLengthMax),
    number("kValRodLen5_8", 208, effi_box::kRods58, "5/8'杆长", "m", 0, kLengthMax),
    number("kValLiquidDensity", 220, effi_box::kLiquidDensity, "产液密度", "t/m³", 0, 5),  // brines stay below 1.3 t/m3
    number("kValTubingPress", 232, effi_box::kTubingPress, "井口油压", "MPa", -1, 200, stat_col::kTubingPress),  // gauge pressures; a slight suction is below 0
    number("kValCasingPress", 244, effi_box::kCasingPress, "井口套压", "MPa", -1, 200, stat_col::kCasingPress),
    number("kValFluidLevel", 256, effi_box::kFluidLevel, "动液面", "m", -kLengthMax, kLengthMax, stat_col::kFluidLevel),  // above the wellhead in a flowing well
    number("kValPumpDepth", 268, effi_box::kPumpDepth, "泵挂深度", "m", 0, kLengthMax, stat_col::kPumpDepth),
    number("kValSubmergence", 280, effi_box::kSubmergence, "沉没度", "m", -kLengthMax, kLengthMax, stat_col::kSubmergence),  // pump depth less fluid level: either sign
    number("kValNomStroke", 292, effi_box::kNomStroke, "标称冲程", "m", 0, 100),  // the longest units stroke about 12 m
    number("kValNomSpm", 304, effi_box::kNomSpm, "标称冲次", "1/min", 0, 100),  // beam units run 1 … 20 strokes a minute
    text_field("kValTestDate", 316, 12, Key::Yes, effi_box::kTestTime, "日期"),  // the second key: any text
    number("kValRodLen1_1_8", 328, effi_box::kRods118, "1'1杆长", "m", 0, kLengthMax),
    // Mean powers: the sign of a mean is not checked (a motor may generate).
    number("kValInputPower", 340, effi_box::kInputPower, "输入功率", "kW", -kPowerMax, kPowerMax, stat_col::kInputPower),
    number("kValRodPower", 352, effi_box::kRodPower, "光杆功率", "kW", -kPowerMax, kPowerMax, stat_col::kRodPower),
    number("kValHydraulicPower", 364, effi_box::kHydraulicPower, "有效功率", "kW", -kPowerMax, kPowerMax, stat_col::kUsefulPower),
    number("kValSurfaceEffi", 376, effi_box::kSurfaceEffi, "地面效率", "%", -kEffiMax, kEffiMax, stat_col::kSurfaceEffi),
    number("kValDownholeEffi", 388, effi_box::kDownholeEffi, "井下效率", "%", -kEffiMax, kEffiMax, stat_col::kDownholeEffi),
    number("kValSysEffi", 400, effi_box::kSysEffi, "系统效率", "%", -kEffiMax, kEffiMax, stat_col::kSystemEffi),
    pair("kValMaxCurrentPair", 412, effi_box::kMaxCurrentPair, "I上/I下", "A", 0, 10000),  // maximum currents: magnitudes
    pair("kValMeanPowerPair", 424, effi_box::kMeanPowerPair, "P上/P下", "kW", -kPowerMax, kPowerMax),
    number("kValPumpEffi", 436, effi_box::kPumpEffi, "泵效", "%", -kEffiMax, kEffiMax, stat_col::kPumpEffi),
    number("kValMeanVoltage", 448, effi_box::kMeanVoltage, "平均电压", "V", 0, 100000),  // motors run on 380 V … 10 kV
    number("kValMeanCurrent", 460, effi_box::kMeanCurrent, "平均电流", "A", 0, 10000, stat_col::kMeanCurrent),
    number("kValApparentPower", 472, effi_box::kApparentPower, "视在功率", "kVA", 0, 100000),
    number("kValReactivePower", 484, effi_box::kReactivePower, "无功功率", "kvar", -100000, 100000),
    number("kValPowerFactor", 496, effi_box::kPowerFactor, "功率因数", "", -1, 1),  // cos of a phase difference
    number("kValRmsCurrent", 508, effi_box::kRmsCurrent, "均方根电流", "A", 0, 10000),
    number("kValRmsPower", 520, effi_box::kRmsPower, "均方根功率", "kW", 0, 100000),
    number("kValRealStroke", 532, effi_box::kRealStroke, "实测冲程", "m", 0, 100, stat_col::kRealStroke),
    number("kValRealSpm", 544, effi_box::kRealSpm, "实测冲次", "1/min", 0, 100, stat_col::kRealSpm),
    // Loads: a card of a flowing well or a stuck pump can read below 0.
    number("kValTheoMaxLoad", 556, effi_box::kTheoMaxLoad, "理论最大负荷", "kN", -kLoadMax, kLoadMax),
    number("kValTheoMinLoad", 568, effi_box::kTheoMinLoad, "理论最小负荷", "kN", -kLoadMax, kLoadMax),
    number("kValRealMaxLoad", 580, effi_box::kRealMaxLoad, "实际最大负荷", "kN", -kLoadMax, kLoadMax),
    number("kValRealMinLoad", 592, effi_box::kRealMinLoad, "实际最小负荷", "kN", -kLoadMax, kLoadMax),
  }};
}();

// The row of vals[k].
constexpr const GtYmField& gt_ym_val_field(std::size_t k) { return kGtYmFields[kGtYmFirstVal + k]; }

// The offset of the CR LF that ends the record.
inline constexpr std::size_t kGtYmLineEndOffset = kGtYmRecordSize - 2;

// The rows that tile the record in order, the vals one after the other at their width.
constexpr bool gt_ym_fields_tile() {
  std::size_t at = 0;
  for (const GtYmField& f : kGtYmFields) {
    if (f.offset != at) return false;
    at += f.width;
  }
  for (std::size_t k = 0; k < kGtYmValCount; ++k)
    if (gt_ym_val_field(k).width != kGtYmValWidth) return false;
  return at == kGtYmLineEndOffset;
}
static_assert(gt_ym_fields_tile(), "the efficiency record's fields tile its 606 bytes");

// Every efficiency box is filled by exactly one field.
constexpr bool gt_ym_fields_fill_each_box_once() {
  std::array<int, kEffiBoxCount> fills{};
  for (const GtYmField& f : kGtYmFields) {
    for (int b : {f.box, f.box2}) {
      if (b == kNoBox) continue;
      if (b < 0 || b >= kEffiBoxCount) return false;
      ++fills[static_cast<std::size_t>(b)];
    }
  }
  for (int n : fills)
    if (n != 1) return false;
  return true;
}
static_assert(gt_ym_fields_fill_each_box_once(), "each efficiency box is one field's (or half a pair's)");

// The key fields in key order (the well, then the test time), as a key read takes them.
inline constexpr std::array<KeyField, 2> kGtYmKeyFields = [] {
  std::array<KeyField, 2> out{};
  std::size_t n = 0;
  for (const GtYmField& f : kGtYmFields)
    if (f.key && n < out.size()) out[n++] = {f.offset, f.width};
  return out;
}();
inline constexpr const GtYmField& kGtYmWellField = kGtYmFields[0];
inline constexpr const GtYmField& kGtYmTestField = gt_ym_val_field(kValTestDate);
static_assert(kGtYmWellField.key && kGtYmTestField.key && kGtYmKeyFields[0].offset == kGtYmWellField.offset &&
                  kGtYmKeyFields[1].offset == kGtYmTestField.offset,
              "the key is the well, then the test time");

// The text of a record's field (row i of kGtYmFields).
std::string& gt_ym_field_text(GtYmRecord& r, std::size_t i);
const std::string& gt_ym_field_text(const GtYmRecord& r, std::size_t i);

// The row that feeds each statistics column; kNoField for the row-number column.
inline constexpr std::size_t kNoField = kGtYmFieldCount;
inline constexpr std::array<std::size_t, kStatColCount> kStatColField = [] {
  std::array<std::size_t, kStatColCount> out{};
  out.fill(kNoField);
  for (std::size_t i = 0; i < kGtYmFieldCount; ++i)
    if (kGtYmFields[i].stat_col != kNoColumn) out[static_cast<std::size_t>(kGtYmFields[i].stat_col)] = i;
  return out;
}();

}  // namespace wb
