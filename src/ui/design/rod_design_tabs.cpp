// The design window's input tabs: "基础数据" (well data Text6), "动态IPR曲线" (its wax boxes),
// "设计生产参数" (design boxes Text3, options), "杆管附件信息" and "井身结构数据" (Text10), and
// the keys and focus of their boxes.
#include <QApplication>
#include <QButtonGroup>
#include <QGridLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "core/design/workbench/fzq_table.h"
#include "platform/grid.h"
#include "platform/qt_text.h"
#include "ui/design/rod_design.h"
#include "ui/design/survey_frames.h"

namespace wb::design {
namespace {

const QColor kBoxGrey(224, 224, 224);
const QColor kBoxOrange(255, 224, 192);
constexpr int kBoxWidth = 62;
constexpr int kRowHeight = 21;

void paint(QWidget* w, const QColor& back, const QColor& text) {
  QPalette p = w->palette();
  p.setColor(QPalette::Base, back);
  p.setColor(QPalette::Text, text);
  w->setPalette(p);
}

QLineEdit* make_box(QWidget* parent, const QColor& back = kBoxGrey) {
  auto* b = new QLineEdit(parent);
  b->setFixedSize(kBoxWidth, kRowHeight);
  paint(b, back, Qt::black);
  return b;
}

QGridLayout* tight_grid(QWidget* w) {
  auto* g = new QGridLayout(w);
  g->setContentsMargins(4, 2, 4, 2);
  g->setHorizontalSpacing(4);
  g->setVerticalSpacing(1);
  return g;
}

// Key codes of the arrow keys as the boxes report them.
int key_code(const QKeyEvent* k) {
  switch (k->key()) {
    case Qt::Key_Up: return kKeyUp;
    case Qt::Key_Down: return kKeyDown;
    default: return 0;
  }
}

// The character code of a key press: 13 for Enter, the character otherwise, 0 for none.
int key_ascii(const QKeyEvent* k) {
  if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) return kEnterKey;
  const QString t = k->text();
  if (t.isEmpty()) return 0;
  return static_cast<int>(t.at(0).unicode());
}

// Table A: the rows of the design frames, top to bottom: caption, before box, after box.
struct DesignRow {
  const char* caption;
  int before;
  int after;
};
constexpr DesignRow kDesignRows[13] = {
    {"产液量 m^3", design_box::kRateBefore, design_box::kRateAfter},
    {"动液面   m", design_box::kLevelBefore, design_box::kLevelAfter},
    {"泵挂深度 m", design_box::kPumpDepthBefore, design_box::kPumpDepthAfter},
    {"泵 径   mm", design_box::kBoreBefore, design_box::kBoreAfter},
    {"冲  程   m", design_box::kStrokeBefore, design_box::kStrokeAfter},
    {"冲 次1/min", design_box::kSpmBefore, design_box::kSpmAfter},
    {"加重杆径mm", design_box::kSinkerDiaBefore, design_box::kSinkerDiaAfter},
    {"加重杆长 m", design_box::kSinkerLenBefore, design_box::kSinkerLenAfter},
    {"5/8'杆长 m", design_box::kRods58Before, design_box::kRods58After},
    {"6/8'杆长 m", design_box::kRods34Before, design_box::kRods34After},
    {"7/8'杆长 m", design_box::kRods78Before, design_box::kRods78After},
    {"1'  杆长 m", design_box::kRods1Before, design_box::kRods1After},
    {"1'1\"杆长 m", design_box::kRods118Before, design_box::kRods118After},
};
constexpr int kFirstSectionRow = 7;  // the sinker-bar length row; stress percentages start here

}  // namespace

// ---------------------------------------------------------------- tab 0 基础数据

