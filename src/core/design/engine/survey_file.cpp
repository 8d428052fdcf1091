#include "core/design/engine/survey_file.h"

#include <algorithm>
#include <filesystem>
#include <span>

#include "core/common/gbk.h"
#include "core/common/messages.h"
#include "core/common/number_text.h"
#include "core/common/record_store.h"
#include "core/common/trim.h"
#include "core/design/engine/rod_design_engine.h"

namespace wb::design {
namespace {

constexpr std::array<const char*, 6> kJxTitles = {"测点深度", "井斜", "方位", "总位移", "总方位", "垂直井深"};

}  // namespace

std::string survey_replace_question(const std::string& well) {
  return "井号“" + well + "”已有井斜数据文件，当前表中的井斜数据不是从该文件读出的，保存将替换其中原有的井斜数据。确实要替换吗?";
}

std::vector<std::uint8_t> encode_jx_record(const JxRecord& rec) {
  std::vector<std::uint8_t> out;
  out.reserve(kJxRecordSize);
  for (const auto& c : rec.cols) {
    const std::string f = gbk_field(c, kJxFieldWidth);
    out.insert(out.end(), f.begin(), f.end());
  }
  out.insert(out.end(), kJxRecordSize - 2 - out.size(), static_cast<std::uint8_t>(' '));
  out.push_back(13);
  out.push_back(10);
  return out;
}

std::vector<std::uint8_t> encode_jx_file(const std::vector<JxRecord>& rows) {
  std::vector<std::uint8_t> out;
  out.reserve(kJxRecordSize * (rows.size() + kJxHeaderRecords));
  const JxRecord blank;
  for (int i = 0; i < 3; ++i) {
    const auto r = encode_jx_record(blank);
    out.insert(out.end(), r.begin(), r.end());
  }
  JxRecord titles;
  for (std::size_t k = 0; k < 6; ++k) titles.cols[k] = kJxTitles[k];
  const auto t = encode_jx_record(titles);
  out.insert(out.end(), t.begin(), t.end());
  for (const auto& row : rows) {
    const auto r = encode_jx_record(row);
    out.insert(out.end(), r.begin(), r.end());
  }
  return out;
}

std::size_t jx_record_count(std::size_t file_length) {
  return static_cast<std::size_t>(round_even(static_cast<double>(file_length) / kJxRecordSize));
}

std::vector<JxRecord> decode_jx_file(const std::vector<std::uint8_t>& bytes) {
  std::vector<JxRecord> rows;
  const std::size_t n = jx_record_count(bytes.size());
  for (std::size_t i = kJxHeaderRecords; i < n; ++i) {
    // A record past the end of a short file reads as blanks.
    std::array<std::uint8_t, kJxRecordSize> buf;
    buf.fill(' ');
    const std::size_t start = i * kJxRecordSize;
    if (start < bytes.size()) {
      const std::size_t len = std::min(kJxRecordSize, bytes.size() - start);
      std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(start), len, buf.begin());
    }
    JxRecord rec;
    for (std::size_t k = 0; k < 6; ++k) {
      rec.cols[k] = gbk_field_text(std::span<const std::uint8_t>(buf.data() + k * kJxFieldWidth, kJxFieldWidth));
    }
    const auto depth = num_parse(rec.cols[0]);
    if (depth && *depth <= 0) continue;
    rows.push_back(std::move(rec));
  }
  return rows;
}

// ---- grid model ----

void TextGrid::set_rows(int n) {
  n = std::max(n, 0);
  cells_.resize(static_cast<std::size_t>(n), std::vector<std::string>(static_cast<std::size_t>(cols_)));
  if (row >= n) row = std::max(n - 1, 0);
}

