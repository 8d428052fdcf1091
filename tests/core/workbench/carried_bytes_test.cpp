// Text the program only carries from one record into another keeps its bytes, also bytes
// that are not valid GBK (0xFF, a lone lead byte at the end of a field): records read and
// written back, the instrument's test date, the summary fields other windows own, and a
// waveform record copied into its library.
#include <gtest/gtest.h>

#include <cstring>

#include "core/common/dlph_record.h"
#include "core/common/test_records.h"
#include "core/workbench/bottom_dead_centre.h"
#include "core/workbench/dlph_summary.h"
#include "core/workbench/record_readers.h"
#include "core/workbench/test_libraries.h"
#include "temp_program_folder.h"

using namespace wb;
using wb::test::file_bytes;
using wb::test::put_bytes;

namespace {

// Record bytes with text fields GBK cannot decode: every field position gets a pattern of
// blanks, ASCII, 0xFF and a lead byte 0x81 cut off at its end.
Bytes odd_bytes(std::size_t size) {
  Bytes b(size);
  for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>(i % 5 == 0 ? 0xFF : i % 5 == 1 ? 'A' : i % 5 == 2 ? 0x81 : i % 5 == 3 ? ' ' : 0);
  return b;
}

void put_text(Bytes& b, std::size_t off, std::string_view s) { std::memcpy(b.data() + off, s.data(), s.size()); }

template <class Record>
Bytes round_trip(const Bytes& b) {
  Record r;
  EXPECT_TRUE(r.decode(b));
  return r.encode();
}

}  // namespace

TEST(CarriedBytes, RecordsReadAndWrittenBackAreTheSameBytes) {
  // Floats of the pattern are ordinary numbers; the text fields are what matters.
  Bytes g = odd_bytes(kSgtRecordSize), d = odd_bytes(kDntRecordSize), x = odd_bytes(kXbtRecordSize),
        s = odd_bytes(kDlPhRecordSize);
  put_text(g, 14, "\x81\xff");  // a lead byte at the end of the well name, 0xFF starting the date
  put_text(s, 694, "\xff\x81");  // the advice ends in a lone lead byte
  EXPECT_EQ(round_trip<SgtRecord>(g), g);
  EXPECT_EQ(round_trip<DntRecord>(d), d);
  EXPECT_EQ(round_trip<XbtRecord>(x), x);
  EXPECT_EQ(round_trip<DlPhRecord>(s), s);
}

TEST(CarriedBytes, EditedTextIsEncodedAndCarriedTextIsNot) {
  Bytes b = odd_bytes(kSgtRecordSize);
  SgtRecord r;
  ASSERT_TRUE(r.decode(b));
  r.well_name = "W7";  // edited: stored as GBK, blank-padded
  const Bytes e = r.encode();
  EXPECT_EQ(std::string(e.begin(), e.begin() + 16), "W7              ");
  EXPECT_TRUE(std::equal(e.begin() + 16, e.end(), b.begin() + 16));
  // Shown and put back trimmed, but not changed: the stored bytes stay.
  put_text(b, 0, "  N9\xff           ");
  ASSERT_TRUE(r.decode(b));
  r.well_name = "N9?";
  EXPECT_EQ(r.encode(), b);
}

TEST(CarriedBytes, TheInstrumentsTestDateGoesIntoTheRecordsAsWritten) {
  TestState st;
  st.gt_num = 101;
  st.iu_num = 100;
  for (int i = 0; i < 101; ++i) st.sss[i] = static_cast<float>(i) * 0.01f;
  Bytes head = odd_bytes(kOrgHeaderSize);
  put_text(head, 12, "20060512\xff\x31\x34\x81");  // 0xFF inside, a lone lead byte at the end
  ASSERT_TRUE(st.org_head.decode(head));
  st.Text1[2] = "W1";
  Pow_Sgt_Dat_Prep(st);
  const Bytes g = st.sgt_rec.encode(), d = st.dnt_rec.encode();
  EXPECT_TRUE(std::equal(g.begin() + 16, g.begin() + 28, head.begin() + 12));
  EXPECT_TRUE(std::equal(d.begin() + 16, d.begin() + 28, head.begin() + 12));

  // The summary record appended for it carries the same date bytes.
  test::TempProgram tmp;
  DlPhRecord buf;
  ASSERT_EQ(Save_DlPh_Pow(tmp.prog, st, buf).status, StoreStatus::Ok);
  const Bytes s = file_bytes(tmp.prog.sys() / kDlPhFileName);
  ASSERT_EQ(s.size(), kDlPhRecordSize);
  EXPECT_TRUE(std::equal(s.begin() + 16, s.begin() + 28, head.begin() + 12));
}

TEST(CarriedBytes, SummarySaveRewritesOnlyTheIndicators) {
  test::TempProgram tmp;
  Bytes rec = odd_bytes(kDlPhRecordSize);
  put_text(rec, 0, "W1              200405061530");
  for (std::size_t off = 696; off < 764; ++off) rec[off] = 0;  // plain numbers in dn_cs, sys_effi
  put_text(rec, 694, "\xff\x81");
  put_bytes(tmp.prog.sys() / kDlPhFileName, rec);
  TestState st;
  st.read_sgt_dnt_org = kKindJoint;
  st.Text1[2] = "W1";
  st.org_head.test_date = "200405061530";
  st.Text3[5] = "380";
  DlPhRecord buf;
  const SummaryResult r = Save_DlPh_Pow(tmp.prog, st, buf);
  ASSERT_EQ(r.status, StoreStatus::Ok);
  EXPECT_FALSE(r.appended);
  const Bytes after = file_bytes(tmp.prog.sys() / kDlPhFileName);
  ASSERT_EQ(after.size(), kDlPhRecordSize);
  EXPECT_TRUE(std::equal(after.begin(), after.begin() + 700, rec.begin()));  // up to dn_cs(1)
  EXPECT_TRUE(std::equal(after.begin() + 760, after.end(), rec.begin() + 760));
}

TEST(CarriedBytes, AWaveformRecordIsCopiedWholeIntoItsLibrary) {
  test::TempProgram tmp;
  Bytes x = odd_bytes(kXbtRecordSize);
  put_text(x, 0, "XBTWELL         ");
  put_text(x, 16, "2006\xff\x81");
  std::memset(x.data() + 28, 0, 16);  // plain electric values
  std::memset(x.data() + 224, 0, 800);  // and plain coefficients
  x[42] = 3;                            // order_num
  const auto file = tmp.prog.data() / "W2.x01";
  put_bytes(file, x);
  TestState st;
  ASSERT_EQ(tx_x(st, file, 1, RecordSource::SingleTestFile), ReadStatus::Ok);
  const auto lib = library_path(tmp.prog, LibraryKind::Wave);
  ASSERT_EQ(Wav_Save_new(st, lib).status, LibStatus::Ok);
  const Bytes stored = file_bytes(lib);
  ASSERT_EQ(stored.size(), kXbtRecordSize);
  // The name is the file's (the reader's rule); every other byte as the file holds it.
  EXPECT_EQ(std::string(stored.begin(), stored.begin() + 16), "W2              ");
  EXPECT_TRUE(std::equal(stored.begin() + 16, stored.end(), x.begin() + 16));
}
