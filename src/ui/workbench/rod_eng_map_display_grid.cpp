// The library grid and the main picture's mouse commands.
#include "ui/workbench/rod_eng_map_display.h"

namespace wb {

void RodEngMapDisplay::Grid1_MouseDown(int, int, Qt::MouseButton) {}
void RodEngMapDisplay::Grid1_DblClick(int, int) {}
void RodEngMapDisplay::sc_num_Click() {}
void RodEngMapDisplay::Picture1_MouseDown(Qt::MouseButton, double, double) {}

}  // namespace wb
