#include "platform/qt_text.h"
#include "platform/screen_fit.h"
#include "ui/diagnosis/well_diagnosis.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <exception>
#include <tuple>

#include "core/common/record_browser.h"
#include "core/common/trim.h"
#include "core/diagnosis/advice_export.h"
#include "core/diagnosis/diagnosis_report.h"
#include "core/diagnosis/inflow.h"
#include "core/diagnosis/refresh.h"
#include "core/workbench/main_picture.h"
#include "platform/combo_box.h"
#include "platform/print_dialog.h"
#include "platform/services_qt.h"
#include "platform/system_printer.h"
#include "ui/diagnosis/diagnosis_boxes.h"
#include "ui/workbench/analysis_windows.h"
#include "core/common/messages.h"

namespace wb {

namespace {

constexpr const char* kCaption = "泵功图计算及油井井诊断界面";
constexpr int kClientWidth = 706;   // 10590 twips
constexpr int kClientHeight = 450;  // 6750 twips
constexpr int kChartWidthTwips = 4650, kChartHeightTwips = 3450;
const QColor kBoxGrey(224, 224, 224);
const QColor kBoxOrange(255, 224, 192);
constexpr const char* kPictureTitle = "地面功图及泵功图另存为图片文件";
constexpr const char* kPictureSuffix = "地面及泵功图.BMP";

using namespace diag_box;  // the layout tables below name the boxes of Text1

// Tab chains of the boxes: Enter and Down move one step right, Up one step left, no wrap.
const std::vector<std::vector<int>> kChains = {
    {kWell, kDate, kBore, kLiquid, kWaterCut, kSpm, kStroke, kPlungerStroke, kEffectiveStroke, kTubingInnerDia,
     kRods118, kRods1, kRods78, kRods34, kRods58, kSinkerLen, kSinkerDia, kPumpDepth, kFluidLevel, kLayerMidDepth,
     kViscosity, kOilDensitySurface, kOilDensityDownhole, kGasOilRatio, kBubblePressure, kStaticPressure,
     kCasingPressure, kTubingPressure, kFlowingPressure, kProductivity},
    {kRmsPower, kRodPower, kUsefulPower, kInputPower, kPumpEfficiency},
    {kWellheadTemp, kMotorModel, kCyjModel},
    {kSpare1, kSpare2},
};

// The base-data columns: box and label (the last two of column 3 have buttons instead).
struct Labelled {
  int box;
  const char* label;
};
const Labelled kBaseColumns[3][10] = {
    {{kWell, "井  号"},
     {kDate, "日  期"},
     {kBore, "泵  径  mm"},
     {kLiquid, "日产液 m^3"},
     {kWaterCut, "含 水 率 %"},
     {kSpm, "冲 次1/min"},
     {kStroke, "光杆冲程 m"},
     {kPlungerStroke, "柱塞冲程 m"},
     {kEffectiveStroke, "有效冲程 m"},
     {kTubingInnerDia, "油管内径 mm"}},
    {{kRods118, "1'1 杆长 m"},
     {kRods1, "1'  杆长 m"},
     {kRods78, "7/8'杆长 m"},
     {kRods34, "6/8'杆长 m"},
     {kRods58, "5/8'杆长 m"},
     {kSinkerLen, "加重杆长 m"},
     {kSinkerDia, "加重杆径mm"},
     {kPumpDepth, "泵挂深度 m"},
     {kFluidLevel, "动 液 面 m"},
     {kLayerMidDepth, "油层中深 m"}},
    {{kViscosity, "粘 度 mPa.S"},
     {kOilDensitySurface, "地面油密度"},
     {kOilDensityDownhole, "地下油密度"},
     {kGasOilRatio, "气油比m^3/t"},
     {kBubblePressure, "饱和压力MPa"},
     {kStaticPressure, "油层静压MPa"},
     {kCasingPressure, "井口套压Mpa"},
     {kTubingPressure, "井口油压Mpa"},
     {kFlowingPressure, nullptr},
     {kProductivity, nullptr}},
};
// The additional frame, top to bottom; the single boxes Text5, Text6 and Text2 stand in it
// under these stand-in indexes.
constexpr int kText5Slot = -5, kText6Slot = -6, kText2Slot = -2;
const Labelled kExtraColumn[] = {
    {kPumpEfficiency, "有效冲程泵效"},
    {kCyjModel, "抽油机型"},
    {kMotorModel, "电动机型号"},
    {kWellheadTemp, "井口温度"},
    {kInputPower, "输入功率"},
    {kRodPower, "光杆功率"},
    {kUsefulPower, "有功功率"},
    {kRmsPower, "均方根功率"},
    {kText5Slot, "最大载荷"},
    {kText6Slot, "最小载荷"},
    {kIntakeDepth, "进油口深  m"},
    {kCasingInnerDia, "套管内径 mm"},
    {kNetThickness, "有效厚度  m"},
    {kPermeability, "渗透率   mD"},
    {kSpare1, ""},
    {kSpare2, ""},
    {kText2Slot, ""}};

bool window_background(int i) { return i == kPumpEfficiency || i == kCyjModel || (i >= kMotorModel && i <= kRmsPower); }
bool orange(int i) { return i == kIntakeDepth || i == kCasingInnerDia || i == kNetThickness || i == kPermeability; }

void paint_box(QWidget* w, const QColor& base, const QColor& text) {
  QPalette p = w->palette();
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::Text, text);
  w->setPalette(p);
}

QPointer<WellDiagnosis>& the_window() {
  static QPointer<WellDiagnosis> w;
  return w;
}

std::string advice_from_widget(const QString& t) { return crlf_line_breaks(t.toStdString()); }
QString advice_to_widget(const std::string& t) {
  QString s = qs(t);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QChar('\r'), QChar('\n'));
  return s;
}

}  // namespace

