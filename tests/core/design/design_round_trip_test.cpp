// A design the program saved loads as it was saved: the sample design of the sample maker and
// designs the engine makes from it, loaded through the window's date choice and saved again,
// give back their record byte for byte, rod lengths and centralizer depths included.
#include <gtest/gtest.h>

#include <tuple>

#include "core/common/record_store.h"
#include "core/design/engine/rod_design_engine.h"
#include "core/design/workbench/design_record_commands.h"
#include "core/design/workbench/fzq_table.h"
#include "core/records/cyj_mode_catalog.h"
#include "core/samples/sample_design.h"
#include "core/samples/synthetic_tests.h"
#include "design_fixture.h"

namespace wb::design::test {
namespace {

constexpr const char* kWell = "示范井1";
constexpr const char* kSampleDate = "20060520";

class DesignRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    const SyntheticJointParams p = sample_well_1();
    ASSERT_TRUE(write_sample_diagnosis(tmp.prog, p, "20060512"));
    ASSERT_TRUE(write_synthetic_survey(tmp.prog.data() / u8path(std::string(kWell) + ".jx")));
    ASSERT_TRUE(write_sample_cyj_catalog(cyj_mode_path(tmp.prog)));
    ASSERT_TRUE(write_sample_design(tmp.prog, kWell, kSampleDate));
  }
  // The stored record of a date.
  Bytes stored(const std::string& date) {
    RecordStore store(design_record_path(tmp.prog), kRodDesignRecordSize);
    for (std::size_t n = 1;; ++n) {
      Bytes b;
      if (store.read(n, b) != StoreStatus::Ok) return {};
      if (record_date_key(b) == date) return b;
    }
  }
  // The design of a date chosen in a window opened afresh.
  void load(const std::string& date) {
    eng.st = DesignState{};
    eng.SetupGrids();
    choose(date);
  }
  // The design of a date chosen in the window as it stands.
  void choose(const std::string& date) {
    eng.st.JName_Comb = kWell;
    eng.st.Date_Comb = date;
    ASSERT_EQ(core.Date_Comb_Click([&] { ASSERT_EQ(controls.load(), DesignOutcome::done); }, {}),
              DesignOutcome::done);
  }
  void save(const std::string& date) {
    eng.st.Date_Comb = date;
    ASSERT_EQ(controls.save(), DesignOutcome::done);
  }
  std::string box(int i) const { return eng.st.Text3[static_cast<std::size_t>(i)]; }
  // The stress percentages after the design: sinker bar, 5/8" .. 1-1/8".
  std::array<std::string, 6> stress_labels() const {
    std::array<std::string, 6> out;
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = eng.st.Label3[design_label::kStressAfter + i];
    return out;
  }
  // The centralizer table's depths.
  std::vector<std::string> fzq_depths() const {
    std::vector<std::string> out;
    for (int r = 1; r < eng.st.Grid2.rows(); ++r) out.push_back(eng.st.Grid2.text(r, 1));
    return out;
  }
  // Loaded, then saved unchanged: the record is the same, and so is what the window shows.
  void expect_fixed_point(const std::string& date) {
    const Bytes before = stored(date);
    ASSERT_FALSE(before.empty());
    load(date);
    const auto lengths = std::array{box(design_box::kRods58After), box(design_box::kRods34After),
                                    box(design_box::kRods78After), box(design_box::kRods1After)};
    const auto depths = fzq_depths();
    save(date);
    EXPECT_TRUE(stored(date) == before);
    load(date);
    EXPECT_EQ(lengths, (std::array{box(design_box::kRods58After), box(design_box::kRods34After),
                                   box(design_box::kRods78After), box(design_box::kRods1After)}));
    EXPECT_EQ(fzq_depths(), depths);
  }
  // A loaded design shows the stress of each stored section (worked out from the stored
  // lengths, so none is left from a design shown before) and of its sinker bar, and no other.
  void expect_stress_of_each_section() {
    const auto stresses = stress_labels();
    const std::array<int, 6> boxes = {design_box::kSinkerLenAfter, design_box::kRods58After, design_box::kRods34After,
                                      design_box::kRods78After,    design_box::kRods1After,  design_box::kRods118After};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(stresses[i].empty(), !(num_val(box(boxes[i])) > 0)) << stresses[i];
    }
  }

  wb::test::TempProgram tmp;
  ScriptedMessages msgs;
  CountingShell shell;
  RodDesignEngine eng{tmp.prog, msgs, shell};
  EngineSteps steps{eng};
  DesignWindowCore core{eng.st, steps, msgs, shell, tmp.prog};
  DesignRecordCommands controls{eng.st, core, msgs, shell, tmp.prog};
};

