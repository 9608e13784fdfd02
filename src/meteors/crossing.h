#pragma once
// One passage of a particle through the ecliptic plane (a node crossing), as the
// crossing detector records it and stelvo-cli's --showers writes it: one record is
// one CSV row, columns in meteors/record_format.cpp. Plain data; the shower summary
// and the windows read it.

namespace stelvo {

struct Crossing {
  double tDays;      // days since the run's epoch (EpochJD)
  double jd;         // Julian date of the crossing, the run's time scale
  int particle;      // particle number from 0: array row - MassiveCount
  bool ascending;    // heliocentric z goes from below to above the ecliptic
  bool inShower;     // |drAu| below the capture width
  bool encounter;    // earthAu below the encounter width
  double lambdaSun;  // solar longitude, degrees in [0, 360), J2000 ecliptic
  double rAu;        // heliocentric distance of the crossing
  double drAu;       // rAu minus the radius of the Earth's orbit at that longitude
  double earthAu;    // distance to the Earth-Moon barycentre at that instant
  double raDeg;      // geocentric radiant, equatorial J2000
  double decDeg;
  double vgKmS;       // geocentric speed
  double x, y, z;     // heliocentric ecliptic position, AU (z is 0 up to rounding)
  double vx, vy, vz;  // heliocentric ecliptic velocity, AU/day
  // What the particle stands for, in grains (1 unless a model weights its grains);
  // written only by writers that ask for the weight column.
  double weight = 1;
};

}  // namespace stelvo
