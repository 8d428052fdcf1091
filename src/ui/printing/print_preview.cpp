#include "ui/printing/print_preview.h"

#include <QEvent>
#include <QResizeEvent>
#include <QScrollBar>

#include "platform/screen_fit.h"

namespace wb {
namespace {

QPointer<PrintPreview>& preview_ptr() {
  static QPointer<PrintPreview> p;
  return p;
}

}  // namespace

PrintPreview* PrintPreview::show_preview() {
  QPointer<PrintPreview>& p = preview_ptr();
  // A preview the user has just closed is on its way out: start a fresh one.
  if (p && !p->isVisible()) {
    p->deleteLater();
    p = nullptr;
  }
  if (!p) {
    p = new PrintPreview();
    centre_on_screen(p);
  }
  p->show();
  p->raise();
  p->activateWindow();
  return p;
}

PrintPreview* PrintPreview::current() { return preview_ptr().data(); }

PrintPreview::PrintPreview(QWidget* parent) : QWidget(parent, Qt::Window) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("抽油机井系统效率分析计算打印预览"));

  Picture1 = new QWidget(this);
  Picture1->setObjectName(QStringLiteral("Picture1"));
  Picture1->setAutoFillBackground(true);
  QPalette pal = Picture1->palette();
  pal.setColor(QPalette::Window, QColor(128, 128, 128));
  Picture1->setPalette(pal);
  Picture1->setGeometry(kViewportLeft, kViewportTop, 625, 393);  // 9375 x 5895 twips

  Picture2 = new PictureBox(Picture1);
  Picture2->setObjectName(QStringLiteral("Picture2"));
  Picture2->setGeometry(16, 8, 585, 867);  // 8775 x 13000 twips
  Picture2->installEventFilter(this);

  HScroll1 = new QScrollBar(Qt::Horizontal, this);
  HScroll1->setGeometry(kViewportLeft, 408, 609, kBarThickness);
  VScroll1 = new QScrollBar(Qt::Vertical, this);
  VScroll1->setGeometry(640, kViewportTop, kBarThickness, 401);
  for (QScrollBar* b : {HScroll1, VScroll1}) {
    b->setSingleStep(7);  // 100 twips
    b->setPageStep(33);   // 500 twips
    b->setRange(0, 467);  // 7000 twips
  }
  connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
  connect(VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });

  resize(663, 430);  // client area 9945 x 6450 twips
}

Canvas& PrintPreview::page_a4() {
  Picture2->set_page_a4();
  ImageCanvas& c = Picture2->canvas();
  c.reset_drawing_state();  // a second preview starts as the first did, as a printed copy does
  return c;
}

void PrintPreview::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  Form_Resize();
}

bool PrintPreview::eventFilter(QObject* obj, QEvent* ev) {
  if (obj == Picture2 && ev->type() == QEvent::Resize) Picture2_Resize();
  return QWidget::eventFilter(obj, ev);
}

void PrintPreview::Form_Resize() {
  const int w = width(), h = height();
  Picture1->resize(std::max(1, w - 2 * kViewportLeft - kBarThickness), std::max(1, h - 2 * kViewportTop));
  VScroll1->move(w - kViewportLeft - kBarThickness, VScroll1->y());
  // The client area has no caption bar to allow for: the bar sits one margin above the
  // window's lower edge, directly under the shortened viewport.
  HScroll1->move(HScroll1->x(), h - kBarThickness - kViewportTop);
  Layout_Page();
}

void PrintPreview::Picture2_Resize() { Layout_Page(); }

void PrintPreview::Layout_Page() {
  if (laying_out_) return;
  laying_out_ = true;
  const int w = width(), h = height();
  const int left = kViewportLeft, top = kViewportTop;
  int vp_w = Picture1->width();
  int vp_h = Picture1->height();
  const int page_w = Picture2->width(), page_h = Picture2->height();

  // Across: a page wider than the viewport (with a margin each side) scrolls from its left
  // edge; otherwise it is centred and the bar goes.
  const bool too_wide = 2 * left + page_w > vp_w;
  if (too_wide) {
    HScroll1->setMaximum(page_w - vp_w + left);
    HScroll1->show();
    HScroll1->resize(vp_w, kBarThickness);
    vp_h = h - 3 * top - kBarThickness;
    Picture2->move(0, Picture2->y());
    HScroll1->setValue(0);
  } else {
    HScroll1->hide();
    vp_h = h - 3 * top;
    Picture2->move((vp_w - page_w) / 2, Picture2->y());
  }
  // Down: the page is never centred vertically; its top stays where the last scroll put it.
  const bool too_tall = 2 * top + page_h > vp_h;
  if (too_tall) {
    VScroll1->setMaximum(page_h - vp_h + 2 * top);
    VScroll1->show();
    vp_w = w - 2 * left - kBarThickness;
  } else {
    VScroll1->hide();
    // Nothing left to scroll with: the page goes back to its first position.
    VScroll1->setValue(0);
    Picture2->move(Picture2->x(), top);
    vp_h = h - 2 * top - (too_wide ? kBarThickness + top : 0);
  }
  Picture1->resize(std::max(1, vp_w), std::max(1, vp_h));
  VScroll1->resize(kBarThickness, std::max(1, vp_h));
  laying_out_ = false;
}

void PrintPreview::HScroll1_Change() { Picture2->move(-HScroll1->value(), Picture2->y()); }

void PrintPreview::VScroll1_Change() { Picture2->move(Picture2->x(), -VScroll1->value()); }

}  // namespace wb
