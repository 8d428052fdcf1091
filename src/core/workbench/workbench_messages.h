#pragma once
// Texts of the main window that more than one of its steps shows: a test stored with boxes that
// were no number or did not fit their fields (whether it goes into a library or is taken as the
// bottom-dead-centre reference), and the tool tips that say what a click on the main picture
// draws next or which analysis the toolbar's analysis button opens.

namespace wb {

// Followed by the boxes' captions, "、" between them.
inline constexpr const char* kUnstoredZeroedText = "下列数据不是数值或超出记录的范围，未能存入记录(记为0)：\n";

// The main picture's tool tip: what the next click on it draws.
inline constexpr const char* kTipDrawCard = "单击此处可绘制示功图";
inline constexpr const char* kTipDrawPower = "单击此处可绘制电力曲线";
inline constexpr const char* kTipShowEnergy = "单击此处可显示电能数据";
inline constexpr const char* kTipDrawWaveform = "单击此处可绘制电流电压波形曲线";
inline constexpr const char* kTipDrawHarmonics = "单击此处可绘制电流电压谐波棒图";

// The analysis button's tool tip: the counterbalance analysis a test with electric curves
// opens, or none.
inline constexpr const char* kTipBalanceAnalysis = "平衡分析";
inline constexpr const char* kTipNoAnalysis = "不可分析";

}  // namespace wb
