#include "core/common/dlph_record.h"

#include "core/common/layout_keys.h"
#include "core/common/record_fields.h"
#include "core/common/record_layout.h"
#include "core/common/trim.h"

namespace wb {

namespace {

constexpr FieldCodec<DlPhRecord> kDlPhFields[] = {
    kept_text<&DlPhRecord::well_name, &DlPhRecord::well_name_raw>("well_name", 0),
    kept_text<&DlPhRecord::test_date, &DlPhRecord::test_date_raw>("test_date", 16),
    kept_text<&DlPhRecord::cyj_model, &DlPhRecord::cyj_model_raw>("cyj_model", 28),
    kept_text<&DlPhRecord::motor_model, &DlPhRecord::motor_model_raw>("motor_model", 58),
    field<&DlPhRecord::real_stroke>("real_stroke", 74),
    field<&DlPhRecord::real_spm>("real_spm", 78),
    field<&DlPhRecord::crank_blocks>("crank_blocks", 82),
    field<&DlPhRecord::crank_block_pos>("crank_block_pos", 84),
    field<&DlPhRecord::crank_block_wt>("crank_block_wt", 88),
    field<&DlPhRecord::reserved_92>("reserved_92", 92),
    kept_text<&DlPhRecord::balance_advice, &DlPhRecord::balance_advice_raw>("balance_advice", 96),
    field<&DlPhRecord::dn_cs>("dn_cs", 696),
    field<&DlPhRecord::sys_effi>("sys_effi", 760),
    field<&DlPhRecord::reserved_764>("reserved_764", 764),
};
constexpr RecordLayout<DlPhRecord> kDlPhLayout = record_layout<kDlPhFields>(kDlPhRecordSize, 0);

}  // namespace

const RecordLayout<DlPhRecord>& DlPhRecord::layout() { return kDlPhLayout; }
Bytes DlPhRecord::encode() const { return kDlPhLayout.encode(*this); }
bool DlPhRecord::decode(const Bytes& b) { return kDlPhLayout.decode(b, *this); }

DataType& data_type() {
  static DataType instance;
  return instance;
}

KeyMatch dlph_key_match(const std::string& well, const std::string& test) {
  static const RecordKeyFields kKeys = record_key_fields(DlPhRecord::layout());
  return KeyMatch({{kKeys.well(), well}, {kKeys.test(), test}}, KeyTrim::BlanksAndNuls);
}

}  // namespace wb
