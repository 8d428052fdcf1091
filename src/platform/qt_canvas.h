// Canvases on QPainter: a persistent picture (the picture box keeps its drawing between
// paints), a printer job, and an A4 preview page. Coordinates arrive in millimetres and
// are turned into device pixels here; fonts stay in points.
#pragma once

#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPrinter>
#include <functional>
#include <memory>
#include <vector>

#include "core/common/canvas.h"

namespace wb {

class QtCanvasBase : public Canvas {
 protected:
  // The painter to draw with, or nullptr when nothing can be drawn.
  virtual QPainter* painter() = 0;
  virtual double dpi_x() const = 0;
  virtual double dpi_y() const = 0;
  // Screen pens are in pixels; on paper one width unit is 0.1 mm.
  virtual double pen_unit_px() const { return 1.0; }

  void dev_clear(Rgb bg) override;
  void dev_line(double x1, double y1, double x2, double y2, const Pen& pen) override;
  void dev_lines(std::span<const CanvasSegment> segments, const Pen& pen) override;
  void dev_rect(double x1, double y1, double x2, double y2, const Pen& pen, std::optional<Rgb> fill) override;
  void dev_point(double x, double y, const Pen& pen) override;
  void dev_ellipse(double cx, double cy, double rx, double ry, const Pen& pen, std::optional<Rgb> fill) override;
  void dev_text(double x, double y, std::string_view text, const Font& font, Rgb color) override;
  double dev_text_width(std::string_view text, const Font& font) const override;
  double dev_text_height(const Font& font) const override;

  double px_x(double mm) const { return mm * dpi_x() / 25.4; }
  double px_y(double mm) const { return mm * dpi_y() / 25.4; }
  QPen make_pen(const Pen& pen) const;
  // Sets the painter's pen for `pen` unless it is the one set last (the painter's pen is
  // changed only here and by text, which forgets the last pen).
  void use_pen(QPainter& p, const Pen& pen);
  void forget_pen() { pen_set_ = false; }
  QFont make_font(const Font& font) const;
  virtual QPaintDevice* metric_device() const = 0;

 private:
  bool pen_set_ = false;
  Pen last_pen_;
  std::vector<QLineF> px_lines_;  // reused by dev_lines
};

// A picture that keeps its drawing: the image behind a PictureBox, a preview page, or a
// picture saved as BMP.
class ImageCanvas : public QtCanvasBase {
 public:
  // Size in pixels at `dpi` (the screen's 96 by default).
  ImageCanvas(int width_px, int height_px, double dpi = 96.0);
  ~ImageCanvas() override;
  void resize(int width_px, int height_px);
  // Resolution of the picture: fonts in points and pens in screen pixels scale with it.
  void set_dpi(double dpi);
  double dpi() const { return dpi_; }
  // Sets the image to a page of the given size in millimetres (A4: 210 x 297).
  void set_page_mm(double width_mm, double height_mm);
  const QImage& image() const { return image_; }
  QImage& image() { return image_; }
  double area_width_mm() const override { return image_.width() * 25.4 / dpi_; }
  double area_height_mm() const override { return image_.height() * 25.4 / dpi_; }
  // Called after every primitive (once for a batch of segments), so a widget can repaint.
  std::function<void()> on_changed;

 protected:
  QPainter* painter() override;
  double dpi_x() const override { return dpi_; }
  double dpi_y() const override { return dpi_; }
  QPaintDevice* metric_device() const override { return const_cast<QImage*>(&image_); }
  double pen_unit_px() const override { return dpi_ / 96.0; }
  void dev_clear(Rgb bg) override;
  void dev_line(double x1, double y1, double x2, double y2, const Pen& pen) override;
  void dev_lines(std::span<const CanvasSegment> segments, const Pen& pen) override;
  void dev_rect(double x1, double y1, double x2, double y2, const Pen& pen, std::optional<Rgb> fill) override;
  void dev_point(double x, double y, const Pen& pen) override;
  void dev_ellipse(double cx, double cy, double rx, double ry, const Pen& pen, std::optional<Rgb> fill) override;
  void dev_text(double x, double y, std::string_view text, const Font& font, Rgb color) override;
  bool dev_keep_background() override;
  bool dev_restore_background() override;

 private:
  void end_paint();
  void changed();
  QImage image_;
  QImage background_;  // the background kept last, at the picture's size then
  double dpi_;
  std::unique_ptr<QPainter> painter_;
};

// One print job on a QPrinter (a real printer or a PDF file). The job starts with the
// first primitive; new_page() ends a page, end_doc() ends the job.
class PrinterCanvas : public QtCanvasBase {
 public:
  explicit PrinterCanvas(QPrinter* printer);
  ~PrinterCanvas() override;
  bool is_printer() const override { return true; }
  double area_width_mm() const override;
  double area_height_mm() const override;
  bool failed() const { return failed_; }
  int pages_started() const { return pages_; }

 protected:
  QPainter* painter() override;
  double dpi_x() const override;
  double dpi_y() const override;
  double pen_unit_px() const override { return dpi_x() / 254.0; }
  QPaintDevice* metric_device() const override { return printer_; }
  void dev_clear(Rgb) override {}
  void dev_new_page() override;
  void dev_end_doc() override;

 private:
  QPrinter* printer_;
  std::unique_ptr<QPainter> painter_;
  bool failed_ = false;
  int pages_ = 0;
};

QColor to_qcolor(Rgb c);

}  // namespace wb
