#pragma once
// Finds the particles that passed through the ecliptic plane during the last step
// and measures each crossing against the Earth's orbit. Called by whoever drives a
// run (the window, stelvo-cli) after SimulationRun::Step() and before FinishPass():
//
//   detector.Reset();                          // with every Begin
//   run.Step();
//   for (const Crossing& c : detector.Scan(run.State(), run.Pool())) ...   // drain
//   run.FinishPass();
//
// The record buffer holds one crossing per particle (a particle crosses at most
// once between two points) and is allocated once; a scan allocates nothing.

#include <memory>
#include <span>

#include "core/run_state.h"
#include "core/worker_pool.h"
#include "meteors/crossing.h"

namespace stelvo {

inline constexpr double kDefaultCaptureAu = 0.05;
inline constexpr double kDefaultEncounterAu = 0.01;

class CrossingDetector {
 public:
  CrossingDetector();
  ~CrossingDetector();
  CrossingDetector(const CrossingDetector&) = delete;
  CrossingDetector& operator=(const CrossingDetector&) = delete;

  // |dr| below the capture width marks a crossing as part of a shower; a distance
  // to the Earth below the encounter width marks an encounter. Both in AU, > 0.
  void SetCaptureAu(double au) { captureAu_ = au; }
  void SetEncounterAu(double au) { encounterAu_ = au; }
  double CaptureAu() const { return captureAu_; }
  double EncounterAu() const { return encounterAu_; }

  // Forgets the records of the last scan; call with every new run.
  void Reset() { count_ = 0; }

  // Compares the heliocentric z of every particle in slot 4 (the accepted point)
  // and slot 5 (the new point of the step just taken) and records every sign
  // change, in ascending particle order. The particles are shared among the pool's
  // threads (pass the run's); the records are the same bits for any thread count.
  // The records stay valid until the next Scan or Reset.
  std::span<const Crossing> Scan(const RunState& state, WorkerPool& pool = WorkerPool::Serial());
  std::span<const Crossing> Records() const { return {records_.get(), std::size_t(count_)}; }

 private:
  void Grow(int capacity);

  int capacity_ = 0;
  std::unique_ptr<Crossing[]> records_;
  std::unique_ptr<unsigned char[]> flags_;  // per row: 1 if it changed side
  std::unique_ptr<int[]> rows_;             // per block, from its first row: the rows that did
  std::unique_ptr<int[]> blockCount_;       // per pool block: its crossings
  std::unique_ptr<int[]> blockFirst_;       // and where its records start
  int count_ = 0;
  double captureAu_ = kDefaultCaptureAu;
  double encounterAu_ = kDefaultEncounterAu;
};

// The crossing of one particle (array row) whose heliocentric z changes sign
// between slot 4 and slot 5, located by cubic Hermite interpolation; exposed for
// the tests and the trails.
Crossing MeasureCrossing(const RunState& state, int row, double captureAu, double encounterAu);

}  // namespace stelvo
