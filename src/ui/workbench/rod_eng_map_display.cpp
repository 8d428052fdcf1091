#include "platform/qt_text.h"
#include "platform/screen_fit.h"
#include "ui/workbench/rod_eng_map_display.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "core/common/trim.h"
#include "core/workbench/print_mark.h"
#include "platform/services_qt.h"
#include "platform/system_printer.h"

namespace wb {

namespace {

const char* const kText1Labels[kAppendedBoxCount] = {"测试日期", "冲程损失m", "井    号", "标称冲程m", "理论最大负荷kN", "理论最小负荷kN"};
const char* const kText1Tips[kAppendedBoxCount] = {"测试日期", "冲程损失(用于绘制静力示功图)", "井号", "理论冲程(用于绘制静力示功图)",
                                   "理论最大负荷(用于绘制静力示功图)", "理论最小负荷(用于绘制静力示功图)"};
const char* const kText3Tips[kResultBoxCount] = {"作功量",   "输入功率", "光杆功率", "工作功率", "工作电流", "平均电压",
                                    "平均电流", "视在功率", "无功功率", "功率因数", "均方电流", "均方功率",
                                    "实测冲程", "实测冲次", "最大载荷", "最小载荷"};
const char* const kImage1Tips[15] = {"数据出库",     "当前不可分析", "联合测试数据",   "电能图数据", "示功图数据",
                                     "电网损耗估计", "联合测试数据文件", "数据入库",   "打印图表",   "单井效率分析",
                                     "报表处理",     "动液面数据",   "电力波形数据",   "关于本程序", "井下诊断优化设计"};
// A glyph and a colour for each toolbar button.
const char* const kImage1Glyphs[15] = {"出", "衡", "联", "电", "功", "损", "文", "存", "印", "效", "表", "液", "波", "?", "诊"};
const QColor kImage1Colors[15] = {QColor(0, 102, 153), QColor(153, 51, 0),  QColor(0, 128, 0),   QColor(204, 102, 0),
                                  QColor(0, 0, 160),   QColor(128, 0, 128), QColor(96, 96, 96),  QColor(0, 102, 102),
                                  QColor(51, 51, 51),  QColor(160, 0, 0),   QColor(0, 110, 60),  QColor(0, 80, 160),
                                  QColor(153, 0, 102), QColor(80, 80, 160), QColor(102, 51, 0)};

QIcon toolbar_icon(int i) {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(kImage1Colors[i]);
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
  p.setPen(Qt::white);
  QFont f(QStringLiteral("黑体"));
  f.setPixelSize(19);
  f.setBold(true);
  p.setFont(f);
  p.drawText(QRectF(0, 0, 32, 32), Qt::AlignCenter, QString::fromUtf8(kImage1Glyphs[i]));
  return QIcon(pm);
}

// The longest text a result box is given: the half-stroke boxes hold two signed
// values of one decimal ("-327.7/-327.7"); the others one signed value of at most five
// digits before the point and two after.
constexpr const char* kLongestHalfText = "-327.7/-327.7";
constexpr const char* kLongestValueText = "-32768.00";

}  // namespace

int result_box_width(const QLineEdit& e, int index) {
  const QString longest = QString::fromLatin1(index == result_box::kAvgPowerUpDown || index == result_box::kMaxCurrentUpDown ? kLongestHalfText : kLongestValueText);
  QStyleOptionFrame opt;
  opt.initFrom(&e);
  opt.lineWidth = e.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, &e);
  const QMargins m = e.textMargins();
  // Two pixels of the line edit's own inner margin on each side, beyond the frame.
  const int text = e.fontMetrics().horizontalAdvance(longest) + m.left() + m.right() + 4;
  return e.style()->sizeFromContents(QStyle::CT_LineEdit, &opt, QSize(text, e.fontMetrics().height()), &e).width();
}

// ---------------------------------------------------------------- BoxLineEdit

void BoxLineEdit::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  emit got_focus();
}

void BoxLineEdit::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  emit lost_focus();
}

void BoxLineEdit::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    emit enter_pressed();
    return;
  }
  QLineEdit::keyPressEvent(e);
}

// ---------------------------------------------------------------- FrmSplash

