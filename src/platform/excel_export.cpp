#include "platform/excel_export.h"

#include <filesystem>
#include <system_error>

#include <xlsxwriter.h>

#include "core/common/paths.h"

namespace wb {

bool XlsxWorkbookWriter::write(const std::string& file_name, const std::vector<ExcelCell>& cells, std::string& error) {
  namespace fs = std::filesystem;
  const fs::path target = u8path(file_name);
  fs::path temp = target;
  temp += ".tmp~";
  const std::string temp_name = path_text(temp);

  lxw_workbook* book = workbook_new(temp_name.c_str());
  if (!book) {
    error = "cannot create the workbook";
    return false;
  }
  lxw_worksheet* sheet = workbook_add_worksheet(book, "Sheet1");
  lxw_error cell_error = LXW_NO_ERROR;
  for (const ExcelCell& c : cells) {
    if (!sheet) break;
    lxw_error e = LXW_NO_ERROR;
    if (c.number)
      e = worksheet_write_number(sheet, static_cast<lxw_row_t>(c.row), static_cast<lxw_col_t>(c.col), *c.number,
                                 nullptr);
    else if (!c.text.empty())
      e = worksheet_write_string(sheet, static_cast<lxw_row_t>(c.row), static_cast<lxw_col_t>(c.col), c.text.c_str(),
                                 nullptr);
    if (e != LXW_NO_ERROR && cell_error == LXW_NO_ERROR) cell_error = e;
  }
  lxw_error closed = workbook_close(book);  // writes the file and frees the workbook
  std::error_code ec;
  if (!sheet || cell_error != LXW_NO_ERROR || closed != LXW_NO_ERROR) {
    error = !sheet ? "cannot add the sheet" : lxw_strerror(cell_error != LXW_NO_ERROR ? cell_error : closed);
    fs::remove(temp, ec);
    return false;
  }
  fs::rename(temp, target, ec);
  if (ec) {
    error = ec.message();
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

bool Export_Excel(const std::vector<std::vector<std::string>>& cells, std::int16_t last_row, std::int16_t last_col,
                  const std::string& file_name, MessageService& messages, ShellService& shell) {
  XlsxWorkbookWriter writer;
  return Export_Excel(cells, last_row, last_col, file_name, writer, messages, shell);
}

}  // namespace wb
