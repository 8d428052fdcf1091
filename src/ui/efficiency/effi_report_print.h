// The efficiency window's two report buttons over the core page procedure prt_effi_page:
//   "打印" (Cmd_Prnt_Click): the print protocol with portrait selected and the paper box on
//          its second entry (A4) and disabled; each copy is printed on A4 portrait as a job of
//          its own. The boxes are printed as they are.
//   "预览" (Cmd_View_Click): after the window's calculation succeeded, the preview window
//          shows the same page on its A4 picture.
#pragma once

#include <QWidget>

#include "core/efficiency/effi_report.h"

namespace wb {

// Returns the copies printed (0 when cancelled or when printing failed, which is reported).
// `rod_len_sum`, when given, receives the rod length the card chart drew with (m).
int print_effi_report(QWidget* caller, const EffiBoxTexts& Text1, EffiStroke& stroke,
                      double* rod_len_sum = nullptr);
// Shows the preview (created on first use, else brought to the front) with the page.
void preview_effi_report(const EffiBoxTexts& Text1, EffiStroke& stroke, double* rod_len_sum = nullptr);

}  // namespace wb