FrmSplash::FrmSplash(std::function<void()> show_main, QWidget* parent, qint64 elapsed_ms)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), show_main_(std::move(show_main)) {
  setWindowTitle(QStringLiteral("抽油机井测试分析工作台"));
  setFixedSize(510, 470);
  // The window is cut to an ellipse with the bounding box (8, 30)-(500, 500).
  setMask(QRegion(8, 30, 492, 470, QRegion::Ellipse));
  Timer1 = new QTimer(this);
  Timer1->setInterval(static_cast<int>(std::clamp<qint64>(1500 - elapsed_ms, 0, 1500)));
  Timer1->setSingleShot(true);
  Timer1->setTimerType(Qt::PreciseTimer);
  connect(Timer1, &QTimer::timeout, this, &FrmSplash::finish);
  Timer1->start();
}

void FrmSplash::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 30, 0, 500);
  g.setColorAt(0, QColor(10, 60, 120));
  g.setColorAt(1, QColor(20, 120, 90));
  p.fillRect(rect(), g);
  // A pumping unit's silhouette: beam, horse head, samson post and the polished rod.
  p.setPen(QPen(QColor(230, 230, 230), 6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(150, 300, 360, 250);
  p.drawLine(255, 275, 230, 390);
  p.drawLine(255, 275, 290, 390);
  p.drawArc(QRectF(340, 235, 40, 60), -90 * 16, 180 * 16);
  p.drawLine(380, 270, 380, 400);
  p.drawLine(130, 392, 400, 392);
  p.setPen(QColor(255, 255, 255));
  QFont t(QStringLiteral("黑体"));
  t.setPixelSize(30);
  t.setBold(true);
  p.setFont(t);
  p.drawText(QRect(0, 130, 510, 50), Qt::AlignCenter, QStringLiteral("抽油机井测试分析工作台"));
  QFont v(QStringLiteral("宋体"));
  v.setPixelSize(16);
  p.setFont(v);
  p.drawText(QRect(0, 185, 510, 30), Qt::AlignCenter, QStringLiteral("示功图 · 电参数 · 系统效率 · 平衡 · 诊断 · 设计"));
  p.drawText(QRect(0, 420, 510, 30), Qt::AlignCenter, QStringLiteral("版本 1.0"));
  if (!painted_) {
    painted_ = true;
    // After this paint has reached the screen, not inside it.
    if (after_first_paint) QTimer::singleShot(0, this, [this] {
        if (!done_ && after_first_paint) after_first_paint();
      });
  }
}

void FrmSplash::mousePressEvent(QMouseEvent*) { finish(); }
void FrmSplash::keyPressEvent(QKeyEvent*) { finish(); }

void FrmSplash::finish() {
  if (done_) return;
  done_ = true;
  Timer1->stop();
  if (show_main_) show_main_();
  close();
  deleteLater();
}

// ---------------------------------------------------------------- RodEngMapDisplay

RodEngMapDisplay::RodEngMapDisplay(const ProgramFolder& folder, QWidget* parent)
    : QMainWindow(parent), folder_(folder) {
  setWindowTitle(QStringLiteral("抽油机井测试分析工作台 1.0"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  build_ui();
  Form_Load();
  fit_to_screen(this);
}

// The children are destroyed by the QWidget base, after this object has stopped being a
// RodEngMapDisplay; a box losing its focus then must not reach the window's handlers.
// The analysis windows it opened go first: some are top-level windows of their own that
// refer to this window.
RodEngMapDisplay::~RodEngMapDisplay() {
  for (QPointer<QWidget>& w : analysis_windows_) delete w.data();
  for (QObject* child : findChildren<QObject*>()) disconnect(child, nullptr, this, nullptr);
}

QWidget* RodEngMapDisplay::build_toolbar() {
  Picture2 = new QWidget(this);
  auto* lay = new QHBoxLayout(Picture2);
  lay->setContentsMargins(4, 2, 4, 2);
  lay->setSpacing(2);
  for (int i = 0; i < 15; ++i) {
    auto* b = new QToolButton(Picture2);
    b->setIcon(toolbar_icon(i));
    b->setIconSize(QSize(32, 32));
    b->setAutoRaise(true);
    b->setToolTip(QString::fromUtf8(kImage1Tips[i]));
    b->setObjectName(QStringLiteral("Image1_%1").arg(i));
    connect(b, &QToolButton::clicked, this, [this, i] { Image1_Click(i); });
    Image1[i] = b;
    lay->addWidget(b);
    st.image1_tooltip[i] = kImage1Tips[i];
  }
  lay->addStretch(1);
  return Picture2;
}

QGroupBox* RodEngMapDisplay::build_period_frame() {
  Frame3 = new QGroupBox(QStringLiteral("周期调整"), this);
  auto* g = new QGridLayout(Frame3);
  g->setContentsMargins(4, 4, 4, 4);
  g->setSpacing(2);
  R_iu = new QLineEdit(Frame3);
  R_iu->setToolTip(QStringLiteral("周期分析相关系数"));
  R_iu->setObjectName(QStringLiteral("R_iu"));
  CircleDot = new QLineEdit(Frame3);
  CircleDot->setToolTip(QStringLiteral("冲程周期点数(每点=0.02秒)"));
  CircleDot->setObjectName(QStringLiteral("CircleDot"));
  R_iu->setMaximumWidth(90);
  CircleDot->setMaximumWidth(90);
  g->addWidget(R_iu, 0, 0, 1, 3);
  g->addWidget(CircleDot, 0, 3, 1, 3);
  for (int i = 0; i < 6; ++i) {
    adjust[i] = new QPushButton(Frame3);
    adjust[i]->setObjectName(QStringLiteral("adjust_%1").arg(i));
    adjust[i]->setMaximumWidth(34);
    connect(adjust[i], &QPushButton::clicked, this, [this, i] { adjust_Click(i); });
    g->addWidget(adjust[i], 1, i);
  }
  connect(CircleDot, &QLineEdit::returnPressed, this, [this] { CircleDot_KeyPress(); });
  setup_period_frame();
  return Frame3;
}

QGroupBox* RodEngMapDisplay::build_text1_frame() {
  Frame4 = new QGroupBox(QStringLiteral("数据附加及更正"), this);
  Frame4->setToolTip(QStringLiteral("附加数据存入示功图文件和主库，用于显示静力示功图"));
  auto* g = new QGridLayout(Frame4);
  g->setContentsMargins(4, 4, 4, 4);
  g->setHorizontalSpacing(4);
  g->setVerticalSpacing(1);
  // Two rows: well, theoretical stroke and maximum load above; date, stroke loss and
  // minimum load below (row and column by box).
  const int pos[kAppendedBoxCount][2] = {{1, 0}, {1, 1}, {0, 0}, {0, 1}, {0, 2}, {1, 2}};
  for (int i = 0; i < kAppendedBoxCount; ++i) {
    auto* lbl = new QLabel(QString::fromUtf8(kText1Labels[i]), Frame4);
    auto* e = new BoxLineEdit(Frame4);
    e->setObjectName(QStringLiteral("Text1_%1").arg(i));
    e->setToolTip(QString::fromUtf8(kText1Tips[i]));
    // At least as wide as a test date's 12 digits, also when a small screen squeezes the row.
    const int digits = e->fontMetrics().horizontalAdvance(QStringLiteral("000000000000"));
    e->setMinimumWidth(std::max(80, digits + 2 * e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 10));
    e->setAutoFillBackground(true);
    Text1[i] = e;
    g->addWidget(lbl, pos[i][0] * 2, pos[i][1]);
    g->addWidget(e, pos[i][0] * 2 + 1, pos[i][1]);
    connect(e, &BoxLineEdit::got_focus, this, [this, i] { Text1_GotFocus(i); });
    connect(e, &BoxLineEdit::lost_focus, this, [this, i] { Text1_LostFocus(i); });
    connect(e, &BoxLineEdit::enter_pressed, this, [this, i] { Text1_KeyPress(i); });
    connect(e, &QLineEdit::textEdited, this, [this, i](const QString& t) { st.Text1[i] = t.toStdString(); });
    Text1_LostFocus(i);
  }
  for (int i = 0; i + 1 < kAppendedBoxCount; ++i) setTabOrder(Text1[i], Text1[i + 1]);
  return Frame4;
}

QGroupBox* RodEngMapDisplay::build_text3_frame() {
  Frame5 = new QGroupBox(QStringLiteral("测试结果"), this);
  auto* g = new QGridLayout(Frame5);
  g->setContentsMargins(4, 4, 4, 4);
  g->setHorizontalSpacing(3);
  g->setVerticalSpacing(1);
  using namespace result_box;
  const int upper[8] = {kMaxLoad, kMeasuredSpm, kMeasuredStroke, kMaxCurrentUpDown,
                        kAvgPowerUpDown, kRodPower, kInputPower, kWork};
  const int lower[8] = {kRmsPower, kRmsCurrent, kPowerFactor, kReactivePower,
                        kApparentPower, kAvgCurrent, kAvgVoltage, kMinLoad};
  auto place = [&](int idx, int row, int col) {
    auto* lbl = new QLabel(QString::fromUtf8(kText3Tips[idx]), Frame5);
    lbl->setStyleSheet(QStringLiteral("color:#404040; font-size:11px"));
    auto* e = new QLineEdit(Frame5);
    e->setObjectName(QStringLiteral("Text3_%1").arg(idx));
    e->setToolTip(QString::fromUtf8(kText3Tips[idx]));
    const int w = result_box_width(*e, idx);
    e->setMinimumWidth(w);
    e->setMaximumWidth(w + w / 4);
    connect(e, &QLineEdit::textEdited, this, [this, idx](const QString& t) { st.Text3[idx] = t.toStdString(); });
    Text3[idx] = e;
    g->addWidget(lbl, row * 2, col);
    g->addWidget(e, row * 2 + 1, col);
  };
  for (int c = 0; c < 8; ++c) {
    place(upper[c], 0, c);
    place(lower[c], 1, c);
  }
  return Frame5;
}

void RodEngMapDisplay::build_ui() {
  auto* central = new QWidget(this);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(4, 2, 4, 4);
  outer->setSpacing(3);
  outer->addWidget(build_toolbar());

  auto* middle = new QHBoxLayout();
  auto* left = new QVBoxLayout();
  Frame1 = new QGroupBox(QStringLiteral("通迅库"), central);
  auto* f1 = new QVBoxLayout(Frame1);
  f1->setContentsMargins(3, 3, 3, 3);
  Dir1 = new DirList(Frame1);
  Dir1->setMaximumHeight(90);
  File1 = new FileList(Frame1);
  File1->setObjectName(QStringLiteral("File1"));
  f1->addWidget(Dir1);
  f1->addWidget(File1);
  Frame2 = new QGroupBox(QStringLiteral("主库"), central);
  auto* f2 = new QVBoxLayout(Frame2);
  f2->setContentsMargins(3, 3, 3, 3);
  Grid1 = new Grid(Frame2);
  Grid1->setObjectName(QStringLiteral("Grid1"));
  f2->addWidget(Grid1);
  left->addWidget(Frame1, 3);
  left->addWidget(Frame2, 2);
  auto* leftw = new QWidget(central);
  leftw->setLayout(left);
  leftw->setFixedWidth(250);
  left->setContentsMargins(0, 0, 0, 0);
  middle->addWidget(leftw);

  Picture1 = new PictureBox(central);
  Picture1->setObjectName(QStringLiteral("Picture1"));
  // The charts are laid out for a 6015 x 3615 twip picture; it is drawn sharp at a higher
  // resolution and shown as large as the window allows.
  Picture1->set_fixed_area_twips(6015, 3615);
  Picture1->setMinimumSize(602, 362);
  Picture1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  middle->addWidget(Picture1, 1);
  outer->addLayout(middle, 1);

  auto* bottom = new QHBoxLayout();
  bottom->addWidget(build_period_frame());
  bottom->addWidget(build_text1_frame());
  bottom->addWidget(build_text3_frame(), 1);
  outer->addLayout(bottom);

  auto* pathrow = new QHBoxLayout();
  Label2 = new QLabel(QStringLiteral("通迅库路径"), central);
  Text2 = new QLineEdit(central);
  Text2->setObjectName(QStringLiteral("Text2"));
  Text2->setToolTip(QStringLiteral("通迅库路径,改变此项可显示不同路径下的数据文件"));
  Chk_Start = new QCheckBox(QStringLiteral("从下死点开始显示"), central);
  Chk_Start->setObjectName(QStringLiteral("Chk_Start"));
  Chk_Start->setVisible(false);
  Command1 = new QPushButton(QStringLiteral("打印预览"), central);
  Command1->setObjectName(QStringLiteral("Command1"));
  Command1->setVisible(false);
  Command2 = new QPushButton(QStringLiteral("退  出"), central);
  Command2->setObjectName(QStringLiteral("Command2"));
  Command2->setToolTip(QStringLiteral("退出本应用程序"));
  pathrow->addWidget(Label2);
  pathrow->addWidget(Text2, 1);
  pathrow->addWidget(Chk_Start);
  pathrow->addWidget(Command1);
  pathrow->addWidget(Command2);
  outer->addLayout(pathrow);
  setCentralWidget(central);

  num = new QMenu(QStringLiteral("菜单"), this);
  sc_num = num->addAction(QStringLiteral("删除"));
  dy_num = num->addAction(QStringLiteral("打印选定"));
  connect(sc_num, &QAction::triggered, this, [this] { sc_num_Click(); });
  connect(dy_num, &QAction::triggered, this, [this] { dy_num_Click(); });
  // The record commands of the grid sit in the window's menu bar.
  menuBar()->addMenu(num);

  connect(Dir1, &DirList::changed, this, [this] { Dir1_Change(); });
  connect(File1, &FileList::file_mouse_down, this, [this](Qt::MouseButton b) { File1_MouseDown(b); });
  connect(Text2, &QLineEdit::returnPressed, this, [this] { Text2_KeyPress(); });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Chk_Start, &QCheckBox::clicked, this, [this] { Chk_Start_Click(); });
  connect(Grid1, &Grid::cell_clicked, this,
          [this](int r, int c, Qt::MouseButton b) { Grid1_MouseDown(r, c, b); });
  connect(Grid1, &Grid::cell_double_clicked, this, [this](int r, int c) { Grid1_DblClick(r, c); });
  connect(Picture1, &PictureBox::mouse_down, this,
          [this](Qt::MouseButton b, double x, double y) { Picture1_MouseDown(b, x, y); });
  for (auto* b : Image1) b->installEventFilter(this);
  resize(1180, 800);
}

void RodEngMapDisplay::Form_Load() {
  folder_.create_folders();
  // A PDF printed without a printer is proposed among the program's reports.
  PrintSession::pdf_folder() = path_text(folder_.report());
  // The library grid: 3 columns of 400, 1150 and 750 twips under a header row.
  Grid1->set_cols(3);
  Grid1->set_rows(1);
  Grid1->set_fixed_rows(1);
  Grid1->set_col_width_twips(0, 400);
  Grid1->set_col_width_twips(1, 1150);
  Grid1->set_col_width_twips(2, 750);
  Grid1->set_text(0, 0, QStringLiteral("序号"));
  Grid1->set_text(0, 1, QStringLiteral(" 井  号"));
  Grid1->set_text(0, 2, QStringLiteral(" 日  期"));
  show_data_folder();
  st.frame1_caption = "联合测试文件";
  st.frame3_enabled = false;
  sync_to_widgets();
}

void RodEngMapDisplay::show_data_folder() {
  Dir1->set_path(folder_.data());
  File1->set_path(Dir1->path());
  File1->set_pattern(QStringLiteral("*.o*"));
}

void RodEngMapDisplay::Dir1_Change() {
  File1->set_path(Dir1->path());
  File1->set_pattern(QStringLiteral("*.o*"));
}

void RodEngMapDisplay::File1_Click() {
  const std::filesystem::path full = chosen_file_path(*File1);
  if (full.empty()) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  // Each reader resets the shown test only once its file is accepted and then names it in
  // the path box, so a file that cannot be read leaves the previous test and its path in place.
  switch (test_kind_of_file(full)) {
    case kKindJoint: open_joint_test(full); break;
    case kKindCard: open_card_file(full); break;
    case kKindElectric: open_electric_file(full); break;
    case kKindWave: open_wave_file(full); break;
    default: break;
  }
  sync_to_widgets();
  QApplication::restoreOverrideCursor();
}

void RodEngMapDisplay::File1_MouseDown(Qt::MouseButton button) {
  if (button == Qt::LeftButton) {
    File1_Click();
  } else if (button == Qt::RightButton) {
    delete_chosen_file(*File1);
  }
}

void RodEngMapDisplay::Text1_GotFocus(int i) {
  QPalette p = Text1[i]->palette();
  p.setColor(QPalette::Base, QColor(0, 0, 255));
  p.setColor(QPalette::Text, QColor(255, 255, 0));
  Text1[i]->setPalette(p);
}

void RodEngMapDisplay::Text1_LostFocus(int i) {
  QPalette p = Text1[i]->palette();
  p.setColor(QPalette::Base, QColor(224, 224, 224));
  p.setColor(QPalette::Text, QColor(0, 0, 0));
  Text1[i]->setPalette(p);
}

void RodEngMapDisplay::Text1_KeyPress(int i) {
  sync_from_widgets();
  Text1[(i + 1) % kAppendedBoxCount]->setFocus();
  // The static-load lines need the theoretical stroke and both loads.
  const std::array<int, 3> static_card{appended_box::kTheoStroke, appended_box::kTheoMaxLoad, appended_box::kTheoMinLoad};
  if (std::ranges::find(static_card, i) != static_card.end()) {
    bool all = true;
    for (int k : static_card)
      if (trim_blanks(st.Text1[k]).empty()) all = false;
    if (all) disp_ll_sgt();
  }
}

void RodEngMapDisplay::Text2_KeyPress() { browse_typed_path(*Dir1, *File1, Text2->text()); }

void RodEngMapDisplay::dy_num_Click() {
  int r = Grid1->row();
  if (r < 1) return;
  Grid1->set_text(r, 0, QString::fromStdString(Toggle_Print_Mark(Grid1->text(r, 0).toStdString())));
}

void RodEngMapDisplay::Command2_Click() { close(); }

void RodEngMapDisplay::show_help() {
  // The help file sits in the program folder; a missing file or viewer changes nothing.
  auto help = folder_.root / "help.chm";
  std::error_code ec;
  if (std::filesystem::exists(help, ec)) services().shell->open_document(path_text(help));
}

void RodEngMapDisplay::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    close();
    return;
  }
  if (e->key() == Qt::Key_F1) {
    show_help();
    return;
  }
  QMainWindow::keyPressEvent(e);
}

