#include "core/common/paths.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace wb {

namespace fs = std::filesystem;

void ProgramFolder::create_folders() const {
  for (const auto& p : {data(), sys(), image(), report()}) {
    std::error_code ec;
    if (!fs::is_directory(p, ec)) fs::create_directories(p, ec);
  }
}

bool file_stem_stays_in_folder(std::string_view name) {
  if (name.empty()) return false;
  if (name.find("..") != std::string_view::npos) return false;
  for (char c : name) {
    auto u = static_cast<unsigned char>(c);
    if (c == '/' || c == '\\' || u < 32) return false;
  }
  return name != ".";
}

bool is_safe_file_stem(std::string_view name, std::size_t suffix_bytes) {
  return file_stem_stays_in_folder(name) && name.size() + suffix_bytes <= kMaxFileNameBytes;
}

bool file_stem_too_long(std::string_view name, std::size_t suffix_bytes) {
  return file_stem_stays_in_folder(name) && name.size() + suffix_bytes > kMaxFileNameBytes;
}

std::string well_name_too_long_text(std::string_view well) {
  return "井号“" + std::string(well) + "”太长，用作文件名超过255字节，请缩短井号后再试。";
}

namespace {
bool match_from(std::string_view p, std::string_view n) {
  std::size_t pi = 0, ni = 0, star = std::string_view::npos, mark = 0;
  auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == '?' || lower(p[pi]) == lower(n[ni]))) {
      ++pi;
      ++ni;
    } else if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      mark = ni;
    } else if (star != std::string_view::npos) {
      pi = star + 1;
      ni = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}
}  // namespace

bool wildcard_match(std::string_view pattern, std::string_view name) { return match_from(pattern, name); }

std::vector<std::string> list_files(const fs::path& dir, std::string_view pattern) {
  std::vector<std::string> out;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code e2;
    if (!it->is_regular_file(e2)) continue;
    std::string name = path_text(it->path().filename());
    if (wildcard_match(pattern, name)) out.push_back(name);
  }
  std::sort(out.begin(), out.end(), [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
  });
  return out;
}

fs::path u8path(std::string_view utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string path_text(const fs::path& p) {
  auto s = p.u8string();
  return std::string(s.begin(), s.end());
}

}  // namespace wb
