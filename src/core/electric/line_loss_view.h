// The line-loss drawings: a scatter chart of voltage against current (one point per sample,
// red where the motor consumes power, green where it generates), the fitted line, a legend,
// a title with the well name and the 21-line result list in a framed column to the right.
//
// Positions are laid out in layout units of 0.126 mm (50 units = 6.3 mm) from an origin in
// millimetres: the chart spans u 39..439 (0..160 A, 20 A a division) and v 50..450
// (Ubase + 40 down to Ubase, 5 V a division). Three layouts share the drawing:
//   screen       origin (9, 0.5) on the main picture, the main window's line-loss view;
//   printer page origin (45, 15) on the printer, one finished print job;
//   alternative  origin (5, 3) on the main picture, the list starting at the chart's top.
// Every layout shows the results and the fitted line only when the estimate holds.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/common/canvas.h"
#include "core/electric/line_loss.h"
#include "core/records/drawn_test.h"

namespace wb {

enum class LineLossLayout { Screen, Printer, Alternative };

// Draws a finished estimate; `samples` are positions 0..count-1 of the state's arrays.
void draw_line_loss(Canvas& c, LineLossLayout layout, const LineLossEstimate& e, const LineLossList& list,
                    std::string_view well_name, const DrawnTest& st, int count);

// The main window's line-loss view: hides the print-preview button, runs the estimate over
// positions 0..count-1, publishes the correlation in R_iu and draws on the picture.
// The caller sets the view kind and chooses `count` (line_loss_sample_count).
LineLossEstimate Get_Line_Lose(Canvas& pic, DrawnTest& st, int count);
// The same estimate as one print job on the printer (ends the document).
LineLossEstimate Get_Line_Lose_print(Canvas& prn, DrawnTest& st, int count);
// The alternative layout on the picture; leaves the print-preview button and the view kind.
LineLossEstimate Get_Line_Lose_prt(Canvas& pic, DrawnTest& st, int count);

}  // namespace wb
