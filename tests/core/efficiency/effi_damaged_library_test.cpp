// A damaged efficiency library in the efficiency window's core: refused records are left out
// of the lists and not shown, damaged fields are shown (and carried forward) blank, opening
// the library names them once, and boxes shown with blanked fields are not stored again
// under their key without a question. A doubtful well base record is named when taken and
// asked about before it is stored.
#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <string>
#include <vector>

#include "../workbench/temp_program_folder.h"
#include "core/common/dlph_record.h"
#include "core/efficiency/effi_hand_over.h"
#include "core/efficiency/effi_records.h"
#include "core/records/gt_ym_checks.h"
#include "effi_test_util.h"

namespace wb {
namespace {

namespace fs = std::filesystem;
using test::file_bytes;
using test::put_bytes;
using test::sample_effi_boxes;
using test::ScriptedMessages;
using test::TempProgram;

// W1 sound, W2 with a pump bore of 1E+300 and a water cut of "nan", a record whose line end
// was overwritten (shifted or foreign bytes), W4 sound.
std::vector<std::uint8_t> damaged_library() {
  std::vector<std::uint8_t> out;
  for (const char* well : {"W1", "W2", "W3", "W4"}) {
    GtYmRecord r = gt_ym_from_boxes(sample_effi_boxes(well, std::string("06110812") + well[1]));
    if (std::string(well) == "W2") {
      r.vals[kValPumpDia] = "1E+300";
      r.vals[kValWaterCut] = "nan";
    }
    Bytes b = r.encode();
    if (std::string(well) == "W3") b[604] = b[605] = 0xEE;
    out.insert(out.end(), b.begin(), b.end());
  }
  return out;
}

struct EffiDamagedLibrary : ::testing::Test {
  TempProgram tp;
  ScriptedMessages msg;
  DlPhRecord buf;
  fs::path lib() const { return gt_ym_path(tp.prog); }
  void SetUp() override { put_bytes(lib(), damaged_library()); }
};

TEST_F(EffiDamagedLibrary, OpeningTheLibraryNamesItsDamageOnce) {
  fs::path accepted;
  EXPECT_EQ(check_library_box(lib().string(), EffiLibrary::Efficiency, tp.prog, accepted, msg), LibraryBoxCheck::Accepted);
  ASSERT_EQ(msg.shown.size(), 1u);
  EXPECT_EQ(msg.shown[0].title, kGtYmDamagedTitle);
  for (const char* want : {"第 2 条记录（W2）", "泵径、含水率", "第 3 条记录"})
    EXPECT_NE(msg.shown[0].text.find(want), std::string::npos) << want;
  // The card and power-curve libraries are not efficiency records.
  EXPECT_EQ(check_library_box(lib().string(), EffiLibrary::Card, tp.prog, accepted, msg), LibraryBoxCheck::Refused);
}

TEST_F(EffiDamagedLibrary, ListsOfferEveryKeyButARefusedRecordShowsNothing) {
  std::vector<std::string> wells;
  Find_WellNmae_To_Comb(lib(), wells);
  EXPECT_EQ(wells, (std::vector<std::string>{"W1", "W2", "W3", "W4"}));
  const std::size_t r = find_effi_test(lib(), "W3", "06110812" "3");
  ASSERT_EQ(r, 3u);
  EffiBoxTexts boxes = sample_effi_boxes();
  EXPECT_FALSE(EffiRecode_To_Text(lib(), std::to_string(r), boxes).shown);
  EXPECT_EQ(boxes[0], "");
}

TEST_F(EffiDamagedLibrary, ShowingBlanksDamagedFieldsAndEmptiesARefusedRecord) {
  EffiBoxTexts boxes = sample_effi_boxes("old");
  const EffiShown w2 = EffiRecode_To_Text(lib(), "2", boxes);
  ASSERT_TRUE(w2.shown);
  EXPECT_EQ(boxes[0], "W2");
  EXPECT_EQ(boxes[4], "");   // pump bore
  EXPECT_EQ(boxes[6], "");   // water cut
  EXPECT_EQ(boxes[5], "35.2");  // sound fields as stored
  EXPECT_EQ(w2.damaged, (std::vector<std::size_t>{kValPumpDia, kValWaterCut}));

  const EffiShown w3 = EffiRecode_To_Text(lib(), "3", boxes);
  EXPECT_FALSE(w3.shown);
  EXPECT_TRUE(w3.refused);
  for (const std::string& b : boxes) EXPECT_EQ(b, "");
}

TEST_F(EffiDamagedLibrary, BlankedFieldsAreNotStoredAgainWithoutAQuestion) {
  EffiBoxTexts boxes;
  const EffiShown shown = EffiRecode_To_Text(lib(), "2", boxes);
  const EffiShownDamage damage = shown_damage_of(shown, boxes);
  const auto before = file_bytes(lib());

  msg.answers = {MsgAnswer::No};
  EXPECT_FALSE(damaged_rewrite_confirmed(damage, boxes, msg));
  ASSERT_EQ(msg.shown.size(), 1u);
  EXPECT_NE(msg.shown[0].text.find("泵径、含水率"), std::string::npos) << msg.shown[0].text;

  // The edited record offered for saving: No to the second question stores nothing.
  bool edited = true;
  std::string text7 = "2";
  msg.answers = {MsgAnswer::Yes, MsgAnswer::No};
  EXPECT_EQ(offer_save_edited(edited, text7, lib(), tp.prog, boxes, buf, msg, &damage), EditedSave::Discarded);
  EXPECT_EQ(file_bytes(lib()), before);
  EXPECT_TRUE(edited);

  // Another test in the boxes, or a sound record shown, asks nothing.
  boxes[23] = "0611081299";
  EXPECT_TRUE(damaged_rewrite_confirmed(damage, boxes, msg));
  EXPECT_TRUE(damaged_rewrite_confirmed(EffiShownDamage{}, boxes, msg));
  EXPECT_EQ(msg.shown.size(), 3u);
}

TEST_F(EffiDamagedLibrary, CarryForwardPassesOverRefusedAndBlanksDamaged) {
  // W3's newest record is refused: its older sound record supplies the data.
  std::vector<std::uint8_t> bytes = damaged_library();
  GtYmRecord older = gt_ym_from_boxes(sample_effi_boxes("W3", "0511081200"));
  older.vals[kValPumpDia] = "44";
  const Bytes ob = older.encode();
  bytes.insert(bytes.begin(), ob.begin(), ob.end());
  put_bytes(lib(), bytes);
  SysEffiState s;
  s.Text1[0] = "W3";
  ASSERT_EQ(carry_forward_base_data(s, lib()), CarryForward::Carried);
  EXPECT_EQ(s.Text1[4], "44");

  SysEffiState w2;
  w2.Text1[0] = "W2";
  w2.Text1[4] = "kept";
  ASSERT_EQ(carry_forward_base_data(w2, lib()), CarryForward::Carried);
  EXPECT_EQ(w2.Text1[4], "");  // damaged: blank, not the box's earlier text
  EXPECT_EQ(w2.Text1[6], "");
  EXPECT_EQ(w2.Text1[5], "35.2");
}

// The well base record of a joint test, stored through the efficiency window's save.
struct EffiWellBaseSave : ::testing::Test {
  TempProgram tp;
  ScriptedMessages msg;
  DlPhRecord buf;
  std::vector<float> flat = std::vector<float>(301, 1.0f);
  EffiWellBaseSource source(const EffiBoxTexts& boxes) {
    EffiWellBaseSource src;
    src.boxes = boxes;
    src.gt_num = src.iu_num = 300;
    src.cs_fs = 1;
    src.sss = src.ggs = src.uus = src.iis = src.pps = flat;
    return src;
  }
};

TEST_F(EffiWellBaseSave, ADoubtfulRecordIsStoredOnlyWhenTheUserSaysSo) {
  EffiBoxTexts boxes = sample_effi_boxes();
  boxes[6] = "150";  // water cut above 100 %
  const EffiWellBaseSource src = source(boxes);
  msg.answers = {MsgAnswer::No};
  const EffiTestSaveResult no = save_effi_test(gt_ym_path(tp.prog), tp.prog, boxes, buf, &src, msg);
  EXPECT_TRUE(no.declined);
  ASSERT_EQ(msg.shown.size(), 1u);
  EXPECT_EQ(msg.shown[0].title, kWellBaseDoubtsTitle);
  EXPECT_NE(msg.shown[0].text.find("含水率为 150 %"), std::string::npos) << msg.shown[0].text;
  EXPECT_FALSE(fs::exists(gt_ym_path(tp.prog)));  // nothing stored anywhere
  EXPECT_FALSE(fs::exists(well_base_path(tp.prog)));

  msg.answers = {MsgAnswer::Yes};
  const EffiTestSaveResult yes = save_effi_test(gt_ym_path(tp.prog), tp.prog, boxes, buf, &src, msg);
  EXPECT_TRUE(yes.effi.saved);
  EXPECT_EQ(yes.well_base.outcome, SaveOutcome::Saved);

  // A sound test asks nothing.
  ScriptedMessages quiet;
  const EffiWellBaseSource good = source(sample_effi_boxes("W9"));
  EXPECT_TRUE(save_effi_test(gt_ym_path(tp.prog), tp.prog, good.boxes, buf, &good, quiet).effi.saved);
  EXPECT_TRUE(quiet.shown.empty());
}

TEST_F(EffiWellBaseSave, AWellBasePartRefusedWritesNoneOfTheThreeLibraries) {
  EffiBoxTexts boxes = sample_effi_boxes();
  boxes[16] = "32.768";  // tubing pressure: does not fit the well base record's 16-bit field
  const EffiWellBaseSource src = source(boxes);
  const EffiTestSaveResult r = save_effi_test(gt_ym_path(tp.prog), tp.prog, boxes, buf, &src, msg);
  EXPECT_FALSE(r.effi.saved);
  EXPECT_EQ(r.well_base.outcome, SaveOutcome::OutOfRange);
  EXPECT_FALSE(fs::exists(gt_ym_path(tp.prog)));
  EXPECT_FALSE(fs::exists(tp.prog.sys() / kDlPhFileName));
  EXPECT_FALSE(fs::exists(well_base_path(tp.prog)));
  ASSERT_EQ(msg.shown.size(), 2u);  // the field that does not fit, then that nothing was saved
  EXPECT_NE(msg.shown[0].text.find("井口油压"), std::string::npos) << msg.shown[0].text;
  EXPECT_NE(msg.shown[1].text.find("都未保存"), std::string::npos) << msg.shown[1].text;
}

TEST(WellBaseDoubts, TableOfFields) {
  struct Case {
    const char* what;
    void (*damage)(WellBaseRecord&);
    const char* named;
  };
  const Case cases[] = {
      {"water cut", [](WellBaseRecord& r) { r.water_cut = 1500; }, "含水率"},
      {"wiring", [](WellBaseRecord& r) { r.wiring_mode = 9; }, "接线方式"},
      {"count", [](WellBaseRecord& r) { r.point_num = 5000; }, "每冲程点数"},
      {"nan density", [](WellBaseRecord& r) { r.liquid_density = std::numeric_limits<float>::quiet_NaN(); }, "产液密度不是可能的数值"},
      {"huge level", [](WellBaseRecord& r) { r.fluid_level = 3e38f; }, "动液面不是可能的数值"},
      {"negative blocks", [](WellBaseRecord& r) { r.crank_blocks = -3; }, "平衡块数"},
      {"angle", [](WellBaseRecord& r) { r.balance_arm_angle = 400; }, "平衡臂偏置角"},
      {"group", [](WellBaseRecord& r) { r.crank_group[2].weight = -1; }, "第 3 组"},
  };
  WellBaseRecord sound;
  sound.wiring_mode = 1;
  sound.point_num = 300;
  sound.liquid_density = 0.95f;
  sound.balance_arm_angle = -5;
  EXPECT_TRUE(well_base_doubts(sound).empty());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WellBaseRecord r = sound;
    c.damage(r);
    const std::vector<std::string> d = well_base_doubts(r);
    ASSERT_FALSE(d.empty());
    EXPECT_NE(d[0].find(c.named), std::string::npos) << d[0];
    for (const std::string& line : d) {
      EXPECT_EQ(line.find("nan"), std::string::npos) << line;
      EXPECT_EQ(line.find("E+38"), std::string::npos) << line;
    }
  }
}

// A stroke count beyond what a test keeps is one finding, not one per check that sees it.
TEST(WellBaseDoubts, ACountBeyondAStrokeIsNamedOnce) {
  WellBaseRecord r;
  r.wiring_mode = 1;
  r.point_num = 5000;
  const std::vector<std::string> doubts = well_base_doubts(r);
  EXPECT_EQ(std::count_if(doubts.begin(), doubts.end(),
                          [](const std::string& d) { return d.find("每冲程点数") != std::string::npos; }),
            1);
}

}  // namespace
}  // namespace wb
