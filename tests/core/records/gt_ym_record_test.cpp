// The efficiency record: a 606-byte text line at fixed columns, cut at each width on a
// character boundary, ending in CR LF; and the library read in file order.
#include <gtest/gtest.h>

#include <string>

#include "../workbench/temp_program_folder.h"
#include "core/common/gbk.h"
#include "core/records/gt_ym_record.h"

namespace wb {
namespace {

TEST(GtYmRecord, ColumnsWidthsAndLineEnd) {
  GtYmRecord r;
  r.well_name = "北12-3";
  r.block_unit = "采油一矿";
  r.cyj_model = "CYJ10-3-37HB";
  r.motor_model = "Y250M-8";
  for (std::size_t k = 0; k < kGtYmValCount; ++k) r.vals[k] = "v" + std::to_string(k);
  r.vals[kValTestDate] = "0611081230";
  const Bytes b = r.encode();
  ASSERT_EQ(b.size(), 606u);
  const std::string s(b.begin(), b.end());
  EXPECT_EQ(s.substr(0, 16), gbk_field("北12-3", 16));
  EXPECT_EQ(s.substr(16, 20), gbk_field("采油一矿", 20));
  EXPECT_EQ(s.substr(36, 20), "CYJ10-3-37HB        ");
  EXPECT_EQ(s.substr(56, 20), "Y250M-8             ");
  EXPECT_EQ(s.substr(76, 12), "v0          ");
  EXPECT_EQ(s.substr(88, 12), "v1          ");
  EXPECT_EQ(s.substr(316, 12), "0611081230  ");
  EXPECT_EQ(s.substr(592, 12), "v43         ");
  EXPECT_EQ(s.substr(604, 2), "\r\n");

  GtYmRecord back;
  ASSERT_TRUE(back.decode(b));
  EXPECT_EQ(back.key_well(), "北12-3");
  EXPECT_EQ(back.key_test(), "0611081230");
  EXPECT_EQ(back.encode(), b);
  EXPECT_FALSE(back.decode(Bytes(605, ' ')));
}

TEST(GtYmRecord, LongTextsAreCutAtTheirWidthOnACharacterBoundary) {
  enum Field { kWell, kBlock, kVal3 };
  struct Case {
    Field field;
    const char* text;
    std::string stored;  // the field's bytes
  };
  const Case cases[] = {
      {kWell, "ABCDEFGHIJKLMNOPQRS", "ABCDEFGHIJKLMNOP"},
      {kVal3, "1234567890123456789", "123456789012"},
      // A double-byte character that would straddle the end of the field is left out and
      // its first byte becomes a blank.
      {kVal3, "12345678901一", "12345678901 "},
      {kBlock, "一二三四五六七八九十一", gbk_field("一二三四五六七八九十", 20)},
      {kBlock, "A一二三四五六七八九十", gbk_field("A一二三四五六七八九", 19) + " "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    GtYmRecord r;
    std::size_t off = 0, width = 16;
    if (c.field == kWell) r.well_name = c.text;
    if (c.field == kBlock) r.block_unit = c.text, off = 16, width = 20;
    if (c.field == kVal3) r.vals[3] = c.text, off = 76 + 12 * 3, width = 12;
    const Bytes b = r.encode();
    EXPECT_EQ(std::string(b.begin() + static_cast<std::ptrdiff_t>(off),
                          b.begin() + static_cast<std::ptrdiff_t>(off + width)),
              c.stored);
  }
}

TEST(GtYmRecord, LibraryReadsInFileOrderAndRefusesPartialRecords) {
  test::TempProgram tp;
  GtYmRecord a, c;
  a.well_name = "A";
  c.well_name = "C";
  Bytes content = a.encode();
  const Bytes cb = c.encode();
  content.insert(content.end(), cb.begin(), cb.end());
  test::put_bytes(gt_ym_path(tp.prog), content);
  std::vector<GtYmRecord> recs;
  ASSERT_EQ(read_gt_ym_records(gt_ym_path(tp.prog), recs), StoreStatus::Ok);
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(recs[1].key_well(), "C");

  content.resize(606 + 300);  // truncated mid-record
  test::put_bytes(gt_ym_path(tp.prog), content);
  EXPECT_EQ(read_gt_ym_records(gt_ym_path(tp.prog), recs), StoreStatus::Damaged);
  EXPECT_TRUE(recs.empty());

  std::filesystem::remove(gt_ym_path(tp.prog));
  EXPECT_EQ(read_gt_ym_records(gt_ym_path(tp.prog), recs), StoreStatus::Ok);
  EXPECT_TRUE(recs.empty());
}

}  // namespace
}  // namespace wb
