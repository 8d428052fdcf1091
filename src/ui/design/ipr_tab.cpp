#include "platform/qt_text.h"
#include "ui/design/ipr_tab.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include "core/design/workbench/well_file_names.h"
#include "core/workbench/main_picture.h"
#include "platform/picture_box.h"
#include "platform/services_qt.h"
#include "ui/design/mm_lines_overlay.h"
#include "core/common/messages.h"

namespace wb::design {
namespace {

constexpr double kTwipsPerPx = 15.0;
constexpr double kPxPerMm = 96.0 / 25.4;
int px(double twips) { return static_cast<int>(twips / kTwipsPerPx + 0.5); }
QRect rect_tw(int l, int t, int w, int h) { return QRect(px(l), px(t), px(w), px(h)); }
// The tab's controls sit this far higher than on the tab page of the window's design,
// whose tab captions took that room; the page here starts below them.
constexpr int kTabTop = 480;

// Schematic geometry, twips of the well drawing.
constexpr int kSurface = 395;              // 0 m
constexpr int kColumnLeft = 240, kColumnWidth = 375;
constexpr int kMarkerLeft = 120, kMarkerW = 135, kMarkerH = 255;

}  // namespace

WellSchematic::WellSchematic(IprView& ipr, QWidget* parent) : QWidget(parent), ipr_(ipr) {}

void WellSchematic::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.scale(1.0 / kTwipsPerPx, 1.0 / kTwipsPerPx);  // draw in twips
  p.fillRect(QRectF(0, 0, 1335, 3255), QColor(0xE0, 0xE0, 0xE0));
  // Ground, wellhead and the casing walls down to 4000 m.
  p.fillRect(QRectF(0, kSurface, 1335, 30), QColor(150, 110, 60));
  p.fillRect(QRectF(kColumnLeft - 40, kSurface - 150, kColumnWidth + 80, 150), QColor(90, 90, 90));
  p.fillRect(QRectF(kColumnLeft + 150, kSurface - 260, kColumnWidth - 300, 110), QColor(90, 90, 90));
  // The liquid column below the level.
  const auto& v = ipr_.v;
  p.fillRect(QRectF(kColumnLeft, v.column_top, kColumnWidth, v.column_height), QColor(70, 130, 220));
  QPen wall(QColor(40, 40, 40), 30);
  p.setPen(wall);
  p.drawLine(QPointF(kColumnLeft - 15, kSurface), QPointF(kColumnLeft - 15, kColumnBottom));
  p.drawLine(QPointF(kColumnLeft + kColumnWidth + 15, kSurface), QPointF(kColumnLeft + kColumnWidth + 15, kColumnBottom));
  p.setPen(QPen(QColor(120, 120, 120), 20));
  p.drawLine(QPointF(kColumnLeft + 170, kSurface - 150), QPointF(kColumnLeft + 170, kColumnBottom - 200));
  p.drawLine(QPointF(kColumnLeft + 205, kSurface - 150), QPointF(kColumnLeft + 205, kColumnBottom - 200));
  // Depth scale every 1000 m.
  QFont f = font();
  f.setPixelSize(150);
  p.setFont(f);
  p.setPen(QPen(Qt::black, 15));
  for (int km = 0; km <= 4; ++km) {
    const double y = kSurface + km * 1000.0 * kSchematicSpan / kSchematicDepth;
    p.drawLine(QPointF(kColumnLeft + kColumnWidth + 40, y), QPointF(kColumnLeft + kColumnWidth + 140, y));
    p.drawText(QPointF(kColumnLeft + kColumnWidth + 160, y + 55), QString::number(km * 1000));
  }
  // The marker: an arrow pointing at the level.
  const double mt = v.marker_top;
  QPolygonF arrow;
  arrow << QPointF(kMarkerLeft, mt) << QPointF(kMarkerLeft + kMarkerW, mt + kMarkerH / 3.0)
        << QPointF(kMarkerLeft, mt + 2 * kMarkerH / 3.0);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(220, 30, 30));
  p.drawPolygon(arrow);
}

