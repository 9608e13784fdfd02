#pragma once
// The integrator's coefficient tables: two stored backward-difference series and
// the ordinate weights derived from them. Built once per run by
// BuildCoefficientTables; read by the regular step and the start-up.

#include <array>

namespace stelvo {

// Integer binomial coefficient, exact integer division at every stage; k <= 0 gives 1.
long long Binomial(int n, int k);

struct IntegratorCoeffs {
  std::array<double, 10> AdamsMoultonDiff{};
  std::array<double, 10> CowellDiff{};
  std::array<double, 9> CentreVelDiff{};
  std::array<double, 9> CentreVelOrd{};
  std::array<double, 9> ExtrapOrd{};
  std::array<double, 9> Cowell9Ord{};
  std::array<double, 9> AdamsMoulton9Ord{};
  std::array<double, 8> StormerDiff{};
  std::array<double, 8> Stormer8Ord{};
  std::array<double, 8> Cowell8Ord{};
  std::array<double, 8> AdamsMoulton8Ord{};
};

// Weight j of an ordinate table multiplies the acceleration j slots before the
// formula's newest ordinate.
void BuildCoefficientTables(IntegratorCoeffs& coeffs);

}  // namespace stelvo
