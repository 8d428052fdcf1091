#include "core/records/gt_ym_record.h"

#include <tuple>

#include "core/common/record_layout.h"
#include "core/common/trim.h"

namespace wb {

namespace {

// A text record: fields padded with blanks, a line of its own.
constexpr FieldCodec<GtYmRecord> kGtYmFields[] = {
    text<&GtYmRecord::well_name>("well_name", 0, 16),
    text<&GtYmRecord::block_unit>("block_unit", 16, 20),
    text<&GtYmRecord::cyj_model>("cyj_model", 36, 20),
    text<&GtYmRecord::motor_model>("motor_model", 56, 20),
    text<&GtYmRecord::vals>("vals", 76, kGtYmValWidth),
    field<&GtYmRecord::crlf>("crlf", 604),
};
constexpr RecordLayout<GtYmRecord> kGtYmLayout = record_layout<kGtYmFields>(kGtYmRecordSize, ' ');

}  // namespace

const RecordLayout<GtYmRecord>& GtYmRecord::layout() { return kGtYmLayout; }
Bytes GtYmRecord::encode() const { return kGtYmLayout.encode(*this); }
bool GtYmRecord::decode(const Bytes& b) { return kGtYmLayout.decode(b, *this); }

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
    std::ignore = out.emplace_back().decode(rec);  // rec is one whole record
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
