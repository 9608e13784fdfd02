#include "meteors/passage_fit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "initial/constants.h"
#include "meteors/comet_passages.h"
#include "meteors/sky_geometry.h"
#include "run/epoch_state.h"

namespace stelvo {

namespace {

// Parameters in the solver: the shift of the perihelion time (days), A2 and A1 in
// units of 1e-8 AU/day^2, so that the normal matrix is well scaled.
constexpr double kAUnit = 1e-8;
constexpr double kTimeNudgeDays = 0.01;
constexpr double kRelativeANudge = 1e-3;
constexpr double kSmallestANudge = 1e-5;  // 1e-13 AU/day^2, for a parameter starting at 0
// Revolutions by which the fitted arc grows backwards at each stage.
constexpr double kArcRevolutions = 4;
constexpr int kArcIterations = 4;

struct Parameters {
  bool fitA1 = false;
  std::vector<double> p;  // tShift, A2 [, A1]
};

OrbitSolution Apply(const OrbitSolution& start, const Parameters& params,
                    const std::vector<double>& p) {
  OrbitSolution s = start;
  s.elements.tpJD = start.elements.tpJD + p[0];
  s.nonGrav.a2 = p[1] * kAUnit;
  if (params.fitA1) s.nonGrav.a1 = p[2] * kAUnit;
  return s;
}

double Nudge(std::size_t index, double value) {
  if (index == 0) return kTimeNudgeDays;
  return std::max(kRelativeANudge * std::fabs(value), kSmallestANudge);
}

int Year(double jd) { return CalendarFromJulianDate(jd).year; }

// Solves the symmetric positive system n x = b in place (n is k x k, row-major) by
// Gaussian elimination with partial pivoting; false when it is singular.
bool Solve(std::vector<double> n, std::vector<double>& b, std::size_t k) {
  for (std::size_t c = 0; c < k; ++c) {
    std::size_t pivot = c;
    for (std::size_t r = c + 1; r < k; ++r) {
      if (std::fabs(n[r * k + c]) > std::fabs(n[pivot * k + c])) pivot = r;
    }
    if (!(std::fabs(n[pivot * k + c]) > 0)) return false;
    for (std::size_t j = 0; j < k; ++j) std::swap(n[c * k + j], n[pivot * k + j]);
    std::swap(b[c], b[pivot]);
    for (std::size_t r = c + 1; r < k; ++r) {
      const double f = n[r * k + c] / n[c * k + c];
      for (std::size_t j = c; j < k; ++j) n[r * k + j] -= f * n[c * k + j];
      b[r] -= f * b[c];
    }
  }
  for (std::size_t c = k; c-- > 0;) {
    double s = b[c];
    for (std::size_t j = c + 1; j < k; ++j) s -= n[c * k + j] * b[j];
    b[c] = s / n[c * k + c];
  }
  return true;
}

// The computed passage nearest each recorded one, for every orbit of a run.
std::vector<double> Matched(const std::vector<PerihelionPassage>& computed,
                            std::span<const RecordedPassage> recorded, double halfPeriod) {
  std::vector<double> out;
  for (const RecordedPassage& r : recorded) {
    const PerihelionPassage* best = nullptr;
    for (const PerihelionPassage& c : computed) {
      if (!best || std::fabs(c.jd - r.jdTT) < std::fabs(best->jd - r.jdTT)) best = &c;
    }
    if (!best || std::fabs(best->jd - r.jdTT) > halfPeriod) {
      throw PassageFitError("perihelion_history line " + std::to_string(r.line) + " (" +
                            r.comet + ", " + std::to_string(Year(r.jdTT)) +
                            "): no computed passage within half a revolution");
    }
    out.push_back(best->jd);
  }
  return out;
}

std::string Describe(const PassageFit& fit, std::span<const RecordedPassage> recorded) {
  char text[400];
  std::string names;
  for (const FittedValue& v : fit.values) names += (names.empty() ? "" : ", ") + v.name;
  std::snprintf(text, sizeof text,
                "fitted to passages %d..%d (%zu rows of perihelion_history.csv; %s; rms %.3f d) "
                "from %s",
                Year(recorded.front().jdTT), Year(recorded.back().jdTT), recorded.size(),
                names.c_str(), fit.rmsDays, fit.start.name.c_str());
  return text;
}

// The comet's usable recorded passages in time order; refuses fewer than three and
// years the run cannot reach.
std::vector<RecordedPassage> RecordedPassagesOf(std::string_view comet,
                                                std::span<const RecordedPassage> history) {
  const std::string_view designation = CometDesignation(comet);
  std::vector<RecordedPassage> recorded;
  for (const RecordedPassage& r : history) {
    if (r.usable && CometDesignation(r.comet) == designation) recorded.push_back(r);
  }
  std::stable_sort(recorded.begin(), recorded.end(),
                   [](const RecordedPassage& a, const RecordedPassage& b) { return a.jdTT < b.jdTT; });
  if (recorded.size() < 3) {
    throw PassageFitError(std::string(comet) + " has " + std::to_string(recorded.size()) +
                          " recorded perihelion passages; a fit needs at least 3");
  }
  for (const RecordedPassage& r : recorded) {
    if (!(r.jdTT >= kEarliestEpochJD && r.jdTT < kLatestEpochJD)) {
      throw PassageFitError("perihelion_history line " + std::to_string(r.line) + " (" + r.comet +
                            "): the year " + std::to_string(Year(r.jdTT)) +
                            " lies outside the years the run reaches (" +
                            std::to_string(Year(kEarliestEpochJD)) + ".." +
                            std::to_string(Year(kLatestEpochJD) - 1) + ")");
    }
  }
  return recorded;
}

// One Gauss-Newton iteration over an arc: the nominal orbit and one with each
// parameter nudged, integrated in one run; fills the normal matrix and the computed
// passages and returns the step. Normal equations of the weighted problem:
// (J^T W J) dp = J^T W (recorded - computed).
std::vector<double> GaussNewtonStep(std::string_view comet, const OrbitSolution& start,
                                    const Parameters& params,
                                    std::span<const RecordedPassage> arc, double fromJD,
                                    double toJD, double halfPeriod, double stepDays,
                                    std::vector<double>& normal, std::vector<double>& computed) {
  const std::size_t k = params.p.size();
  std::vector<CometOrbit> orbits{OrbitOf(Apply(start, params, params.p))};
  std::vector<double> nudges(k);
  for (std::size_t j = 0; j < k; ++j) {
    std::vector<double> q = params.p;
    nudges[j] = Nudge(j, q[j]);
    q[j] += nudges[j];
    orbits.push_back(OrbitOf(Apply(start, params, q)));
  }
  const auto passages = PerihelionPassagesTogether(orbits, fromJD, toJD, stepDays);
  computed = Matched(passages[0], arc, halfPeriod);
  std::vector<std::vector<double>> column(k);
  for (std::size_t j = 0; j < k; ++j) column[j] = Matched(passages[j + 1], arc, halfPeriod);
  normal.assign(k * k, 0);
  std::vector<double> rhs(k, 0);
  for (std::size_t i = 0; i < arc.size(); ++i) {
    const double w = 1 / (PassageSigmaDays(arc[i]) * PassageSigmaDays(arc[i]));
    const double residual = arc[i].jdTT - computed[i];
    for (std::size_t j = 0; j < k; ++j) {
      const double dj = (column[j][i] - computed[i]) / nudges[j];
      rhs[j] += w * dj * residual;
      for (std::size_t m = 0; m < k; ++m) {
        normal[j * k + m] += w * dj * (column[m][i] - computed[i]) / nudges[m];
      }
    }
  }
  if (!Solve(normal, rhs, k)) {
    throw PassageFitError("the passages do not determine " + std::to_string(k) +
                          " parameters of " + std::string(comet));
  }
  return rhs;
}

// Residuals, the fitted values and their covariance: the inverse normal matrix scaled
// by the weighted residual variance per degree of freedom, so that the sigmas reflect
// how well the passages are met.
void FinishFit(const Parameters& params, std::span<const RecordedPassage> recorded,
               const std::vector<double>& normal, const std::vector<double>& computed,
               PassageFit& fit) {
  const std::size_t k = params.p.size();
  const std::size_t n = recorded.size();
  double chi2 = 0, sum2 = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double residual = recorded[i].jdTT - computed[i];
    chi2 += residual * residual / (PassageSigmaDays(recorded[i]) * PassageSigmaDays(recorded[i]));
    sum2 += residual * residual;
    fit.residuals.push_back({recorded[i], computed[i], residual});
  }
  fit.rmsDays = std::sqrt(sum2 / n);
  const double unitVariance = n > k ? chi2 / (n - k) : 1;
  std::vector<double> covariance(k * k);
  for (std::size_t j = 0; j < k; ++j) {
    std::vector<double> e(k, 0);
    e[j] = 1;
    Solve(normal, e, k);
    for (std::size_t m = 0; m < k; ++m) covariance[m * k + j] = e[m] * unitVariance;
  }
  fit.fitted = Apply(fit.start, params, params.p);
  const char* names[3] = {"T", "A2", "A1"};
  for (std::size_t j = 0; j < k; ++j) {
    const double scale = j == 0 ? 1 : kAUnit;
    const double value = j == 0 ? fit.fitted.elements.tpJD : params.p[j] * kAUnit;
    fit.values.push_back({names[j], value, std::sqrt(covariance[j * k + j]) * scale});
  }
  fit.fitted.name = Describe(fit, recorded);
  fit.fitted.source = "stelvo-cli --fit-passages";
  fit.fitted.note.clear();
  fit.fitted.usableForHistory = true;
}

}  // namespace