QWidget* RodDesign::build_base_tab() {
  using namespace well_box;
  auto* page = new QWidget;
  auto* lay = new QGridLayout(page);
  lay->setContentsMargins(2, 2, 2, 2);
  struct Box {
    int index;
    const char* caption;
  };
  auto frame = [this, page](const char* title, std::initializer_list<Box> boxes) {
    auto* f = new QGroupBox(qs(title), page);
    auto* g = tight_grid(f);
    int r = 0;
    for (const Box& b : boxes) {
      if (b.index < 0) {
        g->addWidget(new QLabel(qs(b.caption), f), r++, 0, 1, 2);
        continue;
      }
      const bool orange = b.index == kUsefulPower || (b.index >= kInputPowerAfter && b.index <= kMotorDemandAfter);
      auto* box = make_box(f, orange ? kBoxOrange : kBoxGrey);
      Text6[static_cast<std::size_t>(b.index)] = box;
      g->addWidget(new QLabel(qs(b.caption), f), r, 0);
      g->addWidget(box, r++, 1);
    }
    g->setRowStretch(r, 1);
    return f;
  };
  lay->addWidget(frame("原油物性数据",
                       {{kStaticPressure, "油层静压 MPa"},
                        {kBubblePressure, "饱和压力 MPa"},
                        {kGasOilRatio, "气油比 m^3/t"},
                        {kOilViscosityDown, "地下油粘度mPa.S"},
                        {kOilViscositySurface, "地面油粘度mPa.S"},
                        {kOilDensitySurface, "地面油比重t/m^3"},
                        {kOilDensityDown, "地下油比重t/m^3"},
                        {kWaterCut, "原油含水率 %"},
                        {kProductivity, "采液指数t/MPa"},
                        {kWellheadTemp, "井口温度  ℃"},
                        {kLayerTemp, "出油层温度 ℃"}}),
                 0, 0);
  lay->addWidget(frame("杆管载荷数据",
                       {{kFlowingPressure, "井底流压 MPa"},
                        {kTubingPressure, "井口油压 MPa"},
                        {kCasingPressure, "井口套压 MPa"},
                        {kLayerMidDepth, "油层中深 m"},
                        {kTubingInnerDia, "油管内径 mm"},
                        {kPlungerStroke, "柱塞冲程 m"},
                        {kEffectiveStroke, "有效冲程 m"},
                        {kMaxLoad, "最大载荷 kN"},
                        {kMinLoad, "最小载荷 kN"},
                        {kLoadFactorUp, "上行载荷系数"},
                        {kLoadFactorDown, "下行载荷系数"}}),
                 0, 1);
  lay->addWidget(frame("   设计前功率数据",
                       {{kInputPower, "输入功率 kW"},
                        {kRodPower, "光杆功率 kW"},
                        {kUsefulPower, "有效功率 kW"},
                        {kMotorRatedPower, "电机额定功率"},
                        {kMotorEfficiency, "电机额定效率"},
                        {kRmsPower, "均方根功率kW"},
                        {-1, "  设计后功率数据"},
                        {kInputPowerAfter, "输入功率 kW"},
                        {kRodPowerAfter, "光杆功率 kW"},
                        {kUsefulPowerAfter, "有效功率 kW"},
                        {kMotorDemandAfter, "电机功率需求"}}),
                 0, 2);
  Cmd_Reflush = new QPushButton(QStringLiteral("更新相关参数"), page);
  lay->addWidget(Cmd_Reflush, 1, 2, Qt::AlignRight);
  connect(Cmd_Reflush, &QPushButton::clicked, this, [this] { Cmd_Reflush_Click(); });
  return page;
}

// ---------------------------------------------------------------- tab 2 动态IPR曲线

QWidget* RodDesign::build_ipr_tab() {
  auto* page = new QWidget;
  auto* lay = new QGridLayout(page);
  lay->setContentsMargins(2, 2, 2, 2);
  ipr_area = new QWidget(page);
  lay->addWidget(ipr_area, 0, 0, 1, 6);
  lay->setColumnStretch(4, 1);
  lay->setRowStretch(0, 1);
  lay->addWidget(new QLabel(QStringLiteral("原油含蜡量 %"), page), 1, 0);
  Text6[well_box::kWaxContent] = make_box(page);
  lay->addWidget(Text6[well_box::kWaxContent], 1, 1);
  lay->addWidget(new QLabel(QStringLiteral("析蜡温度  ℃"), page), 1, 2);
  Text6[well_box::kWaxTemp] = make_box(page);
  lay->addWidget(Text6[well_box::kWaxTemp], 1, 3);
  Cmd_Redraw_IPR = new QPushButton(QStringLiteral("更新IPR曲线"), page);
  lay->addWidget(Cmd_Redraw_IPR, 1, 5);
  connect(Cmd_Redraw_IPR, &QPushButton::clicked, this, [this] { Cmd_Redraw_IPR_Click(); });
  return page;
}

