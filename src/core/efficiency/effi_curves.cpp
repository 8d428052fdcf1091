#include "core/efficiency/effi_curves.h"

#include <algorithm>
#include <cmath>

#include "core/common/fourier.h"
#include "core/common/layout_keys.h"
#include "core/common/number_text.h"
#include "core/common/record_store.h"
#include "core/common/test_records.h"
#include "core/common/trim.h"
#include "core/common/wiring.h"
#include "core/efficiency/well_base_record.h"

namespace wb {

namespace fs = std::filesystem;

namespace {

// The first record of the key in a library of `R` records; false when none (or when the
// library cannot be read as whole records).
template <class R>
bool find_test(const fs::path& lib, std::size_t len, const std::string& well, const std::string& test, R& out) {
  std::vector<Bytes> recs;
  if (RecordStore(lib, len).read_all(recs) != StoreStatus::Ok) return false;
  static const RecordKeyFields kKeys = record_key_fields(R::layout());
  const std::string w = stored_blank_key(well, kKeys.well().length);
  const std::string t = stored_blank_key(test, kKeys.test().length);
  R r;
  for (const Bytes& b : recs) {
    if (!r.decode(b)) continue;
    if (trim_blanks(r.well_name) == w && trim_blanks(r.test_date) == t) {
      out = r;
      return true;
    }
  }
  return false;
}

}  // namespace

std::vector<float> rebuild_curve(int n, int m, const float* a, const float* b) {
  n = std::clamp(n, 0, 32767);
  std::vector<float> x(static_cast<std::size_t>(n) + 1, 0.0f);
  if (n > 0) Fourier_Synth(x.data(), static_cast<std::int16_t>(n), static_cast<std::int16_t>(m), a, b);
  return x;
}

CardCurves Get_Sgt_Dat(const fs::path& Sgt_File, const std::string& well, const std::string& test) {
  CardCurves out;
  SgtRecord rec;
  if (!find_test(Sgt_File, kSgtRecordSize, well, test, rec)) return out;
  out.found = true;
  // A negative count is no stroke: nothing to rebuild.
  out.gt_num = std::max<int>(rec.point_num, 0);
  out.box45 = num_text(rec.max_load / 100.0);
  out.box46 = num_text(rec.min_load / 100.0);
  out.ggs = rebuild_curve(out.gt_num, kCardLoadTerms, rec.gg_cos.data(), rec.gg_sin.data());
  out.sss = rebuild_curve(out.gt_num, kCardPositionTerms, rec.ss_cos.data(), rec.ss_sin.data());
  return out;
}

float library_reactive_power(int wiring_mode, float current, float voltage, float power) {
  const double k = wiring_factor(wiring_mode);
  // The product of two single-precision samples stays single; the scaling is double.
  const float iu = current * voltage;
  const float s = static_cast<float>(k * iu / 1000.0);
  const float d = s * s - power * power;
  return d > 0 ? std::sqrt(d) : 0.0f;
}

ElectricCurves Get_Pow_Dat(const fs::path& Dnt_File, const std::string& well, const std::string& test) {
  ElectricCurves out;
  DntRecord rec;
  if (!find_test(Dnt_File, kDntRecordSize, well, test, rec)) return out;
  out.found = true;
  out.cs_fs = rec.wiring_mode;
  out.iu_num = std::max<int>(rec.point_num, 0);
  out.uus = rebuild_curve(out.iu_num, kElectricTerms, rec.uu_cos.data(), rec.uu_sin.data());
  out.iis = rebuild_curve(out.iu_num, kElectricTerms, rec.ii_cos.data(), rec.ii_sin.data());
  out.pps = rebuild_curve(out.iu_num, kElectricTerms, rec.pp_cos.data(), rec.pp_sin.data());
  out.qqs.assign(out.uus.size(), 0.0f);
  for (std::size_t j = 0; j < out.qqs.size(); ++j)
    out.qqs[j] = library_reactive_power(out.cs_fs, out.iis[j], out.uus[j], out.pps[j]);
  return out;
}

}  // namespace wb
