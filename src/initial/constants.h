#pragma once
// Physical and numerical constants shared by the initial conditions and the view.
// Each is a stored value of its own: kGaussK2 is not computed from kGaussK, and the
// Sun's GM of the massive-body table differs from it in its last bits.

namespace stelvo {

inline constexpr double kDegToRad = 0.017453292519943295;   // pi / 180
inline constexpr double kGaussK = 0.01720209895;             // AU^(3/2) / day
inline constexpr double kGaussK2 = 0.0002959122082855911;    // AU^3 / day^2, two-body GM
inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kPi = 3.141592653589793;
inline constexpr double kEpochJD = 2451545.0;                // 2000 January 1, 12:00
inline constexpr double kDaysPerYear = 365.25;

}  // namespace stelvo
