// The efficiency statistics table's 23 columns by name. They live beside the efficiency record
// because its field table (gt_ym_fields.h) says which column each field feeds.
#pragma once

namespace wb {

inline constexpr int kStatColCount = 23;
// Columns of the table (docs/GLOSSARY.md lists each with its header, unit and field).
namespace stat_col {
inline constexpr int kNumber = 0;         // 序号: the row number; "平均" in the average row
inline constexpr int kWell = 1;           // 井号
inline constexpr int kBlock = 2;          // 单元号
inline constexpr int kCyjModel = 3;       // 抽油机型号
inline constexpr int kMotorModel = 4;     // 电动机型号
inline constexpr int kRealStroke = 5;     // m
inline constexpr int kRealSpm = 6;        // 1/min
inline constexpr int kTubingPress = 7;    // MPa
inline constexpr int kCasingPress = 8;    // MPa
inline constexpr int kLiquidRate = 9;     // m3 (t) a day
inline constexpr int kWaterCut = 10;      // %
inline constexpr int kPumpDia = 11;       // mm
inline constexpr int kPumpDepth = 12;     // m
inline constexpr int kFluidLevel = 13;    // m
inline constexpr int kSubmergence = 14;   // m
inline constexpr int kPumpEffi = 15;      // %
inline constexpr int kMeanCurrent = 16;   // A
inline constexpr int kInputPower = 17;    // kW
inline constexpr int kRodPower = 18;      // kW
inline constexpr int kUsefulPower = 19;   // kW
inline constexpr int kSurfaceEffi = 20;   // %
inline constexpr int kDownholeEffi = 21;  // %
inline constexpr int kSystemEffi = 22;    // %
}  // namespace stat_col

}  // namespace wb
