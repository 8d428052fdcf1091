#include "platform/qt_text.h"
#include "platform/screen_fit.h"
#include "ui/statistics/sys_effi_assemble.h"

#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QFontMetrics>
#include <tuple>
#include <QSignalBlocker>
#include <QTimer>
#include <array>

#include "core/common/record_limit.h"
#include "core/common/record_store.h"
#include "core/records/gt_ym_record.h"
#include "core/printing/print_state.h"
#include "core/statistics/effi_stat_export.h"
#include "core/statistics/effi_stat_report.h"
#include "platform/combo_box.h"
#include "platform/grid.h"
#include "platform/print_dialog.h"
#include "platform/services_qt.h"
#include "ui/efficiency/sys_effi_analysis.h"

namespace wb {

namespace {

// Twips to pixels at 96 dpi.
int tw(int twips) { return twips / 15; }

const QColor kWindowGrey(192, 192, 192);
const QColor kLightGrey(224, 224, 224);

// The client area when the window opens, and the margins by which the grid follows the
// window's outer size.
constexpr int kClientWidthTw = 8565;
constexpr int kClientHeightTw = 5970;
constexpr int kGridLeftTw = 120;
constexpr int kGridTopTw = 1200;
constexpr int kGridWidthMarginTw = 350;
constexpr int kGridHeightMarginTw = 1700;
constexpr int kMinGridPx = 16;  // the grid never asks for less, however small the window

constexpr const char* kNoConditionText = "请选取统计条件";
const std::string kStatReadFailedText = "不能读取文件 ";

void set_background(QWidget* w, const QColor& c, QPalette::ColorRole role = QPalette::Window) {
  QPalette p = w->palette();
  p.setColor(role, c);
  w->setPalette(p);
  w->setAutoFillBackground(true);
}

QFont song(double pt) {
  QFont f(QStringLiteral("宋体"));
  f.setPointSizeF(pt);
  return f;
}

QPointer<SysEffiAssemble>& the_window() {
  static QPointer<SysEffiAssemble> w;
  return w;
}

}  // namespace

std::string& SysEffiAssemble::today_override() {
  static std::string t;
  return t;
}

static std::string today() {
  const std::string& fixed = SysEffiAssemble::today_override();
  return fixed.empty() ? QDate::currentDate().toString(QStringLiteral("yyyyMMdd")).toStdString() : fixed;
}

SysEffiAssemble::SysEffiAssemble(ProgramFolder prog, QWidget* parent)
    : QWidget(parent), st(gt_ym_path(prog)), prog_(std::move(prog)) {
  setWindowTitle(QStringLiteral("机械采油井系统效率统计分析"));
  setAttribute(Qt::WA_DeleteOnClose);
  build_ui();
  Form_Load();
  fit_to_screen(this);
}

void SysEffiAssemble::build_ui() {
  set_background(this, kWindowGrey);
  resize(tw(kClientWidthTw), tw(kClientHeightTw));
  auto button = [this](QWidget* parent, const char* text, int l, int t, int w, int h) {
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setGeometry(tw(l), tw(t), tw(w), tw(h));
    return b;
  };
  Command2 = button(this, "打开", 120, 240, 735, 375);
  Command1 = button(this, "打印", 960, 240, 735, 375);
  Command4 = button(this, "存成文本文件", 120, 720, 1575, 375);

  Frame2 = new QGroupBox(QStringLiteral("统计范围"), this);
  Frame2->setGeometry(tw(1920), tw(120), tw(3735), tw(975));
  Frame2->setFont(song(10.5));
  auto label = [](QWidget* parent, const char* text, int l, int t, int w, int h) {
    auto* lb = new QLabel(QString::fromUtf8(text), parent);
    lb->setGeometry(tw(l), tw(t), tw(w), tw(h));
    lb->setFont(song(10.5));
    return lb;
  };
  label(Frame2, "字段", 120, 240, 615, 255);
  label(Frame2, "数值", 120, 600, 735, 255);
  auto combo = [this](int top) {
    auto* c = new QComboBox(Frame2);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    choose_from_list_only(c);
    c->setGeometry(tw(600), tw(top) - 2, tw(2295), 22);
    set_background(c, kLightGrey, QPalette::Base);
    c->setFont(font());
    return c;
  };
  Combo1 = combo(240);
  Combo2 = combo(600);
  Command3 = button(Frame2, "执行统计", 3000, 240, 615, 615);
  Command3->setFont(song(10.5));
  // The square button shows its caption on two lines, as a caption that does not fit wraps.
  auto* caption = new QLabel(Command3->text(), Command3);
  caption->setWordWrap(true);
  caption->setAlignment(Qt::AlignCenter);
  caption->setFont(Command3->font());
  caption->setAttribute(Qt::WA_TransparentForMouseEvents);
  caption->setGeometry(2, 2, Command3->width() - 4, Command3->height() - 4);
  Command3->setStyleSheet(QStringLiteral("QPushButton { color: transparent; }"));

  Frame1 = new QGroupBox(QString(), this);
  Frame1->setGeometry(tw(5880), tw(120), tw(2535), tw(975));
  for (auto [text, top] : {std::pair{"制表单位", 240}, std::pair{"制表日期", 600}}) {
    QLabel* lb = label(Frame1, text, 120, top, 975, 255);
    set_background(lb, kLightGrey);
  }
  Text1 = new QLineEdit(this);
  Text1->setGeometry(tw(6840), tw(360) - 2, tw(1455), tw(270) + 4);
  Text2 = new QLineEdit(this);
  Text2->setGeometry(tw(6840), tw(720) - 2, tw(1455), tw(270) + 4);

  Grid1 = new Grid(this);
  Grid1->setFont(song(9.75));
  set_background(Grid1, kLightGrey, QPalette::Base);
  Grid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
  Grid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  Grid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Grid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Grid1->setGeometry(tw(kGridLeftTw), tw(kGridTopTw), tw(8295), tw(4695));
  Grid1->set_cols(kStatColCount);
  Grid1->set_rows(kStatInitialRows);
  Grid1->set_fixed_rows(1);
  Grid1->set_fixed_cols(2);

  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
  connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
  connect(Combo2, &QComboBox::activated, this, [this] { Combo2_Click(); });
  connect(Text1, &QLineEdit::textEdited, this, [this] { st.Text1 = Text1->text().toStdString(); });
  connect(Text2, &QLineEdit::textEdited, this, [this] { st.Text2 = Text2->text().toStdString(); });
  Grid1->viewport()->installEventFilter(this);
}

void SysEffiAssemble::sync_grid() {
  const StatGrid& g = st.grid;
  const QSignalBlocker quiet(Grid1);
  // The columns given a width start from it again; the grid widens each column once, to
  // its longest text, as it takes the whole table.
  for (int c = 0; c < kStatColCount; ++c) {
    const int twips = kStatColumns[static_cast<std::size_t>(c)].twips;
    if (twips > 0) Grid1->set_col_width_twips(c, twips);
  }
  // The grid copies the texts straight from the table's rows.
  Grid1->set_rows_text(0, g.rows.size(), [&g](std::size_t r, std::size_t c) -> std::string_view {
    return c < kStatColCount ? g.rows.cell(r, c) : std::string_view();
  });
}

void SysEffiAssemble::sync_to_widgets() {
  sync_grid();
  Text1->setText(qs(st.Text1));
  Text2->setText(qs(st.Text2));
  Combo1->clear();
  for (const std::string& s : st.Combo1_items) Combo1->addItem(qs(s));
  Combo1->setCurrentIndex(-1);
  Combo1->setEditText(qs(st.Combo1_text));
  const QString value = Combo2->currentText();
  Combo2->clear();
  for (const std::string& s : st.Combo2_items) Combo2->addItem(qs(s));
  Combo2->setCurrentIndex(-1);
  Combo2->setEditText(value);
}

void SysEffiAssemble::sync_boxes_from_widgets() {
  st.Text1 = Text1->text().toStdString();
  st.Text2 = Text2->text().toStdString();
  st.Combo1_text = Combo1->currentText().toStdString();
}

void SysEffiAssemble::show_status(StatFileStatus s, bool opened, const std::filesystem::path& file) {
  if (s == StatFileStatus::Damaged) services().messages->show(kBadFormatText, kBadFormatTitle, MsgButtons::Ok);
  if (s == StatFileStatus::OverLimit) {
    std::size_t n = 0;
    std::ignore = RecordStore(file, kGtYmRecordSize).count(n);  // 0 when it cannot be counted; named all the same
    services().messages->show(over_limit_text(file, n), kBadFormatTitle, MsgButtons::Ok);
  }
  if (s == StatFileStatus::IoError)
    services().messages->show(kStatReadFailedText + path_text(st.cur_file), kBadFormatTitle, MsgButtons::Ok);
  // Damaged records are named once, when a file is opened; the reload after a deletion
  // shows the same file and does not repeat it.
  if (opened && s == StatFileStatus::Ok && !st.findings.empty())
    services().messages->show(gt_ym_findings_text(st.findings, path_text(st.cur_file)), kGtYmDamagedTitle,
                              MsgButtons::Ok, MsgIcon::Warning);
}

void SysEffiAssemble::Form_Load() {
  sync_boxes_from_widgets();
  const StatFileStatus s = st.load_library(today());
  sync_to_widgets();
  show_status(s, true, st.cur_file);
}

void SysEffiAssemble::Command2_Click() {
  FileDialogRequest req;
  req.title = "打开系统效率数据";
  req.filter = "效率统计文件(*.dat)|*.dat";
  req.initial_dir = path_text(prog_.sys());
  const std::string chosen = services().files->open_file(req);
  if (chosen.empty()) return;
  sync_boxes_from_widgets();
  const StatFileStatus s = st.open_file(u8path(chosen), today());
  sync_to_widgets();
  show_status(s, true, u8path(chosen));
}

void SysEffiAssemble::Combo1_Click() {
  sync_boxes_from_widgets();
  st.choose_field(Combo1->currentText().toStdString());
  const QString field = Combo1->currentText();
  sync_to_widgets();
  Combo1->setEditText(field);
  Combo2->setEditText(QString());
}

void SysEffiAssemble::Combo2_Click() {
  sync_boxes_from_widgets();
  st.choose_value(Combo2->currentText().toStdString());
}

void SysEffiAssemble::Command3_Click() {
  sync_boxes_from_widgets();
  switch (st.run_filter(today())) {
    case EffiStatState::Filter::Shown:
      break;
    case EffiStatState::Filter::NoCondition:
      services().messages->show(kNoConditionText, "", MsgButtons::Ok);
      return;
    case EffiStatState::Filter::Damaged:
      show_status(StatFileStatus::Damaged, false, st.cur_file);
      return;
    case EffiStatState::Filter::IoError:
      show_status(StatFileStatus::IoError, false, st.cur_file);
      return;
    case EffiStatState::Filter::OverLimit:
      show_status(StatFileStatus::OverLimit, false, st.cur_file);
      return;
  }
  const QString value = Combo2->currentText();
  sync_grid();
  Text2->setText(qs(st.Text2));
  Combo2->setEditText(value);
}

void SysEffiAssemble::Command4_Click() {
  FileDialogRequest req;
  req.title = kSaveTextFileTitle;
  req.filter = "文本文件(*.txt)|*.txt";
  // Proposed beside the printed reports, under the table's own name.
  req.initial_dir = path_text(prog_.report());
  req.file_name = "系统效率统计分析表.txt";
  const std::string chosen = services().files->save_file(req);
  if (chosen.empty()) return;
  if (!write_stat_export(u8path(chosen), st.grid.rows))
    services().messages->show(text_file_not_saved_text(chosen), kSaveTextFileTitle, MsgButtons::Ok);
}

void SysEffiAssemble::Command1_Click() {
  sync_boxes_from_widgets();
  PrintPresets presets;
  presets.paper_item = 1;  // A4 in the dialog's own paper list
  presets.paper_enabled = false;
  presets.landscape = true;
  presets.name = PrintName{"", "系统效率统计分析表"};
  const StatRows rows = st.grid.rows;
  const std::string unit = st.Text1;
  const std::string date = st.Text2;
  print_protocol(this, presets, [&](Canvas& printer, int) {
    // The report is laid out for A4 landscape, whatever list the paper box holds now.
    current_printer().paper_code = kPaperA4;
    current_printer().orientation = kLandscape;
    prt_stat_page(printer, rows, unit, date);
    // The report is read from the grid cell by cell: its current cell ends where the
    // reading ends, on the average row's last column.
    Grid1->set_row(Grid1->rowCount() - 1);
    Grid1->set_col(kStatColCount - 1);
  });
  activateWindow();
  update();
}

void SysEffiAssemble::Grid1_MouseDown(int button) {
  if (button != 2) return;
  kill_jl();
  sync_boxes_from_widgets();
  const StatFileStatus s = st.reload(today());
  sync_to_widgets();
  show_status(s, false, st.cur_file);
}

void SysEffiAssemble::kill_jl() {
  int a = Grid1->row();
  int b = a;
  const auto ranges = Grid1->selectedRanges();
  if (!ranges.isEmpty()) {
    a = ranges.front().topRow();
    b = ranges.front().bottomRow();
    for (const auto& r : ranges) {
      a = std::min(a, r.topRow());
      b = std::max(b, r.bottomRow());
    }
  }
  const int r = a == b ? Grid1->row() : -1;
  if (!services().messages->ask_yes_no(stat_delete_question(a, b, r), kStatDeleteTitle)) return;
  int removed = 0;
  switch (st.delete_confirmed(a, b, r, removed)) {
    case StatDeleteStatus::Changed:
      services().messages->show(kStatChangedText, kStatDeleteTitle, MsgButtons::Ok);
      break;
    case StatDeleteStatus::IoError:
      services().messages->show(records_not_deleted_text(path_text(st.cur_file)), kDeleteFailedTitle, MsgButtons::Ok);
      break;
    case StatDeleteStatus::Damaged:
      services().messages->show(kBadFormatText, kBadFormatTitle, MsgButtons::Ok);
      break;
    case StatDeleteStatus::Deleted:
    case StatDeleteStatus::Nothing:
      break;
  }
}

void SysEffiAssemble::Form_Resize() {
  if (isMinimized()) return;
  const QSize outer = frameGeometry().size();
  const int w = std::max(kMinGridPx, outer.width() - tw(kGridWidthMarginTw));
  const int h = std::max(kMinGridPx, outer.height() - tw(kGridHeightMarginTw));
  Grid1->setGeometry(tw(kGridLeftTw), tw(kGridTopTw), w, h);
}

bool SysEffiAssemble::eventFilter(QObject* watched, QEvent* e) {
  if (watched == Grid1->viewport() && e->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(e)->button() == Qt::RightButton) {
    // Anywhere in the grid; asked once the press has moved the current cell.
    QTimer::singleShot(0, this, [this] { Grid1_MouseDown(2); });
  }
  return QWidget::eventFilter(watched, e);
}

void SysEffiAssemble::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  Form_Resize();
}

SysEffiAssemble* show_sys_effi_assemble(const ProgramFolder& prog) {
  QPointer<SysEffiAssemble>& w = the_window();
  if (!w) w = new SysEffiAssemble(prog);
  w->show();
  w->raise();
  w->activateWindow();
  return w;
}

SysEffiAssemble* sys_effi_assemble_window() { return the_window(); }

void register_sys_effi_assemble(const ProgramFolder& prog) {
  sys_effi_assemble_opener() = [prog] { show_sys_effi_assemble(prog); };
}

}  // namespace wb
