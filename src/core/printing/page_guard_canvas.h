// A printer job that never feeds a blank sheet. Drawing is passed to the printer canvas
// underneath (in millimetres); a page break is held back until something is drawn after
// it, so a break on a page that received no drawing, a second break in a row, or a break
// directly before the end of the job adds no sheet. Report pages that end their own page
// can therefore be followed by the batch's own break between records.
#pragma once

#include "core/common/canvas.h"

namespace wb {

class PageGuardCanvas : public Canvas {
 public:
  explicit PageGuardCanvas(Canvas& printer);

  double area_width_mm() const override { return inner_.area_width_mm(); }
  double area_height_mm() const override { return inner_.area_height_mm(); }
  bool is_printer() const override { return inner_.is_printer(); }

  // Sheets that received drawing since the guard was made (all its jobs).
  int sheets() const { return sheets_; }

 protected:
  void dev_clear(Rgb bg) override;
  void dev_line(double x1, double y1, double x2, double y2, const Pen& pen) override;
  void dev_rect(double x1, double y1, double x2, double y2, const Pen& pen, std::optional<Rgb> fill) override;
  void dev_point(double x, double y, const Pen& pen) override;
  void dev_ellipse(double cx, double cy, double rx, double ry, const Pen& pen, std::optional<Rgb> fill) override;
  void dev_text(double x, double y, std::string_view text, const Font& font, Rgb color) override;
  double dev_text_width(std::string_view text, const Font& font) const override;
  double dev_text_height(const Font& font) const override;
  void dev_new_page() override;
  void dev_end_doc() override;

 private:
  // Called before every visible primitive: starts the held-back sheet.
  void begin_drawing(const Pen& pen);

  Canvas& inner_;
  bool page_has_drawing_ = false;
  bool break_pending_ = false;
  int sheets_ = 0;
};

}  // namespace wb