// ---------------------------------------------------------------- tab 3 设计生产参数

QWidget* RodDesign::build_design_tab() {
  auto* page = new QWidget;
  auto* lay = new QGridLayout(page);
  lay->setContentsMargins(2, 2, 2, 2);
  lay->setHorizontalSpacing(4);

  auto design_frame = [this, page](const char* title, bool before) {
    auto* f = new QGroupBox(qs(title), page);
    auto* g = tight_grid(f);
    g->addWidget(new QLabel(QStringLiteral("应力百分比"), f), 0, 2);
    for (int r = 0; r < 13; ++r) {
      const DesignRow& row = kDesignRows[r];
      const int i = before ? row.before : row.after;
      auto* box = make_box(f);
      Text3[static_cast<std::size_t>(i)] = box;
      box->installEventFilter(this);
      g->addWidget(new QLabel(qs(row.caption), f), r + 1, 0);
      g->addWidget(box, r + 1, 1);
      if (r >= kFirstSectionRow) {
        auto* pct = new QLabel(f);
        pct->setMinimumWidth(40);
        const int first = before ? design_label::kStressBefore : design_label::kStressAfter;
        Label3[static_cast<std::size_t>(first + r - kFirstSectionRow)] = pct;
        g->addWidget(pct, r + 1, 2);
      }
    }
    return f;
  };
  lay->addWidget(design_frame("设计前参数", true), 0, 0, 2, 1);
  lay->addWidget(design_frame("设计后参数", false), 0, 1, 2, 1);

  // Efficiencies and the design pump efficiency.
  auto* side = new QWidget(page);
  auto* sg = tight_grid(side);
  for (int i : {0, 1, 2, 3, 4, 5, 12, 13}) Label3[static_cast<std::size_t>(i)] = new QLabel(side);
  Label3[0]->setText(QStringLiteral("最小许用应力MPa"));
  Label3[1]->setText(QStringLiteral("按有效冲程计算的泵效"));
  Label3[2]->setText(QStringLiteral("设计使用泵效"));
  Label3[4]->setText(QStringLiteral("原始系统效率 (%)"));
  Label3[12]->setText(QStringLiteral("设计系统效率 (%)"));
  Text2 = make_box(side);
  Text2->installEventFilter(this);
  sg->addWidget(Label3[1], 0, 0);
  sg->addWidget(Label3[design_label::kStrokePumpEff], 0, 1);
  sg->addWidget(Label3[2], 1, 0);
  sg->addWidget(Text2, 1, 1);
  sg->addWidget(Label3[4], 2, 0);
  sg->addWidget(Label3[design_label::kSystemEffBefore], 2, 1);
  sg->addWidget(Label3[12], 3, 0);
  sg->addWidget(Label3[design_label::kSystemEffAfter], 3, 1);
  lay->addWidget(side, 0, 2);

  // Rod grade.
  auto* grade = new QGroupBox(QStringLiteral("杆级选择"), page);
  auto* gg = tight_grid(grade);
  const char* grades[5] = {"C级杆", "D级杆", "K级杆", "H级杆", "其它杆"};
  auto* grade_group = new QButtonGroup(grade);
  for (int k = 0; k < 5; ++k) {
    grade_options[static_cast<std::size_t>(k)] = new QRadioButton(qs(grades[k]), grade);
    grade_group->addButton(grade_options[static_cast<std::size_t>(k)], k + 4);
    gg->addWidget(grade_options[static_cast<std::size_t>(k)], k / 3, k % 3);
  }
  gg->addWidget(Label3[0], 2, 0, 1, 2);
  Text4 = make_box(grade);
  Text4->installEventFilter(this);
  gg->addWidget(Text4, 2, 2);
  gg->addWidget(new QLabel(QStringLiteral("应力使用  系  数"), grade), 3, 0, 1, 2);
  Text5 = make_box(grade);
  Text5->installEventFilter(this);
  gg->addWidget(Text5, 3, 2);
  lay->addWidget(grade, 1, 2);
  connect(grade_group, &QButtonGroup::idClicked, this, [this](int option) {
    if (syncing_) return;
    core.select_grade(option);
    sync_to_widgets();
    apply_focus();
  });

  DesignCom = new QPushButton(QStringLiteral("重新设计"), page);
  lay->addWidget(DesignCom, 2, 2, Qt::AlignRight);
  connect(DesignCom, &QPushButton::clicked, this, [this] { DesignCom_Click(); });

  // The design-mode options sit out of view: only a loaded design changes them.
  design_options = new QGroupBox(QStringLiteral("设计选项"), page);
  design_options->hide();
  auto* ol = new QVBoxLayout(design_options);
  Option2 = new QRadioButton(QStringLiteral("最轻杆设计"), design_options);
  Option3 = new QRadioButton(QStringLiteral("等强杆设计"), design_options);
  Option1[0] = new QRadioButton(QStringLiteral("1'7\"6\"设计"), design_options);
  Option1[1] = new QRadioButton(QStringLiteral("7\"6\"5\"设计"), design_options);
  auto* mode_group = new QButtonGroup(design_options);
  mode_group->addButton(Option2);
  mode_group->addButton(Option3);
  auto* series_group = new QButtonGroup(design_options);
  series_group->addButton(Option1[0], 0);
  series_group->addButton(Option1[1], 1);
  for (QWidget* w : {static_cast<QWidget*>(Option2), static_cast<QWidget*>(Option3),
                     static_cast<QWidget*>(Option1[0]), static_cast<QWidget*>(Option1[1])})
    ol->addWidget(w);
  connect(Option2, &QRadioButton::clicked, this, [this] {
    if (syncing_) return;
    core.select_mode(true);
    sync_to_widgets();
    apply_focus();
  });
  connect(Option3, &QRadioButton::clicked, this, [this] {
    if (syncing_) return;
    core.select_mode(false);
    sync_to_widgets();
    apply_focus();
  });
  connect(series_group, &QButtonGroup::idClicked, this, [this](int index) {
    if (syncing_) return;
    core.select_Option1(index);
    sync_to_widgets();
    apply_focus();
  });
  return page;
}

