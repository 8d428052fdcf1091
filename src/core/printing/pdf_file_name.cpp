#include "core/printing/pdf_file_name.h"

#include <system_error>

#include "core/common/paths.h"
#include "core/common/trim.h"

namespace wb {
namespace {

std::string file_name_part(std::string_view s) {
  std::string out = trim_blanks(s.substr(0, s.find('\0')));  // fixed-width fields end in NULs
  for (char& c : out) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos) c = '_';
  }
  return out;
}

}  // namespace

std::string proposed_pdf_name(const std::filesystem::path& folder, std::string_view well, std::string_view report) {
  const std::string w = file_name_part(well);
  std::string r = file_name_part(report);
  if (r.empty()) r = "打印";
  const std::string stem = w.empty() ? r : w + "_" + r;
  std::string name = stem + ".pdf";
  std::error_code ec;
  for (int n = 2; n < 10000 && std::filesystem::exists(folder / u8path(name), ec); ++n)
    name = stem + " (" + std::to_string(n) + ").pdf";
  return name;
}

std::string print_job_name(std::string_view well, std::string_view report) {
  if (well.empty()) return std::string(report);
  return std::string(well) + "_" + std::string(report);
}

}  // namespace wb
