// The batch print of marked records: block origins sheet by sheet on the recording canvas,
// page breaks only between records, paper and orientation for cards, and the shown test
// left exactly as it was.
#include <gtest/gtest.h>
#include <tuple>

#include "core/workbench/batch_print.h"
#include "core/printing/page_guard_canvas.h"
#include "../printing/print_test_util.h"

namespace wb {
namespace {

using namespace print_test;

constexpr double kTol = 1e-9;

BatchRequest card_request(std::vector<std::int16_t> rows, std::int16_t copies, bool fanfold, bool option1 = false) {
  BatchRequest r;
  r.frame2_caption = "功图数据主库";
  r.marked_rows = std::move(rows);
  r.copies = copies;
  r.combo3_item0 = kPaperTextA4;
  r.combo3_item1 = kPaperTextFanfold;
  r.combo3_text = fanfold ? kPaperTextFanfold : kPaperTextA4;
  r.option1 = option1;
  return r;
}

void expect_origins(const std::vector<Origin>& got, const std::vector<Origin>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE("block " + std::to_string(i));
    EXPECT_EQ(got[i].sheet, want[i].sheet);
    EXPECT_NEAR(got[i].x, want[i].x, kTol);
    EXPECT_NEAR(got[i].y, want[i].y, kTol);
  }
}

class BatchPrint : public ::testing::Test {
 protected:
  BatchPrint() : tmp(::testing::UnitTest::GetInstance()->current_test_info()->name()) {
    std::vector<SgtRecord> cards;
    for (int i = 1; i <= 9; ++i) cards.push_back(make_card("C" + std::to_string(i), 250, 3000, 5000, 1000));
    tmp.write_library("Sgt.dat", cards);
    tmp.write_library("Dnt.dat", std::vector<DntRecord>{make_dnt("D1"), make_dnt("D2"), make_dnt("D3")});
    tmp.write_library("xbt.dat", std::vector<XbtRecord>{make_xbt("X1"), make_xbt("X2")});
  }
  BatchResult run(const BatchRequest& req, RecordingCanvas& c) {
    return prt_main_marked(tmp.prog, req, shown, c, settings);
  }
  TempProgram tmp;
  TestState shown;
  PrinterSettings settings;
};

TEST_F(BatchPrint, OneCardTenCopiesOnFanfoldFillsOneSheet) {
  RecordingCanvas c(377.825, 279.4, true);
  BatchResult res = run(card_request({4}, 10, true, /*option1=*/true), c);
  EXPECT_EQ(res.status, BatchStatus::Printed);
  EXPECT_EQ(settings.paper_code, 39);
  EXPECT_EQ(settings.orientation, 1);  // "横向" selected: the page wider than high
  expect_origins(card_origins(c), {{0, 7, 13},  {0, 94, 13},  {0, 181, 13},  {0, 268, 13},
                                   {0, 7, 66},  {0, 94, 66},  {0, 181, 66},  {0, 268, 66},
                                   {0, 7, 119}, {0, 94, 119}});
  EXPECT_EQ(c.texts_containing("井号:C4").size(), 10u);
  EXPECT_EQ(c.count(Op::NewPage), 0u);
  EXPECT_EQ(c.count(Op::EndDoc), 1u);
  EXPECT_EQ(c.items.back().op, Op::EndDoc);
  EXPECT_EQ(res.sheets, 1);
}

TEST_F(BatchPrint, FanfoldOrientationIsTheReverseOfTheDialogs) {
  struct Case {
    bool option1;
    std::int16_t orientation;
    double width_mm;
  };
  // "横向" gives the wide page the four columns need; "纵向" the tall one, 279.4 mm wide,
  // on which the fourth column (X = 268 mm, reaching 74.55 mm further) does not fit.
  const Case cases[] = {{true, 1, 377.825}, {false, 2, 279.4}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.option1);
    RecordingCanvas c(377.825, 279.4, true);
    std::ignore = run(card_request({1, 2}, 1, true, k.option1), c);
    EXPECT_EQ(settings.paper_code, 39);
    EXPECT_EQ(settings.orientation, k.orientation);
    auto size = settings.page_mm();
    ASSERT_TRUE(size);
    EXPECT_NEAR(size->width_mm, k.width_mm, 1e-9);
  }
}

TEST_F(BatchPrint, NineCardsOnA4TakeTwoSheets) {
  settings.orientation = 2;
  RecordingCanvas c(210, 297, true);
  BatchResult res = run(card_request({1, 2, 3, 4, 5, 6, 7, 8, 9}, 1, false, true), c);
  EXPECT_EQ(settings.paper_code, 9);
  EXPECT_EQ(settings.orientation, 1);  // A4 is portrait whatever the dialog shows
  expect_origins(card_origins(c), {{0, 30, 15},  {0, 120, 15},  {0, 30, 80},  {0, 120, 80},
                                   {0, 30, 145}, {0, 120, 145}, {0, 30, 210}, {0, 120, 210},
                                   {1, 30, 15}});
  EXPECT_EQ(c.count(Op::NewPage), 1u);
  EXPECT_EQ(res.sheets, 2);
  auto sheets = sheet_of_items(c);
  const Item* ninth = c.find_text("井号:C9");
  ASSERT_NE(ninth, nullptr);
  EXPECT_EQ(sheets[static_cast<std::size_t>(ninth - c.items.data())], 1);
}

