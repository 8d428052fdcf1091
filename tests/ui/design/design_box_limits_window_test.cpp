// The design window's number boxes typed beyond reason: "重新设计" and "更新相关参数" stop
// with one message naming the box, the box gets the focus on its tab, and nothing the window
// shows changes; typed right again, the well designs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <vector>

#include "../../core/design/design_fixture.h"
#include "core/common/box_limits.h"
#include "core/common/gbk.h"
#include "ui/design/rod_design.h"
#include "ui/diagnosis/diagnosis_hand_over.h"
#include "ui_fakes.h"

namespace wb::design {
namespace {

struct NoDiagnosis : DiagnosisHandOver {
  void cygsj(std::string&, std::int16_t& dda) override { dda = 3; }
  std::string Text1(int) const override { return {}; }
  std::string Text5() const override { return {}; }
  std::string Text6() const override { return {}; }
};

// What the design shows: every box, caption and the centralizer table's rows.
struct Shown {
  std::vector<QString> boxes, labels;
  int fzq_rows = 0;
  bool operator==(const Shown&) const = default;
};

class DesignBoxLimitsWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    prog.root = tmp.path();
    prog.create_folders();
    const std::string cat = utf8_to_gbk("抽油机型=CYJ10-3-37HB\r\n冲    程=1.8，2.4,3\r\n\r\n");
    wb::test::put_bytes(prog.sys() / "Cyj_mode.dat", std::vector<std::uint8_t>(cat.begin(), cat.end()));
    diagnosis_hand_over_provider() = [this]() -> DiagnosisHandOver* { return &diag; };
    register_design_window(prog);
    design_window_opener()(nullptr);
    w = RodDesign::existing();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    // The worked vertical well with reservoir data, as the engine's tests design it.
    DesignState& st = w->st;
    test::set_worked_well(st);
    st.Text6[well_box::kStaticPressure] = "15";
    st.Text6[well_box::kFlowingPressure] = "8";
    st.Text6[well_box::kProductivity] = "2";
    st.Text6[well_box::kLayerMidDepth] = "1500";
    st.Text6[well_box::kOilViscosityDown] = "50";
    st.Text6[well_box::kPlungerStroke] = "2.5";
    st.Text6[well_box::kEffectiveStroke] = "2";
    st.Text6[well_box::kLoadFactorUp] = "1";
    st.Text6[well_box::kLoadFactorDown] = "1";
    st.CyjType_Comb = "CYJ10-3-37HB";
    st.JName_Comb = "W9";
    w->sync_to_widgets();
    fakes.messages.shown.clear();
  }
  void TearDown() override {
    if (w) {
      w->st.jx_changed = 0;
      w->close();
    }
    QApplication::processEvents();
    diagnosis_hand_over_provider() = nullptr;
    design_window_opener() = nullptr;
  }

  Shown shown() const {
    Shown s;
    for (QLineEdit* e : w->Text3)
      if (e) s.boxes.push_back(e->text());
    for (QLineEdit* e : w->Text6)
      if (e) s.boxes.push_back(e->text());
    for (QLabel* l : w->Label3)
      if (l) s.labels.push_back(l->text());
    s.fzq_rows = w->st.Grid2.rows();
    return s;
  }
  static void type(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
  }

  wb::test::ScopedFakeServices fakes;
  wb::test::TempProgramFolder tmp;
  ProgramFolder prog;
  NoDiagnosis diag;
  QPointer<RodDesign> w;
};

TEST_F(DesignBoxLimitsWindow, ABoxBeyondReasonIsNamedAndNothingIsDesigned) {
  struct Case {
    bool well_box;  // Text6, else Text3
    int box;
    const char* text;
    const char* message;  // how the message begins
  };
  const Case cases[] = {
      {true, well_box::kLayerMidDepth, "abc", "“油层中深”中的“abc”不是数字"},
      {true, well_box::kStaticPressure, "1e300", "“油层静压”为 1E+300 MPa"},
      {true, well_box::kWaterCut, "-5", "“原油含水率”为 -5 %"},
      {false, design_box::kSpmBefore, "99999999", "“设计前冲次”为 99999999 1/min"},
      {false, design_box::kBoreAfter, "1e300", "“设计后泵径”为 1E+300 mm"},
  };
  // A valid update first: the design every refused command must leave as it is.
  w->Cmd_Reflush->click();
  ASSERT_TRUE(fakes.messages.shown.empty()) << fakes.messages.shown[0].text;
  ASSERT_FALSE(w->st.Text3[design_box::kRods34After].empty());
  for (const Case& c : cases) {
    for (QPushButton* command : {w->DesignCom, w->Cmd_Reflush}) {
      // The redesign writes the bore after the design before it reads it.
      if (!c.well_box && c.box == design_box::kBoreAfter && command == w->DesignCom) continue;
      SCOPED_TRACE(std::string(c.text) + " " + command->text().toStdString());
      const auto i = static_cast<std::size_t>(c.box);
      QLineEdit* box = c.well_box ? w->Text6[i] : w->Text3[i];
      const QString valid = box->text();
      type(box, QString::fromUtf8(c.text));
      w->SSTab1->setCurrentIndex(4);
      const Shown typed = shown();
      fakes.messages.shown.clear();
      command->click();
      ASSERT_EQ(fakes.messages.shown.size(), 1u);
      EXPECT_EQ(fakes.messages.shown[0].text.rfind(c.message, 0), 0u) << fakes.messages.shown[0].text;
      EXPECT_EQ(fakes.messages.shown[0].title, kBoxRefusedTitle);
      EXPECT_EQ(w->focusWidget(), box);
      EXPECT_TRUE(w->SSTab1->currentWidget()->isAncestorOf(box));
      EXPECT_TRUE(shown() == typed);
      type(box, valid);
    }
  }
  // Typed right again, the well designs.
  fakes.messages.shown.clear();
  w->Cmd_Reflush->click();
  EXPECT_TRUE(fakes.messages.shown.empty());
}

}  // namespace
}  // namespace wb::design
