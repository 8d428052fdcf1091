#include "ui/balance/balance_print.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "platform/services_qt.h"
#include "ui/balance/balance_analysis.h"

namespace wb {

namespace {
const QString kPrintMark = QStringLiteral("▲");
}

BalancePrint::BalancePrint(BalanceAnalysis& owner, QWidget* parent) : QWidget(parent, Qt::Window), owner_(owner) {
  setWindowTitle(QStringLiteral("平衡分析打印"));
  auto* v = new QVBoxLayout(this);
  auto* opts = new QHBoxLayout;
  Option1 = new QRadioButton(QStringLiteral("打印当前井"));
  Option2 = new QRadioButton(QStringLiteral("按下面选定井打印"));
  opts->addWidget(Option1);
  opts->addWidget(Option2);
  v->addLayout(opts);
  Grid1 = new Grid;
  Grid1->setToolTip(QStringLiteral("双击左键增加打印井，单击右键删除记录"));
  Grid1->installEventFilter(this);
  v->addWidget(Grid1, 1);
  auto* buttons = new QHBoxLayout;
  Command1 = new QPushButton(QStringLiteral("确 定"));
  Command2 = new QPushButton(QStringLiteral("取 消"));
  buttons->addStretch(1);
  buttons->addWidget(Command1);
  buttons->addWidget(Command2);
  v->addLayout(buttons);
  connect(Option1, &QRadioButton::clicked, this, [this] { Option1_Click(); });
  connect(Option2, &QRadioButton::clicked, this, [this] { Option2_Click(); });
  connect(Grid1, &Grid::cell_double_clicked, this, [this](int, int) { Grid1_DblClick(); });
  connect(Grid1, &Grid::cell_clicked, this, [this](int, int, Qt::MouseButton b) { Grid1_MouseDown(b); });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { close(); });
  Option1->setChecked(true);
  Grid1->setEnabled(false);
  resize(420, 420);
}

void BalancePrint::Option1_Click() { Grid1->setEnabled(false); }
void BalancePrint::Option2_Click() { Grid1->setEnabled(true); }

void BalancePrint::toggle(int row) {
  if (row < 1 || row >= Grid1->rows()) return;
  const QString t = Grid1->text(row, 0);
  Grid1->set_text(row, 0, t.startsWith(kPrintMark) ? t.mid(1) : kPrintMark + t);
}

void BalancePrint::Grid1_DblClick() { toggle(Grid1->row()); }

void BalancePrint::Grid1_KeyPress(int key) {
  if (key != 'P' && key != 'p') return;
  int first = -1, last = -1;
  for (const QTableWidgetSelectionRange& r : Grid1->selectedRanges()) {
    first = first < 0 ? r.topRow() : std::min(first, r.topRow());
    last = std::max(last, r.bottomRow());
  }
  if (first < 0) first = last = Grid1->row();
  if (first == 0) first = 1;
  if (last == 0) return;
  for (int r = first; r <= last; ++r) toggle(r);
}

void BalancePrint::Grid1_MouseDown(Qt::MouseButton button) {
  if (button != Qt::RightButton) return;
  int first = -1, last = -1;
  for (const QTableWidgetSelectionRange& r : Grid1->selectedRanges()) {
    first = first < 0 ? r.topRow() : std::min(first, r.topRow());
    last = std::max(last, r.bottomRow());
  }
  if (first < 0) first = last = Grid1->row();
  if (owner_.kill_jl(first, last, Grid1->row())) owner_.prt_grid();
}

std::vector<int> BalancePrint::marked_rows() const {
  std::vector<int> rows;
  for (int r = 1; r < Grid1->rows(); ++r)
    if (Grid1->text(r, 0).startsWith(kPrintMark)) rows.push_back(r);
  return rows;
}

void BalancePrint::Command1_Click() {
  const std::vector<int> rows = Option2->isChecked() ? marked_rows() : std::vector<int>{};
  if (Option2->isChecked() && rows.empty()) {
    services().messages->show(kBalanceNoMarkText, kBalanceNoMarkTitle, MsgButtons::Ok);
    return;
  }
  owner_.print_ph(Option2->isChecked() ? 2 : 1, rows, this);
}

bool BalancePrint::eventFilter(QObject* obj, QEvent* ev) {
  if (obj == Grid1 && ev->type() == QEvent::KeyPress) {
    const QString t = static_cast<QKeyEvent*>(ev)->text();
    if (t == "P" || t == "p") {
      Grid1_KeyPress(t[0].toLatin1());
      return true;
    }
  }
  return QWidget::eventFilter(obj, ev);
}

}  // namespace wb
