#include "core/records/gt_ym_checks.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <optional>

#include "core/common/bytes.h"
#include "core/common/trim.h"
#include "core/records/gt_ym_fields.h"

namespace wb {
namespace {



// The number the windows read from a stored text (the numeric prefix, as num_val), with an
// exponent beyond the double range giving ±inf where num_val gives 0. Empty when the text
// does not begin with a number. Parsed in place: the statistics table checks every cell.
std::optional<double> leading_number(std::string_view t) {
  std::size_t i = 0;
  while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
  char buf[64];
  std::size_t n = 0;
  auto put = [&](char c) {
    if (n < sizeof buf) buf[n++] = c;
  };
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  if (negative) put('-');
  bool digits = false;
  auto take_digits = [&] {
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) {
      put(t[i++]);
      digits = true;
    }
  };
  take_digits();
  if (i < t.size() && t[i] == '.') {
    put(t[i++]);
    take_digits();
  }
  if (!digits || n == sizeof buf) return std::nullopt;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E' || t[i] == 'd' || t[i] == 'D')) {
    std::size_t j = i + 1;
    const std::size_t mark = n;
    put('e');
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) put(t[j++]);
    bool ed = false;
    while (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j]))) {
      put(t[j++]);
      ed = true;
    }
    if (!ed) n = mark;
  }
  // No field of 12 characters fills the buffer: a mantissa that does is refused above, an
  // exponent cut short by it is read as far as it went.
  double v = 0;
  const auto [end, ec] = std::from_chars(buf, buf + n, v);
  if (ec == std::errc::result_out_of_range) {
    // Too large (or too small, which reads as 0): tell them apart by the exponent's sign.
    const char* e = std::find(buf, buf + n, 'e');
    const bool tiny = e + 1 < buf + n && e[1] == '-';
    return tiny ? 0.0 : (negative ? -HUGE_VAL : HUGE_VAL);
  }
  if (ec != std::errc()) return std::nullopt;
  return v;
}

// "nan" or "inf" (any case, after a sign): a non-finite value as a C library writes it.
bool names_non_finite(std::string_view s) {
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) s.remove_prefix(1);
  if (s.size() < 3) return false;
  std::string head;
  for (char ch : s.substr(0, 3)) head.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(ch))));
  return head == "nan" || head == "inf";
}

// A text that begins with a number must hold one within lo … hi. Other text (a word the
// user typed) reads as 0 in every window and is shown as it is, except the names of
// non-finite values.
bool number_sound(std::string_view t, double lo, double hi) {
  std::string_view s = t;
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  if (s.empty()) return true;
  const auto v = leading_number(s);
  if (!v) return !names_non_finite(s);
  return std::isfinite(*v) && *v >= lo && *v <= hi;
}

}  // namespace

bool shows_non_finite(std::string_view text) {
  std::string_view s = text;
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  const auto v = leading_number(s);
  return v ? !std::isfinite(*v) : names_non_finite(s);
}

const char* gt_ym_field_name(std::size_t k) { return k < kGtYmValCount ? gt_ym_val_field(k).caption : ""; }

bool gt_ym_val_sound(std::size_t k, std::string_view text) {
  if (k >= kGtYmValCount) return false;
  const GtYmField& l = gt_ym_val_field(k);
  switch (l.form) {
    case GtYmForm::Text: return true;
    case GtYmForm::Number: return number_sound(text, l.lo, l.hi);
    case GtYmForm::Pair: {
      const std::size_t slash = text.find('/');
      if (slash == std::string_view::npos) return number_sound(text, l.lo, l.hi);
      return number_sound(text.substr(0, slash), l.lo, l.hi) && number_sound(text.substr(slash + 1), l.lo, l.hi2);
    }
  }
  return false;
}

namespace {

// GBK text as this program writes it: no NUL, every lead byte 0x81 … 0xFE followed by a
// trail byte 0x40 … 0xFE other than 0x7F; 0x80 stands alone (the euro sign), 0xFF never.
bool gbk_text(std::span<const std::uint8_t> b) {
  constexpr std::uint64_t kLow = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
  for (std::size_t i = 0; i < b.size(); ++i) {
    // Eight ASCII bytes without a NUL at a time: most of a record is digits and blanks.
    while (i + 8 <= b.size()) {
      std::uint64_t w;
      std::memcpy(&w, b.data() + i, 8);
      if ((w & kHigh) != 0 || ((w - kLow) & ~w & kHigh) != 0) break;
      i += 8;
    }
    if (i >= b.size()) break;
    const std::uint8_t c = b[i];
    if (c == 0 || c == 0xFF) return false;
    if (c < 0x81) continue;
    if (i + 1 >= b.size()) return false;
    const std::uint8_t t = b[++i];
    if (t < 0x40 || t == 0x7F || t == 0xFF) return false;
  }
  return true;
}

bool has_nul(const std::string& s) { return s.find('\0') != std::string::npos; }

}  // namespace

std::optional<Refusal> gt_ym_refusal(std::span<const std::uint8_t> raw) {
  if (raw.size() != kGtYmRecordSize || !gt_ym_line_end_sound(raw[kGtYmRecordSize - 2], raw[kGtYmRecordSize - 1]))
    return Refusal("行尾不是回车换行，不是系统效率记录");
  if (!gbk_text(raw.first(kGtYmRecordSize - 2))) return Refusal("含有空字节或不成文字的字节，不是系统效率记录");
  return std::nullopt;
}

