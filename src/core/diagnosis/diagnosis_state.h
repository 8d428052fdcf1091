// The diagnosis window's state: everything the window knows about the diagnosis it shows.
// The window mirrors the texts into its boxes and writes the user's edits back, so the
// refresh, the inflow buttons and the record operations run without a window.
//
// Box texts are the window's `Text1`(0..55), `Text2` (the load-unit factor, "110"),
// `Text5`/`Text6` (extreme loads of the card), the path boxes `Text3`, `Text4`, `Text8`
// and the record-number box `Text7`. A change of a `Text1` box by a procedure marks the
// record changed, as the window's change handler would.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/common/box_limits.h"
#include "core/common/number_text.h"
#include "core/common/test_records.h"
#include "core/diagnosis/bgt_record.h"
#include "core/diagnosis/card_plot.h"
#include "core/diagnosis/diag_box.h"

namespace wb {

inline constexpr int kDiagBoxCount = 56;
inline constexpr int kYjcsSize = 34;
// The yjcs slots get_yjcs fills and the pump card reads: stroke (m), strokes per minute, the
// diameter (mm) and length (m) of rod section 1, then of 2, 3 and 4 (23..30), pump depth (m).
inline constexpr int kYjcsStroke = 2, kYjcsSpm = 3, kYjcsFirstSection = 23, kYjcsPumpDepth = 33;
inline constexpr int kPumpCardSize = 73;  // indexes 0..72; a computation writes 0..71

// The design texts of the boxes.
std::array<std::string, kDiagBoxCount> diagnosis_design_texts();

struct DiagnosisState {
  DiagnosisState();

  std::array<std::string, kDiagBoxCount> Text1;
  std::string Text2 = "110";  // load-unit factor: kN into the computation's force unit
  std::string Text5, Text6;   // maximum and minimum load of the card, kN
  std::string Text3, Text4, Text8;  // paths of the record file, efficiency file, card library
  std::string Text7;                // number of the record shown
  std::string Comb_WellName, Comb_TestTime;      // combo texts
  std::vector<std::string> well_list, date_list;  // combo lists, kept sorted

  std::filesystem::path Bgt_Path, Sgt_Path, Gt_Ym_Path;
  bool Rec_Changed = false;
  std::int16_t density_err = 0;
  int focus_request = -1;  // a Text1 box a procedure asked to receive the focus; the window clears it
  BgtRecord Bgt_Rec;         // the one record buffer; its card is the current card
  SgtRecord refreshed_card;  // the card as of the last refresh that passed the well check
  DiagnosisChart CardPlot;   // what the chart shows

  // Rod-size table (index 0 the sinker bar): diameter mm, weight in air kN/m, length m.
  std::array<double, 8> Size_Dia{}, Size_Wt{}, Size_Len{};
  // Parameters of the pump-card computation: 2 stroke m, 3 strokes/min, 23..30 taper
  // sections (diameter mm, length m) from the top, 33 pump depth m.
  std::array<double, kYjcsSize> yjcs{};
  std::int16_t Sec_Last = -1;  // last taper section (sections - 1)
  // The pump card: displacement m (down from the polished rod's mid-stroke), load in the
  // computation's force unit / 100.
  std::array<double, kPumpCardSize> Bgt_Pos{}, Bgt_Load{};

  // Box k (0..55) as a number (empty or non-numeric: 0).
  double box(int k) const { return num_val(Text1[static_cast<std::size_t>(k)]); }
  // Sets box k; a changed text marks the record changed.
  void set_box(int k, const std::string& text) {
    std::string& t = Text1[static_cast<std::size_t>(k)];
    if (t == text) return;
    t = text;
    Rec_Changed = true;
  }
};

// The boxes the refresh reads, with what each may hold (the downhole density has its own
// check and message).
extern const std::array<BoxLimit, 15> kRefreshBoxLimits;

// A result for a box: rounded to k decimals (halves up) in the plain form; empty when it is
// not a finite number (a zero divisor never shows "inf" or "nan").
std::string result_text(double x, int k);

}  // namespace wb
