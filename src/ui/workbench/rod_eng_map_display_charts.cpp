// The card, the electric curves and the energy panel in the main picture.
#include "ui/workbench/rod_eng_map_display.h"

namespace wb {

void RodEngMapDisplay::disp_ll_sgt() {}

}  // namespace wb