// ---------------------------------------------------------------- tab 5 杆管附件信息

QWidget* RodDesign::build_tools_tab() {
  auto* page = new QWidget;
  auto* g = tight_grid(page);
  g->addWidget(new QLabel(QStringLiteral("名  称"), page), 0, 0);
  g->addWidget(new QLabel(QStringLiteral("设计前"), page), 0, 1, 1, 2);
  g->addWidget(new QLabel(QStringLiteral("设计后"), page), 0, 3, 1, 2);
  int r = 1;
  auto pair_row = [&](const QString& caption, QLineEdit* before, QLineEdit* after) {
    g->addWidget(new QLabel(caption, page), r, 0);
    g->addWidget(before, r, 2);
    g->addWidget(after, r, 4);
    ++r;
  };
  auto ten = [&](int i) {
    auto* b = make_box(page);
    Text10[static_cast<std::size_t>(i)] = b;
    return b;
  };
  Text3[design_box::kBackOffBefore] = make_box(page);
  Text3[design_box::kBackOffAfter] = make_box(page);
  Text3[design_box::kBackOffBefore]->installEventFilter(this);
  Text3[design_box::kBackOffAfter]->installEventFilter(this);
  pair_row(QStringLiteral("油杆防脱器1"), Text3[design_box::kBackOffBefore], Text3[design_box::kBackOffAfter]);
  for (int k = 0; k < 3; ++k) pair_row(QStringLiteral("油杆防脱器%1").arg(k + 2), ten(16 + k), ten(33 + k));
  for (int k = 0; k < 4; ++k) pair_row(QStringLiteral("油管扶正器%1").arg(k + 1), ten(19 + k), ten(36 + k));
  // Downhole tools: a name box and a depth box before and after.
  auto tool_row = [&](int t, int before, int after) {
    g->addWidget(new QLabel(QStringLiteral("井下工具%1").arg(t), page), r, 0);
    g->addWidget(ten(before), r, 1);
    g->addWidget(ten(before + 1), r, 2);
    g->addWidget(ten(after), r, 3);
    g->addWidget(ten(after + 1), r, 4);
    ++r;
  };
  for (int t = 1; t <= 5; ++t) tool_row(t, 23 + 2 * (t - 1), 40 + 2 * (t - 1));
  // Tools 6 to 10 in a second column pair, so the tab fits the window.
  const int top = r;
  for (int t = 6; t <= 10; ++t) {
    const int row = 1 + (t - 6);
    g->addWidget(new QLabel(QStringLiteral("井下工具%1").arg(t), page), row, 6);
    g->addWidget(ten(53 + 2 * (t - 6)), row, 7);
    g->addWidget(ten(54 + 2 * (t - 6)), row, 8);
    g->addWidget(ten(63 + 2 * (t - 6)), row, 9);
    g->addWidget(ten(64 + 2 * (t - 6)), row, 10);
  }
  g->addWidget(new QLabel(QStringLiteral("设计前"), page), 0, 7, 1, 2);
  g->addWidget(new QLabel(QStringLiteral("设计后"), page), 0, 9, 1, 2);
  g->setColumnMinimumWidth(5, 12);
  g->setRowStretch(top, 1);
  g->setColumnStretch(11, 1);
  return page;
}

