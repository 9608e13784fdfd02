#pragma once
// Follows a run's steps into node crossings and showers: the crossing detector and
// the shower summary of one run, fed after every step. The one driver of both for
// the shower window and stelvo-cli's --showers; each adds only its presentation
// (pictures and tables, or the CSV file and `shower` lines).

#include <span>

#include "core/run_state.h"
#include "core/worker_pool.h"
#include "meteors/crossing_detector.h"
#include "meteors/shower_summary.h"

namespace stelvo {

// The year whose dates a summary shows before any step was scanned.
inline constexpr int kDateYearFallback = 2000;

class ShowerWatch {
 public:
  // Forgets the last run; call at every start.
  void Reset();
  // After a step, while its new point is in kNewSlot and before the pass is
  // finished: scans it on the pool's threads (pass the run's) and adds the
  // crossings to the summary. The records stay valid until the next step or Reset.
  std::span<const Crossing> AfterStep(const RunState& state, WorkerPool& pool = WorkerPool::Serial());

  // Groups the showers, dated in the middle year of the scanned time (or
  // kDateYearFallback before any scan).
  std::span<const Shower> Summarise();
  double ScannedYears() const;

  CrossingDetector& Detector() { return detector_; }
  const CrossingDetector& Detector() const { return detector_; }
  const ShowerSummary& Summary() const { return summary_; }

 private:
  CrossingDetector detector_;
  ShowerSummary summary_;
  double epochJD_ = 0;
};

}  // namespace stelvo
