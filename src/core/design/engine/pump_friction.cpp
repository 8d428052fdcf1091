// Friction of the plunger in the barrel, kN: an empirical correlation in the product of
// stroke and strokes per minute and the liquid's kinematic viscosity, one set of
// coefficients per bore class. Inputs outside the correlation's range are brought to its
// limits (written back into the caller's variables) after telling the user.
#include <cmath>

#include "core/design/engine/design_number.h"
#include "core/design/engine/rod_design_engine.h"

namespace wb::design {
namespace {

constexpr float kSpeedMin = 0.5f, kSpeedMax = 40.0f;  // stroke × strokes per minute, m/min
constexpr float kBoreMin = 22.0f, kBoreMax = 100.0f;  // mm

struct FrictionClass {
  double d_ref;           // mm
  double a3, a2, a1, a0;  // level in the viscosity
  double b3, b2, b1, b0;  // growth rate with the speed
};
constexpr FrictionClass kClassA{56, -54.009, 55.768, -7.0698, 1.0815, 1.289, -1.3362, 0.3436, 0.0104};
constexpr FrictionClass kClassB{70, 1.7, 10.031, 1.0179, 1.1101, 1.0934, -1.2329, 0.3586, 0.0201};
constexpr FrictionClass kClassC{83, 54.623, -39.002, 10.312, 1.4414, 0.2805, -0.4877, 0.2125, 0.0209};

}  // namespace

float RodDesignEngine::Calc_Pf_Pr(float& Tj_speed, float& Ydnd, float& Pump_Dia) {
  if (Tj_speed < kSpeedMin) {
    say("冲程x冲次太小，已调整到0.5计算，请正确输入后再设计！");
    Tj_speed = kSpeedMin;
  } else if (Tj_speed > kSpeedMax) {
    say("冲程x冲次太大，已调整到40计算，请正确输入后再设计！");
    Tj_speed = kSpeedMax;
  }
  if (Pump_Dia < kBoreMin) {
    say("泵径太小，已调整到22计算，请正确输入后再设计！");
    Pump_Dia = kBoreMin;
  } else if (Pump_Dia > kBoreMax) {
    say("泵径太大，已调整到100计算，请正确输入后再设计！");
    Pump_Dia = kBoreMax;
  }
  const double D = Pump_Dia;
  // 56 mm is class A for the coefficients but takes the middle row of the bounds.
  const FrictionClass& k = D <= 56 ? kClassA : D < 83 ? kClassB : kClassC;
  const double nu = Ydnd;
  const double P1 = k.a3 * nu * nu * nu + k.a2 * nu * nu + k.a1 * nu + k.a0;
  const double P2 = k.b3 * nu * nu * nu + k.b2 * nu * nu + k.b1 * nu + k.b0;
  double K = 0.9 * P1 * std::exp(P2 * static_cast<double>(Tj_speed));
  const double lo = D < 56 ? 0.8 : D < 83 ? 1.2 : 1.6;
  const double hi = D < 56 ? 18 : D < 83 ? 24 : 30;
  if (K < lo) K = lo;
  if (K > hi) K = hi;
  return f32(K * D / k.d_ref);
}

}  // namespace wb::design