// ---------------------------------------------------------------- hand-over registry

std::function<DiagnosisHandOver*()>& diagnosis_hand_over_provider() {
  static std::function<DiagnosisHandOver*()> provider;
  return provider;
}

DiagnosisHandOver* diagnosis_hand_over() {
  auto& p = diagnosis_hand_over_provider();
  return p ? p() : nullptr;
}

std::function<void(QWidget*)>& design_window_opener() {
  static std::function<void(QWidget*)> opener;
  return opener;
}

void register_diagnosis_window(const ProgramFolder& folder) {
  analysis_windows()[AnalysisWindow::Diagnosis] = [](MainWindowLink& main) -> QWidget* {
    return &WellDiagnosis::instance(main.program_folder());
  };
  diagnosis_hand_over_provider() = [folder]() -> DiagnosisHandOver* { return &WellDiagnosis::instance(folder); };
}

// ---------------------------------------------------------------- window

WellDiagnosis& WellDiagnosis::instance(const ProgramFolder& folder) {
  QPointer<WellDiagnosis>& w = the_window();
  if (!w) w = new WellDiagnosis(folder);
  return *w;
}

namespace {

void enlarge_sign(QPushButton* b) {
  QFont f = b->font();
  f.setPointSizeF(f.pointSizeF() * 1.6);
  b->setFont(f);
}

}  // namespace

WellDiagnosis* WellDiagnosis::existing() { return the_window(); }

WellDiagnosis::WellDiagnosis(const ProgramFolder& folder, QWidget* parent) : QWidget(parent), folder_(folder) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(qs(kCaption));
  build_ui();
  resize(kClientWidth, kClientHeight);
  fit_to_screen(this);
  // Load step: the default files, the path boxes checked (a valid record file lists its wells).
  DiagnosisIo d = io();
  diagnosis_load(st, folder_, d);
  sync_to_widgets();
}

