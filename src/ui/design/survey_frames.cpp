#include "platform/qt_text.h"
#include "ui/design/survey_frames.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>
#include <tuple>

#include "core/workbench/main_picture.h"
#include "platform/grid.h"
#include "platform/picture_box.h"
#include "platform/services_qt.h"
#include "core/common/messages.h"

namespace wb::design {
namespace {

constexpr int kGridWidths[7] = {400, 720, 600, 680, 680, 680, 720};  // twips
const QColor kBoxIdle(224, 224, 224);

void paint_box(QLineEdit* e, bool focused) {
  QPalette p = e->palette();
  p.setColor(QPalette::Base, focused ? QColor(0, 0, 255) : kBoxIdle);
  p.setColor(QPalette::Text, focused ? Qt::white : Qt::black);
  e->setPalette(p);
}

}  // namespace

SurveyTableFrame::SurveyTableFrame(RodDesignEngine& eng, QWidget* parent)
    : QGroupBox(QStringLiteral("斜井数据表"), parent), eng_(eng) {
  auto* lay = new QGridLayout(this);
  Grid1 = new Grid(this);
  Grid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
  Grid1->set_cols(7);
  Grid1->set_fixed_cols(1);
  Grid1->setMinimumSize(4935 * 96 / 1440, 3615 * 96 / 1440);
  for (int c = 0; c < 7; ++c) Grid1->set_col_width_twips(c, kGridWidths[c]);
  lay->addWidget(Grid1, 0, 0, 1, 12);

  // Two lines of entry boxes: depth, inclination ° ′, azimuth ° ′ / displacement, total azimuth ° ′, vertical depth.
  struct Cell {
    const char* label;
    const char* mark;
  };
  const Cell cells[9] = {{"斜深", ""}, {"井斜角", "。"}, {nullptr, "\""}, {"方位角", "。"}, {nullptr, "\""},
                         {"总位移", ""}, {"总方位", "。"}, {nullptr, "\""}, {"垂直井深", ""}};
  int col = 0, row = 1;
  for (int i = 0; i < 9; ++i) {
    if (i == 5) {
      row = 2;
      col = 0;
    }
    if (cells[i].label) lay->addWidget(new QLabel(QString::fromUtf8(cells[i].label), this), row, col++);
    Text1[i] = new QLineEdit(this);
    Text1[i]->setMinimumWidth(64);
    Text1[i]->setMaximumWidth(80);
    Text1[i]->setAutoFillBackground(true);
    paint_box(Text1[i], false);
    Text1[i]->installEventFilter(this);
    lay->addWidget(Text1[i], row, col++);
    if (*cells[i].mark) lay->addWidget(new QLabel(QString::fromUtf8(cells[i].mark), this), row, col++);
    connect(Text1[i], &QLineEdit::textEdited, this, [this, i](const QString& t) {
      eng_.Text1_Change(i, t.toStdString());
      refresh_grid();
    });
  }
  Cmd_Recalc = new QPushButton(QStringLiteral("更新"), this);
  lay->addWidget(Cmd_Recalc, 1, 11, 2, 1);
  connect(Cmd_Recalc, &QPushButton::clicked, this, [this] { compute_trajectory(); });

  JXdataEdit = new QMenu(QStringLiteral("井斜数据编辑"), this);
  num_in = JXdataEdit->addAction(QStringLiteral("插入一行"));
  num_del = JXdataEdit->addAction(QStringLiteral("删除选定区"));
  all_del = JXdataEdit->addAction(QStringLiteral("全部删除"));
  past = JXdataEdit->addAction(QStringLiteral("从EXCEL表粘贴"));
  Men_copy = JXdataEdit->addAction(QStringLiteral("复制"));
  connect(num_in, &QAction::triggered, this, [this] {
    take_selection();
    eng_.num_in_Click();
    refresh();
  });
  connect(num_del, &QAction::triggered, this, [this] {
    take_selection();
    eng_.num_del_Click();
    refresh();
  });
  connect(all_del, &QAction::triggered, this, [this] {
    eng_.all_del_Click();
    refresh();
  });
  connect(past, &QAction::triggered, this, [this] {
    const QMimeData* m = QApplication::clipboard()->mimeData();
    const bool has = m && m->hasText();
    eng_.past_Click(has ? QApplication::clipboard()->text().toStdString() : std::string(), has);
    refresh();
  });
  connect(Men_copy, &QAction::triggered, this, [this] {
    take_selection();
    QApplication::clipboard()->clear();
    QApplication::clipboard()->setText(qs(eng_.Men_copy_text()));
  });
  connect(Grid1, &Grid::cell_clicked, this, &SurveyTableFrame::cell_clicked);
  // The engine keeps the table's top row; scrolling by hand moves it, so a click or a key that
  // shows the grid again leaves the rows where the user put them.
  connect(Grid1->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { note_top_row(); });
  // The right button opens the menu without touching the selection it works on.
  Grid1->viewport()->installEventFilter(this);
  refresh();
}

void SurveyTableFrame::load_survey() {
  std::ignore = eng_.Get_JXdat();  // a file that cannot be read is told; the table shows empty
  refresh();
}

DesignOutcome SurveyTableFrame::save_survey() {
  const DesignOutcome saved = eng_.save_jx();
  refresh();
  return saved;
}

void SurveyTableFrame::compute_trajectory() {
  take_selection();
  eng_.CalcTrajectory();
  refresh();
  emit trajectory_computed();
}

void SurveyTableFrame::reset_grid() {
  const TextGrid g2 = eng_.st.Grid2;
  eng_.SetupGrids();
  eng_.st.Grid2 = g2;  // only the survey grid is laid out again here
  refresh();
}

void SurveyTableFrame::refresh() {
  refresh_grid();
  refresh_boxes();
}

void SurveyTableFrame::refresh_grid() {
  refreshing_ = true;
  const TextGrid& g = eng_.st.Grid1;
  Grid1->set_rows(g.rows());
  for (int r = 0; r < g.rows(); ++r)
    for (int c = 0; c < 7; ++c) Grid1->set_text(r, c, qs(g.text(r, c)));
  if (g.rows() > 1) {
    Grid1->set_row(std::clamp(g.row, 1, g.rows() - 1));
    Grid1->clearSelection();
    const int r1 = std::clamp(std::min(g.sel_row1, g.sel_row2), 1, g.rows() - 1);
    const int r2 = std::clamp(std::max(g.sel_row1, g.sel_row2), 1, g.rows() - 1);
    if (g.sel_col2 >= 1)
      Grid1->setRangeSelected(QTableWidgetSelectionRange(r1, std::max(1, g.sel_col1), r2, g.sel_col2), true);
    const int top = std::clamp(g.top_row, 1, g.rows() - 1);
    Grid1->scrollTo(Grid1->model()->index(top, 0), QAbstractItemView::PositionAtTop);
    // The current row (the one clicked or just typed) stays in view.
    Grid1->scrollTo(Grid1->model()->index(Grid1->row(), 1), QAbstractItemView::EnsureVisible);
  }
  refreshing_ = false;
  note_top_row();
}

void SurveyTableFrame::note_top_row() {
  if (refreshing_ || Grid1->rows() <= 1) return;
  // The first record row below the fixed heading, wherever the user or the table scrolled it.
  int heading = 0;
  for (int r = 0; r < std::min(Grid1->fixed_rows(), Grid1->rows()); ++r) heading += Grid1->rowHeight(r);
  const int r = Grid1->rowAt(heading + 1);
  if (r >= 1) eng_.st.Grid1.top_row = r;
}

void SurveyTableFrame::refresh_boxes() {
  for (int i = 0; i < 9; ++i) {
    const QString t = qs(eng_.st.Text1[static_cast<std::size_t>(i)]);
    if (Text1[i]->text() != t) Text1[i]->setText(t);
  }
  const int f = eng_.st.text1_focus;
  if (f >= 0 && f < 9 && isVisible()) Text1[f]->setFocus();
}

void SurveyTableFrame::take_selection() {
  TextGrid& g = eng_.st.Grid1;
  const auto ranges = Grid1->selectedRanges();
  if (!ranges.isEmpty()) {
    const auto& s = ranges.front();
    g.sel_row1 = s.topRow();
    g.sel_row2 = s.bottomRow();
    g.sel_col1 = s.leftColumn();
    g.sel_col2 = s.rightColumn();
  }
  if (Grid1->row() >= 1) g.row = Grid1->row();
}

void SurveyTableFrame::cell_clicked(int row, int col, Qt::MouseButton button) {
  if (button != Qt::LeftButton || row < 1) return;
  TextGrid& g = eng_.st.Grid1;
  g.row = row;
  g.col = col;
  eng_.Grid1_Click();
  refresh();
}

bool SurveyTableFrame::eventFilter(QObject* obj, QEvent* ev) {
  if (obj == Grid1->viewport() && ev->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(ev)->button() == Qt::RightButton) {
    const QMimeData* m = QApplication::clipboard()->mimeData();
    past->setEnabled(m && m->hasText());
    JXdataEdit->popup(static_cast<QMouseEvent*>(ev)->globalPosition().toPoint());
    return true;
  }
  for (int i = 0; i < 9; ++i) {
    if (obj != Text1[i]) continue;
    if (ev->type() == QEvent::FocusIn) {
      paint_box(Text1[i], true);
      eng_.st.text1_focus = i;
    } else if (ev->type() == QEvent::FocusOut) {
      paint_box(Text1[i], false);
    } else if (ev->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(ev)->key();
      if (key == Qt::Key_Up || key == Qt::Key_Down) {
        eng_.Text1_KeyDown(i, key == Qt::Key_Up ? 38 : 40);
        refresh_boxes();
        return true;
      }
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        eng_.Text1_KeyPress(i, 13);
        refresh();
        return true;
      }
    }
    break;
  }
  return QGroupBox::eventFilter(obj, ev);
}

