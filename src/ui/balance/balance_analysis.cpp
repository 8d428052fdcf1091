#include "platform/qt_text.h"
#include "platform/screen_fit.h"
#include "ui/balance/balance_analysis.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <tuple>

#include "core/balance/balance_charts.h"
#include "core/balance/balance_save.h"
#include "core/balance/balance_torque.h"
#include "core/balance/electric_fit.h"
#include "core/balance/phfx_browser.h"
#include "core/common/gbk.h"
#include "core/common/number_text.h"
#include "core/common/paths.h"
#include "core/common/record_browser.h"
#include "core/common/record_store.h"
#include "core/common/trim.h"
#include "core/records/cyj_mode_catalog.h"
#include "core/efficiency/well_base_record.h"
#include "platform/combo_box.h"
#include "platform/services_qt.h"
#include "ui/workbench/analysis_windows.h"
#include "core/common/messages.h"

namespace wb {

namespace {

using namespace balance_box;

struct BoxInfo {
  const char* label;
  const char* tip;
};

// Label and tool tip of each parameter box, by balance_box (the group boxes have row captions).
const std::array<BoxInfo, kParameterBoxCount> kBoxInfo{{
    {"平衡块数", "已安装的平衡块数或者是您想调动的平衡块数"},
    {"平均块重kN", "已安装的平衡块或者您想调动的平衡块的平均单块重量"},
    {"平均位置 m", "已安装的平衡块或者您想调动的平衡块的平均重心（锁块）位置"},
    {"最大安装位置 m", "平衡块位于曲柄的最外侧时其锁块到输出轴中心的距离"},
    {"减速器扭矩 ", "抽油机减速器的额定扭矩kN.m"},
    {"前臂长度 m", "抽油机中轴承到驴头园弧面的距离"},
    {"最大冲程 m", "抽油机能达到的最大冲程长度"},
    {"平衡臂长 m", "抽油机中轴承到游梁平衡块中心的距离"},
    {"平衡臂偏置角deg",
     "游梁平衡块中心到抽油机中轴的连线与游梁后臂中心线之间的夹角,此角如果为0，表示是普通的游梁平衡，大于0是下偏杠铃游梁平衡，"
     "如果是下偏杠铃平衡而你又不知道此值，可输入一个问号"},
    {"平衡块单重 kN", "游梁平衡块所能分解的最小重量kN"},
    {"已装平衡块数", "已安装的游梁平衡块按最小可分解重量折算的块数"},
    {"最大可装块数", "总的游梁平衡块按最小可分解重量折算的块数"},
    {"重心位置 m", ""}, {"单块重 kN", ""}, {"分组块数", ""},
    {"重心位置 m", ""}, {"单块重 kN", ""}, {"分组块数", ""},
    {"重心位置 m", ""}, {"单块重 kN", ""}, {"分组块数", ""},
    {"重心位置 m", ""}, {"单块重 kN", ""}, {"分组块数", ""},
    {"最小安装位置 m", "平衡块位于曲柄的最内侧时其锁块到输出轴中心的距离"},
    {"同侧安装间距 m", "曲柄同一侧紧密排列安装两个平衡块时，两个平衡块锁块的间距"},
    {"曲柄初始角 deg", "当抽油机驴头处于下死点时曲柄中心线到12点钟线之间的夹角"},
    {"实际冲程 m", "抽油机当前工作使用的冲程长度"},
}};

// The crank limits, the torque, the offset angle, the groups and the crank's inner geometry.
bool orange_box(int i) {
  return i == kCrankPosMax || i == kGearboxTorque || i == kBalanceArmAngle || (i >= group_pos(0) && i <= kCrankAngle0);
}

std::string s(const QString& t) { return t.toStdString(); }

// A label and its box in a parameter column.
void add_box_row(QGridLayout* g, int row, int col, QLineEdit* box, int index) {
  auto* l = new QLabel(qs(kBoxInfo[static_cast<std::size_t>(index)].label));
  l->setToolTip(qs(kBoxInfo[static_cast<std::size_t>(index)].tip));
  g->addWidget(l, row, col);
  g->addWidget(box, row, col + 1);
}

}  // namespace

void register_balance_window() {
  analysis_windows()[AnalysisWindow::Balance] = [](MainWindowLink& m) -> QWidget* {
    return new BalanceAnalysis(m, m.program_folder(), m.window_widget());
  };
}

BalanceAnalysis::BalanceAnalysis(MainWindowLink& main, const ProgramFolder& folder, QWidget* parent)
    : QWidget(parent, Qt::Window), main_(main), folder_(folder) {
  setWindowTitle(QStringLiteral("抽油机井平衡分析专家系统"));
  build();
  fit_to_screen(this);
}

void BalanceAnalysis::build() {
  auto* top = new QVBoxLayout(this);

  Frame_History = new QGroupBox(QStringLiteral("历史数据查询"));
  auto* hl = new QHBoxLayout(Frame_History);
  hl->addWidget(new QLabel(QStringLiteral("数据文件")));
  Text3 = new QLineEdit;
  hl->addWidget(Text3, 3);
  connect(Text3, &QLineEdit::textChanged, this, [this] { Text3_Change(); });
  Cmd_View_PHFX_Data = new QPushButton(QStringLiteral("浏览"));
  hl->addWidget(Cmd_View_PHFX_Data);
  connect(Cmd_View_PHFX_Data, &QPushButton::clicked, this, [this] { Cmd_View_PHFX_Data_Click(); });
  hl->addWidget(new QLabel(QStringLiteral("井号")));
  Comb_WellName = new QComboBox;
  Comb_WellName->setEditable(true);
  choose_from_list_only(Comb_WellName);
  hl->addWidget(Comb_WellName, 2);
  connect(Comb_WellName, &QComboBox::activated, this, [this] { Comb_WellName_Click(); });
  hl->addWidget(new QLabel(QStringLiteral("日期")));
  Comb_TestTime = new QComboBox;
  Comb_TestTime->setEditable(true);
  choose_from_list_only(Comb_TestTime);
  // Wide enough for a whole test time, yyyymmddhhmm.
  Comb_TestTime->setMinimumContentsLength(12);
  Comb_TestTime->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  hl->addWidget(Comb_TestTime);
  connect(Comb_TestTime, &QComboBox::activated, this, [this] { Comb_TestTime_Click(); });
  hl->addWidget(new QLabel(QStringLiteral("记录")));
  Text7 = new QLineEdit;
  Text7->setMaximumWidth(50);
  hl->addWidget(Text7);
  connect(Text7, &QLineEdit::textChanged, this, [this] { Text7_Change(); });
  for (int i = 0; i < 3; ++i) {
    auto* b = new QPushButton(QString::fromUtf8(kReviewButtons[static_cast<std::size_t>(i)].text));
    b->setToolTip(QString::fromUtf8(kReviewButtons[static_cast<std::size_t>(i)].tip));
    b->setMaximumWidth(40);
    hl->addWidget(b);
    connect(b, &QPushButton::clicked, this, [this, i] { Cmd_Review_Click(i); });
    Cmd_Review[static_cast<std::size_t>(i)] = b;
  }
  top->addWidget(Frame_History);

  SSTab1 = new QTabWidget;
  auto* page0 = new QWidget;
  build_parameters(page0);
  SSTab1->addTab(page0, QStringLiteral("基础数据"));

  Text1 = new QPlainTextEdit;
  Text1->setReadOnly(true);
  Text1->viewport()->installEventFilter(this);
  auto* page1 = new QWidget;
  (new QVBoxLayout(page1))->addWidget(Text1);
  SSTab1->addTab(page1, QStringLiteral("调整建议"));

  auto chart_page = [&](PictureBox*& pic, const char* caption) {
    pic = new PictureBox;
    pic->set_fixed_area_twips(9375, 4215);
    auto* page = new QWidget;
    (new QVBoxLayout(page))->addWidget(pic);
    SSTab1->addTab(page, QString::fromUtf8(caption));
  };
  chart_page(Picture1, "电力曲线");
  chart_page(Picture2, "扭矩曲线");
  chart_page(Picture3, "许用载荷");
  connect(Picture1, &PictureBox::mouse_down, this, [this](Qt::MouseButton b, double, double) {
    if (b == Qt::RightButton) save_chart(Picture1, "平衡分析电能曲线另存为图片文件", "_PD.BMP");
  });
  connect(Picture2, &PictureBox::mouse_down, this, [this](Qt::MouseButton b, double, double) {
    if (b == Qt::RightButton) save_chart(Picture2, "平衡分析扭矩曲线另存为图片文件", "_LJ.BMP");
  });
  auto legend = [&](int index, QWidget* pic, const char* text, const char* color, int y) {
    auto* l = new QLabel(QString::fromUtf8(text), pic);
    l->setStyleSheet(QStringLiteral("color:%1; background:transparent").arg(QString::fromUtf8(color)));
    l->move(6, y);
    l->setCursor(Qt::PointingHandCursor);
    l->installEventFilter(this);
    Label1[static_cast<std::size_t>(index)] = l;
  };
  legend(7, Picture1, "功率(kW)", "blue", 4);
  legend(6, Picture1, "电流(A)", "red", 22);
  legend(0, Picture2, "净 扭 矩kN.m", "red", 4);
  legend(1, Picture2, "载荷扭矩kN.m", "blue", 22);
  legend(2, Picture2, "平衡扭矩kN.m", "magenta", 40);
  top->addWidget(SSTab1, 1);

  auto* buttons = new QHBoxLayout;
  Command1 = new QPushButton(QStringLiteral("自动分析"));
  buttons->addWidget(Command1);
  connect(Command1, &QPushButton::clicked, this, [this] { Run_PH_Analysis(0); });
  const char* adjust_text[] = {"★", "→", "←", "▲", "▼"};
  const char* adjust_tip[] = {"自动调整到最佳", "外调曲柄平衡块", "内调曲柄平衡块", "增加游梁平衡块", "减少游梁平衡块"};
  for (int i = 0; i < 5; ++i) {
    auto* b = new QToolButton;
    b->setText(QString::fromUtf8(adjust_text[i]));
    b->setToolTip(QString::fromUtf8(adjust_tip[i]));
    b->setMinimumWidth(36);
    buttons->addWidget(b);
    connect(b, &QToolButton::clicked, this, [this, i] { Run_PH_Analysis(i); });
    adjust[static_cast<std::size_t>(i)] = b;
  }
  buttons->addStretch(1);
  Cmd_Save = new QPushButton(QStringLiteral("保存"));
  Cmd_Save->setToolTip(QStringLiteral("保存当前平衡分析记录"));
  Cmd_Prnt = new QPushButton(QStringLiteral("打印"));
  Cmd_Prnt->setToolTip(QStringLiteral("打印当前平衡分析记录"));
  ReturnCMD = new QPushButton(QStringLiteral("退出"));
  ReturnCMD->setToolTip(QStringLiteral("退出本界面"));
  connect(ReturnCMD, &QPushButton::clicked, this, [this] { close(); });
  for (QPushButton* b : {Cmd_Save, Cmd_Prnt, ReturnCMD}) buttons->addWidget(b);
  connect(Cmd_Save, &QPushButton::clicked, this, [this] { Cmd_Save_Click(); });
  connect(Cmd_Prnt, &QPushButton::clicked, this, [this] { Cmd_Prnt_Click(); });
  top->addLayout(buttons);
  resize(760, 560);
}

void BalanceAnalysis::build_parameters(QWidget* page) {
  for (int i = 0; i < kParameterBoxCount; ++i) {
    auto* e = new QLineEdit;
    e->setMaximumWidth(90);
    e->setStyleSheet(orange_box(i) ? QStringLiteral("background:rgb(255,224,192)")
                                   : QStringLiteral("background:rgb(224,224,224)"));
    e->installEventFilter(this);
    connect(e, &QLineEdit::textChanged, this, [this, i] { Text2_Change(i); });
    Text2[static_cast<std::size_t>(i)] = e;
  }
  auto* v = new QVBoxLayout(page);
  auto* head = new QHBoxLayout;
  auto* modes = new QGroupBox(QStringLiteral("平衡方式选择"));
  auto* ml = new QHBoxLayout(modes);
  const char* mode_text[] = {"曲柄平衡", "游梁平衡", "复合平衡"};
  for (int i = 0; i < 3; ++i) {
    Option1[static_cast<std::size_t>(i)] = new QRadioButton(QString::fromUtf8(mode_text[i]));
    ml->addWidget(Option1[static_cast<std::size_t>(i)]);
    connect(Option1[static_cast<std::size_t>(i)], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
  }
  head->addWidget(modes);
  head->addWidget(new QLabel(QStringLiteral("抽油机型号")));
  Comb_Cyj_Mode = new QComboBox;
  Comb_Cyj_Mode->setEditable(true);
  Comb_Cyj_Mode->setMinimumWidth(200);
  connect(Comb_Cyj_Mode, &QComboBox::editTextChanged, this, [this] { Comb_Cyj_Mode_Change(); });
  head->addWidget(Comb_Cyj_Mode);
  head->addStretch(1);
  v->addLayout(head);

  auto* frames = new QHBoxLayout;
  Frame1 = new QGroupBox(QStringLiteral("曲柄平衡参数"));
  auto* f1 = new QVBoxLayout(Frame1);
  auto* g1 = new QGridLayout;
  const int left1[] = {kCrankBlocks, kCrankBlockWt, kCrankBlockPos, kGearboxTorque};
  const int right1[] = {kCrankPosMax, kCrankPosMin, kCrankSpacing, kCrankAngle0};
  for (int r = 0; r < 4; ++r) {
    add_box_row(g1, r, 0, Text2[static_cast<std::size_t>(left1[r])], left1[r]);
    add_box_row(g1, r, 2, Text2[static_cast<std::size_t>(right1[r])], right1[r]);
  }
  f1->addLayout(g1);
  auto* checks = new QHBoxLayout;
  Check1 = new QCheckBox(QStringLiteral("显示平衡块详细数据"));
  Chk_Load = new QCheckBox(QStringLiteral("保持载荷不变"));
  checks->addWidget(Check1);
  checks->addWidget(Chk_Load);
  f1->addLayout(checks);
  connect(Check1, &QCheckBox::clicked, this, [this] { Check1_Click(); });
  Crank_Groups = new QWidget;
  auto* gg = new QGridLayout(Crank_Groups);
  gg->setContentsMargins(0, 0, 0, 0);
  const char* group_caption[] = {"第一组", "第二组", "第三组", "第四组"};
  const char* row_caption[] = {"分组块数", "单块重 kN", "重心位置 m"};
  int (*const row_box[])(int) = {group_count, group_wt, group_pos};
  for (int c = 0; c < kCrankGroups; ++c) gg->addWidget(new QLabel(QString::fromUtf8(group_caption[c])), 0, c + 1);
  for (int r = 0; r < 3; ++r) {
    gg->addWidget(new QLabel(QString::fromUtf8(row_caption[r])), r + 1, 0);
    for (int c = 0; c < kCrankGroups; ++c) gg->addWidget(Text2[static_cast<std::size_t>(row_box[r](c))], r + 1, c + 1);
  }
  f1->addWidget(Crank_Groups);
  f1->addStretch(1);

  Frame2 = new QGroupBox(QStringLiteral("游梁平衡参数"));
  auto* f2 = new QVBoxLayout(Frame2);
  auto* g2 = new QGridLayout;
  const int left2[] = {kBeamFrontArm, kBalanceArm, kActStroke, kMaxStroke};
  const int right2[] = {kBalanceArmAngle, kBeamBlockWt, kBeamBlocks, kBeamBlocksMax};
  for (int r = 0; r < 4; ++r) {
    add_box_row(g2, r, 0, Text2[static_cast<std::size_t>(left2[r])], left2[r]);
    add_box_row(g2, r, 2, Text2[static_cast<std::size_t>(right2[r])], right2[r]);
  }
  f2->addLayout(g2);
  Check2 = new QCheckBox(QStringLiteral("输出中间计算结果到文本文件"));
  f2->addWidget(Check2);
  connect(Check2, &QCheckBox::clicked, this, [this] { Check2_Click(); });
  File_Names = new QWidget;
  auto* fl = new QVBoxLayout(File_Names);
  fl->setContentsMargins(0, 0, 0, 0);
  for (std::size_t i = 0; i < 3; ++i) {
    Text4[i] = new QLineEdit(qs(kIntermediateFileBoxes[i]));
    fl->addWidget(Text4[i]);
  }
  f2->addWidget(File_Names);
  f2->addStretch(1);
  frames->addWidget(Frame1);
  frames->addWidget(Frame2);
  frames->addStretch(1);
  v->addLayout(frames, 1);

  for (int p = 1; p < kParameterBoxCount; ++p)
    setTabOrder(Text2[static_cast<std::size_t>(kParameterTabOrder[static_cast<std::size_t>(p - 1)])],
                Text2[static_cast<std::size_t>(kParameterTabOrder[static_cast<std::size_t>(p)])]);
}

// The controls as the window's design sets them when it loads.
void BalanceAnalysis::reset_controls() {
  set_parameter_texts(default_parameter_boxes());
  for (std::size_t i = 0; i < 3; ++i) Text4[i]->setText(qs(kIntermediateFileBoxes[i]));
  for (QCheckBox* c : {Check1, Chk_Load, Check2}) c->setChecked(false);
  Check1_Click();
  Check2_Click();
  Option1_Click(0);
  Cmd_Save->setEnabled(false);
  set_text1({});
  Comb_Cyj_Mode->blockSignals(true);
  Comb_Cyj_Mode->clear();
  Comb_Cyj_Mode->setEditText({});
  Comb_Cyj_Mode->blockSignals(false);
  Picture1->canvas().cls();
  Picture2->canvas().cls();
  Picture1->update();
  Picture2->update();
}

void BalanceAnalysis::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (!loaded_) {
    loaded_ = true;
    reset_controls();
    Form_Load();
  }
}

void BalanceAnalysis::closeEvent(QCloseEvent* e) {
  // Closing keeps the members (the held stroke, the results); the next show loads again.
  loaded_ = false;
  e->accept();
}

void BalanceAnalysis::Form_Load() {
  Disp_I_Flag = Disp_P_Flag = Disp_NetT_Flag = Disp_LoadT_Flag = Disp_BalT_Flag = true;
  Phfx_File = path_text(phfx_path(folder_));
  Comb_WellName->clear();
  Text3->blockSignals(true);
  Text3->setText(qs(Phfx_File));
  Text3->blockSignals(false);
  Text3_Change();
  Comb_WellName->setEditText(qs(state.held.Cur_Well));
  Comb_TestTime->setEditText(qs(state.held.Cur_Test));
  // Add_Cyj_Mode_To_Comb: every model of the catalogue in file order; adding entries
  // leaves the list's text as it is.
  // A catalogue that cannot be created reads as empty: the list gets no models.
  std::ignore = ensure_cyj_mode_file(folder_);
  Comb_Cyj_Mode->blockSignals(true);
  const QString text = Comb_Cyj_Mode->currentText();
  for (const std::string& m : CyjModeCatalog::read(cyj_mode_path(folder_)).models()) Comb_Cyj_Mode->addItem(qs(m));
  Comb_Cyj_Mode->setEditText(text);
  Comb_Cyj_Mode->blockSignals(false);
  if (has_electric_stroke(state.held.DispCurveType)) prepare_held_stroke();
}

// Get_Dat_From_WellBase: the model first (its figures fill boxes 6 and 4), then the
// record's boxes over them, then its balance mode.
void BalanceAnalysis::load_well_base() {
  const BalanceWellBaseView v = Get_Dat_From_WellBase(folder_, state.held.Cur_Well, state.held.Cur_Test);
  if (!v.found) return;
  if (!v.doubts.empty())
    services().messages->show(well_base_doubts_text(v.doubts, path_text(well_base_path(folder_))),
                              kWellBaseDoubtsTitle, MsgButtons::Ok, MsgIcon::Warning);
  Comb_Cyj_Mode->setEditText(qs(v.cyj_model));
  ParameterBoxes t = parameter_texts();
  for (std::size_t i = 0; i < v.boxes.size(); ++i) t[i] = v.boxes[i];
  if (v.box27) t[kActStroke] = *v.box27;
  set_parameter_texts(t);
  Option1_Click(v.balance_mode);
}

void BalanceAnalysis::prepare_held_stroke() {
  load_well_base();
  state.prm.crank_blocks = parse_count_box(s(Text2[kCrankBlocks]->text()));
  if (state.prm.crank_blocks < 1 || state.prm.crank_blocks > 8) Get_Dat_From_Phfx();
  const int failed = state.held.holds_stroke() ? fit_electric_regressions(state) : 0;
  for (int i = 0; i < failed; ++i) services().messages->show(kNoUniqueSolutionText, "");
  Run_PH_Analysis(0);
}

void BalanceAnalysis::sh_ow(SampleArray& uus1, SampleArray& iis1, SampleArray& pps1, SampleArray& qqs1,
                            SampleArray& sss1, SampleArray& ggs1, std::int16_t& gt_num1, std::int16_t& cs_fs1,
                            std::int16_t& DispCurveType1) {
  take_stroke(state.held, uus1.data(), iis1.data(), pps1.data(), qqs1.data(), sss1.data(), ggs1.data(), gt_num1,
              cs_fs1, DispCurveType1);
  if (!has_electric_stroke(DispCurveType1)) return;
  const TestState& st = main_.test();
  state.held.Cur_Well = trim_blanks(st.Text1[appended_box::kWell]);
  state.held.Cur_Test = trim_blanks(st.Text1[appended_box::kTestDate]);
  // A box without a number leaves the held value as it was.
  if (auto v = num_parse(st.Text3[result_box::kRmsCurrent])) state.held.Rms_I = static_cast<float>(*v);
  if (auto v = num_parse(st.Text3[result_box::kRmsPower])) state.held.Rms_P = static_cast<float>(*v);
  Text2[kActStroke]->setText(qs(st.Text3[result_box::kMeasuredStroke]));
  state.analysed = false;
  Comb_WellName->setEditText(qs(state.held.Cur_Well));
  Comb_TestTime->setEditText(qs(state.held.Cur_Test));
  prepare_held_stroke();
}

BalanceMode BalanceAnalysis::selected_mode() const {
  for (int i = 0; i < 3; ++i)
    if (Option1[static_cast<std::size_t>(i)]->isChecked()) return static_cast<BalanceMode>(i);
  return BalanceMode::None;
}

ParameterBoxes BalanceAnalysis::parameter_texts() const {
  ParameterBoxes t;
  for (std::size_t i = 0; i < t.size(); ++i) t[i] = s(Text2[i]->text());
  return t;
}

// Texts written by the program do not recompute the group totals (only typing does).
void BalanceAnalysis::set_parameter_texts(const ParameterBoxes& t) {
  const bool was = updating_groups_;
  updating_groups_ = true;
  for (std::size_t i = 0; i < t.size(); ++i)
    if (s(Text2[i]->text()) != t[i]) Text2[i]->setText(qs(t[i]));
  updating_groups_ = was;
}

void BalanceAnalysis::set_text1(const std::string& text) {
  text1_ = text;
  Text1->setPlainText(qs(text));
}

std::string BalanceAnalysis::Run_PH_Analysis(int step) {
  if (step == 0) {
    services().shell->beep();
    SSTab1->setCurrentIndex(1);
  }
  ParameterBoxes t = parameter_texts();
  AnalysisOptions opt;
  opt.mode = selected_mode();
  opt.write_files = Check2->isChecked();
  for (std::size_t i = 0; i < 3; ++i) opt.file_boxes[i] = s(Text4[i]->text());
  const AnalysisStepResult r = run_ph_analysis(state, t, step, opt);
  set_parameter_texts(t);  // the offset-angle estimate
  if (!r.ran) {
    if (!r.check_message.empty()) {
      set_text1(r.check_message);
      Cmd_Save->setEnabled(false);
    }
    return r.check_message;
  }
  write_intermediate_files(r.files);
  set_text1(state.advice);
  Disp_PH();
  Disp_Twist();
  Cmd_Save->setEnabled(true);
  return {};
}

void BalanceAnalysis::write_intermediate_files(const std::vector<IntermediateFile>& files) {
  // Written into the program folder; the files that cannot be written are named at the end.
  std::string failed;
  for (const IntermediateFile& f : files) {
    if (!write_balance_text(folder_.root / u8path(f.name), f.content))
      failed += (failed.empty() ? "" : "、") + f.name;
  }
  if (!failed.empty())
    services().messages->show("中间计算结果文件不能保存：" + failed, "", MsgButtons::Ok, MsgIcon::Warning);
}

// The charts are drawn when their page is shown: the analysis command turns to the advice
// page, so it waits only for the advice. Each drawing takes a copy of what it shows.
void BalanceAnalysis::Disp_PH() {
  Picture1->draw_when_shown([a = state, i = Disp_I_Flag, p = Disp_P_Flag](ImageCanvas& c) {
    draw_power_chart(c, a, i, p);
  });
}

void BalanceAnalysis::Disp_Twist() {
  adjust[0]->setVisible(true);
  // Before any analysis there are no predicted curves: the page stays empty.
  TorqueAnalysis t;
  if (state.analysed) t = compute_torques(state, static_cast<float>(num_val(s(Text2[kGearboxTorque]->text()))));
  Picture2->draw_when_shown([t = std::move(t), well = Trim_Blank_Nul(state.held.Cur_Well),
                             show = TorqueSwitches{Disp_NetT_Flag, Disp_LoadT_Flag, Disp_BalT_Flag}](ImageCanvas& c) {
    draw_torque_chart(c, t, well, show);
  });
}

// The name a save dialog proposes: the well's, when it can stand in a file name of the
// image folder, followed by the suffix.
std::string BalanceAnalysis::proposed_file_name(const std::string& suffix) const {
  const std::string well = Trim_Blank_Nul(state.held.Cur_Well);
  return (is_safe_file_stem(well, suffix.size()) ? well : std::string()) + suffix;
}

// Right button on a chart: save it as a BMP picture where the user chooses.
void BalanceAnalysis::save_chart(PictureBox* pic, const char* title, const char* suffix) {
  FileDialogRequest req;
  req.title = title;
  req.filter = "图片文件(*.BMP)|*.BMP";
  req.initial_dir = path_text(folder_.image());
  req.file_name = proposed_file_name(suffix);
  const std::string name = services().files->save_file(req);
  if (name.empty()) return;
  if (!pic->save_bmp(qs(name)))
    services().messages->show(picture_not_saved_text(name), "", MsgButtons::Ok, MsgIcon::Warning);
}

void BalanceAnalysis::Option1_Click(int index) {
  if (index < 0 || index > 2) return;
  Option1[static_cast<std::size_t>(index)]->setChecked(true);
  // Beam balance puts the beam frame in the crank frame's place (the layout closes up).
  Frame1->setVisible(index != 1);
  Frame2->setVisible(index != 0);
  Adj_Adj_Flag();
}

void BalanceAnalysis::Adj_Adj_Flag() {
  const BalanceMode m = selected_mode();
  if (m == BalanceMode::None) return;
  const bool crank = m != BalanceMode::Beam, beam = m != BalanceMode::Crank;
  adjust[1]->setVisible(crank);
  adjust[2]->setVisible(crank);
  adjust[3]->setVisible(beam);
  adjust[4]->setVisible(beam);
}

void BalanceAnalysis::Text2_Change(int index) {
  if (index == kGearboxTorque) {
    Disp_Twist();
  } else if (index >= group_pos(0) && index <= group_count(kCrankGroups - 1) && !updating_groups_) {
    ParameterBoxes t = parameter_texts();
    crank_group_totals(t);
    set_parameter_texts(t);
  }
}

void BalanceAnalysis::Comb_Cyj_Mode_Change() {
  const ModelNameFigures f = parse_model_name(s(Comb_Cyj_Mode->currentText()));
  Text2[kMaxStroke]->setText(qs(f.max_stroke));
  Text2[kGearboxTorque]->setText(qs(f.gearbox_torque));
}

void BalanceAnalysis::Label1_Click(int index) {
  switch (index) {
    case 0: Disp_NetT_Flag = !Disp_NetT_Flag; Disp_Twist(); break;
    case 1: Disp_LoadT_Flag = !Disp_LoadT_Flag; Disp_Twist(); break;
    case 2: Disp_BalT_Flag = !Disp_BalT_Flag; Disp_Twist(); break;
    case 6: Disp_I_Flag = !Disp_I_Flag; Disp_PH(); break;
    case 7: Disp_P_Flag = !Disp_P_Flag; Disp_PH(); break;
    default: break;
  }
}

void BalanceAnalysis::Check1_Click() { Crank_Groups->setVisible(Check1->isChecked()); }
void BalanceAnalysis::Check2_Click() { File_Names->setVisible(Check2->isChecked()); }

void BalanceAnalysis::Advice_Export() {
  FileDialogRequest req;
  req.title = "平衡调整建议另存为文本文件";
  req.filter = "文本文件(*.TXT)|*.TXT";
  req.initial_dir = path_text(folder_.image());
  req.file_name = proposed_file_name("井平衡建议.TXT");
  const std::string name = services().files->save_file(req);
  if (name.empty()) return;
  if (!write_balance_text(u8path(name), text1_ + "\r\n"))
    services().messages->show(text_file_not_saved_text(name), "", MsgButtons::Ok, MsgIcon::Warning);
}

bool BalanceAnalysis::eventFilter(QObject* obj, QEvent* ev) {
  if (ev->type() == QEvent::MouseButtonPress) {
    auto* me = static_cast<QMouseEvent*>(ev);
    if (obj == Text1->viewport() && me->button() == Qt::RightButton) {
      Advice_Export();
      return true;
    }
    for (std::size_t i = 0; i < Label1.size(); ++i)
      if (Label1[i] && obj == Label1[i] && me->button() == Qt::LeftButton) {
        Label1_Click(static_cast<int>(i));
        return true;
      }
  }
  if (ev->type() == QEvent::KeyPress) {
    auto* ke = static_cast<QKeyEvent*>(ev);
    for (int i = 0; i < kParameterBoxCount; ++i) {
      if (obj != Text2[static_cast<std::size_t>(i)]) continue;
      int step = 0;
      if (ke->key() == Qt::Key_Up) step = -1;
      if (ke->key() == Qt::Key_Down || ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) step = 1;
      if (step == 0) break;
      const int next = parameter_box_after(i, step);
      // A box whose frame is hidden cannot take the focus: it stays where it is.
      if (next >= 0 && Text2[static_cast<std::size_t>(next)]->isVisibleTo(this))
        Text2[static_cast<std::size_t>(next)]->setFocus();
      return true;
    }
  }
  return QWidget::eventFilter(obj, ev);
}

// ---- balance records ----

void BalanceAnalysis::show_boxes(const PhfxView& v, bool with_box27) {
  ParameterBoxes t = parameter_texts();
  // Every box but the actual stroke, which only a record that holds one replaces.
  for (int i = 0; i < kParameterBoxCount; ++i)
    if (i != kActStroke) t[static_cast<std::size_t>(i)] = v.boxes[static_cast<std::size_t>(i)];
  if (with_box27 && v.has_box27) t[kActStroke] = v.boxes[kActStroke];
  set_parameter_texts(t);
  Option1_Click(v.balance_mode);
}

// Text7 shows record r without showing it again (the record is what the window holds).
void BalanceAnalysis::set_record_number(std::size_t r) {
  Text7->blockSignals(true);
  Text7->setText(QString::number(r));
  Text7->blockSignals(false);
}

void BalanceAnalysis::Cmd_Save_Click() {
  if (!Cmd_Save->isEnabled()) return;
  // The analysis as shown; the save asks, checks and says what went wrong itself.
  const ParameterBoxes t = parameter_texts();
  const BalanceSaveResult r = save_balance_test(
      folder_, u8path(Phfx_File),
      {state.held, t, selected_mode(), s(Comb_Cyj_Mode->currentText()), state.balance_advice}, *services().messages);
  if (!r.record) return;
  Phfx_Rec = r.stored;
  set_record_number(r.record);
  Cmd_Save->setEnabled(false);
  Find_WellNmae_To_Comb();
}

void BalanceAnalysis::Text3_Change() {
  std::filesystem::path accepted;
  switch (check_phfx_library_box(s(Text3->text()), folder_, accepted, *services().messages)) {
    case LibraryBoxCheck::Ignored: return;
    case LibraryBoxCheck::Refused:
      Text3->blockSignals(true);
      Text3->clear();
      Text3->blockSignals(false);
      return;
    case LibraryBoxCheck::Accepted: break;
  }
  Phfx_File = path_text(accepted);
  Comb_WellName->clear();
  Find_WellNmae_To_Comb();
}

void BalanceAnalysis::Cmd_View_PHFX_Data_Click() {
  FileDialogRequest req;
  req.title = "打开平衡分析数据";
  req.filter = "平衡分析数据文件(*.dat)|*.dat|所有文件(*.*)|*.*";
  req.initial_dir = path_text(folder_.sys());
  const std::string name = services().files->open_file(req);
  if (!name.empty()) Text3->setText(qs(name));
}

void BalanceAnalysis::Find_WellNmae_To_Comb() {
  std::vector<std::string> listed;
  for (int i = 0; i < Comb_WellName->count(); ++i) listed.push_back(s(Comb_WellName->itemText(i)));
  const QString text = Comb_WellName->currentText();
  for (const std::string& w : phfx_wells_to_add(u8path(Phfx_File), listed)) Comb_WellName->addItem(qs(w));
  Comb_WellName->setEditText(text);
}

void BalanceAnalysis::Comb_WellName_Click() {
  std::vector<std::string> tests;
  if (phfx_tests(u8path(Phfx_File), s(Comb_WellName->currentText()), tests) != StoreStatus::Ok) tests.clear();
  Comb_TestTime->clear();
  for (const std::string& t : tests) Comb_TestTime->addItem(qs(t));
  Comb_TestTime->setEditText({});
  if (tests.size() == 1) {
    Comb_TestTime->setCurrentIndex(0);
    Comb_TestTime_Click();
  }
}

void BalanceAnalysis::Comb_TestTime_Click() {
  if (const std::size_t r = phfx_record_of(u8path(Phfx_File), s(Comb_WellName->currentText()),
                                           s(Comb_TestTime->currentText())))
    Text7->setText(QString::number(r));
}

void BalanceAnalysis::Text7_Change() {
  const PhfxShown shown = show_phfx_record(u8path(Phfx_File), s(Text7->text()), Chk_Load->isChecked(), Phfx_Rec);
  if (!shown.shown) return;
  if (shown.load_kept) Chk_Load->setChecked(false);
  BlcRecode_To_Text();
  const int failed = state.held.holds_stroke() ? fit_electric_regressions(state) : 0;
  for (int i = 0; i < failed; ++i) services().messages->show(kNoUniqueSolutionText, "");
  Run_PH_Analysis(0);
}

void BalanceAnalysis::BlcRecode_To_Text() {
  stroke_from_phfx(Phfx_Rec, state.held);
  state.analysed = false;
  Comb_WellName->setEditText(qs(state.held.Cur_Well));
  Comb_TestTime->setEditText(qs(state.held.Cur_Test));
  const PhfxView v = phfx_view(Phfx_Rec);
  Comb_Cyj_Mode->setEditText(qs(v.cyj_model));
  show_boxes(v, true);
  Adj_Adj_Flag();
}

void BalanceAnalysis::Get_Dat_From_Phfx() {
  PhfxRecord rec;
  std::size_t found = 0;
  if (find_phfx(u8path(Phfx_File), state.held.Cur_Well, state.held.Cur_Test, rec, found) != StoreStatus::Ok || !found)
    return;
  Phfx_Rec = rec;
  show_boxes(phfx_view(rec), true);
}

void BalanceAnalysis::Cmd_Review_Click(int index) {
  const std::filesystem::path lib = u8path(Phfx_File);
  if (index == 0 || index == 1) {
    if (const auto next = phfx_review_target(lib, s(Text7->text()), index)) Text7->setText(QString::number(*next));
    return;
  }
  const PhfxDeleteResult r = delete_phfx_record(lib, folder_, s(Text7->text()), *services().messages);
  if (!r.deleted) return;
  Comb_WellName->clear();
  Find_WellNmae_To_Comb();
  if (r.same_number)
    Text7_Change();  // the record after it took its number
  else
    Text7->setText(QString::number(r.next));
}

bool BalanceAnalysis::kill_jl(int first, int last, int row) {
  return delete_phfx_rows(u8path(Phfx_File), first, last, row, *services().messages);
}

}  // namespace wb
