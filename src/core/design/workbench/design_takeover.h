// The well the diagnosis window shows, taken into the design window when it opens: the
// well and date boxes, the diagnosis window's choice of the well's last test (`cygsj`), the
// well, production, rod-string, pressure, load and power values into the working record and
// the boxes, the pump efficiency from the effective stroke and a proposed design efficiency.
// Nothing is written to a file.
//
// The date box takes the diagnosis window's date after `cygsj`, so that date and values
// belong to the same test.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/design/engine/design_state.h"
#include "core/design/workbench/design_records.h"

namespace wb::design {

// What the takeover reads of the diagnosis window.
struct DiagnosisView {
  // Selects the well's last test; dda comes back 3 when there is none (a message was shown).
  std::function<void(std::string& Well_Name, std::int16_t& dda)> cygsj;
  std::function<std::string(int)> Text1;  // boxes 0..55
  std::function<std::string()> Text5;     // maximum load, kN
  std::function<std::string()> Text6;     // minimum load, kN
};

// 1440·π: m³/d of a plunger area of 1 m² moving 1 m once a minute.
inline constexpr double kDailyDisplacement = 4523.893421169298;

// `done` when the values were taken; `refused` (a beep for a blank well name, the diagnosis
// window's own answer for a well it does not know) otherwise.
DesignOutcome LoadFromDiagnosis(DesignState& st, const DiagnosisView& diag, DesignControls& controls);

// The pump efficiency from the effective stroke, rounded half up to three decimals from its
// single-precision value: Q/((D/2000)²·1440π·N·Se), or `fallback` when D, N or Se is not
// greater than 0.
float stroke_pump_eff(double Q, float D, float N, float Se, double fallback);
// The design pump efficiency proposed for η: 0.5 below 0.5, 0.9 above 0.9, else η. `text`
// is the value cut to three decimals as Text2 shows it.
double design_pump_eff(float eta, std::string& text);

}  // namespace wb::design
