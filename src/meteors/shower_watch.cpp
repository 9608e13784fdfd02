#include "meteors/shower_watch.h"

#include "initial/constants.h"

namespace stelvo {

void ShowerWatch::Reset() {
  detector_.Reset();
  summary_.Reset();
}

std::span<const Crossing> ShowerWatch::AfterStep(const RunState& s, WorkerPool& pool) {
  epochJD_ = s.EpochJD;
  const std::span<const Crossing> crossings = detector_.Scan(s, pool);
  summary_.Add(crossings, s.SimDays, s.SimDays + s.StepDays);
  return crossings;
}

std::span<const Shower> ShowerWatch::Summarise() {
  return summary_.Summarise(summary_.ScannedDays() > 0 ? summary_.MiddleYear(epochJD_)
                                                       : kDateYearFallback);
}

double ShowerWatch::ScannedYears() const { return summary_.ScannedDays() / kDaysPerYear; }

}  // namespace stelvo
