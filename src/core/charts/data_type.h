// The energy values of the electric test for which the energy panel was last drawn.
//
// One array for the whole run, owned by the main window's test state (TestState::DnCs) and
// handed by reference to the panel that fills it and to the power/balance summary that
// copies it. Index 0 is not written by the panel (the summary record keeps the pump
// efficiency there); indexes 1..15 hold the indicators below.
#pragma once

#include <array>

namespace wb {

using DnCsArray = std::array<float, 16>;

enum DnCsIndex : int {
  kDnCsPumpEffi = 0,       // %, kept by the summary record; the panel leaves it
  kDnCsAvgVoltage = 1,     // V
  kDnCsAvgCurrent = 2,     // A
  kDnCsInputPower = 3,     // kW, mean active power
  kDnCsReactivePower = 4,  // kvar
  kDnCsApparentPower = 5,  // kVA
  kDnCsPowerFactor = 6,
  kDnCsStrokeEnergy = 7,   // W·h per stroke
  kDnCsMaxCurrentUp = 8,   // A
  kDnCsMaxCurrentDown = 9, // A
  kDnCsRmsCurrent = 10,    // A
  kDnCsCurrentBalance = 11,
  kDnCsAvgPowerUp = 12,    // kW
  kDnCsAvgPowerDown = 13,  // kW
  kDnCsRmsPower = 14,      // kW
  kDnCsPowerBalance = 15,
};

}  // namespace wb