WellDiagnosis::~WellDiagnosis() {
  // The base destructor hides the window, which takes the focus from a box: its focus-out
  // handler must not run on a window that is already half destroyed.
  for (QWidget* b : Text1_)
    if (b) QObject::disconnect(b, nullptr, this, nullptr);
}

DiagnosisIo WellDiagnosis::io() { return DiagnosisIo{*services().messages, &Picture1->canvas()}; }

QLineEdit* WellDiagnosis::box(int index) const { return qobject_cast<QLineEdit*>(Text1_[static_cast<std::size_t>(index)]); }

std::string WellDiagnosis::Text1(int index) const {
  if (index < 0 || index >= kDiagBoxCount) return {};
  return st.Text1[static_cast<std::size_t>(index)];
}

void WellDiagnosis::build_ui() {
  QFont f(QStringLiteral("宋体"));
  f.setPointSizeF(9);
  setFont(f);

  auto make_box = [this](int i, QWidget* parent) {
    auto* b = new DiagBox(parent);
    Text1_[static_cast<std::size_t>(i)] = b;
    connect(b, &DiagBox::key_down, this, [this, i](int key) { Text1_KeyDown(i, key); });
    connect(b, &DiagBox::got_focus, this, [this, i] { Text1_GotFocus(i); });
    connect(b, &DiagBox::lost_focus, this, [this, i] { Text1_LostFocus(i); });
    connect(b, &QLineEdit::textEdited, this, [this, i](const QString& t) {
      if (syncing_) return;
      st.Text1[static_cast<std::size_t>(i)] = t.toStdString();
      st.Rec_Changed = true;
    });
    paint_box(b, window_background(i) ? palette().color(QPalette::Window) : orange(i) ? kBoxOrange : kBoxGrey,
              Qt::black);
    return b;
  };
  auto label = [](const char* text, QWidget* parent, int x, int y, int w) {
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    l->setGeometry(x, y, w, 20);
    return l;
  };
  auto button = [](const char* text, QWidget* parent, int x, int y, int w, int h = 22) {
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setGeometry(x, y, w, h);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
  };

  // Chart and its buttons.
  chart_frame = new QGroupBox(QStringLiteral("地面功图及泵功图"), this);
  chart_frame->setGeometry(4, 2, 322, 274);
  Picture1 = new PictureBox(chart_frame);
  Picture1->setGeometry(6, 16, 310, 230);
  Picture1->set_fixed_area_twips(kChartWidthTwips, kChartHeightTwips);
  connect(Picture1, &PictureBox::mouse_down, this, [this](Qt::MouseButton b, double, double) { Picture1_MouseDown(b); });
  const char* ref_captions[5] = {"刷新功图", "＋", "－", "×", "÷"};
  for (int i = 1; i <= 4; ++i) Cmd_Ref_Com[i] = button(ref_captions[i], chart_frame, 6 + 40 * (i - 1), 248, 36);
  // "×" and "÷" are narrow signs where "＋" and "－" are full-width: a larger size matches them.
  for (int i : {3, 4}) enlarge_sign(Cmd_Ref_Com[i]);
  Cmd_Ref_Com[0] = button(ref_captions[0], chart_frame, 236, 248, 80);
  for (int i = 0; i < 5; ++i) connect(Cmd_Ref_Com[i], &QPushButton::clicked, this, [this, i] { Cmd_Ref_Com_Click(i); });

  // The advice.
  auto* advice_frame = new QGroupBox(QStringLiteral("油井诊断结果"), this);
  advice_frame->setGeometry(4, 278, 322, 168);
  auto* advice = new DiagAdviceBox(advice_frame);
  advice->setGeometry(6, 18, 310, 144);
  Text1_[diag_box::kAdvice] = advice;
  paint_box(advice, kBoxGrey, Qt::black);
  connect(advice, &DiagAdviceBox::key_down, this, [this](int key) { Text1_KeyDown(diag_box::kAdvice, key); });
  connect(advice, &DiagAdviceBox::got_focus, this, [this] { Text1_GotFocus(diag_box::kAdvice); });
  connect(advice, &DiagAdviceBox::lost_focus, this, [this] { Text1_LostFocus(diag_box::kAdvice); });
  connect(advice, &QPlainTextEdit::textChanged, this, [this, advice] {
    if (syncing_) return;
    st.Text1[diag_box::kAdvice] = advice_from_widget(advice->toPlainText());
    st.Rec_Changed = true;
  });

  // Data sources.
  auto* sources = new QGroupBox(QStringLiteral("数据来源选择"), this);
  sources->setGeometry(332, 2, 370, 68);
  label("系统效率文件", sources, 6, 18, 74);
  Text4 = new QLineEdit(sources);
  Text4->setGeometry(80, 18, 196, 21);
  Cmd_View_BaseData = button("浏览", sources, 280, 18, 40);
  Cmd_ReLoad_BaseData = button("重读", sources, 324, 18, 40);
  label("示功图库文件", sources, 6, 42, 74);
  Text8 = new QLineEdit(sources);
  Text8->setGeometry(80, 42, 196, 21);
  Cmd_View_Sgt_Data = button("浏览", sources, 280, 42, 40);
  Command2 = button("重读", sources, 324, 42, 40);

  // Base data: three columns of ten boxes.
  auto* base = new QGroupBox(QStringLiteral("基础数据输入"), this);
  base->setGeometry(332, 72, 370, 252);
  // Column widths (label, box): the first column holds the well name and the test date.
  // "油管内径 mm" needs the first column's wider label.
  const int col_x[3] = {4, 130, 242}, label_w[3] = {70, 64, 70}, box_w[3] = {54, 46, 50};
  for (int c = 0; c < 3; ++c) {
    for (int r = 0; r < 10; ++r) {
      const Labelled& l = kBaseColumns[c][r];
      const int x = col_x[c], y = 16 + 23 * r;
      if (l.label) label(l.label, base, x, y, label_w[c]);
      QLineEdit* b = make_box(l.box, base);
      b->setGeometry(x + label_w[c], y, box_w[c], 21);
    }
  }
  Calc_Pf_Com = button("计算流压", base, col_x[2], 16 + 23 * 8, label_w[2] - 2, 21);
  Calc_Cyzs_Com = button("计算指数", base, col_x[2], 16 + 23 * 9, label_w[2] - 2, 21);
  box(diag_box::kOilDensitySurface)->setToolTip(QStringLiteral("地面油比重"));
  box(diag_box::kOilDensityDownhole)->setToolTip(QStringLiteral("井下油比重"));

  // History.
  auto* history = new QGroupBox(QStringLiteral("历史数据查询"), this);
  history->setGeometry(332, 326, 370, 72);
  label("数据文件", history, 6, 18, 48);
  Text3 = new QLineEdit(history);
  Text3->setGeometry(54, 18, 178, 21);
  Cmd_View_BGT_Data = button("浏览", history, 236, 18, 40);
  label("记录", history, 282, 18, 28);
  Text7 = new QLineEdit(history);
  Text7->setGeometry(310, 18, 54, 21);
  label("井号", history, 6, 44, 28);
  Comb_WellName = new QComboBox(history);
  Comb_WellName->setEditable(true);
  Comb_WellName->setInsertPolicy(QComboBox::NoInsert);
  choose_from_list_only(Comb_WellName);
  Comb_WellName->setGeometry(34, 44, 104, 22);
  label("日期", history, 142, 44, 28);
  Comb_TestTime = new QComboBox(history);
  Comb_TestTime->setEditable(true);
  Comb_TestTime->setInsertPolicy(QComboBox::NoInsert);
  choose_from_list_only(Comb_TestTime);
  Comb_TestTime->setGeometry(170, 44, 104, 22);
  for (int i = 0; i < 3; ++i) {
    Cmd_Review[i] = button(kReviewButtons[static_cast<std::size_t>(i)].text, history, 278 + 29 * i, 44, 27);
    if (i == 2) enlarge_sign(Cmd_Review[i]);
    Cmd_Review[i]->setToolTip(QString::fromUtf8(kReviewButtons[static_cast<std::size_t>(i)].tip));
    connect(Cmd_Review[i], &QPushButton::clicked, this, [this, i] { Cmd_Review_Click(i); });
  }

  // The bottom row.
  Cmd_Out_to_TXT = button("存成文本", this, 332, 410, 66, 28);
  Cmd_Design = button("杆柱设计", this, 408, 410, 66, 28);
  Cmd_Save = button("保存", this, 484, 410, 66, 28);
  Cmd_Prnt = button("打印", this, 560, 410, 66, 28);
  Cmd_Exit = button("退出", this, 636, 410, 66, 28);

  // Additional parameters, right of the default client area.
  extra_frame = new QGroupBox(QStringLiteral("附加参数"), this);
  extra_frame->setGeometry(kClientWidth + 6, 2, 176, 446);
  int y = 16;
  for (const Labelled& l : kExtraColumn) {
    label(l.label, extra_frame, 6, y, 76);
    QLineEdit* b = nullptr;
    if (l.box == kText5Slot) {
      b = Text5_ = new QLineEdit(extra_frame);
    } else if (l.box == kText6Slot) {
      b = Text6_ = new QLineEdit(extra_frame);
    } else if (l.box == kText2Slot) {
      b = Text2 = new QLineEdit(extra_frame);
    } else {
      b = make_box(l.box, extra_frame);
    }
    b->setGeometry(82, y, 86, 21);
    y += 25;
  }
  connect(Text2, &QLineEdit::textEdited, this, [this](const QString& t) { st.Text2 = t.toStdString(); });
  connect(Text5_, &QLineEdit::textEdited, this, [this](const QString& t) { st.Text5 = t.toStdString(); });
  connect(Text6_, &QLineEdit::textEdited, this, [this](const QString& t) { st.Text6 = t.toStdString(); });
  for (QLineEdit* e : {Text5_, Text6_}) paint_box(e, palette().color(QPalette::Window), Qt::black);

  // The hidden design frame: boxes without a function.
  design_frame = new QGroupBox(QStringLiteral("参数设计"), this);
  design_frame->setGeometry(kClientWidth + 190, 2, 120, 300);
  design_frame->hide();
  for (int i : diag_box::kHiddenDesign) make_box(i, design_frame);

  // Path boxes, record number and combos.
  connect(Text3, &QLineEdit::textEdited, this, [this] { path_edited(PathBox::Records); });
  connect(Text4, &QLineEdit::textEdited, this, [this] { path_edited(PathBox::Efficiency); });
  connect(Text8, &QLineEdit::textEdited, this, [this] { path_edited(PathBox::Cards); });
  connect(Text7, &QLineEdit::textEdited, this, [this](const QString& t) {
    sync_from_widgets();
    st.Text7 = t.toStdString();
    DiagnosisIo d = io();
    Text7_Change(st, d);
    after_core();
  });
  connect(Comb_WellName, &QComboBox::activated, this, [this] { Comb_WellName_Click(); });
  connect(Comb_WellName->lineEdit(), &QLineEdit::returnPressed, this, [this] { Comb_WellName_Click(); });
  connect(Comb_TestTime, &QComboBox::activated, this, [this] { Comb_TestTime_Click(); });
  connect(Comb_TestTime->lineEdit(), &QLineEdit::returnPressed, this, [this] { Comb_TestTime_Click(); });

  connect(Calc_Pf_Com, &QPushButton::clicked, this, [this] { Calc_Pf_Com_Click(); });
  connect(Calc_Cyzs_Com, &QPushButton::clicked, this, [this] { Calc_Cyzs_Com_Click(); });
  connect(Cmd_View_BGT_Data, &QPushButton::clicked, this, [this] { Cmd_View_Click(PathBox::Records); });
  connect(Cmd_View_BaseData, &QPushButton::clicked, this, [this] { Cmd_View_Click(PathBox::Efficiency); });
  connect(Cmd_View_Sgt_Data, &QPushButton::clicked, this, [this] { Cmd_View_Click(PathBox::Cards); });
  connect(Cmd_ReLoad_BaseData, &QPushButton::clicked, this, [this] { Cmd_ReLoad_BaseData_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Cmd_Ref_Com_Click(kRefresh); });
  connect(Cmd_Out_to_TXT, &QPushButton::clicked, this, [this] { Cmd_Out_to_TXT_Click(); });
  connect(Cmd_Design, &QPushButton::clicked, this, [this] { Cmd_Design_Click(); });
  connect(Cmd_Save, &QPushButton::clicked, this, [this] { Cmd_Save_Click(); });
  connect(Cmd_Prnt, &QPushButton::clicked, this, [this] { Cmd_Prnt_Click(); });
  connect(Cmd_Exit, &QPushButton::clicked, this, [this] { close(); });

  // Tab order: the chains first, in their order.
  QWidget* prev = nullptr;
  for (const auto& chain : kChains) {
    for (int i : chain) {
      QWidget* w = Text1_[static_cast<std::size_t>(i)];
      if (prev) setTabOrder(prev, w);
      prev = w;
    }
  }
}

