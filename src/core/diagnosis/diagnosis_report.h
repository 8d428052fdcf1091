// The one-page diagnosis report (A4 portrait, millimetres): a ruled table of 30 well and
// result values titled "油井井下诊断表" in the left column pair, the diagnosis chart in the
// upper right, and the advice box "诊断结果" above the operator and date line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/canvas.h"
#include "core/diagnosis/diagnosis_state.h"
#include "core/printing/table_printer.h"

namespace wb {

inline constexpr const char* kBgtReportTitle = "油井井下诊断表";
inline constexpr int kAdviceMaxLines = 16;
inline constexpr int kAdviceChunkChars = 23;

// rows 30, cols 6, row height 260/30, label 42, value 30, left 15, top 18.5, width 180,
// frame height 260 mm, body 15 points.
TableLayout bgt_report_layout();

// Entries 0 (the title) and 1..30 of the report table from the boxes.
void Fill_Bgt_Table(const DiagnosisState& st, TableCells& cells);

// Splits a text at its line breaks into ent[1], ent[2], … (ent[0] unused); returns the
// number of lines. An empty text has none; a text ending in a line break ends with an empty
// line.
int str_print(std::string_view st, std::vector<std::string>& ent);

// The advice box: up to 16 lines of box 31 (an empty line ends them), each in chunks of 23
// characters 6 mm apart from 163 mm down, none below the operator line; the two rules, the
// box title and the operator line.
void prt_Bgt_Advice(const DiagnosisState& st, const TableLayout& layout, Canvas& out);

// The whole page on `out` (the printer ends the document after it). The chart is drawn from
// the window's chart record in the page's mapping.
void prt_bgt_page(const DiagnosisState& st, Canvas& out);

// Double-byte text helpers: `lenofbytes` GBK bytes of `bytsource` from byte `posstart`
// (1-based; 0 bytes means 10000), and the GBK byte length of a text.
std::string MidC(std::string_view bytsource, int posstart, int lenofbytes);
std::int16_t LenC(std::string_view sourcestring);

}  // namespace wb
