// The drawing surface of every chart and printed page: a picture box or a printer page.
//
// It keeps a picture box's drawing state: a user scale (millimetres from the top-left
// corner, or any rectangle set with set_scale), a current position, a foreground colour,
// a line width and style, a fill, a font, and the primitives clear, line, box, filled box,
// point, circle and text. The state persists between drawings; charts rely on that.
// The base class turns user coordinates into millimetres on the device; a device draws
// in millimetres. Fonts are in points.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace wb {

using Rgb = std::uint32_t;  // 0xRRGGBB
constexpr Rgb rgb(int r, int g, int b) {
  return (static_cast<Rgb>(r & 255) << 16) | (static_cast<Rgb>(g & 255) << 8) | static_cast<Rgb>(b & 255);
}
inline constexpr Rgb kBlack = 0x000000;
inline constexpr Rgb kWhite = 0xFFFFFF;
inline constexpr Rgb kRed = 0xFF0000;
inline constexpr Rgb kGreen = 0x00FF00;
inline constexpr Rgb kBlue = 0x0000FF;
inline constexpr Rgb kYellow = 0xFFFF00;
inline constexpr Rgb kMagenta = 0xFF00FF;
inline constexpr Rgb kCyan = 0x00FFFF;
// The 16 colours of the palette numbers 0..15.
Rgb QBColor(int i);

enum class DrawStyle { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4, Invisible = 5, InsideSolid = 6 };
enum class FillStyle { Solid = 0, Transparent = 1 };

struct Pen {
  Rgb color = kBlack;
  int width = 1;  // device pixels on screen; on paper one unit is 0.1 mm
  DrawStyle style = DrawStyle::Solid;
};

// A point and a segment in the scale in force (user units) or, at the device, in mm.
struct CanvasPoint {
  double x = 0, y = 0;
};
struct CanvasSegment {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct Font {
  std::string name = "宋体";
  double size = 9.0;  // points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool operator==(const Font&) const = default;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  // Size of the drawing area in millimetres.
  virtual double area_width_mm() const = 0;
  virtual double area_height_mm() const = 0;
  virtual bool is_printer() const { return false; }

  // Persistent drawing state (user units for the position).
  double current_x = 0.0;
  double current_y = 0.0;
  Rgb fore_color = kBlack;
  Rgb back_color = kWhite;
  Rgb fill_color = kBlack;
  FillStyle fill_style = FillStyle::Transparent;
  int draw_width = 1;
  DrawStyle draw_style = DrawStyle::Solid;
  Font font;

  // Scale: millimetres from the top-left corner (the default), or a user rectangle whose
  // top-left corner is (x1, y1) and bottom-right corner (x2, y2); y may grow upwards.
  void set_scale_mm();
  void set_scale(double x1, double y1, double x2, double y2);
  double scale_left() const { return sx0_; }
  double scale_top() const { return sy0_; }
  double scale_width() const { return sw_; }
  double scale_height() const { return sh_; }
  double to_mm_x(double x) const;
  double to_mm_y(double y) const;
  double from_mm_x(double mm) const;
  double from_mm_y(double mm) const;

  // The font every view starts from: the picture's face 宋体 at `size_pt` points, not bold,
  // italic or underlined, so nothing of the view drawn before carries over.
  void set_plain_font(double size_pt);

  // The state a fresh canvas starts from: colours, fill, line width and style, font, scale
  // in millimetres, no clip frame, the current point at the origin. A printed page or copy
  // starts from it, so nothing of the page drawn before carries over (a copy whose text
  // took the colour the previous copy's last chart left).
  void reset_drawing_state();

  // Clip frame: while one is set, lines are cut to the part inside it and points outside it
  // are dropped, so a curve whose values are out of scale stays inside its plot frame.
  // Boxes, circles and text are not clipped. The frame is given in the scale in force and
  // kept in millimetres, so a later change of scale does not move it.
  void set_clip(double x1, double y1, double x2, double y2);
  void clear_clip() { clip_ = false; }
  bool has_clip() const { return clip_; }

