// The counterbalance window's browsing of its library: the data-file box, the lists, the
// record the "记录" box names, ←, →, × and the deletion of the print selection's rows.
#include "core/balance/phfx_browser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../efficiency/effi_test_util.h"
#include "core/common/messages.h"
#include "core/common/record_store.h"
#include "core/common/trim.h"
#include "../workbench/temp_program_folder.h"
#include "phfx_test_library.h"

namespace wb {
namespace {

namespace fs = std::filesystem;

// A program folder of the test's own; its library is sys/phfx.dat.
struct TempDir : test::TempProgram {
  const fs::path root = prog.root;
  fs::path lib() const { return phfx_path(prog); }
};

struct Rec {
  const char* well;
  const char* test;
};

// Records in order; each one's point count is its number, its load's first term ten times that.
void write_library(const fs::path& lib, const std::vector<Rec>& keys) {
  std::vector<PhfxRecord> recs(keys.size());
  for (std::size_t k = 0; k < keys.size(); ++k) {
    recs[k].well_name = keys[k].well;
    recs[k].test_date = keys[k].test;
    recs[k].point_num = static_cast<std::int16_t>(k + 1);
    recs[k].gg_sin.fill(10.0f * static_cast<float>(k + 1));
    recs[k].gg_cos.fill(-10.0f * static_cast<float>(k + 1));
  }
  test::write_phfx_library(lib, recs);
}

std::vector<int> point_nums(const fs::path& lib) { return test::phfx_point_nums(lib); }

const std::vector<Rec> kDuplicated{{"W1", "200601011200"}, {"W2", "200601011200"}, {"W1", "200601011200"},
                                   {"W3", "200601011300"}};

// A key stored twice: the window's test list shows the first record of it.
TEST(PhfxBrowser, FindTakesTheFirstRecordOfAKey) {
  TempDir d;
  write_library(d.lib(), kDuplicated);
  EXPECT_EQ(phfx_record_of(d.lib(), "W1", "200601011200"), 1u);
  EXPECT_EQ(phfx_record_of(d.lib(), " W1 ", "200601011200 "), 1u);  // keys compared trimmed
  EXPECT_EQ(phfx_record_of(d.lib(), "W3", "200601011300"), 4u);
  EXPECT_EQ(phfx_record_of(d.lib(), "W3", "200601011200"), 0u);
  EXPECT_EQ(phfx_record_of(d.root / "sys" / "none.dat", "W1", "200601011200"), 0u);
  { std::ofstream(d.lib(), std::ios::binary | std::ios::app) << "xyz"; }  // no longer whole records
  EXPECT_EQ(phfx_record_of(d.lib(), "W1", "200601011200"), 0u);
}

TEST(PhfxBrowser, StepsStopAtBothEnds) {
  TempDir d;
  write_library(d.lib(), kDuplicated);
  struct Case {
    const char* text7;
    int index;
    std::size_t want;
  } cases[] = {{"1", 0, 1}, {"2", 0, 1}, {"4", 1, 4}, {"3", 1, 4}, {"", 1, 1}, {"9", 0, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text7) + (c.index == 0 ? " ←" : " →"));
    EXPECT_EQ(phfx_review_target(d.lib(), c.text7, c.index), c.want);
  }
}

// The "记录" box reads the record it names into the window's buffer; "保持载荷不变" keeps the
// load of the record held before (terms 0..30, the stored ones) with the new electric curves.
TEST(PhfxBrowser, ShowReadsTheNamedRecordAndKeepsTheLoadWhenAsked) {
  TempDir d;
  write_library(d.lib(), kDuplicated);
  PhfxRecord held;
  ASSERT_TRUE(show_phfx_record(d.lib(), "2", false, held).shown);
  EXPECT_EQ(held.point_num, 2);
  EXPECT_EQ(held.gg_sin[0], 20.0f);

  const PhfxShown kept = show_phfx_record(d.lib(), "3", true, held);
  EXPECT_TRUE(kept.shown);
  EXPECT_TRUE(kept.load_kept);
  EXPECT_EQ(held.point_num, 3);
  EXPECT_EQ(trim_blanks(held.well_name), "W1");
  EXPECT_EQ(held.gg_sin[0], 20.0f);
  EXPECT_EQ(held.gg_cos[30], -20.0f);
  EXPECT_EQ(held.gg_sin[31], 30.0f);  // the slot no save computes is the new record's
  EXPECT_EQ(point_nums(d.lib()), (std::vector<int>{1, 2, 3, 4}));

  for (const char* none : {"0", "5", "x"}) {
    SCOPED_TRACE(none);
    const PhfxShown s = show_phfx_record(d.lib(), none, true, held);
    EXPECT_FALSE(s.shown);
    EXPECT_FALSE(s.load_kept);  // the tick stays for the next record shown
    EXPECT_EQ(held.point_num, 3);
  }
}

// ×: after the question the record goes, and the number it had names the record that followed.
TEST(PhfxBrowser, DeleteAsksAndTheNumberThenNamesTheNextRecord) {
  TempDir d;
  const ProgramFolder& prog = d.prog;
  write_library(d.lib(), kDuplicated);
  test::ScriptedMessages msg;
  const PhfxDeleteResult r = delete_phfx_record(d.lib(), prog, "2", msg);
  ASSERT_EQ(msg.shown.size(), 1u);
  EXPECT_EQ(msg.shown[0].text, kDeleteRecordQuestion);
  EXPECT_EQ(msg.shown[0].buttons, MsgButtons::YesNo);
  ASSERT_TRUE(r.deleted);
  EXPECT_TRUE(r.same_number);
  PhfxRecord held;
  ASSERT_TRUE(show_phfx_record(d.lib(), std::to_string(r.next), false, held).shown);
  EXPECT_EQ(held.point_num, 3);  // the former third record
  EXPECT_EQ(phfx_record_of(d.lib(), "W1", "200601011200"), 1u);
  EXPECT_EQ(phfx_record_of(d.lib(), "W2", "200601011200"), 0u);

  // The first of a key going makes its later record the one the list finds.
  ASSERT_TRUE(delete_phfx_record(d.lib(), prog, "1", msg).deleted);
  EXPECT_EQ(phfx_record_of(d.lib(), "W1", "200601011200"), 1u);
  EXPECT_EQ(point_nums(d.lib()), (std::vector<int>{3, 4}));
}

TEST(PhfxBrowser, PrintSelectionDeletesItsRowsAfterTheQuestion) {
  TempDir d;
  struct Case {
    const char* what;
    int first, last, row;
    MsgAnswer answer;
    const char* question;
    bool deleted;
    std::vector<int> left;
  } cases[] = {
      {"the current row", 3, 3, 2, MsgAnswer::Yes, "确实要删除 2号记录吗?", true, {1, 3, 4}},
      {"a range", 2, 3, 1, MsgAnswer::Yes, "确实要删除 2至 3号记录吗?", true, {1, 4}},
      {"No keeps them", 1, 4, 1, MsgAnswer::No, "确实要删除 1至 4号记录吗?", false, {1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    write_library(d.lib(), kDuplicated);
    test::ScriptedMessages msg;
    msg.answers = {c.answer};
    EXPECT_EQ(delete_phfx_rows(d.lib(), c.first, c.last, c.row, msg), c.deleted);
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].text, c.question);
    EXPECT_EQ(msg.shown[0].title, kWarningTitle);
    EXPECT_EQ(point_nums(d.lib()), c.left);
  }
  // A damaged library is said so and left as it is.
  { std::ofstream(d.lib(), std::ios::binary | std::ios::app) << "xyz"; }
  const auto size = fs::file_size(d.lib());
  test::ScriptedMessages msg;
  EXPECT_FALSE(delete_phfx_rows(d.lib(), 1, 1, 1, msg));
  ASSERT_EQ(msg.shown.size(), 2u);
  EXPECT_EQ(msg.shown[1].text, kBadFormatText);
  EXPECT_EQ(msg.shown[1].title, kBadFormatTitle);
  EXPECT_EQ(fs::file_size(d.lib()), size);
}

TEST(PhfxBrowser, LibraryBoxTakesOnlyAFileOfWholeRecords) {
  TempDir d;
  write_library(d.lib(), kDuplicated);
  test::ScriptedMessages msg;
  fs::path accepted;
  EXPECT_EQ(check_phfx_library_box("  ", d.prog, accepted, msg), LibraryBoxCheck::Ignored);
  EXPECT_EQ(check_phfx_library_box(path_text(d.root / "none.dat"), d.prog, accepted, msg), LibraryBoxCheck::Ignored);
  EXPECT_EQ(check_phfx_library_box(path_text(d.root / "sys"), d.prog, accepted, msg), LibraryBoxCheck::Ignored);
  EXPECT_TRUE(msg.shown.empty());
  EXPECT_EQ(check_phfx_library_box(" " + path_text(d.lib()) + " ", d.prog, accepted, msg), LibraryBoxCheck::Accepted);
  EXPECT_EQ(accepted, d.lib());
  EXPECT_EQ(phfx_wells_to_add(accepted, {"W2"}), (std::vector<std::string>{"W1", "W3"}));

  { std::ofstream(d.lib(), std::ios::binary | std::ios::app) << "xyz"; }
  EXPECT_EQ(check_phfx_library_box(path_text(d.lib()), d.prog, accepted, msg), LibraryBoxCheck::Refused);
  ASSERT_EQ(msg.shown.size(), 1u);
  EXPECT_EQ(msg.shown[0].text, kBadFormatText);
  EXPECT_TRUE(phfx_wells_to_add(d.lib(), {}).empty());
}

// A library the save cannot write with the well base and summary records (not a "*.dat"
// directly in the program folder's sys or data folder) is taken for looking at, and said.
TEST(PhfxBrowser, LibraryBoxSaysALibraryNoSaveCanWrite) {
  TempDir d;
  TempDir other;
  fs::create_directories(d.root / "sys" / "old");
  struct Case {
    fs::path path;
    bool said;
  } cases[] = {
      {d.lib(), false},
      {d.root / "data" / "copy.DAT", false},
      {d.root / "phfx.dat", true},              // the program folder itself
      {d.root / "sys" / "old" / "phfx.dat", true},  // a folder below sys
      {d.root / "sys" / "phfx.bak", true},          // not a library name
      {other.lib(), true},                          // another program folder's library
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(path_text(c.path));
    write_library(c.path, kDuplicated);
    test::ScriptedMessages msg;
    fs::path accepted;
    EXPECT_EQ(check_phfx_library_box(path_text(c.path), d.prog, accepted, msg), LibraryBoxCheck::Accepted);
    EXPECT_EQ(accepted, c.path);
    if (!c.said) {
      EXPECT_TRUE(msg.shown.empty());
      continue;
    }
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].text, library_outside_sets_text(path_text(c.path)));
    EXPECT_EQ(msg.shown[0].title, kNoticeTitle);
  }
}

}  // namespace
}  // namespace wb
