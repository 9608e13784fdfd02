#pragma once
// How far a long computation has come, and the request to stop it early. The
// computation (a run's start-up and steps, a trail forecast) reports at its step
// boundaries and asks there whether to go on; a display (stelvo-cli's terminal line,
// the window's progress bar) reads it from another thread.

#include <atomic>
#include <chrono>
#include <exception>
#include <mutex>
#include <string>

namespace stelvo {

// Thrown at a step boundary when a cancel was requested; the state last accepted
// before that boundary is intact, nothing after it was computed.
class RunCancelled : public std::exception {
 public:
  const char* what() const noexcept override { return "cancelled"; }
};

class Progress {
 public:
  struct Snapshot {
    std::string stage;    // "start-up", "steps", "trail 3 of 10", "forecast 1999", ...
    double fraction = 0;  // of the whole work, 0..1
    double simJD = 0;     // Julian date the computation has reached; NaN before any
    double elapsedSeconds = 0;
    double remainingSeconds = 0;  // estimate; NaN while too little is done to tell
  };

  Progress();

  // A new stage covering the part [from, to] of the whole work; fractions reported
  // afterwards are the stage's own, 0..1.
  void BeginStage(std::string text, double from, double to);
  // Renames the running stage ("start-up pass 4"); its share stays.
  void SetStageText(std::string text);
  void Report(double stageFraction, double simJD);

  // Lock-free: may be called from any thread and from a signal handler.
  void Cancel() noexcept { cancelled_.store(true, std::memory_order_relaxed); }
  bool CancelRequested() const noexcept { return cancelled_.load(std::memory_order_relaxed); }
  // Where a computation may stop: throws RunCancelled once a cancel is requested.
  void CheckCancelled() const {
    if (CancelRequested()) throw RunCancelled();
  }

  Snapshot Read() const;

 private:
  static_assert(std::atomic<bool>::is_always_lock_free);
  std::chrono::steady_clock::time_point start_;
  mutable std::mutex textMutex_;
  std::string stage_;
  std::atomic<double> stageFrom_{0}, stageTo_{1};
  std::atomic<double> fraction_{0};
  std::atomic<double> simJD_;
  std::atomic<bool> cancelled_{false};
};

// Reports one stage's progress into a Progress that may be absent: the form that the
// computations take, so that a run without a display passes nothing.
inline void ReportProgress(Progress* progress, double stageFraction, double simJD) {
  if (progress) {
    progress->Report(stageFraction, simJD);
    progress->CheckCancelled();
  }
}

// "0:07", "12:34", "1:02:03"; "--:--" for an unknown duration.
std::string FormatDuration(double seconds);

// Julian date to the year with its fraction, in Julian years from J2000:
// 2451545.0 is 2000.00. Good to a day, which is all a display needs.
double JulianYear(double jd);

}  // namespace stelvo
