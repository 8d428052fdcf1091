// The toolbar's commands.
#include "ui/workbench/rod_eng_map_display.h"

namespace wb {

void RodEngMapDisplay::Image1_Click(int) {}

}  // namespace wb
