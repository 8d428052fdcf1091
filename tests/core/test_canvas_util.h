// Look-ups on a recording canvas shared by the drawing tests.
#pragma once

#include <cmath>
#include <string_view>
#include <vector>

#include "core/common/canvas.h"

namespace wb::canvas_test {

using Op = RecordingCanvas::Op;
using Item = RecordingCanvas::Item;

inline bool near(double a, double b, double tol = 1e-6) { return std::fabs(a - b) <= tol; }

// Items of one kind.
inline std::vector<Item> items_of(const RecordingCanvas& c, Op op) {
  std::vector<Item> out;
  for (const auto& it : c.items)
    if (it.op == op) out.push_back(it);
  return out;
}

// Items of one kind drawn in one colour.
inline std::vector<Item> items_of(const RecordingCanvas& c, Op op, Rgb color) {
  std::vector<Item> out;
  for (const auto& it : c.items)
    if (it.op == op && it.pen.color == color) out.push_back(it);
  return out;
}

// A line with these end points (either direction), or nullptr.
inline const Item* find_line(const RecordingCanvas& c, double x1, double y1, double x2, double y2, double tol = 1e-6) {
  for (const auto& it : c.items) {
    if (it.op != Op::Line) continue;
    if ((near(it.x1, x1, tol) && near(it.y1, y1, tol) && near(it.x2, x2, tol) && near(it.y2, y2, tol)) ||
        (near(it.x1, x2, tol) && near(it.y1, y2, tol) && near(it.x2, x1, tol) && near(it.y2, y1, tol)))
      return &it;
  }
  return nullptr;
}

// A text item with this text at this top-left corner, or nullptr.
inline const Item* find_text_at(const RecordingCanvas& c, std::string_view text, double x, double y, double tol = 1e-6) {
  for (const auto& it : c.items)
    if (it.op == Op::Text && it.text == text && near(it.x1, x, tol) && near(it.y1, y, tol)) return &it;
  return nullptr;
}

// A point near (x, y), or nullptr.
inline const Item* find_point(const RecordingCanvas& c, double x, double y, double tol = 1e-6) {
  for (const auto& it : c.items)
    if (it.op == Op::Point && near(it.x1, x, tol) && near(it.y1, y, tol)) return &it;
  return nullptr;
}

}  // namespace wb::canvas_test
