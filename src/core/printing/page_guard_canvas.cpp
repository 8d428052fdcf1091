#include "core/printing/page_guard_canvas.h"

namespace wb {

PageGuardCanvas::PageGuardCanvas(Canvas& printer) : inner_(printer) {
  inner_.set_scale_mm();
  font = inner_.font;
}

void PageGuardCanvas::begin_drawing(const Pen& pen) {
  if (break_pending_) {
    inner_.new_page();
    break_pending_ = false;
    page_has_drawing_ = false;
  }
  if (!page_has_drawing_) {
    page_has_drawing_ = true;
    ++sheets_;
  }
  inner_.set_scale_mm();
  inner_.fore_color = pen.color;
  inner_.draw_width = pen.width;
  inner_.draw_style = pen.style;
}

void PageGuardCanvas::dev_clear(Rgb bg) {
  inner_.back_color = bg;
  inner_.set_scale_mm();
  inner_.cls();
}

void PageGuardCanvas::dev_line(double x1, double y1, double x2, double y2, const Pen& pen) {
  begin_drawing(pen);
  inner_.line(x1, y1, x2, y2);
}

void PageGuardCanvas::dev_rect(double x1, double y1, double x2, double y2, const Pen& pen, std::optional<Rgb> fill) {
  begin_drawing(pen);
  inner_.fill_style = fill ? FillStyle::Solid : FillStyle::Transparent;
  if (fill) inner_.fill_color = *fill;
  inner_.box(x1, y1, x2, y2);
  inner_.fill_style = FillStyle::Transparent;
}

void PageGuardCanvas::dev_point(double x, double y, const Pen& pen) {
  begin_drawing(pen);
  inner_.pset(x, y);
}

void PageGuardCanvas::dev_ellipse(double cx, double cy, double rx, double, const Pen& pen, std::optional<Rgb> fill) {
  begin_drawing(pen);
  inner_.fill_style = fill ? FillStyle::Solid : FillStyle::Transparent;
  if (fill) inner_.fill_color = *fill;
  inner_.circle(cx, cy, rx);
  inner_.fill_style = FillStyle::Transparent;
}

void PageGuardCanvas::dev_text(double x, double y, std::string_view text, const Font& f, Rgb color) {
  begin_drawing(Pen{color, inner_.draw_width, inner_.draw_style});
  inner_.font = f;
  inner_.print_at(x, y, text);
}

double PageGuardCanvas::dev_text_width(std::string_view text, const Font& f) const {
  const Font keep = inner_.font;
  inner_.set_scale_mm();
  inner_.font = f;
  const double w = inner_.text_width(text);
  inner_.font = keep;
  return w;
}

double PageGuardCanvas::dev_text_height(const Font& f) const {
  const Font keep = inner_.font;
  inner_.set_scale_mm();
  inner_.font = f;
  const double h = inner_.text_height();
  inner_.font = keep;
  return h;
}

void PageGuardCanvas::dev_new_page() {
  if (page_has_drawing_) break_pending_ = true;
}

void PageGuardCanvas::dev_end_doc() {
  break_pending_ = false;
  page_has_drawing_ = false;
  inner_.end_doc();
}

}  // namespace wb
