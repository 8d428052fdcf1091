// The design window on its real engine: an edited survey is asked about and saved as the
// survey of the well it was read for, whatever the well box holds when the question comes
// (another well typed and entered, chosen from the list, typed before "重新设计" or before a
// design date is chosen). The other well's survey file is never created or changed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "core/common/trim.h"
#include "core/design/engine/survey_file.h"
#include "ui/design/rod_design.h"
#include "ui/design/survey_frames.h"
#include "ui/diagnosis/diagnosis_hand_over.h"
#include "ui_fakes.h"

using namespace wb;
using namespace wb::design;

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes file_bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void put_survey(const fs::path& p, const std::string& first_depth) {
  std::vector<JxRecord> rows{JxRecord{{first_depth, "1", "30", "", "", ""}}, JxRecord{{"900", "2", "45", "", "", ""}}};
  const Bytes b = encode_jx_file(rows);
  std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// The diagnosis window shows well W1; the design window takes it over when it opens.
struct ShowsW1 : DiagnosisHandOver {
  void cygsj(std::string&, std::int16_t&) override {}
  std::string Text1(int i) const override { return i == 3 ? "W1" : ""; }
  std::string Text5() const override { return {}; }
  std::string Text6() const override { return {}; }
};

void choose(QComboBox* box, const QString& item) {
  box->addItem(item);
  const int i = box->findText(item);
  box->setCurrentIndex(i);
  emit box->activated(i);
}

struct Case {
  const char* name;
  bool w2_exists;
  std::function<void(RodDesign*)> move_on;  // takes the window from W1's survey towards W2
};

TEST(DesignSurveyOwner, TheEditedSurveyIsSavedAsTheShownWellsOnly) {
  const Case cases[] = {
      {"Enter in the well box", false,
       [](RodDesign* w) {
         w->JName_Comb->setFocus();
         w->JName_Comb->setEditText("W2");
         QTest::keyClick(w->JName_Comb->lineEdit(), Qt::Key_Return);
       }},
      {"Enter in the well box, W2 has a survey", true,
       [](RodDesign* w) {
         w->JName_Comb->setFocus();
         w->JName_Comb->setEditText("W2");
         QTest::keyClick(w->JName_Comb->lineEdit(), Qt::Key_Return);
       }},
      {"well chosen from the list", true, [](RodDesign* w) { choose(w->JName_Comb, "W2"); }},
      {"重新设计 after typing W2", true,
       [](RodDesign* w) {
         w->JName_Comb->setEditText("W2");
         w->DesignCom->click();
       }},
      {"design date chosen after typing W2", true,
       [](RodDesign* w) {
         w->JName_Comb->setEditText("W2");
         choose(w->Date_Comb, "2020-01-02");
       }},
  };
  for (const Case& c : cases) {
    for (const MsgAnswer answer : {MsgAnswer::Yes, MsgAnswer::No}) {
      SCOPED_TRACE(std::string(c.name) + (answer == MsgAnswer::Yes ? ", 是" : ", 否"));
      test::ScopedFakeServices fakes;
      test::TempProgramFolder tmp;
      const ProgramFolder prog{tmp.path()};
      prog.create_folders();
      const fs::path w1 = prog.data() / "W1.jx", w2 = prog.data() / "W2.jx";
      put_survey(w1, "300");
      if (c.w2_exists) put_survey(w2, "500");
      const Bytes w1_before = file_bytes(w1), w2_before = file_bytes(w2);
      ShowsW1 diag;
      diagnosis_hand_over_provider() = [&diag]() -> DiagnosisHandOver* { return &diag; };
      auto* w = new RodDesign(prog);
      w->show();
      QApplication::processEvents();
      ASSERT_EQ(w->st.Grid1.rows(), 3);  // title and two stations

      // Edit W1's first station.
      w->st.Grid1.set_text(1, 1, "333");
      w->st.jx_changed = 1;
      w->survey_frame->refresh();
      fakes.messages.answers = {answer};
      c.move_on(w);
      QApplication::processEvents();

      ASSERT_FALSE(fakes.messages.shown.empty());
      EXPECT_EQ(fakes.messages.shown[0].text, "当前井斜数据已改动，需保存吗?");
      if (answer == MsgAnswer::Yes) {
        const auto saved = decode_jx_file(file_bytes(w1));
        ASSERT_EQ(saved.size(), 2u);
        EXPECT_EQ(trim_blanks(saved[0].cols[0]), "333");
        EXPECT_EQ(trim_blanks(saved[1].cols[0]), "900");
      } else {
        EXPECT_TRUE(file_bytes(w1) == w1_before);
      }
      EXPECT_EQ(fs::exists(w2), c.w2_exists);
      EXPECT_TRUE(file_bytes(w2) == w2_before) << "W2.jx changed";

      w->st.jx_changed = 0;
      delete w;
      QApplication::processEvents();
      diagnosis_hand_over_provider() = nullptr;
    }
  }
}

}  // namespace
