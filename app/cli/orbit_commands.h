#pragma once
// stelvo-cli's commands on a comet's own orbit: --passages (its perihelion passages,
// each from the published solution nearest it) and --fit-passages (its
// non-gravitational parameters fitted to its recorded passages, --save-solution).

#include <string>
#include <vector>

#include "cli_options.h"
#include "initial/comet_solutions.h"

namespace stelvo {

// The orbit solutions a command uses: --solutions FILE, or the built-in ones. text is
// the file's content (for --save-solution). Returns false with one line in error for
// an unreadable or faulty file.
struct SolutionTable {
  std::string text;
  std::vector<OrbitSolution> solutions;
};
bool LoadSolutions(const CliOptions& o, SolutionTable& table, std::string& error);

// Exit status: 0, 1 for an unwritable --save-solution, 2 for data that allow no fit.
int PrintPassages(const CliOptions& o, const SolutionTable& table);
int FitAndPrintPassages(const CliOptions& o, const SolutionTable& table);

}  // namespace stelvo
