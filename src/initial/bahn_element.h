#pragma once
// One comet's orbital elements as the particle set-up works on them: filled by
// ParseCometLine (angles in degrees), converted by DeriveElements (radians, a,
// MeanMotion), then spread per particle.

#include <string>

namespace stelvo {

struct BahnElement {
  std::string ShortName;  // key, columns 1-5
  std::string FullName;   // name with designation, from column 101 (at most 99 characters)
  double q = 0;           // perihelion distance, AU
  double a = 0;           // semi-major axis, AU
  double Ecc = 0;
  double Incl = 0;        // degrees as read, radians after DeriveElements
  double ArgPeri = 0;     // degrees as read, radians after DeriveElements
  double Node = 0;        // degrees as read, radians after DeriveElements
  double MeanMotion = 0;  // rad / day
  double MeanAnomaly = 0; // rad, at the start epoch
  double PeriJD = 0;      // Julian date of the perihelion passage
};

}  // namespace stelvo
