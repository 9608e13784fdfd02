#include "initial/particle_cloud.h"

#include "core/run_error.h"
#include "initial/catalogue.h"
#include "initial/constants.h"
#include "initial/orbit.h"

namespace stelvo {

RandomSource& ProgramRandom() {
  static RandomSource random;
  return random;
}

void CheckStartDistribution(int distribution, const std::string& typedText) {
  if (distribution < 0 || distribution >= kDistributionCount) {
    throw RunError("'" + typedText + "' is not a valid start distribution");
  }
}

void InitParticle(RunState& state, int row, double epoch, int cometIndex, int distribution,
                  RandomSource& random, BahnElement& e) {
  ParseCatalogueEntry(cometIndex, e);
  DeriveElements(e);
  // Draws in the order r1, r2, r3; the mean anomaly first, then a, then omega.
  // MeanMotion stays that of the unspread orbit.
  switch (distribution) {
    case kUeberBahn:
      e.MeanAnomaly = kTwoPi * random.RandomUnit();
      break;
    case kQuasipunkt:
      e.MeanAnomaly = e.MeanMotion * (epoch - e.PeriJD) * (1 + 0.025 * random.RandomUnit());
      e.a = e.a * (1 + 0.025 * random.RandomUnit());
      break;
    case kLeichtVerstreut:
      e.MeanAnomaly = 1.5 * kPi * (1 + 0.05 * random.RandomUnit());
      e.a = e.a * (1 + 0.075 * random.RandomUnit());
      break;
    case kStaerkerVerstreut:
      e.MeanAnomaly = 1.5 * kPi * (1 + 0.1 * random.RandomUnit());
      e.a = e.a * (1 + 0.075 * random.RandomUnit());
      e.ArgPeri = e.ArgPeri * (1 + 0.075 * random.RandomUnit());
      break;
    default:
      CheckStartDistribution(distribution, std::to_string(distribution));
  }
  SetInitialState(state, row,
                  ElementsToState(e.a, e.Ecc, e.Incl, e.Node, e.ArgPeri, e.MeanAnomaly));
}

}  // namespace stelvo
