#include "core/workbench/main_picture.h"

#include "core/common/trim.h"
#include "core/workbench/workbench_messages.h"

namespace wb {

namespace {

constexpr int kStoredCurvePeriod = 144;  // an electric record is drawn over its 145 rebuilt points

void call(const std::function<void(TestState&)>& f, TestState& st) {
  if (f) f(st);
}

}  // namespace

bool picture_next_view(TestState& st, const ViewDrawers& draw) {
  const std::int16_t kind = st.read_sgt_dnt_org;
  // The electric curves and the panel of a joint test describe its own wiring mode.
  if (kind == kKindJoint) st.dnt_rec.wiring_mode = st.org_head.wiring_mode;
  std::int16_t next = 0;
  const char* tip = nullptr;
  if (kind == kKindJoint) {
    switch (st.disp_state) {
      case 1: call(draw.disp_data, st); next = 2; tip = kTipDrawCard; break;
      case 2: call(draw.RodEngMapDisplay_Card, st); next = 3; tip = kTipDrawPower; break;
      case 3:
        if (draw.iup_line_form) draw.iup_line_form(st, st.iu_num);
        next = 1;
        tip = kTipShowEnergy;
        break;
      default: return false;
    }
  } else if (kind == kKindElectric) {
    switch (st.disp_state) {
      case 1: call(draw.disp_data, st); next = 2; tip = kTipDrawPower; break;
      case 2:
        if (draw.iup_line_form) draw.iup_line_form(st, kStoredCurvePeriod);
        next = 1;
        tip = kTipShowEnergy;
        break;
      default: return false;
    }
  } else if (kind == kKindWave) {
    switch (st.disp_state) {
      case 1:
        if (draw.draw_xbt_2) draw.draw_xbt_2(st, 5.0f, 3.0f);
        next = 2;
        tip = kTipDrawWaveform;
        break;
      case 2:
        if (draw.draw_xbt_1) draw.draw_xbt_1(st, 5.0f, 7.0f);
        next = 1;
        tip = kTipDrawHarmonics;
        break;
      default: return false;
    }
  } else {
    return false;
  }
  st.disp_state = next;
  st.picture1_tooltip = tip;
  return true;
}

std::optional<PictureSaveRule> picture_save_rule(std::int16_t kind, std::int16_t disp_state) {
  const bool curves = kind == kKindElectric || kind == kKindJoint;
  if (kind == kKindCard || (kind == kKindJoint && disp_state == 3)) return PictureSaveRule{"功图另存为图片文件", "_GT.BMP"};
  if (curves && disp_state == 1) return PictureSaveRule{"电力曲线另存为图片文件", "_DL.BMP"};
  if (curves && disp_state == 2) return PictureSaveRule{"电能数据另存为图片文件", "_DN.BMP"};
  if (kind == kKindWave && disp_state == 1) return PictureSaveRule{"电力波形另存为图片文件", "_BX.BMP"};
  if (kind == kKindWave && disp_state == 2) return PictureSaveRule{"谐波分析另存为图片文件", "_XB.BMP"};
  if (kind == kKindLineLoss) return PictureSaveRule{"电网损耗另存为图片文件", "_WS.BMP"};
  return std::nullopt;
}

FileDialogRequest Save_Pic_Bmp_request(const ProgramFolder& prog, const TestState& st, const FileDialogRequest& last) {
  FileDialogRequest req = last;
  req.filter = kPictureFilter;
  req.initial_dir = path_text(prog.image());
  if (auto rule = picture_save_rule(st.read_sgt_dnt_org, st.disp_state)) {
    req.title = rule->title;
    req.file_name = Trim_Blank_Nul(st.Text1[appended_box::kWell]) + rule->suffix;
  }
  return req;
}

}  // namespace wb
