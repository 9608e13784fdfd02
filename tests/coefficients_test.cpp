#include "core/coefficients.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

#include "digest_fixture.h"

namespace stelvo {
namespace {

IntegratorCoeffs Built() {
  IntegratorCoeffs c;
  BuildCoefficientTables(c);
  return c;
}

template <std::size_t N>
void ExpectFractions(const std::array<double, N>& table,
                     const std::vector<std::pair<double, double>>& fractions, const char* name) {
  ASSERT_EQ(fractions.size(), N) << name;
  for (std::size_t j = 0; j < N; ++j) {
    const double exact = fractions[j].first / fractions[j].second;
    EXPECT_NEAR(table[j], exact, 4e-15 * std::max(1.0, std::fabs(exact))) << name << "[" << j << "]";
  }
}

TEST(BinomialTest, DividesExactlyAtEveryStage) {
  EXPECT_EQ(Binomial(9, 0), 1);
  EXPECT_EQ(Binomial(9, 1), 9);
  EXPECT_EQ(Binomial(9, 4), 126);
  EXPECT_EQ(Binomial(8, 8), 1);
  EXPECT_EQ(Binomial(4, 5), 0);
  EXPECT_EQ(Binomial(7, -1), 1);
}

TEST(CoefficientTablesTest, OrdinateWeightsAreTheExactFractions) {
  const IntegratorCoeffs c = Built();
  ExpectFractions(c.Stormer8Ord,
                  {{22081, 15120}, {-4511, 2240}, {40933, 10080}, {-300227, 60480},
                   {9857, 2520}, {-39017, 20160}, {3319, 6048}, {-275, 4032}},
                  "Stormer8Ord");
  ExpectFractions(c.Cowell8Ord,
                  {{275, 4032}, {13831, 15120}, {-2099, 20160}, {811, 3360}, {-11477, 60480},
                   {29, 315}, {-517, 20160}, {19, 6048}},
                  "Cowell8Ord");
  ExpectFractions(c.AdamsMoulton8Ord,
                  {{5257, 17280}, {139849, 120960}, {-4511, 4480}, {123133, 120960},
                   {-88547, 120960}, {1537, 4480}, {-11351, 120960}, {275, 24192}},
                  "AdamsMoulton8Ord");
  ExpectFractions(c.Cowell9Ord,
                  {{33953, 518400}, {424759, 453600}, {-81629, 453600}, {11143, 28350},
                   {-27533, 72576}, {110563, 453600}, {-23017, 226800}, {5627, 226800},
                   {-9829, 3628800}},
                  "Cowell9Ord");
  ExpectFractions(c.AdamsMoulton9Ord,
                  {{1070017, 3628800}, {2233547, 1814400}, {-2302297, 1814400},
                   {2797679, 1814400}, {-31457, 22680}, {1573169, 1814400}, {-645607, 1814400},
                   {156437, 1814400}, {-33953, 3628800}},
                  "AdamsMoulton9Ord");
  ExpectFractions(c.CentreVelOrd,
                  {{2497, 7257600}, {-3233, 907200}, {5353, 302400}, {-5557, 90720},
                   {57517, 145152}, {2497, 14400}, {-6163, 226800}, {1069, 226800},
                   {-41, 96768}},
                  "CentreVelOrd");
  ExpectFractions(c.ExtrapOrd,
                  {{9, 1}, {-36, 1}, {84, 1}, {-126, 1}, {126, 1}, {-84, 1}, {36, 1}, {-9, 1},
                   {1, 1}},
                  "ExtrapOrd");
  ExpectFractions(c.CentreVelDiff,
                  {{1, 2}, {-13, 6}, {29, 8}, {-257, 90}, {1427, 1440}, {-863, 10080},
                   {-731, 120960}, {-1201, 907200}, {-41, 96768}},
                  "CentreVelDiff");
  ExpectFractions(c.StormerDiff,
                  {{1, 1}, {0, 1}, {1, 12}, {1, 12}, {19, 240}, {3, 40}, {863, 12096}, {275, 4032}},
                  "StormerDiff");
}

TEST(CoefficientTablesTest, WeightsSumToOneAndCentreVelocityToOneHalf) {
  const IntegratorCoeffs c = Built();
  auto sum = [](const auto& t) { return std::accumulate(t.begin(), t.end(), 0.0); };
  EXPECT_NEAR(sum(c.Stormer8Ord), 1.0, 1e-13);
  EXPECT_NEAR(sum(c.Cowell8Ord), 1.0, 1e-13);
  EXPECT_NEAR(sum(c.AdamsMoulton8Ord), 1.0, 1e-13);
  EXPECT_NEAR(sum(c.Cowell9Ord), 1.0, 1e-13);
  EXPECT_NEAR(sum(c.AdamsMoulton9Ord), 1.0, 1e-13);
  EXPECT_DOUBLE_EQ(sum(c.ExtrapOrd), 1.0);
  EXPECT_NEAR(sum(c.CentreVelOrd), 0.5, 1e-13);
}

// Motion x(t) = t^d: acceleration d(d-1) t^(d-2), velocity d t^(d-1).
struct Polynomial {
  int degree;
  double x(double t) const { return std::pow(t, degree); }
  double v(double t) const { return degree * std::pow(t, degree - 1); }
  double a(double t) const { return degree * (degree - 1) * std::pow(t, degree - 2); }
};

struct FormulaErrors {
  double predictor, cowell, adamsMoulton;
};

// New point at t = (n + 1) h from the history at n h, (n - 1) h, ...
FormulaErrors RegularFormulaErrors(const Polynomial& p) {
  const IntegratorCoeffs c = Built();
  const double h = 0.25;
  const double tn = 0.5;  // the newest accepted point; ordinates reach back to tn - 7h
  double predictorSum = 0, cowellSum = 0, amSum = 0;
  for (int j = 0; j < 8; ++j) {
    predictorSum = predictorSum + c.Stormer8Ord[j] * p.a(tn - j * h);
    cowellSum = cowellSum + c.Cowell8Ord[j] * p.a(tn + h - j * h);
    amSum = amSum + c.AdamsMoulton8Ord[j] * p.a(tn + h - j * h);
  }
  const double base = 2 * p.x(tn) - p.x(tn - h);
  const double exactX = p.x(tn + h), exactV = p.v(tn + h);
  return {std::fabs(h * h * predictorSum + base - exactX), std::fabs(h * h * cowellSum + base - exactX),
          std::fabs(h * amSum + p.v(tn) - exactV)};
}

TEST(CoefficientTablesTest, RegularFormulasAreExactForDegreeNineButNotTen) {
  const FormulaErrors nine = RegularFormulaErrors({9});
  EXPECT_LT(nine.predictor, 1e-12);
  EXPECT_LT(nine.cowell, 1e-12);
  EXPECT_LT(nine.adamsMoulton, 1e-12);
  const FormulaErrors ten = RegularFormulaErrors({10});
  EXPECT_GT(ten.predictor, 1e-6);
  EXPECT_GT(ten.cowell, 1e-8);
  EXPECT_GT(ten.adamsMoulton, 1e-8);
}

// Every bit of every table, in the order the struct declares them. A deliberate change
// of the tables' arithmetic prints the new digest to paste here.
TEST(CoefficientTablesTest, EveryEntryIsPinnedBitForBit) {
  const IntegratorCoeffs c = Built();
  testing::DigestedRows rows(true);
  rows.Add("AdamsMoultonDiff", c.AdamsMoultonDiff);
  rows.Add("CowellDiff", c.CowellDiff);
  rows.Add("CentreVelDiff", c.CentreVelDiff);
  rows.Add("CentreVelOrd", c.CentreVelOrd);
  rows.Add("ExtrapOrd", c.ExtrapOrd);
  rows.Add("Cowell9Ord", c.Cowell9Ord);
  rows.Add("AdamsMoulton9Ord", c.AdamsMoulton9Ord);
  rows.Add("StormerDiff", c.StormerDiff);
  rows.Add("Stormer8Ord", c.Stormer8Ord);
  rows.Add("Cowell8Ord", c.Cowell8Ord);
  rows.Add("AdamsMoulton8Ord", c.AdamsMoulton8Ord);
  rows.ExpectDigest("031b5a7218b5857b");
}

}  // namespace
}  // namespace stelvo