// The sample design stores 994 m of 5/8" rods and none of 3/4": so it shows after loading,
// with the centralizers the design placed, and a save writes the record it came from.
TEST_F(DesignRoundTrip, TheSampleDesignLoadsAsSaved) {
  RodDesignRecord r;
  ASSERT_TRUE(r.decode(stored(kSampleDate)));
  load(kSampleDate);
  EXPECT_EQ(box(design_box::kRods58After), "994");
  EXPECT_EQ(box(design_box::kRods34After), "0");
  std::vector<std::string> depths;
  for (const float d : r.fzq_depth)
    if (d > 0) depths.push_back(num_text_f(d));
  ASSERT_FALSE(depths.empty());
  EXPECT_EQ(fzq_depths(), depths);
  EXPECT_EQ(msgs.texts, std::vector<std::string>{});
  expect_fixed_point(kSampleDate);
  expect_stress_of_each_section();

  // Chosen in a window that shows a string of every size, it shows its own stresses only.
  core.select_grade(6);
  eng.st.Text3[design_box::kPumpDepthAfter] = "2400";
  eng.DesignForMutual(14);
  ASSERT_FALSE(box(design_box::kRods78After).empty());
  choose(kSampleDate);
  EXPECT_EQ(box(design_box::kRods58After), "994");
  expect_stress_of_each_section();
}

// Designs the engine makes from the sample by the window's stages, each saved under a date of
// its own: K-grade rods to a 2400 m pump (every size from 3/4" up to 100 m of 1-1/8", which
// the load's run works out again), a longer sinker bar, and equal-strength rods of 7/8",
// 3/4", 5/8".
TEST_F(DesignRoundTrip, EngineDesignsLoadAsSaved) {
  struct Case {
    const char* date;
    std::function<void()> design;
  };
  const std::vector<Case> cases = {
      {"20060601", [&] {
         core.select_grade(6);  // K级杆
         eng.st.Text3[design_box::kPumpDepthAfter] = "2400";
         eng.DesignForMutual(14);
       }},
      {"20060602", [&] {
         eng.st.Text3[design_box::kSinkerLenAfter] = "120";
         eng.DesignForMutual(18);
       }},
      {"20060603", [&] {
         eng.st.Text3[design_box::kPumpDepthAfter] = "1800";
         core.select_mode(false);
         core.select_Option1(1);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.date);
    load(kSampleDate);
    c.design();
    EXPECT_EQ(msgs.texts, std::vector<std::string>{});
    save(c.date);
    expect_fixed_point(c.date);
    expect_stress_of_each_section();
  }
}

// A centralizer depth typed into the table and saved shows as typed when the design is loaded
// again, and the next save keeps it.
TEST_F(DesignRoundTrip, ATypedCentralizerDepthLoadsAsTyped) {
  load(kSampleDate);
  auto& g = eng.st.Grid2;
  ASSERT_GE(g.rows(), 4);
  const int row = 2;
  const std::string typed = num_text(num_val(g.text(row, 1)) - 1);  // between its neighbours
  eng.st.fzq_edit_row = static_cast<std::int16_t>(row);
  eng.st.fzq_edit_text = typed;
  ASSERT_EQ(commit_fzq_depth(eng.st, num_val(box(design_box::kPumpDepthAfter)), msgs), DesignOutcome::done);
  save(kSampleDate);
  RodDesignRecord r;
  ASSERT_TRUE(r.decode(stored(kSampleDate)));
  EXPECT_EQ(num_text_f(r.fzq_depth[row - 1]), typed);
  load(kSampleDate);
  EXPECT_EQ(g.text(row, 1), typed);
  EXPECT_EQ(g.text(row, 10), "");  // the design placed none there: no spacing of its own
  expect_fixed_point(kSampleDate);
}

}  // namespace
}  // namespace wb::design::test
