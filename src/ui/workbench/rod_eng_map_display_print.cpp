// Printing from the main window and the waveform page preview.
#include "ui/workbench/rod_eng_map_display.h"

namespace wb {

void RodEngMapDisplay::Command1_Click() {}

}  // namespace wb
