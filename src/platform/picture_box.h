// A picture box: a widget that shows a persistent picture drawn through a Canvas. The
// drawing stays until it is cleared; resizing keeps what was drawn.
#pragma once

#include <QWidget>

#include "platform/qt_canvas.h"

namespace wb {

class PictureBox : public QWidget {
  Q_OBJECT
 public:
  explicit PictureBox(QWidget* parent = nullptr);
  ImageCanvas& canvas() { return canvas_; }
  const QImage& image() const { return canvas_.image(); }
  // Saves the picture as a BMP file; false when it cannot be written.
  bool save_bmp(const QString& path) const;
  // Makes the picture an A4 page (210 x 297 mm) for a page preview.
  void set_page_a4();
  // Gives the picture a fixed drawing area (in twips, as the window's design sizes it),
  // drawn at `render_dpi` and shown scaled to fit the widget with its proportions kept, so
  // a chart laid out for a small picture stays sharp on a large screen.
  void set_fixed_area_twips(int width_twips, int height_twips, double render_dpi = 240.0);

 signals:
  // Mouse pressed at (x, y) in millimetres from the top-left corner.
  void mouse_down(Qt::MouseButton button, double x_mm, double y_mm);

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  QSize sizeHint() const override;

 private:
  QRectF shown_rect() const;
  ImageCanvas canvas_;
  bool fixed_page_ = false;
  bool fixed_area_ = false;
  bool repaint_asked_ = false;  // an update is pending for drawing done since the last paint
};

}  // namespace wb