// ---------------------------------------------------------------- tab 6 井身结构数据

QWidget* RodDesign::build_structure_tab() {
  auto* page = new QWidget;
  auto* lay = new QHBoxLayout(page);
  lay->setContentsMargins(2, 2, 2, 2);
  auto* info = new QGroupBox(QStringLiteral("井身结构信息"), page);
  auto* g = tight_grid(info);
  const char* captions[16] = {"完井日期", "生产层位", "套 补 距", "油 补 距", "联入深度", "完钻井深",
                              "人工井底", "水泥返高", "射孔井段上界", "射孔井段下界", "表层套管直径", "下入深度",
                              "油层套管直径", "下入深度", "技术套管直径", "下入深度"};
  for (int i = 0; i < 16; ++i) {
    auto* b = make_box(info);
    b->setFixedWidth(78);
    Text10[static_cast<std::size_t>(i)] = b;
    const int row = i < 10 ? i / 2 : 5 + (i - 10) / 2;
    const int col = (i % 2) * 2;
    g->addWidget(new QLabel(qs(captions[i]), info), row, col);
    g->addWidget(b, row, col + 1);
  }
  g->setRowStretch(8, 1);
  lay->addWidget(info, 3);

  auto* notes = new QGroupBox(QStringLiteral("技术要求及设计说明"), page);
  auto* ng = tight_grid(notes);
  Text10_notes = new QPlainTextEdit(notes);
  paint(Text10_notes, kBoxGrey, Qt::black);
  ng->addWidget(Text10_notes, 0, 0, 1, 2);
  ng->addWidget(new QLabel(QStringLiteral("设计单位"), notes), 1, 0);
  Text10[tool_box::kUnit] = make_box(notes);
  Text10[tool_box::kUnit]->setFixedWidth(120);
  ng->addWidget(Text10[tool_box::kUnit], 1, 1);
  ng->addWidget(new QLabel(QStringLiteral("设计人"), notes), 2, 0);
  Text10[tool_box::kDesigner] = make_box(notes);
  Text10[tool_box::kDesigner]->setFixedWidth(120);
  ng->addWidget(Text10[tool_box::kDesigner], 2, 1);
  lay->addWidget(notes, 2);

  return page;
}

// ---------------------------------------------------------------- mirror and focus

