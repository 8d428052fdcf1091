#include "core/common/dlph_record.h"

#include "core/common/record_fields.h"

namespace wb {

Bytes DlPhRecord::encode() const {
  Bytes b(kDlPhRecordSize, 0);
  ByteWriter w(b);
  put_text_field(w, 0, well_name, well_name_raw);
  put_text_field(w, 16, test_date, test_date_raw);
  put_text_field(w, 28, cyj_model, cyj_model_raw);
  put_text_field(w, 58, motor_model, motor_model_raw);
  w.f32(74, real_stroke);
  w.f32(78, real_spm);
  w.i16(82, crank_blocks);
  w.f32(84, crank_block_pos);
  w.f32(88, crank_block_wt);
  put_raw_field(w, 92, reserved_92);
  put_text_field(w, 96, balance_advice, balance_advice_raw);
  w.f32_array(696, dn_cs.data(), dn_cs.size());
  w.f32(760, sys_effi);
  put_raw_field(w, 764, reserved_764);
  return b;
}

bool DlPhRecord::decode(const Bytes& b) {
  if (b.size() < kDlPhRecordSize) return false;
  ByteReader r(b);
  get_text_field(r, 0, well_name, well_name_raw);
  get_text_field(r, 16, test_date, test_date_raw);
  get_text_field(r, 28, cyj_model, cyj_model_raw);
  get_text_field(r, 58, motor_model, motor_model_raw);
  real_stroke = r.f32(74);
  real_spm = r.f32(78);
  crank_blocks = r.i16(82);
  crank_block_pos = r.f32(84);
  crank_block_wt = r.f32(88);
  get_raw_field(r, 92, reserved_92);
  get_text_field(r, 96, balance_advice, balance_advice_raw);
  r.f32_array(696, dn_cs.data(), dn_cs.size());
  sys_effi = r.f32(760);
  get_raw_field(r, 764, reserved_764);
  return true;
}

DataType& data_type() {
  static DataType instance;
  return instance;
}

}  // namespace wb
