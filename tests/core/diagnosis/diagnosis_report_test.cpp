// The diagnosis report page and the advice text export, on a recording canvas and on files
// built in each test.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/common/gbk.h"
#include "core/diagnosis/advice_export.h"
#include "core/diagnosis/diagnosis_records.h"
#include "core/diagnosis/diagnosis_report.h"
#include "../test_canvas_util.h"
#include "diagnosis_test_util.h"

namespace wb {
namespace {

namespace fs = std::filesystem;
using namespace canvas_test;

TEST(DiagnosisReport, StrPrintSplitsAtLineEnds) {
  struct Case {
    const char* text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"one", {"one"}},
      {"A\r\nB", {"A", "B"}},
      {"A\r\n", {"A", ""}},
      {"A\r\n\r\nC", {"A", "", "C"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<std::string> ent;
    EXPECT_EQ(str_print(c.text, ent), static_cast<int>(c.lines.size()));
    EXPECT_EQ(std::vector<std::string>(ent.begin() + 1, ent.end()), c.lines);
  }
}

// Chunks printed at 95 mm, from 163 mm down in 6 mm steps.
std::vector<std::pair<double, std::string>> advice_chunks(const RecordingCanvas& c) {
  std::vector<std::pair<double, std::string>> out;
  for (const auto& it : c.items)
    if (it.op == Op::Text && near(it.x1, 95, 1e-9)) out.emplace_back(it.y1, it.text);
  return out;
}

TEST(DiagnosisReport, AdviceChunksAndLines) {
  const std::string c23(23, 'x'), c24 = std::string(23, 'y') + "z";
  std::string cn24;
  for (int i = 0; i < 24; ++i) cn24 += "油";
  struct Case {
    const char* name;
    std::string advice;
    std::vector<std::pair<double, std::string>> want;
  };
  const Case cases[] = {
      {"empty advice", "", {}},
      {"24 characters: 23 and 1", c24, {{163, std::string(23, 'y')}, {169, "z"}}},
      {"24 Chinese characters count as characters", cn24, {{163, cn24.substr(0, 69)}, {169, "油"}}},
      {"23 characters end with an empty chunk", c23 + "\r\nB", {{163, c23}, {169, ""}, {175, "B"}}},
      {"an empty second line ends the advice", "A\r\n\r\nC", {{163, "A"}}},
      {"lines are trimmed; LF alone breaks too", "  A  \nB", {{163, "A"}, {169, "B"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DiagnosisState st;
    st.Text1[diag_box::kAdvice] = c.advice;
    RecordingCanvas cv(210, 297, true);
    prt_Bgt_Advice(st, bgt_report_layout(), cv);
    const auto got = advice_chunks(cv);
    ASSERT_EQ(got.size(), c.want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_NEAR(got[i].first, c.want[i].first, 1e-9);
      EXPECT_EQ(got[i].second, c.want[i].second);
    }
    EXPECT_NE(find_text_at(cv, "诊断结果", 120, 150, 1e-4), nullptr);
    EXPECT_NE(find_text_at(cv, "操作员:            年   月   日", 100, 267, 1e-4), nullptr);
    EXPECT_NE(find_line(cv, 15, 18.5 + 16 * 260.0 / 30, 195, 18.5 + 16 * 260.0 / 30, 1e-4), nullptr);
    EXPECT_NE(find_line(cv, 15, 148.5, 195, 148.5, 1e-4), nullptr);
  }
}

// At most 16 lines, and nothing below the operator line however long they are.
TEST(DiagnosisReport, AdviceStaysAboveTheOperatorLine) {
  std::string sixty;
  for (int i = 0; i < 60; ++i) sixty += "L" + std::to_string(i) + "\r\n";
  std::string long_lines;
  for (int i = 0; i < 16; ++i) long_lines += std::string(50, 'a' + i % 26) + "\r\n";
  for (const std::string& advice : {sixty, long_lines}) {
    DiagnosisState st;
    st.Text1[diag_box::kAdvice] = advice;
    RecordingCanvas cv(210, 297, true);
    cv.font.size = 15;
    prt_Bgt_Advice(st, bgt_report_layout(), cv);
    const auto got = advice_chunks(cv);
    ASSERT_FALSE(got.empty());
    EXPECT_LE(got.size(), 17u);
    for (const auto& [y, text] : got) EXPECT_LE(y + RecordingCanvas::em_mm(cv.font), 267 + 1e-9) << text;
    if (advice == sixty) {
      EXPECT_EQ(got.size(), 16u);
      EXPECT_EQ(got.back().second, "L15");
    }
  }
}

TEST(DiagnosisReport, PageHasTableChartAdviceAndEndsTheDocument) {
  DiagnosisState st;
  diag_test::fill_well_boxes(st, "W1");
  st.Text1[diag_box::kEffectiveStroke] = " 2.62 ";
  st.Text1[diag_box::kAdvice] = "泵工作正常";
  st.Bgt_Rec.card = diag_test::pumped_card("W1");
  diag_test::FakeMessages msg;
  DiagnosisIo io{msg};
  refresh_diagnosis(st, io);
  RecordingCanvas cv(210, 297, true);
  prt_bgt_page(st, cv);
  EXPECT_NE(cv.find_text(kBgtReportTitle), nullptr);
  EXPECT_NE(cv.find_text("井    号"), nullptr);
  EXPECT_NE(cv.find_text("采油指数"), nullptr);
  EXPECT_NE(cv.find_text("2.62"), nullptr);  // values trimmed
  EXPECT_NE(cv.find_text("泵工作正常"), nullptr);
  EXPECT_NE(cv.find_text(" 行程(m)"), nullptr);
  EXPECT_EQ(items_of(cv, Op::Line, QBColor(12)).size(), 73u);  // surface card
  EXPECT_EQ(items_of(cv, Op::Line, QBColor(9)).size(), 73u);   // pump card
  bool chart_frame = false;
  for (const auto& r : items_of(cv, Op::Rect))
    chart_frame |= near(r.x1, 575 / 6.1, 1e-3) && near(r.y1, (91 + 28.5) / 4.0, 1e-3);
  EXPECT_TRUE(chart_frame);
  EXPECT_EQ(cv.count(Op::EndDoc), 1u);
  // On a picture (a preview) the document is not ended.
  RecordingCanvas pic(210, 297, false);
  prt_bgt_page(st, pic);
  EXPECT_EQ(pic.count(Op::EndDoc), 0u);
}

TEST(DiagnosisReport, DoubleByteTextHelpers) {
  EXPECT_EQ(LenC("油井A"), 5);
  EXPECT_EQ(MidC("油井A", 3, 2), "井");
  EXPECT_EQ(MidC("油井A", 1, 0), "油井A");
  EXPECT_EQ(MidC("油井A", 5, 1), "A");
  EXPECT_EQ(MidC("油井A", 9, 1), "");
}

TEST(AdviceExport, CleanStr) {
  struct Case {
    std::string in, out;
  };
  for (const Case& c : {Case{"A\r\nB", "A  B"}, Case{"  W1  ", "W1"}, Case{"\tX\x1f", "X"},
                        Case{"油井\r\n诊断", "油井  诊断"}, Case{"", ""}}) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(Clean_Str(c.in), c.out);
  }
}

struct FakeFiles : FileDialogService {
  std::vector<FileDialogRequest> asked;
  std::string answer;
  std::string open_file(const FileDialogRequest&) override { return {}; }
  std::string save_file(const FileDialogRequest& req) override {
    asked.push_back(req);
    return answer;
  }
};

TEST(AdviceExport, OneLinePerRecordUnderAHeader) {
  diag_test::TempProgram prog;
  const fs::path bgt = prog.prog.sys() / "bgt.dat";
  Bytes content;
  const char* advice[] = {"A\r\nB", "", "抽空"};
  for (int i = 0; i < 3; ++i) {
    BgtRecord r;
    r.well_name = "W" + std::to_string(i + 1);
    r.test_date = "2024030" + std::to_string(i + 1);
    r.diag_text = advice[i];
    const Bytes b = r.encode();
    content.insert(content.end(), b.begin(), b.end());
  }
  test::put_bytes(bgt, content);
  FakeFiles files;
  diag_test::FakeMessages msg;
  const fs::path out = prog.prog.root / "advice.txt";
  files.answer = path_text(out);
  ASSERT_TRUE(Cmd_Out_to_TXT_Click(bgt, prog.prog, files, msg));
  ASSERT_EQ(files.asked.size(), 1u);
  EXPECT_EQ(files.asked[0].title, "保存到文本文件");
  EXPECT_EQ(files.asked[0].filter, "文本文件(*.txt)|*.txt");
  EXPECT_EQ(files.asked[0].initial_dir, path_text(prog.prog.root));
  const Bytes written = test::file_bytes(out);
  const std::string text = gbk_to_utf8(std::string(written.begin(), written.end()));
  EXPECT_EQ(text,
            "井号\t测试日期\t油井井下诊断建议\r\n"
            "W1\t20240301\tA  B\r\n"
            "W2\t20240302\t\r\n"
            "W3\t20240303\t抽空\r\n");
  EXPECT_TRUE(msg.texts.empty());

  // Cancelled: nothing written.
  files.answer.clear();
  fs::remove(out);
  EXPECT_FALSE(Cmd_Out_to_TXT_Click(bgt, prog.prog, files, msg));
  EXPECT_FALSE(fs::exists(out));
  // An empty record file: no text file.
  files.answer = path_text(out);
  test::put_bytes(bgt, {});
  EXPECT_FALSE(Cmd_Out_to_TXT_Click(bgt, prog.prog, files, msg));
  EXPECT_FALSE(fs::exists(out));
  // A file that cannot be written: told, nothing left behind.
  test::put_bytes(bgt, content);
  files.answer = path_text(prog.prog.root / "no_such_folder" / "advice.txt");
  EXPECT_FALSE(Cmd_Out_to_TXT_Click(bgt, prog.prog, files, msg));
  ASSERT_EQ(msg.texts.size(), 1u);
  EXPECT_NE(msg.texts[0].find("保存文本文件失败"), std::string::npos);
}

}  // namespace
}  // namespace wb