GtYmCheck check_gt_ym_record(const GtYmRecord& r, std::span<const std::uint8_t> raw) {
  GtYmCheck c;
  if (!raw.empty()) {
    if (std::optional<Refusal> refused = gt_ym_refusal(raw)) c.refusal = std::move(refused->message);
  } else if (!gt_ym_line_end_sound(r.crlf[0], r.crlf[1])) {
    c.refusal = "行尾不是回车换行，不是系统效率记录";
  } else {
    bool nul = has_nul(r.well_name) || has_nul(r.block_unit) || has_nul(r.cyj_model) || has_nul(r.motor_model);
    for (const std::string& v : r.vals) nul = nul || has_nul(v);
    if (nul) c.refusal = "含有空字节或不成文字的字节，不是系统效率记录";
  }
  if (!c.usable()) return c;
  for (std::size_t k = 0; k < kGtYmValCount; ++k)
    if (!gt_ym_val_sound(k, r.vals[k])) c.damaged.push_back(k);
  return c;
}

void blank_damaged_fields(GtYmRecord& r, const GtYmCheck& c) {
  for (std::size_t k : c.damaged)
    if (k < kGtYmValCount) r.vals[k].clear();
}

namespace {

// The records whose checks found something, numbered from 1 as the file holds them.
std::vector<GtYmFinding> findings_of(const std::vector<GtYmRecord>& records, std::vector<GtYmCheck>& checks) {
  std::vector<GtYmFinding> out;
  for (std::size_t i = 0; i < records.size(); ++i)
    if (!checks[i].sound()) out.push_back({i + 1, trim_blanks(records[i].well_name), std::move(checks[i])});
  return out;
}

}  // namespace

std::vector<GtYmFinding> check_gt_ym_records(const std::vector<GtYmRecord>& records) {
  std::vector<GtYmCheck> checks;
  checks.reserve(records.size());
  for (const GtYmRecord& r : records) checks.push_back(check_gt_ym_record(r));
  return findings_of(records, checks);
}

StoreStatus read_checked_gt_ym_records(const std::filesystem::path& lib, std::vector<GtYmRecord>& records,
                                       std::vector<GtYmCheck>& checks) {
  records.clear();
  checks.clear();
  std::error_code ec;
  if (!std::filesystem::exists(lib, ec)) return ec ? StoreStatus::IoError : StoreStatus::Ok;
  std::vector<std::uint8_t> content;
  if (!std::filesystem::is_regular_file(lib, ec) || !read_file(lib, content)) return StoreStatus::IoError;
  if (!decode_gt_ym_library(content, records)) return StoreStatus::Damaged;
  checks.reserve(records.size());
  for (std::size_t i = 0; i < records.size(); ++i)
    checks.push_back(check_gt_ym_record(
        records[i], std::span<const std::uint8_t>(content).subspan(i * kGtYmRecordSize, kGtYmRecordSize)));
  return StoreStatus::Ok;
}

std::vector<GtYmFinding> check_gt_ym_library(const std::filesystem::path& lib) {
  std::vector<GtYmRecord> records;
  std::vector<GtYmCheck> checks;
  if (read_checked_gt_ym_records(lib, records, checks) != StoreStatus::Ok) return {};
  return findings_of(records, checks);
}

std::string gt_ym_findings_text(const std::vector<GtYmFinding>& findings, const std::string& path) {
  if (findings.empty()) return {};
  std::size_t refused = 0;
  for (const GtYmFinding& f : findings) refused += f.check.usable() ? 0 : 1;
  std::string s = "系统效率数据 " + path + " 中有 " + std::to_string(findings.size()) + " 条记录已损坏：";
  for (std::size_t i = 0; i < findings.size() && i < kGtYmFindingsListed; ++i) {
    const GtYmFinding& f = findings[i];
    s += "\n・第 " + std::to_string(f.record) + " 条记录";
    // A well name that is no text line (a shifted or foreign record) is not repeated.
    if (!f.well.empty() && f.check.usable()) s += "（" + f.well + "）";
    if (!f.check.usable()) {
      s += "：" + f.check.refusal + "，不予显示。";
      continue;
    }
    s += "：";
    for (std::size_t j = 0; j < f.check.damaged.size(); ++j) s += (j ? "、" : "") + std::string(gt_ym_field_name(f.check.damaged[j]));
    s += " 不是可能的数值或文字，显示为空白。";
  }
  if (findings.size() > kGtYmFindingsListed)
    s += "\n……另有 " + std::to_string(findings.size() - kGtYmFindingsListed) + " 条记录有误。";
  if (refused == findings.size() && refused > 1) s += "\n该文件可能不是系统效率数据文件。";
  return s;
}

std::string gt_ym_rewrite_question(const std::vector<std::size_t>& damaged) {
  std::string names;
  for (std::size_t j = 0; j < damaged.size(); ++j) names += (j ? "、" : "") + std::string(gt_ym_field_name(damaged[j]));
  return "当前记录读入时 " + names + " 已损坏，显示为空白；存入后原有内容将被空白代替。\n\n仍要存入库吗？";
}

}  // namespace wb
