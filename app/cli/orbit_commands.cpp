#include "orbit_commands.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "core/atomic_file.h"
#include "data/comet_texts.h"
#include "initial/astronom.h"
#include "initial/time_scale.h"
#include "meteors/comet_passages.h"
#include "meteors/passage_fit.h"

namespace stelvo {

bool LoadSolutions(const CliOptions& o, SolutionTable& table, std::string& error) {
  if (o.solutionsPath.empty()) {
    table.text = std::string(CometSolutionsText());
    table.solutions = BuiltInOrbitSolutions();
    return true;
  }
  std::ifstream in(o.solutionsPath, std::ios::binary);
  std::ostringstream content;
  if (!in || !(content << in.rdbuf())) {
    error = "--solutions " + o.solutionsPath + ": cannot be read";
    return false;
  }
  table.text = content.str();
  try {
    table.solutions = ParseOrbitSolutions(table.text);
  } catch (const CometDataError& e) {
    error = "--solutions " + o.solutionsPath + ": " + e.what();
    return false;
  }
  return true;
}

int PrintPassages(const CliOptions& o, const SolutionTable& table) {
  const std::string_view name = CometName(o.comet);
  std::printf("%.*s\n", static_cast<int>(name.size()), name.data());
  const std::vector<PerihelionPassage> passages =
      PassagesBySolution(o.comet, JulianDateOfYear(o.passagesFrom),
                         o.passagesTo == kLatestYear ? JulianDateOfYear(kLatestYear + 1) - 1e-6
                                                     : JulianDateOfYear(o.passagesTo + 1),
                         table.solutions);
  for (const PerihelionPassage& p : passages) {
    const double q = std::sqrt(p.helio.x * p.helio.x + p.helio.y * p.helio.y + p.helio.z * p.helio.z);
    std::printf("passage %s %.5f %.6f %s\n", FormatUtc(p.jd).c_str(), p.jd, q,
                p.solution.c_str());
  }
  std::printf("%zu passages; times UT (TT - Delta T before 1972), JD in TT\n", passages.size());
  return 0;
}

int FitAndPrintPassages(const CliOptions& o, const SolutionTable& table) {
  const std::string_view name = CometName(o.comet);
  PassageFit fit;
  try {
    fit = FitPassages(name, table.solutions, BuiltInPerihelionHistory());
  } catch (const PassageFitError& e) {
    std::fprintf(stderr, "stelvo-cli: --fit-passages: %s\n", e.what());
    return 2;
  }
  std::printf("fit %.*s from %s: %zu passages, %d iterations, %s, rms %.3f d\n",
              static_cast<int>(name.size()), name.data(), SolutionLabel(fit.start).c_str(),
              fit.residuals.size(), fit.iterations, fit.converged ? "converged" : "NOT converged",
              fit.rmsDays);
  for (const PassageResidual& r : fit.residuals) {
    std::printf("residual %s recorded %.5f computed %.5f %+.3f d%s (perihelion_history line %d)\n",
                FormatCalendar(r.recorded.jdTT).c_str(), r.recorded.jdTT, r.computedJD,
                r.residualDays, r.recorded.dayLevel ? " day-level" : "", r.recorded.line);
  }
  for (const FittedValue& v : fit.values) {
    if (v.name == "T") {
      std::printf("fitted T %.5f +- %.5f d (%s TT)\n", v.value, v.sigma,
                  FormatCalendar(v.value).c_str());
    } else {
      std::printf("fitted %s %.6e +- %.2e AU/d^2\n", v.name.c_str(), v.value, v.sigma);
    }
  }
  if (!o.saveSolutionPath.empty()) {
    // The row ends its lines as the table does (the shipped one with CR LF).
    std::string text = table.text;
    const std::string lineEnd = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    if (!text.empty() && text.back() != '\n') text += lineEnd;
    text += SolutionRow(fit.row) + lineEnd;
    std::string error;
    if (!WriteBytesAtomically(o.saveSolutionPath, text, error)) {
      std::fprintf(stderr, "stelvo-cli: %s\n", error.c_str());
      return 1;
    }
    std::printf("saved as a row of %s, epoch %.1f (%s TT): %s\n", o.saveSolutionPath.c_str(),
                fit.row.epochJD, FormatCalendar(fit.row.epochJD).c_str(), fit.row.name.c_str());
  }
  return 0;
}

}  // namespace stelvo
