#include "core/common/number_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace wb {
namespace {

// Digits of |v| rounded to `prec` significant digits, trailing zeros removed, in the
// fixed notation, or in the scientific one (1.5E+07) when the exponent reaches `prec` or
// falls below -prec.
std::string format_sig(double v, int prec, bool print_form) {
  if (std::isnan(v)) return "NaN";
  if (std::isinf(v)) return v < 0 ? "-Inf" : (print_form ? " Inf" : "Inf");
  bool neg = std::signbit(v) && v != 0.0;
  double a = std::fabs(v);
  std::string body;
  if (a == 0.0) {
    body = "0";
  } else {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", prec - 1, a);
    // buf: d.ddddde[+-]XX
    std::string s(buf);
    auto epos = s.find('e');
    int exp10 = std::atoi(s.c_str() + epos + 1);
    std::string digits;
    for (std::size_t i = 0; i < epos; ++i)
      if (std::isdigit(static_cast<unsigned char>(s[i]))) digits.push_back(s[i]);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    if (exp10 >= prec || exp10 < -prec) {
      body = digits.substr(0, 1);
      if (digits.size() > 1) body += "." + digits.substr(1);
      char e[16];
      std::snprintf(e, sizeof e, "E%c%02d", exp10 < 0 ? '-' : '+', std::abs(exp10));
      body += e;
    } else if (exp10 >= 0) {
      std::string ip = digits.substr(0, std::min<std::size_t>(digits.size(), exp10 + 1));
      while (static_cast<int>(ip.size()) < exp10 + 1) ip.push_back('0');
      std::string fp = digits.size() > static_cast<std::size_t>(exp10 + 1) ? digits.substr(exp10 + 1) : "";
      body = fp.empty() ? ip : ip + "." + fp;
    } else {
      std::string fp(static_cast<std::size_t>(-exp10 - 1), '0');
      fp += digits;
      body = (print_form ? "" : "0") + std::string(".") + fp;
    }
  }
  if (neg) return "-" + body;
  return print_form ? " " + body : body;
}

// Reads [+-]digits[.digits][e[+-]digits] as a whole. strtod would take the decimal point
// of the process locale, and a Qt application runs in the user's locale ("12,5" in some),
// so the digits go through from_chars, which always reads ".". An exponent beyond the
// range of a double underflows to 0 or overflows to infinity, as strtod would.
double parse_decimal(const std::string& s, bool& whole) {
  const char* b = s.data();
  const char* e = b + s.size();
  bool neg = false;
  if (b < e && (*b == '+' || *b == '-')) neg = *b++ == '-';
  whole = false;
  if (b == e || *b == '+' || *b == '-') return 0.0;
  double v = 0.0;
  auto r = std::from_chars(b, e, v, std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range) {
    // Decimal magnitude: digits before the point (less leading zeros), or minus the zeros
    // after it, plus the exponent. Negative means the value was too small.
    long long mag = 0, exp = 0;
    const char* p = b;
    while (p < r.ptr && *p == '0') ++p;
    while (p < r.ptr && std::isdigit(static_cast<unsigned char>(*p))) ++p, ++mag;
    if (mag == 0 && p < r.ptr && *p == '.') {
      ++p;
      while (p < r.ptr && *p == '0') ++p, --mag;
    }
    const char* ep = b;
    while (ep < r.ptr && *ep != 'e' && *ep != 'E') ++ep;
    // strtoll saturates a longer exponent; the clamp keeps the sum below from overflowing
    // (the digits of a text are far fewer than 10^15).
    if (ep < r.ptr) exp = std::clamp<long long>(std::strtoll(ep + 1, nullptr, 10), -1000000000000000LL, 1000000000000000LL);
    v = mag + exp < 0 ? 0.0 : std::numeric_limits<double>::infinity();
  } else if (r.ec != std::errc()) {
    return 0.0;
  }
  whole = r.ptr == e;
  return neg ? -v : v;
}

}  // namespace

std::string num_text(double v) { return format_sig(v, 15, false); }
std::string num_text_f(float v) { return format_sig(static_cast<double>(v), 7, false); }
std::string num_print(double v) { return format_sig(v, 15, true); }
std::string num_print_f(float v) { return format_sig(static_cast<double>(v), 7, true); }

