// Batch printing of the library records marked "▲" in the main window's grid: cards eight
// to an A4 sheet (2 x 4) or sixteen to a fan-fold sheet (4 x 4), power-curve records two to
// an A4 sheet on their page template, waveform records one report per sheet.
//
// The batch works on a copy of the shown test: the record readers it drives fill record
// buffers, sample arrays and boxes of that copy only, so the test in the main window stays
// exactly as it was. A page break is made only between records and never feeds a blank
// sheet.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/common/canvas.h"
#include "core/common/paths.h"
#include "core/printing/print_state.h"
#include "core/workbench/test_libraries.h"
#include "core/workbench/test_state.h"

namespace wb {

inline constexpr int kMaxPrintMarks = 250;
inline constexpr const char* kNoMarkText = "请在主库网格中双击左键选定您需要打印的示功图或电能图！！";
inline constexpr const char* kNoMarkTitle = "没有选定";

// The marked rows of the grid, from the top: row numbers (= record numbers) whose column-0
// text starts with the print mark. At most 250 are kept; `overflow` tells that a 251st
// row is marked, or a row past the 16-bit record numbers (`beyond_limit`, its number); the
// toolbar's print command then prints nothing and says why (print_marks_refusal).
struct PrintMarks {
  std::vector<std::int16_t> rows;
  bool overflow = false;
  std::size_t beyond_limit = 0;
};
// Why the marks cannot be printed; empty when they can.
std::string print_marks_refusal(const PrintMarks& marks);
// `column0` holds the column-0 texts of grid rows 0 … rows − 1; row 0 is the header.
PrintMarks collect_print_marks(const std::vector<std::string>& column0);

// What the batch reads besides the marks: the library shown, Print_Copies, and for cards
// the dialog's paper box (its text and items 0 and 1) and its landscape button.
struct BatchRequest {
  std::string frame2_caption;
  std::vector<std::int16_t> marked_rows;
  std::int16_t copies = 0;
  std::string combo3_text;
  std::optional<std::string> combo3_item0;
  std::optional<std::string> combo3_item1;
  bool option1 = false;
};

// Sheet geometry of the card blocks.
struct CardSheetLayout {
  int per_sheet = 0;
  int columns = 0;
  double x0 = 0, pitch_x = 0;  // X of column c = x0 + pitch_x·c, mm
  double y0 = 0, pitch_y = 0;  // Y of row r = y0 + pitch_y·r, mm
};
inline constexpr CardSheetLayout kCardSheetA4{8, 2, 30.0, 90.0, 15.0, 65.0};
inline constexpr CardSheetLayout kCardSheetFanfold{16, 4, 7.0, 87.0, 13.0, 53.0};

// Power-curve records: the template's top-left corner per half sheet, the chart at +15, +20.
inline constexpr double kDntBlockX = 30.0;
inline constexpr double kDntBlockY[2] = {20.0, 155.0};
inline constexpr double kDntChartDx = 15.0;
inline constexpr double kDntChartDy = 20.0;

// One block of the batch: which record goes where on which sheet (from 0).
struct BatchBlock {
  int sheet = 0;
  std::int16_t record = 0;
  double x = 0, y = 0;  // mm: a card's reference point, a power-curve template's corner
};

struct BatchPlan {
  std::optional<LibraryKind> kind;          // empty: no library shown, nothing printed
  std::optional<std::int16_t> paper_code;   // cards: set on the printer before drawing
  std::optional<std::int16_t> orientation;
  std::vector<BatchBlock> blocks;
  int sheets() const { return blocks.empty() ? 0 : blocks.back().sheet + 1; }
};

// The layout of a batch: paper and orientation for cards, and every block in order.
// Cards: "A4" (paper item 0) prints A4 portrait; fan-fold (item 1) prints on paper 39,
// portrait when "横向" is selected and landscape otherwise (the page wider than high is
// the one the four columns need); another paper text places no block. A single marked
// card is repeated `copies` times; otherwise each marked record once.
BatchPlan plan_marked_print(const BatchRequest& req);

enum class BatchStatus {
  NoMarks,         // nothing marked: show kNoMarkText / kNoMarkTitle
  UnknownLibrary,  // the grid shows no library: nothing printed, no job
  Printed,         // the job was ended (possibly empty)
};

struct [[nodiscard]] BatchResult {
  BatchStatus status = BatchStatus::Printed;
  BatchPlan plan;
  int sheets = 0;  // sheets that received drawing
};

// prt_main_marked: prints the plan's blocks on `printer` as one job and ends it. Card paper
// and orientation are written to `settings` before the first drawing. `shown` is copied and
// left alone. `after_report` runs after each waveform report (the window repaints itself).
BatchResult prt_main_marked(const ProgramFolder& prog, const BatchRequest& req, const TestState& shown,
                            Canvas& printer, PrinterSettings& settings,
                            const std::function<void()>& after_report = {});

}  // namespace wb
