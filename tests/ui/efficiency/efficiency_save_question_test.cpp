// The efficiency window's "保存" for a joint test whose record exists already: the overwrite
// question comes once and first, whichever library holds the test; "否" leaves the
// efficiency, summary and well base libraries byte for byte as they were.
#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/common/trim.h"
#include "core/records/gt_ym_record.h"
#include "efficiency_window_fixture.h"

using namespace wb;
using wb::test::EffiWindow;

namespace {

namespace fs = std::filesystem;

// The file's bytes; a missing file reads as "missing".
std::string bytes_of(const fs::path& p) {
  if (!fs::exists(p)) return "missing";
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct Case {
  const char* name;
  const char* drop;  // the library removed after the first save ("" none)
};

TEST(EfficiencySaveQuestion, AskedOnceBeforeAnythingIsWritten) {
  const Case cases[] = {
      {"record in both libraries", ""},
      {"record only in the efficiency library", "wellbase.dat"},
      {"record only in the well base library", "gt_ym.dat"},
  };
  for (const Case& c : cases) {
    for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
      SCOPED_TRACE(std::string(c.name) + (answer == MsgAnswer::Yes ? ", 是" : ", 否"));
      EffiWindow e;
      ASSERT_TRUE(e.activate());
      ASSERT_EQ(e.w->st.read_sgt_dnt_org, kKindJoint);
      e.type_worked_example();
      QTest::mouseClick(e.w->Cmd_Calc, Qt::LeftButton);
      QTest::mouseClick(e.w->Cmd_Save, Qt::LeftButton);
      const fs::path sys = e.tmp.path() / "sys";
      if (*c.drop) fs::remove(sys / c.drop);
      const fs::path libs[] = {sys / "gt_ym.dat", sys / "DlPh.dat", sys / "wellbase.dat"};
      std::vector<std::string> before;
      for (const auto& p : libs) before.push_back(bytes_of(p));

      e.type(5, "25");
      QTest::mouseClick(e.w->Cmd_Calc, Qt::LeftButton);
      e.fakes.messages.shown.clear();
      e.fakes.messages.answers = {answer};
      QTest::mouseClick(e.w->Cmd_Save, Qt::LeftButton);

      int questions = 0;
      for (const auto& m : e.fakes.messages.shown)
        if (m.text == "示范井1井本次测试已有记录，要覆盖吗？") ++questions;
      EXPECT_EQ(questions, 1);
      if (answer == MsgAnswer::No) {
        for (std::size_t i = 0; i < std::size(libs); ++i)
          EXPECT_TRUE(bytes_of(libs[i]) == before[i]) << libs[i].filename() << " changed";
        EXPECT_TRUE(e.w->st.Edit_Flag);
      } else {
        for (std::size_t i = 0; i < std::size(libs); ++i)
          EXPECT_FALSE(bytes_of(libs[i]) == before[i]) << libs[i].filename() << " not written";
        std::vector<GtYmRecord> recs;
        ASSERT_EQ(read_gt_ym_records(libs[0], recs), StoreStatus::Ok);
        ASSERT_EQ(recs.size(), 1u);
        EXPECT_EQ(trim_blanks(recs[0].vals[2]), "25");  // box 5
      }
    }
  }
}

}  // namespace
