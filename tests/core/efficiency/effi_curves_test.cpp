// Curves of a stored test rebuilt from card and power-curve libraries built in the test:
// the stroke written through the codec comes back within the codec's truncation, with the
// term counts of each curve, the card's load boxes and the reactive power per wiring mode.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "../workbench/temp_program_folder.h"
#include "core/common/fourier.h"
#include "core/common/test_records.h"
#include "core/efficiency/effi_curves.h"

namespace wb {
namespace {

using test::put_bytes;
using test::TempProgram;

// A card of n points: displacement with harmonics 1 and 14 (kept by 15 terms) plus one at
// 15 (dropped by them), load with harmonics up to 20.
struct Card {
  std::vector<float> s, g;
};
Card make_card(int n) {
  Card c;
  const double w = 2 * M_PI / n;
  for (int j = 0; j < n; ++j) {
    c.s.push_back(static_cast<float>(1.5 - 1.5 * std::cos(j * w) + 0.02 * std::sin(14 * j * w) +
                                     0.01 * std::cos(15 * j * w)));
    c.g.push_back(static_cast<float>(35 + 8 * std::sin(j * w) + 2 * std::cos(20 * j * w)));
  }
  return c;
}

SgtRecord card_record(const std::string& well, const std::string& test, const Card& c, int n) {
  SgtRecord r;
  r.well_name = well;
  r.test_date = test;
  r.point_num = static_cast<std::int16_t>(n);
  r.max_load = 4520;
  r.min_load = 1875;
  Fourier_Coef(c.s.data(), static_cast<std::int16_t>(n), 16, r.ss_cos.data(), r.ss_sin.data());
  Fourier_Coef(c.g.data(), static_cast<std::int16_t>(n), 32, r.gg_cos.data(), r.gg_sin.data());
  return r;
}

void write_lib(const std::filesystem::path& p, const std::vector<Bytes>& recs) {
  Bytes all;
  for (const auto& r : recs) all.insert(all.end(), r.begin(), r.end());
  put_bytes(p, all);
}

TEST(EffiCurves, CardComesBackWithItsTermCounts) {
  TempProgram tp;
  const auto lib = tp.prog.sys() / "Sgt.dat";
  const Card c = make_card(300);
  SgtRecord other = card_record("W9", "0611081230", c, 300);
  write_lib(lib, {other.encode(), card_record("W1", "0611081230", c, 300).encode()});

  const CardCurves got = Get_Sgt_Dat(lib, " W1", "0611081230 ");
  ASSERT_TRUE(got.found);
  EXPECT_EQ(got.gt_num, 300);
  ASSERT_EQ(got.sss.size(), 301u);
  ASSERT_EQ(got.ggs.size(), 301u);
  EXPECT_EQ(got.sss[300], 0.0f);
  EXPECT_EQ(got.ggs[300], 0.0f);
  EXPECT_EQ(got.box45, "45.2");
  EXPECT_EQ(got.box46, "18.75");
  const double w = 2 * M_PI / 300;
  for (int j = 0; j < 300; j += 11) {
    SCOPED_TRACE(j);
    // Load: all 20 harmonics are inside the 32 terms; what remains is the codec's single
    // precision (some 1e-4 of 45 kN).
    EXPECT_NEAR(got.ggs[j], c.g[j], 0.02);
    // Displacement: 15 terms keep harmonic 14 and drop harmonic 15 (0.01 m) exactly.
    const double without15 = c.s[j] - 0.01 * std::cos(15 * j * w);
    EXPECT_NEAR(got.sss[j], without15, 2e-3);
  }
  // Harmonic 15 really is gone: the largest difference to the full curve reaches its size.
  double worst = 0;
  for (int j = 0; j < 300; ++j) worst = std::max(worst, std::fabs(static_cast<double>(got.sss[j]) - c.s[j]));
  EXPECT_GT(worst, 0.008);
}

TEST(EffiCurves, ElectricCurvesAndReactivePower) {
  TempProgram tp;
  const auto lib = tp.prog.sys() / "Dnt.dat";
  const int n = 250;
  std::vector<float> u, i, p;
  const double w = 2 * M_PI / n;
  for (int j = 0; j < n; ++j) {
    u.push_back(static_cast<float>(220 + 3 * std::sin(j * w)));
    i.push_back(static_cast<float>(20 + 6 * std::cos(2 * j * w)));
    p.push_back(static_cast<float>(3 + 1.5 * std::sin(2 * j * w)));
  }
  DntRecord r;
  r.well_name = "W1";
  r.test_date = "0611081230";
  r.point_num = n;
  r.wiring_mode = 3;
  Fourier_Coef(u.data(), n, 32, r.uu_cos.data(), r.uu_sin.data());
  Fourier_Coef(i.data(), n, 32, r.ii_cos.data(), r.ii_sin.data());
  Fourier_Coef(p.data(), n, 32, r.pp_cos.data(), r.pp_sin.data());
  DntRecord later = r;
  later.wiring_mode = 1;  // the same test again: the first record is used
  write_lib(lib, {r.encode(), later.encode()});

  const ElectricCurves got = Get_Pow_Dat(lib, "W1", "0611081230");
  ASSERT_TRUE(got.found);
  EXPECT_EQ(got.iu_num, n);
  EXPECT_EQ(got.cs_fs, 3);
  ASSERT_EQ(got.qqs.size(), static_cast<std::size_t>(n + 1));
  EXPECT_EQ(got.qqs[n], 0.0f);
  for (int j = 0; j < n; j += 9) {
    SCOPED_TRACE(j);
    EXPECT_NEAR(got.uus[j], u[j], 0.25);
    EXPECT_NEAR(got.iis[j], i[j], 0.03);
    EXPECT_NEAR(got.pps[j], p[j], 0.005);
    const double s = got.iis[j] * got.uus[j] / 1000.0;
    EXPECT_NEAR(got.qqs[j], std::sqrt(std::max(0.0, s * s - got.pps[j] * got.pps[j])), 1e-3);
  }
}

TEST(EffiCurves, ReactivePowerPerWiringMode) {
  struct Case {
    int mode;
    float i, u, p, q;
  };
  const Case cases[] = {
      {3, 20, 220, 3, 3.2187f},            // S = 4.4 kVA
      {3, 20, 220, 5, 0.0f},               // S < P
      {1, 10, 380, 3, 5.8583f},            // S = √3·3.8 = 6.5818, √(43.32 − 9)
      {2, 10, 380, 3, 10.998f},            // S = 11.4, √(129.96 − 9)
      {4, 10, 380, 3, 10.998f},
      {0, 10, 380, 3, 10.998f},            // any other mode counts as 3
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    EXPECT_NEAR(library_reactive_power(c.mode, c.i, c.u, c.p), c.q, 1e-3);
  }
}

TEST(EffiCurves, MissingOrDamagedLibrariesGiveNoCurves) {
  TempProgram tp;
  const auto sgt = tp.prog.sys() / "Sgt.dat";
  const auto dnt = tp.prog.sys() / "Dnt.dat";
  EXPECT_FALSE(Get_Sgt_Dat(sgt, "W1", "0611081230").found);
  EXPECT_FALSE(Get_Pow_Dat(dnt, "W1", "0611081230").found);
  // The record's card is not in the card library.
  write_lib(sgt, {card_record("W2", "0611081230", make_card(300), 300).encode()});
  const CardCurves none = Get_Sgt_Dat(sgt, "W1", "0611081230");
  EXPECT_FALSE(none.found);
  EXPECT_EQ(none.gt_num, 0);
  EXPECT_TRUE(none.sss.empty());
  // Truncated mid-record and zero-length libraries.
  Bytes cut = card_record("W1", "0611081230", make_card(300), 300).encode();
  cut.resize(400);
  put_bytes(sgt, cut);
  EXPECT_FALSE(Get_Sgt_Dat(sgt, "W1", "0611081230").found);
  put_bytes(dnt, {});
  EXPECT_FALSE(Get_Pow_Dat(dnt, "W1", "0611081230").found);
  // A negative point count rebuilds nothing.
  SgtRecord neg = card_record("W1", "0611081230", make_card(300), 300);
  neg.point_num = -5;
  write_lib(sgt, {neg.encode()});
  const CardCurves g = Get_Sgt_Dat(sgt, "W1", "0611081230");
  EXPECT_TRUE(g.found);
  EXPECT_EQ(g.gt_num, 0);
  EXPECT_EQ(g.sss.size(), 1u);
}

}  // namespace
}  // namespace wb
