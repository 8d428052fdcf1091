#include "ui/level/level_display.h"

#include <algorithm>
#include <vector>

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QKeyEvent>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include "platform/screen_fit.h"
#include "core/common/number_text.h"
#include "core/level/echo_display.h"
#include "core/level/level_open.h"
#include "platform/file_browser.h"
#include "platform/grid.h"
#include "platform/picture_box.h"
#include "platform/services_qt.h"
#include "ui/workbench/analysis_windows.h"

namespace wb {

namespace {

// The pictures count in points; the screen draws 4/3 pixels a point (20 twips a point,
// 15 twips a pixel).
constexpr double kPxPerPoint = 4.0 / 3.0;
constexpr int kLeftColumnWidth = 215;  // px, the browser, method and library column at least
constexpr int kEchoPictureWidthPt = 5030;  // 100605 twips
constexpr int kEchoPictureTopPt = 24;      // 480 twips below the viewport's top
constexpr int kOverviewHeightPt = 85;      // 1695 twips
constexpr int kScrollMax = 3650, kScrollStep = 50;
constexpr double kLineBottomGapPt = 10.0;
const char* const kMarkerCaptions[kMarkerCount] = {"井口", "音标", "接箍开始", "接箍结束", "液面"};
const char* const kMarkerObjects[kMarkerCount] = {"Line14", "Line12", "Line11", "Line10", "Line13"};
const char* const kMenuObjects[kMarkerCount] = {"ym_jk", "ym_yb", "ym_jgks", "ym_jgjs", "ym_ym"};

int px(double points) { return static_cast<int>(std::lround(points * kPxPerPoint)); }

QFrame* vertical_line(QWidget* parent, const QColor& colour, const QString& name) {
  auto* f = new QFrame(parent);
  f->setObjectName(name);
  f->setAutoFillBackground(true);
  QPalette p = f->palette();
  p.setColor(QPalette::Window, colour);
  f->setPalette(p);
  f->setAttribute(Qt::WA_TransparentForMouseEvents);
  return f;
}

}  // namespace

LevelDisplay::LevelDisplay(const ProgramFolder& folder, QWidget* parent) : QWidget(parent), folder_(folder) {
  setWindowFlag(Qt::Window);
  setWindowTitle(QStringLiteral("动液面显示系统"));
  build();
  Form_Load();
  fit_to_screen(this);
}

void LevelDisplay::build() {
  auto* outer = new QHBoxLayout(this);
  outer->setContentsMargins(8, 8, 8, 8);

  // Left column: browser, methods, save and print, library.
  Frame1 = new QGroupBox(this);
  Frame1->setFixedWidth(kLeftColumnWidth);
  auto* f1 = new QVBoxLayout(Frame1);
  f1->setContentsMargins(6, 6, 6, 6);
  Frame2 = new QGroupBox(QStringLiteral("通讯库路径"), Frame1);
  auto* f2 = new QVBoxLayout(Frame2);
  f2->setContentsMargins(4, 4, 4, 4);
  Dir1 = new DirList(Frame2);
  Dir1->setObjectName(QStringLiteral("Dir1"));
  Dir1->setMaximumHeight(70);
  File1 = new FileList(Frame2);
  File1->setObjectName(QStringLiteral("File1"));
  Text2 = new QLineEdit(Frame2);
  Text2->setObjectName(QStringLiteral("Text2"));
  Text2->setToolTip(QStringLiteral("通讯库全程路径名"));
  f2->addWidget(Dir1);
  f2->addWidget(File1, 1);
  f2->addWidget(Text2);

  Frame3 = new QGroupBox(QStringLiteral("液面计算方式"), Frame1);
  auto* f3 = new QGridLayout(Frame3);
  f3->setContentsMargins(4, 4, 4, 4);
  Label1 = new QLabel(QStringLiteral("音标深度 油管长 根数"), Frame3);
  Text3 = new QLineEdit(QString::fromStdString(st.Text3), Frame3);
  Text3->setObjectName(QStringLiteral("Text3"));
  Text3->setToolTip(QStringLiteral("音标深度"));
  Text4 = new QLineEdit(QString::fromStdString(st.Text4), Frame3);
  Text4->setObjectName(QStringLiteral("Text4"));
  Text4->setToolTip(QStringLiteral("平均油管长度(米)"));
  Text5 = new QLineEdit(QString::fromStdString(st.Text5), Frame3);
  Text5->setObjectName(QStringLiteral("Text5"));
  Text5->setToolTip(QStringLiteral("接箍数"));
  Command1 = new QPushButton(QStringLiteral("按音标算"), Frame3);
  Command1->setObjectName(QStringLiteral("Command1"));
  Command3 = new QPushButton(QStringLiteral("按接箍算"), Frame3);
  Command3->setObjectName(QStringLiteral("Command3"));
  Command4 = new QPushButton(QStringLiteral("系统自动分析计算"), Frame3);
  Command4->setObjectName(QStringLiteral("Command4"));
  f3->addWidget(Label1, 0, 0, 1, 3);
  f3->addWidget(Text3, 1, 0);
  f3->addWidget(Text4, 1, 1);
  f3->addWidget(Text5, 1, 2);
  f3->addWidget(Command1, 2, 0, 1, 2);
  f3->addWidget(Command3, 2, 2);
  f3->addWidget(Command4, 3, 0, 1, 3);
  f3->setColumnStretch(0, 3);
  f3->setColumnStretch(1, 2);
  f3->setColumnStretch(2, 2);

  auto* buttons = new QHBoxLayout();
  Command2 = new QPushButton(QStringLiteral("保存"), Frame1);
  Command2->setObjectName(QStringLiteral("Command2"));
  Command6 = new QPushButton(QStringLiteral("打印"), Frame1);
  Command6->setObjectName(QStringLiteral("Command6"));
  buttons->addWidget(Command2);
  buttons->addWidget(Command6);
  Label3 = new QLabel(QStringLiteral("主库"), Frame1);
  Grid1 = new Grid(Frame1);
  Grid1->setObjectName(QStringLiteral("Grid1"));

  f1->addWidget(Frame2, 3);
  f1->addWidget(Frame3);
  f1->addLayout(buttons);
  f1->addWidget(Label3);
  f1->addWidget(Grid1, 2);
  outer->addWidget(Frame1);

  // Right: gain bar and overview, then the echo viewport and its scroll bar.
  auto* right = new QVBoxLayout();
  right->setSpacing(2);
  auto* top = new QHBoxLayout();
  VScroll1 = new QScrollBar(Qt::Vertical, this);
  VScroll1->setObjectName(QStringLiteral("VScroll1"));
  VScroll1->setRange(1, 8);
  VScroll1->setValue(st.gain);
  VScroll1->setPageStep(1);
  VScroll1->setToolTip(QStringLiteral("增益"));
  VScroll1->setFixedHeight(px(kOverviewHeightPt));
  Picture1 = new PictureBox(this);
  Picture1->setObjectName(QStringLiteral("Picture1"));
  Picture1->setFixedHeight(px(kOverviewHeightPt));
  Picture1->setMinimumWidth(300);
  Picture1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  Line1 = vertical_line(Picture1, Qt::black, QStringLiteral("Line1"));
  top->addWidget(VScroll1);
  top->addWidget(Picture1, 1);
  right->addLayout(top);

  Picture4 = new QFrame(this);
  Picture4->setObjectName(QStringLiteral("Picture4"));
  static_cast<QFrame*>(Picture4)->setFrameShape(QFrame::Box);
  Picture4->setMinimumHeight(px(kEchoPictureTopPt + 120));
  Picture4->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  Label2 = new QLabel(QStringLiteral("井号"), Picture4);
  Label2->setObjectName(QStringLiteral("Label2"));
  Picture2 = new PictureBox(Picture4);
  Picture2->setObjectName(QStringLiteral("Picture2"));
  Picture2->canvas().back_color = 0xE0E0E0;
  Line2 = vertical_line(Picture2, QColor(0, 192, 192), QStringLiteral("Line2"));
  for (int m = 0; m < kMarkerCount; ++m) {
    marker_lines[m] = vertical_line(Picture2, QColor(0xC0, 0xC0, 0xC0), QString::fromLatin1(kMarkerObjects[m]));
    auto* l = new QLabel(QString::fromUtf8(kMarkerCaptions[m]), Picture2);
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    l->setPalette(p);
    l->adjustSize();
    l->setAttribute(Qt::WA_TransparentForMouseEvents);
    marker_labels[m] = l;
  }
  Picture4->installEventFilter(this);
  right->addWidget(Picture4, 1);
  HScroll1 = new QScrollBar(Qt::Horizontal, this);
  HScroll1->setObjectName(QStringLiteral("HScroll1"));
  HScroll1->setRange(0, kScrollMax);
  HScroll1->setSingleStep(kScrollStep);
  HScroll1->setPageStep(kScrollStep);
  HScroll1->setTracking(false);  // acts when the value is set, not while dragged
  right->addWidget(HScroll1);
  outer->addLayout(right, 1);

  ym_mnu = new QMenu(this);
  ym_mnu->setObjectName(QStringLiteral("ym_mnu"));
  for (int m = 0; m < kMarkerCount; ++m) {
    ym_items[m] = ym_mnu->addAction(QString::fromUtf8(kMarkerCaptions[m]));
    ym_items[m]->setObjectName(QString::fromLatin1(kMenuObjects[m]));
  }

  num1 = new QMenu(this);
  num1->setObjectName(QStringLiteral("num1"));
  sc_num = num1->addAction(QStringLiteral("删除"));
  dy_num = num1->addAction(QStringLiteral("打印选定"));
  for (int m = 0; m < kMarkerCount; ++m)
    connect(ym_items[m], &QAction::triggered, this, [this, m] { ym_item_Click(static_cast<LevelMarker>(m)); });
  connect(sc_num, &QAction::triggered, this, [this] { sc_num_Click(); });
  connect(dy_num, &QAction::triggered, this, [this] { dy_num_Click(); });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
  connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
  connect(Grid1, &Grid::cell_clicked, this, [this](int r, int, Qt::MouseButton b) {
    Grid1_MouseDown(b);
    if (b == Qt::LeftButton) Grid1_Click(r);
  });
  connect(Grid1, &Grid::cell_double_clicked, this, [this](int, int) { Grid1_DblClick(); });
  Grid1->installEventFilter(this);
  connect(Dir1, &DirList::changed, this, [this] { Dir1_Change(); });
  connect(File1, &FileList::file_mouse_down, this, [this](Qt::MouseButton b) { File1_MouseDown(b); });
  connect(Text2, &QLineEdit::returnPressed, this, [this] { Text2_KeyPress(); });
  connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
  connect(VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });
  connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
  connect(Picture1, &PictureBox::mouse_down, this,
          [this](Qt::MouseButton b, double x_mm, double) { Picture1_MouseDown(b, points_of_mm(x_mm)); });
  connect(Picture2, &PictureBox::mouse_down, this,
          [this](Qt::MouseButton b, double x_mm, double) { Picture2_MouseDown(b, points_of_mm(x_mm)); });
  resize(1100, 720);
}

