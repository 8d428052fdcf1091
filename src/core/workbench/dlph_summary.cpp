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
  std::size_t count = 0;
  out.status = store.count(count);
  if (out.status != StoreStatus::Ok) return out;
  if (count > kMaxLibraryRecords) {
    out.status = StoreStatus::IoError;
    out.over_limit = true;
    return out;
  }

  static const RecordKeyFields kKeys = record_key_fields(DlPhRecord::layout());
  const std::string well = record_key(st.Text1[appended_box::kWell], kKeys.well().length);
  const std::string date = record_key(st.org_head.test_date, kKeys.test().length);
  // Looked for a block of records at a time; the buffer then holds the record found or, when
  // none is, the last record (as a scan decoding every record into it left it).
  std::size_t found = 0;
  out.status = store.find(dlph_key_match(well, date), found);
  if (out.status == StoreStatus::Ok && (found || count > 0)) {
    Bytes b;
    out.status = store.read(found ? found : count, b);
    std::ignore = DlPh_Rec.decode(b);  // read whole, or the save stops below
  }
  if (out.status != StoreStatus::Ok) return out;
  if (found == 0 && library_full(count)) {
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

  out.record = found ? found : count + 1;
  out.appended = found == 0;
  out.status = store.write(out.record, DlPh_Rec.encode());
  return out;
}

}  // namespace wb
