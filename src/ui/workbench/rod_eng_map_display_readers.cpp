// Card, electric and waveform test files.
#include "ui/workbench/rod_eng_map_display.h"

namespace wb {

void RodEngMapDisplay::open_card_file(const QString&) {}
void RodEngMapDisplay::open_electric_file(const QString&) {}
void RodEngMapDisplay::open_wave_file(const QString&) {}

}  // namespace wb
