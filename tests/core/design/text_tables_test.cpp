// The profile and centralizer text tables: their bytes, the pump's node, and the writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <unistd.h>

#include "core/common/gbk.h"
#include "core/design/workbench/text_tables.h"
#include "design_fixture.h"

namespace wb::design {
namespace {

namespace fs = std::filesystem;
using test::ScriptedMessages;

std::vector<std::string> lines_of(const std::string& gbk) {
  std::vector<std::string> out;
  const std::string s = gbk_to_utf8(gbk);
  std::size_t at = 0;
  while (at < s.size()) {
    const auto e = s.find("\r\n", at);
    if (e == std::string::npos) {
      out.push_back(s.substr(at) + "<no CR LF>");
      break;
    }
    out.push_back(s.substr(at, e - at));
    at = e + 2;
  }
  return out;
}

std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> f;
  std::stringstream ss(line);
  std::string x;
  while (std::getline(ss, x, '\t')) f.push_back(x);
  return f;
}

TEST(TextTables, ProfileTableHas2002LinesOfElevenFields) {
  auto p = std::make_unique<DepthProfile>();
  p->rod_dia[3] = 19.05f;
  p->axial_min[3] = -3.0f;
  p->dogleg[3] = 0.25f;
  p->fzq_code[3] = 8192 + 16;
  p->side_force_rod[2000] = 12.35f;
  const auto lines = lines_of(profile_table_bytes(*p));
  ASSERT_EQ(lines.size(), 2002u);
  EXPECT_EQ(lines[0], "斜深\t杆径\t最大轴向力\t最小轴向力\t方位角\t井斜角\t井斜变化\t狗腿度\t杆管正压力\t杆柱正压力\t扶正器间距");
  EXPECT_EQ(lines[4], " 6 \t 19.05 \t 0 \t-3 \t 0 \t 0 \t 0 \t .25 \t 0 \t 0 \t 8208 ");
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const auto f = fields(lines[i]);
    ASSERT_EQ(f.size(), 11u) << i;
    ASSERT_EQ(f[0], " " + std::to_string(2 * (i - 1)) + " ");
  }
  EXPECT_EQ(fields(lines[2001])[9], " 12.35 ");
}

TEST(TextTables, PumpNode) {
  for (auto [text, node] : {std::pair{"1201", 601}, {"1200.7", 600}, {"1200", 600}, {"", 0}, {"-5", -1},
                            {"4001", 2000}, {"9999", 2000}}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(fzq_bottom_node(text), node);
  }
}

TEST(TextTables, CentralizerTableListsPlacedNodesDeepestFirst) {
  auto p = std::make_unique<DepthProfile>();
  for (auto& c : p->fzq_code) c = kFzqNone;
  auto place = [&](std::size_t k, int spacing) { p->fzq_code[k] = static_cast<std::int16_t>(kFzqPlaced + spacing); };
  place(10, 16);
  place(600, 8);
  place(601, 4);
  place(602, 2);  // below the pump node: left out
  p->inclination[600] = 12.345f;
  p->axial_min[600] = -2.125f;
  p->rod_dia[600] = 22.2f;
  const std::string well = " W1 ", date = "2026-12-10 ";
  {
    SCOPED_TRACE("pump at 1201 m");
    const auto lines = lines_of(fzq_table_bytes(*p, well, date, "1201"));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "井名W1设计日期时间2026-12-10 ");
    EXPECT_EQ(lines[1], "斜深m\t井斜角\t方位角\t狗腿度\t最大轴向力N\t最小轴向力N\t杆管间正压力N\t杆柱正压力N\t抽油杆直径mm\t扶正器间距m");
    EXPECT_EQ(fields(lines[2])[0], " 1202 ");
    EXPECT_EQ(lines[3], " 1200 \t 12.35 \t 0 \t 0 \t 0 \t-2.12 \t 0 \t 0 \t 22.2 \t 8 ");
    EXPECT_EQ(fields(lines[4])[0], " 20 ");
  }
  {
    SCOPED_TRACE("no centralizers");
    auto none = std::make_unique<DepthProfile>();
    EXPECT_EQ(lines_of(fzq_table_bytes(*none, well, date, "1200")).size(), 2u);
  }
}

