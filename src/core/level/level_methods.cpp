#include "core/level/level_methods.h"

#include <array>
#include <initializer_list>
#include <utility>
#include <cmath>
#include <span>

#include "core/common/number_text.h"
#include "core/common/trim.h"
#include "core/level/echo_display.h"

namespace wb {

namespace {

bool set(float x) { return LevelTest::marker_set(x); }

// m/s to 0.01 from metres over picture points between two marks: the sound goes down and
// back, so the speed is 2 * metres over the samples' time at the test's rate.
float speed_of(double metres, double points, int rate) {
  return to_single(std::floor(metres / kSamplesPerPoint / points * (2.0 * rate) * 100.0 + 0.5) / 100.0);
}

std::optional<double> positive(const std::string& text) {
  const auto v = num_parse(text);
  if (v && std::isfinite(*v) && *v > 0.0) return v;
  return std::nullopt;
}

// The boxes `limits` names (a part of kLevelBoxLimits) refused with a message naming the first
// that is beyond its limit.
bool refuse_boxes(const LevelTest& t, std::span<const BoxLimit> limits, MessageService& msg) {
  std::array<std::string, level_box::kCollarCount + 1> texts;  // by level_box; the others stay empty
  texts[level_box::kSoundMarkDepth] = t.Text3;
  texts[level_box::kJointLength] = t.Text4;
  texts[level_box::kCollarCount] = t.Text5;
  const auto bad = check_box_limits(texts, limits);
  if (!bad) return false;
  msg.show(bad->message, kBoxRefusedTitle, MsgButtons::Ok, MsgIcon::Warning);
  return true;
}

bool refuse_missing(const std::string& missing, MessageService& msg) {
  if (missing.empty()) return false;
  msg.show(kSelectFirstText + missing, "", MsgButtons::Ok);
  return true;
}

// The names of the marks not set, joined by "、".
std::string missing_of(std::initializer_list<std::pair<float, const char*>> marks) {
  std::string s;
  for (const auto& [x, name] : marks)
    if (!set(x)) s += (s.empty() ? "" : "、") + std::string(name);
  return s;
}

// A speed the title would not show, or a level depth on its scale the title would not show,
// is no result: the user is told which and what to mark again, and nothing changes.
bool refuse_implausible(const LevelTest& t, float speed, const char* method, const char* remark,
                        MessageService& msg) {
  if (!shown_speed(speed)) {
    msg.show(std::string(method) + "算得音速 " + num_text_f(speed) + " 米/秒，不在 " + num_text_f(kShownSpeedLow) +
                 "～" + num_text_f(kShownSpeedHigh) + " 米/秒之间，得不出液面深度。\n" + remark,
             kCannotComputeTitle, MsgButtons::Ok, MsgIcon::Warning);
    return true;
  }
  const float depth = depth_on_scale(depth_scale(speed, t.sample_rate), t.level_x);
  if (!shown_depth(depth)) {
    msg.show(std::string(method) + "算得音速 " + num_text_f(speed) + " 米/秒，液面位置处的深度为 " + num_text_f(depth) +
                 " 米，不在 " + num_text_f(kShownDepthLow) + "～" + num_text_f(kShownDepthHigh) +
                 " 米之间，不能作为液面深度。\n请核对液面位置。",
             kCannotComputeTitle, MsgButtons::Ok, MsgIcon::Warning);
    return true;
  }
  return false;
}

}  // namespace

std::string missing_sound_marks(const LevelTest& t) {
  return missing_of({{t.sound_mark_x, "音标位置"}, {t.wellhead_x, "井口位置"}, {t.level_x, "液面位置"}});
}

std::string missing_collar_marks(const LevelTest& t) {
  return missing_of({{t.collar_start_x, "接箍开始位置"},
                     {t.collar_end_x, "接箍结束位置"},
                     {t.wellhead_x, "井口位置"},
                     {t.level_x, "液面位置"}});
}

std::optional<float> sound_mark_speed(const LevelTest& t, std::string* why) {
  const auto depth = positive(t.Text3);
  if (!depth) {
    if (why) *why = "音标深度须为正数";
    return std::nullopt;
  }
  const double span = static_cast<double>(t.sound_mark_x) - t.wellhead_x;
  if (!(span > 0.0)) {
    if (why) *why = "音标位置须在井口位置之后";
    return std::nullopt;
  }
  return speed_of(*depth, span, depth_rate(t));
}

std::optional<float> collar_speed(const LevelTest& t, std::string* why) {
  const auto length = positive(t.Text4);
  const auto count = positive(t.Text5);
  if (!length || !count) {
    if (why) *why = "油管长和接箍数须为正数";
    return std::nullopt;
  }
  const double span = static_cast<double>(t.collar_end_x) - t.collar_start_x;
  if (!(span > 0.0)) {
    if (why) *why = "接箍结束位置须在接箍开始位置之后";
    return std::nullopt;
  }
  return speed_of(*count * *length, span, depth_rate(t));
}

bool run_sound_mark_method(LevelTest& t, MessageService& msg) {
  if (refuse_missing(missing_sound_marks(t), msg)) return false;
  // A box that is no positive number has its own message below.
  if (positive(t.Text3) && refuse_boxes(t, kSoundMarkBoxLimits, msg)) return false;
  std::string why;
  const auto v = sound_mark_speed(t, &why);
  if (!v) {
    msg.show(why, kCannotComputeTitle, MsgButtons::Ok);
    return false;
  }
  if (refuse_implausible(t, *v, "按音标",
                         "音标位置离井口位置太近或太远：请在回波上重新选定音标位置，并核对音标深度。", msg))
    return false;
  t.sound_speed = *v;
  t.method = 1;
  return true;
}

bool run_collar_method(LevelTest& t, MessageService& msg) {
  if (refuse_missing(missing_collar_marks(t), msg)) return false;
  if (positive(t.Text4) && positive(t.Text5) && refuse_boxes(t, kCollarBoxLimits, msg))
    return false;
  std::string why;
  const auto v = collar_speed(t, &why);
  if (!v) {
    msg.show(why, kCannotComputeTitle, MsgButtons::Ok);
    return false;
  }
  if (refuse_implausible(t, *v, "按接箍",
                         "接箍开始、结束位置相距太近或太远：请重新选定，并核对油管长和接箍数。", msg))
    return false;
  t.sound_speed = *v;
  t.method = 2;
  return true;
}

bool scale_level_depth(LevelTest& t, MessageService& msg) {
  if (!set(t.level_x)) {
    msg.show(kSelectLevelText, "", MsgButtons::Ok);
    return false;
  }
  t.level_depth = depth_at(t, t.level_x);
  t.caption = "井号:" + Trim_Blank_Nul(t.well_name) + "  测试日期:" + t.test_date + "  音速:" +
              num_text_f(t.sound_speed) + "米/秒" + "  液面深度:" + num_text_f(t.level_depth) + "米";
  return true;
}

void set_marker(LevelTest& t, LevelMarker m, float x, double overview_width_twips) {
  t.place_marker(m, x);
  if (m != LevelMarker::Level) return;
  t.auto_level_index = -1;
  t.overview_mark_x = overview_mark_of(t.level_x, overview_width_twips);
}

}  // namespace wb
