#include "core/workbench/dlph_summary.h"

#include <vector>
#include <tuple>

#include "core/charts/data_type.h"
#include "core/charts/energy_panel.h"
#include "core/common/layout_keys.h"
#include "core/common/record_fields.h"
#include "core/common/record_limit.h"
#include "core/common/trim.h"

namespace wb {

SummaryResult Save_DlPh_Pow(const ProgramFolder& prog, TestState& st, DlPhRecord& DlPh_Rec) {
  SummaryResult out;
  // The indicators of this test alone: filling a zeroed array keeps an empty box or a pair
  // of zero half-stroke values from passing on the values of the panel drawn last.
  DnCsArray fresh{};
  fill_DnCs(st, fresh);
  st.DnCs = fresh;

  RecordStore store(prog.sys() / kDlPhFileName, kDlPhRecordSize);
  std::vector<Bytes> recs;
  out.status = store.read_all(recs);
  if (out.status != StoreStatus::Ok) return out;
  if (recs.size() > kMaxLibraryRecords) {
    out.status = StoreStatus::IoError;
    out.over_limit = true;
    return out;
  }

  static const RecordKeyFields kKeys = record_key_fields(DlPhRecord::layout());
  const std::string well = record_key(st.Text1[appended_box::kWell], kKeys.well().length);
  const std::string date = record_key(st.org_head.test_date, kKeys.test().length);
  std::size_t found = 0;
  for (std::size_t i = 0; i < recs.size(); ++i) {
    std::ignore = DlPh_Rec.decode(recs[i]);  // a record of the store, whole
    if (Trim_Blank_Nul(DlPh_Rec.well_name) == well && Trim_Blank_Nul(DlPh_Rec.test_date) == date) {
      found = i + 1;
      break;
    }
  }
  if (found == 0 && library_full(recs.size())) {
    out.status = StoreStatus::IoError;
    out.full = true;
    return out;
  }
  if (found == 0) {
    // The buffer holds the last record read: clear what this window does not own.
    DlPh_Rec.well_name.clear();
    DlPh_Rec.test_date.clear();
    DlPh_Rec.cyj_model.clear();
    DlPh_Rec.motor_model.clear();
    DlPh_Rec.balance_advice.clear();
    DlPh_Rec.real_stroke = 0;
    DlPh_Rec.real_spm = 0;
    DlPh_Rec.crank_blocks = 0;
    DlPh_Rec.crank_block_pos = 0;
    DlPh_Rec.crank_block_wt = 0;
    DlPh_Rec.reserved_92 = {};
    DlPh_Rec.dn_cs[kDnCsPumpEffi] = 0;
    DlPh_Rec.sys_effi = 0;
    DlPh_Rec.well_name = Trim_Blank_Nul(st.Text1[appended_box::kWell]);
    DlPh_Rec.test_date = st.org_head.test_date;
    DlPh_Rec.test_date_raw = st.org_head.test_date_raw();
  }
  for (int k = 1; k <= 15; ++k) DlPh_Rec.dn_cs[k] = st.DnCs[k];

  out.record = found ? found : recs.size() + 1;
  out.appended = found == 0;
  out.status = store.write(out.record, DlPh_Rec.encode());
  return out;
}

}  // namespace wb
