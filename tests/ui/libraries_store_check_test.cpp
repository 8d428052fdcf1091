// Saving or exporting a test whose boxes hold what its record cannot store: the user is
// asked first, told which boxes or which name, and nothing is written when the answer is No.
#include <gtest/gtest.h>

#include <QApplication>
#include <fstream>

#include "core/common/test_records.h"
#include "core/workbench/test_libraries.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"
#include "../core/workbench/temp_program_folder.h"

using namespace wb;

namespace {

namespace fs = std::filesystem;

// A card file N5.g01 opened in the main window.
struct CardShown {
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  std::unique_ptr<RodEngMapDisplay> w;
  CardShown() {
    prog.create_folders();
    SgtRecord r;
    r.well_name = "N5";
    r.test_date = "200607081200";
    r.point_num = 400;
    r.theo_max_load = 5000;
    r.ss_cos[0] = 3.0f;
    r.gg_cos[0] = 80.0f;
    test::put_bytes(prog.data() / "N5.g01", r.encode());
    w = std::make_unique<RodEngMapDisplay>(prog);
    w->open_card_file(prog.data() / "N5.g01");
  }
  fs::path library() const { return library_path(prog, LibraryKind::Card); }
};

}  // namespace

TEST(LibrariesStoreCheck, ABoxThatDoesNotFitIsNamedBeforeTheSave) {
  struct Case {
    int box;
    const char* value;
    const char* caption;
  } cases[] = {{4, "400", "理论最大负荷"}, {3, "45", "标称冲程"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    test::ScopedFakeServices fakes;
    CardShown s;
    ASSERT_EQ(s.w->st.read_sgt_dnt_org, kKindCard);
    s.w->Text1[c.box]->setText(QString::fromUtf8(c.value));
    fakes.messages.answers = {MsgAnswer::No};
    s.w->Image1_Click(7);
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_NE(fakes.messages.shown[0].text.find(c.caption), std::string::npos) << fakes.messages.shown[0].text;
    EXPECT_EQ(fakes.messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_FALSE(fs::exists(s.library()));  // declined: nothing written
    fakes.messages.answers = {MsgAnswer::Yes};
    s.w->Image1_Click(7);
    EXPECT_EQ(fs::file_size(s.library()), kSgtRecordSize);
  }
}

TEST(LibrariesStoreCheck, ANameCutOrChangedIsToldBeforeItReplacesARecord) {
  std::string forty;
  for (int i = 0; i < 40; ++i) forty += "井";
  struct Case {
    std::string name;
    const char* shown_as;
  } cases[] = {{forty, "井井井井井井井井”"}, {"W😀1", "“W?1”"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::ScopedFakeServices fakes;
    CardShown s;
    s.w->Text1[2]->setText(QString::fromStdString(c.name));
    fakes.messages.answers = {MsgAnswer::No};
    s.w->Image1_Click(7);
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_NE(fakes.messages.shown[0].text.find(c.shown_as), std::string::npos) << fakes.messages.shown[0].text;
    EXPECT_FALSE(fs::exists(s.library()));
  }
}

TEST(LibrariesStoreCheck, ANameThatFitsAsksNothing) {
  test::ScopedFakeServices fakes;
  CardShown s;
  s.w->Text1[2]->setText(QString::fromUtf8("示范井12345"));
  s.w->Image1_Click(7);
  EXPECT_TRUE(fakes.messages.shown.empty());
  EXPECT_EQ(fs::file_size(s.library()), kSgtRecordSize);
}
