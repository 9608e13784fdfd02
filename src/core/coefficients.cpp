#include "core/coefficients.h"

#include <algorithm>

namespace stelvo {

long long Binomial(int n, int k) {
  long long r = 1;
  for (int m = 1; m <= k; ++m) r = r * (n - m + 1) / m;
  return r;
}

namespace {

// Backward-difference coefficients T[k], k = 0..K, to ordinate weights:
// W[i] = sum over k = i..K of C(k, i) T[k], negated for odd i.
template <std::size_t W, std::size_t T>
void DifferencesToOrdinates(const std::array<double, T>& diff, std::array<double, W>& ord) {
  static_assert(W <= T);
  for (int i = 0; i < static_cast<int>(W); ++i) {
    double sum = 0;
    for (int k = i; k < static_cast<int>(W); ++k) {
      sum = sum + static_cast<double>(Binomial(k, i)) * diff[k];
    }
    ord[i] = (i % 2 == 1) ? -sum : sum;
  }
}

}  // namespace

void BuildCoefficientTables(IntegratorCoeffs& c) {
  // Adams-Moulton: series of -t / ln(1 - t); Cowell: its square, t^2 / ln^2(1 - t).
  c.AdamsMoultonDiff = {1.0,
                        -0.5,
                        -0.08333333333333333,
                        -0.041666666666666664,
                        -0.02638888888888889,
                        -0.01875,
                        -0.014269179894179895,
                        -0.01136739417989418,
                        -0.00935653659611993,
                        -0.00789255401234568};
  c.CowellDiff = {1.0,
                  -1.0,
                  0.08333333333333333,
                  0.0,
                  -0.004166666666666667,
                  -0.004166666666666667,
                  -0.003654100529100529,
                  -0.0031415343915343914,
                  -0.0027086089065255733,
                  -0.002355324074074074};

  // (1 - t)^4 (P(t) - Q(t)) / t, P and Q the two series above.
  for (int i = 0; i <= 8; ++i) {
    double sum = 0;
    for (int j = 0; j <= std::min(i + 1, 4); ++j) {
      const double sign = (j % 2 == 1) ? -1.0 : 1.0;
      sum = sum + sign * static_cast<double>(Binomial(4, j)) *
                      (c.AdamsMoultonDiff[i + 1 - j] - c.CowellDiff[i + 1 - j]);
    }
    c.CentreVelDiff[i] = sum;
  }
  DifferencesToOrdinates(c.CentreVelDiff, c.CentreVelOrd);
  for (int i = 0; i <= 8; ++i) {
    const double weight = static_cast<double>(Binomial(9, i + 1));
    c.ExtrapOrd[i] = (i % 2 == 1) ? -weight : weight;
  }
  DifferencesToOrdinates(c.CowellDiff, c.Cowell9Ord);
  DifferencesToOrdinates(c.AdamsMoultonDiff, c.AdamsMoulton9Ord);
  for (int i = 0; i <= 7; ++i) {
    double sum = 0;
    for (int m = 0; m <= i; ++m) sum = sum + c.CowellDiff[m];
    c.StormerDiff[i] = sum;
  }
  DifferencesToOrdinates(c.StormerDiff, c.Stormer8Ord);
  DifferencesToOrdinates(c.CowellDiff, c.Cowell8Ord);
  DifferencesToOrdinates(c.AdamsMoultonDiff, c.AdamsMoulton8Ord);
}

}  // namespace stelvo
