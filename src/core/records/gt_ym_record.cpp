#include "core/records/gt_ym_record.h"

#include "core/common/record_fields.h"
#include "core/common/trim.h"

namespace wb {

Bytes GtYmRecord::encode() const {
  Bytes b(kGtYmRecordSize, ' ');
  ByteWriter w(b);
  put_text_field(w, 0, 16, well_name);
  put_text_field(w, 16, 20, block_unit);
  put_text_field(w, 36, 20, cyj_model);
  put_text_field(w, 56, 20, motor_model);
  for (std::size_t k = 0; k < kGtYmValCount; ++k) put_text_field(w, 76 + kGtYmValWidth * k, kGtYmValWidth, vals[k]);
  put_raw_field(w, 604, crlf);
  return b;
}

bool GtYmRecord::decode(const Bytes& b) {
  if (b.size() < kGtYmRecordSize) return false;
  ByteReader r(b);
  well_name = get_text_field(r, 0, 16);
  block_unit = get_text_field(r, 16, 20);
  cyj_model = get_text_field(r, 36, 20);
  motor_model = get_text_field(r, 56, 20);
  for (std::size_t k = 0; k < kGtYmValCount; ++k) vals[k] = get_text_field(r, 76 + kGtYmValWidth * k, kGtYmValWidth);
  get_raw_field(r, 604, crlf);
  return true;
}

std::string GtYmRecord::key_well() const { return trim_blanks(well_name); }
std::string GtYmRecord::key_test() const { return trim_blanks(vals[kValTestDate]); }

std::filesystem::path gt_ym_path(const ProgramFolder& prog) { return prog.sys() / kGtYmFileName; }

bool decode_gt_ym_library(const std::vector<std::uint8_t>& content, std::vector<GtYmRecord>& out) {
  out.clear();
  if (content.size() % kGtYmRecordSize != 0) return false;
  out.reserve(content.size() / kGtYmRecordSize);
  for (std::size_t off = 0; off < content.size(); off += kGtYmRecordSize) {
    Bytes rec(content.begin() + static_cast<std::ptrdiff_t>(off),
              content.begin() + static_cast<std::ptrdiff_t>(off + kGtYmRecordSize));
    out.emplace_back().decode(rec);
  }
  return true;
}

StoreStatus read_gt_ym_records(const std::filesystem::path& lib, std::vector<GtYmRecord>& out) {
  out.clear();
  std::error_code ec;
  if (!std::filesystem::exists(lib, ec)) return ec ? StoreStatus::IoError : StoreStatus::Ok;
  std::vector<std::uint8_t> content;
  if (!std::filesystem::is_regular_file(lib, ec) || !read_file(lib, content)) return StoreStatus::IoError;
  return decode_gt_ym_library(content, out) ? StoreStatus::Ok : StoreStatus::Damaged;
}

}  // namespace wb
