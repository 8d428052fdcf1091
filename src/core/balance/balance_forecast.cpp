// The forecast after the adjustment and the advice text (Make_PHJY), and the adjustment
// sentences (Get_Adj_Advice).
#include <cmath>

#include "core/balance/balance_analysis.h"
#include "core/common/fourier.h"
#include "core/common/gbk.h"
#include "core/common/number_text.h"
#include "core/common/stroke.h"
#include "core/common/pi.h"

namespace wb {

namespace {

constexpr const char* L = "\r\n";
constexpr const char* kAdvIndent = "      ";      // starts every content line
constexpr std::size_t kAdviceFieldBytes = 600;    // the summary record's advice field
constexpr float kMoveThreshold = 0.2f;           // m: smaller crank moves are not worth it
constexpr float kLowSaving = 0.2f;               // kW: below ~5 kW·h a day
constexpr int kMaxCrankBlocks = 32767;           // the block count is a 16-bit field

std::string R(double x, int dec) { return num_text(round_dec(x, dec)); }
std::string T(float x) { return num_text_f(x); }
std::string T(int x) { return std::to_string(x); }

// Largest of v over [from, to], in the BDC frame when `shift` maps BDC index k to index
// (k + shift) mod n of v; -9999 when the range is empty.
float peak(const std::vector<float>& v, int from, int to, int n, int shift) {
  float m = -9999.0f;
  for (int k = from; k <= to && k < n; ++k) {
    const float x = v[static_cast<std::size_t>((k + shift) % n)];
    if (x > m) m = x;
  }
  return m;
}

// Up/down current balance: the ratio of the peaks, at most 1. Without a down peak `k` stays.
void current_balance(float up, float dn, float& k) {
  if (dn == 0) return;
  k = up / dn;
  if (k > 1) k = 1 / k;
}

std::string remove_option(int r) { return "去掉 " + std::to_string(r) + "个曲柄平衡块,其余的移到"; }

}  // namespace

std::string Get_Adj_Advice(BalanceState& a, float Need_Pos, bool& show_forecast, BalanceMode mode,
                           const std::string& P, const std::string& D) {
  std::string A;
  const BalanceParams& p = a.prm;
  if (mode == BalanceMode::Beam || mode == BalanceMode::Combined) {
    const int b = a.Beam_dN;
    if (b >= 3) {
      A += P + D + "增加" + T(b) + "个游梁平衡块,使其总数为" + T(p.beam_blocks + b) + "个!";
    } else if (b >= -2) {
      A += P + D + "不必调整游梁平衡块(调整量少于2块)!";
    } else {
      const int t = p.beam_blocks + b;
      if (t != 0)
        A += P + D + "减少" + T(-b) + "个游梁平衡块,使其总数为" + T(t) + "个!";
      else
        A += P + D + "将所有的游梁平衡块都去掉!";
    }
    A += L;
  }
  bool cannot_balance = false;
  if (mode == BalanceMode::Crank || mode == BalanceMode::Combined) {
    const float pos = Need_Pos;
    const int N = p.crank_blocks;
    const float pmax = p.crank_pos_max, pmin = p.crank_pos_min;
    if (pos > pmax) {
      // Add blocks two at a time until the average position fits; a unit whose outermost
      // position is not positive (a record printed without the checks) cannot be helped.
      int k = 0;
      if (pmax > 0)
        for (int c = 2; N + c <= kMaxCrankBlocks; c += 2)
          if (pos * static_cast<float>(N) / static_cast<float>(N + c) <= pmax) {
            k = c;
            break;
          }
      if (k > 0)
        A += P + D + "增加" + T(k) + "个曲柄平衡块,使其总数为" + T(N + k) + "个,平均曲柄平衡重心位置移到" +
             R(pos * static_cast<float>(N) / static_cast<float>(N + k), 2) + "米处!";
      else
        cannot_balance = true;
    } else if (pos < pmin && pos > 0) {
      bool listed = false;
      for (int r : {2, 4, 6}) {
        if (N <= r) continue;
        const float x = pos * static_cast<float>(N) / static_cast<float>(N - r);
        if (x < pmin || x > pmax) continue;
        A += listed ? std::string(L) + P + D + "或者是" : P + D;
        A += remove_option(r) + R(x, 2) + "米处!";
        listed = true;
      }
      if (!listed) A += P + D + "所需的曲柄平衡重量很小，即使只用 2个平衡块也会平衡过重，只好去掉所有的曲柄平衡块！";
      a.Crank_dR = -p.crank_block_pos;
    } else if (pos < pmin && static_cast<double>(pos) >= -0.1) {
      A += std::string(L) + P + D + "去掉所有的曲柄平衡块!";
      a.Crank_dR = -p.crank_block_pos;
    } else if (pos < pmin) {
      cannot_balance = true;
    } else {
      const float d = a.Crank_dR;
      if (d > kMoveThreshold) {
        A += std::string(L) + P + D + "曲柄平衡块向外移" + R(std::fabs(d), 2) + "米,移到" + R(pos, 2) + "米处!";
      } else if (d < -kMoveThreshold) {
        A += std::string(L) + P + D + "曲柄平衡块向内移" + R(std::fabs(d), 2) + "米,移到" + R(pos, 2) + "米处!";
        for (int r : {2, 4, 6}) {
          if (N <= r) continue;
          const float x = pos * static_cast<float>(N) / static_cast<float>(N - r);
          if (x >= pmin && x <= pmax) A += std::string(L) + P + D + "或者是" + remove_option(r) + R(x, 2) + "米处!";
        }
      } else {
        A += std::string(L) + P + D + "不必调整曲柄平衡块(调整量少于20cm)";
      }
    }
    if (cannot_balance) {
      A += P + D + "所需的曲柄平衡位置在" + R(pos, 2) + "m处，故无法用曲柄平衡或复合平衡的自动分析方法来解决，" + L;
      A += P + D + "建议您基础数据界面下改选“游梁平衡”方式，再点击[自动分析]来试试；" + L;
      A += P + D + "或者在此界面下手工外调曲柄平衡块直到此消息消失，再手工减少游梁平衡块直到节能量最大；" + L;
      A += P + D + "或者转到电力曲线界面，手工减少游梁平衡块直到电功率曲线达到平衡，再查看平衡建议! " + L;
      show_forecast = false;
    }
  }
  if (!cannot_balance && a.P_Save < kLowSaving)
    A += std::string(L) + P + "提示：本井调平衡日节电量少于5kW.h，如果扭矩不超，则不必调整平衡！";
  // As the summary record's field holds it: 600 bytes, cut at a whole character.
  a.balance_advice = gbk_pad(A, kAdviceFieldBytes);
  return A;
}

std::string Make_PHJY(BalanceState& a, BalanceMode mode, const AdviceForm& form,
                      std::vector<IntermediateFile>* files, const std::string& file_box) {
  const HeldStroke& h = a.held;
  const BalanceParams& p = a.prm;
  const int n = h.gt_num;
  const std::size_t size = static_cast<std::size_t>(n) + 1;
  a.Bal_Sin.fill(0.0f);
  a.Bal_Cos.fill(0.0f);
  a.pps_bal.assign(size, 0.0f);
  a.pps_after.assign(size, 0.0f);
  a.iis_after.assign(size, 0.0f);
  const double Torque_K = stroke_period_s(n) / 2 / kPi14;  // s/rad: kW -> kN·m at the crankshaft
  const int h1 = static_cast<int>(round_even(n / 2.0));
  const int h2 = static_cast<int>(round_even(n / 2.0 + 1));
  const bool crank = mode == BalanceMode::Crank || mode == BalanceMode::Combined;
  const bool beam = mode == BalanceMode::Beam || mode == BalanceMode::Combined;

  a.I_Up_Max = peak(h.iis, 0, h1, n, 0);
  a.I_Dn_Max = peak(h.iis, h2, n - 1, n, 0);
  float c1 = 0;
  if (crank) {
    c1 = static_cast<float>(-a.Crank_dR * p.crank_blocks * p.crank_block_wt * 100.0 * kPi14 / n);
    a.Bal_Sin[1] += c1;
  }
  if (beam)
    for (std::size_t i = 0; i <= 5; ++i) {
      a.Bal_Sin[i] += static_cast<float>(a.Beam_dN) * a.WV_Sin[i];
      a.Bal_Cos[i] += static_cast<float>(a.Beam_dN) * a.WV_Cos[i];
    }
  Fourier_Synth(a.pps_bal.data(), static_cast<std::int16_t>(n), 6, a.Bal_Cos.data(), a.Bal_Sin.data());
  a.P_After_Max = -9999.0f;
  a.P_After_Min = 9999.0f;
  a.P12_Max = -9999.0f;
  a.P12_Min = 9999.0f;
  for (int i = 0; i < n; ++i) {
    const std::size_t j = static_cast<std::size_t>(i);
    const float P = a.pps12[j] + a.pps_bal[j];
    a.pps_after[j] = P;
    if (P > a.P_After_Max) a.P_After_Max = P;
    if (P < a.P_After_Min) a.P_After_Min = P;
    const float U = static_cast<float>(a.A0_U + a.B1_U * static_cast<double>(P) + a.B2_U * static_cast<double>(P) * P);
    const double Q = a.A0_Q + a.B1_Q * static_cast<double>(P) + a.B2_Q * static_cast<double>(P) * P;
    if (U != 0) {
      double I = std::sqrt(static_cast<double>(P) * P + Q * Q) * 1000 / U;
      if (h.cs_fs == 1)
        I /= std::sqrt(3.0);
      else if (h.cs_fs != 3)
        I /= 3;
      a.iis_after[j] = static_cast<float>(I);
    }
    if (a.pps12[j] > a.P12_Max) a.P12_Max = a.pps12[j];
    if (a.pps12[j] < a.P12_Min) a.P12_Min = a.pps12[j];
  }

  if (files) {
    std::vector<float> pps_crank(size, 0.0f), pps_beam(size, 0.0f);
    if (crank) {
      std::array<float, 2> cc{}, cs{0.0f, c1};
      Fourier_Synth(pps_crank.data(), static_cast<std::int16_t>(n), 2, cc.data(), cs.data());
    }
    if (beam) {
      std::array<float, 7> bc{}, bs{};
      for (std::size_t i = 0; i <= 5; ++i) {
        bc[i] = static_cast<float>(a.Beam_dN) * a.WV_Cos[i];
        bs[i] = static_cast<float>(a.Beam_dN) * a.WV_Sin[i];
      }
      Fourier_Synth(pps_beam.data(), static_cast<std::int16_t>(n), 6, bc.data(), bs.data());
    }
    IntermediateFile f{intermediate_file_name(h.Cur_Well, file_box), {}};
    if (!f.name.empty()) {
      f.content = "平衡前净功率\t总平衡功率\t平衡后净功率\t曲柄平衡功率\t游梁平衡功率\t平衡前净扭矩\t总平衡扭矩\t平衡后净扭矩\t曲柄平衡扭矩\t游梁平衡扭矩\r\n";
      for (int i = 0; i < n; ++i) {
        const std::size_t j = static_cast<std::size_t>(i);
        const float v[5] = {a.pps12[j], a.pps_bal[j], a.pps_after[j], pps_crank[j], pps_beam[j]};
        std::string line;
        for (int t = 0; t < 10; ++t) {
          const double x = t < 5 ? v[t] : v[t - 5] * Torque_K;
          if (t) line += '\t';
          line += num_print(round_dec(x, 2)) + " ";
        }
        f.content += line + "\r\n";
      }
      files->push_back(std::move(f));
    }
  }

  // Predicted peaks in the BDC frame, where the measured ones are taken.
  a.I_Up_Max_After = peak(a.iis_after, 0, h1, n, a.shift12);
  a.I_Dn_Max_After = peak(a.iis_after, h2, n - 1, n, a.shift12);
  double si = 0, sp = 0;
  for (int i = 0; i < n; ++i) {
    si += static_cast<double>(a.iis_after[static_cast<std::size_t>(i)]) * a.iis_after[static_cast<std::size_t>(i)];
    sp += static_cast<double>(a.pps_after[static_cast<std::size_t>(i)]) * a.pps_after[static_cast<std::size_t>(i)];
  }
  a.Rms_I_After = static_cast<float>(round_dec(std::sqrt(si / n), 1));
  a.Rms_P_After = static_cast<float>(round_dec(std::sqrt(sp / n), 1));

  // The advice text.
  const std::string& P = form.line_prefix;
  const std::string D = kAdvIndent;
  std::string t;
  if (P.empty()) t = std::string(L) + D + h.Cur_Well + "井平衡调整建议" + L;
  t += std::string(L) + P + "  一、现状:" + L;
  if (beam) {
    if (p.beam_blocks > 0)
      t += P + D + "安装了" + T(p.beam_blocks) + " 个" + T(p.beam_block_wt) + "kN 的游梁平衡块；" + L;
    else
      t += P + D + "没有安装游梁平衡块；" + L;
  }
  if (crank) {
    if (p.crank_block_wt > 0 && p.crank_blocks > 0 && p.crank_block_pos > 0)
      t += P + D + "安装了" + T(p.crank_blocks) + " 个平均重量为" + T(p.crank_block_wt) + "kN 的曲柄平衡块，平均重心在" +
           T(p.crank_block_pos) + "m 处；" + L;
    else
      t += P + D + "没有安装曲柄平衡块；" + L;
  }
  // Daily consumption from the mean power of this stroke.
  double mean = 0;
  for (int i = 0; i < n; ++i) mean += h.pps[static_cast<std::size_t>(i)];
  mean /= n;
  t += P + D + "日耗电" + R(24 * mean, 1) + "kW.h, 冲程周期为" + R(stroke_period_s(n), 3) + "秒, 冲次为" + R(strokes_per_minute(n), 2) +
       "次/分；" + L;
  current_balance(a.I_Up_Max, a.I_Dn_Max, a.Bal_K);
  const float k = a.Bal_K;
  t += P + D + "上电流" + R(a.I_Up_Max, 1) + "A,下电流" + R(a.I_Dn_Max, 1) + "A,电流平衡度" + R(k, 3) + ",均方根电流" +
       T(h.Rms_I) + "A;" + L;
  t += P + D + "功率从" + R(a.P12_Min, 1) + "kW到" + R(a.P12_Max, 1) + "kW，变化范围为" +
       R(static_cast<double>(a.P12_Max) - a.P12_Min, 1) + "kW,均方根功率" + T(h.Rms_P) + "kW;";
  if (form.blank_line) t += L;
  t += std::string(L) + P + "  二、建议:" + L;
  const float Need_Pos = a.Crank_dR + p.crank_block_pos;
  a.P_Save = static_cast<float>(std::floor((static_cast<double>(h.Rms_P) - a.Rms_P_After) * 400 + 0.5) / 1000);
  bool show_forecast = true;
  t += Get_Adj_Advice(a, Need_Pos, show_forecast, mode, P, D);
  if (form.blank_line) t += L;
  if (show_forecast) {
    float k2 = k;
    current_balance(a.I_Up_Max_After, a.I_Dn_Max_After, k2);
    t += std::string(L) + P + "  三、预测:" + L;
    t += P + D + "上电流" + R(a.I_Up_Max_After, 1) + "A,下电流" + R(a.I_Dn_Max_After, 1) + "A,电流平衡度" + R(k2, 3) +
         ",均方根电流=" + T(a.Rms_I_After) + "A；" + L;
    t += P + D + "功率从" + R(a.P_After_Min, 1) + "kW,到" + R(a.P_After_Max, 1) + "kW,变化范围为" +
         R(static_cast<double>(a.P_After_Max) - a.P_After_Min, 1) + "kW,均方根功率" + T(a.Rms_P_After) + "kW." + L;
    t += P + D + "预计调平衡可节省电力" + T(a.P_Save) + "kW, 日节电量为" + T(a.P_Save * 24.0f) + "kW.h左右.";
  }
  return t;
}

}  // namespace wb
