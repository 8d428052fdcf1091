// The spreadsheet export of a table of texts: which workbook cell gets which value, and
// the steps around writing the workbook (ask to open it, report a missing program). The
// workbook itself is written by the platform layer through WorkbookWriter.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/common/messages.h"
#include "core/common/refusal.h"
#include "core/common/services.h"

namespace wb {

// Column letters in lower case: 0 -> "a", 25 -> "z"; wider tables go on with "aa", "ab" …
// as spreadsheets name their columns (one-letter addressing has nothing beyond z).
std::string excel_column_letters(int col);
// Address of table cell (row, col), both from 0: (0, 0) -> "a1", (4, 2) -> "c5".
std::string excel_cell_address(int row, int col);

struct ExcelCell {
  int row = 0;  // from 0
  int col = 0;  // from 0
  std::string address;
  std::string text;             // as given, UTF-8
  std::optional<double> number; // set when the text is a plain decimal number: it lands as a number,
                                // as a spreadsheet takes a typed number
  int span = 1;                 // columns the cell is merged across from `col` (a sheet's title
                                // over its table); a merged text sizes none of them
};

// Cells (0..last_row, 0..last_col) row by row, left to right within a row. A cell the table
// does not hold reads as empty text. Negative bounds give no cells.
std::vector<ExcelCell> excel_cell_plan(const std::vector<std::vector<std::string>>& cells, std::int16_t last_row,
                                       std::int16_t last_col);

// Writes a new workbook with one sheet "Sheet1" holding the cells (empty texts left blank)
// and saves it under file_name, replacing an older file only once the new one is complete.
class WorkbookWriter {
 public:
  virtual ~WorkbookWriter() = default;
  // Writes the workbook whole or not at all: no value when written, otherwise why not (the
  // reason as the user is told it, in Chinese; may be empty), and no file is left behind.
  [[nodiscard]] virtual std::optional<Refusal> write(const std::string& file_name,
                                                     const std::vector<ExcelCell>& cells) = 0;
};

inline constexpr const char* kExcelAskTitle = kNoticeTitle;
inline constexpr const char* kExcelSaveFailedText = "报表文件不能保存：";

// Told when no program on this computer opens a workbook the system has written: the
// workbook is complete, only its viewer is missing.
std::string workbook_not_opened_message(const std::string& path);
// Told when a workbook cannot be written: where, and why (`reason`, in Chinese, may be empty).
std::string workbook_not_saved_message(const std::string& path, const std::string& reason);

// Writes the table into file_name, then asks "是否编辑<file_name>？" (Yes/No, "提示") and on Yes
// opens the file with its associated program; when nothing opens it, says so and where the
// workbook was saved (OK, default title). When the workbook cannot be written the user is
// told where and why, nothing is asked and the result is false.
[[nodiscard]] bool Export_Excel(const std::vector<std::vector<std::string>>& cells, std::int16_t last_row, std::int16_t last_col,
                  const std::string& file_name, WorkbookWriter& writer, MessageService& messages, ShellService& shell);

}  // namespace wb