PassageFit FitPassages(std::string_view comet, std::span<const OrbitSolution> solutions,
                       std::span<const RecordedPassage> history,
                       const PassageFitSettings& settings) {
  const std::vector<RecordedPassage> recorded = RecordedPassagesOf(comet, history);
  const OrbitSolution* start = NearestSolution(solutions, comet, recorded.back().jdTT);
  if (!start) throw PassageFitError("no usable orbit solution of " + std::string(comet));

  PassageFit fit;
  fit.start = *start;
  Parameters params;
  int precise = 0;
  for (const RecordedPassage& r : recorded) precise += r.dayLevel ? 0 : 1;
  params.fitA1 = precise >= kPreciseForA1;
  params.p = {0, start->nonGrav.a2 / kAUnit};
  if (params.fitA1) params.p.push_back(start->nonGrav.a1 / kAUnit);
  const std::size_t k = params.p.size();
  const std::size_t n = recorded.size();

  const double a = start->elements.q / (1 - start->elements.e);
  const double halfPeriod = 0.5 * kDaysPerYear * a * std::sqrt(a);
  // The arc grows backwards from the latest passages by a few revolutions at a time,
  // each stage starting from the previous fit: a published solution run back over
  // centuries can be off by months (1P's JPL orbits put the return of 240 BC two
  // years late), far outside the range where the passages depend linearly on the
  // parameters.
  const double arcDays = kArcRevolutions * 2 * halfPeriod;
  double arcStartJD = recorded.back().jdTT;
  std::size_t first = n;
  std::vector<double> normal, computed;
  fit.iterations = 0;
  while (true) {
    arcStartJD -= arcDays;
    while (first > 0 && (recorded[first - 1].jdTT >= arcStartJD || n - first < 3)) --first;
    const std::span<const RecordedPassage> arc(recorded.data() + first, n - first);
    const double fromJD = std::max(arc.front().jdTT - halfPeriod, kEarliestEpochJD);
    const double toJD = std::min(arc.back().jdTT + halfPeriod, kLatestEpochJD - 1);
    for (int iteration = 1;; ++iteration) {
      ++fit.iterations;
      const std::vector<double> step = GaussNewtonStep(comet, *start, params, arc, fromJD, toJD,
                                                       halfPeriod, settings.stepDays, normal,
                                                       computed);
      // Small: below a thousandth of a day and a ten-thousandth of the A values.
      bool small = std::fabs(step[0]) < 1e-3;
      for (std::size_t j = 1; j < k; ++j) {
        small = small && std::fabs(step[j]) < 1e-4 * std::fabs(params.p[j]) + 1e-7;
      }
      // The residuals and partials are those of params.p: stop before a step that is
      // too small to matter, or that there is no iteration left to check (an arc short
      // of the whole needs only a start for the next).
      const int limit = first == 0 ? settings.maxIterations : kArcIterations;
      if (small || iteration == limit) {
        fit.converged = small;
        break;
      }
      for (std::size_t j = 0; j < k; ++j) params.p[j] += step[j];
    }
    if (first == 0) break;
  }
  FinishFit(params, recorded, normal, computed, fit);
  return fit;
}

}  // namespace stelvo
