#include "platform/qt_text.h"
#include "platform/screen_fit.h"
#include "ui/efficiency/sys_effi_analysis.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

#include "core/common/paths.h"
#include "core/common/record_browser.h"
#include "core/common/stroke.h"
#include "core/records/cyj_mode_lists.h"
#include "core/efficiency/effi_calc.h"
#include "core/efficiency/effi_hand_over.h"
#include "core/records/gt_ym_record.h"
#include "platform/combo_box.h"
#include "platform/services_qt.h"
#include "ui/workbench/analysis_windows.h"

namespace wb {
namespace {

// Caption of each box (boxes 31..46 show it as their tooltip).
constexpr std::array<const char*, kEffiBoxCount> kBoxCaptions = {
    "井号",          "区块单元",      "抽油机型号",    "电动机型号",    "泵   径 mm",    "日 产 液 t",
    "含 水 率 %",    "日产油量 t",    "气油比  m3/t",  "粘 度  mPa.s",  "井口温度 ℃",    "1'  杆长 m",
    "7/8'杆长 m",    "6/8'杆长 m",    "5/8'杆长 m",    "产液密度t/m3",  "井口油压 Mpa",  "井口套压 Mpa",
    "动 液 面 (m)",  "泵挂深度 (m)",  "沉 没 度 (m)",  "标称冲程 (m)",  "标称冲次1/min", "日期",
    "1'1 杆长 m",    "输入功率(kW)",  "光杆功率(kW)",  "有效功率(kW)",  "地面效率 (%)",  "井下效率 (%)",
    "系统效率 (%)",  "I上/I下",       "P上/P下",       "泵  效",        "平均电压",      "平均电流",
    "视在功率",      "无功功率",      "功率因数",      "均方根电流",    "均方根功率",    "实测冲程",
    "实测冲次",      "理论最大负荷",  "理论最小负荷",  "实际最大负荷",  "实际最小负荷",  "加重杆长 m",
    "加重杆径mm"};
// Short labels of boxes 31..46 in the frame xl_tab.
constexpr std::array<const char*, 16> kXlLabels = {"I上/I下",  "P上/P下",  "泵  效",   "平均电压", "平均电流", "视在功率",
                                                   "无功功率", "功率因数", "均方根电", "均方根功", "实测冲程", "实测冲次",
                                                   "理论最大", "理论最小", "实际最大", "实际最小"};

// Boxes at tab positions 1..32; box 2 sits at 51 and boxes 31..46 at 52..67.
constexpr std::array<int, 32> kTabOrder = {3,  1,  0,  23, 5,  6,  7,  24, 11, 12, 13, 14, 47, 48, 4,  8,
                                           9,  10, 15, 16, 17, 18, 19, 20, 21, 22, 25, 26, 27, 28, 29, 30};
constexpr int kBox2TabPosition = 51;
constexpr int kFirstXlTabPosition = 52;

// Design colours of the boxes: light grey for the keys, the required inputs and the copied
// powers, light orange for the other inputs and results, the default for the rest.
const QColor kGrey(224, 224, 224);
const QColor kOrange(255, 224, 192);
const QColor kFocusBack(0, 0, 255);      // palette colour 9
const QColor kFocusText(255, 255, 255);  // palette colour 15
constexpr std::array<int, 10> kGreyBoxes = {effi_box::kWell,          effi_box::kLiquidRate,  effi_box::kWaterCut,
                                            effi_box::kLiquidDensity, effi_box::kTubingPress, effi_box::kCasingPress,
                                            effi_box::kFluidLevel,    effi_box::kTestTime,    effi_box::kInputPower,
                                            effi_box::kRodPower};

bool is_grey_box(int i) { return std::find(kGreyBoxes.begin(), kGreyBoxes.end(), i) != kGreyBoxes.end(); }
bool is_default_box(int i) {
  return i == effi_box::kCyjModel || (i >= effi_box::kMaxCurrentPair && i <= effi_box::kRealMinLoad);
}

constexpr int kEnter = 13;

void paint_box(QLineEdit* e, const QColor& back, const QColor& text) {
  QPalette p = e->palette();
  p.setColor(QPalette::Base, back);
  p.setColor(QPalette::Text, text);
  e->setPalette(p);
}

}  // namespace

std::function<void()>& sys_effi_assemble_opener() {
  static std::function<void()> open;
  return open;
}

int SysEffiAnalysis::tab_position(int box) {
  if (box == 2) return kBox2TabPosition;
  if (box >= 31 && box <= 46) return kFirstXlTabPosition + box - 31;
  for (std::size_t k = 0; k < kTabOrder.size(); ++k)
    if (kTabOrder[k] == box) return static_cast<int>(k) + 1;
  return 0;
}

SysEffiAnalysis::SysEffiAnalysis(MainWindowLink& main, QWidget* parent) : QWidget(parent), main_(main) {
  setWindowTitle(QStringLiteral("单井系统效率分析界面"));
  setAttribute(Qt::WA_DeleteOnClose);
  build_ui();
  Form_Load();
  fit_to_screen(this);
}

QLineEdit* SysEffiAnalysis::make_box(int i, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(QStringLiteral("Text1_%1").arg(i));
  e->setAutoFillBackground(true);
  e->setMinimumWidth(70);
  if (i >= 31 && i <= 46) e->setToolTip(QString::fromUtf8(kBoxCaptions[static_cast<std::size_t>(i)]));
  if (!is_default_box(i)) paint_box(e, is_grey_box(i) ? kGrey : kOrange, QColor(0, 0, 0));
  e->installEventFilter(this);
  connect(e, &QLineEdit::textEdited, this,
          [this, i](const QString& t) { st.Text1[static_cast<std::size_t>(i)] = t.toStdString(); });
  connect(e, &QLineEdit::textChanged, this, [this, i] { Text1_Change(i); });
  Text1[static_cast<std::size_t>(i)] = e;
  return e;
}

// One caption above its box, in a grid of `columns` pairs.
static void place(QGridLayout* g, QWidget* label, QWidget* box, int slot, int columns) {
  g->addWidget(label, (slot / columns) * 2, slot % columns);
  g->addWidget(box, (slot / columns) * 2 + 1, slot % columns);
}

// One caption left of its box, in a grid of `columns` pairs.
static void place_beside(QGridLayout* g, QWidget* label, QWidget* box, int slot, int columns) {
  g->addWidget(label, slot / columns, (slot % columns) * 2);
  g->addWidget(box, slot / columns, (slot % columns) * 2 + 1);
}

QGroupBox* SysEffiAnalysis::build_base_frame() {
  Frame_Base = new QGroupBox(QStringLiteral("基础数据"), this);
  auto* g = new QGridLayout(Frame_Base);
  g->setContentsMargins(6, 6, 6, 6);
  g->setHorizontalSpacing(6);
  g->setVerticalSpacing(8);
  constexpr int kColumns = 2;
  // The unit model first: its list over the hidden box 2.
  Comb_CyjMode = new ModelCombo(Frame_Base);
  Comb_CyjMode->setObjectName(QStringLiteral("Comb_CyjMode"));
  Comb_CyjMode->setEditable(true);
  Comb_CyjMode->setInsertPolicy(QComboBox::NoInsert);
  choose_from_list_only(Comb_CyjMode);
  Comb_CyjMode->on_drop_down = [this] { Comb_CyjMode_DropDown(); };
  Comb_CyjMode->lineEdit()->installEventFilter(this);
  connect(Comb_CyjMode, &QComboBox::activated, this, [this] { Comb_CyjMode_Click(); });
  QLineEdit* box2 = make_box(2, Frame_Base);
  box2->setFocusPolicy(Qt::NoFocus);
  box2->hide();
  g->addWidget(new QLabel(QString::fromUtf8(kBoxCaptions[2]), Frame_Base), 0, 0);
  g->addWidget(Comb_CyjMode, 0, 1, 1, 3);
  int slot = kColumns;
  for (int i : kTabOrder) {
    if (i == 25) break;  // the powers and results that follow have their own frame
    place_beside(g, new QLabel(QString::fromUtf8(kBoxCaptions[static_cast<std::size_t>(i)]), Frame_Base),
                 make_box(i, Frame_Base), slot++, kColumns);
  }
  g->setRowStretch(slot / kColumns + 1, 1);
  return Frame_Base;
}

QGroupBox* SysEffiAnalysis::build_effi_frame() {
  Frame_Effi = new QGroupBox(QStringLiteral("系统效率"), this);
  auto* g = new QGridLayout(Frame_Effi);
  g->setContentsMargins(4, 4, 4, 4);
  g->setHorizontalSpacing(6);
  g->setVerticalSpacing(1);
  for (int i = 25; i <= 30; ++i)
    place(g, new QLabel(QString::fromUtf8(kBoxCaptions[static_cast<std::size_t>(i)]), Frame_Effi),
          make_box(i, Frame_Effi), i - 25, 3);
  return Frame_Effi;
}

QGroupBox* SysEffiAnalysis::build_xl_tab() {
  xl_tab = new QGroupBox(QStringLiteral("测试及计算结果"), this);
  xl_tab->setObjectName(QStringLiteral("xl_tab"));
  auto* g = new QGridLayout(xl_tab);
  g->setContentsMargins(4, 4, 4, 4);
  g->setHorizontalSpacing(6);
  g->setVerticalSpacing(1);
  for (int i = 31; i <= 46; ++i) {
    auto* lbl = new QLabel(QString::fromUtf8(kXlLabels[static_cast<std::size_t>(i - 31)]), xl_tab);
    place(g, lbl, make_box(i, xl_tab), i - 31, 4);
  }
  return xl_tab;
}

QGroupBox* SysEffiAnalysis::build_query_frame() {
  Frame_Query = new QGroupBox(QStringLiteral("数据查询"), this);
  auto* g = new QGridLayout(Frame_Query);
  g->setContentsMargins(4, 4, 4, 4);
  g->setSpacing(3);
  Text3 = new QLineEdit(Frame_Query);
  Text3->setObjectName(QStringLiteral("Text3"));
  Cmd_View_Effi_Data = new QPushButton(QStringLiteral("浏览"), Frame_Query);
  Comb_WellName = new QComboBox(Frame_Query);
  Comb_WellName->setObjectName(QStringLiteral("Comb_WellName"));
  Comb_WellName->setEditable(true);
  choose_from_list_only(Comb_WellName);
  Comb_TestTime = new QComboBox(Frame_Query);
  Comb_TestTime->setObjectName(QStringLiteral("Comb_TestTime"));
  Comb_TestTime->setEditable(true);
  choose_from_list_only(Comb_TestTime);
  Text7 = new QLineEdit(Frame_Query);
  Text7->setObjectName(QStringLiteral("Text7"));
  Text7->setMaximumWidth(60);
  auto* reviews = new QHBoxLayout();
  reviews->addWidget(new QLabel(QStringLiteral("记录"), Frame_Query));
  reviews->addWidget(Text7);
  for (int k = 0; k < 3; ++k) {
    Cmd_Review[static_cast<std::size_t>(k)] = new QPushButton(QString::fromUtf8(kReviewButtons[static_cast<std::size_t>(k)].text), Frame_Query);
    Cmd_Review[static_cast<std::size_t>(k)]->setObjectName(QStringLiteral("Cmd_Review_%1").arg(k));
    Cmd_Review[static_cast<std::size_t>(k)]->setToolTip(QString::fromUtf8(kReviewButtons[static_cast<std::size_t>(k)].tip));
    Cmd_Review[static_cast<std::size_t>(k)]->setMaximumWidth(34);
    reviews->addWidget(Cmd_Review[static_cast<std::size_t>(k)]);
  }
  reviews->addStretch(1);
  g->addWidget(new QLabel(QStringLiteral("数据文件"), Frame_Query), 0, 0);
  g->addWidget(Text3, 0, 1, 1, 2);
  g->addWidget(Cmd_View_Effi_Data, 0, 3);
  g->addWidget(new QLabel(QStringLiteral("井  号"), Frame_Query), 1, 0);
  g->addWidget(Comb_WellName, 1, 1);
  g->addWidget(new QLabel(QStringLiteral("测试日期"), Frame_Query), 1, 2);
  g->addWidget(Comb_TestTime, 1, 3);
  g->addLayout(reviews, 2, 0, 1, 4);
  g->setColumnStretch(1, 1);
  g->setColumnStretch(3, 1);
  return Frame_Query;
}

QGroupBox* SysEffiAnalysis::build_curve_frame() {
  Frame_Curves = new QGroupBox(QStringLiteral("曲线数据来源"), this);
  auto* g = new QGridLayout(Frame_Curves);
  g->setContentsMargins(4, 4, 4, 4);
  g->setSpacing(3);
  Text8 = new QLineEdit(Frame_Curves);
  Text8->setObjectName(QStringLiteral("Text8"));
  Text4 = new QLineEdit(Frame_Curves);
  Text4->setObjectName(QStringLiteral("Text4"));
  Cmd_View_Sgt_Dat = new QPushButton(QStringLiteral("浏览"), Frame_Curves);
  Cmd_View_Pow_Dat = new QPushButton(QStringLiteral("浏览"), Frame_Curves);
  g->addWidget(new QLabel(QStringLiteral("示功图库"), Frame_Curves), 0, 0);
  g->addWidget(Text8, 0, 1);
  g->addWidget(Cmd_View_Sgt_Dat, 0, 2);
  g->addWidget(new QLabel(QStringLiteral("电力曲线"), Frame_Curves), 1, 0);
  g->addWidget(Text4, 1, 1);
  g->addWidget(Cmd_View_Pow_Dat, 1, 2);
  return Frame_Curves;
}

void SysEffiAnalysis::build_ui() {
  auto* outer = new QHBoxLayout(this);
  outer->setContentsMargins(6, 6, 6, 6);
  outer->setSpacing(6);
  outer->addWidget(build_base_frame(), 3);

  auto* right = new QVBoxLayout();
  right->setSpacing(4);
  right->addWidget(build_effi_frame());
  right->addWidget(build_xl_tab());
  right->addWidget(build_query_frame());
  right->addWidget(build_curve_frame());
  auto* buttons = new QHBoxLayout();
  auto button = [this, buttons](QPushButton*& b, const char* name, const char* caption) {
    b = new QPushButton(QString::fromUtf8(caption), this);
    b->setObjectName(QString::fromUtf8(name));
    buttons->addWidget(b);
  };
  button(Cmd_Calc, "Cmd_Calc", "计算");
  button(Cmd_View, "Cmd_View", "预览");
  button(Cmd_Prnt, "Cmd_Prnt", "打印");
  button(Cmd_Save, "Cmd_Save", "保存");
  button(Cmd_Stat, "Cmd_Stat", "效率统计");
  button(Cmd_Exit, "Cmd_Exit", "退出");
  right->addLayout(buttons);
  right->addStretch(1);
  outer->addLayout(right, 4);

  connect(Cmd_Calc, &QPushButton::clicked, this, [this] { Cmd_Calc_Click(); });
  connect(Cmd_Save, &QPushButton::clicked, this, [this] { Cmd_Save_Click(); });
  connect(Cmd_Stat, &QPushButton::clicked, this, [this] { Cmd_Stat_Click(); });
  connect(Cmd_Exit, &QPushButton::clicked, this, [this] { Cmd_Exit_Click(); });
  connect(Cmd_View, &QPushButton::clicked, this, [this] { Cmd_View_Click(); });
  connect(Cmd_Prnt, &QPushButton::clicked, this, [this] { Cmd_Prnt_Click(); });
  connect_records();

  // Tab order: the boxes in their order, then box 2's list, then the results frame.
  QWidget* prev = nullptr;
  auto chain = [&prev](QWidget* w) {
    if (prev) QWidget::setTabOrder(prev, w);
    prev = w;
  };
  for (int i : kTabOrder) chain(Text1[static_cast<std::size_t>(i)]);
  chain(Comb_CyjMode);
  for (int i = 31; i <= 46; ++i) chain(Text1[static_cast<std::size_t>(i)]);
  resize(1060, 660);
}

void SysEffiAnalysis::Form_Load() {
  const ProgramFolder& prog = main_.program_folder();
  st.Effi_File = gt_ym_path(prog);
  st.Sgt_File = prog.sys() / "Sgt.dat";
  st.Dnt_File = prog.sys() / "Dnt.dat";
  Text3->setText(qs(path_text(st.Effi_File)));
  Text8->setText(qs(path_text(st.Sgt_File)));
  Text4->setText(qs(path_text(st.Dnt_File)));
  Get_Cyj_Mode_to_comb_cyjmode();
  st.Edit_Flag = false;
}

void SysEffiAnalysis::sync_to_widgets() {
  for (int i = 0; i < kEffiBoxCount; ++i) {
    const QString t = qs(st.Text1[static_cast<std::size_t>(i)]);
    if (Text1[static_cast<std::size_t>(i)]->text() != t) Text1[static_cast<std::size_t>(i)]->setText(t);
  }
}

void SysEffiAnalysis::sh_ow(SampleArray& uus1, SampleArray& iis1, SampleArray& pps1, SampleArray& qqs1,
                            SampleArray& sss1, SampleArray& ggs1, std::int16_t& gt_num1, std::int16_t& iu_num1,
                            std::int16_t& cs_fs1, std::int16_t& /*tx_main1*/, std::int16_t& read_sgt_dnt_org1) {
  effi_hand_over(st, uus1, iis1, pps1, qqs1, sss1, ggs1, gt_num1, iu_num1, cs_fs1, read_sgt_dnt_org1, main_.test().Text1,
                 main_.test().Text3);
  // Nothing carried (no record of the well, or a library that cannot be read) leaves the
  // handed-over boxes as they are: the hand-over goes on whatever the library holds.
  if (st.gt_num >= kMinStrokePoints || st.iu_num >= kMinStrokePoints) std::ignore = carry_forward_base_data(st, st.Effi_File);
  sync_to_widgets();
}

void SysEffiAnalysis::Cmd_Calc_Click() { calculate(); }

bool SysEffiAnalysis::calculate() {
  main_.sync_from_widgets();
  EffiCalcOutcome out = wb::Cmd_Calc_Click(st, main_.test().Text1);
  sync_to_widgets();
  if (out.handed_back) main_.sync_to_widgets();
  if (!out.message.empty()) services().messages->show(out.message, "", MsgButtons::Ok, MsgIcon::None);
  return !out.refused;
}

void SysEffiAnalysis::Cmd_Exit_Click() { close(); }

void SysEffiAnalysis::Cmd_Stat_Click() {
  if (sys_effi_assemble_opener()) sys_effi_assemble_opener()();
}

void SysEffiAnalysis::Comb_CyjMode_Click() {
  st.Text1[effi_box::kCyjModel] = Comb_CyjMode->currentText().toStdString();
  sync_to_widgets();
}

void SysEffiAnalysis::Get_Cyj_Mode_to_comb_cyjmode() {
  for (const std::string& m : wb::Get_Cyj_Mode_to_comb_cyjmode(main_.program_folder())) Comb_CyjMode->addItem(qs(m));
  Comb_CyjMode->setEditText(Text1[effi_box::kCyjModel]->text());  // filling the list chooses no model
}

void SysEffiAnalysis::Comb_CyjMode_DropDown() {
  Comb_CyjMode->clear();
  for (const std::string& m : wb::Comb_CyjMode_DropDown(main_.program_folder())) Comb_CyjMode->addItem(qs(m));
  Comb_CyjMode->setEditText(Text1[effi_box::kCyjModel]->text());
}

void SysEffiAnalysis::Comb_CyjMode_KeyPress(int key_ascii) {
  if (wb::Comb_CyjMode_KeyPress(main_.program_folder(), key_ascii, *services().messages, *services().shell))
    Comb_CyjMode->setEditText(QString());
}

void SysEffiAnalysis::Text1_Change(int i) {
  if (i == effi_box::kCyjModel) Comb_CyjMode->setEditText(Text1[effi_box::kCyjModel]->text());
}

void SysEffiAnalysis::set_colours(int i, const QColor& back, const QColor& text) {
  paint_box(Text1[static_cast<std::size_t>(i)], back, text);
}

void SysEffiAnalysis::Text1_GotFocus(int i) { set_colours(i, kFocusBack, kFocusText); }

void SysEffiAnalysis::Text1_LostFocus(int i) {
  set_colours(i, kGrey, QColor(0, 0, 0));
  main_.sync_from_widgets();
  if (effi_box_left(st, i, main_.test().Text3) == BoxLeft::Rescaled) main_.sync_to_widgets();
  sync_to_widgets();
}

void SysEffiAnalysis::move_focus(int i, int step) {
  const int t = tab_position(i) + step;
  int target = 0;
  for (int j = 0; j < kEffiBoxCount; ++j) {
    if (tab_position(j) == t) {
      target = j;
      break;
    }
  }
  QLineEdit* e = Text1[static_cast<std::size_t>(target)];
  // A box that cannot take the focus (box 2 under its list) leaves it where it is.
  if (e->isVisible() && e->isEnabled() && e->focusPolicy() != Qt::NoFocus) e->setFocus(Qt::OtherFocusReason);
}

void SysEffiAnalysis::Text1_KeyDown(int i, int key) {
  if (key == Qt::Key_Up) move_focus(i, -1);
  else if (key == Qt::Key_Down) move_focus(i, +1);
  else st.Edit_Flag = true;
}

void SysEffiAnalysis::Text1_KeyPress(int i, int key_ascii) {
  if (key_ascii == kEnter) move_focus(i, +1);
}

bool SysEffiAnalysis::eventFilter(QObject* obj, QEvent* ev) {
  if (obj == Text7 && ev->type() == QEvent::KeyRelease) {
    if (!static_cast<QKeyEvent*>(ev)->isAutoRepeat()) Text7_KeyUp();
    return QWidget::eventFilter(obj, ev);
  }
  if (Comb_CyjMode && obj == Comb_CyjMode->lineEdit() && ev->type() == QEvent::KeyPress) {
    const auto* k = static_cast<QKeyEvent*>(ev);
    if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) return false;
    if (k->text().isEmpty() || (k->modifiers() & Qt::ControlModifier)) return false;  // movement keys
    Comb_CyjMode_KeyPress(k->text().at(0).unicode());
    return true;
  }
  int i = -1;
  for (int k = 0; k < kEffiBoxCount; ++k)
    if (obj == Text1[static_cast<std::size_t>(k)]) i = k;
  if (i < 0) return QWidget::eventFilter(obj, ev);
  switch (ev->type()) {
    case QEvent::FocusIn:
      Text1_GotFocus(i);
      break;
    case QEvent::FocusOut: {
      // Switching to another window or opening a menu does not leave the box.
      const Qt::FocusReason r = static_cast<QFocusEvent*>(ev)->reason();
      if (r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason) Text1_LostFocus(i);
      break;
    }
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(ev)->key();
      if (key == Qt::Key_Tab || key == Qt::Key_Backtab) break;  // focus keys of the window
      Text1_KeyDown(i, key);
      if (key == Qt::Key_Up || key == Qt::Key_Down) return true;
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        Text1_KeyPress(i, kEnter);
        return true;
      }
      break;
    }
    default:
      break;
  }
  return QWidget::eventFilter(obj, ev);
}

void SysEffiAnalysis::closeEvent(QCloseEvent* e) {
  // Asked also when the program ends: the main window closes this window first.
  // A wanted save that did not go through keeps the window, and the edits, open (the library
  // has said why).
  if (offer_save_edited() == EditedSave::Failed) {
    e->ignore();
    return;
  }
  e->accept();
}

void register_sys_effi_analysis() {
  analysis_windows()[AnalysisWindow::Efficiency] = [](MainWindowLink& main) -> QWidget* {
    return new SysEffiAnalysis(main);
  };
}

}  // namespace wb
