#pragma once
// The ten massive bodies at the start epoch: GM, heliocentric ecliptic position and
// velocity (J2000.0), every double bit for bit as stored. Written into slot 0 of a
// run by SetMassiveBodies.

#include <array>

#include "core/run_state.h"

namespace stelvo {

struct MassiveBody {
  const char* name;
  double gm;          // AU^3 / day^2
  double x, y, z;     // AU
  double vx, vy, vz;  // AU / day
};

// Index 0 is body 1 (the Sun) ... index 9 is body 10 (Pluto).
extern const std::array<MassiveBody, kMassiveCount> kMassiveBodies;

// Rows 1 to 10 in index order, GM first, then the state into slot 0; MassiveCount := 10.
void SetMassiveBodies(RunState& state);

}  // namespace stelvo
