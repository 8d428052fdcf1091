#include "platform/picture_box.h"

#include <QBuffer>
#include <QMouseEvent>
#include <QPainter>

#include "core/common/paths.h"
#include "core/common/record_store.h"

namespace wb {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent), canvas_(400, 300) {
  // One repaint per drawing, not per primitive: the first change after a paint asks for
  // it; the paint event takes the whole picture as it then stands. (A hidden widget drops
  // the request, but it is painted in full when it is shown.)
  canvas_.on_changed = [this] {
    if (repaint_asked_) return;
    repaint_asked_ = true;
    update();
  };
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::draw_when_shown(std::function<void(ImageCanvas&)> draw) {
  pending_ = std::move(draw);
  if (isVisible()) draw_pending();
}

// Logically const: the picture is what it would have been had the drawing run at once.
void PictureBox::draw_pending() const {
  if (!pending_) return;
  const std::function<void(ImageCanvas&)> draw = std::move(pending_);
  pending_ = nullptr;
  draw(const_cast<PictureBox*>(this)->canvas_);
}

// Encoded in memory, then written through a temporary file and a rename like every other
// file the program writes, so a failed save never leaves half a picture.
bool save_image_bmp(const QImage& image, const QString& path) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "BMP")) return false;
  return write_file_atomic(u8path(path.toStdString()), std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

bool PictureBox::save_bmp(const QString& path) const { return save_image_bmp(image(), path); }

void PictureBox::set_page_a4() {
  draw_pending();
  fixed_page_ = true;
  canvas_.set_page_mm(210.0, 297.0);
  setFixedSize(canvas_.image().size());
  update();
}

void PictureBox::set_fixed_area_twips(int width_twips, int height_twips, double render_dpi) {
  draw_pending();
  fixed_area_ = true;
  canvas_.set_dpi(render_dpi);
  canvas_.set_page_mm(width_twips * 25.4 / 1440.0, height_twips * 25.4 / 1440.0);
  update();
}

QRectF PictureBox::shown_rect() const {
  const QImage& img = canvas_.image();
  if (!fixed_area_ || img.isNull()) return QRectF(0, 0, img.width(), img.height());
  double sx = width() / static_cast<double>(img.width());
  double sy = height() / static_cast<double>(img.height());
  double s = std::min(sx, sy);
  double w = img.width() * s, h = img.height() * s;
  return QRectF((width() - w) / 2.0, (height() - h) / 2.0, w, h);
}

void PictureBox::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  draw_pending();
}

void PictureBox::paintEvent(QPaintEvent*) {
  draw_pending();  // normally done on show already
  repaint_asked_ = false;
  QPainter p(this);
  p.fillRect(rect(), fixed_area_ ? QColor(236, 236, 236) : QColor(Qt::white));
  if (fixed_area_) {
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(shown_rect(), canvas_.image());
  } else {
    p.drawImage(0, 0, canvas_.image());
  }
}

void PictureBox::resizeEvent(QResizeEvent*) {
  if (!fixed_page_ && !fixed_area_) {
    draw_pending();  // at the size it was asked at, then kept as a resize keeps any drawing
    canvas_.resize(width(), height());
  }
}

void PictureBox::mousePressEvent(QMouseEvent* e) {
  QRectF r = shown_rect();
  double sx = r.width() > 0 ? canvas_.area_width_mm() / r.width() : 25.4 / 96.0;
  double sy = r.height() > 0 ? canvas_.area_height_mm() / r.height() : 25.4 / 96.0;
  double x = (e->position().x() - r.left()) * sx;
  double y = (e->position().y() - r.top()) * sy;
  emit mouse_down(e->button(), x, y);
}

QSize PictureBox::sizeHint() const { return {640, 420}; }

}  // namespace wb
