// The record layouts at their byte offsets: every int16 field, the float fields, the curve
// blocks' first and last elements, the GBK text fields and their padding, both directions
// (encode, and decode of bytes written by hand).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/common/test_records.h"
#include "core/common/trim.h"

namespace wb {
namespace {

template <class R>
struct I16Field {
  const char* name;
  std::size_t off;
  std::int16_t R::*member;
};

template <class R>
struct Block {
  const char* name;
  std::size_t off;  // first element
  std::size_t count;
  float* (*data)(R&);
};

// Every int16 field gets its own value (offset * 7 - 300, negatives included); encode puts
// it at its offset, and decoding hand-written bytes reads it from there.
template <class R>
void check_int_fields(const std::vector<I16Field<R>>& fields, std::size_t size) {
  R rec;
  for (const auto& f : fields) rec.*(f.member) = static_cast<std::int16_t>(f.off * 7 - 300);
  const Bytes b = rec.encode();
  ASSERT_EQ(b.size(), size);
  ByteReader r(b);
  Bytes hand(size, 0);
  ByteWriter w(hand);
  for (const auto& f : fields) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(r.i16(f.off), static_cast<std::int16_t>(f.off * 7 - 300));
    w.i16(f.off, static_cast<std::int16_t>(1000 + f.off));
  }
  R back;
  ASSERT_TRUE(back.decode(hand));
  for (const auto& f : fields) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(back.*(f.member), static_cast<std::int16_t>(1000 + f.off));
  }
}

// Sine before cosine, float32 little-endian: the first and the last element of every block.
template <class R>
void check_blocks(const std::vector<Block<R>>& blocks, std::size_t size) {
  R rec;
  for (const auto& bl : blocks) {
    bl.data(rec)[0] = static_cast<float>(bl.off) + 0.25f;
    bl.data(rec)[bl.count - 1] = -static_cast<float>(bl.off) - 0.5f;
  }
  const Bytes b = rec.encode();
  ByteReader r(b);
  Bytes hand(size, 0);
  ByteWriter w(hand);
  for (const auto& bl : blocks) {
    SCOPED_TRACE(bl.name);
    const std::size_t last = bl.off + 4 * (bl.count - 1);
    EXPECT_EQ(r.f32(bl.off), static_cast<float>(bl.off) + 0.25f);
    EXPECT_EQ(r.f32(last), -static_cast<float>(bl.off) - 0.5f);
    w.f32(bl.off, 1.5f);
    w.f32(last, -2.5f);
  }
  R back;
  ASSERT_TRUE(back.decode(hand));
  for (const auto& bl : blocks) {
    SCOPED_TRACE(bl.name);
    EXPECT_EQ(bl.data(back)[0], 1.5f);
    EXPECT_EQ(bl.data(back)[bl.count - 1], -2.5f);
  }
}

TEST(TestRecords, SgtRecordLayout) {
  check_int_fields<SgtRecord>({{"point_num", 28, &SgtRecord::point_num},
                               {"real_stroke", 30, &SgtRecord::real_stroke},
                               {"max_load", 32, &SgtRecord::max_load},
                               {"min_load", 34, &SgtRecord::min_load},
                               {"theo_stroke", 44, &SgtRecord::theo_stroke},
                               {"theo_max_load", 46, &SgtRecord::theo_max_load},
                               {"theo_min_load", 48, &SgtRecord::theo_min_load},
                               {"stroke_loss", 50, &SgtRecord::stroke_loss},
                               {"joint_flag", 52, &SgtRecord::joint_flag}},
                              kSgtRecordSize);
  // ss_sin starts at byte 128, gg_cos ends at byte 511.
  check_blocks<SgtRecord>({{"ss_sin", 128, 16, [](SgtRecord& r) { return r.ss_sin.data(); }},
                           {"ss_cos", 192, 16, [](SgtRecord& r) { return r.ss_cos.data(); }},
                           {"gg_sin", 256, 32, [](SgtRecord& r) { return r.gg_sin.data(); }},
                           {"gg_cos", 384, 32, [](SgtRecord& r) { return r.gg_cos.data(); }}},
                          kSgtRecordSize);
  SgtRecord g;
  g.rod_power = 4.86f;
  g.reserved_36 = {1, 2, 3, 4};
  const Bytes b = g.encode();
  ByteReader r(b);
  EXPECT_EQ(r.f32(40), 4.86f);
  EXPECT_EQ(r.u8(36), 1);
  EXPECT_EQ(r.u8(39), 4);
}

