#include "core/statistics/effi_stat_export.h"

#include "core/common/gbk.h"
#include "core/common/record_store.h"
#include "core/common/trim.h"

namespace wb {

std::string stat_export_field(const std::string& cell) {
  std::string s = cell;
  for (char& ch : s) {
    const auto u = static_cast<unsigned char>(ch);
    if (u >= 1 && u <= 31) ch = ' ';
  }
  return trim_blanks(s);
}

std::vector<std::uint8_t> stat_export_bytes(const StatRows& rows) {
  std::string text;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < kStatColCount; ++c) {
      text += stat_export_field(std::string(rows.cell(r, c)));
      text += c + 1 < kStatColCount ? "\t" : "\r\n";
    }
  }
  const std::string gbk = utf8_to_gbk(text);
  return std::vector<std::uint8_t>(gbk.begin(), gbk.end());
}

bool write_stat_export(const std::filesystem::path& path, const StatRows& rows) {
  return write_file_atomic(path, stat_export_bytes(rows));
}

}  // namespace wb