const std::string& TextGrid::text(int r, int c) const {
  static const std::string empty;
  if (r < 0 || r >= rows() || c < 0 || c >= cols_) return empty;
  return cells_[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
}

void TextGrid::set_text(int r, int c, std::string t) {
  if (r < 0 || r >= rows() || c < 0 || c >= cols_) return;
  cells_[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = std::move(t);
}

void TextGrid::clear_row(int r, int c1, int c2) {
  for (int c = c1; c <= c2; ++c) set_text(r, c, "");
}

// ---- the window's procedures on the survey file ----

void RodDesignEngine::say(const std::string& text) { msg_.show(text, "", MsgButtons::Ok); }

void RodDesignEngine::SetupGrids() {
  static const std::array<const char*, 7> g1 = {"序号", "油杆深度(m)", "井斜角(deg)", "方位角(deg)",
                                                "总位移(m)", "总方位(deg)", "垂直井深(m)"};
  static const std::array<const char*, 11> g2 = {"序号", "油杆深度(m)", "井斜角(deg)", "方位角(deg)",
                                                 "狗腿度deg/30m", "最大轴向力(N)", "最小轴向力(N)",
                                                 "杆管正压力(N/m)", "杆柱正压力(N/m)", "杆径(mm)", "扶正器间距(m)"};
  auto& g = st.Grid1;
  g = TextGrid(7, 2);
  for (int c = 0; c < 7; ++c) g.set_text(0, c, g1[static_cast<std::size_t>(c)]);
  g.row = 1;
  g.col = 0;
  auto& f = st.Grid2;
  f = TextGrid(11, 2);
  for (int c = 0; c < 11; ++c) f.set_text(0, c, g2[static_cast<std::size_t>(c)]);
}

std::string RodDesignEngine::survey_path() const {
  const std::string name = trim_blanks(st.JName_Comb);
  if (name.empty() || !is_safe_file_stem(name, kJxSuffix.size())) return {};
  return path_text(folder_.data() / u8path(name + std::string(kJxSuffix)));
}

DesignOutcome RodDesignEngine::save_jx() {
  auto& g = st.Grid1;
  // Stations are the rows holding something: the grid keeps an empty entry row below the
  // last station once Enter has taken it, and that row is no station.
  int stations = 0;
  for (int r = 1; r < g.rows(); ++r) {
    bool filled = false;
    for (int c = 1; c <= 6 && !filled; ++c) filled = !trim_blanks(g.text(r, c)).empty();
    stations += filled ? 1 : 0;
  }
  if (stations < 2) {
    say(kSurveyTooShortText);
    return DesignOutcome::refused;
  }
  // The table belongs to the well it was read for, whatever the well box holds by now (a new
  // well typed or chosen asks about the old survey before the new one is read). A table read
  // for no well goes under the well in the box, replacing its survey only when the user
  // says so: that survey was never shown.
  std::string path = st.jx_path;
  if (path.empty()) {
    const std::string name = trim_blanks(st.JName_Comb);
    if (name.empty()) {
      say("请在井号栏中输入井号!");
      return DesignOutcome::refused;
    }
    path = survey_path();
    if (path.empty()) {
      say(file_stem_too_long(name, kJxSuffix.size()) ? well_name_too_long_text(name) + "井斜数据未保存。"
                                                     : "井号中有不能用作文件名的字符，井斜数据未保存！");
      return DesignOutcome::refused;
    }
    std::error_code ec;
    if (std::filesystem::is_regular_file(u8path(path), ec) &&
        !msg_.ask_yes_no(survey_replace_question(name), kSaveTitle))
      return DesignOutcome::refused;
  }
  std::vector<JxRecord> rows;
  for (int r = 1; r < g.rows(); ++r) {
    JxRecord rec;
    for (int k = 0; k < 6; ++k) rec.cols[static_cast<std::size_t>(k)] = g.text(r, k + 1);
    rows.push_back(std::move(rec));
  }
  g.row = g.rows() - 1;
  g.col = 6;
  if (!write_file_atomic(u8path(path), encode_jx_file(rows))) {
    say("井斜数据文件写入失败，数据未保存！");
    return DesignOutcome::failed;
  }
  st.jx_path = path;
  st.jx_changed = 0;
  return DesignOutcome::done;
}

DesignOutcome RodDesignEngine::Get_JXdat() {
  auto& g = st.Grid1;
  st.jx_path = survey_path();
  std::vector<std::uint8_t> bytes;
  const bool named = !st.jx_path.empty();
  const bool read = named && read_file(u8path(st.jx_path), bytes);
  if (bytes.empty()) {
    // An empty survey leaves no file behind. A file that could not be read is kept.
    std::error_code ec;
    if (read) std::filesystem::remove(u8path(st.jx_path), ec);
    g.set_rows(1);
    g.row = 0;
    if (read || !named || !std::filesystem::exists(u8path(st.jx_path), ec)) return DesignOutcome::nothing;
    say("井斜数据文件" + st.jx_path + "不能读取，井斜数据未载入！");
    return DesignOutcome::failed;
  }
  const auto rows = decode_jx_file(bytes);
  g.set_rows(1 + static_cast<int>(rows.size()));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int r = static_cast<int>(i) + 1;
    g.set_text(r, 0, std::to_string(r));
    // The cells without the field's padding: a row put into the entry boxes then holds only
    // what was stored, and typing goes on from its last character.
    for (int k = 0; k < 6; ++k) g.set_text(r, k + 1, trim_blanks(rows[i].cols[static_cast<std::size_t>(k)]));
  }
  g.row = g.rows() - 1;
  return DesignOutcome::done;
}

}  // namespace wb::design