void WellDiagnosis::sync_to_widgets() {
  syncing_ = true;
  for (int i = 0; i < kDiagBoxCount; ++i) {
    const std::string& t = st.Text1[static_cast<std::size_t>(i)];
    if (i == diag_box::kAdvice) {
      auto* a = static_cast<DiagAdviceBox*>(Text1_[diag_box::kAdvice]);
      const QString want = advice_to_widget(t);
      if (a->toPlainText() != want) a->setPlainText(want);
    } else if (QLineEdit* b = box(i); b && b->text() != qs(t)) {
      b->setText(qs(t));
    }
  }
  auto set = [](QLineEdit* e, const std::string& t) {
    if (e->text() != qs(t)) e->setText(qs(t));
  };
  set(Text2, st.Text2);
  set(Text3, st.Text3);
  set(Text4, st.Text4);
  set(Text5_, st.Text5);
  set(Text6_, st.Text6);
  set(Text7, st.Text7);
  set(Text8, st.Text8);
  auto fill = [](QComboBox* c, const std::vector<std::string>& items, const std::string& text) {
    QStringList want;
    for (const auto& s : items) want << qs(s);
    QStringList have;
    for (int i = 0; i < c->count(); ++i) have << c->itemText(i);
    if (have != want) {
      c->clear();
      c->addItems(want);
    }
    if (c->currentText() != qs(text)) c->setEditText(qs(text));
  };
  fill(Comb_WellName, st.well_list, st.Comb_WellName);
  fill(Comb_TestTime, st.date_list, st.Comb_TestTime);
  syncing_ = false;
}

