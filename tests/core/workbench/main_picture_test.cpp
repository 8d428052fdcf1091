// The main picture's view cycle and the picture-save rule.
#include "core/workbench/main_picture.h"

#include <gtest/gtest.h>

using namespace wb;

namespace {

// Records which view procedure a click called and with which argument.
struct Drawn {
  std::string what;
  ViewDrawers drawers() {
    ViewDrawers d;
    d.disp_data = [this](TestState&) { what = "panel"; };
    d.RodEngMapDisplay_Card = [this](TestState&) { what = "card"; };
    d.iup_line_form = [this](TestState&, int n) { what = "curves " + std::to_string(n); };
    d.draw_xbt_1 = [this](TestState&, float x, float y) { what = "waves " + std::to_string(int(x)) + "," + std::to_string(int(y)); };
    d.draw_xbt_2 = [this](TestState&, float x, float y) { what = "bars " + std::to_string(int(x)) + "," + std::to_string(int(y)); };
    return d;
  }
};

}  // namespace

TEST(MainPicture, LeftClickStepsThroughTheViewsOfTheTest) {
  struct Case {
    std::int16_t kind, state;
    const char* drawn;  // "" = nothing happens
    std::int16_t after;
    const char* tooltip;
  };
  const Case cases[] = {
      {kKindJoint, 1, "panel", 2, "单击此处可绘制示功图"},
      {kKindJoint, 2, "card", 3, "单击此处可绘制电力曲线"},
      {kKindJoint, 3, "curves 377", 1, "单击此处可显示电能数据"},
      {kKindElectric, 1, "panel", 2, "单击此处可绘制电力曲线"},
      {kKindElectric, 2, "curves 144", 1, "单击此处可显示电能数据"},
      {kKindWave, 1, "bars 5,3", 2, "单击此处可绘制电流电压波形曲线"},
      {kKindWave, 2, "waves 5,7", 1, "单击此处可绘制电流电压谐波棒图"},
      {kKindCard, 1, "", 1, "old"},
      {kKindLineLoss, 1, "", 1, "old"},
      {kKindNone, 0, "", 0, "old"},
      {kKindJoint, 0, "", 0, "old"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.kind) + "/" + std::to_string(c.state));
    TestState st;
    st.read_sgt_dnt_org = c.kind;
    st.disp_state = c.state;
    st.iu_num = 377;
    st.picture1_tooltip = "old";
    Drawn d;
    EXPECT_EQ(picture_next_view(st, d.drawers()), *c.drawn != 0);
    EXPECT_EQ(d.what, c.drawn);
    EXPECT_EQ(st.disp_state, c.after);
    EXPECT_EQ(st.picture1_tooltip, c.tooltip);
  }
}

TEST(MainPicture, JointTestClickCopiesTheHeadersWiringMode) {
  TestState st;
  st.read_sgt_dnt_org = kKindJoint;
  st.disp_state = 7;  // no view: the copy happens all the same
  st.org_head.wiring_mode = 4;
  st.dnt_rec.wiring_mode = 1;
  picture_next_view(st, {});
  EXPECT_EQ(st.dnt_rec.wiring_mode, 4);
  st.read_sgt_dnt_org = kKindElectric;
  st.org_head.wiring_mode = 2;
  picture_next_view(st, {});
  EXPECT_EQ(st.dnt_rec.wiring_mode, 4);
}

TEST(MainPicture, SaveRuleNamesTheViewShown) {
  struct Case {
    std::int16_t kind, state;
    const char* title;  // "" = no rule
    const char* suffix;
  };
  const Case cases[] = {
      {kKindCard, 0, "功图另存为图片文件", "_GT.BMP"},      {kKindCard, 2, "功图另存为图片文件", "_GT.BMP"},
      {kKindJoint, 3, "功图另存为图片文件", "_GT.BMP"},     {kKindJoint, 1, "电力曲线另存为图片文件", "_DL.BMP"},
      {kKindElectric, 1, "电力曲线另存为图片文件", "_DL.BMP"}, {kKindJoint, 2, "电能数据另存为图片文件", "_DN.BMP"},
      {kKindElectric, 2, "电能数据另存为图片文件", "_DN.BMP"}, {kKindWave, 1, "电力波形另存为图片文件", "_BX.BMP"},
      {kKindWave, 2, "谐波分析另存为图片文件", "_XB.BMP"},  {kKindLineLoss, 0, "电网损耗另存为图片文件", "_WS.BMP"},
      {kKindNone, 1, "", ""},                              {kKindElectric, 3, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.kind) + "/" + std::to_string(c.state));
    auto r = picture_save_rule(c.kind, c.state);
    ASSERT_EQ(r.has_value(), *c.title != 0);
    if (!r) continue;
    EXPECT_EQ(r->title, c.title);
    EXPECT_EQ(r->suffix, c.suffix);
  }
}

TEST(MainPicture, SaveRequestProposesTheTrimmedWellInTheImageFolder) {
  ProgramFolder prog{"/opt/wb"};
  TestState st;
  st.read_sgt_dnt_org = kKindCard;
  st.Text1[2] = std::string(" W12  ") + '\0';
  auto req = Save_Pic_Bmp_request(prog, st);
  EXPECT_EQ(req.filter, "图片文件(*.BMP)|*.BMP");
  EXPECT_EQ(req.initial_dir, "/opt/wb/image");
  EXPECT_EQ(req.title, "功图另存为图片文件");
  EXPECT_EQ(req.file_name, "W12_GT.BMP");
  // A view without a rule keeps the title and name of the dialog's last use.
  st.read_sgt_dnt_org = kKindNone;
  auto again = Save_Pic_Bmp_request(prog, st, req);
  EXPECT_EQ(again.title, "功图另存为图片文件");
  EXPECT_EQ(again.file_name, "W12_GT.BMP");
}
