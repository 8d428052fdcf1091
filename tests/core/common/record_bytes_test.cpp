// The bytes every record codec writes, pinned: the sample folder's records, a fresh record of
// each kind and a record whose every byte is distinct must come out exactly as the files in
// record_bytes/ hold them, and a record decoded from stored bytes must encode back to the same
// bytes. A change of a codec that moves, widens or drops a field fails here with the first
// byte that differs.
//
// The files are the bytes the codecs wrote when they were made. Should a stored layout ever
// change on purpose, run the test once with WB_RECORD_BYTES_UPDATE=1 to write them anew and
// review the difference.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "../efficiency/effi_test_util.h"
#include "../workbench/temp_program_folder.h"
#include "core/balance/balance_params.h"
#include "core/balance/phfx_record.h"
#include "core/common/dlph_record.h"
#include "core/common/test_records.h"
#include "core/design/engine/rod_design_record.h"
#include "core/diagnosis/bgt_record.h"
#include "core/records/gt_ym_record.h"
#include "core/efficiency/well_base_record.h"
#include "core/electric/synthetic_wave.h"
#include "core/level/dym_record.h"
#include "core/level/level_file.h"
#include "core/samples/synthetic_tests.h"

namespace wb {
namespace {

namespace fs = std::filesystem;

fs::path golden_path(const std::string& name) { return fs::path(WB_RECORD_BYTES_DIR) / name; }

// Compares with the stored bytes (or stores them when asked to) and says where they differ.
void expect_golden(const std::string& name, const Bytes& actual) {
  const fs::path p = golden_path(name);
  if (const char* u = std::getenv("WB_RECORD_BYTES_UPDATE"); u && std::string(u) == "1") {
    test::put_bytes(p, actual);
    return;
  }
  ASSERT_TRUE(fs::exists(p)) << p << " is missing";
  const Bytes want = test::file_bytes(p);
  ASSERT_EQ(actual.size(), want.size()) << name;
  for (std::size_t i = 0; i < want.size(); ++i)
    ASSERT_EQ(actual[i], want[i]) << name << ": first difference at byte " << i;
}

void expect_same_bytes(const std::string& what, const Bytes& actual, const Bytes& want) {
  ASSERT_EQ(actual.size(), want.size()) << what;
  for (std::size_t i = 0; i < want.size(); ++i)
    ASSERT_EQ(actual[i], want[i]) << what << ": first difference at byte " << i;
}

// A fresh record decoded from `b` (false: refused) and encoded again into `out`.
template <class R>
bool reencode(const Bytes& b, Bytes& out) {
  R r;
  const bool decoded = r.decode(b);
  out = r.encode();
  return decoded;
}

struct Kind {
  const char* name;
  std::size_t size;
  std::function<Bytes()> fresh;                 // a default-constructed record, encoded
  std::function<bool(const Bytes&, Bytes&)> reencode;  // decoded from bytes and encoded again