std::string num_text_2dp(double v) {
  if (!std::isfinite(v)) return num_text(v);
  // 15 significant digits d0.d1…d14 × 10^exp10.
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(v));
  std::string s(buf);
  auto epos = s.find('e');
  int exp10 = std::atoi(s.c_str() + epos + 1);
  std::string digits;
  for (std::size_t i = 0; i < epos; ++i)
    if (std::isdigit(static_cast<unsigned char>(s[i]))) digits.push_back(s[i]);
  // The digits of |v|·100 before its point, then the first digit after it decides the half.
  const int keep = exp10 + 3;
  std::string hundredths;
  char next = '0';
  if (keep >= 0) {
    if (keep >= static_cast<int>(digits.size())) {
      hundredths = digits + std::string(static_cast<std::size_t>(keep) - digits.size(), '0');
    } else {
      hundredths = digits.substr(0, static_cast<std::size_t>(keep));
      next = digits[static_cast<std::size_t>(keep)];
    }
  }
  if (next >= '5') {
    int i = static_cast<int>(hundredths.size()) - 1;
    while (i >= 0 && hundredths[static_cast<std::size_t>(i)] == '9') hundredths[static_cast<std::size_t>(i--)] = '0';
    if (i < 0) hundredths.insert(hundredths.begin(), '1');
    else ++hundredths[static_cast<std::size_t>(i)];
  }
  while (hundredths.size() < 3) hundredths.insert(hundredths.begin(), '0');
  std::string whole = hundredths.substr(0, hundredths.size() - 2);
  std::string frac = hundredths.substr(hundredths.size() - 2);
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
  while (!frac.empty() && frac.back() == '0') frac.pop_back();
  const bool zero = whole.empty() && frac.empty();
  return (v < 0 && !zero ? "-" : "") + whole + "." + frac;
}

double num_val(std::string_view t) { return num_val_checked(t).value_or(0.0); }

std::optional<double> num_val_checked(std::string_view t) {
  std::size_t i = 0;
  while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
  std::string s;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) s.push_back(t[i++]);
  bool digits = false;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) { s.push_back(t[i++]); digits = true; }
  if (i < t.size() && t[i] == '.') {
    s.push_back(t[i++]);
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) { s.push_back(t[i++]); digits = true; }
  }
  if (!digits) return 0.0;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E' || t[i] == 'd' || t[i] == 'D')) {
    std::size_t j = i + 1;
    std::string e = "e";
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) e.push_back(t[j++]);
    bool ed = false;
    while (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j]))) { e.push_back(t[j++]); ed = true; }
    if (ed) s += e;
  }
  bool whole = false;
  double v = parse_decimal(s, whole);
  if (!whole) return 0.0;
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<double> num_parse(std::string_view t) {
  std::size_t b = 0, e = t.size();
  while (b < e && (t[b] == ' ' || t[b] == '\t')) ++b;
  while (e > b && (t[e - 1] == ' ' || t[e - 1] == '\t')) --e;
  if (b == e) return std::nullopt;
  std::string s(t.substr(b, e - b));
  for (char& c : s)
    if (c == 'd' || c == 'D') c = 'e';
  // Reject what strtod would take but a number box should not (hex, inf, nan).
  for (char c : s)
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '+' || c == '-' || c == 'e' || c == 'E'))
      return std::nullopt;
  bool whole = false;
  double v = parse_decimal(s, whole);
  if (!whole || !std::isfinite(v)) return std::nullopt;
  return v;
}

double round_dec(double x, int k) {
  double p = std::pow(10.0, k);
  return std::floor(x * p + 0.5) / p;
}

long long round_even(double x) {
  // Converting a NaN or an out-of-range real to an integer is undefined: clamp instead.
  if (std::isnan(x)) return 0;
  double r = std::nearbyint(x);
  if (r >= 9223372036854775807.0) return LLONG_MAX;
  if (r <= -9223372036854775808.0) return LLONG_MIN;
  return static_cast<long long>(r);
}

std::optional<short> to_i16(double x) {
  if (!std::isfinite(x)) return std::nullopt;
  double r = std::nearbyint(x);
  if (r < -32768.0 || r > 32767.0) return std::nullopt;
  return static_cast<short>(r);
}

float to_single(double x) {
  if (std::isfinite(x) && std::fabs(x) > static_cast<double>(std::numeric_limits<float>::max()))
    return x > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
  return static_cast<float>(x);
}

std::string num_text_dec(double x, int k) { return num_text(round_dec(x, k)); }

}  // namespace wb
