#include "meteors/passage_fit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "initial/constants.h"
#include "meteors/comet_passages.h"
#include "meteors/sky_geometry.h"
#include "meteors/two_body.h"
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
// Levenberg-Marquardt damping: its start and its least value.
constexpr double kFirstDamping = 1e-3;
constexpr double kLeastDamping = 1e-7;
// A step that moves the fit by less than this share of its uncertainty ends it.
constexpr double kSettledFraction = 0.1;
// The twin orbit's shift of the perihelion time (days): a thousandth of the time
// nudge, far too small to move chi^2 through the parameters' smooth effect.
constexpr double kTwinDays = 1e-5;

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

// "fitted to passages -239..1986 (30 returns, rms 0.573 d; T, A2 fitted; osculating at
// the return of 837) from JPL#73 (...)"; SolutionLabel keeps its first words.
std::string Describe(const PassageFit& fit, std::span<const RecordedPassage> recorded,
                     const std::string& epochNote) {
  char text[400];
  std::string names;
  for (const FittedValue& v : fit.values) names += (names.empty() ? "" : ", ") + v.name;
  std::snprintf(text, sizeof text,
                "fitted to passages %d..%d (%zu returns, rms %.3f d; %s fitted%s) from %s",
                Year(recorded.front().jdTT), Year(recorded.back().jdTT), recorded.size(),
                fit.rmsDays, names.c_str(), epochNote.c_str(), fit.start.name.c_str());
  return text;
}

