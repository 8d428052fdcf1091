// The analysis windows the main window's toolbar opens, and the hand-over entries through
// which it passes them a joint test.
//
// Each window registers a factory here once it exists (the program does so at start); the
// main window creates a window on its first show (its load step runs then), later shows
// only bring it to the front. A button whose window has no factory does nothing. A window
// that takes the curves of a stroke also implements the matching hand-over interface; the
// main window calls `sh_ow` after the show has returned.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

#include "core/common/paths.h"
#include "core/workbench/test_state.h"

namespace wb {

// What an analysis window reads and writes of the main window: the program folder, the test
// it shows and the mirror between that test's texts and its boxes. The main window is one.
class MainWindowLink {
 public:
  virtual ~MainWindowLink() = default;
  virtual const ProgramFolder& program_folder() const = 0;
  virtual TestState& test() = 0;
  virtual void sync_to_widgets() = 0;    // state texts -> boxes
  virtual void sync_from_widgets() = 0;  // boxes -> state texts
  // The main window as the parent of a window it keeps.
  virtual QWidget* window_widget() = 0;
};

enum class AnalysisWindow {
  Balance = 0,     // BalanceAnalysis, toolbar button 1
  Efficiency = 1,  // SysEffiAnalysis, button 9
  Level = 2,       // LevelDisplay, button 11
  Diagnosis = 3,   // WellDiagnosis, button 14
};
inline constexpr int kAnalysisWindowCount = 4;

// Makes the window (a top-level widget; the main window keeps it while it exists).
using AnalysisWindowFactory = std::function<QWidget*(MainWindowLink& main)>;

struct AnalysisWindowRegistry {
  std::array<AnalysisWindowFactory, kAnalysisWindowCount> factories;
  AnalysisWindowFactory& operator[](AnalysisWindow w) { return factories[static_cast<int>(w)]; }
};

// The program's registry (tests put their own factories in and clear them again).
AnalysisWindowRegistry& analysis_windows();

// The counterbalance window's hand-over: the main window's six arrays (indices 0 … 3000),
// the electric point count of the stroke, the electric record's wiring mode and the test
// kind, all by reference to the main window's own data; the window copies what it keeps.
class BalanceHandOver {
 public:
  virtual ~BalanceHandOver() = default;
  virtual void sh_ow(SampleArray& uus1, SampleArray& iis1, SampleArray& pps1, SampleArray& qqs1, SampleArray& sss1,
                     SampleArray& ggs1, std::int16_t& gt_num1, std::int16_t& cs_fs1, std::int16_t& DispCurveType1) = 0;
};

// The efficiency window's hand-over: the arrays, the card and electric point counts, the
// joint test's wiring mode, the number 1 and the test kind.
class EfficiencyHandOver {
 public:
  virtual ~EfficiencyHandOver() = default;
  virtual void sh_ow(SampleArray& uus1, SampleArray& iis1, SampleArray& pps1, SampleArray& qqs1, SampleArray& sss1,
                     SampleArray& ggs1, std::int16_t& gt_num1, std::int16_t& iu_num1, std::int16_t& cs_fs1,
                     std::int16_t& tx_main1, std::int16_t& read_sgt_dnt_org1) = 0;
};

}  // namespace wb
