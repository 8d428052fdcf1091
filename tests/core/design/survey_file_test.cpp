#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "core/common/gbk.h"
#include "core/common/trim.h"
#include "core/design/engine/survey_file.h"
#include "design_fixture.h"

namespace wb::design::test {
namespace {

namespace fs = std::filesystem;
using wb::test::file_bytes;
using wb::test::put_bytes;

class SurveyFileTest : public DesignTest {
 protected:
  fs::path jx(const std::string& well = "W1") { return tmp.prog.data() / (well + ".jx"); }
  std::vector<std::uint8_t> record(const std::vector<std::string>& cols) {
    JxRecord r;
    for (std::size_t i = 0; i < cols.size(); ++i) r.cols[i] = cols[i];
    return encode_jx_record(r);
  }
  // A file of the four heading records followed by `rows`.
  void write_file(const std::vector<std::vector<std::string>>& rows, const std::string& well = "W1") {
    std::vector<JxRecord> rs;
    for (const auto& cols : rows) {
      JxRecord r;
      for (std::size_t i = 0; i < cols.size(); ++i) r.cols[i] = cols[i];
      rs.push_back(r);
    }
    put_bytes(jx(well), encode_jx_file(rs));
  }
};

TEST_F(SurveyFileTest, SavedFileSizesFollowTheGridRows) {
  eng.st.JName_Comb = "  W1 ";
  survey({{"500", "0", "0"}, {"1000", "0", "0"}});  // title, two stations, empty entry row
  ASSERT_TRUE(went_through(eng.save_jx()));
  auto bytes = file_bytes(jx());
  ASSERT_EQ(bytes.size(), 714u);
  EXPECT_EQ(std::string(bytes.begin() + 306, bytes.begin() + 316), gbk_field("测点深度", 10));
  EXPECT_EQ(std::string(bytes.begin() + 408, bytes.begin() + 418), "500       ");
  EXPECT_EQ(bytes[508], 13);
  EXPECT_EQ(bytes[509], 10);
  for (std::size_t i = 612; i < 712; ++i) EXPECT_EQ(bytes[i], ' ');  // the empty entry row

  eng.st.Grid1.set_rows(3);
  ASSERT_TRUE(went_through(eng.save_jx()));
  EXPECT_EQ(file_bytes(jx()).size(), 612u);
  EXPECT_EQ(eng.st.jx_changed, 0);

  // Fewer than two stations: nothing is written, the file stays, and it is said why. The empty
  // entry row below a station, and a row of blanks, are no stations.
  struct Short {
    const char* what;
    int rows;
    std::string row2;
  };
  for (const Short& c : {Short{"one station", 2, ""}, Short{"one station and the entry row", 3, ""},
                         Short{"one station and a row of blanks", 3, "   "}}) {
    SCOPED_TRACE(c.what);
    msgs.texts.clear();
    eng.st.Grid1.set_rows(c.rows);
    eng.st.Grid1.set_text(2, 1, c.row2);
    eng.st.jx_changed = 1;
    EXPECT_EQ(eng.save_jx(), DesignOutcome::refused);
    EXPECT_EQ(file_bytes(jx()).size(), 612u);
    EXPECT_EQ(eng.st.jx_changed, 1);
    EXPECT_EQ(msgs.texts, std::vector<std::string>{kSurveyTooShortText});
  }
}

TEST_F(SurveyFileTest, ReloadGivesTheSurveyBackNumbered) {
  eng.st.JName_Comb = "W1";
  survey({{"500", "1.5", "30"}, {"1000", "2", "45"}});
  ASSERT_TRUE(went_through(eng.save_jx()));
  eng.SetupGrids();
  EXPECT_NE(eng.Get_JXdat(), DesignOutcome::failed);
  const auto& g = eng.st.Grid1;
  ASSERT_EQ(g.rows(), 4);
  EXPECT_EQ(g.text(1, 0), "1");
  // The cells come back without the field's padding.
  EXPECT_EQ(g.text(2, 1), "1000");
  EXPECT_EQ(g.text(2, 3), "45");
  EXPECT_EQ(g.text(3, 0), "3");
  EXPECT_EQ(g.text(3, 1), "");  // the saved empty row comes back empty
  EXPECT_EQ(g.row, 3);
}

TEST_F(SurveyFileTest, DepthsNotAboveZeroAreDroppedOthersKept) {
  write_file({{"abc", "1"}, {"", "2"}, {"0", "3"}, {"-5", "4"}, {"700", "5"}});
  eng.st.JName_Comb = "W1";
  EXPECT_NE(eng.Get_JXdat(), DesignOutcome::failed);
  const auto& g = eng.st.Grid1;
  ASSERT_EQ(g.rows(), 4);
  EXPECT_EQ(g.text(1, 1), "abc");
  EXPECT_EQ(g.text(2, 1), "");
  EXPECT_EQ(g.text(3, 1), "700");
  EXPECT_EQ(g.text(3, 2), "5");
  EXPECT_EQ(g.text(3, 0), "3");
}

TEST_F(SurveyFileTest, OddFileLengths) {
  struct Case {
    std::size_t length;
    int rows;           // grid rows after reading
    bool file_remains;
  };
  const std::vector<std::uint8_t> full = [&] {
    std::vector<JxRecord> rs(4);
    for (auto& r : rs) r.cols[0] = "800";
    return encode_jx_file(rs);  // 8 records, 816 bytes
  }();
  for (const Case& c : {Case{0, 1, false}, Case{102, 1, true}, Case{408, 1, true}, Case{765, 5, true}}) {
    SCOPED_TRACE(c.length);
    put_bytes(jx(), std::vector<std::uint8_t>(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(c.length)));
    eng.st.JName_Comb = "W1";
    EXPECT_NE(eng.Get_JXdat(), DesignOutcome::failed);
    EXPECT_EQ(eng.st.Grid1.rows(), c.rows);
    EXPECT_EQ(fs::exists(jx()), c.file_remains);
  }
  // 765 bytes = 7.5 records, read as 8: the last record's missing half reads as blanks, so
  // its depth "800" (in the first half) survives.
  EXPECT_EQ(eng.st.Grid1.text(4, 1), "800");
}

TEST_F(SurveyFileTest, LongCellsKeepTheirFirstTenBytesAndWholeCharacters) {
  eng.st.JName_Comb = "W1";
  survey({{"123456789012", "1", "2"}, {"1000", "123456789井", "0"}});
  ASSERT_TRUE(went_through(eng.save_jx()));
  const auto bytes = file_bytes(jx());
  EXPECT_EQ(std::string(bytes.begin() + 408, bytes.begin() + 418), "1234567890");
  EXPECT_EQ(std::string(bytes.begin() + 520, bytes.begin() + 530), "123456789 ");  // 井 would split at byte 10
  EXPECT_NE(eng.Get_JXdat(), DesignOutcome::failed);
  EXPECT_EQ(eng.st.Grid1.text(1, 1), "1234567890");
  EXPECT_EQ(eng.st.Grid1.text(2, 2), "123456789");
}

TEST_F(SurveyFileTest, AHalfCharacterAtTheFieldEndReadsWithoutHarm) {
  std::vector<std::uint8_t> rec = record({"900"});
  const std::string jing = utf8_to_gbk("井");
  rec[19] = static_cast<std::uint8_t>(jing[0]);  // lead byte of a double-byte character at byte 10 of field 1
  rec[20] = static_cast<std::uint8_t>(jing[1]);
  auto bytes = encode_jx_file({});
  bytes.insert(bytes.end(), rec.begin(), rec.end());
  put_bytes(jx(), bytes);
  eng.st.JName_Comb = "W1";
  EXPECT_NE(eng.Get_JXdat(), DesignOutcome::failed);
  ASSERT_EQ(eng.st.Grid1.rows(), 2);
  EXPECT_EQ(eng.st.Grid1.text(1, 1), "900");
  EXPECT_LE(eng.st.Grid1.text(1, 2).size(), 10u);
}

// A table goes into the file it was read for; a table read for no well replaces the survey of
// the well in the box only after a question naming that well.
TEST_F(SurveyFileTest, ASurveyIsWrittenOnlyWhereItBelongs) {
  struct Case {
    const char* name;
    bool read_for_w1;    // the table was read for W1 (else for no well)
    bool w2_exists;
    MsgAnswer answer;
    bool asked;
    const char* written;  // the well whose file holds the table afterwards, "" for none
  };
  const Case cases[] = {
      {"read for W1, W2 in the box", true, true, MsgAnswer::Yes, false, "W1"},
      {"read for no well, W2 has a survey, 是", false, true, MsgAnswer::Yes, true, "W2"},
      {"read for no well, W2 has a survey, 否", false, true, MsgAnswer::No, true, ""},
      {"read for no well, W2 has none", false, false, MsgAnswer::Yes, false, "W2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(jx("W1"));
    fs::remove(jx("W2"));
    write_file({{"300", "1", "1"}}, "W1");
    if (c.w2_exists) write_file({{"100", "1", "1"}, {"200", "2", "2"}, {"400", "3", "3"}}, "W2");
    const auto w1_before = file_bytes(jx("W1"));
    const auto w2_before = file_bytes(jx("W2"));
    eng.st.jx_path = c.read_for_w1 ? path_text(jx("W1")) : std::string();
    eng.st.JName_Comb = "W2";
    survey({{"500", "0", "0"}, {"1000", "0", "0"}});
    eng.st.jx_changed = 1;
    msgs.texts.clear();
    msgs.answers = {c.answer};
    const DesignOutcome saved = eng.save_jx();
    if (c.asked) {
      ASSERT_EQ(msgs.texts.size(), 1u);
      EXPECT_EQ(msgs.texts[0], survey_replace_question("W2"));
      EXPECT_NE(msgs.texts[0].find("“W2”"), std::string::npos);
      EXPECT_EQ(msgs.titles[0], "保存");
    } else {
      EXPECT_TRUE(msgs.texts.empty());
    }
    const std::string written = c.written;
    EXPECT_EQ(saved == DesignOutcome::done, !written.empty());
    EXPECT_EQ(eng.st.jx_changed, written.empty() ? 1 : 0);
    for (const std::string well : {"W1", "W2"}) {
      SCOPED_TRACE(well);
      if (well == written) {
        const auto back = decode_jx_file(file_bytes(jx(well)));
        ASSERT_EQ(back.size(), 3u);  // two stations and the entry row
        EXPECT_EQ(trim_blanks(back[1].cols[0]), "1000");
        EXPECT_EQ(eng.st.jx_path, path_text(jx(well)));
      } else {
        EXPECT_EQ(file_bytes(jx(well)), well == "W1" ? w1_before : w2_before);
      }
    }
  }
}

// A survey file name is checked with its ".jx": a well name the file name cannot hold is
// refused as too long, before anything is written.
TEST_F(SurveyFileTest, AWellNameTooLongForItsSurveyFileIsSaid) {
  for (const std::size_t bytes : {252u, 253u, 255u}) {
    SCOPED_TRACE(bytes);
    const std::string name(bytes, 'a');
    eng.st.jx_path.clear();
    eng.st.JName_Comb = name;
    survey({{"500", "0", "0"}, {"1000", "0", "0"}});
    msgs.texts.clear();
    const DesignOutcome saved = eng.save_jx();
    if (bytes == 252) {
      EXPECT_EQ(saved, DesignOutcome::done);
      EXPECT_TRUE(fs::exists(jx(name)));
      continue;
    }
    EXPECT_EQ(saved, DesignOutcome::refused);
    ASSERT_EQ(msgs.texts.size(), 1u);
    EXPECT_NE(msgs.texts[0].find("太长"), std::string::npos) << msgs.texts[0];
    EXPECT_EQ(eng.survey_path(), "");
  }
}

TEST_F(SurveyFileTest, UnsafeOrEmptyWellNamesTouchNothingOutsideData) {
  put_bytes(tmp.prog.root / "x.jx", {});
  for (const std::string name : {"../x", "a\\b", "a/b"}) {
    SCOPED_TRACE(name);
    msgs.texts.clear();
    eng.st.JName_Comb = name;
    survey({{"500", "0", "0"}, {"1000", "0", "0"}});
    eng.st.jx_changed = 1;
    EXPECT_FALSE(went_through(eng.save_jx()));
    EXPECT_EQ(eng.st.jx_changed, 1);
    ASSERT_EQ(msgs.texts.size(), 1u);
    EXPECT_NE(eng.Get_JXdat(), DesignOutcome::failed);
    EXPECT_EQ(eng.st.Grid1.rows(), 1);
  }
  EXPECT_TRUE(fs::exists(tmp.prog.root / "x.jx"));  // the empty-file deletion stayed in data
  EXPECT_FALSE(fs::exists(tmp.prog.root / "x.jx.tmp"));

  msgs.texts.clear();
  eng.st.JName_Comb = "   ";
  survey({{"500", "0", "0"}, {"1000", "0", "0"}});
  EXPECT_FALSE(went_through(eng.save_jx()));
  ASSERT_EQ(msgs.texts.size(), 1u);
  EXPECT_EQ(msgs.texts[0], "请在井号栏中输入井号!");
}

TEST_F(SurveyFileTest, AFileThatCannotBeReplacedIsReported) {
  fs::create_directories(jx() / "inside");  // a folder where the survey file would go
  eng.st.JName_Comb = "W1";
  survey({{"500", "0", "0"}, {"1000", "0", "0"}});
  eng.st.jx_changed = 1;
  EXPECT_FALSE(went_through(eng.save_jx()));
  EXPECT_EQ(eng.st.jx_changed, 1);
  ASSERT_EQ(msgs.texts.size(), 1u);
  EXPECT_EQ(msgs.texts[0], "井斜数据文件写入失败，数据未保存！");
  EXPECT_TRUE(fs::is_directory(jx() / "inside"));
}

// A survey file that is there but cannot be read is told, not taken for a well without a
// survey, and the redesign stops instead of designing a vertical well.
TEST_F(SurveyFileTest, AFileThatCannotBeReadIsReportedAndStopsTheRedesign) {
  fs::create_directories(jx());  // a folder where the survey file would be
  eng.st.JName_Comb = "W1";
  EXPECT_EQ(eng.Get_JXdat(), DesignOutcome::failed);
  EXPECT_EQ(eng.st.Grid1.rows(), 1);
  ASSERT_EQ(msgs.texts.size(), 1u);
  EXPECT_EQ(msgs.texts[0], "井斜数据文件" + path_text(jx()) + "不能读取，井斜数据未载入！");
  EXPECT_TRUE(fs::is_directory(jx()));

  msgs.texts.clear();
  eng.st.Text3[design_box::kRateAfter] = "keep";
  eng.DesignCom_Click();
  EXPECT_EQ(eng.st.Text3[design_box::kRateAfter], "keep");
  EXPECT_EQ(msgs.texts.size(), 1u);

  fs::remove(jx());
  EXPECT_EQ(eng.Get_JXdat(), DesignOutcome::nothing);  // no survey at all: nothing to tell
  EXPECT_EQ(msgs.texts.size(), 1u);
}

TEST_F(SurveyFileTest, AFailedSaveIsReportedAndKeepsTheChangeMark) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the super-user (the folder case above covers it)";
  write_file({{"300", "1", "1"}});
  const auto before = file_bytes(jx());
  fs::permissions(tmp.prog.data(), fs::perms::owner_write, fs::perm_options::remove);
  eng.st.JName_Comb = "W1";
  eng.st.jx_path = path_text(jx());  // the table was read from W1.jx
  survey({{"500", "0", "0"}, {"1000", "0", "0"}});
  eng.st.jx_changed = 1;
  EXPECT_FALSE(went_through(eng.save_jx()));
  fs::permissions(tmp.prog.data(), fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(eng.st.jx_changed, 1);
  ASSERT_EQ(msgs.texts.size(), 1u);
  EXPECT_EQ(file_bytes(jx()), before);
}

}  // namespace
}  // namespace wb::design::test
