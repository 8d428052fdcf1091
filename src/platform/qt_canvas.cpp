#include "platform/qt_canvas.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <cmath>
#include <cstring>

namespace wb {

QColor to_qcolor(Rgb c) { return QColor((c >> 16) & 255, (c >> 8) & 255, c & 255); }

namespace {

// The Chinese faces the charts and pages name have a text cell exactly one em high (no
// internal leading), and the pages are laid out on that: a card panel's 13 value lines at
// 7 pt just fit their frame. The faces that stand in for them here are taller (1.05 em for
// the Ming face, 1.44 em for the sans face), which would push lines past frames and table
// rules; so for these faces a text line is one em high with the baseline 220/256 em below
// its top, as in the named faces. The stand-ins' ideographs reach from 0.85 em above to
// 0.09 em below their baseline, so they sit inside that cell.
bool em_high_face(const std::string& name) {
  static const char* const kFaces[] = {"宋体", "黑体", "楷体_GB2312", "楷体", "仿宋_GB2312"};
  for (const char* f : kFaces)
    if (name == f) return true;
  return false;
}

constexpr double kEmCellAscent = 220.0 / 256.0;

double font_points(const Font& font) { return font.size > 0 ? font.size : 9.0; }

}  // namespace

QPen QtCanvasBase::make_pen(const Pen& pen) const {
  QPen p(to_qcolor(pen.color));
  double w = std::max(1, pen.width) * pen_unit_px();
  p.setWidthF(w <= 1.0 ? 0.0 : w);  // 0 = cosmetic one-pixel pen
  switch (pen.style) {
    case DrawStyle::Dash: p.setStyle(Qt::DashLine); break;
    case DrawStyle::Dot: p.setStyle(Qt::DotLine); break;
    case DrawStyle::DashDot: p.setStyle(Qt::DashDotLine); break;
    case DrawStyle::DashDotDot: p.setStyle(Qt::DashDotDotLine); break;
    case DrawStyle::Invisible: p.setStyle(Qt::NoPen); break;
    default: p.setStyle(Qt::SolidLine); break;
  }
  // Broken styles only show on thin lines: a pen wider than one unit always draws solid.
  if (pen.width > 1 && pen.style != DrawStyle::Invisible) p.setStyle(Qt::SolidLine);
  p.setCapStyle(Qt::FlatCap);
  return p;
}

QFont QtCanvasBase::make_font(const Font& font) const {
  QFont f(QString::fromStdString(font.name));
  f.setPointSizeF(font.size > 0 ? font.size : 9.0);
  f.setBold(font.bold);
  f.setItalic(font.italic);
  f.setUnderline(font.underline);
  return f;
}

void QtCanvasBase::dev_clear(Rgb bg) {
  if (QPainter* p = painter()) {
    p->save();
    p->resetTransform();
    p->fillRect(QRectF(0, 0, px_x(area_width_mm()), px_y(area_height_mm())), to_qcolor(bg));
    p->restore();
  }
}

void QtCanvasBase::use_pen(QPainter& p, const Pen& pen) {
  if (pen_set_ && pen.color == last_pen_.color && pen.width == last_pen_.width && pen.style == last_pen_.style) return;
  p.setPen(make_pen(pen));
  last_pen_ = pen;
  pen_set_ = true;
}

void QtCanvasBase::dev_line(double x1, double y1, double x2, double y2, const Pen& pen) {
  if (QPainter* p = painter()) {
    use_pen(*p, pen);
    p->drawLine(QPointF(px_x(x1), px_y(y1)), QPointF(px_x(x2), px_y(y2)));
  }
}

// The raster engine draws each segment of one drawLines call on its own, as drawLine does,
// as long as the pen is solid: a broken pattern would run on from one segment into the
// next instead of starting afresh, so broken pens draw segment by segment.
void QtCanvasBase::dev_lines(std::span<const CanvasSegment> segments, const Pen& pen) {
  QPainter* p = painter();
  if (!p) return;
  use_pen(*p, pen);
  if (p->pen().style() != Qt::SolidLine) {
    for (const CanvasSegment& s : segments) p->drawLine(QPointF(px_x(s.x1), px_y(s.y1)), QPointF(px_x(s.x2), px_y(s.y2)));
    return;
  }
  px_lines_.clear();
  px_lines_.reserve(segments.size());
  for (const CanvasSegment& s : segments) px_lines_.emplace_back(px_x(s.x1), px_y(s.y1), px_x(s.x2), px_y(s.y2));
  p->drawLines(px_lines_.data(), static_cast<int>(px_lines_.size()));
}

void QtCanvasBase::dev_rect(double x1, double y1, double x2, double y2, const Pen& pen, std::optional<Rgb> fill) {
  if (QPainter* p = painter()) {
    QRectF r = QRectF(QPointF(px_x(x1), px_y(y1)), QPointF(px_x(x2), px_y(y2))).normalized();
    if (fill) p->fillRect(r, to_qcolor(*fill));
    use_pen(*p, pen);
    p->setBrush(Qt::NoBrush);
    p->drawRect(r);
  }
}

void QtCanvasBase::dev_point(double x, double y, const Pen& pen) {
  if (QPainter* p = painter()) {
    double w = std::max(1.0, pen.width * pen_unit_px());
    p->fillRect(QRectF(px_x(x) - w / 2, px_y(y) - w / 2, w, w), to_qcolor(pen.color));
  }
}

void QtCanvasBase::dev_ellipse(double cx, double cy, double rx, double ry, const Pen& pen, std::optional<Rgb> fill) {
  if (QPainter* p = painter()) {
    use_pen(*p, pen);
    p->setBrush(fill ? QBrush(to_qcolor(*fill)) : QBrush(Qt::NoBrush));
    p->drawEllipse(QPointF(px_x(cx), px_y(cy)), px_x(rx), px_y(ry));
    p->setBrush(Qt::NoBrush);
  }
}

void QtCanvasBase::dev_text(double x, double y, std::string_view text, const Font& font, Rgb color) {
  if (QPainter* p = painter()) {
    QFont f = make_font(font);
    p->setFont(f);
    p->setPen(to_qcolor(color));
    forget_pen();
    QFontMetricsF fm(f, metric_device());
    const double ascent = em_high_face(font.name) ? font_points(font) * dpi_y() / 72.0 * kEmCellAscent : fm.ascent();
    p->drawText(QPointF(px_x(x), px_y(y) + ascent), QString::fromUtf8(text.data(), static_cast<int>(text.size())));
  }
}

double QtCanvasBase::dev_text_width(std::string_view text, const Font& font) const {
  QFontMetricsF fm(make_font(font), metric_device());
  return fm.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<int>(text.size()))) * 25.4 / dpi_x();
}

