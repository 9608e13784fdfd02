#include "core/progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace stelvo {

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Below this share of the work, or this time, a remaining-time estimate is noise.
constexpr double kMinFractionForEstimate = 0.005;
constexpr double kMinSecondsForEstimate = 0.3;
constexpr double kJ2000 = 2451545.0;
constexpr double kDaysPerJulianYear = 365.25;
}  // namespace

Progress::Progress() : start_(std::chrono::steady_clock::now()), simJD_(kNaN) {}

void Progress::BeginStage(std::string text, double from, double to) {
  {
    const std::lock_guard lock(textMutex_);
    stage_ = std::move(text);
  }
  stageFrom_.store(from, std::memory_order_relaxed);
  stageTo_.store(to, std::memory_order_relaxed);
  fraction_.store(from, std::memory_order_relaxed);
}

void Progress::SetStageText(std::string text) {
  const std::lock_guard lock(textMutex_);
  stage_ = std::move(text);
}

void Progress::Report(double stageFraction, double simJD) {
  const double from = stageFrom_.load(std::memory_order_relaxed);
  const double to = stageTo_.load(std::memory_order_relaxed);
  const double f = std::clamp(stageFraction, 0.0, 1.0);
  fraction_.store(std::clamp(from + (to - from) * f, 0.0, 1.0), std::memory_order_relaxed);
  simJD_.store(simJD, std::memory_order_relaxed);
}

Progress::Snapshot Progress::Read() const {
  Snapshot s;
  {
    const std::lock_guard lock(textMutex_);
    s.stage = stage_;
  }
  s.fraction = fraction_.load(std::memory_order_relaxed);
  s.simJD = simJD_.load(std::memory_order_relaxed);
  s.elapsedSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  s.remainingSeconds =
      s.fraction >= kMinFractionForEstimate && s.elapsedSeconds >= kMinSecondsForEstimate
          ? s.elapsedSeconds * (1 - s.fraction) / s.fraction
          : kNaN;
  return s;
}

std::string FormatDuration(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0) return "--:--";
  const long long whole = std::llround(seconds);
  const long long h = whole / 3600, m = whole / 60 % 60, s = whole % 60;
  char text[32];
  if (h > 0)
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", h, m, s);
  else
    std::snprintf(text, sizeof text, "%lld:%02lld", m, s);
  return text;
}

double JulianYear(double jd) { return 2000.0 + (jd - kJ2000) / kDaysPerJulianYear; }

}  // namespace stelvo
