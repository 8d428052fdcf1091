// The statistics table as a tab-separated text file for spreadsheets: one line per grid row
// (headers, records, average row), 23 fields separated by tabs, lines ended by CR LF, GBK.
// Every field has its control characters (codes 1 to 31: tab, CR, LF, …) replaced by blanks
// and its blanks at both ends removed, so a line always holds 23 fields.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/statistics/effi_stat_table.h"

namespace wb {

// One exported field, UTF-8: control characters blanked, blanks trimmed.
std::string stat_export_field(const std::string& cell);
// The file's bytes for the grid's rows.
std::vector<std::uint8_t> stat_export_bytes(const StatRows& rows);
// Writes them to `path`, replacing a file of that name; false when it cannot be written
// (an existing file is then left as it was).
[[nodiscard]] bool write_stat_export(const std::filesystem::path& path, const StatRows& rows);

}  // namespace wb