  Bytes decoded_and_encoded(const Bytes& b) const {
    Bytes out;
    EXPECT_TRUE(reencode(b, out));
    return out;
  }
};

template <class R>
Kind kind(const char* name, std::size_t size) {
  return {name, size, [] { return R{}.encode(); }, reencode<R>};
}

const std::vector<Kind>& kinds() {
  static const std::vector<Kind> k = {
      kind<SgtRecord>("sgt", kSgtRecordSize),
      kind<DntRecord>("dnt", kDntRecordSize),
      kind<XbtRecord>("xbt", kXbtRecordSize),
      kind<OrgFileHeader>("org_header", kOrgHeaderSize),
      kind<PhfxRecord>("phfx", kPhfxRecordSize),
      kind<DlPhRecord>("dlph", kDlPhRecordSize),
      kind<design::RodDesignRecord>("rod_design", design::kRodDesignRecordSize),
      kind<BgtRecord>("bgt", kBgtRecordSize),
      kind<GtYmRecord>("gt_ym", kGtYmRecordSize),
      kind<WellBaseRecord>("well_base", kWellBaseRecordSize),
      kind<DymRecord>("dym", kDymRecordSize),
  };
  return k;
}

const Kind& kind_named(const std::string& name) {
  for (const Kind& k : kinds())
    if (name == k.name) return k;
  throw std::logic_error("no record kind " + name);
}

// Letters in an order that repeats nowhere near a field's width, so that two fields never
// hold the same bytes: a field read from or written to another field's place shows. Letters
// are text as they stand and a number of any value, so every field carries them unchanged.
Bytes distinct_bytes(std::size_t size) {
  Bytes b(size);
  std::uint32_t x = 12345;
  for (auto& c : b) {
    x = x * 1103515245u + 12345u;
    c = static_cast<std::uint8_t>('A' + (x >> 16) % 26);
  }
  return b;
}

TEST(RecordBytes, FreshRecordsAsStored) {
  for (const Kind& k : kinds()) {
    SCOPED_TRACE(k.name);
    const Bytes b = k.fresh();
    EXPECT_EQ(b.size(), k.size);
    expect_golden(std::string("fresh_") + k.name + ".bin", b);
  }
}

// Every byte of a record is carried by some field (or is the record's fixed line end) and
// comes back at its own place.
TEST(RecordBytes, EveryByteSurvivesDecodeAndEncode) {
  for (const Kind& k : kinds()) {
    SCOPED_TRACE(k.name);
    Bytes b = distinct_bytes(k.size);
    if (std::string(k.name) == "bgt") {  // the record always ends in CR LF
      b[kBgtRecordSize - 2] = '\r';
      b[kBgtRecordSize - 1] = '\n';
    }
    expect_same_bytes(k.name, k.decoded_and_encoded(b), b);
  }
}

TEST(RecordBytes, ShortBytesAreRefused) {
  for (const Kind& k : kinds()) {
    SCOPED_TRACE(k.name);
    // A record offered too few bytes stays as it was: its encoding is a fresh one.
    Bytes out;
    EXPECT_FALSE(k.reencode(distinct_bytes(k.size - 1), out));
    expect_same_bytes(k.name, out, k.fresh());
  }
}

// A level record and a raw level file with a value in every field, as they were stored
// when their codecs were written out by hand.
TEST(RecordBytes, LevelRecordsAsStored) {
  DymRecord d;
  d.well_name = "示范井1";
  d.test_date = "202401021530";
  d.sample_count = 4000;
  d.sample_rate = 250;
  for (int m = 0; m < kMarkerCount; ++m) d.marks[m] = 1.5f * static_cast<float>(m + 1);
  d.sound_speed = 345.5f;
  d.level_depth = 812.25f;
  d.joint_length = 9.6f;
  d.collar_count = 77;
  d.sound_mark_depth = 300.0f;
  d.method = 2;
  d.gain = 5;
  for (int i = 0; i < 48; ++i) d.reserved_79[i] = static_cast<std::uint8_t>(i * 7);
  for (int i = 0; i < kEchoSamples; ++i) {
    d.smooth_curve[i] = static_cast<std::int16_t>(i * 3 - 7000);
    d.raw_curve[i] = static_cast<std::int16_t>(9000 - i * 2);
  }
  expect_golden("sample_dym.bin", encode_dym(d));
  const auto back = decode_dym(test::file_bytes(golden_path("sample_dym.bin")));
  ASSERT_TRUE(back);
  expect_same_bytes("sample_dym.bin", encode_dym(*back), encode_dym(d));

  expect_golden("fresh_level_header.bin", encode_level_file(LevelFileHeader{}, {}));
  LevelFileHeader h;
  h.test_date = "0102153024";
  h.sample_rate = 250;
  h.sample_format = 2;
  h.sample_count = 3;
  h.sound_speed = 345.5f;
  h.level_depth = 812.25f;
  h.well_name = "示范井1";
  const EchoSample samples[] = {{1, -2}, {300, 400}, {-5000, 6000}};
  expect_golden("sample_level.y01", encode_level_file(h, samples));
  const auto read = decode_level_header(test::file_bytes(golden_path("sample_level.y01")));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->test_date, "0102153024  ");  // read with its padding
  EXPECT_EQ(read->well_name.substr(0, std::string("示范井1").size()), "示范井1");
  EXPECT_EQ(read->sample_rate, 250);
  EXPECT_EQ(read->sample_format, 2);
  EXPECT_EQ(read->sample_count, 3);
  EXPECT_EQ(read->sound_speed, 345.5f);
  EXPECT_EQ(read->level_depth, 812.25f);
}

// The sample folder's records: each library as the sample maker wrote it decodes and encodes
// back to itself, and the samples that need no analysis to make are made again and come out
// as stored.
class SampleRecords : public ::testing::Test {
 protected:
  static SyntheticJointParams first_well() { return sample_well_1(); }
  static SyntheticJointParams second_well() { return sample_well_2(); }
  static Bytes header_of(const SyntheticJointParams& p) {
    const Bytes file = make_synthetic_joint_test(p);
    return Bytes(file.begin(), file.begin() + kOrgHeaderSize);
  }
};

TEST_F(SampleRecords, LibrariesDecodeAndEncodeToThemselves) {
  const struct {
    const char* file;
    const char* kind;
  } cases[] = {
      {"sample_bgt.dat", "bgt"},           {"sample_gt_ym.dat", "gt_ym"},
      {"sample_wellbase.dat", "well_base"}, {"sample_roddesign.dat", "rod_design"},
      {"sample_joint1_header.bin", "org_header"}, {"sample_joint2_header.bin", "org_header"},
      {"sample_wave.x01", "xbt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const Kind& k = kind_named(c.kind);
    const Bytes lib = test::file_bytes(golden_path(c.file));
    ASSERT_FALSE(lib.empty());
    ASSERT_EQ(lib.size() % k.size, 0u);
    for (std::size_t off = 0; off < lib.size(); off += k.size) {
      const Bytes rec(lib.begin() + static_cast<std::ptrdiff_t>(off),
                      lib.begin() + static_cast<std::ptrdiff_t>(off + k.size));
      expect_same_bytes(std::string(c.file) + " record at " + std::to_string(off), k.decoded_and_encoded(rec), rec);
    }
  }
}

TEST_F(SampleRecords, MadeAgainAsStored) {
  expect_golden("sample_joint1_header.bin", header_of(first_well()));
  expect_golden("sample_joint2_header.bin", header_of(second_well()));
  expect_golden("sample_wave.x01", synthetic_wave_record(SyntheticWave{}).encode());

  test::TempProgram t;
  ASSERT_TRUE(write_sample_efficiency_library(gt_ym_path(t.prog)));
  expect_golden("sample_gt_ym.dat", test::file_bytes(gt_ym_path(t.prog)));

  // The counterweights the sample maker stores for the first well.
  const SyntheticJointParams a = first_well();
  BalanceWellBaseSource src;
  src.Cur_Well = a.well_name;
  src.Cur_Test = a.test_date;
  src.Text2 = default_parameter_boxes();
  src.Text2[0] = "4";
  src.Text2[1] = "12";
  src.Text2[2] = "1.2";
  src.Text2[6] = "3";
  src.Text2[24] = "0.3";
  src.Text2[27] = "3";
  src.Comb_Cyj_Mode = "CYJ10-3-37HB";
  test::ScriptedMessages msg;
  ASSERT_EQ(Save_WellBase(t.prog, src, msg).outcome, SaveOutcome::Saved);
  expect_golden("sample_wellbase.dat", test::file_bytes(well_base_path(t.prog)));

  // The diagnosis sample's card, the surface card embedded in its record.
  const Bytes bgt = test::file_bytes(golden_path("sample_bgt.dat"));
  ASSERT_EQ(bgt.size(), kBgtRecordSize);
  const Bytes card(bgt.begin() + 631, bgt.begin() + 631 + kSgtRecordSize);
  SgtRecord stored;
  ASSERT_TRUE(stored.decode(card));
  const SgtRecord made = make_synthetic_card(a, a.period);
  // The diagnosis fills in the card's key and results; the curves are the synthetic ones.
  Bytes expected = made.encode();
  std::copy(card.begin(), card.begin() + 128, expected.begin());
  expect_same_bytes("sample card", expected, card);
}

}  // namespace
}  // namespace wb
