#include "core/common/canvas.h"

#include <algorithm>
#include <cmath>

namespace wb {

Rgb QBColor(int i) {
  static const Rgb table[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
                                0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
  return table[((i % 16) + 16) % 16];
}

void Canvas::set_scale_mm() {
  user_scale_ = false;
  sx0_ = sy0_ = 0;
  sw_ = sh_ = 0;
}

void Canvas::set_scale(double x1, double y1, double x2, double y2) {
  user_scale_ = true;
  sx0_ = x1;
  sy0_ = y1;
  sw_ = x2 - x1;
  sh_ = y2 - y1;
  if (sw_ == 0) sw_ = 1e-9;
  if (sh_ == 0) sh_ = 1e-9;
}

double Canvas::to_mm_x(double x) const { return user_scale_ ? (x - sx0_) / sw_ * area_width_mm() : x; }
double Canvas::to_mm_y(double y) const { return user_scale_ ? (y - sy0_) / sh_ * area_height_mm() : y; }
double Canvas::from_mm_x(double mm) const { return user_scale_ ? sx0_ + mm / area_width_mm() * sw_ : mm; }
double Canvas::from_mm_y(double mm) const { return user_scale_ ? sy0_ + mm / area_height_mm() * sh_ : mm; }

Pen Canvas::pen(std::optional<Rgb> color) const { return Pen{color.value_or(fore_color), draw_width, draw_style}; }

void Canvas::set_plain_font(double size_pt) { font = Font{"宋体", size_pt, false, false, false}; }

void Canvas::reset_drawing_state() {
  current_x = current_y = 0.0;
  fore_color = kBlack;
  back_color = kWhite;
  fill_color = kBlack;
  fill_style = FillStyle::Transparent;
  draw_width = 1;
  draw_style = DrawStyle::Solid;
  font = Font{};
  clip_ = false;
  set_scale_mm();
}

void Canvas::set_clip(double x1, double y1, double x2, double y2) {
  const double a = to_mm_x(x1), b = to_mm_x(x2), c = to_mm_y(y1), d = to_mm_y(y2);
  cx1_ = std::min(a, b);
  cx2_ = std::max(a, b);
  cy1_ = std::min(c, d);
  cy2_ = std::max(c, d);
  clip_ = true;
}

namespace {

// Liang-Barsky: cuts the segment to the frame; false when nothing of it lies inside. A
// non-finite end (a value far out of any scale) leaves nothing to draw.
bool clip_segment(double& x1, double& y1, double& x2, double& y2, double fx1, double fy1, double fx2, double fy2) {
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return false;
  const double dx = x2 - x1, dy = y2 - y1;
  double t0 = 0.0, t1 = 1.0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1 - fx1, fx2 - x1, y1 - fy1, fy2 - y1};
  for (int k = 0; k < 4; ++k) {
    if (p[k] == 0.0) {
      if (q[k] < 0.0) return false;  // parallel to this edge and outside it
      continue;
    }
    const double t = q[k] / p[k];
    if (p[k] < 0.0) {
      if (t > t1) return false;
      t0 = std::max(t0, t);
    } else {
      if (t < t0) return false;
      t1 = std::min(t1, t);
    }
  }
  const double ox = x1, oy = y1;
  x1 = ox + t0 * dx;
  y1 = oy + t0 * dy;
  x2 = ox + t1 * dx;
  y2 = oy + t1 * dy;
  // Cut ends land on the frame exactly, not a rounding step outside it.
  x1 = std::clamp(x1, fx1, fx2);
  x2 = std::clamp(x2, fx1, fx2);
  y1 = std::clamp(y1, fy1, fy2);
  y2 = std::clamp(y2, fy1, fy2);
  return true;
}

}  // namespace

Canvas::BackgroundKey Canvas::background_key(std::string_view key) const {
  BackgroundKey k;
  k.key = key;
  k.area_w = area_width_mm();
  k.area_h = area_height_mm();
  k.user_scale = user_scale_;
  k.sx0 = sx0_;
  k.sy0 = sy0_;
  k.sw = sw_;
  k.sh = sh_;
  k.clip = clip_;
  k.cx1 = cx1_;
  k.cy1 = cy1_;
  k.cx2 = cx2_;
  k.cy2 = cy2_;
  k.fore = fore_color;
  k.back = back_color;
  k.fill = fill_color;
  k.fill_style = fill_style;
  k.width = draw_width;
  k.style = draw_style;
  k.font = font;
  k.start_x = current_x;
  k.start_y = current_y;
  return k;
}

void Canvas::draw_background(std::string_view key, const std::function<void()>& draw) {
  BackgroundKey k = background_key(key);
  if (kept_background_ && *kept_background_ == k && dev_restore_background()) {
    current_x = kept_end_x_;
    current_y = kept_end_y_;
    return;
  }
  kept_background_.reset();
  draw();
  if (!dev_keep_background()) return;
  kept_background_ = std::move(k);
  kept_end_x_ = current_x;
  kept_end_y_ = current_y;
}

void Canvas::cls() {
  dev_clear(back_color);
  current_x = user_scale_ ? sx0_ : 0;
  current_y = user_scale_ ? sy0_ : 0;
}

bool Canvas::device_segment(double x1, double y1, double x2, double y2, CanvasSegment& out) const {
  double a = to_mm_x(x1), b = to_mm_y(y1), c = to_mm_x(x2), d = to_mm_y(y2);
  if (clip_ && !clip_segment(a, b, c, d, cx1_, cy1_, cx2_, cy2_)) return false;
  out = {a, b, c, d};
  return true;
}

void Canvas::line(double x1, double y1, double x2, double y2, std::optional<Rgb> color) {
  CanvasSegment s;
  if (device_segment(x1, y1, x2, y2, s)) dev_line(s.x1, s.y1, s.x2, s.y2, pen(color));
  current_x = x2;
  current_y = y2;
}

void Canvas::polyline(std::span<const CanvasPoint> points, std::optional<Rgb> color) {
  if (points.size() < 2) return;
  batch_.clear();
  CanvasSegment s;
  for (std::size_t i = 1; i < points.size(); ++i)
    if (device_segment(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, s)) batch_.push_back(s);
  if (!batch_.empty()) dev_lines(batch_, pen(color));
  current_x = points.back().x;
  current_y = points.back().y;
}

void Canvas::lines(std::span<const CanvasSegment> segments, std::optional<Rgb> color) {
  if (segments.empty()) return;
  batch_.clear();
  CanvasSegment s;
  for (const CanvasSegment& g : segments)
    if (device_segment(g.x1, g.y1, g.x2, g.y2, s)) batch_.push_back(s);
  if (!batch_.empty()) dev_lines(batch_, pen(color));
  current_x = segments.back().x2;
  current_y = segments.back().y2;
}

void Canvas::dev_lines(std::span<const CanvasSegment> segments, const Pen& pen) {
  for (const CanvasSegment& s : segments) dev_line(s.x1, s.y1, s.x2, s.y2, pen);
}

void Canvas::line_to(double x2, double y2, std::optional<Rgb> color) { line(current_x, current_y, x2, y2, color); }

void Canvas::box(double x1, double y1, double x2, double y2, std::optional<Rgb> color) {
  std::optional<Rgb> fill;
  if (fill_style == FillStyle::Solid) fill = fill_color;
  dev_rect(to_mm_x(x1), to_mm_y(y1), to_mm_x(x2), to_mm_y(y2), pen(color), fill);
  current_x = x2;
  current_y = y2;
}

void Canvas::fill_box(double x1, double y1, double x2, double y2, std::optional<Rgb> color) {
  Rgb c = color.value_or(fore_color);
  dev_rect(to_mm_x(x1), to_mm_y(y1), to_mm_x(x2), to_mm_y(y2), pen(c), c);
  current_x = x2;
  current_y = y2;
}

void Canvas::pset(double x, double y, std::optional<Rgb> color) {
  const double a = to_mm_x(x), b = to_mm_y(y);
  if (!clip_ || (a >= cx1_ && a <= cx2_ && b >= cy1_ && b <= cy2_)) dev_point(a, b, pen(color));
  current_x = x;
  current_y = y;
}

void Canvas::circle(double x, double y, double r, std::optional<Rgb> color) {
  std::optional<Rgb> fill;
  if (fill_style == FillStyle::Solid) fill = fill_color;
  double rx = std::fabs(to_mm_x(x + r) - to_mm_x(x));
  dev_ellipse(to_mm_x(x), to_mm_y(y), rx, rx, pen(color), fill);
  current_x = x;
  current_y = y;
}

double Canvas::text_width(std::string_view text) const {
  double mm = dev_text_width(text, font);
  return user_scale_ ? std::fabs(mm / area_width_mm() * sw_) : mm;
}

double Canvas::text_height(std::string_view) const {
  double mm = dev_text_height(font);
  return user_scale_ ? std::fabs(mm / area_height_mm() * sh_) : mm;
}

void Canvas::print_inline(std::string_view text) {
  dev_text(to_mm_x(current_x), to_mm_y(current_y), text, font, fore_color);
  double w = dev_text_width(text, font);
  current_x = from_mm_x(to_mm_x(current_x) + w);
}

void Canvas::print(std::string_view text) {
  dev_text(to_mm_x(current_x), to_mm_y(current_y), text, font, fore_color);
  double h = dev_text_height(font);
  current_x = user_scale_ ? sx0_ : 0;
  current_y = from_mm_y(to_mm_y(current_y) + h);
}

void Canvas::print_at(double x, double y, std::string_view text) {
  current_x = x;
  current_y = y;
  print(text);
}

// ---- RecordingCanvas ----

std::size_t utf8_length(std::string_view s) {
  std::size_t n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

std::size_t utf8_ascii_count(std::string_view s) {
  std::size_t n = 0;
  for (unsigned char c : s)
    if (c < 0x80) ++n;
  return n;
}

namespace {
RecordingCanvas::Item make_item(RecordingCanvas::Op op, double x1 = 0, double y1 = 0, double x2 = 0, double y2 = 0,
                                const Pen& pen = Pen{}) {
  RecordingCanvas::Item it;
  it.op = op;
  it.x1 = x1;
  it.y1 = y1;
  it.x2 = x2;
  it.y2 = y2;
  it.pen = pen;
  return it;
}
}  // namespace

void RecordingCanvas::dev_clear(Rgb bg) {
  Item it = make_item(Op::Clear);
  it.fill = bg;
  items.push_back(it);
}

void RecordingCanvas::dev_line(double x1, double y1, double x2, double y2, const Pen& pen) {
  items.push_back(make_item(Op::Line, x1, y1, x2, y2, pen));
}

void RecordingCanvas::dev_rect(double x1, double y1, double x2, double y2, const Pen& pen, std::optional<Rgb> fill) {
  Item it = make_item(Op::Rect, x1, y1, x2, y2, pen);
  it.fill = fill;
  items.push_back(it);
}

void RecordingCanvas::dev_point(double x, double y, const Pen& pen) { items.push_back(make_item(Op::Point, x, y, x, y, pen)); }

void RecordingCanvas::dev_ellipse(double cx, double cy, double rx, double ry, const Pen& pen, std::optional<Rgb> fill) {
  Item it = make_item(Op::Ellipse, cx, cy, rx, ry, pen);
  it.fill = fill;
  items.push_back(it);
}

void RecordingCanvas::dev_text(double x, double y, std::string_view text, const Font& font, Rgb color) {
  Item it = make_item(Op::Text, x, y, x + dev_text_width(text, font), y + dev_text_height(font));
  it.pen.color = color;
  it.text = std::string(text);
  it.font = font;
  items.push_back(it);
}

double RecordingCanvas::dev_text_width(std::string_view text, const Font& font) const {
  std::size_t all = utf8_length(text), ascii = utf8_ascii_count(text);
  return em_mm(font) * (0.5 * static_cast<double>(ascii) + static_cast<double>(all - ascii));
}

double RecordingCanvas::dev_text_height(const Font& font) const { return em_mm(font); }

void RecordingCanvas::dev_new_page() { items.push_back(make_item(Op::NewPage)); }
void RecordingCanvas::dev_end_doc() { items.push_back(make_item(Op::EndDoc)); }

std::vector<std::string> RecordingCanvas::texts() const {
  std::vector<std::string> out;
  for (const auto& it : items)
    if (it.op == Op::Text) out.push_back(it.text);
  return out;
}

const RecordingCanvas::Item* RecordingCanvas::find_text(std::string_view text) const {
  for (const auto& it : items)
    if (it.op == Op::Text && it.text == text) return &it;
  return nullptr;
}

std::vector<const RecordingCanvas::Item*> RecordingCanvas::texts_containing(std::string_view part) const {
  std::vector<const Item*> out;
  for (const auto& it : items)
    if (it.op == Op::Text && it.text.find(part) != std::string::npos) out.push_back(&it);
  return out;
}

std::size_t RecordingCanvas::count(Op op) const {
  std::size_t n = 0;
  for (const auto& it : items)
    if (it.op == op) ++n;
  return n;
}

void set_scale_points(Canvas& c) {
  c.set_scale(0, 0, c.area_width_mm() * 72.0 / 25.4, c.area_height_mm() * 72.0 / 25.4);
}

}  // namespace wb
