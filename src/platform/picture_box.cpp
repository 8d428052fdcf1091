#include "platform/picture_box.h"

#include <QMouseEvent>
#include <QPainter>

namespace wb {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent), canvas_(400, 300) {
  canvas_.on_changed = [this] { update(); };
  setAttribute(Qt::WA_OpaquePaintEvent);
}

bool PictureBox::save_bmp(const QString& path) const { return canvas_.image().save(path, "BMP"); }

void PictureBox::set_page_a4() {
  fixed_page_ = true;
  canvas_.set_page_mm(210.0, 297.0);
  setFixedSize(canvas_.image().size());
  update();
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  p.drawImage(0, 0, canvas_.image());
}

void PictureBox::resizeEvent(QResizeEvent*) {
  if (!fixed_page_) canvas_.resize(width(), height());
}

void PictureBox::mousePressEvent(QMouseEvent* e) {
  double x = e->position().x() * 25.4 / 96.0;
  double y = e->position().y() * 25.4 / 96.0;
  emit mouse_down(e->button(), x, y);
}

QSize PictureBox::sizeHint() const { return {640, 420}; }

}  // namespace wb