double QtCanvasBase::dev_text_height(const Font& font) const {
  if (em_high_face(font.name)) return font_points(font) * 25.4 / 72.0;
  QFontMetricsF fm(make_font(font), metric_device());
  return fm.height() * 25.4 / dpi_y();
}

// ---- ImageCanvas ----

ImageCanvas::ImageCanvas(int width_px, int height_px, double dpi) : dpi_(dpi) { resize(width_px, height_px); }

ImageCanvas::~ImageCanvas() { end_paint(); }

void ImageCanvas::end_paint() {
  if (painter_) {
    painter_->end();
    painter_.reset();
  }
}

void ImageCanvas::resize(int width_px, int height_px) {
  end_paint();
  QImage img(std::max(1, width_px), std::max(1, height_px), QImage::Format_RGB32);
  img.fill(to_qcolor(back_color));
  if (!image_.isNull()) {
    QPainter p(&img);
    p.drawImage(0, 0, image_);
  }
  img.setDotsPerMeterX(static_cast<int>(std::lround(dpi_ / 0.0254)));
  img.setDotsPerMeterY(static_cast<int>(std::lround(dpi_ / 0.0254)));
  image_ = img;
}

void ImageCanvas::set_dpi(double dpi) {
  end_paint();
  dpi_ = dpi > 0 ? dpi : 96.0;
  image_.setDotsPerMeterX(static_cast<int>(std::lround(dpi_ / 0.0254)));
  image_.setDotsPerMeterY(static_cast<int>(std::lround(dpi_ / 0.0254)));
}

void ImageCanvas::set_page_mm(double width_mm, double height_mm) {
  end_paint();
  image_ = QImage();
  resize(static_cast<int>(std::lround(width_mm * dpi_ / 25.4)), static_cast<int>(std::lround(height_mm * dpi_ / 25.4)));
}

QPainter* ImageCanvas::painter() {
  if (!painter_) {
    painter_ = std::make_unique<QPainter>(&image_);
    forget_pen();
    painter_->setRenderHint(QPainter::Antialiasing, true);
    painter_->setRenderHint(QPainter::TextAntialiasing, true);
  }
  return painter_.get();
}

