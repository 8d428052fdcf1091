#include "core/diagnosis/rod_string.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/diagnosis/rod_sizes.h"

namespace wb {

namespace {
constexpr int kSinker = 0;
// Boxes of the lengths of table indexes 0..5: sinker bar, 5/8, 3/4, 7/8, 1, 1-1/8 in.
constexpr std::array<int, 6> kLengthBoxes = {diag_box::kSinkerLen, diag_box::kRods58, diag_box::kRods34,
                                             diag_box::kRods78,   diag_box::kRods1,  diag_box::kRods118};
}  // namespace

void fill_rod_table(DiagnosisState& st) {
  st.Size_Dia[kSinker] = st.box(diag_box::kSinkerDia);
  st.Size_Wt[kSinker] = 0;
  for (int i = 1; i <= kRodSizeCount; ++i) {
    st.Size_Dia[i] = kRodDiameters[i - 1];
    st.Size_Wt[i] = kRodWeights[i - 1];
  }
  for (int i = 0; i < 6; ++i) st.Size_Len[i] = st.box(kLengthBoxes[i]);
  st.Size_Len[6] = 0;
  st.Size_Len[7] = 0;
}

int sinker_size(const DiagnosisState& st) {
  const double whole = std::floor(st.Size_Dia[kSinker]);
  for (int i = 1; i <= kRodSizeCount; ++i)
    if (std::floor(st.Size_Dia[i]) == whole) return i;
  return 0;
}

void get_yjcs(DiagnosisState& st) {
  st.yjcs[kYjcsStroke] = st.box(diag_box::kStroke);
  st.yjcs[kYjcsSpm] = st.box(diag_box::kSpm);
  fill_rod_table(st);
  if (const int s = sinker_size(st); s > 0) {
    st.Size_Dia[kSinker] = st.Size_Dia[s];
    st.Size_Wt[kSinker] = st.Size_Wt[s];
    st.Size_Len[s] += st.Size_Len[kSinker];
  }

  // Sizes present, largest diameter first.
  auto sections = [&st](std::array<int, kRodSizeCount>& idx) {
    int n = 0;
    for (int i = kRodSizeCount; i >= 1; --i)
      if (st.Size_Len[i] > 0) idx[n++] = i;
    return n;
  };
  std::array<int, kRodSizeCount> idx{};
  int n = sections(idx);
  while (n > kMaxTaperSections) {
    // The shortest goes; a strict comparison keeps the smaller diameter of equal lengths.
    // Starting from infinity, not a fixed 9999 m, so the reduction always ends.
    int shortest = 0;
    double best = std::numeric_limits<double>::infinity();
    for (int i = 1; i <= kRodSizeCount; ++i) {
      if (st.Size_Len[i] > 0 && st.Size_Len[i] < best) {
        best = st.Size_Len[i];
        shortest = i;
      }
    }
    if (shortest == 0) break;  // only infinite lengths remain: keep the first four
    st.Size_Len[shortest] = 0;
    n = sections(idx);
  }
  n = std::min(n, kMaxTaperSections);
  st.Sec_Last = static_cast<std::int16_t>(n - 1);
  for (int k = 0; k < kMaxTaperSections; ++k) {
    const bool present = k < n;
    st.yjcs[kYjcsFirstSection + 2 * k] = present ? st.Size_Dia[idx[k]] : 0;
    st.yjcs[kYjcsFirstSection + 2 * k + 1] = present ? st.Size_Len[idx[k]] : 0;
  }
  st.yjcs[kYjcsPumpDepth] = st.box(diag_box::kPumpDepth);
}

}  // namespace wb
