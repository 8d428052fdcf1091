// A balance-record library (sys/phfx.dat) chosen in the counterbalance window: its lists,
// every record shown (boxes and stroke rebuilt) and analysed in its own balance mode with
// the torques, then a range delete. A damaged library must be refused and left unchanged.
#include <cstdint>
#include <tuple>

#include "core/balance/balance_charts.h"
#include "core/balance/balance_torque.h"
#include "core/balance/phfx_record.h"
#include "core/common/number_text.h"
#include "core/common/trim.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const wb::ProgramFolder prog = wbfuzz::fresh_program_folder();
  const auto lib = wb::phfx_path(prog);
  wbfuzz::write_bytes(lib, data, size);

  std::vector<std::string> wells, tests;
  const wb::StoreStatus st = wb::phfx_wells(lib, wells);
  if (st == wb::StoreStatus::Damaged) {
    FUZZ_CHECK(wb::delete_phfx_range(lib, 1, 1, 0) == wb::StoreStatus::Damaged);
    FUZZ_CHECK(wbfuzz::read_bytes(lib).size() == size);
    return 0;
  }
  std::size_t count = 0;
  std::ignore = wb::RecordStore(lib, wb::kPhfxRecordSize).count(count);  // none read when it fails
  for (std::size_t r = 1; r <= count && r <= 4; ++r) {
    wb::PhfxRecord rec;
    FUZZ_CHECK(wb::read_phfx(lib, r, rec) == wb::StoreStatus::Ok);
    const wb::Bytes b = rec.encode();
    wb::PhfxRecord again;
    FUZZ_CHECK(again.decode(b) && again.encode() == b);
    std::ignore = wb::phfx_tests(lib, wb::Trim_Blank_Nul(rec.well_name), tests);

    wb::BalanceState a;
    a.held.DispCurveType = 3;
    wb::stroke_from_phfx(rec, a.held);
    wb::PhfxView v = wb::phfx_view(rec);
    wb::fit_electric_regressions(a);
    wb::AnalysisOptions opt;
    opt.mode = static_cast<wb::BalanceMode>(rec.balance_mode >= 0 && rec.balance_mode <= 2 ? rec.balance_mode : 0);
    opt.write_files = true;
    for (int step : {0, 1, 3}) std::ignore = wb::run_ph_analysis(a, v.boxes, step, opt);  // fuzzed boxes may stop it
    wbfuzz::NullCanvas pic;
    wb::draw_power_chart(pic, a, true, true);
    wb::TorqueAnalysis t = wb::compute_torques(a, static_cast<float>(wb::num_val(v.boxes[4])));
    wb::draw_torque_chart(pic, t, a.held.Cur_Well, {});
  }
  if (count > 1) FUZZ_CHECK(wb::delete_phfx_range(lib, 2, count + 3, 0) == wb::StoreStatus::Ok);
  return 0;
}
