// A record library (sys/Sgt.dat, Dnt.dat, xbt.dat) through listing, opening a row, saving the
// shown test back and deleting a row. The first byte picks the library (bits 0-1), the row
// (bits 2-4) and the row deleted (bits 5-7); the rest is the library file. The store's
// promises: a library of a bad length is never written; a save replaces one record or
// appends one and leaves every other record as it was; a delete removes exactly the record
// asked for.
// The reading alone, without writing to disk, is fuzzed in library_fuzz.
#include <algorithm>
#include <cstdint>
#include <optional>

#include "core/workbench/test_libraries.h"
#include "fuzz_support.h"
#include "library_checks.h"
#include "single_test.h"

namespace {

using wb::Bytes;

Bytes without_record(const Bytes& lib, std::size_t len, std::size_t r) {
  Bytes out = lib;
  const std::size_t n = lib.size() / len;
  if (r >= 1 && r <= n)
    out.erase(out.begin() + static_cast<std::ptrdiff_t>((r - 1) * len), out.begin() + static_cast<std::ptrdiff_t>(r * len));
  return out;
}

std::size_t records_differing(const Bytes& a, const Bytes& b, std::size_t len) {
  std::size_t d = 0;
  for (std::size_t off = 0; off + len <= a.size() && off + len <= b.size(); off += len)
    if (!std::equal(a.begin() + static_cast<std::ptrdiff_t>(off), a.begin() + static_cast<std::ptrdiff_t>(off + len),
                    b.begin() + static_cast<std::ptrdiff_t>(off)))
      ++d;
  return d;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t sel = data[0];
  const auto kind = static_cast<wb::LibraryKind>(std::min(sel & 3, 2));
  const wb::LibraryInfo& info = wb::library_info(kind);
  const std::size_t len = info.record_length;
  const Bytes lib(data + 1, data + size);

  const wb::ProgramFolder prog = wbfuzz::fresh_program_folder();
  const auto path = wb::library_path(prog, kind);
  wbfuzz::write_bytes(path, lib.data(), lib.size());

  const std::optional<std::size_t> listed = wbfuzz::check_library_listing(path, len, lib);
  if (!listed) {
    // Damaged: refused everywhere and never written.
    wb::TestState st;
    st.Text1[2] = "W1";
    FUZZ_CHECK(wb::open_stored_test(st, kind, path, 1, wb::RecordSource::Library, {}) == wb::ReadStatus::Damaged);
    const wb::SaveResult s = kind == wb::LibraryKind::Card       ? wb::sgt_save_new(st, path)
                             : kind == wb::LibraryKind::Electric ? wb::Pow_save_new(st, path)
                                                                 : wb::Wav_Save_new(st, path);
    FUZZ_CHECK(s.status == wb::LibStatus::Damaged);
    FUZZ_CHECK(wb::delete_library_record(prog, kind, 1).status == wb::LibStatus::Damaged);
    FUZZ_CHECK(wbfuzz::read_bytes(path) == lib);
    return 0;
  }
  const std::size_t n = *listed;
  if (n == 0) return 0;

  // Open a row as the grid does and save the shown test back.
  const std::size_t row = ((sel >> 2) & 7) % n + 1;
  wbfuzz::NullCanvas pic;
  wb::TestState st;
  st.frame2_caption = info.caption;
  const auto at = lib.begin() + static_cast<std::ptrdiff_t>((row - 1) * len);
  const bool usable = wbfuzz::stored_record_usable(kind, wb::Bytes(at, at + static_cast<std::ptrdiff_t>(len)));
  FUZZ_CHECK(wb::Grid1_row_chosen(st, prog, static_cast<long long>(row), wbfuzz::reader_charts(pic)) ==
             (usable ? wb::ReadStatus::Ok : wb::ReadStatus::Unusable));
  if (!usable) return 0;  // refused before it is shown: nothing to save
  const wb::SaveResult s = kind == wb::LibraryKind::Card       ? wb::sgt_save_new(st, path)
                           : kind == wb::LibraryKind::Electric ? wb::Pow_save_new(st, path)
                                                               : wb::Wav_Save_new(st, path);
  FUZZ_CHECK(s.status == wb::LibStatus::Ok);
  const Bytes saved = wbfuzz::read_bytes(path);
  if (s.result == 0) {
    FUZZ_CHECK(saved.size() == lib.size());
    FUZZ_CHECK(records_differing(saved, lib, len) <= 1);
  } else {
    FUZZ_CHECK(s.result == n + 1 && saved.size() == lib.size() + len);
    FUZZ_CHECK(std::equal(lib.begin(), lib.end(), saved.begin()));
  }

  // Delete a row (0 and rows past the end change nothing).
  const std::size_t count = saved.size() / len;
  const long long victim = static_cast<long long>((sel >> 5) % (count + 2));
  const wb::DeleteResult d = wb::delete_library_record(prog, kind, victim);
  FUZZ_CHECK(d.status == wb::LibStatus::Ok);
  FUZZ_CHECK(wbfuzz::read_bytes(path) == without_record(saved, len, static_cast<std::size_t>(victim)));
  FUZZ_CHECK(!std::filesystem::exists(prog.sys() / info.backup_name));
  return 0;
}