TEST(TestRecords, DntRecordLayout) {
  check_int_fields<DntRecord>({{"point_num", 28, &DntRecord::point_num},
                               {"avg_current", 30, &DntRecord::avg_current},
                               {"avg_voltage", 32, &DntRecord::avg_voltage},
                               {"input_power", 34, &DntRecord::input_power},
                               {"reactive_power", 36, &DntRecord::reactive_power},
                               {"apparent_power", 38, &DntRecord::apparent_power},
                               {"power_factor", 40, &DntRecord::power_factor},
                               {"max_current_up", 42, &DntRecord::max_current_up},
                               {"max_current_down", 44, &DntRecord::max_current_down},
                               {"rms_current", 46, &DntRecord::rms_current},
                               {"avg_power_up", 48, &DntRecord::avg_power_up},
                               {"avg_power_down", 50, &DntRecord::avg_power_down},
                               {"rms_power", 52, &DntRecord::rms_power},
                               {"reserved_54", 54, &DntRecord::reserved_54},
                               {"reserved_56", 56, &DntRecord::reserved_56},
                               {"wiring_mode", 58, &DntRecord::wiring_mode},
                               {"reserved_60", 60, &DntRecord::reserved_60},
                               {"reserved_62", 62, &DntRecord::reserved_62},
                               {"reserved_64", 64, &DntRecord::reserved_64},
                               {"reserved_66", 66, &DntRecord::reserved_66}},
                              kDntRecordSize);
  // ii_sin starts at byte 256, pp_cos ends at byte 1023.
  check_blocks<DntRecord>({{"ii_sin", 256, 32, [](DntRecord& r) { return r.ii_sin.data(); }},
                           {"ii_cos", 384, 32, [](DntRecord& r) { return r.ii_cos.data(); }},
                           {"uu_sin", 512, 32, [](DntRecord& r) { return r.uu_sin.data(); }},
                           {"uu_cos", 640, 32, [](DntRecord& r) { return r.uu_cos.data(); }},
                           {"pp_sin", 768, 32, [](DntRecord& r) { return r.pp_sin.data(); }},
                           {"pp_cos", 896, 32, [](DntRecord& r) { return r.pp_cos.data(); }}},
                          kDntRecordSize);
}

TEST(TestRecords, XbtRecordLayout) {
  check_int_fields<XbtRecord>({{"reserved_28", 28, &XbtRecord::reserved_28},
                               {"current", 30, &XbtRecord::current},
                               {"voltage", 32, &XbtRecord::voltage},
                               {"active_power", 34, &XbtRecord::active_power},
                               {"apparent_power", 36, &XbtRecord::apparent_power},
                               {"power_factor", 38, &XbtRecord::power_factor},
                               {"phase_diff", 40, &XbtRecord::phase_diff},
                               {"order_num", 42, &XbtRecord::order_num}},
                              kXbtRecordSize);
  // ii_sin starts at byte 224, uu_cos ends at byte 1023.
  check_blocks<XbtRecord>({{"ii_sin", 224, 50, [](XbtRecord& r) { return r.ii_sin.data(); }},
                           {"ii_cos", 424, 50, [](XbtRecord& r) { return r.ii_cos.data(); }},
                           {"uu_sin", 624, 50, [](XbtRecord& r) { return r.uu_sin.data(); }},
                           {"uu_cos", 824, 50, [](XbtRecord& r) { return r.uu_cos.data(); }}},
                          kXbtRecordSize);
}

