// The efficiency records (sys/gt_ym.dat) as the diagnosis window and the efficiency
// hand-over read them: read_gt_ym_records, the diagnosis window's base data (Load_Effi) and
// the efficiency window's carried-forward well data. The first byte picks the key asked for:
// odd, the key of a record of the file (the upper bits pick which); even, a key no record
// has. The rest is the file. A file that is not whole records is refused (the diagnosis
// window says so once and changes no box); a record written again reads back the same; the
// record checks name what they find in one message, and a record with its damaged fields
// blanked passes them; a usable record's own key finds its data, and what the windows take
// from it passes the checks too.
#include <cstdint>

#include "core/common/trim.h"
#include "core/diagnosis/diagnosis_records.h"
#include "core/efficiency/effi_hand_over.h"
#include "core/records/gt_ym_checks.h"
#include "core/records/gt_ym_record.h"
#include "fuzz_support.h"

namespace {
struct CountedMessages : wb::MessageService {
  int shown = 0;
  wb::MsgAnswer show(const std::string&, const std::string&, wb::MsgButtons, wb::MsgIcon) override {
    ++shown;
    return wb::MsgAnswer::Ok;
  }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t sel = data[0];
  const auto path = wbfuzz::scratch() / wb::kGtYmFileName;
  wbfuzz::write_bytes(path, data + 1, size - 1);
  const std::size_t bytes = size - 1;

  std::vector<wb::GtYmRecord> recs;
  const wb::StoreStatus s = wb::read_gt_ym_records(path, recs);
  const bool whole = bytes % wb::kGtYmRecordSize == 0;
  FUZZ_CHECK(s == (whole ? wb::StoreStatus::Ok : wb::StoreStatus::Damaged));
  FUZZ_CHECK(recs.size() == (whole ? bytes / wb::kGtYmRecordSize : 0));
  for (std::size_t i = 0; i < recs.size() && i < 4; ++i) {
    const wb::Bytes once = recs[i].encode();
    wb::GtYmRecord back;
    FUZZ_CHECK(back.decode(once) && back.encode() == once);
    FUZZ_CHECK(back.key_well() == recs[i].key_well() && back.key_test() == recs[i].key_test());
  }
  // The checks from the stored bytes (what every window uses): a blanked record passes them.
  std::vector<wb::GtYmRecord> checked;
  std::vector<wb::GtYmCheck> checks;
  FUZZ_CHECK(wb::read_checked_gt_ym_records(path, checked, checks) == s);
  FUZZ_CHECK(checked.size() == recs.size() && checks.size() == recs.size());
  const std::vector<wb::GtYmFinding> findings = wb::check_gt_ym_library(path);
  FUZZ_CHECK(wb::gt_ym_findings_text(findings, "f").empty() == findings.empty());
  std::vector<bool> usable(recs.size(), true);
  for (const wb::GtYmFinding& f : findings) {
    FUZZ_CHECK(f.record >= 1 && f.record <= recs.size());
    usable[f.record - 1] = f.check.usable();
    FUZZ_CHECK(checks[f.record - 1].usable() == f.check.usable());
    if (!f.check.usable()) continue;
    wb::GtYmRecord blanked = recs[f.record - 1];
    wb::blank_damaged_fields(blanked, f.check);
    FUZZ_CHECK(wb::check_gt_ym_record(blanked).sound());
  }

  std::string well = "no such well in the file", date = "20000101";  // longer than a name field
  const bool own_key = (sel & 1) && !recs.empty();
  if (own_key) {
    const wb::GtYmRecord& r = recs[(sel >> 1) % recs.size()];
    well = r.key_well();
    date = r.key_test();
  }
  // Whether a usable record of the well exists (what the carry-forward takes).
  bool well_usable = false;
  for (std::size_t i = 0; i < recs.size(); ++i) well_usable = well_usable || (usable[i] && recs[i].key_well() == well);

  // The diagnosis window's base data.
  CountedMessages msg;
  wb::DiagnosisIo io{msg, nullptr};
  wb::DiagnosisState st;
  st.Text1[wb::diag_box::kWell] = well;
  st.Text1[wb::diag_box::kDate] = date;
  const auto boxes = st.Text1;
  wb::Load_Effi(st, path, io);
  FUZZ_CHECK(msg.shown == (whole ? 0 : 1));
  FUZZ_CHECK(st.Text1[wb::diag_box::kWell] == well);
  if (!whole) FUZZ_CHECK(st.Text1 == boxes);
  {
    using namespace wb::diag_box;
    for (int b : {kBore, kLiquid, kWaterCut, kOilDensitySurface, kRods1, kRods78, kRods34, kRods58, kSpm,
                  kFluidLevel, kTubingPressure, kCasingPressure, kPumpDepth, kViscosity, kGasOilRatio,
                  kWellheadTemp, kInputPower, kRodPower, kUsefulPower, kRmsPower})
      FUZZ_CHECK(!wb::shows_non_finite(st.Text1[static_cast<std::size_t>(b)]));
  }

  // The efficiency window's carried-forward well data.
  wb::SysEffiState e;
  e.Text1[0] = well;
  const wb::CarryForward outcome = wb::carry_forward_base_data(e, path);
  const bool carried = outcome == wb::CarryForward::Carried;
  if (!whole) FUZZ_CHECK(outcome == wb::CarryForward::Unreadable);
  if (whole && !well.empty()) FUZZ_CHECK(carried == well_usable);
  if (carried) {
    for (std::size_t k = 1; k <= 19; ++k) FUZZ_CHECK(wb::gt_ym_val_sound(k, e.Text1[k + 3]));
  }
  return 0;
}
