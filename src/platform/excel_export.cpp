#include "platform/excel_export.h"

#include <filesystem>
#include <system_error>

#include <xlsxwriter.h>

#include "core/common/paths.h"

namespace wb {

namespace {

// Why the workbook library failed, as the user is told it.
std::string xlsx_reason(lxw_error e) {
  switch (e) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED: return "内存不足。";
    case LXW_ERROR_CREATING_XLSX_FILE: return "文件无法创建：文件夹不存在或不可写。";
    case LXW_ERROR_CREATING_TMPFILE: return "临时文件无法创建：临时文件夹不可写或磁盘已满。";
    case LXW_ERROR_READING_TMPFILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_PARAMETER_ERROR:
    case LXW_ERROR_ZIP_BAD_ZIP_FILE:
    case LXW_ERROR_ZIP_INTERNAL_ERROR:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE: return "写入文件时出错：磁盘可能已满。";
    case LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE: return "表格超出了工作表的行列范围。";
    case LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED: return "单元格中的文字过长。";
    default: return "电子表格库报告错误（代码 " + std::to_string(static_cast<int>(e)) + "）。";
  }
}

std::string rename_reason(const std::error_code& ec) {
  if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted)
    return "没有替换该文件的权限，或文件正被其他程序使用。";
  if (ec == std::errc::is_a_directory) return "该名称已是一个文件夹。";
  if (ec == std::errc::no_space_on_device) return "磁盘已满。";
  return "文件无法改名为目标名称（错误代码 " + std::to_string(ec.value()) + "）。";
}

}  // namespace

bool XlsxWorkbookWriter::write(const std::string& file_name, const std::vector<ExcelCell>& cells, std::string& error) {
  namespace fs = std::filesystem;
  const fs::path target = u8path(file_name);
  fs::path temp = target;
  temp += ".tmp~";
  const std::string temp_name = path_text(temp);

  lxw_workbook* book = workbook_new(temp_name.c_str());
  if (!book) {
    error = xlsx_reason(LXW_ERROR_CREATING_XLSX_FILE);
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
    error = xlsx_reason(!sheet ? LXW_ERROR_MEMORY_MALLOC_FAILED : cell_error != LXW_NO_ERROR ? cell_error : closed);
    fs::remove(temp, ec);
    return false;
  }
  fs::rename(temp, target, ec);
  if (ec) {
    error = rename_reason(ec);
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
