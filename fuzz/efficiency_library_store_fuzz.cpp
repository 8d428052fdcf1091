// The efficiency window's libraries as the user may point it at any file. The first byte
// picks the library (0 efficiency records, 1 well base data, 2 card library, 3 power-curve
// library); the rest is the file. Every reader must come back without a crash, and a save
// into a library that is not whole records must leave its bytes as they were.
// The reading alone, without writing to disk, is fuzzed in efficiency_library_fuzz.
#include <cstdint>
#include <string>

#include "core/common/dlph_record.h"
#include "core/efficiency/effi_report.h"
#include "fuzz_support.h"
#include "library_checks.h"

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
  // Each shown record prints.
  wbfuzz::check_effi_tests(lib, [](const wb::EffiBoxTexts& shown) {
    wbfuzz::NullCanvas page;
    wb::EffiStroke none;
    wb::prt_effi_page(page, shown, none);
  });
  wb::DlPhRecord buf;
  const bool whole = before.size() % wb::kGtYmRecordSize == 0;
  const wb::EffiSaveResult res = wb::Save_Effi_Data(lib, prog, boxes("W1", "0611081230"), buf, msg);
  if (!whole) {
    FUZZ_CHECK(!res.saved);
    FUZZ_CHECK(wbfuzz::read_bytes(lib) == before);
  } else {
    FUZZ_CHECK(res.saved);
    const wb::EffiDeleteResult del = wb::delete_effi_record(lib, prog, std::to_string(res.record), msg);
    FUZZ_CHECK(del.deleted == (before.size() >= wb::kGtYmRecordSize));
  }
}

void well_base(const wb::ProgramFolder& prog, const wb::Bytes& before) {
  QuietMessages msg;
  wbfuzz::check_well_base(prog, before);
  wb::BalanceWellBaseSource src;
  src.Cur_Well = "W1";
  src.Cur_Test = "0611081230";
  src.Text2[1] = "2.1";
  const wb::WellBaseSaveResult res = wb::Save_WellBase(prog, src, msg);
  if (before.size() % wb::kWellBaseRecordSize != 0) {
    FUZZ_CHECK(res.outcome == wb::SaveOutcome::Damaged);
    FUZZ_CHECK(wbfuzz::read_bytes(wb::well_base_path(prog)) == before);
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
    case 2: wbfuzz::check_curve_library(prog, false, file); break;
    default: wbfuzz::check_curve_library(prog, true, file); break;
  }
  return 0;
}