void RodEngMapDisplay::closeEvent(QCloseEvent* e) {
  // Closing the main window ends the program. Every other open window is closed first, one
  // at a time, so that a window with unsaved edits asks its own close question; a window
  // that stays open (its question was cancelled) keeps the program running.
  QList<QPointer<QWidget>> others;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != this && w->isVisible() && (w->windowType() == Qt::Window || w->windowType() == Qt::Dialog))
      others.append(w);
  for (const QPointer<QWidget>& w : others)
    if (w && w->isVisible() && !w->close()) {
      e->ignore();
      return;
    }
  ending_ = true;
  e->accept();
  QApplication::closeAllWindows();
  QApplication::quit();
}

bool RodEngMapDisplay::eventFilter(QObject* obj, QEvent* ev) {
  // Press feedback of the toolbar: a border while the button is held.
  for (auto* b : Image1)
    if (obj == b) {
      if (ev->type() == QEvent::MouseButtonPress) b->setStyleSheet(QStringLiteral("border:1px solid black"));
      if (ev->type() == QEvent::MouseButtonRelease) b->setStyleSheet(QString());
    }
  return QMainWindow::eventFilter(obj, ev);
}

// A box too narrow for its text shows the text's beginning, as a reader expects: "326.4/3"
// rather than "6.4/327.6".
static void show_text_start(QLineEdit* e, const std::string& text) {
  if (e->text() == qs(text)) return;
  e->setText(qs(text));
  e->setCursorPosition(0);
}

