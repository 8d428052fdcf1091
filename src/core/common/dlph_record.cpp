#include "core/common/dlph_record.h"

#include "core/common/gbk.h"

namespace wb {
namespace {

void put_text(ByteWriter& w, std::size_t off, std::size_t len, const std::string& utf8) {
  std::string g = gbk_field(utf8, len);
  w.raw(off, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(g.data()), g.size()));
}

}  // namespace

Bytes DlPhRecord::encode() const {
  Bytes b(kDlPhRecordSize, 0);
  ByteWriter w(b);
  put_text(w, 0, 16, well_name);
  put_text(w, 16, 12, test_date);
  put_text(w, 28, 30, cyj_model);
  put_text(w, 58, 16, motor_model);
  w.f32(74, real_stroke);
  w.f32(78, real_spm);
  w.i16(82, crank_blocks);
  w.f32(84, crank_block_pos);
  w.f32(88, crank_block_wt);
  w.raw(92, reserved_92);
  put_text(w, 96, 600, balance_advice);
  w.f32_array(696, dn_cs.data(), dn_cs.size());
  w.f32(760, sys_effi);
  w.raw(764, reserved_764);
  return b;
}

bool DlPhRecord::decode(const Bytes& b) {
  if (b.size() < kDlPhRecordSize) return false;
  ByteReader r(b);
  well_name = gbk_field_text(r.raw(0, 16));
  test_date = gbk_field_text(r.raw(16, 12));
  cyj_model = gbk_field_text(r.raw(28, 30));
  motor_model = gbk_field_text(r.raw(58, 16));
  real_stroke = r.f32(74);
  real_spm = r.f32(78);
  crank_blocks = r.i16(82);
  crank_block_pos = r.f32(84);
  crank_block_wt = r.f32(88);
  auto r92 = r.raw(92, 4);
  std::copy(r92.begin(), r92.end(), reserved_92.begin());
  balance_advice = gbk_field_text(r.raw(96, 600));
  r.f32_array(696, dn_cs.data(), dn_cs.size());
  sys_effi = r.f32(760);
  auto r764 = r.raw(764, 500);
  std::copy(r764.begin(), r764.end(), reserved_764.begin());
  return true;
}

DataType& data_type() {
  static DataType instance;
  return instance;
}

}  // namespace wb
