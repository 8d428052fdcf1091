// A single-test file (data/<well>.gNN, .dNN, .xNN) opened from the file browser: shown with
// its charts, read by the printing readers, saved unchanged into an empty library and
// exported. A refused file leaves the shown test as it was; a file opened and saved
// unchanged is stored with the same bytes.
#pragma once

#include <algorithm>
#include <cstdint>

#include "core/common/trim.h"
#include "core/workbench/test_libraries.h"
#include "fuzz_support.h"

namespace wbfuzz {

inline int single_test_file(wb::LibraryKind kind, const std::uint8_t* data, std::size_t size) {
  const wb::LibraryInfo& lib = wb::library_info(kind);
  const wb::ProgramFolder prog = fresh_program_folder();
  const auto file = prog.data() / wb::u8path(std::string("W1.") + lib.letter + "01");
  write_bytes(file, data, size);

  NullCanvas pic;
  wb::TestState st;
  st.Text1[2] = "shown before";
  const wb::ReadStatus s = wb::open_stored_test(st, kind, file, 1, wb::RecordSource::SingleTestFile, reader_charts(pic));
  if (s != wb::ReadStatus::Ok) {
    FUZZ_CHECK(size != lib.record_length);
    FUZZ_CHECK(st.Text1[2] == "shown before" && st.read_sgt_dnt_org == wb::kKindNone);
    return 0;
  }
  FUZZ_CHECK(size == lib.record_length);
  const wb::Bytes in(data, data + size);
  wb::TestState prt;
  switch (kind) {
    case wb::LibraryKind::Card: FUZZ_CHECK(st.sgt_rec.encode() == in); break;
    case wb::LibraryKind::Electric:
      FUZZ_CHECK(st.dnt_rec.encode() == in);
      FUZZ_CHECK(wb::tx_d_prt_read(prt, file, 1) == wb::ReadStatus::Ok);
      break;
    case wb::LibraryKind::Wave:
      // The well name comes from the file name; every other byte is carried.
      FUZZ_CHECK(std::equal(in.begin() + 16, in.end(), st.xbt_rec.encode().begin() + 16));
      FUZZ_CHECK(wb::tx_x_prt_read(prt, file, 1) == wb::ReadStatus::Ok);
      break;
  }

  // Saved unchanged (the boxes as the reader filled them) into an empty library.
  const auto library = wb::library_path(prog, kind);
  const wb::SaveResult r = kind == wb::LibraryKind::Card       ? wb::sgt_save_new(st, library)
                           : kind == wb::LibraryKind::Electric ? wb::Pow_save_new(st, library)
                                                               : wb::Wav_Save_new(st, library);
  FUZZ_CHECK(r.status == wb::LibStatus::Ok && r.result == 1);
  const wb::Bytes stored = read_bytes(library);
  FUZZ_CHECK(stored.size() == lib.record_length);
  // A name that reads back the same is carried; the wave record's name is the file's.
  const bool name_kept = !wb::Trim_Blank_Nul(st.Text1[2]).empty() && wb::check_well_name(st.Text1[2]).ok();
  if (kind != wb::LibraryKind::Wave && name_kept) FUZZ_CHECK(stored == in);
  FUZZ_CHECK(std::equal(in.begin() + 16, in.end(), stored.begin() + 16));

  const wb::ExportResult e = wb::export_current(st, prog, kind);
  if (e.status == wb::LibStatus::Ok) FUZZ_CHECK(read_bytes(e.path) == stored);
  return 0;
}

}  // namespace wbfuzz
