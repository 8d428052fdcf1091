#include "core/records/gt_ym_record.h"

#include <tuple>

#include "core/common/record_layout.h"
#include "core/common/trim.h"
#include "core/records/gt_ym_fields.h"

namespace wb {

namespace {

// A text record: fields padded with blanks, a line of its own; where each lies is its row of
// kGtYmFields (the vals one after the other, which the table asserts).
template <auto M>
constexpr FieldCodec<GtYmRecord> text_at(std::size_t row) {
  return text<M>(kGtYmFields[row].name, kGtYmFields[row].offset, kGtYmFields[row].width);
}
constexpr FieldCodec<GtYmRecord> kGtYmCodec[] = {
    text_at<&GtYmRecord::well_name>(0),
    text_at<&GtYmRecord::block_unit>(1),
    text_at<&GtYmRecord::cyj_model>(2),
    text_at<&GtYmRecord::motor_model>(3),
    text<&GtYmRecord::vals>("vals", gt_ym_val_field(0).offset, kGtYmValWidth),
    field<&GtYmRecord::crlf>("crlf", kGtYmLineEndOffset),
};
constexpr RecordLayout<GtYmRecord> kGtYmLayout = record_layout<kGtYmCodec>(kGtYmRecordSize, ' ');

// The members of rows 0 … 3.
constexpr std::string GtYmRecord::* kTextMembers[kGtYmFirstVal] = {&GtYmRecord::well_name, &GtYmRecord::block_unit,
                                                                   &GtYmRecord::cyj_model, &GtYmRecord::motor_model};

}  // namespace

const RecordLayout<GtYmRecord>& GtYmRecord::layout() { return kGtYmLayout; }
Bytes GtYmRecord::encode() const { return kGtYmLayout.encode(*this); }
bool GtYmRecord::decode(const Bytes& b) { return kGtYmLayout.decode(b, *this); }

std::string& gt_ym_field_text(GtYmRecord& r, std::size_t i) {
  return i < kGtYmFirstVal ? r.*kTextMembers[i] : r.vals[i - kGtYmFirstVal];
}
const std::string& gt_ym_field_text(const GtYmRecord& r, std::size_t i) {
  return i < kGtYmFirstVal ? r.*kTextMembers[i] : r.vals[i - kGtYmFirstVal];
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