// ---- 3D view ----

WellViewFrame::WellViewFrame(RodDesignEngine& eng, QWidget* parent)
    : QGroupBox(QStringLiteral("三维井眼曲线"), parent), eng_(eng) {
  auto* lay = new QGridLayout(this);
  Picture_3D = new PictureBox(this);
  Picture_3D->set_fixed_area_twips(3615, 4095);
  lay->addWidget(Picture_3D, 0, 0, 1, 4);
  lay->addWidget(new QLabel(QStringLiteral("视线方位"), this), 1, 0);
  Text_FW = new QLineEdit(this);
  Text_FW->setMaximumWidth(50);
  lay->addWidget(Text_FW, 1, 1);
  Cmd_Tran_Well = new QPushButton(this);
  lay->addWidget(Cmd_Tran_Well, 1, 3);
  HScroll_FW = new QScrollBar(Qt::Horizontal, this);
  HScroll_FW->setRange(-185, 185);
  HScroll_FW->setPageStep(5);
  HScroll_FW->setSingleStep(1);
  lay->addWidget(HScroll_FW, 2, 0, 1, 4);
  Timer_Tran.setInterval(20);

  eng_.picture_3d = &Picture_3D->canvas();
  eng_.picture_changed = [this] {
    Picture_3D->update();
    refresh();
  };
  connect(HScroll_FW, &QScrollBar::valueChanged, this, [this](int v) {
    if (refreshing_) return;
    eng_.set_HScroll_FW(v);
    refresh();
  });
  connect(Text_FW, &QLineEdit::textEdited, this, [this](const QString& t) {
    eng_.set_Text_FW(t.toStdString());
    refresh();
  });
  connect(Cmd_Tran_Well, &QPushButton::clicked, this, [this] {
    eng_.Cmd_Tran_Well_Click();
    refresh();
  });
  connect(&Timer_Tran, &QTimer::timeout, this, [this] {
    eng_.Timer_Tran_Timer();
    refresh();
  });
  connect(Picture_3D, &PictureBox::mouse_down, this, [this](Qt::MouseButton b, double, double) {
    if (b == Qt::RightButton) save_picture();
  });
  eng_.Draw_box();
  refresh();
}

