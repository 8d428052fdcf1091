// The print-settings dialog's rules as data: what it shows at load, what OK applies to the
// current printer, Cancel, and the copies box kept in step with its spin control.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/printing/print_state.h"

namespace wb {
namespace {

PrintDlgState loaded(const std::vector<std::string>& printers = {"LaserA", "InkB"},
                     const std::string& reg = "InkB") {
  PrintDlgState d;
  print_dlg_load(d, printers, reg);
  return d;
}

TEST(PrintDlgLoad, FirstUseShowsListsAndPresets) {
  PrintDlgState d = loaded({"P1", "P2", "P3"}, "NO KEY FOUND");
  EXPECT_EQ(d.combo1_items, (std::vector<std::string>{"P1", "P2", "P3"}));
  EXPECT_EQ(d.combo1_text, "NO KEY FOUND");
  EXPECT_EQ(d.combo2_items, (std::vector<std::string>{"高", "中", "低", "草稿"}));
  EXPECT_EQ(d.combo2_text, "高");
  EXPECT_EQ(d.combo3_items, (std::vector<std::string>{"A3, 297 x 420 毫米", "A4, 210 x 297 毫米",
                                                      "B4, 250 x 354 毫米", "B5, 182 x 257 毫米"}));
  EXPECT_EQ(d.combo3_text, "A4, 210 x 297 毫米");
  EXPECT_FALSE(d.option1);  // "纵向"
  EXPECT_EQ(d.text1, "100");
  EXPECT_EQ(d.text2, "1");
}

TEST(PrintDlgOk, AppliesEachChoiceOrLeavesItWhenNothingMatches) {
  struct Case {
    const char* name;
    void (*edit)(PrintDlgState&);
    void (*check)(const PrinterSettings&, std::int16_t copies);
  };
  const Case cases[] = {
      {"defaults", [](PrintDlgState&) {},
       [](const PrinterSettings& p, std::int16_t n) {
         EXPECT_EQ(p.device_index, 1);  // "InkB" is item 1
         EXPECT_EQ(p.device_name, "InkB");
         EXPECT_EQ(p.quality, -4);
         EXPECT_EQ(p.paper_code, 9);
         EXPECT_EQ(p.zoom, 100);
         EXPECT_EQ(p.orientation, 1);
         EXPECT_EQ(n, 1);
       }},
      {"unknown printer text keeps the printer", [](PrintDlgState& d) { d.combo1_text = "NO KEY FOUND"; },
       [](const PrinterSettings& p, std::int16_t) { EXPECT_EQ(p.device_name, "Old"); }},
      {"quality draft", [](PrintDlgState& d) { d.combo2_text = "草稿"; },
       [](const PrinterSettings& p, std::int16_t) { EXPECT_EQ(p.quality, -1); }},
      {"quality typed", [](PrintDlgState& d) { d.combo2_text = "best"; },
       [](const PrinterSettings& p, std::int16_t) { EXPECT_EQ(p.quality, -2); }},
      {"A3", [](PrintDlgState& d) { d.combo3_text = "A3, 297 x 420 毫米"; },
       [](const PrinterSettings& p, std::int16_t) { EXPECT_EQ(p.paper_code, 8); }},
      {"B4", [](PrintDlgState& d) { d.combo3_text = "B4, 250 x 354 毫米"; },
       [](const PrinterSettings& p, std::int16_t) { EXPECT_EQ(p.paper_code, 12); }},
      {"B5", [](PrintDlgState& d) { d.combo3_text = "B5, 182 x 257 毫米"; },
       [](const PrinterSettings& p, std::int16_t) { EXPECT_EQ(p.paper_code, 13); }},
      {"fan-fold text is not mapped", [](PrintDlgState& d) { d.combo3_text = "宽行打印纸(381)"; },
       [](const PrinterSettings& p, std::int16_t) { EXPECT_EQ(p.paper_code, 13); }},
      {"typed paper text", [](PrintDlgState& d) { d.combo3_text = "Letter"; },
       [](const PrinterSettings& p, std::int16_t) { EXPECT_EQ(p.paper_code, 13); }},
      {"empty paper list sets nothing",
       [](PrintDlgState& d) {
         d.combo3_items.clear();
         d.combo3_text = "A3, 297 x 420 毫米";
       },
       [](const PrinterSettings& p, std::int16_t) { EXPECT_EQ(p.paper_code, 13); }},
      {"zoom leading number", [](PrintDlgState& d) { d.text1 = "150.5%"; },
       [](const PrinterSettings& p, std::int16_t) { EXPECT_EQ(p.zoom, 150); }},  // ties to even
      {"zoom not a number", [](PrintDlgState& d) { d.text1 = "abc"; },
       [](const PrinterSettings& p, std::int16_t) { EXPECT_EQ(p.zoom, 0); }},
      {"zoom too large keeps zoom", [](PrintDlgState& d) { d.text1 = "9999999999"; },
       [](const PrinterSettings& p, std::int16_t) { EXPECT_EQ(p.zoom, 70); }},
      {"landscape", [](PrintDlgState& d) { d.option1 = true; },
       [](const PrinterSettings& p, std::int16_t) { EXPECT_EQ(p.orientation, 2); }},
      {"copies emptied", [](PrintDlgState& d) { d.text2 = ""; },
       [](const PrinterSettings&, std::int16_t n) { EXPECT_EQ(n, 0); }},
      {"copies 5x", [](PrintDlgState& d) { d.text2 = "5x"; },
       [](const PrinterSettings&, std::int16_t n) { EXPECT_EQ(n, 5); }},
      {"copies 2.5 ties to even", [](PrintDlgState& d) { d.text2 = "2.5"; },
       [](const PrinterSettings&, std::int16_t n) { EXPECT_EQ(n, 2); }},
      {"copies beyond 16 bits keep the count", [](PrintDlgState& d) { d.text2 = "99999"; },
       [](const PrinterSettings&, std::int16_t n) { EXPECT_EQ(n, 7); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PrintDlgState d = loaded();
    c.edit(d);
    PrinterSettings p;
    p.device_name = "Old";
    p.quality = -2;
    p.paper_code = 13;
    p.zoom = 70;
    std::int16_t copies = 7;
    print_dlg_ok(d, p, copies);
    c.check(p, copies);
  }
}

TEST(PrintDlgCancel, SetsCancelledAndTouchesNoSetting) {
  std::int16_t state = kPrintPending;
  print_dlg_cancel(state);
  EXPECT_EQ(state, 2);
}

TEST(PrintDlgCopies, SpinAndBoxStayInStep) {
  struct Case {
    const char* text;
    int spin;
  };
  const Case cases[] = {{"5x", 5}, {"", 0}, {"abc", 0}, {"12", 12}, {"-3", 0}, {"40000", 32767}, {"3.5", 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(copies_spin_for_text(c.text), c.spin);
  }
  EXPECT_EQ(copies_text_for_spin(5), "5");
  EXPECT_EQ(copies_text_for_spin(0), "0");
}

TEST(PrintDlgCopies, OkTakesOnlyAWholeNumberOfCopies) {
  struct Case {
    const char* text;
    std::optional<int> copies;
  };
  const Case cases[] = {{"1", 1},           {" 3 ", 3},         {"32767", 32767},   {"abc", std::nullopt},
                        {"", std::nullopt}, {"0", std::nullopt}, {"5x", std::nullopt}, {"-2", std::nullopt},
                        {"2.5", std::nullopt}, {"40000", std::nullopt}, {"000001", std::nullopt}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(copies_from_text(c.text), c.copies);
  }
}

TEST(PrintDlgLoad, PrinterBoxNamesTheDefaultOrSaysPdf) {
  EXPECT_EQ(printer_box_text({"A", "B"}, "B"), "B");
  EXPECT_EQ(printer_box_text({"A", "B"}, ""), "A");
  EXPECT_EQ(printer_box_text({}, "Old"), kNoPrinterText);
  EXPECT_EQ(printer_box_text({}, ""), "PDF 文件（未安装打印机）");
}

TEST(PaperSizes, CodesAndOrientation) {
  struct Case {
    std::int16_t code, orientation;
    double w, h;
  };
  // Fan-fold: 14 7/8 in = 377.825 mm wide, 11 in = 279.4 mm high as the code defines it.
  const Case cases[] = {{8, 1, 297, 420},  {9, 1, 210, 297},         {9, 2, 297, 210},
                        {12, 1, 250, 354}, {13, 1, 182, 257},        {39, 1, 377.825, 279.4},
                        {39, 2, 279.4, 377.825}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.code) + "/" + std::to_string(c.orientation));
    auto s = paper_size_mm(c.code, c.orientation);
    ASSERT_TRUE(s.has_value());
    EXPECT_NEAR(s->width_mm, c.w, 1e-9);
    EXPECT_NEAR(s->height_mm, c.h, 1e-9);
  }
  EXPECT_FALSE(paper_size_mm(1, 1).has_value());
}

}  // namespace
}  // namespace wb
