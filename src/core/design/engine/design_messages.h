#pragma once
// Messages of the rod-string design that more than one step shows: the automatic design and
// the record store both adjust a viscosity out of range, the design and the inflow view both
// refuse a rate the well cannot give, the design and its efficiency both need a bubble point.

namespace wb::design {

inline constexpr const char* kViscTooSmallText = "运动粘度太小，已调整到0.01计算，请正确输入后再设计！";
inline constexpr const char* kViscTooLargeText = "运动粘度太大，已调整到2.0计算，请正确输入后再设计！";
inline constexpr const char* kRateTooHighText = "您要求的产量过高，供液能力达不到，请重新选择！";
inline constexpr const char* kBubblePointZeroText = "“饱和压力”不能为0";

}  // namespace wb::design
