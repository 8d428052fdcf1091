// Libraries written for the benchmarks, shared by wb_bench and wb_ui_bench so both measure
// the same records.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "core/records/gt_ym_record.h"

namespace wbbench {

// An efficiency library of n records over n/10 wells in 8 blocks, values drawn from a fixed seed.
inline void write_stat_library(const std::filesystem::path& path, int n) {
  std::ofstream out(path, std::ios::binary);
  std::mt19937 gen(7);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  for (int i = 0; i < n; ++i) {
    wb::GtYmRecord r;
    r.well_name = "北" + std::to_string(i / 10) + "-" + std::to_string(i % 10);
    r.block_unit = "采油" + std::to_string(i % 8 + 1) + "队";
    r.cyj_model = "CYJ10-3-37HB";
    r.motor_model = "Y250M-8";
    for (auto& v : r.vals) v = std::to_string(u(gen) * 100.0).substr(0, 6);
    // Fields whose range is narrower than 0 … 100 take the same draw scaled into it, so
    // every record passes the library's record checks (tests/core/bench_libraries_test.cpp):
    // density 0.8 … 1.2 t/m3, power factor 0 … 1. Strokes, strokes a minute and wellhead
    // pressures take a beam-pumped well's range, so the record's boxes also fit the well
    // base record's scaled 16-bit fields when the efficiency window stores them again.
    auto scaled = [&](std::size_t k, double lo, double span) {
      r.vals[k] = std::to_string(lo + std::stod(r.vals[k]) / 100.0 * span).substr(0, 6);
    };
    scaled(wb::kValLiquidDensity, 0.8, 0.4);
    scaled(wb::kValPowerFactor, 0.0, 1.0);
    scaled(wb::kValNomStroke, 1.0, 6.0);    // m
    scaled(wb::kValRealStroke, 1.0, 6.0);   // m
    scaled(wb::kValNomSpm, 2.0, 10.0);      // 1/min
    scaled(wb::kValTubingPress, 0.0, 5.0);  // MPa
    scaled(wb::kValCasingPress, 0.0, 5.0);  // MPa
    r.vals[wb::kValTestDate] = "2006" + std::to_string(10000000 + i);
    const auto b = r.encode();
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  }
}

}  // namespace wbbench
