// The 5120-byte design record: offsets, byte-exact round trip, the box tables, the box/field
// conversions and the packing of the two pump efficiencies.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>

#include "core/common/gbk.h"
#include "core/design/workbench/design_record_boxes.h"
#include "core/design/workbench/design_records.h"
#include "core/design/engine/rod_design_record.h"

namespace wb::design {
namespace {

float f32_at(const Bytes& b, std::size_t off) {
  float v;
  std::memcpy(&v, b.data() + off, 4);  // little-endian host
  return v;
}
std::int16_t i16_at(const Bytes& b, std::size_t off) {
  return static_cast<std::int16_t>(b[off] | (b[off + 1] << 8));
}

TEST(RodDesignRecord, FieldsStandAtTheirUnalignedOffsets) {
  RodDesignRecord r;
  set_field_text(r.well_name, "A1");
  set_field_text(r.rod_grade, "D");
  r.design_mode = 3;
  r.stress_allow = 794.0f;
  r.stress_factor = 0.85f;
  r.fzq_depth[0] = 120.0f;
  r.fzq_depth[197] = 250.0f;
  r.pump_eff_pack = 654.75f;
  r.gas_oil_ratio = 30.0f;
  r.casing_dia[2] = 178;
  r.casing_depth[2] = 1500.0f;
  r.power_oil[9] = 42.0f;
  r.wellhead_temp = 42;
  r.tubing_id = 62;
  const Bytes b = r.encode();
  ASSERT_EQ(b.size(), 5120u);
  EXPECT_EQ(b[0], 'A');
  EXPECT_EQ(b[2], ' ');  // blank-padded
  EXPECT_EQ(i16_at(b, 232), 3);
  EXPECT_EQ(b[234], 'D');
  EXPECT_EQ(f32_at(b, 235), 794.0f);
  EXPECT_EQ(f32_at(b, 239), 0.85f);
  EXPECT_EQ(f32_at(b, 243), 120.0f);
  EXPECT_EQ(f32_at(b, 243 + 4 * 197), 250.0f);
  EXPECT_EQ(f32_at(b, 1035), 654.75f);
  EXPECT_EQ(f32_at(b, 1043), 30.0f);
  EXPECT_EQ(i16_at(b, 1120), 178);
  EXPECT_EQ(f32_at(b, 1122), 1500.0f);
  EXPECT_EQ(f32_at(b, 2048 + 36), 42.0f);
  EXPECT_EQ(i16_at(b, 5116), 42);
  EXPECT_EQ(i16_at(b, 5118), 62);
}

TEST(RodDesignRecord, AnyBytesComeBackUnchanged) {
  std::mt19937 gen(7);
  Bytes in(kRodDesignRecordSize);
  for (auto& c : in) c = static_cast<std::uint8_t>(gen());
  RodDesignRecord r;
  ASSERT_TRUE(r.decode(in));
  EXPECT_EQ(r.encode(), in);
  EXPECT_FALSE(r.decode(Bytes(5119, 0)));
}

// Every stored box has a field of its own inside the record, and no two fields overlap.
TEST(DesignRecordBoxes, FieldsAreDistinctAndInside) {
  std::set<std::size_t> used;
  std::set<std::pair<int, int>> boxes;
  std::size_t count = 0;
  for (const auto* table : {&design_boxes(), &well_boxes(), &struct_boxes()})
    for (const BoxField& f : *table) {
      SCOPED_TRACE(f.caption);
      ++count;
      EXPECT_TRUE(boxes.insert({static_cast<int>(f.box), f.index}).second);
      EXPECT_LE(f.offset + f.width, kRodDesignRecordSize);
      for (std::size_t i = f.offset; i < f.offset + f.width; ++i) EXPECT_TRUE(used.insert(i).second) << i;
    }
  // 28 Text3 + Text4 + Text5, 28 Text6, 69 Text10.
  EXPECT_EQ(design_boxes().size(), 30u);
  EXPECT_EQ(well_boxes().size(), 28u);
  EXPECT_EQ(struct_boxes().size(), 69u);
  EXPECT_EQ(find_box(BoxArray::Text10, 61), nullptr);  // the tenth tool row is not stored
  EXPECT_EQ(find_box(BoxArray::Text6, 18), nullptr);   // load factors are not stored
}

TEST(DesignRecordBoxes, ConversionsBetweenBoxesAndFields) {
  struct Case {
    BoxArray box;
    int index;
    std::string typed;
    bool fits;
    std::string shown;
  };
  const Case cases[] = {
      {BoxArray::Text3, 3, "38", true, "38"},
      {BoxArray::Text3, 3, "0.1", true, "0.1"},
      {BoxArray::Text3, 3, "", true, "0"},
      {BoxArray::Text3, 3, "abc", true, "0"},
      {BoxArray::Text3, 3, "12abc", true, "12"},
      {BoxArray::Text3, 3, "1234.56789", true, "1234.568"},  // 7 significant digits
      {BoxArray::Text3, 3, "1e39", false, ""},
      {BoxArray::Text10, 10, "2.5", true, "2"},  // int16: halves go to the even neighbour
      {BoxArray::Text10, 10, "3.5", true, "4"},
      {BoxArray::Text10, 10, "-2.5", true, "-2"},
      {BoxArray::Text6, 9, "32767.4", true, "32767"},
      {BoxArray::Text6, 9, "32767.5", false, ""},
      {BoxArray::Text6, 13, "-40000", false, ""},
      {BoxArray::Text10, 0, "  2003.5", true, "  2003.5     "},  // text kept, padded to 13
      {BoxArray::Text10, 52, "张三李四王", true, "张三李四"},     // cut at a whole character
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    const BoxField* f = find_box(c.box, c.index);
    ASSERT_NE(f, nullptr);
    Bytes b(kRodDesignRecordSize, 0xAB);
    const Bytes before = b;
    EXPECT_EQ(put_box_text(b, *f, c.typed), c.fits);
    if (c.fits)
      EXPECT_EQ(field_box_text(b, *f), c.shown);
    else
      EXPECT_EQ(b, before);
  }
}

TEST(PumpEffPacking, PacksAndUnpacksBothEfficiencies) {
  struct Case {
    const char* caption;
    const char* design;
    float pack;
    const char* caption_back;
    const char* design_back;
  };
  const Case cases[] = {
      {"0.654", "0.75", 654.75f, "0.654", "0.75"},
      {"0.61", "0.61", 610.61f, "0.61", "0.61"},  // a plain cut would give 0.609
      {"0.816", "0.816", 816.816f, "0.816", "0.816"},  // and 0.815
      {"1.361", "0.9", 1361.9f, "1.361", "0.9"},
      {"0.4", "0.5", 400.5f, "0.4", "0.5"},
      {"", "0", 0.0f, "0", "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    const std::optional<float> p = pack_pump_eff(c.caption, c.design);
    ASSERT_TRUE(p);
    EXPECT_EQ(*p, c.pack);
    std::string caption, design;
    unpack_pump_eff(*p, caption, design);
    EXPECT_EQ(caption, c.caption_back);
    EXPECT_EQ(design, c.design_back);
  }
  EXPECT_FALSE(pack_pump_eff("1e36", "0.5"));
  EXPECT_FALSE(pack_pump_eff("0.6", "1e400"));  // beyond a double: not read as 0
}

}  // namespace
}  // namespace wb::design
