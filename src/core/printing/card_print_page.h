// One card-library record printed as a block of a batch sheet: the card rebuilt from its
// stored Fourier coefficients with its dotted grid and axis labels, the static card, and
// the framed panel of measured values. Eight blocks fit an A4 sheet, sixteen a fan-fold one.
//
// The block follows the screen card chart's layout units (u, v) mapped to millimetres from
// the block position (xs, ys): x = xs + (u - 60)/11, y = ys + (v + 60)/9. So the plot frame
// (u 60..660, v 31..390) lies at xs .. xs + 54.55 and ys + 10.11 .. ys + 50.00, and zero load
// at ys + 50.11. The stroke, loads and static values come from the record's stored fields,
// not from the rebuilt samples.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "core/common/canvas.h"
#include "core/common/test_records.h"
#include "core/records/drawn_test.h"

namespace wb {

inline constexpr int kCardPrintMaxPoints = 1001;  // points drawn per block (indices 0..1000)
inline constexpr double kCardPrintFontSize = 7.0;  // "宋体", points

// Block geometry in millimetres, offsets from (xs, ys).
inline constexpr double kCardBlockOuterLeft = -46.0 / 11;
inline constexpr double kCardBlockOuterTop = 75.0 / 9;
inline constexpr double kCardBlockOuterRight = 820.0 / 11;
inline constexpr double kCardBlockOuterBottom = 500.0 / 9;
inline constexpr double kCardBlockPlotTop = 91.0 / 9;
inline constexpr double kCardBlockPlotRight = 600.0 / 11;
inline constexpr double kCardBlockPlotBottom = 450.0 / 9;

// The 17 header lines of a printed card (the last four empty).
struct CardPrintValues {
  double spm = 0;      // strokes per minute, 2 decimals (0 when point_num is 0)
  double stroke = 0;   // m, real_stroke / 1000
  double max_load = 0; // kN, max_load / 100
  double min_load = 0; // kN, min_load / 100
  float work = 0;      // kJ per stroke, closed loop over all rebuilt points
  double power = 0;    // kW, 2 decimals (0 when point_num is 0)
};
std::array<std::string, 17> card_print_header(const std::string& well, const std::string& test_date,
                                              const CardPrintValues& v);

// Draws card record `rec` as a block at (xs, ys) mm on `printer` and leaves it in `st`:
// sgt_rec, Text1(1..5) (stroke loss, well, theoretical stroke, maximum and minimum load as
// plain number text), Text1(2..5) disabled, the rebuilt card in sss/ggs (points
// 0..point_num-1 that exist in the arrays), gt_stroke and gt_max_load. Sets the printer to
// millimetres and "宋体" 7 pt; never starts or ends a page.
void print_card_block(DrawnTest& st, Canvas& printer, const SgtRecord& rec, double xs, double ys);

// Record `red` (from 1) of the card library `fil_nam` as the print page reads it. None when
// the library is missing, empty or unreadable, or `red` is below 1 or past its last whole
// record (a partial record at the end is ignored). The file is only read.
[[nodiscard]] std::optional<SgtRecord> read_card_print_record(const std::filesystem::path& fil_nam, std::int16_t red);

// Reads record `red` with read_card_print_record and prints it with print_card_block. A
// missing or empty library, or a record number outside it, draws nothing and leaves `st` as
// it was except for Text1(2..5) being disabled. The file is only read, never created.
void prt_RodEngMapDisplay_main_new(DrawnTest& st, Canvas& printer, const std::filesystem::path& fil_nam,
                                   std::int16_t red, double xs, double ys);

}  // namespace wb