void ImageCanvas::changed() {
  if (on_changed) on_changed();
}

void ImageCanvas::dev_clear(Rgb bg) {
  QtCanvasBase::dev_clear(bg);
  changed();
}
void ImageCanvas::dev_line(double x1, double y1, double x2, double y2, const Pen& pen) {
  QtCanvasBase::dev_line(x1, y1, x2, y2, pen);
  changed();
}
void ImageCanvas::dev_lines(std::span<const CanvasSegment> segments, const Pen& pen) {
  QtCanvasBase::dev_lines(segments, pen);
  changed();
}
void ImageCanvas::dev_rect(double x1, double y1, double x2, double y2, const Pen& pen, std::optional<Rgb> fill) {
  QtCanvasBase::dev_rect(x1, y1, x2, y2, pen, fill);
  changed();
}
void ImageCanvas::dev_point(double x, double y, const Pen& pen) {
  QtCanvasBase::dev_point(x, y, pen);
  changed();
}
void ImageCanvas::dev_ellipse(double cx, double cy, double rx, double ry, const Pen& pen, std::optional<Rgb> fill) {
  QtCanvasBase::dev_ellipse(cx, cy, rx, ry, pen, fill);
  changed();
}
void ImageCanvas::dev_text(double x, double y, std::string_view text, const Font& font, Rgb color) {
  QtCanvasBase::dev_text(x, y, text, font, color);
  changed();
}

// A deep copy: the picture is painted on after this, the copy must not follow it.
bool ImageCanvas::dev_keep_background() {
  background_ = image_.copy();
  return !background_.isNull();
}

// Copied into the picture's own pixels (the painter is ended first, so a picture shared
// with a copy is detached before it is written; the next primitive starts a new one).
bool ImageCanvas::dev_restore_background() {
  if (background_.isNull() || background_.size() != image_.size() || background_.format() != image_.format())
    return false;
  end_paint();
  std::memcpy(image_.bits(), background_.constBits(), static_cast<std::size_t>(image_.sizeInBytes()));
  changed();
  return true;
}

// ---- PrinterCanvas ----

PrinterCanvas::PrinterCanvas(QPrinter* printer) : printer_(printer) {}

PrinterCanvas::~PrinterCanvas() { dev_end_doc(); }

QPainter* PrinterCanvas::painter() {
  if (failed_) return nullptr;
  if (!painter_) {
    painter_ = std::make_unique<QPainter>();
    forget_pen();
    if (!painter_->begin(printer_)) {
      failed_ = true;
      painter_.reset();
      return nullptr;
    }
    // A printer's paint engine outlives the job: a painter begun on it again starts with the
    // default pen, brush and font while the engine still holds those the last job left (a
    // second copy's text came out in the colour of the first copy's last curve). Setting
    // each to something else and back makes the painter hand its own state to the engine.
    const QPen pen = painter_->pen();
    const QBrush brush = painter_->brush();
    const QFont font = painter_->font();
    painter_->setPen(QPen(Qt::NoPen));
    painter_->setBrush(QBrush(Qt::SolidPattern));
    QFont other = font;
    other.setPointSizeF(font.pointSizeF() > 0 ? font.pointSizeF() + 1 : 10);
    painter_->setFont(other);
    painter_->setPen(pen);
    painter_->setBrush(brush);
    painter_->setFont(font);
    painter_->setRenderHint(QPainter::Antialiasing, true);
    pages_ = 1;
  }
  return painter_.get();
}

double PrinterCanvas::area_width_mm() const {
  return printer_->pageLayout().fullRectPoints().width() * 25.4 / 72.0;
}
double PrinterCanvas::area_height_mm() const {
  return printer_->pageLayout().fullRectPoints().height() * 25.4 / 72.0;
}
double PrinterCanvas::dpi_x() const { return printer_->logicalDpiX(); }
double PrinterCanvas::dpi_y() const { return printer_->logicalDpiY(); }

void PrinterCanvas::dev_new_page() {
  if (painter_ && !failed_) {
    printer_->newPage();
    ++pages_;
  }
}

void PrinterCanvas::dev_end_doc() {
  if (painter_) {
    if (!painter_->end()) failed_ = true;  // the job could not be handed over
    painter_.reset();
  }
}

}  // namespace wb
