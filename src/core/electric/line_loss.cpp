#include "core/electric/line_loss.h"

#include <algorithm>
#include <cmath>

#include "core/common/number_text.h"

namespace wb {
namespace {

struct Acc {
  double sum = 0, sumsq = 0, max = 0, min = 0;
  void add(double v, bool first) {
    sum += v;
    sumsq += v * v;
    if (first || v > max) max = v;
    if (first || v < min) min = v;
  }
  SampleStats stats(int n) const { return {max, min, sum / n, std::sqrt(sumsq / n)}; }
};

// Characters [from, from + len) of a text (counted in characters, 0-based); shorter when
// the text ends before.
std::string mid(std::string_view s, std::size_t from, std::size_t len) {
  std::string out;
  std::size_t ch = 0;
  for (std::size_t i = 0; i < s.size();) {
    std::size_t l = 1;
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 0xF0) l = 4;
    else if (c >= 0xE0) l = 3;
    else if (c >= 0xC0) l = 2;
    if (ch >= from && ch < from + len) out.append(s.substr(i, l));
    i += l;
    ++ch;
  }
  return out;
}

std::string val(double v, int decimals) { return num_print(round_dec(v, decimals)); }

}  // namespace

double LineLossEstimate::ubase() const {
  const double umean = n > 0 ? voltage.mean : 0.0;
  return 5.0 * std::floor(umean / 5.0) - 20.0;
}

LineLossEstimate estimate_line_loss(const float* iis, const float* uus, const float* pps, const float* qqs, int count) {
  LineLossEstimate e;
  count = std::clamp(count, 0, kSampleArraySize);

  Acc ci, cu, cp, cq;
  for (int i = 0; i < count; ++i) {
    if (!(pps[i] > 0.0f)) continue;
    const bool first = e.n == 0;
    ci.add(iis[i], first);
    cu.add(uus[i], first);
    cp.add(pps[i], first);
    cq.add(qqs[i], first);
    ++e.n;
  }
  if (e.n == 0) return e;  // no sample consumes power: nothing to estimate from
  e.current = ci.stats(e.n);
  e.voltage = cu.stats(e.n);
  e.active = cp.stats(e.n);
  e.reactive = cq.stats(e.n);

  // Fit samples. The sums are centred (two passes) so that equal currents give Sxx = 0
  // exactly instead of a rounding remainder.
  const double threshold = 0.3 * e.active.max;
  double sx = 0, sy = 0;
  for (int i = 0; i < count; ++i) {
    if (!(pps[i] > threshold)) continue;
    sx += iis[i];
    sy += uus[i];
    ++e.m;
  }
  const double mx = sx / e.m, my = sy / e.m;
  for (int i = 0; i < count; ++i) {
    if (!(pps[i] > threshold)) continue;
    const double dx = iis[i] - mx, dy = uus[i] - my;
    e.sxx += dx * dx;
    e.syy += dy * dy;
    e.sxy += dx * dy;
  }
  e.fit_defined = e.m >= 2 && e.sxx > 0.0 && e.syy > 0.0;
  if (!e.fit_defined) return e;

  e.slope = e.sxy / e.sxx;
  e.intercept = (sy - e.slope * sx) / e.m;
  e.r = e.sxy / std::sqrt(std::fabs(e.sxx * e.syy));
  e.no_load_voltage = e.intercept + e.slope * e.current.min;

  double loss = 0;
  for (int i = 0; i < count; ++i) {
    if (!(pps[i] > threshold)) continue;
    const double cur = iis[i];
    loss += std::fabs(3.0 * e.slope * (cur - e.current.min) * cur);
  }
  e.avg_loss = loss / e.m;
  e.valid = std::fabs(e.r) > 0.7;
  return e;
}

LineLossEstimate estimate_line_loss(const DrawnTest& st, int count) {
  return estimate_line_loss(st.iis.data(), st.uus.data(), st.pps.data(), st.qqs.data(), count);
}

std::string correlation_text(const LineLossEstimate& e) { return e.fit_defined ? num_text(e.r) : std::string(); }

int line_loss_sample_count(std::int16_t source_kind, std::int16_t iu_num) {
  const int n = std::clamp<int>(iu_num, 0, kSampleArraySize);
  switch (source_kind) {
    case kKindJoint: return n;
    case kKindElectric: return n > 0 ? kElectricRebuiltPoints : 0;
    // A waveform test leaves one supply cycle in the current and voltage arrays beside the
    // powers of an earlier test; a card or nothing shown leaves no electric samples at all.
    default: return 0;
  }
}

LineLossList line_loss_list(const LineLossEstimate& e, std::string_view test_date, LineLossListForm form) {
  LineLossList l;
  if (form == LineLossListForm::Alternative)
    l[0] = "时间:" + mid(test_date, 0, 8);
  else
    l[0] = "时间:" + mid(test_date, 0, 8) + "/" + mid(test_date, 8, 2) + ":" + mid(test_date, 10, 2);

  static const char* const kLabels[16] = {
      "最大电流(安培)=", "最小电流(安培)=", "平均电流(安培)=", "均方根值(安培)=",
      "最大电压(伏特)=", "最小电压(伏特)=", "平均电压(伏特)=", "均方根值(伏特)=",
      "最大有功(千瓦)=", "最小有功(千瓦)=", "平均有功(千瓦)=", "均方根值(千瓦)=",
      "最大无功(千乏)=", "最小无功(千乏)=", "平均无功(千乏)=", "均方根值(千乏)="};
  const SampleStats* groups[4] = {&e.current, &e.voltage, &e.active, &e.reactive};
  for (int g = 0; g < 4; ++g) {
    const double v[4] = {groups[g]->max, groups[g]->min, groups[g]->mean, groups[g]->rms};
    for (int k = 0; k < 4; ++k) {
      std::string& line = l[1 + 4 * g + k];
      line = kLabels[4 * g + k];
      // Without a sample that consumes power there are no statistics: the label stands alone.
      if (e.n > 0) line += val(v[k], 2);
    }
  }

  if (e.n == 0) {
    l[17] = "注意：";
    l[18] = "测试中没有耗电状态的";
    l[19] = "采样点，所以";
    l[20] = "无法估算线路损耗。";
  } else if (!e.valid) {
    l[17] = "注意：";
    l[18] = "电压升降与电流变化的";
    l[19] = "相关关系不明显，所以";
    l[20] = "无法估算线路损耗。";
  } else {
    l[17] = "空载电压(伏特)=" + val(e.no_load_voltage, 2);
    l[18] = "压降系数(V/A) =" + val(e.slope, 5);
    l[19] = "平均网损(瓦特)=" + val(e.avg_loss, 2);
    l[20] = (form == LineLossListForm::Alternative ? "相 关 系 数   =" : "相 关 系 数=") + val(e.r, 7);
  }
  return l;
}

}  // namespace wb
