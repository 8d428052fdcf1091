// Joint tests and the period frame.
#include "ui/workbench/rod_eng_map_display.h"

namespace wb {

void RodEngMapDisplay::open_joint_test(const QString&) {}
void RodEngMapDisplay::adjust_Click(int) {}
void RodEngMapDisplay::CircleDot_KeyPress() {}
void RodEngMapDisplay::Chk_Start_Click() {}

}  // namespace wb