  // Clears to the back colour and moves the current point to the scale's origin.
  void cls();
  // A line in the foreground colour (or `color`); the current point moves to (x2, y2).
  void line(double x1, double y1, double x2, double y2, std::optional<Rgb> color = std::nullopt);
  // A line from the current point.
  void line_to(double x2, double y2, std::optional<Rgb> color = std::nullopt);
  // A curve through `points` in one pen: the segments line() would draw from each point to
  // the next, clipped alike, handed to the device in one call. The current point moves to
  // the last point (it stays where it was for fewer than two points).
  void polyline(std::span<const CanvasPoint> points, std::optional<Rgb> color = std::nullopt);
  // Separate segments in one pen (a grid, a set of ticks), each as line() draws it, in one
  // device call. The current point moves to the end of the last segment.
  void lines(std::span<const CanvasSegment> segments, std::optional<Rgb> color = std::nullopt);
  // A rectangle outline; filled with fill_color when fill_style is Solid.
  void box(double x1, double y1, double x2, double y2, std::optional<Rgb> color = std::nullopt);
  // A rectangle filled with `color` (or the foreground colour).
  void fill_box(double x1, double y1, double x2, double y2, std::optional<Rgb> color = std::nullopt);
  void pset(double x, double y, std::optional<Rgb> color = std::nullopt);
  // A circle of radius r in x units; filled with fill_color when fill_style is Solid.
  void circle(double x, double y, double r, std::optional<Rgb> color = std::nullopt);
  // Text at the current point (top-left of the text cell). print() then moves to the start
  // of the next line (current_x = scale_left, current_y += text height); print_inline()
  // moves current_x past the text.
  void print(std::string_view text);
  void print_inline(std::string_view text);
  // Text at (x, y): the usual "set CurrentX/CurrentY then print" pair.
  void print_at(double x, double y, std::string_view text);
  double text_width(std::string_view text) const;   // user x units
  double text_height(std::string_view text = "") const;  // user y units (positive)

  // A fixed background (cleared picture, frame, band fill) that depends only on the
  // picture's size and on the canvas's settings when it starts. A picture that keeps its
  // pixels keeps what `draw` drew and, asked again for the same `key` with the same
  // settings on a picture of the same size, puts those pixels back instead of drawing;
  // printers and recordings always draw. `draw` may change the pixels and the current
  // point, nothing else of the canvas.
  void draw_background(std::string_view key, const std::function<void()>& draw);

  // Printer only: end the page / the job. No effect on a picture.
  void new_page() { dev_new_page(); }
  void end_doc() { dev_end_doc(); }

 protected:
  // Device primitives, in millimetres from the top-left corner of the area.
  virtual void dev_clear(Rgb bg) = 0;
  virtual void dev_line(double x1, double y1, double x2, double y2, const Pen& pen) = 0;
  // Segments in mm, drawn in order with one pen; by default one dev_line each.
  virtual void dev_lines(std::span<const CanvasSegment> segments, const Pen& pen);
  virtual void dev_rect(double x1, double y1, double x2, double y2, const Pen& pen, std::optional<Rgb> fill) = 0;
  virtual void dev_point(double x, double y, const Pen& pen) = 0;
  virtual void dev_ellipse(double cx, double cy, double rx, double ry, const Pen& pen, std::optional<Rgb> fill) = 0;
  virtual void dev_text(double x, double y, std::string_view text, const Font& font, Rgb color) = 0;
  virtual double dev_text_width(std::string_view text, const Font& font) const = 0;
  virtual double dev_text_height(const Font& font) const = 0;
  virtual void dev_new_page() {}
  virtual void dev_end_doc() {}
  // Background pixels: keep a copy of the picture as it is (false: not kept), and put the
  // copy kept last back (false: none, or the picture's size has changed since).
  virtual bool dev_keep_background() { return false; }
  virtual bool dev_restore_background() { return false; }

 private:
  Pen pen(std::optional<Rgb> color) const;
  // Appends the segment in mm, cut to the clip frame; false when nothing of it is left.
  bool device_segment(double x1, double y1, double x2, double y2, CanvasSegment& out) const;
  std::vector<CanvasSegment> batch_;  // reused by polyline() and lines()
  bool clip_ = false;
  double cx1_ = 0, cy1_ = 0, cx2_ = 0, cy2_ = 0;  // clip frame, mm, x1 <= x2, y1 <= y2
  bool user_scale_ = false;
  double sx0_ = 0, sy0_ = 0, sw_ = 0, sh_ = 0;  // valid when user_scale_

