// A single-test file (data/<well>.gNN, .dNN, .xNN) opened from the file browser: read into
// the shown test. A refused file leaves the shown test as it was; an accepted one holds the
// file's record. The charts, the printing readers (a whole stroke of the record's points),
// the save of the opened test and its export are fuzzed in single_test_save_fuzz.
#pragma once

#include <algorithm>
#include <cstdint>

#include "core/records/record_checks.h"
#include "core/workbench/test_libraries.h"
#include "fuzz_support.h"

namespace wbfuzz {

// Whether a stored record of the kind passes the checks made before a test is shown (a record
// that does not decode counts as unusable).
inline bool stored_record_usable(wb::LibraryKind kind, const wb::Bytes& bytes) {
  switch (kind) {
    case wb::LibraryKind::Card: {
      wb::SgtRecord r;
      return r.decode(bytes) && wb::check_sgt_record(r).usable();
    }
    case wb::LibraryKind::Electric: {
      wb::DntRecord r;
      return r.decode(bytes) && wb::check_dnt_record(r).usable();
    }
    case wb::LibraryKind::Wave: {
      wb::XbtRecord r;
      return r.decode(bytes) && wb::check_xbt_record(r).usable();
    }
  }
  return false;
}

inline int single_test_file(wb::LibraryKind kind, const std::uint8_t* data, std::size_t size) {
  const wb::LibraryInfo& lib = wb::library_info(kind);
  const auto file = scratch() / wb::u8path(std::string("W1.") + lib.letter + "01");
  write_bytes(file, data, size);

  wb::TestState st;
  st.Text1[2] = "shown before";
  const wb::ReadStatus s = wb::open_stored_test(st, kind, file, 1, wb::RecordSource::SingleTestFile, {});
  if (s == wb::ReadStatus::Unusable) {
    // Whole, but its numbers cannot be shown: refused by the checks, the shown test kept.
    FUZZ_CHECK(size == lib.record_length);
    FUZZ_CHECK(!stored_record_usable(kind, wb::Bytes(data, data + size)));
    FUZZ_CHECK(st.Text1[2] == "shown before" && st.read_sgt_dnt_org == wb::kKindNone);
    return 0;
  }
  if (s != wb::ReadStatus::Ok) {
    FUZZ_CHECK(size != lib.record_length);
    FUZZ_CHECK(st.Text1[2] == "shown before" && st.read_sgt_dnt_org == wb::kKindNone);
    return 0;
  }
  FUZZ_CHECK(size == lib.record_length);
  const wb::Bytes in(data, data + size);
  switch (kind) {
    case wb::LibraryKind::Card: FUZZ_CHECK(st.sgt_rec.encode() == in); break;
    case wb::LibraryKind::Electric: FUZZ_CHECK(st.dnt_rec.encode() == in); break;
    case wb::LibraryKind::Wave:
      // The well name comes from the file name; every other byte is carried.
      FUZZ_CHECK(std::equal(in.begin() + 16, in.end(), st.xbt_rec.encode().begin() + 16));
      break;
  }
  return 0;
}

}  // namespace wbfuzz
