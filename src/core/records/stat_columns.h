// The efficiency statistics table's columns, one row each: its header, the unit of its
// values, its width in the grid, how the average row shows it, and its heading and place in
// the printed report. The table (effi_stat_table.cpp), the grid (sys_effi_assemble.cpp), the
// printed report (effi_stat_report.cpp), the glossary's table (checked by a test) and the
// tests read this table: a column is added here, with its name in stat_col. Which record
// field feeds a column is said by the field table (gt_ym_fields.h, kStatColField).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace wb {

// The columns by name, in the table's order (docs/GLOSSARY.md lists each).
namespace stat_col {
enum Column : int {
  kNumber,        // 序号: the row number; "平均" in the average row
  kWell,          // 井号
  kBlock,         // 单元号
  kCyjModel,      // 抽油机型号
  kMotorModel,    // 电动机型号
  kRealStroke,    // m
  kRealSpm,       // 1/min
  kTubingPress,   // MPa
  kCasingPress,   // MPa
  kLiquidRate,    // m3 (t) a day
  kWaterCut,      // %
  kPumpDia,       // mm
  kPumpDepth,     // m
  kFluidLevel,    // m
  kSubmergence,   // m
  kPumpEffi,      // %
  kMeanCurrent,   // A
  kInputPower,    // kW
  kRodPower,      // kW
  kUsefulPower,   // kW
  kSurfaceEffi,   // %
  kDownholeEffi,  // %
  kSystemEffi,    // %
  kCount
};
}  // namespace stat_col

inline constexpr int kStatColCount = stat_col::kCount;

// What the average row shows in a column.
enum class StatMean : std::uint8_t {
  None,            // nothing (a text; the number column says "平均")
  Decimals,        // the mean, to two decimals
  Whole,           // the mean, to a whole number
  LiquidWeighted,  // the water cut: the mean water over the mean liquid (the whole mean without liquid)
  FromPowers,      // an efficiency: a ratio of the mean powers as shown
};

struct StatColumn {
  int column;           // its name in stat_col: the rows are in the columns' order
  const char* caption;  // its header: row 0 of the grid and of the text export
  const char* unit;     // of its values; "" for a text or the row number
  int twips;            // its width in the grid; 0: the grid's own
  StatMean mean;
  // The printed report: the column's left rule in mm from the table's left edge, and its
  // heading, two lines or one ("" second line) printed in the middle of the header band.
  double print_left;
  const char* print1;
  const char* print2;
};

namespace stat_columns_detail {

constexpr StatColumn text_column(int column, const char* caption, int twips, double print_left, const char* print) {
  return {column, caption, "", twips, StatMean::None, print_left, print, ""};
}
constexpr StatColumn number_column(int column, const char* caption, const char* unit, int twips, StatMean mean,
                                   double print_left, const char* print1, const char* print2) {
  return {column, caption, unit, twips, mean, print_left, print1, print2};
}

}  // namespace stat_columns_detail

inline constexpr std::array<StatColumn, kStatColCount> kStatColumns = [] {
  using namespace stat_col;
  using namespace stat_columns_detail;
  using enum StatMean;
  return std::array<StatColumn, kStatColCount>{{
    text_column(kNumber, "序号", 0, 0, "序号"),
    text_column(kWell, "井号", 1700, 7, "  井    号"),
    text_column(kBlock, "单元号", 1700, 25, "   单元号"),
    text_column(kCyjModel, "抽油机型号", 1700, 43, "     抽油机型号"),
    text_column(kMotorModel, "电动机型号", 1700, 72, " 电动机型号"),
    number_column(kRealStroke, "冲程(m)", "m", 1000, Decimals, 92, "冲程", "(m)"),
    number_column(kRealSpm, "冲次", "1/min", 1000, Decimals, 102, "冲次", "1/分"),
    number_column(kTubingPress, "油压(MPa)", "MPa", 1000, Decimals, 110, "油压", "(MPa)"),
    number_column(kCasingPress, "套压(MPa)", "MPa", 1000, Decimals, 118, "套压", "(MPa)"),
    number_column(kLiquidRate, "产液(m^3)", "m³/d", 1000, Whole, 127, "产液", "(m^3)"),
    number_column(kWaterCut, "含水(%)", "%", 1000, LiquidWeighted, 135.5, "含水", "(%)"),
    number_column(kPumpDia, "泵径(mm)", "mm", 1000, Whole, 142.5, "泵径", "(mm)"),
    number_column(kPumpDepth, "泵挂(m)", "m", 1000, Whole, 149, " 泵挂", "  (m)"),
    number_column(kFluidLevel, "液面(m)", "m", 1000, Whole, 159.93, "液面", "(m)"),
    number_column(kSubmergence, "沉没度(m)", "m", 1000, Whole, 168, "沉没", "度(m)"),
    number_column(kPumpEffi, "泵效(%)", "%", 1000, Decimals, 177, "泵效", "(%)"),
    number_column(kMeanCurrent, "电流(A)", "A", 1000, Decimals, 185, "电流", "(A)"),
    number_column(kInputPower, "输入功率(kW)", "kW", 1400, Decimals, 193, "输入功", "率(kW)"),
    number_column(kRodPower, "光杆功率(kW)", "kW", 1400, Decimals, 205, "光杆功", "率(kW)"),
    number_column(kUsefulPower, "有效功率(kW)", "kW", 1400, Decimals, 215.5, "有效功", "率(kW)"),
    number_column(kSurfaceEffi, "地面效率(%)", "%", 1400, FromPowers, 225, "地面效", "率(%)"),
    number_column(kDownholeEffi, "井下效率(%)", "%", 1400, FromPowers, 236, "井下效", "率(%)"),
    number_column(kSystemEffi, "系统效率(%)", "%", 1400, FromPowers, 246, "系统效", "率(%)"),
  }};
}();

// Every column has its row, in order, with every text given and its printed place right of
// the one before: a column named in stat_col without its row here does not compile.
constexpr bool stat_columns_complete() {
  for (int c = 0; c < kStatColCount; ++c) {
    const StatColumn& k = kStatColumns[static_cast<std::size_t>(c)];
    if (k.column != c || !k.caption || !*k.caption || !k.unit || k.twips < 0 || !k.print1 || !*k.print1 || !k.print2)
      return false;
    if (c > 0 && !(k.print_left > kStatColumns[static_cast<std::size_t>(c) - 1].print_left)) return false;
  }
  return true;
}
static_assert(stat_columns_complete(), "each statistics column needs its complete row in kStatColumns");

// Whether the average row adds up a column's values (kept per record as StatMeans).
constexpr bool stat_col_summed(int c) {
  const StatMean m = kStatColumns[static_cast<std::size_t>(c)].mean;
  return m == StatMean::Decimals || m == StatMean::Whole || m == StatMean::LiquidWeighted;
}

// The summed columns, in the columns' order.
inline constexpr std::size_t kStatMeanCount = [] {
  std::size_t n = 0;
  for (int c = 0; c < kStatColCount; ++c) n += stat_col_summed(c) ? 1 : 0;
  return n;
}();
inline constexpr std::array<int, kStatMeanCount> kStatMeanColumns = [] {
  std::array<int, kStatMeanCount> out{};
  std::size_t k = 0;
  for (int c = 0; c < kStatColCount; ++c)
    if (stat_col_summed(c)) out[k++] = c;
  return out;
}();

// The place of summed column c among kStatMeanColumns.
constexpr std::size_t stat_mean_index(int c) {
  std::size_t k = 0;
  while (k < kStatMeanCount && kStatMeanColumns[k] != c) ++k;
  return k;
}

}  // namespace wb
