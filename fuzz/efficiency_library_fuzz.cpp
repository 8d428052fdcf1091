// The efficiency window's libraries as the user may point it at any file, read only. The
// first byte picks the library (0 efficiency records, 1 well base data, 2 card library, 3
// power-curve library); the rest is the file. Every reader must come back without a crash;
// each listed test is found and shown; a whole well base record reads, writes and reads back
// to the same fields. The printed page, saves and deletes on fuzzed libraries are fuzzed in
// efficiency_library_store_fuzz.
#include <cstdint>

#include "fuzz_support.h"
#include "library_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const wb::ProgramFolder prog = wbfuzz::fresh_program_folder();
  const wb::Bytes file(data + 1, data + size);
  switch (data[0] % 4) {
    case 0: {
      const auto lib = wb::gt_ym_path(prog);
      wbfuzz::write_bytes(lib, file.data(), file.size());
      wbfuzz::check_effi_tests(lib, [](const wb::EffiBoxTexts&) {});
      FUZZ_CHECK(wbfuzz::read_bytes(lib) == file);
      break;
    }
    case 1:
      wbfuzz::write_bytes(wb::well_base_path(prog), file.data(), file.size());
      wbfuzz::check_well_base(prog, file);
      FUZZ_CHECK(wbfuzz::read_bytes(wb::well_base_path(prog)) == file);
      break;
    case 2: wbfuzz::check_curve_library(prog, false, file); break;
    default: wbfuzz::check_curve_library(prog, true, file); break;
  }
  return 0;
}
