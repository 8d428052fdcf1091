#include "core/design/workbench/design_record_boxes.h"

#include <cmath>

#include "core/common/gbk.h"
#include "core/common/number_text.h"
#include "core/design/engine/rod_design_record.h"

namespace wb::design {

namespace {

using namespace rdr;

BoxField f32(BoxArray box, int index, std::size_t off, std::string caption) {
  return {box, index, FieldKind::F32, off, 4, std::move(caption)};
}
BoxField i16(BoxArray box, int index, std::size_t off, std::string caption) {
  return {box, index, FieldKind::I16, off, 2, std::move(caption)};
}
BoxField text(BoxArray box, int index, std::size_t off, std::size_t width, std::string caption) {
  return {box, index, FieldKind::Text, off, width, std::move(caption)};
}

std::vector<BoxField> make_design_boxes() {
  // Element k of design_pre / design_post and the Text3 boxes before and after the design.
  using namespace design_box;
  static const int kPre[14] = {kRateBefore,       kLevelBefore,     kPumpDepthBefore, kBoreBefore,  kStrokeBefore,
                               kSpmBefore,        kSinkerLenBefore, kSinkerDiaBefore, kRods118Before, kRods1Before,
                               kRods78Before,     kRods34Before,    kRods58Before,    kBackOffBefore};
  static const int kPost[14] = {kRateAfter,     kLevelAfter,     kPumpDepthAfter, kBoreAfter,    kStrokeAfter,
                                kSpmAfter,      kSinkerLenAfter, kSinkerDiaAfter, kRods118After, kRods1After,
                                kRods78After,   kRods34After,    kRods58After,    kBackOffAfter};
  static const char* const kNames[14] = {"产液量", "动液面", "泵挂深度", "泵径", "冲程", "冲次", "加重杆长",
                                         "加重杆径", "1'1\"杆长", "1'杆长", "7/8'杆长", "6/8'杆长", "5/8'杆长",
                                         "油杆防脱器1"};
  std::vector<BoxField> v;
  for (std::size_t k = 0; k < 14; ++k)
    v.push_back(f32(BoxArray::Text3, kPre[k], kDesignPre + 4 * k, std::string("设计前") + kNames[k]));
  for (std::size_t k = 0; k < 14; ++k)
    v.push_back(f32(BoxArray::Text3, kPost[k], kDesignPost + 4 * k, std::string("设计后") + kNames[k]));
  v.push_back(f32(BoxArray::Text4, 0, kStressAllow, "最小许用应力"));
  v.push_back(f32(BoxArray::Text5, 0, kStressFactor, "应力使用系数"));
  return v;
}

std::vector<BoxField> make_well_boxes() {
  auto wd = [](std::size_t k) { return kWellData + 4 * k; };
  auto po = [](std::size_t k) { return kPowerOil + 4 * k; };
  const BoxArray T = BoxArray::Text6;
  return {f32(T, well_box::kStaticPressure, wd(7), "油层静压"),
          f32(T, well_box::kFlowingPressure, wd(6), "井底流压"),
          f32(T, well_box::kBubblePressure, wd(5), "饱和压力"),
          f32(T, well_box::kGasOilRatio, kGasOilRatio, "气油比"),
          f32(T, well_box::kOilViscosityDown, kViscDown, "地下油粘度"),
          f32(T, well_box::kOilDensitySurface, wd(1), "地面油比重"),
          f32(T, well_box::kOilDensityDown, wd(2), "地下油比重"),
          f32(T, well_box::kWaterCut, wd(0), "原油含水率"),
          f32(T, well_box::kProductivity, wd(8), "采液指数"),
          i16(T, well_box::kWellheadTemp, kWellheadTemp, "井口温度"),
          f32(T, well_box::kTubingPressure, wd(3), "井口油压"),
          f32(T, well_box::kCasingPressure, wd(4), "井口套压"),
          f32(T, well_box::kLayerMidDepth, wd(9), "油层中深"),
          i16(T, well_box::kTubingInnerDia, kTubingId, "油管内径"),
          f32(T, well_box::kPlungerStroke, wd(11), "柱塞冲程"),
          f32(T, well_box::kEffectiveStroke, wd(10), "有效冲程"),
          f32(T, well_box::kMaxLoad, wd(12), "最大载荷"),
          f32(T, well_box::kMinLoad, wd(13), "最小载荷"),
          f32(T, well_box::kInputPower, po(0), "输入功率"),
          f32(T, well_box::kRodPower, po(1), "光杆功率"),
          f32(T, well_box::kUsefulPower, po(2), "有效功率"),
          f32(T, well_box::kRmsPower, po(3), "均方根功率"),
          f32(T, well_box::kMotorRatedPower, po(4), "电机额定功率"),
          f32(T, well_box::kMotorEfficiency, po(5), "电机额定效率"),
          f32(T, well_box::kOilViscositySurface, po(6), "地面油粘度"),
          f32(T, well_box::kWaxContent, po(7), "原油含蜡量"),
          f32(T, well_box::kLayerTemp, po(8), "出油层温度"),
          f32(T, well_box::kWaxTemp, po(9), "析蜡温度")};
}

// The tools before (or after) the design: back-off tools 2..4, tubing centralizers 1..4 and
// downhole tools 1..9 (name and depth).
void add_tools(std::vector<BoxField>& v, bool after) {
  const BoxArray T = BoxArray::Text10;
  const std::string when = after ? "（设计后）" : "（设计前）";
  const int backoff = after ? 33 : 16, cent = after ? 36 : 19, first = after ? 40 : 23, sixth = after ? 63 : 53;
  const std::size_t backoff_off = after ? kBackoffPost : kBackoffPre;
  const std::size_t cent_off = after ? kTubingCentPost : kTubingCentPre;
  const std::size_t name_off = after ? kToolNamePost : kToolNamePre;
  const std::size_t depth_off = after ? kToolDepthPost : kToolDepthPre;
  for (int k = 0; k < 3; ++k)
    v.push_back(f32(T, backoff + k, backoff_off + 4 * static_cast<std::size_t>(k),
                    "油杆防脱器" + std::to_string(k + 2) + when));
  for (int k = 0; k < 4; ++k)
    v.push_back(f32(T, cent + k, cent_off + 4 * static_cast<std::size_t>(k), "油管扶正器" + std::to_string(k + 1) + when));
  for (int t = 1; t <= 9; ++t) {
    const int box = t <= 5 ? first + 2 * (t - 1) : sixth + 2 * (t - 6);
    const auto slot = static_cast<std::size_t>(t - 1);
    const std::string name = "井下工具" + std::to_string(t);
    v.push_back(text(T, box, name_off + kToolNameWidth * slot, kToolNameWidth, name + "名称" + when));
    v.push_back(f32(T, box + 1, depth_off + 4 * slot, name + "深度" + when));
  }
}

std::vector<BoxField> make_struct_boxes() {
  const BoxArray T = BoxArray::Text10;
  std::vector<BoxField> v = {text(T, 0, kCompleteDate, 13, "完井日期"), text(T, 1, kProdZone, 16, "开采层位")};
  static const char* const kStruct[8] = {"套补距",   "油补距",   "联入深度",     "完钻井深",
                                         "人工井底", "水泥返高", "射孔井段上界", "射孔井段下界"};
  for (std::size_t k = 0; k < 8; ++k) v.push_back(f32(T, 2 + static_cast<int>(k), kWellStruct + 4 * k, kStruct[k]));
  static const char* const kCasingName[3] = {"表层套管", "油层套管", "技术套管"};
  for (std::size_t k = 0; k < 3; ++k) {
    const int box = 10 + 2 * static_cast<int>(k);
    v.push_back(i16(T, box, kCasing + 6 * k, std::string(kCasingName[k]) + "直径"));
    v.push_back(f32(T, box + 1, kCasing + 6 * k + 2, std::string(kCasingName[k]) + "下入深度"));
  }
  add_tools(v, false);
  add_tools(v, true);
  v.push_back(text(T, 50, kDesignMemo, 556, "技术要求及设计说明"));
  v.push_back(text(T, 51, kDesignUnit, 22, "设计单位"));
  v.push_back(text(T, 52, kDesigner, 8, "设计人"));
  return v;
}

}  // namespace

const std::vector<BoxField>& design_boxes() {
  static const std::vector<BoxField> v = make_design_boxes();
  return v;
}
const std::vector<BoxField>& well_boxes() {
  static const std::vector<BoxField> v = make_well_boxes();
  return v;
}
const std::vector<BoxField>& struct_boxes() {
  static const std::vector<BoxField> v = make_struct_boxes();
  return v;
}

const BoxField* find_box(BoxArray box, int index) {
  for (const auto* table : {&design_boxes(), &well_boxes(), &struct_boxes()})
    for (const BoxField& f : *table)
      if (f.box == box && f.index == index) return &f;
  return nullptr;
}

std::string& box_text(DesignState& st, BoxArray box, int index) {
  const auto i = static_cast<std::size_t>(index);
  switch (box) {
    case BoxArray::Text3: return st.Text3.at(i);
    case BoxArray::Text4: return st.Text4;
    case BoxArray::Text5: return st.Text5;
    case BoxArray::Text6: return st.Text6.at(i);
    case BoxArray::Text10: break;
  }
  return st.Text10.at(i);
}

std::string field_box_text(const Bytes& rec, const BoxField& f) {
  const ByteReader r(rec);
  switch (f.kind) {
    case FieldKind::F32: return num_text_f(r.f32(f.offset));
    case FieldKind::I16: return std::to_string(r.i16(f.offset));
    case FieldKind::Text: break;
  }
  return gbk_field_text(r.raw(f.offset, f.width));
}

bool put_box_text(Bytes& rec, const BoxField& f, const std::string& text) {
  ByteWriter w(rec);
  if (f.kind == FieldKind::Text) {
    const std::string g = gbk_field(text, f.width);
    w.raw(f.offset, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(g.data()), g.size()));
    return true;
  }
  // A number beyond a double ("1e400") does not fit either field; it is not read as 0.
  const std::optional<double> read = num_val_checked(text);
  if (!read) return false;
  const double v = *read;
  if (f.kind == FieldKind::I16) {
    const std::optional<short> n = to_i16(v);
    if (!n) return false;
    w.i16(f.offset, *n);
    return true;
  }
  const float s = to_single(v);
  if (!std::isfinite(s)) return false;
  w.f32(f.offset, s);
  return true;
}

}  // namespace wb::design
