#include "core/efficiency/effi_report.h"

#include <array>
#include <string>
#include <utility>

#include "core/common/canvas.h"
#include "core/efficiency/sys_effi_state.h"

namespace wb {

using namespace effi_box;  // Text1 by name

namespace {

// Caption and source box of each row; box 31 and 32 rows take a part of the pair.
enum class Part { Whole, Date, Before, After };
struct Row {
  const char* caption;
  int box;
  Part part;
};

const std::array<Row, kEffiReportRows> kRows = {{
    {"井号", kWell, Part::Whole},
    {"测试日期", kTestTime, Part::Date},
    {"抽油机型号", kCyjModel, Part::Whole},
    {"电动机型号", kMotorModel, Part::Whole},
    {"平均电压(V)", kMeanVoltage, Part::Whole},
    {"平均电流(A)", kMeanCurrent, Part::Whole},
    {"平均输入功率(kW)", kInputPower, Part::Whole},
    {"平均无功功率(kVar)", kReactivePower, Part::Whole},
    {"平均视在功率(kVA)", kApparentPower, Part::Whole},
    {"平均功率因数", kPowerFactor, Part::Whole},
    {"最大上行电流(A)", kMaxCurrentPair, Part::Before},
    {"最大下行电流(A)", kMaxCurrentPair, Part::After},
    {"均方根电流(A)", kRmsCurrent, Part::Whole},
    {"平均上行功率(kW)", kMeanPowerPair, Part::Before},
    {"平均下行功率(kW)", kMeanPowerPair, Part::After},
    {"均方根功率(kW)", kRmsPower, Part::Whole},
    {"最大载荷(kN)", kRealMaxLoad, Part::Whole},
    {"最小载荷(kN)", kRealMinLoad, Part::Whole},
    {"标称冲程(m)", kNomStroke, Part::Whole},
    {"标称冲次(1/min)", kNomSpm, Part::Whole},
    {"实测冲程(m)", kRealStroke, Part::Whole},
    {"实测冲次(1/min)", kRealSpm, Part::Whole},
    {"井口油压(MPa)", kTubingPress, Part::Whole},
    {"井口套压(MPa)", kCasingPress, Part::Whole},
    {"日产液量(m3)", kLiquidRate, Part::Whole},
    {"含水率(%)", kWaterCut, Part::Whole},
    {"液体密度(t/m3)", kLiquidDensity, Part::Whole},
    {"动液面(m)", kFluidLevel, Part::Whole},
    {"泵径(mm)", kPumpDia, Part::Whole},
    {"泵效(%)", kPumpEffi, Part::Whole},
    {"泵挂深度(m)", kPumpDepth, Part::Whole},
    {"沉没度(m)", kSubmergence, Part::Whole},
    {"光杆功率(kW)", kRodPower, Part::Whole},
    {"有效功率(kW)", kHydraulicPower, Part::Whole},
    {"地面效率(%)", kSurfaceEffi, Part::Whole},
    {"井下效率(%)", kDownholeEffi, Part::Whole},
    {"系统效率(%)", kSysEffi, Part::Whole},
}};

// The first `n` characters (not bytes) of a UTF-8 text.
std::string first_chars(const std::string& s, std::size_t n) {
  std::size_t i = 0, chars = 0;
  while (i < s.size() && chars < n) {
    const auto c = static_cast<unsigned char>(s[i]);
    i += c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : 4;
    ++chars;
  }
  return s.substr(0, std::min(i, s.size()));
}

// The two values of a pair box: before and after its first "/".
std::pair<std::string, std::string> split_pair(const std::string& s) {
  const std::size_t slash = s.find('/');
  if (slash == std::string::npos) return {s, ""};
  return {s.substr(0, slash), s.substr(slash + 1)};
}

// Chart anchors from the table's left and top edges.
constexpr double kElectricDx = 9, kElectricDy = 182;
constexpr double kCardDx = 96, kCardDy = 79;

}  // namespace

TableLayout effi_report_layout() {
  TableLayout L;
  L.rows = 24;
  L.cols = 4;
  L.row_height = 7.3f;
  L.label_width = 50;
  L.value_width = 0;
  L.left = 15;
  L.top = 18.5f;
  L.width = 180;
  L.frame_height = 260;
  L.font_size = 14;
  return L;
}

TableCells Fill_Effi_Table(const EffiBoxTexts& Text1) {
  TableCells cells = TableCells::for_layout(effi_report_layout(), kEffiReportTitle);
  for (std::size_t k = 0; k < kRows.size(); ++k) {
    const Row& r = kRows[k];
    const std::string& text = Text1[static_cast<std::size_t>(r.box)];
    std::string value;
    switch (r.part) {
      case Part::Whole: value = text; break;
      case Part::Date: value = first_chars(text, 8); break;
      case Part::Before: value = split_pair(text).first; break;
      case Part::After: value = split_pair(text).second; break;
    }
    cells.set(k + 1, r.caption, value);
  }
  return cells;
}

double prt_effi_page(Canvas& target, const EffiBoxTexts& Text1, EffiStroke& stroke) {
  TableLayout L = effi_report_layout();
  TableCells cells = Fill_Effi_Table(Text1);
  // The page starts from its own colours, pen and font: the card drawn last on a page
  // before leaves its text colour behind.
  target.reset_drawing_state();
  const double ex = L.left + kElectricDx, ey = L.top + kElectricDy;
  const double cx = L.left + kCardDx, cy = L.top + kCardDy;
  target.draw_style = DrawStyle::Solid;
  Print_Table(L, cells, target);
  iup_line(target, ex, ey, stroke);
  const double rod_len = prt_sgt(target, cx, cy, Text1, stroke);
  if (target.is_printer()) target.end_doc();
  return rod_len;
}

}  // namespace wb
