// What the rod-string design window takes from the diagnosis: the choice of a well through
// `cygsj` and the texts of the diagnosis boxes afterwards. The design window reaches the one
// diagnosis window through diagnosis_hand_over(), which makes it (its load step runs, it is
// not shown) when it does not exist; its tests put a fake provider in place.
//
// The diagnosis button "杆柱设计" opens the design window through design_window_opener(),
// which the design window registers; while nothing is registered the button does nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class QWidget;

namespace wb {

class DiagnosisHandOver {
 public:
  virtual ~DiagnosisHandOver() = default;
  // Selects the well (its last test date is loaded and refreshed); dda comes back 3 when the
  // diagnosis file has no record of the well (a message has told the user).
  virtual void cygsj(std::string& Well_Name, std::int16_t& dda) = 0;
  virtual std::string Text1(int index) const = 0;  // 0..55
  virtual std::string Text5() const = 0;           // maximum load of the card, kN
  virtual std::string Text6() const = 0;           // minimum load of the card, kN
};

// The provider of the one diagnosis window: set by register_diagnosis_window (or a test).
std::function<DiagnosisHandOver*()>& diagnosis_hand_over_provider();
// The diagnosis window, made when it does not exist; nullptr when no provider is set.
DiagnosisHandOver* diagnosis_hand_over();

// Opens the design window for the diagnosis window `diagnosis` (shown without blocking).
std::function<void(QWidget* diagnosis)>& design_window_opener();

}  // namespace wb