void WellSchematic::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::RightButton) {
    emit menu_requested(e->globalPosition().toPoint());
    return;
  }
  if (e->button() == Qt::LeftButton) ipr_.marker_drag(e->position().y() * kTwipsPerPx, false);
}

void WellSchematic::mouseMoveEvent(QMouseEvent* e) {
  if (e->buttons() & Qt::LeftButton) ipr_.marker_drag(e->position().y() * kTwipsPerPx, true);
}

IprTab::IprTab(DesignState& st, ProgramFolder folder, QWidget* parent)
    : QWidget(parent), ipr(st, *services().messages), st_(st), folder_(std::move(folder)) {
  Picture1 = new QFrame(this);
  Picture1->setGeometry(rect_tw(240, 600 - kTabTop, 6135, 4335));
  Picture1->setFrameShape(QFrame::Panel);
  Picture1->setFrameShadow(QFrame::Sunken);
  Picture6 = new PictureBox(Picture1);
  Picture6->setGeometry(rect_tw(120, 120, 4455, 3735));
  Picture6->canvas().resize(Picture6->width(), Picture6->height());
  design_legs = new MmLinesOverlay(Picture6, QColor(0xC0, 0xC0, 0xC0), kPxPerMm);
  auto* picture7 = new QFrame(Picture1);
  picture7->setGeometry(rect_tw(4560, 120, 1455, 3735));
  picture7->setAutoFillBackground(true);
  QPalette white = picture7->palette();
  white.setColor(QPalette::Window, Qt::white);
  picture7->setPalette(white);
  Picture3 = new WellSchematic(ipr, picture7);
  Picture3->setGeometry(rect_tw(0, 240, 1335, 3255));

  auto label = [&](int i, QWidget* parent_w, int l, int t, int w) {
    Label10[static_cast<std::size_t>(i)] = new QLabel(qs(ipr.v.Label10[static_cast<std::size_t>(i)]), parent_w);
    Label10[static_cast<std::size_t>(i)]->setGeometry(rect_tw(l, t, w, 255));
  };
  auto box = [&](QWidget* parent_w, int l, int t, int w) {
    auto* e = new QLineEdit(parent_w);
    e->setGeometry(rect_tw(l, t - 30, w, 300));
    return e;
  };
  label(2, Picture1, 120, 3960, 1200);
  Text9 = box(Picture1, 1320, 3960, 780);
  label(3, Picture1, 2160, 3960, 1200);
  Text11 = box(Picture1, 3360, 3960, 700);
  label(1, Picture1, 4080, 3960, 960);
  Text8 = box(Picture1, 5040, 3960, 960);

  label(7, this, 6840, 600 - kTabTop, 2295);
  label(8, this, 6840, 960 - kTabTop, 2295);
  label(9, this, 6840, 1320 - kTabTop, 2295);
  label(4, this, 6840, 1680 - kTabTop, 1320);
  Text7[ipr_box::kFlowingPressure] = box(this, 8160, 1680 - kTabTop, 1095);
  label(6, this, 6840, 2040 - kTabTop, 1320);
  Text7[ipr_box::kRate] = box(this, 8160, 2040 - kTabTop, 1095);
  label(0, this, 6840, 2400 - kTabTop, 1320);
  Text7[ipr_box::kLevel] = box(this, 8160, 2400 - kTabTop, 1095);
  Cmd_Redraw_IPR = new QPushButton(QStringLiteral("更新IPR曲线"), this);
  Cmd_Redraw_IPR->setGeometry(rect_tw(7320, 4560 - kTabTop, 1215, 375));
  setMinimumSize(px(9300), px(4935 - kTabTop));

  IPR = new QMenu(QStringLiteral("存IPR图"), this);
  IPR_SAVE = IPR->addAction(QStringLiteral("另存IPR曲线为图片"));

  for (int i = 0; i < 3; ++i)
    connect(Text7[static_cast<std::size_t>(i)], &QLineEdit::textChanged, this,
            [this, i](const QString& t) { box_edited(i, t); });
  connect(Text8, &QLineEdit::textChanged, this, [this](const QString& t) { box_edited(3, t); });
  connect(Cmd_Redraw_IPR, &QPushButton::clicked, this, [this] { Cmd_Redraw_IPR_Click(); });
  connect(IPR_SAVE, &QAction::triggered, this, [this] { IPR_SAVE_Click(); });
  connect(Picture3, &WellSchematic::menu_requested, this, [this](QPoint at) { IPR->popup(at); });
  connect(Picture6, &PictureBox::mouse_down, this, [this](Qt::MouseButton b, double, double) {
    if (b == Qt::RightButton) IPR->popup(QCursor::pos());
  });

  ipr.chart = &Picture6->canvas();
  ipr.changed = [this] { refresh(); };
  refresh();
}

