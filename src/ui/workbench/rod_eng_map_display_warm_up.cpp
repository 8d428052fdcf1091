// Start-up work done while the splash shows, so that neither the window's first paint nor
// the first test the user opens pays for loading things the first time.
#include <memory>
#include <tuple>

#include "core/charts/card_chart.h"
#include "core/charts/electric_chart.h"
#include "core/charts/energy_panel.h"
#include "core/samples/synthetic_tests.h"
#include "core/workbench/org_decode.h"
#include "ui/workbench/rod_eng_map_display.h"

namespace wb {

namespace {

// Every printable ASCII character: the charts print the well's name, so as its name the
// warm-up's test makes the glyphs of any letter, digit or sign a name may hold ready in
// each face and size the charts print it in.
std::string printable_ascii() {
  std::string s;
  for (char c = ' '; c <= '~'; ++c) s += c;
  return s;
}

}  // namespace

void RodEngMapDisplay::warm_up() {
  // Rendering the window once off screen polishes every widget, activates the layouts and
  // loads the fonts and glyphs of its own first paint.
  grab();

  // A made-up joint test through the pipeline and its views, drawn on a throwaway picture of
  // Picture1's size and resolution. The first test opened otherwise pays, on top of its own
  // drawing, for loading the charts' faces at 240 dpi (font matching and fallbacks), their
  // glyphs, the text shaper, the antialiased line rasteriser and the pipeline's code: two to
  // three times what a later open costs. The fonts and glyphs stay in Qt's caches for the
  // program's life. Neither the window's state nor its picture is used.
  const ImageCanvas& shown = Picture1->canvas();
  ImageCanvas pic(1, 1, shown.dpi());
  pic.set_page_mm(shown.area_width_mm(), shown.area_height_mm());
  auto test = std::make_unique<TestState>();
  // The sample maker's bytes are sound: the decode cannot refuse them.
  std::ignore = decode_org_bytes(*test, make_synthetic_joint_test(SyntheticJointParams{}));
  test->read_sgt_dnt_org = kKindJoint;
  test->Text1[appended_box::kWell] = printable_ascii();
  JointCharts charts;
  charts.draw_card = [&pic](TestState& s) { RodEngMapDisplay_Card(s, pic); };
  charts.draw_electric = [&pic](TestState& s) { iup_line_form(s, pic, s.iu_num); };
  // Refused only without decoded samples, which the test has.
  std::ignore = tx_org(*test, "", 2, charts);
  // The energy panel, which a click on the picture shows.
  disp_data(*test, pic, test->DnCs);
}

}  // namespace wb
