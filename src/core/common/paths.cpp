#include "core/common/paths.h"

#include "core/common/gbk.h"

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

bool is_utf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    std::size_t len = 0;
    char32_t cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    }
    if (c >= 0xC2 && c <= 0xDF) len = 2, cp = c & 0x1Fu;
    else if (c >= 0xE0 && c <= 0xEF) len = 3, cp = c & 0x0Fu;
    else if (c >= 0xF0 && c <= 0xF4) len = 4, cp = c & 0x07u;
    else return false;
    if (bytes.size() - i < len) return false;
    for (std::size_t k = 1; k < len; ++k) {
      const auto t = static_cast<unsigned char>(bytes[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3Fu);
    }
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += len;
  }
  return true;
}

std::string file_name_text(std::string_view bytes) {
  return is_utf8(bytes) ? std::string(bytes) : gbk_to_utf8(bytes);
}

std::string path_shown_text(const fs::path& p) {
  std::string out;
  for (const fs::path& part : p) {
    const std::string name = path_text(part);
    if (!out.empty() && out.back() != '/') out += '/';
    out += file_name_text(name);
  }
  return out;
}

}  // namespace wb
