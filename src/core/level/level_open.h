// Opening a raw level file and the automatic analysis command, without the window: the
// window calls these and then redraws.
#pragma once

#include <filesystem>
#include <functional>

#include "core/common/paths.h"
#include "core/common/services.h"
#include "core/level/level_test.h"

namespace wb {

// Reads the file into the test (File1_Click): the markers are hidden, the sound speed is
// searched when the file's is outside 150 … 450 m/s, the level is searched for every file,
// and the method becomes automatic. A file that cannot be read or is shorter than its
// header is refused with a message and the shown test is kept: false.
[[nodiscard]] bool open_raw_level_file(LevelTest& t, const std::filesystem::path& path, const ProgramFolder& folder,
                         MessageService& msg);

// A test whose rate is not a positive number is read at 250 samples per second; this says so
// (true) once when such a test is opened or shown from the library.
bool warn_invalid_rate(const LevelTest& t, MessageService& msg);

// Command4_Click: the automatic sound speed and level.
void run_automatic_analysis(LevelTest& t, const ProgramFolder& folder, MessageService& msg);
// The same, with `alongside` run on the calling thread while the speed and level are
// searched on two others: the curves, which do not depend on them. `alongside` must not
// touch what the search reads or writes (the spectrum, sound speed, dft_bins, sample rate
// and auto_level_index) nor write the samples. When the level template cannot be read,
// everything runs in turn as before: the message is shown before `alongside` draws.
void run_automatic_analysis(LevelTest& t, const ProgramFolder& folder, MessageService& msg,
                            const std::function<void()>& alongside);

inline constexpr const char* kLevelFileRefusedTitle = "打开文件";

}  // namespace wb