// The fitted orbit carried with the planets and its non-gravitational force to the
// point of its run nearest the computed return closest to the middle of the recorded
// passages, as osculating heliocentric elements there (ecliptic J2000, two-body k^2
// like SolutionStateAtEpoch).
OrbitSolution AtMiddle(const OrbitSolution& fitted, const std::vector<double>& computed,
                       std::span<const RecordedPassage> recorded, double stepDays) {
  const double middle = 0.5 * (recorded.front().jdTT + recorded.back().jdTT);
  double nearest = computed.front();
  for (double jd : computed) {
    if (std::fabs(jd - middle) < std::fabs(nearest - middle)) nearest = jd;
  }
  const CometOrbit carried = CarriedOrbit(OrbitOf(fitted), nearest, stepDays);
  const OsculatingElements el = StateToElements(carried.helio, kGaussK2);
  auto degrees = [](double radians) {
    const double d = radians / kDegToRad;
    return d - 360 * std::floor(d / 360);
  };
  OrbitSolution out = fitted;
  out.epochJD = carried.epochJD;
  out.elements.q = el.a * (1 - el.ecc);
  out.elements.e = el.ecc;
  out.elements.inclDeg = el.incl / kDegToRad;
  out.elements.nodeDeg = degrees(el.node);
  out.elements.periDeg = degrees(el.argPeri);
  out.elements.tpJD = carried.epochJD - el.meanAnomaly / el.meanMotion;
  return out;
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

// The weighted problem linearised at one parameter set: the nominal orbit and one
// with each parameter nudged, integrated in one run, give the computed passages, the
// normal matrix J^T W J, the right side J^T W (recorded - computed) and chi^2.
struct Linearised {
  std::vector<double> normal, rhs, computed;
  double chi2 = 0;
  // |chi^2 of the orbit with T moved by kTwinDays - chi^2|: how rough chi^2 is on a
  // scale where the parameters change nothing that matters, the noise of the
  // integrated passages (rounding carried through close approaches).
  double roughness = 0;
};

Linearised Linearise(const OrbitSolution& start, const Parameters& params,
                     const std::vector<double>& p, std::span<const RecordedPassage> arc,
                     double fromJD, double toJD, double halfPeriod, double stepDays) {
  const std::size_t k = p.size();
  std::vector<CometOrbit> orbits{OrbitOf(Apply(start, params, p))};
  std::vector<double> nudges(k);
  for (std::size_t j = 0; j < k; ++j) {
    std::vector<double> q = p;
    nudges[j] = Nudge(j, q[j]);
    q[j] += nudges[j];
    orbits.push_back(OrbitOf(Apply(start, params, q)));
  }
  std::vector<double> twin = p;
  twin[0] += kTwinDays;
  orbits.push_back(OrbitOf(Apply(start, params, twin)));
  const auto passages = PerihelionPassagesTogether(orbits, fromJD, toJD, stepDays);
  Linearised lin;
  lin.computed = Matched(passages[0], arc, halfPeriod);
  const std::vector<double> twinComputed = Matched(passages[k + 1], arc, halfPeriod);
  double twinChi2 = 0;
  std::vector<std::vector<double>> column(k);
  for (std::size_t j = 0; j < k; ++j) column[j] = Matched(passages[j + 1], arc, halfPeriod);
  lin.normal.assign(k * k, 0);
  lin.rhs.assign(k, 0);
  for (std::size_t i = 0; i < arc.size(); ++i) {
    const double w = 1 / (PassageSigmaDays(arc[i]) * PassageSigmaDays(arc[i]));
    const double residual = arc[i].jdTT - lin.computed[i];
    lin.chi2 += w * residual * residual;
    twinChi2 += w * (arc[i].jdTT - twinComputed[i]) * (arc[i].jdTT - twinComputed[i]);
    for (std::size_t j = 0; j < k; ++j) {
      const double dj = (column[j][i] - lin.computed[i]) / nudges[j];
      lin.rhs[j] += w * dj * residual;
      for (std::size_t m = 0; m < k; ++m) {
        lin.normal[j * k + m] += w * dj * (column[m][i] - lin.computed[i]) / nudges[m];
      }
    }
  }
  lin.roughness = std::fabs(twinChi2 - lin.chi2);
  return lin;
}

// The Levenberg-Marquardt step (Marquardt 1963, J. SIAM 11, 431): the normal
// equations with lambda times their diagonal added, a Gauss-Newton step for small
// lambda, a short one down the gradient for large.
std::vector<double> DampedStep(std::string_view comet, const Linearised& lin, double lambda) {
  const std::size_t k = lin.rhs.size();
  std::vector<double> n = lin.normal;
  for (std::size_t j = 0; j < k; ++j) n[j * k + j] *= 1 + lambda;
  std::vector<double> step = lin.rhs;
  if (!Solve(n, step, k)) {
    throw PassageFitError("the passages do not determine " + std::to_string(k) +
                          " parameters of " + std::string(comet));
  }
  return step;
}

// Chi^2 per degree of freedom: the residuals' own scale, by which the covariance is
// scaled (FinishFit).
double UnitVariance(double chi2, std::size_t n, std::size_t k) { return n > k ? chi2 / (n - k) : 1; }

// Whether a step is too small to matter: every parameter moves by less than a tenth
// of its standard deviation at `at` (the inverse normal matrix scaled by the unit
// variance).
bool WithinSigma(const Linearised& at, const std::vector<double>& step, std::size_t n) {
  const std::size_t k = step.size();
  const double unitVariance = UnitVariance(at.chi2, n, k);
  for (std::size_t j = 0; j < k; ++j) {
    std::vector<double> e(k, 0);
    e[j] = 1;
    if (!Solve(at.normal, e, k)) return false;
    if (!(std::fabs(step[j]) < kSettledFraction * std::sqrt(e[j] * unitVariance))) return false;
  }
  return true;
}

// Residuals, the fitted values and their covariance: the inverse normal matrix scaled
// by the weighted residual variance per degree of freedom, so that the sigmas reflect
// how well the passages are met.
OrbitSolution FinishFit(const OrbitSolution& base, const Parameters& params,
                        std::span<const RecordedPassage> recorded, const std::vector<double>& normal,
                        const std::vector<double>& computed, PassageFit& fit) {
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
  const double unitVariance = UnitVariance(chi2, n, k);
  std::vector<double> covariance(k * k);
  for (std::size_t j = 0; j < k; ++j) {
    std::vector<double> e(k, 0);
    e[j] = 1;
    Solve(normal, e, k);
    for (std::size_t m = 0; m < k; ++m) covariance[m * k + j] = e[m] * unitVariance;
  }
  OrbitSolution out = Apply(base, params, params.p);
  const char* names[3] = {"T", "A2", "A1"};
  for (std::size_t j = 0; j < k; ++j) {
    const double scale = j == 0 ? 1 : kAUnit;
    const double value = j == 0 ? out.elements.tpJD : params.p[j] * kAUnit;
    fit.values.push_back({names[j], value, std::sqrt(covariance[j * k + j]) * scale});
  }
  out.source = "stelvo-cli --fit-passages";
  out.note.clear();
  out.usableForHistory = true;
  return out;
}

// Fits params from `start` to the recorded passages by Levenberg-Marquardt, in
// stages over an arc growing backwards from the latest passages (grow) or over the
// whole at once; counts the integrations in fit.iterations, sets fit.converged and
// returns the last linearisation.
Linearised FitFrom(std::string_view comet, const OrbitSolution& start, Parameters& params,
                   std::span<const RecordedPassage> recorded, bool grow, double halfPeriod,
                   const PassageFitSettings& settings, PassageFit& fit) {
  const std::size_t k = params.p.size();
  const std::size_t n = recorded.size();
  // The arc grows backwards from the latest passages by a few revolutions at a time,
  // each stage starting from the previous fit: a published solution run back over
  // centuries can be off by months (1P's JPL orbits put the return of 240 BC two
  // years late), far outside the range where the passages depend linearly on the
  // parameters.
  const double arcDays = kArcRevolutions * 2 * halfPeriod;
  double arcStartJD = recorded.back().jdTT;
  std::size_t first = grow ? n : 0;
  Linearised at;
  while (true) {
    arcStartJD -= arcDays;
    while (first > 0 && (recorded[first - 1].jdTT >= arcStartJD || n - first < 3)) --first;
    const std::span<const RecordedPassage> arc(recorded.data() + first, n - first);
    const double fromJD = std::max(arc.front().jdTT - halfPeriod, kEarliestEpochJD);
    const double toJD = std::min(arc.back().jdTT + halfPeriod, kLatestEpochJD - 1);
    // chi^2's roughness, averaged over the stage's integrations (one sample each).
    double roughnessSum = 0;
    int samples = 0;
    auto linearise = [&](const std::vector<double>& p) {
      ++fit.iterations;
      Linearised lin = Linearise(start, params, p, arc, fromJD, toJD, halfPeriod, settings.stepDays);
      roughnessSum += lin.roughness;
      ++samples;
      return lin;
    };
    // Each stage starts from the previous one's parameters and takes only the steps
    // that lower chi^2, damped until one does; an arc short of the whole needs only a
    // start for the next.
    at = linearise(params.p);
    double lambda = kFirstDamping;
    const int limit = first == 0 ? settings.maxIterations : kArcIterations;
    fit.converged = false;
    for (int trial = 1; trial <= limit; ++trial) {
      // Settled: the step the damped model asks for is below a tenth of the sigmas,
      // or the last one taken lowered chi^2 by less than its noise: a hundredth of the
      // unit variance (a tenth of the uncertainty) or, where the passages depend
      // chaotically on the orbit, chi^2's roughness, whichever is larger.
      const std::vector<double> step = DampedStep(comet, at, lambda);
      if (WithinSigma(at, step, arc.size())) {
        fit.converged = true;
        break;
      }
      std::vector<double> p = params.p;
      for (std::size_t j = 0; j < k; ++j) p[j] += step[j];
      Linearised next = linearise(p);
      if (next.chi2 < at.chi2) {
        const double gain = at.chi2 - next.chi2;
        const double noise =
            std::max(roughnessSum / samples,
                     kSettledFraction * kSettledFraction * UnitVariance(next.chi2, arc.size(), k));
        params.p = std::move(p);
        at = std::move(next);
        lambda = std::max(lambda / 10, kLeastDamping);
        if (gain < noise) {
          fit.converged = true;
          break;
        }
      } else {
        lambda *= 10;
      }
    }
    if (first == 0) return at;
  }
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
  auto startFrom = [&](const OrbitSolution& s) {
    params.p = {0, s.nonGrav.a2 / kAUnit};
    if (params.fitA1) params.p.push_back(s.nonGrav.a1 / kAUnit);
  };
  startFrom(*start);
  const double a = start->elements.q / (1 - start->elements.e);
  const double halfPeriod = 0.5 * kDaysPerYear * a * std::sqrt(a);
  fit.iterations = 0;
  const Linearised first =
      FitFrom(comet, *start, params, recorded, true, halfPeriod, settings, fit);
  fit.fitted = Apply(*start, params, params.p);
  fit.fitted.name = "fitted to passages from " + start->name;
  // The fit moved to the middle of the passages and finished there over the whole arc:
  // carried back and forth from its own epoch the orbit meets the planets' states of
  // another run, and over centuries of close approaches the passages drift apart by
  // up to days (1P's of 164 BC by 1.9 d carried from 837), so the row is fitted as
  // it will be integrated.
  const OrbitSolution middle = AtMiddle(fit.fitted, first.computed, recorded, settings.stepDays);
  startFrom(middle);
  const Linearised at = FitFrom(comet, middle, params, recorded, false, halfPeriod, settings, fit);
  fit.row = FinishFit(middle, params, recorded, at.normal, at.computed, fit);
  fit.row.name = Describe(fit, recorded,
                          "; osculating at the return of " +
                              std::to_string(Year(fit.row.epochJD)));
  fit.fitted.source = fit.row.source;
  return fit;
}

}  // namespace stelvo
