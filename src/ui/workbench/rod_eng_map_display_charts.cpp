// The card, the electric curves and the energy panel in the main picture.
#include "core/charts/card_chart.h"
#include "core/charts/electric_chart.h"
#include "core/charts/energy_panel.h"
#include "ui/workbench/rod_eng_map_display.h"

namespace wb {

// Over a card only: on the electric curves or the energy panel the lines would land in
// millimetres on an unrelated chart.
void RodEngMapDisplay::disp_ll_sgt() {
  if (picture_shows_card(st)) wb::disp_ll_sgt(st, Picture1->canvas());
}

void RodEngMapDisplay::draw_card() { RodEngMapDisplay_Card(st, Picture1->canvas()); }

void RodEngMapDisplay::draw_card_points(int points) { RodEngMapDisplay_G(st, Picture1->canvas(), points); }

void RodEngMapDisplay::draw_electric_curves() { iup_line_form(st, Picture1->canvas(), st.iu_num); }

void RodEngMapDisplay::draw_electric_curves(int points) { iup_line_form(st, Picture1->canvas(), points); }

void RodEngMapDisplay::draw_energy_panel() { disp_data(st, Picture1->canvas(), st.DnCs); }

JointCharts RodEngMapDisplay::joint_charts() {
  JointCharts c;
  c.draw_card = [this](TestState& s) { RodEngMapDisplay_Card(s, Picture1->canvas()); };
  c.draw_electric = [this](TestState& s) { iup_line_form(s, Picture1->canvas(), s.iu_num); };
  c.draw_energy = [this](TestState& s) { disp_data(s, Picture1->canvas(), s.DnCs); };
  return c;
}

}  // namespace wb
