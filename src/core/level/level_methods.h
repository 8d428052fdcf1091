// The manual level methods and the markers. The sound speed comes from the known depth of
// the sound mark, or from the counted collars times the joint length, over the marks'
// two-way travel time at the test's rate; the level depth is then read off the
// display depth scale at the level marker.
#pragma once

#include <optional>
#include <string>

#include "core/common/services.h"
#include "core/level/level_test.h"

namespace wb {

inline constexpr const char* kSelectFirstText = "请先选定:";
inline constexpr const char* kSelectLevelText = "请先选定液面位置";
inline constexpr const char* kCannotComputeTitle = "无法计算";

// The marks a method still needs, as its message says them ("音标位置、液面位置"); empty
// when all are set.
std::string missing_sound_marks(const LevelTest& t);
std::string missing_collar_marks(const LevelTest& t);

// The speeds, m/s to 0.01: D / 1.2 / (sound mark - wellhead) * 2 * rate and
// N * L / 1.2 / (last collar - first collar) * 2 * rate (rate as `depth_rate`). Nothing when the method cannot compute
// (a box without a positive number, marks at one place or reversed); `why` then says so.
[[nodiscard]] std::optional<float> sound_mark_speed(const LevelTest& t, std::string* why = nullptr);
[[nodiscard]] std::optional<float> collar_speed(const LevelTest& t, std::string* why = nullptr);

// Command1_Click / Command3_Click up to the redraw: checks the marks and the boxes, shows
// what is missing or wrong and changes nothing (false); otherwise sets the speed and the
// method (true). The caller then redraws and saves the depth, method and speed.
[[nodiscard]] bool run_sound_mark_method(LevelTest& t, MessageService& msg);
[[nodiscard]] bool run_collar_method(LevelTest& t, MessageService& msg);

// scale_level_depth: the automatic method's answer to a level set by hand. The depth is
// read at the level marker on the scale last drawn and the title rewritten; false (with
// the message "请先选定液面位置") when the level is not set.
[[nodiscard]] bool scale_level_depth(LevelTest& t, MessageService& msg);

// Places a marker at the cursor. A level set by hand forgets the automatic one, so the next
// redraw keeps it; the overview mark follows (W: the overview's width in twips).
void set_marker(LevelTest& t, LevelMarker m, float x, double overview_width_twips);

}  // namespace wb