void WellDiagnosis::sync_from_widgets() {
  for (int i = 0; i < kDiagBoxCount; ++i) {
    if (i == diag_box::kAdvice) {
      st.Text1[diag_box::kAdvice] = advice_from_widget(static_cast<DiagAdviceBox*>(Text1_[diag_box::kAdvice])->toPlainText());
    } else if (QLineEdit* b = box(i)) {
      st.Text1[static_cast<std::size_t>(i)] = b->text().toStdString();
    }
  }
  st.Text2 = Text2->text().toStdString();
  st.Text3 = Text3->text().toStdString();
  st.Text4 = Text4->text().toStdString();
  st.Text5 = Text5_->text().toStdString();
  st.Text6 = Text6_->text().toStdString();
  st.Text7 = Text7->text().toStdString();
  st.Text8 = Text8->text().toStdString();
  st.Comb_WellName = Comb_WellName->currentText().toStdString();
  st.Comb_TestTime = Comb_TestTime->currentText().toStdString();
}

void WellDiagnosis::after_core() {
  sync_to_widgets();
  Picture1->update();
  if (st.focus_request >= 0) {
    if (QWidget* w = Text1_[static_cast<std::size_t>(st.focus_request)]) w->setFocus();
    st.focus_request = -1;
  }
}

// ---------------------------------------------------------------- commands

