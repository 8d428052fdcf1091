// A single-test file opened from the file browser with its charts and read by the printing
// readers, then saved unchanged into an empty library and exported. The first byte picks the kind (0 card, 1 electric, 2
// waveform); the rest is the file. A file opened and saved unchanged is stored with the same
// bytes (the waveform record's well name is the file's); the export is the stored record.
// The reader alone is fuzzed in card_file_fuzz, electric_file_fuzz and wave_file_fuzz.
#include <algorithm>
#include <cstdint>

#include "core/common/trim.h"
#include "core/workbench/test_libraries.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const auto kind = static_cast<wb::LibraryKind>(std::min(data[0] % 4, 2));
  const wb::LibraryInfo& lib = wb::library_info(kind);
  const wb::ProgramFolder prog = wbfuzz::fresh_program_folder();
  const auto file = prog.data() / wb::u8path(std::string("W1.") + lib.letter + "01");
  const wb::Bytes in(data + 1, data + size);
  wbfuzz::write_bytes(file, in.data(), in.size());

  wbfuzz::NullCanvas pic;
  wb::TestState st;
  if (wb::open_stored_test(st, kind, file, 1, wb::RecordSource::SingleTestFile, wbfuzz::reader_charts(pic)) !=
      wb::ReadStatus::Ok)
    return 0;
  wb::TestState prt;
  if (kind == wb::LibraryKind::Electric) FUZZ_CHECK(wb::tx_d_prt_read(prt, file, 1) == wb::ReadStatus::Ok);
  if (kind == wb::LibraryKind::Wave) FUZZ_CHECK(wb::tx_x_prt_read(prt, file, 1) == wb::ReadStatus::Ok);

  // Saved unchanged (the boxes as the reader filled them) into an empty library.
  const auto library = wb::library_path(prog, kind);
  const wb::SaveResult r = kind == wb::LibraryKind::Card       ? wb::sgt_save_new(st, library)
                           : kind == wb::LibraryKind::Electric ? wb::Pow_save_new(st, library)
                                                               : wb::Wav_Save_new(st, library);
  FUZZ_CHECK(r.status == wb::LibStatus::Ok && r.result == 1);
  const wb::Bytes stored = wbfuzz::read_bytes(library);
  FUZZ_CHECK(stored.size() == lib.record_length);
  // A name that reads back the same is carried; the wave record's name is the file's.
  const bool name_kept = !wb::Trim_Blank_Nul(st.Text1[2]).empty() && wb::check_well_name(st.Text1[2]).ok();
  if (kind != wb::LibraryKind::Wave && name_kept) FUZZ_CHECK(stored == in);
  FUZZ_CHECK(std::equal(in.begin() + 16, in.end(), stored.begin() + 16));

  const wb::ExportResult e = wb::export_current(st, prog, kind);
  if (e.status == wb::LibStatus::Ok) FUZZ_CHECK(wbfuzz::read_bytes(e.path) == stored);
  return 0;
}
