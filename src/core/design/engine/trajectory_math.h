// Small pieces of the well-path geometry shared by the trajectory and the 3D view.
#pragma once

#include "core/common/pi.h"

namespace wb::design {

// Direction of a horizontal step (east e, north c) in degrees clockwise from north, 0..360;
// 0 for no step. With `two_decimals` the arctangent is taken to 0.01° before the quadrant.
double direction_deg(double e, double c, bool two_decimals);

// Screen point (mm) of the world point (x0 towards west, y0 towards north, z0 vertical depth
// down, m) in a picture of w × h mm, for the box half-width L, depth Zmax and view azimuth
// phi (rad). A zero L puts every point on the vertical middle line; a zero Zmax keeps the
// y1 passed in.
void Trans_XY(double& x1, double& y1, double x0, double y0, double z0, double L, double Zmax, double phi, double w,
              double h);

}  // namespace wb::design