void WellDiagnosis::Cmd_Ref_Com_Click(int index) {
  sync_from_widgets();
  // Every way a refresh stops is told by the refresh itself; the window shows what it left.
  std::ignore = wb::Cmd_Ref_Com_Click(st, index, *services().messages, &Picture1->canvas());
  after_core();
}

void WellDiagnosis::Calc_Pf_Com_Click() {
  sync_from_widgets();
  std::ignore = wb::Calc_Pf_Com_Click(st, *services().messages);  // a refusal is told, the boxes kept
  after_core();
}

void WellDiagnosis::Calc_Cyzs_Com_Click() {
  sync_from_widgets();
  std::ignore = wb::Calc_Cyzs_Com_Click(st, *services().messages);  // a refusal is told, the boxes kept
  after_core();
}

void WellDiagnosis::Cmd_Review_Click(int index) {
  sync_from_widgets();
  DiagnosisIo d = io();
  wb::Cmd_Review_Click(st, index, d);
  after_core();
}

void WellDiagnosis::Cmd_Save_Click() {
  sync_from_widgets();
  DiagnosisIo d = io();
  std::ignore = wb::Cmd_Save_Click(st, d);  // a refused save is told and the edits stay marked
  after_core();
}

void WellDiagnosis::Comb_WellName_Click() {
  sync_from_widgets();
  DiagnosisIo d = io();
  wb::Comb_WellName_Click(st, d);
  after_core();
}