  // What a kept background was drawn from, and the current point it left.
  struct BackgroundKey {
    std::string key;
    double area_w = 0, area_h = 0;
    bool user_scale = false;
    double sx0 = 0, sy0 = 0, sw = 0, sh = 0;
    bool clip = false;
    double cx1 = 0, cy1 = 0, cx2 = 0, cy2 = 0;
    Rgb fore = 0, back = 0, fill = 0;
    FillStyle fill_style = FillStyle::Transparent;
    int width = 0;
    DrawStyle style = DrawStyle::Solid;
    Font font;
    double start_x = 0, start_y = 0;
    bool operator==(const BackgroundKey&) const = default;
  };
  BackgroundKey background_key(std::string_view key) const;
  std::optional<BackgroundKey> kept_background_;
  double kept_end_x_ = 0, kept_end_y_ = 0;
  friend class CanvasScaleTest;
};

// Sets a clip frame for the lifetime of the guard; the canvas is unclipped afterwards.
class ClipFrame {
 public:
  ClipFrame(Canvas& c, double x1, double y1, double x2, double y2) : c_(c) { c_.set_clip(x1, y1, x2, y2); }
  ~ClipFrame() { c_.clear_clip(); }
  ClipFrame(const ClipFrame&) = delete;
  ClipFrame& operator=(const ClipFrame&) = delete;

 private:
  Canvas& c_;
};

// Collects segments in drawing order and hands each run of one colour to Canvas::lines in
// the pen then in force: curves drawn in turn, or coloured by the sign of each value, keep
// the order (and so the overlaps) of drawing them segment by segment. Call flush() before
// changing the pen or drawing anything else; the destructor flushes too.
class SegmentRuns {
 public:
  explicit SegmentRuns(Canvas& c) : c_(c) {}
  ~SegmentRuns() { flush(); }
  SegmentRuns(const SegmentRuns&) = delete;
  SegmentRuns& operator=(const SegmentRuns&) = delete;
  void add(double x1, double y1, double x2, double y2, Rgb color) {
    if (!run_.empty() && color != color_) flush();
    color_ = color;
    run_.push_back({x1, y1, x2, y2});
  }
  void flush() {
    if (!run_.empty()) c_.lines(run_, color_);
    run_.clear();
  }

 private:
  Canvas& c_;
  std::vector<CanvasSegment> run_;
  Rgb color_ = kBlack;
};

// A canvas that records every primitive in millimetres, for tests. Text metric (fixed, so
// layouts are reproducible): one em is the font size in points in mm (size * 25.4 / 72);
// an ASCII character is half an em wide, any other character one em; the text height is
// one em.
class RecordingCanvas : public Canvas {
 public:
  enum class Op { Clear, Line, Rect, Point, Ellipse, Text, NewPage, EndDoc };
  struct Item {
    Op op = Op::Clear;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // mm; ellipse: centre and radii
    Pen pen;
    std::optional<Rgb> fill;
    std::string text;
    Font font;
  };

  RecordingCanvas(double width_mm = 210.0, double height_mm = 297.0, bool printer = false)
      : w_(width_mm), h_(height_mm), printer_(printer) {}
  double area_width_mm() const override { return w_; }
  double area_height_mm() const override { return h_; }
  bool is_printer() const override { return printer_; }

  std::vector<Item> items;
  // Texts drawn, in order.
  std::vector<std::string> texts() const;
  // The first text item equal to `text`, or nullptr.
  const Item* find_text(std::string_view text) const;
  // Texts containing `part`.
  std::vector<const Item*> texts_containing(std::string_view part) const;
  std::size_t count(Op op) const;
  static double em_mm(const Font& f) { return f.size * 25.4 / 72.0; }

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
  double w_, h_;
  bool printer_;
};

// Sets the scale to points (1/72 in) from the top-left corner over the whole area: the scale
// of the pictures whose charts are laid out in points.
void set_scale_points(Canvas& c);

// Number of characters (code points) of a UTF-8 text, and how many of them are ASCII.
std::size_t utf8_length(std::string_view s);
std::size_t utf8_ascii_count(std::string_view s);

}  // namespace wb
