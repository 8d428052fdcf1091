// The card library (sys/Sgt.dat) as the diagnosis refresh reads it to find the well's card
// (Load_SGT). The first byte picks the well asked for: odd, the name of a record of the
// library (the byte's upper bits pick which); even, a name no record has. The rest is the
// library. Only whole records are read; the card taken is the first record of the well,
// byte for byte; when none is the well's the current card is kept.
#include <cstdint>

#include "core/common/trim.h"
#include "core/diagnosis/refresh.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t sel = data[0];
  const wb::Bytes lib(data + 1, data + size);
  const auto path = wbfuzz::scratch() / "Sgt.dat";
  wbfuzz::write_bytes(path, lib.data(), lib.size());
  const std::size_t count = lib.size() / wb::kSgtRecordSize;
  auto record = [&lib](std::size_t i) {  // from 0
    return wb::Bytes(lib.begin() + static_cast<std::ptrdiff_t>(i * wb::kSgtRecordSize),
                     lib.begin() + static_cast<std::ptrdiff_t>((i + 1) * wb::kSgtRecordSize));
  };

  wb::DiagnosisState st;
  st.Bgt_Rec.card.well_name = "kept";
  st.Bgt_Rec.card.point_num = 77;
  const wb::Bytes before = st.Bgt_Rec.card.encode();
  std::string well = "no such well in the library";  // longer than a name field
  if ((sel & 1) && count > 0) {
    wb::SgtRecord named;
    FUZZ_CHECK(named.decode(record((sel >> 1) % count)));
    well = wb::trim_blanks(named.well_name);
  }
  st.Text1[wb::diag_box::kWell] = well;

  const bool taken = wb::Load_SGT(st, path);
  std::size_t first = count;
  for (std::size_t i = 0; i < count && first == count; ++i) {
    wb::SgtRecord r;
    FUZZ_CHECK(r.decode(record(i)));
    if (wb::trim_blanks(r.well_name) == well) first = i;
  }
  if ((sel & 1) && count > 0) FUZZ_CHECK(taken);  // a record's own name finds a card
  if (!taken) {
    FUZZ_CHECK(first == count && st.Bgt_Rec.card.encode() == before);
    return 0;
  }
  FUZZ_CHECK(first < count);
  FUZZ_CHECK(st.Bgt_Rec.card.encode() == record(first));
  return 0;
}
