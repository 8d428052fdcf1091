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

// An efficiency library of n records, ten tests a well ("井<i/10>"), every value "12.34"
// but those whose range is narrower (density 0.95 t/m3, power factor 0.85): the record
// browser's library.
inline void write_browser_library(const std::filesystem::path& path, int n) {
  std::ofstream out(path, std::ios::binary);
  for (int i = 0; i < n; ++i) {
    wb::GtYmRecord r;
    r.well_name = "井" + std::to_string(i / 10);
    r.block_unit = "采油一矿";
    for (auto& v : r.vals) v = "12.34";
    r.vals[wb::kValLiquidDensity] = "0.95";
    r.vals[wb::kValPowerFactor] = "0.85";
    r.vals[wb::kValTestDate] = "2006" + std::to_string(100000 + i);
    const wb::Bytes b = r.encode();
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  }
}

// An efficiency library of n records over 400 wells ("W<i % 400>"), field k holding the
// number k (the test time too: every record's is "20") but for the fields whose range is
// narrower (density 0.95 t/m3, power factor 0.85) and the sinker "100/38": the hand-over's
// carry-forward library.
inline void write_carry_forward_library(const std::filesystem::path& path, int n) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (int r = 0; r < n; ++r) {
    wb::GtYmRecord rec;
    rec.well_name = "W" + std::to_string(r % 400);
    for (std::size_t k = 1; k < wb::kGtYmValCount; ++k) rec.vals[k] = std::to_string(k);
    rec.vals[wb::kValLiquidDensity] = "0.95";
    rec.vals[wb::kValPowerFactor] = "0.85";
    rec.vals[wb::kValSinker] = "100/38";
    const wb::Bytes b = rec.encode();
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  }
}

}  // namespace wbbench