void LevelDisplay::fit_library_columns() {
  // A test date is 12 digits (year to minute): its column takes all of them, as a listed
  // date widens it, and the left column is as wide as the list's three columns beside its
  // vertical scroll bar, so none of them is cut at any screen size or font.
  const int date = Grid1->fontMetrics().horizontalAdvance(QStringLiteral("000000000000")) + 8;
  if (Grid1->columnWidth(kColDate) < date) Grid1->setColumnWidth(kColDate, date);
  int list = 2 * Grid1->frameWidth() + Grid1->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, Grid1);
  for (int c = 0; c < kGridCols; ++c) list += Grid1->columnWidth(c);
  const QMargins m = Frame1->layout()->contentsMargins();
  const int frame = 2 * Frame1->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, Frame1);
  Frame1->setFixedWidth(std::max(kLeftColumnWidth, list + m.left() + m.right() + frame));
}

void LevelDisplay::Form_Load() {
  st.auto_level_index = -1;
  Grid1->set_cols(kGridCols);
  Grid1->set_rows(2);
  Grid1->set_fixed_rows(1);
  Grid1->set_col_width_twips(kColNumber, 400);
  Grid1->set_col_width_twips(kColWell, 1500);
  Grid1->set_col_width_twips(kColDate, 1200);
  Grid1->set_text(0, kColNumber, QStringLiteral("序号"));
  Grid1->set_text(0, kColWell, QStringLiteral("    井     号"));
  Grid1->set_text(0, kColDate, QStringLiteral("测试日期"));
  fit_library_columns();
  Dir1->set_path(folder_.data());
  File1->set_path(folder_.data());
  File1->set_pattern(QStringLiteral("*.y*"));
  load_grid_dat();
  st.hide_markers();
  show_markers();
  Label2->adjustSize();
  set_commands_enabled(false);
}