void IprTab::box_edited(int which, const QString& text) {
  if (refreshing_) return;
  if (which < 3) ipr.set_Text7(which, text.toStdString());
  else ipr.set_Text8(text.toStdString());
  refresh();
}

void IprTab::Cmd_Redraw_IPR_Click() {
  ipr.Cmd_Redraw_IPR_Click();
  refresh();
}

void IprTab::SSTab1_Click(const QString& caption) {
  const std::string label3 = st_.Label3[design_label::kSystemEffBefore];
  ipr.SSTab1_Click(caption.toStdString());
  refresh();
  if (st_.Label3[design_label::kSystemEffBefore] != label3) emit design_labels_changed();
}

void IprTab::refresh() {
  if (refreshing_) return;
  refreshing_ = true;
  auto mirror = [](QLineEdit* e, const std::string& s) {
    if (e->text() != qs(s)) e->setText(qs(s));
  };
  for (std::size_t i = 0; i < 3; ++i) mirror(Text7[i], ipr.v.Text7[i]);
  mirror(Text8, ipr.v.Text8);
  mirror(Text9, ipr.v.Text9);
  mirror(Text11, ipr.v.Text11);
  for (std::size_t i = 0; i < Label10.size(); ++i)
    if (Label10[i]) Label10[i]->setText(qs(ipr.v.Label10[i]));
  if (ipr.v.lines_visible) {
    const auto& a = ipr.v.Line1;
    const auto& b = ipr.v.Line2;
    design_legs->set_lines({QLineF(a[0], a[1], a[2], a[3]), QLineF(b[0], b[1], b[2], b[3])});
  }
  if (ipr.v.focus_text7 >= 0) {
    Text7[static_cast<std::size_t>(ipr.v.focus_text7)]->setFocus();
    ipr.v.focus_text7 = -1;
  }
  Picture3->update();
  Picture6->update();
  refreshing_ = false;
}

void IprTab::IPR_SAVE_Click() {
  const auto name = ipr_bmp_name(st_.JName_Comb);
  if (!name) {
    services().messages->show(unsafe_well_name_text(st_.JName_Comb), "", MsgButtons::Ok, MsgIcon::Warning);
    return;
  }
  // The panel as shown: chart, schematic and the three value boxes under them.
  const QPixmap panel = Picture1->grab();
  FileDialogRequest req;
  req.title = "动态IPR曲线另存为图片文件";
  req.filter = kPictureFilter;
  req.initial_dir = path_text(folder_.image());
  req.file_name = *name;
  const std::string path = services().files->save_file(req);
  if (path.empty()) return;
  if (!save_image_bmp(panel.toImage(), qs(path)))
    services().messages->show(picture_not_saved_text(path), "", MsgButtons::Ok, MsgIcon::Warning);
}

}  // namespace wb::design
