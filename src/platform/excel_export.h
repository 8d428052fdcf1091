// The spreadsheet export's workbook writer: a real .xlsx workbook written with libxlsxwriter
// (no spreadsheet program needs to run). The steps around it (the cell plan, the question
// whether to open the file, the message when nothing opens it) live in core.
#pragma once

#include <cstdint>
#include <map>
#include <string_view>
#include <string>
#include <vector>

#include "core/common/services.h"
#include "core/printing/excel_plan.h"

namespace wb {

class XlsxWorkbookWriter : public WorkbookWriter {
 public:
  // Makes the workbook in a private folder of the system's temporary folder (the library
  // writes only to a named file), then writes its bytes over file_name with
  // write_file_atomic: an older workbook of the same name is replaced only by a complete
  // one, and nothing is written through a file or link someone left beside it.
  std::optional<Refusal> write(const std::string& file_name, const std::vector<ExcelCell>& cells) override;
};

// Column widths in the sheet's units (one digit of its default font): the widest text of
// each column, a Chinese character counted as two, plus one; only columns wider than the
// sheet's default 8.43, and none wider than 100. A text merged across columns (span > 1)
// sizes none of them.
inline constexpr double kWorkbookDefaultWidth = 8.43;
inline constexpr double kWorkbookMaxWidth = 100.0;
double workbook_text_width(std::string_view utf8);
std::map<int, double> workbook_column_widths(const std::vector<ExcelCell>& cells);

// Export_Excel with the xlsx writer.
bool Export_Excel(const std::vector<std::vector<std::string>>& cells, std::int16_t last_row, std::int16_t last_col,
                  const std::string& file_name, MessageService& messages, ShellService& shell);

}  // namespace wb
