#pragma once
// Two-body orbit maths: Kepler's equation, elements to state vector, and the
// derivation of a catalogue row's elements. Pure functions; used by the particle
// set-up and by the orbit background of the view.

#include <stdexcept>

#include "core/run_error.h"
#include "core/run_state.h"
#include "initial/bahn_element.h"

namespace stelvo {

struct StateVector {
  double x, y, z;     // AU
  double vx, vy, vz;  // AU / day
};

// Writes a body's state at the epoch into slot 0 of array row `row`.
inline void SetInitialState(RunState& state, int row, const StateVector& s) {
  state.Pos(kX, 0)[row] = s.x;
  state.Pos(kY, 0)[row] = s.y;
  state.Pos(kZ, 0)[row] = s.z;
  state.Vel(kX, 0)[row] = s.vx;
  state.Vel(kY, 0)[row] = s.vy;
  state.Vel(kZ, 0)[row] = s.vz;
}

// Thrown instead of iterating forever on an eccentricity outside [0, 1), a
// non-finite mean anomaly, or a mean anomaly too large to converge in doubles.
class OrbitError : public RunError {
 public:
  using RunError::RunError;
};

// Eccentric anomaly E with E - e sin E = M, by Newton's method from E = M.
double SolveKepler(double meanAnomaly, double ecc);

// Heliocentric ecliptic state for elements a (AU), e, and angles in radians.
StateVector ElementsToState(double a, double ecc, double incl, double node, double argPeri,
                            double meanAnomaly);

// Angles to radians, a = q / (1 - e), MeanMotion = sqrt(k^2 / a^3).
void DeriveElements(BahnElement& elements);

}  // namespace stelvo
