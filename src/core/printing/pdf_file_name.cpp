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

// The first `bytes` bytes of a UTF-8 text, never half a character.
std::string utf8_first_bytes(const std::string& s, std::size_t bytes) {
  if (s.size() <= bytes) return s;
  std::size_t n = bytes;
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return s.substr(0, n);
}

// What a proposed name adds to its well and report at most: "_", " (9999)" and ".pdf".
constexpr std::size_t kAddedBytes = 1 + 7 + 4;

}  // namespace

std::string proposed_pdf_name(const std::filesystem::path& folder, std::string_view well, std::string_view report) {
  std::string w = file_name_part(well);
  std::string r = file_name_part(report);
  if (r.empty()) r = "打印";
  // A file name holds at most 255 bytes: a long well is shortened (the report name is kept
  // whole) so that the proposal, numbered or not, can be created.
  r = utf8_first_bytes(r, kMaxFileNameBytes - kAddedBytes);
  w = utf8_first_bytes(w, kMaxFileNameBytes - kAddedBytes - r.size());
  const std::string stem = print_job_name(w, r);  // the job and the file go by one name
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

std::string one_well_of(const std::vector<std::string>& wells) {
  if (wells.empty()) return {};
  const std::string well = trim_blanks(wells.front());
  for (const std::string& w : wells)
    if (trim_blanks(w) != well) return {};
  return well;
}

}  // namespace wb
