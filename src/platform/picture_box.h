// A picture box: a widget that shows a persistent picture drawn through a Canvas. The
// drawing stays until it is cleared; resizing keeps what was drawn.
#pragma once

#include <QWidget>
#include <functional>

#include "platform/qt_canvas.h"

namespace wb {

// Writes an image as a BMP file through write_file_atomic (encoded in memory first); false
// when it could not be encoded or written.
[[nodiscard]] bool save_image_bmp(const QImage& image, const QString& path);

class PictureBox : public QWidget {
  Q_OBJECT
 public:
  explicit PictureBox(QWidget* parent = nullptr);
  // The picture as drawn so far (a drawing left for later is drawn first).
  ImageCanvas& canvas() {
    draw_pending();
    return canvas_;
  }
  const QImage& image() const {
    draw_pending();
    return canvas_.image();
  }
  // Draws `draw` on the picture now when the box is shown; on a hidden box (a tab page not
  // shown) it is drawn when the box is first shown or its picture is asked for, so a
  // command pays only for the pictures the user sees. A drawing still waiting is dropped
  // for the next one: `draw` must draw the whole picture, clearing it first and setting
  // the scale, font and pens it uses, and take its data by value.
  void draw_when_shown(std::function<void(ImageCanvas&)> draw);
  bool drawing_pending() const { return static_cast<bool>(pending_); }
  // Saves the picture as a BMP file; false when it cannot be written.
  [[nodiscard]] bool save_bmp(const QString& path) const;
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
  void showEvent(QShowEvent*) override;
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  QSize sizeHint() const override;

 private:
  QRectF shown_rect() const;
  void draw_pending() const;
  ImageCanvas canvas_;
  mutable std::function<void(ImageCanvas&)> pending_;
  bool fixed_page_ = false;
  bool fixed_area_ = false;
  bool repaint_asked_ = false;  // an update is pending for drawing done since the last paint
};

}  // namespace wb