TEST_F(BatchPrint, SingleCardCopiesOnA4AndZeroCopies) {
  {
    RecordingCanvas c(210, 297, true);
    std::ignore = run(card_request({2}, 3, false), c);
    expect_origins(card_origins(c), {{0, 30, 15}, {0, 120, 15}, {0, 30, 80}});
  }
  {
    RecordingCanvas c(210, 297, true);
    BatchResult res = run(card_request({2}, 0, false), c);
    EXPECT_EQ(res.status, BatchStatus::Printed);
    ASSERT_EQ(c.items.size(), 1u);  // an empty job is ended
    EXPECT_EQ(c.items[0].op, Op::EndDoc);
  }
  {
    // Several marked cards ignore the copies: the toolbar repeats the whole batch.
    RecordingCanvas c(210, 297, true);
    std::ignore = run(card_request({2, 5}, 3, false), c);
    EXPECT_EQ(card_origins(c).size(), 2u);
  }
}

TEST_F(BatchPrint, UnknownPaperTextEndsAnEmptyJob) {
  BatchRequest req = card_request({1, 2}, 1, false);
  req.combo3_text = "Letter";
  RecordingCanvas c(210, 297, true);
  settings.paper_code = 13;
  std::ignore = run(req, c);
  ASSERT_EQ(c.items.size(), 1u);
  EXPECT_EQ(c.items[0].op, Op::EndDoc);
  EXPECT_EQ(settings.paper_code, 13);
}

TEST_F(BatchPrint, ThreeElectricRecordsTwoToASheet) {
  BatchRequest req;
  req.frame2_caption = "电力曲线主库";
  req.marked_rows = {1, 2, 3};
  req.copies = 1;
  settings.paper_code = 9;
  RecordingCanvas c(210, 297, true);
  BatchResult res = run(req, c);
  EXPECT_EQ(res.sheets, 2);
  EXPECT_EQ(c.count(Op::NewPage), 1u);
  EXPECT_EQ(settings.paper_code, 9);  // left as the caller set it
  auto sheets = sheet_of_items(c);
  // Templates: their outer frame starts 24 x 30 template pixels (96 per inch) inside the
  // template's corner. Charts: the frame's top side, pen 2, 130 mm long, at corner + (15, 20).
  std::vector<Origin> templates, charts;
  for (std::size_t i = 0; i < c.items.size(); ++i) {
    const Item& it = c.items[i];
    if (it.op == Op::Rect) templates.push_back({sheets[i], it.x1 - 24 * 25.4 / 96, it.y1 - 30 * 25.4 / 96});
    if (it.op == Op::Line && it.pen.width == 2 && near(it.y1, it.y2) && near(it.x2 - it.x1, 130))
      charts.push_back({sheets[i], it.x1 - 15, it.y1 - 20});
  }
  const std::vector<Origin> want = {{0, 30, 20}, {0, 30, 155}, {1, 30, 20}};
  expect_origins(templates, want);
  expect_origins(charts, want);
  for (const char* w : {"D1", "D2", "D3"}) EXPECT_EQ(c.texts_containing(w).size(), 1u) << w;
}

TEST_F(BatchPrint, WaveformReportsOneSheetEachWithoutBlankSheets) {
  BatchRequest req;
  req.frame2_caption = "波形分析主库";
  req.marked_rows = {1, 2};
  int repaints = 0;
  RecordingCanvas c(210, 297, true);
  BatchResult res = prt_main_marked(tmp.prog, req, shown, c, settings, [&] { ++repaints; });
  EXPECT_EQ(repaints, 2);
  EXPECT_EQ(res.sheets, 2);
  EXPECT_EQ(c.count(Op::NewPage), 1u);  // the report's own page end and the batch break make one
  ASSERT_GE(c.items.size(), 2u);
  EXPECT_EQ(c.items.back().op, Op::EndDoc);
  EXPECT_NE(c.items[c.items.size() - 2].op, Op::NewPage);  // no blank sheet at the end
}

TEST_F(BatchPrint, NoMarksAndUnknownLibraryPrintNothing) {
  RecordingCanvas c(210, 297, true);
  EXPECT_EQ(run(card_request({}, 1, false), c).status, BatchStatus::NoMarks);
  BatchRequest req = card_request({1}, 1, false);
  req.frame2_caption = "主库";
  EXPECT_EQ(run(req, c).status, BatchStatus::UnknownLibrary);
  EXPECT_TRUE(c.items.empty());  // no job at all
}

TEST_F(BatchPrint, UnreadableRecordLeavesItsPlaceEmpty) {
  BatchRequest req;
  req.frame2_caption = "电力曲线主库";
  req.marked_rows = {1, 7, 3};  // row 7 is beyond the library
  RecordingCanvas c(210, 297, true);
  std::ignore = run(req, c);
  int templates = 0;
  for (const Item& it : c.items) templates += it.op == Op::Rect;
  EXPECT_EQ(templates, 2);
  EXPECT_TRUE(c.texts_containing("D1").size() == 1 && c.texts_containing("D3").size() == 1);
}

