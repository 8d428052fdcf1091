// The card library as the print page reads it, without drawing: the first byte picks the
// record read (bits 0-2: -1 … 6) and, with bit 7, a library that does not exist; the rest is
// the library. A record number outside the whole records reads nothing, a missing library
// is not created, and a record read is the stored one byte for byte. The printed block of a
// fuzzed record is fuzzed in card_print_page_fuzz.
#include <cstdint>
#include <filesystem>

#include "core/printing/card_print_page.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t sel = data[0];
  const auto red = static_cast<std::int16_t>(sel % 8 - 1);
  const bool missing = (sel & 0x80) != 0;
  const wb::Bytes lib(data + 1, data + size);
  const auto path = wbfuzz::scratch() / "Sgt.dat";
  std::error_code ec;
  std::filesystem::remove(path, ec);
  if (!missing) wbfuzz::write_bytes(path, lib.data(), lib.size());

  const std::optional<wb::SgtRecord> rec = wb::read_card_print_record(path, red);
  if (missing) FUZZ_CHECK(!std::filesystem::exists(path));
  const std::size_t count = missing ? 0 : lib.size() / wb::kSgtRecordSize;
  if (red < 1 || static_cast<std::size_t>(red) > count) {
    FUZZ_CHECK(!rec);
    return 0;
  }
  FUZZ_CHECK(rec);
  const auto at = lib.begin() + static_cast<std::ptrdiff_t>((red - 1) * wb::kSgtRecordSize);
  FUZZ_CHECK(rec->encode() == wb::Bytes(at, at + static_cast<std::ptrdiff_t>(wb::kSgtRecordSize)));
  return 0;
}
