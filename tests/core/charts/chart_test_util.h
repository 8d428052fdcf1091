// Look-ups on a recording canvas for the chart tests.
#pragma once

#include <cmath>
#include <vector>

#include "core/common/canvas.h"

namespace wb::charts_test {

using Op = RecordingCanvas::Op;
using Item = RecordingCanvas::Item;

inline constexpr double kPt = 25.4 / 72.0;  // mm per point

// Items of one kind drawn in one colour.
inline std::vector<Item> items_of(const RecordingCanvas& c, Op op, Rgb color) {
  std::vector<Item> out;
  for (const auto& it : c.items)
    if (it.op == op && it.pen.color == color) out.push_back(it);
  return out;
}

inline bool near(double a, double b, double tol = 1e-6) { return std::fabs(a - b) <= tol; }

// A line with these end points (either direction) exists.
inline const Item* find_line(const RecordingCanvas& c, double x1, double y1, double x2, double y2,
                             double tol = 1e-6) {
  for (const auto& it : c.items) {
    if (it.op != Op::Line) continue;
    if ((near(it.x1, x1, tol) && near(it.y1, y1, tol) && near(it.x2, x2, tol) && near(it.y2, y2, tol)) ||
        (near(it.x1, x2, tol) && near(it.y1, y2, tol) && near(it.x2, x1, tol) && near(it.y2, y1, tol)))
      return &it;
  }
  return nullptr;
}

}  // namespace wb::charts_test