TEST_F(BatchPrint, ShownTestIsLeftExactlyAsItWas) {
  shown.read_sgt_dnt_org = kKindJoint;
  for (int i = 0; i < kSampleArraySize; ++i) {
    shown.sss[i] = 0.001f * i;
    shown.ggs[i] = 20 + 0.01f * i;
    shown.iis[i] = 15;
    shown.uus[i] = 380;
    shown.pps[i] = 10;
    shown.qqs[i] = 4;
  }
  shown.iu_num = 600;
  shown.gt_num = 601;
  shown.gt_stroke = 2.5f;
  shown.gt_max_load = 44.f;
  shown.sgt_rec = make_card("SHOWN", 601, 2500, 4400, 900);
  shown.dnt_rec = make_dnt("SHOWN");
  shown.xbt_rec = make_xbt("SHOWN");
  shown.org_head.test_date = "200101010101";
  shown.Text1 = {"200101010101", "0.4", "SHOWN", "2.4", "40", "10"};
  for (int i = 0; i < 16; ++i) shown.Text3[i] = std::to_string(i);
  const TestState before = shown;

  struct Case {
    const char* caption;
    std::vector<std::int16_t> rows;
  };
  const Case cases[] = {{"功图数据主库", {1, 2, 3}}, {"电力曲线主库", {1, 2}}, {"波形分析主库", {1}}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.caption);
    BatchRequest req = card_request(k.rows, 1, false);
    req.frame2_caption = k.caption;
    RecordingCanvas c(210, 297, true);
    BatchResult res = run(req, c);
    ASSERT_GT(res.sheets, 0);
    EXPECT_EQ(shown.sss, before.sss);
    EXPECT_EQ(shown.ggs, before.ggs);
    EXPECT_EQ(shown.iis, before.iis);
    EXPECT_EQ(shown.uus, before.uus);
    EXPECT_EQ(shown.pps, before.pps);
    EXPECT_EQ(shown.qqs, before.qqs);
    EXPECT_EQ(shown.iu_num, before.iu_num);
    EXPECT_EQ(shown.gt_num, before.gt_num);
    EXPECT_EQ(shown.gt_stroke, before.gt_stroke);
    EXPECT_EQ(shown.gt_max_load, before.gt_max_load);
    EXPECT_EQ(shown.sgt_rec.encode(), before.sgt_rec.encode());
    EXPECT_EQ(shown.dnt_rec.encode(), before.dnt_rec.encode());
    EXPECT_EQ(shown.xbt_rec.encode(), before.xbt_rec.encode());
    EXPECT_EQ(shown.org_head.test_date, before.org_head.test_date);
    EXPECT_EQ(shown.Text1, before.Text1);
    EXPECT_EQ(shown.Text3, before.Text3);
    EXPECT_EQ(shown.text1_enabled, before.text1_enabled);
    EXPECT_EQ(shown.image1_tooltip, before.image1_tooltip);
  }
}

TEST(PrintMarks, CollectsMarkedRowsUpTo250) {
  // Grid of n rows (row 0 the header, marked to show it never counts); odd rows marked.
  auto grid = [](std::size_t n) {
    std::vector<std::string> g{"▲序号"};
    for (std::size_t r = 1; r < n; ++r) g.push_back((r % 2 ? "▲" : "") + std::to_string(r));
    return g;
  };
  struct Case {
    std::size_t rows;
    std::size_t marks;
    bool overflow;
  };
  // Rows 1..n−1 hold floor(n/2) odd rows; row 501 is the 251st mark.
  const Case cases[] = {{1, 0, false}, {6, 3, false}, {501, 250, false}, {502, 250, true}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.rows);
    PrintMarks m = collect_print_marks(grid(k.rows));
    EXPECT_EQ(m.rows.size(), k.marks);
    EXPECT_EQ(m.overflow, k.overflow);
    if (!m.rows.empty()) {
      EXPECT_EQ(m.rows.front(), 1);
      EXPECT_EQ(m.rows.back(), static_cast<std::int16_t>(2 * k.marks - 1));
    }
  }
}

TEST(PageGuard, BreaksOnlyBetweenDrawnPages) {
  RecordingCanvas inner(210, 297, true);
  PageGuardCanvas g(inner);
  g.new_page();  // nothing drawn yet: no sheet
  g.line(1, 1, 2, 2);
  g.new_page();
  g.new_page();  // a second break in a row adds nothing
  g.print_at(10, 10, "x");
  g.new_page();  // a break right before the end of the job adds nothing
  g.end_doc();
  std::vector<Op> ops;
  for (const Item& it : inner.items) ops.push_back(it.op);
  EXPECT_EQ(ops, (std::vector<Op>{Op::Line, Op::NewPage, Op::Text, Op::EndDoc}));
  EXPECT_EQ(g.sheets(), 2);
  EXPECT_NEAR(inner.items[2].x1, 10, kTol);
  EXPECT_EQ(inner.items[2].text, "x");
}

}  // namespace
}  // namespace wb