void RodEngMapDisplay::sync_to_widgets() {
  for (int i = 0; i < kAppendedBoxCount; ++i) show_text_start(Text1[i], st.Text1[i]);
  for (int i = 0; i < kResultBoxCount; ++i) show_text_start(Text3[i], st.Text3[i]);
  if (R_iu->text() != qs(st.R_iu)) R_iu->setText(qs(st.R_iu));
  if (CircleDot->text() != qs(st.CircleDot)) CircleDot->setText(qs(st.CircleDot));
  Text2->setText(qs(path_shown_text(u8path(st.Text2))));
  Frame1->setTitle(qs(st.frame1_caption));
  Frame2->setTitle(qs(st.frame2_caption));
  Picture1->setToolTip(qs(st.picture1_tooltip));
  for (int i = 0; i < 15; ++i) Image1[i]->setToolTip(qs(st.image1_tooltip[i]));
  Chk_Start->setVisible(st.chk_start_visible);
  Chk_Start->setEnabled(st.chk_start_enabled);
  Chk_Start->setChecked(st.chk_start_checked);
  Frame3->setEnabled(st.frame3_enabled);
  for (int i = 0; i < kAppendedBoxCount; ++i) Text1[i]->setEnabled(st.text1_enabled[i]);
  Frame3->setVisible(st.frame3_visible);
  Command1->setVisible(st.command1_visible);
}

void RodEngMapDisplay::sync_from_widgets() {
  for (int i = 0; i < kAppendedBoxCount; ++i) st.Text1[i] = Text1[i]->text().toStdString();
  for (int i = 0; i < kResultBoxCount; ++i) st.Text3[i] = Text3[i]->text().toStdString();
  st.R_iu = R_iu->text().toStdString();
  st.CircleDot = CircleDot->text().toStdString();
  st.chk_start_checked = Chk_Start->isChecked();
}

}  // namespace wb