// Edits go straight into the state; a well-data box runs its change handler.
void RodDesign::wire_boxes() {
  for (std::size_t i = 0; i < Text10.size(); ++i) {
    if (!Text10[i]) continue;
    connect(Text10[i], &QLineEdit::textEdited, this, [this, i](const QString& t) { st.Text10[i] = t.toStdString(); });
  }
  connect(Text10_notes, &QPlainTextEdit::textChanged, this, [this] {
    if (!syncing_) st.Text10[tool_box::kNotes] = Text10_notes->toPlainText().toStdString();
  });
  for (std::size_t i = 0; i < Text3.size(); ++i)
    connect(Text3[i], &QLineEdit::textEdited, this, [this, i](const QString& t) { st.Text3[i] = t.toStdString(); });
  for (std::size_t i = 0; i < Text6.size(); ++i)
    connect(Text6[i], &QLineEdit::textEdited, this, [this, i](const QString& t) {
      set_Text6(st, static_cast<int>(i), t.toStdString());
      syncing_ = true;
      Text6[well_box::kLoadFactorUp]->setText(qs(st.Text6[well_box::kLoadFactorUp]));
      Text6[well_box::kLoadFactorDown]->setText(qs(st.Text6[well_box::kLoadFactorDown]));
      syncing_ = false;
    });
  connect(Text2, &QLineEdit::textEdited, this, [this](const QString& t) { st.Text2 = t.toStdString(); });
  connect(Text4, &QLineEdit::textEdited, this, [this](const QString& t) { st.Text4 = t.toStdString(); });
  connect(Text5, &QLineEdit::textEdited, this, [this](const QString& t) { st.Text5 = t.toStdString(); });
}

void RodDesign::sync_to_widgets() {
  syncing_ = true;
  auto set = [](QLineEdit* e, const std::string& t) {
    if (e && e->text() != qs(t)) {
      e->setText(qs(t));
      e->setCursorPosition(0);  // a loaded text keeps its field's padding: show its beginning
    }
  };
  for (std::size_t i = 0; i < Text3.size(); ++i) set(Text3[i], st.Text3[i]);
  for (std::size_t i = 0; i < Text6.size(); ++i) set(Text6[i], st.Text6[i]);
  for (std::size_t i = 0; i < Text10.size(); ++i) set(Text10[i], st.Text10[i]);
  const std::string& notes = st.Text10[tool_box::kNotes];
  if (Text10_notes->toPlainText() != qs(notes)) Text10_notes->setPlainText(qs(notes));
  for (std::size_t i = 0; i < Label3.size(); ++i)
    if (Label3[i] && i != 0 && i != 1 && i != 2 && i != 4 && i != 12) Label3[i]->setText(qs(st.Label3[i]));
  set(Text2, st.Text2);
  set(Text4, st.Text4);
  set(Text5, st.Text5);
  if (JName_Comb->currentText() != qs(st.JName_Comb)) JName_Comb->setEditText(qs(st.JName_Comb));
  if (Date_Comb->currentText() != qs(st.Date_Comb)) Date_Comb->setEditText(qs(st.Date_Comb));
  if (CyjType_Comb->currentText() != qs(st.CyjType_Comb)) {
    CyjType_Comb->setEditText(qs(st.CyjType_Comb));
    if (CyjType_Comb->lineEdit()) CyjType_Comb->lineEdit()->setCursorPosition(0);
  }
  Option2->setChecked(st.Option2);
  Option3->setChecked(!st.Option2);
  Option1[static_cast<std::size_t>(st.Option1 == 1 ? 1 : 0)]->setChecked(true);
  for (QRadioButton* o : Option1) o->setEnabled(st.series_enabled);
  for (int k = 0; k < 5; ++k) {
    QRadioButton* o = grade_options[static_cast<std::size_t>(k)];
    o->setEnabled(st.grades_enabled);
    if (st.rod_grade == k + 4) o->setChecked(true);
  }
  if (st.rod_grade == 0) {
    // No grade chosen: clear the group's choice.
    for (QRadioButton* o : grade_options) {
      o->setAutoExclusive(false);
      o->setChecked(false);
      o->setAutoExclusive(true);
    }
  }
  Text4->setEnabled(st.grades_enabled);
  Text5->setEnabled(st.grades_enabled);
  syncing_ = false;
  refresh_fzq();
  refresh_survey();
}