void LevelDisplay::set_commands_enabled(bool on) {
  for (auto* b : {Command1, Command2, Command3, Command4, Command6}) b->setEnabled(on);
}

void LevelDisplay::Dir1_Change() {
  File1->set_path(Dir1->path());
  File1->set_pattern(QStringLiteral("*.y*"));
}

void LevelDisplay::File1_Click() {
  const std::filesystem::path full = chosen_file_path(*File1);
  if (full.empty()) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  Text2->setText(QString::fromStdString(path_shown_text(full)));
  if (open_raw_level_file(st, full, folder_, *services().messages)) {
    redraw_graph();
    set_commands_enabled(true);
  }
  QApplication::restoreOverrideCursor();
}

void LevelDisplay::File1_MouseDown(Qt::MouseButton button) {
  if (button == Qt::LeftButton) File1_Click();
  else if (button == Qt::RightButton) delete_chosen_file(*File1);
}

void LevelDisplay::Text2_KeyPress() { browse_typed_path(*Dir1, *File1, Text2->text()); }

// The curves do not depend on the speed and level searched: they are drawn meanwhile, and
// the marks that follow the search after it.
void LevelDisplay::Command4_Click() {
  read_boxes();
  run_automatic_analysis(st, folder_, *services().messages, [this] {
    redraw_level_curves(st, &Picture1->canvas(), overview_width_twips(), &Picture2->canvas());
  });
  redraw_level_marks(st, overview_width_twips(), &Picture2->canvas());
  show_markers();
  Picture1->update();
  Picture2->update();
  QApplication::restoreOverrideCursor();
}

