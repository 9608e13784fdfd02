#include "meteors/trail_passage.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace stelvo {

namespace {

// A straight line in one or two variables through a set of points, read where the
// variables are 0: the value and its standard error.
struct AtZero {
  double value;
  double sigma;
};

// Fewer grains than this fit no slopes: over a cloud hours wide a handful of them
// (a survey's sparse trails) would put the line anywhere.
constexpr int kFewestForSlopes = 20;

// y_k = a + b . x_k by least squares over the points, the variables taken about their
// means; with fewer than kFewestForSlopes points, or variables whose slopes the
// points do not determine (one of them constant, or both in one proportion), the
// mean of y.
AtZero LineAtZero(const std::vector<double>& y, const std::vector<double> (&x)[2], int variables) {
  const int n = static_cast<int>(y.size());
  double my = 0, mx[2] = {0, 0};
  for (int k = 0; k < n; ++k) {
    my += y[k];
    for (int j = 0; j < variables; ++j) mx[j] += x[j][k];
  }
  my /= n;
  for (int j = 0; j < variables; ++j) mx[j] /= n;
  double sxx[2][2] = {{0, 0}, {0, 0}}, sxy[2] = {0, 0}, syy = 0;
  for (int k = 0; k < n; ++k) {
    const double dy = y[k] - my;
    const double d[2] = {variables > 0 ? x[0][k] - mx[0] : 0, variables > 1 ? x[1][k] - mx[1] : 0};
    syy += dy * dy;
    for (int i = 0; i < variables; ++i) {
      sxy[i] += d[i] * dy;
      for (int j = 0; j < variables; ++j) sxx[i][j] += d[i] * d[j];
    }
  }
  const double meanSigma = n > 1 ? std::sqrt(syy / (n - 1) / n) : 0;
  const AtZero mean{my, meanSigma};
  if (n < kFewestForSlopes || variables == 0) return mean;
  // The inverse of the variables' scatter matrix; a relative determinant below 1e-9
  // leaves a slope undetermined.
  double inv[2][2];
  if (variables == 1) {
    if (!(sxx[0][0] > 0)) return mean;
    inv[0][0] = 1 / sxx[0][0];
  } else {
    const double det = sxx[0][0] * sxx[1][1] - sxx[0][1] * sxx[1][0];
    if (!(sxx[0][0] > 0 && sxx[1][1] > 0 && det > 1e-9 * sxx[0][0] * sxx[1][1])) return mean;
    inv[0][0] = sxx[1][1] / det;
    inv[1][1] = sxx[0][0] / det;
    inv[0][1] = inv[1][0] = -sxx[0][1] / det;
  }
  double slope[2] = {0, 0};
  for (int i = 0; i < variables; ++i) {
    for (int j = 0; j < variables; ++j) slope[i] += inv[i][j] * sxy[j];
  }
  double value = my, explained = 0, leverage = 0;
  for (int i = 0; i < variables; ++i) {
    value -= slope[i] * mx[i];
    explained += slope[i] * sxy[i];
    for (int j = 0; j < variables; ++j) leverage += mx[i] * inv[i][j] * mx[j];
  }
  const double residual = std::max(syy - explained, 0.0) / (n - variables - 1);
  return {value, std::sqrt(residual * (1.0 / n + leverage))};
}

}  // namespace

TrailPassage FitTrailPassage(std::span<const PassageNode> near, std::span<const PassageNode> band) {
  TrailPassage out;
  if (near.empty()) return out;
  // Times from the first grain's passage, so that the sums keep their digits.
  const double origin = near.front().earthJd;
  std::vector<double> y;
  std::vector<double> x[2];
  for (const PassageNode& n : near) {
    y.push_back(n.earthJd - origin);
    x[0].push_back(n.missAu);
    x[1].push_back(n.earthJd - n.nodeJd);
  }
  const AtZero peak = LineAtZero(y, x, 2);
  out.peakJd = origin + peak.value;
  out.peakSigmaMin = peak.sigma * 1440;

  const std::span<const PassageNode> all = band.empty() ? near : band;
  y.clear();
  x[0].clear();
  for (const PassageNode& n : all) {
    y.push_back(n.missAu);
    x[0].push_back(n.earthJd - n.nodeJd);
  }
  const AtZero miss = LineAtZero(y, x, 1);
  out.missAu = miss.value;
  out.missSigmaAu = miss.sigma;
  return out;
}

}  // namespace stelvo
