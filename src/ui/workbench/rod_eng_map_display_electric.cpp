// Waveform and line-loss analysis in the main window: the waveform curves and harmonic bars
// on the main picture, the waveform report page, and the supply-line loss views.
#include <QString>
#include <tuple>

#include "core/electric/harmonics.h"
#include "core/electric/line_loss.h"
#include "core/electric/line_loss_view.h"
#include "core/electric/waveform_charts.h"
#include "core/electric/waveform_page.h"
#include "platform/print_dialog.h"
#include "platform/system_printer.h"
#include "ui/workbench/rod_eng_map_display.h"

namespace wb {

void RodEngMapDisplay::draw_xbt_1(float xx, float yy) {
  ::wb::draw_xbt_1(Picture1->canvas(), st, xx, yy);
  Command1->setVisible(st.command1_visible);
  Picture1->update();
}

void RodEngMapDisplay::draw_xbt_2(float xx, float yy) {
  ::wb::draw_xbt_2(Picture1->canvas(), st, xx, yy);
  Command1->setVisible(st.command1_visible);
  Picture1->update();
}

void RodEngMapDisplay::xbt_prt_page(Canvas& printer) { ::wb::xbt_prt_page(printer, st); }

void RodEngMapDisplay::xbt_prt_page(PictureBox* page) {
  if (!page) return;
  page->set_page_a4();
  page->canvas().reset_drawing_state();  // as a printed page starts
  ::wb::xbt_prt_page(page->canvas(), st);
  page->update();
}

// The box is narrow: show the start of the full-precision number.
void RodEngMapDisplay::show_correlation() {
  R_iu->setText(QString::fromStdString(st.R_iu));
  R_iu->setCursorPosition(0);
}

void RodEngMapDisplay::line_loss_view() {
  if (st.read_sgt_dnt_org != kKindLineLoss) line_loss_source_kind_ = st.read_sgt_dnt_org;
  st.read_sgt_dnt_org = kKindLineLoss;
  std::int16_t n = st.iu_num;
  Get_Line_Lose(n);
}

namespace {

// The estimate's sample count for the test whose samples the arrays hold: the kind shown
// before the line-loss view took over.
int line_loss_count(std::int16_t kind, std::int16_t source_kind, std::int16_t iu_num) {
  return line_loss_sample_count(kind == kKindLineLoss ? source_kind : kind, iu_num);
}

}  // namespace

void RodEngMapDisplay::Get_Line_Lose(std::int16_t iu_num) {
  st.Text1[appended_box::kWell] = Text1[appended_box::kWell]->text().toStdString();
  const int count = line_loss_count(st.read_sgt_dnt_org, line_loss_source_kind_, iu_num);
  ::wb::Get_Line_Lose(Picture1->canvas(), st, count);
  show_correlation();
  Command1->setVisible(st.command1_visible);
  Picture1->update();
}

void RodEngMapDisplay::Get_Line_Lose_prt(std::int16_t iu_num) {
  st.Text1[appended_box::kWell] = Text1[appended_box::kWell]->text().toStdString();
  const int count = line_loss_count(st.read_sgt_dnt_org, line_loss_source_kind_, iu_num);
  ::wb::Get_Line_Lose_prt(Picture1->canvas(), st, count);
  show_correlation();
  Picture1->update();
}

void RodEngMapDisplay::Get_Line_Lose_print(std::int16_t iu_num) {
  st.Text1[appended_box::kWell] = Text1[appended_box::kWell]->text().toStdString();
  const int count = line_loss_count(st.read_sgt_dnt_org, line_loss_source_kind_, iu_num);
  std::ignore = print_once(this, [&](Canvas& printer, int) { ::wb::Get_Line_Lose_print(printer, st, count); },
                           PrintName{st.Text1[appended_box::kWell], "线损分析"});  // a failure is said by the driver
  show_correlation();
}

}  // namespace wb
