// The design record store: well and date lists, load, save, keys, the centralizer rows, the
// kinematic viscosity of a load, refusals and damaged files. Fixtures are built in the tests.
#include <gtest/gtest.h>

#include <fstream>

#include "core/design/workbench/design_record_boxes.h"
#include "core/design/workbench/design_records.h"
#include "design_records_fixture.h"

namespace wb::design::test {
namespace {

namespace fs = std::filesystem;

Bytes record(const std::string& well, const std::string& date) {
  RodDesignRecord r;
  set_field_text(r.well_name, well);
  set_field_text(r.design_date, date);
  return r.encode();
}

void write_records(const fs::path& p, const std::vector<Bytes>& recs) {
  std::ofstream out(p, std::ios::binary);
  for (const Bytes& b : recs) out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

std::size_t record_count(const fs::path& p) { return fs::file_size(p) / kRodDesignRecordSize; }

// Every stored box gets a text of its own that survives the field's conversion.
void fill_every_box(DesignState& st) {
  int n = 1;
  for (const auto* table : {&design_boxes(), &well_boxes(), &struct_boxes()})
    for (const BoxField& f : *table) {
      std::string t = f.kind == FieldKind::Text ? "名" + std::to_string(n) : std::to_string(n) + ".5";
      if (f.kind == FieldKind::I16) t = std::to_string(n);
      if (f.kind == FieldKind::Text) t = gbk_pad(t, f.width);  // a loaded text shows its padding
      box_text(st, f.box, f.index) = t;
      ++n;
    }
}

TEST(DesignStore, SaveAndLoadRestoreEveryBoxAndTheCentralizerRows) {
  RecordsFixture fx;
  fill_every_box(fx.st);
  fx.st.JName_Comb = "A1";
  fx.st.Date_Comb = "20240301";
  fx.st.CyjType_Comb = "CYJ10-3-53HB";
  fx.st.Label3[3] = "0.654";
  fx.st.Text2 = "0.75";
  fx.controls.mode = 4;
  fx.controls.grade = "K";
  fx.st.Grid2.set_rows(3);
  fx.st.Grid2.set_text(1, 1, "1190");
  fx.st.Grid2.set_text(2, 1, "1100.5");
  ASSERT_EQ(SaveDesignRecord(fx.st, fx.rec, fx.io), DesignOutcome::done);
  const DesignState saved = fx.st;

  RecordsFixture other;  // a fresh window on the same file
  other.rec.path = fx.rec.path;
  other.st.JName_Comb = "A1";
  other.st.Date_Comb = "20240301";
  other.st.Grid2.set_rows(2);
  ASSERT_EQ(LoadDesignRecord(other.st, other.rec, other.io), DesignOutcome::done);
  for (const auto* table : {&design_boxes(), &well_boxes(), &struct_boxes()})
    for (const BoxField& f : *table) {
      SCOPED_TRACE(f.caption);
      EXPECT_EQ(box_text(other.st, f.box, f.index), box_text(const_cast<DesignState&>(saved), f.box, f.index));
    }
  EXPECT_EQ(other.st.CyjType_Comb, gbk_pad("CYJ10-3-53HB", 20));
  EXPECT_EQ(other.st.Label3[3], "0.654");
  EXPECT_EQ(other.st.Text2, "0.75");
  EXPECT_EQ(other.controls.mode, 4);
  EXPECT_EQ(other.controls.grade, "K");
  ASSERT_EQ(other.st.Grid2.rows(), 3);
  EXPECT_EQ(other.st.Grid2.text(1, 0), "1");
  EXPECT_EQ(other.st.Grid2.text(1, 1), "1190");
  EXPECT_EQ(other.st.Grid2.text(2, 1), "1100.5");
  // The stored stress replaces the one the grade option wrote.
  EXPECT_EQ(other.st.Text4, saved.Text4);
  // Text6 change handling ran for the changed boxes and once more for box 17.
  EXPECT_EQ(other.controls.changes.back(), 17);
}

TEST(DesignStore, CentralizerRowsFillTheFirstSlots) {
  RecordsFixture fx;
  fx.st.JName_Comb = "A1";
  fx.st.Date_Comb = "1";
  fx.st.Grid2.set_rows(kDesignFzqCount + 1);
  for (int r = 1; r <= static_cast<int>(kDesignFzqCount); ++r) fx.st.Grid2.set_text(r, 1, std::to_string(2 * r));
  ASSERT_EQ(SaveDesignRecord(fx.st, fx.rec, fx.io), DesignOutcome::done);
  EXPECT_EQ(fx.st.cur_design.fzq_depth[0], 2.0f);
  EXPECT_EQ(fx.st.cur_design.fzq_depth[197], 396.0f);  // the 198th centralizer is kept
}

TEST(DesignStore, DepthsWithEmptySlotsLoadAsConsecutiveRows) {
  RecordsFixture fx;
  RodDesignRecord r;
  set_field_text(r.well_name, "A1");
  set_field_text(r.design_date, "1");
  r.fzq_depth[1] = 120.0f;
  r.fzq_depth[3] = 250.0f;
  write_records(fx.rec.path, {r.encode()});
  fx.st.JName_Comb = "A1";
  fx.st.Date_Comb = "1";
  ASSERT_EQ(LoadDesignRecord(fx.st, fx.rec, fx.io), DesignOutcome::done);
  ASSERT_EQ(fx.st.Grid2.rows(), 3);
  EXPECT_EQ(fx.st.Grid2.text(1, 0), "1");
  EXPECT_EQ(fx.st.Grid2.text(1, 1), "120");
  EXPECT_EQ(fx.st.Grid2.text(2, 0), "2");
  EXPECT_EQ(fx.st.Grid2.text(2, 1), "250");

  RodDesignRecord none;
  set_field_text(none.well_name, "A2");
  set_field_text(none.design_date, "1");
  write_records(fx.rec.path, {none.encode()});
  fx.st.JName_Comb = "A2";
  ASSERT_EQ(LoadDesignRecord(fx.st, fx.rec, fx.io), DesignOutcome::done);
  EXPECT_EQ(fx.st.Grid2.rows(), 1);  // the heading row only
}

TEST(DesignStore, WellListKeepsCaseAndTrimsBlanks) {
  RecordsFixture fx;
  write_records(fx.rec.path, {record("A1", "1"), record("A1 ", "2"), record("a1", "3"), record("  B2", "4")});
  fx.st.JName_Comb = "typed";
  JNname_Add(fx.st, fx.rec, fx.io);
  EXPECT_EQ(fx.rec.JName_list, (std::vector<std::string>{"A1", "a1", "B2"}));
  EXPECT_EQ(fx.st.JName_Comb, "");

  fx.st.JName_Comb = "A1";
  com2_find(fx.st, fx.rec, fx.io);
  EXPECT_EQ(fx.rec.Date_list, (std::vector<std::string>{"1", "2"}));
  fx.st.JName_Comb = "B2";  // stored with leading blanks, typed without
  com2_find(fx.st, fx.rec, fx.io);
  EXPECT_EQ(fx.rec.Date_list, (std::vector<std::string>{"4"}));
  EXPECT_TRUE(fx.msg.texts.empty());
}

TEST(DesignStore, MissingOrEmptyFileLeavesNoFileAndEmptyLists) {
  for (bool empty_file : {false, true}) {
    SCOPED_TRACE(empty_file);
    RecordsFixture fx;
    if (empty_file) write_records(fx.rec.path, {});
    fx.rec.JName_list = {"old"};
    fx.rec.Date_list = {"d"};
    fx.st.Date_Comb = "d";
    JNname_Add(fx.st, fx.rec, fx.io);
    EXPECT_TRUE(fx.rec.JName_list.empty());
    if (empty_file) write_records(fx.rec.path, {});
    com2_find(fx.st, fx.rec, fx.io);
    EXPECT_EQ(fx.rec.Date_list, std::vector<std::string>{"d"});  // the date box keeps its list
    EXPECT_EQ(fx.st.Date_Comb, "d");
    EXPECT_FALSE(fs::exists(fx.rec.path));
    fx.st.JName_Comb = "A1";
    EXPECT_NE(LoadDesignRecord(fx.st, fx.rec, fx.io), DesignOutcome::done);
    EXPECT_TRUE(fx.msg.texts.empty());
  }
}

TEST(DesignStore, DamagedFileIsReportedAndNeverWritten) {
  RecordsFixture fx;
  Bytes b = record("A1", "1");
  b.push_back(0);
  write_records(fx.rec.path, {b});
  const Bytes before = wb::test::file_bytes(fx.rec.path);
  fx.st.JName_Comb = "A1";
  fx.st.Date_Comb = "1";
  JNname_Add(fx.st, fx.rec, fx.io);
  com2_find(fx.st, fx.rec, fx.io);
  EXPECT_NE(LoadDesignRecord(fx.st, fx.rec, fx.io), DesignOutcome::done);
  EXPECT_NE(SaveDesignRecord(fx.st, fx.rec, fx.io), DesignOutcome::done);
  ASSERT_EQ(fx.msg.texts.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(fx.msg.texts[i], kBadFormatText);
    EXPECT_EQ(fx.msg.titles[i], kBadFormatTitle);
  }
  EXPECT_EQ(wb::test::file_bytes(fx.rec.path), before);
}

TEST(DesignStore, SameKeyOverwritesAndANewDateAppends) {
  RecordsFixture fx;
  fx.st.JName_Comb = "A1";
  fx.st.Date_Comb = "20240301";
  fx.st.Text3[0] = "20";
  ASSERT_EQ(SaveDesignRecord(fx.st, fx.rec, fx.io), DesignOutcome::done);
  fx.st.Text3[0] = "25";
  fx.st.JName_Comb = " A1 ";  // blanks around the key do not make another record
  ASSERT_EQ(SaveDesignRecord(fx.st, fx.rec, fx.io), DesignOutcome::done);
  EXPECT_EQ(record_count(fx.rec.path), 1u);
  EXPECT_EQ(fx.st.cur_design.design_pre[0], 25.0f);
  fx.st.Date_Comb = "20240302";
  ASSERT_EQ(SaveDesignRecord(fx.st, fx.rec, fx.io), DesignOutcome::done);
  EXPECT_EQ(record_count(fx.rec.path), 2u);
  fx.st.Date_Comb = "a1";
  fx.st.JName_Comb = "a1";  // another case is another well
  ASSERT_EQ(SaveDesignRecord(fx.st, fx.rec, fx.io), DesignOutcome::done);
  EXPECT_EQ(record_count(fx.rec.path), 3u);
  EXPECT_TRUE(fx.msg.texts.empty());
}

TEST(DesignStore, KeysLongerThanTheirFieldsFindTheirRecord) {
  struct Case {
    std::string well, date, stored_well, stored_date;
  };
  const Case cases[] = {
      {"W1", "202403011200", "W1", "20240301"},  // a 12-character test date
      // 17 GBK bytes ending in a double-byte character: cut before it, never through it.
      {"A井井井井井井井井", "1", "A井井井井井井井", "1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.well);
    RecordsFixture fx;
    fx.st.JName_Comb = c.well;
    fx.st.Date_Comb = c.date;
    ASSERT_EQ(SaveDesignRecord(fx.st, fx.rec, fx.io), DesignOutcome::done);
    ASSERT_EQ(fx.msg.texts.size(), 1u);
    EXPECT_NE(fx.msg.texts[0].find("“" + c.stored_well + "”"), std::string::npos);
    ASSERT_EQ(SaveDesignRecord(fx.st, fx.rec, fx.io), DesignOutcome::done);
    EXPECT_EQ(record_count(fx.rec.path), 1u);
    JNname_Add(fx.st, fx.rec, fx.io);
    EXPECT_EQ(fx.rec.JName_list, std::vector<std::string>{c.stored_well});
    fx.st.JName_Comb = c.well;
    com2_find(fx.st, fx.rec, fx.io);
    EXPECT_EQ(fx.rec.Date_list, std::vector<std::string>{c.stored_date});
    fx.st.Date_Comb = c.date;
    EXPECT_EQ(LoadDesignRecord(fx.st, fx.rec, fx.io), DesignOutcome::done);
  }
}

TEST(DesignStore, NumbersBeyondTheirFieldRefuseTheSave) {
  struct Case {
    BoxArray box;
    int index;  // -1: the depth of centralizer row 2
    std::string text;
    std::string caption;
  };
  // Numbers beyond a double are refused as well, not stored as 0.
  const Case cases[] = {{BoxArray::Text6, 9, "32767.5", "井口温度"},
                        {BoxArray::Text6, 9, "1e400", "井口温度"},
                        {BoxArray::Text6, 13, "-40000", "油管内径"},
                        {BoxArray::Text10, 10, "40000", "表层套管直径"},
                        {BoxArray::Text3, 14, "1e39", "设计后泵挂深度"},
                        {BoxArray::Text3, 14, "1e400", "设计后泵挂深度"},
                        {BoxArray::Text6, 0, "-1e400", "油层静压"},
                        {BoxArray::Text10, 24, "-1e40", "井下工具1深度（设计前）"},
                        {BoxArray::Text10, 24, "1e400", "井下工具1深度（设计前）"},
                        {BoxArray::Text3, -1, "1e400", "扶正器第2行的深度"},
                        {BoxArray::Text3, -1, "-1e400", "扶正器第2行的深度"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    RecordsFixture fx;
    fx.st.JName_Comb = "A1";
    fx.st.Date_Comb = "1";
    fx.st.Text3[0] = "20";
    ASSERT_EQ(SaveDesignRecord(fx.st, fx.rec, fx.io), DesignOutcome::done);
    const Bytes before = wb::test::file_bytes(fx.rec.path);
    const RodDesignRecord kept = fx.st.cur_design;
    fx.st.Text3[0] = "30";
    if (c.index < 0) {
      fx.st.Grid2.set_rows(3);
      fx.st.Grid2.set_text(1, 1, "900");
      fx.st.Grid2.set_text(2, 1, c.text);
    } else {
      box_text(fx.st, c.box, c.index) = c.text;
    }
    EXPECT_NE(SaveDesignRecord(fx.st, fx.rec, fx.io), DesignOutcome::done);
    ASSERT_EQ(fx.msg.texts.size(), 1u);
    EXPECT_NE(fx.msg.texts[0].find("“" + c.caption + "”"), std::string::npos) << fx.msg.texts[0];
    EXPECT_EQ(wb::test::file_bytes(fx.rec.path), before);
    EXPECT_EQ(fx.st.cur_design.encode(), kept.encode());
  }
}

TEST(DesignStore, EmptyKeyIsRefused) {
  for (const auto& [well, date] : {std::pair<std::string, std::string>{"", "1"}, {"A1", "  "}}) {
    RecordsFixture fx;
    fx.st.JName_Comb = well;
    fx.st.Date_Comb = date;
    EXPECT_NE(SaveDesignRecord(fx.st, fx.rec, fx.io), DesignOutcome::done);
    EXPECT_NE(LoadDesignRecord(fx.st, fx.rec, fx.io), DesignOutcome::done);
    EXPECT_EQ(fx.msg.texts, (std::vector<std::string>{kEmptyDesignKeyText, kEmptyDesignKeyText}));
    EXPECT_FALSE(fs::exists(fx.rec.path));
  }
}

// Lists never read into the working record: a new design keeps its own grade and reserved bytes.
TEST(DesignStore, ListsLeaveTheWorkingRecordAlone) {
  RecordsFixture fx;
  RodDesignRecord other;
  set_field_text(other.well_name, "B1");
  set_field_text(other.design_date, "1");
  set_field_text(other.rod_grade, "H");
  other.reserved_2688.fill('x');
  write_records(fx.rec.path, {other.encode()});
  JNname_Add(fx.st, fx.rec, fx.io);
  fx.st.JName_Comb = "B1";
  com2_find(fx.st, fx.rec, fx.io);
  EXPECT_EQ(fx.st.cur_design.encode(), RodDesignRecord{}.encode());
  fx.controls.grade.clear();  // "其它杆"
  fx.st.JName_Comb = "A1";
  fx.st.Date_Comb = "1";
  ASSERT_EQ(SaveDesignRecord(fx.st, fx.rec, fx.io), DesignOutcome::done);
  EXPECT_EQ(fx.st.cur_design.rod_grade[0], 0);
  EXPECT_EQ(fx.st.cur_design.reserved_2688[0], 0);
}

TEST(DesignStore, KinematicViscosityOfALoadedDesign) {
  struct Case {
    float visc, cut, rho_o1, rho_o2;
    float before;
    float expect;
    const char* message;
  };
  const Case cases[] = {
      {20, 50, 0.86f, 0.84f, 0, 0.2162162f, nullptr},  // ρ = 0.925
      {0.5f, 50, 0.86f, 0.84f, 0, 0.01f, kViscTooSmallText},
      {300, 50, 0.86f, 0.84f, 0, 2.0f, kViscTooLargeText},
      {20, 0, 0, 0, 0, 0.01f, kViscTooSmallText},  // ρ = 0 keeps the old value, still checked
      {20, 0, 0, 0, 0.3f, 0.3f, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.visc);
    RecordsFixture fx;
    RodDesignRecord r;
    r.visc_down = c.visc;
    r.well_data[0] = c.cut;
    r.well_data[1] = c.rho_o1;
    r.well_data[2] = c.rho_o2;
    fx.st.kin_visc = c.before;
    kin_visc_from_record(fx.st, r, fx.msg);
    EXPECT_NEAR(fx.st.kin_visc, c.expect, 1e-6);
    if (c.message)
      EXPECT_EQ(fx.msg.texts, std::vector<std::string>{c.message});
    else
      EXPECT_TRUE(fx.msg.texts.empty());
  }
}

}  // namespace
}  // namespace wb::design::test
