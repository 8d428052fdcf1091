#include "core/level/level_open.h"

#include <future>

#include "core/level/level_analysis.h"
#include "core/level/level_file.h"

namespace wb {

bool open_raw_level_file(LevelTest& t, const std::filesystem::path& path, const ProgramFolder& folder,
                         MessageService& msg) {
  const auto bytes = read_level_file(path);
  if (!bytes || bytes->size() < kLevelHeaderSize) {
    msg.show("文件" + path_text(path) + "不足1024字节的文件头，不是液面测试文件", kLevelFileRefusedTitle,
             MsgButtons::Ok);
    return false;
  }
  t.cur_rec = -1;
  t.hide_markers();
  t.Text2 = path_text(path);
  if (!load_level_data(*bytes, t)) return false;  // not reached: the header's length was checked above
  // A damaged file is shown for what it is worth, but the user learns at once what is wrong.
  t.file_doubts = level_file_doubts(*bytes);
  if (!t.file_doubts.empty())
    msg.show(level_doubts_text(t.file_doubts, path_text(path)), kLevelDoubtsTitle, MsgButtons::Ok, MsgIcon::Warning);
  warn_invalid_rate(t, msg);
  // 150 and 450 m/s themselves are kept; a speed that is no number is searched too.
  if (!(t.sound_speed >= 150.0f && t.sound_speed <= 450.0f)) get_yg_dft_auto(t);
  if (t.level_x < 100.0f || t.level_x > 4900.0f) like_level(t, folder.sys(), msg);
  t.method = 3;
  return true;
}

bool warn_invalid_rate(const LevelTest& t, MessageService& msg) {
  if (is_usable_rate(t.sample_rate)) return false;
  msg.show(kInvalidRateText, "", MsgButtons::Ok, MsgIcon::Warning);
  return true;
}

void run_automatic_analysis(LevelTest& t, const ProgramFolder& folder, MessageService& msg) {
  t.method = 3;
  get_yg_dft_auto(t);
  like_level(t, folder.sys(), msg);
}

void run_automatic_analysis(LevelTest& t, const ProgramFolder& folder, MessageService& msg,
                            const std::function<void()>& alongside) {
  const LevelTemplate tpl = read_level_template(folder.sys() / kLevelTemplateFile);
  if (!tpl.values) {
    run_automatic_analysis(t, folder, msg);
    alongside();
    return;
  }
  t.method = 3;
  // The speed reads the filtered channel, the level the raw one: they run side by side,
  // and both next to `alongside`. Each gives what it gives alone, bit for bit.
  auto speed = std::async(std::launch::async, [&t] { get_yg_dft_auto(t); });
  auto level = std::async(std::launch::async, [&t, &tpl] { return pick_level(level_correlation(t, *tpl.values)); });
  alongside();
  speed.get();
  t.auto_level_index = static_cast<std::int16_t>(level.get());
}

}  // namespace wb
