#include "core/diagnosis/bgt_record.h"

#include <algorithm>

#include "core/common/gbk.h"
#include "core/common/record_fields.h"

namespace wb {

namespace {
constexpr std::size_t kParamsOffset = 31;
constexpr std::size_t kDiagTextOffset = 343;
constexpr std::size_t kCardOffset = 631;
constexpr std::size_t kDiagParamsOffset = 1207;
}  // namespace

BgtRecord::BgtRecord() {
  reserved_1143.fill(' ');
  reserved_1203.fill(' ');
  reserved_1343.fill(' ');
}

Bytes BgtRecord::encode() const {
  Bytes b(kBgtRecordSize, ' ');
  ByteWriter w(b);
  put_text_field(w, 0, kBgtWellNameWidth, well_name);
  put_text_field(w, 16, kBgtTestDateWidth, test_date);
  for (std::size_t k = 0; k < kBgtParamCount; ++k)
    put_text_field(w, kParamsOffset + kBgtParamWidth * k, kBgtParamWidth, params[k]);
  put_text_field(w, kDiagTextOffset, kBgtDiagTextWidth, advice_for_field(diag_text));
  const Bytes c = card.encode();
  w.raw(kCardOffset, c);
  put_raw_field(w, 1143, reserved_1143);
  put_raw_field(w, 1203, reserved_1203);
  for (std::size_t k = 0; k < diag_params.size(); ++k)
    put_text_field(w, kDiagParamsOffset + kBgtDiagParamWidth * k, kBgtDiagParamWidth, diag_params[k]);
  put_text_field(w, 1271, 20, cyj_model);
  put_text_field(w, 1291, 8, plunger_stroke);
  put_text_field(w, 1299, 20, motor_model);
  put_text_field(w, 1319, 8, wellhead_temp);
  w.f32_array(1327, powers.data(), powers.size());
  put_raw_field(w, 1343, reserved_1343);
  b[1443] = 0x0D;
  b[1444] = 0x0A;
  return b;
}

bool BgtRecord::decode(const Bytes& b) {
  if (b.size() < kBgtRecordSize) return false;
  ByteReader r(b);
  well_name = get_text_field(r, 0, kBgtWellNameWidth);
  test_date = get_text_field(r, 16, kBgtTestDateWidth);
  for (std::size_t k = 0; k < kBgtParamCount; ++k)
    params[k] = get_text_field(r, kParamsOffset + kBgtParamWidth * k, kBgtParamWidth);
  diag_text = get_text_field(r, kDiagTextOffset, kBgtDiagTextWidth);
  const auto c = r.raw(kCardOffset, kSgtRecordSize);
  card.decode(Bytes(c.begin(), c.end()));
  get_raw_field(r, 1143, reserved_1143);
  get_raw_field(r, 1203, reserved_1203);
  for (std::size_t k = 0; k < diag_params.size(); ++k)
    diag_params[k] = get_text_field(r, kDiagParamsOffset + kBgtDiagParamWidth * k, kBgtDiagParamWidth);
  cyj_model = get_text_field(r, 1271, 20);
  plunger_stroke = get_text_field(r, 1291, 8);
  motor_model = get_text_field(r, 1299, 20);
  wellhead_temp = get_text_field(r, 1319, 8);
  r.f32_array(1327, powers.data(), powers.size());
  get_raw_field(r, 1343, reserved_1343);
  return true;
}

std::string crlf_line_breaks(std::string_view text) {
  std::string crlf;
  crlf.reserve(text.size() + 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    if (ch == '\r') {
      crlf += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (ch == '\n') {
      crlf += "\r\n";
    } else {
      crlf += ch;
    }
  }
  return crlf;
}

std::string advice_for_field(std::string_view text) {
  const std::string crlf = crlf_line_breaks(text);
  // Cut as the field will (whole characters), then drop a CR whose LF did not fit.
  std::size_t width = 0, kept = 0;
  while (kept < crlf.size()) {
    std::size_t len = 1;
    const auto lead = static_cast<unsigned char>(crlf[kept]);
    if (lead >= 0xF0) len = 4;
    else if (lead >= 0xE0) len = 3;
    else if (lead >= 0xC0) len = 2;
    len = std::min(len, crlf.size() - kept);
    const std::size_t w = gbk_width(std::string_view(crlf).substr(kept, len));
    if (width + w > kBgtDiagTextWidth) break;
    width += w;
    kept += len;
  }
  std::string out = crlf.substr(0, kept);
  if (!out.empty() && out.back() == '\r') out.pop_back();
  return out;
}

}  // namespace wb