void WellDiagnosis::Comb_TestTime_Click() {
  sync_from_widgets();
  DiagnosisIo d = io();
  wb::Comb_TestTime_Click(st, d);
  after_core();
}

void WellDiagnosis::cygsj(std::string& Well_Name, std::int16_t& dda) {
  sync_from_widgets();
  DiagnosisIo d = io();
  wb::cygsj(st, Well_Name, dda, d);
  after_core();
}

void WellDiagnosis::path_edited(PathBox which) {
  if (syncing_) return;
  sync_from_widgets();
  DiagnosisIo d = io();
  std::ignore = path_box_change(st, which, d);  // a refused path is told and its box emptied
  after_core();
}

void WellDiagnosis::Cmd_View_Click(PathBox which) {
  FileDialogRequest req;
  req.initial_dir = path_text(folder_.sys());
  QLineEdit* target = Text3;
  switch (which) {
    case PathBox::Records:
      req.filter = "油井诊断数据文件(*.dat)|*.dat|所有文件(*.*)|*.*";
      req.title = "打开油井诊断数据";
      break;
    case PathBox::Efficiency:
      req.filter = "系统效率数据文件(*.dat)|*.dat|所有文件(*.*)|*.*";
      req.title = "打开诊断参数";
      target = Text4;
      break;
    case PathBox::Cards:
      req.filter = "示功图库数据文件(*.dat)|*.dat|所有文件(*.*)|*.*";
      req.title = "打开示功图库";
      target = Text8;
      break;
  }
  const std::string chosen = services().files->open_file(req);
  if (chosen.empty()) return;
  if (target->text() == qs(chosen)) return;  // no change, no check
  target->setText(qs(chosen));
  path_edited(which);
}

void WellDiagnosis::Cmd_ReLoad_BaseData_Click() {
  sync_from_widgets();
  const std::string name = trim_blanks(st.Text4);
  if (name.empty()) return;
  DiagnosisIo d = io();
  Load_Effi(st, u8path(name), d);
  after_core();
}