// The key fields: GBK, blank-padded, cut at the field's width without splitting a character.
// 示 CABE, 范 B7B6, 井 BEAE.
TEST(TestRecords, KeyTextFields) {
  struct Case {
    const char* well;
    std::string bytes;  // the 16 bytes at offset 0
  } cases[] = {
      {"W12-3", "W12-3" + std::string(11, ' ')},
      {"示范井示范井示范", "\xCA\xBE\xB7\xB6\xBE\xAE\xCA\xBE\xB7\xB6\xBE\xAE\xCA\xBE\xB7\xB6"},  // 8 fill 16
      {"示范井示范井示范井", "\xCA\xBE\xB7\xB6\xBE\xAE\xCA\xBE\xB7\xB6\xBE\xAE\xCA\xBE\xB7\xB6"},  // cut
      {"A示范井示范井示范", "A\xCA\xBE\xB7\xB6\xBE\xAE\xCA\xBE\xB7\xB6\xBE\xAE\xCA\xBE "},  // never half
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.well);
    SgtRecord g;
    g.well_name = c.well;
    g.test_date = "200605121430";
    DntRecord d;
    d.well_name = c.well;
    XbtRecord x;
    x.well_name = c.well;
    for (const Bytes& b : {g.encode(), d.encode(), x.encode()}) {
      EXPECT_EQ(std::string(b.begin(), b.begin() + 16), c.bytes);
    }
    const Bytes b = g.encode();
    EXPECT_EQ(std::string(b.begin() + 16, b.begin() + 28), "200605121430");
    EXPECT_EQ(b[28], 0);  // point_num follows right after
  }
}

// A reader keeps the padding it finds, blanks or NULs; trimmed, both give the same key.
TEST(TestRecords, PaddingIsKeptAndTrimsToTheSameKey) {
  Bytes nul(kSgtRecordSize, 0);
  Bytes blank(kSgtRecordSize, 0);
  const std::string name = "W1";
  std::copy(name.begin(), name.end(), nul.begin());
  std::copy(name.begin(), name.end(), blank.begin());
  std::fill(blank.begin() + 2, blank.begin() + 16, ' ');
  SgtRecord a, b;
  ASSERT_TRUE(a.decode(nul));
  ASSERT_TRUE(b.decode(blank));
  EXPECT_EQ(a.well_name, std::string("W1") + std::string(14, '\0'));
  EXPECT_EQ(b.well_name, "W1" + std::string(14, ' '));
  EXPECT_EQ(Trim_Blank_Nul(a.well_name), Trim_Blank_Nul(b.well_name));
}

// A buffer shorter than the record is refused and the record keeps its fields.
TEST(TestRecords, ShortBufferIsRefused) {
  SgtRecord g;
  g.point_num = 145;
  EXPECT_FALSE(g.decode(Bytes(kSgtRecordSize - 1, 0)));
  EXPECT_EQ(g.point_num, 145);
  DntRecord d;
  d.wiring_mode = 3;
  EXPECT_FALSE(d.decode(Bytes(kDntRecordSize - 1, 0)));
  EXPECT_EQ(d.wiring_mode, 3);
  XbtRecord x;
  x.order_num = 50;
  EXPECT_FALSE(x.decode(Bytes(kXbtRecordSize - 1, 0)));
  EXPECT_EQ(x.order_num, 50);
  OrgFileHeader h;
  EXPECT_FALSE(h.decode(Bytes(kOrgHeaderSize - 1, 0)));
}

// The raw joint-test header: the fields read sit at 12, 28, 30 and 47; the 16-bit words at
// odd offsets around them are not read.
TEST(TestRecords, OrgHeaderFields) {
  Bytes b(kOrgHeaderSize, ' ');
  const std::string date = "200605121430";
  std::copy(date.begin(), date.end(), b.begin() + 12);
  ByteWriter w(b);
  w.i16(24, 111);
  w.i16(26, 222);
  w.i16(28, 2500);
  w.i16(30, 4);
  w.i16(45, 333);
  const std::string well = "\xCA\xBE\xB7\xB6\xBE\xAE" "1";  // 示范井1
  std::copy(well.begin(), well.end(), b.begin() + 47);
  OrgFileHeader h;
  ASSERT_TRUE(h.decode(b));
  EXPECT_EQ(h.test_date, date);
  EXPECT_EQ(h.sample_count, 2500);
  EXPECT_EQ(h.wiring_mode, 4);
  EXPECT_EQ(Trim_Blank_Nul(h.well_name), "示范井1");
  EXPECT_EQ(h.encode(), b);  // the unread bytes are kept
}

TEST(TestRecords, WiringModeNames) {
  EXPECT_STREQ(wiring_mode_name(1), "三相二通道");
  EXPECT_STREQ(wiring_mode_name(2), "三相一通道");
  EXPECT_STREQ(wiring_mode_name(3), "单相测试  ");
  EXPECT_STREQ(wiring_mode_name(4), "三相三通道");
}

}  // namespace
}  // namespace wb
