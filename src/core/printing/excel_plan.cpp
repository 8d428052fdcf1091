#include "core/printing/excel_plan.h"

#include <cctype>

#include "core/common/number_text.h"

namespace wb {

namespace {

// [+-]digits[.digits][e[+-]digits] (also ".5" and "5."), blanks around allowed: the texts a
// spreadsheet would take as a number when typed.
bool plain_number_text(const std::string& t) {
  std::size_t i = 0, e = t.size();
  while (i < e && t[i] == ' ') ++i;
  while (e > i && t[e - 1] == ' ') --e;
  if (i < e && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < e && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
  if (i < e && t[i] == '.') {
    ++i;
    while (i < e && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < e && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < e && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t exp_digits = 0;
    while (i < e && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++exp_digits;
    if (exp_digits == 0) return false;
  }
  return i == e;
}

}  // namespace

std::string excel_column_letters(int col) {
  if (col < 0) return {};
  std::string s;
  long long c = col;
  do {
    s.insert(s.begin(), static_cast<char>('a' + c % 26));
    c = c / 26 - 1;
  } while (c >= 0);
  return s;
}

std::string excel_cell_address(int row, int col) { return excel_column_letters(col) + std::to_string(row + 1); }

std::vector<ExcelCell> excel_cell_plan(const std::vector<std::vector<std::string>>& cells, std::int16_t last_row,
                                       std::int16_t last_col) {
  std::vector<ExcelCell> plan;
  if (last_row < 0 || last_col < 0) return plan;
  plan.reserve(static_cast<std::size_t>(last_row + 1) * static_cast<std::size_t>(last_col + 1));
  for (int i = 0; i <= last_row; ++i) {
    for (int j = 0; j <= last_col; ++j) {
      ExcelCell c;
      c.row = i;
      c.col = j;
      c.address = excel_cell_address(i, j);
      if (static_cast<std::size_t>(i) < cells.size() && static_cast<std::size_t>(j) < cells[i].size())
        c.text = cells[i][j];
      if (plain_number_text(c.text)) c.number = num_parse(c.text);
      plan.push_back(std::move(c));
    }
  }
  return plan;
}

std::string workbook_not_opened_message(const std::string& path) {
  return "这台计算机上没有设置打开电子表格工作簿的程序，工作簿未能打开。\n工作簿已保存在：" + path;
}

std::string workbook_not_saved_message(const std::string& path, const std::string& reason) {
  std::string text = std::string(kExcelSaveFailedText) + path;
  if (!reason.empty()) text += "\n原因：" + reason;
  return text;
}

bool Export_Excel(const std::vector<std::vector<std::string>>& cells, std::int16_t last_row, std::int16_t last_col,
                  const std::string& file_name, WorkbookWriter& writer, MessageService& messages, ShellService& shell) {
  if (const std::optional<Refusal> refused = writer.write(file_name, excel_cell_plan(cells, last_row, last_col))) {
    messages.show(workbook_not_saved_message(file_name, refused->message), kExcelAskTitle, MsgButtons::Ok,
                  MsgIcon::Warning);
    return false;
  }
  if (messages.show("是否编辑" + file_name + "？", kExcelAskTitle, MsgButtons::YesNo, MsgIcon::Question) !=
      MsgAnswer::Yes)
    return true;
  if (!shell.open_document(file_name))
    messages.show(workbook_not_opened_message(file_name), "", MsgButtons::Ok, MsgIcon::None);
  return true;
}

}  // namespace wb
