#include "platform/excel_export.h"

#include <stdlib.h>  // mkdtemp

#include <algorithm>
#include <filesystem>
#include <map>
#include <string_view>
#include <system_error>
#include <vector>

#include <xlsxwriter.h>

#include "core/common/paths.h"
#include "core/common/record_store.h"

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

// The workbook's file could not be written over the target.
constexpr const char* kTargetWriteReason = "文件无法写入：文件夹不存在或不可写，该名称已是一个文件夹，或磁盘已满。";

// A folder only this user can enter, removed with its content when the writer is done.
class PrivateFolder {
 public:
  PrivateFolder() {
    std::error_code ec;
    std::string name = path_text(std::filesystem::temp_directory_path(ec) / "wb-xlsx-XXXXXX");
    if (!ec && ::mkdtemp(name.data())) path_ = u8path(name);
  }
  ~PrivateFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace

// A cell's text in the sheet's character widths: a character of the wide scripts (Chinese)
// takes two, every other one; the sheet's width unit is one digit of its default font.
double workbook_text_width(std::string_view utf8) {
  double w = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t len = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 1;
    w += len >= 3 ? 2.0 : 1.0;
    i += len;
  }
  return w;
}

std::map<int, double> workbook_column_widths(const std::vector<ExcelCell>& cells) {
  std::map<int, double> widths;
  for (const ExcelCell& c : cells) {
    if (c.text.empty() || c.span > 1) continue;  // a merged title lies across its columns
    // One character's room beside the text, as the sheet leaves it after a fitted column.
    const double w = workbook_text_width(c.text) + 1.0;
    if (w <= kWorkbookDefaultWidth) continue;
    double& cur = widths[c.col];
    cur = std::max(cur, std::min(w, kWorkbookMaxWidth));
  }
  return widths;
}

std::optional<Refusal> XlsxWorkbookWriter::write(const std::string& file_name, const std::vector<ExcelCell>& cells) {
  const PrivateFolder folder;
  if (folder.path().empty()) return Refusal(xlsx_reason(LXW_ERROR_CREATING_TMPFILE));
  const std::string book_name = path_text(folder.path() / "book.xlsx");

  lxw_workbook* book = workbook_new(book_name.c_str());
  if (!book) return Refusal(xlsx_reason(LXW_ERROR_CREATING_TMPFILE));
  lxw_worksheet* sheet = workbook_add_worksheet(book, "Sheet1");
  lxw_error cell_error = LXW_NO_ERROR;
  for (const ExcelCell& c : cells) {
    if (!sheet) break;
    lxw_error e = LXW_NO_ERROR;
    if (c.span > 1)
      e = worksheet_merge_range(sheet, static_cast<lxw_row_t>(c.row), static_cast<lxw_col_t>(c.col),
                                static_cast<lxw_row_t>(c.row), static_cast<lxw_col_t>(c.col + c.span - 1),
                                c.text.c_str(), nullptr);
    else if (c.number)
      e = worksheet_write_number(sheet, static_cast<lxw_row_t>(c.row), static_cast<lxw_col_t>(c.col), *c.number,
                                 nullptr);
    else if (!c.text.empty())
      e = worksheet_write_string(sheet, static_cast<lxw_row_t>(c.row), static_cast<lxw_col_t>(c.col), c.text.c_str(),
                                 nullptr);
    if (e != LXW_NO_ERROR && cell_error == LXW_NO_ERROR) cell_error = e;
  }
  // Every column as wide as its longest text (headings such as "实测冲程(m)" included).
  for (const auto& [col, width] : workbook_column_widths(cells)) {
    if (!sheet) break;
    const lxw_error e =
        worksheet_set_column(sheet, static_cast<lxw_col_t>(col), static_cast<lxw_col_t>(col), width, nullptr);
    if (e != LXW_NO_ERROR && cell_error == LXW_NO_ERROR) cell_error = e;
  }
  const lxw_error closed = workbook_close(book);  // writes the file and frees the workbook
  if (!sheet || cell_error != LXW_NO_ERROR || closed != LXW_NO_ERROR)
    return Refusal(xlsx_reason(!sheet ? LXW_ERROR_MEMORY_MALLOC_FAILED : cell_error != LXW_NO_ERROR ? cell_error : closed));
  std::vector<std::uint8_t> bytes;
  if (!read_file(u8path(book_name), bytes)) return Refusal(xlsx_reason(LXW_ERROR_READING_TMPFILE));
  if (!write_file_atomic(u8path(file_name), bytes)) return Refusal(kTargetWriteReason);
  return std::nullopt;
}

bool Export_Excel(const std::vector<std::vector<std::string>>& cells, std::int16_t last_row, std::int16_t last_col,
                  const std::string& file_name, MessageService& messages, ShellService& shell) {
  XlsxWorkbookWriter writer;
  return Export_Excel(cells, last_row, last_col, file_name, writer, messages, shell);
}

}  // namespace wb