void WellDiagnosis::Cmd_Prnt_Click() {
  sync_from_widgets();
  PrintPresets presets;
  presets.paper_items = standard_paper_items();
  presets.paper_item = 1;  // "A4, 210 x 297 毫米"
  presets.paper_enabled = false;
  presets.landscape = false;
  presets.name = PrintName{st.Text1[diag_box::kWell], "诊断报表"};
  // A page that stops on a fault ends its job and is said by the driver.
  print_protocol(this, presets, [&](Canvas& printer, int) {
    current_printer().paper_code = kPaperA4;
    current_printer().orientation = kPortrait;
    prt_bgt_page(st, printer);
  });
}

void WellDiagnosis::Cmd_Out_to_TXT_Click() {
  sync_from_widgets();
  // Cancelled, or a failure told by the export: nothing more to do either way.
  std::ignore = wb::Cmd_Out_to_TXT_Click(st.Bgt_Path, folder_, *services().files, *services().messages);
}

void WellDiagnosis::Cmd_Design_Click() {
  sync_from_widgets();
  if (auto& open = design_window_opener()) open(this);
}

void WellDiagnosis::Picture1_MouseDown(Qt::MouseButton button) {
  if (button != Qt::RightButton) return;
  sync_from_widgets();
  FileDialogRequest req;
  req.title = kPictureTitle;
  req.filter = kPictureFilter;
  req.initial_dir = path_text(folder_.image());
  const std::string well = Trim_Blank_Nul(st.Comb_WellName);
  // A well name that would lead out of the image folder is not proposed.
  req.file_name = (is_safe_file_stem(well) ? well : std::string()) + kPictureSuffix;
  const std::string chosen = services().files->save_file(req);
  if (chosen.empty()) return;
  if (!Picture1->save_bmp(qs(chosen)))
    services().messages->show(picture_not_saved_text(chosen), "", MsgButtons::Ok, MsgIcon::Warning);
}

// ---------------------------------------------------------------- keys and focus

void WellDiagnosis::move_in_chain(int index, int step) {
  for (const auto& chain : kChains) {
    for (std::size_t p = 0; p < chain.size(); ++p) {
      if (chain[p] != index) continue;
      const long long q = static_cast<long long>(p) + step;
      if (q < 0 || q >= static_cast<long long>(chain.size())) return;
      QWidget* w = Text1_[static_cast<std::size_t>(chain[static_cast<std::size_t>(q)])];
      if (w && w->isVisibleTo(this) && w->isEnabled()) w->setFocus();
      return;
    }
  }
}

void WellDiagnosis::Text1_KeyDown(int index, int key) {
  if (key == Qt::Key_Up) {
    move_in_chain(index, -1);
    return;
  }
  if (key == Qt::Key_Down) {
    move_in_chain(index, 1);
    return;
  }
  st.Rec_Changed = true;
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return;
  move_in_chain(index, 1);
  if (index == diag_box::kDate || index == diag_box::kOilDensityDownhole) {
    sync_from_widgets();
    DiagnosisIo d = io();
    Text1_Enter(st, index, d);
    after_core();
  }
}

void WellDiagnosis::Text1_GotFocus(int index) {
  paint_box(Text1_[static_cast<std::size_t>(index)], QColor(0, 0, 255), Qt::white);
}

void WellDiagnosis::Text1_LostFocus(int index) {
  paint_box(Text1_[static_cast<std::size_t>(index)], kBoxGrey, Qt::black);
}

void WellDiagnosis::closeEvent(QCloseEvent* e) {
  sync_from_widgets();
  DiagnosisIo d = io();
  if (!diagnosis_unload(st, d)) {
    e->ignore();  // the save was refused: the edits stay on show
    return;
  }
  e->accept();
}

}  // namespace wb