class TextTableFiles : public test::DesignTest {};

TEST_F(TextTableFiles, ProfileTableGoesIntoTheProgramFolderAndIsReplaced) {
  const fs::path path = tmp.prog.root / u8path(kProfileTableName);
  eng.st.profile.dogleg[0] = 1;
  ASSERT_EQ(Cmd_SaveToTxt_Click(tmp.prog, eng.st.profile, msgs), DesignOutcome::done);
  eng.st.profile.dogleg[0] = 2;
  ASSERT_EQ(Cmd_SaveToTxt_Click(tmp.prog, eng.st.profile, msgs), DesignOutcome::done);
  // Each save says where the table went.
  EXPECT_EQ(msgs.texts, std::vector<std::string>(2, path_text(path) + "  已写入完成！"));
  const auto bytes = wb::test::file_bytes(path);
  const auto lines = lines_of(std::string(bytes.begin(), bytes.end()));
  EXPECT_EQ(lines.size(), 2002u);
  EXPECT_EQ(fields(lines[1])[7], " 2 ");
}

TEST_F(TextTableFiles, WriteFailuresAreReported) {
  const fs::path path = tmp.prog.root / u8path(kProfileTableName);
  {
    SCOPED_TRACE("a folder in the way");
    fs::create_directories(path / "inside");
    EXPECT_EQ(Cmd_SaveToTxt_Click(tmp.prog, eng.st.profile, msgs), DesignOutcome::failed);
    ASSERT_EQ(msgs.texts.size(), 1u);
    EXPECT_NE(msgs.texts[0].find("不能写入"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(path / "inside"));
    fs::remove_all(path);
  }
  {
    SCOPED_TRACE("a read-only file");
    {
      std::ofstream(path) << "keep";
    }
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_EQ(Cmd_SaveToTxt_Click(tmp.prog, eng.st.profile, msgs), DesignOutcome::failed);
    EXPECT_EQ(msgs.texts.size(), 2u);
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(wb::test::file_bytes(path).size(), 4u);
  }
}

TEST_F(TextTableFiles, AReadOnlyFolderIsReported) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the super-user (the folder case above covers it)";
  fs::permissions(tmp.prog.root, fs::perms::owner_write, fs::perm_options::remove);
  EXPECT_EQ(Cmd_SaveToTxt_Click(tmp.prog, eng.st.profile, msgs), DesignOutcome::failed);
  fs::permissions(tmp.prog.root, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(msgs.texts.size(), 1u);
  EXPECT_FALSE(fs::exists(tmp.prog.root / u8path(kProfileTableName)));
}

TEST_F(TextTableFiles, CentralizerTableNames) {
  eng.st.JName_Comb = "W1 ";
  eng.st.Text3[14] = "1000";
  ASSERT_EQ(SaveFzqTab("  ", tmp.prog, eng.st, msgs), DesignOutcome::done);
  const fs::path def = tmp.prog.root / u8path("W1扶正器布置数据表.txt");
  EXPECT_TRUE(fs::exists(def));
  ASSERT_EQ(msgs.texts.size(), 1u);
  EXPECT_EQ(msgs.texts[0], path_text(def) + "  已写入完成！");

  const fs::path named = tmp.prog.report() / "fzq.txt";
  ASSERT_EQ(SaveFzqTab(path_text(named), tmp.prog, eng.st, msgs), DesignOutcome::done);
  EXPECT_TRUE(fs::exists(named));

  eng.st.JName_Comb = "../x";
  EXPECT_EQ(SaveFzqTab("", tmp.prog, eng.st, msgs), DesignOutcome::refused);
  EXPECT_EQ(msgs.texts.back(), "井号“../x”不能用作文件名，请修改井号。");
  EXPECT_FALSE(fs::exists(tmp.prog.root.parent_path() / u8path("x扶正器布置数据表.txt")));
}

}  // namespace
}  // namespace wb::design
