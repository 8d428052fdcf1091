// Editing the survey grid: the entry boxes write into the current row, a row click puts a
// row into the boxes, and the shortcut menu inserts, deletes, clears, pastes and copies.
// Every command that changes the survey marks it changed, so closing the window offers to
// save it; a row put into the boxes by a click does not.
#include <algorithm>
#include <cmath>

#include "core/common/messages.h"
#include "core/common/number_text.h"
#include "core/design/engine/rod_design_engine.h"

namespace wb::design {
namespace {

constexpr int kBoxColumn[9] = {1, 2, 2, 3, 3, 4, 5, 5, 6};
constexpr int kKeyUp = 38;
constexpr int kKeyDown = 40;
constexpr int kEnter = 13;
constexpr int kVisibleRows = 14;  // data rows the grid shows at once

// Minutes as degrees to two decimals.
double minutes_deg(const std::string& t) { return std::floor(num_val(t) / 60 * 100 + 0.5) / 100; }

}  // namespace

void RodDesignEngine::ensure_entry_row() {
  auto& g = st.Grid1;
  if (g.rows() > 1) {
    if (g.row < 1) g.row = 1;
    return;
  }
  g.set_rows(2);
  g.set_text(1, 0, "1");
  g.row = 1;
}

void RodDesignEngine::Text1_Change(int index, const std::string& text) {
  if (index < 0 || index > 8) return;
  st.Text1[static_cast<std::size_t>(index)] = text;
  st.jx_changed = 1;
  ensure_entry_row();
  auto& g = st.Grid1;
  const int c = kBoxColumn[index];
  g.col = c;
  const auto& b = st.Text1;
  switch (index) {
    case 2: g.set_text(g.row, c, num_text(num_val(b[1]) + minutes_deg(b[2]))); break;
    case 4: g.set_text(g.row, c, num_text(num_val(b[3]) + minutes_deg(b[4]))); break;
    case 7: g.set_text(g.row, c, num_text(num_val(b[6]) + minutes_deg(b[7]))); break;
    default: g.set_text(g.row, c, text); break;
  }
}

// A box set by the program runs the change handler only when its text changes.
void RodDesignEngine::row_click_boxes(int r) {
  auto set = [&](int i, const std::string& t) {
    if (st.Text1[static_cast<std::size_t>(i)] != t) Text1_Change(i, t);
  };
  const auto& g = st.Grid1;
  const std::string c2 = g.text(r, 2), c3 = g.text(r, 3), c4 = g.text(r, 4), c5 = g.text(r, 5), c6 = g.text(r, 6),
                    c1 = g.text(r, 1);
  set(1, c2);
  set(3, c3);
  set(5, c4);
  set(6, c5);
  set(8, c6);
  set(0, c1);
  set(2, "");
  set(4, "");
  set(7, "");
}

void RodDesignEngine::Grid1_Click() {
  auto& g = st.Grid1;
  if (g.row < 1) return;
  const int r = g.row;
  // Putting a row into the boxes is no edit of the survey.
  const std::int16_t edited = st.jx_changed;
  row_click_boxes(r);
  st.jx_changed = edited;
  g.row = r;
  g.sel_row1 = g.sel_row2 = r;
  g.sel_col1 = 1;
  g.sel_col2 = 6;
  st.text1_focus = 0;
}

void RodDesignEngine::Text1_KeyDown(int index, int key_code) {
  if (key_code == kKeyDown && index >= 0 && index <= 7) st.text1_focus = index + 1;
  if (key_code == kKeyUp && index >= 1 && index <= 8) st.text1_focus = index - 1;
}

void RodDesignEngine::Text1_KeyPress(int index, int char_code) {
  if (char_code != kEnter) return;
  if (index >= 0 && index <= 3) {
    st.text1_focus = index + 1;
    return;
  }
  if (index != 4) return;
  ensure_entry_row();
  auto& g = st.Grid1;
  g.row = g.rows() - 1;
  bool filled = false;
  for (int c = 1; c <= 6; ++c) filled = filled || !g.text(g.row, c).empty();
  if (filled) {
    g.set_rows(g.rows() + 1);
    g.row = g.rows() - 1;
    g.set_text(g.row, 0, std::to_string(g.rows() - 1));
    g.clear_row(g.row, 1, 6);
    g.sel_col1 = 1;
    g.sel_col2 = 6;
    g.sel_row1 = g.sel_row2 = g.row;
    if (g.rows() >= kVisibleRows + 1) g.top_row = g.rows() - kVisibleRows;
  }
  st.text1_focus = 0;
  for (int i = 0; i < 9; ++i) {
    if (!st.Text1[static_cast<std::size_t>(i)].empty()) Text1_Change(i, "");
  }
}

void RodDesignEngine::num_in_Click() {
  auto& g = st.Grid1;
  ensure_entry_row();
  const int a = g.row;
  const int n = g.rows();
  g.set_rows(n + 1);
  for (int i = n - 1; i >= a; --i) {
    for (int c = 1; c <= 6; ++c) g.set_text(i + 1, c, g.text(i, c));
    g.set_text(i + 1, 0, std::to_string(i + 1));
  }
  g.row = a;
  g.clear_row(a, 1, 6);
  for (int i = 0; i < 9; ++i) {
    if (!st.Text1[static_cast<std::size_t>(i)].empty()) Text1_Change(i, "");
  }
  st.text1_focus = 0;
  st.jx_changed = 1;
}

void RodDesignEngine::num_del_Click() {
  auto& g = st.Grid1;
  if (g.rows() <= 1) return;
  const int r1 = std::clamp(std::min(g.sel_row1, g.sel_row2), 1, g.rows() - 1);
  const int r2 = std::clamp(std::max(g.sel_row1, g.sel_row2), 1, g.rows() - 1);
  const int c1 = g.sel_col1;
  const std::string q = r1 == r2 ? "确实要删除" + std::to_string(r1) + "号记录吗?"
                                 : "确实要删除" + std::to_string(r1) + "-" + std::to_string(r2) + "号记录吗?";
  if (!msg_.ask_yes_no(q, kWarningTitle)) return;
  const int count = r2 - r1 + 1;
  for (int i = r2 + 1; i < g.rows(); ++i) {
    for (int c = 1; c <= 6; ++c) g.set_text(i - count, c, g.text(i, c));
  }
  g.set_rows(g.rows() - count);
  st.jx_changed = 1;
  if (g.rows() <= 1) {
    // Every data row went: an empty row 1 takes the entries again.
    ensure_entry_row();
    g.clear_row(1, 1, 6);
  }
  // The current row becomes the selection's first column, row 1 after a row click.
  g.row = std::clamp(c1, 1, g.rows() - 1);
  Grid1_Click();
}

void RodDesignEngine::all_del_Click() {
  auto& g = st.Grid1;
  if (g.rows() <= 1) return;
  if (!msg_.ask_yes_no("确实要删除全部记录吗?", kWarningTitle)) return;
  for (int r = g.rows() - 1; r >= 1; --r) g.clear_row(r, 1, 6);
  g.set_rows(2);
  g.set_text(1, 0, "1");
  g.row = 1;
  st.jx_changed = 1;
}

void RodDesignEngine::past_Click(const std::string& s, bool has_text) {
  if (!has_text || s.empty()) return;
  auto& g = st.Grid1;
  for (int r = 1; r < g.rows(); ++r) g.clear_row(r, 1, 6);
  if (g.rows() == 1) g.set_rows(2);
  int row = 1, field = 0;
  std::string cell;
  auto end_field = [&] {
    // Only the first three fields of a line are a survey row (depth, inclination, azimuth).
    if (field < 3) g.set_text(row, field + 1, cell);
    g.set_text(row, 0, std::to_string(row));
    cell.clear();
    ++field;
  };
  auto end_line = [&] {
    end_field();
    ++row;
    field = 0;
    g.set_rows(row + 1);
    g.set_text(row, 0, std::to_string(row));
  };
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char ch = s[i];
    if (ch == '\t') {
      end_field();
    } else if (ch == '\r' || ch == '\n') {
      if (ch == '\n' && i > 0 && s[i - 1] == '\r') continue;  // CR LF is one line end
      end_line();
    } else {
      cell += ch;
    }
  }
  if (!cell.empty() || field > 0) end_line();  // a last line without its line end
  g.row = std::min(g.row, g.rows() - 1);
  if (g.row < 1) g.row = 1;
  st.jx_changed = 1;
}

std::string RodDesignEngine::Men_copy_text() const {
  const auto& g = st.Grid1;
  std::string out;
  const int r1 = std::max(1, std::min(g.sel_row1, g.sel_row2)), r2 = std::max(g.sel_row1, g.sel_row2);
  const int c1 = std::min(g.sel_col1, g.sel_col2), c2 = std::max(g.sel_col1, g.sel_col2);
  for (int r = r1; r <= r2 && r < g.rows(); ++r) {
    for (int c = c1; c <= c2; ++c) {
      out += g.text(r, c);
      out += c < c2 ? "\t" : " \r\n";
    }
  }
  return out;
}

}  // namespace wb::design
