// The efficiency window's libraries as the user may point it at any file. The first byte
// picks the library (0 efficiency records, 1 well base data, 2 card library, 3 power-curve
// library); the rest is the file. Every reader must come back without a crash, and a save
// into a library that is not whole records must leave its bytes as they were.
// The reading alone, without writing to disk, is fuzzed in efficiency_library_fuzz.
#include <cstdint>
#include <string>
#include <vector>

#include "core/common/dlph_record.h"
#include "core/efficiency/effi_curves.h"
#include "core/efficiency/effi_records.h"
#include "core/efficiency/effi_report.h"
#include "core/efficiency/well_base_record.h"
#include "fuzz_support.h"

namespace {

struct QuietMessages : wb::MessageService {
  wb::MsgAnswer show(const std::string&, const std::string&, wb::MsgButtons, wb::MsgIcon) override {
    return wb::MsgAnswer::Yes;
  }
};

wb::EffiBoxTexts boxes(const std::string& well, const std::string& test) {
  wb::EffiBoxTexts b;
  b[0] = well;
  b[23] = test;
  b[16] = "2.5";
  b[31] = "12/10";
  return b;
}

void efficiency(const wb::ProgramFolder& prog, const std::filesystem::path& lib, const wb::Bytes& before) {
  QuietMessages msg;
  std::vector<std::string> wells;
  wb::Find_WellNmae_To_Comb(lib, wells);
  for (std::size_t i = 0; i < wells.size() && i < 4; ++i) {
    const auto times = wb::Find_TestTime_To_Comb(lib, wells[i]);
    for (std::size_t j = 0; j < times.size() && j < 4; ++j) {
      const std::size_t r = wb::find_effi_test(lib, wells[i], times[j]);
      FUZZ_CHECK(r > 0);
      wb::EffiBoxTexts shown;
      const wb::EffiShown s = wb::EffiRecode_To_Text(lib, std::to_string(r), shown);
      FUZZ_CHECK(s.shown && s.record == r);
      // The shown record prints.
      wbfuzz::NullCanvas page;
      wb::EffiStroke none;
      wb::prt_effi_page(page, shown, none);
    }
  }
  wb::DlPhRecord buf;
  const bool whole = before.size() % wb::kGtYmRecordSize == 0;
  const wb::EffiSaveResult res = wb::Save_Effi_Data(lib, prog, boxes("W1", "0611081230"), buf, msg);
  if (!whole) {
    FUZZ_CHECK(!res.saved);
    FUZZ_CHECK(wbfuzz::read_bytes(lib) == before);
  } else {
    FUZZ_CHECK(res.saved);
    const wb::EffiDeleteResult del = wb::delete_effi_record(lib, std::to_string(res.record), msg);
    FUZZ_CHECK(del.deleted == (before.size() >= wb::kGtYmRecordSize));
  }
}

void well_base(const wb::ProgramFolder& prog, const wb::Bytes& before) {
  QuietMessages msg;
  const wb::WellBaseCurves c = wb::Get_Well_Base(prog, "W1", "0611081230");
  if (c.has_curves) FUZZ_CHECK(c.uus.size() == static_cast<std::size_t>(c.iu_num) + 1);
  wb::Get_Dat_From_WellBase(prog, "W1", "0611081230");
  wb::BalanceWellBaseSource src;
  src.Cur_Well = "W1";
  src.Cur_Test = "0611081230";
  src.Text2[1] = "2.1";
  const wb::WellBaseSaveResult res = wb::Save_WellBase(prog, src, msg);
  if (before.size() % wb::kWellBaseRecordSize != 0) {
    FUZZ_CHECK(res.outcome == wb::SaveOutcome::Damaged);
    FUZZ_CHECK(wbfuzz::read_bytes(wb::well_base_path(prog)) == before);
  }
  // Every record of a whole library reads, writes and reads back to the same fields.
  for (std::size_t off = 0; off + wb::kWellBaseRecordSize <= before.size() && off < 8 * wb::kWellBaseRecordSize;
       off += wb::kWellBaseRecordSize) {
    wb::WellBaseRecord r1, r2;
    FUZZ_CHECK(r1.decode(wb::Bytes(before.begin() + static_cast<std::ptrdiff_t>(off),
                                   before.begin() + static_cast<std::ptrdiff_t>(off + wb::kWellBaseRecordSize))));
    const wb::Bytes once = r1.encode();
    FUZZ_CHECK(r2.decode(once) && r2.encode() == once);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const wb::ProgramFolder prog = wbfuzz::fresh_program_folder();
  const wb::Bytes file(data + 1, data + size);
  switch (data[0] % 4) {
    case 0: {
      const auto lib = wb::gt_ym_path(prog);
      wbfuzz::write_bytes(lib, file.data(), file.size());
      efficiency(prog, lib, file);
      break;
    }
    case 1:
      wbfuzz::write_bytes(wb::well_base_path(prog), file.data(), file.size());
      well_base(prog, file);
      break;
    case 2: {
      const auto lib = prog.sys() / "Sgt.dat";
      wbfuzz::write_bytes(lib, file.data(), file.size());
      const wb::CardCurves c = wb::Get_Sgt_Dat(lib, "W1", "0611081230");
      FUZZ_CHECK(!c.found || c.sss.size() == static_cast<std::size_t>(c.gt_num) + 1);
      break;
    }
    default: {
      const auto lib = prog.sys() / "Dnt.dat";
      wbfuzz::write_bytes(lib, file.data(), file.size());
      const wb::ElectricCurves e = wb::Get_Pow_Dat(lib, "W1", "0611081230");
      FUZZ_CHECK(!e.found || e.qqs.size() == static_cast<std::size_t>(e.iu_num) + 1);
      break;
    }
  }
  return 0;
}