void RodDesign::apply_focus() {
  QWidget* target = nullptr;
  if (st.text3_focus >= 0 && st.text3_focus < static_cast<int>(Text3.size()))
    target = Text3[static_cast<std::size_t>(st.text3_focus)];
  else if (st.other_focus == 2)
    target = Text2;
  else if (st.other_focus == 4)
    target = Text4;
  else if (st.other_focus == 5)
    target = Text5;
  else if (st.text6_focus >= 0 && st.text6_focus < static_cast<int>(Text6.size()))
    target = Text6[static_cast<std::size_t>(st.text6_focus)];
  st.text3_focus = -1;
  st.other_focus = 0;
  st.text6_focus = -1;
  if (!target) return;
  // A box on another tab brings its tab forward first.
  for (int t = 0; t < SSTab1->count(); ++t)
    if (SSTab1->widget(t)->isAncestorOf(target)) SSTab1->setCurrentIndex(t);
  target->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------- key and focus events

bool RodDesign::text3_event(int i, QEvent* ev) {
  QLineEdit* box = Text3[static_cast<std::size_t>(i)];
  switch (ev->type()) {
    case QEvent::FocusIn: paint(box, QColor(0, 0, 255), Qt::white); return false;
    case QEvent::FocusOut: paint(box, kBoxGrey, Qt::black); return false;
    case QEvent::KeyPress: {
      auto* k = static_cast<QKeyEvent*>(ev);
      if (const int code = key_code(k)) {
        core.Text3_KeyDown(i, code);
        apply_focus();
        return true;
      }
      if (key_ascii(k) == kEnterKey) {
        st.Text3[static_cast<std::size_t>(i)] = box->text().toStdString();
        core.Text3_KeyPress(i, kEnterKey);
        sync_to_widgets();
        apply_focus();
        return true;
      }
      return false;
    }
    default: return false;
  }
}

bool RodDesign::small_box_event(QLineEdit* box, QEvent* ev) {
  if (ev->type() != QEvent::KeyPress) return false;
  if (key_ascii(static_cast<QKeyEvent*>(ev)) != kEnterKey) return false;
  if (box == Text2) {
    st.Text2 = box->text().toStdString();
    core.Text2_KeyPress(kEnterKey);
  } else if (box == Text4) {
    st.Text4 = box->text().toStdString();
    core.Text4_KeyPress(kEnterKey);
  } else {
    st.Text5 = box->text().toStdString();
    core.Text5_KeyPress(kEnterKey);
  }
  sync_to_widgets();
  apply_focus();
  return true;
}

bool RodDesign::eventFilter(QObject* obj, QEvent* ev) {
  for (std::size_t i = 0; i < Text3.size(); ++i)
    if (obj == Text3[i]) return text3_event(static_cast<int>(i), ev);
  if (obj == Text2 || obj == Text4 || obj == Text5) return small_box_event(static_cast<QLineEdit*>(obj), ev);
  if (obj == txtEdit && ev->type() == QEvent::KeyPress) return txtEdit_event(static_cast<QKeyEvent*>(ev));
  if (obj == Grid2 && !cell_editor_placed_ && (ev->type() == QEvent::Move || ev->type() == QEvent::Resize)) {
    set_cell_editor_geometry(1);
    return false;
  }
  if (obj == Grid2->viewport() && ev->type() == QEvent::MouseButtonRelease) {
    auto* m = static_cast<QMouseEvent*>(ev);
    Grid2_MouseUp(m->button(), m->globalPosition().toPoint());
    return false;
  }
  const bool jname = obj == JName_Comb || obj == JName_Comb->lineEdit();
  const bool model = obj == CyjType_Comb || obj == CyjType_Comb->lineEdit();
  if ((jname || model) && ev->type() == QEvent::KeyPress) {
    const int code = key_ascii(static_cast<QKeyEvent*>(ev));
    if (code == 0) return false;
    if (jname) {
      JName_Comb_KeyPress(code);
      return code == kEnterKey;
    }
    CyjType_Comb_KeyPress(code);
    return code == kEnterKey;
  }
  return QWidget::eventFilter(obj, ev);
}

}  // namespace wb::design
