// Fixtures of the printing tests: card, electric and waveform records with readable
// values, library files in a temporary program folder, and finders on the recording canvas.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/common/canvas.h"
#include "core/common/paths.h"
#include "core/common/test_records.h"

namespace wb::print_test {

using Op = RecordingCanvas::Op;
using Item = RecordingCanvas::Item;

// A card whose position is mean_s + a·cos θ (m) and whose load is g0 + b·sin θ (kN).
inline SgtRecord make_card(const std::string& well, std::int16_t point_num, std::int16_t real_stroke,
                           std::int16_t max_load, std::int16_t min_load, double mean_s = 1.5, double a = 1.5,
                           double g0 = 30, double b = -20) {
  SgtRecord r;
  r.well_name = well;
  r.test_date = "200305141230";
  r.point_num = point_num;
  r.real_stroke = real_stroke;
  r.max_load = max_load;
  r.min_load = min_load;
  r.ss_cos[0] = static_cast<float>(2 * mean_s);
  r.ss_cos[1] = static_cast<float>(a);
  r.gg_cos[0] = static_cast<float>(2 * g0);
  r.gg_sin[1] = static_cast<float>(b);
  return r;
}

inline DntRecord make_dnt(const std::string& well, std::int16_t point_num = 500) {
  DntRecord r;
  r.well_name = well;
  r.test_date = "200305141230";
  r.point_num = point_num;
  r.wiring_mode = 1;
  r.avg_voltage = 380 * 50;
  r.avg_current = 2000;
  r.input_power = 1250;
  r.ii_cos[0] = 40;   // 20 A
  r.ii_sin[1] = 5;
  r.uu_cos[0] = 760;  // 380 V
  r.pp_cos[0] = 24;   // 12 kW
  r.pp_sin[1] = 3;
  return r;
}

inline XbtRecord make_xbt(const std::string& well) {
  XbtRecord r;
  r.well_name = well;
  r.test_date = "200305141230";
  r.order_num = 4;
  r.ii_sin[1] = 20;
  r.uu_sin[1] = 540;
  r.current = 1400;
  r.voltage = 380 * 50;
  return r;
}

// A fresh program folder under the system's temporary folder.
class TempProgram {
 public:
  explicit TempProgram(const std::string& name) {
    prog.root = std::filesystem::temp_directory_path() /
                ("wb_print_" + name + "_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::remove_all(prog.root);
    prog.create_folders();
  }
  ~TempProgram() {
    std::error_code ec;
    std::filesystem::remove_all(prog.root, ec);
  }
  template <class Rec>
  std::filesystem::path write_library(const std::string& file, const std::vector<Rec>& recs) {
    std::filesystem::path p = prog.sys() / file;
    std::ofstream f(p, std::ios::binary);
    for (const Rec& r : recs) {
      Bytes b = r.encode();
      f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    return p;
  }
  ProgramFolder prog;
};

inline bool near(double a, double b, double tol = 1e-6) { return std::abs(a - b) < tol; }

// Index of the sheet (from 0) each item lies on: the number of page breaks before it.
inline std::vector<int> sheet_of_items(const RecordingCanvas& c) {
  std::vector<int> out;
  int sheet = 0;
  for (const Item& it : c.items) {
    out.push_back(sheet);
    if (it.op == Op::NewPage) ++sheet;
  }
  return out;
}

struct Origin {
  int sheet;
  double x, y;
};

// Card blocks: the plot frame's top side is the solid 1-unit black line drawn left to right
// over 600/11 mm; the block position lies 91/9 mm above its left end.
inline std::vector<Origin> card_origins(const RecordingCanvas& c) {
  std::vector<Origin> out;
  auto sheets = sheet_of_items(c);
  for (std::size_t i = 0; i < c.items.size(); ++i) {
    const Item& it = c.items[i];
    if (it.op == Op::Line && it.pen.style == DrawStyle::Solid && it.pen.width == 1 && it.pen.color == kBlack &&
        near(it.y1, it.y2) && near(it.x2 - it.x1, 600.0 / 11))
      out.push_back({sheets[i], it.x1, it.y1 - 91.0 / 9});
  }
  return out;
}

}  // namespace wb::print_test
