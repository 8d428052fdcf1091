// The spreadsheet export's workbook writer: a real .xlsx workbook written with libxlsxwriter
// (no spreadsheet program needs to run). The steps around it (the cell plan, the question
// whether to open the file, the message when nothing opens it) live in core.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/common/services.h"
#include "core/printing/excel_plan.h"

namespace wb {

class XlsxWorkbookWriter : public WorkbookWriter {
 public:
  // Writes into a temporary file beside file_name and renames it over, so an older
  // workbook of the same name is replaced only by a complete one.
  bool write(const std::string& file_name, const std::vector<ExcelCell>& cells, std::string& error) override;
};

// Export_Excel with the xlsx writer.
bool Export_Excel(const std::vector<std::vector<std::string>>& cells, std::int16_t last_row, std::int16_t last_col,
                  const std::string& file_name, MessageService& messages, ShellService& shell);

}  // namespace wb