WellViewFrame::~WellViewFrame() {
  eng_.picture_3d = nullptr;
  eng_.picture_changed = nullptr;
}

void WellViewFrame::refresh() {
  if (refreshing_) return;
  refreshing_ = true;
  if (HScroll_FW->value() != eng_.st.HScroll_FW) HScroll_FW->setValue(eng_.st.HScroll_FW);
  if (Text_FW->text() != qs(eng_.st.Text_FW)) Text_FW->setText(qs(eng_.st.Text_FW));
  Cmd_Tran_Well->setText(qs(eng_.st.Cmd_Tran_Well));
  if (eng_.st.Timer_Tran && !Timer_Tran.isActive()) Timer_Tran.start();
  if (!eng_.st.Timer_Tran && Timer_Tran.isActive()) Timer_Tran.stop();
  refreshing_ = false;
}

void WellViewFrame::save_picture() {
  FileDialogRequest req;
  req.title = "3D井眼曲线另存为图片文件";
  req.filter = kPictureFilter;
  req.initial_dir = path_text(eng_.folder().image());
  req.file_name = eng_.picture_file_name();
  const std::string path = services().files->save_file(req);
  if (path.empty()) return;
  if (!Picture_3D->save_bmp(QString::fromStdString(path)))
    services().messages->show(picture_not_saved_text(path), "", MsgButtons::Ok, MsgIcon::Warning);
}

}  // namespace wb::design
