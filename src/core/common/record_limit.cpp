#include "core/common/record_limit.h"

#include <system_error>

#include "core/common/paths.h"

namespace wb {

std::string library_full_text(std::string_view library) {
  return std::string(library) + "已有" + std::to_string(kMaxLibraryRecords) + "条记录，不能再追加新记录。";
}

std::string over_limit_text(const std::filesystem::path& file, std::size_t records) {
  return "文件" + path_text(file) + "中有" + std::to_string(records) + "条记录，超过了记录编号所能容纳的" +
         std::to_string(kMaxLibraryRecords) + "条，不能使用。";
}

std::size_t file_records_over_limit(const std::filesystem::path& path, std::size_t record_length) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return 0;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  return ec ? 0 : records_over_limit(size, record_length);
}

}  // namespace wb
