#include "core/records/cyj_mode_catalog.h"

#include <fstream>
#include <string_view>

#include "core/common/gbk.h"
#include "core/common/record_store.h"
#include "core/common/trim.h"

namespace wb {

namespace fs = std::filesystem;

namespace {

// Whether the bytes are well-formed UTF-8 holding at least one multi-byte character: a
// catalogue re-saved by an editor in UTF-8. GBK text with Chinese characters never is
// (its lead bytes 0x81..0xFE are followed by bytes that break the UTF-8 pattern).
bool looks_utf8(std::string_view s) {
  bool multi = false;
  std::size_t i = 0;
  if (s.size() >= 3 && s.substr(0, 3) == "\xEF\xBB\xBF") return true;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || i + len > s.size()) return false;
    for (std::size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    if (len > 1) multi = true;
    i += len;
  }
  return multi;
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string cur;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(cur);
      cur.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) lines.push_back(cur);
  return lines;
}

// Leading blanks removed (the key may be indented); trailing ones stay.
std::string_view ltrim_blanks(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  return s.substr(i);
}

bool starts_with(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

std::vector<std::string> split_strokes(std::string_view values) {
  static constexpr std::string_view kWideComma = "，";
  std::vector<std::string> out;
  std::string cur;
  std::size_t i = 0;
  while (i < values.size()) {
    if (values[i] == ',') {
      out.push_back(cur);
      cur.clear();
      ++i;
    } else if (starts_with(values.substr(i), kWideComma)) {
      out.push_back(cur);
      cur.clear();
      i += kWideComma.size();
    } else {
      cur += values[i++];
    }
  }
  out.push_back(cur);
  return out;
}

}  // namespace

CyjModeCatalog CyjModeCatalog::parse(std::span<const std::uint8_t> bytes) {
  std::string raw(bytes.begin(), bytes.end());
  std::string text;
  if (looks_utf8(raw))
    text = raw.size() >= 3 && raw.compare(0, 3, "\xEF\xBB\xBF") == 0 ? raw.substr(3) : raw;
  else
    text = gbk_to_utf8(raw);

  CyjModeCatalog cat;
  bool in_block = false;
  for (const std::string& line : split_lines(text)) {
    const std::string trimmed = trim_blanks(line);
    if (trimmed.empty()) {
      in_block = false;
      continue;
    }
    const std::string_view lead = ltrim_blanks(line);
    if (starts_with(lead, kCyjModeKey)) {
      cat.blocks.push_back({std::string(lead.substr(std::string_view(kCyjModeKey).size())), false, {}});
      in_block = true;
    } else if (in_block && starts_with(lead, kCyjStrokeKey) && !cat.blocks.back().has_stroke_line) {
      CyjModeBlock& b = cat.blocks.back();
      b.has_stroke_line = true;
      // The values as written: the trailing blanks of the line are not part of the last one.
      std::string_view values = std::string_view(trimmed).substr(std::string_view(kCyjStrokeKey).size());
      b.strokes = split_strokes(values);
    }
  }
  return cat;
}

CyjModeCatalog CyjModeCatalog::read(const fs::path& file) {
  std::vector<std::uint8_t> content;
  if (!read_file(file, content)) return {};
  return parse(content);
}

std::vector<std::string> CyjModeCatalog::models() const {
  std::vector<std::string> out;
  out.reserve(blocks.size());
  for (const auto& b : blocks) out.push_back(b.name);
  return out;
}

std::vector<std::string> CyjModeCatalog::unique_models() const {
  std::vector<std::string> out;
  for (const auto& b : blocks) {
    const std::string key = trim_blanks(b.name);
    bool seen = false;
    for (const auto& o : out) seen = seen || trim_blanks(o) == key;
    if (!seen) out.push_back(b.name);
  }
  return out;
}

const CyjModeBlock* CyjModeCatalog::find(const std::string& name) const {
  const std::string key = trim_blanks(name);
  for (const auto& b : blocks)
    if (trim_blanks(b.name) == key) return &b;
  return nullptr;
}

fs::path cyj_mode_path(const ProgramFolder& prog) {
  const fs::path exact = prog.sys() / kCyjModeFileName;
  std::error_code ec;
  if (fs::exists(exact, ec)) return exact;
  const auto names = list_files(prog.sys(), kCyjModeFileName);
  return names.empty() ? exact : prog.sys() / u8path(names.front());
}

StoreStatus ensure_cyj_mode_file(const ProgramFolder& prog) {
  const fs::path p = cyj_mode_path(prog);
  std::error_code ec;
  if (fs::exists(p, ec)) return fs::is_regular_file(p, ec) ? StoreStatus::Ok : StoreStatus::IoError;
  if (ec) return StoreStatus::IoError;
  std::ofstream out(p, std::ios::binary);
  return out ? StoreStatus::Ok : StoreStatus::IoError;
}

}  // namespace wb
