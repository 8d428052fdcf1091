#include "core/design/workbench/fzq_table.h"

#include <cmath>
#include <optional>

#include "core/common/messages.h"
#include "core/common/number_text.h"
#include "core/common/trim.h"

namespace wb::design {
namespace {

constexpr int kEnter = 13;
constexpr int kBackspace = 8;
constexpr int kDepthCol = 1;
constexpr int kReservedSlots = 300;


// The new row's number: the row count before it is appended.
void append_numbered_row(TextGrid& g) {
  const int n = g.rows();
  g.set_rows(n + 1);
  g.set_text(n, 0, std::to_string(n));
}

}  // namespace

std::string fzq_workbook_path(const ProgramFolder& folder, const std::string& well) {
  const std::string name = trim_blanks(well) + kFzqWorkbookSuffix;
  const std::string stem = name.substr(0, name.size() - 5);  // without ".xlsx"
  if (!is_safe_file_stem(stem, 5)) return {};  // ".xlsx"
  return path_text(folder.report() / u8path(name));
}

std::vector<std::vector<std::string>> fzq_export_cells(const TextGrid& g) {
  std::vector<std::vector<std::string>> cells(static_cast<std::size_t>(g.rows()));
  for (int r = 0; r < g.rows(); ++r) {
    auto& row = cells[static_cast<std::size_t>(r)];
    for (int c = 0; c < g.cols(); ++c) row.push_back(trim_blanks(g.text(r, c)));
  }
  return cells;
}

DesignOutcome ImportExcel_Click(const DesignState& st, const ProgramFolder& folder, WorkbookWriter& writer,
                                MessageService& msg, ShellService& shell) {
  const auto& g = st.Grid2;
  const std::string path = fzq_workbook_path(folder, st.JName_Comb);
  if (path.empty()) {
    msg.show("井号中有不能用作文件名的字符，扶正器布置数据表未导出！", "", MsgButtons::Ok);
    return DesignOutcome::refused;
  }
  std::error_code ec;
  std::filesystem::create_directories(folder.report(), ec);
  const bool written = Export_Excel(fzq_export_cells(g), static_cast<std::int16_t>(g.rows() - 1),
                                    static_cast<std::int16_t>(g.cols() - 1), path, writer, msg, shell);
  return written ? DesignOutcome::done : DesignOutcome::failed;
}

bool txtEdit_KeyPress(DesignState& st, int& key_ascii) {
  auto& g = st.Grid2;
  if (key_ascii == kEnter) {
    g.row = g.row < g.rows() - 1 ? g.row + 1 : 1;
    return true;
  }
  if (key_ascii == kBackspace || (key_ascii >= '0' && key_ascii <= '9')) {
    st.fzq_edit_changed = true;
    return false;
  }
  key_ascii = 0;
  return false;
}

void txtEdit_Change(DesignState& st, const std::string& text) {
  st.fzq_edit_text = text;
  st.fzq_edit_row = static_cast<std::int16_t>(st.Grid2.row);
}

void mnuAdd_Click(TextGrid& g) {
  g.row = g.rows() - 1;
  append_numbered_row(g);
}

void mnuIns_Click(TextGrid& g) {
  const int k = g.row;
  append_numbered_row(g);
  g.row = k;
  for (int j = g.rows() - 1; j >= k + 1; --j)
    for (int c = 1; c < g.cols(); ++c) g.set_text(j, c, g.text(j - 1, c));
  g.clear_row(k, 1, g.cols() - 1);
}

void mnuDel_Click(TextGrid& g) { g.remove_row(g.row); }

DesignOutcome commit_fzq_depth(DesignState& st, double pump_depth, MessageService& msg) {
  auto& g = st.Grid2;
  g.col = kDepthCol;
  st.fzq_edit_changed = false;
  const int kept_row = g.row;
  auto depth = [&](int r) { return num_val(g.text(r, kDepthCol)); };
  const int r = st.fzq_edit_row;
  g.row = r;
  const std::string text = trim_blanks(st.fzq_edit_text);
  // A number beyond a double would read as 0; it is no depth.
  const std::optional<double> read = num_val_checked(text);
  const double v = read.value_or(0);
  const int last = g.rows() - 1;
  bool ok = read && r >= 1 && r <= last;
  if (ok && r == 1 && v > pump_depth) ok = false;
  if (ok && r > 1 && v > depth(r - 1)) ok = false;
  if (ok && r < last && v < depth(r + 1)) ok = false;
  if (ok && r == last && v < kFzqLeastDepth) ok = false;
  if (!ok) {
    msg.show(kFzqDepthOrderMessage, kNoticeTitle, MsgButtons::Ok);
    return DesignOutcome::refused;
  }
  g.set_text(r, kDepthCol, text);
  g.row = kept_row;
  return DesignOutcome::done;
}

DesignOutcome CommitCellEdit(DesignState& st, double pump_depth, MessageService& msg) {
  const auto& g = st.Grid2;
  for (int r = 1; r < g.rows() && r - 1 < kReservedSlots; ++r) {
    const double d = std::trunc(num_val(g.text(r, kDepthCol)));
    st.cur_design.reserved_2088[static_cast<std::size_t>(r - 1)] =
        static_cast<std::int16_t>(std::fabs(d) < 32768 ? d : 0);
  }
  return commit_fzq_depth(st, pump_depth, msg);
}

}  // namespace wb::design
