#include "core/diagnosis/bgt_record.h"

#include <algorithm>

#include "core/common/gbk.h"
#include "core/common/record_layout.h"

namespace wb {

namespace {

constexpr FieldCodec<BgtRecord> kBgtFields[] = {
    text<&BgtRecord::well_name>("well_name", 0, kBgtWellNameWidth),
    text<&BgtRecord::test_date>("test_date", 16, kBgtTestDateWidth),
    text<&BgtRecord::params>("params", 31, kBgtParamWidth),
    text<&BgtRecord::diag_text, advice_for_field>("diag_text", 343, kBgtDiagTextWidth),
    field<&BgtRecord::card>("card", 631),
    field<&BgtRecord::reserved_1143>("reserved_1143", 1143),
    field<&BgtRecord::reserved_1203>("reserved_1203", 1203),
    text<&BgtRecord::diag_params>("diag_params", 1207, kBgtDiagParamWidth),
    text<&BgtRecord::cyj_model>("cyj_model", 1271, 20),
    text<&BgtRecord::plunger_stroke>("plunger_stroke", 1291, 8),
    text<&BgtRecord::motor_model>("motor_model", 1299, 20),
    text<&BgtRecord::wellhead_temp>("wellhead_temp", 1319, 8),
    field<&BgtRecord::powers>("powers", 1327),
    field<&BgtRecord::reserved_1343>("reserved_1343", 1343),
    fixed<BgtRecord>("line_end", 1443, "\r\n"),
};
// A fresh record is blank where no field says otherwise.
constexpr RecordLayout<BgtRecord> kBgtLayout = record_layout<kBgtFields>(kBgtRecordSize, ' ');

}  // namespace

BgtRecord::BgtRecord() {
  reserved_1143.fill(' ');
  reserved_1203.fill(' ');
  reserved_1343.fill(' ');
}

const RecordLayout<BgtRecord>& BgtRecord::layout() { return kBgtLayout; }
Bytes BgtRecord::encode() const { return kBgtLayout.encode(*this); }
bool BgtRecord::decode(const Bytes& b) { return kBgtLayout.decode(b, *this); }

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
