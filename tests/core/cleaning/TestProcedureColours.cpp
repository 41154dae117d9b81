// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "cleaning/ProcedureTable.h"

namespace varnow {
namespace {

using Vector = std::array<double, 3>;
using Matrix = std::array<Vector, 3>;

// How a colour is seen: as the change viewer lays it over a white page (at the alpha it uses
// for a change), then through normal, protan or deutan sight (Viénot, Brettel and Mollon 1999,
// on linear RGB), in CIELAB, where a distance of about 2 is just noticeable.
constexpr Matrix kNormal{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
constexpr Matrix kProtan{{{0.152286, 1.052583, -0.204868},
                          {0.114503, 0.786281, 0.099216},
                          {-0.003882, -0.048116, 1.051998}}};
constexpr Matrix kDeutan{{{0.367322, 0.860646, -0.227968},
                          {0.280085, 0.672501, 0.047413},
                          {-0.011820, 0.042940, 0.968881}}};

double Linear(double u) {
  return u > 0.04045 ? std::pow((u + 0.055) / 1.055, 2.4) : u / 12.92;
}

Vector Seen(std::uint32_t rgb, double alpha, const Matrix& sight) {
  Vector linear{};
  for (int i = 0; i < 3; ++i) {
    const double channel = static_cast<double>((rgb >> (16 - 8 * i)) & 0xFF) / 255.0;
    linear[i] = Linear(alpha * channel + (1 - alpha));
  }
  Vector v{};
  for (int i = 0; i < 3; ++i) {
    v[i] = std::clamp(sight[i][0] * linear[0] + sight[i][1] * linear[1] + sight[i][2] * linear[2],
                      0.0, 1.0);
  }
  const auto f = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116; };
  const double x = f((0.4124 * v[0] + 0.3576 * v[1] + 0.1805 * v[2]) / 0.95047);
  const double y = f(0.2126 * v[0] + 0.7152 * v[1] + 0.0722 * v[2]);
  const double z = f((0.0193 * v[0] + 0.1192 * v[1] + 0.9505 * v[2]) / 1.08883);
  return {116 * y - 16, 500 * (x - y), 200 * (y - z)};
}

// Every two procedures' colours stay clearly apart for each kind of sight, both as a change is
// marked and as the current change is (the old palette came to 1.7: two oranges that protan
// and deutan sight could not tell apart).
TEST(ProcedureColours, EveryTwoStayApartForColourBlindSightToo) {
  for (const Matrix& sight : {kNormal, kProtan, kDeutan}) {
    for (const double alpha : {110.0 / 255, 230.0 / 255}) {
      for (std::size_t i = 0; i < kProcedures.size(); ++i) {
        for (std::size_t j = i + 1; j < kProcedures.size(); ++j) {
          const Vector a = Seen(kProcedures[i].colour, alpha, sight);
          const Vector b = Seen(kProcedures[j].colour, alpha, sight);
          const double distance = std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
          EXPECT_GE(distance, 7.0) << kProcedures[i].cliName << " and " << kProcedures[j].cliName;
        }
      }
    }
  }
}

}  // namespace
}  // namespace varnow
