#include "ui/design/mm_lines_overlay.h"

#include <QEvent>
#include <QPainter>

namespace wb::design {

MmLinesOverlay::MmLinesOverlay(QWidget* picture, QColor color, double px_per_mm)
    : QWidget(picture), color_(color), px_per_mm_(px_per_mm) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setGeometry(picture->rect());
  picture->installEventFilter(this);
  hide();
}

void MmLinesOverlay::set_lines(std::vector<QLineF> lines_mm) {
  lines_ = std::move(lines_mm);
  setVisible(!lines_.empty());
  raise();
  update();
}

void MmLinesOverlay::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(QPen(color_, 1));
  for (const QLineF& l : lines_)
    p.drawLine(QLineF(l.p1() * px_per_mm_, l.p2() * px_per_mm_));
}

bool MmLinesOverlay::eventFilter(QObject* obj, QEvent* ev) {
  if (obj == parent() && ev->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
  return QWidget::eventFilter(obj, ev);
}

}  // namespace wb::design