void LevelDisplay::VScroll1_Change() {
  st.gain = VScroll1->value();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  redraw_graph();
  QApplication::restoreOverrideCursor();
}

void LevelDisplay::HScroll1_Change() { Picture2->move(-px(HScroll1->value()), px(kEchoPictureTopPt)); }

void LevelDisplay::Picture1_MouseDown(Qt::MouseButton, double x_points) {
  const double scale_width = Picture1->width() / kPxPerPoint;
  const double viewport = Picture4->width() / kPxPerPoint;
  if (scale_width <= 0) return;
  const long long v = round_even(HScroll1->maximum() / scale_width * x_points - viewport / 2 + 150);
  if (v < 0 || v > HScroll1->maximum()) return;
  HScroll1->setValue(static_cast<int>(v));
}

void LevelDisplay::Picture2_MouseDown(Qt::MouseButton button, double x_points) {
  if (button != Qt::RightButton) return;
  cursor_x_ = x_points;
  place_vertical(Line2, x_points);
  ym_mnu->popup(QCursor::pos());
}

double LevelDisplay::overview_width_twips() const { return Picture1->width() * 15.0; }

void LevelDisplay::redraw_graph() {
  read_boxes();
  wb::redraw_graph(st, &Picture1->canvas(), overview_width_twips(), &Picture2->canvas());
  show_markers();
  Picture1->update();
  Picture2->update();
}

void LevelDisplay::place_vertical(QFrame* line, double x_points) {
  const int bottom = std::max(1, Picture2->height() - px(kLineBottomGapPt));
  line->setGeometry(px(x_points), 0, 1, bottom);
}

void LevelDisplay::show_markers() {
  for (int m = 0; m < kMarkerCount; ++m) {
    const double x = st.marker_line_x[m];
    place_vertical(marker_lines[m], x);
    QLabel* l = marker_labels[m];
    l->move(px(x) - l->width() / 2, 2);
    // A marker below 10 points counts as not set (a record stores 0 for those): not shown.
    const bool shown = LevelTest::marker_set(x);
    l->setVisible(shown);
    marker_lines[m]->setVisible(shown);
    l->raise();
  }
  // Captions of markers close together would cover each other: a caption that meets one
  // already placed goes a line lower.
  std::vector<QRect> placed;
  for (int m = 0; m < kMarkerCount; ++m) {
    QLabel* l = marker_labels[m];
    if (!LevelTest::marker_set(st.marker_line_x[m])) continue;
    QRect r = l->geometry();
    auto meets = [&placed](const QRect& a) {
      return std::any_of(placed.begin(), placed.end(), [&a](const QRect& b) { return a.intersects(b); });
    };
    while (meets(r)) r.moveTop(r.top() + r.height() + 1);
    l->move(r.topLeft());
    placed.push_back(r);
  }
  place_vertical(Line2, cursor_x_);
  Line1->setGeometry(px(st.overview_mark_x), 0, 1, Picture1->height());
  show_title();
}

void LevelDisplay::show_title() {
  if (!st.caption.empty()) Label2->setText(QString::fromStdString(st.caption));
  Label2->adjustSize();
  Label2->move(std::max(0, (Picture4->width() - Label2->width()) / 2), 4);
}

void LevelDisplay::lay_out_picture2() {
  const int h = std::max(1, Picture4->height() - px(kEchoPictureTopPt));
  Picture2->setGeometry(-px(HScroll1->value()), px(kEchoPictureTopPt), px(kEchoPictureWidthPt), h);
  if (st.method == 0) clear_level_pictures(&Picture1->canvas(), &Picture2->canvas());
}

bool LevelDisplay::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Grid1 && event->type() == QEvent::KeyPress) {
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (!text.isEmpty()) Grid1_KeyPress(text.at(0));
  }
  if (watched == Picture4 && event->type() == QEvent::Resize) {
    lay_out_picture2();
    if (st.method != 0) redraw_graph();
    else show_markers();
  }
  return QWidget::eventFilter(watched, event);
}

void register_level_window() {
  analysis_windows()[AnalysisWindow::Level] = [](MainWindowLink& main) -> QWidget* {
    return new LevelDisplay(main.program_folder());
  };
}

}  // namespace wb
